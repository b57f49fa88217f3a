// The toolbar's figures (not a test): the time from starting Tessary.exe to the weather text on
// its toolbar, with the services of services.ini (run it with the stand-in services on
// loopback), and what one repaint of the toolbar costs (compose the strip and present the
// layered band), shown and while sliding.
//   ToolbarBench.exe [starts]   (default 5)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "toolbar/TopToolBar.h"
#include "uilib/VxClock.h"
#include "uilib/VxRaii.h"

namespace {

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void Report(const char* what, std::vector<double> v) {
  if (v.empty()) return;
  std::sort(v.begin(), v.end());
  std::printf("%-44s median %8.2f ms   worst %8.2f ms   (%zu runs)\n", what, v[v.size() / 2], v.back(), v.size());
}

struct Band {
  DWORD pid;
  HWND found;
};
BOOL CALLBACK FindBand(HWND h, LPARAM lp) {
  auto* b = reinterpret_cast<Band*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  RECT r;
  ::GetWindowRect(h, &r);
  if (pid == b->pid && ::IsWindowVisible(h) && r.top == 0 && r.bottom == 28 &&
      r.right - r.left == ::GetSystemMetrics(SM_CXSCREEN)) {
    b->found = h;
    return FALSE;
  }
  return TRUE;
}

// Yellow weather text (0xFEDE00) on the screen where the toolbar draws it.
bool WeatherTextShows() {
  VxWindowDC screen(nullptr);
  for (int y = 8; y < 22; ++y)
    for (int x = 173; x < 240; ++x) {
      const COLORREF c = ::GetPixel(screen.Get(), x, y);
      if (GetRValue(c) > 200 && GetGValue(c) > 170 && GetBValue(c) < 80) return true;
    }
  return false;
}

void StartToWeather(int starts) {
  std::vector<double> toBand, toWeather;
  const std::wstring exe = ExeFolder() + L"\\Tessary.exe";
  for (int i = 0; i < starts; ++i) {
    Process app;
    const double t0 = VxNowMs();
    if (!app.Start(exe)) {
      std::printf("Tessary.exe did not start\n");
      return;
    }
    Band band{app.pi.dwProcessId, nullptr};
    double bandAt = 0, weatherAt = 0;
    while (VxNowMs() - t0 < 30000 && !weatherAt) {
      if (!bandAt) {
        ::EnumWindows(FindBand, reinterpret_cast<LPARAM>(&band));
        if (band.found) bandAt = VxNowMs() - t0;
      } else if (WeatherTextShows()) {
        weatherAt = VxNowMs() - t0;
      }
      ::Sleep(5);
    }
    if (bandAt) toBand.push_back(bandAt);
    if (weatherAt) toWeather.push_back(weatherAt);
    ::TerminateProcess(app.pi.hProcess, 0);
    app.Wait(5000);
    ::Sleep(300);
  }
  Report("start to the toolbar window", toBand);
  Report("start to the weather text on the toolbar", toWeather);
}

struct NoMainWindow : CToolbarOwner {
  HWND MainWindow() const override { return nullptr; }
  bool HasPageHost() const override { return false; }
  void ShowHostPage(int) override {}
};

void RepaintCost() {
  AppGlobals& g = TheApp();
  g.programDir = ExeFolder();
  g.desk.config.deskPageOn = 0;
  NoMainWindow owner;
  // No address: the bench draws the weather it is given and fetches nothing.
  CYRTopToolBar bar(&owner);
  bar.SetWeatherAddress(L"http://127.0.0.1:9");
  if (!bar.Create(nullptr)) return;
  ::ShowWindow(bar.GetSafeHwnd(), SW_SHOWNOACTIVATE);
  g.weather.temperature = 21;
  g.weather.weatherCode = 1;
  Pump();
  std::vector<double> shown, sliding;
  for (int i = 0; i < 200; ++i) {
    const double t = VxNowMs();
    bar.UpdateView();
    shown.push_back(VxNowMs() - t);
    Pump();
  }
  g.autoHide = 1;
  for (int i = 0; i < 100; ++i) {
    const double t = VxNowMs();
    bar.SlideOneStep();  // one step of the slide, and its repaint
    sliding.push_back(VxNowMs() - t);
    if (bar.VisibleHeight() == 2) ::SendMessageW(bar.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(600, 1));
    Pump();
  }
  RECT r;
  ::GetWindowRect(bar.GetSafeHwnd(), &r);
  char what[96];
  std::snprintf(what, sizeof(what), "toolbar repaint, %ld x %ld band", r.right - r.left, r.bottom - r.top);
  Report(what, shown);
  Report("toolbar slide step with its repaint", sliding);
  bar.DestroyWindow();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::OleInitialize(nullptr);
  {
    VxGdiplusSession gdiplus;
    RepaintCost();
    StartToWeather(argc > 1 ? _wtoi(argv[1]) : 5);
  }
  ::OleUninitialize();
  return 0;
}
