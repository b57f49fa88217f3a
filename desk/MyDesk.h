#pragma once
// The desk page: the desk list (icons in no box) and the boxes (格子), kept in step with
// the desktop shell folder, sorted into boxes by the organize rules, and saved in the data
// folder. Works with or without an owner window.
#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "desk/BaseDesk.h"
#include "desk/ShellItems.h"
#include "uilib/VxListCtrl.h"
#include "desk/core/desk_records.h"
#include "uilib/core/vx_blend.h"
#include "desk/core/desk_sort.h"

// What the desk keeps in an entry's caller words.
enum DeskEntryWord { kEntryKind = 0, kEntryFlash = 1, kEntryOrder = 2 };

// Message the shell's change notifications arrive with at the owner window.
constexpr UINT WM_DESK_SHELLCHANGE = WM_USER + 201;

// One box.
struct GetZhiItem {
  std::wstring name = L"新分类";
  RECT rect{0, 0, 0, 0};
  int active = 0;
  int titleHit = 0;
  POINT downPoint{0, 0};
  VxListCtrl list;
  int kind = 0;
  // The list's rendering, its whole content; dropped whenever what the list shows changes.
  std::unique_ptr<VxPixelImage> cache;
  int scroll = 0;
  int fixedPos = 0;
  int shown = 1;
  // Display state of the box (box input and drawing).
  int thumbPos = 0;
  int thumbLen = 0;
  int viewHeight = 0;
  int hoverBox = 0;    // the mouse is over the box
  int hoverTitle = 0;  // ... over its title
  int hoverMenu = 0;   // ... over its menu button
  int banding = 0;     // a rubber band runs inside the box
  int skinned = 0;     // the list has its highlight images
  // The frame and the shadowed title, rendered once per size, state and name: the page is
  // drawn many times a second while boxes move, and these change rarely.
  std::unique_ptr<VxPixelImage> chromeCache;
  std::wstring chromeName;
  int chromeW = 0, chromeH = 0, chromeActive = -1;
};

// Milliseconds the page drawing spent in each part, summed over every frame drawn while a
// benchmark lends the desk this record (SetDrawTimes); nothing is timed without one.
struct DeskDrawTimes {
  double boxFrames = 0;    // frames and titles of the boxes
  double boxLists = 0;     // the boxes' lists
  double boxControls = 0;  // scroll thumbs and menu buttons
  double flashes = 0;      // highlights of new entries, in boxes and on the desk list
  double deskList = 0;     // the desk list with its resting cells, and the rubber band
  double rebuilds = 0;     // cached images made again (included in the parts above)
  int frames = 0;
};

struct DeskDrawResources;
class DeskCanvas;
struct DeskDrawResourcesDeleter {
  void operator()(DeskDrawResources* r) const;
};

class CMyDesk : public CBaseDesk {
 public:
  explicit CMyDesk(CDeskOwner* owner = nullptr);
  ~CMyDesk() override;

  // ---- model and files ----
  void SaveDesk();
  void LoadDesk();
  void ClearDesk();
  GetZhiItem* FindBoxByName(const std::wstring& name) const;
  static BOOL BoxNameExists(const std::wstring& name);
  BOOL IsShown(LPCITEMIDLIST pidl) const;
  // Every entry's identifier list by its folded parsing name: a child whose name is not among
  // them is not shown, and one whose name is there is nearly always that entry, which spares
  // the identifier comparisons that make a scan of a large desktop quadratic.
  using ShownItems = std::unordered_multimap<std::u16string, LPCITEMIDLIST>;
  ShownItems ShownNames() const;
  // IsShown for a listed child, with ShownNames as the quick answer.
  BOOL IsShownChild(const DesktopChild& child, const ShownItems& names) const;

  // ---- scan and organize ----
  // Desk start: page rectangle from the work area, desk list set up, organize or load,
  // change notifications registered with the owner window.
  void StartDesk();
  void Organize(int repaint);
  void OnShellChange(LONG event, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2);
  // The owner window's handler of WM_DESK_SHELLCHANGE.
  void OnShellChangeMessage(WPARAM wParam, LPARAM lParam);
  int SyncWithDesktop();
  void AddMissingItems(VxListCtrl* list);
  // The same over a listing the caller already made (a load lists the desktop once).
  void AddMissingItems(VxListCtrl* list, const std::vector<DesktopChild>& children);
  void PlaceItem(VxListCtrl* list, VxListItem* entry, int x, int y);
  int BuildEntry(LPCITEMIDLIST pidl, VxListItem* entry, int check);
  // The same for a child whose names the listing already read.
  int BuildEntry(const DesktopChild& child, VxListItem* entry, int check);

  // ---- commands ----
  void OrganizeIcons();                      // "整理图标"
  GetZhiItem* NewBox(POINT at);              // "新建桌面分类"
  // "还原桌面" after the user agreed: every box goes, the desktop is classified afresh.
  void RestoreDesk();
  void Refresh();                            // "刷新"
  // Sorts the box (or the desk list when box is null) by a key of DeskSortKey.
  void SortList(int key, GetZhiItem* box = nullptr);
  void SetDefaultIcons();                    // "默认图标"
  void SetSmallIcons();                      // "小图标"
  void ToggleAutoArrange();                  // "自动排列"
  void ToggleDblClickHide();                 // "双击隐藏图标"

  // ---- boxes ----
  void LayoutBox(GetZhiItem* box, BOOL resetListRect);
  void SetActiveBox(GetZhiItem* box);
  GetZhiItem* ActiveBox() const;
  GetZhiItem* BoxOfList(const VxListCtrl* list) const;
  int IndexOfBox(const GetZhiItem* box) const;
  // The part of a box its list shows in (page coordinates).
  static RECT BoxListArea(const GetZhiItem* box);
  // The box the last menu was opened on (TheApp().desk.interaction.box), null for the desk.
  GetZhiItem* MenuBox() const;

  // ---- the host window's page hooks (MyDeskPage.cpp) ----
  BOOL OnPageMouse(UINT message, WPARAM wParam, POINT point) override;
  void OnPageTimer(UINT_PTR id) override;
  void OnPageDeactivate() override { OnMouseLeave(); }

  // ---- drawing (MyDeskDraw.cpp) ----
  void Draw(Gdiplus::Graphics& g, int width, int height) override;
  // The boxes' cached images go straight into the frame's memory.
  void DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height) override;
  // The frame and title of a box at the origin of `g`.
  void DrawBoxChrome(Gdiplus::Graphics& g, GetZhiItem* box, int width, int height);
  void SetDrawTimes(DeskDrawTimes* times) { m_times = times; }

  // ---- box input (MyDeskInput.cpp); points are page (owner client) coordinates ----
  // Hit code of DeskBoxHit; sets the pointer shape when asked and the box is not fixed.
  int HitTestBox(GetZhiItem* box, POINT pt, BOOL setCursor);
  // Each returns TRUE when the desk took the event.
  BOOL OnLButtonDown(POINT pt);
  BOOL OnMouseMove(POINT pt);
  BOOL OnLButtonUp(POINT pt);
  BOOL OnRButtonDown(POINT pt);
  // Opens the shell menu of an entry, or a box or desk menu through the owner.
  BOOL OnRButtonUp(POINT pt);
  // Opens an entry; on empty desk with dblClickHide hides or shows all icons.
  BOOL OnLButtonDblClk(POINT pt);
  BOOL OnMouseWheel(short delta, POINT pt);
  void OnMouseLeave();
  // Host timer 1008 (every 100 ms): new-entry flashes fade.
  void OnTimer1008();
  // Shows or hides the desk list and every box together.
  void SetIconsHidden(BOOL hidden);

  // ---- box commands (the box is usually MenuBox()) ----
  void StartRenameBox(GetZhiItem* box);                               // "重命名"
  // The rename editor closed with `edited`: a new, unique name, or nothing for empty text.
  void ApplyBoxRename(GetZhiItem* box, const std::wstring& edited);
  void ToggleListDisplay(GetZhiItem* box);                            // "列表显示"
  void ToggleFixedPos(GetZhiItem* box);                               // "固定位置"
  // "删除分类" once the user agreed: the icons go to the desk list, the files stay.
  void RemoveBox(GetZhiItem* box);

  // State of the current press, for drawing and for the drag code.
  BOOL PressPending() const { return m_pressPending; }
  const RECT& BandRect() const { return m_band; }
  BOOL DeskBanding() const { return m_deskBanding; }
  // The list and point of a press on a selected entry (a drag may start there).
  VxListCtrl* DragCandidate(POINT* at) const;
  const std::wstring& RenameBefore() const { return m_renameBefore; }
  HWND Tooltip() const { return m_tooltip; }

  // ---- pending drop (set while something is dragged over the desk) ----
  void SetPendingDrop(GetZhiItem* box, int index, POINT deskPoint, BOOL onDeskList);
  void ClearPendingDrop();

  VxListCtrl& DeskList() { return m_deskList; }
  const std::vector<std::unique_ptr<GetZhiItem>>& Boxes() const { return m_boxes; }
  ShellDesktop& Shell() { return m_shell; }
  BOOL IconsHidden() const { return m_iconsHidden; }
  BOOL PasteIsCopy() const { return m_pasteIsCopy; }
  const std::vector<std::wstring>& ClipboardFiles() const { return m_clipboardFiles; }
  void SetPageRect(const RECT& r) { m_pageRect = r; }

 protected:
  GetZhiItem* AddBox(std::unique_ptr<GetZhiItem> box);
  void SetupBoxList(GetZhiItem* box, int listType);
  void PlaceDeskList();
  void ResolveInto(VxListCtrl* list, const std::vector<DeskItemRecord>& records, bool deskList,
                   const std::vector<DesktopChild>& children);
  VxListItem* FindEntry(LPCITEMIDLIST pidl, VxListCtrl** owner) const;
  void RelayoutList(VxListCtrl* list, bool gridForDeskList);
  std::vector<VxListCtrl*> AllLists();
  const std::wstring* TargetBoxNameFor(int kind) const;
  void SaveConfigNowOrLater();
  void RegisterShellNotify();
  int FillEntry(LPCITEMIDLIST pidl, const std::wstring& display, const std::wstring& parse,
                VxListItem* entry);
  // True for the desktop's own items (and its folders), not for what lies deeper.
  bool IsDesktopLevel(LPCITEMIDLIST pidl) const;

  // Box input helpers (MyDeskInput.cpp).
  GetZhiItem* TopBoxAt(POINT pt) const;
  void RaiseBox(GetZhiItem* box);
  void MoveBoxBy(GetZhiItem* box, int dx, int dy);
  VxListItem* PressList(VxListCtrl* list, POINT listPoint);
  void ReleaseList(VxListCtrl* list, POINT listPoint);
  void ClearAllSelections();
  void UpdateBand(POINT pt);
  BOOL UpdateHover(POINT pt);
  void ShowTipFor(VxListItem* entry, GetZhiItem* box);
  void EnsureTooltip();
  VxListItem* EntryAt(POINT pt, VxListCtrl** list, GetZhiItem** box) const;
  // Drawing helpers (MyDeskDraw.cpp).
  void LoadDrawResources();
  void DrawPage(DeskCanvas& canvas);
  void DrawBox(DeskCanvas& canvas, GetZhiItem* box);
  void DrawFlashes(DeskCanvas& canvas, VxListCtrl& list, GetZhiItem* box);
  void DrawRestingCells(DeskCanvas& canvas);
  void SkinList(VxListCtrl& list);

  std::unique_ptr<DeskDrawResources, DeskDrawResourcesDeleter> m_draw;
  DeskDrawTimes* m_times = nullptr;
  BOOL m_deskSkinned = FALSE;
  BOOL m_pressPending = FALSE;
  BOOL m_boxChanged = FALSE;  // the pressed box moved or changed size
  BOOL m_deskBanding = FALSE;
  POINT m_bandStart{0, 0};
  RECT m_band{0, 0, 0, 0};
  VxListCtrl* m_dragList = nullptr;
  POINT m_dragFrom{0, 0};
  HWND m_tooltip = nullptr;
  std::wstring m_renameBefore;

  VxListCtrl m_deskList;
  std::vector<std::unique_ptr<GetZhiItem>> m_boxes;
  ShellDesktop m_shell;
  BOOL m_iconsHidden = FALSE;
  BOOL m_pasteIsCopy = FALSE;
  std::vector<std::wstring> m_clipboardFiles;
  DeskSortDirections m_sortDirections;
  ULONG m_notifyId = 0;
  BOOL m_reloadOnAssocChange = FALSE;

  // Drop placement of the drag-and-drop code.
  GetZhiItem* m_dropBox = nullptr;
  int m_dropIndex = -1;
  POINT m_dropPoint{-1, -1};
  BOOL m_dropOnDeskList = FALSE;

  // Saving the view record after each placed item is deferred while a batch places many.
  int m_batchDepth = 0;
  BOOL m_configDirty = FALSE;
  friend class DeskBatch;
};

// Places many items with one view-record save at the end.
class DeskBatch {
 public:
  explicit DeskBatch(CMyDesk* desk) : desk_(desk) { ++desk_->m_batchDepth; }
  ~DeskBatch();
  DeskBatch(const DeskBatch&) = delete;
  DeskBatch& operator=(const DeskBatch&) = delete;

 private:
  CMyDesk* desk_;
};
