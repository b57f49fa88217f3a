#include "app/dialogs/DialogComBox.h"

#include "app/dialogs/dialogs_rc.h"

CDialogComBox::CDialogComBox(HWND owner) : CVxDialogBase(IDD_DIALOG_COMBOX, owner) {}
CDialogComBox::~CDialogComBox() = default;

BOOL CDialogComBox::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  // Whatever the list does not cover is the key colour and so not there at all.
  Set_COLORKEYDlg(RGB(255, 128, 255));
  SetBackColor(Gdiplus::Color(255, 255, 128, 255), TRUE);
  SetNoMove(TRUE);
  // The list speaks in the icon-title font, like every label the desk draws.
  ICONMETRICSW im{};
  im.cbSize = sizeof(im);
  if (::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(im), &im, 0)) {
    m_font = VxFont(::CreateFontIndirectW(&im.lfFont));
    ::SendMessageW(ListWindow(), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), FALSE);
  }
  return TRUE;
}

HWND CDialogComBox::ListWindow() const {
  return m_hWnd ? ::GetDlgItem(m_hWnd, IDC_COMBOX_LIST) : nullptr;
}

void CDialogComBox::OnSize(UINT nType, int cx, int cy) {
  CVxDialogBase::OnSize(nType, cx, cy);
  if (HWND list = ListWindow()) ::MoveWindow(list, 0, 0, cx, cy, TRUE);
}

BOOL CDialogComBox::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_COMBOX_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
    if (m_changed) m_changed(m_user);
    return TRUE;
  }
  return CVxDialogBase::OnCommand(wParam, lParam);
}

void CDialogComBox::SetCallback(SelectionChanged changed, void* user) {
  m_changed = changed;
  m_user = user;
}

void CDialogComBox::SetChoices(const std::vector<std::wstring>& choices) {
  HWND list = ListWindow();
  if (!list) return;
  ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& c : choices)
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.c_str()));
}

void CDialogComBox::Select(int index) {
  if (HWND list = ListWindow()) ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int CDialogComBox::Selection() const {
  HWND list = ListWindow();
  return list ? static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)) : LB_ERR;
}

std::wstring CDialogComBox::SelectedText() const {
  const int i = Selection();
  HWND list = ListWindow();
  if (i == LB_ERR || !list) return std::wstring();
  const LRESULT n = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
  if (n == LB_ERR) return std::wstring();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(n));
  return text;
}

void CDialogComBox::ShowAt(const RECT& screen) {
  if (!m_hWnd) return;
  ::SetWindowPos(m_hWnd, HWND_TOP, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CDialogComBox::Hide() {
  if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialogComBox::IsOpen() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }
