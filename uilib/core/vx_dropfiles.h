// The CF_HDROP block a drag of files carries: a 20-byte header (offset of the list, wide
// flag) followed by every path, each zero-terminated, and a final zero.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> VxBuildDropFiles(const std::vector<std::u16string>& paths);
// Reads the paths back (empty on a malformed block).
std::vector<std::u16string> VxParseDropFiles(const uint8_t* data, size_t size);
