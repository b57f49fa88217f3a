// Box input: pressing, moving, resizing, snapping, scrolling and raising boxes, rubber
// bands, hover tooltips, the menus and the box commands.
#include "desk/MyDesk.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>

#include "base/AppGlobals.h"
#include "uilib/VxRaii.h"
#include "desk/core/box_geometry.h"

namespace {

DeskRect ToDesk(const RECT& r) { return DeskRect{r.left, r.top, r.right, r.bottom}; }
RECT FromDesk(const DeskRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }


// Entries of a box lie unscrolled in the list; the page shows them `scroll` pixels higher.
POINT ToListPoint(const GetZhiItem* box, POINT pt) {
  return box ? POINT{pt.x, pt.y + box->scroll} : pt;
}

void ResetMouseStates(VxListCtrl& list) {
  for (VxListItem* e : list.Items()) e->nMouseState = 0;
}

bool AnyMouseState(const VxListCtrl& list) {
  for (VxListItem* e : list.Items())
    if (e->nMouseState != 0) return true;
  return false;
}

RECT Normalized(POINT a, POINT b) {
  return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

bool Contains(const RECT& r, POINT pt) { return ::PtInRect(&r, pt) != FALSE; }

bool Intersects(const RECT& a, const RECT& b) {
  RECT out;
  return ::IntersectRect(&out, &a, &b) != FALSE;
}

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

// ---- boxes ----
RECT CMyDesk::BoxListArea(const GetZhiItem* box) { return FromDesk(DeskBoxListArea(ToDesk(box->rect))); }

int CMyDesk::IndexOfBox(const GetZhiItem* box) const {
  for (size_t i = 0; i < m_boxes.size(); ++i)
    if (m_boxes[i].get() == box) return static_cast<int>(i);
  return -1;
}

GetZhiItem* CMyDesk::MenuBox() const {
  const int i = TheApp().desk.interaction.box;
  return i >= 0 && i < static_cast<int>(m_boxes.size()) ? m_boxes[i].get() : nullptr;
}

void CMyDesk::LayoutBox(GetZhiItem* box, BOOL resetListRect) {
  if (!box) return;
  box->cache.reset();
  const RECT area = BoxListArea(box);
  // Box lists always keep grid order, so every change of size places the entries anew.
  (void)resetListRect;
  CRect grown(area);
  box->list.SetRect(&grown);
  box->list.SetRect(area.left, area.top, area.right - area.left, area.bottom - area.top);
  box->viewHeight = DeskBoxViewHeight(ToDesk(box->rect));
  const DeskBoxThumb t = DeskBoxThumbLayout(box->list.GetListMaxHeight(), box->viewHeight, box->scroll);
  box->thumbPos = t.position;
  box->thumbLen = t.length;
  box->scroll = t.scroll;
}

void CMyDesk::MoveBoxBy(GetZhiItem* box, int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  ::OffsetRect(&box->rect, dx, dy);
  // A move does not change what the box shows: its rendering stays valid.
  std::unique_ptr<VxPixelImage> keep = std::move(box->cache);
  LayoutBox(box, TRUE);
  box->cache = std::move(keep);
}

GetZhiItem* CMyDesk::TopBoxAt(POINT pt) const {
  if (m_iconsHidden) return nullptr;
  for (auto it = m_boxes.rbegin(); it != m_boxes.rend(); ++it)
    if ((*it)->shown && ::PtInRect(&(*it)->rect, pt)) return it->get();
  return nullptr;
}

void CMyDesk::RaiseBox(GetZhiItem* box) {
  const int i = IndexOfBox(box);
  if (i < 0 || i == static_cast<int>(m_boxes.size()) - 1) return;
  std::unique_ptr<GetZhiItem> owned = std::move(m_boxes[i]);
  m_boxes.erase(m_boxes.begin() + i);
  m_boxes.push_back(std::move(owned));
}

int CMyDesk::HitTestBox(GetZhiItem* box, POINT pt, BOOL setCursor) {
  if (!box) return kBoxHitNone;
  const int hit = DeskBoxHitTest(ToDesk(box->rect), box->thumbPos, box->thumbLen, pt.x, pt.y);
  if (setCursor && !box->fixedPos)
    if (LPCTSTR id = CursorId(DeskBoxCursorFor(hit))) ::SetCursor(::LoadCursor(nullptr, id));
  return hit;
}

// ---- list steps: the selection spans every list of the desk ----
void CMyDesk::ClearAllSelections() {
  for (VxListCtrl* list : AllLists())
    if (list->UnSelRcItem())
      if (GetZhiItem* b = BoxOfList(list)) b->cache.reset();
}

VxListItem* CMyDesk::PressList(VxListCtrl* list, POINT listPoint) {
  VxListItem* hit = list->HitTest(listPoint);
  if (!hit) return nullptr;
  hit->nMouseState = 2;
  if (hit->bNotFocus) {
    hit->bNotFocus = 0;
    hit->ClearTextCache();
  }
  if (!hit->IsSelected()) {
    ClearAllSelections();
    list->SetSel(hit, TRUE);
  }
  for (VxListItem* other : list->Items())
    if (other != hit && other->IsFocused()) {
      other->bNotFocus = 1;
      other->ClearTextCache();
    }
  return hit;
}

void CMyDesk::ReleaseList(VxListCtrl* list, POINT listPoint) {
  VxListItem* hit = list->HitTest(listPoint);
  if (hit) {
    hit->nMouseState = 1;
    if (hit->bClickSelect) {
      ClearAllSelections();
      list->SetSel(hit, TRUE);
    }
    const VxListCallbacks& cb = list->GetListCallBack();
    if (cb.pfnClick) cb.pfnClick(hit, &listPoint, cb.lpParam);
  }
  for (VxListItem* other : list->Items())
    if (other != hit) other->nMouseState = 0;
}

VxListItem* CMyDesk::EntryAt(POINT pt, VxListCtrl** list, GetZhiItem** box) const {
  if (m_iconsHidden) return nullptr;
  GetZhiItem* b = TopBoxAt(pt);
  if (b) {
    if (box) *box = b;
    if (list) *list = &b->list;
    if (!Contains(BoxListArea(b), pt)) return nullptr;
    return b->list.HitTest(ToListPoint(b, pt));
  }
  if (box) *box = nullptr;
  if (list) *list = const_cast<VxListCtrl*>(&m_deskList);
  return m_deskList.IsShow() ? m_deskList.HitTest(pt) : nullptr;
}

VxListCtrl* CMyDesk::DragCandidate(POINT* at) const {
  if (at) *at = m_dragFrom;
  return m_dragList;
}

// ---- pressing ----
BOOL CMyDesk::OnLButtonDown(POINT pt) {
  if (m_owner) m_owner->EndRename();
  m_pressPending = TRUE;
  m_boxChanged = FALSE;
  m_dragList = nullptr;
  m_deskBanding = FALSE;
  ::SetRectEmpty(&m_band);
  GetZhiItem* took = TopBoxAt(pt);
  for (auto& b : m_boxes) b->active = 0;
  if (took) {
    RaiseBox(took);
    took->active = 1;
    took->banding = 0;
    took->downPoint = pt;
    took->titleHit = HitTestBox(took, pt, TRUE);
    if (took->titleHit == kBoxHitNone) {
      const POINT lp = ToListPoint(took, pt);
      if (VxListItem* e = Contains(BoxListArea(took), pt) ? PressList(&took->list, lp) : nullptr) {
        if (e->IsSelected()) {
          m_dragList = &took->list;
          m_dragFrom = pt;
        }
      } else {
        ClearAllSelections();
        took->banding = 1;
        m_bandStart = pt;
      }
    }
    took->cache.reset();
    for (auto& b : m_boxes)
      if (b.get() != took && AnyMouseState(b->list)) {
        ResetMouseStates(b->list);
        b->cache.reset();
      }
    ResetMouseStates(m_deskList);
  } else {
    for (auto& b : m_boxes)
      if (AnyMouseState(b->list)) {
        ResetMouseStates(b->list);
        b->cache.reset();
      }
    VxListItem* e = m_deskList.IsShow() ? PressList(&m_deskList, pt) : nullptr;
    if (e) {
      if (e->IsSelected()) {
        m_dragList = &m_deskList;
        m_dragFrom = pt;
      }
    } else {
      m_deskList.UnSelRcItem();
      ClearAllSelections();
      m_deskBanding = TRUE;
      m_bandStart = pt;
    }
  }
  if (HWND owner = OwnerHwnd()) ::SetCapture(owner);
  RequestRepaint();
  return TRUE;
}

BOOL CMyDesk::OnRButtonDown(POINT pt) {
  GetZhiItem* took = TopBoxAt(pt);
  for (auto& b : m_boxes) b->active = 0;
  if (took) {
    RaiseBox(took);
    took->active = 1;
    if (Contains(BoxListArea(took), pt)) PressList(&took->list, ToListPoint(took, pt));
    took->cache.reset();
  } else if (m_deskList.IsShow()) {
    PressList(&m_deskList, pt);
  }
  if (m_owner) m_owner->EndRename();
  RequestRepaint();
  return TRUE;
}

// ---- moving ----
void CMyDesk::UpdateBand(POINT pt) {
  if (m_deskBanding) {
    m_band = Normalized(m_bandStart, pt);
    for (VxListItem* e : m_deskList.Items()) m_deskList.SetSel(e, Intersects(m_band, e->rcHover));
    return;
  }
  GetZhiItem* box = ActiveBox();
  if (!box || !box->banding) return;
  const RECT area = BoxListArea(box);
  RECT band = Normalized(m_bandStart, pt);
  ::IntersectRect(&band, &band, &area);
  m_band = band;
  for (VxListItem* e : box->list.Items()) {
    RECT shown = e->rcHover;
    ::OffsetRect(&shown, 0, -box->scroll);
    box->list.SetSel(e, Intersects(band, shown));
  }
  box->cache.reset();
}

BOOL CMyDesk::UpdateHover(POINT pt) {
  BOOL changed = FALSE;
  GetZhiItem* over = TopBoxAt(pt);
  for (auto& b : m_boxes) {
    const int hit = b.get() == over ? DeskBoxHitTest(ToDesk(b->rect), b->thumbPos, b->thumbLen, pt.x, pt.y)
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
  VxListItem* hit = m_pressPending ? nullptr : EntryAt(pt, &list, &box);
  for (VxListCtrl* l : AllLists()) {
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
      if (GetZhiItem* b = BoxOfList(l)) b->cache.reset();
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

BOOL CMyDesk::OnMouseMove(POINT pt) {
  BOOL changed = FALSE;
  GetZhiItem* box = m_pressPending ? ActiveBox() : nullptr;
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
    std::vector<DeskRect> others;
    for (auto it = m_boxes.rbegin(); it != m_boxes.rend(); ++it)
      if (it->get() != box && (*it)->shown) others.push_back(ToDesk((*it)->rect));
    DeskPoint from{box->downPoint.x, box->downPoint.y};
    const DeskRect moved = DeskBoxMagneticMove(ToDesk(box->rect), &from, DeskPoint{pt.x, pt.y}, others);
    box->downPoint = POINT{from.x, from.y};
    const int dx = moved.left - box->rect.left, dy = moved.top - box->rect.top;
    if (dx || dy) {
      MoveBoxBy(box, dx, dy);
      m_boxChanged = changed = TRUE;
    }
  } else if (box && box->titleHit >= kBoxHitLeft && box->titleHit <= kBoxHitBottomRight &&
             !box->fixedPos) {
    DeskPoint moved;
    const DeskRect r = DeskBoxResize(ToDesk(box->rect), box->titleHit, pt.x - box->downPoint.x,
                                     pt.y - box->downPoint.y, &moved);
    // The remembered point follows the edge, so an edge held at the limit waits for the
    // cursor to come back to it.
    const DeskBoxCursor c = DeskBoxCursorFor(box->titleHit);
    box->downPoint.x = c == kBoxCursorNS ? pt.x : box->downPoint.x + moved.x;
    box->downPoint.y = c == kBoxCursorWE ? pt.y : box->downPoint.y + moved.y;
    if (!(ToDesk(box->rect) == r)) {
      box->rect = FromDesk(r);
      LayoutBox(box, TRUE);
      m_boxChanged = changed = TRUE;
    }
    HitTestBox(box, box->downPoint, TRUE);
  } else if (box) {
    box->downPoint = pt;
  }
  if (!m_pressPending) HitTestBox(TopBoxAt(pt), pt, TRUE);
  changed |= UpdateHover(pt);
  if (changed) RequestRepaint();
  return changed || TopBoxAt(pt) != nullptr || m_pressPending;
}

// ---- releasing ----
BOOL CMyDesk::OnLButtonUp(POINT pt) {
  const BOOL wasPressed = m_pressPending;
  GetZhiItem* box = ActiveBox();
  const bool banded = m_deskBanding || (box && box->banding);
  if (box && wasPressed && box->titleHit == kBoxHitNone && !banded) {
    ReleaseList(&box->list, ToListPoint(box, pt));
    box->cache.reset();
  } else if (!box && wasPressed && !banded && m_deskList.IsShow()) {
    ReleaseList(&m_deskList, pt);
  }
  for (auto& b : m_boxes) {
    b->banding = 0;
    b->titleHit = kBoxHitNone;
  }
  m_deskBanding = FALSE;
  ::SetRectEmpty(&m_band);
  m_dragList = nullptr;
  m_pressPending = FALSE;
  if (m_boxChanged) {
    m_boxChanged = FALSE;
    SaveDesk();
  }
  RequestRepaint();
  if (HWND owner = OwnerHwnd())
    if (::GetCapture() == owner) ::ReleaseCapture();
  return wasPressed;
}

BOOL CMyDesk::OnRButtonUp(POINT pt) {
  VxListCtrl* list = nullptr;
  GetZhiItem* box = nullptr;
  if (VxListItem* e = EntryAt(pt, &list, &box)) {
    const VxListCallbacks& cb = list->GetListCallBack();
    POINT lp = ToListPoint(box, pt);
    if (cb.pfnRClick) cb.pfnRClick(e, &lp, cb.lpParam);
    return TRUE;
  }
  int menu = kDeskMenuDesk;
  if (box) {
    const int hit = HitTestBox(box, pt, FALSE);
    menu = hit == kBoxHitTitle || hit == kBoxHitMenu ? kDeskMenuBoxTitle : kDeskMenuBoxBody;
  }
  DeskInteraction& where = TheApp().desk.interaction;
  where.x = pt.x;
  where.y = pt.y;
  where.box = box ? IndexOfBox(box) : -1;
  POINT screen = pt;
  if (HWND owner = OwnerHwnd()) ::ClientToScreen(owner, &screen);
  if (m_owner) m_owner->ShowMenu(menu, screen, where.box);
  return TRUE;
}

BOOL CMyDesk::OnLButtonDblClk(POINT pt) {
  VxListCtrl* list = nullptr;
  GetZhiItem* box = nullptr;
  if (VxListItem* e = EntryAt(pt, &list, &box)) {
    POINT lp = ToListPoint(box, pt);
    PressList(list, lp);
    if (box) box->cache.reset();
    const VxListCallbacks& cb = list->GetListCallBack();
    if (cb.pfnDblClick) cb.pfnDblClick(e, &lp, cb.lpParam);
    RequestRepaint();
    return TRUE;
  }
  // Empty desk only: a double-click on a box's title or frame is not a wish to hide.
  if (box || TheApp().desk.config.dblClickHide != 1) return FALSE;
  SetIconsHidden(!m_iconsHidden);
  return TRUE;
}

void CMyDesk::SetIconsHidden(BOOL hidden) {
  m_iconsHidden = hidden ? TRUE : FALSE;
  m_deskList.SetShow(!m_iconsHidden);
  for (auto& b : m_boxes) b->shown = !m_iconsHidden;
  RequestRepaint();
}

BOOL CMyDesk::OnMouseWheel(short delta, POINT pt) {
  GetZhiItem* box = TopBoxAt(pt);
  if (!box) return FALSE;
  const DeskBoxThumb before{box->thumbPos, box->thumbLen, box->scroll};
  const DeskBoxThumb t = DeskBoxWheel(before, delta, box->list.GetListMaxHeight(), box->viewHeight);
  box->thumbPos = t.position;
  box->scroll = t.scroll;
  if (t.scroll != before.scroll) {
    UpdateHover(pt);
    RequestRepaint();
  }
  return TRUE;
}

void CMyDesk::OnMouseLeave() {
  BOOL changed = FALSE;
  for (auto& b : m_boxes) {
    if (b->hoverBox || b->hoverTitle || b->hoverMenu) changed = TRUE;
    b->hoverBox = b->hoverTitle = b->hoverMenu = 0;
    if (b->list.RemoveMoveState()) {
      b->cache.reset();
      changed = TRUE;
    }
  }
  changed |= m_deskList.RemoveMoveState();
  if (changed) RequestRepaint();
}

void CMyDesk::OnTimer1008() {
  bool flashing = false;
  for (VxListCtrl* list : AllLists())
    for (VxListItem* e : list->Items())
      if (e->nData[kEntryFlash] > 0) {
        --e->nData[kEntryFlash];
        flashing = true;
      }
  if (flashing) RequestRepaint();
}

// ---- tooltips ----
void CMyDesk::EnsureTooltip() {
  HWND owner = OwnerHwnd();
  if (m_tooltip && ::IsWindow(m_tooltip)) return;
  m_tooltip = nullptr;
  if (!owner) return;
  m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
  if (m_tooltip) ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 260);
}

void CMyDesk::ShowTipFor(VxListItem* entry, GetZhiItem* box) {
  EnsureTooltip();
  if (!m_tooltip) return;
  HWND owner = OwnerHwnd();
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = owner;
  ti.uId = 1;
  ::SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  const std::wstring tip = InfoTip(m_shell.Folder(), owner, static_cast<LPCITEMIDLIST>(entry->pData));
  std::wstring text = entry->nData[kEntryKind] == KIND_FILE ? tip : std::wstring(entry->szName) + L"\n" + tip;
  if (text.empty()) return;
  ti.uFlags = TTF_SUBCLASS;
  ti.rect = entry->rcHover;
  if (box) ::OffsetRect(&ti.rect, 0, -box->scroll);
  ti.lpszText = text.data();
  ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---- box commands ----
void CMyDesk::StartRenameBox(GetZhiItem* box) {
  if (!box) return;
  RECT r{box->rect.left + 10, box->rect.top + 5, box->rect.right - 10, box->rect.top + 32};
  ::OffsetRect(&r, 0, -1);
  m_renameBefore = box->name;
  if (m_owner) m_owner->BeginRename(box, r);
  SaveDesk();
}

void CMyDesk::ApplyBoxRename(GetZhiItem* box, const std::wstring& edited) {
  if (IndexOfBox(box) < 0) return;
  const size_t first = edited.find_first_not_of(L" \t"), last = edited.find_last_not_of(L" \t");
  if (first == std::wstring::npos) return;
  const std::u16string wanted = ToU16(edited.substr(first, last - first + 1));
  if (wanted == ToU16(m_renameBefore)) return;
  std::vector<std::u16string> taken;
  for (auto& b : m_boxes)
    if (b.get() != box) taken.push_back(ToU16(b->name));
  box->name = ToW(DeskUniqueBoxName(wanted, taken));
  RequestRepaint();
  SaveDesk();
}

void CMyDesk::ToggleListDisplay(GetZhiItem* box) {
  if (!box) return;
  if (box->list.GetListType() == VXLT_LIST) {
    box->list.SetListType(VXLT_BIGICON);
    box->list.SetArrange(FALSE);
  } else {
    box->list.SetListType(VXLT_LIST);
    box->list.SetArrange(TRUE);
  }
  box->list.RedrawList();
  box->scroll = 0;
  LayoutBox(box, TRUE);
  RequestRepaint();
  SaveDesk();
}

void CMyDesk::ToggleFixedPos(GetZhiItem* box) {
  if (!box) return;
  box->fixedPos = box->fixedPos ? 0 : 1;
  RequestRepaint();
}

void CMyDesk::RemoveBox(GetZhiItem* box) {
  const int i = IndexOfBox(box);
  if (i < 0) return;
  std::unique_ptr<GetZhiItem> owned = std::move(m_boxes[i]);
  m_boxes.erase(m_boxes.begin() + i);
  if (m_dropBox == owned.get()) ClearPendingDrop();
  const std::vector<VxListItem*> entries = owned->list.Items();
  const int base = m_deskList.GetCount();
  for (size_t k = 0; k < entries.size(); ++k) {
    VxListItem* e = entries[k];
    e->nData[kEntryOrder] = base + static_cast<int>(k);
    e->nMouseState = 0;
    e->bNotSelect = 1;
    e->bNotFocus = 1;
    m_deskList.AddItem(e, TRUE);  // the identifier list moves to the copy
  }
  if (TheApp().desk.interaction.box >= i) TheApp().desk.interaction.box = -1;
  owned.reset();
  RequestRepaint();
  SaveDesk();
}
