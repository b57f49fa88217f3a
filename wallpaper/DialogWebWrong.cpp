#include "wallpaper/DialogWebWrong.h"

namespace {

const Gdiplus::Color kLinkNormal(0xfe1e9d44), kLinkHover(0xfe21af4b), kLinkPressed(0xfe188137);

}  // namespace

CDialogWebWrong::CDialogWebWrong(HWND parent, const std::wstring& programDir)
    : CVxDialogBase(IDD, parent), m_programDir(programDir) {}

CDialogWebWrong::~CDialogWebWrong() = default;

BOOL CDialogWebWrong::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  Set_OPAQUEDlg(255);
  SetNoMove(TRUE);
  ::SetWindowTextW(m_hWnd, L"网络错误");
  const std::wstring skin = m_programDir + L"\\rs\\壁纸UI\\";
  m_font = std::make_unique<Gdiplus::Font>(L"微软雅黑", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);

  m_back.SetImage((skin + L"提示背景.png").c_str());
  int w = VxImageWidth(m_back.GetImage()), h = VxImageHeight(m_back.GetImage());
  if (w <= 0 || h <= 0) w = 400, h = 170;
  m_back.SetRect(0, 0, w, h);
  AddVxItem(&m_back);

  // Centred on the window that opened it.
  RECT owner{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (GetParentHwnd()) ::GetWindowRect(GetParentHwnd(), &owner);
  ::SetWindowPos(m_hWnd, HWND_TOP, owner.left + (owner.right - owner.left - w) / 2,
                 owner.top + (owner.bottom - owner.top - h) / 2, w, h, SWP_NOACTIVATE);

  if (m_btnClose.SetImage((skin + L"wclose.png").c_str(), VxButton::VXBT_3) && VxImageUsable(m_btnClose.GetImage())) {
    int fw = 0, fh = 0;
    m_btnClose.GetFrameSize(&fw, &fh);
    m_btnClose.SetRect(355, 45, fw, fh);
    m_btnClose.SetMouseMoveHand(TRUE);
    VxCallbacks cb{&CDialogWebWrong::OnClickClose, this};
    m_btnClose.SetCallBack(&cb);
    AddVxItem(&m_btnClose);
  }
  SetupLink(m_linkLocal, L"使用本地图片", 186, 100, 80, 20, &CDialogWebWrong::OnClickLocal);
  SetupLink(m_linkRetry, L"点击重试", 290, 70, 60, 20, &CDialogWebWrong::OnClickRetry);
  UpdateView();
  return TRUE;
}

void CDialogWebWrong::SetupLink(VxCheckBox& link, const wchar_t* text, int x, int y, int w, int h, VxClickFunc click) {
  link.SetText(text);
  link.SetFont(*m_font);
  link.SetTextColor(kLinkNormal);
  link.SetTextMouseOnColor(kLinkHover);
  link.SetTextMouseDownColor(kLinkPressed);
  link.SetRect(x, y, w, h);
  link.SetMouseMoveHand(TRUE);
  VxCallbacks cb{click, this};
  link.SetCallBack(&cb);
  AddVxItem(&link);
}

void CDialogWebWrong::OnClickClose(void* self) { static_cast<CDialogWebWrong*>(self)->Finish(kNothing); }
void CDialogWebWrong::OnClickLocal(void* self) { static_cast<CDialogWebWrong*>(self)->Finish(kLocal); }
void CDialogWebWrong::OnClickRetry(void* self) { static_cast<CDialogWebWrong*>(self)->Finish(kRetry); }

void CDialogWebWrong::Finish(int result) {
  m_result = result;
  ::PostMessageW(m_hWnd, WM_TIP_DONE, 0, 0);
}

void CDialogWebWrong::OnClose() { EndDialog(kNothing); }

BOOL CDialogWebWrong::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (msg == WM_TIP_DONE) {
    EndDialog(m_result);
    *pResult = 0;
    return TRUE;
  }
  return CVxDialogBase::OnMessage(msg, wParam, lParam, pResult);
}

void CDialogWebWrong::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  CVxDialogBase::DrawSurface(hdc, cx, cy, buffered);
  if (!m_font) return;
  VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
  g->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  Gdiplus::SolidBrush white(Gdiplus::Color(254, 255, 255, 255));
  Gdiplus::StringFormat format;
  g->DrawString(L"由于网络原因图像加载失败", -1, m_font.get(), Gdiplus::RectF(140, 70, 200, 100), &format, &white);
  // Reads on from the local-picture link: "使用本地图片美化桌面哦!".
  g->DrawString(L"美化桌面哦!", -1, m_font.get(), Gdiplus::RectF(266, 100, 120, 20), &format, &white);
}
