// TessarySetup.exe: the installer window on the main thread; the install on a worker.
#include <windows.h>

#include <commctrl.h>

#include "setup/SetupDlg.h"
#include "uilib/VxRaii.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  VxComInit com;
  VxGdiplusSession gdiplus;
  CSetupDlg dlg;
  dlg.DoModal();
  return 0;
}
