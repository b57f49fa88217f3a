#include "uilib/core/vx_dropfiles.h"

#include <cstring>

namespace {
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
}  // namespace

std::vector<uint8_t> VxBuildDropFiles(const std::vector<std::u16string>& paths) {
  const size_t header = 20;
  size_t units = 1;  // the final zero
  for (const auto& p : paths) units += p.size() + 1;
  std::vector<uint8_t> b(header + units * 2, 0);
  PutU32(b, 0, static_cast<uint32_t>(header));  // pFiles
  PutU32(b, 16, 1);                              // fWide
  size_t at = header;
  for (const auto& p : paths) {
    for (char16_t c : p) {
      b[at] = static_cast<uint8_t>(c & 0xFF);
      b[at + 1] = static_cast<uint8_t>(c >> 8);
      at += 2;
    }
    at += 2;
  }
  return b;
}

std::vector<std::u16string> VxParseDropFiles(const uint8_t* data, size_t size) {
  std::vector<std::u16string> out;
  if (!data || size < 20) return out;
  const uint32_t offset = GetU32(data);
  if (GetU32(data + 16) != 1 || offset < 20 || offset >= size) return out;
  std::u16string cur;
  for (size_t at = offset; at + 1 < size; at += 2) {
    const char16_t c = static_cast<char16_t>(data[at] | data[at + 1] << 8);
    if (c == 0) {
      if (cur.empty()) return out;
      out.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  return {};  // no final zero: the block was cut short
}
