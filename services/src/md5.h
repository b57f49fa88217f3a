// MD5 (RFC 1321, from OpenSSL), used only to check the signature of statistics requests.
#pragma once
#include <string>
#include <string_view>

namespace vx::svc {

// 32 lower-case hexadecimal digits of the MD5 digest of `data`.
std::string Md5Hex(std::string_view data);

}  // namespace vx::svc
