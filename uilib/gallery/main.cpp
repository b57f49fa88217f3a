// LumetteGallery.exe [--exit-after <ms>] [--pos <x>,<y>]
#include <ole2.h>

#include <cwchar>
#include <cwctype>

#include "uilib/gallery/GalleryDlg.h"
#include "uilib/VxRaii.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  GalleryOptions options;
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  for (int i = 1; argv && i + 1 < argc; ++i) {
    if (wcscmp(argv[i], L"--exit-after") == 0) {
      options.exitAfterMs = _wtoi(argv[++i]);
    } else if (wcscmp(argv[i], L"--pos") == 0) {
      int x = 0, y = 0;
      if (swscanf(argv[++i], L"%d,%d", &x, &y) == 2) {
        options.placed = true;
        options.at = POINT{x, y};
      }
    }
  }
  if (argv) ::LocalFree(argv);

  // Dragging list entries out goes through OLE drag and drop.
  const HRESULT ole = ::OleInitialize(nullptr);
  int code = 1;
  {
    VxGdiplusSession gdiplus;
    if (gdiplus.Ok()) {
      CGalleryDlg dlg(options);
      if (dlg.Create()) code = CVxDialog::RunMessageLoop();
    }
  }
  if (SUCCEEDED(ole)) ::OleUninitialize();
  return code;
}
