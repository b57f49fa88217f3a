#pragma once
// A hidden message-only window for a navigation page, which has no window of its own: the
// page's workers and dialogs post their messages (1127, 1128, 1129) here, and the handler
// runs them on the user-interface thread.
#include <windows.h>

#include <functional>

// Messages of the navigation pages.
constexpr UINT WM_NAV_PUT_SITE = WM_USER + 1127;     // lParam: NavPutSite*, the receiver frees it
constexpr UINT WM_NAV_CAPTURE_DONE = WM_USER + 1128; // wParam: slot index
constexpr UINT WM_NAV_LIST_CHANGED = WM_USER + 1129; // the server's list was taken in

class CNavMessageWindow {
 public:
  using Handler = std::function<void(UINT msg, WPARAM wParam, LPARAM lParam)>;
  explicit CNavMessageWindow(Handler handler);
  ~CNavMessageWindow();
  CNavMessageWindow(const CNavMessageWindow&) = delete;
  CNavMessageWindow& operator=(const CNavMessageWindow&) = delete;
  HWND Hwnd() const { return m_hwnd; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  Handler m_handler;
  HWND m_hwnd = nullptr;
};
