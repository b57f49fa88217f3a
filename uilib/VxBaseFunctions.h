#pragma once
// Blocking web requests to the maker's servers and signed usage-statistics events. Callers
// that must not freeze a window run them on a worker thread; each call has its own session.
#include <windows.h>

#include <string>

#include "uilib/VxExport.h"

class LUMETTE_API VxBaseFunctions {
 public:
  enum Encoding { kAnsi = 0, kUtf8 = 2 };

  // 1 with the body in out for status 200; otherwise a result code of CWebAccess::Request
  // and out untouched.
  DWORD WebGet(const std::wstring& url, std::wstring& out, int encoding) noexcept;
  // Sends data (already URL-encoded; one byte per character) as a form; out is cleared and
  // receives the reply byte by byte.
  DWORD WebPost(const std::wstring& url, const std::wstring& data, std::wstring& out) noexcept;
  // TRUE when the statistics server at baseUrl took the event (answered 200).
  int Tongji(const std::wstring& baseUrl, const std::wstring& op, const std::wstring& ri,
             const std::wstring& vs) noexcept;
};

// The machine identifier of statistics events: the hardware address of the first adapter
// with an IPv4 address, or empty when the host has no address.
LUMETTE_API std::wstring VxMachineId() noexcept;
// Lower-case hex MD5 of text converted to the thread's ANSI code page; empty on failure.
LUMETTE_API std::wstring VxMd5Hex(const std::wstring& text) noexcept;
