#include "event_server.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <strings.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace vx::svc {

using Clock = std::chrono::steady_clock;

struct EventServer::Conn {
  enum State { kIdle, kReading, kSending };
  int fd = -1;
  std::string remoteIp;
  int remotePort = 0;
  std::string in;   // received, not yet answered
  std::string out;  // answer bytes not yet sent
  size_t sent = 0;
  State state = kIdle;
  Clock::time_point deadline;
  size_t frame = 0;        // the first `frame` bytes of `in` are the request being answered
  bool last = false;       // that request ends the connection
  bool continued = false;  // "100 Continue" went out for the request being read
  bool closeAfter = false;
  bool readable = false;  // the socket may hold bytes not read yet
  bool shut = false;      // the client has said it will send nothing after what it sent
  bool eof = false;       // and all of that has been read
  bool dead = false;
  size_t served = 0;
  // A paced answer (header X-Vx-Pace) stops at each of these offsets of `out` for `pause`.
  std::vector<size_t> breaks;
  std::chrono::milliseconds pause{0};
  Clock::time_point resumeAt;
  bool paused = false;
};

namespace {

constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
constexpr auto kTick = std::chrono::milliseconds(100);
constexpr std::string_view kPaceHeader = "\r\nX-Vx-Pace: ";

// "X-Vx-Pace: <ms>;<piece>,<piece>,..." in an answer's head asks for its body to go out in
// pieces of those sizes with a pause of <ms> before each piece after the first; a first piece
// of 0 delays the whole body. The client tests use it to see bodies arrive the way slow
// networks deliver them.
void TakePacing(EventServer::Conn& c) {
  c.breaks.clear();
  const size_t headEnd = c.out.find("\r\n\r\n");
  if (headEnd == std::string::npos) return;
  const size_t at = std::string_view(c.out).substr(0, headEnd).find(kPaceHeader);
  if (at == std::string_view::npos) return;
  const size_t from = at + kPaceHeader.size();
  const std::string value = c.out.substr(from, c.out.find("\r\n", from) - from);
  const long ms = std::strtol(value.c_str(), nullptr, 10);
  c.pause = std::chrono::milliseconds(std::clamp(ms, 0L, 20000L));
  size_t offset = headEnd + 4;
  size_t pos = value.find(';');
  while (pos != std::string::npos && c.breaks.size() < 64) {
    const size_t piece = std::strtoul(value.c_str() + pos + 1, nullptr, 10);
    offset += piece;
    if (offset >= c.out.size()) break;
    if (c.breaks.empty() || offset > c.breaks.back()) c.breaks.push_back(offset);
    pos = value.find(',', pos + 1);
  }
}

// Where the next request in `buf` ends, read the way httplib's parser reads it, so that it is
// handed exactly one whole request: the request line, header lines up to the line that is
// just CRLF (lines without CR are skipped, as httplib does), then the body of the methods that
// httplib reads one for, by Content-Length, by chunks, or up to the end of the stream.
struct Frame {
  enum Kind { kIncomplete, kComplete, kUntilEnd, kLineTooLong, kHeadTooLarge } kind = kIncomplete;
  size_t size = 0;
  bool last = false;            // what follows cannot be told apart from this request
  bool expectContinue = false;  // the head is complete and the client waits for "100 Continue"
};

bool NextLine(std::string_view buf, size_t& pos, std::string_view* line) {
  const size_t eol = buf.find('\n', pos);
  if (eol == std::string_view::npos) return false;
  *line = buf.substr(pos, eol + 1 - pos);
  pos = eol + 1;
  return true;
}

Frame FrameRequest(std::string_view buf, size_t maxHead, size_t maxBody) {
  Frame f;
  size_t pos = 0;
  std::string_view line;
  if (!NextLine(buf, pos, &line)) {
    if (buf.size() > maxHead) f.kind = Frame::kLineTooLong;
    return f;
  }
  const std::string_view method = line.substr(0, line.find(' '));
  bool hasLength = false, chunked = false, sawEncoding = false;
  unsigned long long length = 0;
  for (;;) {
    if (!NextLine(buf, pos, &line)) {
      if (buf.size() > maxHead) f.kind = Frame::kHeadTooLarge;
      return f;
    }
    if (pos > maxHead) {
      f.kind = Frame::kHeadTooLarge;
      return f;
    }
    if (line == "\r\n") break;
    if (line.size() < 2 || line[line.size() - 2] != '\r') continue;
    std::string_view h = line.substr(0, line.size() - 2);
    while (!h.empty() && (h.back() == ' ' || h.back() == '\t')) h.remove_suffix(1);
    const size_t colon = h.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string name(h.substr(0, colon));
    std::string_view value = h.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    if (value.empty()) continue;  // httplib keeps no header without a value
    // The first of repeated headers counts, as in httplib.
    if (!hasLength && strcasecmp(name.c_str(), "Content-Length") == 0) {
      hasLength = true;
      length = std::strtoull(std::string(value).c_str(), nullptr, 10);
    } else if (!sawEncoding && strcasecmp(name.c_str(), "Transfer-Encoding") == 0) {
      sawEncoding = true;
      chunked = strcasecmp(std::string(value).c_str(), "chunked") == 0;
    } else if (strcasecmp(name.c_str(), "Expect") == 0 && value == "100-continue") {
      f.expectContinue = true;
    }
  }
  const size_t headEnd = pos;
  const bool hasBody = method == "POST" || method == "PUT" || method == "PATCH" || method == "PRI" ||
                       method == "DELETE";
  auto complete = [&](size_t size, bool last) {
    f.kind = Frame::kComplete;
    f.size = size;
    f.last = last;
    f.expectContinue = false;
    return f;
  };
  if (!hasBody) return complete(headEnd, false);
  if (chunked) {
    // As httplib reads chunks: size line, data, CRLF, ..., a zero size, then one CRLF line.
    if (!NextLine(buf, pos, &line)) return f;
    for (;;) {
      const std::string sizeText(line);
      char* end = nullptr;
      const unsigned long chunk = std::strtoul(sizeText.c_str(), &end, 16);
      if (end == sizeText.c_str() || chunk == ULONG_MAX || chunk > maxBody) return complete(pos, true);
      if (chunk == 0) break;
      if (pos - headEnd + chunk > maxBody) return complete(pos, true);
      if (buf.size() - pos < chunk) return f;
      pos += chunk;
      if (!NextLine(buf, pos, &line)) return f;
      if (line != "\r\n") return complete(pos, false);
      if (!NextLine(buf, pos, &line)) return f;
    }
    if (!NextLine(buf, pos, &line)) return f;
    return complete(pos, false);
  }
  if (!hasLength) {
    // httplib reads such a body up to the end of the stream.
    if (buf.size() - headEnd > maxBody) return complete(buf.size(), true);
    f.kind = Frame::kUntilEnd;
    f.expectContinue = false;
    return f;
  }
  // A body over the limit is refused (413) without being read; nothing after it can be parsed.
  if (length > maxBody) return complete(headEnd, true);
  if (buf.size() - headEnd < length) return f;
  return complete(headEnd + size_t(length), false);
}

// One framed request as httplib's stream: reads from the received bytes, writes into the answer.
class BufferStream final : public httplib::Stream {
 public:
  BufferStream(EventServer::Conn& c, const std::string& localIp, int localPort)
      : c_(c), localIp_(localIp), localPort_(localPort) {}
  bool is_readable() const override { return pos_ < c_.frame; }
  bool is_writable() const override { return true; }
  ssize_t read(char* ptr, size_t size) override {
    const size_t left = c_.frame - pos_;
    if (left == 0) {
      exhausted_ = true;
      return 0;
    }
    size = std::min(size, left);
    std::memcpy(ptr, c_.in.data() + pos_, size);
    pos_ += size;
    return ssize_t(size);
  }
  ssize_t write(const char* ptr, size_t size) override {
    // The loop already told the client to go on while the body was on its way.
    const bool first = !wrote_;
    wrote_ = true;
    if (first && c_.continued && std::string_view(ptr, size) == kContinue) return ssize_t(size);
    c_.out.append(ptr, size);
    return ssize_t(size);
  }
  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    ip = c_.remoteIp;
    port = c_.remotePort;
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    ip = localIp_;
    port = localPort_;
  }
  socket_t socket() const override { return c_.fd; }

  size_t consumed() const { return pos_; }
  bool exhausted() const { return exhausted_; }

 private:
  EventServer::Conn& c_;
  const std::string& localIp_;
  int localPort_;
  size_t pos_ = 0;
  bool exhausted_ = false;
  bool wrote_ = false;
};

std::string NumericAddress(const sockaddr_storage& a, int* port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (a.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(a);
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    *port = ntohs(v6.sin6_port);
  } else {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(a);
    inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    *port = ntohs(v4.sin_port);
  }
  return text;
}

std::string StatusOnly(int status, const char* reason) {
  return "HTTP/1.1 " + std::to_string(status) + " " + reason +
         "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

}  // namespace

// One thread: accepts its share of connections and reads, answers and writes them. Answers are
// made in place: the request is whole and the answer goes to memory, so making it never waits
// for a client, and handing it to another thread would only cost two thread switches.
struct EventServer::Loop {
  EventServer& server;
  const ConnectionLimits& limits;
  size_t maxBody = 0;
  int listenFd = -1;
  int epollFd = -1;
  int inboxFd = -1;  // raised when another loop hands this one connections
  char stopTag = 0;  // names the stop event in epoll

  struct Incoming {
    int fd;
    sockaddr_storage addr;
  };
  std::mutex inboxMutex;
  std::vector<Incoming> inbox;
  std::vector<Incoming> adopting;

  std::unordered_map<Conn*, std::unique_ptr<Conn>> conns;
  std::vector<std::unique_ptr<Conn>> closed;  // freed once no event of this round can name them
  std::vector<Conn*> again;  // connections with more pipelined requests, taken up next round
  std::vector<Conn*> paced;  // connections pausing inside a paced answer
  bool accepting = false;
  Clock::time_point acceptAgain;
  Clock::time_point now;
  char scratch[16 * 1024];

  Loop(EventServer& s, const ConnectionLimits& l) : server(s), limits(l) {
    epollFd = epoll_create1(EPOLL_CLOEXEC);
    inboxFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  }
  ~Loop() {
    for (auto& [raw, c] : conns) ::close(c->fd);
    for (const auto& i : inbox) ::close(i.fd);
    for (int fd : {epollFd, inboxFd})
      if (fd >= 0) ::close(fd);
  }

  void Watch(int fd, void* tag, uint32_t events) {
    epoll_event ev{};
    ev.events = events;
    ev.data.ptr = tag;
    epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &ev);
  }

  void SetAccepting(bool on) {
    if (on == accepting) return;
    accepting = on;
    if (on) {
      // Every loop waits on the one listening socket; each connection wakes only one of them.
      Watch(listenFd, &listenFd, EPOLLIN | EPOLLEXCLUSIVE);
    } else {
      epoll_ctl(epollFd, EPOLL_CTL_DEL, listenFd, nullptr);
    }
  }

  void Accept() {
    // A bounded batch, so that a flood of connections does not hold up the answers.
    for (int i = 0; i < 64 && server.connections_.load() < limits.maxConnections; ++i) {
      Incoming in{};
      socklen_t len = sizeof in.addr;
      in.fd = accept4(listenFd, reinterpret_cast<sockaddr*>(&in.addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (in.fd < 0) {
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
          // Out of descriptors: the waiting connections stay in the backlog for a moment
          // rather than keeping this loop busy with an accept that cannot succeed.
          SetAccepting(false);
          acceptAgain = now + kTick;
        }
        return;
      }
      ++server.connections_;
      // Whichever loop the kernel wakes takes every waiting connection, so connections are
      // dealt out in turn; otherwise a burst of clients all lands on one loop.
      Loop& to = *server.loops_[server.nextLoop_++ % server.loops_.size()];
      if (&to == this) {
        Adopt(in);
      } else {
        to.Hand(in);
      }
    }
    if (server.connections_.load() >= limits.maxConnections) SetAccepting(false);
  }

  // From another loop's thread.
  void Hand(const Incoming& in) {
    bool wasEmpty;
    {
      std::lock_guard<std::mutex> lock(inboxMutex);
      wasEmpty = inbox.empty();
      inbox.push_back(in);
    }
    if (wasEmpty) {
      const uint64_t one = 1;
      [[maybe_unused]] ssize_t n = ::write(inboxFd, &one, sizeof one);
    }
  }

  void TakeHanded() {
    uint64_t count;
    [[maybe_unused]] ssize_t n = ::read(inboxFd, &count, sizeof count);
    {
      std::lock_guard<std::mutex> lock(inboxMutex);
      adopting.swap(inbox);
    }
    for (const auto& in : adopting) Adopt(in);
    adopting.clear();
  }

  void Adopt(const Incoming& in) {
    // A pipelined client's answers must not wait for its delayed ACK.
    const int yes = 1;
    setsockopt(in.fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    auto c = std::make_unique<Conn>();
    c->fd = in.fd;
    c->remoteIp = NumericAddress(in.addr, &c->remotePort);
    c->deadline = Clock::now() + limits.idle;
    Conn* raw = c.get();
    conns.emplace(raw, std::move(c));
    Watch(in.fd, raw, EPOLLIN | EPOLLOUT | EPOLLRDHUP | EPOLLET);
  }

  void Close(Conn& c) {
    if (c.dead) return;
    c.dead = true;
    ::close(c.fd);
    --server.connections_;
    auto it = conns.find(&c);
    closed.push_back(std::move(it->second));
    conns.erase(it);
  }

  size_t ReadLimit() const { return limits.maxHead + maxBody + sizeof scratch; }

  // Reads what the socket holds, up to what one request may need.
  void ReadMore(Conn& c) {
    while (c.readable && !c.eof && c.in.size() < ReadLimit()) {
      const size_t want = std::min(sizeof scratch, ReadLimit() - c.in.size());
      const ssize_t n = ::recv(c.fd, scratch, want, 0);
      if (n > 0) {
        c.in.append(scratch, size_t(n));
        // Less than asked for: the socket is empty, and new bytes will raise a new event. The
        // end of the stream raised its event already, perhaps with these very bytes.
        if (size_t(n) < want) {
          c.readable = false;
          c.eof = c.shut;
        }
      } else if (n == 0) {
        c.eof = true;
      } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
        c.readable = false;
        c.eof = c.shut;
      } else if (errno != EINTR) {
        c.readable = false;
        c.eof = true;
        c.closeAfter = true;
      }
    }
  }

  void Reject(Conn& c, int status, const char* reason) {
    c.out = StatusOnly(status, reason);
    c.sent = 0;
    c.closeAfter = true;
    Send(c);
  }

  // Moves on a connection that is not sending an answer.
  void Advance(Conn& c) {
    // Pipelined requests are answered one after the other, each once the one before has gone
    // out, so a client that does not read its answers is not given more of them; and a few at a
    // time, so that one client sending them without pause cannot keep the others waiting.
    for (int answered = 0;; ++answered) {
      if (answered == 16) {
        again.push_back(&c);
        return;
      }
      ReadMore(c);
      if (c.in.empty()) {
        if (c.eof) return Close(c);
        if (c.state != Conn::kIdle) {
          c.state = Conn::kIdle;
          c.deadline = now + limits.idle;
        }
        return;
      }
      if (c.state != Conn::kReading) {
        // The time for the whole request runs from its first byte, whatever comes after.
        c.state = Conn::kReading;
        c.deadline = now + limits.request;
        c.continued = false;
      }
      const Frame f = FrameRequest(c.in, limits.maxHead, maxBody);
      switch (f.kind) {
        case Frame::kLineTooLong: return Reject(c, 414, "URI Too Long");
        case Frame::kHeadTooLarge: return Reject(c, 431, "Request Header Fields Too Large");
        case Frame::kComplete: break;
        case Frame::kUntilEnd:
        case Frame::kIncomplete:
          // A client that stopped sending gets the answer httplib gives to what did arrive.
          if (c.eof) break;
          if (c.in.size() >= ReadLimit()) return Reject(c, 413, "Payload Too Large");
          if (f.expectContinue && !c.continued) {
            c.continued = true;
            ::send(c.fd, kContinue.data(), kContinue.size(), MSG_NOSIGNAL);
          }
          return;
      }
      c.frame = f.kind == Frame::kComplete ? f.size : c.in.size();
      // Requests that came before the end of the stream are all answered.
      c.last = f.last || (c.eof && c.frame == c.in.size());
      server.Answer(c);
      if (!Send(c)) return;
    }
  }

  // Sends what is left of the answer; true when it is all out and the connection goes on.
  bool Send(Conn& c) {
    if (c.paused) return false;  // the pause ends in Run, not at the next EPOLLOUT
    while (c.sent < c.out.size()) {
      if (!c.breaks.empty() && c.sent >= c.breaks.front()) {
        c.breaks.erase(c.breaks.begin());
        c.paused = true;
        c.resumeAt = now + c.pause;
        c.state = Conn::kSending;
        c.deadline = now + limits.answer;
        paced.push_back(&c);
        return false;
      }
      const size_t end = c.breaks.empty() ? c.out.size() : c.breaks.front();
      const ssize_t n = ::send(c.fd, c.out.data() + c.sent, end - c.sent, MSG_NOSIGNAL);
      if (n > 0) {
        c.sent += size_t(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        // On at the next EPOLLOUT.
        if (c.state != Conn::kSending) {
          c.state = Conn::kSending;
          c.deadline = now + limits.answer;
        }
        return false;
      } else {
        Close(c);
        return false;
      }
    }
    c.out.clear();
    c.sent = 0;
    if (c.closeAfter) {
      Close(c);
      return false;
    }
    // Whatever follows is the next request, with its own time.
    c.state = Conn::kIdle;
    c.deadline = now + limits.idle;
    return true;
  }

  void ResumePaced() {
    std::vector<Conn*> due;
    for (auto it = paced.begin(); it != paced.end();) {
      // Closed connections leave the list here; their memory may be reused, hence the lookup.
      const auto live = conns.find(*it);
      if (live == conns.end() || !live->second->paused) {
        it = paced.erase(it);
      } else if (now >= (*it)->resumeAt) {
        due.push_back(*it);
        it = paced.erase(it);
      } else {
        ++it;
      }
    }
    for (Conn* c : due) {
      c->paused = false;
      if (Send(*c)) Advance(*c);
    }
  }

  void Expire() {
    std::vector<Conn*> late;
    for (auto& [raw, c] : conns)
      if (now >= c->deadline) late.push_back(raw);
    for (Conn* c : late) {
      if (c->state == Conn::kReading) {
        Reject(*c, 408, "Request Timeout");
      } else {
        Close(*c);
      }
    }
    if (!accepting && now >= acceptAgain && server.connections_.load() < limits.maxConnections) SetAccepting(true);
  }

  void Run() {
    // Never read: once Stop() writes to it, it wakes every loop, now and at every later wait.
    Watch(server.stopFd_, &stopTag, EPOLLIN);
    Watch(inboxFd, &inboxFd, EPOLLIN);
    SetAccepting(true);
    epoll_event events[256];
    Clock::time_point nextTick = Clock::now() + kTick;
    std::vector<Conn*> pending;
    while (!server.stopping_.load(std::memory_order_relaxed)) {
      // Those left over last round go after everyone who is waiting now.
      pending.swap(again);
      int wait = pending.empty() ? int(kTick.count()) : 0;
      for (Conn* c : paced)
        wait = std::min(wait, int(std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                            c->resumeAt - Clock::now()).count())));
      const int n = epoll_wait(epollFd, events, 256, wait);
      now = Clock::now();
      for (int i = 0; i < std::max(n, 0); ++i) {
        void* tag = events[i].data.ptr;
        if (tag == &listenFd) {
          Accept();
        } else if (tag == &inboxFd) {
          TakeHanded();
        } else if (tag != &stopTag) {
          Conn& c = *static_cast<Conn*>(tag);
          if (c.dead) continue;
          const uint32_t ev = events[i].events;
          if (ev & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) c.readable = true;
          if (ev & (EPOLLRDHUP | EPOLLHUP)) c.shut = true;
          if (c.state == Conn::kSending) {
            if ((ev & (EPOLLOUT | EPOLLHUP | EPOLLERR)) && Send(c)) Advance(c);
          } else if (c.readable) {
            Advance(c);
          }
        }
      }
      for (Conn* c : pending)
        // It may have been closed since, and its memory even reused: only a live connection
        // that is not sending is moved on, and moving on any such connection is harmless.
        if (conns.count(c) && c->state != Conn::kSending) Advance(*c);
      pending.clear();
      ResumePaced();
      if (now >= nextTick) {
        Expire();
        nextTick = now + kTick;
      }
      closed.clear();
    }
  }
};

EventServer::EventServer(const ConnectionLimits& limits)
    : limits_(limits), stopFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

EventServer::~EventServer() {
  for (int fd : {listenFd_, stopFd_})
    if (fd >= 0) ::close(fd);
}

int EventServer::Bind(const std::string& host, int port) {
  if (listenFd_ >= 0 || stopFd_ < 0) return -1;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
  for (addrinfo* a = found; a && listenFd_ < 0; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    // A restart finds the port still in TIME_WAIT; a second server on the same port still fails.
    const int yes = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, limits_.backlog) == 0) {
      listenFd_ = fd;
    } else {
      ::close(fd);
    }
  }
  freeaddrinfo(found);
  if (listenFd_ < 0) return -1;
  sockaddr_storage bound{};
  socklen_t len = sizeof bound;
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &len);
  localIp_ = NumericAddress(bound, &localPort_);
  return localPort_;
}

bool EventServer::Serve() {
  if (listenFd_ < 0 || !loops_.empty()) return false;
  const size_t count = size_t(std::max(1, limits_.loops));
  std::vector<std::unique_ptr<Loop>> loops;
  for (size_t i = 0; i < count; ++i) {
    auto l = std::make_unique<Loop>(*this, limits_);
    if (l->epollFd < 0 || l->inboxFd < 0) return false;
    l->listenFd = listenFd_;
    l->maxBody = payload_max_length_;
    loops_.push_back(l.get());
    loops.push_back(std::move(l));
  }
  std::vector<std::thread> threads;
  for (size_t i = 1; i < count; ++i) threads.emplace_back([&loops, i] { loops[i]->Run(); });
  loops[0]->Run();
  for (auto& t : threads) t.join();
  loops_.clear();
  return true;
}

void EventServer::Stop() {
  // Only what a signal handler may do.
  stopping_.store(true);
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
}

void EventServer::Answer(Conn& c) {
  BufferStream stream(c, localIp_, localPort_);
  const bool close = c.last || c.served + 1 >= keep_alive_max_count_ || stopping_.load();
  bool closedByClient = false;
  const bool ok = process_request(stream, close, closedByClient, nullptr);
  c.in.erase(0, stream.consumed());
  c.frame = 0;
  ++c.served;
  // A request that wanted more than arrived leaves the stream at no request boundary.
  c.closeAfter = c.closeAfter || !ok || close || closedByClient || stream.exhausted();
  TakePacing(c);
}

}  // namespace vx::svc
