#include "toolbar/core/weather_tables.h"

#include <cwchar>
#include <iterator>

namespace {

const wchar_t* const kWeatherNames[54] = {
    L"晴", L"多云", L"阴", L"阵雨", L"雷阵雨", L"雷阵雨并伴有冰雹", L"雨夹雪", L"小雨", L"中雨",
    L"大雨", L"暴雨", L"大暴雨", L"特大暴雨", L"阵雪", L"小雪", L"中雪", L"大雪", L"暴雪", L"雾",
    L"冻雨", L"沙尘暴", L"小雨-中雨", L"中雨-大雨", L"大雨-暴雨", L"暴雨-大暴雨",
    L"大暴雨-特大暴雨", L"小雪-中雪", L"中雪-大雪", L"大雪-暴雪", L"浮尘", L"扬沙", L"强沙尘暴",
    L"飑", L"龙卷风", L"弱高吹雪", L"轻雾",
    L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"",  // 36..52
    L"霾"};

const wchar_t* const kWindDirections[10] = {L"无持续风向", L"东北风", L"东风", L"东南风", L"南风",
                                            L"西南风", L"西风", L"西北风", L"北风", L"旋转不定"};

const wchar_t* const kWindPowers[10] = {L"微风", L"3-4级", L"4-5级", L"5-6级", L"6-7级",
                                        L"7-8级", L"8-9级", L"9-10级", L"10-11级", L"11-12级"};

const wchar_t* const kPollution[6] = {L"", L"优", L"良", L"中", L"较差", L"差"};

// "少云" has no weather index; it stays because the night icon set carries it.
const wchar_t* const kNightIconWeathers[] = {L"多云", L"浮尘", L"晴", L"少云", L"阵雨"};

template <size_t N>
const wchar_t* Lookup(const wchar_t* const (&table)[N], int idx) {
  if (idx < 0 || static_cast<size_t>(idx) >= N) return nullptr;
  return table[idx];
}

}  // namespace

const wchar_t* WeatherName(int idx) { return Lookup(kWeatherNames, idx); }
const wchar_t* WindDirectionName(int idx) { return Lookup(kWindDirections, idx); }
const wchar_t* WindPowerName(int idx) { return Lookup(kWindPowers, idx); }
const wchar_t* PollutionName(int idx) { return Lookup(kPollution, idx); }

bool IsNightIconWeather(const wchar_t* name) {
  if (!name) return false;
  for (const wchar_t* night : kNightIconWeathers)
    if (std::wcscmp(name, night) == 0) return true;
  return false;
}

bool IsNightIconWeather(const std::wstring& name) { return IsNightIconWeather(name.c_str()); }

const std::vector<std::wstring>& ChooserProvinces() {
  static const std::vector<std::wstring> provinces = {
      L"北京市", L"上海市", L"天津市", L"重庆市", L"吉林省", L"黑龙江省", L"辽宁省",
      L"内蒙古自治区", L"新疆维吾尔自治区", L"宁夏回族自治区", L"青海省", L"甘肃省", L"陕西省",
      L"西藏自治区", L"四川省", L"贵州省", L"云南省", L"山西省", L"河北省", L"山东省", L"河南省",
      L"安徽省", L"江苏省", L"湖北省", L"湖南省", L"江西省", L"浙江省", L"福建省", L"台湾省",
      L"广西省", L"广东省", L"海南省", L"香港特别行政区", L"澳门"};
  return provinces;
}
