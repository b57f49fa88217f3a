#include "test_server.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace vx::svc::test {

httplib::Client RunningServer::Client() const {
  httplib::Client c("127.0.0.1", port);
  c.set_connection_timeout(5, 0);
  c.set_read_timeout(10, 0);
  return c;
}

ServiceOptions DefaultOptions(const std::string& dbName) {
  ServiceOptions o;
  o.host = "127.0.0.1";
  o.port = 0;
  o.content = VX_SVC_CONTENT;
  o.cityList = VX_CITY_JSON;
  // CTest runs each case as its own process, several at once: one database per process.
  o.database = ::testing::TempDir() + "/" + std::to_string(getpid()) + "-" + dbName;
  std::filesystem::remove(o.database);
  o.threads = 16;
  return o;
}

std::unique_ptr<RunningServer> StartServer(const ServiceOptions& options) {
  auto s = std::make_unique<RunningServer>();
  std::string error;
  s->services = Services::Create(options, &error);
  if (!s->services) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  s->port = s->services->Start();
  if (s->port <= 0) {
    ADD_FAILURE() << "could not listen";
    return nullptr;
  }
  s->dbPath = options.database.string();
  return s;
}

}  // namespace vx::svc::test
