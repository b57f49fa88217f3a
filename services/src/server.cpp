#include "server.h"

#include <httplib.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <mutex>
#include <unordered_map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "catalogue.h"
#include "citylist.h"
#include "event_server.h"
#include "ipquery.h"
#include "paths.h"
#include "sites.h"
#include "stats.h"
#include "test_answers.h"
#include "text.h"
#include "weather.h"

namespace vx::svc {

namespace fs = std::filesystem;
using nlohmann::json;

bool IsLoopbackHost(const std::string& host) {
  if (host == "localhost" || host == "::1") return true;
  // 127.0.0.0/8, written as a plain dotted quad.
  int parts[4];
  char tail;
  if (std::sscanf(host.c_str(), "%d.%d.%d.%d%c", &parts[0], &parts[1], &parts[2], &parts[3], &tail) != 4)
    return false;
  for (int p : parts)
    if (p < 0 || p > 255) return false;
  return parts[0] == 127;
}

std::string ServicesIni(const std::string& base) {
  // How each program uses its key: homeUrl + "get.php?...", the wallpaper base + "get.php?...",
  // the IP-location and weather addresses + their fixed paths, the statistics base + "?op=...",
  // the search address + "/baidu?wd=...".
  return "[services]\n"
         "home=" + base + "/\n"
         "ipquery=" + base + "\n"
         "weather=" + base + "\n"
         "wallpaper=" + base + "/\n"
         "stats=" + base + "/tongji\n"
         "search=" + base + "\n";
}

namespace {

constexpr size_t kMaxParam = 256;

struct Site {
  std::string name, url;
};

const char* MimeType(const fs::path& p) {
  static const std::map<std::string, const char*> types = {
      {".html", "text/html; charset=utf-8"}, {".css", "text/css; charset=utf-8"},
      {".png", "image/png"},                 {".jpg", "image/jpeg"},
      {".svg", "image/svg+xml"},             {".txt", "text/plain; charset=utf-8"},
      {".json", "application/json; charset=utf-8"}};
  auto it = types.find(p.extension().string());
  return it == types.end() ? "application/octet-stream" : it->second;
}

void Fail(httplib::Response& res, int status, const std::string& why) {
  res.status = status;
  res.set_content(why + "\n", "text/plain; charset=utf-8");
}

// One value of a query key: absent, repeated, or too long is an error the caller reports.
enum class Param { kOk, kMissing, kRepeated, kTooLong };
Param GetParam(const httplib::Request& req, const char* key, std::string* value) {
  const size_t n = req.params.count(key);
  if (n == 0) return Param::kMissing;
  if (n > 1) return Param::kRepeated;
  *value = req.params.find(key)->second;
  return value->size() > kMaxParam ? Param::kTooLong : Param::kOk;
}

bool RequireParam(const httplib::Request& req, httplib::Response& res, const char* key, std::string* value) {
  switch (GetParam(req, key, value)) {
    case Param::kOk: return true;
    case Param::kMissing: Fail(res, 400, std::string("missing ") + key); return false;
    case Param::kRepeated: Fail(res, 400, std::string("repeated ") + key); return false;
    case Param::kTooLong: Fail(res, 400, std::string(key) + " is too long"); return false;
  }
  return false;
}

bool IsDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

}  // namespace

struct Services::Impl {
  ServiceOptions options;
  fs::path root;
  CityList cities;
  std::unique_ptr<WeatherProvider> weather;
  std::optional<IpLocationTable> ipTable;
  SiteAnswers sites;
  std::vector<Site> directory;  // every site of the lists, for the search page
  std::map<int, std::string> wallpaperNums;
  std::map<std::pair<int, long>, std::string> wallpaperLists;
  std::unique_ptr<StatsStore> stats;
  // Answers depend only on the city and the hour, so each is made once per hour.
  std::mutex weatherMutex;
  std::time_t weatherHour = -1;
  std::unordered_map<std::string, std::string> weatherCache;
  EventServer server;
  int port = -1;

  explicit Impl(const ServiceOptions& o) : options(o), server(Limits(o)) {}
  static ConnectionLimits Limits(const ServiceOptions& o) {
    ConnectionLimits l;
    l.loops = std::max(1, o.threads);
    l.request = o.requestTimeout;
    return l;
  }

  std::time_t Now() const { return options.clock ? options.clock() : std::time(nullptr); }
  void Routes();
  void GetPhp(const httplib::Request& req, httplib::Response& res);
  void Weather(const httplib::Request& req, httplib::Response& res);
  void Tongji(const httplib::Request& req, httplib::Response& res);
  void Search(const httplib::Request& req, httplib::Response& res);
  void Static(const httplib::Request& req, httplib::Response& res);
  void Hostile(const httplib::Request& req, httplib::Response& res);
};

std::unique_ptr<Services> Services::Create(const ServiceOptions& options, std::string* error) {
  std::string local;
  std::string* err = error ? error : &local;
  if (!IsLoopbackHost(options.host)) {
    *err = "refusing to listen on " + options.host + ": only loopback addresses are served";
    return nullptr;
  }
  if (options.port < 0 || options.port > 65535) {
    *err = "port out of range";
    return nullptr;
  }
  auto impl = std::make_unique<Impl>(options);
  std::error_code ec;
  impl->root = fs::canonical(options.content, ec);
  if (ec || !fs::is_directory(impl->root)) {
    *err = "content folder not found: " + options.content.string();
    return nullptr;
  }
  auto cities = CityList::Load(options.cityList.string(), err);
  if (!cities) return nullptr;
  impl->cities = std::move(*cities);

  if (options.recordedWeather.empty()) {
    impl->weather = std::make_unique<GeneratedWeather>(impl->cities);
  } else {
    auto rec = RecordedWeather::Load(options.recordedWeather.string(), err);
    if (!rec) return nullptr;
    impl->weather = std::move(rec);
  }

  const fs::path ipPath = options.ipTable.empty() ? impl->root / "ipquery.tsv" : options.ipTable;
  impl->ipTable = IpLocationTable::Load(ipPath.string(), impl->cities, err);
  if (!impl->ipTable) return nullptr;

  auto sites = LoadSiteAnswers(impl->root, err);
  if (!sites) return nullptr;
  impl->sites = std::move(*sites);
  const json webadd = json::parse(impl->sites.webadd);
  const json tuijian = json::parse(impl->sites.tuijian);
  for (const auto& s : webadd["webadd"]) impl->directory.push_back({s["name"], s["url"]});
  for (const auto& s : tuijian["web_tj_top"]) impl->directory.push_back({s["name"], s["url"]});
  for (const auto& t : tuijian["web_tj_type"])
    for (const auto& s : t["data"]) impl->directory.push_back({s["name"], s["url"]});

  auto catalogue = WallpaperCatalogue::Scan(impl->root, err);
  if (!catalogue) return nullptr;
  // The catalogue does not change while the server runs, so every answer is made once.
  for (int type : WallpaperCatalogue::Types()) {
    const auto& pics = *catalogue->Pictures(type);
    const int pages = WallpaperCatalogue::Pages(pics.size());
    impl->wallpaperNums[type] = json{{"pages", std::to_string(pages)}}.dump();
    for (long list = 1; list <= pages; ++list) {
      json lists = json::array();
      for (const auto& p : WallpaperCatalogue::List(pics, list))
        lists.push_back({{"smallpic", p.smallpic}, {"bigpic", p.bigpic}});
      impl->wallpaperLists[{type, list}] = json{{"lists", lists}}.dump();
    }
  }

  impl->stats = StatsStore::Open(options.database.string(), err);
  if (!impl->stats) return nullptr;

  impl->Routes();
  return std::unique_ptr<Services>(new Services(std::move(impl)));
}

Services::Services(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Services::~Services() { Stop(); }

int Services::Bind() {
  auto& s = impl_->server;
  // The answers' Keep-Alive header names these; the connection loop keeps to the idle time.
  s.set_keep_alive_max_count(10000);
  s.set_keep_alive_timeout(5);
  s.set_payload_max_length(64 * 1024);
  impl_->port = s.Bind(impl_->options.host, impl_->options.port);
  return impl_->port;
}

bool Services::Serve() { return impl_->server.Serve(); }

int Services::Start() {
  if (Bind() < 0) return -1;
  thread_ = std::thread([this] { Serve(); });
  // The socket already listens, so a client connecting before the accept loop runs waits in
  // the backlog instead of being refused.
  return impl_->port;
}

void Services::Stop() {
  impl_->server.Stop();
  if (thread_.joinable()) thread_.join();
}

std::string Services::BaseUrl() const {
  const std::string host = impl_->options.host == "::1" ? "[::1]" : impl_->options.host;
  return "http://" + host + ":" + std::to_string(impl_->port);
}

void Services::Impl::Routes() {
  auto& s = server;
  s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) res.set_content(std::to_string(res.status) + "\n", "text/plain; charset=utf-8");
  });
  s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    Fail(res, 500, "internal error");
  });

  s.Get("/ipquery", [this](const httplib::Request& req, httplib::Response& res) {
    // The desktop reads this answer in code page 936.
    res.set_content(ipTable->GbkFor(req.remote_addr), "text/plain; charset=GBK");
  });
  s.Get(R"(/city/([^/]*)\.js)", [this](const httplib::Request& req, httplib::Response& res) { Weather(req, res); });
  auto getphp = [this](const httplib::Request& req, httplib::Response& res) { GetPhp(req, res); };
  // The toolkit's WebGet sends POST with no body, other clients GET.
  s.Get("/get.php", getphp);
  s.Post("/get.php", getphp);
  auto tongji = [this](const httplib::Request& req, httplib::Response& res) { Tongji(req, res); };
  s.Get("/tongji", tongji);
  s.Post("/tongji", tongji);
  s.Get("/tongji/counts", [this](const httplib::Request&, httplib::Response& res) {
    json counts = {{"total", stats->Total()}, {"by_op", stats->CountsByOp()}};
    // The keys are UTF-8 already; should anything slip through, a replaced character beats a 500.
    res.set_content(counts.dump(-1, ' ', false, json::error_handler_t::replace), "application/json; charset=utf-8");
  });
  s.Get("/baidu", [this](const httplib::Request& req, httplib::Response& res) { Search(req, res); });
  // GET for the toolbar's client, body-less POST for the toolkit's WebGet.
  auto testAnswer = [](const httplib::Request& req, httplib::Response& res) {
    const auto reply = TestAnswer(req.matches[1].str(), req.matches[2].str());
    if (!reply) return Fail(res, 404, "no such test answer");
    res.status = reply->status;
    if (!reply->location.empty()) res.set_header("Location", reply->location);
    if (!reply->pace.empty()) res.set_header("X-Vx-Pace", reply->pace);
    // No Content-Encoding: the client must find gzip by its magic bytes.
    if (reply->status != 204) res.set_content(reply->body, "application/octet-stream");
  };
  s.Get(R"(/test/([a-z]+)/([a-z0-9]+))", testAnswer);
  // A hostile server under its own home address, so that only the test that asks for it
  // (homeUrl = <base>/test/hostile/) sees it.
  auto hostile = [this](const httplib::Request& req, httplib::Response& res) { Hostile(req, res); };
  s.Get(R"(/test/hostile/(.*))", hostile);
  s.Post(R"(/test/hostile/(.*))", hostile);
  s.Post(R"(/test/([a-z]+)/([a-z0-9]+))", testAnswer);
  s.Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) { Static(req, res); });
}

void Services::Impl::GetPhp(const httplib::Request& req, httplib::Response& res) {
  std::string name;
  if (!RequireParam(req, res, "name", &name)) return;
  const char* jsonType = "application/json; charset=utf-8";
  if (name == "webadd") return res.set_content(sites.webadd, jsonType);
  if (name == "web_tuijian") return res.set_content(sites.tuijian, jsonType);
  if (name != "wallpaper_nums" && name != "wallpaper") return Fail(res, 404, "unknown name");

  std::string typeText;
  if (!RequireParam(req, res, "type", &typeText)) return;
  const auto type = ParseDecimal(typeText);
  if (!type) return Fail(res, 400, "type must be a number");
  auto nums = wallpaperNums.find(int(*type));
  if (nums == wallpaperNums.end()) return Fail(res, 404, "unknown wallpaper type");
  if (name == "wallpaper_nums") return res.set_content(nums->second, jsonType);

  std::string listText;
  if (!RequireParam(req, res, "list", &listText)) return;
  const auto list = ParseDecimal(listText);
  if (!list || *list < 1) return Fail(res, 400, "list must be a number from 1");
  auto it = wallpaperLists.find({int(*type), *list});
  if (it == wallpaperLists.end()) return Fail(res, 404, "no such list");
  res.set_content(it->second, jsonType);
}

void Services::Impl::Weather(const httplib::Request& req, httplib::Response& res) {
  const std::string code = req.matches[1];
  if (!IsDigits(code) || code.size() < 6 || code.size() > 10) return Fail(res, 400, "bad city code");
  const City* city = cities.ByCode(code);
  if (!city) return Fail(res, 404, "unknown city code");
  const std::time_t now = Now();
  {
    std::lock_guard<std::mutex> lock(weatherMutex);
    if (now / 3600 != weatherHour) {
      weatherCache.clear();
      weatherHour = now / 3600;
    }
    auto hit = weatherCache.find(code);
    if (hit != weatherCache.end()) return res.set_content(hit->second, "application/javascript; charset=GBK");
  }
  auto answer = weather->Answer(*city, now);
  if (!answer) return Fail(res, 404, "no weather for this city");
  res.set_content(*answer, "application/javascript; charset=GBK");
  std::lock_guard<std::mutex> lock(weatherMutex);
  if (now / 3600 == weatherHour) weatherCache.emplace(code, std::move(*answer));
}

void Services::Impl::Tongji(const httplib::Request& req, httplib::Response& res) {
  StatsEvent e;
  std::string why;
  switch (CheckStatsRequest(req.params, &e, &why)) {
    case StatsVerdict::kMalformed: return Fail(res, 400, why);
    case StatsVerdict::kBadSignature: return Fail(res, 403, why);
    case StatsVerdict::kValid: break;
  }
  if (!stats->Add(e, req.remote_addr, static_cast<long long>(Now()))) return Fail(res, 500, "cannot store event");
  res.set_content("ok\n", "text/plain; charset=utf-8");
}

void Services::Impl::Search(const httplib::Request& req, httplib::Response& res) {
  std::string query;
  switch (GetParam(req, "wd", &query)) {
    case Param::kOk:
    case Param::kMissing: break;
    case Param::kRepeated: return Fail(res, 400, "repeated wd");
    case Param::kTooLong: return Fail(res, 400, "query is too long");
  }
  if (!IsValidUtf8(query)) {
    // Browsers on the target systems may send the words in code page 936.
    auto utf8 = GbkToUtf8(query);
    if (!utf8) return Fail(res, 400, "query is not text");
    query = *utf8;
  }
  const std::string needle = LowerAscii(query);
  std::string hits;
  int count = 0;
  for (const auto& s : directory) {
    if (needle.empty() || count >= 50) break;
    if (LowerAscii(s.name).find(needle) == std::string::npos && LowerAscii(s.url).find(needle) == std::string::npos)
      continue;
    ++count;
    hits += "<li><a href=\"" + HtmlEscape(s.url) + "\">" + HtmlEscape(s.name) + "</a><span>" + HtmlEscape(s.url) +
            "</span></li>\n";
  }
  const std::string q = HtmlEscape(query);
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
      "<title>" + (q.empty() ? std::string("搜索") : q + " - 搜索") + "</title>"
      "<link rel=\"stylesheet\" href=\"/pages/search.css\"></head><body>\n"
      "<form action=\"/baidu\" method=\"get\"><input name=\"wd\" value=\"" + q + "\" autofocus>"
      "<button type=\"submit\">搜索</button></form>\n";
  if (q.empty()) {
    page += "<p class=\"note\">输入要找的网站名称或地址。</p>\n";
  } else if (count == 0) {
    page += "<p class=\"note\">离线演示的网站目录中没有找到“" + q + "”。</p>\n";
  } else {
    page += "<p class=\"note\">网站目录中与“" + q + "”相关的 " + std::to_string(count) + " 个结果：</p>\n<ol>\n" +
            hits + "</ol>\n";
  }
  page += "</body></html>\n";
  res.set_content(page, "text/html; charset=utf-8");
}

void Services::Impl::Static(const httplib::Request& req, httplib::Response& res) {
  std::string path = req.path;
  if (path == "/") path = "/index.html";
  auto file = ResolveInside(root, path);
  if (!file) return Fail(res, 400, "bad path");
  // The server's own files (answers, tables) are not pictures or pages for visitors.
  const std::string ext = file->extension().string();
  if (ext == ".tsv" || ext == ".json") return Fail(res, 404, "not found");
  std::error_code ec;
  if (!fs::is_regular_file(*file, ec)) return Fail(res, 404, "not found");
  auto body = ReadWholeFile(file->string());
  if (!body) return Fail(res, 404, "not found");
  res.set_content(std::move(*body), MimeType(*file));
}

// get.php answers the site lists with hostile picture names in front. Every other path is a
// picture: the content file it names when there is one, else the first suggestion's picture,
// so a client that does use a hostile name really gets a file to write.
void Services::Impl::Hostile(const httplib::Request& req, httplib::Response& res) {
  const std::string rest = req.matches[1].str();
  if (rest == "get.php") {
    std::string name;
    if (!RequireParam(req, res, "name", &name)) return;
    const char* jsonType = "application/json; charset=utf-8";
    if (name == "webadd") return res.set_content(WithHostilePictures(sites.webadd), jsonType);
    if (name == "web_tuijian") return res.set_content(WithHostilePictures(sites.tuijian), jsonType);
    return Fail(res, 404, "unknown name");
  }
  std::optional<fs::path> file = ResolveInside(root, "/" + rest);
  std::error_code ec;
  if (!file || !fs::is_regular_file(*file, ec) || file->extension() != ".png") {
    const json webadd = json::parse(sites.webadd);
    file = ResolveInside(root, "/" + webadd["webadd"][0]["pic"].get<std::string>());
  }
  auto body = file ? ReadWholeFile(file->string()) : std::nullopt;
  if (!body) return Fail(res, 404, "not found");
  res.set_content(std::move(*body), "image/png");
}

}  // namespace vx::svc
