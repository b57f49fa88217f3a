// The desk page as the host window sees it: its parts made and ended in order, its mouse
// messages and timers, and the work area it follows.
#include "desk/MyDesk.h"

#include <windowsx.h>
#include <commctrl.h>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "desk/core/desk_boxes.h"
#include "desk/core/desk_fileops.h"
#include "uilib/VxTypes.h"

namespace {
constexpr UINT_PTR kDeskPeriodicTimer = 1008;

// A box's item file is named after it inside the data folder, and the saved record holds
// that path in 260 units with its terminating zero.
size_t MaxBoxItemFileUnits() {
  const size_t folder = DataFolderPath().size();
  return folder < 259 ? 259 - folder : 0;
}
}

CMyDesk::CMyDesk(CDeskOwner* owner)
    : CBaseDesk(0, owner), m_model(*this), m_input(*this, m_model), m_painter(m_model, m_input), m_fileOps(*this, m_model),
      m_drag(*this, m_model, m_fileOps) {
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
  m_fileOps.ReadClipboard();
  // Saved places were made on whatever screen the last run had: on a smaller one the boxes
  // show inside the page, and keep the saved place for when it grows again.
  m_model.FollowPage(m_pageRect);
}

void CMyDesk::FollowWorkArea(const RECT& newPageRect) {
  m_model.FollowPage(newPageRect);
  RequestRepaint();
}

bool CMyDesk::FillingIn() const { return m_painter.FillingIn(); }

void CMyDesk::Draw(Gdiplus::Graphics& g, int width, int height) {
  (void)width, (void)height;
  m_painter.Draw(g);
  FinishDrawing(g);
}

void CMyDesk::FinishDrawing(Gdiplus::Graphics& g) {
  m_drag.DrawMarker(g);
  if (m_painter.FillingIn()) RequestRepaint();  // entries still to draw
}

void CMyDesk::DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height) {
  (void)width, (void)height;
  m_painter.DrawFrame(g, frame);
  FinishDrawing(g);
}

void CMyDesk::DrawOverBackdrop(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height,
                               const PageBackdrop& backdrop) {
  if (backdrop.pixels.width != frame.width || backdrop.pixels.height != frame.height) {
    CBaseDesk::DrawOverBackdrop(g, frame, width, height, backdrop);
    return;
  }
  m_painter.DrawFrame(g, frame, backdrop.pixels, backdrop.serial);
  FinishDrawing(g);
}

// A desk out of sight keeps no copy of its page.
void CMyDesk::ReleaseSlideResources() {
  CBaseDesk::ReleaseSlideResources();
  m_painter.ForgetScene();
}

void CMyDesk::PrepareForInput() {
  if (m_painter.StateImagesLoaded()) return;
  m_painter.LoadStateImages();
  RequestRepaint();
}

void CMyDesk::OnTimer1008() {
  // The start is over a few ticks after the first frame: the highlights load then if no
  // input asked for them before.
  if (m_painter.FirstFrameDrawn() && !m_painter.StateImagesLoaded() && ++m_ticksSinceFirstFrame >= 3)
    PrepareForInput();
  m_fileOps.OnTick();
  m_drag.OnTick();
  if (m_model.FadeFlashes()) RequestRepaint();
}

BOOL CMyDesk::OnPageKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return FALSE;
  PrepareForInput();
  if (HWND tip = Tooltip()) ::SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  return m_fileOps.OnKeyDown(static_cast<UINT>(msg.wParam));
}

BOOL CMyDesk::ApplyEntryRename(VxListItem* entry, VxListCtrl* list, const std::wstring& typed,
                               const std::wstring& before, const RECT& screenRect) {
  const BOOL ok = m_fileOps.ApplyEntryRename(entry, list, typed, before);
  if (!ok) {
    const DeskRenameCheck check = DeskCheckEntryRename(ToU16(typed), ToU16(before));
    m_fileOps.ShowRefusal(ToW(check.message), screenRect);
  }
  return ok;
}

BOOL CMyDesk::ApplyBoxRenameChecked(GetZhiItem* box, const std::wstring& edited, const RECT& screenRect) {
  bool known = false;
  for (auto& b : Boxes()) known |= b.get() == box;
  if (!known) return TRUE;  // removed while its title was edited
  const DeskRenameCheck check =
      DeskCheckBoxRename(ToU16(edited), ToU16(m_input.RenameBefore()), MaxBoxItemFileUnits());
  if (check.outcome == kRenameRefused) {
    m_fileOps.ShowRefusal(ToW(check.message), screenRect);
    return FALSE;
  }
  if (check.outcome == kRenameApply) ApplyBoxRename(box, ToW(check.name));
  return TRUE;
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
