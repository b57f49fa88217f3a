#pragma once
// Collects an HTTP body read piece by piece into a fixed buffer. A piece that would not fit
// is dropped whole and ends the reading, so the body always ends on a piece boundary and
// never runs past the buffer; the caller then treats it as cut.
#include <cstddef>

class CBodyCollector {
 public:
  static constexpr size_t kCapacity = 8192;

  // False when the piece did not fit: stop reading.
  bool Add(const void* piece, size_t n);
  const char* Data() const { return buffer_; }
  size_t Size() const { return size_; }
  bool Cut() const { return cut_; }

 private:
  char buffer_[kCapacity + 1] = {};
  size_t size_ = 0;
  bool cut_ = false;
};
