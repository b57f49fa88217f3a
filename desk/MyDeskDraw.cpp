// Drawing of the desk page: box frames and titles, cached box contents, scroll thumbs,
// menu buttons, the desk list, the rubber band and the flash of new entries.
#include "MyDesk.h"

#include <algorithm>

#include "AppGlobals.h"
#include "VxPaint.h"
#include "VxRaii.h"
#include "box_geometry.h"

struct DeskDrawResources {
  VxNineSlice frame, frameActive, flash, rest;
  CStringArray hoverPaths, pressedPaths, focusPaths;
  std::unique_ptr<Gdiplus::Image> thumbTop, thumbCenter, thumbBottom, menu;
  std::unique_ptr<Gdiplus::Font> label;
  std::unique_ptr<Gdiplus::StringFormat> format;
};

void DeskDrawResourcesDeleter::operator()(DeskDrawResources* r) const { delete r; }

namespace {

constexpr int kThumbWidth = 8, kThumbPiece = 8;
constexpr int kMenuWidth = 19, kMenuHeight = 20;

std::wstring SkinPath(const std::wstring& relative) {
  return TheApp().programDir + L"\\rs\\" + relative;
}

CStringArray NinePaths(const std::wstring& folder) {
  CStringArray paths;
  for (int i = 1; i <= 9; ++i) paths.push_back(SkinPath(folder + L"\\" + std::to_wstring(i) + L".png"));
  return paths;
}

std::unique_ptr<Gdiplus::Image> LoadSkinImage(const std::wstring& relative) {
  return std::unique_ptr<Gdiplus::Image>(VxLoadImageFile(SkinPath(relative).c_str()));
}

// The label font: the icon-title font at height 21 in the default weight.
std::unique_ptr<Gdiplus::Font> LabelFont() {
  ICONMETRICSW im{};
  im.cbSize = sizeof(im);
  LOGFONTW lf{};
  if (::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(im), &im, 0))
    lf = im.lfFont;
  else
    wcscpy(lf.lfFaceName, L"微软雅黑");
  lf.lfHeight = 21;
  lf.lfWeight = FW_NORMAL;
  VxWindowDC dc(nullptr);
  auto font = std::make_unique<Gdiplus::Font>(dc.Get(), &lf);
  if (font->GetLastStatus() != Gdiplus::Ok)
    font = std::make_unique<Gdiplus::Font>(L"宋体", 16.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  return font;
}

// One frame of a strip of equal frames stacked vertically.
void DrawStripFrame(Gdiplus::Graphics& g, Gdiplus::Image* strip, int frame, int frameW, int frameH,
                    const Gdiplus::Rect& dest) {
  if (!VxImageUsable(strip) || dest.Width <= 0 || dest.Height <= 0) return;
  Gdiplus::ImageAttributes attr;
  attr.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no bleeding from the next frame when stretched
  g.DrawImage(strip, dest, 0, frame * frameH, frameW, frameH, Gdiplus::UnitPixel, &attr);
}

// Adds the time of its scope to one figure of DeskDrawTimes; free when nothing is timed.
class PartClock {
 public:
  explicit PartClock(double* sink) : sink_(sink) {
    if (sink_) ::QueryPerformanceCounter(&start_);
  }
  ~PartClock() {
    if (!sink_) return;
    LARGE_INTEGER end, freq;
    ::QueryPerformanceCounter(&end);
    ::QueryPerformanceFrequency(&freq);
    *sink_ += 1000.0 * static_cast<double>(end.QuadPart - start_.QuadPart) / static_cast<double>(freq.QuadPart);
  }
  PartClock(const PartClock&) = delete;
  PartClock& operator=(const PartClock&) = delete;

 private:
  double* sink_;
  LARGE_INTEGER start_{};
};

double* Part(DeskDrawTimes* times, double DeskDrawTimes::*figure) {
  return times ? &(times->*figure) : nullptr;
}

}  // namespace

void CMyDesk::SkinList(VxListCtrl& list) {
  list.SetMouseMoveImage(m_draw->hoverPaths);
  list.SetMouseDownImage(m_draw->pressedPaths);
  list.SetFouceImage(m_draw->focusPaths);
}

void CMyDesk::Draw(Gdiplus::Graphics& g, int width, int height) {
  (void)width, (void)height;
  if (!m_draw) {
    m_draw.reset(new DeskDrawResources);
    DeskDrawResources& d = *m_draw;
    d.frame.Load(NinePaths(L"框\\默认"));
    d.frameActive.Load(NinePaths(L"框\\鼠标移上-操作"));
    d.hoverPaths = NinePaths(L"文件触发\\鼠标移上");
    d.pressedPaths = NinePaths(L"文件触发\\鼠标点击");
    d.focusPaths = NinePaths(L"文件触发\\鼠标焦点");
    d.flash.Load(d.pressedPaths);
    d.rest.Load(NinePaths(L"未操作文件\\深颜色"));
    d.thumbTop = LoadSkinImage(L"scroll-top.png");
    d.thumbCenter = LoadSkinImage(L"scroll-center.png");
    d.thumbBottom = LoadSkinImage(L"scroll-bottom.png");
    d.menu = LoadSkinImage(L"框\\menu.png");
    d.label = LabelFont();
    d.format = std::make_unique<Gdiplus::StringFormat>(Gdiplus::StringFormatFlagsNoWrap);
    d.format->SetAlignment(Gdiplus::StringAlignmentNear);
    d.format->SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  }
  DrawPage(g);
}

void CMyDesk::DrawPage(Gdiplus::Graphics& g) {
  if (m_times) ++m_times->frames;
  if (!m_iconsHidden)
    for (auto& b : m_boxes)
      if (b->shown) DrawBox(g, b.get());
  if (!m_deskSkinned) {
    SkinList(m_deskList);
    m_deskSkinned = TRUE;
  }
  if (m_deskList.IsShow()) {
    PartClock clock(Part(m_times, &DeskDrawTimes::deskList));
    // Labels lie straight on the wallpaper: a faint dark cell keeps them legible on light
    // pictures.
    for (VxListItem* e : m_deskList.Items())
      if (e->IsPlaced() && e->nMouseState == 0 && !e->IsSelected())
        m_draw->rest.Draw(g, Gdiplus::Rect(e->rcHover.left, e->rcHover.top,
                                           e->rcHover.right - e->rcHover.left,
                                           e->rcHover.bottom - e->rcHover.top));
    m_deskList.Draw(g);
  }
  if (m_deskList.IsShow()) DrawFlashes(g, m_deskList, nullptr);
  if (m_pressPending && !::IsRectEmpty(&m_band)) {
    PartClock clock(Part(m_times, &DeskDrawTimes::deskList));
    const Gdiplus::Rect band(m_band.left, m_band.top, m_band.right - m_band.left,
                             m_band.bottom - m_band.top);
    Gdiplus::SolidBrush fill(Gdiplus::Color(0x64, 0x33, 0x99, 0xFF));
    g.FillRectangle(&fill, band);
    Gdiplus::Pen pen(Gdiplus::Color(0xFF, 0x33, 0x99, 0xFF), 1.0f);
    g.DrawRectangle(&pen, band.X, band.Y, band.Width - 1, band.Height - 1);
  }
}

void CMyDesk::DrawBoxChrome(Gdiplus::Graphics& g, GetZhiItem* box, int bw, int bh) {
  DeskDrawResources& d = *m_draw;
  {
    // The stretched slices are flat along their stretch; sampling them without filtering
    // keeps a filtered seam (a see-through column where slices meet) out of the frame.
    const Gdiplus::GraphicsState saved = g.Save();
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    (box->active ? d.frameActive : d.frame).Draw(g, Gdiplus::Rect(0, 0, bw, bh));
    g.Restore(saved);
  }
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  Gdiplus::Color text(0xFE, 0xFF, 0xFF, 0xFF), shadow(0xB4, 0x0A, 0x0A, 0x0A);
  // The title ends before the menu button.
  Gdiplus::RectF title(10.0f, 10.0f, static_cast<float>(std::max(1, bw - 10 - 31)), 28.0f);
  Gdiplus::PointF offset(0.6f, 1.0f);
  VxDrawShadowText(&g, box->name.c_str(), *d.label, *d.format, text, shadow, title, offset, 2.4f);
}

void CMyDesk::DrawBox(Gdiplus::Graphics& g, GetZhiItem* box) {
  DeskDrawResources& d = *m_draw;
  const RECT& r = box->rect;
  const int bw = r.right - r.left, bh = r.bottom - r.top;
  {
    PartClock clock(Part(m_times, &DeskDrawTimes::boxFrames));
    if (!box->chromeCache || box->chromeW != bw || box->chromeH != bh ||
        box->chromeActive != box->active || box->chromeName != box->name) {
      PartClock rebuild(Part(m_times, &DeskDrawTimes::rebuilds));
      box->chromeCache.reset();
      if (bw > 0 && bh > 0) {
        auto chrome = std::make_unique<Gdiplus::Bitmap>(bw, bh, PixelFormat32bppPARGB);
        if (chrome->GetLastStatus() == Gdiplus::Ok) {
          Gdiplus::Graphics cg(chrome.get());
          DrawBoxChrome(cg, box, bw, bh);
          box->chromeCache = std::move(chrome);
        }
      }
      box->chromeW = bw;
      box->chromeH = bh;
      box->chromeActive = box->active;
      box->chromeName = box->name;
    }
    if (box->chromeCache) g.DrawImage(box->chromeCache.get(), r.left, r.top, bw, bh);
  }

  if (!box->skinned) {
    SkinList(box->list);
    box->skinned = 1;
  }
  {
    PartClock clock(Part(m_times, &DeskDrawTimes::boxLists));
    const RECT area = BoxListArea(box);
    const int w = area.right - area.left + 5;
    const int content = std::max(box->list.GetListMaxHeight(), box->viewHeight) + 5;
    if (!box->cache && w > 5) {
      PartClock rebuild(Part(m_times, &DeskDrawTimes::rebuilds));
      auto bmp = std::make_unique<Gdiplus::Bitmap>(w, content, PixelFormat32bppPARGB);
      if (bmp->GetLastStatus() == Gdiplus::Ok) {
        Gdiplus::Graphics cg(bmp.get());
        cg.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        cg.TranslateTransform(static_cast<float>(-area.left), static_cast<float>(-area.top));
        box->list.Draw(cg);
        box->cache = std::move(bmp);
      }
    }
    const int visible = std::min(box->viewHeight, content - box->scroll);
    if (box->cache && visible > 0)
      g.DrawImage(box->cache.get(), Gdiplus::Rect(area.left, area.top, w, visible), 0, box->scroll, w,
                  visible, Gdiplus::UnitPixel);
  }
  DrawFlashes(g, box->list, box);

  PartClock clock(Part(m_times, &DeskDrawTimes::boxControls));
  if (box->thumbLen > 0) {
    const int state = m_pressPending && box->titleHit == kBoxHitThumb ? 2 : box->hoverBox ? 1 : 0;
    const int x = r.right - 13, y = r.top + kBoxListInsetTop + box->thumbPos, len = box->thumbLen;
    DrawStripFrame(g, d.thumbTop.get(), state, kThumbWidth, kThumbPiece,
                   Gdiplus::Rect(x, y, kThumbWidth, kThumbPiece));
    DrawStripFrame(g, d.thumbCenter.get(), state, kThumbWidth, kThumbPiece,
                   Gdiplus::Rect(x, y + kThumbPiece, kThumbWidth, len - 2 * kThumbPiece));
    DrawStripFrame(g, d.thumbBottom.get(), state, kThumbWidth, kThumbPiece,
                   Gdiplus::Rect(x, y + len - kThumbPiece, kThumbWidth, kThumbPiece));
  }
  const int menuState = m_pressPending && box->titleHit == kBoxHitMenu ? 2 : box->hoverMenu ? 1 : 0;
  DrawStripFrame(g, d.menu.get(), menuState, kMenuWidth, kMenuHeight,
                 Gdiplus::Rect(r.right - 29, r.top + 10, kMenuWidth, kMenuHeight));
}

void CMyDesk::DrawFlashes(Gdiplus::Graphics& g, VxListCtrl& list, GetZhiItem* box) {
  PartClock clock(Part(m_times, &DeskDrawTimes::flashes));
  const Gdiplus::GraphicsState saved = g.Save();
  if (box) {
    const RECT area = BoxListArea(box);
    g.SetClip(Gdiplus::Rect(area.left, area.top, area.right - area.left, box->viewHeight),
              Gdiplus::CombineModeIntersect);
  }
  for (VxListItem* e : list.Items()) {
    const int alpha = DeskFlashAlpha(e->nData[kEntryFlash]);
    if (alpha <= 0 || !e->IsPlaced()) continue;
    const int w = e->rcHover.right - e->rcHover.left, h = e->rcHover.bottom - e->rcHover.top;
    if (w <= 0 || h <= 0) continue;
    Gdiplus::Bitmap glow(w, h, PixelFormat32bppPARGB);
    {
      Gdiplus::Graphics gg(&glow);
      m_draw->flash.Draw(gg, Gdiplus::Rect(0, 0, w, h));
    }
    Gdiplus::ColorMatrix fade = {{{1, 0, 0, 0, 0},
                                  {0, 1, 0, 0, 0},
                                  {0, 0, 1, 0, 0},
                                  {0, 0, 0, alpha / 255.0f, 0},
                                  {0, 0, 0, 0, 1}}};
    Gdiplus::ImageAttributes attr;
    attr.SetColorMatrix(&fade);
    const int y = e->rcHover.top - (box ? box->scroll : 0);
    g.DrawImage(&glow, Gdiplus::Rect(e->rcHover.left, y, w, h), 0, 0, w, h, Gdiplus::UnitPixel, &attr);
  }
  g.Restore(saved);
}
