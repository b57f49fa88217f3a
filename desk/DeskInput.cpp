// Box input: pressing, moving, resizing, snapping, scrolling and raising boxes, rubber
// bands, hover tooltips and the menus.
#include "desk/DeskInput.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include "base/AppGlobals.h"
#include "desk/MyDesk.h"
#include "desk/core/box_geometry.h"
#include "desk/core/desk_drag.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"

namespace {

POINT ToListPoint(const GetZhiItem* box, POINT pt) { return CDeskModel::ToListPoint(box, pt); }

void ResetMouseStates(VxListCtrl& list) {
  for (VxListItem* e : list.Items()) e->nMouseState = 0;
}

bool AnyMouseState(const VxListCtrl& list) {
  for (VxListItem* e : list.Items())
    if (e->nMouseState != 0) return true;
  return false;
}

bool Contains(const RECT& r, POINT pt) { return ::PtInRect(&r, pt) != FALSE; }

LPCTSTR CursorId(DeskBoxCursor c) {
  switch (c) {
    case kBoxCursorMove: return IDC_SIZEALL;
    case kBoxCursorNS: return IDC_SIZENS;
    case kBoxCursorWE: return IDC_SIZEWE;
    case kBoxCursorNWSE: return IDC_SIZENWSE;
    case kBoxCursorNESW: return IDC_SIZENESW;
    default: return nullptr;
  }
}

// The shell's info tip of a desktop child (empty when the shell offers none).
std::wstring InfoTip(IShellFolder* desktop, HWND owner, LPCITEMIDLIST child) {
  if (!desktop || !child) return L"";
  VxComPtr<IQueryInfo> info;
  LPCITEMIDLIST one[1] = {child};
  if (FAILED(desktop->GetUIObjectOf(owner, 1, one, IID_IQueryInfo, nullptr,
                                    reinterpret_cast<void**>(info.Put()))) ||
      !info.Get())
    return L"";
  PWSTR tip = nullptr;
  if (FAILED(info->GetInfoTip(0, &tip)) || !tip) return L"";
  std::wstring text = tip;
  ::CoTaskMemFree(tip);
  return text;
}

}  // namespace

int CDeskInput::HitTestBox(GetZhiItem* box, POINT pt, BOOL setCursor) {
  if (!box) return kBoxHitNone;
  const int hit = DeskBoxHitTest(ToVx(box->rect), box->thumbPos, box->thumbLen, pt.x, pt.y);
  if (setCursor && !box->fixedPos)
    if (LPCTSTR id = CursorId(DeskBoxCursorFor(hit))) ::SetCursor(::LoadCursor(nullptr, id));
  return hit;
}

VxListItem* CDeskInput::PressList(VxListCtrl* list, POINT listPoint) {
  VxListItem* hit = list->HitTest(listPoint);
  if (!hit) return nullptr;
  hit->nMouseState = 2;
  if (hit->bNotFocus) {
    hit->bNotFocus = 0;
    hit->ClearTextCache();
  }
  if (!hit->IsSelected()) {
    m_model.ClearAllSelections();
    list->SetSel(hit, TRUE);
  }
  for (VxListItem* other : list->Items())
    if (other != hit && other->IsFocused()) {
      other->bNotFocus = 1;
      other->ClearTextCache();
    }
  return hit;
}

void CDeskInput::ReleaseList(VxListCtrl* list, POINT listPoint) {
  VxListItem* hit = list->HitTest(listPoint);
  if (hit) {
    hit->nMouseState = 1;
    if (hit->bClickSelect) {
      m_model.ClearAllSelections();
      list->SetSel(hit, TRUE);
    }
    const VxListCallbacks& cb = list->GetListCallBack();
    if (cb.pfnClick) cb.pfnClick(hit, &listPoint, cb.lpParam);
  }
  for (VxListItem* other : list->Items())
    if (other != hit) other->nMouseState = 0;
}

VxListCtrl* CDeskInput::DragCandidate(POINT* at) const {
  if (at) *at = m_dragFrom;
  return m_dragList;
}

// ---- pressing ----
BOOL CDeskInput::OnLButtonDown(POINT pt) {
  if (m_desk.Owner()) m_desk.Owner()->EndRename();
  // The desk's keys act on what was just clicked.
  if (HWND owner = m_desk.OwnerHwnd())
    if (::GetFocus() != owner) ::SetFocus(owner);
  m_pressPending = TRUE;
  m_boxChanged = FALSE;
  m_dragList = nullptr;
  m_deskBanding = FALSE;
  ::SetRectEmpty(&m_band);
  GetZhiItem* took = m_model.BoxAt(pt);
  for (auto& b : m_model.Boxes()) b->active = 0;
  if (took) {
    m_model.RaiseBox(took);
    took->active = 1;
    took->banding = 0;
    took->downPoint = pt;
    took->titleHit = HitTestBox(took, pt, TRUE);
    if (took->titleHit == kBoxHitNone) {
      const POINT lp = ToListPoint(took, pt);
      if (VxListItem* e = Contains(CDeskModel::BoxListArea(took), pt) ? PressList(&took->list, lp) : nullptr) {
        if (e->IsSelected()) {
          m_dragList = &took->list;
          m_dragFrom = pt;
        }
      } else {
        m_model.ClearAllSelections();
        took->banding = 1;
        m_bandStart = pt;
      }
    }
    took->cache.reset();
    for (auto& b : m_model.Boxes())
      if (b.get() != took && AnyMouseState(b->list)) {
        ResetMouseStates(b->list);
        b->cache.reset();
      }
    ResetMouseStates(m_model.DeskList());
  } else {
    for (auto& b : m_model.Boxes())
      if (AnyMouseState(b->list)) {
        ResetMouseStates(b->list);
        b->cache.reset();
      }
    VxListItem* e = m_model.DeskList().IsShow() ? PressList(&m_model.DeskList(), pt) : nullptr;
    if (e) {
      if (e->IsSelected()) {
        m_dragList = &m_model.DeskList();
        m_dragFrom = pt;
      }
    } else {
      m_model.DeskList().UnSelRcItem();
      m_model.ClearAllSelections();
      m_deskBanding = TRUE;
      m_bandStart = pt;
    }
  }
  if (HWND owner = m_desk.OwnerHwnd()) ::SetCapture(owner);
  m_desk.RequestRepaint();
  return TRUE;
}

BOOL CDeskInput::OnRButtonDown(POINT pt) {
  GetZhiItem* took = m_model.BoxAt(pt);
  for (auto& b : m_model.Boxes()) b->active = 0;
  if (took) {
    m_model.RaiseBox(took);
    took->active = 1;
    if (Contains(CDeskModel::BoxListArea(took), pt)) PressList(&took->list, ToListPoint(took, pt));
    took->cache.reset();
  } else if (m_model.DeskList().IsShow()) {
    PressList(&m_model.DeskList(), pt);
  }
  if (m_desk.Owner()) m_desk.Owner()->EndRename();
  m_desk.RequestRepaint();
  return TRUE;
}

// ---- moving ----
void CDeskInput::UpdateBand(POINT pt) {
  if (m_deskBanding) {
    const VxRc band = VxBandRect(ToVxPt(m_bandStart), ToVxPt(pt));
    m_band = FromVx(band);
    VxListCtrl& list = m_model.DeskList();
    for (VxListItem* e : list.Items()) list.SetSel(e, band.Intersects(ToVx(e->rcHover)));
    return;
  }
  GetZhiItem* box = m_model.ActiveBox();
  if (!box || !box->banding) return;
  const VxRc band = DeskBoxBand(ToVx(box->rect), ToVxPt(m_bandStart), ToVxPt(pt));
  m_band = FromVx(band);
  for (VxListItem* e : box->list.Items()) {
    RECT shown = e->rcHover;
    ::OffsetRect(&shown, 0, -box->scroll);
    box->list.SetSel(e, band.Intersects(ToVx(shown)));
  }
  box->cache.reset();
}

BOOL CDeskInput::UpdateHover(POINT pt) {
  BOOL changed = FALSE;
  GetZhiItem* over = m_model.BoxAt(pt);
  for (auto& b : m_model.Boxes()) {
    const int hit = b.get() == over ? DeskBoxHitTest(ToVx(b->rect), b->thumbPos, b->thumbLen, pt.x, pt.y)
                                    : kBoxHitNone;
    const int inBox = b.get() == over;
    const int onTitle = hit == kBoxHitTitle;
    const int onMenu = hit == kBoxHitMenu;
    if (inBox != b->hoverBox || onTitle != b->hoverTitle || onMenu != b->hoverMenu) changed = TRUE;
    b->hoverBox = inBox;
    b->hoverTitle = onTitle;
    b->hoverMenu = onMenu;
  }
  // The entry under the mouse, in the list that shows at that point.
  VxListCtrl* list = nullptr;
  GetZhiItem* box = nullptr;
  VxListItem* hit = m_pressPending ? nullptr : m_model.EntryAt(pt, &list, &box);
  for (VxListCtrl* l : m_model.AllLists()) {
    bool listChanged = false;
    for (VxListItem* e : l->Items()) {
      if (e == hit) continue;
      if (e->nMouseState == 1) {
        e->nMouseState = 0;
        listChanged = true;
      }
    }
    if (listChanged) {
      changed = TRUE;
      if (GetZhiItem* b = m_model.BoxOfList(l)) b->cache.reset();
    }
  }
  if (hit && hit->nMouseState == 0) {
    ShowTipFor(hit, box);
    hit->nMouseState = 1;
    if (box) box->cache.reset();
    changed = TRUE;
  }
  return changed;
}

void CDeskInput::MoveByTitle(GetZhiItem* box, POINT pt, BOOL* changed) {
  std::vector<VxRc> others;
  for (auto it = m_model.Boxes().rbegin(); it != m_model.Boxes().rend(); ++it)
    if (it->get() != box && (*it)->shown) others.push_back(ToVx((*it)->rect));
  VxPt from = ToVxPt(box->downPoint);
  const VxRc moved = DeskBoxMagneticMove(ToVx(box->rect), &from, ToVxPt(pt), others);
  box->downPoint = FromVxPt(from);
  const int dx = moved.left - box->rect.left, dy = moved.top - box->rect.top;
  if (dx || dy) {
    m_model.MoveBoxBy(box, dx, dy);
    m_boxChanged = *changed = TRUE;
  }
}

void CDeskInput::ResizeByEdge(GetZhiItem* box, POINT pt, BOOL* changed) {
  VxPt moved;
  const VxRc r = DeskBoxResize(ToVx(box->rect), box->titleHit, pt.x - box->downPoint.x,
                               pt.y - box->downPoint.y, &moved);
  // The remembered point follows the edge, so an edge held at the limit waits for the
  // cursor to come back to it.
  const DeskBoxCursor c = DeskBoxCursorFor(box->titleHit);
  box->downPoint.x = c == kBoxCursorNS ? pt.x : box->downPoint.x + moved.x;
  box->downPoint.y = c == kBoxCursorWE ? pt.y : box->downPoint.y + moved.y;
  if (!(ToVx(box->rect) == r)) {
    box->rect = FromVx(r);
    m_model.LayoutBox(box, TRUE);
    m_boxChanged = *changed = TRUE;
  }
  HitTestBox(box, box->downPoint, TRUE);
}

BOOL CDeskInput::OnMouseMove(POINT pt) {
  if (m_pressPending && m_dragList && DeskDragShouldStart(ToVxPt(m_dragFrom), ToVxPt(pt))) {
    VxListCtrl* list = m_dragList;
    m_dragList = nullptr;
    m_desk.StartDrag(list);
    return TRUE;
  }
  BOOL changed = FALSE;
  GetZhiItem* box = m_pressPending ? m_model.ActiveBox() : nullptr;
  if (m_pressPending && (m_deskBanding || (box && box->banding))) {
    UpdateBand(pt);
    changed = TRUE;
  } else if (box && box->titleHit == kBoxHitThumb) {
    DeskBoxThumb t{box->thumbPos, box->thumbLen, box->scroll};
    t = DeskBoxThumbDrag(t, pt.y - box->downPoint.y, box->list.GetListMaxHeight(), box->viewHeight);
    changed = t.position != box->thumbPos || t.scroll != box->scroll;
    box->thumbPos = t.position;
    box->scroll = t.scroll;
    box->downPoint = pt;
  } else if (box && box->titleHit == kBoxHitTitle && !box->fixedPos) {
    MoveByTitle(box, pt, &changed);
  } else if (box && box->titleHit >= kBoxHitLeft && box->titleHit <= kBoxHitBottomRight &&
             !box->fixedPos) {
    ResizeByEdge(box, pt, &changed);
  } else if (box) {
    box->downPoint = pt;
  }
  if (!m_pressPending) HitTestBox(m_model.BoxAt(pt), pt, TRUE);
  changed |= UpdateHover(pt);
  if (changed) m_desk.RequestRepaint();
  return changed || m_model.BoxAt(pt) != nullptr || m_pressPending;
}

// ---- releasing ----
BOOL CDeskInput::OnLButtonUp(POINT pt) {
  const BOOL wasPressed = m_pressPending;
  GetZhiItem* box = m_model.ActiveBox();
  const bool banded = m_deskBanding || (box && box->banding);
  if (box && wasPressed && box->titleHit == kBoxHitNone && !banded) {
    ReleaseList(&box->list, ToListPoint(box, pt));
    box->cache.reset();
  } else if (!box && wasPressed && !banded && m_model.DeskList().IsShow()) {
    ReleaseList(&m_model.DeskList(), pt);
  }
  for (auto& b : m_model.Boxes()) {
    b->banding = 0;
    b->titleHit = kBoxHitNone;
  }
  m_deskBanding = FALSE;
  ::SetRectEmpty(&m_band);
  m_dragList = nullptr;
  m_pressPending = FALSE;
  if (m_boxChanged) {
    m_boxChanged = FALSE;
    m_model.SaveDesk();
  }
  m_desk.RequestRepaint();
  if (HWND owner = m_desk.OwnerHwnd())
    if (::GetCapture() == owner) ::ReleaseCapture();
  return wasPressed;
}

BOOL CDeskInput::OnRButtonUp(POINT pt) {
  VxListCtrl* list = nullptr;
  GetZhiItem* box = nullptr;
  DeskInteraction& where = TheApp().desk.interaction;
  if (VxListItem* e = m_model.EntryAt(pt, &list, &box)) {
    // The click point serves the menu's commands as it does for the desk's own menus.
    where.x = pt.x;
    where.y = pt.y;
    where.box = box ? m_model.IndexOfBox(box) : -1;
    POINT screen = pt;
    if (HWND owner = m_desk.OwnerHwnd()) ::ClientToScreen(owner, &screen);
    m_desk.ShowItemMenu(e, screen);
    return TRUE;
  }
  int menu = kDeskMenuDesk;
  if (box) {
    const int hit = HitTestBox(box, pt, FALSE);
    menu = hit == kBoxHitTitle || hit == kBoxHitMenu ? kDeskMenuBoxTitle : kDeskMenuBoxBody;
  }
  where.x = pt.x;
  where.y = pt.y;
  where.box = box ? m_model.IndexOfBox(box) : -1;
  POINT screen = pt;
  if (HWND owner = m_desk.OwnerHwnd()) ::ClientToScreen(owner, &screen);
  if (m_desk.Owner()) m_desk.Owner()->ShowMenu(menu, screen, where.box);
  return TRUE;
}

BOOL CDeskInput::OnLButtonDblClk(POINT pt) {
  VxListCtrl* list = nullptr;
  GetZhiItem* box = nullptr;
  if (VxListItem* e = m_model.EntryAt(pt, &list, &box)) {
    POINT lp = ToListPoint(box, pt);
    PressList(list, lp);
    if (box) box->cache.reset();
    const VxListCallbacks& cb = list->GetListCallBack();
    if (cb.pfnDblClick) cb.pfnDblClick(e, &lp, cb.lpParam);
    m_desk.RequestRepaint();
    return TRUE;
  }
  // Empty desk only: a double-click on a box's title or frame is not a wish to hide.
  if (box || TheApp().desk.config.dblClickHide != 1) return FALSE;
  m_model.SetIconsHidden(!m_model.IconsHidden());
  return TRUE;
}

BOOL CDeskInput::OnMouseWheel(short delta, POINT pt) {
  GetZhiItem* box = m_model.BoxAt(pt);
  if (!box) return FALSE;
  const DeskBoxThumb before{box->thumbPos, box->thumbLen, box->scroll};
  const DeskBoxThumb t = DeskBoxWheel(before, delta, box->list.GetListMaxHeight(), box->viewHeight);
  box->thumbPos = t.position;
  box->scroll = t.scroll;
  if (t.scroll != before.scroll) {
    UpdateHover(pt);
    m_desk.RequestRepaint();
  }
  return TRUE;
}

void CDeskInput::OnMouseLeave() {
  BOOL changed = FALSE;
  for (auto& b : m_model.Boxes()) {
    if (b->hoverBox || b->hoverTitle || b->hoverMenu) changed = TRUE;
    b->hoverBox = b->hoverTitle = b->hoverMenu = 0;
    if (b->list.RemoveMoveState()) {
      b->cache.reset();
      changed = TRUE;
    }
  }
  changed |= m_model.DeskList().RemoveMoveState();
  if (changed) m_desk.RequestRepaint();
}

// ---- tooltips ----
void CDeskInput::EnsureTooltip() {
  HWND owner = m_desk.OwnerHwnd();
  if (m_tooltip && ::IsWindow(m_tooltip)) return;
  m_tooltip = nullptr;
  if (!owner) return;
  m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
  if (m_tooltip) ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 260);
}

void CDeskInput::ShowTipFor(VxListItem* entry, GetZhiItem* box) {
  EnsureTooltip();
  if (!m_tooltip) return;
  HWND owner = m_desk.OwnerHwnd();
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = owner;
  ti.uId = 1;
  ::SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  const std::wstring tip = InfoTip(m_model.Shell().Folder(), owner, static_cast<LPCITEMIDLIST>(entry->pData));
  std::wstring text = entry->nData[kEntryKind] == KIND_FILE ? tip : std::wstring(entry->szName) + L"\n" + tip;
  if (text.empty()) return;
  ti.uFlags = TTF_SUBCLASS;
  ti.rect = entry->rcHover;
  if (box) ::OffsetRect(&ti.rect, 0, -box->scroll);
  ti.lpszText = text.data();
  ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---- box commands ----
void CDeskInput::StartRenameBox(GetZhiItem* box) {
  if (!box) return;
  RECT r{box->rect.left + 10, box->rect.top + 5, box->rect.right - 10, box->rect.top + 32};
  ::OffsetRect(&r, 0, -1);
  m_renameBefore = box->name;
  if (m_desk.Owner()) m_desk.Owner()->BeginRename(box, r);
  m_model.SaveDesk();
}

