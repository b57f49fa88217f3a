#include "nav/MyDaohang.h"

#include <cstdlib>

#include "nav/DialogWebTemp.h"
#include "nav/DlgAddDaohang.h"
#include "nav/NavFiles.h"
#include "nav/NavStrips.h"
#include "nav/core/nav_layout.h"
#include "nav/core/nav_text.h"
#include "uilib/VxPaint.h"

namespace {
constexpr UINT kLoadingTimer = 1;

Gdiplus::Image* LoadSkin(const wchar_t* relative) {
  Gdiplus::Image* image = VxLoadImageFile(NavSkinPath(relative).c_str());
  if (image && !VxImageUsable(image)) {
    delete image;
    return nullptr;
  }
  return image;
}

void DrawPicture(Gdiplus::Graphics& g, Gdiplus::Image* image, const VxRc& r) {
  if (!image || !VxImageUsable(image)) return;
  VxDrawImageRect(g, image, Gdiplus::Rect(r.left, r.top, r.Width(), r.Height()), 0, 0,
                  VxImageWidth(image), VxImageHeight(image), nullptr);
}

Gdiplus::Image* LoadPicture(const std::wstring& path) {
  if (path.empty()) return nullptr;
  Gdiplus::Image* image = VxLoadImageFile(path.c_str());
  if (image && !VxImageUsable(image)) {
    delete image;
    image = nullptr;
  }
  return image ? image : VxLoadImageFile(NavDefaultPicture().c_str());
}
}  // namespace

CMyDaohang::CMyDaohang(CVxDialogBase& host, CDeskOwner* owner, CNavStrips* strips)
    : CBaseDesk(kPageId, owner), m_host(host), m_strips(strips),
      m_messages([this](UINT msg, WPARAM wParam, LPARAM lParam) { OnMessage(msg, wParam, lParam); }) {
  const std::vector<uint8_t> bytes = NavReadFile(NavDataPath(kMyDefPath));
  m_slots = DecodeMyDef(bytes.data(), bytes.size());
  for (size_t i = 0; i < m_slots.size(); ++i)
    if (m_slots[i].state == kSlotFilled) m_tiles[i].picture.reset(LoadPicture(NavW(m_slots[i].image)));
  m_tileBack.reset(LoadSkin(L"我的导航\\bg.png"));
  m_tileHover.reset(LoadSkin(L"我的导航\\bg-hover.png"));
  m_pictureHover.reset(LoadSkin(L"我的导航\\hover.png"));
  m_close.reset(LoadSkin(L"我的导航\\close.png"));
  m_wait.reset(LoadSkin(L"我的导航\\wait\\bg.png"));
  m_loading.SetImage(NavSkinPath(L"我的导航\\wait\\loading.gif").c_str());
  m_font = std::make_unique<Gdiplus::Font>(L"微软雅黑", 12.0f, Gdiplus::FontStyleRegular,
                                           Gdiplus::UnitPixel);
}

CMyDaohang::~CMyDaohang() {
  if (m_loadingRuns) ::KillTimer(m_messages.Hwnd(), kLoadingTimer);
  ClosePopup();
  for (Tile& tile : m_tiles)
    if (tile.capture && tile.capture->GetSafeHwnd()) tile.capture->DestroyWindow();
  Save();
}

void CMyDaohang::Save() { NavWriteFile(NavDataPath(kMyDefPath), EncodeMyDef(m_slots)); }

int CMyDaohang::ClientWidth() const {
  RECT rc{0, 0, 0, 0};
  ::GetClientRect(m_host.GetSafeHwnd(), &rc);
  return rc.right;
}

int CMyDaohang::WorkHeight() const { return m_pageRect.bottom - m_pageRect.top; }

void CMyDaohang::PlacePage(int x, int, int, int) {
  if (m_strips) m_strips->OnNavPagePlaced(this, x);
}

BOOL CMyDaohang::IsCapturing() const {
  for (const Tile& tile : m_tiles)
    if (tile.capturePending) return TRUE;
  return FALSE;
}

BOOL CMyDaohang::OnPageMouse(UINT message, WPARAM wParam, POINT pt) {
  const int position = MyDaohangPositionAt(pt.x, pt.y, ClientWidth(), WorkHeight());
  switch (message) {
    case WM_MOUSEMOVE: {
      if (m_pressed >= 0 && (wParam & MK_LBUTTON)) {
        DragTo(pt);
        if (m_dragging) return TRUE;
      }
      BOOL overDelete = FALSE;
      if (position >= 0) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        const VxRc del = MyDaohangDeleteRect(MyDaohangTileRect(position, ClientWidth(), WorkHeight()));
        overDelete = del.Contains(pt.x, pt.y);
      }
      if (position != m_hover || overDelete != m_hoverDelete) {
        m_hover = position;
        m_hoverDelete = overDelete;
        RequestRepaint();
      }
      return position >= 0;
    }
    case WM_MOUSELEAVE:
      if (m_hover >= 0) {
        m_hover = -1;
        RequestRepaint();
      }
      return FALSE;
    case WM_LBUTTONDOWN:
      // Nothing is taken while a site is being captured: its tile is not settled yet.
      m_pressed = IsCapturing() ? -1 : position;
      m_pressPoint = pt;
      m_dragging = false;
      return position >= 0;
    case WM_LBUTTONUP: {
      const int pressed = m_pressed;
      if (m_dragging) {
        EndDrag(pt);
        return TRUE;
      }
      m_pressed = -1;
      if (position < 0 || position != pressed) return FALSE;
      ClickTile(position, pt);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void CMyDaohang::DragTo(POINT pt) {
  if (!m_dragging) {
    // Only a site is dragged (an empty tile is a button), and only after the mouse left
    // the system's drag threshold: a shaky click stays a click.
    const MyDefSlot* slot = SlotAtPosition(&m_slots, m_pressed);
    if (!slot || slot->state != kSlotFilled) return;
    if (std::abs(pt.x - m_pressPoint.x) <= ::GetSystemMetrics(SM_CXDRAG) &&
        std::abs(pt.y - m_pressPoint.y) <= ::GetSystemMetrics(SM_CYDRAG))
      return;
    m_dragging = true;
    m_dragTarget = m_pressed;
    m_hover = -1;
    ::SetCapture(m_host.GetSafeHwnd());
  }
  m_dragPoint = pt;
  ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
  // Between tiles the last place holds: the others do not jump back and forth.
  const int over = MyDaohangPositionAt(pt.x, pt.y, ClientWidth(), WorkHeight());
  if (over >= 0) m_dragTarget = over;
  RequestRepaint();
}

void CMyDaohang::EndDrag(POINT pt) {
  m_dragPoint = pt;
  const int from = m_pressed, to = m_dragTarget;
  m_dragging = false;
  m_pressed = -1;
  m_dragTarget = -1;
  if (::GetCapture() == m_host.GetSafeHwnd()) ::ReleaseCapture();
  MoveTile(from, to);
  RequestRepaint();
}

BOOL CMyDaohang::MoveTile(int from, int to) {
  if (!MoveSlotPosition(&m_slots, from, to)) return FALSE;
  Save();
  RequestRepaint();
  return TRUE;
}

void CMyDaohang::ClickTile(int position, POINT pt) {
  MyDefSlot* slot = SlotAtPosition(&m_slots, position);
  if (!slot) return;
  if (slot->state != kSlotFilled) {
    OpenAddDialog(position);
    return;
  }
  const VxRc tile = MyDaohangTileRect(position, ClientWidth(), WorkHeight());
  if (MyDaohangDeleteRect(tile).Contains(pt.x, pt.y)) {
    DeleteAt(position);
    return;
  }
  NavOpenUrl(NavW(slot->url));
}

void CMyDaohang::OpenAddDialog(int position) {
  if (m_add && m_add->GetSafeHwnd()) return;
  m_add = std::make_unique<CDlgAddDaohang>(position, m_messages.Hwnd(), m_slots);
  if (!m_add->Create(m_host.GetSafeHwnd())) {
    m_add.reset();
    return;
  }
  m_add->CenterOnScreen();
  ::ShowWindow(m_add->GetSafeHwnd(), SW_SHOW);
}

void CMyDaohang::ClosePopup() {
  if (m_add && m_add->GetSafeHwnd()) m_add->DestroyWindow();
  m_add.reset();
}

CDlgAddDaohang* CMyDaohang::AddDialog() const {
  return m_add && m_add->GetSafeHwnd() ? m_add.get() : nullptr;
}

void CMyDaohang::DeleteAt(int position) {
  MyDefSlot* slot = SlotAtPosition(&m_slots, position);
  if (!slot) return;
  // The texts stay in the record; only the state says the tile is free.
  slot->state = kSlotEmpty;
  m_tiles[slot - m_slots.data()].picture.reset();
  Save();
  RequestRepaint();
}

void CMyDaohang::PutSite(const NavPutSite& site) {
  MyDefSlot* slot = SlotAtPosition(&m_slots, site.slot);
  if (!slot) return;
  Tile& tile = m_tiles[slot - m_slots.data()];
  tile.capturePending = false;
  if (site.image.empty()) {
    if (tile.capture && tile.capture->GetSafeHwnd()) tile.capture->DestroyWindow();
    tile.capture = std::make_unique<CDialogWebTemp>(site.slot, site.name, site.url, m_messages.Hwnd());
    if (tile.capture->Create(m_host.GetSafeHwnd())) {
      tile.capturePending = true;
      slot->name = NavFieldText(NavU16(site.name));
      slot->url = NavFieldText(NavU16(site.url));
      slot->image = NavFieldText(NavU16(NavDefaultPicture()));
      slot->state = kSlotFilled;
      tile.picture.reset();
      Save();
      UpdateLoadingAnimation();
      RequestRepaint();
      return;
    }
    tile.capture.reset();
  }
  slot->name = NavFieldText(NavU16(site.name));
  slot->url = NavFieldText(NavU16(site.url));
  slot->image = NavFieldText(NavU16(site.image.empty() ? NavDefaultPicture() : site.image));
  slot->state = kSlotFilled;
  tile.picture.reset(LoadPicture(NavW(slot->image)));
  Save();
  RequestRepaint();
}

void CMyDaohang::OnCaptureDone(int position) {
  MyDefSlot* slot = SlotAtPosition(&m_slots, position);
  if (!slot) return;
  Tile& tile = m_tiles[slot - m_slots.data()];
  if (!tile.capture) return;
  std::unique_ptr<CDialogWebTemp> capture = std::move(tile.capture);
  if (capture->GetSafeHwnd()) capture->DestroyWindow();
  NavPutSite site{position, capture->Name(), capture->Url(), capture->ResultImage()};
  if (site.image.empty()) site.image = NavDefaultPicture();
  PutSite(site);
}

// The waiting tiles' spinner turns while any site is captured, and its timer stops with
// the last capture.
void CMyDaohang::UpdateLoadingAnimation() {
  const bool wanted = IsCapturing() && m_loading.GetFrameCount() > 1;
  if (wanted == m_loadingRuns) return;
  m_loadingRuns = wanted;
  if (wanted)
    m_loading.StartRun(kLoadingTimer, m_messages.Hwnd());
  else
    ::KillTimer(m_messages.Hwnd(), kLoadingTimer);
}

void CMyDaohang::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) {
    if (wParam != kLoadingTimer) return;
    if (!IsCapturing()) {
      UpdateLoadingAnimation();
      return;
    }
    m_loading.NextFrame(m_messages.Hwnd());
    RequestRepaint();
    return;
  }
  if (msg == WM_NAV_PUT_SITE) {
    std::unique_ptr<NavPutSite> site(reinterpret_cast<NavPutSite*>(lParam));
    if (site) PutSite(*site);
    ClosePopup();
  } else if (msg == WM_NAV_CAPTURE_DONE) {
    OnCaptureDone(static_cast<int>(wParam));
  }
  UpdateLoadingAnimation();
}

void CMyDaohang::DrawFrame(Gdiplus::Graphics& g, const VxPixels&, int width, int height) {
  Draw(g, width, height);
}

void CMyDaohang::Draw(Gdiplus::Graphics& g, int, int) {
  g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
  if (!m_dragging) {
    for (int p = 0; p < static_cast<int>(kMyDefSlotCount); ++p) DrawTile(g, p);
    return;
  }
  // While a tile is dragged the others stand where the drop would put them, and the
  // dragged one is drawn last, under the mouse.
  MyDefSlots preview = m_slots;
  MoveSlotPosition(&preview, m_pressed, m_dragTarget);
  const MyDefSlot* dragged = SlotAtPosition(&preview, m_dragTarget);
  for (int p = 0; p < static_cast<int>(kMyDefSlotCount); ++p) {
    const MyDefSlot* slot = SlotAtPosition(&preview, p);
    if (slot == dragged) continue;
    // The preview is a copy: its slots map back to the tiles by their index.
    DrawTileAt(g, slot ? &m_slots[slot - preview.data()] : nullptr,
               MyDaohangTileRect(p, ClientWidth(), WorkHeight()), false);
  }
  if (!dragged) return;
  VxRc tile = MyDaohangTileRect(m_pressed, ClientWidth(), WorkHeight());
  const int dx = m_dragPoint.x - m_pressPoint.x, dy = m_dragPoint.y - m_pressPoint.y;
  tile = VxRc{tile.left + dx, tile.top + dy, tile.right + dx, tile.bottom + dy};
  DrawTileAt(g, &m_slots[dragged - preview.data()], tile, true);
}

void CMyDaohang::DrawTile(Gdiplus::Graphics& g, int position) {
  DrawTileAt(g, SlotAtPosition(&m_slots, position), MyDaohangTileRect(position, ClientWidth(), WorkHeight()),
             position == m_hover);
}

void CMyDaohang::DrawTileAt(Gdiplus::Graphics& g, const MyDefSlot* slot, const VxRc& tile, bool hover) {
  DrawPicture(g, hover && m_tileHover ? m_tileHover.get() : m_tileBack.get(), tile);
  const VxRc picture{tile.left + 10, tile.top + 10, tile.left + 240, tile.top + 162};
  const Tile* t = slot ? &m_tiles[slot - m_slots.data()] : nullptr;
  Gdiplus::SolidBrush white(Gdiplus::Color(235, 255, 255, 255));
  Gdiplus::StringFormat centre;
  centre.SetAlignment(Gdiplus::StringAlignmentCenter);
  centre.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  centre.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  centre.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  if (!slot || slot->state != kSlotFilled) {
    // An empty tile invites a site: a plus and its words.
    Gdiplus::Pen pen(Gdiplus::Color(hover ? 230 : 160, 255, 255, 255), 3.0f);
    const int cx = (picture.left + picture.right) / 2, cy = picture.top + 60;
    g.DrawLine(&pen, cx - 18, cy, cx + 18, cy);
    g.DrawLine(&pen, cx, cy - 18, cx, cy + 18);
    g.DrawString(L"添加网站", -1, m_font.get(),
                 Gdiplus::RectF(float(picture.left), float(cy + 26), 230.0f, 24.0f), &centre, &white);
    return;
  }
  if (t && t->capturePending) {
    DrawPicture(g, m_wait.get(), picture);
    Gdiplus::Image* spinner = m_loading.GetImage();
    if (VxImageUsable(spinner)) {
      const int w = VxImageWidth(spinner), h = VxImageHeight(spinner);
      const int x = picture.left + (picture.Width() - w) / 2, y = picture.top + 44;
      DrawPicture(g, spinner, VxRc{x, y, x + w, y + h});
    }
  }
  else if (t)
    DrawPicture(g, t->picture.get(), picture);
  if (hover) DrawPicture(g, m_pictureHover.get(), picture);
  const VxRc title = MyDaohangTitleRect(tile);
  // The name lies on the picture's foot: a dark band keeps it readable on light pictures.
  Gdiplus::SolidBrush band(Gdiplus::Color(150, 0, 0, 0));
  g.FillRectangle(&band, picture.left, title.top, picture.Width(), title.Height());
  const std::wstring name = NavW(slot->name);
  g.DrawString(name.c_str(), -1, m_font.get(),
               Gdiplus::RectF(float(title.left), float(title.top), float(title.Width()),
                              float(title.Height())),
               &centre, &white);
  if (hover && !m_dragging) DrawPicture(g, m_close.get(), MyDaohangDeleteRect(tile));
}
