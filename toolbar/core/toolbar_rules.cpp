#include "toolbar/core/toolbar_rules.h"

#include "toolbar/core/weather_tables.h"

namespace toolbar {
namespace {

constexpr int kNoTemp = -9999;
constexpr int kLastWeather = 53;

std::wstring Text(const wchar_t* s) { return s ? std::wstring(s) : std::wstring(); }
std::wstring Degrees(int t) { return std::to_wstring(t) + L"℃"; }

// View 1: three day columns; view 2: seven rows.
constexpr int kColumnLeft = 170, kColumnWidth = 98, kColumnTop = 43, kColumnBottom = 209;
constexpr int kRowLeft = 2, kRowRight = 478, kRowTop = 60, kRowPitch = 33, kRowHeight = 31;

}  // namespace

int PageSlotLeft(int width, int slot) {
  return (width - kPageSlotWidth * kPageSlots) / 2 + slot * kPageSlotWidth;
}

int PageButtonLeft(int width, int slot, int imageWidth) {
  return PageSlotLeft(width, slot) + (kPageSlotWidth - imageWidth) / 2;
}

int SlideStep(int visible, bool grow, bool* done) {
  int next = grow ? visible + kSlideStep : visible - kSlideStep;
  *done = false;
  if (grow && next >= kStripHeight) {
    next = kStripHeight;
    *done = true;
  } else if (!grow && next <= kHiddenHeight) {
    next = kHiddenHeight;
    *done = true;
  }
  return next;
}

bool StripWantsOut(bool showRequest, bool panelOpen, bool viewOn, int currentView) {
  return showRequest || panelOpen || viewOn || currentView != 0;
}

bool InWeatherArea(int x) { return x >= kWeatherAreaLeft && x <= kWeatherAreaRight; }

std::wstring DateText(int month, int day, const std::wstring& weekdayName) {
  return std::to_wstring(month) + L"月" + std::to_wstring(day) + L"日 " + weekdayName;
}

bool IsWeatherIndex(int index) { return index >= 0 && index <= kLastWeather; }

bool IsNightPeriod(int firstHour) { return firstHour > 19; }

std::wstring WeatherIconFile(int weatherCode, bool night) {
  const std::wstring name = IsWeatherIndex(weatherCode) ? Text(WeatherName(weatherCode)) : L"";
  if (name.empty()) return L"";
  return (night && IsNightIconWeather(name) ? L"n\\" : L"") + name + L".png";
}

std::wstring ToolbarWeatherText(int weatherCode, int temperature) {
  const std::wstring name = IsWeatherIndex(weatherCode) ? Text(WeatherName(weatherCode)) : L"";
  return name + L" " + Degrees(temperature);
}

std::wstring CityLine(const std::wstring& city, const std::wstring& city2) {
  return city2.empty() || city == city2 ? city : city + L" " + city2;
}

std::wstring WeatherWindLine(int weatherCode, int windDirection, int windPower) {
  if (!IsWeatherIndex(weatherCode) || windDirection < 0 || windDirection >= 10 || windPower < 0 ||
      windPower >= 10)
    return L"";
  const std::wstring name = Text(WeatherName(weatherCode));
  if (name.empty()) return L"";
  const std::wstring direction = windDirection == 0 ? L"" : Text(WindDirectionName(windDirection));
  return name + L" " + direction + Text(WindPowerName(windPower));
}

std::wstring HumidityText(int humidity) { return L"相对湿度：" + std::to_wstring(humidity) + L"%"; }

std::wstring PollutionText(int pollutionIndex) {
  if (pollutionIndex < 0 || pollutionIndex >= 6) return L"";
  return Text(PollutionName(pollutionIndex));
}

std::wstring DayTitle(int column, const std::wstring& weekdayName) {
  static const wchar_t* const kDays[] = {L"今天", L"明天", L"后天"};
  if (column < 0 || column > 2) return L"";
  return std::wstring(kDays[column]) + L"(" + weekdayName + L")";
}

std::wstring MonthDayText(int month, int day) {
  return std::to_wstring(month) + L"月" + std::to_wstring(day) + L"日";
}

DayShown ShownDay(const WeatherDay& d) {
  DayShown s;
  int direction = 0, power = -1;
  if (d.highTemp != kNoTemp && IsWeatherIndex(d.dayWeather)) {
    s.hasWeather = true;
    s.weather = d.dayWeather;
    direction = d.dayWindDirection;
    power = d.dayWindPower;
  } else if (d.lowTemp != kNoTemp && IsWeatherIndex(d.nightWeather)) {
    s.hasWeather = true;
    s.weather = d.nightWeather;
    direction = d.nightWindDirection;
    power = d.nightWindPower;
  }
  if (d.lowTemp != kNoTemp && d.highTemp != kNoTemp)
    s.temperatures = Degrees(d.lowTemp) + L"~" + Degrees(d.highTemp);
  else if (d.highTemp != kNoTemp)
    s.temperatures = Degrees(d.highTemp);
  else if (d.lowTemp != kNoTemp)
    s.temperatures = Degrees(d.lowTemp);
  if (s.hasWeather && power >= 0 && power < 10) {
    s.wind = Text(WindPowerName(power));
    if (direction >= 1 && direction <= 9) s.wind += Text(WindDirectionName(direction));
  }
  return s;
}

int PanelCellCount(int view) { return view == 1 ? 3 : view == 2 ? 7 : 0; }

CellRect PanelCell(int view, int cell) {
  if (view == 1)
    return {kColumnLeft + cell * kColumnWidth, kColumnTop, kColumnLeft + (cell + 1) * kColumnWidth,
            kColumnBottom};
  const int top = kRowTop + cell * kRowPitch;
  return {kRowLeft, top, kRowRight, top + kRowHeight};
}

int PanelCellAt(int view, int x, int y) {
  for (int i = 0; i < PanelCellCount(view); ++i) {
    const CellRect r = PanelCell(view, i);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return i;
  }
  return -1;
}

}  // namespace toolbar
