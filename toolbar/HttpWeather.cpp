#include "toolbar/HttpWeather.h"

#include <wininet.h>

#include <string>

#include "toolbar/core/body_cap.h"
#include "toolbar/core/http_status.h"
#include "toolbar/core/mem_gzip_reader.h"
#include "uilib/VxRaii.h"

namespace {

constexpr DWORD kReadPiece = 4096;
// A weather answer is a few kilobytes; a gzip body that inflates past this is not one.
constexpr int kMaxDecoded = 256 * 1024;
constexpr wchar_t kHeaders[] = L"Accept: text/*\r\nUser-Agent: QMR's Netkelp Http Client\r\n";

constexpr wchar_t kBadUrl[] = L"非法的URL";
constexpr wchar_t kNoConnection[] = L"无法与服务器建立连接";
constexpr wchar_t kSendFailed[] = L"网络错误－无法发送请求报头";
constexpr wchar_t kNoStatus[] = L"网络错误－无法查询反馈代码";
constexpr wchar_t kReceiveFailed[] = L"接收数据错误";

struct Target {
  std::wstring server;
  std::wstring object;
  INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
};

// Plain HTTP only: the client has no TLS.
bool SplitHttpUrl(const std::wstring& url, Target* t) {
  URL_COMPONENTSW c = {};
  c.dwStructSize = sizeof(c);
  c.dwHostNameLength = c.dwUrlPathLength = c.dwExtraInfoLength = c.dwSchemeLength = 1;
  if (url.empty() || !::InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &c))
    return false;
  if (c.nScheme != INTERNET_SCHEME_HTTP || !c.lpszHostName || c.dwHostNameLength == 0) return false;
  t->server.assign(c.lpszHostName, c.dwHostNameLength);
  if (c.lpszUrlPath) t->object.assign(c.lpszUrlPath, c.dwUrlPathLength);
  if (c.lpszExtraInfo) t->object.append(c.lpszExtraInfo, c.dwExtraInfoLength);
  if (t->object.empty()) t->object = L"/";
  t->port = c.nPort;
  return true;
}

// The time-outs must hold, or an offline fetch could hang the weather thread. Back-off and
// retries are refinements: Wine's Internet functions refuse the back-off option, and the
// weather service retries on its own anyway.
bool SetSessionOptions(HINTERNET session) {
  const struct {
    DWORD option;
    DWORD value;
    bool required;
  } options[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, 10000, true},
                 {INTERNET_OPTION_CONNECT_BACKOFF, 1000, false},
                 {INTERNET_OPTION_CONNECT_RETRIES, 3, false},
                 {INTERNET_OPTION_RECEIVE_TIMEOUT, 60000, true}};
  for (const auto& o : options) {
    DWORD value = o.value;
    if (!::InternetSetOptionW(session, o.option, &value, sizeof(value)) && o.required) return false;
  }
  return true;
}

std::wstring AnsiToWide(const char* text) {
  const int n = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
  if (n <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

VxInternet OpenRequest(HINTERNET connection, const std::wstring& object) {
  const DWORD flags =
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT;
  return VxInternet(::HttpOpenRequestW(connection, L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                       flags, 1));
}

}  // namespace

void CHttpWeather::SetStatusError(DWORD status) {
  if (const wchar_t* text = HttpStatusText(static_cast<int>(status))) m_strError = text;
}

std::wstring CHttpWeather::HttpGet(const std::wstring& url) noexcept try {
  m_bBodyCut = false;
  m_dwSystemError = 0;
  return Fetch(url);
} catch (...) {
  m_strError = L"网络错误";
  return std::wstring();
}

std::wstring CHttpWeather::Fail(const wchar_t* text) {
  m_dwSystemError = ::GetLastError();
  m_strError = text;
  return std::wstring();
}

std::wstring CHttpWeather::Fetch(const std::wstring& url) {
  VxInternet session(::InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session || !SetSessionOptions(session.Get())) return std::wstring();
  Target target;
  if (!SplitHttpUrl(url, &target)) return Fail(kBadUrl);
  VxInternet connection(::InternetConnectW(session.Get(), target.server.c_str(), target.port,
                                           nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
  if (!connection) return Fail(kNoConnection);
  // A kept-alive connection the server has just closed fails the send; the request goes again
  // once, as a new request, so that it cannot be given the same connection.
  VxInternet request;
  DWORD sendError = 0;
  for (int attempt = 0; attempt < 2 && !request; ++attempt) {
    request = OpenRequest(connection.Get(), target.object);
    if (!request) return Fail(kNoConnection);
    if (!::HttpAddRequestHeadersW(request.Get(), kHeaders, static_cast<DWORD>(-1),
                                  HTTP_ADDREQ_FLAG_ADD_IF_NEW))
      return Fail(kSendFailed);
    if (!::HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0)) {
      sendError = ::GetLastError();
      request.Reset();
    }
  }
  if (!request) {
    ::SetLastError(sendError);
    return Fail(kSendFailed);
  }
  DWORD status = 0, size = sizeof(status);
  if (!::HttpQueryInfoW(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr)) return Fail(kNoStatus);
  // Redirects are not followed, so a 3xx ends the fetch like any other failure.
  if (status < 200 || status > 299) {
    SetStatusError(status);
    return std::wstring();
  }
  CBodyCollector body;
  char piece[kReadPiece];
  for (;;) {
    // A read takes what the network has delivered, up to a piece: a synchronous read would
    // otherwise wait to fill the whole piece, and the cut would not fall where the pieces end.
    DWORD available = 0;
    if (!::InternetQueryDataAvailable(request.Get(), &available, 0, 0) || available == 0 ||
        available > sizeof(piece))
      available = sizeof(piece);
    DWORD read = 0;
    if (!::InternetReadFile(request.Get(), piece, available, &read)) return Fail(kReceiveFailed);
    if (read == 0 || !body.Add(piece, read)) break;
  }
  CMemGzipReader gzip(body.Data(), static_cast<int>(body.Size()), kMaxDecoded);
  gzip.Decode();  // a damaged member still gives what came before the damage
  m_bBodyCut = body.Cut() || gzip.Capped();
  m_strResult = AnsiToWide(gzip.Data());
  return m_strResult;
}
