// The blocks a drag of files or a copy to the clipboard carries. CF_HDROP: a 20-byte
// DROPFILES header (offset of the list, drop point, non-client flag, wide flag) followed by
// every path, each zero-terminated, and a final zero. "Preferred DropEffect": one 32-bit
// drop effect. Blocks that come from other programs are untrusted: the readers look at no
// byte past `size` and turn anything malformed into nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kVxDropFilesHeader = 20;
// The longest path Windows can name (with the "\\?\" prefix); a longer one is not a path.
constexpr size_t kVxDropFilesMaxPath = 32767;

// Wide block of 22 + 2 x (sum of path lengths + one per path) bytes: list offset 20, point
// (0, 0), not in the non-client area, wide 1.
std::vector<uint8_t> VxBuildDropFiles(const std::vector<std::u16string>& paths);

enum class VxDropFilesError {
  kNone,
  kShort,         // smaller than the header
  kBadOffset,     // the list starts inside the header or past the block
  kUnterminated,  // the block ends before the list's final zero
  kPathTooLong,   // a path longer than kVxDropFilesMaxPath
};

struct VxDropFiles {
  // Paths of a wide block; an empty list is not an error.
  std::vector<std::u16string> paths;
  // Paths of a block written with wide 0, as bytes in the writer's ANSI code page: the
  // caller converts them (MultiByteToWideChar with CP_ACP).
  std::vector<std::string> ansiPaths;
  bool wide = true;
  VxDropFilesError error = VxDropFilesError::kNone;  // on error both lists are empty
};
VxDropFiles VxReadDropFiles(const uint8_t* data, size_t size);

// The paths of a wide block; empty for a malformed or ANSI block.
std::vector<std::u16string> VxParseDropFiles(const uint8_t* data, size_t size);

// The "Preferred DropEffect" block: 4 bytes, little-endian.
std::vector<uint8_t> VxBuildDropEffect(uint32_t effect);
// False (and `effect` untouched) when the block is shorter than 4 bytes.
bool VxReadDropEffect(const uint8_t* data, size_t size, uint32_t* effect);
