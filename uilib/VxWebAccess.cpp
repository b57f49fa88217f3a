#include "uilib/VxWebAccess.h"

#include <vector>

namespace {

constexpr wchar_t kInternetSettings[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

std::wstring ReadRegString(HKEY key, const wchar_t* name) {
  DWORD type = 0, bytes = 0;
  if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || bytes == 0)
    return std::wstring();
  std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &bytes) != ERROR_SUCCESS)
    return std::wstring();
  return std::wstring(value.data());
}

struct UrlParts {
  std::wstring server;
  std::wstring object;
  INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
  bool secure = false;
};

bool SplitUrl(const std::wstring& url, UrlParts* parts) {
  URL_COMPONENTSW c = {};
  c.dwStructSize = sizeof(c);
  c.dwHostNameLength = c.dwUrlPathLength = c.dwExtraInfoLength = c.dwSchemeLength = 1;
  if (!::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &c)) return false;
  if (c.nScheme != INTERNET_SCHEME_HTTP && c.nScheme != INTERNET_SCHEME_HTTPS) return false;
  if (!c.lpszHostName || c.dwHostNameLength == 0) return false;
  parts->server.assign(c.lpszHostName, c.dwHostNameLength);
  if (c.lpszUrlPath) parts->object.assign(c.lpszUrlPath, c.dwUrlPathLength);
  if (c.lpszExtraInfo) parts->object.append(c.lpszExtraInfo, c.dwExtraInfoLength);
  if (parts->object.empty()) parts->object = L"/";
  parts->port = c.nPort;
  parts->secure = c.nScheme == INTERNET_SCHEME_HTTPS;
  return true;
}

}  // namespace

CWebAccess::CWebAccess() {
  session_.Reset(::InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  // The settings are only recorded: a failure to read them must not stop the request.
  try {
    ReadProxySettings();
  } catch (...) {
    proxyEnabled_ = FALSE;
  }
}

CWebAccess::~CWebAccess() = default;

void CWebAccess::ReadProxySettings() {
  proxyEnabled_ = FALSE;
  proxyServer_.clear();
  proxyBypass_.clear();
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return;
  VxRegKey key(raw);
  DWORD enabled = 0, type = 0, bytes = sizeof(enabled);
  if (::RegQueryValueExW(key.Get(), L"ProxyEnable", nullptr, &type,
                         reinterpret_cast<BYTE*>(&enabled), &bytes) != ERROR_SUCCESS ||
      type != REG_DWORD || enabled == 0)
    return;
  proxyEnabled_ = TRUE;
  proxyBypass_ = ReadRegString(key.Get(), L"ProxyOverride");
  proxyServer_ = ReadRegString(key.Get(), L"ProxyServer");
}

DWORD CWebAccess::Request(const std::wstring& url, const std::string* formBody, size_t blockSize,
                          std::string* body) noexcept try {
  UrlParts parts;
  if (!session_ || !SplitUrl(url, &parts)) return kVxWebNoConnection;
  VxInternet connection(::InternetConnectW(session_.Get(), parts.server.c_str(), parts.port,
                                           nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
  if (!connection) return kVxWebNoConnection;
  const DWORD flags = INTERNET_FLAG_EXISTING_CONNECT | (parts.secure ? INTERNET_FLAG_SECURE : 0);
  VxInternet request(::HttpOpenRequestW(connection.Get(), L"POST", parts.object.c_str(), nullptr,
                                        nullptr, nullptr, flags, 1));
  if (!request) return kVxWebNoConnection;
  BOOL sent;
  if (formBody) {
    static const wchar_t kForm[] = L"Content-Type: application/x-www-form-urlencoded";
    sent = ::HttpSendRequestW(request.Get(), kForm, static_cast<DWORD>(-1),
                              const_cast<char*>(formBody->data()),
                              static_cast<DWORD>(formBody->size()));
  } else {
    sent = ::HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0);
  }
  if (!sent) return kVxWebNoConnection;
  DWORD status = 0, size = sizeof(status);
  if (!::HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr))
    return kVxWebNoStatus;
  if (status != 200) return status;
  std::vector<char> block(blockSize ? blockSize : 1);
  std::string bytes;
  for (;;) {
    DWORD read = 0;
    if (!::InternetReadFile(request.Get(), block.data(), static_cast<DWORD>(block.size()), &read))
      return ::GetLastError();
    if (read == 0) break;
    bytes.append(block.data(), read);
  }
  body->swap(bytes);
  return 1;
} catch (...) {
  return kVxWebNoConnection;
}
