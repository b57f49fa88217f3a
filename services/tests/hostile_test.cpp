// The server tried the way an unfriendly client would: connections that trickle or sit idle,
// requests in odd but lawful shapes, and statistics events made of bytes that are not text.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

#include "md5.h"
#include "stats.h"
#include "test_server.h"

using namespace vx::svc;
using nlohmann::json;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

int Connect(int port, bool blocking) {
  const int fd = socket(AF_INET, SOCK_STREAM | (blocking ? 0 : SOCK_NONBLOCK), 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(uint16_t(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && errno != EINPROGRESS) {
    close(fd);
    return -1;
  }
  return fd;
}

// One connection written and read byte for byte, for requests no ordinary client would send.
class Raw {
 public:
  explicit Raw(int port) : fd_(Connect(port, true)) {
    timeval tv{10, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  }
  ~Raw() { close(fd_); }
  bool ok() const { return fd_ >= 0; }

  bool Send(std::string_view s) {
    while (!s.empty()) {
      const ssize_t n = send(fd_, s.data(), s.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      s.remove_prefix(size_t(n));
    }
    return true;
  }
  void EndOfRequests() { shutdown(fd_, SHUT_WR); }

  struct Answer {
    int status = -1;  // -1: the connection ended first
    std::string head, body;
  };
  // The next answer: status line, headers and a Content-Length body.
  Answer Read() {
    Answer a;
    size_t end;
    while ((end = buf_.find("\r\n\r\n")) == std::string::npos)
      if (!Fill()) return a;
    a.head = buf_.substr(0, end + 4);
    buf_.erase(0, end + 4);
    a.status = std::atoi(a.head.c_str() + a.head.find(' ') + 1);
    const size_t cl = a.head.find("Content-Length: ");
    const size_t length = cl == std::string::npos ? 0 : std::strtoul(a.head.c_str() + cl + 16, nullptr, 10);
    while (buf_.size() < length)
      if (!Fill()) return a;
    a.body = buf_.substr(0, length);
    buf_.erase(0, length);
    return a;
  }
  // True when the server ends the connection with nothing more to say.
  bool Ends() { return buf_.empty() && !Fill() && buf_.empty(); }

 private:
  bool Fill() {
    char chunk[4096];
    const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    buf_.append(chunk, size_t(n));
    return true;
  }
  int fd_;
  std::string buf_;
};

std::string Get(const std::string& target) { return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"; }

void RaiseFileLimit() {
  rlimit r{};
  if (getrlimit(RLIMIT_NOFILE, &r) == 0 && r.rlim_cur < r.rlim_max) {
    r.rlim_cur = std::min<rlim_t>(r.rlim_max, 8192);
    setrlimit(RLIMIT_NOFILE, &r);
  }
}

}  // namespace

TEST(Hostile, SlowAndIdleClientsHoldUpNobody) {
  RaiseFileLimit();
  auto opt = test::DefaultOptions("hostile-slow.db");
  opt.threads = 2;
  opt.requestTimeout = milliseconds(1500);
  auto server = test::StartServer(opt);
  ASSERT_NE(server, nullptr);
  const int port = server->port;

  // 150 connections that each send one byte of a request every 20 ms and 150 that send
  // nothing. A trickling connection the server ends is replaced at once, as an attacker would.
  constexpr int kSlow = 150, kIdle = 150;
  const std::string request =
      "GET /get.php?name=webadd HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + std::string(8192, 'a');
  struct Slow {
    int fd = -1;
    size_t sent = 0;
    Clock::time_point opened;
  };
  std::atomic<bool> ready{false}, done{false};
  std::atomic<int> cut{0}, answered408{0};
  std::atomic<long long> longestMs{0};
  std::thread trickle([&] {
    std::vector<Slow> slow(kSlow);
    auto open = [&](Slow& s) {
      s.fd = Connect(port, false);
      s.sent = 0;
      s.opened = Clock::now();
    };
    for (auto& s : slow) open(s);
    std::vector<int> idle;
    for (int i = 0; i < kIdle; ++i) idle.push_back(Connect(port, false));
    while (!done) {
      for (auto& s : slow) {
        pollfd p{s.fd, POLLIN, 0};
        bool ended = poll(&p, 1, 0) > 0;
        if (ended) {
          char answer[256] = {};
          if (recv(s.fd, answer, sizeof answer - 1, 0) > 0 && std::strstr(answer, " 408 ")) ++answered408;
        } else if (s.sent < request.size()) {
          const ssize_t n = send(s.fd, request.data() + s.sent, 1, MSG_NOSIGNAL);
          if (n == 1) ++s.sent;
          ended = n < 0 && errno != EAGAIN && errno != ENOTCONN;
        }
        if (ended) {
          const long long ms = std::chrono::duration_cast<milliseconds>(Clock::now() - s.opened).count();
          longestMs = std::max(longestMs.load(), ms);
          ++cut;
          close(s.fd);
          open(s);
        }
      }
      ready = true;
      std::this_thread::sleep_for(milliseconds(20));
    }
    for (auto& s : slow) close(s.fd);
    for (int fd : idle) close(fd);
  });
  while (!ready) std::this_thread::sleep_for(milliseconds(10));

  // Ordinary requests, each on a new connection, spread over twice the request time-out so
  // that they meet the trickling connections at every age.
  std::vector<double> latencies;
  const auto until = Clock::now() + 2 * opt.requestTimeout;
  while (Clock::now() < until || latencies.size() < 50) {
    const auto start = Clock::now();
    auto r = server->Client().Get("/get.php?name=webadd");
    latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    ASSERT_TRUE(r) << "an ordinary request got no answer while slow clients were connected";
    ASSERT_EQ(r->status, 200);
    ASSERT_NE(r->body.find("\"webadd\""), std::string::npos);
    std::this_thread::sleep_for(milliseconds(10));
  }
  done = true;
  trickle.join();

  // Every first trickling connection was ended, none long after its request time ran out.
  EXPECT_GE(cut.load(), kSlow);
  EXPECT_GE(answered408.load(), kSlow / 2) << "the server says why it ends a trickling request";
  EXPECT_LE(longestMs.load(), (opt.requestTimeout + milliseconds(2500)).count());

  std::sort(latencies.begin(), latencies.end());
  std::cout << "ordinary requests beside " << kSlow << " trickling and " << kIdle
            << " idle connections: " << latencies.size() << " requests, median " << latencies[latencies.size() / 2]
            << " ms, worst " << latencies.back() << " ms; " << cut << " trickling connections ended ("
            << answered408 << " with 408), the longest after " << longestMs << " ms\n";
}

TEST(Hostile, RequestsArriveInAnyLawfulShape) {
  auto server = test::StartServer(test::DefaultOptions("hostile-shapes.db"));
  ASSERT_NE(server, nullptr);
  const int port = server->port;

  {  // Many requests in one write, answered in order on the same connection.
    Raw c(port);
    std::string all;
    for (int i = 0; i < 40; ++i) all += Get(i % 2 ? "/get.php?name=wallpaper_nums&type=37" : "/get.php?name=webadd");
    ASSERT_TRUE(c.Send(all));
    for (int i = 0; i < 40; ++i) {
      const auto a = c.Read();
      ASSERT_EQ(a.status, 200) << i;
      EXPECT_NE(a.body.find(i % 2 ? "\"pages\"" : "\"webadd\""), std::string::npos) << i;
    }
  }
  {  // A request in pieces, split inside the request line and inside a header.
    Raw c(port);
    for (std::string_view piece : {"GET /get.php?na", "me=webadd HTTP/1.1\r\nHo", "st: 127.0.0.1\r\n", "\r\n"}) {
      ASSERT_TRUE(c.Send(piece));
      std::this_thread::sleep_for(milliseconds(30));
    }
    EXPECT_EQ(c.Read().status, 200);
  }
  {  // Bodies by length and by chunks are read whole, and the next request follows them.
    Raw c(port);
    ASSERT_TRUE(c.Send("POST /get.php?name=webadd HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello"));
    ASSERT_TRUE(c.Send("POST /get.php?name=webadd HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                       "5\r\nhel"));
    std::this_thread::sleep_for(milliseconds(30));
    ASSERT_TRUE(c.Send("lo\r\n3\r\nabc\r\n0\r\n\r\n" + Get("/get.php?name=web_tuijian")));
    EXPECT_EQ(c.Read().status, 200);
    EXPECT_EQ(c.Read().status, 200);
    const auto last = c.Read();
    EXPECT_EQ(last.status, 200);
    EXPECT_NE(last.body.find("web_tj_top"), std::string::npos);
  }
  {  // A client that waits for "100 Continue" gets it before it sends the body, and once.
    Raw c(port);
    ASSERT_TRUE(c.Send("POST /get.php?name=webadd HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n"
                       "Expect: 100-continue\r\n\r\n"));
    EXPECT_EQ(c.Read().status, 100);
    ASSERT_TRUE(c.Send("hello" + Get("/get.php?name=webadd")));
    EXPECT_EQ(c.Read().status, 200);
    EXPECT_EQ(c.Read().status, 200);
  }
  {  // A client that stops sending gets its answers, then the end of the connection.
    Raw c(port);
    ASSERT_TRUE(c.Send(Get("/get.php?name=webadd") + "POST /get.php?name=webadd HTTP/1.1\r\nHost: x\r\n\r\n"));
    c.EndOfRequests();
    EXPECT_EQ(c.Read().status, 200);
    const auto untilEnd = c.Read();
    EXPECT_EQ(untilEnd.status, 200);
    EXPECT_NE(untilEnd.head.find("Connection: close"), std::string::npos);
    EXPECT_TRUE(c.Ends());
  }
  {  // HTTP/1.0 without keep-alive: one answer, then the end.
    Raw c(port);
    ASSERT_TRUE(c.Send("GET /get.php?name=webadd HTTP/1.0\r\n\r\n"));
    EXPECT_EQ(c.Read().status, 200);
    EXPECT_TRUE(c.Ends());
  }
  {  // Too much: a body over the limit, a head over the limit, a request line over the limit.
    Raw body(port);
    ASSERT_TRUE(body.Send("POST /get.php?name=webadd HTTP/1.1\r\nHost: x\r\nContent-Length: 10000000\r\n\r\n"));
    EXPECT_EQ(body.Read().status, 413);
    EXPECT_TRUE(body.Ends());
    Raw head(port);
    std::string many = "GET /get.php?name=webadd HTTP/1.1\r\n";
    while (many.size() < 70000) many += "X-Many: " + std::string(100, 'm') + "\r\n";
    ASSERT_TRUE(head.Send(many));
    EXPECT_EQ(head.Read().status, 431);
    Raw line(port);
    ASSERT_TRUE(line.Send("GET /get.php?name=" + std::string(70000, 'a')));
    EXPECT_EQ(line.Read().status, 414);
  }
  // And the server still answers as before.
  EXPECT_EQ(server->Client().Get("/get.php?name=webadd")->status, 200);
}

TEST(Hostile, StatisticsSurviveAnyBytes) {
  // Rows a store without checks could hold: bytes that are neither UTF-8 nor code page 936,
  // surrogates, a blob with a NUL, a number, a backslash; the counts page must read them all.
  auto opt = test::DefaultOptions("hostile-stats.db");
  {
    std::string error;
    ASSERT_NE(StatsStore::Open(opt.database.string(), &error), nullptr) << error;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(opt.database.string().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO events(op, ri, vs, mc, tm, client, received) "
                                     "VALUES(?, '\xff', '\xed\xa0\x80', '', '5', '127.0.0.1', 1)", -1, &st, nullptr),
              SQLITE_OK);
    auto add = [&](auto bind) {
      bind();
      EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
      sqlite3_reset(st);
    };
    for (const char* text : {"start", "start", "\xff\xfe", "\xed\xa0\x80\xff", "\xff\\"})
      add([&] { sqlite3_bind_text(st, 1, text, -1, SQLITE_TRANSIENT); });
    add([&] { sqlite3_bind_blob(st, 1, "a\0b", 3, SQLITE_TRANSIENT); });
    add([&] { sqlite3_bind_int(st, 1, 42); });
    sqlite3_finalize(st);
    sqlite3_close(db);
  }
  auto server = test::StartServer(opt);
  ASSERT_NE(server, nullptr);
  auto counts = [&] {
    auto r = server->Client().Get("/tongji/counts");
    EXPECT_TRUE(r);
    if (!r) return json();
    EXPECT_EQ(r->status, 200) << r->body;
    return json::parse(r->body, nullptr, false);
  };
  json c = counts();
  ASSERT_TRUE(c.is_object());
  EXPECT_EQ(c["total"], 7);
  EXPECT_EQ(c["by_op"]["start"], 2);
  EXPECT_EQ(c["by_op"]["\\xFF\\xFE"], 1);
  EXPECT_EQ(c["by_op"]["\\xED\\xA0\\x80\\xFF"], 1);
  EXPECT_EQ(c["by_op"]["\\xFF\\x5C"], 1);
  EXPECT_EQ(c["by_op"]["a\\x00b"], 1);
  EXPECT_EQ(c["by_op"]["42"], 1);

  // Now every field of signed events, sent raw (as the desktop sends them) and percent-encoded.
  struct Bytes {
    const char* what;
    std::string bytes;
    bool text;  // text in code page 936
  };
  const Bytes samples[] = {
      {"code page 936 (启动)", "\xc6\xf4\xb6\xaf", true},
      {"invalid UTF-8 and not code page 936", "\xff\xfe", false},
      {"a lead byte with no trail", "go\xc6", false},
      {"an unassigned code page 936 pair", "\xa2\xe3", false},
      {"UTF-8 overlong '/' (reads as one code page 936 character)", "\xc0\xaf", true},
      {"UTF-8 overlong in three bytes", "\xe0\x80\xaf", false},
      {"UTF-8 surrogate halves (read as code page 936, 0x80 being the euro sign)", "\xed\xa0\x80\xed\xb0\x80", true},
  };
  const char* fields[] = {"op", "ri", "vs", "mc", "tm", "key"};
  long long accepted = 0;
  for (const auto& s : samples) {
    for (const char* field : fields) {
      StatsEvent e{"start", "desk", "1.0", "", "1767225600", ""};
      std::string* f = field == std::string("op")   ? &e.op
                       : field == std::string("ri") ? &e.ri
                       : field == std::string("vs") ? &e.vs
                       : field == std::string("mc") ? &e.mc
                       : field == std::string("tm") ? &e.tm
                                                    : &e.key;
      *f = s.bytes;
      if (f != &e.key) e.key = Md5Hex(SignatureText(e));
      const bool ok = s.text && (f == &e.op || f == &e.ri || f == &e.vs);
      for (bool encode : {false, true}) {
        auto q = [&](const std::string& v) { return encode ? httplib::detail::encode_query_param(v) : v; };
        const std::string target = "/tongji?op=" + q(e.op) + "&ri=" + q(e.ri) + "&vs=" + q(e.vs) + "&mc=" + q(e.mc) +
                                   "&tm=" + q(e.tm) + "&key=" + q(e.key);
        Raw raw(server->port);
        ASSERT_TRUE(raw.Send(Get(target)));
        const auto a = raw.Read();
        EXPECT_EQ(a.status, ok ? 200 : 400) << s.what << " in " << field << (encode ? ", encoded" : ", raw") << ": "
                                            << a.body;
        if (a.status == 200) ++accepted;
      }
    }
  }
  c = counts();
  ASSERT_TRUE(c.is_object());
  EXPECT_EQ(c["total"], 7 + accepted);
  long long sum = 0;
  for (const auto& [op, n] : c["by_op"].items()) sum += n.get<long long>();
  EXPECT_EQ(sum, c["total"].get<long long>());
  // Code page 936 ops are counted under their text.
  EXPECT_EQ(c["by_op"]["启动"], 2);
  EXPECT_EQ(c["by_op"]["start"], 2 + 2 * 2 * 3);
}
