#include "setup/DialogQuit.h"

#include "setup/setup_rc.h"

namespace {
constexpr int kW = 320, kH = 150;
}

std::unique_ptr<Gdiplus::Font> MakeSetupFont(float pixels, int style) {
  for (const wchar_t* family : {L"微软雅黑", L"宋体"}) {
    Gdiplus::FontFamily f(family);
    if (f.GetLastStatus() != Gdiplus::Ok) continue;
    auto font = std::make_unique<Gdiplus::Font>(&f, pixels, style, Gdiplus::UnitPixel);
    if (font->GetLastStatus() == Gdiplus::Ok) return font;
  }
  return std::make_unique<Gdiplus::Font>(Gdiplus::FontFamily::GenericSansSerif(), pixels, style,
                                         Gdiplus::UnitPixel);
}

CDialogQuit::CDialogQuit(HWND hParent) : CVxDialogBase(IDD_QUIT, hParent) {}
CDialogQuit::~CDialogQuit() = default;

BOOL CDialogQuit::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  SetNoLayDlg();
  SetBackColor(Gdiplus::Color(255, 255, 255, 255), TRUE);
  m_font = MakeSetupFont(14.0f);
  RECT owner{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (HWND parent = ::GetParent(m_hWnd)) ::GetWindowRect(parent, &owner);
  ::SetWindowPos(m_hWnd, HWND_TOP, (owner.left + owner.right - kW) / 2,
                 (owner.top + owner.bottom - kH) / 2, kW, kH, SWP_NOACTIVATE);
  SetRngDlg(12, 12);
  struct { VxButton* b; UINT id; VxClickFunc f; int x; } buttons[] = {
      {&m_btnQuit, IDP_QUIT_OK, &CDialogQuit::OnClickQuit, kW - 176},
      {&m_btnStay, IDP_QUIT_CANCEL, &CDialogQuit::OnClickStay, kW - 92}};
  for (auto& b : buttons) {
    b.b->SetImage(b.id, L"PNG", VxButton::VXBT_3);
    int fw = 0, fh = 0;
    b.b->GetFrameSize(&fw, &fh);
    b.b->SetRect(b.x, kH - 48, fw, fh);
    b.b->SetMouseMoveHand(TRUE);
    VxCallbacks cb{b.f, this};
    b.b->SetCallBack(&cb);
    AddVxItem(b.b);
  }
  UpdateView();
  return TRUE;
}

void CDialogQuit::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  CVxDialogBase::DrawSurface(hdc, cx, cy, buffered);
  VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
  Gdiplus::Pen edge(Gdiplus::Color(255, 0xD5, 0xDB, 0xE3));
  g->DrawRectangle(&edge, 0, 0, cx - 1, cy - 1);
  Gdiplus::SolidBrush band(Gdiplus::Color(255, 0x33, 0x99, 0xFF));
  g->FillRectangle(&band, 0, 0, cx, 4);
  g->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  Gdiplus::SolidBrush ink(Gdiplus::Color(255, 30, 30, 30));
  Gdiplus::StringFormat format;
  const wchar_t* text = L"安装尚未完成, 确定要退出安装吗?";
  g->DrawString(text, -1, m_font.get(), Gdiplus::PointF(28.0f, 40.0f), &format, &ink);
}

void CDialogQuit::OnClickQuit(void* self) { static_cast<CDialogQuit*>(self)->SetDoModalOK(TRUE); }
void CDialogQuit::OnClickStay(void* self) { static_cast<CDialogQuit*>(self)->SetDoModalOK(FALSE); }
void CDialogQuit::OnOK() { EndDialog(1); }
void CDialogQuit::OnCancel() { EndDialog(0); }
void CDialogQuit::OnClose() { EndDialog(0); }
