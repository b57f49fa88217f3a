#pragma once
// Pages of the host window: the desk and the navigation pages derive from CBaseDesk. The
// host window is the pages' owner: its handle parents their lists and it repaints them.
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "uilib/VxGdiplus.h"
#include "uilib/VxListCtrl.h"
#include "uilib/core/vx_blend.h"

struct GetZhiItem;

// The host window's background under its pages, and a number that changes whenever its
// pixels do.
struct PageBackdrop {
  VxPixels pixels;
  uint64_t serial = 0;
};

// Menus the desk asks its owner to show.
constexpr int kDeskMenuDesk = 152;     // "我的桌面"
constexpr int kDeskMenuBoxTitle = 155;  // "格子顶部菜单"
constexpr int kDeskMenuBoxBody = 156;   // "格子主体菜单"

class CDeskOwner {
 public:
  virtual ~CDeskOwner() = default;
  // The window that parents every list of the page (null before it exists).
  virtual HWND OwnerHwnd() const = 0;
  // Asks for a redraw on the next repaint tick; also marks a save of the desk as pending.
  virtual void RequestRepaint() = 0;
  // A full save was just made: nothing is pending any more.
  virtual void ClearPendingSave() = 0;
  // Shows menu `menuId` (kDeskMenuDesk, kDeskMenuBoxTitle or kDeskMenuBoxBody) at
  // `screenPoint`. `boxIndex` is the box under the menu (index into CMyDesk::Boxes()) or -1
  // for the desk; the desk has already put it and the page point into
  // TheApp().desk.interaction. The owner brings itself to the foreground, inserts its
  // "新建" popup (position 10 of the desk menu, 7 of the box body menu), tracks the menu and
  // routes the chosen command back to the desk. Without an owner window nothing is shown.
  virtual void ShowMenu(int menuId, POINT screenPoint, int boxIndex) {
    (void)menuId, (void)screenPoint, (void)boxIndex;
  }
  // Opens the single-line rename editor over `rect` (owner client coordinates) holding
  // the box's name; when it closes the owner hands the text to CMyDesk::ApplyBoxRename.
  // Without an editor the box keeps its name.
  virtual void BeginRename(GetZhiItem* box, const RECT& rect) { (void)box, (void)rect; }
  // Opens the rename editor over an entry's label (`screenRect`), one line for a list in
  // list display; when it closes the owner hands the text to CMyDesk::ApplyEntryRename.
  virtual void BeginEntryRename(VxListItem* entry, VxListCtrl* list, const RECT& screenRect,
                                BOOL singleLine) {
    (void)entry, (void)list, (void)screenRect, (void)singleLine;
  }
  // A press on the page closes any open rename editor, committing what it holds.
  virtual void EndRename() {}
  // Draws and shows the page now instead of on the next tick: a drag's marker must follow
  // the cursor, and the drag's own loop decides when timers run.
  virtual void RepaintNow() { RequestRepaint(); }
  // The small window beside the cursor (`screenPoint`) that says what a drop of a desk drag
  // would do: the effect (DROPEFFECT_*), the target's name and whether the target program
  // would open the files. Made at the first update; HideDragView takes it off the screen.
  virtual void UpdateDragView(DWORD effect, const std::wstring& target, BOOL openWith,
                              POINT screenPoint) {
    (void)effect, (void)target, (void)openWith, (void)screenPoint;
  }
  virtual void HideDragView() {}
};

class CBaseDesk {
 public:
  CBaseDesk(int pageId, CDeskOwner* owner) : m_pageId(pageId), m_owner(owner) {}
  virtual ~CBaseDesk() = default;
  CBaseDesk(const CBaseDesk&) = delete;
  CBaseDesk& operator=(const CBaseDesk&) = delete;

  // ---- placement and the slide between pages ----
  // The page lies at x, y with the given size: called on every slide step with the page's new
  // offset. Pages that hold controls of their own move them here.
  virtual void PlacePage(int x, int y, int width, int height) { (void)x, (void)y, (void)width, (void)height; }
  // The work area changed: `pageRect` is the page's new rectangle (owner client coordinates).
  virtual void OnWorkAreaChanged(const RECT& pageRect) { m_pageRect = pageRect; }
  // The page has slid out of view: what it keeps only for drawing a moving page goes.
  virtual void ReleaseSlideResources() { m_pageCache.Reset(); }

  // The host's slide: the page starts at `from` and moves towards `goal` (0 for the page that
  // comes in, a screen width either side for the one that goes), one step per tick.
  void BeginSlide(int from, int goal, BOOL incoming);
  // Places the page at once: at 0 when it shows, out of view (and done) when it does not.
  void PlaceAt(int x, BOOL shows);
  // One tick of the slide: `step` pixels towards the goal, exactly onto it at the end. TRUE
  // while the page still moves.
  BOOL StepSlide(int step, int width, int height);
  BOOL IsMoving() const { return m_moving; }
  // An outgoing page that has arrived: it lies out of view and is not drawn.
  BOOL IsDone() const { return m_done; }
  BOOL IsIncoming() const { return m_incoming; }
  int SlideGoal() const { return m_slideGoal; }

  // ---- input while the page shows (owner client coordinates) ----
  // A page that refuses input gets no mouse, key or drop until it accepts again.
  virtual BOOL AcceptsInput() const { return TRUE; }
  // Mouse messages of the host window; TRUE when the page took the message.
  virtual BOOL OnPageMouse(UINT message, WPARAM wParam, POINT point) {
    (void)message, (void)wParam, (void)point;
    return FALSE;
  }
  // Key messages for the host window before it handles them; TRUE swallows the message.
  virtual BOOL OnPageKey(const MSG& msg) {
    (void)msg;
    return FALSE;
  }
  // Timers of the host window while this page shows (every timer id; pages pick theirs).
  virtual void OnPageTimer(UINT_PTR id) { (void)id; }
  // The organizer lost the foreground while this page shows: nothing may stay marked as
  // under the mouse, since no mouse-leave will come for it.
  virtual void OnPageDeactivate() {}
  // Drag and drop over the page. `effect` comes with the effects the source allows and goes
  // back with the one the page would make; the default takes nothing.
  virtual void OnPageDragEnter(IDataObject* data, DWORD keys, POINT point, DWORD* effect) {
    (void)data, (void)keys, (void)point;
    *effect = DROPEFFECT_NONE;
  }
  virtual void OnPageDragOver(DWORD keys, POINT point, DWORD* effect) {
    (void)keys, (void)point;
    *effect = DROPEFFECT_NONE;
  }
  virtual void OnPageDragLeave() {}
  virtual void OnPageDrop(IDataObject* data, DWORD keys, POINT point, DWORD* effect) {
    (void)data, (void)keys, (void)point;
    *effect = DROPEFFECT_NONE;
  }

  // ---- drawing ----
  // The page's drawing where it lies now: shifted by its slide offset while it moves.
  // `frame`, when given, is the memory of the pixels `g` draws on. With a `backdrop` (the
  // host's background, the frame's size) the page writes the whole frame: the backdrop and
  // itself over it.
  void DrawAt(Gdiplus::Graphics& g, int width, int height, const VxPixels* frame = nullptr,
              const PageBackdrop* backdrop = nullptr);
  void SetSlide(int offset, int direction) {
    m_slideOffset = offset;
    m_slideDirection = direction;
  }
  int SlideOffset() const { return m_slideOffset; }
  void SetAnimating(BOOL on) {
    m_animating = on;
    if (!on) m_pageCache.Reset();
  }
  // The base page is a plain translucent fill.
  virtual void Draw(Gdiplus::Graphics& g, int width, int height);
  // Draw with the memory of the pixels `g` draws on at hand, where cached images compose many
  // times faster than through GDI+; pages that have no use for it draw as Draw does.
  virtual void DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height) {
    (void)frame;
    Draw(g, width, height);
  }
  // The same over the backdrop, every pixel of the frame written; pages that keep their
  // composition from frame to frame compose it again only where it changed.
  virtual void DrawOverBackdrop(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height,
                                const PageBackdrop& backdrop) {
    VxCopyBlock(frame, backdrop.pixels);
    DrawFrame(g, frame, width, height);
  }

  const RECT& PageRect() const { return m_pageRect; }
  int PageId() const { return m_pageId; }
  CDeskOwner* Owner() const { return m_owner; }
  HWND OwnerHwnd() const { return m_owner ? m_owner->OwnerHwnd() : nullptr; }
  void RequestRepaint() {
    if (m_owner) m_owner->RequestRepaint();
  }

 protected:
  VxPixelImage m_pageCache;  // the page as drawn once for its slide
  RECT m_pageRect{0, 0, 0, 0};
  int m_slideOffset = 0;
  int m_slideDirection = 0;
  int m_slideGoal = 0;
  BOOL m_active = FALSE;
  BOOL m_animating = FALSE;
  BOOL m_moving = FALSE;
  BOOL m_incoming = FALSE;
  BOOL m_done = FALSE;
  int m_pageId;
  CDeskOwner* m_owner;
};
