#pragma once
// The organizer's main window: a caption-less full-screen popup under the desk that draws
// nothing itself. It owns the host window, shows the tray icon, watches the work area and
// carries the handlers of the menu commands.
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "app/BaseWnd.h"
#include "uilib/VxDialogBase.h"

class CDialogMsg;
class CDialogSet;

constexpr UINT WM_TRAY_NOTIFY = WM_USER + 200;

class CDialogBack : public CVxDialogBase {
 public:
  CDialogBack();
  ~CDialogBack() override;

  CBaseWnd* Host() const { return m_host.get(); }
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
  // Shows the desk page (the toolbar's desk view on) or the plain desktop (off).
  void DeskViewOn();
  void DeskViewOff();
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

  std::unique_ptr<CBaseWnd> m_host;
  RECT m_workArea{0, 0, 0, 0};
  std::unique_ptr<CDialogMsg> m_confirm;
  BOOL m_confirmOpen = FALSE;
  std::unique_ptr<CDialogSet> m_settings;
  BOOL m_settingsOpen = FALSE;
  BOOL m_trayAdded = FALSE;
};
