#include "app/DialogBack.h"

#include "base/AppGlobals.h"
#include "desk/DeskFiles.h"
#include "app/dialogs/DialogMsg.h"
#include "app/dialogs/DialogSet.h"
#include "desk/MyDesk.h"
#include "app/resource.h"
#include "toolbar/TopToolBar.h"
#include "app/NavWiring.h"

namespace {
enum BackTimer : UINT_PTR { kSecondTimer = 1000, kWorkAreaTimer = 1005 };

RECT ReadWorkArea() {
  RECT r{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}
}  // namespace

CDialogBack::CDialogBack() : CVxDialogBase(IDD_BACK) {}
CDialogBack::~CDialogBack() = default;

CMyDesk* CDialogBack::Desk() const { return m_host ? m_host->Desk() : nullptr; }

BOOL CDialogBack::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  m_workArea = ReadWorkArea();
  SetNoMove(TRUE);
  LONG ex = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
  ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, (ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
  m_toolbar = std::make_unique<CYRTopToolBar>(this);
  if (m_toolbar->Create(m_hWnd))
    ::ShowWindow(m_toolbar->GetSafeHwnd(), SW_SHOWNOACTIVATE);
  else
    m_toolbar.reset();
  m_host = std::make_unique<CBaseWnd>();
  if (m_host->Create(m_hWnd)) {
    ::ShowWindow(m_host->GetSafeHwnd(), SW_SHOW);
    m_nav = InstallNavigation(*m_host);
  }
  ::SetTimer(m_hWnd, kSecondTimer, 1000, nullptr);
  // The work area is also watched through WM_SETTINGCHANGE, so a slow check suffices here
  // and an idle program does not wake every millisecond.
  ::SetTimer(m_hWnd, kWorkAreaTimer, 1000, nullptr);
  AddTrayIcon();
  if (m_toolbar) m_toolbar->SetActivePageButton(CYRTopToolBar::kDesk);
  if (TheApp().desk.config.deskPageOn)
    DeskViewOn();
  else
    DeskViewOff();
  ::SetWindowTextW(m_hWnd, TheApp().appName.c_str());
  return TRUE;
}

CYRTopToolBar* CDialogBack::Toolbar() const { return m_toolbar.get(); }

void CDialogBack::ShowHostPage(int type) {
  if (!m_host) return;
  m_host->ShowPage(type);
  m_host->RequestRepaint();
}

void CDialogBack::DeskViewOn() {
  if (m_toolbar) {
    m_toolbar->DeskViewOn();
    return;
  }
  TheApp().desk.config.deskPageOn = 1;
  ::ShowWindow(m_hWnd, SW_SHOW);
  if (m_host) m_host->ShowPage(CBaseWnd::kDeskPage);
  SaveConfig();
}

void CDialogBack::DeskViewOff() {
  if (m_toolbar) {
    m_toolbar->DeskViewOff();
    return;
  }
  TheApp().desk.config.deskPageOn = 0;
  if (m_host) m_host->ShowPage(CBaseWnd::kPlain);
  ::ShowWindow(m_hWnd, SW_HIDE);
  SaveConfig();
}

void CDialogBack::OnPaint() {
  PAINTSTRUCT ps;
  ::BeginPaint(m_hWnd, &ps);
  ::EndPaint(m_hWnd, &ps);
}

BOOL CDialogBack::CheckWorkArea() {
  const RECT now = ReadWorkArea();
  if (now.left == m_workArea.left && now.top == m_workArea.top &&
      now.right - now.left == m_workArea.right - m_workArea.left &&
      now.bottom - now.top == m_workArea.bottom - m_workArea.top)
    return FALSE;
  m_workArea = now;
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN) - 1,
                 ::GetSystemMetrics(SM_CYSCREEN) - 1, SWP_NOZORDER | SWP_NOACTIVATE);
  if (m_toolbar) m_toolbar->Relayout();
  if (m_host) m_host->RelayoutAll();
  if (m_nav) m_nav->OnWorkAreaChanged();
  return TRUE;
}

void CDialogBack::OnTimer(UINT_PTR id) {
  if (id == kWorkAreaTimer) CheckWorkArea();
  // Wine at times raises this window over the toolbar it owns without telling either.
  if (id == kSecondTimer && m_toolbar) m_toolbar->StayAboveOwner();
  CVxDialogBase::OnTimer(id);
}

void CDialogBack::OnActivate(UINT nState, HWND hOther, BOOL bMinimized) {
  CVxDialogBase::OnActivate(nState, hOther, bMinimized);
  if (m_host && m_host->GetSafeHwnd())
    ::SendMessageW(m_host->GetSafeHwnd(), WM_ACTIVATE, MAKEWPARAM(nState, bMinimized),
                   reinterpret_cast<LPARAM>(hOther));
}

void CDialogBack::OnDestroy() {
  if (m_host) m_host->SetPageSwitchHandler(nullptr);
  m_nav.reset();
  if (m_host && m_host->GetSafeHwnd()) m_host->DestroyWindow();
  if (m_toolbar && m_toolbar->GetSafeHwnd()) m_toolbar->DestroyWindow();
  RemoveTrayIcon();
  CVxDialogBase::OnDestroy();
}

void CDialogBack::PostNcDestroy() { ::PostQuitMessage(0); }

// ---- tray ----
void CDialogBack::AddTrayIcon() {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = m_hWnd;
  nid.uID = IDI_TESSARY;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = WM_TRAY_NOTIFY;
  nid.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TESSARY));
  wcsncpy(nid.szTip, TheApp().appName.c_str(), 127);
  m_trayAdded = ::Shell_NotifyIconW(NIM_ADD, &nid);
}

void CDialogBack::RemoveTrayIcon() {
  if (!m_trayAdded) return;
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = m_hWnd;
  nid.uID = IDI_TESSARY;
  ::Shell_NotifyIconW(NIM_DELETE, &nid);
  m_trayAdded = FALSE;
}

void CDialogBack::ShowTrayMenu() {
  // While the confirmation or the settings centre is open, this window is disabled under
  // it; brought to the front, the full-screen window would hide the one window that still
  // takes input. The open dialog takes the foreground instead; the menu's commands still
  // come here.
  HWND modal = ConfirmWindow();
  if (!modal) modal = SettingsWindow();
  ::SetForegroundWindow(modal ? modal : m_hWnd);
  HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU_TRAY));
  if (!menu) return;
  POINT pt;
  ::GetCursorPos(&pt);
  ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_BOTTOMALIGN | TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x,
                   pt.y, 0, m_hWnd, nullptr);
  ::DestroyMenu(menu);
}

// ---- commands ----
BOOL CDialogBack::Confirm(int mode, const std::wstring& first, const std::wstring& second) {
  if (m_confirmOpen) return FALSE;
  m_confirm = std::make_unique<CDialogMsg>(m_hWnd);
  m_confirm->SetMode(mode);
  m_confirm->SetFirstLine(first);
  m_confirm->SetSecondLine(second);
  m_confirmOpen = TRUE;
  const INT_PTR result = m_confirm->DoModal();
  m_confirmOpen = FALSE;
  return result == CDialogMsg::kOK;
}

HWND CDialogBack::ConfirmWindow() const {
  return m_confirmOpen && m_confirm ? m_confirm->GetSafeHwnd() : nullptr;
}

void CDialogBack::OpenSettingsCentre() {
  if (m_settingsOpen) {
    if (HWND open = SettingsWindow()) ::SetForegroundWindow(open);
    return;
  }
  CMyDesk* desk = Desk();
  // The rules name boxes of the saved table, and the reload after OK reads the saved
  // files: both must hold what the desk shows now, not what it showed at the last save.
  if (desk) desk->SaveDesk();
  if (!m_settings) m_settings = std::make_unique<CDialogSet>(m_hWnd);
  m_settings->SetBoxNames(DeskSettingsBoxNames(TheApp().desk.boxRecords));
  m_settingsOpen = TRUE;
  const INT_PTR result = m_settings->DoModal();
  m_settingsOpen = FALSE;
  desk = Desk();  // the desk may have been made while the dialog was open
  if (result == CDialogSet::kOK && desk) desk->Organize(1);
}

HWND CDialogBack::SettingsWindow() const {
  return m_settingsOpen && m_settings ? m_settings->GetSafeHwnd() : nullptr;
}

void CDialogBack::OnExit() {
  if (m_confirmOpen) return;
  if (TheApp().closePrompt == 0 ||
      Confirm(CDialogMsg::kOneLine, L"Vexlo桌面正在运行中,确认退出吗?", L""))
    ::DestroyWindow(m_hWnd);
}

void CDialogBack::OnRestoreDesk() {
  if (m_confirmOpen) return;
  if (!Confirm(CDialogMsg::kTwoLines, L"将移除所有自定义分类,并恢复初始桌面.", L"确认继续吗?")) return;
  if (CMyDesk* desk = Desk()) {
    desk->RestoreDesk();
  } else {
    TheApp().desk.config = DeskConfig();
    SaveConfig();
  }
}

void CDialogBack::OnRemoveBox() {
  CMyDesk* desk = Desk();
  if (!desk) return;
  if (!Confirm(CDialogMsg::kTwoLines, L"移除此分类后,分类内的图标会排列到桌面.", L"确认移除吗?")) return;
  if (GetZhiItem* box = desk->MenuBox()) desk->RemoveBox(box);
}

void CDialogBack::Launch(const std::wstring& file, const std::wstring& params) {
  ::ShellExecuteW(m_hWnd, L"open", file.c_str(), params.empty() ? nullptr : params.c_str(), nullptr,
                  SW_SHOWNORMAL);
}

BOOL CDialogBack::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  CMyDesk* desk = Desk();
  AppGlobals& g = TheApp();
  switch (id) {
    case ID_EXIT: OnExit(); return TRUE;
    case ID_SETTINGS:
    case ID_SETTINGS_DESK: OpenSettingsCentre(); return TRUE;
    case ID_ORGANIZE_ICONS:
      if (desk) desk->OrganizeIcons();
      return TRUE;
    case ID_NEW_BOX:
      if (desk) desk->NewBox(POINT{g.desk.interaction.x, g.desk.interaction.y});
      return TRUE;
    case ID_RESTORE_DESK: OnRestoreDesk(); return TRUE;
    case ID_VIEW_NORMAL:
      if (desk) desk->SetDefaultIcons();
      return TRUE;
    case ID_VIEW_SMALL:
      if (desk) desk->SetSmallIcons();
      return TRUE;
    case ID_VIEW_AUTOARRANGE:
      if (desk) desk->ToggleAutoArrange();
      return TRUE;
    case ID_VIEW_DBLCLICK_HIDE:
      if (desk) desk->ToggleDblClickHide();
      return TRUE;
    case ID_SORT_NAME:
    case ID_SORT_SIZE:
    case ID_SORT_TYPE:
    case ID_SORT_TIME: {
      if (!desk) return TRUE;
      const int key = id == ID_SORT_NAME ? kDeskSortName
                      : id == ID_SORT_SIZE ? kDeskSortSize
                      : id == ID_SORT_TYPE ? kDeskSortType
                                           : kDeskSortTime;
      const int box = g.desk.interaction.box;
      desk->SortList(key, box >= 0 && box < static_cast<int>(desk->Boxes().size())
                              ? desk->Boxes()[box].get()
                              : nullptr);
      return TRUE;
    }
    case ID_REFRESH:
      if (desk) desk->Refresh();
      if (m_host) m_host->RequestRepaint();
      return TRUE;
    case ID_BOX_REMOVE:
    case ID_BOX_REMOVE_BODY: OnRemoveBox(); return TRUE;
    case ID_PASTE:
      if (desk) desk->PasteFiles();
      return TRUE;
    case ID_PASTE_SHORTCUT:
      if (desk) desk->PasteShortcuts();
      return TRUE;
    case ID_DISPLAY_SETTINGS: Launch(L"Rundll32.exe", L"shell32.dll,Control_RunDLL desk.cpl"); return TRUE;
    case ID_CHANGE_WALLPAPER: Launch(g.programDir + L"\\Wallpaper.exe", L""); return TRUE;
    default: return CVxDialogBase::OnCommand(wParam, lParam);
  }
}

BOOL CDialogBack::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_TRAY_NOTIFY:
      if (LOWORD(lParam) == WM_RBUTTONUP) ShowTrayMenu();
      *result = 0;
      return TRUE;
    case WM_INITMENUPOPUP:
      CBaseWnd::UpdateMenuItems(reinterpret_cast<HMENU>(wParam), Desk(), TheApp().desk.interaction.box);
      *result = 0;
      return TRUE;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA) CheckWorkArea();
      break;
    case WM_DISPLAYCHANGE:
      CheckWorkArea();
      break;
    case WM_WINDOWPOSCHANGED:
      // Wine raises this window without the toolbar it owns, after the change is reported:
      // the toolbar follows once the raise is over.
      if (m_toolbar && !m_restackPosted) m_restackPosted = ::PostMessageW(m_hWnd, WM_BACK_RESTACK_TOOLBAR, 0, 0);
      break;
    case WM_BACK_RESTACK_TOOLBAR:
      m_restackPosted = FALSE;
      if (m_toolbar) m_toolbar->StayAboveOwner();
      *result = 0;
      return TRUE;
    default:
      break;
  }
  return CVxDialogBase::OnMessage(msg, wParam, lParam, result);
}
