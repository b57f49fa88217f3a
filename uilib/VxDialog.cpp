#include "uilib/VxDialog.h"

#include <windowsx.h>

namespace {

const wchar_t kThisProp[] = L"VxDialogThis";
HINSTANCE g_resourceModule = nullptr;

POINT PointFromLParam(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

}  // namespace

CVxDialog::CVxDialog(UINT nIDTemplate, HWND hParent)
    : m_nIDTemplate(nIDTemplate), m_hParent(hParent) {}

CVxDialog::~CVxDialog() {
  // A window outliving its object would call into freed memory: detach and destroy it.
  if (m_hWnd && ::IsWindow(m_hWnd)) {
    ::RemovePropW(m_hWnd, kThisProp);
    ::DestroyWindow(m_hWnd);
  }
}

void CVxDialog::SetResourceModule(HINSTANCE hModule) { g_resourceModule = hModule; }

HINSTANCE CVxDialog::GetResourceModule() {
  return g_resourceModule ? g_resourceModule : ::GetModuleHandleW(nullptr);
}

CVxDialog* CVxDialog::FromHandle(HWND hwnd) {
  return hwnd ? static_cast<CVxDialog*>(::GetPropW(hwnd, kThisProp)) : nullptr;
}

BOOL CVxDialog::CreateFromTemplate(HWND hParent) {
  if (m_hWnd) return FALSE;
  m_hParent = hParent;
  HWND hwnd = ::CreateDialogParamW(GetResourceModule(), MAKEINTRESOURCEW(m_nIDTemplate), hParent,
                                   &CVxDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

BOOL CVxDialog::Create(HWND hParent) {
  m_bModal = FALSE;
  return CreateFromTemplate(hParent ? hParent : m_hParent);
}

INT_PTR CVxDialog::DoModal() {
  m_bModal = TRUE;
  m_bEndModal = FALSE;
  m_nModalResult = IDCANCEL;
  HWND parent = m_hParent;
  if (!CreateFromTemplate(parent)) {
    m_bModal = FALSE;
    return -1;
  }
  const BOOL parentWasEnabled = parent && ::IsWindowEnabled(parent);
  if (parentWasEnabled) ::EnableWindow(parent, FALSE);
  if (m_hWnd && !::IsWindowVisible(m_hWnd) && !m_bEndModal) ::ShowWindow(m_hWnd, SW_SHOW);

  MSG msg;
  while (!m_bEndModal && m_hWnd) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit for the outer loop
      break;
    }
    if (got == -1) break;
    if (!PreTranslate(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (parentWasEnabled) {
    ::EnableWindow(parent, TRUE);
    ::SetActiveWindow(parent);
  }
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  m_bModal = FALSE;
  return m_nModalResult;
}

BOOL CVxDialog::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

void CVxDialog::EndDialog(INT_PTR nResult) {
  m_nModalResult = nResult;
  if (m_bModal) {
    m_bEndModal = TRUE;
    if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake the modal loop
  } else if (m_hWnd) {
    ::DestroyWindow(m_hWnd);
  }
}

BOOL CVxDialog::PreTranslate(MSG* pMsg) noexcept {
  for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
    if (CVxDialog* dlg = FromHandle(h)) {
      try {
        if (dlg->PreTranslateMessage(pMsg)) return TRUE;
      } catch (...) {
        // Not consumed: the message is dispatched as usual.
      }
    }
    if (!(::GetWindowLongW(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return FALSE;
}

int CVxDialog::RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
    if (!PreTranslate(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return got == 0 ? static_cast<int>(msg.wParam) : -1;
}

BOOL CVxDialog::OnInitDialog() { return TRUE; }
void CVxDialog::OnOK() { EndDialog(IDOK); }
void CVxDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CVxDialog::PreTranslateMessage(MSG* pMsg) {
  // Keyboard navigation between child controls (edit boxes of rename and search).
  if (m_hWnd && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST &&
      (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    return ::IsDialogMessageW(m_hWnd, pMsg);
  return FALSE;
}

BOOL CVxDialog::OnCommand(WPARAM wParam, LPARAM) {
  switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
  }
}

void CVxDialog::PostNcDestroy() {}
void CVxDialog::OnHandlerFailed(UINT) noexcept {}

void CVxDialog::OnPaint() { Default(); }
BOOL CVxDialog::OnEraseBkgnd(HDC) { Default(); return FALSE; }
void CVxDialog::OnMove(int, int) { Default(); }
void CVxDialog::OnSize(UINT, int, int) { Default(); }
void CVxDialog::OnMouseMove(UINT, POINT) { Default(); }
void CVxDialog::OnMouseLeave() { Default(); }
void CVxDialog::OnLButtonDown(UINT, POINT) { Default(); }
void CVxDialog::OnLButtonUp(UINT, POINT) { Default(); }
void CVxDialog::OnLButtonDblClk(UINT, POINT) { Default(); }
void CVxDialog::OnRButtonDown(UINT, POINT) { Default(); }
void CVxDialog::OnRButtonUp(UINT, POINT) { Default(); }
BOOL CVxDialog::OnMouseWheel(UINT, short, POINT) { Default(); return FALSE; }
BOOL CVxDialog::OnSetCursor(HWND, UINT, UINT) { Default(); return FALSE; }
void CVxDialog::OnActivate(UINT, HWND, BOOL) { Default(); }
void CVxDialog::OnClose() { Default(); }
void CVxDialog::OnTimer(UINT_PTR) { Default(); }
void CVxDialog::OnDestroy() { Default(); }

BOOL CVxDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* pResult) {
  *pResult = 0;
  switch (msg) {
    case WM_PAINT: OnPaint(); break;
    case WM_ERASEBKGND: *pResult = OnEraseBkgnd(reinterpret_cast<HDC>(wp)); break;
    case WM_MOVE: OnMove(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))); break;
    case WM_SIZE: OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp)); break;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(wp), PointFromLParam(lp)); break;
    case WM_MOUSELEAVE: OnMouseLeave(); break;
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(wp), PointFromLParam(lp)); break;
    case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(wp), PointFromLParam(lp)); break;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wp), PointFromLParam(lp)); break;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(wp), PointFromLParam(lp)); break;
    case WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(wp), PointFromLParam(lp)); break;
    case WM_MOUSEWHEEL:
      *pResult = OnMouseWheel(GET_KEYSTATE_WPARAM(wp), GET_WHEEL_DELTA_WPARAM(wp),
                              PointFromLParam(lp));
      break;
    case WM_SETCURSOR:
      *pResult = OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp));
      break;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wp), reinterpret_cast<HWND>(lp), HIWORD(wp) != 0);
      break;
    case WM_CLOSE: OnClose(); break;
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wp)); break;
    case WM_DESTROY: OnDestroy(); break;
    case WM_COMMAND:
      if (!OnCommand(wp, lp)) Default();
      break;
    default: Default(); break;
  }
  return TRUE;
}

INT_PTR CVxDialog::Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  const BOOL outer = m_bDefault;
  m_bDefault = FALSE;
  LRESULT result = 0;
  BOOL handled = FALSE;
  try {
    handled = OnMessage(msg, wp, lp, &result) && !m_bDefault;
  } catch (...) {
    // A handler failed half-way: unless it took the dialog with it, the dialog drops what
    // the handler had begun, the dialog manager handles the message, and the window goes
    // on with the next one.
    if (FromHandle(hwnd) != this) return FALSE;
    m_bDefault = outer;
    OnHandlerFailed(msg);
    return FALSE;
  }
  m_bDefault = outer;
  if (!handled) return FALSE;
  ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
  return TRUE;
}

BOOL CVxDialog::InitDialog(HWND hwnd) noexcept {
  m_hWnd = hwnd;
  ::SetPropW(hwnd, kThisProp, this);
  try {
    return OnInitDialog();
  } catch (...) {
    return TRUE;  // the dialog manager's own choice of focus
  }
}

void CVxDialog::NcDestroy(HWND hwnd) noexcept {
  ::RemovePropW(hwnd, kThisProp);
  m_hWnd = nullptr;
  try {
    PostNcDestroy();
  } catch (...) {
  }
}

INT_PTR CALLBACK CVxDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_INITDIALOG) return reinterpret_cast<CVxDialog*>(lp)->InitDialog(hwnd);
  CVxDialog* self = FromHandle(hwnd);
  if (!self) return FALSE;
  if (msg == WM_NCDESTROY) {
    self->NcDestroy(hwnd);
    return FALSE;
  }
  return self->Dispatch(hwnd, msg, wp, lp);
}
