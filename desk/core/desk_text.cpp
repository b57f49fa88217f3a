#include "desk/core/desk_text.h"

char16_t DeskFoldCase(char16_t u) {
  if (u < 0x80) return (u >= u'A' && u <= u'Z') ? static_cast<char16_t>(u + 0x20) : u;
  if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char16_t>(u + 0x20);
  if (u >= 0x391 && u <= 0x3A9 && u != 0x3A2) return static_cast<char16_t>(u + 0x20);
  if (u >= 0x410 && u <= 0x42F) return static_cast<char16_t>(u + 0x20);
  if (u >= 0x400 && u <= 0x40F) return static_cast<char16_t>(u + 0x50);
  if (u >= 0xFF21 && u <= 0xFF3A) return static_cast<char16_t>(u + 0x20);
  return u;
}

std::u16string DeskFoldCase(const std::u16string& text) {
  std::u16string out(text);
  for (char16_t& u : out) u = DeskFoldCase(u);
  return out;
}

bool DeskTextEqual(const std::u16string& a, const std::u16string& b) {
  return DeskTextCompare(a, b) == 0;
}

int DeskTextCompare(const std::u16string& a, const std::u16string& b) {
  const int c = DeskFoldCase(a).compare(DeskFoldCase(b));
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
