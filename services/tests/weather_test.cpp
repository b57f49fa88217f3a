// Weather answers read the way the desktop reads them: the text after the first "=", less
// its last character, as JSON; numbers with a base-10 parse; forecast days picked by the
// day of the month of each period's "ts".
#include "weather.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "test_cities.h"

using namespace vx::svc;
using nlohmann::json;

namespace {

using test::Cities;

json ClientParse(const std::string& answer) {
  const size_t eq = answer.find('=');
  std::string body = eq == std::string::npos ? answer : answer.substr(eq + 1);
  body.pop_back();
  return json::parse(body, nullptr, false);
}

int ClientNumber(const std::string& s) { return std::atoi(s.c_str()); }

struct ClientDay {
  int month = 0, day = 0, weekday = 0, firstHour = 8, lowTemp = -9999, highTemp = -9999;
  int dayWeather = 10000, nightWeather = 10000, dayWd = 0, dayWp = 0, nightWd = 0, nightWp = 0;
};

bool ParseTs(const std::string& ts, std::tm* out) {
  int y, mo, d, h, mi, s;
  if (std::sscanf(ts.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6) return false;
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  const std::time_t t = timegm(&tm);
  gmtime_r(&t, out);
  return true;
}

// The desktop's GetDayForecast.
void ClientDayForecast(const json& root, int d, ClientDay* r) {
  if (!root.contains("wk") || !root["wk"].contains("0")) return;
  const json& p = root["wk"]["0"];
  if (p.empty()) return;
  std::tm first{};
  ASSERT_TRUE(ParseTs(p[0]["ts"], &first));
  r->firstHour = first.tm_hour;
  std::time_t base = timegm(&first) + std::time_t(d) * 86400;
  std::tm baseTm{};
  gmtime_r(&base, &baseTm);
  for (const auto& period : p) {
    std::tm t{};
    ASSERT_TRUE(ParseTs(period["ts"], &t));
    if (t.tm_mday != baseTm.tm_mday) continue;
    if (t.tm_hour >= 20) {
      if (period["tmin"] != "NULL") r->lowTemp = ClientNumber(period["tmin"]);
      r->nightWeather = ClientNumber(period["wt"]);
      r->nightWd = ClientNumber(period["wd"]);
      r->nightWp = ClientNumber(period["wp"]);
    } else {
      if (period["tmax"] != "NULL") r->highTemp = ClientNumber(period["tmax"]);
      r->dayWeather = ClientNumber(period["wt"]);
      r->dayWd = ClientNumber(period["wd"]);
      r->dayWp = ClientNumber(period["wp"]);
    }
    r->month = t.tm_mon + 1;
    r->day = t.tm_mday;
    r->weekday = t.tm_wday + 1;
  }
}

std::time_t At(int year, int month, int day, int hourChina) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hourChina;
  return timegm(&tm) - kChinaUtcOffsetSeconds;
}

std::string AnswerFor(const char* title, std::time_t now) {
  GeneratedWeather gen(Cities());
  const City* c = Cities().FindTitle(title);
  EXPECT_NE(c, nullptr) << title;
  return *gen.Answer(*c, now);
}

}  // namespace

TEST(Weather, AnswerIsAssignmentOfOneObjectEndingInSemicolon) {
  const std::string a = AnswerFor("宁波", At(2026, 7, 15, 10));
  ASSERT_GT(a.size(), 10u);
  EXPECT_EQ(a.back(), ';');
  const size_t eq = a.find('=');
  ASSERT_NE(eq, std::string::npos);
  EXPECT_EQ(a[eq + 1], '{');
  EXPECT_EQ(a[a.size() - 2], '}');
  EXPECT_LE(a.size(), 8192u) << "the desktop keeps at most 8192 bytes";
  for (unsigned char ch : a) EXPECT_LT(ch, 0x80) << "the desktop reads it in code page 936";
  EXPECT_TRUE(ClientParse(a).is_object());
}

TEST(Weather, CurrentMembersAreDecimalStringsWithinTheTables) {
  for (const char* city : {"宁波", "北京市", "昌平", "拉萨", "哈尔滨", "三亚", "乌鲁木齐", "香港", "澳门", "台北"}) {
    for (int month = 1; month <= 12; ++month) {
      const json root = ClientParse(AnswerFor(city, At(2026, month, 10, 3 + month)));
      for (const char* key : {"sk_wt", "sk_tp", "sk_wd", "sk_wp", "sk_ps", "sk_hd", "sk_vb", "zs_kqwr"}) {
        ASSERT_TRUE(root.contains(key)) << key;
        ASSERT_TRUE(root[key].is_string()) << key;
        const std::string v = root[key];
        ASSERT_FALSE(v.empty());
        EXPECT_EQ(std::to_string(ClientNumber(v)), v) << key << "=" << v;
      }
      EXPECT_TRUE(IsNamedWeather(ClientNumber(root["sk_wt"]))) << root["sk_wt"];
      EXPECT_LT(ClientNumber(root["sk_wd"]), kWindDirections);
      EXPECT_LT(ClientNumber(root["sk_wp"]), kWindPowers);
      const int kq = ClientNumber(root["zs_kqwr"]);
      EXPECT_GE(kq, 1);
      EXPECT_LT(kq, kPollutionLevels);
      const int hd = ClientNumber(root["sk_hd"]);
      EXPECT_GE(hd, 0);
      EXPECT_LE(hd, 100);
      const int tp = ClientNumber(root["sk_tp"]);
      EXPECT_GT(tp, -45);
      EXPECT_LT(tp, 45);
    }
  }
}

TEST(Weather, SevenDaysFromTodayFillEveryForecastRecord) {
  const std::time_t now = At(2026, 12, 28, 15);  // crosses the month and the year
  const json root = ClientParse(AnswerFor("宁波", now));
  ASSERT_EQ(root["wk"]["0"].size(), 14u);
  for (int d = 0; d < 7; ++d) {
    ClientDay r;
    ClientDayForecast(root, d, &r);
    const LocalTime expect = ChinaTime(now + std::time_t(d) * 86400);
    EXPECT_EQ(r.month, expect.month) << d;
    EXPECT_EQ(r.day, expect.day) << d;
    EXPECT_GE(r.weekday, 1);
    EXPECT_LE(r.weekday, 7);
    EXPECT_EQ(r.firstHour, 8);
    EXPECT_NE(r.lowTemp, -9999) << d;
    EXPECT_NE(r.highTemp, -9999) << d;
    EXPECT_LE(r.lowTemp, r.highTemp) << d;
    EXPECT_TRUE(IsNamedWeather(r.dayWeather)) << r.dayWeather;
    EXPECT_TRUE(IsNamedWeather(r.nightWeather)) << r.nightWeather;
    for (int v : {r.dayWd, r.nightWd}) EXPECT_LT(v, kWindDirections);
    for (int v : {r.dayWp, r.nightWp}) EXPECT_LT(v, kWindPowers);
  }
  // Weekdays follow on from one another.
  ClientDay a, b;
  ClientDayForecast(root, 0, &a);
  ClientDayForecast(root, 1, &b);
  EXPECT_EQ(b.weekday, a.weekday % 7 + 1);
}

TEST(Weather, DayPeriodsCarryTheHighNightPeriodsTheLow) {
  const json root = ClientParse(AnswerFor("北京市", At(2026, 3, 1, 9)));
  for (const auto& p : root["wk"]["0"]) {
    std::tm t{};
    ASSERT_TRUE(ParseTs(p["ts"], &t));
    for (const char* k : {"ts", "tmin", "tmax", "wt", "wd", "wp"}) ASSERT_TRUE(p[k].is_string()) << k;
    if (t.tm_hour >= 20) {
      EXPECT_EQ(p["tmax"], "NULL");
      EXPECT_NE(p["tmin"], "NULL");
    } else {
      EXPECT_EQ(p["tmin"], "NULL");
      EXPECT_NE(p["tmax"], "NULL");
    }
  }
}

TEST(Weather, SameCityAndHourGiveTheSameAnswerOtherDaysDiffer) {
  const std::time_t t = At(2026, 5, 20, 11);
  EXPECT_EQ(AnswerFor("成都", t), AnswerFor("成都", t + 60));
  EXPECT_NE(AnswerFor("成都", t), AnswerFor("成都", t + 86400));
  EXPECT_NE(AnswerFor("成都", t), AnswerFor("宁波", t));
}

TEST(Weather, SeasonAndRegionShowInTheTemperatures) {
  auto meanHigh = [](const char* city, int month) {
    double sum = 0;
    for (int day = 1; day <= 28; day += 3) {
      ClientDay r;
      ClientDayForecast(ClientParse(AnswerFor(city, At(2026, month, day, 12))), 0, &r);
      sum += r.highTemp;
    }
    return sum / 10;
  };
  EXPECT_LT(meanHigh("哈尔滨", 1), -5);
  EXPECT_GT(meanHigh("三亚", 1), 20);
  EXPECT_GT(meanHigh("宁波", 7), meanHigh("宁波", 1) + 15);
}

TEST(Weather, NoSnowInTheTropicsInSummer) {
  for (int day = 1; day <= 30; ++day) {
    const json root = ClientParse(AnswerFor("三亚", At(2026, 7, day, 12)));
    for (const auto& p : root["wk"]["0"]) {
      const int wt = ClientNumber(p["wt"]);
      EXPECT_FALSE(wt >= 13 && wt <= 17) << wt;
      EXPECT_FALSE(wt >= 26 && wt <= 28) << wt;
    }
  }
}

TEST(Weather, RecordedAnswersAreServedByteForByte) {
  const std::string dir = ::testing::TempDir() + "/recorded-weather";
  std::filesystem::create_directories(dir);
  const std::string text = "var x={\"sk_tp\":\"5\"};";
  {
    std::FILE* f = std::fopen((dir + "/10330200.js").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  std::string error;
  auto rec = RecordedWeather::Load(dir, &error);
  ASSERT_NE(rec, nullptr) << error;
  EXPECT_EQ(rec->Answer(*Cities().FindTitle("宁波"), 0), text);
  EXPECT_FALSE(rec->Answer(*Cities().FindTitle("北京市"), 0).has_value());
  EXPECT_EQ(RecordedWeather::Load(dir + "/missing", &error), nullptr);
}
