// Starts the services in-process on an ephemeral loopback port for one test program.
#pragma once
#include <httplib.h>

#include <memory>
#include <string>

#include "server.h"

namespace vx::svc::test {

struct RunningServer {
  std::unique_ptr<Services> services;
  int port = -1;
  std::string dbPath;
  httplib::Client Client() const;
};

// Options pointing at the build's content and city list and a fresh database.
ServiceOptions DefaultOptions(const std::string& dbName);
std::unique_ptr<RunningServer> StartServer(const ServiceOptions& options);

}  // namespace vx::svc::test
