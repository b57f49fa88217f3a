#include "app/dialogs/DialogDragView.h"

#include "app/dialogs/dialogs_rc.h"
#include "base/AppGlobals.h"
#include "desk/core/desk_drag.h"
#include "uilib/VxTypes.h"

namespace {

std::wstring SkinPath(const std::wstring& file) { return TheApp().programDir + L"\\rs\\拖拽\\" + file; }

constexpr int kIconLeft = 4, kIconSize = 16, kTextLeft = 23, kTextGap = 3;

}  // namespace

CDialogDragView::CDialogDragView(HWND hParent) : CVxDialogBase(IDD_DIALOG_DRAGVIEW, hParent) {}

CDialogDragView::~CDialogDragView() = default;

BOOL CDialogDragView::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  Set_OPAQUEDlg(255);
  CStringArray slices;
  for (int i = 1; i <= 9; ++i) slices.push_back(SkinPath(L"images\\" + std::to_wstring(i) + L".png"));
  m_back.Load(slices);
  m_iconMove.reset(VxLoadImageFile(SkinPath(L"icon_move.png").c_str()));
  m_iconAdd.reset(VxLoadImageFile(SkinPath(L"icon_add.png").c_str()));
  m_iconLink.reset(VxLoadImageFile(SkinPath(L"icon_link.png").c_str()));
  m_iconNone.reset(VxLoadImageFile(SkinPath(L"prohibit.png").c_str()));
  return TRUE;
}

Gdiplus::Font* CDialogDragView::TextFont() {
  if (Gdiplus::Font* font = IconFont()) return font;
  if (!m_ownFont) m_ownFont = std::make_unique<Gdiplus::Font>(L"宋体", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  return m_ownFont.get();
}

int CDialogDragView::TextWidth(const std::wstring& text) {
  if (text.empty()) return 0;
  VxWindowDC screen(nullptr);
  Gdiplus::Graphics g(screen.Get());
  Gdiplus::RectF box;
  g.MeasureString(text.c_str(), static_cast<INT>(text.size()), TextFont(), Gdiplus::PointF(0, 0), &box);
  return static_cast<int>(box.Width + 0.99f);
}

Gdiplus::Image* CDialogDragView::EffectIcon() const {
  switch (m_effect) {
    case DROPEFFECT_MOVE: return m_iconMove.get();
    case DROPEFFECT_COPY: return m_iconAdd.get();
    case DROPEFFECT_LINK: return m_iconLink.get();
    default: return m_iconNone.get();
  }
}

void CDialogDragView::UpdateDragView(DWORD effect, const std::wstring& target, BOOL openWith, POINT screenPoint) {
  if (!m_hWnd) return;
  const DeskDragViewTexts texts = DeskDragViewTextsFor(effect, ToU16(target), openWith != FALSE);
  const bool changed = effect != m_effect || ToW(texts.verb) != m_verb || ToW(texts.target) != m_target ||
                       ToW(texts.suffix) != m_suffix;
  if (changed) {
    m_effect = effect;
    m_verb = ToW(texts.verb);
    m_target = ToW(texts.target);
    m_suffix = ToW(texts.suffix);
    m_verbW = TextWidth(m_verb);
    m_targetW = TextWidth(m_target);
    m_suffixW = TextWidth(m_suffix);
  }
  const VxRc r = DeskDragViewRect(ToVxPt(screenPoint), m_verbW, m_targetW, m_suffixW);
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (changed || !::IsWindowVisible(m_hWnd)) UpdateView();
}

void CDialogDragView::HideView() {
  if (m_hWnd && ::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_HIDE);
}

void CDialogDragView::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  CVxDialogBase::DrawSurface(hdc, cx, cy, buffered);
  VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
  g->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  if (!m_back.IsEmpty()) m_back.Draw(*g, Gdiplus::Rect(0, 0, cx, cy));
  if (Gdiplus::Image* icon = EffectIcon())
    g->DrawImage(icon, kIconLeft, (cy - kIconSize) / 2, kIconSize, kIconSize);
  Gdiplus::Font* font = TextFont();
  Gdiplus::StringFormat format;
  format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  Gdiplus::SolidBrush plain(Gdiplus::Color(254, 235, 238, 245));
  Gdiplus::SolidBrush accent(Gdiplus::Color(254, 0x66, 0xB3, 0xFF));
  float x = static_cast<float>(kTextLeft);
  auto put = [&](const std::wstring& text, int width, Gdiplus::Brush& ink) {
    if (text.empty()) return;
    g->DrawString(text.c_str(), static_cast<INT>(text.size()), font,
                  Gdiplus::RectF(x, 0.0f, static_cast<float>(width + kTextGap), static_cast<float>(cy)), &format, &ink);
    x += static_cast<float>(width + kTextGap);
  };
  put(m_verb, m_verbW, plain);
  put(m_target, m_targetW, accent);
  put(m_suffix, m_suffixW, plain);
}
