#pragma once
// The desk's model: the desk list (icons in no box) and the boxes (格子), kept in step with the
// desktop shell folder, sorted into boxes by the organize rules, and saved in the data folder.
// Works with or without an owner window; the desk page (CMyDesk) is its front.
#include <windows.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "desk/DeskChangeWatch.h"
#include "desk/ShellItems.h"
#include "desk/core/desk_page.h"
#include "desk/core/desk_records.h"
#include "desk/core/desk_sort.h"
#include "uilib/VxListCtrl.h"
#include "uilib/core/vx_blend.h"

class CMyDesk;

// What the desk keeps in an entry's caller words.
enum DeskEntryWord { kEntryKind = 0, kEntryFlash = 1, kEntryOrder = 2 };

// Posted to the owner window when the shell's change notifications wait to be applied.
constexpr UINT WM_DESK_SHELLCHANGE = WM_USER + 201;

// One box.
struct GetZhiItem {
  std::wstring name = L"新分类";
  RECT rect{0, 0, 0, 0};  // where it shows now
  int active = 0;
  int titleHit = 0;
  POINT downPoint{0, 0};
  VxListCtrl list;
  int kind = 0;
  // The list's rendering around the rows in view (content rows cacheTop on, cache's height);
  // dropped whenever what the list shows changes, made again when the view leaves it. A box
  // of a thousand entries rendered whole cost a second at start and at each hover.
  std::unique_ptr<VxPixelImage> cache;
  int cacheTop = 0;
  // The rendering left out entries never drawn before (the frame's budget for them ran out):
  // it is made again on the next frame.
  bool cachePartial = false;
  int scroll = 0;
  int fixedPos = 0;
  int shown = 1;
  // Where the user wants the box relative to the page corner, kept apart from `rect` while
  // a small work area holds it elsewhere.
  DeskPlace place;
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
  // The scroll thumb as rendered where it lies, in the state it shows: drawn through GDI+ each
  // frame it cost more than the rest of the box.
  std::unique_ptr<VxPixelImage> thumbCache;
  RECT thumbCacheAt{0, 0, 0, 0};
  int thumbCacheState = -1;
};

using DeskBoxes = std::vector<std::unique_ptr<GetZhiItem>>;

// Where an item dragged over the desk would land (set by the drag-and-drop code).
struct DeskPendingDrop {
  GetZhiItem* box = nullptr;
  int index = -1;
  POINT point{-1, -1};
  BOOL onDeskList = FALSE;
};

class CDeskModel {
 public:
  explicit CDeskModel(CMyDesk& desk);
  ~CDeskModel();
  CDeskModel(const CDeskModel&) = delete;
  CDeskModel& operator=(const CDeskModel&) = delete;
  // The desk is going: saved when it holds anything, notifications ended, emptied.
  void Close();

  // ---- files ----
  void SaveDesk();
  void LoadDesk();
  void ClearDesk();

  // ---- lookups ----
  GetZhiItem* FindBoxByName(const std::wstring& name) const;
  BOOL IsShown(LPCITEMIDLIST pidl) const;
  using ShownItems = std::unordered_multimap<std::u16string, LPCITEMIDLIST>;
  ShownItems ShownNames() const;
  BOOL IsShownChild(const DesktopChild& child, const ShownItems& names) const;
  VxListItem* FindEntry(LPCITEMIDLIST pidl, VxListCtrl** owner) const;
  std::vector<VxListCtrl*> AllLists();
  GetZhiItem* BoxOfList(const VxListCtrl* list) const;
  int IndexOfBox(const GetZhiItem* box) const;
  GetZhiItem* ActiveBox() const;
  void SetActiveBox(GetZhiItem* box);
  GetZhiItem* MenuBox() const;
  // The topmost shown box under a page point; null over the bare desk or with icons hidden.
  GetZhiItem* BoxAt(POINT pt) const;
  // The entry under a page point in the list that shows there; `list` and `box` receive that
  // list and its box (null for the desk list) even when no entry is hit.
  VxListItem* EntryAt(POINT pt, VxListCtrl** list, GetZhiItem** box) const;
  static RECT BoxListArea(const GetZhiItem* box);
  // Entries of a box lie unscrolled in its list; the page shows them `scroll` pixels higher.
  static POINT ToListPoint(const GetZhiItem* box, POINT pt);

  // ---- scan and organize ----
  void StartDesk();
  void Organize(int repaint);
  void OnShellChange(LONG event, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2);
  // The owner window's message that notifications wait (see CDeskChangeWatch). Each event
  // is applied at once; the scan that follows events (new items, lost items) runs once the
  // burst is over, so a shell operation on a thousand files costs one scan, not a thousand.
  void OnShellChangeMessage(WPARAM wParam, LPARAM lParam);
  // The scan after a burst of events, when one is due.
  void FlushShellChanges();
  int SyncWithDesktop();
  int SyncWithDesktop(const std::vector<DesktopChild>& children);
  void AddMissingItems(VxListCtrl* list);
  void AddMissingItems(VxListCtrl* list, const std::vector<DesktopChild>& children);
  void PlaceItem(VxListCtrl* list, VxListItem* entry, int x, int y);
  int BuildEntry(LPCITEMIDLIST pidl, VxListItem* entry, int check);
  int BuildEntry(const DesktopChild& child, VxListItem* entry, int check);

  // ---- commands ----
  void OrganizeIcons();
  GetZhiItem* NewBox(POINT at);
  void RestoreDesk();
  void Refresh();
  void SortList(int key, GetZhiItem* box);
  void SetDefaultIcons();
  void SetSmallIcons();
  void ToggleAutoArrange();
  void ToggleDblClickHide();
  void SetIconsHidden(BOOL hidden);
  // New entries' flashes fade by one step; true while any still flashes.
  bool FadeFlashes();

  // ---- boxes ----
  void LayoutBox(GetZhiItem* box, BOOL resetListRect);
  void MoveBoxBy(GetZhiItem* box, int dx, int dy);
  void RaiseBox(GetZhiItem* box);
  // `edited` replaces the name `before` the editor opened with, made unique; blank text or
  // the old name change nothing.
  void RenameBox(GetZhiItem* box, const std::wstring& edited, const std::wstring& before);
  void ToggleListDisplay(GetZhiItem* box);
  void ToggleFixedPos(GetZhiItem* box);
  void RemoveBox(GetZhiItem* box);
  // Clears the selection of every list; boxes whose selection changed drop their rendering.
  void ClearAllSelections();

  // ---- the page follows the work area ----
  // Moves boxes and the desk list from the page rectangle they were laid out on to
  // `newPage`, each kept inside it at its wanted place relative to the corner.
  void FollowPage(const RECT& newPage);
  // The place a box wants, on the current page (what is saved).
  RECT WantedRect(const GetZhiItem* box) const;

  // ---- pending drop ----
  void SetPendingDrop(GetZhiItem* box, int index, POINT deskPoint, BOOL onDeskList);
  void ClearPendingDrop();
  const DeskPendingDrop& PendingDrop() const { return m_drop; }
  // A scan after a burst of shell events is still to come.
  BOOL ShellSyncPending() const { return m_shellSyncPending; }

  VxListCtrl& DeskList() { return m_deskList; }
  const VxListCtrl& DeskList() const { return m_deskList; }
  const DeskBoxes& Boxes() const { return m_boxes; }
  ShellDesktop& Shell() { return m_shell; }
  BOOL IconsHidden() const { return m_iconsHidden; }
  BOOL PasteIsCopy() const { return m_pasteIsCopy; }
  const std::vector<std::wstring>& ClipboardFiles() const { return m_clipboardFiles; }
  void SetClipboard(std::vector<std::wstring> files, BOOL pasteIsCopy) {
    m_clipboardFiles = std::move(files);
    m_pasteIsCopy = pasteIsCopy;
  }
  // A new item was made: the next association change reloads the desk.
  void ReloadOnNextAssocChange() { m_reloadOnAssocChange = TRUE; }

 private:
  friend class DeskBatch;
  HWND OwnerHwnd() const;
  void RequestRepaint();
  const RECT& PageRect() const;
  GetZhiItem* AddBox(std::unique_ptr<GetZhiItem> box);
  void SetupBoxList(GetZhiItem* box, int listType);
  void PlaceDeskList();
  void ResolveInto(VxListCtrl* list, const std::vector<DeskItemRecord>& records, bool deskList,
                   const std::vector<DesktopChild>& children);
  void RelayoutList(VxListCtrl* list, bool gridForDeskList);
  const std::wstring* TargetBoxNameFor(int kind) const;
  void SaveConfigNowOrLater();
  void LayoutBoxNowOrLater(GetZhiItem* box);
  void LayoutPendingBoxes();
  void RegisterShellNotify();
  int FillEntry(LPCITEMIDLIST pidl, const std::wstring& display, const std::wstring& parse,
                VxListItem* entry);
  bool IsDesktopLevel(LPCITEMIDLIST pidl) const;
  bool IsDesktopDirectory(LPCITEMIDLIST pidl) const;
  GetZhiItem* OrganizeBoxFor(int kind);
  void FollowDeskListCells(const RECT& oldArea, const RECT& newArea);
  // Where a desk-list cell wants to be, relative to the list's corner (what is saved).
  VxRc WantedCell(const VxListItem* e, const RECT& listArea) const;

  void ApplyShellEvent(LONG event, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2);
  void ScheduleShellSync();
  void StopShellSync();
  static void CALLBACK ShellSyncTimer(HWND, UINT, UINT_PTR id, DWORD);

  CMyDesk& m_desk;
  VxListCtrl m_deskList;
  DeskBoxes m_boxes;
  ShellDesktop m_shell;
  BOOL m_iconsHidden = FALSE;
  BOOL m_pasteIsCopy = FALSE;
  std::vector<std::wstring> m_clipboardFiles;
  DeskSortDirections m_sortDirections;
  CDeskChangeWatch m_watch;
  std::vector<std::wstring> m_desktopDirs;  // the Desktop directories' paths
  mutable std::unordered_set<std::string> m_desktopDirIds;  // identifier lists of those
  BOOL m_reloadOnAssocChange = FALSE;
  DeskPendingDrop m_drop;
  BOOL m_shellSyncPending = FALSE;
  UINT_PTR m_shellSyncTimer = 0;
  DWORD m_lastFlushMs = 0;  // what the last flush of shell events cost
  // Wanted places of desk-list cells that a small page holds elsewhere (free placement only).
  std::unordered_map<const VxListItem*, DeskPlace> m_cellPlaces;

  // Saving the view record after each placed item is deferred while a batch places many.
  int m_batchDepth = 0;
  BOOL m_configDirty = FALSE;
  std::vector<GetZhiItem*> m_layoutPending;  // boxes to lay out when the batch ends
};

// Places many items with one view-record save at the end.
class DeskBatch {
 public:
  explicit DeskBatch(CDeskModel* model) : model_(model) { ++model_->m_batchDepth; }
  ~DeskBatch();
  DeskBatch(const DeskBatch&) = delete;
  DeskBatch& operator=(const DeskBatch&) = delete;

 private:
  CDeskModel* model_;
};
