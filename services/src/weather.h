// Weather answers for "/city/<code>.js": a script statement `var ...=<JSON object>;` whose
// members the desktop reads by name. Where the numbers come from is a provider's business.
#pragma once
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "citylist.h"

namespace vx::svc {

// Table sizes of the desktop's index tables; every index we send must fall inside them.
constexpr int kWeatherNames = 54;   // 36..52 exist but have no name; see IsNamedWeather
constexpr int kWindDirections = 10;
constexpr int kWindPowers = 10;
constexpr int kPollutionLevels = 6;
bool IsNamedWeather(int index);

// Weather answers describe Chinese cities, so "today" is the date in China (UTC+8).
constexpr long kChinaUtcOffsetSeconds = 8 * 3600;
struct LocalTime {
  int year, month, day, hour, yday;  // yday 0..365
};
LocalTime ChinaTime(std::time_t utc);

struct WeatherPeriod {
  int year, month, day, hour;
  std::optional<int> tmin, tmax;  // absent values go out as "NULL"
  int wt, wd, wp;
};

struct WeatherNow {
  int wt, tp, wd, wp, ps, hd, vb, kqwr;
};

struct WeatherReport {
  WeatherNow now;
  std::vector<WeatherPeriod> periods;  // day (08:00) and night (20:00) of seven days
};

std::string FormatWeatherAnswer(const std::string& code, const WeatherReport& report);

class WeatherProvider {
 public:
  virtual ~WeatherProvider() = default;
  // The answer body for a city of the list, or nothing when this provider has none.
  virtual std::optional<std::string> Answer(const City& city, std::time_t now) = 0;
};

// Plausible weather made up from the season, the region and the time of day; the same city,
// day and hour always give the same answer.
class GeneratedWeather : public WeatherProvider {
 public:
  explicit GeneratedWeather(const CityList& cities) : cities_(cities) {}
  WeatherReport Report(const City& city, std::time_t now) const;
  std::optional<std::string> Answer(const City& city, std::time_t now) override;

 private:
  const CityList& cities_;
};

// Recorded answers: "<folder>/<code>.js", served byte for byte.
class RecordedWeather : public WeatherProvider {
 public:
  static std::unique_ptr<RecordedWeather> Load(const std::string& folder, std::string* error);
  std::optional<std::string> Answer(const City& city, std::time_t now) override;
  size_t size() const { return answers_.size(); }

 private:
  std::map<std::string, std::string> answers_;
};

}  // namespace vx::svc
