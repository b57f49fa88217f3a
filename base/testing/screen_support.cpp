#include "base/testing/screen_support.h"

#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"

std::wstring ExeFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L'\\'));
}

void Mouse(POINT at, DWORD flags) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((at.x * 65536LL + cx - 1) / cx);
  in.mi.dy = static_cast<LONG>((at.y * 65536LL + cy - 1) / cy);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
  ::SendInput(1, &in, sizeof(in));
}

std::unique_ptr<Gdiplus::Bitmap> CaptureScreen(const RECT& rc) {
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  VxBitmap bmp(::CreateCompatibleBitmap(screen.Get(), w, h));
  {
    VxSelectObject keep(mem.Get(), bmp.Get());
    ::BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), rc.left, rc.top, SRCCOPY | CAPTUREBLT);
  }
  // A copy that owns its pixels: the bitmap made from the handle reads the handle's.
  std::unique_ptr<Gdiplus::Bitmap> from(Gdiplus::Bitmap::FromHBITMAP(bmp.Get(), nullptr));
  auto out = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
  Gdiplus::Graphics(out.get()).DrawImage(from.get(), 0, 0, w, h);
  return out;
}

std::wstring ScreenshotPath(const std::wstring& file) {
  const std::wstring bin = ExeFolder();
  const std::wstring dir = bin.substr(0, bin.find_last_of(L'\\')) + L"\\screenshots";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  return dir + L"\\" + file;
}

bool SaveScreenshot(const std::wstring& name) {
  const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  const std::unique_ptr<Gdiplus::Bitmap> shot = CaptureScreen(screen);
  return VxSaveImagePng(shot.get(), ScreenshotPath(name + L".png").c_str()) == TRUE;
}
