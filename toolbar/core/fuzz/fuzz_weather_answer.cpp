// Any weather answer: the reader never throws or reads outside its input, an answer that does
// not parse reads as no data, and day records only take values from the answer's periods.
#include <cstring>

#include "desk/core/fuzz/fuzz_check.h"
#include "toolbar/core/city_list.h"

namespace {

bool Same(const WeatherDay& a, const WeatherDay& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  // Bytes as they are (text the client converted) or, with a leading 0xFF, as 16-bit units, so
  // lone surrogates and characters outside code page 936 arrive too.
  std::wstring text;
  if (size > 0 && data[0] == 0xFF) {
    for (size_t i = 1; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  } else {
    for (size_t i = 0; i < size; ++i) text += static_cast<wchar_t>(data[i]);
  }
  static CParseJson reader(nullptr);
  const bool parsed = reader.ParseWeather(text);
  for (const char* key : {"sk_wt", "sk_tp", "sk_ps", "sk_hd", "zs_kqwr", "wk", ""}) {
    const std::wstring value = reader.GetValue(key);
    if (!parsed) FUZZ_CHECK(value.empty());
    (void)ParseDecimal(value);
  }
  for (int d : {0, 1, 6, 7, -1, 2147483647, -2147483647 - 1}) {
    const WeatherDay before;
    WeatherDay day = before;
    reader.GetDayForecast(d, day);
    if (!parsed) FUZZ_CHECK(Same(day, before));
    FUZZ_CHECK(day.firstHour >= 0 && day.firstHour <= 23);
    FUZZ_CHECK(day.month >= 0 && day.month <= 12 && day.day >= 0 && day.day <= 31);
    FUZZ_CHECK(day.weekday >= 0 && day.weekday <= 7);
  }
  return 0;
}
