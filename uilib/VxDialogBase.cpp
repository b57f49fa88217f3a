#include "uilib/VxDialogBase.h"

#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"

namespace {

const Gdiplus::Color kCatchMouse(0x01FFFFFF);  // nearly transparent: still hit by the mouse
const Gdiplus::Color kBandFill(0x643399FF);
const Gdiplus::Color kBandLine(0xFF3399FF);

Gdiplus::Rect ToGdiRect(const RECT& r) {
  return Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

CVxDialogBase::CVxDialogBase(UINT nIDTemplate, HWND hParent) : CVxDialog(nIDTemplate, hParent) {}

CVxDialogBase::~CVxDialogBase() { delete m_pBack; }

BOOL CVxDialogBase::OnInitDialog() {
  CVxDialog::OnInitDialog();
  return TRUE;
}

BOOL CVxDialogBase::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* pResult) {
  // Whether a hidden layered window keeps its pixels is the system's affair: a window shown
  // again gets its next frame whatever that paints.
  if (msg == WM_WINDOWPOSCHANGED &&
      (reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_SHOWWINDOW))
    ForgetShownFrame();
  return CVxDialog::OnMessage(msg, wp, lp, pResult);
}

// ---- window modes ----
BOOL CVxDialogBase::SetNoLayDlg() {
  ForgetShownFrame();
  m_nLayerMode = kPlain;
  if (m_hWnd)
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE,
                     ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_LAYERED));
  return TRUE;
}

BOOL CVxDialogBase::Set_COLORKEYDlg(COLORREF key) {
  ForgetShownFrame();
  m_nLayerMode = kColorKey;
  m_colorKey = key;
  ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  return ::SetLayeredWindowAttributes(m_hWnd, key, 0, LWA_COLORKEY);
}

BOOL CVxDialogBase::Set_ALPHADlg(int alpha) {
  ForgetShownFrame();
  m_nLayerMode = kUniformAlpha;
  m_nAlpha = alpha;
  ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  return ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

BOOL CVxDialogBase::Set_OPAQUEDlg(int alpha) {
  ForgetShownFrame();
  m_nLayerMode = kPerPixelAlpha;
  m_nAlpha = alpha;
  ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ::GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  // Flag 4 is no attribute: the window keeps no layered attributes, which is what lets
  // UpdateLayeredWindow paint it from now on.
  const BOOL ok = ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(alpha), 4);
  // Wine stores any flags as attributes, and a window with attributes refuses
  // UpdateLayeredWindow: taking the layered style off and on again drops them.
  COLORREF key = 0;
  BYTE a = 0;
  DWORD flags = 0;
  if (::GetLayeredWindowAttributes(m_hWnd, &key, &a, &flags)) {
    const LONG ex = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ex & ~static_cast<LONG>(WS_EX_LAYERED));
    ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  }
  return ok;
}

// ---- background ----
void CVxDialogBase::SetBack(CString path, int keepAspect, int cache) {
  delete m_pBack;
  m_pBack = nullptr;
  if (!path.empty()) {
    m_pBack = VxLoadImageFile(path.c_str());
    m_bKeepAspect = keepAspect;
  }
  m_pBackCache.reset();
  m_backPixels.clear();
  m_bCacheBack = cache;
}

BOOL CVxDialogBase::SetBack(CString path, CRect& size) {
  delete m_pBack;
  m_pBack = nullptr;
  m_pBackCache.reset();
  m_backPixels.clear();
  if (path.empty()) return FALSE;
  m_pBack = VxLoadImageFile(path.c_str());
  if (!m_pBack) return FALSE;
  size.SetRect(0, 0, VxImageWidth(m_pBack), VxImageHeight(m_pBack));
  return TRUE;
}

void CVxDialogBase::SetBackColor(Gdiplus::Color color, BOOL on) {
  m_backColor = color;
  m_bBackColor = on;
  m_pBackCache.reset();
  m_backPixels.clear();
}

// ---- items ----
BOOL CVxDialogBase::AddVxItem(VxItemBase* item) {
  if (!item || GetVxItem(item)) return FALSE;
  item->SetParent(m_hWnd);
  m_items.push_back(item);
  if (item->GetType() == VXT_GIFIMAGE) m_bAnimation = TRUE;
  return TRUE;
}

BOOL CVxDialogBase::RemoveVxItem(VxItemBase* item) {
  auto it = std::find(m_items.begin(), m_items.end(), item);
  if (it == m_items.end()) return FALSE;
  m_items.erase(it);
  if (m_pPressed == item) m_pPressed = nullptr;
  return TRUE;
}

void CVxDialogBase::RemoveAllVxItem() {
  m_items.clear();
  m_pPressed = nullptr;
}

VxItemBase* CVxDialogBase::GetVxItem(VxItemBase* item) const {
  return std::find(m_items.begin(), m_items.end(), item) != m_items.end() ? item : nullptr;
}

// ---- painting ----
bool CVxDialogBase::WindowParked() const {
  RECT rc;
  ::GetWindowRect(m_hWnd, &rc);
  return rc.left < -20000;
}

void CVxDialogBase::UpdateView() {
  if (!m_hWnd || !::IsWindow(m_hWnd) || WindowParked()) return;
  if (m_nLayerMode != kPerPixelAlpha) {
    if (m_bInvalidateOnUpdate)
      ::InvalidateRect(m_hWnd, nullptr, TRUE);
    else
      CallBackInvalidate();
    return;
  }
  RECT wr;
  ::GetWindowRect(m_hWnd, &wr);
  const int cx = wr.right - wr.left, cy = wr.bottom - wr.top;
  if (cx <= 0 || cy <= 0) return;
  if (EnsureSurface(cx, cy) == SurfaceState::kMissing) return;
  void* bits = m_surfaceBits;
  ::GdiFlush();
  const size_t bytes = static_cast<size_t>(cx) * cy * 4;
  // The cached background is made before the first frame: a first frame that drew it
  // through GDI+ would differ from the copies every later frame starts from.
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const bool clientIsWindow = client.right - client.left == cx && client.bottom - client.top == cy;
  // The surface outlives the frame: without a background copy it starts transparent.
  if (const BYTE* back = clientIsWindow ? OpaqueBackPixels(cx, cy) : nullptr)
    memcpy(bits, back, bytes);
  else
    memset(bits, 0, bytes);
  HDC memDC = m_surfaceDC.Get();
  m_layerBits = bits;
  m_layerDC = memDC;
  m_layerCx = cx;
  m_layerCy = cy;
  DrawSurface(memDC, cx, cy, TRUE);
  m_layerBits = nullptr;
  m_layerDC = nullptr;
  m_layerGraphics = nullptr;

  // Timers and repeated requests often paint what is already shown; under Wine handing a
  // frame over costs far more than painting it (a fresh window-sized bitmap per call).
  const POINT src = m_bSourceSet ? m_ptSource : POINT{0, 0};
  if (FrameChanged(RECT{0, 0, cx, cy}, src)) PresentSurface(nullptr, src);
}

bool CVxDialogBase::FrameChanged(const RECT& area, POINT source) {
  const int cx = m_surfaceCx, cy = m_surfaceCy;
  const BYTE* bits = static_cast<const BYTE*>(m_surfaceBits);
  if (!bits) return true;
  ::GdiFlush();
  const size_t bytes = static_cast<size_t>(cx) * cy * 4;
  bool changed = m_shownAlpha != m_nAlpha || m_shownSource.x != source.x ||
                 m_shownSource.y != source.y;
  m_shownAlpha = m_nAlpha;
  m_shownSource = source;
  if (m_shownPixels.size() != bytes) {
    m_shownPixels.assign(bits, bits + bytes);
    return true;
  }
  RECT all{0, 0, cx, cy}, d;
  if (!::IntersectRect(&d, &area, &all)) return changed;
  const size_t row = static_cast<size_t>(d.right - d.left) * 4;
  for (int y = d.top; y < d.bottom; ++y) {
    const size_t at = (static_cast<size_t>(y) * cx + d.left) * 4;
    if (memcmp(m_shownPixels.data() + at, bits + at, row) == 0) continue;
    memcpy(m_shownPixels.data() + at, bits + at, row);
    changed = true;
  }
  return changed;
}

void CVxDialogBase::ForgetShownFrame() {
  m_shownPixels.clear();
  m_shownAlpha = -1;
}

void CVxDialogBase::PresentSurface(const RECT* dirty, POINT source) {
  RECT wr;
  ::GetWindowRect(m_hWnd, &wr);
  VxWindowDC screen(nullptr);
  POINT dst{wr.left, wr.top};
  SIZE size{m_surfaceCx, m_surfaceCy};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(m_nAlpha), AC_SRC_ALPHA};
  // A child window (embedded in the desktop) is positioned by its parent: keep its place.
  POINT* where = (::GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD) ? nullptr : &dst;
  HDC memDC = m_surfaceDC.Get();
  BOOL ok = FALSE;
  if (dirty) {
    UPDATELAYEREDWINDOWINFO info{};
    info.cbSize = sizeof(info);
    info.hdcDst = screen.Get();
    info.pptDst = where;
    info.psize = &size;
    info.hdcSrc = memDC;
    info.pptSrc = &source;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = dirty;
    ok = ::UpdateLayeredWindowIndirect(m_hWnd, &info);
  }
  // Without a dirty area, or when the narrowed call fails: all of the surface is whole.
  if (!ok)
    ok = ::UpdateLayeredWindow(m_hWnd, screen.Get(), where, &size, memDC, &source, 0, &blend,
                               ULW_ALPHA);
  if (ok)
    ++m_nPresents;
  else
    ForgetShownFrame();
}

void CVxDialogBase::UpdateViewRect(RECT* rc) {
  if (!m_hWnd) return;
  if (m_nLayerMode == kPerPixelAlpha) {
    UpdateView();
    return;
  }
  ::InvalidateRect(m_hWnd, rc, TRUE);
}

void CVxDialogBase::UpdateViewDirty(const RECT& dirty) {
  if (!m_hWnd) return;
  if (m_nLayerMode != kPerPixelAlpha) {
    RECT r = dirty;
    UpdateViewRect(&r);
    return;
  }
  if (!PresentDirty(dirty)) UpdateView();
}

// A hover change touches a few cells, yet a whole frame repaints every entry of a
// screen-sized list. Under Wine the present itself stays costly with a dirty rectangle
// (about four fifths of a whole one, measured by LumetteBench): the saving is the painting.
bool CVxDialogBase::PresentDirty(const RECT& dirty) {
  if (!::IsWindow(m_hWnd) || WindowParked()) return true;
  // A moved source origin shifts surface against window: not worth the bookkeeping.
  if (m_bSourceSet || !m_surfaceDC || !m_surfaceBits) return false;
  RECT wr;
  ::GetWindowRect(m_hWnd, &wr);
  const int cx = wr.right - wr.left, cy = wr.bottom - wr.top;
  if (cx != m_surfaceCx || cy != m_surfaceCy) return false;
  const size_t bytes = static_cast<size_t>(cx) * cy * 4;
  const bool cacheInUse = m_pBackCache && m_bCacheBack &&
                          static_cast<int>(m_pBackCache->GetWidth()) == cx &&
                          static_cast<int>(m_pBackCache->GetHeight()) == cy;
  if (cacheInUse && m_backPixels.size() != bytes) return false;
  RECT all{0, 0, cx, cy}, d;
  if (!::IntersectRect(&d, &dirty, &all)) return true;

  ::GdiFlush();
  BYTE* bits = static_cast<BYTE*>(m_surfaceBits);
  const size_t row = static_cast<size_t>(d.right - d.left) * 4;
  for (int y = d.top; y < d.bottom; ++y) {
    const size_t at = (static_cast<size_t>(y) * cx + d.left) * 4;
    if (cacheInUse)
      memcpy(bits + at, m_backPixels.data() + at, row);
    else
      memset(bits + at, 0, row);
  }
  HDC memDC = m_surfaceDC.Get();
  {
    // Painting through the DC (not a surface graphics) must stay inside the area too.
    VxSavedDC keep(memDC);
    ::IntersectClipRect(memDC, d.left, d.top, d.right, d.bottom);
    m_layerBits = bits;
    m_layerDC = memDC;
    m_layerCx = cx;
    m_layerCy = cy;
    m_bLayerClip = true;
    m_rcLayerClip = d;
    DrawSurface(memDC, cx, cy, TRUE);
    m_bLayerClip = false;
    m_layerBits = nullptr;
    m_layerDC = nullptr;
    m_layerGraphics = nullptr;
  }
  if (FrameChanged(d, POINT{0, 0})) PresentSurface(&d, POINT{0, 0});
  return true;
}

void CVxDialogBase::UpdateViewPt(POINT& pt) {
  m_ptSource = pt;
  m_bSourceSet = TRUE;
  UpdateView();
}

// Over the per-pixel-alpha surface GDI+ draws through a bitmap on the same bits: a Graphics
// made from the DC would treat the surface as opaque RGB and lose the alpha.
VxSurfaceGraphics CVxDialogBase::CreateSurfaceGraphics(HDC hdc) {
  VxSurfaceGraphics s;
  if (hdc == m_layerDC && m_layerBits) {
    s.bitmap = std::make_unique<Gdiplus::Bitmap>(m_layerCx, m_layerCy, m_layerCx * 4,
                                                 PixelFormat32bppPARGB,
                                                 static_cast<BYTE*>(m_layerBits));
    s.graphics = std::make_unique<Gdiplus::Graphics>(s.bitmap.get());
    if (m_bLayerClip) s.graphics->SetClip(ToGdiRect(m_rcLayerClip));
    m_layerGraphics = s.graphics.get();
  } else {
    s.graphics = std::make_unique<Gdiplus::Graphics>(hdc);
    if (hdc == m_paintDC) {
      if (m_bLayerClip) s.graphics->SetClip(ToGdiRect(m_rcLayerClip));
      m_layerGraphics = s.graphics.get();
    }
  }
  return s;
}

void CVxDialogBase::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  if (m_nLayerMode != kPerPixelAlpha && buffered) {
    RECT area{0, 0, cx, cy};
    if (!m_bPaintAll) ::IntersectRect(&area, &area, &m_rcPaint);
    DrawOpaqueSurface(hdc, cx, cy, area);
    return;
  }
  OnVxPaint(hdc, cx, cy);
}

const BYTE* CVxDialogBase::OpaqueBackPixels(int cx, int cy) {
  if (!m_bCacheBack || cx <= 0 || cy <= 0) return nullptr;
  const size_t bytes = static_cast<size_t>(cx) * cy * 4;
  if (!m_pBackCache || static_cast<int>(m_pBackCache->GetWidth()) != cx ||
      static_cast<int>(m_pBackCache->GetHeight()) != cy) {
    m_pBackCache = std::make_unique<Gdiplus::Bitmap>(cx, cy, PixelFormat32bppPARGB);
    m_backPixels.clear();
    Gdiplus::Graphics cg(m_pBackCache.get());
    PaintBackground(cg, cx, cy);
  }
  if (m_backPixels.size() != bytes) {
    m_backPixels.clear();
    Gdiplus::Rect r(0, 0, cx, cy);
    Gdiplus::BitmapData data;
    if (m_pBackCache->LockBits(&r, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
        Gdiplus::Ok)
      return nullptr;
    m_backPixels.resize(bytes);
    for (int y = 0; y < cy; ++y)
      memcpy(m_backPixels.data() + static_cast<size_t>(y) * cx * 4,
             static_cast<BYTE*>(data.Scan0) + static_cast<size_t>(y) * data.Stride,
             static_cast<size_t>(cx) * 4);
    m_pBackCache->UnlockBits(&data);
  }
  return m_backPixels.data();
}

CVxDialogBase::SurfaceState CVxDialogBase::EnsureSurface(int cx, int cy) {
  if (m_surfaceDC && m_surfaceDib && m_surfaceCx == cx && m_surfaceCy == cy)
    return SurfaceState::kKept;
  m_surfaceDC.Reset();
  m_surfaceDib.Reset();
  m_surfaceBits = nullptr;
  ForgetShownFrame();
  VxWindowDC screen(nullptr);
  void* fresh = nullptr;
  VxBitmap dib(VxCreateTopDownDib(screen.Get(), cx, cy, &fresh));
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  if (!mem || !dib || !fresh) return SurfaceState::kMissing;
  ::SelectObject(mem.Get(), dib.Get());
  m_surfaceDib = std::move(dib);
  m_surfaceDC = std::move(mem);
  m_surfaceBits = fresh;
  m_surfaceCx = cx;
  m_surfaceCy = cy;
  return SurfaceState::kFresh;
}

// A kept off-screen surface: the window never shows a half-drawn frame, only the area the
// paint asks for is drawn again and copied to the window, the cached background is copied
// in rather than drawn by GDI+ (about 17 ns a pixel under Wine), and lists are composed in
// the surface's memory.
void CVxDialogBase::DrawOpaqueSurface(HDC hdc, int cx, int cy, RECT area) {
  switch (EnsureSurface(cx, cy)) {
    case SurfaceState::kMissing: return;
    case SurfaceState::kFresh: area = RECT{0, 0, cx, cy}; break;  // nothing drawn on it yet
    case SurfaceState::kKept: break;
  }
  if (::IsRectEmpty(&area)) return;
  HDC mem = m_surfaceDC.Get();
  {
    VxSavedDC keep(mem);
    ::IntersectClipRect(mem, area.left, area.top, area.right, area.bottom);
    ::GdiFlush();
    // A colour-keyed window is filled with its key by the paint, then gets the background
    // drawn over it; the others start black, as a fresh bitmap did.
    const BYTE* back = m_nLayerMode == kColorKey ? nullptr : OpaqueBackPixels(cx, cy);
    BYTE* bits = static_cast<BYTE*>(m_surfaceBits);
    const size_t row = static_cast<size_t>(area.right - area.left) * 4;
    for (int y = area.top; y < area.bottom; ++y) {
      const size_t at = (static_cast<size_t>(y) * cx + area.left) * 4;
      if (back)
        memcpy(bits + at, back + at, row);
      else
        memset(bits + at, 0, row);
    }
    m_bBackCopied = back != nullptr;
    m_paintDC = mem;
    m_paintPixels.bits = bits;
    m_paintPixels.width = cx;
    m_paintPixels.height = cy;
    m_paintPixels.stride = static_cast<std::ptrdiff_t>(cx) * 4;
    m_bLayerClip = !(area.left == 0 && area.top == 0 && area.right == cx && area.bottom == cy);
    m_rcLayerClip = area;
    OnVxPaint(mem, cx, cy);
    m_bLayerClip = false;
    m_paintDC = nullptr;
    m_paintPixels = VxPixels{};
    m_layerGraphics = nullptr;
    m_bBackCopied = false;
  }
  ::GdiFlush();
  ::BitBlt(hdc, area.left, area.top, area.right - area.left, area.bottom - area.top, mem,
           area.left, area.top, SRCCOPY);
}

void CVxDialogBase::PaintBackground(Gdiplus::Graphics& g, int w, int h) {
  if (m_bBackColor) {
    Gdiplus::SolidBrush brush(m_backColor);
    g.FillRectangle(&brush, 0, 0, w, h);
  }
  if (VxImageUsable(m_pBack) && w > 0 && h > 0) {
    Gdiplus::ImageAttributes attr;
    attr.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    const int iw = VxImageWidth(m_pBack), ih = VxImageHeight(m_pBack);
    VxXYWH src{0, 0, iw, ih};
    if (m_bKeepAspect) src = VxCoverCropSource(iw, ih, w, h);
    g.DrawImage(m_pBack, Gdiplus::Rect(0, 0, w, h), src.x, src.y, src.w, src.h,
                Gdiplus::UnitPixel, &attr);
  }
}

void CVxDialogBase::OnVxPaint(HDC hdc, int cx, int cy) {
  if (!m_hWnd) return;
  if (m_nLayerMode == kColorKey) {
    VxBrush key(::CreateSolidBrush(m_colorKey));
    RECT all{0, 0, cx, cy};
    ::FillRect(hdc, &all, key.Get());
  }
  VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
  g->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int w = client.right - client.left, h = client.bottom - client.top;

  // Mode 3 copies a cached background into the surface before painting; the other modes
  // paint into a fresh bitmap each time and so draw the background every time.
  const bool cacheUsable = m_bCacheBack && m_pBackCache &&
                           static_cast<int>(m_pBackCache->GetWidth()) == w &&
                           static_cast<int>(m_pBackCache->GetHeight()) == h;
  if (!(cacheUsable && (m_nLayerMode == kPerPixelAlpha || m_bBackCopied))) {
    if (m_bCacheBack && !cacheUsable && w > 0 && h > 0) {
      m_pBackCache = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppPARGB);
      m_backPixels.clear();
      Gdiplus::Graphics cg(m_pBackCache.get());
      PaintBackground(cg, w, h);
    }
    if (m_bCacheBack && m_pBackCache)
      g->DrawImage(m_pBackCache.get(), 0, 0, w, h);
    else
      PaintBackground(*g, w, h);
  }

  Gdiplus::SolidBrush catcher(kCatchMouse);
  // A solid fill is cut to the repainted area by hand: GDI+ would visit every pixel of a
  // screen-sized fill only to have the clip discard it.
  auto fill = [&](Gdiplus::Rect r) {
    if (m_bLayerClip && !r.Intersect(ToGdiRect(m_rcLayerClip))) return;
    g->FillRectangle(&catcher, r);
  };
  if (m_nLayerMode == kPerPixelAlpha && !m_bMouseTranOver) fill(Gdiplus::Rect(0, 0, w, h));
  for (VxItemBase* item : m_items) {
    if (!item->IsShow()) continue;
    if (!item->GetTranMouseOver()) {
      Gdiplus::Rect r;
      item->GetRect(&r);
      fill(r);
    }
    DrawItemByType(*g, item);
  }
  if (m_bSelRect && m_bBanding) {
    Gdiplus::SolidBrush fill(kBandFill);
    Gdiplus::Pen line(kBandLine, 1.0f);
    const Gdiplus::Rect band = ToGdiRect(m_rcBand);
    g->FillRectangle(&fill, band);
    g->DrawRectangle(&line, band);
  }
}

void CVxDialogBase::DrawItemByType(Gdiplus::Graphics& g, VxItemBase* item) {
  switch (item->GetType()) {
    case VXT_STATICTEXT: DrawStaticText(g, static_cast<VxStaticText*>(item)); break;
    case VXT_IMAGE: DrawImage(g, static_cast<VxImage*>(item)); break;
    case VXT_GIFIMAGE: DrawGifImage(g, static_cast<VxGifImage*>(item)); break;
    case VXT_BUTTON:
    case VXT_TEXTBUTTON: DrawButton(g, static_cast<VxButton*>(item)); break;
    case VXT_CHECKBOX:
    case VXT_RADIO:
      DrawButton(g, static_cast<VxButton*>(item));
      DrawCheckBoxText(g, static_cast<VxCheckBox*>(item));
      break;
    case VXT_PROGRESS: DrawProgress(g, static_cast<VxProgress*>(item)); break;
    case VXT_LISTCTRL: DrawListCtrl(g, static_cast<VxListCtrl*>(item)); break;
    case VXT_VSCROLLBAR: DrawVScroll(g, static_cast<VxVScrollBar*>(item)); break;
    default: break;  // type 7 and unknown types are neither drawn nor hit
  }
}

void CVxDialogBase::DrawShadowText(Gdiplus::Graphics* g, CString text, Gdiplus::Font& font,
                                   Gdiplus::StringFormat& format, Gdiplus::Color& textColor,
                                   Gdiplus::Color& shadowColor, Gdiplus::RectF& rect,
                                   Gdiplus::PointF& point, float scale) {
  VxDrawShadowText(g, text.c_str(), font, format, textColor, shadowColor, rect, point, scale);
}

void CVxDialogBase::SetALPH255(Gdiplus::Bitmap* bmp, int alpha) { VxSetAlpha255(bmp, alpha); }

void CVxDialogBase::DrawStaticText(Gdiplus::Graphics& g, VxStaticText* item) {
  if (!item->GetText() || !item->GetFont()) return;
  Gdiplus::RectF r;
  item->GetRect(&r);
  Gdiplus::SolidBrush brush(item->GetTextColor());
  g.DrawString(item->GetText(), -1, item->GetFont(), r, item->GetFormat(), &brush);
}

void CVxDialogBase::DrawImage(Gdiplus::Graphics& g, VxImage* item) {
  Gdiplus::Image* img = item->GetImage();
  if (!VxImageUsable(img)) return;
  Gdiplus::Rect r;
  item->GetRect(&r);
  Gdiplus::ImageAttributes attr;
  attr.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  VxDrawImageRect(g, img, r, 0, 0, VxImageWidth(img), VxImageHeight(img), &attr);
}

void CVxDialogBase::DrawGifImage(Gdiplus::Graphics& g, VxGifImage* item) { DrawImage(g, item); }

void CVxDialogBase::DrawButton(Gdiplus::Graphics& g, VxButton* item) {
  Gdiplus::Image* img = item->GetImage();
  if (!VxImageUsable(img)) return;
  const int n = item->GetEMImages();
  const int k = VxButtonFrameIndex(n, item->GetStatus(), item->GetActive() != 0,
                                   item->GetEnable() != 0);
  const VxXYWH src = VxButtonFrameSource(VxImageWidth(img), VxImageHeight(img), n, k,
                                         item->GetButtonType() == VxButton::VXBT_VERT,
                                         item->GetButtonHeight());
  Gdiplus::Rect r;
  item->GetRect(&r);
  g.DrawImage(img, Gdiplus::Rect(r.X, r.Y, src.w, src.h), src.x, src.y, src.w, src.h,
              Gdiplus::UnitPixel);
  if (item->GetType() == VXT_TEXTBUTTON) {
    auto* tb = static_cast<VxTextButton*>(item);
    if (!tb->GetText() || !tb->GetFont()) return;
    Gdiplus::SolidBrush brush(tb->GetTextColor());
    g.DrawString(tb->GetText(), -1, tb->GetFont(),
                 Gdiplus::RectF(static_cast<float>(r.X), static_cast<float>(r.Y),
                                static_cast<float>(src.w), static_cast<float>(src.h)),
                 tb->GetFormat(), &brush);
  }
}

void CVxDialogBase::DrawCheckBoxText(Gdiplus::Graphics& g, VxCheckBox* item) {
  Gdiplus::Rect r;
  item->GetRect(&r);
  int fw = 0, fh = 0;
  item->GetFrameSize(&fw, &fh);
  Gdiplus::Image* check = item->GetCheckImage();
  if (item->GetCheck() && VxImageUsable(check)) {
    const int cw = VxImageWidth(check), ch = VxImageHeight(check);
    g.DrawImage(check, Gdiplus::Rect(r.X + (fw - cw) / 2, r.Y + (fh - ch) / 2, cw, ch), 0, 0, cw,
                ch, Gdiplus::UnitPixel);
  }
  if (!item->GetText() || !item->GetFont()) return;
  const int imageWidth = VxImageWidth(item->GetImage());
  Gdiplus::RectF layout(static_cast<float>(r.X + imageWidth), static_cast<float>(r.Y),
                        static_cast<float>(r.Width), static_cast<float>(r.Height));
  Gdiplus::RectF measured;
  g.MeasureString(item->GetText(), -1, item->GetFont(), layout, item->GetFormat(), &measured);
  CRect br;
  item->GetButtonRect(br);
  const VxPtF at = VxCheckTextOrigin(r.X, r.Y, imageWidth, br.Height(), measured.Height,
                                     item->GetTextInerTop(), item->GetTextInerLeft());
  layout.X = at.x;
  layout.Y = at.y;
  Gdiplus::SolidBrush brush(item->GetTextStateColor());
  g.DrawString(item->GetText(), -1, item->GetFont(), layout, item->GetFormat(), &brush);
}

void CVxDialogBase::DrawProgress(Gdiplus::Graphics& g, VxProgress* item) {
  Gdiplus::Rect r;
  item->GetRect(&r);
  if (Gdiplus::Image* back = item->GetBackImage(); VxImageUsable(back))
    VxDrawImageRect(g, back, r, 0, 0, VxImageWidth(back), VxImageHeight(back));
  Gdiplus::Image* bar = item->GetBarImage();
  VxXYWH br;
  if (!VxImageUsable(bar) ||
      !VxProgressBarRect({r.X, r.Y, r.Width, r.Height}, item->GetBackBordThick(), item->GetPos(),
                         item->GetMin(), item->GetMax(), &br) ||
      br.w <= 0 || br.h <= 0)
    return;
  VxDrawImageRect(g, bar, Gdiplus::Rect(br.x, br.y, br.w, br.h), 0, 0, VxImageWidth(bar),
                  VxImageHeight(bar));
}

void CVxDialogBase::DrawVScroll(Gdiplus::Graphics& g, VxVScrollBar* item) {
  Gdiplus::Rect r;
  item->GetRect(&r);
  if (Gdiplus::Image* track = item->GetTrackImage(); VxImageUsable(track))
    VxDrawImageRect(g, track, r, 0, 0, VxImageWidth(track), VxImageHeight(track));
  Gdiplus::Image *top = item->GetTopImage(), *mid = item->GetMiddleImage(),
                 *bottom = item->GetBottomImage();
  const int pos = item->GetBarPos(), max = item->GetMax();
  if (!VxImageUsable(top) || !VxImageUsable(mid) || !VxImageUsable(bottom) || pos < 0 ||
      pos > max || max <= 0)
    return;
  const int frames = std::max(1, item->GetFramesPerCap());
  const int midFull = VxImageHeight(mid);
  const int status = item->GetStatus();
  const int row = status == VxItemBase::VXS_MOUSEON   ? midFull / 3
                  : status == VxItemBase::VXS_MOUSEDOWN ? midFull * 2 / 3
                                                        : 0;
  const int x = r.X + (r.Width - VxImageWidth(mid)) / 2;
  int y = r.Y + pos;
  // The caps take their state frame from the same row offset as the middle image, so the
  // three thumb images share one strip height.
  const int topH = VxImageHeight(top) / frames, botH = VxImageHeight(bottom) / frames;
  g.DrawImage(top, Gdiplus::Rect(x, y, VxImageWidth(top), topH), 0, row, VxImageWidth(top), topH,
              Gdiplus::UnitPixel);
  y += topH;
  Gdiplus::ImageAttributes attr;
  attr.SetWrapMode(Gdiplus::WrapModeTileFlipY);
  const int middle = item->GetBarHeight();
  VxDrawImageRect(g, mid, Gdiplus::Rect(x, y, VxImageWidth(mid), middle), 0, row, VxImageWidth(mid),
                  midFull / 3 - 1, &attr);
  y += middle;
  g.DrawImage(bottom, Gdiplus::Rect(x, y, VxImageWidth(bottom), botH), 0, row,
              VxImageWidth(bottom), botH, Gdiplus::UnitPixel);
}

void CVxDialogBase::DrawListCtrl(Gdiplus::Graphics& g, VxListCtrl* item) {
  if (m_layerGraphics && &g == m_layerGraphics) {
    VxPixels frame = m_paintPixels;
    if (m_layerBits) {
      frame.bits = static_cast<uint8_t*>(m_layerBits);
      frame.width = m_layerCx;
      frame.height = m_layerCy;
      frame.stride = static_cast<std::ptrdiff_t>(m_layerCx) * 4;
    }
    if (frame.bits) {
      item->Draw(g, &frame);
      return;
    }
  }
  item->Draw(g);
}

void CVxDialogBase::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  if (m_nLayerMode != kPerPixelAlpha) {
    RECT wr;
    ::GetWindowRect(m_hWnd, &wr);
    m_rcPaint = ps.rcPaint;
    m_bPaintAll = false;
    DrawSurface(dc, wr.right - wr.left, wr.bottom - wr.top, TRUE);
    m_bPaintAll = true;
  }
  ::EndPaint(m_hWnd, &ps);
}

BOOL CVxDialogBase::OnEraseBkgnd(HDC) { return TRUE; }
