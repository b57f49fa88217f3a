#pragma once
// The desk page: the front the host window, the commands and the tests talk to. Three parts
// do the work: the model (boxes, their icons and files, kept in step with the desktop), input
// (pointer, presses, rubber bands, hover and tooltips) and painting (the page and its caches).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "desk/BaseDesk.h"
#include "desk/DeskDragDrop.h"
#include "desk/DeskFileOps.h"
#include "desk/DeskEntries.h"
#include "desk/DeskInput.h"
#include "desk/DeskModel.h"
#include "desk/DeskPainter.h"

class CMyDesk : public CBaseDesk {
 public:
  explicit CMyDesk(CDeskOwner* owner = nullptr);
  ~CMyDesk() override;

  CDeskModel& Model() { return m_model; }
  CDeskInput& Input() { return m_input; }
  CDeskPainter& Painter() { return m_painter; }
  CDeskFileOps& FileOps() { return m_fileOps; }
  CDeskDragDrop& DragDrop() { return m_drag; }

  // ---- model and files ----
  void SaveDesk() { m_model.SaveDesk(); }
  void LoadDesk() { m_model.LoadDesk(); }
  void ClearDesk() { m_model.ClearDesk(); }
  GetZhiItem* FindBoxByName(const std::wstring& name) const { return m_model.FindBoxByName(name); }
  static BOOL BoxNameExists(const std::wstring& name);
  BOOL IsShown(LPCITEMIDLIST pidl) const { return m_model.IsShown(pidl); }
  // Every entry's identifier list by its folded parsing name: a child whose name is not among
  // them is not shown, and one whose name is there is nearly always that entry, which spares
  // the identifier comparisons that make a scan of a large desktop quadratic.
  using ShownItems = CDeskModel::ShownItems;
  ShownItems ShownNames() const { return m_model.ShownNames(); }
  // IsShown for a listed child, with ShownNames as the quick answer.
  BOOL IsShownChild(const DesktopChild& child, const ShownItems& names) const {
    return m_model.IsShownChild(child, names);
  }

  // ---- scan and organize ----
  // Desk start: page rectangle from the work area, desk list set up, organize or load,
  // change notifications registered with the owner window.
  void StartDesk();
  void Organize(int repaint) { m_model.Organize(repaint); }
  void OnShellChange(LONG event, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) {
    m_model.OnShellChange(event, pidl1, pidl2);
  }
  // The owner window's handler of WM_DESK_SHELLCHANGE.
  void OnShellChangeMessage(WPARAM wParam, LPARAM lParam) {
    m_model.OnShellChangeMessage(wParam, lParam);
  }
  int SyncWithDesktop() { return m_model.SyncWithDesktop(); }
  void AddMissingItems(VxListCtrl* list) { m_model.AddMissingItems(list); }
  // The same over a listing the caller already made (a load lists the desktop once).
  void AddMissingItems(VxListCtrl* list, const std::vector<DesktopChild>& children) {
    m_model.AddMissingItems(list, children);
  }
  void PlaceItem(VxListCtrl* list, VxListItem* entry, int x, int y) {
    m_model.PlaceItem(list, entry, x, y);
  }
  int BuildEntry(LPCITEMIDLIST pidl, VxListItem* entry, int check) {
    return m_model.BuildEntry(pidl, entry, check);
  }
  // The same for a child whose names the listing already read.
  int BuildEntry(const DesktopChild& child, VxListItem* entry, int check) {
    return m_model.BuildEntry(child, entry, check);
  }

  // ---- the work area changed ----
  // Boxes and the desk list move onto `newPageRect`, keeping their places relative to its
  // top-left corner and staying wholly inside it. Each box remembers where the user put it,
  // so growing the work area back returns every box exactly there; that place is what is
  // saved, so a restart on a small screen loses nothing either.
  void FollowWorkArea(const RECT& newPageRect);

  // ---- commands ----
  void OrganizeIcons() { m_model.OrganizeIcons(); }            // "整理图标"
  GetZhiItem* NewBox(POINT at) { return m_model.NewBox(at); }  // "新建桌面分类"
  // "还原桌面" after the user agreed: every box goes, the desktop is classified afresh.
  void RestoreDesk() { m_model.RestoreDesk(); }
  void Refresh() { m_model.Refresh(); }  // "刷新"
  // Sorts the box (or the desk list when box is null) by a key of DeskSortKey.
  void SortList(int key, GetZhiItem* box = nullptr) { m_model.SortList(key, box); }
  void SetDefaultIcons() { m_model.SetDefaultIcons(); }        // "默认图标"
  void SetSmallIcons() { m_model.SetSmallIcons(); }            // "小图标"
  void ToggleAutoArrange() { m_model.ToggleAutoArrange(); }    // "自动排列"
  void ToggleDblClickHide() { m_model.ToggleDblClickHide(); }  // "双击隐藏图标"

  // ---- boxes ----
  void LayoutBox(GetZhiItem* box, BOOL resetListRect) { m_model.LayoutBox(box, resetListRect); }
  void SetActiveBox(GetZhiItem* box) { m_model.SetActiveBox(box); }
  GetZhiItem* ActiveBox() const { return m_model.ActiveBox(); }
  GetZhiItem* BoxOfList(const VxListCtrl* list) const { return m_model.BoxOfList(list); }
  int IndexOfBox(const GetZhiItem* box) const { return m_model.IndexOfBox(box); }
  // The part of a box its list shows in (page coordinates).
  static RECT BoxListArea(const GetZhiItem* box) { return CDeskModel::BoxListArea(box); }
  // The box the last menu was opened on (TheApp().desk.interaction.box), null for the desk.
  GetZhiItem* MenuBox() const { return m_model.MenuBox(); }

  // ---- the host window's page hooks ----
  BOOL OnPageMouse(UINT message, WPARAM wParam, POINT point) override;
  void OnPageTimer(UINT_PTR id) override;
  void OnPageDeactivate() override { OnMouseLeave(); }
  // The desk's keys (Control+A/C/X/V/D, Delete, F2, F5, arrows).
  BOOL OnPageKey(const MSG& msg) override;
  void OnWorkAreaChanged(const RECT& pageRect) override { FollowWorkArea(pageRect); }
  void OnPageDragEnter(IDataObject* data, DWORD keys, POINT point, DWORD* effect) override {
    *effect = m_drag.DragEnter(data, keys, point, *effect);
  }
  void OnPageDragOver(DWORD keys, POINT point, DWORD* effect) override {
    *effect = m_drag.DragOver(keys, point, *effect);
  }
  void OnPageDragLeave() override { m_drag.DragLeave(); }
  void OnPageDrop(IDataObject* data, DWORD keys, POINT point, DWORD* effect) override {
    *effect = m_drag.Drop(data, keys, point, *effect);
  }
  // The selection of `list` leaves as files by OLE drag and drop (the press became a drag).
  void StartDrag(VxListCtrl* list) { m_drag.StartDrag(list); }

  // ---- drawing ----
  void Draw(Gdiplus::Graphics& g, int width, int height) override;
  // The boxes' cached images go straight into the frame's memory.
  void DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height) override;
  void DrawOverBackdrop(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height,
                        const PageBackdrop& backdrop) override;
  void ReleaseSlideResources() override;
  // Entries never drawn before were left for the next frames (each frame draws them for a
  // limited time, so a big desk shows at once and fills in).
  bool FillingIn() const;
  // The frame and title of a box at the origin of `g`.
  void DrawBoxChrome(Gdiplus::Graphics& g, GetZhiItem* box, int width, int height) {
    m_painter.DrawBoxChrome(g, box, width, height);
  }
  void SetDrawTimes(DeskDrawTimes* times) { m_painter.SetDrawTimes(times); }

  // ---- box input; points are page (owner client) coordinates ----
  // Hit code of DeskBoxHit; sets the pointer shape when asked and the box is not fixed.
  int HitTestBox(GetZhiItem* box, POINT pt, BOOL setCursor) {
    return m_input.HitTestBox(box, pt, setCursor);
  }
  // Each returns TRUE when the desk took the event.
  BOOL OnLButtonDown(POINT pt) { return PrepareForInput(), m_input.OnLButtonDown(pt); }
  BOOL OnMouseMove(POINT pt) { return PrepareForInput(), m_input.OnMouseMove(pt); }
  BOOL OnLButtonUp(POINT pt) { return PrepareForInput(), m_input.OnLButtonUp(pt); }
  BOOL OnRButtonDown(POINT pt) { return PrepareForInput(), m_input.OnRButtonDown(pt); }
  // Opens the shell menu of an entry, or a box or desk menu through the owner.
  BOOL OnRButtonUp(POINT pt) { return PrepareForInput(), m_input.OnRButtonUp(pt); }
  // Opens an entry; on empty desk with dblClickHide hides or shows all icons.
  BOOL OnLButtonDblClk(POINT pt) { return PrepareForInput(), m_input.OnLButtonDblClk(pt); }
  BOOL OnMouseWheel(short delta, POINT pt) {
    return PrepareForInput(), m_input.OnMouseWheel(delta, pt);
  }
  void OnMouseLeave() { m_input.OnMouseLeave(); }
  // Host timer 1008 (every 100 ms): new-entry flashes fade.
  void OnTimer1008();
  // Shows or hides the desk list and every box together.
  void SetIconsHidden(BOOL hidden) { m_model.SetIconsHidden(hidden); }

  // ---- box commands (the box is usually MenuBox()) ----
  void StartRenameBox(GetZhiItem* box) { m_input.StartRenameBox(box); }  // "重命名"
  // The rename editor closed with `edited`: a new, unique name, or nothing for empty text.
  void ApplyBoxRename(GetZhiItem* box, const std::wstring& edited) {
    m_model.RenameBox(box, edited, m_input.RenameBefore());
  }
  void ToggleListDisplay(GetZhiItem* box) { m_model.ToggleListDisplay(box); }  // "列表显示"
  void ToggleFixedPos(GetZhiItem* box) { m_model.ToggleFixedPos(box); }        // "固定位置"
  // "删除分类" once the user agreed: the icons go to the desk list, the files stay.
  void RemoveBox(GetZhiItem* box) { m_model.RemoveBox(box); }

  // ---- file operations ----
  void OpenEntry(VxListItem* entry) { DeskOpenEntry(entry, nullptr, &m_model); }
  void ShowItemMenu(VxListItem* entry, POINT screen) { m_fileOps.ShowItemMenu(entry, screen); }
  void SelectAll() { m_fileOps.SelectAll(); }
  void CopySelection(BOOL asCopy) { m_fileOps.CopySelection(asCopy); }
  // The clipboard changed (the owner sits in the viewer chain): its files and effect.
  void ReadClipboard() { m_fileOps.ReadClipboard(); }
  void PasteFiles() { m_fileOps.PasteFiles(); }                         // "粘帖"
  void PasteShortcuts() { m_fileOps.PasteShortcuts(ClipboardFiles()); }  // "粘帖快捷方式"
  void DeleteSelection(BOOL permanent) { m_fileOps.DeleteSelection(permanent); }
  void BeginRename() { m_fileOps.BeginRename(); }
  // The rename editor closed on an entry with `typed` (the name was `before`). A name that
  // cannot be a file name is refused: the entry keeps its name and the reason shows below
  // `screenRect`; FALSE then.
  BOOL ApplyEntryRename(VxListItem* entry, VxListCtrl* list, const std::wstring& typed,
                        const std::wstring& before, const RECT& screenRect);
  // The box's name unless it cannot be kept in files; FALSE when refused (reason shown).
  BOOL ApplyBoxRenameChecked(GetZhiItem* box, const std::wstring& edited, const RECT& screenRect);
  std::wstring UniqueFileName(const std::wstring& base, const std::wstring& ext) const {
    return m_fileOps.UniqueFileName(base, ext);
  }

  // State of the current press, for drawing and for the drag code.
  BOOL PressPending() const { return m_input.PressPending(); }
  const RECT& BandRect() const { return m_input.BandRect(); }
  BOOL DeskBanding() const { return m_input.DeskBanding(); }
  // The list and point of a press on a selected entry (a drag may start there).
  VxListCtrl* DragCandidate(POINT* at) const { return m_input.DragCandidate(at); }
  const std::wstring& RenameBefore() const { return m_input.RenameBefore(); }
  HWND Tooltip() const { return m_input.Tooltip(); }

  // ---- pending drop (set while something is dragged over the desk) ----
  void SetPendingDrop(GetZhiItem* box, int index, POINT deskPoint, BOOL onDeskList) {
    m_model.SetPendingDrop(box, index, deskPoint, onDeskList);
  }
  void ClearPendingDrop() { m_model.ClearPendingDrop(); }

  VxListCtrl& DeskList() { return m_model.DeskList(); }
  const DeskBoxes& Boxes() const { return m_model.Boxes(); }
  ShellDesktop& Shell() { return m_model.Shell(); }
  BOOL IconsHidden() const { return m_model.IconsHidden(); }
  BOOL PasteIsCopy() const { return m_model.PasteIsCopy(); }
  const std::vector<std::wstring>& ClipboardFiles() const { return m_model.ClipboardFiles(); }
  void SetPageRect(const RECT& r) { m_pageRect = r; }

 private:
  // What goes over the page however it was drawn: the drop marker; and more frames while
  // entries are still to draw.
  void FinishDrawing(Gdiplus::Graphics& g);
  // Input can hover, press or focus an entry: the painter's highlights must be loaded first.
  void PrepareForInput();

  CDeskModel m_model;
  CDeskInput m_input;
  CDeskPainter m_painter;
  CDeskFileOps m_fileOps;
  CDeskDragDrop m_drag;
  int m_ticksSinceFirstFrame = 0;
};
