#pragma once
// Native text conversion for the core's tests and fuzzers: the program converts with the
// Windows code-page functions, here iconv stands in. Undecodable bytes become U+FFFD.
#include <iconv.h>

#include <cerrno>
#include <string>

inline std::wstring IconvToWide(const char* from, const char* bytes, size_t size) {
  std::wstring out;
  iconv_t cd = iconv_open("WCHAR_T", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  char* in = const_cast<char*>(bytes);
  size_t left = size;
  wchar_t buffer[1024];
  while (left > 0) {
    char* dst = reinterpret_cast<char*>(buffer);
    size_t room = sizeof(buffer);
    const size_t r = iconv(cd, &in, &left, &dst, &room);
    out.append(buffer, (sizeof(buffer) - room) / sizeof(wchar_t));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out += L'\xFFFD';  // EILSEQ or EINVAL: skip one byte
      ++in;
      --left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

inline std::wstring GbkToWideNative(const char* bytes, size_t size) { return IconvToWide("GBK", bytes, size); }
inline std::wstring Utf8ToWideNative(const std::string& s) { return IconvToWide("UTF-8", s.data(), s.size()); }
