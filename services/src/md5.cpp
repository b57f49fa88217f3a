#include "md5.h"

#include <openssl/evp.h>

namespace vx::svc {

std::string Md5Hex(std::string_view data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  // EVP rather than MD5(): the direct digest calls are deprecated in OpenSSL 3.
  if (EVP_Digest(data.data(), data.size(), digest, &size, EVP_md5(), nullptr) != 1 || size != 16) return {};
  static const char* hex = "0123456789abcdef";
  std::string out;
  out.reserve(32);
  for (unsigned int i = 0; i < size; ++i) {
    out += hex[digest[i] >> 4];
    out += hex[digest[i] & 15];
  }
  return out;
}

}  // namespace vx::svc
