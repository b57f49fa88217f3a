#pragma once
// The toolbar's and the weather panel's numbers and texts without any Windows header: where
// the page buttons sit, how the strip slides, the date, and which words the panel shows for a
// day. The drawing code only places what these return.
#include <string>

#include "toolbar/core/weather_day.h"

namespace toolbar {

constexpr int kStripHeight = 27;   // rows of the strip when shown
constexpr int kHiddenHeight = 2;   // rows left showing while hidden
constexpr int kWindowHeight = 28;  // the window: the strip and one transparent row
constexpr int kSlideStep = 2;      // rows per slide tick
constexpr int kPageSlotWidth = 86;
constexpr int kPageSlots = 3;
constexpr int kWeatherAreaLeft = 135;
constexpr int kWeatherAreaRight = 240;

// Left edge of page slot 0..2: the three 86-pixel slots together are centred.
int PageSlotLeft(int width, int slot);
// Left edge of a page button of `imageWidth` centred in its slot.
int PageButtonLeft(int width, int slot, int imageWidth);

// One slide tick from `visible` rows; `done` tells that the strip reached its end.
int SlideStep(int visible, bool grow, bool* done);
// Whether the strip stays out: the mouse asks for it, the weather panel is open, the desk
// view is on or a page other than the plain desktop shows.
bool StripWantsOut(bool showRequest, bool panelOpen, bool viewOn, int currentView);

bool InWeatherArea(int x);

// "%d月%d日 %s" with the weekday's name.
std::wstring DateText(int month, int day, const std::wstring& weekdayName);

// The toolbar's weather: the icon's file name below rs\weather (empty: no icon) and the text
// "name temperature℃". `night` picks the night picture where one is drawn.
std::wstring WeatherIconFile(int weatherCode, bool night);
bool IsNightPeriod(int firstHour);
std::wstring ToolbarWeatherText(int weatherCode, int temperature);

// ---- the weather panel ----
std::wstring CityLine(const std::wstring& city, const std::wstring& city2);
// "weather direction+power" (no direction for index 0); empty when an index is out of its
// table or the weather has no name.
std::wstring WeatherWindLine(int weatherCode, int windDirection, int windPower);
std::wstring HumidityText(int humidity);
// The diffusion word of a pollution index; empty when the line is not drawn.
std::wstring PollutionText(int pollutionIndex);
// "今天(星期三)" and the like for columns 0..2.
std::wstring DayTitle(int column, const std::wstring& weekdayName);
std::wstring MonthDayText(int month, int day);

// What a day column or row shows: the day period when it has a high and a weather, else the
// night period when it has a low and a weather.
struct DayShown {
  bool hasWeather = false;
  int weather = 0;
  std::wstring temperatures;  // "low℃~high℃", one of them alone, or empty
  std::wstring wind;          // power then direction (direction only for 1..9)
};
DayShown ShownDay(const WeatherDay& day);
bool IsWeatherIndex(int index);

// Hover cells of a panel view: 0..2 in view 1 (columns), 0..6 in view 2 (rows); -1 outside.
int PanelCellAt(int view, int x, int y);
struct CellRect {
  int left, top, right, bottom;
};
CellRect PanelCell(int view, int cell);
int PanelCellCount(int view);

}  // namespace toolbar
