#include "wallpaper/tests/wall_test_server.h"

#include <wininet.h>

#include "uilib/VxServices.h"

WallTestServer::WallTestServer(Handler handler) : handler_(std::move(handler)) {
  WSADATA wsa;
  ::WSAStartup(MAKEWORD(2, 2), &wsa);
  if (!handler_) handler_ = &WallTestServer::Forward;
  Up();
}

WallTestServer::~WallTestServer() {
  Down();
  ::WSACleanup();
}

bool WallTestServer::Up() {
  if (listener_ != INVALID_SOCKET) return true;
  listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  BOOL yes = TRUE;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof(yes));
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<u_short>(port_));
  int len = sizeof(a);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 || ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    ::closesocket(listener_);
    listener_ = INVALID_SOCKET;
    return false;
  }
  port_ = ntohs(a.sin_port);
  stop_ = false;
  thread_ = std::thread(&WallTestServer::Serve, this);
  return true;
}

void WallTestServer::Down() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
  listener_ = INVALID_SOCKET;
}

std::wstring WallTestServer::Base() const { return L"http://127.0.0.1:" + std::to_wstring(port_) + L"/"; }

int WallTestServer::Hits(const std::string& part) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  for (const auto& p : paths_) n += p.find(part) != std::string::npos;
  return n;
}

std::vector<std::string> WallTestServer::Paths() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return paths_;
}

void WallTestServer::Slow(const std::string& part, int pieces, int gapMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  slowPart_ = part;
  slowPieces_ = pieces > 0 ? pieces : 1;
  slowGapMs_ = gapMs;
}

void WallTestServer::Serve() {
  while (!stop_) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(listener_, &set);
    timeval tv{0, 50 * 1000};
    if (::select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
    SOCKET s = ::accept(listener_, nullptr, nullptr);
    if (s == INVALID_SOCKET) continue;
    Answer(s);
    ::closesocket(s);
  }
}

void WallTestServer::Answer(SOCKET s) {
  std::string head;
  char buf[2048];
  while (head.find("\r\n\r\n") == std::string::npos) {
    const int n = ::recv(s, buf, sizeof(buf), 0);
    if (n <= 0) return;
    head.append(buf, n);
  }
  const size_t sp = head.find(' '), sp2 = head.find(' ', sp + 1);
  if (sp == std::string::npos || sp2 == std::string::npos) return;
  const std::string path = head.substr(sp + 1, sp2 - sp - 1);
  std::string slowPart;
  int pieces = 1, gapMs = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    paths_.push_back(path);
    if (!slowPart_.empty() && path.find(slowPart_) != std::string::npos) {
      slowPart = slowPart_;
      pieces = slowPieces_;
      gapMs = slowGapMs_;
    }
  }
  int status = 404;
  std::string body;
  handler_(path, &status, &body);
  if (!Send(s, "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\nConnection: close\r\n\r\n"))
    return;
  const size_t piece = (body.size() + pieces - 1) / pieces;
  for (size_t at = 0; at < body.size() && !stop_; at += piece) {
    if (at > 0) ::Sleep(gapMs);
    if (!Send(s, body.substr(at, piece))) {
      if (!slowPart.empty()) slowCut_ = true;
      return;
    }
    if (!slowPart.empty()) ++slowSent_;
  }
  ::shutdown(s, SD_SEND);
}

bool WallTestServer::Send(SOCKET s, const std::string& bytes) {
  for (size_t sent = 0; sent < bytes.size();) {
    const int n = ::send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return false;
    sent += n;
  }
  return true;
}

std::wstring WallTestServer::StandInBase() {
  wchar_t exe[MAX_PATH];
  std::wstring p(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
  return VxServiceBaseFrom(p.substr(0, p.find_last_of(L'\\')) + L"\\..\\svc-test\\services.ini", L"wallpaper") + L"/";
}

void WallTestServer::Forward(const std::string& path, int* status, std::string* body) {
  *status = 502;
  const std::wstring url = StandInBase() + std::wstring(path.begin() + (path[0] == '/' ? 1 : 0), path.end());
  HINTERNET net = ::InternetOpenW(L"wall-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET req = net ? ::InternetOpenUrlW(net, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0) : nullptr;
  if (req) {
    DWORD code = 0, size = sizeof(code);
    ::HttpQueryInfoW(req, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr);
    char buf[8192];
    DWORD n = 0;
    while (::InternetReadFile(req, buf, sizeof(buf), &n) && n > 0) body->append(buf, n);
    *status = static_cast<int>(code);
    ::InternetCloseHandle(req);
  }
  if (net) ::InternetCloseHandle(net);
}
