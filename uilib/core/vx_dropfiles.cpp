#include "uilib/core/vx_dropfiles.h"

namespace {
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads zero-terminated strings of `Unit` from [at, size) until an empty one. Units are
// assembled from bytes, so an odd list offset or block size is no fault.
template <typename String, size_t UnitBytes>
VxDropFilesError ReadList(const uint8_t* data, size_t size, size_t at, std::vector<String>* out) {
  String cur;
  for (; at + UnitBytes <= size; at += UnitBytes) {
    const auto unit = static_cast<typename String::value_type>(
        UnitBytes == 2 ? data[at] | data[at + 1] << 8 : data[at]);
    if (unit != 0) {
      if (cur.size() == kVxDropFilesMaxPath) return VxDropFilesError::kPathTooLong;
      cur.push_back(unit);
      continue;
    }
    if (cur.empty()) return VxDropFilesError::kNone;
    out->push_back(std::move(cur));
    cur.clear();
  }
  return VxDropFilesError::kUnterminated;
}
}  // namespace

std::vector<uint8_t> VxBuildDropFiles(const std::vector<std::u16string>& paths) {
  size_t units = 1;  // the final zero
  for (const auto& p : paths) units += p.size() + 1;
  std::vector<uint8_t> b(kVxDropFilesHeader + units * 2, 0);
  PutU32(b, 0, static_cast<uint32_t>(kVxDropFilesHeader));  // pFiles
  PutU32(b, 16, 1);                                          // fWide
  size_t at = kVxDropFilesHeader;
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

VxDropFiles VxReadDropFiles(const uint8_t* data, size_t size) {
  VxDropFiles r;
  if (!data || size < kVxDropFilesHeader) {
    r.error = VxDropFilesError::kShort;
    return r;
  }
  const uint32_t offset = GetU32(data);
  if (offset < kVxDropFilesHeader || offset >= size) {
    r.error = VxDropFilesError::kBadOffset;
    return r;
  }
  // Any non-zero BOOL means wide, as the shell reads it.
  r.wide = GetU32(data + 16) != 0;
  r.error = r.wide ? ReadList<std::u16string, 2>(data, size, offset, &r.paths)
                   : ReadList<std::string, 1>(data, size, offset, &r.ansiPaths);
  if (r.error != VxDropFilesError::kNone) {
    r.paths.clear();
    r.ansiPaths.clear();
  }
  return r;
}

std::vector<std::u16string> VxParseDropFiles(const uint8_t* data, size_t size) {
  VxDropFiles r = VxReadDropFiles(data, size);
  return r.wide ? std::move(r.paths) : std::vector<std::u16string>{};
}

std::vector<uint8_t> VxBuildDropEffect(uint32_t effect) {
  std::vector<uint8_t> b(4, 0);
  PutU32(b, 0, effect);
  return b;
}

bool VxReadDropEffect(const uint8_t* data, size_t size, uint32_t* effect) {
  if (!data || size < 4) return false;
  *effect = GetU32(data);
  return true;
}
