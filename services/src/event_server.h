// An httplib::Server whose sockets are read and written by a few epoll loops instead of one
// blocked worker thread per connection. httplib still parses each request, routes it and
// writes the answer, but only once the whole request has arrived, and into memory: a loop never
// waits for a client, so clients that are slow, idle or hostile hold no thread.
#pragma once
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vx::svc {

struct ConnectionLimits {
  // From its first byte, a request (head and body) must arrive whole within this; time-outs
  // that restart with every byte let a client keep a request open for ever.
  std::chrono::milliseconds request{5000};
  // A connection may wait this long for its next request (the Keep-Alive time-out).
  std::chrono::milliseconds idle{5000};
  // The client must take a whole answer within this.
  std::chrono::milliseconds answer{30000};
  size_t maxHead = 64 * 1024;  // request line and headers
  size_t maxConnections = 4096;
  int backlog = 4096;  // the kernel caps it at net.core.somaxconn
  int loops = 8;  // threads, each with its share of the connections
};

class EventServer : public httplib::Server {
 public:
  explicit EventServer(const ConnectionLimits& limits);
  ~EventServer() override;

  // Listens on host:port (0: any free port); returns the port, or -1.
  int Bind(const std::string& host, int port);
  // Serves until Stop(); Bind() first. Returns false when there was nothing to serve.
  bool Serve();
  // Safe from any thread and from a signal handler.
  void Stop();

  struct Conn;
  struct Loop;

 private:
  void Answer(Conn& c);
  const ConnectionLimits limits_;
  int listenFd_ = -1;
  std::string localIp_;
  int localPort_ = 0;
  const int stopFd_;
  std::atomic<bool> stopping_{false};
  std::vector<Loop*> loops_;  // while serving
  std::atomic<size_t> nextLoop_{0};
  std::atomic<size_t> connections_{0};
};

}  // namespace vx::svc
