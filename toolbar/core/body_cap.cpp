#include "toolbar/core/body_cap.h"

#include <cstring>

bool CBodyCollector::Add(const void* piece, size_t n) {
  if (cut_) return false;
  if (n > kCapacity - size_) {
    cut_ = true;
    return false;
  }
  if (n) std::memcpy(buffer_ + size_, piece, n);
  size_ += n;
  return true;
}
