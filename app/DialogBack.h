#pragma once
// The organizer's main window: a caption-less full-screen popup under the desk that draws
// nothing itself. It owns the host window, shows the tray icon, watches the work area and
// carries the handlers of the menu commands.
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "app/BaseWnd.h"
#include "toolbar/ToolbarOwner.h"
#include "nav/NavStrips.h"
#include "uilib/VxDialogBase.h"

class CDialogMsg;
class CYRTopToolBar;
class CDialogSet;

constexpr UINT WM_TRAY_NOTIFY = WM_USER + 200;
// Posted to itself after this window moved in the z-order: the toolbar goes back above it.
constexpr UINT WM_BACK_RESTACK_TOOLBAR = WM_APP + 2;

class CDialogBack : public CVxDialogBase, public CToolbarOwner {
 public:
  CDialogBack();
  ~CDialogBack() override;

  CBaseWnd* Host() const { return m_host.get(); }
  // The top toolbar, null when it could not be made.
  CYRTopToolBar* Toolbar() const;
  CNavStrips* Nav() const { return m_nav.get(); }
  CMyDesk* Desk() const;
  // Runs one command as the menus would send it.
  void RunCommand(UINT id) { ::SendMessageW(m_hWnd, WM_COMMAND, id, 0); }
  // The confirmation dialog: TRUE when the user chose OK. FALSE without asking when it is
  // already open.
  BOOL Confirm(int mode, const std::wstring& first, const std::wstring& second);
  BOOL IsConfirmOpen() const { return m_confirmOpen; }
  // The confirmation window while it is open (tests answer it), else null.
  HWND ConfirmWindow() const;
  // "设置中心": opens the settings centre, or brings it forward when it is already open.
  void OpenSettingsCentre();
  // The settings centre's window while it is open, else null.
  HWND SettingsWindow() const;
  CDialogSet* SettingsDialog() const { return m_settings.get(); }
  // The toolbar's organize (the desk page) and restore (the plain desktop).
  void DeskViewOn();
  void DeskViewOff();

  // CToolbarOwner
  HWND MainWindow() const override { return m_hWnd; }
  bool HasPageHost() const override { return m_host && m_host->GetSafeHwnd(); }
  void ShowHostPage(int type) override;
  // Checks the work area and re-lays the windows when it changed; TRUE when it did.
  BOOL CheckWorkArea();
  const RECT& WorkArea() const { return m_workArea; }

 protected:
  BOOL OnInitDialog() override;
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;
  void PostNcDestroy() override;
  void OnActivate(UINT nState, HWND hOther, BOOL bMinimized) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void AddTrayIcon();
  void RemoveTrayIcon();
  void ShowTrayMenu();
  void OnExit();
  void OnRestoreDesk();
  void OnRemoveBox();
  void Launch(const std::wstring& file, const std::wstring& params);

  std::unique_ptr<CYRTopToolBar> m_toolbar;
  std::unique_ptr<CBaseWnd> m_host;
  std::unique_ptr<CNavStrips> m_nav;  // the navigation pages' strips on the host
  RECT m_workArea{0, 0, 0, 0};
  std::unique_ptr<CDialogMsg> m_confirm;
  BOOL m_confirmOpen = FALSE;
  std::unique_ptr<CDialogSet> m_settings;
  BOOL m_settingsOpen = FALSE;
  BOOL m_trayAdded = FALSE;
  BOOL m_restackPosted = FALSE;
};
