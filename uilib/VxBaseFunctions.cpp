// winsock2 must come before windows.h, which every project header includes.
#include <winsock2.h>

#include "uilib/VxBaseFunctions.h"

#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <bcrypt.h>

#include <ctime>
#include <vector>

#include "uilib/VxWebAccess.h"
#include "uilib/core/vx_stats_sign.h"

namespace {

// The body of WebGet arrives in blocks of this size.
constexpr size_t kBlock = 1023;
// The first adapter-list buffer; the platform asks for more when there are several adapters.
constexpr ULONG kFirstAdapterBuffer = 648;

std::wstring Widen(const std::string& bytes, UINT codePage) {
  if (bytes.empty()) return std::wstring();
  const int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
  if (text.empty()) return std::string();
  const int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                        nullptr, nullptr);
  return bytes;
}

// Bytes one to one as characters: the encoding the caller did not name is left to it.
std::wstring BytesAsChars(const std::string& bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return text;
}

std::wstring DecodeBody(std::string bytes, int encoding) {
  // The body is text: it ends at its first NUL.
  bytes.resize(bytes.find('\0') == std::string::npos ? bytes.size() : bytes.find('\0'));
  if (encoding == VxBaseFunctions::kAnsi) return Widen(bytes, CP_ACP);
  if (encoding == VxBaseFunctions::kUtf8) return Widen(bytes, CP_UTF8);
  return BytesAsChars(bytes);
}

bool HostHasIpv4Address() {
  WSADATA wsa;
  if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return false;
  bool found = false;
  char host[256] = {};
  if (::gethostname(host, sizeof(host)) == 0) {
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    addrinfo* result = nullptr;
    if (::getaddrinfo(host, nullptr, &hints, &result) == 0) {
      found = result != nullptr;
      ::freeaddrinfo(result);
    }
  }
  ::WSACleanup();
  return found;
}

std::wstring FirstAdapterAddress() {
  ULONG size = kFirstAdapterBuffer;
  std::vector<unsigned char> buffer(size);
  DWORD rc = ::GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
  if (rc == ERROR_BUFFER_OVERFLOW) {
    buffer.assign(size, 0);
    rc = ::GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
  }
  if (rc != ERROR_SUCCESS) return std::wstring();
  for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next) {
    if (a->IpAddressList.IpAddress.String[0] == '\0') continue;
    const size_t n = a->AddressLength < sizeof(a->Address) ? a->AddressLength : sizeof(a->Address);
    return Widen(VxHardwareAddressText(a->Address, n), CP_ACP);
  }
  return std::wstring();
}

std::wstring LocalTimeSeconds() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  if (now.wYear < 1900) return L"0";
  std::tm t = {};
  t.tm_year = now.wYear - 1900;
  t.tm_mon = now.wMonth - 1;
  t.tm_mday = now.wDay;
  t.tm_hour = now.wHour;
  t.tm_min = now.wMinute;
  t.tm_sec = now.wSecond;
  t.tm_isdst = -1;
  return std::to_wstring(static_cast<int>(std::mktime(&t)));
}

struct AlgorithmHandle {
  BCRYPT_ALG_HANDLE h = nullptr;
  ~AlgorithmHandle() {
    if (h) ::BCryptCloseAlgorithmProvider(h, 0);
  }
};
struct HashHandle {
  BCRYPT_HASH_HANDLE h = nullptr;
  ~HashHandle() {
    if (h) ::BCryptDestroyHash(h);
  }
};

}  // namespace

DWORD VxBaseFunctions::WebGet(const std::wstring& url, std::wstring& out, int encoding) noexcept try {
  CWebAccess web;
  std::string body;
  const DWORD rc = web.Request(url, nullptr, kBlock, &body);
  if (rc == 1) out = DecodeBody(std::move(body), encoding);
  return rc;
} catch (...) {
  return kVxWebNoConnection;
}

DWORD VxBaseFunctions::WebPost(const std::wstring& url, const std::wstring& data,
                               std::wstring& out) noexcept try {
  out.clear();
  std::string form;
  form.reserve(data.size());
  for (wchar_t c : data) form += static_cast<char>(c & 0xFF);
  CWebAccess web;
  std::string body;
  const DWORD rc = web.Request(url, &form, 1, &body);
  if (rc == 1) out = BytesAsChars(body);
  return rc;
} catch (...) {
  return kVxWebNoConnection;
}

std::wstring VxMachineId() noexcept try {
  return HostHasIpv4Address() ? FirstAdapterAddress() : std::wstring();
} catch (...) {
  return std::wstring();
}

std::wstring VxMd5Hex(const std::wstring& text) noexcept try {
  const std::string bytes = Narrow(text, CP_THREAD_ACP);
  AlgorithmHandle alg;
  if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&alg.h, BCRYPT_MD5_ALGORITHM, nullptr, 0)))
    return std::wstring();
  HashHandle hash;
  unsigned char digest[16] = {};
  if (!BCRYPT_SUCCESS(::BCryptCreateHash(alg.h, &hash.h, nullptr, 0, nullptr, 0, 0)) ||
      !BCRYPT_SUCCESS(::BCryptHashData(hash.h, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                       static_cast<ULONG>(bytes.size()), 0)) ||
      !BCRYPT_SUCCESS(::BCryptFinishHash(hash.h, digest, sizeof(digest), 0)))
    return std::wstring();
  return Widen(VxLowerHex(digest, sizeof(digest)), CP_ACP);
} catch (...) {
  return std::wstring();
}

int VxBaseFunctions::Tongji(const std::wstring& baseUrl, const std::wstring& op,
                            const std::wstring& ri, const std::wstring& vs) noexcept try {
  // op, ri and vs are signed and sent as bytes of the thread's ANSI code page, as given.
  const auto ansi = [](const std::wstring& t) { return Narrow(t, CP_THREAD_ACP); };
  const std::string mc = ansi(VxMachineId());
  const std::string tm = ansi(LocalTimeSeconds());
  const std::wstring key =
      VxMd5Hex(Widen(VxStatsSignText(ansi(op), ansi(ri), mc, ansi(vs), tm), CP_THREAD_ACP));
  if (key.empty()) return FALSE;
  const std::wstring url = Widen(
      VxStatsUrl(ansi(baseUrl), ansi(op), ansi(ri), ansi(vs), mc, tm, ansi(key)), CP_THREAD_ACP);
  std::wstring ignored;
  return WebGet(url, ignored, kAnsi) == 1 ? TRUE : FALSE;
} catch (...) {
  return FALSE;
}
