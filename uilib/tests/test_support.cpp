#include "uilib/tests/test_support.h"

#include <shlwapi.h>

#include "uilib/VxPaint.h"

std::wstring RsPath(const std::wstring& relative) {
  wchar_t exe[MAX_PATH];
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dir(exe);
  dir.resize(dir.find_last_of(L'\\') + 1);
  return dir + L"rs\\" + relative;
}

std::wstring TestDir() {
  static std::wstring dir;
  if (dir.empty()) {
    wchar_t tmp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, tmp);
    dir = std::wstring(tmp) + L"lumette-tests-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(dir.c_str(), nullptr);
  }
  return dir;
}

std::wstring MakeStripPng(const std::wstring& name, int fw, int fh,
                          const std::vector<uint32_t>& colours, bool vertical) {
  const int n = static_cast<int>(colours.size());
  const int w = vertical ? fw : fw * n, h = vertical ? fh * n : fh;
  Gdiplus::Bitmap bmp(w, h, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&bmp);
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    for (int k = 0; k < n; ++k) {
      Gdiplus::SolidBrush b{Gdiplus::Color(colours[k])};
      g.FillRectangle(&b, vertical ? 0 : k * fw, vertical ? k * fh : 0, fw, fh);
    }
  }
  const std::wstring path = TestDir() + L"\\" + name;
  VxSaveImagePng(&bmp, path.c_str());
  return path;
}

std::wstring MakeSolidPng(const std::wstring& name, int w, int h, uint32_t argb) {
  return MakeStripPng(name, w, h, {argb});
}

std::wstring WriteBytes(const std::wstring& name, const std::string& bytes) {
  const std::wstring path = TestDir() + L"\\" + name;
  VxFileHandle f(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (f) ::WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  return path;
}

void PumpMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!CVxDialog::PreTranslate(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

bool TestDialog::Open(int x, int y, int w, int h, bool show) {
  if (!Create(nullptr)) return false;
  ::SetWindowPos(m_hWnd, HWND_TOP, x, y, w, h, SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : 0));
  PumpMessages();
  return true;
}

uint32_t PixelAt(Gdiplus::Bitmap& bmp, int x, int y) {
  Gdiplus::Color c;
  bmp.GetPixel(x, y, &c);
  return c.GetValue();
}

std::unique_ptr<Gdiplus::Bitmap> PaintToBitmap(CVxDialogBase& dlg, int w, int h) {
  void* bits = nullptr;
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  VxBitmap dib(VxCreateTopDownDib(screen.Get(), w, h, &bits));
  VxSelectObject keep(mem.Get(), dib.Get());
  memset(bits, 0, static_cast<size_t>(w) * h * 4);
  dlg.OnVxPaint(mem.Get(), w, h);
  ::GdiFlush();
  auto out = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
  Gdiplus::Rect r(0, 0, w, h);
  Gdiplus::BitmapData data;
  out->LockBits(&r, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data);
  for (int y = 0; y < h; ++y)
    memcpy(static_cast<BYTE*>(data.Scan0) + y * data.Stride,
           static_cast<BYTE*>(bits) + static_cast<size_t>(y) * w * 4, static_cast<size_t>(w) * 4);
  out->UnlockBits(&data);
  return out;
}

void SendMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys) {
  ::SendMessageW(hwnd, msg, keys, MAKELPARAM(x, y));
}

