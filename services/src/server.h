// The stand-in web services in one HTTP server: IP location, weather, the maker's server
// (get.php, pictures, recommendation pages), statistics and the search page.
#pragma once
#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace vx::svc {

struct ServiceOptions {
  std::string host = "127.0.0.1";  // loopback only
  int port = 0;                    // 0: the system picks a free port
  std::filesystem::path content;   // the built content folder
  std::filesystem::path cityList;  // UTF-8 JSON city list
  std::filesystem::path database;  // SQLite file for statistics events
  std::filesystem::path ipTable;   // empty: <content>/ipquery.tsv
  std::filesystem::path recordedWeather;  // empty: generated weather
  // Event loops; connections, however slow, hold none of them. More loops than cores keep the
  // slowest answers short when the machine is busy with other work.
  int threads = 8;
  // From its first byte, a request must arrive whole within this (408 otherwise).
  std::chrono::milliseconds requestTimeout{5000};
  std::function<std::time_t()> clock;
};

bool IsLoopbackHost(const std::string& host);

// The [services] section that points the desktop programs at a server whose base is
// "http://host:port".
std::string ServicesIni(const std::string& base);

class Services {
 public:
  static std::unique_ptr<Services> Create(const ServiceOptions& options, std::string* error);
  ~Services();
  Services(const Services&) = delete;
  Services& operator=(const Services&) = delete;

  // Binds the listening socket; returns the port, or -1.
  int Bind();
  // Serves until Stop(); Bind() first.
  bool Serve();
  // Bind() and Serve() on a thread of its own; returns the port, or -1.
  int Start();
  void Stop();
  std::string BaseUrl() const;

  struct Impl;

 private:
  explicit Services(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
  std::thread thread_;
};

}  // namespace vx::svc
