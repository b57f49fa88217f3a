#pragma once
// A short-lived Internet session for one request to the maker's servers. It records the
// user's proxy settings; requests go through the system's pre-configured access.
#include <windows.h>

#include <string>
#include <vector>

#include "uilib/VxExport.h"
#include "uilib/VxRaii.h"

// Result codes besides 1 (status 200) and the server's own status.
constexpr DWORD kVxWebNoConnection = static_cast<DWORD>(-20);
constexpr DWORD kVxWebNoStatus = static_cast<DWORD>(-21);

class LUMETTE_API CWebAccess {
 public:
  struct PostArgument {
    std::wstring name;
    std::wstring value;
  };

  CWebAccess();
  ~CWebAccess();
  CWebAccess(const CWebAccess&) = delete;
  CWebAccess& operator=(const CWebAccess&) = delete;

  // Sends the request with the POST verb (with formBody, when given, as its body) and reads
  // the reply in blocks of blockSize bytes into body. Returns 1 for status 200, the status
  // for any other, kVxWebNoConnection, kVxWebNoStatus, or the system's error of a failed read.
  DWORD Request(const std::wstring& url, const std::string* formBody, size_t blockSize,
                std::string* body) noexcept;

  bool ProxyEnabled() const { return proxyEnabled_ != FALSE; }
  const std::wstring& ProxyServer() const { return proxyServer_; }
  const std::wstring& ProxyBypass() const { return proxyBypass_; }

 private:
  void ReadProxySettings();

  VxInternet session_;
  std::wstring proxyServer_;
  std::wstring proxyBypass_;
  BOOL proxyEnabled_ = FALSE;
  std::vector<PostArgument> postArguments_;
};
