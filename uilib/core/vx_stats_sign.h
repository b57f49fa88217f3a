#pragma once
// The texts of a usage-statistics event: what is signed and the request address. The digest
// itself comes from the platform.
#include <string>

// op A ri A mc A vs A tm: the letter A separates, and empty values stay empty between them.
std::string VxStatsSignText(const std::string& op, const std::string& ri, const std::string& mc,
                            const std::string& vs, const std::string& tm);
// base?op=..&ri=..&vs=..&mc=..&tm=..&key=..; no value is URL-encoded.
std::string VxStatsUrl(const std::string& base, const std::string& op, const std::string& ri,
                       const std::string& vs, const std::string& mc, const std::string& tm,
                       const std::string& key);
// Hardware address bytes as upper-case hex pairs joined by '-' (6 bytes -> 17 characters).
std::string VxHardwareAddressText(const unsigned char* bytes, size_t count);
// A digest as lower-case hex.
std::string VxLowerHex(const unsigned char* bytes, size_t count);
