// What every seed writer of the fuzz projects shares: the command line, the folders and
// the files. A writer makes its inputs with the encoders the program saves with, so the
// seeds follow the formats. Header only: the fuzz projects build no library for it.
#pragma once
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Writes `bytes` as <dir>/<name>, making <dir> first; false when the file could not be written.
inline bool VxWriteSeed(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  mkdir(dir.c_str(), 0755);
  FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// The main of a seed writer, "usage: <program> <dir>": makes <dir> and calls `write` with it,
// which writes each target's seeds into <dir>/<target>/. Exit status 0, 1 when a seed could
// not be written, 2 for a wrong command line.
inline int VxRunSeedWriter(int argc, char** argv, bool (*write)(const std::string& root)) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <dir>\n", argv[0]);
    return 2;
  }
  const std::string root = argv[1];
  mkdir(root.c_str(), 0755);
  if (!write(root)) {
    std::fprintf(stderr, "could not write the seeds under %s\n", root.c_str());
    return 1;
  }
  return 0;
}
