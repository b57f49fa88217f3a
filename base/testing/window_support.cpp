#include "base/testing/window_support.h"

#include <shlobj.h>

#include "base/testing/test_support.h"
#include "uilib/VxDialog.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"

std::wstring DesktopDir() {
  wchar_t p[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, p);
  return p;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (!CVxDialog::PreTranslate(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
}

bool RunUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < ms) {
    if (done()) return true;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
  return done();
}

void RunFor(DWORD ms) { RunUntil([] { return false; }, ms); }

void Mouse(POINT at, DWORD flags) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((at.x * 65536LL + cx - 1) / cx);
  in.mi.dy = static_cast<LONG>((at.y * 65536LL + cy - 1) / cy);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
  ::SendInput(1, &in, sizeof(in));
}

bool SaveScreenshot(const std::wstring& name) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  VxBitmap bmp(::CreateCompatibleBitmap(screen.Get(), cx, cy));
  {
    VxSelectObject keep(mem.Get(), bmp.Get());
    ::BitBlt(mem.Get(), 0, 0, cx, cy, screen.Get(), 0, 0, SRCCOPY);
  }
  Gdiplus::Bitmap image(bmp.Get(), nullptr);
  const std::wstring dir = ExeFolder() + L"\\..\\screenshots";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  return VxSaveImagePng(&image, (dir + L"\\" + name + L".png").c_str()) == TRUE;
}
