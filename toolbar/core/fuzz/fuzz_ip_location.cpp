// Any IP-location answer against the real city list: a match is always a record of the list
// whose shortened province and title both occur in the answer, and never an empty name.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "desk/core/fuzz/fuzz_check.h"
#include "toolbar/core/city_list.h"
#include "toolbar/core/tests/iconv_text.h"

namespace {

const CParseJson& RealList() {
  static CParseJson* list = [] {
    auto* l = new CParseJson(GbkToWideNative);
    std::ifstream in(VX_CITY_GBK, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    const std::string bytes = s.str();
    if (!l->LoadCityList(bytes.data(), bytes.size()) || l->Cities().empty()) {
      std::fprintf(stderr, "city list %s did not load\n", VX_CITY_GBK);
      std::abort();
    }
    return l;
  }();
  return *list;
}

std::wstring Short(std::wstring s) {
  if (!s.empty() && (s.back() == L'省' || s.back() == L'市')) s.pop_back();
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  const CParseJson& list = RealList();
  // What the client hands on: the answer's GBK bytes as wide text.
  const std::wstring text = GbkToWideNative(reinterpret_cast<const char*>(data), size);
  std::wstring province, city;
  if (!list.MatchLocation(text, province, city)) return 0;
  FUZZ_CHECK(!Short(province).empty() && !Short(city).empty());
  FUZZ_CHECK(text.find(Short(province)) != std::wstring::npos && text.find(Short(city)) != std::wstring::npos);
  bool listed = false;
  for (const CityInfo& c : list.Cities()) listed = listed || (province == c.province && city == c.title);
  FUZZ_CHECK(listed);
  FUZZ_CHECK(city.find_first_of(L"\r\n") == std::wstring::npos);
  return 0;
}
