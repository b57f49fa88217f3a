// Any city list resource: loading never throws or overruns a field, every text stays cut at
// 63 characters, and the chooser's lists only name records of the list.
#include <cwchar>

#include "desk/core/fuzz/fuzz_check.h"
#include "toolbar/core/city_list.h"
#include "toolbar/core/tests/iconv_text.h"
#include "toolbar/core/weather_tables.h"

namespace {

bool Terminated(const wchar_t (&field)[64]) { return std::wmemchr(field, L'\0', 64) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  CParseJson list(GbkToWideNative);
  const bool ok = list.LoadCityList(reinterpret_cast<const char*>(data), size);
  const std::vector<CityInfo>& cities = list.Cities();
  if (!ok) FUZZ_CHECK(cities.empty());
  for (const CityInfo& c : cities)
    FUZZ_CHECK(Terminated(c.title) && Terminated(c.code) && Terminated(c.spell) && Terminated(c.province));
  std::wstring province, city;
  if (list.MatchLocation(L"浙江省宁波市 北京市", province, city)) FUZZ_CHECK(!province.empty() && !city.empty());
  if (!cities.empty()) {
    // The first record of a title wins.
    for (const CityInfo& c : cities)
      if (std::wcscmp(c.title, cities.back().title) == 0) {
        FUZZ_CHECK(list.FindCityCode(cities.back().title) == c.code);
        break;
      }
    for (size_t c : CitiesOfProvince(cities, cities[0].province)) {
      FUZZ_CHECK(c < cities.size() && std::wcslen(cities[c].code) < 10);
      const std::vector<size_t> districts = DistrictsOfCity(cities, c);
      FUZZ_CHECK(!districts.empty() && districts[0] == c);
      for (size_t d : districts) FUZZ_CHECK(d < cities.size());
    }
  }
  return 0;
}
