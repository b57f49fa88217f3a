// Wallpaper.exe: browses the wallpaper server's catalogue and sets the picture the user
// picks. No command line is read.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "uilib/VxRaii.h"
#include "wallpaper/WallStore.h"
#include "wallpaper/WallpaperDlg.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  VxGdiplusSession gdiplus;
  VxComInit com;
  // Owned for the whole run; whether another copy holds it too is not looked at.
  VxKernelHandle mutex(::CreateMutexW(nullptr, TRUE, L"vexlo_bizhi"));
  if (WallProgramFolder().empty()) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring text = std::wstring(L"无法获取程序所在的路径:") + path;
    ::MessageBoxW(nullptr, text.c_str(), L"Vexlo桌面", MB_OK);
    return 1;
  }
  CWallpaperDlg dlg;
  dlg.DoModal();
  return 0;
}
