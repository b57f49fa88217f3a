// Mouse and keyboard handling of the skinned dialog: item states, clicks, radio groups,
// scroll-bar drags, list steps, rubber band and window dragging.
#include "uilib/VxDialogBase.h"

namespace {

bool IsList(const VxItemBase* item) { return item->GetType() == VXT_LISTCTRL; }
bool Usable(const VxItemBase* item) { return item->IsShow() && item->GetEnable(); }

}  // namespace

bool CVxDialogBase::IsButtonLike(const VxItemBase* item) {
  switch (item->GetType()) {
    case VXT_BUTTON:
    case VXT_TEXTBUTTON:
    case VXT_CHECKBOX:
    case VXT_RADIO:
      return true;
    default:
      return false;
  }
}

bool CVxDialogBase::HitItem(VxItemBase* item, POINT pt) {
  CRect r;
  if (item->GetType() == VXT_BUTTON || item->GetType() == VXT_TEXTBUTTON)
    static_cast<VxButton*>(item)->GetButtonRect(r);
  else
    item->GetRect(&r);
  return r.PtInRect(pt);
}

std::vector<VxListCtrl*> CVxDialogBase::ShownLists() const {
  std::vector<VxListCtrl*> lists;
  for (VxItemBase* item : m_items)
    if (IsList(item) && item->IsShow()) lists.push_back(static_cast<VxListCtrl*>(item));
  return lists;
}

void CVxDialogBase::TrackLeave() {
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 0};
  ::TrackMouseEvent(&tme);
}

// ---- one item ----
bool CVxDialogBase::MoveOverItem(VxItemBase* item, POINT pt) {
  if (!item->GetCaptrue()) {
    if (HitItem(item, pt)) {
      if (item->GetMouseMoveHand()) ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      if (item->GetStatus() == VxItemBase::VXS_NORMAL) {
        item->SetStatus(VxItemBase::VXS_MOUSEON);
        return true;
      }
    } else if (item->GetStatus() == VxItemBase::VXS_MOUSEON) {
      item->SetStatus(VxItemBase::VXS_NORMAL);
      return true;
    }
    return false;
  }
  if (item->GetStatus() == VxItemBase::VXS_MOUSEDOWN && item->GetType() == VXT_VSCROLLBAR) {
    const int dy = pt.y - item->GetLastMouse().y;
    item->SetLastMouse(pt);
    static_cast<VxVScrollBar*>(item)->DragThumb(dy);
    return true;
  }
  return false;
}

// Returns false when the dialog's window is gone (a click callback closed it): the caller
// must not touch the dialog again.
bool CVxDialogBase::ReleaseItem(VxItemBase* item, POINT pt) {
  CRect r;
  item->GetRect(&r);
  if (!HitItem(item, pt)) {
    if (item->GetStatus() != VxItemBase::VXS_NORMAL) {
      item->SetStatus(VxItemBase::VXS_NORMAL);
      UpdateViewRect(&r);
    }
    return true;
  }
  const VxItemBase::VX_STATUS before = item->GetStatus();
  if (before == VxItemBase::VXS_MOUSEDOWN) {
    if (item->GetType() == VXT_CHECKBOX) {
      auto* box = static_cast<VxCheckBox*>(item);
      box->SetCheck(!box->GetCheck());
    } else if (item->GetType() == VXT_RADIO) {
      auto* radio = static_cast<VxRadio*>(item);
      if (!radio->GetCheck()) {
        for (VxItemBase* other : m_items) {
          if (other == item || other->GetType() != VXT_RADIO) continue;
          auto* o = static_cast<VxRadio*>(other);
          if (o->GetGroupID() != radio->GetGroupID() || !o->GetCheck()) continue;
          o->SetCheck(FALSE);
          if (m_nLayerMode != kPerPixelAlpha) {
            CRect orc;
            o->GetRect(&orc);
            UpdateViewRect(&orc);
          }
        }
        radio->SetCheck(TRUE);
      }
    }
    if (item->HasClickCallBack() && item == m_pPressed) {
      HWND hwnd = m_hWnd;
      item->FireClick();
      if (!::IsWindow(hwnd) || FromHandle(hwnd) != this) return false;
    }
  }
  const VxItemBase::VX_STATUS after =
      m_bMinFromButton ? VxItemBase::VXS_NORMAL : VxItemBase::VXS_MOUSEON;
  m_bMinFromButton = FALSE;
  item->SetStatus(after);
  if (after != before) UpdateViewRect(&r);
  return true;
}

// ---- list steps ----
BOOL CVxDialogBase::MoveList(VxListCtrl* list, POINT pt) {
  BOOL changed = FALSE;
  VxRc dirty;
  VxListItem* hit = list->HitTest(pt);
  if (hit && hit->nMouseState != 1) {
    hit->nMouseState = 1;
    changed = TRUE;
    dirty = dirty.Union(VxListCtrl::PaintExtent(hit));
  }
  for (VxListItem* other : list->Items()) {
    if (other != hit && other->nMouseState != 0) {
      other->nMouseState = 0;
      changed = TRUE;
      dirty = dirty.Union(VxListCtrl::PaintExtent(other));
      break;
    }
  }
  if (changed) {
    if (m_nLayerMode == kPerPixelAlpha) {
      UpdateViewDirty(RECT{dirty.left, dirty.top, dirty.right, dirty.bottom});
    } else {
      CRect r;
      list->GetRect(&r);
      UpdateViewRect(&r);
    }
  }
  return changed;
}

void CVxDialogBase::ClearAllListSelections() {
  for (VxItemBase* item : m_items)
    if (IsList(item)) static_cast<VxListCtrl*>(item)->UnSelRcItem();
}

static void PressEntry(VxListCtrl* list, VxListItem* hit) {
  if (hit->nMouseState != 2) hit->nMouseState = 2;
  if (hit->bNotFocus) {
    hit->bNotFocus = 0;
    hit->ClearTextCache();
  }
}

static void DropOtherFocus(VxListCtrl* list, VxListItem* keep) {
  for (VxListItem* other : list->Items()) {
    if (other != keep && other->IsFocused()) {
      other->bNotFocus = 1;
      other->ClearTextCache();
      break;
    }
  }
}

BOOL CVxDialogBase::LButtonDownList(VxListCtrl* list, POINT pt) {
  VxListItem* hit = list->HitTest(pt);
  if (!hit) return FALSE;
  PressEntry(list, hit);
  if (!hit->IsSelected()) {
    ClearAllListSelections();
    list->SetSel(hit, TRUE);
  }
  DropOtherFocus(list, hit);
  return TRUE;
}

BOOL CVxDialogBase::LButtonDblClkList(VxListCtrl* list, POINT pt) {
  if (!LButtonDownList(list, pt)) return FALSE;
  const VxListCallbacks& cb = list->GetListCallBack();
  if (cb.pfnDblClick) {
    VxListItem* hit = list->HitTest(pt);
    cb.pfnDblClick(hit, &pt, cb.lpParam);
  }
  return TRUE;
}

BOOL CVxDialogBase::LButtonUpList(VxListCtrl* list, POINT pt) {
  VxListItem* hit = list->HitTest(pt);
  if (hit) {
    if (hit->nMouseState != 1) hit->nMouseState = 1;
    if (hit->bClickSelect && !m_bBanding) {
      ClearAllListSelections();
      list->SetSel(hit, TRUE);
    }
    const VxListCallbacks& cb = list->GetListCallBack();
    if (cb.pfnClick) {
      HWND hwnd = m_hWnd;
      cb.pfnClick(hit, &pt, cb.lpParam);
      if (!::IsWindow(hwnd) || FromHandle(hwnd) != this) return FALSE;
    }
  }
  for (VxListItem* other : list->Items()) {
    if (other != hit && other->nMouseState != 0 && (!hit || other->nID != hit->nID)) {
      other->nMouseState = 0;
      break;
    }
  }
  return TRUE;
}

BOOL CVxDialogBase::RButtonDownList(VxListCtrl* list, POINT pt) {
  return LButtonDownList(list, pt);
}

BOOL CVxDialogBase::RButtonUpList(VxListCtrl* list, POINT pt) {
  const VxListCallbacks& cb = list->GetListCallBack();
  if (cb.pfnRClick) cb.pfnRClick(list->HitTest(pt), &pt, cb.lpParam);
  return TRUE;
}

BOOL CVxDialogBase::MoveLeaveList(VxListCtrl* list, RECT* rc) {
  BOOL changed = FALSE;
  VxRc dirty;
  for (VxListItem* item : list->Items())
    if (item->nMouseState != 0) {
      item->nMouseState = 0;
      changed = TRUE;
      dirty = dirty.Union(VxListCtrl::PaintExtent(item));
    }
  if (!changed) return FALSE;
  if (m_nLayerMode == kPerPixelAlpha)
    UpdateViewDirty(RECT{dirty.left, dirty.top, dirty.right, dirty.bottom});
  else
    UpdateViewRect(rc);
  return changed;
}

BOOL CVxDialogBase::CaleSelItem() {
  BOOL changed = FALSE;
  const VxRc band = ToVx(m_rcBand);
  for (VxListCtrl* list : ShownLists()) {
    if (list->GetListMode() != VXLM_FREE) continue;
    for (VxListItem* item : list->Items())
      changed |= list->SetSel(item, band.Intersects(ToVx(item->rcHover)));
  }
  return changed;
}

BOOL CVxDialogBase::UnSelRcItem() {
  BOOL changed = FALSE;
  for (VxItemBase* item : m_items)
    if (IsList(item)) changed |= static_cast<VxListCtrl*>(item)->UnSelRcItem();
  return changed;
}

int CVxDialogBase::GetNumsSel() const {
  int n = 0;
  for (VxListCtrl* list : ShownLists()) n += static_cast<int>(list->GetSelection().size());
  return n;
}

// ---- messages ----
void CVxDialogBase::StartBand(POINT pt) {
  m_bBanding = TRUE;
  m_ptBandStart = m_ptBandCur = pt;
  UnSelRcItem();
  ::SetRectEmpty(&m_rcBand);
  UpdateView();
}

void CVxDialogBase::StartWindowDragOrCapture(POINT pt) {
  if (m_bMovable) {
    POINT screen = pt;
    ::ClientToScreen(m_hWnd, &screen);
    ::ReleaseCapture();
    ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
  } else {
    ::SetCapture(m_hWnd);
  }
}

void CVxDialogBase::OnMouseMove(UINT, POINT pt) {
  TrackLeave();
  bool changed = false;
  // A per-pixel-alpha list presents its own hover change: a second, whole frame on top of
  // it would only cost time.
  bool listChanged = false;
  VxItemBase* captured = nullptr;
  for (VxItemBase* item : m_items)
    if (Usable(item) && item->GetCaptrue()) {
      captured = item;
      break;
    }
  if (captured) {
    changed = MoveOverItem(captured, pt);
  } else {
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
      VxItemBase* item = *it;
      if (!Usable(item)) continue;
      if (IsButtonLike(item) || item->GetType() == VXT_VSCROLLBAR)
        changed |= MoveOverItem(item, pt);
      else if (IsList(item))
        listChanged |= MoveList(static_cast<VxListCtrl*>(item), pt) != FALSE;
    }
  }
  if (m_bBanding && m_bSelRect) {
    m_ptBandCur = pt;
    m_rcBand = NormalizedRectOf(m_ptBandStart, m_ptBandCur);
    CaleSelItem();
    UpdateView();
  } else if (m_bDragPending) {
    DoDropSource();
    UpdateView();
  } else if (changed || (listChanged && m_nLayerMode != kPerPixelAlpha)) {
    UpdateView();
  }
}

RECT CVxDialogBase::NormalizedRectOf(POINT a, POINT b) {
  return FromVx(VxBandRect(ToVxPt(a), ToVxPt(b)));
}

// Shared by press and double-click: returns true when an item took the press (the
// handler ends there).
bool CVxDialogBase::PressItems(POINT pt, bool doubleClick) {
  bool listTook = false, banded = false;
  for (int i = static_cast<int>(m_items.size()) - 1; i >= 0; --i) {
    VxItemBase* item = m_items[i];
    if (!Usable(item)) continue;
    if (IsList(item)) {
      auto* list = static_cast<VxListCtrl*>(item);
      const BOOL took = doubleClick ? LButtonDblClkList(list, pt) : LButtonDownList(list, pt);
      if (!::IsWindow(m_hWnd)) return true;
      if (took) {
        listTook = true;
        if (doubleClick && GetNumsSel() > 0) m_bDragPending = TRUE;
        UpdateView();
        break;
      }
      if (list->GetListMode() == VXLM_FREE && m_bSelRect) {
        StartBand(pt);
        banded = true;
        break;
      }
      continue;
    }
    bool hit = false;
    if (IsButtonLike(item))
      hit = HitItem(item, pt);
    else if (item->GetType() == VXT_VSCROLLBAR)
      hit = HitItem(item, pt) && static_cast<VxVScrollBar*>(item)->ptOnBar(pt);
    if (!hit || item->GetStatus() == VxItemBase::VXS_MOUSEDOWN) continue;
    item->SetStatus(VxItemBase::VXS_MOUSEDOWN);
    m_pPressed = item;
    item->SetLastMouse(pt);
    CRect r;
    item->GetRect(&r);
    UpdateViewRect(&r);
    ::SetCapture(m_hWnd);
    item->SetCaptrue(TRUE);
    return true;
  }
  if (doubleClick && !listTook && !banded && m_bSelRect) StartBand(pt);
  StartWindowDragOrCapture(pt);
  return false;
}

void CVxDialogBase::OnHandlerFailed(UINT /*msg*/) noexcept {
  // A click callback that failed must not leave a button held down or the mouse captured:
  // the next click starts clean.
  m_bBanding = FALSE;
  m_bDragPending = FALSE;
  for (VxItemBase* item : m_items) item->SetCaptrue(FALSE);
  if (m_pPressed && GetVxItem(m_pPressed) && m_pPressed->GetStatus() == VxItemBase::VXS_MOUSEDOWN)
    m_pPressed->SetStatus(VxItemBase::VXS_NORMAL);
  m_pPressed = nullptr;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  try {
    UpdateView();
  } catch (...) {
    // Painting fails too: the next paint will tell.
  }
}

void CVxDialogBase::OnLButtonDown(UINT, POINT pt) { PressItems(pt, false); }
void CVxDialogBase::OnLButtonDblClk(UINT, POINT pt) { PressItems(pt, true); }

void CVxDialogBase::OnLButtonUp(UINT, POINT pt) {
  HWND hwnd = m_hWnd;
  const std::vector<VxItemBase*> items = m_items;  // a callback may change the array
  bool hitEntry = false;
  for (VxItemBase* item : items) {
    if (!GetVxItem(item) || !Usable(item)) continue;
    if (IsList(item)) {
      auto* list = static_cast<VxListCtrl*>(item);
      hitEntry |= list->HitTest(pt) != nullptr;
      if (!LButtonUpList(list, pt)) return;  // the window is gone
    } else if (!ReleaseItem(item, pt)) {
      return;
    }
    if (!::IsWindow(hwnd)) return;
  }
  if (m_bSelRect) {
    // A click on empty space (no band drawn, no entry under the pointer) deselects.
    if (!m_bBanding && !hitEntry) UnSelRcItem();
    ::SetRectEmpty(&m_rcBand);
    UpdateView();
  } else if (hitEntry) {
    UpdateView();
  }
  m_bBanding = FALSE;
  m_bDragPending = FALSE;
  if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  for (VxItemBase* item : m_items) item->SetCaptrue(FALSE);
  m_pPressed = nullptr;
}

void CVxDialogBase::OnMouseLeave() {
  for (VxItemBase* item : m_items) {
    if (!Usable(item) || !IsButtonLike(item) || item->GetStatus() == VxItemBase::VXS_NORMAL)
      continue;
    item->SetStatus(VxItemBase::VXS_NORMAL);
    CRect r;
    item->GetRect(&r);
    UpdateViewRect(&r);
  }
}

static VxListCtrl* LastUsableList(const std::vector<VxItemBase*>& items) {
  for (auto it = items.rbegin(); it != items.rend(); ++it)
    if ((*it)->GetType() == VXT_LISTCTRL && (*it)->IsShow() && (*it)->GetEnable())
      return static_cast<VxListCtrl*>(*it);
  return nullptr;
}

void CVxDialogBase::OnRButtonUp(UINT, POINT pt) {
  if (VxListCtrl* list = LastUsableList(m_items)) RButtonUpList(list, pt);
}

void CVxDialogBase::OnRButtonDown(UINT, POINT pt) {
  if (VxListCtrl* list = LastUsableList(m_items)) {
    if (RButtonDownList(list, pt)) UpdateView();
  }
}

void CVxDialogBase::OnActivate(UINT nState, HWND, BOOL) {
  if (nState != WA_INACTIVE) {
    Default();
    return;
  }
  bool changed = false;
  for (VxItemBase* item : m_items) {
    if (!IsList(item) || !Usable(item)) continue;
    if (VxListItem* focused = static_cast<VxListCtrl*>(item)->GetFocusItem()) {
      focused->bNotFocus = 1;
      focused->ClearTextCache();
      changed = true;
    }
  }
  if (changed) UpdateView();
  Default();
}

void CVxDialogBase::OnTimer(UINT_PTR id) {
  if (m_bAnimation) {
    bool stepped = false;
    for (VxItemBase* item : m_items) {
      if (item->GetType() != VXT_GIFIMAGE) continue;
      auto* gif = static_cast<VxGifImage*>(item);
      if (gif->GetTimerID() == id) {
        gif->NextFrame(m_hWnd);
        stepped = true;
      }
    }
    if (stepped) UpdateView();
  }
  Default();
}

void CVxDialogBase::OnClose() { ::DestroyWindow(m_hWnd); }

void CVxDialogBase::OnDestroy() {
  RemoveAllVxItem();
  m_surfaceDC.Reset();
  m_surfaceDib.Reset();
  m_surfaceBits = nullptr;
  ForgetShownFrame();
  Default();
}

BOOL CVxDialogBase::PreTranslateMessage(MSG* pMsg) {
  // Skinned dialogs never close from the keyboard: no Alt+F4, Enter or Escape.
  if (pMsg->wParam == VK_F4 && (::GetKeyState(VK_MENU) & 0x8000)) return TRUE;
  if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
    return TRUE;
  return CVxDialog::PreTranslateMessage(pMsg);
}

// ---- window behaviour ----
void CVxDialogBase::SetMinMaxStyle() {
  ::SetWindowLongW(m_hWnd, GWL_STYLE, ::GetWindowLongW(m_hWnd, GWL_STYLE) | WS_MINIMIZEBOX);
}

void CVxDialogBase::SetRngDlg(int cx, int cy) {
  RECT wr;
  ::GetWindowRect(m_hWnd, &wr);
  HRGN rgn = ::CreateRoundRectRgn(0, 0, wr.right - wr.left + 1, wr.bottom - wr.top + 1, cx, cy);
  if (rgn && !::SetWindowRgn(m_hWnd, rgn, TRUE)) ::DeleteObject(rgn);  // the window owns it on success
}

void CVxDialogBase::MinVxDlg() {
  ::PostMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  m_bMinFromButton = TRUE;
}

void CVxDialogBase::CloseVxDlg() { ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0); }

void CVxDialogBase::SetDoModalOK(BOOL ok) {
  if (ok)
    OnOK();
  else
    OnCancel();
}

void CVxDialogBase::messagePump() {
  MSG msg;
  if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}
