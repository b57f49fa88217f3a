#include "uilib/VxItems.h"

#include <utility>

namespace {

std::unique_ptr<Gdiplus::Font> MakeFont(const wchar_t* family, float size, Gdiplus::Unit unit) {
  auto font = std::make_unique<Gdiplus::Font>(family, size, Gdiplus::FontStyleRegular, unit);
  if (font->GetLastStatus() != Gdiplus::Ok) return nullptr;
  return font;
}

std::unique_ptr<Gdiplus::StringFormat> MakeFormat(Gdiplus::StringAlignment h,
                                                  Gdiplus::StringAlignment v) {
  auto f = std::make_unique<Gdiplus::StringFormat>();
  f->SetAlignment(h);
  f->SetLineAlignment(v);
  return f;
}

std::unique_ptr<Gdiplus::Font> CloneFont(Gdiplus::Font& font) {
  Gdiplus::Font* c = font.Clone();
  if (c && c->GetLastStatus() != Gdiplus::Ok) {
    delete c;
    c = nullptr;
  }
  return std::unique_ptr<Gdiplus::Font>(c);
}

}  // namespace

// ---- VxImage ----
VxImage::VxImage() : VxItemBase(VXT_IMAGE) {}
VxImage::VxImage(VxUIType type) : VxItemBase(type) {}
VxImage::~VxImage() { DestroyImag(); }
BOOL VxImage::SetImage(UINT id, LPCWSTR type) { return VxItemBase::SetImage(id, type, &m_pImage); }
BOOL VxImage::SetImage(LPCWSTR path) { return VxItemBase::SetImage(path, &m_pImage); }
void VxImage::DestroyImag() {
  delete m_pImage;
  m_pImage = nullptr;
}

// ---- VxButton ----
VxButton::VxButton() : VxImage(VXT_BUTTON) {}
VxButton::VxButton(VxUIType type) : VxImage(type) {}

BOOL VxButton::SetImage(UINT id, LPCWSTR type, VXBT_IMGS n, VXBT_TYPE layout) {
  m_nImages = n;
  m_nLayout = layout;
  return VxItemBase::SetImage(id, type, &m_pImage);
}

BOOL VxButton::SetImage(LPCWSTR path, VXBT_IMGS n, VXBT_TYPE layout) {
  m_nImages = n;
  m_nLayout = layout;
  return VxItemBase::SetImage(path, &m_pImage);
}

void VxButton::GetFrameSize(int* w, int* h) const {
  if (!VxImageUsable(m_pImage)) {
    *w = *h = 0;
    return;
  }
  VxButtonFrameSize(VxImageWidth(m_pImage), VxImageHeight(m_pImage), m_nImages,
                    m_nLayout == VXBT_VERT, w, h);
}

void VxButton::GetButtonRect(CRect& rc) const {
  GetRect(&rc);
  if (!VxImageUsable(m_pImage)) return;
  int w, h;
  GetFrameSize(&w, &h);
  rc.right = rc.left + w;
  rc.bottom = rc.top + h;
}

// ---- VxTextPart ----
VxTextPart::VxTextPart(std::unique_ptr<Gdiplus::Font> font,
                       std::unique_ptr<Gdiplus::StringFormat> format)
    : m_pFont(std::move(font)), m_pFormat(std::move(format)) {}
VxTextPart::~VxTextPart() = default;
void VxTextPart::SetFont(Gdiplus::Font& font) { m_pFont = CloneFont(font); }
void VxTextPart::SetTextFormat(Gdiplus::StringAlignment align) { m_pFormat->SetAlignment(align); }

// ---- VxCheckBox ----
VxCheckBox::VxCheckBox() : VxCheckBox(VXT_CHECKBOX) {}
VxCheckBox::VxCheckBox(VxUIType type)
    : VxButton(type),
      VxTextPart(MakeFont(L"宋体", 12, Gdiplus::UnitPixel),
                 MakeFormat(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentNear)) {}
VxCheckBox::~VxCheckBox() { DestroyCheckImage(); }

BOOL VxCheckBox::SetImage(UINT idButton, UINT idCheck, LPCWSTR type, VXBT_IMGS n,
                          VXBT_TYPE layout) {
  const BOOL a = VxButton::SetImage(idButton, type, n, layout);
  const BOOL b = VxItemBase::SetImage(idCheck, type, &m_pCheckImage);
  return a && b;
}

BOOL VxCheckBox::SetImage(LPCWSTR pathButton, LPCWSTR pathCheck, VXBT_IMGS n, VXBT_TYPE layout) {
  const BOOL a = VxButton::SetImage(pathButton, n, layout);
  const BOOL b = VxItemBase::SetImage(pathCheck, &m_pCheckImage);
  return a && b;
}

void VxCheckBox::DestroyCheckImage() {
  delete m_pCheckImage;
  m_pCheckImage = nullptr;
}

Gdiplus::Color VxCheckBox::GetTextStateColor() {
  m_stateColor = Gdiplus::Color(VxCheckTextStateColor(
      m_status, m_textColor.GetValue(), m_mouseOnColor.GetValue(), m_mouseDownColor.GetValue()));
  return m_stateColor;
}

// ---- VxRadio ----
VxRadio::VxRadio() : VxCheckBox(VXT_RADIO) {}

// ---- VxTextButton ----
VxTextButton::VxTextButton()
    : VxButton(VXT_TEXTBUTTON),
      VxTextPart(MakeFont(L"宋体", 12, Gdiplus::UnitPixel),
                 MakeFormat(Gdiplus::StringAlignmentCenter, Gdiplus::StringAlignmentCenter)) {}

// ---- VxStaticText ----
VxStaticText::VxStaticText()
    : VxItemBase(VXT_STATICTEXT),
      VxTextPart(MakeFont(L"宋体", 9, Gdiplus::UnitPoint),
                 MakeFormat(Gdiplus::StringAlignmentNear, Gdiplus::StringAlignmentNear)) {}

// ---- VxProgress ----
VxProgress::VxProgress() : VxItemBase(VXT_PROGRESS) {}
VxProgress::~VxProgress() { FreeImages(); }
void VxProgress::FreeImages() {
  delete m_pBack;
  delete m_pBar;
  m_pBack = m_pBar = nullptr;
}
BOOL VxProgress::SetBarImage(UINT idBack, UINT idBar, LPCWSTR type) {
  const BOOL a = VxItemBase::SetImage(idBack, type, &m_pBack);
  const BOOL b = VxItemBase::SetImage(idBar, type, &m_pBar);
  return a && b;
}
BOOL VxProgress::SetBarImage(LPCWSTR pathBack, LPCWSTR pathBar) {
  const BOOL a = VxItemBase::SetImage(pathBack, &m_pBack);
  const BOOL b = VxItemBase::SetImage(pathBar, &m_pBar);
  return a && b;
}

// ---- VxGifImage ----
VxGifImage::VxGifImage() : VxImage(VXT_GIFIMAGE) {}

void VxGifImage::ReadFrames() {
  m_dimensions.clear();
  m_delays.clear();
  m_nFrames = 0;
  m_nFrame = 0;
  if (!VxImageUsable(m_pImage)) return;
  const UINT dims = m_pImage->GetFrameDimensionsCount();
  if (dims == 0) return;
  m_dimensions.resize(dims);
  m_pImage->GetFrameDimensionsList(m_dimensions.data(), dims);
  m_nFrames = m_pImage->GetFrameCount(&m_dimensions[0]);
  const UINT size = m_pImage->GetPropertyItemSize(PropertyTagFrameDelay);
  if (size < sizeof(Gdiplus::PropertyItem)) return;
  std::vector<BYTE> buf(size);
  auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buf.data());
  if (m_pImage->GetPropertyItem(PropertyTagFrameDelay, size, item) != Gdiplus::Ok) return;
  const UINT count = item->length / sizeof(UINT);
  const UINT* values = static_cast<const UINT*>(item->value);
  m_delays.assign(values, values + count);
}

BOOL VxGifImage::SetImage(UINT id, LPCWSTR type) {
  const BOOL ok = VxImage::SetImage(id, type);
  ReadFrames();
  return ok;
}

BOOL VxGifImage::SetImage(LPCWSTR path) {
  const BOOL ok = VxImage::SetImage(path);
  ReadFrames();
  return ok;
}

namespace {
// A delay of 0 would make a timer fire as fast as the system allows.
UINT TimerPeriod(UINT hundredths) { return hundredths ? hundredths * 10 : 100; }
}  // namespace

void VxGifImage::StartRun(UINT timerId, HWND hwnd) {
  m_nTimer = timerId;
  if (!timerId || !hwnd) return;
  m_nFrame = 0;
  if (!m_delays.empty()) ::SetTimer(hwnd, timerId, TimerPeriod(m_delays[0]), nullptr);
}

void VxGifImage::NextFrame(HWND hwnd) {
  if (m_nFrames == 0 || m_dimensions.empty() || !m_pImage) return;
  m_nFrame = static_cast<UINT>(VxGifNextFrame(static_cast<int>(m_nFrame), static_cast<int>(m_nFrames)));
  m_pImage->SelectActiveFrame(&m_dimensions[0], m_nFrame);
  if (hwnd && m_nTimer && !m_delays.empty()) {
    const UINT d = m_delays[m_nFrame < m_delays.size() ? m_nFrame : 0];
    ::SetTimer(hwnd, m_nTimer, TimerPeriod(d), nullptr);
  }
}

// ---- VxVScrollBar ----
VxVScrollBar::VxVScrollBar() : VxItemBase(VXT_VSCROLLBAR) {}
VxVScrollBar::~VxVScrollBar() { FreeImages(); }
void VxVScrollBar::FreeImages() {
  delete m_pTrack;
  delete m_pMiddle;
  delete m_pTop;
  delete m_pBottom;
  m_pTrack = m_pMiddle = m_pTop = m_pBottom = nullptr;
}

BOOL VxVScrollBar::SetBarImage(UINT idTop, UINT idMiddle, UINT idBottom, LPCWSTR type) {
  const BOOL a = VxItemBase::SetImage(idTop, type, &m_pTop);
  const BOOL b = VxItemBase::SetImage(idMiddle, type, &m_pMiddle);
  const BOOL c = VxItemBase::SetImage(idBottom, type, &m_pBottom);
  return a && b && c;
}

BOOL VxVScrollBar::SetBarImage(LPCWSTR pathTop, LPCWSTR pathMiddle, LPCWSTR pathBottom) {
  const BOOL a = VxItemBase::SetImage(pathTop, &m_pTop);
  const BOOL b = VxItemBase::SetImage(pathMiddle, &m_pMiddle);
  const BOOL c = VxItemBase::SetImage(pathBottom, &m_pBottom);
  return a && b && c;
}

void VxVScrollBar::SetBarLength(int page, int total) {
  const bool caps = VxImageUsable(m_pTop) && VxImageUsable(m_pBottom);
  m_scroll.SetLength(page, total, m_cy, caps ? VxImageHeight(m_pTop) : 0,
                     caps ? VxImageHeight(m_pBottom) : 0, m_nCapFrames);
}

BOOL VxVScrollBar::ptOnBar(POINT& pt) const {
  return m_scroll.ThumbHitRect({m_x, m_y, m_cx, m_cy}).Contains(pt.x, pt.y);
}

void VxVScrollBar::SetVBarCallBack(VxVScrollCallbacks* cb) {
  m_lpScrollParam = cb ? cb->lpParam : nullptr;
  m_pfnScroll = cb ? cb->pfnScroll : nullptr;
}

void VxVScrollBar::DragThumb(int dy) {
  m_scroll.DragBy(dy);
  if (m_pfnScroll) m_pfnScroll(m_scroll.pos, m_lpScrollParam);
}
