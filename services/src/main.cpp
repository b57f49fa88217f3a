// vexlo-services: the stand-in web services on a loopback address.
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "server.h"
#include "stats.h"

namespace {

const char* kUsage =
    "usage: vexlo-services --content DIR --cities FILE --db FILE [--host 127.0.0.1] [--port N]\n"
    "                      [--ip-table FILE] [--weather-recorded DIR] [--threads N]\n"
    "                      [--port-file FILE] [--ini FILE]\n"
    "       vexlo-services --counts --db FILE\n";

vx::svc::Services* g_services = nullptr;

void OnSignal(int) {
  if (g_services) g_services->Stop();
}

}  // namespace

int main(int argc, char** argv) {
  vx::svc::ServiceOptions opt;
  std::string portFile, iniFile;
  bool counts = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << a << " needs a value\n" << kUsage;
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--host") opt.host = next();
    else if (a == "--port") opt.port = std::atoi(next().c_str());
    else if (a == "--content") opt.content = next();
    else if (a == "--cities") opt.cityList = next();
    else if (a == "--db") opt.database = next();
    else if (a == "--ip-table") opt.ipTable = next();
    else if (a == "--weather-recorded") opt.recordedWeather = next();
    else if (a == "--threads") opt.threads = std::atoi(next().c_str());
    else if (a == "--port-file") portFile = next();
    else if (a == "--ini") iniFile = next();
    else if (a == "--counts") counts = true;
    else {
      std::cerr << "unknown argument " << a << "\n" << kUsage;
      return 2;
    }
  }
  std::string error;
  if (counts) {
    auto store = vx::svc::StatsStore::Open(opt.database.string(), &error);
    if (!store) {
      std::cerr << error << "\n";
      return 1;
    }
    std::cout << "total\t" << store->Total() << "\n";
    for (const auto& [op, n] : store->CountsByOp()) std::cout << op << "\t" << n << "\n";
    return 0;
  }
  if (opt.content.empty() || opt.cityList.empty() || opt.database.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  auto services = vx::svc::Services::Create(opt, &error);
  if (!services) {
    std::cerr << "vexlo-services: " << error << "\n";
    return 1;
  }
  const int port = services->Bind();
  if (port < 0) {
    std::cerr << "vexlo-services: cannot listen on " << opt.host << ":" << opt.port << "\n";
    return 1;
  }
  if (!iniFile.empty()) {
    std::ofstream(iniFile) << vx::svc::ServicesIni(services->BaseUrl());
  }
  if (!portFile.empty()) {
    // Written last and renamed into place, so a waiting script never reads half a number.
    const std::string tmp = portFile + ".tmp";
    std::ofstream(tmp) << port << "\n";
    std::rename(tmp.c_str(), portFile.c_str());
  }
  std::cout << "vexlo-services listening on " << services->BaseUrl() << std::endl;
  // Each client costs a descriptor and nothing more, so allow as many as the system lets us.
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 65536);
    setrlimit(RLIMIT_NOFILE, &files);
  }
  g_services = services.get();
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  return services->Serve() ? 0 : 1;
}
