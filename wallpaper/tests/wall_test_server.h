#pragma once
// A small HTTP server on loopback for the wallpaper tests: it answers each request through a
// handler (which may pass it on to the stand-in services), counts what was asked for, and
// can be stopped and started again on the same port, as a server that goes away.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class WallTestServer {
 public:
  // Fills status and body for a path (with its query); the default passes it on.
  using Handler = std::function<void(const std::string& path, int* status, std::string* body)>;

  explicit WallTestServer(Handler handler = nullptr);
  ~WallTestServer();
  bool Up();     // listens (again) on the same port
  void Down();   // refuses connections from now on
  int Port() const { return port_; }
  std::wstring Base() const;  // http://127.0.0.1:port/
  // Requests whose path contains `part`.
  int Hits(const std::string& part) const;
  std::vector<std::string> Paths() const;
  // Bodies for paths containing `part` go out from now on in `pieces` pieces, `gapMs` apart,
  // as over a slow line. SlowPiecesSent counts the pieces of such answers that went out;
  // SlowCut tells whether a client went away before the end of one.
  void Slow(const std::string& part, int pieces, int gapMs);
  int SlowPiecesSent() const { return slowSent_; }
  bool SlowCut() const { return slowCut_; }

  // The stand-in services' wallpaper base, from svc-test\services.ini beside bin.
  static std::wstring StandInBase();
  // GET from the stand-in.
  static void Forward(const std::string& path, int* status, std::string* body);

 private:
  void Serve();
  void Answer(SOCKET s);
  bool Send(SOCKET s, const std::string& bytes);

  Handler handler_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> paths_;
  std::string slowPart_;
  int slowPieces_ = 1, slowGapMs_ = 0;
  std::atomic<int> slowSent_{0};
  std::atomic<bool> slowCut_{false};
};
