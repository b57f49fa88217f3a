// The desk as a page of the host window: its mouse messages and timers.
#include <windowsx.h>

#include "desk/MyDesk.h"

namespace {
constexpr UINT_PTR kDeskPeriodicTimer = 1008;
}

BOOL CMyDesk::OnPageMouse(UINT message, WPARAM wParam, POINT point) {
  switch (message) {
    case WM_MOUSEMOVE: return OnMouseMove(point);
    case WM_LBUTTONDOWN: return OnLButtonDown(point);
    case WM_LBUTTONUP: return OnLButtonUp(point);
    case WM_RBUTTONDOWN: return OnRButtonDown(point);
    case WM_RBUTTONUP: return OnRButtonUp(point);
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(point);
    case WM_MOUSEWHEEL: return OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam), point);
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return TRUE;
    default: return FALSE;
  }
}

void CMyDesk::OnPageTimer(UINT_PTR id) {
  if (id == kDeskPeriodicTimer) OnTimer1008();
}
