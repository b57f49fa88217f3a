// Wallpaper window figures against the stand-in services (svc-test\services.ini beside bin):
// open to first thumbnails drawn, cold and warm thumbnail cache, and the cost of each frame
// of a strip scroll (one step of the scroll timer and a full repaint).
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "uilib/VxClock.h"
#include "uilib/VxRaii.h"
#include "uilib/VxServices.h"
#include "wallpaper/WallStore.h"
#include "wallpaper/WallpaperDlg.h"

namespace {

// Pumps messages until `done` or `ms` pass; false on time-out.
bool PumpUntil(const std::function<bool()>& done, double ms) {
  const double end = VxNowMs() + ms;
  while (!done()) {
    if (VxNowMs() > end) return false;
    MSG msg;
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    } else {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
  }
  return true;
}

void Print(const char* what, std::vector<double> ms) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  std::printf("%-36s median %6.2f ms   95%% %6.2f ms   worst %6.2f ms   (%zu frames)\n", what, ms[ms.size() / 2],
              ms[ms.size() * 95 / 100], ms.back(), ms.size());
}

// Opens the window and returns ms until the first thumbnail and a full row were drawn.
std::pair<double, double> Open(const std::wstring& base, CWallpaperDlg* dlg) {
  dlg->SetServerBase(base);
  const double t0 = VxNowMs();
  if (!dlg->Create(nullptr)) return {-1, -1};
  double first = -1;
  const int row = ::GetSystemMetrics(SM_CXSCREEN) / 165;
  PumpUntil([&] {
    if (first < 0 && dlg->ThumbnailsDrawn() > 0) first = VxNowMs() - t0;
    return dlg->ThumbnailsDrawn() >= row;
  }, 30000);
  return {first, VxNowMs() - t0};
}

}  // namespace

// "cold": the thumbnail cache is emptied first; "warm frames" also lists each frame's ms.
// Each run is a fresh process, as a start of the program is: the first web request of a
// process also loads WinINet.
int wmain(int argc, wchar_t** argv) {
  const bool cold = argc > 1 && std::wstring(argv[1]) == L"cold";
  VxGdiplusSession gdiplus;
  VxComInit com;
  wchar_t exe[MAX_PATH];
  std::wstring p(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
  const std::wstring base =
      VxServiceBaseFrom(p.substr(0, p.find_last_of(L'\\')) + L"\\..\\svc-test\\services.ini", L"wallpaper") + L"/";
  if (base.find(L"127.0.0.1") == std::wstring::npos) {
    std::printf("no stand-in services: start them with services/scripts/start --run-dir <build>/svc-test --ini-dir <build>/svc-test\n");
    return 1;
  }
  ::SetEnvironmentVariableW(L"VX_DATA_DIR", L"C:\\vxdata\\wallpaper_bench");
  const std::wstring data = WallUserFolder();
  if (cold) {
  std::wstring from = data + L"thumb" + std::wstring(1, L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&op);
  }

  std::printf("screen %dx%d\n", ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  CWallpaperDlg dlg;
  const auto [first, row] = Open(base, &dlg);
  std::printf("open to first thumbnail drawn, %s cache: %7.1f ms   (a full row: %7.1f ms)\n", cold ? "cold" : "warm",
              first, row);
  if (!cold) {
    PumpUntil([] { return false; }, 400);  // fade-ins over
    std::vector<double> frames;
    for (int pass = 0; pass < 6; ++pass) {
      pass % 2 ? dlg.ScrollLeft() : dlg.ScrollRight();
      ::KillTimer(dlg.GetSafeHwnd(), CWallpaperDlg::kScrollTimer);  // stepped here, one frame at a time
      bool more = true;
      while (more) {
        const double t = VxNowMs();
        more = dlg.StepScroll();
        ::RedrawWindow(dlg.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        frames.push_back(VxNowMs() - t);
      }
      PumpUntil([] { return false; }, 300);
    }
    Print("strip scroll, step + full repaint", frames);
    // "warm frames": every frame in order, to compare runs frame by frame on a busy machine.
    if (argc > 2 && std::wstring(argv[2]) == L"frames") {
      std::printf("frames:");
      for (double ms : frames) std::printf(" %.2f", ms);
      std::printf("\n");
    }
  }
  dlg.DestroyWindow();
  return 0;
}
