#pragma once
// The weather worker: finds the user's city (IP location when none is configured), fetches
// its weather and writes the weather fields of TheApp(). Owned by the toolbar; one update per
// start, on a thread of its own, one update at a time.
#include <windows.h>

#include <memory>
#include <string>

#include "toolbar/core/city_list.h"
#include "uilib/VxServices.h"

// Posted to the toolbar window when an update changed the current weather; the toolbar
// redraws itself and the weather panel.
constexpr UINT kWeatherChangedMsg = WM_APP + 0x21;
// Posted to the toolbar window when an update found the user's place (IP location or the
// defaults) or fetched for another city; the toolbar calls ApplyFoundPlace on its own thread.
constexpr UINT kWeatherPlaceMsg = WM_APP + 0x22;

class CWeatherService {
 public:
  // weatherBase: the weather data service's address (services.ini key "weather").
  explicit CWeatherService(std::wstring weatherBase = VxServiceBase(L"weather"));
  ~CWeatherService();  // calls Shutdown
  CWeatherService(const CWeatherService&) = delete;
  CWeatherService& operator=(const CWeatherService&) = delete;

  // Starts one update on a worker thread. Call on the thread that owns TheApp()'s place
  // (the UI thread): the place is read here. Updates run one after another; while one waits
  // for its turn, a further start only hands it the newest place.
  void StartUpdate(HWND toolbar);

  // On the UI thread, after kWeatherPlaceMsg: writes what the worker found into TheApp()
  // (province, city, city2, weatherCity) and saves config.ini when the place changed. A
  // place the user changed meanwhile is kept. True when anything was written.
  bool ApplyFoundPlace();

  // Ends the workers: a retry loop stops at once; waits at most about half a second for
  // threads still inside a network call, which then touch no state of this object.
  void Shutdown();

  // The city list (loaded from the resource on first use, once per process) for the city
  // chooser. Never waits on the weather lock.
  CParseJson& Cities();

  // One full update on the calling thread (the worker's body); exposed for tests. Reads the
  // place from TheApp() first, as StartUpdate does.
  void WeatherThreadProc(HWND toolbar);

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

// The city list's GBK bytes (resource "CITY" 137, language 2052) as wide text.
std::wstring GbkToWide(const char* bytes, size_t size);
