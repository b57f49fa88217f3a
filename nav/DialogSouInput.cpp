#include "nav/DialogSouInput.h"

#include "nav/nav_rc.h"

namespace {
std::wstring Trimmed(const std::wstring& s) {
  const size_t a = s.find_first_not_of(L" \t\u3000");
  if (a == std::wstring::npos) return L"";
  const size_t b = s.find_last_not_of(L" \t\u3000");
  return s.substr(a, b - a + 1);
}
}  // namespace

CDialogSouInput::CDialogSouInput(UINT templateId) : CVxDialogBase(templateId) {
  m_backBrush.Reset(::CreateSolidBrush(m_backColor));
}

CDialogSouInput::~CDialogSouInput() = default;

BOOL CDialogSouInput::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  SetNoMove(TRUE);
  m_edit = ::GetDlgItem(m_hWnd, IDC_SOU_EDIT);
  SetEditFont(m_fontHeight);
  ::SetWindowTextW(m_edit, m_hint.c_str());
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  OnSize(0, rc.right, rc.bottom);
  return TRUE;
}

void CDialogSouInput::SetHint(const std::wstring& hint) {
  const bool showing = m_edit && ShowsHint();
  m_hint = hint;
  if (showing) ::SetWindowTextW(m_edit, m_hint.c_str());
}

void CDialogSouInput::SetEditFont(int height) {
  m_fontHeight = height;
  if (!m_edit) return;
  m_font.Reset(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, L"宋体"));
  ::SendMessageW(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
}

std::wstring CDialogSouInput::EditText() const {
  if (!m_edit) return L"";
  const int n = ::GetWindowTextLengthW(m_edit);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(m_edit, &text[0], n + 1)));
  return text;
}

bool CDialogSouInput::ShowsHint() const { return EditText() == m_hint; }

std::wstring CDialogSouInput::GetSearchText() const {
  const std::wstring text = Trimmed(EditText());
  return text == m_hint ? std::wstring() : text;
}

void CDialogSouInput::SetText(const std::wstring& text) {
  if (m_edit) ::SetWindowTextW(m_edit, text.empty() ? m_hint.c_str() : text.c_str());
}

BOOL CDialogSouInput::OnEraseBkgnd(HDC) { return TRUE; }

void CDialogSouInput::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  ::FillRect(dc, &ps.rcPaint, m_backBrush.Get());
  ::EndPaint(m_hWnd, &ps);
}

void CDialogSouInput::OnSize(UINT, int cx, int cy) {
  if (!m_edit) return;
  // The edit's text sits in the middle of the field's height.
  const int line = m_fontHeight < 0 ? -m_fontHeight + 2 : 16;
  const int top = cy > line ? (cy - line) / 2 : 0;
  ::MoveWindow(m_edit, 2, top, cx > 4 ? cx - 4 : cx, cy - top, TRUE);
}

BOOL CDialogSouInput::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg == WM_CTLCOLOREDIT && reinterpret_cast<HWND>(lParam) == m_edit) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, ShowsHint() ? m_hintColor : m_textColor);
    ::SetBkColor(dc, m_backColor);
    *result = reinterpret_cast<LRESULT>(m_backBrush.Get());
    return TRUE;
  }
  if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == m_edit && m_edit) {
    switch (HIWORD(wParam)) {
      case EN_SETFOCUS:
        if (ShowsHint()) ::SetWindowTextW(m_edit, L"");
        break;
      case EN_KILLFOCUS:
        if (Trimmed(EditText()).empty()) ::SetWindowTextW(m_edit, m_hint.c_str());
        break;
      case EN_CHANGE:
        ::InvalidateRect(m_edit, nullptr, TRUE);
        ::UpdateWindow(m_edit);
        break;
      default:
        break;
    }
    *result = 0;
    return TRUE;
  }
  return CVxDialogBase::OnMessage(msg, wParam, lParam, result);
}

BOOL CDialogSouInput::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->hwnd == m_edit && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
    if (m_onEnter) m_onEnter();
    return TRUE;
  }
  if (pMsg->hwnd == m_edit && pMsg->message == WM_CHAR && pMsg->wParam == L'\r') return TRUE;
  return CVxDialogBase::PreTranslateMessage(pMsg);
}
