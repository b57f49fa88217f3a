// Checks the committed city list against what the desktop's weather code and city chooser
// rely on.
#include "citylist.h"

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "test_cities.h"
#include "text.h"

using namespace vx::svc;

namespace {

std::string ReadAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

const CityList& List() { return test::Cities(); }

bool EndsWith(const std::string& s, const std::string& suffix) {
  return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

const std::set<std::string> kMunicipalities = {"北京市", "上海市", "天津市", "重庆市"};

}  // namespace

TEST(CityList, EveryObjectHasTheFourStringMembersInOrder) {
  const auto doc = nlohmann::ordered_json::parse(ReadAll(VX_CITY_JSON));
  ASSERT_TRUE(doc.is_array());
  for (const auto& item : doc) {
    ASSERT_EQ(item.size(), 4u) << item.dump();
    auto it = item.begin();
    for (const char* key : {"title", "code", "spell", "province"}) {
      EXPECT_EQ(it.key(), key) << item.dump();
      EXPECT_TRUE(it->is_string());
      ++it;
    }
  }
}

TEST(CityList, Counts) {
  const auto& e = List().entries();
  size_t cities = 0;
  for (const auto& c : e) cities += c.IsDistrict() ? 0 : 1;
  // Every prefecture-level city and county of China, with Hong Kong, Macao and Taiwan.
  EXPECT_GT(e.size(), 3200u);
  EXPECT_LT(e.size(), 4000u);
  EXPECT_GT(cities, 360u);
  EXPECT_LT(cities, 420u);
}

TEST(CityList, CodesAreEightDigitsForCitiesAndTenForDistrictsUnderTheirCity) {
  std::string currentCity;
  std::set<std::string> seen;
  for (const auto& c : List().entries()) {
    ASSERT_TRUE(c.code.size() == 8 || c.code.size() == 10) << c.title << " " << c.code;
    for (char ch : c.code) ASSERT_TRUE(ch >= '0' && ch <= '9') << c.code;
    EXPECT_TRUE(seen.insert(c.code).second) << "duplicate " << c.code;
    if (c.code.size() == 8) {
      currentCity = c.code;
    } else {
      // Each city is followed by its own districts.
      ASSERT_FALSE(currentCity.empty());
      EXPECT_EQ(c.code.substr(0, 8), currentCity) << c.title;
    }
  }
}

TEST(CityList, ProvincesAreTheChoosersNamesOneRunEach) {
  const auto& names = ChooserProvinces();
  ASSERT_EQ(names.size(), 34u);
  std::vector<std::string> runs;
  for (const auto& c : List().entries())
    if (runs.empty() || runs.back() != c.province) runs.push_back(c.province);
  // Province by province, in the chooser's order, every one present.
  EXPECT_EQ(runs, names);
  for (const auto& p : {"广西省", "澳门", "内蒙古自治区", "香港特别行政区", "海南省"})
    EXPECT_NE(std::find(runs.begin(), runs.end(), p), runs.end()) << p;
}

TEST(CityList, TheChooserFindsCitiesInEveryProvince) {
  for (const auto& p : ChooserProvinces()) {
    int cities = 0;
    for (const auto& c : List().entries())
      if (c.province == p && c.code.size() < 10) ++cities;
    EXPECT_GT(cities, 0) << p;
  }
}

TEST(CityList, MunicipalitiesKeepTheSuffixOtherTitlesDoNot) {
  for (const auto& c : List().entries()) {
    if (c.IsDistrict()) {
      EXPECT_NE(c.title, c.province) << c.code;
      continue;
    }
    if (kMunicipalities.count(c.province)) {
      EXPECT_EQ(c.title, c.province);
    } else {
      EXPECT_FALSE(EndsWith(c.title, "市")) << c.title;
      EXPECT_FALSE(EndsWith(c.title, "地区")) << c.title;
      EXPECT_FALSE(EndsWith(c.title, "自治州")) << c.title;
    }
  }
  for (const auto& m : kMunicipalities) {
    const City* c = List().FindTitle(m);
    ASSERT_NE(c, nullptr) << m;
    EXPECT_EQ(c->code.size(), 8u);
    EXPECT_EQ(c->province, m);
  }
}

TEST(CityList, SpellIsLowerCasePinyin) {
  for (const auto& c : List().entries()) {
    ASSERT_FALSE(c.spell.empty()) << c.title;
    for (char ch : c.spell) EXPECT_TRUE(ch >= 'a' && ch <= 'z') << c.title << " " << c.spell;
  }
  EXPECT_EQ(List().FindTitle("北京市")->spell, "beijing");
  EXPECT_EQ(List().FindTitle("宁波")->spell, "ningbo");
  EXPECT_EQ(List().FindTitle("闵行")->spell, "minhang");
}

TEST(CityList, NingboIsFoundExactlyAndByIpLocationText) {
  const City* ningbo = List().FindTitle("宁波");
  ASSERT_NE(ningbo, nullptr);
  EXPECT_EQ(ningbo->province, "浙江省");
  EXPECT_EQ(ningbo->code.size(), 8u);
  const City* m = List().MatchLocation("浙江省宁波市 电信");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->title, "宁波");
  EXPECT_EQ(m->province, "浙江省");
}

TEST(CityList, BeijingMatchesTheFirstRecordOfItsProvince) {
  const City* m = List().MatchLocation("北京市 联通");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->title, "北京市");
  EXPECT_EQ(m, &List().entries().front());
  const City* changping = List().FindTitle("昌平");
  ASSERT_NE(changping, nullptr);
  EXPECT_EQ(changping->code.size(), 10u);
  EXPECT_EQ(changping->code.substr(0, 8), m->code);
}

TEST(CityList, EveryPrefectureCityIsMatchedFromItsIpLocationText) {
  // What an IP-location service writes: the province, then the city with its 市.
  int checked = 0;
  for (const auto& c : List().entries()) {
    if (c.IsDistrict() || kMunicipalities.count(c.province)) continue;
    const City* m = List().MatchLocation(c.province + c.title + "市 电信");
    ASSERT_NE(m, nullptr) << c.title;
    EXPECT_EQ(m->title, c.title) << "text for " << c.title << " matched " << m->title;
    EXPECT_EQ(m->province, c.province);
    ++checked;
  }
  EXPECT_GT(checked, 300);
}

TEST(CityList, TextNamingNoPlaceMatchesNothing) {
  EXPECT_EQ(List().MatchLocation("未知地区 局域网"), nullptr);
  EXPECT_EQ(List().MatchLocation(""), nullptr);
}

TEST(CityList, ShortNameDropsOneFinalProvinceOrCitySuffix) {
  EXPECT_EQ(ShortName("浙江省"), "浙江");
  EXPECT_EQ(ShortName("北京市"), "北京");
  EXPECT_EQ(ShortName("宁波"), "宁波");
  EXPECT_EQ(ShortName("内蒙古自治区"), "内蒙古自治区");
  EXPECT_EQ(ShortName(""), "");
}

TEST(CityList, GbkBytesOfTheBuildHoldTheSameList) {
  const std::string gbk = ReadAll(VX_CITY_GBK);
  ASSERT_FALSE(gbk.empty());
  const auto utf8 = GbkToUtf8(gbk);
  ASSERT_TRUE(utf8.has_value());
  EXPECT_EQ(*utf8, ReadAll(VX_CITY_JSON));
  // "宁波" in code page 936.
  EXPECT_NE(gbk.find("\xc4\xfe\xb2\xa8"), std::string::npos);
}

TEST(CityList, RejectsBrokenLists) {
  std::string error;
  EXPECT_FALSE(CityList::Parse("{", &error));
  EXPECT_FALSE(CityList::Parse("{}", &error));
  EXPECT_FALSE(CityList::Parse(R"([{"title":"a","code":"1"}])", &error));
  EXPECT_FALSE(CityList::Parse(
      R"([{"title":"a","code":"1","spell":"a","province":"p"},{"title":"b","code":"1","spell":"b","province":"p"}])",
      &error));
  EXPECT_NE(error.find("duplicate"), std::string::npos);
}
