// The navigation pages on the organizer's main window at full screen, against the stand-in
// services (their services.ini is the argument): milliseconds per slide step between the desk
// and my sites, and from a click on the "推荐导航" tab to the recommended page drawn with its
// pictures from the cache a previous visit left. Prints figures; it is not a test.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/BaseWnd.h"
#include "app/DialogBack.h"
#include "app/bench/BenchHost.h"
#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "nav/DaohangBar.h"
#include "nav/NavStrips.h"
#include "nav/TJDaohang.h"
#include "uilib/VxPaint.h"
#include "uilib/VxServices.h"

namespace {

LARGE_INTEGER g_freq;

double Now() {
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(g_freq.QuadPart);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
double Worst(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

// One slide step as the host's timer makes it: move, compose, present.
double Step(CBaseWnd* host) {
  const double a = Now();
  host->Tick();
  ::UpdateWindow(host->GetSafeHwnd());
  ::GdiFlush();
  return Now() - a;
}

bool Moving(CBaseWnd* host, int a, int b) {
  const CBaseDesk* pa = host->Page(a);
  const CBaseDesk* pb = host->Page(b);
  return (pa && pa->IsMoving()) || (pb && pb->IsMoving());
}

// Slides to `type` from `from`; the step times go to `steps`, the first (which draws the
// incoming page once) to `firsts`.
void Slide(CBaseWnd* host, int type, int from, std::vector<double>& steps, std::vector<double>& firsts) {
  host->ShowPage(type);
  for (int i = 0; Moving(host, type, from) && i < 2000; ++i) {
    const double ms = Step(host);
    (i == 0 ? firsts : steps).push_back(ms);
    Pump();
  }
}

std::unique_ptr<CDialogBack> OpenMainWindow() {
  auto back = std::make_unique<CDialogBack>();
  if (!back->Create(nullptr)) return nullptr;
  ::SetWindowPos(back->GetSafeHwnd(), HWND_TOP, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                 ::GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW);
  Pump();
  return back;
}

void ClickRecommendedTab(CBaseWnd* host, CNavStrips* nav) {
  CRect r;
  nav->Bar()->Tab(CBaseWnd::kRecommendedPage)->GetRect(&r);
  const LPARAM at = MAKELPARAM(r.left + r.Width() / 2, r.top + r.Height() / 2);
  ::SendMessageW(host->GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(host->GetSafeHwnd(), WM_LBUTTONUP, 0, at);
}

}  // namespace

int main(int argc, char** argv) {
  ::QueryPerformanceFrequency(&g_freq);
  if (argc < 2) {
    std::printf("usage: NavBench services.ini\n");
    return 2;
  }
  ::OleInitialize(nullptr);
  VxGdiplusSession gdiplus;
  const std::wstring desktop = FillBenchDesktop(200, {L"txt", L"doc", L"xls", L"pdf", L"png"});
  EnsureDataFolder();
  AppGlobals& g = TheApp();
  g.programDir = ExeFolder();
  g.nav.homeUrl = VxServiceBaseFrom(std::wstring(argv[1], argv[1] + std::strlen(argv[1])), L"home") + L"/";
  g.desk.config = DeskConfig();
  g.desk.config.deskPageOn = 1;
  g.currentView = 0;
  std::printf("screen %dx%d, services %ls\n", ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
              g.nav.homeUrl.c_str());

  // Desk <-> my sites, ten slides each way.
  std::vector<double> steps, firsts;
  {
    auto back = OpenMainWindow();
    if (!back || !back->Host()) {
      std::printf("the main window could not be made\n");
      return 1;
    }
    CBaseWnd* host = back->Host();
    for (int round = 0; round < 10; ++round) {
      Slide(host, CBaseWnd::kMySitesPage, CBaseWnd::kDeskPage, steps, firsts);
      Slide(host, CBaseWnd::kDeskPage, CBaseWnd::kMySitesPage, steps, firsts);
    }
    // The first visit of 推荐导航 fills the cache (lists and pictures).
    Slide(host, CBaseWnd::kMySitesPage, CBaseWnd::kDeskPage, steps, firsts);
    ClickRecommendedTab(host, back->Nav());
    auto* tj = dynamic_cast<CTJDaohang*>(host->Page(CBaseWnd::kRecommendedPage));
    const double until = Now() + 20000;
    while (tj && (tj->Refreshing() || tj->IsMoving()) && Now() < until) {
      Step(host);
      Pump();
      ::Sleep(5);
    }
    ::Sleep(50);
    Pump();
    std::printf("cache filled: %zu top sites, %zu categories\n", tj ? tj->Top().size() : 0u,
                tj ? tj->Categories().size() : 0u);
    back->DestroyWindow();
    Pump();
  }
  std::printf("slide desk <-> my sites (%zu steps in 20 slides): median %.2f ms, worst %.2f ms a step; "
              "first step of a slide median %.2f ms, worst %.2f ms\n",
              steps.size(), Median(steps), Worst(steps), Median(firsts), Worst(firsts));

  // A new main window each time, so the page is made anew and loads the cached pictures.
  std::vector<double> drawn, settled;
  for (int round = 0; round < 5; ++round) {
    auto back = OpenMainWindow();
    if (!back) break;
    CBaseWnd* host = back->Host();
    std::vector<double> ignored, ignoredFirst;
    Slide(host, CBaseWnd::kMySitesPage, CBaseWnd::kDeskPage, ignored, ignoredFirst);
    const double click = Now();
    ClickRecommendedTab(host, back->Nav());
    Step(host);  // the first frame with the page: made, its pictures loaded, composed, presented
    drawn.push_back(Now() - click);
    while (Moving(host, CBaseWnd::kRecommendedPage, CBaseWnd::kMySitesPage)) {
      Step(host);
      Pump();
    }
    settled.push_back(Now() - click);
    back->DestroyWindow();
    Pump();
  }
  std::printf("click on 推荐导航 to the page drawn (cached pictures, %zu runs): median %.1f ms, worst %.1f ms; "
              "to the end of its slide median %.1f ms, worst %.1f ms\n",
              drawn.size(), Median(drawn), Worst(drawn), Median(settled), Worst(settled));

  RemoveFolderContents(desktop);
  RemoveDataFolder();
  ::OleUninitialize();
  return 0;
}
