// The top toolbar and its weather panel as real windows on the test screen, driven by real
// mouse input, with the weather fetched from the stand-in services on loopback. Each state is
// saved as a PNG under <build>/screenshots.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "toolbar/TopToolBar.h"
#include "toolbar/WeatherService.h"
#include "toolbar/core/toolbar_rules.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"

namespace {

// A toolbar without the program's main window: the page switches are only counted.
struct NoMainWindow : CToolbarOwner {
  HWND MainWindow() const override { return nullptr; }
  bool HasPageHost() const override { return false; }
  void ShowHostPage(int) override {}
};

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// Pumps until `done` holds or `ms` passed; returns whether it holds.
bool PumpUntil(const std::function<bool()>& done, int ms) {
  const DWORD end = ::GetTickCount() + ms;
  while (!done()) {
    if (static_cast<int>(end - ::GetTickCount()) <= 0) return false;
    Pump();
    ::Sleep(5);
  }
  return true;
}
void PumpFor(int ms) { PumpUntil([] { return false; }, ms); }

void MoveMouse(int x, int y) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((x * 65536LL + cx - 1) / cx);
  in.mi.dy = static_cast<LONG>((y * 65536LL + cy - 1) / cy);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof(in));
  PumpFor(30);
}

void Click(HWND hwnd, const VxButton& button) {
  CRect r;
  button.GetButtonRect(r);
  POINT pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::ClientToScreen(hwnd, &pt);
  MoveMouse(pt.x, pt.y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
  PumpFor(150);
}

std::unique_ptr<Gdiplus::Bitmap> Capture(const RECT& rc, const std::wstring& name) {
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  VxBitmap bmp(::CreateCompatibleBitmap(screen.Get(), w, h));
  {
    VxSelectObject keep(mem.Get(), bmp.Get());
    ::BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), rc.left, rc.top, SRCCOPY | CAPTUREBLT);
  }
  std::unique_ptr<Gdiplus::Bitmap> from(Gdiplus::Bitmap::FromHBITMAP(bmp.Get(), nullptr));
  auto out = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
  Gdiplus::Graphics(out.get()).DrawImage(from.get(), 0, 0, w, h);
  const std::wstring bin = ExeFolder();
  const std::wstring dir = bin.substr(0, bin.find_last_of(L'\\')) + L"\\screenshots";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  VxSaveImagePng(out.get(), (dir + L"\\" + name).c_str());
  return out;
}

// Pixels of a span whose colour is (nearly) the given one.
int PixelsLike(Gdiplus::Bitmap& bmp, RECT span, BYTE r, BYTE g, BYTE b) {
  int n = 0;
  for (int y = span.top; y < span.bottom; ++y)
    for (int x = span.left; x < span.right; ++x) {
      Gdiplus::Color c;
      bmp.GetPixel(x, y, &c);
      if (abs(c.GetR() - r) < 40 && abs(c.GetG() - g) < 40 && abs(c.GetB() - b) < 40) ++n;
    }
  return n;
}

RECT WindowRect(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

class ToolbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppGlobals& g = TheApp();
    g.programDir = ExeFolder();
    g.autoHide = 0;
    g.weather = WeatherGlobals();
    g.weather.province = L"浙江省";
    g.weather.city = g.weather.city2 = L"宁波";
    MoveMouse(600, 400);
    bar = std::make_unique<CYRTopToolBar>(&owner);
    ASSERT_TRUE(bar->Create(nullptr));
    ::ShowWindow(bar->GetSafeHwnd(), SW_SHOWNOACTIVATE);
    PumpFor(100);
  }
  void TearDown() override {
    if (bar->GetSafeHwnd()) bar->DestroyWindow();
    bar.reset();
    PumpFor(50);
  }

  NoMainWindow owner;
  std::unique_ptr<CYRTopToolBar> bar;
};

}  // namespace

TEST_F(ToolbarTest, DateAutoHideAndHoverOpenThePanel) {
  HWND hwnd = bar->GetSafeHwnd();
  const RECT wr = WindowRect(hwnd);
  RECT work;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(wr.right - wr.left, work.right - work.left);
  EXPECT_EQ(wr.bottom - wr.top, toolbar::kWindowHeight) << "a band, never the full screen";

  SYSTEMTIME now;
  ::GetLocalTime(&now);
  EXPECT_EQ(bar->DateText(), toolbar::DateText(now.wMonth, now.wDay, WeekdayName(now.wDayOfWeek + 1)));
  auto shot = Capture(wr, L"toolbar-date.png");
  EXPECT_GT(PixelsLike(*shot, {20, 8, 110, 22}, 255, 255, 255), 40) << "date text";
  EXPECT_GT(PixelsLike(*shot, {135, 8, 240, 22}, 255, 255, 255), 40) << "努力读取天气中...";

  // Auto-hide on with the mouse away: the strip slides up to 2 rows.
  ::SendMessageW(hwnd, WM_COMMAND, 32775, 0);
  EXPECT_EQ(TheApp().autoHide, 1);
  ASSERT_TRUE(PumpUntil([&] { return bar->VisibleHeight() == toolbar::kHiddenHeight; }, 3000));
  shot = Capture(wr, L"toolbar-hidden.png");
  EXPECT_LT(PixelsLike(*shot, {20, 8, 110, 22}, 255, 255, 255), 5) << "the date slid away";
  // Onto the 2-row strip: it comes back, and leaves again when the mouse does.
  MoveMouse(600, 0);
  MoveMouse(601, 1);
  ASSERT_TRUE(PumpUntil([&] { return bar->VisibleHeight() == toolbar::kStripHeight; }, 3000));
  MoveMouse(600, 400);
  ASSERT_TRUE(PumpUntil([&] { return bar->VisibleHeight() == toolbar::kHiddenHeight; }, 3000));
  ::SendMessageW(hwnd, WM_COMMAND, 32775, 0);
  ASSERT_TRUE(PumpUntil([&] { return bar->VisibleHeight() == toolbar::kStripHeight; }, 3000));
  EXPECT_EQ(TheApp().autoHide, 0);

  // Resting on the weather opens the panel after 500 ms; leaving sooner does not.
  MoveMouse(180, 10);
  PumpFor(250);
  MoveMouse(400, 10);
  PumpFor(600);
  EXPECT_FALSE(bar->IsPanelOpen());
  MoveMouse(181, 10);
  ASSERT_TRUE(PumpUntil([&] { return bar->IsPanelOpen(); }, 2000));
  const RECT pr = WindowRect(bar->Panel().GetSafeHwnd());
  EXPECT_EQ(pr.left, 50);
  EXPECT_EQ(pr.top, toolbar::kStripHeight);
  EXPECT_EQ(bar->Panel().GetView(), CDialogWeather::kNoData);
  EXPECT_EQ(pr.bottom - pr.top, 120) << "bg4, the no-data view";
  Capture({0, 0, 560, 160}, L"weather-panel-nodata.png");
  // Leaving toolbar and panel closes the panel about a second later.
  MoveMouse(900, 500);
  EXPECT_TRUE(PumpUntil([&] { return !bar->IsPanelOpen(); }, 3000));
}
