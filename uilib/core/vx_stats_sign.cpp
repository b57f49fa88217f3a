#include "uilib/core/vx_stats_sign.h"

std::string VxStatsSignText(const std::string& op, const std::string& ri, const std::string& mc,
                            const std::string& vs, const std::string& tm) {
  return op + "A" + ri + "A" + mc + "A" + vs + "A" + tm;
}

std::string VxStatsUrl(const std::string& base, const std::string& op, const std::string& ri,
                       const std::string& vs, const std::string& mc, const std::string& tm,
                       const std::string& key) {
  return base + "?op=" + op + "&ri=" + ri + "&vs=" + vs + "&mc=" + mc + "&tm=" + tm +
         "&key=" + key;
}

namespace {

void AppendHex(std::string& out, unsigned char b, const char* digits) {
  out += digits[b >> 4];
  out += digits[b & 15];
}

}  // namespace

std::string VxHardwareAddressText(const unsigned char* bytes, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i) out += '-';
    AppendHex(out, bytes[i], "0123456789ABCDEF");
  }
  return out;
}

std::string VxLowerHex(const unsigned char* bytes, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) AppendHex(out, bytes[i], "0123456789abcdef");
  return out;
}
