#pragma once
// Pages of the host window: the desk and the navigation pages derive from CBaseDesk. The
// host window is the pages' owner: its handle parents their lists and it repaints them.
#include <windows.h>

#include <memory>

#include "VxGdiplus.h"

class CDeskOwner {
 public:
  virtual ~CDeskOwner() = default;
  // The window that parents every list of the page (null before it exists).
  virtual HWND OwnerHwnd() const = 0;
  // Asks for a redraw on the next repaint tick; also marks a save of the desk as pending.
  virtual void RequestRepaint() = 0;
  // A full save was just made: nothing is pending any more.
  virtual void ClearPendingSave() = 0;
};

class CBaseDesk {
 public:
  CBaseDesk(int pageId, CDeskOwner* owner) : m_pageId(pageId), m_owner(owner) {}
  virtual ~CBaseDesk() = default;
  CBaseDesk(const CBaseDesk&) = delete;
  CBaseDesk& operator=(const CBaseDesk&) = delete;

  virtual void OnPageEvent() {}
  // The base page is a plain translucent fill.
  virtual void Draw(Gdiplus::Graphics& g, int width, int height);

  const RECT& PageRect() const { return m_pageRect; }
  int PageId() const { return m_pageId; }
  CDeskOwner* Owner() const { return m_owner; }
  HWND OwnerHwnd() const { return m_owner ? m_owner->OwnerHwnd() : nullptr; }
  void RequestRepaint() {
    if (m_owner) m_owner->RequestRepaint();
  }

 protected:
  std::unique_ptr<Gdiplus::Bitmap> m_pageCache;
  RECT m_pageRect{0, 0, 0, 0};
  int m_slideOffset = 0;
  int m_slideDirection = 0;
  BOOL m_active = FALSE;
  BOOL m_animating = FALSE;
  int m_pageId;
  CDeskOwner* m_owner;
};
