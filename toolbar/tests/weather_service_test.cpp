// The weather worker end to end against the stand-in services (vx_services fixture): IP
// location, the saved city, the weather read into TheApp() and the toolbar's change message.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "toolbar/HttpWeather.h"
#include "toolbar/WeatherService.h"
#include "uilib/VxServices.h"

namespace {

std::wstring Base(const wchar_t* key) {
  wchar_t path[MAX_PATH];
  std::wstring p(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  return VxServiceBaseFrom(p.substr(0, p.find_last_of(L'\\')) + L"\\..\\svc-test\\services.ini", key);
}

// Stands in for the toolbar: a message-only window whose queue the test reads.
class ToolbarStandIn {
 public:
  ToolbarStandIn() : hwnd_(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~ToolbarStandIn() { ::DestroyWindow(hwnd_); }
  HWND Get() const { return hwnd_; }
  int TakeChangeMessages() { return Take(kWeatherChangedMsg); }
  int TakePlaceMessages() { return Take(kWeatherPlaceMsg); }

 private:
  int Take(UINT message) {
    int n = 0;
    MSG msg;
    while (::PeekMessageW(&msg, hwnd_, message, message, PM_REMOVE)) ++n;
    return n;
  }

 private:
  HWND hwnd_;
};

std::wstring SavedCity() {
  wchar_t text[64] = {};
  ::GetPrivateProfileStringW(L"SYS", L"city", L"", text, 64, (DataFolderPath() + L"config.ini").c_str());
  return text;
}

}  // namespace

TEST(WeatherService, FindsTheCityByLocationAndReadsItsWeather) {
  ASSERT_TRUE(EnsureDataFolder());
  ::DeleteFileW((DataFolderPath() + L"config.ini").c_str());
  WeatherGlobals& w = TheApp().weather;
  w = WeatherGlobals();
  w.ipQueryUrl = Base(L"ipquery") + L"/ipquery";
  ToolbarStandIn toolbar;
  ASSERT_TRUE(toolbar.Get());
  CWeatherService service(Base(L"weather"));

  service.WeatherThreadProc(toolbar.Get());
  // The worker leaves the place to the toolbar's thread, which stores and saves it.
  EXPECT_TRUE(w.city.empty());
  EXPECT_EQ(SavedCity(), L"");
  EXPECT_EQ(toolbar.TakePlaceMessages(), 1);
  EXPECT_TRUE(service.ApplyFoundPlace());
  EXPECT_EQ(w.province, L"浙江省");
  EXPECT_EQ(w.city, L"宁波");
  EXPECT_EQ(w.city2, L"宁波");
  EXPECT_EQ(SavedCity(), L"宁波");
  EXPECT_EQ(w.weatherCity, L"宁波");
  // What the services answer for 宁波 right now, read the same way.
  CHttpWeather http;
  CParseJson direct(GbkToWide);
  ASSERT_TRUE(direct.ParseWeather(http.HttpGet(Base(L"weather") + L"/city/10330200.js?ref=qqchannel")));
  EXPECT_EQ(w.temperature, ParseDecimal(direct.GetValue("sk_tp")));
  EXPECT_EQ(w.weatherCode, ParseDecimal(direct.GetValue("sk_wt")));
  EXPECT_NE(w.days[6].day, 0);
  EXPECT_EQ(toolbar.TakeChangeMessages(), 1);

  // The same answer again changes nothing on show.
  service.WeatherThreadProc(toolbar.Get());
  EXPECT_EQ(toolbar.TakeChangeMessages(), 0);
  EXPECT_EQ(toolbar.TakePlaceMessages(), 0);

  // A city the user chose while the worker looked up the place is kept.
  w.province.clear();
  service.WeatherThreadProc(toolbar.Get());
  w.province = L"北京市";
  w.city = w.city2 = L"昌平";
  EXPECT_EQ(toolbar.TakePlaceMessages(), 1);
  service.ApplyFoundPlace();
  EXPECT_EQ(w.city2, L"昌平");
  // The chooser's list comes from the program's resource, without the weather lock.
  EXPECT_FALSE(CitiesOfProvince(service.Cities().Cities(), L"海南省").empty());
}

TEST(WeatherService, ShutsDownWithinASecondWhileRetryingOffline) {
  WeatherGlobals& w = TheApp().weather;
  w = WeatherGlobals();
  w.province = L"北京市";
  w.city = L"北京市";
  w.city2 = L"昌平";
  ToolbarStandIn toolbar;
  auto service = std::make_unique<CWeatherService>(L"http://127.0.0.1:1");  // nothing listens
  service->StartUpdate(toolbar.Get());
  service->StartUpdate(toolbar.Get());
  ::Sleep(1500);  // into the retry loop
  EXPECT_EQ(toolbar.TakePlaceMessages(), 1);
  service->ApplyFoundPlace();
  EXPECT_EQ(w.weatherCity, L"昌平");
  const DWORD start = ::GetTickCount();
  service.reset();
  EXPECT_LT(::GetTickCount() - start, 1000u);
  EXPECT_EQ(w.temperature, -9999);
  EXPECT_EQ(toolbar.TakeChangeMessages(), 0);
}
