// The toolbar's arithmetic and the weather panel's words.
#include <gtest/gtest.h>

#include "toolbar/core/toolbar_rules.h"

using namespace toolbar;

TEST(ToolbarRules, PageSlotsAreCentredIn86PixelSlots) {
  EXPECT_EQ(PageSlotLeft(1920, 0), 831);
  EXPECT_EQ(PageSlotLeft(1920, 1), 917);
  EXPECT_EQ(PageSlotLeft(1920, 2), 1003);
  EXPECT_EQ(PageButtonLeft(1920, 1, 80), 920);
  EXPECT_EQ(PageButtonLeft(1280, 0, 86), 511);
}

TEST(ToolbarRules, HidingTakes13StepsAndShowingComesBack) {
  int rows = kStripHeight, steps = 0;
  bool done = false;
  while (!done) rows = SlideStep(rows, false, &done), ++steps;
  EXPECT_EQ(steps, 13);
  EXPECT_EQ(rows, kHiddenHeight);
  steps = 0;
  done = false;
  while (!done) rows = SlideStep(rows, true, &done), ++steps;
  EXPECT_EQ(steps, 13);
  EXPECT_EQ(rows, kStripHeight);
  EXPECT_FALSE(StripWantsOut(false, false, false, 0));
  EXPECT_TRUE(StripWantsOut(false, true, false, 0));
  EXPECT_TRUE(StripWantsOut(false, false, false, 2));
}

TEST(ToolbarRules, DateAndToolbarWeather) {
  EXPECT_EQ(DateText(12, 9, L"星期三"), L"12月9日 星期三");
  EXPECT_TRUE(InWeatherArea(135) && InWeatherArea(240));
  EXPECT_FALSE(InWeatherArea(134) || InWeatherArea(241));
  EXPECT_EQ(WeatherIconFile(0, false), L"晴.png");
  EXPECT_EQ(WeatherIconFile(0, true), L"n\\晴.png");
  EXPECT_EQ(WeatherIconFile(7, true), L"小雨.png");  // no night picture for rain
  EXPECT_EQ(WeatherIconFile(40, false), L"");       // a name-less index
  EXPECT_EQ(WeatherIconFile(54, false), L"");
  EXPECT_TRUE(IsNightPeriod(20));
  EXPECT_FALSE(IsNightPeriod(19));
  EXPECT_EQ(ToolbarWeatherText(1, -3), L"多云 -3℃");
  EXPECT_EQ(ToolbarWeatherText(60, 5), L" 5℃");
}

TEST(WeatherPanelRules, TodayLines) {
  EXPECT_EQ(CityLine(L"宁波", L"宁波"), L"宁波");
  EXPECT_EQ(CityLine(L"北京市", L"昌平"), L"北京市 昌平");
  EXPECT_EQ(WeatherWindLine(0, 0, 0), L"晴 微风");
  EXPECT_EQ(WeatherWindLine(3, 1, 1), L"阵雨 东北风3-4级");
  EXPECT_EQ(WeatherWindLine(3, 10, 1), L"");
  EXPECT_EQ(WeatherWindLine(54, 1, 1), L"");
  EXPECT_EQ(HumidityText(65), L"相对湿度：65%");
  EXPECT_EQ(PollutionText(2), L"良");
  EXPECT_EQ(PollutionText(6), L"");
  EXPECT_EQ(DayTitle(1, L"星期四"), L"明天(星期四)");
  EXPECT_EQ(MonthDayText(1, 31), L"1月31日");
}

TEST(WeatherPanelRules, DayFallsBackToTheNightPeriod) {
  WeatherDay d;
  d.lowTemp = 3;
  d.highTemp = 11;
  d.dayWeather = 1;
  d.dayWindPower = 1;
  d.dayWindDirection = 2;
  DayShown s = ShownDay(d);
  EXPECT_TRUE(s.hasWeather);
  EXPECT_EQ(s.weather, 1);
  EXPECT_EQ(s.temperatures, L"3℃~11℃");
  EXPECT_EQ(s.wind, L"3-4级东风");
  d.highTemp = -9999;  // tonight only: the day is over
  d.nightWeather = 7;
  d.nightWindDirection = 0;
  s = ShownDay(d);
  EXPECT_EQ(s.weather, 7);
  EXPECT_EQ(s.temperatures, L"3℃");
  EXPECT_EQ(s.wind, L"微风");
  d.nightWeather = 10000;
  EXPECT_FALSE(ShownDay(d).hasWeather);
}

TEST(WeatherPanelRules, HoverCells) {
  EXPECT_EQ(PanelCellAt(1, 170, 43), 0);
  EXPECT_EQ(PanelCellAt(1, 268, 100), 1);
  EXPECT_EQ(PanelCellAt(1, 463, 208), 2);
  EXPECT_EQ(PanelCellAt(1, 464, 100), -1);
  EXPECT_EQ(PanelCellAt(2, 2, 60), 0);
  EXPECT_EQ(PanelCellAt(2, 100, 91), -1);  // the gap between rows
  EXPECT_EQ(PanelCellAt(2, 100, 93 + 6 * 33 - 33), 6);
  EXPECT_EQ(PanelCellAt(3, 100, 100), -1);
}
