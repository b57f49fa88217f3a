// The top toolbar and its weather panel as real windows on the test screen, driven by real
// mouse input, with the weather fetched from the stand-in services on loopback. Each state is
// saved as a PNG under <build>/screenshots.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "toolbar/HttpWeather.h"
#include "toolbar/TopToolBar.h"
#include "toolbar/WeatherService.h"
#include "toolbar/core/toolbar_rules.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"
#include "uilib/VxServices.h"

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

[[maybe_unused]] void Click(HWND hwnd, const VxButton& button) {
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
  std::unique_ptr<Gdiplus::Bitmap> shot = CaptureScreen(rc);
  VxSaveImagePng(shot.get(), ScreenshotPath(name).c_str());
  return shot;
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

std::wstring StandIn(const wchar_t* key) {
  const std::wstring bin = ExeFolder();
  return VxServiceBaseFrom(bin.substr(0, bin.find_last_of(L'\\')) + L"\\svc-test\\services.ini", key);
}

// The network between the toolbar and the stand-in services: a loopback relay that can be
// taken down (connections refused, open ones cut) and brought back on the same port.
class Relay {
 public:
  explicit Relay(int upstreamPort) : upstream_(upstreamPort) {
    WSADATA wsa;
    ::WSAStartup(MAKEWORD(2, 2), &wsa);
  }
  ~Relay() {
    Stop();
    ::WSACleanup();
  }
  std::wstring Address() const { return L"http://127.0.0.1:" + std::to_wstring(port_); }
  // Reserves the port without listening: the network starts down.
  void Reserve() {
    Start();
    Stop();
  }
  void Start() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL on = TRUE;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof(on));
    sockaddr_in a = Loopback(port_);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    int len = sizeof(a);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    ::listen(listener_, 16);
    accepter_ = std::thread([this] { Accept(); });
  }
  void Stop() {
    if (listener_ == INVALID_SOCKET) return;
    ::closesocket(listener_);
    listener_ = INVALID_SOCKET;
    accepter_.join();
    std::vector<std::thread> pipes;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (SOCKET s : open_) ::closesocket(s);
      open_.clear();
      pipes.swap(pipes_);
    }
    for (std::thread& t : pipes) t.join();
  }

 private:
  static sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<u_short>(port));
    return a;
  }
  void Accept() {
    for (;;) {
      SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      SOCKET up = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
      sockaddr_in a = Loopback(upstream_);
      ::connect(up, reinterpret_cast<sockaddr*>(&a), sizeof(a));
      std::lock_guard<std::mutex> lock(mutex_);
      open_.push_back(client);
      open_.push_back(up);
      pipes_.emplace_back([client, up] { Pipe(client, up); });
    }
  }
  // Copies both ways until either side closes.
  static void Pipe(SOCKET a, SOCKET b) {
    char buf[4096];
    for (;;) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(a, &set);
      FD_SET(b, &set);
      if (::select(0, &set, nullptr, nullptr, nullptr) <= 0) return;
      for (SOCKET from : {a, b}) {
        if (!FD_ISSET(from, &set)) continue;
        const int n = ::recv(from, buf, sizeof(buf), 0);
        if (n <= 0 || ::send(from == a ? b : a, buf, n, 0) != n) {
          ::shutdown(a, SD_BOTH);
          ::shutdown(b, SD_BOTH);
          return;
        }
      }
    }
  }

  int upstream_;
  int port_ = 0;
  SOCKET listener_ = INVALID_SOCKET;
  std::thread accepter_;
  std::mutex mutex_;
  std::vector<SOCKET> open_;
  std::vector<std::thread> pipes_;
};

int PortOf(const std::wstring& url) { return _wtoi(url.substr(url.find_last_of(L':') + 1).c_str()); }

// The stand-in's current answer for a city code, read the way the service reads it.
int StandInTemperature(const wchar_t* code) {
  CHttpWeather http;
  CParseJson direct(GbkToWide);
  direct.ParseWeather(http.HttpGet(StandIn(L"weather") + L"/city/" + code + L".js?ref=qqchannel"));
  return ParseDecimal(direct.GetValue("sk_tp"));
}

std::wstring SavedKey(const wchar_t* key) {
  wchar_t text[64] = {};
  ::GetPrivateProfileStringW(L"SYS", key, L"", text, 64, (DataFolderPath() + L"config.ini").c_str());
  return text;
}

class ToolbarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppGlobals& g = TheApp();
    g.programDir = ExeFolder();
    g.autoHide = 0;
    g.desk.config.deskPageOn = 0;  // the plain desktop: nothing keeps the strip out
    g.currentView = 0;
    g.weather = WeatherGlobals();
    g.weather.province = L"浙江省";
    g.weather.city = g.weather.city2 = L"宁波";
    ASSERT_NE(StandIn(L"weather").find(L"127.0.0.1"), std::wstring::npos) << "services.ini not written";
    EnsureDataFolder();
    MoveMouse(600, 400);
  }
  void Open(const std::wstring& weatherAddress) {
    bar = std::make_unique<CYRTopToolBar>(&owner);
    bar->SetWeatherAddress(weatherAddress);
    ASSERT_TRUE(bar->Create(nullptr));
    ::ShowWindow(bar->GetSafeHwnd(), SW_SHOWNOACTIVATE);
    PumpFor(100);
  }
  void TearDown() override {
    if (!bar) return;
    if (bar->GetSafeHwnd()) bar->DestroyWindow();
    bar.reset();
    PumpFor(50);
  }

  NoMainWindow owner;
  std::unique_ptr<CYRTopToolBar> bar;
};

}  // namespace

// Starts with the network down, so the toolbar reads "努力读取天气中..." and the panel has no
// data; the network comes up (the weather appears on the strip and in the open panel), goes
// down while another city is asked for, and comes back.
TEST_F(ToolbarTest, DateAutoHideHoverAndTheNetworkComingAndGoing) {
  Relay network(PortOf(StandIn(L"weather")));
  network.Reserve();
  Open(network.Address());
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

  // The network comes up: the retrying update gets through, the strip and the open panel
  // show the weather.
  const WeatherGlobals& w = TheApp().weather;
  network.Start();
  ASSERT_TRUE(PumpUntil([&] { return w.temperature != -9999; }, 5000));
  EXPECT_EQ(w.temperature, StandInTemperature(L"10330200"));
  PumpUntil([&] { return bar->Panel().GetView() == CDialogWeather::kToday; }, 1000);
  EXPECT_EQ(bar->Panel().GetView(), CDialogWeather::kToday);
  shot = Capture({0, 0, 560, 260}, L"weather-panel-online.png");
  EXPECT_GT(PixelsLike(*shot, {173, 8, 240, 22}, 0xFE, 0xDE, 0x00), 20) << "weather text";

  // Leaving toolbar and panel closes the panel about a second later.
  MoveMouse(900, 500);
  EXPECT_TRUE(PumpUntil([&] { return !bar->IsPanelOpen(); }, 3000));

  // Down again while another city is asked for: the strip keeps the last weather and stays
  // responsive; back up, the new city's weather arrives.
  network.Stop();
  TheApp().weather.city = L"北京市";
  TheApp().weather.city2 = L"昌平";
  ::PostMessageW(hwnd, WM_TOOLBAR_UPDATE_WEATHER, 0, 0);
  const int before = w.temperature;
  DWORD longest = 0, last = ::GetTickCount();
  PumpUntil([&] {
    const DWORD now = ::GetTickCount();
    longest = std::max(longest, now - last);
    last = now;
    bar->RefreshDate();
    return false;
  }, 2500);
  EXPECT_LT(longest, 200u) << "the UI thread waited on the weather";
  EXPECT_EQ(w.temperature, before);
  Capture(wr, L"toolbar-offline.png");
  network.Start();
  EXPECT_TRUE(PumpUntil([&] { return w.temperature == StandInTemperature(L"1011000011"); }, 5000));
  EXPECT_EQ(w.weatherCity, L"昌平");
  Capture(wr, L"toolbar-back-online.png");
}

// The panel's views by their buttons, and a city chosen in the chooser's lists: saved to
// config.ini, and its weather fetched.
TEST_F(ToolbarTest, PanelViewsAndACityChosenInTheChooser) {
  ::DeleteFileW((DataFolderPath() + L"config.ini").c_str());
  Open(StandIn(L"weather"));
  const WeatherGlobals& w = TheApp().weather;
  ASSERT_TRUE(PumpUntil([&] { return w.temperature != -9999; }, 5000));
  bar->OpenPanel();
  CDialogWeather& panel = bar->Panel();
  HWND hwnd = panel.GetSafeHwnd();
  ASSERT_TRUE(hwnd);
  PumpFor(100);
  EXPECT_EQ(panel.GetView(), CDialogWeather::kToday);
  EXPECT_EQ(WindowRect(hwnd).bottom - WindowRect(hwnd).top, 224);
  Click(hwnd, panel.ButtonAt(CDialogWeather::kSevenDaysButton));
  EXPECT_EQ(panel.GetView(), CDialogWeather::kSevenDays);
  EXPECT_EQ(WindowRect(hwnd).bottom - WindowRect(hwnd).top, 299);
  MoveMouse(50 + 200, 27 + 60 + 33 + 10);  // over the second row
  Capture({0, 0, 560, 340}, L"weather-panel-7days.png");
  Click(hwnd, panel.ButtonAt(CDialogWeather::kBack));
  EXPECT_EQ(panel.GetView(), CDialogWeather::kToday);
  Click(hwnd, panel.ButtonAt(CDialogWeather::kSettings));
  ASSERT_EQ(panel.GetView(), CDialogWeather::kCitySetting);
  ASSERT_TRUE(panel.IsChooserOpen());
  CWeatherSet& chooser = panel.Chooser();
  EXPECT_EQ(chooser.Province(), L"浙江省");
  EXPECT_EQ(chooser.City(), L"宁波");
  EXPECT_EQ(chooser.District(), L"宁波");

  // Choosing as the lists tell their dialog: a province, then a city, then a district.
  auto choose = [&](HWND combo, int id, const wchar_t* text) {
    const LRESULT at = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(text));
    ASSERT_NE(at, CB_ERR) << "no item " << testing::PrintToString(std::wstring(text));
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    ::SendMessageW(chooser.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
  };
  choose(chooser.ProvinceList(), 1002, L"北京市");
  EXPECT_EQ(chooser.City(), L"北京市");
  choose(chooser.DistrictList(), 1004, L"昌平");
  PumpFor(100);
  Capture({0, 0, 560, 260}, L"weather-panel-city.png");
  Click(hwnd, panel.ButtonAt(CDialogWeather::kOK));
  EXPECT_FALSE(panel.IsChooserOpen());
  EXPECT_EQ(SavedKey(L"province"), L"北京市");
  EXPECT_EQ(SavedKey(L"city"), L"北京市");
  EXPECT_EQ(SavedKey(L"city2"), L"昌平");
  EXPECT_TRUE(PumpUntil([&] { return w.weatherCity == L"昌平" && w.temperature == StandInTemperature(L"1011000011"); }, 5000));
  Capture({0, 0, 560, 260}, L"weather-panel-changping.png");
}
