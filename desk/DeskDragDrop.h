#pragma once
// Drag and drop on the desk. Selected entries leave by OLE drag and drop as files (with a
// drag image and ghosts of the entries left behind); whatever is dragged over the page is
// tracked box by box with an insertion marker between entries, and a drop either rearranges
// the desk's own entries (no file touched), opens a program with the files, or copies,
// moves or links the files through the shell. Points are page (owner client) coordinates.
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <vector>

#include "desk/DeskModel.h"
#include "desk/core/desk_drag.h"
#include "uilib/VxGdiplus.h"

class CDeskFileOps;

class CDeskDragDrop {
 public:
  CDeskDragDrop(CMyDesk& desk, CDeskModel& model, CDeskFileOps& fileOps);
  ~CDeskDragDrop();
  CDeskDragDrop(const CDeskDragDrop&) = delete;
  CDeskDragDrop& operator=(const CDeskDragDrop&) = delete;

  // The selected entries of `list` leave as files; returns once the drag is over (the
  // system runs its own loop meanwhile).
  void StartDrag(VxListCtrl* list);

  // The drop target's operations, already routed to the desk page.
  DWORD DragEnter(IDataObject* data, DWORD keys, POINT pt, DWORD allowed);
  DWORD DragOver(DWORD keys, POINT pt, DWORD allowed);
  void DragLeave();
  DWORD Drop(IDataObject* data, DWORD keys, POINT pt, DWORD allowed);

  // Desk timer 1008: a drop's place is held for the items its shell operation brings.
  void OnTick();

  // The insertion marker over the drawn page.
  void DrawMarker(Gdiplus::Graphics& g);

  BOOL Dragging() const { return m_dragging; }
  GetZhiItem* DropBox() const { return m_dropBox; }
  int DropIndex() const { return m_dropIndex; }
  VxListItem* DropItem() const { return m_dropItem; }
  const RECT& InsertMark() const { return m_insertMark; }

 private:
  void ResetDropState();
  // The gap or entry of `list` under `pt`; TRUE when one was found (the search stops).
  BOOL TrackList(VxListCtrl& list, GetZhiItem* box, POINT pt, RECT* mark);
  void Track(POINT pt);
  DeskOpenWith OpenWithInfo(DWORD effect) const;
  void ClearGhosts();
  void HoldDropPlace();
  void SetMarker(const RECT& mark);
  void Rearrange();
  void OpenWith(const std::vector<std::wstring>& paths);
  IDataObject* MakeDragData(const std::vector<VxListItem*>& entries);
  void SetDragImage(IDataObject* data, const std::vector<VxListItem*>& entries);

  CMyDesk& m_desk;
  CDeskModel& m_model;
  CDeskFileOps& m_fileOps;

  BOOL m_dragging = FALSE;     // a drag that started on the desk runs
  BOOL m_dragStarted = FALSE;  // ghosts to clear at the release
  std::vector<VxListItem*> m_dragItems;
  VxListCtrl* m_dragList = nullptr;
  BOOL m_hasFiles = FALSE;     // what is dragged over the page offers CF_HDROP
  GetZhiItem* m_dropBox = nullptr;
  int m_dropIndex = -1;        // -1 none, -2 the desk list without a gap
  VxListItem* m_dropItem = nullptr;
  BOOL m_overDragged = FALSE;
  RECT m_insertMark{0, 0, 0, 0};
  POINT m_dropPoint{0, 0};
  std::vector<VxRc> m_cells;  // the tracked list's cells, kept to spare an allocation a move
  static constexpr int kHoldDropTicks = 15;  // of the 100-ms desk timer
  int m_holdTicks = 0;
  std::unique_ptr<Gdiplus::Image> m_markH, m_markV;
  BOOL m_markLoaded = FALSE;
};
