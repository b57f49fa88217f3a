#pragma once
// The organizer's process-wide state: product name, program folder, settings, the desk's
// view record and box table, weather fields, navigation items and page types. Windows of
// the program read and write it from the user-interface thread; the weather worker is the
// one other writer (its own fields, serialised by the toolbar's weather lock).
#include <string>
#include <vector>

#include "desk/core/desk_records.h"
#include "toolbar/core/weather_day.h"

// A navigation site as the pages exchange it.
struct DaohaoNor {
  std::wstring name;
  std::wstring url;
};

// What the desk menu remembers about where it was opened.
struct DeskInteraction {
  int x = 0, y = 0;  // point where the desk menu was opened
  int box = -1;      // index of the box under the menu, -1 for the desk list
  int flags = 0;
};

// The desk's part: its view record and box table (deskconf.dat, gezhiconf.dat), where its
// menu was last opened, and the organize settings of config.ini.
struct DeskGlobals {
  DeskConfig config;
  DeskInteraction interaction;
  std::vector<GeziSaveData> boxRecords;
  int autoOrganize = 1;
  std::wstring shortcutTarget, folderTarget, fileTarget;
};

// The weather's part: the user's place (config.ini) and the latest answer, written by the
// weather worker under the toolbar's weather lock.
struct WeatherGlobals {
  std::wstring ipQueryUrl;
  std::wstring province, city, city2;
  int temperature = -9999;
  int weatherCode = -9999;
  int windDirection = 0;
  int windPower = 0;
  int pressureValue = 0;
  int humidity = 0;
  int pollutionIndex = 0;
  std::wstring weatherCity;  // city2 when the weather held was fetched
  WeatherDay days[7];
};

// The navigation pages' part: the user's sites and the server they come from.
struct NavigationGlobals {
  std::vector<DaohaoNor> items;
  std::wstring homeUrl;
};

struct AppGlobals {
  std::wstring appName = L"Vexlo桌面";
  std::wstring programDir;
  int hasYaHei = 0;
  int autoHide = 0;
  int autoStart = 0;
  int closePrompt = 1;
  int currentView = 0, previousView = 0;  // host page types

  DeskGlobals desk;
  WeatherGlobals weather;
  NavigationGlobals nav;
};

AppGlobals& TheApp();

namespace Gdiplus {
class Font;
}
// The icon-title font every drawn window labels items with; null when it could not be made
// (and in tests that do not make it).
Gdiplus::Font* IconFont();
void SetIconFont(Gdiplus::Font* font);
