// End to end over real HTTP on loopback: each answer is read the way the desktop programs
// read it.
#include <gtest/gtest.h>

#include <chrono>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <zlib.h>

#include "catalogue.h"
#include "citylist.h"
#include "md5.h"
#include "sites.h"
#include "stats.h"
#include "test_cities.h"
#include "test_server.h"
#include "test_answers.h"
#include "text.h"

using namespace vx::svc;
using nlohmann::json;

namespace {

class Http : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = test::StartServer(test::DefaultOptions("http-test.db")).release();
    ASSERT_NE(server_, nullptr);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  static httplib::Client Client() { return server_->Client(); }

  // The toolkit's WebGet: POST with no body.
  static httplib::Result WebGet(const std::string& path) { return Client().Post(path.c_str(), "", "text/plain"); }
  static json Json(const httplib::Result& r) {
    EXPECT_TRUE(r);
    if (!r) return json();
    EXPECT_EQ(r->status, 200) << r->body;
    return json::parse(r->body, nullptr, false);
  }
  static const CityList& Cities() { return test::Cities(); }

  static test::RunningServer* server_;
};
test::RunningServer* Http::server_ = nullptr;

bool IsPng(const std::string& b) { return b.size() > 8 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0; }
bool IsJpeg(const std::string& b) { return b.size() > 3 && b.compare(0, 3, "\xff\xd8\xff") == 0; }

}  // namespace

TEST_F(Http, IpQueryNamesTheCityInCodePage936) {
  auto r = Client().Get("/ipquery");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  const auto text = GbkToUtf8(r->body);
  ASSERT_TRUE(text.has_value());
  EXPECT_NE(text->find("浙江省宁波市"), std::string::npos);
  const City* m = Cities().MatchLocation(*text);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->title, "宁波");
  EXPECT_EQ(m->province, "浙江省");
}

TEST_F(Http, WeatherAnswerForACityAndADistrict) {
  for (const char* title : {"宁波", "昌平", "北京市"}) {
    const City* c = Cities().FindTitle(title);
    ASSERT_NE(c, nullptr);
    auto r = Client().Get(("/city/" + c->code + ".js?ref=qqchannel").c_str());
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200) << title;
    const std::string& a = r->body;
    ASSERT_EQ(a.back(), ';');
    std::string body = a.substr(a.find('=') + 1);
    body.pop_back();
    const json root = json::parse(body, nullptr, false);
    ASSERT_TRUE(root.is_object()) << a;
    for (const char* k : {"sk_wt", "sk_tp", "sk_wd", "sk_wp", "sk_ps", "sk_hd", "sk_vb", "zs_kqwr"})
      EXPECT_TRUE(root[k].is_string()) << k;
    ASSERT_TRUE(root["wk"]["0"].is_array());
    EXPECT_EQ(root["wk"]["0"].size(), 14u);
    EXPECT_LE(a.size(), 8192u);
  }
}

TEST_F(Http, WeatherRefusesBadAndUnknownCodes) {
  auto c = Client();
  EXPECT_EQ(c.Get("/city/10999999.js?ref=qqchannel")->status, 404);
  EXPECT_EQ(c.Get("/city/1099999999.js?ref=qqchannel")->status, 404);
  EXPECT_EQ(c.Get("/city/abc.js?ref=qqchannel")->status, 400);
  EXPECT_EQ(c.Get("/city/.js")->status, 400);
  EXPECT_EQ(c.Get("/city/1033020012345.js")->status, 400);
  EXPECT_EQ(c.Get("/city/-10330200.js")->status, 400);
  EXPECT_EQ(c.Get("/city/10330200%00.js")->status, 400);
}

TEST_F(Http, WebaddListsSitesWithPictures) {
  const json doc = Json(WebGet("/get.php?name=webadd"));
  ASSERT_TRUE(doc["webadd"].is_array());
  ASSERT_GE(doc["webadd"].size(), 12u);
  for (const auto& s : doc["webadd"]) {
    for (const char* k : {"name", "url", "pic"}) ASSERT_TRUE(s[k].is_string()) << k;
    const std::string pic = s["pic"];
    ASSERT_NE(pic.find('/'), std::string::npos);
    EXPECT_EQ(std::string(s["url"]).rfind("http", 0), 0u);
    // homeUrl ends in "/" and the client appends pic to it.
    auto p = Client().Get(("/" + pic).c_str());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->status, 200) << pic;
    EXPECT_TRUE(IsPng(p->body)) << pic;
  }
  // GET answers the same.
  auto g = Client().Get("/get.php?name=webadd");
  ASSERT_TRUE(g);
  EXPECT_EQ(json::parse(g->body), doc);
}

TEST_F(Http, WebTuijianHasTopSitesAndCategories) {
  const json doc = Json(WebGet("/get.php?name=web_tuijian"));
  ASSERT_TRUE(doc["web_tj_top"].is_array());
  ASSERT_FALSE(doc["web_tj_top"].empty());
  for (const auto& s : doc["web_tj_top"]) {
    for (const char* k : {"name", "url", "pic"}) ASSERT_TRUE(s[k].is_string()) << k;
    EXPECT_TRUE(IsPng(Client().Get(("/" + std::string(s["pic"])).c_str())->body));
  }
  ASSERT_TRUE(doc["web_tj_type"].is_array());
  EXPECT_LE(doc["web_tj_type"].size(), 9u) << "the page has nine category backgrounds";
  bool moreThanSeven = false;
  for (const auto& t : doc["web_tj_type"]) {
    for (const char* k : {"type", "pic"}) ASSERT_TRUE(t[k].is_string()) << k;
    EXPECT_TRUE(IsPng(Client().Get(("/" + std::string(t["pic"])).c_str())->body));
    ASSERT_TRUE(t["data"].is_array());
    ASSERT_FALSE(t["data"].empty());
    moreThanSeven |= t["data"].size() > 7;
    for (const auto& l : t["data"]) {
      ASSERT_TRUE(l["name"].is_string());
      ASSERT_TRUE(l["url"].is_string());
    }
  }
  EXPECT_TRUE(moreThanSeven) << "a category beyond the seven links the desktop keeps";
}

TEST_F(Http, WallpaperCatalogueForEveryTab) {
  for (int type : WallpaperCatalogue::Types()) {
    const std::string t = std::to_string(type);
    const json nums = Json(WebGet("/get.php?name=wallpaper_nums&type=" + t));
    ASSERT_TRUE(nums["pages"].is_string()) << t;
    const std::string pagesText = nums["pages"];
    const auto pages = ParseDecimal(pagesText);
    ASSERT_TRUE(pages.has_value());
    // The program shows twice the screen width at once: four lists on a 1920-pixel screen.
    EXPECT_GE(*pages, 4) << t;
    for (long list = 1; list <= *pages; ++list) {
      const json doc = Json(WebGet("/get.php?name=wallpaper&type=" + t + "&list=" + std::to_string(list)));
      ASSERT_TRUE(doc["lists"].is_array());
      ASSERT_EQ(doc["lists"].size(), 8u) << t << " list " << list;
      for (const auto& e : doc["lists"]) {
        ASSERT_TRUE(e["smallpic"].is_string());
        ASSERT_TRUE(e["bigpic"].is_string());
        EXPECT_NE(std::string(e["smallpic"]).find('/'), std::string::npos);
        EXPECT_NE(std::string(e["bigpic"]).find('/'), std::string::npos);
      }
    }
    // One picture of each type is fetched whole.
    const json first = Json(WebGet("/get.php?name=wallpaper&type=" + t + "&list=1"));
    auto small = Client().Get(("/" + std::string(first["lists"][0]["smallpic"])).c_str());
    auto big = Client().Get(("/" + std::string(first["lists"][0]["bigpic"])).c_str());
    ASSERT_TRUE(small && big);
    EXPECT_TRUE(IsJpeg(small->body));
    EXPECT_TRUE(IsJpeg(big->body));
    EXPECT_GT(big->body.size(), small->body.size());
    EXPECT_EQ(Client().Get(("/get.php?name=wallpaper&type=" + t + "&list=" + std::to_string(*pages + 1)).c_str())->status,
              404);
  }
}

TEST_F(Http, GetPhpRefusesBadQueries) {
  auto c = Client();
  EXPECT_EQ(c.Get("/get.php")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=")->status, 404);
  EXPECT_EQ(c.Get("/get.php?name=nothing")->status, 404);
  EXPECT_EQ(c.Get("/get.php?name=webadd&name=web_tuijian")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper_nums")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper_nums&type=")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper_nums&type=abc")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper_nums&type=99999999999999999999")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper_nums&type=36")->status, 404);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper&type=37")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper&type=37&list=0")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper&type=37&list=-3")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper&type=37&list=1x")->status, 400);
  EXPECT_EQ(c.Get("/get.php?name=wallpaper&type=37&list=999999")->status, 404);
  EXPECT_EQ(c.Post("/get.php?name=wallpaper&type=1&list=1", "", "text/plain")->status, 404);
}

TEST_F(Http, HugeQueriesAreRefused) {
  auto c = Client();
  const std::string huge(20000, 'a');
  auto r1 = c.Get(("/get.php?name=" + huge).c_str());
  ASSERT_TRUE(r1);
  EXPECT_GE(r1->status, 400);
  EXPECT_LT(r1->status, 500);
  auto r2 = c.Get(("/get.php?name=" + std::string(5000, 'b')).c_str());
  ASSERT_TRUE(r2);
  EXPECT_EQ(r2->status, 400);
  auto r3 = c.Get(("/baidu?wd=" + std::string(5000, 'c')).c_str());
  ASSERT_TRUE(r3);
  EXPECT_EQ(r3->status, 400);
  // The server is still there.
  EXPECT_EQ(c.Get("/get.php?name=webadd")->status, 200);
}

TEST_F(Http, RecommendationPagesAreHtmlWithLinks) {
  for (const char* page : {"/redian.html", "/yingshi.html", "/gouwu.html", "/youxi.html", "/shenghuo.html"}) {
    auto r = Client().Get(page);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 200) << page;
    EXPECT_NE(r->get_header_value("Content-Type").find("text/html"), std::string::npos);
    EXPECT_NE(r->body.find("<a href=\"app:open/http"), std::string::npos) << page;
    EXPECT_NE(r->body.find("charset=\"utf-8\""), std::string::npos);
  }
  auto css = Client().Get("/pages/pages.css");
  ASSERT_TRUE(css);
  EXPECT_EQ(css->status, 200);
  // Sized for the 975 x 510 view with nothing to scroll.
  EXPECT_NE(css->body.find("width: 975px; height: 510px; overflow: hidden"), std::string::npos);
}

TEST_F(Http, StatisticsAcceptOnlyValidlySignedEvents) {
  auto count = [] {
    const json c = json::parse(Client().Get("/tongji/counts")->body);
    return c["total"].get<long long>();
  };
  const long long before = count();
  // The example: op x, ri y, empty mc, vs 1, tm 5 signs "xAyAA1A5".
  const std::string example = "/tongji?op=x&ri=y&vs=1&mc=&tm=5&key=" + Md5Hex("xAyAA1A5");
  auto ok = Client().Get(example.c_str());
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->status, 200);
  EXPECT_EQ(WebGet(example)->status, 200);
  EXPECT_EQ(count(), before + 2);

  EXPECT_EQ(Client().Get(("/tongji?op=x&ri=y&vs=1&mc=&tm=6&key=" + Md5Hex("xAyAA1A5")).c_str())->status, 403);
  EXPECT_EQ(Client().Get("/tongji?op=x&ri=y&vs=1&mc=&tm=5")->status, 400);
  EXPECT_EQ(Client().Get("/tongji?op=x&ri=y&vs=1&tm=5&key=98d24534080ba4b11f8cc2bfcf58509d")->status, 400);
  EXPECT_EQ(Client().Get("/tongji")->status, 400);
  EXPECT_EQ(Client().Get(("/tongji?op=x&ri=y&vs=1&mc=&tm=5&key=" + Md5Hex("xAyAA1A5") + "&x=1").c_str())->status, 400);
  EXPECT_EQ(count(), before + 2) << "refused requests are stored nowhere";

  // The events are in the SQLite file.
  auto store = StatsStore::Open(server_->dbPath, nullptr);
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->CountsByOp()["x"], before + 2);
}

TEST_F(Http, SearchPageShowsTheQueryEscaped) {
  httplib::Params none;
  auto r = Client().Get("/baidu?wd=%3Cscript%3Ealert(1)%3C%2Fscript%3E%22%27");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->body.find("<script>"), std::string::npos);
  EXPECT_NE(r->body.find("&lt;script&gt;alert(1)&lt;/script&gt;&quot;&#39;"), std::string::npos);

  auto hit = Client().Get("/baidu?wd=%E7%99%BE%E5%BA%A6");  // 百度 in UTF-8
  ASSERT_TRUE(hit);
  EXPECT_NE(hit->body.find("https://www.baidu.com/"), std::string::npos);
  auto gbk = Client().Get("/baidu?wd=%B0%D9%B6%C8");  // 百度 in code page 936
  ASSERT_TRUE(gbk);
  EXPECT_EQ(gbk->status, 200);
  EXPECT_NE(gbk->body.find("百度"), std::string::npos);
  EXPECT_NE(gbk->body.find("https://www.baidu.com/"), std::string::npos);
  // Words typed as is, spaces and all.
  auto typed = Client().Get("/baidu?wd=github%20com");
  ASSERT_TRUE(typed);
  EXPECT_EQ(typed->status, 200);
  EXPECT_EQ(Client().Get("/baidu")->status, 200);
  EXPECT_EQ(Client().Get("/baidu?wd=%FF%FE")->status, 400);
}

TEST_F(Http, NoPathLeavesTheContentFolder) {
  const char* attempts[] = {
      "/../../../../etc/passwd", "/..%2f..%2f..%2fetc%2fpasswd", "/%2e%2e/%2e%2e/%2e%2e/etc/passwd",
      "/pic/..%5c..%5c..%5cetc%5cpasswd", "/pic\\..\\..\\webadd.json", "/pic/%2e%2e/webadd.json",
      "/wallpaper/37/big/..%2f..%2f..%2fipquery.tsv", "/%252e%252e/%252e%252e/etc/passwd",
      "/pic/webadd/%00.png", "//etc/passwd", "/webadd.json", "/ipquery.tsv", "/pic", "/wallpaper/37/big/",
  };
  for (const char* a : attempts) {
    auto r = Client().Get(a);
    ASSERT_TRUE(r) << a;
    EXPECT_GE(r->status, 400) << a;
    EXPECT_LT(r->status, 500) << a;
    EXPECT_EQ(r->body.find("root:"), std::string::npos) << a;
    EXPECT_EQ(r->body.find("webadd\""), std::string::npos) << a;
  }
  EXPECT_EQ(Client().Get("/")->status, 200);
  EXPECT_EQ(Client().Get("/licenses/desktop-base.copyright.txt")->status, 200);
}

TEST(HttpSetup, RecordedWeatherIsServedAndOtherCodesAreNotFound) {
  const std::string dir = ::testing::TempDir() + "/http-recorded";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/10330200.js") << "var w={\"sk_tp\":\"21\"};";
  auto opt = test::DefaultOptions("http-recorded.db");
  opt.recordedWeather = dir;
  auto s = test::StartServer(opt);
  ASSERT_NE(s, nullptr);
  auto c = s->Client();
  auto r = c.Get("/city/10330200.js?ref=qqchannel");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 200);
  EXPECT_EQ(r->body, "var w={\"sk_tp\":\"21\"};");
  EXPECT_EQ(c.Get("/city/10110000.js?ref=qqchannel")->status, 404);
}

TEST(HttpSetup, OnlyLoopbackAddressesAreServed) {
  for (const char* host : {"0.0.0.0", "192.168.1.10", "10.0.0.1", "example.com", "127.0.0.1.5", ""}) {
    auto opt = test::DefaultOptions("http-host.db");
    opt.host = host;
    std::string error;
    EXPECT_EQ(Services::Create(opt, &error), nullptr) << host;
    EXPECT_NE(error.find("loopback"), std::string::npos) << host;
  }
  EXPECT_TRUE(IsLoopbackHost("127.0.0.1"));
  EXPECT_TRUE(IsLoopbackHost("127.1.2.3"));
  EXPECT_TRUE(IsLoopbackHost("::1"));
  EXPECT_TRUE(IsLoopbackHost("localhost"));
}

TEST(HttpSetup, BrokenContentIsReportedNotServed) {
  auto opt = test::DefaultOptions("http-broken.db");
  opt.content = ::testing::TempDir() + "/no-such-content";
  std::string error;
  EXPECT_EQ(Services::Create(opt, &error), nullptr);
  EXPECT_NE(error.find("content"), std::string::npos);
  opt = test::DefaultOptions("http-broken.db");
  opt.cityList = ::testing::TempDir() + "/no-such-city.json";
  EXPECT_EQ(Services::Create(opt, &error), nullptr);
}

TEST(HttpSetup, ServicesIniPointsEveryKeyAtTheServer) {
  const std::string ini = ServicesIni("http://127.0.0.1:8123");
  EXPECT_EQ(ini,
            "[services]\nhome=http://127.0.0.1:8123/\nipquery=http://127.0.0.1:8123\nweather=http://127.0.0.1:8123\n"
            "wallpaper=http://127.0.0.1:8123/\nstats=http://127.0.0.1:8123/tongji\nsearch=http://127.0.0.1:8123\n");
}

namespace {

// Every member of a gzip body, as zlib's own gunzip reads it.
std::string Gunzip(const std::string& body) {
  std::string out;
  size_t at = 0;
  while (at < body.size()) {
    z_stream z{};
    inflateInit2(&z, 15 + 16);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data() + at));
    z.avail_in = uInt(body.size() - at);
    char piece[4096];
    int rc = Z_OK;
    while (rc == Z_OK) {
      z.next_out = reinterpret_cast<Bytef*>(piece);
      z.avail_out = sizeof(piece);
      rc = inflate(&z, Z_NO_FLUSH);
      out.append(piece, sizeof(piece) - z.avail_out);
    }
    at = body.size() - z.avail_in;
    inflateEnd(&z);
    if (rc != Z_STREAM_END) return out + "<error>";
  }
  return out;
}

}  // namespace

TEST_F(Http, TestAnswersForTheDesktopClient) {
  auto client = Client();
  auto r = client.Get("/test/status/204");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 204);
  EXPECT_EQ(r->body, "");
  r = client.Get("/test/status/302");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 302);
  EXPECT_EQ(r->get_header_value("Location"), "/test/body/10");
  r = client.Get("/test/status/404");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->status, 404);
  r = client.Get("/test/body/9000");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, TestBodyBytes(9000));
  EXPECT_EQ(r->body.substr(0, 3), "abc");
  r = client.Get("/test/gzip/two");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->get_header_value("Content-Encoding"), "");
  EXPECT_EQ(Gunzip(r->body), TestGzipText());
  r = client.Get("/test/gzip/badcrc");
  ASSERT_TRUE(r);
  EXPECT_EQ(Gunzip(r->body), TestGzipText() + "<error>");
  r = client.Get("/test/nul/x");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body.find('\0'), 14u);
  // Paced answers arrive whole, after their pauses.
  const auto start = std::chrono::steady_clock::now();
  r = client.Get("/test/pieces/4096x3000x1904");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, TestBodyBytes(9000));
  r = client.Get("/test/slow/200");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->body, "slow answer\n");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(800));
  for (const char* bad : {"/test/status/99", "/test/body/2000000", "/test/gzip/three", "/test/nope/1",
                          "/test/pieces/1x", "/test/slow/99999"}) {
    r = client.Get(bad);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 404) << bad;
  }
}

TEST_F(Http, HostileSiteListsUnderTheirOwnHomeAddress) {
  const size_t n = HostilePictureNames().size();
  const json plain = Json(WebGet("/get.php?name=webadd"));
  const json hostile = Json(WebGet("/test/hostile/get.php?name=webadd"));
  ASSERT_EQ(hostile["webadd"].size(), n + plain["webadd"].size());
  for (size_t i = 0; i < n; ++i)
    EXPECT_EQ(hostile["webadd"][i]["pic"], "pic/" + HostilePictureNames()[i]);
  EXPECT_EQ(hostile["webadd"][n], plain["webadd"][0]);
  const json types = Json(WebGet("/test/hostile/get.php?name=web_tuijian"))["web_tj_type"];
  EXPECT_EQ(types[0]["type"], "hostile 1");
  EXPECT_EQ(types[n]["type"], Json(WebGet("/get.php?name=web_tuijian"))["web_tj_type"][0]["type"]);

  // Real pictures come from their own files; any other name still gets a picture to write.
  const std::string pic = plain["webadd"][1]["pic"];
  auto real = Client().Get(("/" + pic).c_str());
  auto same = Client().Get(("/test/hostile/" + pic).c_str());
  ASSERT_TRUE(real && same);
  EXPECT_EQ(same->body, real->body);
  for (const char* name : {"/test/hostile/pic/CON", "/test/hostile/pic/..%5C..%5Cvx-evil-1.png"}) {
    auto r = Client().Get(name);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200) << name;
    EXPECT_TRUE(IsPng(r->body)) << name;
  }
}
