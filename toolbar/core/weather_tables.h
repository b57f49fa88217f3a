#pragma once
// The weather service's index tables, turned into the words and icon names the toolbar and
// the weather panel draw, and the province list of the city chooser.
#include <cstddef>
#include <string>
#include <vector>

// nullptr when the index lies outside the table. Weather indexes 36..52 exist with an empty
// name; 54 and above have none.
const wchar_t* WeatherName(int idx);
const wchar_t* WindDirectionName(int idx);
const wchar_t* WindPowerName(int idx);
const wchar_t* PollutionName(int idx);

constexpr int kNoTemperature = -9999;  // temperature before any answer was read
constexpr int kNoWeather = 10000;      // a forecast half-day without weather

// Whether the toolbar shows the night icon (rs\weather\n\) for this weather name once
// today's first forecast period begins after 19:00.
bool IsNightIconWeather(const wchar_t* name);
bool IsNightIconWeather(const std::wstring& name);

// The city chooser's provinces in its order; 海南省 sits where the city list has it (after
// 广东省), so that its cities can be chosen at all.
const std::vector<std::wstring>& ChooserProvinces();
