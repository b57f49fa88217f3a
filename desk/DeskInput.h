#pragma once
// The desk's input: presses, moves and releases of the pointer on the page, what the last
// press started (a box move or resize, a thumb drag, a rubber band, a possible drag of
// entries), hover states and tooltips. Points are page (owner client) coordinates.
#include <windows.h>

#include <string>

#include "desk/DeskModel.h"

class CDeskInput {
 public:
  CDeskInput(CMyDesk& desk, CDeskModel& model) : m_desk(desk), m_model(model) {}
  CDeskInput(const CDeskInput&) = delete;
  CDeskInput& operator=(const CDeskInput&) = delete;

  // Hit code of DeskBoxHit; sets the pointer shape when asked and the box is not fixed.
  int HitTestBox(GetZhiItem* box, POINT pt, BOOL setCursor);
  // Each returns TRUE when the desk took the event.
  BOOL OnLButtonDown(POINT pt);
  BOOL OnMouseMove(POINT pt);
  BOOL OnLButtonUp(POINT pt);
  BOOL OnRButtonDown(POINT pt);
  BOOL OnRButtonUp(POINT pt);
  BOOL OnLButtonDblClk(POINT pt);
  BOOL OnMouseWheel(short delta, POINT pt);
  void OnMouseLeave();
  // Opens the rename editor over a box's title.
  void StartRenameBox(GetZhiItem* box);

  BOOL PressPending() const { return m_pressPending; }
  const RECT& BandRect() const { return m_band; }
  BOOL DeskBanding() const { return m_deskBanding; }
  // The list and point of a press on a selected entry (a drag may start there).
  VxListCtrl* DragCandidate(POINT* at) const;
  const std::wstring& RenameBefore() const { return m_renameBefore; }
  HWND Tooltip() const { return m_tooltip; }

 private:
  VxListItem* PressList(VxListCtrl* list, POINT listPoint);
  void ReleaseList(VxListCtrl* list, POINT listPoint);
  void UpdateBand(POINT pt);
  BOOL UpdateHover(POINT pt);
  void MoveByTitle(GetZhiItem* box, POINT pt, BOOL* changed);
  void ResizeByEdge(GetZhiItem* box, POINT pt, BOOL* changed);
  void ShowTipFor(VxListItem* entry, GetZhiItem* box);
  void EnsureTooltip();

  CMyDesk& m_desk;
  CDeskModel& m_model;
  BOOL m_pressPending = FALSE;
  BOOL m_boxChanged = FALSE;  // the pressed box moved or changed size
  BOOL m_deskBanding = FALSE;
  POINT m_bandStart{0, 0};
  RECT m_band{0, 0, 0, 0};
  VxListCtrl* m_dragList = nullptr;
  POINT m_dragFrom{0, 0};
  HWND m_tooltip = nullptr;
  std::wstring m_renameBefore;
};
