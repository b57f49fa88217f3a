#include "toolbar/core/mem_gzip_reader.h"

#include <zlib.h>

#include <algorithm>

namespace {

constexpr size_t kPiece = 4096;
constexpr unsigned kFlagHeaderCrc = 0x02;
constexpr unsigned kFlagExtra = 0x04;
constexpr unsigned kFlagName = 0x08;
constexpr unsigned kFlagComment = 0x10;
constexpr unsigned kFlagReserved = 0xE0;

uint32_t ReadLe32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Ends the inflate stream however the decode leaves.
struct InflateStream {
  z_stream z{};
  bool ready = false;
  InflateStream() { ready = inflateInit2(&z, -MAX_WBITS) == Z_OK; }
  ~InflateStream() {
    if (ready) inflateEnd(&z);
  }
};

}  // namespace

CMemGzipReader::CMemGzipReader(const void* data, int length, int maxOutput)
    : in_(static_cast<const unsigned char*>(data)),
      length_(data && length > 0 ? size_t(length) : 0),
      maxOutput_(maxOutput > 0 ? size_t(maxOutput) : 0) {}

bool CMemGzipReader::Append(const unsigned char* p, size_t n) {
  const size_t room = maxOutput_ - out_.size();
  out_.append(reinterpret_cast<const char*>(p), std::min(n, room));
  if (n > room) capped_ = true;
  return !capped_;
}

bool CMemGzipReader::Skip(size_t n) {
  if (length_ - pos_ < n) return false;
  pos_ += n;
  return true;
}

bool CMemGzipReader::SkipZeroTerminated() {
  while (pos_ < length_)
    if (in_[pos_++] == 0) return true;
  return false;
}

bool CMemGzipReader::ReadHeader() {
  if (length_ - pos_ < 4) return false;
  const unsigned method = in_[pos_ + 2];
  const unsigned flags = in_[pos_ + 3];
  pos_ += 4;
  if (method != Z_DEFLATED || (flags & kFlagReserved)) return false;
  if (!Skip(6)) return false;  // time, extra flags, operating system
  if (flags & kFlagExtra) {
    if (length_ - pos_ < 2) return false;
    const size_t extra = size_t(in_[pos_]) | size_t(in_[pos_ + 1]) << 8;
    pos_ += 2;
    if (!Skip(extra)) return false;
  }
  if ((flags & kFlagName) && !SkipZeroTerminated()) return false;
  if ((flags & kFlagComment) && !SkipZeroTerminated()) return false;
  if ((flags & kFlagHeaderCrc) && !Skip(2)) return false;
  return true;
}

bool CMemGzipReader::InflateMember(void* stream) {
  z_stream& z = *static_cast<z_stream*>(stream);
  if (inflateReset(&z) != Z_OK) return false;
  uLong crc = crc32(0, Z_NULL, 0);
  z.next_in = const_cast<Bytef*>(in_ + pos_);
  // Whole input at once: it is already in memory, and zlib takes at most 4 GiB per call.
  z.avail_in = static_cast<uInt>(std::min<size_t>(length_ - pos_, 0xFFFFFFFFu));
  unsigned char piece[kPiece];
  int result = Z_OK;
  while (result == Z_OK) {
    z.next_out = piece;
    z.avail_out = kPiece;
    result = inflate(&z, Z_NO_FLUSH);
    const size_t produced = kPiece - z.avail_out;
    crc = crc32(crc, piece, static_cast<uInt>(produced));
    if (!Append(piece, produced)) return false;
  }
  pos_ = length_ - z.avail_in;
  if (result != Z_STREAM_END) return false;
  if (length_ - pos_ < 8) return false;
  const bool crcOk = ReadLe32(in_ + pos_) == static_cast<uint32_t>(crc);
  pos_ += 8;  // the length field is not compared: the CRC already vouches for the bytes
  return crcOk;
}

bool CMemGzipReader::Decode() {
  out_.clear();
  pos_ = 0;
  capped_ = dataError_ = transparent_ = false;
  InflateStream stream;
  if (!stream.ready) return false;
  if (length_ < 2 || in_[0] != 0x1F || in_[1] != 0x8B) {
    transparent_ = true;
    return Append(in_, length_);
  }
  // Members follow each other until the input ends; bytes after the last member that do not
  // start another one are padding some servers add, not data.
  while (pos_ + 2 <= length_ && in_[pos_] == 0x1F && in_[pos_ + 1] == 0x8B) {
    if (!ReadHeader() || !InflateMember(&stream.z)) {
      dataError_ = !capped_;
      return false;
    }
  }
  return true;
}
