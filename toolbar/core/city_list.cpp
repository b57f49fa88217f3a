#include "toolbar/core/city_list.h"

#include <climits>
#include <cstdint>
#include <cwchar>
#include <nlohmann/json.hpp>

#include "uilib/core/vx_utf8.h"

using nlohmann::json;

namespace {

constexpr size_t kFieldChars = 63;
constexpr int64_t kSecondsPerDay = 86400;

bool IsHighSurrogate(wchar_t c) { return sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF; }
// Strings out of the JSON reader are valid UTF-8; anything else still decodes, to U+FFFD.
std::wstring FromUtf8(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t extra = lead < 0x80 ? 0 : lead >= 0xF8 ? 9 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 9;
    bool ok = extra != 9 && i + extra < text.size();
    uint32_t cp = ok ? (extra == 0 ? lead : lead & (0x3F >> extra)) : 0;
    for (size_t k = 1; ok && k <= extra; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp > 0x10FFFF) {
      VxAppendWide(out, 0xFFFD);
      ++i;
      continue;
    }
    VxAppendWide(out, cp);
    i += extra + 1;
  }
  return out;
}

void CopyField(wchar_t (&field)[64], const std::wstring& text) {
  size_t n = text.size() < kFieldChars ? text.size() : kFieldChars;
  // A cut between the halves of a surrogate pair would leave half a character.
  if (n == kFieldChars && n < text.size() && IsHighSurrogate(text[n - 1])) --n;
  text.copy(field, n);
  field[n] = L'\0';
}

// A member as text: strings as they are, integers in decimal, anything else empty.
std::string MemberText(const json& object, const char* key) {
  if (!object.is_object()) return std::string();
  const auto it = object.find(key);
  if (it == object.end()) return std::string();
  if (it->is_string()) return it->get_ref<const std::string&>();
  if (it->is_number_integer()) return std::to_string(it->get<int64_t>());
  if (it->is_number_unsigned()) return std::to_string(it->get<uint64_t>());
  if (it->is_number_float()) return std::to_string(static_cast<int64_t>(it->get<double>()));
  return std::string();
}

int MemberInt(const json& object, const char* key) { return ParseDecimal(FromUtf8(MemberText(object, key))); }

std::wstring ShortName(const wchar_t* name) {
  std::wstring s(name);
  if (!s.empty() && (s.back() == L'省' || s.back() == L'市')) s.pop_back();
  return s;
}

// Civil calendar arithmetic on standard time (no daylight saving), as days since 1970-01-01.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

struct CivilTime {
  int64_t year;
  int month, day, hour, weekday;  // weekday 1 = Sunday
};

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

CivilTime CivilFromSeconds(int64_t seconds) {
  const int64_t z = FloorDiv(seconds, kSecondsPerDay);
  const int64_t secOfDay = seconds - z * kSecondsPerDay;
  const int64_t zz = z + 719468;
  const int64_t era = (zz >= 0 ? zz : zz - 146096) / 146097;
  const int64_t doe = zz - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  CivilTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = yoe + era * 400 + (t.month <= 2);
  t.hour = static_cast<int>(secOfDay / 3600);
  t.weekday = static_cast<int>(z + 4 - FloorDiv(z + 4, 7) * 7) + 1;  // 1970-01-01 was a Thursday
  return t;
}

// "%d-%d-%d %d:%d:%d" read the way a C scan reads it; a value out of range rolls over into the
// next field as the C library's time normalising does. Year, month, day and hour must be there.
bool ParseTimestamp(const std::string& text, int64_t& seconds) {
  static const char kSeparators[] = {'-', '-', ' ', ':', ':'};
  int64_t fields[6] = {0, 0, 0, 0, 0, 0};
  size_t pos = 0, count = 0;
  auto isSpace = [&](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
  for (; count < 6; ++count) {
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') break;
    int64_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      if (value < 1000000) value = value * 10 + (text[pos] - '0');
      ++pos;
    }
    fields[count] = negative ? -value : value;
    if (count == 5) {
      ++count;
      break;
    }
    if (kSeparators[count] == ' ') continue;  // white space in a scan format matches none too
    if (pos >= text.size() || text[pos] != kSeparators[count]) {
      ++count;
      break;
    }
    ++pos;
  }
  if (count < 4) return false;
  const int64_t monthIndex = fields[1] - 1;
  const int64_t year = fields[0] + FloorDiv(monthIndex, 12);
  const int64_t month = monthIndex - FloorDiv(monthIndex, 12) * 12 + 1;
  const int64_t days = DaysFromCivil(year, month, 1) + fields[2] - 1;
  seconds = days * kSecondsPerDay + fields[3] * 3600 + fields[4] * 60 + fields[5];
  return true;
}

}  // namespace

CParseJson::CParseJson(AnsiToWideFn ansiToWide)
    : ansiToWide_(std::move(ansiToWide)), root_(std::make_unique<json>()) {}

CParseJson::~CParseJson() = default;

bool CParseJson::LoadCityList(const char* bytes, size_t size) {
  cities_.clear();
  shortProvinces_.clear();
  shortTitles_.clear();
  const std::wstring wide = ansiToWide_ ? ansiToWide_(bytes, size) : std::wstring();
  const json root = json::parse(VxWideToUtf8(wide), nullptr, /*allow_exceptions=*/false, /*ignore_comments=*/true);
  if (root.is_discarded() || !root.is_array()) return false;
  cities_.reserve(root.size());
  for (const json& element : root) {
    if (!element.is_object()) continue;
    CityInfo info;
    CopyField(info.title, FromUtf8(MemberText(element, "title")));
    CopyField(info.code, FromUtf8(MemberText(element, "code")));
    CopyField(info.spell, FromUtf8(MemberText(element, "spell")));
    CopyField(info.province, FromUtf8(MemberText(element, "province")));
    cities_.push_back(info);
    shortProvinces_.push_back(ShortName(info.province));
    shortTitles_.push_back(ShortName(info.title));
  }
  return true;
}

bool CParseJson::MatchLocation(const std::wstring& text, std::wstring& province, std::wstring& city) const {
  // Records come province by province: the province is looked for once per run of them.
  const std::wstring* lastProvince = nullptr;
  bool provinceFound = false;
  for (size_t i = 0; i < cities_.size(); ++i) {
    const std::wstring& shortProvince = shortProvinces_[i];
    const std::wstring& shortTitle = shortTitles_[i];
    // An empty name is found in any text: such a record would match every answer.
    if (shortProvince.empty() || shortTitle.empty()) continue;
    if (!lastProvince || *lastProvince != shortProvince) {
      lastProvince = &shortProvince;
      provinceFound = text.find(shortProvince) != std::wstring::npos;
    }
    if (!provinceFound || text.find(shortTitle) == std::wstring::npos) continue;
    province = cities_[i].province;
    city = cities_[i].title;
    return true;
  }
  return false;
}

std::wstring CParseJson::FindCityCode(const std::wstring& name) const {
  for (const CityInfo& info : cities_)
    if (name == info.title) return info.code;
  return std::wstring();
}

bool CParseJson::ParseWeather(const std::wstring& text) {
  const size_t equals = text.find(L'=');
  std::wstring body = equals == std::wstring::npos ? text : text.substr(equals + 1);
  if (!body.empty()) body.pop_back();  // the statement's semicolon
  json parsed = json::parse(VxWideToUtf8(body), nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) {
    *root_ = json();
    return false;
  }
  *root_ = std::move(parsed);
  return true;
}

std::wstring CParseJson::GetValue(const std::string& key) const {
  return FromUtf8(MemberText(*root_, key.c_str()));
}

void CParseJson::GetDayForecast(int dayIndex, WeatherDay& record) const {
  if (!root_->is_object()) return;
  const auto wk = root_->find("wk");
  if (wk == root_->end() || !wk->is_object()) return;
  const auto periods = wk->find("0");
  if (periods == wk->end() || !periods->is_array() || periods->empty()) return;
  int64_t first = 0;
  if (!ParseTimestamp(MemberText((*periods)[0], "ts"), first)) return;
  record.firstHour = CivilFromSeconds(first).hour;
  const int baseDay = CivilFromSeconds(first + static_cast<int64_t>(dayIndex) * kSecondsPerDay).day;
  for (const json& p : *periods) {
    int64_t seconds = 0;
    if (!ParseTimestamp(MemberText(p, "ts"), seconds)) continue;
    const CivilTime t = CivilFromSeconds(seconds);
    if (t.day != baseDay) continue;
    if (t.hour >= 20) {
      const std::string low = MemberText(p, "tmin");
      if (!low.empty() && low != "NULL") record.lowTemp = MemberInt(p, "tmin");
      record.nightWeather = MemberInt(p, "wt");
      record.nightWindDirection = MemberInt(p, "wd");
      record.nightWindPower = MemberInt(p, "wp");
    } else {
      const std::string high = MemberText(p, "tmax");
      if (!high.empty() && high != "NULL") record.highTemp = MemberInt(p, "tmax");
      record.dayWeather = MemberInt(p, "wt");
      record.dayWindDirection = MemberInt(p, "wd");
      record.dayWindPower = MemberInt(p, "wp");
    }
    record.month = t.month;
    record.day = t.day;
    record.weekday = t.weekday;
  }
}

int ParseDecimal(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > static_cast<int64_t>(INT_MAX) + 1) value = static_cast<int64_t>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

std::vector<size_t> CitiesOfProvince(const std::vector<CityInfo>& cities, const std::wstring& province) {
  std::vector<size_t> out;
  for (size_t i = 0; i < cities.size(); ++i)
    if (province == cities[i].province && std::wcslen(cities[i].code) < 10) out.push_back(i);
  return out;
}

std::vector<size_t> DistrictsOfCity(const std::vector<CityInfo>& cities, size_t city) {
  std::vector<size_t> out;
  if (city >= cities.size()) return out;
  out.push_back(city);
  const std::wstring code = cities[city].code;
  if (code.empty()) return out;  // every code would begin with it
  for (size_t i = 0; i < cities.size(); ++i) {
    const wchar_t* other = cities[i].code;
    if (i != city && std::wcslen(other) > 8 && std::wcsncmp(other, code.c_str(), code.size()) == 0) out.push_back(i);
  }
  return out;
}

size_t FirstStartingWith(const std::vector<std::wstring>& items, const std::wstring& prefix) {
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].compare(0, prefix.size(), prefix) == 0) return i;
  return 0;
}
