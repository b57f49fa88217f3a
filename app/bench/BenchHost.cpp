#include "app/bench/BenchHost.h"

#include <shlobj.h>

#include <cstdio>

#include "app/BaseWnd.h"
#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"

namespace {

LRESULT CALLBACK ParentProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ::DefWindowProcW(h, m, w, l); }

}  // namespace

double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

std::wstring FillBenchDesktop(int files, const std::vector<const wchar_t*>& extensions) {
  PrepareDesktopShell();
  wchar_t dir[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, dir);
  const std::wstring desktop = dir;
  RemoveFolderContents(desktop);
  RemoveDataFolder();
  for (int i = 0; i < files; ++i)
    PutFileBytes(desktop + L"\\文档" + std::to_wstring(i) + L"." + extensions[i % extensions.size()], "x");
  return desktop;
}

HWND CreateBenchParent(const wchar_t* name) {
  const std::wstring className = std::wstring(name) + L"Parent";
  WNDCLASSW wc{};
  wc.lpfnWndProc = ParentProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = className.c_str();
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, wc.lpszClassName, name, WS_POPUP | WS_VISIBLE, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                           ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, wc.hInstance, nullptr);
}

bool OpenBenchHost(CBaseWnd& host, HWND parent) {
  // The skin beside the program, as the organizer finds it: frames, highlights, thumbs, buttons.
  TheApp().programDir = ExeFolder();
  TheApp().desk.config = DeskConfig();
  TheApp().currentView = 0;
  if (!host.Create(parent)) {
    std::printf("the host window could not be made\n");
    return false;
  }
  ::ShowWindow(host.GetSafeHwnd(), SW_SHOW);
  host.ShowPage(CBaseWnd::kDeskPage);
  return true;
}
