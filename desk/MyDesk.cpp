// The desk page as the host window sees it: its parts made and ended in order, its mouse
// messages and timers, and the work area it follows.
#include "desk/MyDesk.h"

#include <windowsx.h>

#include "base/AppGlobals.h"
#include "desk/core/desk_boxes.h"
#include "uilib/VxTypes.h"

namespace {
constexpr UINT_PTR kDeskPeriodicTimer = 1008;
}

CMyDesk::CMyDesk(CDeskOwner* owner)
    : CBaseDesk(0, owner), m_model(*this), m_input(*this, m_model), m_painter(m_model, m_input) {
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  m_pageRect = work;
}

CMyDesk::~CMyDesk() { m_model.Close(); }

BOOL CMyDesk::BoxNameExists(const std::wstring& name) {
  return DeskTableHasBoxName(TheApp().desk.boxRecords, ToU16(name));
}

void CMyDesk::StartDesk() {
  m_model.StartDesk();
  // Saved places were made on whatever screen the last run had: on a smaller one the boxes
  // show inside the page, and keep the saved place for when it grows again.
  m_model.FollowPage(m_pageRect);
}

void CMyDesk::FollowWorkArea(const RECT& newPageRect) {
  m_model.FollowPage(newPageRect);
  RequestRepaint();
}

void CMyDesk::Draw(Gdiplus::Graphics& g, int width, int height) {
  (void)width, (void)height;
  m_painter.Draw(g);
  if (m_painter.FillingIn()) RequestRepaint();  // entries still to draw
}

void CMyDesk::DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height) {
  (void)width, (void)height;
  m_painter.DrawFrame(g, frame);
  if (m_painter.FillingIn()) RequestRepaint();  // entries still to draw
}

void CMyDesk::OnTimer1008() {
  if (m_model.FadeFlashes()) RequestRepaint();
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
