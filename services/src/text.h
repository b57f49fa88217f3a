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

// The whole file as bytes, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace vx::svc
