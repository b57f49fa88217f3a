#include "app/dialogs/DialogMsg.h"

#include "base/AppGlobals.h"
#include "app/TessaryApp.h"
#include "app/dialogs/DialogFont.h"
#include "app/dialogs/dialogs_rc.h"

namespace {

CString SkinPath(const wchar_t* file) { return TheApp().programDir + L"\\rs\\设置\\" + file; }

CRect ButtonRect(const VxButton& b) {
  CRect rc;
  b.GetButtonRect(rc);
  return rc;
}

}  // namespace

CDialogMsg::CDialogMsg(HWND hParent) : CVxDialogBase(IDD_DIALOG_MSG, hParent) {}

CDialogMsg::~CDialogMsg() = default;

BOOL CDialogMsg::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  Set_OPAQUEDlg(255);

  m_back.SetImage(SkinPath(L"tips_bg.png").c_str());
  const int w = VxImageWidth(m_back.GetImage()), h = VxImageHeight(m_back.GetImage());
  m_back.SetRect(0, 0, w, h);
  AddVxItem(&m_back);

  const int sx = ::GetSystemMetrics(SM_CXSCREEN), sy = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetWindowPos(m_hWnd, nullptr, (sx - w) / 2, (sy - h) / 2, w, h,
                 SWP_NOZORDER | SWP_NOACTIVATE);

  CRect client;
  ::GetClientRect(m_hWnd, &client);
  const int cw = client.Width(), ch = client.Height();
  const SIZE closeSize = LoadButton(m_btnClose, L"close.png", &CDialogMsg::OnClickClose);
  m_btnClose.SetRect(cw - 10 - closeSize.cx, 10, closeSize.cx, closeSize.cy);
  const SIZE cancelSize = LoadButton(m_btnCancel, L"button_cancel.png", &CDialogMsg::OnClickCancel);
  m_btnCancel.SetRect(cw - 90, ch - 45, cancelSize.cx, cancelSize.cy);
  const SIZE okSize = LoadButton(m_btnOK, L"button_ok.png", &CDialogMsg::OnClickOK);
  m_btnOK.SetRect(cw - 170, ch - 45, okSize.cx, okSize.cy);

  UpdateView();
  return TRUE;
}

SIZE CDialogMsg::LoadButton(VxButton& button, const wchar_t* image, VxClickFunc click) {
  button.SetImage(SkinPath(image).c_str(), VxButton::VXBT_3);
  int fw = 0, fh = 0;
  button.GetFrameSize(&fw, &fh);
  button.SetMouseMoveHand(TRUE);
  VxCallbacks cb{click, this};
  button.SetCallBack(&cb);
  AddVxItem(&button);
  return SIZE{fw, fh};
}

CRect CDialogMsg::GetCloseRect() const { return ButtonRect(m_btnClose); }
CRect CDialogMsg::GetOKRect() const { return ButtonRect(m_btnOK); }
CRect CDialogMsg::GetCancelRect() const { return ButtonRect(m_btnCancel); }

void CDialogMsg::OnClickClose(void* self) { static_cast<CDialogMsg*>(self)->SetDoModalOK(FALSE); }
void CDialogMsg::OnClickOK(void* self) { static_cast<CDialogMsg*>(self)->SetDoModalOK(TRUE); }
void CDialogMsg::OnClickCancel(void* self) { static_cast<CDialogMsg*>(self)->SetDoModalOK(FALSE); }

// Callers test the result against 1 and 0, not the IDOK/IDCANCEL pair.
void CDialogMsg::OnOK() { EndDialog(kOK); }
void CDialogMsg::OnCancel() { EndDialog(kCancel); }
// A close from outside (task switcher, WM_CLOSE) is a cancel, not a destroyed window whose
// modal loop would report IDCANCEL (2).
void CDialogMsg::OnClose() { EndDialog(kCancel); }

Gdiplus::Font* CDialogMsg::TextFont() { return DialogTextFont(m_ownFont); }

void CDialogMsg::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  CVxDialogBase::DrawSurface(hdc, cx, cy, buffered);
  Gdiplus::Font* font = TextFont();
  if (!font) return;
  VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
  // Grey-scale smoothing: ClearType fringes would be written into the alpha surface.
  g->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  Gdiplus::StringFormat format;
  format.SetAlignment(Gdiplus::StringAlignmentNear);
  Gdiplus::SolidBrush ink(Gdiplus::Color(254, 30, 30, 30));
  auto line = [&](const CString& text, float y) {
    if (text.empty()) return;
    g->DrawString(text.c_str(), static_cast<INT>(text.size()), font,
                  Gdiplus::RectF(85.0f, y, 800.0f, 800.0f), &format, &ink);
  };
  if (m_nMode == kTwoLines) {
    line(m_strFirst, 75.0f);
    line(m_strSecond, 100.0f);
  } else {
    line(m_strFirst, 85.0f);
  }
}
