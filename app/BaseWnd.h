#pragma once
// The full-screen host window: a copy of the wallpaper with the page that shows on top
// (the desk, later the navigation pages), composed in one memory bitmap. It follows
// wallpaper changes, watches Explorer's settings, sits in the clipboard viewer chain and
// builds the "新建" menu.
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "desk/BaseDesk.h"
#include "app/NewItemMenu.h"
#include "uilib/VxDialogBase.h"
#include "uilib/VxWorker.h"

class CMyDesk;
class CDialogRename;

// Private messages of the host window.
constexpr UINT WM_HOST_SETTINGS_CHANGED = WM_APP + 1;  // from the Explorer-settings watcher

class CBaseWnd : public CVxDialogBase, public CDeskOwner {
 public:
  enum PageType { kPlain = 0, kDeskPage = 1 };
  static constexpr int kDeskPageId = 5;

  CBaseWnd();
  ~CBaseWnd() override;

  // CDeskOwner
  HWND OwnerHwnd() const override { return m_hWnd; }
  void RequestRepaint() override;
  void ClearPendingSave() override { m_saveNeeded = FALSE; }
  void ShowMenu(int menuId, POINT screenPoint, int boxIndex) override;
  void BeginRename(GetZhiItem* box, const RECT& rect) override;
  void EndRename() override;
  CDialogRename* RenameEditor() const { return m_rename.get(); }

  void ShowPage(int type);
  void CallBackInvalidate() override;
  void RelayoutAll();
  static BOOL ReadHideDesktopIconValue(const wchar_t* name, DWORD* value);
  CMyDesk* Desk() const { return m_desk.get(); }
  int CurrentPageId() const { return m_pageId; }

  // Timer bodies, callable directly by tests.
  void Tick();             // slide steps and batched redraw
  BOOL CheckWallpaper();   // TRUE when the wallpaper (or colour) changed
  void SaveIfNeeded();
  BOOL IsRedrawNeeded() const { return m_redrawNeeded; }
  BOOL IsSaveNeeded() const { return m_saveNeeded; }
  // The composed frame (for checks and screenshots).
  HDC FrameDC() const { return m_frameDC.Get(); }
  void Compose();

  // Menu support shared with the background window: check marks and enabled states.
  static void UpdateMenuItems(HMENU menu, const CMyDesk* desk, int boxIndex);

 protected:
  BOOL OnInitDialog() override;
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
  void OnActivate(UINT nState, HWND hOther, BOOL bMinimized) override;
  void OnDestroy() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void BuildBackground();
  void SlideTo(int pageId, bool animated);
  void EnsureTickTimer();
  void StartSettingsWatcher();
  void StopSettingsWatcher();
  static void SettingsWatcherLoop(VxWorkerJob<VxNoResult>& job);
  void RouteMouse(UINT msg, WPARAM wParam, LPARAM lParam);

  std::wstring m_wallpaperPath;
  std::wstring m_wallpaperTime;
  COLORREF m_backColor = CLR_INVALID;
  VxMemDC m_frameDC, m_backDC;
  VxBitmap m_frameBmp, m_backBmp;
  void* m_frameBits = nullptr;
  int m_frameW = 0, m_frameH = 0;  // size the frame bitmap was made with
  HGDIOBJ m_frameOld = nullptr, m_backOld = nullptr;
  int m_cx = 0, m_cy = 0;
  int m_pageId = -1;
  std::unique_ptr<CMyDesk> m_desk;
  std::unique_ptr<CDialogRename> m_rename;
  NewItemList m_newItems;  // items of the "新建" popup last shown
  BOOL m_drawnSincePaint = FALSE;
  BOOL m_redrawNeeded = FALSE;
  BOOL m_saveNeeded = FALSE;
  BOOL m_tickRunning = FALSE;
  HWND m_nextViewer = nullptr;
  BOOL m_inViewerChain = FALSE;
  VxWorker<> m_watcher;  // Explorer settings
};
