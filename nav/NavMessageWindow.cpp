#include "nav/NavMessageWindow.h"

namespace {
const wchar_t kClassName[] = L"VxNavMessageWindow";

ATOM RegisterOnce(WNDPROC proc) {
  static ATOM atom = [proc] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    return ::RegisterClassW(&wc);
  }();
  return atom;
}
}  // namespace

CNavMessageWindow::CNavMessageWindow(Handler handler) : m_handler(std::move(handler)) {
  if (!RegisterOnce(&CNavMessageWindow::WndProc)) return;
  m_hwnd = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             ::GetModuleHandleW(nullptr), this);
}

CNavMessageWindow::~CNavMessageWindow() {
  if (m_hwnd) {
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    ::DestroyWindow(m_hwnd);
  }
}

LRESULT CALLBACK CNavMessageWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam,
                                            LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<CNavMessageWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && self->m_handler && (msg >= WM_USER || msg == WM_TIMER)) {
    try {
      self->m_handler(msg, wParam, lParam);
    } catch (...) {
      // A failed handler leaves the page as it was.
    }
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
