#include "uilib/VxListCtrl.h"

#include <cwchar>
#include <new>

#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"
#include "uilib/core/vx_item_math.h"

namespace {

const RECT kUnplaced{-1, -1, -1, -1};

VxRc ToRc(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const VxRc& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void CopyText(wchar_t (&dst)[260], const wchar_t* src) {
  wcsncpy(dst, src, 259);
  dst[259] = 0;
}

std::unique_ptr<Gdiplus::Font> IconTitleFont() {
  LOGFONTW lf{};
  ICONMETRICSW im{};
  im.cbSize = sizeof(im);
  if (::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(im), &im, 0)) {
    lf = im.lfFont;
  } else {
    lf.lfHeight = -12;
    wcscpy(lf.lfFaceName, L"宋体");
  }
  VxWindowDC dc(nullptr);
  auto font = std::make_unique<Gdiplus::Font>(dc.Get(), &lf);
  if (font->GetLastStatus() != Gdiplus::Ok)
    font = std::make_unique<Gdiplus::Font>(L"宋体", 12.0f, Gdiplus::FontStyleRegular,
                                           Gdiplus::UnitPixel);
  return font;
}

bool HasNoTransform(Gdiplus::Graphics& g) {
  Gdiplus::Matrix m;
  return g.GetTransform(&m) == Gdiplus::Ok && m.IsIdentity();
}

}  // namespace

// The entry without its highlights (icon and label) is kept; the highlights are shared
// renderings by kind and size, so a hover or selection change draws nothing with GDI+.
// What an entry's kept image was drawn from: when any of it differs the image is stale.
struct VxEntryPixels {
  VxPixelImage image;
  VxRc extent;
  RECT rcPos, rcHover, rcFocus, rcText;
  int bNotFocus, bDrawText;
  Gdiplus::Image* pIcon;
  Gdiplus::Image* pTextImage;
  const void* owner;
  unsigned generation;
  wchar_t szName[260];

  bool Shows(const VxListItem* item, const void* list, unsigned gen) const {
    auto same = [](const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; };
    return owner == list && generation == gen && same(rcPos, item->rcPos) &&
           same(rcHover, item->rcHover) && same(rcFocus, item->rcFocus) &&
           same(rcText, item->rcText) && bNotFocus == item->bNotFocus &&
           bDrawText == item->bDrawText && pIcon == item->pIcon &&
           pTextImage == item->pTextImage &&
           (item->szTextCache[0] || !item->szName[0] || !item->bDrawText) &&
           wcscmp(szName, item->szName) == 0;
  }
  void Remember(const VxListItem* item, const void* list, unsigned gen) {
    rcPos = item->rcPos;
    rcHover = item->rcHover;
    rcFocus = item->rcFocus;
    rcText = item->rcText;
    bNotFocus = item->bNotFocus;
    bDrawText = item->bDrawText;
    pIcon = item->pIcon;
    pTextImage = item->pTextImage;
    owner = list;
    generation = gen;
    CopyText(szName, item->szName);
  }
};

VxListItem::~VxListItem() {
  delete pPixels;
  delete pIcon;
  delete pAlphaImage;
  delete pTextImage;
  if (hIcon) ::DestroyIcon(hIcon);
  if (pData && pfnFreeData) pfnFreeData(pData);
}

// ---- nine-slice sets ----
VxNineSlice::~VxNineSlice() { Free(); }

void VxNineSlice::Free() {
  for (auto*& s : m_slices) {
    delete s;
    s = nullptr;
  }
}

BOOL VxNineSlice::Load(const CStringArray& paths) {
  if (paths.size() != 9) return FALSE;
  Free();
  for (int i = 0; i < 9; ++i) m_slices[i] = VxLoadImageFile(paths[i].c_str());
  return TRUE;
}

void VxNineSlice::CopyFrom(const VxNineSlice& other) {
  if (&other == this) return;
  Free();
  for (int i = 0; i < 9; ++i) m_slices[i] = other.m_slices[i] ? other.m_slices[i]->Clone() : nullptr;
}

BOOL VxNineSlice::IsEmpty() const {
  for (auto* s : m_slices)
    if (s) return FALSE;
  return TRUE;
}

void VxNineSlice::Draw(Gdiplus::Graphics& g, const Gdiplus::Rect& target) const {
  if (IsEmpty()) return;
  int w[9], h[9];
  for (int i = 0; i < 9; ++i) {
    w[i] = VxImageWidth(m_slices[i]);
    h[i] = VxImageHeight(m_slices[i]);
  }
  VxXYWH dest[9];
  VxNineSliceDest({target.X, target.Y, target.Width, target.Height}, w, h, dest);
  Gdiplus::ImageAttributes attr;
  attr.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  for (int i = 0; i < 9; ++i) {
    if (!m_slices[i] || dest[i].w <= 0 || dest[i].h <= 0) continue;
    VxDrawImageRect(g, m_slices[i], Gdiplus::Rect(dest[i].x, dest[i].y, dest[i].w, dest[i].h), 0, 0, w[i],
                    h[i], &attr);
  }
}

// ---- the list ----
VxListCtrl::VxListCtrl() : VxItemBase(VXT_LISTCTRL), m_pFont(IconTitleFont()) {
  m_pFormat = std::make_unique<Gdiplus::StringFormat>();
  m_pFormat->SetAlignment(Gdiplus::StringAlignmentNear);
  m_pFormat->SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
}

VxListCtrl::~VxListCtrl() { RemoveAll(); }

void VxListCtrl::FreeItem(VxListItem* item) { delete item; }

VxListItem* VxListCtrl::CopyFromTemplate(VxListItem* src) {
  auto* item = new VxListItem();
  item->nID = ComputerID();
  if (src) {
    if (src->pIcon) item->pIcon = src->pIcon->Clone();
    for (int i = 0; i < 4; ++i) item->nData[i] = src->nData[i];
    item->rcPos = src->rcPos;
    if (src->szName[0]) CopyText(item->szName, src->szName);
    if (src->szPath[0]) CopyText(item->szPath, src->szPath);
    item->pData = src->pData;
    item->pfnFreeData = src->pfnFreeData;
    src->pData = nullptr;
    src->pfnFreeData = nullptr;
    if (src->hIcon) {
      // The list takes the icon over: it keeps a copy and the template's handle goes.
      item->hIcon = ::CopyIcon(src->hIcon);
      ::DestroyIcon(src->hIcon);
      src->hIcon = nullptr;
    }
  }
  return item;
}

BOOL VxListCtrl::AddItem(VxListItem* src, BOOL place) {
  VxListItem* item = CopyFromTemplate(src);
  m_items.push_back(item);
  if (place) PlaceItem(item);
  return TRUE;
}

BOOL VxListCtrl::AddItem(VxListItem* src, int x, int y) {
  VxListItem* item = CopyFromTemplate(src);
  m_items.push_back(item);
  if (m_mode == VXLM_FREE) PlaceItemAt(item, x, y);
  return TRUE;
}

BOOL VxListCtrl::InsertItem(VxListItem* src, int index) {
  VxListItem* item = CopyFromTemplate(src);
  if (index < 0) index = 0;
  if (index > GetCount()) index = GetCount();
  m_items.insert(m_items.begin() + index, item);
  return TRUE;
}

BOOL VxListCtrl::GetItem(int index, VxListItem** out) const {
  *out = GetItem(index);
  return *out != nullptr;
}

VxListItem* VxListCtrl::GetItem(int index) const {
  return index >= 0 && index < GetCount() ? m_items[index] : nullptr;
}

BOOL VxListCtrl::SetItem(int index, VxListItem* item) {
  if (index < 0 || index >= GetCount()) return FALSE;
  m_items[index] = item;
  return TRUE;
}

int VxListCtrl::IndexOf(const VxListItem* item) const {
  for (int i = 0; i < GetCount(); ++i)
    if (m_items[i] == item) return i;
  return -1;
}

BOOL VxListCtrl::RemoveAt(VxListItem* item, BOOL destroy) {
  const int i = IndexOf(item);
  if (i < 0) return FALSE;
  m_selection.erase(std::remove(m_selection.begin(), m_selection.end(), item), m_selection.end());
  m_items.erase(m_items.begin() + i);
  if (destroy) FreeItem(item);
  return TRUE;
}

void VxListCtrl::RemoveAll() {
  m_selection.clear();
  for (auto* item : m_items) FreeItem(item);
  m_items.clear();
}

BOOL VxListCtrl::ChangeItemPos(VxListItem* a, VxListItem* b) {
  const int ia = IndexOf(a), ib = IndexOf(b);
  if (ia < 0 || ib < 0) return FALSE;
  std::swap(m_items[ia], m_items[ib]);
  return TRUE;
}

int VxListCtrl::ComputerID() const {
  int id = -1;
  for (auto* item : m_items) id = std::max(id, item->nID);
  return id + 1;
}

int VxListCtrl::GetItemFromRect(CRect* rc, VxListItem*& out) const {
  out = nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    if (ToRc(m_items[i]->rcPos).Intersects(ToRc(*rc))) {
      out = m_items[i];
      return i;
    }
  }
  return -1;
}

BOOL VxListCtrl::IsItemInPos(POINT& pt) const {
  for (auto* item : m_items)
    if (::PtInRect(&item->rcPos, pt)) return TRUE;
  return FALSE;
}

// ---- layout ----
std::vector<VxRc> VxListCtrl::TakenCells(const VxListItem* except) const {
  std::vector<VxRc> taken;
  taken.reserve(m_items.size());
  for (auto* item : m_items)
    if (item != except && item->IsPlaced()) taken.push_back(ToRc(item->rcPos));
  return taken;
}

void VxListCtrl::ApplyCell(VxListItem* item, const VxCellPlacement& cell) {
  item->rcPos = ToRECT(cell.position);
  item->rcText = ToRECT(cell.text);
  if (!m_geo.IsIconType()) item->ClearTextCache();
  ReCalcStateRect(item);
  GrowToHold(item->rcPos);
}

void VxListCtrl::PlaceItem(VxListItem* item) {
  VxCellPlacement cell;
  if (VxPlaceFirstFree(m_geo, {m_x, m_y, m_x + m_cx, m_y + m_cy}, TakenCells(item), &cell))
    ApplyCell(item, cell);
}

void VxListCtrl::PlaceItemAt(VxListItem* item, int x, int y) {
  VxCellPlacement cell;
  if (VxPlaceAtPoint(m_geo, {m_x, m_y, m_x + m_cx, m_y + m_cy}, TakenCells(item), x, y, &cell))
    ApplyCell(item, cell);
}

void VxListCtrl::GrowToHold(const RECT& pos) {
  const VxRc mine{m_x, m_y, m_x + m_cx, m_y + m_cy};
  const VxRc grown = mine.Union(ToRc(pos));
  if (grown == mine) return;
  m_x = grown.left;
  m_y = grown.top;
  m_cx = grown.Width();
  m_cy = grown.Height();
  m_status = VXS_NORMAL;
}

void VxListCtrl::SetRect(int x, int y, int cx, int cy) { VxItemBase::SetRect(x, y, cx, cy); }

void VxListCtrl::SetRect(CRect* rc) {
  VxItemBase::SetRect(rc);
  ReSetPos(TRUE);
  GetRect(rc);
}

void VxListCtrl::SetListType(VxListType type) {
  const VxListGeometry preset = VxListGeometry::ForType(type);
  m_geo.type = preset.type;
  m_geo.itemWidth = preset.itemWidth;
  m_geo.itemHeight = preset.itemHeight;
  m_geo.imageWidth = preset.imageWidth;
  m_geo.imageHeight = preset.imageHeight;
  m_geo.wIner = preset.wIner;
  m_geo.hIner = preset.hIner;
  m_pFormat->SetAlignment(m_geo.IsIconType() ? Gdiplus::StringAlignmentCenter
                                             : Gdiplus::StringAlignmentNear);
  ++m_lookGeneration;
}

void VxListCtrl::SetListType(VxListType type, int itemWidth, int itemHeight, int imageWidth,
                             int imageHeight, int wIner, int hIner) {
  m_geo.type = type;
  m_geo.itemWidth = itemWidth;
  m_geo.itemHeight = itemHeight;
  m_geo.imageWidth = imageWidth;
  m_geo.imageHeight = imageHeight;
  m_geo.wIner = wIner;
  m_geo.hIner = hIner;
  ++m_lookGeneration;
}

void VxListCtrl::RedrawList() {
  for (auto* item : m_items) {
    delete item->pTextImage;
    item->pTextImage = nullptr;
    item->ClearTextCache();
  }
  ReSetPos(TRUE);
}

void VxListCtrl::ReSetPos(BOOL replace) {
  if (replace) {
    for (auto* item : m_items) item->rcPos = kUnplaced;
    for (auto* item : m_items) PlaceItem(item);
    return;
  }
  for (auto* item : m_items) {
    if (!item->IsPlaced()) continue;
    VxCellPlacement old{ToRc(item->rcPos), ToRc(item->rcText)};
    VxCellPlacement cell = VxRefitCell(m_geo, old);
    item->rcPos = ToRECT(cell.position);
    item->rcText = ToRECT(cell.text);
    ReCalcStateRect(item);
  }
}

void VxListCtrl::ReCalcStateRect(VxListItem* item) {
  if (!m_hParent || !m_pFont) return;
  // Text is measured on a memory DC like the parent's screen: made once, not per entry.
  if (!m_measureDC) {
    VxWindowDC dc(m_hParent);
    if (!dc.Get()) return;
    m_measureDC.Reset(::CreateCompatibleDC(dc.Get()));
    if (!m_measureDC) return;
    m_measure = std::make_unique<Gdiplus::Graphics>(m_measureDC.Get());
  }
  Gdiplus::Graphics& g = *m_measure;
  const wchar_t* text = item->szName[0] ? item->szName : L"0";
  const float tw = static_cast<float>(item->rcText.right - item->rcText.left);
  const float th = static_cast<float>(item->rcText.bottom - item->rcText.top);
  const VxCellPlacement cell{ToRc(item->rcPos), ToRc(item->rcText)};
  Gdiplus::RectF box;
  g.MeasureString(text, -1, m_pFont.get(), Gdiplus::RectF(0, 0, tw, m_geo.IsIconType() ? 400.0f : th),
                  m_pFormat.get(), &box);
  item->rcFocus = ToRECT(VxFocusRect(m_geo, cell, box.Width, box.Height));
  g.MeasureString(text, -1, m_pFont.get(), Gdiplus::RectF(0, 0, tw, th), m_pFormat.get(), &box);
  item->rcHover = ToRECT(VxHoverRect(m_geo, cell, box.Width, box.Height));
}

int VxListCtrl::GetListMaxHeight() const {
  int bottom = m_y;
  for (auto* item : m_items) bottom = std::max(bottom, static_cast<int>(item->rcPos.bottom));
  return bottom - m_y;
}

int VxListCtrl::GetListMaxWidth() const {
  int right = m_x;
  for (auto* item : m_items) right = std::max(right, static_cast<int>(item->rcPos.right));
  return right - m_x;
}

// ---- states ----
BOOL VxListCtrl::SetSel(VxListItem* item, BOOL sel) {
  if (!item || IndexOf(item) < 0) return FALSE;
  if (sel && !item->IsSelected()) {
    item->bNotSelect = 0;
    m_selection.push_back(item);
    return TRUE;
  }
  if (!sel && item->IsSelected()) {
    item->bNotSelect = 1;
    m_selection.erase(std::remove(m_selection.begin(), m_selection.end(), item),
                      m_selection.end());
    return TRUE;
  }
  return FALSE;
}

BOOL VxListCtrl::SetSel(int index, BOOL sel) { return SetSel(GetItem(index), sel); }
void VxListCtrl::SetSignalSel(int index) { SetSel(index, TRUE); }

void VxListCtrl::SelectAll() {
  for (auto* item : m_items) SetSel(item, TRUE);
}

BOOL VxListCtrl::UnSelRcItem() {
  BOOL changed = FALSE;
  for (auto* item : m_items)
    if (item->IsSelected()) {
      item->bNotSelect = 1;
      changed = TRUE;
    }
  m_selection.clear();
  return changed;
}

BOOL VxListCtrl::ItemInSelect(VxListItem* item) const {
  return std::find(m_selection.begin(), m_selection.end(), item) != m_selection.end();
}

BOOL VxListCtrl::ClearState() {
  BOOL changed = FALSE;
  for (auto* item : m_items) {
    if (item->bNotSelect != 1 || item->bNotFocus != 1 || item->nMouseState != 0) changed = TRUE;
    item->bNotSelect = 1;
    item->bNotFocus = 1;
    item->ClearTextCache();
    item->nMouseState = 0;
  }
  if (!m_selection.empty()) changed = TRUE;
  m_selection.clear();
  return changed;
}

BOOL VxListCtrl::RemoveMoveState() {
  BOOL changed = FALSE;
  for (auto* item : m_items)
    if (item->nMouseState == 1) {
      item->nMouseState = 0;
      changed = TRUE;
    }
  return changed;
}

BOOL VxListCtrl::ClearAlphImage() {
  BOOL freed = FALSE;
  for (auto* item : m_items) {
    if (item->pAlphaImage) {
      delete item->pAlphaImage;
      item->pAlphaImage = nullptr;
      freed = TRUE;
    }
    item->nAlpha = 255;
  }
  return freed;
}

BOOL VxListCtrl::SetTextCath(VxListItem* item, LPCWSTR text) {
  if (!item || !text) return FALSE;
  if (wcsncmp(item->szTextCache, text, 259) == 0) return FALSE;
  CopyText(item->szTextCache, text);
  return TRUE;
}

VxListItem* VxListCtrl::GetFocusItem() const {
  for (auto* item : m_items)
    if (item->IsFocused()) return item;
  return nullptr;
}

VxListItem* VxListCtrl::HitTest(POINT pt) const {
  for (auto* item : m_items)
    if (::PtInRect(&item->rcHover, pt)) return item;
  return nullptr;
}

void VxListCtrl::SetListCallBack(VxListCallbacks* cb) {
  m_callbacks = cb ? *cb : VxListCallbacks{};
}

void VxListCtrl::SetFont(Gdiplus::Font& font) {
  ++m_lookGeneration;
  Gdiplus::Font* c = font.Clone();
  if (c) m_pFont.reset(c);
}

// ---- drawing ----
VxRc VxListCtrl::PaintExtent(const VxListItem* item) {
  if (!item->IsPlaced()) return VxRc{};
  // Scaled highlight images may smooth a pixel or two past their rectangles.
  return VxEntryPaintExtent(ToRc(item->rcPos), ToRc(item->rcHover), ToRc(item->rcFocus),
                            ToRc(item->rcText), 2);
}

namespace {

// The first-draw budget of one Draw (see SetFirstDrawBudget): once over it, `pending` is set
// and every entry never drawn before is left for a later frame.
class FirstDrawClock {
 public:
  FirstDrawClock(double budgetMs, bool* pending) : budgetMs_(budgetMs), pending_(pending) {
    *pending_ = false;
    if (budgetMs_ > 0) ::QueryPerformanceFrequency(&freq_);
  }
  // Whether the next entry never drawn before waits for a later frame. Only the time spent on
  // such entries counts: a list whose drawn entries alone took longer would otherwise never
  // draw another one, and ask for frames forever.
  bool Spent() {
    if (budgetMs_ > 0 && spentMs_ > budgetMs_) *pending_ = true;
    return *pending_;
  }
  template <class Draw>
  void Time(Draw draw) {
    if (budgetMs_ <= 0) {
      draw();
      return;
    }
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    draw();
    ::QueryPerformanceCounter(&end);
    spentMs_ += 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                static_cast<double>(freq_.QuadPart);
  }

 private:
  double budgetMs_;
  bool* pending_;
  double spentMs_ = 0;
  LARGE_INTEGER freq_{};
};

}  // namespace

void VxListCtrl::Draw(Gdiplus::Graphics& g) { Draw(g, nullptr); }

void VxListCtrl::Draw(Gdiplus::Graphics& g, const VxPixels* frame) {
  if (frame && frame->bits) {
    VxPixelsTarget target(*frame);
    Draw(g, target);
  } else if (m_bShow) {
    DrawThroughPlus(g);
  }
}

// Under Wine GDI+ costs about 17 ns a pixel of every image drawn, so a screen of entries
// redrawn each frame cost tens of milliseconds; composing kept images costs a few.
void VxListCtrl::Draw(Gdiplus::Graphics& g, VxBlendTarget& target) {
  if (!m_bShow) return;
  if (HasNoTransform(g))
    DrawComposed(g, target);
  else
    DrawThroughPlus(g);
}

void VxListCtrl::DrawThroughPlus(Gdiplus::Graphics& g) {
  // GDI+ still does most of the work of a drawing that its clip throws away: a repaint of
  // a few cells would cost as much as the whole list.
  Gdiplus::Rect clip;
  // An unclipped graphics reports bounds far larger than any list.
  const bool clipped = !g.IsClipEmpty() && g.GetClipBounds(&clip) == Gdiplus::Ok;
  const VxRc area{clip.X, clip.Y, clip.X + clip.Width, clip.Y + clip.Height};
  FirstDrawClock clock(m_firstDrawBudgetMs, &m_rendersPending);
  VxListItem* focused = nullptr;
  for (auto* item : m_items) {
    if (clipped && !PaintExtent(item).Intersects(area)) continue;
    if (item->IsFocused()) {
      focused = item;
      continue;
    }
    // A label never rendered is the costly part of an entry.
    if (!LabelNeverRendered(item)) {
      DrawItem(g, item);
    } else if (!clock.Spent()) {
      clock.Time([&] { DrawItem(g, item); });
    }
  }
  if (focused) DrawItem(g, focused);
}

void VxListCtrl::DrawComposed(Gdiplus::Graphics& g, VxBlendTarget& target) {
  Gdiplus::Rect clip;
  VxRc area{0, 0, target.Width(), target.Height()};
  if (!g.IsClipEmpty() && g.GetClipBounds(&clip) == Gdiplus::Ok)
    area = VxIntersection(area, VxRc{clip.X, clip.Y, clip.X + clip.Width, clip.Y + clip.Height});
  if (area.IsEmpty()) return;
  g.Flush(Gdiplus::FlushIntentionSync);
  ::GdiFlush();
  // A target may keep what it is given until the frame ends: no highlight goes before then.
  ForgetStaleHighlights();
  auto blend = [&](const VxPixelImage& image, const VxRc& at) {
    const VxRc part = VxIntersection(at, area);
    if (part.IsEmpty()) return;
    target.Blend(image, part.left, part.top, part.Width(), part.Height(), part.left - at.left,
                 part.top - at.top);
  };
  FirstDrawClock clock(m_firstDrawBudgetMs, &m_rendersPending);
  auto compose = [&](VxListItem* item) {
    target.BeginLayer(item, 0);
    const RECT& sr = item->IsFocused() && item->bDrawText ? item->rcFocus : item->rcHover;
    const VxRc state{sr.left, sr.top, sr.right, sr.bottom};
    const int kinds[3] = {item->IsSelected() ? 0 : -1, item->nMouseState == 1 ? 1 : -1,
                          item->nMouseState == 2 ? 2 : -1};
    for (int kind : kinds)
      if (kind >= 0)
        if (const VxPixelImage* h = Highlight(g, kind, state.Width(), state.Height())) blend(*h, state);
    const VxEntryPixels* px = EntryPixels(g, item);
    if (!px || !px->image) return;
    blend(px->image, px->extent);
  };
  auto composeInBudget = [&](VxListItem* item) {
    if (item->pPixels) {
      compose(item);
    } else if (!clock.Spent()) {  // else drawn on a later frame
      clock.Time([&] { compose(item); });
    }
  };
  VxListItem* focused = nullptr;
  for (auto* item : m_items) {
    if (!item->IsPlaced() || !PaintExtent(item).Intersects(area)) continue;
    if (item->IsFocused()) {
      focused = item;
      continue;
    }
    composeInBudget(item);
  }
  if (focused) composeInBudget(focused);
}

namespace {

// A graphics over premultiplied memory drawing as `like` does.
std::unique_ptr<Gdiplus::Graphics> GraphicsLike(Gdiplus::Graphics& like, Gdiplus::Bitmap& bmp) {
  auto g = std::make_unique<Gdiplus::Graphics>(&bmp);
  g->SetTextRenderingHint(like.GetTextRenderingHint());
  g->SetInterpolationMode(like.GetInterpolationMode());
  g->SetPixelOffsetMode(like.GetPixelOffsetMode());
  g->SetSmoothingMode(like.GetSmoothingMode());
  g->SetCompositingQuality(like.GetCompositingQuality());
  return g;
}

}  // namespace

void VxListCtrl::ForgetStaleHighlights() {
  if (m_highlightGeneration != m_lookGeneration || m_highlights.size() > 64) {
    m_highlights.clear();
    m_highlightGeneration = m_lookGeneration;
  }
}

const VxPixelImage* VxListCtrl::Highlight(Gdiplus::Graphics& g, int kind, int w, int h) {
  const VxNineSlice& set = kind == 0 ? m_focusImages : kind == 1 ? m_moveImages : m_downImages;
  if (w <= 0 || h <= 0 || set.IsEmpty()) return nullptr;
  std::unique_ptr<VxPixelImage>& image = m_highlights[std::make_tuple(kind, w, h)];
  if (image) return image.get();
  image = std::make_unique<VxPixelImage>();
  if (!image->Create(w, h)) return nullptr;
  const VxPixels px = image->Pixels();
  Gdiplus::Bitmap bmp(w, h, static_cast<INT>(px.stride), PixelFormat32bppPARGB, px.bits);
  {
    std::unique_ptr<Gdiplus::Graphics> hg = GraphicsLike(g, bmp);
    set.Draw(*hg, Gdiplus::Rect(0, 0, w, h));
    hg->Flush(Gdiplus::FlushIntentionSync);
  }
  return image.get();
}

const VxEntryPixels* VxListCtrl::EntryPixels(Gdiplus::Graphics& g, VxListItem* item) {
  VxEntryPixels* px = item->pPixels;
  if (px && px->Shows(item, this, m_lookGeneration)) return px;
  if (!px) {
    px = new (std::nothrow) VxEntryPixels();
    if (!px) return nullptr;
    item->pPixels = px;
  }
  const VxRc extent = PaintExtent(item);
  px->extent = extent;
  if (extent.IsEmpty() || !px->image.Create(extent.Width(), extent.Height())) {
    px->image.Reset();
    return px;
  }
  const VxPixels pixels = px->image.Pixels();
  {
    Gdiplus::Bitmap bmp(pixels.width, pixels.height, static_cast<INT>(pixels.stride),
                        PixelFormat32bppPARGB, pixels.bits);
    std::unique_ptr<Gdiplus::Graphics> eg = GraphicsLike(g, bmp);
    eg->TranslateTransform(static_cast<float>(-extent.left), static_cast<float>(-extent.top));
    DrawContent(*eg, item);
    eg->Flush(Gdiplus::FlushIntentionSync);
  }
  // Composing costs by the pixel, transparent ones too: only the drawn part is kept.
  const VxRc drawn = px->image.TrimToDrawn();
  px->extent = VxRc{extent.left + drawn.left, extent.top + drawn.top, extent.left + drawn.right,
                    extent.top + drawn.bottom};
  // Drawing the label made its kept text image: remember the entry as it is now.
  px->Remember(item, this, m_lookGeneration);
  return px;
}

void VxListCtrl::DrawItem(Gdiplus::Graphics& g, VxListItem* item) {
  if (!item->IsPlaced()) return;
  const bool fullLabel = item->IsFocused() && item->bDrawText;
  const RECT& sr = fullLabel ? item->rcFocus : item->rcHover;
  const Gdiplus::Rect state(sr.left, sr.top, sr.right - sr.left, sr.bottom - sr.top);
  if (item->IsSelected()) m_focusImages.Draw(g, state);
  if (item->nMouseState == 1) m_moveImages.Draw(g, state);
  if (item->nMouseState == 2) m_downImages.Draw(g, state);
  DrawContent(g, item);
}

void VxListCtrl::DrawContent(Gdiplus::Graphics& g, VxListItem* item) {
  const bool fullLabel = item->IsFocused() && item->bDrawText;

  // A ghost (an entry that was cut) shows its faded copy of the icon instead.
  if (Gdiplus::Image* icon = item->pAlphaImage ? item->pAlphaImage : item->pIcon) {
    const int x = item->rcPos.left + (m_geo.itemWidth - m_geo.imageWidth) / 2;
    const int y = item->rcPos.top + m_geo.innerTop;
    // Rows have no item width to centre in (-1): their icon sits at the row's left edge.
    VxDrawImageRect(g, icon,
                    Gdiplus::Rect(m_geo.itemWidth > 0 ? x : item->rcPos.left + 2, y, m_geo.imageWidth,
                                  m_geo.imageHeight),
                    0, 0, VxImageWidth(icon), VxImageHeight(icon));
  }
  if (item->szName[0] && item->bDrawText) DrawLabel(g, item, LabelBox(item), !fullLabel);
}

Gdiplus::Rect VxListCtrl::LabelBox(const VxListItem* item) const {
  if (!item->szName[0] || !item->bDrawText) return Gdiplus::Rect();
  const bool fullLabel = item->IsFocused();
  const int h = fullLabel ? (item->rcFocus.bottom - item->rcFocus.top)
                          : (item->rcText.bottom - item->rcText.top);
  return Gdiplus::Rect(item->rcText.left, item->rcText.top, item->rcText.right - item->rcText.left, h);
}

bool VxListCtrl::LabelNeverRendered(const VxListItem* item) const {
  // DrawLabel draws nothing (and keeps no rendering) for these: counting them as never drawn
  // would keep the list asking for frames forever.
  const Gdiplus::Rect box = LabelBox(item);
  return !item->pTextImage && m_pFont && box.Width > 0 && box.Height > 0;
}

void VxListCtrl::DrawLabel(Gdiplus::Graphics& g, VxListItem* item, const Gdiplus::Rect& box,
                           bool trim) {
  if (box.Width <= 0 || box.Height <= 0 || !m_pFont) return;
  Gdiplus::Image* cached = item->pTextImage;
  const bool fresh = cached && item->szTextCache[0] &&
                     wcscmp(item->szTextCache, item->szName) == 0 &&
                     static_cast<int>(cached->GetWidth()) == box.Width &&
                     static_cast<int>(cached->GetHeight()) == box.Height;
  if (!fresh) {
    delete item->pTextImage;
    item->pTextImage = nullptr;
    auto* bmp = new Gdiplus::Bitmap(box.Width, box.Height, PixelFormat32bppPARGB);
    if (bmp->GetLastStatus() != Gdiplus::Ok) {
      delete bmp;
      return;
    }
    {
      Gdiplus::Graphics bg(bmp);
      bg.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
      std::unique_ptr<Gdiplus::StringFormat> format(m_pFormat->Clone());
      if (!trim) format->SetTrimming(Gdiplus::StringTrimmingNone);
      Gdiplus::Color text = m_textColor, glow(0xB4323232);
      Gdiplus::RectF rc(0, 0, static_cast<float>(box.Width), static_cast<float>(box.Height));
      Gdiplus::PointF offset(1.0f, 1.0f);
      VxDrawShadowText(&bg, item->szName, *m_pFont, *format, text, glow, rc, offset, 3.0f);
    }
    item->pTextImage = bmp;
    SetTextCath(item, item->szName);
  }
  g.DrawImage(item->pTextImage, box.X, box.Y, box.Width, box.Height);
}
