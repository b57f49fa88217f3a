#pragma once
// 我的导航: twelve tiles of the user's own sites, kept in mydef.dat. A click on an empty tile
// opens the add dialog; a site put into a tile without a picture gets a thumbnail captured
// from its page (or the default picture).
#include <array>
#include <memory>
#include <string>

#include "desk/BaseDesk.h"
#include "nav/NavMessageWindow.h"
#include "nav/core/nav_records.h"
#include "uilib/VxDialogBase.h"
#include "uilib/VxItems.h"

class CDlgAddDaohang;
class CDialogWebTemp;
class CNavStrips;

// The 1127 record: put this site into the slot at `slot` (a tile position).
struct NavPutSite {
  int slot = -1;
  std::wstring name, url, image;
};

class CMyDaohang : public CBaseDesk {
 public:
  static constexpr int kPageId = 10;
  CMyDaohang(CVxDialogBase& host, CDeskOwner* owner, CNavStrips* strips);
  ~CMyDaohang() override;

  void PlacePage(int x, int y, int width, int height) override;
  BOOL OnPageMouse(UINT message, WPARAM wParam, POINT point) override;
  void DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height) override;
  void Draw(Gdiplus::Graphics& g, int width, int height) override;

  // A click released on the tile at `position` (0..11), as the mouse does it.
  void ClickTile(int position, POINT point);
  void OpenAddDialog(int position);
  // Closes the add dialog if it is open (a page switch does).
  void ClosePopup();
  CDlgAddDaohang* AddDialog() const;
  // The 1127 handling: the site goes into the slot, captured first when it has no picture.
  void PutSite(const NavPutSite& site);
  void DeleteAt(int position);
  // Puts the site at `from` at `to`, the tiles between making way, and saves the order.
  BOOL MoveTile(int from, int to);
  // The place a dragged tile would take, or -1 while no tile is dragged.
  int DragTarget() const { return m_dragging ? m_dragTarget : -1; }
  BOOL IsCapturing() const;
  // The frame the capture animation shows now (it runs only while a site is captured).
  UINT LoadingFrame() const { return m_loading.GetCurrentFrame(); }
  const MyDefSlots& Slots() const { return m_slots; }
  HWND MessageHwnd() const { return m_messages.Hwnd(); }

 private:
  struct Tile {
    std::unique_ptr<Gdiplus::Image> picture;
    bool capturePending = false;
    std::unique_ptr<CDialogWebTemp> capture;
  };
  void OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCaptureDone(int position);
  void UpdateLoadingAnimation();
  void Save();
  int ClientWidth() const;
  int WorkHeight() const;
  void DrawTile(Gdiplus::Graphics& g, int position);
  void DrawTileAt(Gdiplus::Graphics& g, const MyDefSlot* slot, const VxRc& tile, bool hover);
  void DragTo(POINT pt);
  void EndDrag(POINT pt);

  CVxDialogBase& m_host;
  CNavStrips* m_strips;
  MyDefSlots m_slots;
  std::array<Tile, kMyDefSlotCount> m_tiles;
  std::unique_ptr<CDlgAddDaohang> m_add;
  int m_hover = -1;
  int m_pressed = -1;
  BOOL m_hoverDelete = FALSE;
  // A pressed site tile follows the mouse once it moved a few pixels; the others show
  // where they would go.
  POINT m_pressPoint{0, 0};
  POINT m_dragPoint{0, 0};
  bool m_dragging = false;
  int m_dragTarget = -1;
  std::unique_ptr<Gdiplus::Image> m_tileBack, m_tileHover, m_pictureHover, m_close, m_wait;
  std::unique_ptr<Gdiplus::Font> m_font;
  VxGifImage m_loading;
  bool m_loadingRuns = false;
  CNavMessageWindow m_messages;
};
