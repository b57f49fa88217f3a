// Drawing of the desk page: box frames and titles, cached box contents, scroll thumbs,
// menu buttons, the desk list, the rubber band and the flash of new entries.
#include "desk/DeskPainter.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <tuple>
#include <utility>

#include "base/AppGlobals.h"
#include "desk/DeskInput.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"
#include "uilib/VxWorker.h"
#include "desk/core/box_geometry.h"

struct DeskDrawResources {
  VxNineSlice frame, frameActive, flash, rest;
  // The lists' highlights, loaded once and copied into each list.
  VxNineSlice hover, pressed, focus;
  // Those, the active frame and the flash show only once the user acts (see LoadStateImages).
  bool statesLoaded = false;
  std::unique_ptr<Gdiplus::Image> thumbTop, thumbCenter, thumbBottom, menu;
  std::unique_ptr<Gdiplus::Font> label;
  std::unique_ptr<Gdiplus::StringFormat> format;
  // Renderings drawn every frame: the menu button in each state, and the flash highlight at
  // each entry size seen.
  std::unique_ptr<VxPixelImage> menuStates[3];
  std::map<std::pair<int, int>, std::unique_ptr<VxPixelImage>> glows;
  // The desk list's resting cells as drawn in the last frame, by place and size.
  struct PlacedCell {
    std::unique_ptr<VxPixelImage> image;
    unsigned frame = 0;
  };
  std::map<std::tuple<int, int, int, int>, PlacedCell> rests;
  unsigned restFrame = 0;
  int restFrameW = 0, restFrameH = 0;
};

void DeskDrawResourcesDeleter::operator()(DeskDrawResources* r) const { delete r; }

namespace {

constexpr int kThumbWidth = 8, kThumbPiece = 8;
constexpr int kMenuWidth = 19, kMenuHeight = 20;
// The desk list's drawing of entries it never drew before, per frame (see SetFirstDrawBudget).
constexpr double kDeskListFirstDrawMs = 30;
// The same for the entries of all boxes together: a desk of a thousand files would hold the
// first frame back by half a second for their labels; the boxes fill in over the next frames.
constexpr double kBoxesFirstDrawMs = 30;
// A budget so small that no entry is drawn for the first time (0 would mean no budget).
constexpr double kNoFirstDraws = 1e-6;

double MsSince(const LARGE_INTEGER& start, const LARGE_INTEGER& freq) {
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
}

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
    *sink_ += 1000.0 * static_cast<double>(end.QuadPart - start_.QuadPart) /
              static_cast<double>(freq.QuadPart);
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

// Draws with GDI+ into a premultiplied bitmap, exactly as onto the page, and keeps the pixels
// for fast composing.
template <class Paint>
std::unique_ptr<VxPixelImage> Render(int width, int height, Paint paint) {
  if (width <= 0 || height <= 0) return nullptr;
  Gdiplus::Bitmap bmp(width, height, PixelFormat32bppPARGB);
  if (bmp.GetLastStatus() != Gdiplus::Ok) return nullptr;
  {
    Gdiplus::Graphics g(&bmp);
    paint(g);
  }
  auto image = std::make_unique<VxPixelImage>();
  if (!VxCopyPixels(bmp, image.get())) return nullptr;
  return image;
}

// Highlights of new entries come in a few sizes; past this many the collection starts afresh.
constexpr size_t kMaxGlowSizes = 64;
// Layers of a desk-list entry besides the entry itself (which the list keys as 0).
constexpr int kCellLayer = 1, kFlashLayer = 2;

// Renders as GDI+ draws straight onto the frame, into images kept for later frames. Where
// GDI+ filters a stretched image depends on where it lands (a nine-slice cell may show a
// see-through seam between its slices at one place and not at another), so each rendering
// is made at the very place it shows, on a transparent surface of the frame's size.
class InPlaceRenderer {
 public:
  InPlaceRenderer(int frameW, int frameH) : w_(frameW), h_(frameH) {}
  InPlaceRenderer(const InPlaceRenderer&) = delete;
  InPlaceRenderer& operator=(const InPlaceRenderer&) = delete;

  // The rendering of `paint` inside `place` (frame coordinates); what lies off the frame
  // stays transparent. Null when there is no memory for it.
  template <class Paint>
  std::unique_ptr<VxPixelImage> Render(const RECT& place, Paint paint) {
    auto image = std::make_unique<VxPixelImage>();
    if (!image->Create(place.right - place.left, place.bottom - place.top)) return nullptr;
    RECT in;
    const RECT frame{0, 0, w_, h_};
    if (!::IntersectRect(&in, &place, &frame)) return image;
    if (!Ready()) return nullptr;
    const size_t rowBytes = static_cast<size_t>(in.right - in.left) * 4;
    for (int y = in.top; y < in.bottom; ++y) std::memset(Row(y) + in.left, 0, rowBytes);
    paint(*g_);
    g_->Flush(Gdiplus::FlushIntentionSync);
    const VxPixels dst = image->Pixels();
    for (int y = in.top; y < in.bottom; ++y)
      std::memcpy(dst.bits + (y - place.top) * dst.stride + (in.left - place.left) * 4,
                  Row(y) + in.left, rowBytes);
    return image;
  }

 private:
  // The surface is made on the first rendering of a frame; only the places drawn on are
  // ever cleared or read.
  bool Ready() {
    if (g_) return true;
    if (w_ <= 0 || h_ <= 0) return false;
    px_.reset(new (std::nothrow) uint32_t[static_cast<size_t>(w_) * h_]);
    if (!px_) return false;
    bmp_ = std::make_unique<Gdiplus::Bitmap>(w_, h_, w_ * 4, PixelFormat32bppPARGB,
                                             reinterpret_cast<BYTE*>(px_.get()));
    if (bmp_->GetLastStatus() != Gdiplus::Ok) return false;
    g_ = std::make_unique<Gdiplus::Graphics>(bmp_.get());
    g_->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    return g_->GetLastStatus() == Gdiplus::Ok;
  }

  uint32_t* Row(int y) { return px_.get() + static_cast<size_t>(y) * w_; }

  int w_, h_;
  std::unique_ptr<uint32_t[]> px_;
  std::unique_ptr<Gdiplus::Bitmap> bmp_;
  std::unique_ptr<Gdiplus::Graphics> g_;
};

}  // namespace

// Where the page is drawn: GDI+ graphics and, from the host window, the memory of the same
// pixels with a target for the cached images: that memory itself or the kept scene that is
// copied into it. GDI+ is flushed before the memory is written behind its back.
class DeskCanvas {
 public:
  DeskCanvas(Gdiplus::Graphics& g, const VxPixels* frame, VxBlendTarget* target)
      : g_(g), frame_(frame), target_(frame ? target : nullptr) {}
  DeskCanvas(const DeskCanvas&) = delete;
  DeskCanvas& operator=(const DeskCanvas&) = delete;

  // The memory of the frame, or null when the page is drawn elsewhere.
  const VxPixels* Frame() const { return frame_; }
  // Where cached images go, or null when the page is drawn through GDI+ alone.
  VxBlendTarget* Target() const { return target_; }
  Gdiplus::Graphics& Plus() {
    plusPending_ = true;
    return g_;
  }
  // The images blended until the next layer begins belong to the thing `key` (a box, an
  // entry) in the role `part`.
  void BeginLayer(const void* key, int part) {
    if (target_) target_->BeginLayer(key, part);
  }
  void Blend(const VxPixelImage& image, int x, int y, int w, int h, int srcX, int srcY,
             BYTE alpha = 255) {
    if (!target_) {
      VxDrawPixels(g_, image.Pixels(), x, y, w, h, srcX, srcY, alpha);
      return;
    }
    if (plusPending_) g_.Flush(Gdiplus::FlushIntentionSync);
    plusPending_ = false;
    target_->Blend(image, x, y, w, h, srcX, srcY, alpha);
  }
  // Renderings made in place on this frame share one surface (frames in memory only).
  InPlaceRenderer& Renderer() {
    if (!renderer_) renderer_ = std::make_unique<InPlaceRenderer>(frame_->width, frame_->height);
    return *renderer_;
  }

 private:
  Gdiplus::Graphics& g_;
  const VxPixels* frame_;
  VxBlendTarget* target_;
  bool plusPending_ = false;
  std::unique_ptr<InPlaceRenderer> renderer_;
};

void CDeskPainter::SkinList(VxListCtrl& list) {
  list.SetStateImages(m_draw->hover, m_draw->pressed, m_draw->focus);
}

void CDeskPainter::Draw(Gdiplus::Graphics& g) {
  LoadDrawResources();
  DeskCanvas canvas(g, nullptr, nullptr);
  DrawLayers(canvas);
  DrawBand(canvas);
}

void CDeskPainter::DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame) {
  LoadDrawResources();
  VxPixelsTarget direct(frame);
  DeskCanvas canvas(g, &frame, &direct);
  DrawLayers(canvas);
  DrawBand(canvas);
}

void CDeskPainter::DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, const VxPixels& background,
                             uint64_t backgroundSerial) {
  LoadDrawResources();
  m_scene.Begin(frame.width, frame.height, backgroundSerial);
  {
    DeskCanvas canvas(g, &frame, &m_scene);
    DrawLayers(canvas);
  }
  g.Flush(Gdiplus::FlushIntentionSync);
  {
    PartClock clock(Part(m_times, &DeskDrawTimes::scene));
    if (m_scene.Update(background)) {
      VxCopyBlock(frame, m_scene.Pixels());
      if (m_times) m_times->sceneArea += m_scene.RepaintedArea();
    } else {
      m_scene.ComposeAll(frame, background);  // no memory to keep it: this frame only
    }
  }
  DeskCanvas canvas(g, &frame, nullptr);
  DrawBand(canvas);
}

void CDeskPainter::ForgetScene() { m_scene.Reset(); }

namespace {

// What the first frame needs but the label font: fonts stay on the desk's own thread (the
// toolkit's first font use builds GDI+'s font list, which is not made for two threads at once).
std::unique_ptr<DeskDrawResources> LoadFirstFrameImages() {
  auto d = std::make_unique<DeskDrawResources>();
  d->frame.Load(NinePaths(L"框\\默认"));
  d->rest.Load(NinePaths(L"未操作文件\\深颜色"));
  d->thumbTop = LoadSkinImage(L"scroll-top.png");
  d->thumbCenter = LoadSkinImage(L"scroll-center.png");
  d->thumbBottom = LoadSkinImage(L"scroll-bottom.png");
  d->menu = LoadSkinImage(L"框\\menu.png");
  return d;
}

VxAhead<std::unique_ptr<DeskDrawResources>>& PreparedImages() {
  static VxAhead<std::unique_ptr<DeskDrawResources>> prepared;
  return prepared;
}

}  // namespace

void DeskPrepareDrawResources() {
  PreparedImages().Start([] {
    VxComInit com;  // image decoders are COM objects
    return LoadFirstFrameImages();
  });
}

void DeskForgetPreparedDrawResources() { PreparedImages().Take(); }

void CDeskPainter::LoadDrawResources() {
  if (m_draw) return;
  m_draw.reset(PreparedImages().Take().release());
  if (!m_draw) m_draw.reset(LoadFirstFrameImages().release());
  DeskDrawResources& d = *m_draw;
  d.label = LabelFont();
  d.format = std::make_unique<Gdiplus::StringFormat>(Gdiplus::StringFormatFlagsNoWrap);
  d.format->SetAlignment(Gdiplus::StringAlignmentNear);
  d.format->SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
}

// Together about 120 ms under Wine, which would hold back the first frame on screen, and that
// frame shows nothing hovered, pressed or focused. They load before the first input reaches
// the desk or once the start is over, whichever comes first (CMyDesk); lists get their copies
// on the next frame.
void CDeskPainter::LoadStateImages() {
  LoadDrawResources();
  DeskDrawResources& d = *m_draw;
  if (d.statesLoaded) return;
  d.frameActive.Load(NinePaths(L"框\\鼠标移上-操作"));
  d.hover.Load(NinePaths(L"文件触发\\鼠标移上"));
  d.pressed.Load(NinePaths(L"文件触发\\鼠标点击"));
  d.focus.Load(NinePaths(L"文件触发\\鼠标焦点"));
  d.flash.CopyFrom(d.pressed);
  d.statesLoaded = true;
}

bool CDeskPainter::StateImagesLoaded() const { return m_draw && m_draw->statesLoaded; }

void CDeskPainter::DrawLayers(DeskCanvas& canvas) {
  if (m_times) ++m_times->frames;
  // Highlights are kept by size until a frame begins with too many: a target may hold on to
  // every image it was given until the frame ends.
  if (m_draw->glows.size() > kMaxGlowSizes) m_draw->glows.clear();
  m_boxesPending = false;
  ::QueryPerformanceFrequency(&m_frameFreq);
  ::QueryPerformanceCounter(&m_frameStart);
  if (!m_model.IconsHidden())
    for (auto& b : m_model.Boxes())
      if (b->shown) DrawBox(canvas, b.get());
  // Hundreds of shortcuts on the desk would hold the first frame back for their drawing.
  if (!m_firstFrameDrawn) m_model.DeskList().SetFirstDrawBudget(kDeskListFirstDrawMs);
  if (!m_deskSkinned && m_draw->statesLoaded) {
    SkinList(m_model.DeskList());
    m_deskSkinned = TRUE;
  }
  if (m_model.DeskList().IsShow()) {
    PartClock clock(Part(m_times, &DeskDrawTimes::deskList));
    // Labels lie straight on the wallpaper: a faint dark cell keeps them legible on light
    // pictures.
    DrawRestingCells(canvas);
    if (VxBlendTarget* target = canvas.Target())
      m_model.DeskList().Draw(canvas.Plus(), *target);
    else
      m_model.DeskList().Draw(canvas.Plus(), nullptr);
  }
  if (m_model.DeskList().IsShow()) DrawFlashes(canvas, m_model.DeskList(), nullptr);
  m_firstFrameDrawn = true;
}

void CDeskPainter::DrawBand(DeskCanvas& canvas) {
  const RECT& r = m_input.BandRect();
  if (!m_input.PressPending() || ::IsRectEmpty(&r)) return;
  PartClock clock(Part(m_times, &DeskDrawTimes::deskList));
  Gdiplus::Graphics& g = canvas.Plus();
  const Gdiplus::Rect band(r.left, r.top, r.right - r.left, r.bottom - r.top);
  Gdiplus::SolidBrush fill(Gdiplus::Color(0x64, 0x33, 0x99, 0xFF));
  g.FillRectangle(&fill, band);
  Gdiplus::Pen pen(Gdiplus::Color(0xFF, 0x33, 0x99, 0xFF), 1.0f);
  g.DrawRectangle(&pen, band.X, band.Y, band.Width - 1, band.Height - 1);
}

bool CDeskPainter::FillingIn() const {
  return m_cellsPending || m_boxesPending || m_model.DeskList().RendersPending();
}

void CDeskPainter::DrawRestingCells(DeskCanvas& canvas) {
  DeskDrawResources& d = *m_draw;
  const VxPixels* frame = canvas.Frame();
  if (!frame) {
    Gdiplus::Graphics& g = canvas.Plus();
    for (VxListItem* e : m_model.DeskList().Items())
      if (e->IsPlaced() && e->nMouseState == 0 && !e->IsSelected())
        d.rest.Draw(
            g, Gdiplus::Rect(e->rcHover.left, e->rcHover.top, e->rcHover.right - e->rcHover.left,
                             e->rcHover.bottom - e->rcHover.top));
    return;
  }
  // Cells stay while they are drawn in every frame; the others go at the end of a frame.
  if (frame->width != d.restFrameW || frame->height != d.restFrameH) d.rests.clear();
  d.restFrameW = frame->width;
  d.restFrameH = frame->height;
  const unsigned now = ++d.restFrame;
  InPlaceRenderer renderer(frame->width, frame->height);
  LARGE_INTEGER start{}, freq{};
  ::QueryPerformanceFrequency(&freq);
  ::QueryPerformanceCounter(&start);
  m_cellsPending = false;
  for (VxListItem* e : m_model.DeskList().Items()) {
    const RECT& r = e->rcHover;
    if (!e->IsPlaced() || e->nMouseState != 0 || e->IsSelected() || r.right <= r.left ||
        r.bottom <= r.top)
      continue;
    const auto key = std::make_tuple(r.left, r.top, r.right, r.bottom);
    if (m_cellsPending || (!d.rests.count(key) && MsSince(start, freq) > kDeskListFirstDrawMs)) {
      m_cellsPending = true;  // this cell is drawn on a later frame
      continue;
    }
    DeskDrawResources::PlacedCell& cell = d.rests[key];
    cell.frame = now;
    if (!cell.image) {
      PartClock rebuild(Part(m_times, &DeskDrawTimes::rebuilds));
      cell.image = renderer.Render(r, [&](Gdiplus::Graphics& g) {
        d.rest.Draw(g, Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
      });
    }
    canvas.BeginLayer(e, kCellLayer);
    if (cell.image)
      canvas.Blend(*cell.image, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0);
  }
  for (auto it = d.rests.begin(); it != d.rests.end();)
    it = it->second.frame == now ? std::next(it) : d.rests.erase(it);
}

void CDeskPainter::DrawBoxChrome(Gdiplus::Graphics& g, GetZhiItem* box, int bw, int bh) {
  DeskDrawResources& d = *m_draw;
  if (box->active) LoadStateImages();
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

void CDeskPainter::DrawBox(DeskCanvas& canvas, GetZhiItem* box) {
  DeskDrawResources& d = *m_draw;
  const RECT& r = box->rect;
  const int bw = r.right - r.left, bh = r.bottom - r.top;
  canvas.BeginLayer(box, 0);  // the whole box, its flashes too
  {
    PartClock clock(Part(m_times, &DeskDrawTimes::boxFrames));
    if (!box->chromeCache || box->chromeW != bw || box->chromeH != bh ||
        box->chromeActive != box->active || box->chromeName != box->name) {
      PartClock rebuild(Part(m_times, &DeskDrawTimes::rebuilds));
      box->chromeCache =
          Render(bw, bh, [&](Gdiplus::Graphics& cg) { DrawBoxChrome(cg, box, bw, bh); });
      box->chromeW = bw;
      box->chromeH = bh;
      box->chromeActive = box->active;
      box->chromeName = box->name;
    }
    if (box->chromeCache) canvas.Blend(*box->chromeCache, r.left, r.top, bw, bh, 0, 0);
  }

  if (!box->skinned && d.statesLoaded) {
    SkinList(box->list);
    box->skinned = 1;
  }
  {
    PartClock clock(Part(m_times, &DeskDrawTimes::boxLists));
    const RECT area = CDeskModel::BoxListArea(box);
    const int w = area.right - area.left + 5;
    const int content = std::max(box->list.GetListMaxHeight(), box->viewHeight) + 5;
    const int visible = std::min(box->viewHeight, content - box->scroll);
    if (box->cache && (box->cachePartial || box->scroll < box->cacheTop ||
                       box->scroll + std::max(visible, 0) > box->cacheTop + box->cache->Height()))
      box->cache.reset();
    if (!box->cache && w > 5) {
      PartClock rebuild(Part(m_times, &DeskDrawTimes::rebuilds));
      // Half a view above and below the rows in view, so a short scroll needs no new one.
      const int view = std::max(box->viewHeight, 1);
      const int span = std::min(content, 2 * view);
      const int top = std::max(0, std::min(box->scroll - view / 2, content - span));
      const double left = kBoxesFirstDrawMs - MsSince(m_frameStart, m_frameFreq);
      box->list.SetFirstDrawBudget(std::max(left, kNoFirstDraws));
      box->cache = Render(w, span, [&](Gdiplus::Graphics& cg) {
        cg.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        cg.TranslateTransform(static_cast<float>(-area.left), static_cast<float>(-area.top - top));
        // The clip lets the list skip the entries outside the rendering.
        cg.SetClip(Gdiplus::Rect(area.left, area.top + top, w, span));
        box->list.Draw(cg);
      });
      box->cacheTop = top;
      box->cachePartial = box->list.RendersPending();
      m_boxesPending = m_boxesPending || box->cachePartial;
    }
    if (box->cache && visible > 0)
      canvas.Blend(*box->cache, area.left, area.top, w, visible, 0, box->scroll - box->cacheTop);
  }
  DrawFlashes(canvas, box->list, box);

  PartClock clock(Part(m_times, &DeskDrawTimes::boxControls));
  if (box->thumbLen > 0) {
    const int state = m_input.PressPending() && box->titleHit == kBoxHitThumb ? 2 : box->hoverBox ? 1 : 0;
    const int x = r.right - 13, y = r.top + kBoxListInsetTop + box->thumbPos, len = box->thumbLen;
    auto drawThumb = [&](Gdiplus::Graphics& g) {
      DrawStripFrame(g, d.thumbTop.get(), state, kThumbWidth, kThumbPiece,
                     Gdiplus::Rect(x, y, kThumbWidth, kThumbPiece));
      DrawStripFrame(g, d.thumbCenter.get(), state, kThumbWidth, kThumbPiece,
                     Gdiplus::Rect(x, y + kThumbPiece, kThumbWidth, len - 2 * kThumbPiece));
      DrawStripFrame(g, d.thumbBottom.get(), state, kThumbWidth, kThumbPiece,
                     Gdiplus::Rect(x, y + len - kThumbPiece, kThumbWidth, kThumbPiece));
    };
    // The stretched middle is filtered, and where the filter reads depends on where the thumb
    // lies: the rendering is made at its place and made again when the thumb moves.
    const RECT at{x, y, x + kThumbWidth, y + len};
    if (const VxPixels* frame = canvas.Frame()) {
      // A thumb cut by the frame's edge is rendered again each time: the frame may grow.
      const bool whole = at.left >= 0 && at.top >= 0 && at.right <= frame->width && at.bottom <= frame->height;
      if (!whole || !box->thumbCache || !::EqualRect(&at, &box->thumbCacheAt) ||
          box->thumbCacheState != state) {
        PartClock rebuild(Part(m_times, &DeskDrawTimes::rebuilds));
        box->thumbCache = canvas.Renderer().Render(at, drawThumb);
        box->thumbCacheAt = at;
        box->thumbCacheState = state;
      }
      if (box->thumbCache) canvas.Blend(*box->thumbCache, x, y, kThumbWidth, len, 0, 0);
    } else {
      drawThumb(canvas.Plus());
    }
  }
  const int menuState = m_input.PressPending() && box->titleHit == kBoxHitMenu ? 2 : box->hoverMenu ? 1 : 0;
  std::unique_ptr<VxPixelImage>& menu = d.menuStates[menuState];
  if (!menu)
    menu = Render(kMenuWidth, kMenuHeight, [&](Gdiplus::Graphics& mg) {
      DrawStripFrame(mg, d.menu.get(), menuState, kMenuWidth, kMenuHeight,
                     Gdiplus::Rect(0, 0, kMenuWidth, kMenuHeight));
    });
  if (menu) canvas.Blend(*menu, r.right - 29, r.top + 10, kMenuWidth, kMenuHeight, 0, 0);
}

void CDeskPainter::DrawFlashes(DeskCanvas& canvas, VxListCtrl& list, GetZhiItem* box) {
  PartClock clock(Part(m_times, &DeskDrawTimes::flashes));
  // A box shows its highlights only where its list shows.
  RECT clip{0, 0, 0, 0};
  if (box) {
    const RECT area = CDeskModel::BoxListArea(box);
    clip = RECT{area.left, area.top, area.right, area.top + box->viewHeight};
  }
  for (VxListItem* e : list.Items()) {
    const int alpha = std::min(255, DeskFlashAlpha(e->nData[kEntryFlash]));
    if (alpha <= 0 || !e->IsPlaced()) continue;
    const int w = e->rcHover.right - e->rcHover.left, h = e->rcHover.bottom - e->rcHover.top;
    if (w <= 0 || h <= 0) continue;
    const int y = e->rcHover.top - (box ? box->scroll : 0);
    RECT dest{e->rcHover.left, y, e->rcHover.left + w, y + h};
    if (box && !::IntersectRect(&dest, &dest, &clip)) continue;
    std::unique_ptr<VxPixelImage>& glow = m_draw->glows[std::make_pair(w, h)];
    if (!glow) {
      PartClock rebuild(Part(m_times, &DeskDrawTimes::rebuilds));
      LoadStateImages();
      glow = Render(
          w, h, [&](Gdiplus::Graphics& gg) { m_draw->flash.Draw(gg, Gdiplus::Rect(0, 0, w, h)); });
      if (!glow) continue;
    }
    if (!box) canvas.BeginLayer(e, kFlashLayer);
    canvas.Blend(*glow, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                 dest.left - e->rcHover.left, dest.top - y, static_cast<BYTE>(alpha));
  }
}
