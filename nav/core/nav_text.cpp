#include "nav/core/nav_text.h"

#include "uilib/core/vx_utf8.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendUtf16(char32_t c, std::u16string* out) {
  if (c < 0x10000) {
    out->push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

// One code point from UTF-8 at text[*at], advancing *at; a bad sequence gives U+FFFD and
// skips one byte, so every byte is looked at once.
char32_t NextUtf8(std::string_view text, size_t* at) {
  const unsigned char lead = static_cast<unsigned char>(text[*at]);
  size_t length = 0;
  char32_t c = 0, least = 0;
  if (lead < 0x80) {
    ++*at;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07, least = 0x10000;
  } else {
    ++*at;
    return kReplacement;
  }
  if (text.size() - *at < length) {
    ++*at;
    return kReplacement;
  }
  for (size_t i = 1; i < length; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[*at + i]);
    if ((b & 0xC0) != 0x80) {
      ++*at;
      return kReplacement;
    }
    c = (c << 6) | (b & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++*at;
    return kReplacement;
  }
  *at += length;
  return c;
}

}  // namespace

std::u16string NavFieldText(std::u16string_view text) {
  const size_t nul = text.find(u'\0');
  if (nul != std::u16string_view::npos) text = text.substr(0, nul);
  if (text.size() > kNavTextMaxUnits) {
    text = text.substr(0, kNavTextMaxUnits);
    if (IsHighSurrogate(text.back())) text.remove_suffix(1);
  }
  return std::u16string(text);
}

std::string NavUtf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (IsHighSurrogate(u) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      VxAppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else {
      VxAppendUtf8(out, u);  // a lone surrogate goes out as U+FFFD
    }
  }
  return out;
}

std::u16string NavUtf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) AppendUtf16(NextUtf8(text, &at), &out);
  return out;
}
