// The client's city list and weather readers against what the stand-in services really send:
// the build's GBK city list, the services' own location rule and their weather answer format.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <sstream>

#include "services/src/citylist.h"
#include "toolbar/core/city_list.h"
#include "toolbar/core/tests/iconv_text.h"
#include "toolbar/core/weather_tables.h"
#include "services/src/weather.h"

namespace {

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Lists {
  CParseJson client{GbkToWideNative};
  vx::svc::CityList services;
  Lists() : services(*vx::svc::CityList::Load(VX_CITY_JSON, nullptr)) {
    const std::string gbk = ReadFile(VX_CITY_GBK);
    EXPECT_TRUE(client.LoadCityList(gbk.data(), gbk.size()));
  }
};

std::wstring W(const std::string& utf8) { return Utf8ToWideNative(utf8); }

}  // namespace

TEST(CityList, ClientAndServicesReadTheSameListAndPlaces) {
  Lists lists;
  const auto& cities = lists.client.Cities();
  ASSERT_EQ(cities.size(), lists.services.entries().size());
  std::wstring province, city;
  ASSERT_TRUE(lists.client.MatchLocation(L"浙江省宁波市 电信", province, city));
  EXPECT_EQ(city, L"宁波");
  EXPECT_EQ(province, L"浙江省");
  ASSERT_TRUE(lists.client.MatchLocation(L"北京市 联通", province, city));
  EXPECT_EQ(city, L"北京市");
  EXPECT_EQ(province, L"北京市");
  EXPECT_FALSE(lists.client.MatchLocation(L"Springfield, Illinois", province, city));
  // Every answer the IP-location stand-in can give names the city the services mean.
  std::istringstream table(ReadFile(VX_SVC_CONTENT_SRC "/ipquery.tsv"));
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::string text = line.substr(line.find('\t') + 1);
    const vx::svc::City* meant = lists.services.MatchLocation(text);
    ASSERT_TRUE(meant) << text;
    ASSERT_TRUE(lists.client.MatchLocation(W(text), province, city)) << text;
    EXPECT_EQ(city, W(meant->title)) << text;
    EXPECT_EQ(province, W(meant->province)) << text;
  }
  const std::wstring changping = lists.client.FindCityCode(L"昌平");
  EXPECT_EQ(changping.size(), 10u);
  EXPECT_EQ(changping, W(lists.services.FindTitle("昌平")->code));
  EXPECT_EQ(lists.client.FindCityCode(L"昌平区"), L"");

  // The chooser: every province it offers has cities, every city of the list is offered.
  size_t offered = 0;
  for (const std::wstring& p : ChooserProvinces()) {
    const std::vector<size_t> inProvince = CitiesOfProvince(cities, p);
    EXPECT_FALSE(inProvince.empty()) << p.size();
    offered += inProvince.size();
    for (size_t c : inProvince) {
      const std::vector<size_t> districts = DistrictsOfCity(cities, c);
      ASSERT_EQ(districts.front(), c);
      for (size_t d = 1; d < districts.size(); ++d)
        EXPECT_EQ(W(lists.services.CityOf(lists.services.entries()[districts[d]])->code), cities[c].code);
    }
  }
  size_t all = 0;
  for (const auto& e : lists.services.entries()) all += e.IsDistrict() ? 0 : 1;
  EXPECT_EQ(offered, all);
  const std::vector<std::wstring> names = {L"浙江省", L"北京市"};
  EXPECT_EQ(FirstStartingWith(names, L"北京"), 1u);
  EXPECT_EQ(FirstStartingWith(names, L"海南"), 0u);
}

TEST(CityList, WeatherAnswerFillsNowAndTheDays) {
  // 2024-02-28 08:00 and 20:00, then 02-29 08:00 (a leap day, a Thursday).
  vx::svc::WeatherReport report{};
  report.now = {7, -3, 2, 1, 1021, 55, 10, 2};
  report.periods = {{2024, 2, 28, 8, std::nullopt, std::nullopt, 1, 2, 3},
                    {2024, 2, 28, 20, -5, std::nullopt, 53, 4, 5},
                    {2024, 2, 29, 8, std::nullopt, 12, 0, 6, 7}};
  CParseJson reader(GbkToWideNative);
  ASSERT_TRUE(reader.ParseWeather(W(vx::svc::FormatWeatherAnswer("101210401", report))));
  EXPECT_EQ(ParseDecimal(reader.GetValue("sk_tp")), -3);
  EXPECT_EQ(ParseDecimal(reader.GetValue("sk_ps")), 1021);
  EXPECT_EQ(ParseDecimal(reader.GetValue("sk_wt")), 7);
  EXPECT_EQ(reader.GetValue("missing"), L"");
  WeatherDay today, tomorrow;
  reader.GetDayForecast(0, today);
  reader.GetDayForecast(1, tomorrow);
  EXPECT_EQ(today.firstHour, 8);
  EXPECT_EQ(today.highTemp, -9999);  // "NULL" leaves it
  EXPECT_EQ(today.dayWeather, 1);
  EXPECT_EQ(today.lowTemp, -5);  // the 20:00 period is the night
  EXPECT_EQ(today.nightWeather, 53);
  EXPECT_EQ(today.nightWindPower, 5);
  EXPECT_EQ(today.weekday, 4);  // Wednesday
  EXPECT_EQ(tomorrow.month, 2);
  EXPECT_EQ(tomorrow.day, 29);
  EXPECT_EQ(tomorrow.weekday, 5);
  EXPECT_EQ(tomorrow.highTemp, 12);
  EXPECT_EQ(tomorrow.nightWeather, 10000);

  // The services' made-up weather for 宁波 fills all seven days with named weather.
  const vx::svc::CityList cities = *vx::svc::CityList::Load(VX_CITY_JSON, nullptr);
  vx::svc::GeneratedWeather generated(cities);
  const auto answer = generated.Answer(*cities.FindTitle("宁波"), std::time(nullptr));
  ASSERT_TRUE(answer);
  ASSERT_TRUE(reader.ParseWeather(W(*answer)));
  EXPECT_NE(WeatherName(ParseDecimal(reader.GetValue("sk_wt"))), nullptr);
  for (int d = 0; d < 7; ++d) {
    WeatherDay day;
    reader.GetDayForecast(d, day);
    EXPECT_NE(day.day, 0) << d;
    EXPECT_TRUE(WeatherName(day.dayWeather) || WeatherName(day.nightWeather)) << d;
  }

  // Cut where the client's body cap cuts: no data, and the days stay as they were.
  const std::wstring whole = W(*answer);
  EXPECT_FALSE(reader.ParseWeather(whole.substr(0, whole.size() / 2)));
  EXPECT_EQ(reader.GetValue("sk_tp"), L"");
  WeatherDay kept = today;
  reader.GetDayForecast(0, kept);
  EXPECT_EQ(kept.lowTemp, -5);
  EXPECT_EQ(kept.day, 28);
}
