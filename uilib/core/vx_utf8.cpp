#include "uilib/core/vx_utf8.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
char32_t ValidOrReplacement(char32_t c) { return c > 0x10FFFF || IsSurrogate(c) ? kReplacement : c; }

// A wide unit as a number: wchar_t may be signed, and 16 bits wide.
char32_t Unit(wchar_t c) {
  return sizeof(wchar_t) == 2 ? static_cast<char16_t>(c) : static_cast<char32_t>(c);
}

}  // namespace

void VxAppendUtf8(std::string& out, char32_t cp) {
  cp = ValidOrReplacement(cp);
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void VxAppendWide(std::wstring& out, char32_t cp) {
  cp = ValidOrReplacement(cp);
  if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
    cp -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (cp >> 10));
    out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<wchar_t>(cp);
  }
}

std::string VxWideToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = Unit(text[i]);
    if (IsHighSurrogate(cp) && i + 1 < text.size() && IsLowSurrogate(Unit(text[i + 1]))) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (Unit(text[i + 1]) - 0xDC00);
      ++i;
    }
    VxAppendUtf8(out, cp);
  }
  return out;
}
