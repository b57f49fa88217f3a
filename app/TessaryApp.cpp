#include "app/TessaryApp.h"

#include <commctrl.h>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "desk/DeskFiles.h"
#include "desk/DeskPainter.h"
#include "desk/ShellItems.h"
#include "app/DialogBack.h"
#include "toolbar/TopToolBar.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"
#include "app/core/app_text.h"

namespace {
CTessaryApp* g_theApp = nullptr;

int CALLBACK OnFontFamily(const LOGFONTW* lf, const TEXTMETRICW*, DWORD, LPARAM found) {
  if (wcscmp(lf->lfFaceName, L"微软雅黑") == 0) {
    *reinterpret_cast<int*>(found) = 1;
    return 0;
  }
  return 1;
}
}  // namespace

CTessaryApp* TheTessaryApp() { return g_theApp; }

CTessaryApp::~CTessaryApp() {
  if (g_theApp == this) g_theApp = nullptr;
}

void CTessaryApp::DetectYaHei() {
  VxWindowDC dc(nullptr);
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  int found = 0;
  ::EnumFontFamiliesExW(dc.Get(), &lf, OnFontFamily, reinterpret_cast<LPARAM>(&found), 0);
  TheApp().hasYaHei = found;
}

void CTessaryApp::CreateIconFont() {
  ICONMETRICSW im{};
  im.cbSize = sizeof(im);
  if (!::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(im), &im, 0)) return;
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  auto font = std::make_unique<Gdiplus::Font>(mem.Get(), &im.lfFont);
  if (font->GetLastStatus() == Gdiplus::Ok) m_iconFont = std::move(font);
  SetIconFont(m_iconFont.get());
}

BOOL CTessaryApp::InitInstance() {
  g_theApp = this;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  m_oleStarted = SUCCEEDED(::OleInitialize(nullptr));
  m_gdiplusStarted = Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusInput, nullptr) == Gdiplus::Ok;

  // One copy per user session. The mutex is never released: it lives with the process.
  m_instanceMutex = ::CreateMutexW(nullptr, TRUE, L"vexlo_desk");
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    AppMessageBox(nullptr, L"你已经打开了该程序!");
    ::ExitProcess(0);
  }

  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  m_programPath.assign(path, n);
  std::u16string folder;
  if (!ProgramFolderOf(ToU16(m_programPath), &folder)) {
    wchar_t text[MAX_PATH + 64];
    swprintf(text, MAX_PATH + 64, L"无法获取程序所在的路径:%ls", m_programPath.c_str());
    AppMessageBox(nullptr, text);
    return FALSE;
  }
  TheApp().programDir = ToW(folder);

  LoadConfig();
  LoadOrSaveConfig(TRUE);
  if (TheApp().desk.config.deskPageOn) {
    DeskPrefetchIcons();
    DeskPrepareDrawResources();
  }

  CDialogBack back;
  if (!back.Create(nullptr)) return FALSE;
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  if (back.SetDesk())
    ::SetWindowPos(back.GetSafeHwnd(), nullptr, 0, 0, cx - 1, cy - 1, SWP_NOZORDER);
  else
    ::SetWindowPos(back.GetSafeHwnd(), HWND_NOTOPMOST, 0, 0, cx - 1, cy - 1, SWP_NOREDRAW);
  if (CYRTopToolBar* bar = back.Toolbar()) bar->StayAboveOwner();
  DetectYaHei();
  CreateIconFont();
  CVxDialog::RunMessageLoop();
  SetIconFont(nullptr);
  m_iconFont.reset();
  return FALSE;
}

int CTessaryApp::ExitInstance() {
  SetIconFont(nullptr);
  m_iconFont.reset();
  DeskForgetPreparedDrawResources();
  DeskTakePrefetchedIcons();
  if (m_gdiplusStarted) Gdiplus::GdiplusShutdown(m_gdiplusToken);
  m_gdiplusStarted = false;
  if (m_oleStarted) ::OleUninitialize();
  m_oleStarted = false;
  return 0;
}
