// UTF-8 out of wide text, for the formats and readers that take UTF-8 only. No Windows
// header: built natively for the tests.
#pragma once
#include <string>

// Appends one code point; a surrogate or a value past U+10FFFF goes out as U+FFFD, so the
// output is always valid UTF-8.
void VxAppendUtf8(std::string& out, char32_t cp);

// Appends one code point to wide text, as a surrogate pair where wchar_t is 16 bits; a
// surrogate or a value past U+10FFFF goes in as U+FFFD.
void VxAppendWide(std::wstring& out, char32_t cp);

// Wide text (UTF-16 where wchar_t is 16 bits, UTF-32 elsewhere) as UTF-8: surrogate pairs
// joined, a lone surrogate as U+FFFD.
std::string VxWideToUtf8(const std::wstring& text);
