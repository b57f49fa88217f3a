// Frame composition and present of the host window at full screen with 20 boxes and 500
// icons: median and worst milliseconds per frame. Prints figures; it is not a test.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "AppConfig.h"
#include "AppGlobals.h"
#include "BaseWnd.h"
#include "MyDesk.h"
#include "VxRaii.h"
#include "app_test_support.h"

namespace {

double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

LRESULT CALLBACK ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ::DefWindowProcW(h, m, w, l); }

}  // namespace

int main() {
  ::OleInitialize(nullptr);
  VxGdiplusSession gdiplus;
  PrepareDesktopShell();
  wchar_t dir[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, dir);
  const std::wstring desktop = dir;
  RemoveFolderContents(desktop);
  RemoveDataFolder();
  const wchar_t* exts[] = {L"txt", L"doc", L"xls", L"pdf", L"png"};
  for (int i = 0; i < 500; ++i)
    PutFileBytes(desktop + L"\\文档" + std::to_wstring(i) + L"." + exts[i % 5], "x");

  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  WNDCLASSW wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FrameBenchParent";
  ::RegisterClassW(&wc);
  HWND parent = ::CreateWindowExW(0, wc.lpszClassName, L"FrameBench", WS_POPUP | WS_VISIBLE, 0, 0, cx,
                                  cy, nullptr, nullptr, wc.hInstance, nullptr);
  CBaseWnd host;
  if (!host.Create(parent)) {
    std::printf("the host window could not be made\n");
    return 1;
  }
  ::ShowWindow(host.GetSafeHwnd(), SW_SHOW);
  TheApp().deskConfig = DeskConfig();
  TheApp().currentView = 0;
  host.ShowPage(CBaseWnd::kDeskPage);
  CMyDesk* desk = host.Desk();

  // Twenty boxes sharing the files: the organized "文件" box gives its entries away.
  std::vector<GetZhiItem*> boxes;
  for (const auto& b : desk->Boxes()) boxes.push_back(b.get());
  for (int i = 0; static_cast<int>(boxes.size()) < 20; ++i)
    boxes.push_back(desk->NewBox(POINT{20 + (i % 6) * 300, 60 + (i / 6) * 330}));
  GetZhiItem* files = desk->FindBoxByName(L"文件");
  if (files) {
    const std::vector<VxListItem*> entries = files->list.Items();
    for (size_t i = 0; i < entries.size(); ++i) {
      GetZhiItem* target = boxes[i % boxes.size()];
      if (target == files) continue;
      target->list.AddItem(entries[i], TRUE);
      files->list.RemoveAt(entries[i], TRUE);
    }
  }
  int icons = desk->DeskList().GetCount();
  for (GetZhiItem* b : boxes) {
    desk->LayoutBox(b, TRUE);
    icons += b->list.GetCount();
  }
  Pump();

  LARGE_INTEGER f, a, b;
  ::QueryPerformanceFrequency(&f);
  std::vector<double> frames;
  double first = 0;
  for (int i = 0; i < 121; ++i) {
    ::QueryPerformanceCounter(&a);
    host.Compose();
    ::InvalidateRect(host.GetSafeHwnd(), nullptr, FALSE);
    ::UpdateWindow(host.GetSafeHwnd());
    ::GdiFlush();
    ::QueryPerformanceCounter(&b);
    if (i == 0)
      first = Ms(a, b, f);
    else
      frames.push_back(Ms(a, b, f));
    Pump();
  }
  // The parts: composing alone, and presenting alone.
  std::vector<double> compose, present;
  for (int i = 0; i < 40; ++i) {
    ::QueryPerformanceCounter(&a);
    host.Compose();
    ::GdiFlush();
    ::QueryPerformanceCounter(&b);
    compose.push_back(Ms(a, b, f));
    ::QueryPerformanceCounter(&a);
    ::InvalidateRect(host.GetSafeHwnd(), nullptr, FALSE);
    ::UpdateWindow(host.GetSafeHwnd());
    ::GdiFlush();
    ::QueryPerformanceCounter(&b);
    present.push_back(Ms(a, b, f));
    Pump();
  }
  // Composing without the boxes: what the background and the desk list cost.
  std::vector<double> bare;
  for (GetZhiItem* box : boxes) box->shown = 0;
  for (int i = 0; i < 20; ++i) {
    ::QueryPerformanceCounter(&a);
    host.Compose();
    ::GdiFlush();
    ::QueryPerformanceCounter(&b);
    bare.push_back(Ms(a, b, f));
  }
  for (GetZhiItem* box : boxes) box->shown = 1;
  std::sort(bare.begin(), bare.end());
  std::sort(compose.begin(), compose.end());
  std::sort(present.begin(), present.end());
  std::sort(frames.begin(), frames.end());
  std::printf("frame composition + present, %dx%d, %zu boxes, %d icons\n", cx, cy, desk->Boxes().size(),
              icons);
  std::printf("first frame %.1f ms; over %zu frames: median %.1f ms, worst %.1f ms\n", first,
              frames.size(), frames[frames.size() / 2], frames.back());
  std::printf("parts (median): compose %.1f ms (without the boxes %.1f ms), present %.1f ms\n",
              compose[compose.size() / 2], bare[bare.size() / 2], present[present.size() / 2]);
  host.DestroyWindow();
  ::DestroyWindow(parent);
  RemoveFolderContents(desktop);
  RemoveDataFolder();
  ::OleUninitialize();
  return 0;
}
