// Text helpers at the edges: the desktop's own HTTP client reads answers in code page 936,
// and pages must show whatever a visitor typed without letting it become markup.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace vx::svc {

std::optional<std::string> Utf8ToGbk(std::string_view utf8);
std::optional<std::string> GbkToUtf8(std::string_view gbk);
bool IsValidUtf8(std::string_view s);
std::string HtmlEscape(std::string_view s);

}  // namespace vx::svc
