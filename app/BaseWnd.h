#pragma once
// The full-screen host window: a copy of the wallpaper with the page that shows on top
// (the desk or a navigation page), composed in one memory bitmap. It slides between pages,
// hands mouse, keys, timers and drops to the page that shows, follows wallpaper changes,
// watches Explorer's settings, sits in the clipboard viewer chain and builds the "新建" menu.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "desk/BaseDesk.h"
#include "app/NewItemMenu.h"
#include "app/core/host_pages.h"
#include "uilib/VxDialogBase.h"
#include "uilib/VxRaii.h"
#include "uilib/VxWorker.h"

class CMyDesk;
class CDialogRename;
class CDialogDragView;
class CDeskDropTarget;

// Private messages of the host window.
constexpr UINT WM_HOST_SETTINGS_CHANGED = WM_APP + 1;  // from the Explorer-settings watcher

class CBaseWnd : public CVxDialogBase, public CDeskOwner {
 public:
  // Page types (TheApp().currentView); 4 to 8 are the recommendation web pages.
  enum PageType { kPlain = 0, kDeskPage = 1, kMySitesPage = 2, kRecommendedPage = 3, kFirstWebPage = 4 };
  static constexpr int kDeskPageId = 5;
  static constexpr int kSlideStep = 100;  // pixels a sliding page moves per tick
  // Makes the page of a type on its first showing; null when it cannot be made. The host
  // makes the desk itself; the other types show only once a factory is set for them.
  using PageFactory = std::function<std::unique_ptr<CBaseDesk>(CBaseWnd& host, const HostPageInfo& page)>;

  CBaseWnd();
  ~CBaseWnd() override;

  // CDeskOwner
  HWND OwnerHwnd() const override { return m_hWnd; }
  void RequestRepaint() override;
  void ClearPendingSave() override { m_saveNeeded = FALSE; }
  void ShowMenu(int menuId, POINT screenPoint, int boxIndex) override;
  void BeginRename(GetZhiItem* box, const RECT& rect) override;
  void BeginEntryRename(VxListItem* entry, VxListCtrl* list, const RECT& screenRect,
                        BOOL singleLine) override;
  void EndRename() override;
  void RepaintNow() override;
  void UpdateDragView(DWORD effect, const std::wstring& target, BOOL openWith, POINT screenPoint) override;
  void HideDragView() override;
  CDialogRename* RenameEditor() const { return m_rename.get(); }
  CDialogDragView* DragView() const { return m_dragView.get(); }
  // The drop target registered for the window (null when OLE refused it).
  IDropTarget* DropTarget() const;

  void SetPageFactory(int type, PageFactory make);
  // Told after every page switch (the slide has started), with the new and the old type.
  using PageSwitchHandler = std::function<void(int type, int previous)>;
  void SetPageSwitchHandler(PageSwitchHandler handler) { m_onPageSwitch = std::move(handler); }
  void ShowPage(int type);
  void CallBackInvalidate() override;
  // The work area changed: new size, background and page rectangles.
  void RelayoutAll();
  static BOOL ReadHideDesktopIconValue(const wchar_t* name, DWORD* value);
  CMyDesk* Desk() const { return m_desk; }
  // The page of a type once it was made, else null.
  CBaseDesk* Page(int type) const;
  int CurrentPageId() const { return m_pageId; }
  // The page that shows (null on the plain desktop), and the same when it takes input.
  CBaseDesk* ShowingPage() const;
  CBaseDesk* InputPage() const;
  // The page rectangle of the current work area (owner client coordinates).
  static RECT WorkAreaPageRect();

  // Drag and drop over the window, for its drop target: each goes to the page that shows and
  // returns the effect that page would make (none without a page that takes input).
  DWORD DragEnter(IDataObject* data, DWORD keys, POINT client, DWORD allowed);
  DWORD DragOver(DWORD keys, POINT client, DWORD allowed);
  void DragLeave();
  DWORD Drop(IDataObject* data, DWORD keys, POINT client, DWORD allowed);

  // Timer bodies, callable directly by tests.
  void Tick();             // slide steps and batched redraw
  BOOL CheckWallpaper();   // TRUE when the wallpaper (or colour) changed
  void SaveIfNeeded();
  BOOL IsRedrawNeeded() const { return m_redrawNeeded; }
  BOOL IsSaveNeeded() const { return m_saveNeeded; }
  int BackgroundBuilds() const { return m_backgroundBuilds; }
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
  BOOL PreTranslateMessage(MSG* pMsg) override;

 private:
  void BuildBackground();
  void MakeSurfaces(int w, int h);
  void StoreWallpaper(const std::wstring& path);
  CBaseDesk* EnsurePage(int type);
  CBaseDesk* PageById(int pageId) const;
  void SlideTo(int pageId, bool animated);
  void EndDragOverPage();
  void DestroyPages();
  void EnsureTickTimer();
  void StartSettingsWatcher();
  void StopSettingsWatcher();
  static void SettingsWatcherLoop(VxWorkerJob<VxNoResult>& job);
  void RouteMouse(UINT msg, WPARAM wParam, LPARAM lParam);
  BOOL EnsureRenameEditor();
  BOOL IsPageKeyTarget(HWND target) const;

  std::wstring m_wallpaperPath;
  std::wstring m_wallpaperTime;
  COLORREF m_backColor = CLR_INVALID;
  VxMemDC m_frameDC, m_backDC;
  VxBitmap m_frameBmp, m_backBmp;
  void* m_frameBits = nullptr;
  void* m_backBits = nullptr;  // the background's pixels, laid out as the frame's
  int m_frameW = 0, m_frameH = 0;  // size the frame bitmap was made with
  HGDIOBJ m_frameOld = nullptr, m_backOld = nullptr;
  int m_cx = 0, m_cy = 0;
  int m_pageId = -1;
  std::unique_ptr<CBaseDesk> m_pages[kHostPageTypes];  // by page type; [0] stays empty
  PageFactory m_factories[kHostPageTypes];
  PageSwitchHandler m_onPageSwitch;
  CMyDesk* m_desk = nullptr;  // the desk page, m_pages[kDeskPage], once made
  CBaseDesk* m_dropPage = nullptr;  // the page a drag over the window is with
  VxComPtr<IDataObject> m_dragData;
  int m_backgroundBuilds = 0;
  std::unique_ptr<CDialogRename> m_rename;
  std::unique_ptr<CDialogDragView> m_dragView;
  VxComPtr<CDeskDropTarget> m_dropTarget;
  NewItemList m_newItems;  // items of the "新建" popup last shown
  BOOL m_drawnSincePaint = FALSE;
  BOOL m_redrawNeeded = FALSE;
  BOOL m_saveNeeded = FALSE;
  BOOL m_tickRunning = FALSE;
  HWND m_nextViewer = nullptr;
  BOOL m_inViewerChain = FALSE;
  VxWorker<> m_watcher;  // Explorer settings
};
