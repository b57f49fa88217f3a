#include "app/dialogs/tests/dialogs_test_support.h"

#include <vector>

#include "base/AppGlobals.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"

namespace {

struct ModalRun {
  CVxDialog* dlg = nullptr;
  const std::function<void(HWND)>* step = nullptr;
  bool stepped = false;
  bool timedOut = false;
  DWORD deadline = 0;
};
ModalRun* g_run = nullptr;

void CALLBACK OnModalTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (!g_run) return;
  HWND hwnd = g_run->dlg->GetSafeHwnd();
  if (!hwnd) return;
  if (!g_run->stepped && ::IsWindowVisible(hwnd)) {
    g_run->stepped = true;
    (*g_run->step)(hwnd);
  } else if (::GetTickCount() > g_run->deadline) {
    g_run->timedOut = true;
    ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
  }
}

}  // namespace

void PumpFor(int ms) {
  const DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
  do {
    PumpMessages();
    ::Sleep(10);
  } while (::GetTickCount() < end);
  PumpMessages();
}

INT_PTR RunModal(CVxDialog& dlg, const std::function<void(HWND)>& step, bool* timedOut,
                 int limitMs) {
  ModalRun run;
  run.dlg = &dlg;
  run.step = &step;
  run.deadline = ::GetTickCount() + static_cast<DWORD>(limitMs);
  g_run = &run;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &OnModalTimer);
  const INT_PTR result = dlg.DoModal();
  ::KillTimer(nullptr, timer);
  g_run = nullptr;
  if (timedOut) *timedOut = run.timedOut || !run.stepped;
  return result;
}

void PostClick(HWND hwnd, POINT pt) {
  const LPARAM at = MAKELPARAM(pt.x, pt.y);
  ::PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
  ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

void InputClick(POINT screen) {
  ::SetCursorPos(screen.x, screen.y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
}

void PostKey(HWND hwnd, UINT vk) {
  const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  ::PostMessageW(hwnd, WM_KEYDOWN, vk, 1 | (scan << 16));
  ::PostMessageW(hwnd, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

void PostChars(HWND hwnd, const std::wstring& text) {
  for (wchar_t c : text) ::PostMessageW(hwnd, WM_CHAR, c, 1);
}

std::wstring SaveScreenshot(Gdiplus::Bitmap& bmp, const std::wstring& name) {
  const std::wstring path = ScreenshotPath(name);
  if (!VxSaveImagePng(&bmp, path.c_str())) return L"";
  return path;
}

int DarkPixels(Gdiplus::Bitmap& bmp, int x0, int x1, int y0, int y1, int limit) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      Gdiplus::Color c;
      bmp.GetPixel(x, y, &c);
      if (c.GetR() < limit && c.GetG() < limit && c.GetB() < limit) ++n;
    }
  return n;
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::OleInitialize(nullptr);
  int rc = 1;
  {
    VxGdiplusSession gdiplus;
    // The dialogs find their images under the program folder's rs, which the build renders
    // beside the test programs.
    TheApp().programDir = ExeFolder();
    rc = RUN_ALL_TESTS();
  }
  ::OleUninitialize();
  return rc;
}
