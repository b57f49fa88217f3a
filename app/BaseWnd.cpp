#include "app/BaseWnd.h"

#include <shlobj.h>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "app/DeskDropTarget.h"
#include "app/dialogs/DialogDragView.h"
#include "app/dialogs/DialogRename.h"
#include "desk/MyDesk.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"
#include "uilib/VxShellFunctions.h"
#include "uilib/VxTypes.h"
#include "app/resource.h"
#include "uilib/core/vx_item_math.h"

namespace {

enum HostTimer : UINT_PTR {
  kTickTimer = 1000,       // slide steps and batched redraw (runs only while there is work)
  kWallpaperTimer = 1004,  // wallpaper watch
  kSaveTimer = 1006,       // deferred save of the desk
  kDeskTimer = 1008,       // the desk's periodic work
};
// Pages draw in this order, each where it lies: my sites, recommended sites, the desk, the
// web pages.
constexpr int kDrawOrder[] = {2, 3, 1, 4, 5, 6, 7, 8};
// Pages go in this order when the window closes; the desk saves itself last.
constexpr int kDestroyOrder[] = {2, 3, 4, 5, 6, 7, 8, 1};

const wchar_t kHideIconsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel";
const wchar_t kAdvancedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

std::wstring CurrentWallpaper() { return VxShellFunctions::GetWallpaper(); }

// "%d %d %d, %d:%d:%d" of the file's last write, local time; empty when it cannot be read.
std::wstring WriteTimeText(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return L"";
  FILETIME local;
  SYSTEMTIME st;
  ::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
  ::FileTimeToSystemTime(&local, &st);
  wchar_t text[64];
  swprintf(text, 64, L"%d %d %d, %d:%d:%d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
           st.wSecond);
  return text;
}

void SetCheck(HMENU menu, UINT id, bool on) {
  ::CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}
void SetEnabled(HMENU menu, UINT id, bool on) {
  ::EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

CBaseWnd::CBaseWnd() : CVxDialogBase(IDD_HOST) {}

CBaseWnd::~CBaseWnd() { StopSettingsWatcher(); }

BOOL CBaseWnd::ReadHideDesktopIconValue(const wchar_t* name, DWORD* value) {
  DWORD data = 0, size = sizeof(data);
  if (::RegGetValueW(HKEY_CURRENT_USER, kHideIconsKey, name, RRF_RT_REG_DWORD, nullptr, &data,
                     &size) != ERROR_SUCCESS)
    return FALSE;
  *value = data;
  return TRUE;
}

BOOL CBaseWnd::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  SetNoMove(TRUE);
  m_cx = ::GetSystemMetrics(SM_CXSCREEN);
  m_cy = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_cx, m_cy, SWP_NOZORDER | SWP_NOACTIVATE);
  BuildBackground();
  m_redrawNeeded = TRUE;
  EnsureTickTimer();
  // The 1-ms timers of the other pages have nothing to do until those pages exist; the
  // tick timer runs only while a slide or a redraw is pending, so an idle desk costs nothing.
  ::SetTimer(m_hWnd, kWallpaperTimer, 2000, nullptr);
  ::SetTimer(m_hWnd, kSaveTimer, 3000, nullptr);
  ::SetTimer(m_hWnd, kDeskTimer, 100, nullptr);
  m_nextViewer = ::SetClipboardViewer(m_hWnd);
  m_inViewerChain = TRUE;
  StartSettingsWatcher();
  // Files dragged over the window go to the page that shows.
  m_dropTarget = VxComPtr<CDeskDropTarget>(new (std::nothrow) CDeskDropTarget(this));
  if (m_dropTarget && FAILED(::RegisterDragDrop(m_hWnd, m_dropTarget.Get()))) m_dropTarget.Reset();
  return TRUE;
}

IDropTarget* CBaseWnd::DropTarget() const { return m_dropTarget.Get(); }

void CBaseWnd::OnDestroy() {
  StopSettingsWatcher();
  if (m_dropTarget) {
    ::RevokeDragDrop(m_hWnd);
    m_dropTarget->Detach();
    m_dropTarget.Reset();
  }
  if (m_dragView) {
    if (m_dragView->GetSafeHwnd()) m_dragView->DestroyWindow();
    m_dragView.reset();
  }
  if (m_rename) {
    m_rename->SetEndHandler(nullptr);
    if (m_rename->GetSafeHwnd()) m_rename->DestroyWindow();
    m_rename.reset();
  }
  if (m_inViewerChain) {
    ::ChangeClipboardChain(m_hWnd, m_nextViewer);
    m_inViewerChain = FALSE;
  }
  DestroyPages();
  if (m_frameOld) ::SelectObject(m_frameDC.Get(), m_frameOld);
  if (m_backOld) ::SelectObject(m_backDC.Get(), m_backOld);
  m_frameOld = m_backOld = nullptr;
  m_frameDC.Reset();
  m_backDC.Reset();
  m_frameBmp.Reset();
  m_backBmp.Reset();
  m_frameBits = m_backBits = nullptr;
  CVxDialogBase::OnDestroy();
}

// ---- repaint ----
void CBaseWnd::EnsureTickTimer() {
  if (!m_hWnd || m_tickRunning) return;
  m_tickRunning = ::SetTimer(m_hWnd, kTickTimer, 1, nullptr) != 0;
}

void CBaseWnd::RequestRepaint() {
  m_redrawNeeded = TRUE;
  EnsureTickTimer();
}

void CBaseWnd::CallBackInvalidate() { RequestRepaint(); }

void CBaseWnd::RepaintNow() {
  if (!m_hWnd) return;
  m_redrawNeeded = FALSE;
  Compose();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  ::UpdateWindow(m_hWnd);
}

// ---- the drag view ----
void CBaseWnd::UpdateDragView(DWORD effect, const std::wstring& target, BOOL openWith, POINT screenPoint) {
  if (!m_dragView) {
    auto view = std::make_unique<CDialogDragView>(m_hWnd);
    if (!view->Create(m_hWnd)) return;
    m_dragView = std::move(view);
  }
  m_dragView->UpdateDragView(effect, target, openWith, screenPoint);
}

void CBaseWnd::HideDragView() {
  if (m_dragView) m_dragView->HideView();
}

void CBaseWnd::Tick() {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  bool moving = false;
  for (const auto& page : m_pages) {
    if (!page || !page->IsMoving()) continue;
    if (page->StepSlide(kSlideStep, m_cx, client.bottom)) moving = true;
    m_redrawNeeded = TRUE;
  }
  if (m_redrawNeeded) {
    m_redrawNeeded = FALSE;
    Compose();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (m_desk) m_saveNeeded = TRUE;
  }
  if (!moving && !m_redrawNeeded && m_tickRunning) {
    ::KillTimer(m_hWnd, kTickTimer);
    m_tickRunning = FALSE;
  }
}

void CBaseWnd::MakeSurfaces(int w, int h) {
  VxWindowDC screen(m_hWnd);
  if (m_frameOld) ::SelectObject(m_frameDC.Get(), m_frameOld);
  if (m_backOld) ::SelectObject(m_backDC.Get(), m_backOld);
  m_frameDC.Reset(::CreateCompatibleDC(screen.Get()));
  m_backDC.Reset(::CreateCompatibleDC(screen.Get()));
  // 32-bit top-down DIBs: GDI+ draws into the frame through a bitmap on the same bits,
  // which is many times faster than drawing through a device context.
  void* frameBits = nullptr;
  void* backBits = nullptr;
  m_frameBmp.Reset(VxCreateTopDownDib(screen.Get(), w, h, &frameBits));
  m_backBmp.Reset(VxCreateTopDownDib(screen.Get(), w, h, &backBits));
  m_frameBits = frameBits;
  m_backBits = frameBits ? backBits : nullptr;
  m_frameW = frameBits ? w : 0;
  m_frameH = frameBits ? h : 0;
  m_frameOld = ::SelectObject(m_frameDC.Get(), m_frameBmp.Get());
  m_backOld = ::SelectObject(m_backDC.Get(), m_backBmp.Get());
}

void CBaseWnd::BuildBackground() {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int w = std::max<LONG>(1, client.right), h = std::max<LONG>(1, client.bottom);
  // The surfaces are made again only for a new size: every page switch rebuilds the
  // background, and fresh full-screen bitmaps cost their page faults again.
  if (!m_frameBits || !m_backBmp || w != m_frameW || h != m_frameH) MakeSurfaces(w, h);

  ++m_backgroundBuilds;
  const std::wstring path = CurrentWallpaper();
  m_backColor = ::GetSysColor(COLOR_BACKGROUND);
  // A missing file is remembered too: the watch compares with what was seen, and a path
  // that cannot be drawn must not read as a change on every look.
  StoreWallpaper(path);
  std::unique_ptr<Gdiplus::Image> image;
  if (!path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
    image.reset(VxLoadImageFile(path.c_str()));
  if (image && VxImageUsable(image.get())) {
    // A picture with transparent parts lies on black, as on a fresh bitmap.
    ::PatBlt(m_backDC.Get(), 0, 0, w, h, BLACKNESS);
    Gdiplus::Graphics g(m_backDC.Get());
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    Gdiplus::ImageAttributes attr;
    attr.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    const VxXYWH src = VxCoverCropSource(VxImageWidth(image.get()), VxImageHeight(image.get()), w, h);
    g.DrawImage(image.get(), Gdiplus::Rect(0, 0, w, h), src.x, src.y, src.w, src.h,
                Gdiplus::UnitPixel, &attr);
  } else {
    VxBrush fill(::CreateSolidBrush(m_backColor));
    RECT all{0, 0, w, h};
    ::FillRect(m_backDC.Get(), &all, fill.Get());
  }
}

void CBaseWnd::Compose() {
  if (!m_frameDC || !m_backDC) return;
  CBaseDesk* drawn[kHostPageTypes];
  int count = 0;
  for (int type : kDrawOrder) {
    CBaseDesk* page = m_pages[type].get();
    if (page && !page->IsDone()) drawn[count++] = page;
  }
  // The first page lays the background itself (the desk keeps its composition over it and
  // writes only what changed into a copy); with no page the frame is the background.
  const bool pageLaysBackground = count > 0 && m_frameBits && m_backBits;
  if (!pageLaysBackground) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::BitBlt(m_frameDC.Get(), 0, 0, client.right, client.bottom, m_backDC.Get(), 0, 0, SRCCOPY);
  }
  if (count > 0 && m_frameBits) {
    ::GdiFlush();
    // Pages write the frame's memory directly: it is addressed by the size the bitmap was
    // made with, whatever the client size has become since.
    Gdiplus::Bitmap frame(m_frameW, m_frameH, m_frameW * 4, PixelFormat32bppRGB,
                          static_cast<BYTE*>(m_frameBits));
    Gdiplus::Graphics g(&frame);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    VxPixels pixels;
    pixels.bits = static_cast<uint8_t*>(m_frameBits);
    pixels.width = m_frameW;
    pixels.height = m_frameH;
    pixels.stride = static_cast<std::ptrdiff_t>(m_frameW) * 4;
    PageBackdrop backdrop;
    backdrop.pixels = pixels;
    backdrop.pixels.bits = static_cast<uint8_t*>(m_backBits);
    backdrop.serial = static_cast<uint64_t>(m_backgroundBuilds);
    for (int i = 0; i < count; ++i)
      drawn[i]->DrawAt(g, m_frameW, m_frameH, &pixels, i == 0 && pageLaysBackground ? &backdrop : nullptr);
  }
  m_drawnSincePaint = TRUE;
}

void CBaseWnd::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  if (!m_drawnSincePaint) RequestRepaint();
  if (m_frameDC) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (m_pageId != kDeskPageId) OnVxPaint(m_frameDC.Get(), client.right, client.bottom);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, m_frameDC.Get(), 0, 0, SRCCOPY);
  }
  m_drawnSincePaint = FALSE;
  ::EndPaint(m_hWnd, &ps);
}

void CBaseWnd::StoreWallpaper(const std::wstring& path) {
  m_wallpaperPath = path;
  m_wallpaperTime = path.empty() ? std::wstring() : WriteTimeText(path);
}

BOOL CBaseWnd::CheckWallpaper() {
  const std::wstring path = CurrentWallpaper();
  bool changed = false;
  if (!path.empty()) {
    changed = path != m_wallpaperPath || WriteTimeText(path) != m_wallpaperTime;
  } else {
    changed = ::GetSysColor(COLOR_BACKGROUND) != m_backColor || !m_wallpaperPath.empty();
    if (changed) m_wallpaperPath.clear();
  }
  if (!changed) return FALSE;
  BuildBackground();
  RequestRepaint();
  return TRUE;
}

void CBaseWnd::SaveIfNeeded() {
  if (m_desk && m_saveNeeded) {
    m_desk->SaveDesk();
    m_saveNeeded = FALSE;
  }
}

void CBaseWnd::OnTimer(UINT_PTR id) {
  switch (id) {
    case kTickTimer: Tick(); break;
    case kWallpaperTimer: CheckWallpaper(); break;
    case kSaveTimer: SaveIfNeeded(); break;
    default: break;
  }
  if (CBaseDesk* page = ShowingPage()) page->OnPageTimer(id);
  CVxDialogBase::OnTimer(id);
}

// The background window passes its own activation changes on to the host.
void CBaseWnd::OnActivate(UINT nState, HWND hOther, BOOL bMinimized) {
  CVxDialogBase::OnActivate(nState, hOther, bMinimized);
  if (nState != WA_INACTIVE) return;
  if (CBaseDesk* page = ShowingPage()) page->OnPageDeactivate();
}

// ---- pages ----
void CBaseWnd::SetPageFactory(int type, PageFactory make) {
  if (type > kDeskPage && type < kHostPageTypes) m_factories[type] = std::move(make);
}

CBaseDesk* CBaseWnd::Page(int type) const {
  return type >= 0 && type < kHostPageTypes ? m_pages[type].get() : nullptr;
}

CBaseDesk* CBaseWnd::PageById(int pageId) const {
  if (pageId == kNoPageId) return nullptr;
  for (int type = 0; type < kHostPageTypes; ++type)
    if (HostPageIdOfType(type) == pageId) return m_pages[type].get();
  return nullptr;
}

CBaseDesk* CBaseWnd::ShowingPage() const { return PageById(m_pageId); }

CBaseDesk* CBaseWnd::InputPage() const {
  CBaseDesk* page = ShowingPage();
  return page && page->AcceptsInput() ? page : nullptr;
}

RECT CBaseWnd::WorkAreaPageRect() {
  // Windows before Vista report the work area in screen terms with the origin wherever the
  // taskbar leaves it; the page then starts at 0,0.
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (IsPreVistaWindows()) return RECT{0, 0, work.right - work.left, work.bottom - work.top};
  return work;
}

CBaseDesk* CBaseWnd::EnsurePage(int type) {
  const HostPageInfo* info = HostPageOfType(type);
  if (!info || type == kPlain) return nullptr;
  if (m_pages[type]) return m_pages[type].get();
  if (type == kDeskPage) {
    auto desk = std::make_unique<CMyDesk>(this);
    desk->StartDesk();
    m_desk = desk.get();
    m_pages[type] = std::move(desk);
  } else if (m_factories[type]) {
    m_pages[type] = m_factories[type](*this, *info);
    if (m_pages[type]) m_pages[type]->OnWorkAreaChanged(WorkAreaPageRect());
  }
  return m_pages[type].get();
}

void CBaseWnd::DestroyPages() {
  EndDragOverPage();
  for (int type : kDestroyOrder) {
    if (type == kDeskPage && m_desk) {
      m_desk->SaveDesk();
      m_desk = nullptr;
    }
    m_pages[type].reset();
  }
}

void CBaseWnd::SlideTo(int pageId, bool animated) {
  CBaseDesk* incoming = PageById(pageId);
  CBaseDesk* outgoing = PageById(m_pageId);
  if (outgoing == incoming) outgoing = nullptr;
  if (animated) {
    const HostSlide slide = HostSlideBetween(m_pageId, pageId, m_cx);
    if (incoming) incoming->BeginSlide(slide.incomingFrom, 0, TRUE);
    if (outgoing) outgoing->BeginSlide(outgoing->SlideOffset(), slide.outgoingGoal, FALSE);
  } else {
    if (incoming) incoming->PlaceAt(0, TRUE);
    if (outgoing) outgoing->PlaceAt(m_cx, FALSE);
  }
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (incoming) incoming->PlacePage(incoming->SlideOffset(), 0, m_cx, client.bottom);
  if (outgoing) outgoing->PlacePage(outgoing->SlideOffset(), 0, m_cx, client.bottom);
  m_pageId = pageId;
  RequestRepaint();
}

void CBaseWnd::ShowPage(int type) {
  if (!m_hWnd) return;
  AppGlobals& g = TheApp();
  if (type == g.currentView || !HostPageOfType(type)) return;
  // A type whose page cannot be made (no factory yet) leaves everything as it is.
  if (type != kPlain && !EnsurePage(type)) return;
  EndDragOverPage();
  g.previousView = g.currentView;
  g.currentView = type;
  // The desk comes in at once from the plain desktop; every other change slides.
  SlideTo(HostPageIdOfType(type), !(type == kDeskPage && g.previousView == kPlain));
  if (m_onPageSwitch) m_onPageSwitch(type, g.previousView);
  BuildBackground();
  Compose();
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  ::UpdateWindow(m_hWnd);
}

void CBaseWnd::RelayoutAll() {
  m_cx = ::GetSystemMetrics(SM_CXSCREEN);
  m_cy = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, m_cx, m_cy, SWP_NOZORDER | SWP_NOACTIVATE);
  BuildBackground();
  const RECT pageRect = WorkAreaPageRect();
  for (const auto& page : m_pages)
    if (page) page->OnWorkAreaChanged(pageRect);
  RequestRepaint();
}

// ---- drag and drop: the page that shows takes it ----
void CBaseWnd::EndDragOverPage() {
  if (m_dropPage) m_dropPage->OnPageDragLeave();
  m_dropPage = nullptr;
}

DWORD CBaseWnd::DragEnter(IDataObject* data, DWORD keys, POINT client, DWORD allowed) {
  EndDragOverPage();
  m_dragData.Reset();
  if (data) {
    data->AddRef();
    *m_dragData.Put() = data;
  }
  return DragOver(keys, client, allowed);
}

DWORD CBaseWnd::DragOver(DWORD keys, POINT client, DWORD allowed) {
  CBaseDesk* page = InputPage();
  DWORD effect = allowed;
  if (page != m_dropPage) {
    // The page changed under the drag (a switch, or input refused): it moves on with it.
    EndDragOverPage();
    if (!page) return DROPEFFECT_NONE;
    m_dropPage = page;
    page->OnPageDragEnter(m_dragData.Get(), keys, client, &effect);
    return effect;
  }
  if (!page) return DROPEFFECT_NONE;
  page->OnPageDragOver(keys, client, &effect);
  return effect;
}

void CBaseWnd::DragLeave() {
  EndDragOverPage();
  m_dragData.Reset();
}

DWORD CBaseWnd::Drop(IDataObject* data, DWORD keys, POINT client, DWORD allowed) {
  CBaseDesk* page = InputPage();
  DWORD effect = DROPEFFECT_NONE;
  if (page && page == m_dropPage) {
    effect = allowed;
    page->OnPageDrop(data, keys, client, &effect);
  } else {
    EndDragOverPage();
  }
  m_dropPage = nullptr;
  m_dragData.Reset();
  return effect;
}

// ---- input, commands, messages ----
void CBaseWnd::RouteMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
  CBaseDesk* page = InputPage();
  if (!page) return;
  // The arrow unless the page asks for another shape (the desk's move and resize cursors).
  if (msg == WM_MOUSEMOVE) ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  page->OnPageMouse(msg, wParam, pt);
}

// The dialog manager hands the focus to one of the window's hidden statics when the window
// itself is focused: keys sent there are the page's too. Edits keep their keys.
BOOL CBaseWnd::IsPageKeyTarget(HWND target) const {
  if (target == m_hWnd) return TRUE;
  if (!target || !::IsChild(m_hWnd, target)) return FALSE;
  wchar_t cls[16] = {};
  ::GetClassNameW(target, cls, 16);
  return _wcsicmp(cls, L"Static") == 0;
}

BOOL CBaseWnd::PreTranslateMessage(MSG* pMsg) {
  if (IsPageKeyTarget(pMsg->hwnd) && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
    if (CBaseDesk* page = InputPage()) {
      if (page->OnPageKey(*pMsg)) return TRUE;
    }
  }
  return CVxDialogBase::PreTranslateMessage(pMsg);
}

BOOL CBaseWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT id = LOWORD(wParam);
  if (m_desk && id >= ID_NEW_ITEM_FIRST) {
    const DeskInteraction& at = TheApp().desk.interaction;  // where the menu was opened
    RunNewItem(*m_desk, id, &m_newItems, POINT{at.x, at.y});
    RequestRepaint();
    return TRUE;
  }
  if (m_desk && (id == ID_BOX_RENAME || id == ID_BOX_LIST_VIEW || id == ID_BOX_FIXED)) {
    if (GetZhiItem* box = m_desk->MenuBox()) {
      if (id == ID_BOX_RENAME) m_desk->StartRenameBox(box);
      if (id == ID_BOX_LIST_VIEW) m_desk->ToggleListDisplay(box);
      if (id == ID_BOX_FIXED) m_desk->ToggleFixedPos(box);
    }
    RequestRepaint();
    return TRUE;
  }
  // Everything the host does not handle itself goes to its parent, the background window.
  HWND parent = ::GetParent(m_hWnd);
  if (parent) {
    ::SendMessageW(parent, WM_COMMAND, wParam, lParam);
    return TRUE;
  }
  return CVxDialogBase::OnCommand(wParam, lParam);
}

void CBaseWnd::UpdateMenuItems(HMENU menu, const CMyDesk* desk, int boxIndex) {
  const AppGlobals& g = TheApp();
  const GetZhiItem* box = nullptr;
  if (desk && boxIndex >= 0 && boxIndex < static_cast<int>(desk->Boxes().size()))
    box = desk->Boxes()[boxIndex].get();
  const int count = ::GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = ::GetSubMenu(menu, i)) {
      UpdateMenuItems(sub, desk, boxIndex);
      continue;
    }
    const UINT id = ::GetMenuItemID(menu, i);
    switch (id) {
      case ID_AUTOHIDE: SetCheck(menu, id, g.autoHide != 0); break;
      case ID_VIEW_NORMAL: SetCheck(menu, id, g.desk.config.smallIcons == 0); break;
      case ID_VIEW_SMALL: SetCheck(menu, id, g.desk.config.smallIcons == 1); break;
      case ID_VIEW_AUTOARRANGE: SetCheck(menu, id, g.desk.config.autoArrange == 1); break;
      case ID_VIEW_DBLCLICK_HIDE: SetCheck(menu, id, g.desk.config.dblClickHide != 0); break;
      case ID_BOX_LIST_VIEW: SetCheck(menu, id, box && box->list.GetListType() == VXLT_LIST); break;
      case ID_BOX_FIXED: SetCheck(menu, id, box && box->fixedPos); break;
      case ID_PASTE: SetEnabled(menu, id, desk && !desk->ClipboardFiles().empty()); break;
      case ID_PASTE_SHORTCUT:
        SetEnabled(menu, id, desk && !desk->ClipboardFiles().empty() && desk->PasteIsCopy());
        break;
      default: break;
    }
  }
}

BOOL CBaseWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSELEAVE:
      RouteMouse(msg, wParam, lParam);
      break;
    case WM_MOUSEWHEEL:
      if (CBaseDesk* page = InputPage()) {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ScreenToClient(m_hWnd, &pt);
        if (page->OnPageMouse(msg, wParam, pt)) {
          *result = 0;
          return TRUE;
        }
      }
      break;
    case WM_SETCURSOR:
      // Over a page the cursor is the page's choice, made on each mouse move.
      if (InputPage() && LOWORD(lParam) == HTCLIENT) {
        *result = TRUE;
        return TRUE;
      }
      break;
    case WM_INITMENUPOPUP:
      UpdateMenuItems(reinterpret_cast<HMENU>(wParam), m_desk, TheApp().desk.interaction.box);
      *result = 0;
      return TRUE;
    case WM_DRAWCLIPBOARD:
      if (m_nextViewer) ::SendMessageW(m_nextViewer, msg, wParam, lParam);
      if (m_desk) m_desk->ReadClipboard();
      *result = 0;
      return TRUE;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wParam) == m_nextViewer)
        m_nextViewer = reinterpret_cast<HWND>(lParam);
      else if (m_nextViewer)
        ::SendMessageW(m_nextViewer, msg, wParam, lParam);
      *result = 0;
      return TRUE;
    case WM_HELP:
      *result = TRUE;
      return TRUE;
    case WM_HOST_SETTINGS_CHANGED:
      m_watcher.TakeResults();  // any number of changes, one refresh
      if (m_desk) m_desk->Refresh();
      RequestRepaint();
      *result = 0;
      return TRUE;
    case WM_DESK_SHELLCHANGE:
      if (m_desk) m_desk->OnShellChangeMessage(wParam, lParam);
      *result = 0;
      return TRUE;
    default:
      break;
  }
  return CVxDialogBase::OnMessage(msg, wParam, lParam, result);
}

// ---- Explorer-settings watcher ----
void CBaseWnd::StartSettingsWatcher() {
  m_watcher.Start(m_hWnd, WM_HOST_SETTINGS_CHANGED, &CBaseWnd::SettingsWatcherLoop);
}

void CBaseWnd::StopSettingsWatcher() { m_watcher.Stop(); }

void CBaseWnd::SettingsWatcherLoop(VxWorkerJob<VxNoResult>& job) {
  // Starts signalled: one refresh right after start-up.
  VxKernelHandle changed(::CreateEventW(nullptr, FALSE, TRUE, L"RegistryNotify"));
  if (!changed) return;
  for (;;) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kAdvancedKey, 0, KEY_NOTIFY, &raw) != ERROR_SUCCESS) return;
    VxRegKey key(raw);
    if (::RegNotifyChangeKeyValue(key.Get(), TRUE, REG_NOTIFY_CHANGE_LAST_SET, changed.Get(), TRUE) !=
        ERROR_SUCCESS)
      return;
    HANDLE waits[2] = {changed.Get(), job.StopEvent()};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return;
    // The desk belongs to the user-interface thread: the refresh is handed over to it.
    job.Post(VxNoResult{});
  }
}

// ---- menus and the rename editor ----
void CBaseWnd::ShowMenu(int menuId, POINT screenPoint, int boxIndex) {
  if (!m_hWnd) return;
  TheApp().desk.interaction.box = boxIndex;
  HMENU menu = ::LoadMenuW(CVxDialog::GetResourceModule(), MAKEINTRESOURCEW(menuId));
  if (!menu) return;
  HMENU popup = ::GetSubMenu(menu, 0);
  if (menuId == IDR_MENU_DESK || menuId == IDR_MENU_BOX_BODY) {
    HMENU newItems = nullptr;
    if (BuildNewItemMenu(&newItems, &m_newItems, menuId == IDR_MENU_DESK))
      ::InsertMenuW(popup, menuId == IDR_MENU_DESK ? 10 : 7, MF_BYPOSITION | MF_POPUP,
                    reinterpret_cast<UINT_PTR>(newItems), L"新建");
  }
  ::SetForegroundWindow(::GetAncestor(m_hWnd, GA_ROOT));
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, m_hWnd,
                   nullptr);
  ::DestroyMenu(menu);  // also destroys the inserted "新建" popup
}

void CBaseWnd::BeginRename(GetZhiItem* box, const RECT& rect) {
  if (!box || !m_hWnd || !EnsureRenameEditor()) return;
  CMyDesk* desk = m_desk;
  m_rename->SetItem(nullptr, nullptr);
  m_rename->SetBoxTitle(TRUE);
  m_rename->SetTitleFontHeight(-16);
  RECT screen = rect;
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&screen), 2);
  m_rename->SetEndHandler([this, desk, box, screen](CDialogRename& editor, BOOL accepted) {
    if (accepted && desk && desk == m_desk) desk->ApplyBoxRenameChecked(box, editor.GetEditText(), screen);
    RequestRepaint();
  });
  m_rename->BeginEdit(screen, box->name);
}

void CBaseWnd::BeginEntryRename(VxListItem* entry, VxListCtrl* list, const RECT& screenRect,
                                BOOL singleLine) {
  if (!entry || !list || !m_hWnd || !EnsureRenameEditor()) return;
  CMyDesk* desk = m_desk;
  const std::wstring before = entry->szName;
  m_rename->SetItem(entry, list);
  m_rename->SetBoxTitle(singleLine);
  m_rename->SetTitleFontHeight(-12);
  m_rename->SetEndHandler([this, desk, entry, list, before, screenRect](CDialogRename& editor, BOOL accepted) {
    if (desk && desk == m_desk)
      desk->ApplyEntryRename(entry, list, accepted ? editor.GetEditText() : before, before, screenRect);
    RequestRepaint();
  });
  m_rename->BeginEdit(screenRect, before);
}

BOOL CBaseWnd::EnsureRenameEditor() {
  if (m_rename) return TRUE;
  m_rename = std::make_unique<CDialogRename>(m_hWnd);
  if (m_rename->Create(m_hWnd)) return TRUE;
  m_rename.reset();
  return FALSE;
}

void CBaseWnd::EndRename() {
  if (m_rename && m_rename->IsEditing()) m_rename->EndEdit(TRUE);
}
