#include "weather.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "text.h"

namespace vx::svc {

bool IsNamedWeather(int index) { return (index >= 0 && index <= 35) || index == 53; }

LocalTime ChinaTime(std::time_t utc) {
  const std::time_t shifted = utc + kChinaUtcOffsetSeconds;
  std::tm tm{};
  gmtime_r(&shifted, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_yday};
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// Deterministic noise: FNV-1a over the key, finished with splitmix64.
uint64_t Hash(const std::string& key) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char ch : key) {
    h ^= ch;
    h *= 1099511628211ull;
  }
  h += 0x9e3779b97f4a7c15ull;
  h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ull;
  h = (h ^ (h >> 27)) * 0x94d049bb133111ebull;
  return h ^ (h >> 31);
}

double Unit(const std::string& key) { return double(Hash(key) >> 11) / double(1ull << 53); }

struct Climate {
  const char* province;
  double january, july;  // mean temperature, °C
  double wet;            // 0 desert .. 1 monsoon coast
  int pressure;          // typical station pressure, hPa (the plateau is far below sea level's)
  bool dusty;            // spring dust from the northern deserts
};

const Climate kClimates[] = {
    {"北京市", -3, 27, 0.30, 1012, true},         {"上海市", 5, 29, 0.60, 1016, false},
    {"天津市", -3, 28, 0.30, 1016, true},         {"重庆市", 8, 29, 0.55, 980, false},
    {"吉林省", -15, 23, 0.35, 990, false},        {"黑龙江省", -19, 23, 0.35, 995, false},
    {"辽宁省", -9, 25, 0.40, 1005, false},        {"内蒙古自治区", -13, 22, 0.15, 900, true},
    {"新疆维吾尔自治区", -12, 25, 0.08, 930, true}, {"宁夏回族自治区", -7, 24, 0.12, 890, true},
    {"青海省", -8, 16, 0.18, 720, true},          {"甘肃省", -6, 22, 0.15, 840, true},
    {"陕西省", 0, 27, 0.30, 960, true},           {"西藏自治区", -2, 16, 0.20, 650, false},
    {"四川省", 7, 26, 0.50, 950, false},          {"贵州省", 5, 24, 0.55, 880, false},
    {"云南省", 9, 20, 0.45, 810, false},          {"山西省", -5, 24, 0.25, 920, true},
    {"河北省", -2, 27, 0.28, 1010, true},         {"山东省", -1, 27, 0.35, 1012, false},
    {"河南省", 1, 27, 0.40, 1005, false},         {"安徽省", 3, 29, 0.55, 1012, false},
    {"江苏省", 3, 28, 0.55, 1015, false},         {"湖北省", 4, 29, 0.55, 1010, false},
    {"湖南省", 5, 29, 0.60, 1005, false},         {"江西省", 6, 29, 0.65, 1008, false},
    {"浙江省", 5, 29, 0.65, 1014, false},         {"福建省", 11, 29, 0.65, 1012, false},
    {"台湾省", 16, 29, 0.70, 1012, false},        {"广西省", 12, 28, 0.65, 1005, false},
    {"广东省", 14, 29, 0.70, 1010, false},        {"海南省", 19, 29, 0.70, 1010, false},
    {"香港特别行政区", 16, 29, 0.70, 1012, false}, {"澳门", 16, 29, 0.70, 1012, false},
};

const Climate& ClimateOf(const std::string& province) {
  for (const auto& c : kClimates)
    if (province == c.province) return c;
  return kClimates[26];  // a temperate default for a province we do not know
}

std::string DateKey(const LocalTime& t) {
  return std::to_string(t.year) + "-" + std::to_string(t.month) + "-" + std::to_string(t.day);
}

struct Day {
  LocalTime date;
  int tmin, tmax;
  int dayWt, nightWt;
  int dayWd, dayWp, nightWd, nightWp;
};

int Pick(double r, std::initializer_list<std::pair<double, int>> choices) {
  double acc = 0;
  for (auto [weight, value] : choices) {
    acc += weight;
    if (r < acc) return value;
  }
  return std::data(choices)[choices.size() - 1].second;
}

// 0 in deep winter, 1 in high summer.
double Summerness(int yday) { return (1 - std::cos(2 * kPi * (yday - 15) / 365.0)) / 2; }

int DayWeather(const std::string& key, const Climate& cl, double summer, int month, int tmin, int tmax) {
  const double rainChance = cl.wet * (0.35 + 0.6 * summer);
  const double r = Unit(key + "/sky");
  const double r2 = Unit(key + "/kind");
  if (r < rainChance) {
    if (tmax <= 1) return Pick(r2, {{0.5, 14}, {0.3, 15}, {0.15, 16}, {0.05, 13}});
    if (tmin <= 0 && tmax <= 5) return Pick(r2, {{0.6, 6}, {0.4, 14}});
    if (summer > 0.6 && Unit(key + "/storm") < 0.45) return Pick(r2, {{0.55, 4}, {0.45, 3}});
    return Pick(r2, {{0.5, 7}, {0.2, 21}, {0.15, 8}, {0.08, 9}, {0.05, 22}, {0.02, 10}});
  }
  if (cl.dusty && month >= 3 && month <= 5 && r2 < 0.08) return r2 < 0.04 ? 30 : 29;
  if (cl.january < 0 && summer < 0.25 && r2 < 0.10) return 53;
  if (cl.wet > 0.4 && summer < 0.3 && r2 < 0.05) return 18;
  return Pick(r2, {{0.4, 0}, {0.4, 1}, {0.2, 2}});
}

bool IsWet(int wt) { return (wt >= 3 && wt <= 17) || (wt >= 19 && wt <= 28); }

int NightWeather(const std::string& key, int dayWt) {
  const double r = Unit(key + "/night");
  if (dayWt == 4 || dayWt == 5) return r < 0.5 ? 3 : 7;  // storms die down after dark
  if (dayWt == 29 || dayWt == 30) return 1;
  if (r < 0.65) return dayWt;
  if (IsWet(dayWt)) return r < 0.85 ? 2 : 1;
  return dayWt == 0 ? 1 : 0;
}

void Wind(const std::string& key, double summer, int* wd, int* wp) {
  const double r = Unit(key + "/wd");
  if (r < 0.25) {
    *wd = 0;
  } else if (summer > 0.5) {
    *wd = Pick(Unit(key + "/dir"), {{0.35, 4}, {0.35, 3}, {0.2, 5}, {0.1, 2}});
  } else {
    *wd = Pick(Unit(key + "/dir"), {{0.35, 8}, {0.35, 7}, {0.2, 1}, {0.1, 6}});
  }
  *wp = Pick(Unit(key + "/wp"), {{0.6, 0}, {0.25, 1}, {0.1, 2}, {0.05, 3}});
}

Day MakeDay(const City& city, const Climate& cl, const LocalTime& date) {
  const std::string key = city.code + "/" + DateKey(date);
  const double summer = Summerness(date.yday);
  const double seasonal = cl.january + (cl.july - cl.january) * summer;
  const double cityOffset = (Unit(city.code + "/offset") - 0.5) * 3;
  const double mean = seasonal + cityOffset + (Unit(key + "/mean") - 0.5) * 6;
  const double range = 11 - 5 * cl.wet + (Unit(key + "/range") - 0.5) * 3;
  Day d{};
  d.date = date;
  d.tmax = int(std::lround(mean + range / 2));
  d.tmin = int(std::lround(mean - range / 2));
  d.dayWt = DayWeather(key, cl, summer, date.month, d.tmin, d.tmax);
  d.nightWt = NightWeather(key, d.dayWt);
  if (IsWet(d.dayWt)) d.tmax -= 2;
  Wind(key + "/day", summer, &d.dayWd, &d.dayWp);
  Wind(key + "/night", summer, &d.nightWd, &d.nightWp);
  return d;
}

// Temperature of the hour on a curve from the low at 05:00 to the high at 14:00 and back.
int HourTemperature(const Day& d, int hour) {
  double t;
  if (hour >= 5 && hour <= 14) {
    t = d.tmin + (d.tmax - d.tmin) * (1 - std::cos(kPi * (hour - 5) / 9.0)) / 2;
  } else {
    const int since = hour > 14 ? hour - 14 : hour + 10;
    t = d.tmax - (d.tmax - d.tmin) * (1 - std::cos(kPi * since / 15.0)) / 2;
  }
  return int(std::lround(t));
}

std::string Num(int v) { return std::to_string(v); }

std::string Timestamp(const WeatherPeriod& p) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:00:00", p.year, p.month, p.day, p.hour);
  return buf;
}

}  // namespace

WeatherReport GeneratedWeather::Report(const City& city, std::time_t now) const {
  const City* owner = cities_.CityOf(city);
  // Districts share their city's climate and weather pattern but keep their own noise.
  const Climate& cl = ClimateOf(owner ? owner->province : city.province);
  const LocalTime today = ChinaTime(now);

  WeatherReport report;
  std::vector<Day> days;
  for (int i = 0; i < 7; ++i) days.push_back(MakeDay(city, cl, ChinaTime(now + std::time_t(i) * 86400)));
  for (const Day& d : days) {
    report.periods.push_back({d.date.year, d.date.month, d.date.day, 8, std::nullopt, d.tmax, d.dayWt,
                              d.dayWd, d.dayWp});
    report.periods.push_back({d.date.year, d.date.month, d.date.day, 20, d.tmin, std::nullopt,
                              d.nightWt, d.nightWd, d.nightWp});
  }

  const Day& d = days[0];
  const bool daytime = today.hour >= 8 && today.hour < 20;
  const std::string hourKey = city.code + "/" + DateKey(today) + "/" + Num(today.hour);
  WeatherNow& w = report.now;
  w.wt = daytime ? d.dayWt : d.nightWt;
  w.tp = HourTemperature(d, today.hour);
  w.wd = daytime ? d.dayWd : d.nightWd;
  w.wp = daytime ? d.dayWp : d.nightWp;
  w.ps = cl.pressure + int(std::lround((Unit(hourKey + "/ps") - 0.5) * 12));
  const int wetBonus = IsWet(w.wt) ? 25 : (w.wt == 18 ? 30 : 0);
  w.hd = std::clamp(int(std::lround(25 + 45 * cl.wet + (Unit(hourKey + "/hd") - 0.5) * 20)) + wetBonus, 8, 99);
  if (w.wt == 18) {
    w.vb = 1;
  } else if (w.wt == 53 || w.wt == 29 || w.wt == 30) {
    w.vb = 2 + int(Unit(hourKey + "/vb") * 4);
  } else if (IsWet(w.wt)) {
    w.vb = 4 + int(Unit(hourKey + "/vb") * 6);
  } else {
    w.vb = 12 + int(Unit(hourKey + "/vb") * 18);
  }
  if (w.wt == 53) {
    w.kqwr = 5;
  } else if (w.wp >= 2 || IsWet(w.wt)) {
    w.kqwr = 1;
  } else {
    w.kqwr = 2 + int(Unit(hourKey + "/kqwr") * 3);
  }
  return report;
}

std::optional<std::string> GeneratedWeather::Answer(const City& city, std::time_t now) {
  return FormatWeatherAnswer(city.code, Report(city, now));
}

std::string FormatWeatherAnswer(const std::string& code, const WeatherReport& report) {
  nlohmann::ordered_json obj;
  const WeatherNow& w = report.now;
  obj["sk_wt"] = Num(w.wt);
  obj["sk_tp"] = Num(w.tp);
  obj["sk_wd"] = Num(w.wd);
  obj["sk_wp"] = Num(w.wp);
  obj["sk_ps"] = Num(w.ps);
  obj["sk_hd"] = Num(w.hd);
  obj["sk_vb"] = Num(w.vb);
  obj["zs_kqwr"] = Num(w.kqwr);
  nlohmann::ordered_json periods = nlohmann::ordered_json::array();
  for (const auto& p : report.periods) {
    periods.push_back({{"ts", Timestamp(p)},
                       {"tmin", p.tmin ? Num(*p.tmin) : "NULL"},
                       {"tmax", p.tmax ? Num(*p.tmax) : "NULL"},
                       {"wt", Num(p.wt)},
                       {"wd", Num(p.wd)},
                       {"wp", Num(p.wp)}});
  }
  obj["wk"] = {{"0", std::move(periods)}};
  // The desktop keeps what follows the first "=" and drops the last character, so nothing
  // may follow the semicolon, not even a line break.
  return "var weather_" + code + "=" + obj.dump() + ";";
}

std::unique_ptr<RecordedWeather> RecordedWeather::Load(const std::string& folder, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    if (error) *error = "recorded weather folder not found: " + folder;
    return nullptr;
  }
  auto rec = std::make_unique<RecordedWeather>();
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const fs::path& p = entry.path();
    if (!entry.is_regular_file() || p.extension() != ".js") continue;
    auto text = ReadWholeFile(p.string());
    if (!text) {
      if (error) *error = "cannot read " + p.string();
      return nullptr;
    }
    rec->answers_[p.stem().string()] = std::move(*text);
  }
  if (ec) {
    if (error) *error = "cannot list " + folder + ": " + ec.message();
    return nullptr;
  }
  return rec;
}

std::optional<std::string> RecordedWeather::Answer(const City& city, std::time_t) {
  auto it = answers_.find(city.code);
  if (it == answers_.end()) return std::nullopt;
  return it->second;
}

}  // namespace vx::svc
