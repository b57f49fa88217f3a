// Text of the navigation pages without any Windows header. Every text the pages keep is
// UTF-16; the server's lists arrive as UTF-8 JSON (WebGet decodes them to UTF-16), so the
// conversions here are plain Unicode arithmetic and need no code-page table.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// A text field of the navigation files: 260 UTF-16 units, the last one always a terminator.
constexpr size_t kNavTextUnits = 260;
constexpr size_t kNavTextMaxUnits = kNavTextUnits - 1;

// The text as it can be kept in a field: up to its first NUL, at most 259 units, and never
// ending in the first half of a surrogate pair that the cut split.
std::u16string NavFieldText(std::u16string_view text);

// Unicode conversions; ill-formed input (a lone surrogate, a bad UTF-8 sequence) becomes
// U+FFFD, so the result is always well formed.
std::string NavUtf16ToUtf8(std::u16string_view text);
std::u16string NavUtf8ToUtf16(std::string_view text);
