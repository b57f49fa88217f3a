#pragma once
// Decodes a gzip body held in memory (RFC 1952): one or more members one after another, or,
// when the bytes do not start like gzip, the bytes themselves. What was decoded before a
// damaged member stays in the output; a server may send broken trailers, and a partial
// answer is still worth parsing.
#include <cstddef>
#include <string>

class CMemGzipReader {
 public:
  // A body of a few kilobytes may inflate a thousandfold; the output stops at maxOutput
  // bytes and Capped() tells the caller so.
  static constexpr int kDefaultMaxOutput = 1 << 20;

  CMemGzipReader(const void* data, int length, int maxOutput = kDefaultMaxOutput);

  // Decodes the whole input; false on a data error or when the output reached its cap.
  bool Decode();

  // NUL-terminated output; holds what was decoded even when Decode() returned false.
  const char* Data() const { return out_.c_str(); }
  int Length() const { return static_cast<int>(out_.size()); }
  bool Transparent() const { return transparent_; }
  bool Capped() const { return capped_; }
  bool DataError() const { return dataError_; }

 private:
  bool ReadHeader();
  bool Skip(size_t n);
  bool SkipZeroTerminated();
  bool InflateMember(void* stream);
  bool Append(const unsigned char* p, size_t n);

  const unsigned char* in_;
  size_t length_;
  size_t pos_ = 0;
  size_t maxOutput_;
  std::string out_;
  bool transparent_ = false;
  bool capped_ = false;
  bool dataError_ = false;
};
