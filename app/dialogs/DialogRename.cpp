#include "app/dialogs/DialogRename.h"

#include <algorithm>

#include "uilib/VxRaii.h"
#include "app/dialogs/dialogs_rc.h"

namespace {

constexpr int kMaxNameChars = 100;
// Posted to itself after a focus change: by then GetFocus tells where the focus went.
constexpr UINT kCheckFocus = WM_APP + 0x31;

CString WindowText(HWND hwnd) {
  CString text;
  if (!hwnd) return text;
  text.resize(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1);
  const int n = ::GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return text;
}

}  // namespace

CDialogRename::CDialogRename(HWND hParent) : CVxDialogBase(IDD_DIALOG_RENAME, hParent) {}

CDialogRename::~CDialogRename() {
  // The edits must not outlive the fonts they draw with.
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  if (m_hTitleFont) ::DeleteObject(m_hTitleFont);
  if (m_hFont) ::DeleteObject(m_hFont);
}

HFONT CDialogRename::CreateIconTitleFont(const int* height) {
  ICONMETRICSW im{};
  im.cbSize = sizeof(im);
  if (!::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(im), &im, 0)) return nullptr;
  if (height) im.lfFont.lfHeight = *height;
  return ::CreateFontIndirectW(&im.lfFont);
}

BOOL CDialogRename::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  m_hEditLabel = ::GetDlgItem(m_hWnd, IDC_RENAME_LABEL);
  m_hEditTitle = ::GetDlgItem(m_hWnd, IDC_RENAME_TITLE);
  if (m_hTitleFont) ::DeleteObject(m_hTitleFont);
  m_hTitleFont = nullptr;
  if (m_hFont) ::DeleteObject(m_hFont);
  m_hFont = CreateIconTitleFont(nullptr);
  for (HWND edit : {m_hEditLabel, m_hEditTitle}) {
    if (m_hFont) ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
    ::SendMessageW(edit, EM_LIMITTEXT, kMaxNameChars, 0);
  }
  m_bBoxTitle = FALSE;
  ::ShowWindow(m_hEditLabel, SW_SHOW);
  ::ShowWindow(m_hEditTitle, SW_HIDE);
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  OnSize(SIZE_RESTORED, rc.right, rc.bottom);
  return FALSE;  // the focus goes to an edit only when an edit starts
}

void CDialogRename::OnSize(UINT, int cx, int cy) {
  for (HWND edit : {m_hEditLabel, m_hEditTitle})
    if (edit) ::MoveWindow(edit, 0, 0, cx, cy, TRUE);
}

void CDialogRename::SetItem(VxListItem* item, VxListCtrl* list) {
  m_pItem = item;
  m_pList = list;
}

void CDialogRename::SetBoxTitle(BOOL boxTitle) {
  m_bBoxTitle = boxTitle ? TRUE : FALSE;
  if (!m_hWnd) return;
  ::ShowWindow(m_hEditLabel, m_bBoxTitle ? SW_HIDE : SW_SHOW);
  ::ShowWindow(m_hEditTitle, m_bBoxTitle ? SW_SHOW : SW_HIDE);
}

void CDialogRename::SetTitleFontHeight(int height) {
  HFONT font = CreateIconTitleFont(&height);
  if (!font) return;
  if (m_hEditTitle) ::SendMessageW(m_hEditTitle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (m_hTitleFont) ::DeleteObject(m_hTitleFont);
  m_hTitleFont = font;
}

int CDialogRename::SelectionEnd(const CString& name) {
  const size_t dot = name.rfind(L'.');
  if (dot == CString::npos || dot == 0) return static_cast<int>(name.size());
  return static_cast<int>(dot);
}

void CDialogRename::BeginEdit(const RECT& screenRect, const CString& text) {
  if (!m_hWnd) return;
  ::SetWindowPos(m_hWnd, HWND_TOP, screenRect.left, screenRect.top,
                 screenRect.right - screenRect.left, screenRect.bottom - screenRect.top,
                 SWP_NOACTIVATE);
  SetEditText(text);
}

void CDialogRename::SetEditText(const CString& text) {
  HWND edit = GetActiveEdit();
  if (!m_hWnd || !edit) return;
  m_ptLabelOffset = POINT{0, 0};
  RECT label, window;
  if (LabelRectOnScreen(&label) && ::GetWindowRect(m_hWnd, &window))
    m_ptLabelOffset = POINT{window.left - label.left, window.top - label.top};
  m_strStart = text;
  ::SetWindowTextW(edit, text.c_str());
  m_bEditing = TRUE;

  if (!::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOW);
  ::SetForegroundWindow(m_hWnd);
  ::SetFocus(edit);
  if (!m_bBoxTitle) PlaceOverLabel();
  ::SendMessageW(edit, EM_SETSEL, 0, SelectionEnd(text));
  ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

CString CDialogRename::GetEditText() const {
  CString text = WindowText(GetActiveEdit());
  text.erase(std::remove_if(text.begin(), text.end(),
                            [](wchar_t c) { return c == L'\r' || c == L'\n'; }),
             text.end());
  return text;
}

BOOL CDialogRename::EndEdit(BOOL accept) {
  if (!m_bEditing) return FALSE;
  m_bEditing = FALSE;
  if (!accept) {
    ::SetWindowTextW(GetActiveEdit(), m_strStart.c_str());
    // A multi-line edit sends no EN_CHANGE for WM_SETTEXT: the label is put back here.
    FollowLabel();
  }
  if (m_hWnd) ::ShowWindow(m_hWnd, SW_HIDE);
  if (m_onEnd) m_onEnd(*this, accept);
  // The entry may be gone by the next edit (a shell notification removes it).
  m_pItem = nullptr;
  m_pList = nullptr;
  return TRUE;
}

BOOL CDialogRename::LabelRectOnScreen(RECT* rc) const {
  if (!m_pItem || !m_pList) return FALSE;
  HWND host = m_pList->GetParent();
  if (!host) return FALSE;
  const RECT& text = m_pItem->rcText;
  RECT r{text.left, text.top, text.right, std::max(text.bottom, m_pItem->rcFocus.bottom)};
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  ::MapWindowPoints(host, HWND_DESKTOP, corners, 2);
  *rc = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
  return TRUE;
}

void CDialogRename::FollowLabel() {
  if (!m_pItem || !m_pList || !m_hWnd || !::GetParent(m_hWnd)) return;
  const CString text = GetEditText();
  if (text == m_pItem->szName) return;
  wcsncpy_s(m_pItem->szName, _countof(m_pItem->szName), text.c_str(), _TRUNCATE);
  m_pList->ReCalcStateRect(m_pItem);
  PlaceOverLabel();
}

int CDialogRename::LabelEditTextHeight() const {
  HWND edit = m_hEditLabel;
  const int lines = static_cast<int>(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  VxWindowDC dc(edit);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0));
  VxSelectObject keep(dc.Get(), font ? font : ::GetStockObject(SYSTEM_FONT));
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc.Get(), &tm);
  RECT window, format{};
  ::GetWindowRect(edit, &window);
  ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  // Border and inner margins: what the edit's window has around its formatting rectangle.
  const int frame = (window.bottom - window.top) - (format.bottom - format.top);
  return lines * tm.tmHeight + std::max(frame, 0);
}

void CDialogRename::PlaceOverLabel() {
  RECT label;
  if (!m_hWnd || !LabelRectOnScreen(&label)) return;
  // A popup is placed in screen coordinates; the owner's offset (a scrolled box) is kept.
  // The label is measured with the list's font, the edit draws with the icon-title font:
  // the edit may need more lines than the label, and every line stays in view.
  const int width = label.right - label.left;
  const int height = std::max<int>(label.bottom - label.top, LabelEditTextHeight());
  ::SetWindowPos(m_hWnd, nullptr, label.left + m_ptLabelOffset.x, label.top + m_ptLabelOffset.y,
                 width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  if (!m_bBoxTitle) ::SendMessageW(m_hEditLabel, EM_SCROLLCARET, 0, 0);
}

BOOL CDialogRename::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam), code = HIWORD(wParam);
  if (id == IDC_RENAME_LABEL && code == EN_CHANGE) {
    FollowLabel();
    return TRUE;
  }
  if ((id == IDC_RENAME_LABEL || id == IDC_RENAME_TITLE) && code == EN_KILLFOCUS) {
    if (m_bEditing) ::PostMessageW(m_hWnd, kCheckFocus, 0, 0);
    return TRUE;
  }
  // The dialog manager's IDOK/IDCANCEL (Enter or Escape that reached it some other way).
  if (id == IDOK || id == IDCANCEL) {
    EndEdit(id == IDOK);
    return TRUE;
  }
  return CVxDialogBase::OnCommand(wParam, lParam);
}

void CDialogRename::OnActivate(UINT nState, HWND hOther, BOOL bMinimized) {
  CVxDialogBase::OnActivate(nState, hOther, bMinimized);
  if (nState == WA_INACTIVE && m_bEditing) ::PostMessageW(m_hWnd, kCheckFocus, 0, 0);
}

void CDialogRename::CheckFocus() {
  if (!m_bEditing) return;
  const HWND focus = ::GetFocus();
  if (focus == GetActiveEdit() && ::GetActiveWindow() == m_hWnd) return;
  EndEdit(TRUE);
}

BOOL CDialogRename::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (msg == kCheckFocus) {
    CheckFocus();
    *pResult = 0;
    return TRUE;
  }
  return CVxDialogBase::OnMessage(msg, wParam, lParam, pResult);
}

BOOL CDialogRename::PreTranslateMessage(MSG* pMsg) {
  if (m_bEditing && IsOwnEdit(pMsg->hwnd)) {
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
      EndEdit(pMsg->wParam == VK_RETURN);
      return TRUE;
    }
    // A name is one line: the label edit takes Enter only so the dialog manager leaves it
    // alone, and no line break may be typed into it.
    if (pMsg->message == WM_CHAR && (pMsg->wParam == L'\r' || pMsg->wParam == L'\n'))
      return TRUE;
  }
  return CVxDialogBase::PreTranslateMessage(pMsg);
}
