#pragma once
// The weather city list (resource CITY, GBK JSON) and the weather answer reader. No Windows
// header: the conversion of the list's GBK bytes is handed in, so the reader builds and is
// fuzzed natively as well.
#include <cstddef>
#include <functional>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "toolbar/core/weather_day.h"

// One city or district of the list; each text holds at most 63 characters (longer ones are cut).
struct CityInfo {
  wchar_t title[64];
  wchar_t code[64];
  wchar_t spell[64];
  wchar_t province[64];
};

// Bytes of the city list's code page (GBK) to wide text. Invalid bytes may turn into U+FFFD
// or be dropped; never throws.
using AnsiToWideFn = std::function<std::wstring(const char* bytes, size_t size)>;

class CParseJson {
 public:
  explicit CParseJson(AnsiToWideFn ansiToWide);
  ~CParseJson();
  CParseJson(const CParseJson&) = delete;
  CParseJson& operator=(const CParseJson&) = delete;

  // The list's bytes as the resource holds them. On a parse error returns false and keeps no
  // records.
  bool LoadCityList(const char* bytes, size_t size);
  // The first record whose province and title, each without a final "省" or "市", both occur
  // in the IP-location answer; gives the record's full province and title.
  bool MatchLocation(const std::wstring& text, std::wstring& province, std::wstring& city) const;
  // Code of the first record titled exactly `name`; empty when there is none.
  std::wstring FindCityCode(const std::wstring& name) const;

  // Reads a weather answer ("anything=<JSON object>;"), replacing the previous one. False
  // when the object does not parse; every value then reads as absent.
  bool ParseWeather(const std::wstring& text);
  // The text of the answer's member `key`; empty when there is no answer or no such member.
  std::wstring GetValue(const std::string& key) const;
  // Fills one day (0 today .. 6) from the answer's forecast periods; leaves what no period
  // sets as it was.
  void GetDayForecast(int dayIndex, WeatherDay& record) const;

  const std::vector<CityInfo>& Cities() const { return cities_; }

 private:
  AnsiToWideFn ansiToWide_;
  std::vector<CityInfo> cities_;
  // Province and title of each record without a final "省"/"市", made once at load.
  std::vector<std::wstring> shortProvinces_, shortTitles_;
  std::unique_ptr<nlohmann::json> root_;
};

// Base-10 integer with optional sign and leading blanks, stopping at the first non-digit;
// no digits gives 0, values past the int range are clamped.
int ParseDecimal(const std::wstring& text);

// The chooser's lists, as indexes into the city list.
// Cities (codes shorter than 10 characters) of a province, matched exactly, in list order.
std::vector<size_t> CitiesOfProvince(const std::vector<CityInfo>& cities, const std::wstring& province);
// The city itself first, then every record whose code is longer than 8 characters and
// begins with the city's code.
std::vector<size_t> DistrictsOfCity(const std::vector<CityInfo>& cities, size_t city);
// Index of the first item beginning with `prefix`; 0 when none does (the chooser then selects
// the first item).
size_t FirstStartingWith(const std::vector<std::wstring>& items, const std::wstring& prefix);
