// Any body a server sends: the reader stays inside its input, never passes its output cap,
// keeps the output NUL-terminated and copies bodies that do not start like gzip unchanged.
#include <cstring>

#include "desk/core/fuzz/fuzz_check.h"
#include "toolbar/core/mem_gzip_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  constexpr int kCap = 256 * 1024;
  CMemGzipReader reader(data, static_cast<int>(size), kCap);
  const bool ok = reader.Decode();
  FUZZ_CHECK(reader.Length() >= 0 && reader.Length() <= kCap);
  FUZZ_CHECK(reader.Data()[reader.Length()] == '\0');
  FUZZ_CHECK(!(ok && (reader.Capped() || reader.DataError())));
  const bool gzip = size >= 2 && data[0] == 0x1F && data[1] == 0x8B;
  FUZZ_CHECK(reader.Transparent() == !gzip);
  if (!gzip && size <= size_t(kCap))
    FUZZ_CHECK(ok && size_t(reader.Length()) == size &&
               (size == 0 || std::memcmp(reader.Data(), data, size) == 0));
  return 0;
}
