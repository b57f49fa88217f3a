#include "nav/DlgAddDaohang.h"

#include <algorithm>

#include "base/AppGlobals.h"
#include "nav/MyDaohang.h"
#include "nav/NavFiles.h"
#include "nav/NavMessageWindow.h"
#include "nav/core/nav_sites.h"
#include "nav/core/nav_text.h"
#include "uilib/VxPaint.h"
#include "nav/nav_rc.h"
#include "uilib/VxBaseFunctions.h"
#include "uilib/VxRaii.h"

namespace {
// The list: x 20, y 140 to the dialog's width - 30, y 500; cells of 155 x 115 whose click
// rectangle is 135 x 80 at 8, 10.
constexpr int kListLeft = 20, kListTop = 140, kListBottom = 500;
constexpr int kCellW = 160, kCellH = 118;
constexpr int kHeaderHeight = 56;
constexpr int kColumns = (CDlgAddDaohang::kWidth - 30 - kListLeft) / kCellW;

Gdiplus::Rect GdiRect(const RECT& r) {
  return Gdiplus::Rect(int(r.left), int(r.top), int(r.right - r.left), int(r.bottom - r.top));
}

// The refresh: the server's list replaces the cache only when it differs; then the
// pictures are fetched and lnk.dat written, all on the worker.
void RefreshSuggestions(VxWorkerJob<std::vector<SiteRecord>>& job, std::vector<SiteRecord> cached,
                        std::wstring homeUrl) {
  std::wstring answer;
  VxBaseFunctions web;
  if (web.WebGet(homeUrl + L"get.php?name=webadd", answer, VxBaseFunctions::kUtf8) != 1) return;
  const auto server = ParseWebAdd(NavU16(answer));
  if (!server || !SuggestionsChanged(cached, *server) || job.Stopping()) return;
  std::vector<SiteRecord> fresh = UsableSuggestions(*server);
  const std::wstring folder = NavDataPath(kAddFolder);
  for (SiteRecord& site : fresh) {
    if (job.Stopping()) return;
    const std::wstring local = NavFetchPicture(homeUrl, site.pic, folder);
    site.image = NavFieldText(NavU16(local.empty() ? NavDefaultPicture() : local));
  }
  NavWriteFile(NavDataPath(kLnkPath), EncodeSiteRecords(fresh));
  job.Post(std::move(fresh));
}
}  // namespace

CDlgAddDaohang::CDlgAddDaohang(int slot, HWND page, const MyDefSlots& slots)
    : CVxDialogBase(IDD_ADD_DAOHANG), m_slot(slot), m_page(page), m_name(IDD_SOU_INPUT),
      m_url(IDD_SOU_INPUT) {
  for (const MyDefSlot& s : slots)
    if (s.state == kSlotFilled) m_onPage.push_back(NavW(s.url));
  const std::vector<uint8_t> bytes = NavReadFile(NavDataPath(kLnkPath));
  SetItems(DecodeSiteRecords(bytes.data(), bytes.size()));
  m_font = std::make_unique<Gdiplus::Font>(L"微软雅黑", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
}

CDlgAddDaohang::~CDlgAddDaohang() { m_refresh.Stop(); }

void CDlgAddDaohang::SetItems(std::vector<SiteRecord> records) {
  m_items.clear();
  for (SiteRecord& r : records) {
    Item item;
    item.record = std::move(r);
    const std::wstring url = NavW(item.record.url);
    item.chosen = std::find(m_onPage.begin(), m_onPage.end(), url) != m_onPage.end();
    Gdiplus::Image* image = VxLoadImageFile(NavW(item.record.image).c_str());
    if (image && !VxImageUsable(image)) {
      delete image;
      image = nullptr;
    }
    item.picture.reset(image);
    m_items.push_back(std::move(item));
  }
}

BOOL CDlgAddDaohang::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  ::SetWindowPos(m_hWnd, nullptr, 0, 0, kWidth, kHeight, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  SetBack(CString(NavSkinPath(L"我的导航\\add\\bg.png").c_str()), 0, 1);
  CreateItems();
  if (m_name.Create(m_hWnd)) {
    m_name.SetHint(L"网站名称，例如：百度");
    ::SetWindowPos(m_name.GetSafeHwnd(), nullptr, 32, 82, 200, 24, SWP_NOZORDER);
    ::ShowWindow(m_name.GetSafeHwnd(), SW_SHOW);
  }
  if (m_url.Create(m_hWnd)) {
    m_url.SetHint(L"网址，例如：www.baidu.com");
    m_url.SetEnterCallback([this] { AddTyped(); });
    ::SetWindowPos(m_url.GetSafeHwnd(), nullptr, 262, 82, 280, 24, SWP_NOZORDER);
    ::ShowWindow(m_url.GetSafeHwnd(), SW_SHOW);
  }
  // The name is typed first; the address field, left, shows its hint again.
  if (m_name.Edit()) ::SetFocus(m_name.Edit());
  StartRefresh();
  return TRUE;
}

void CDlgAddDaohang::StartRefresh() {
  std::vector<SiteRecord> cached;
  for (const Item& item : m_items) cached.push_back(item.record);
  const std::wstring home = NavHomeUrl();
  m_refresh.Start(m_hWnd, WM_NAV_LIST_CHANGED,
                  [cached, home](VxWorkerJob<std::vector<SiteRecord>>& job) mutable {
                    RefreshSuggestions(job, std::move(cached), home);
                  });
}

void CDlgAddDaohang::OnDestroy() {
  m_refresh.Stop();
  CVxDialogBase::OnDestroy();
}

void CDlgAddDaohang::CenterOnScreen() {
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  ::SetWindowPos(m_hWnd, HWND_TOP, x, y, kWidth, kHeight, SWP_NOACTIVATE);
}

BOOL CDlgAddDaohang::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg == WM_NAV_LIST_CHANGED) {
    for (auto& list : m_refresh.TakeResults()) {
      SetItems(std::move(list));
      ++m_listRefreshes;
    }
    m_scroll = 0;
    m_hover = -1;
    UpdateScrollBar();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    *result = 0;
    return TRUE;
  }
  return CVxDialogBase::OnMessage(msg, wParam, lParam, result);
}

void CDlgAddDaohang::SetTyped(const std::wstring& name, const std::wstring& url) {
  m_name.SetText(name);
  m_url.SetText(url);
}

void CDlgAddDaohang::Post(const std::wstring& name, const std::wstring& url, const std::wstring& image) {
  if (m_slot < 0) return;
  auto* site = new NavPutSite{m_slot, name, url, image};
  if (!::PostMessageW(m_page, WM_NAV_PUT_SITE, 0, reinterpret_cast<LPARAM>(site))) delete site;
}

BOOL CDlgAddDaohang::AddTyped() {
  const std::wstring url = m_url.GetSearchText();
  if (url.empty()) {
    ::SetFocus(m_url.Edit());
    return FALSE;
  }
  // The page closes the dialog when it takes the site.
  Post(m_name.GetSearchText(), url, L"");
  ::ShowWindow(m_hWnd, SW_HIDE);
  return TRUE;
}

BOOL CDlgAddDaohang::Choose(size_t index) {
  if (index >= m_items.size() || m_items[index].chosen) return FALSE;
  const SiteRecord& r = m_items[index].record;
  Post(NavW(r.name), NavW(r.url), NavW(r.image));
  ::ShowWindow(m_hWnd, SW_HIDE);
  return TRUE;
}

RECT CDlgAddDaohang::SuggestionRect(size_t index) const {
  const int col = static_cast<int>(index) % kColumns, row = static_cast<int>(index) / kColumns;
  const int x = kListLeft + col * kCellW + 8, y = kListTop + row * kCellH + 10 - m_scroll;
  return RECT{x, y, x + 135, y + 80};
}

int CDlgAddDaohang::ContentHeight() const {
  return static_cast<int>((m_items.size() + kColumns - 1) / kColumns) * kCellH;
}

int CDlgAddDaohang::SuggestionAt(POINT pt) const {
  if (pt.x < kListLeft || pt.x >= kWidth - 30 || pt.y < kListTop || pt.y >= kListBottom) return -1;
  for (size_t i = 0; i < m_items.size(); ++i) {
    const RECT r = SuggestionRect(i);
    if (::PtInRect(&r, pt)) return static_cast<int>(i);
  }
  return -1;
}

void CDlgAddDaohang::OnLButtonDown(UINT flags, POINT pt) {
  // The title bar moves the dialog; a press anywhere else is a click on what lies there.
  SetNoMove(pt.y >= kHeaderHeight);
  CVxDialogBase::OnLButtonDown(flags, pt);
}

void CDlgAddDaohang::OnLButtonUp(UINT flags, POINT pt) {
  HWND hwnd = m_hWnd;
  // The buttons and the scroll bar are the toolkit's items: a button's callback may close
  // the window, after which nothing here is touched.
  CVxDialogBase::OnLButtonUp(flags, pt);
  if (!::IsWindow(hwnd) || m_hWnd != hwnd) return;
  const int index = SuggestionAt(pt);
  if (index >= 0) Choose(static_cast<size_t>(index));
}

void CDlgAddDaohang::OnMouseMove(UINT flags, POINT pt) {
  CVxDialogBase::OnMouseMove(flags, pt);
  const int hover = SuggestionAt(pt);
  if (hover >= 0) ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  if (hover == m_hover) return;
  m_hover = hover;
  RECT list{kListLeft, kListTop, kWidth - 30, kListBottom};
  ::InvalidateRect(m_hWnd, &list, FALSE);
}

BOOL CDlgAddDaohang::OnMouseWheel(UINT, short delta, POINT) {
  const int most = std::max(0, ContentHeight() - (kListBottom - kListTop));
  m_scroll = std::clamp(m_scroll - delta / WHEEL_DELTA * kCellH / 2, 0, most);
  // The thumb follows: its position is the offset in the track's scale.
  if (m_bar.GetMax() > 0 && most > 0)
    m_bar.SetBarPos(static_cast<int>(static_cast<long long>(m_scroll) * m_bar.GetMax() / most));
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return TRUE;
}

void __cdecl CDlgAddDaohang::OnCloseClick(void* self) {
  static_cast<CDlgAddDaohang*>(self)->DestroyWindow();
}

void __cdecl CDlgAddDaohang::OnAddClick(void* self) { static_cast<CDlgAddDaohang*>(self)->AddTyped(); }

void __cdecl CDlgAddDaohang::OnScroll(int, void* self) {
  auto* dlg = static_cast<CDlgAddDaohang*>(self);
  dlg->m_scroll = dlg->m_bar.GetPos();
  ::InvalidateRect(dlg->m_hWnd, nullptr, FALSE);
}

void CDlgAddDaohang::CreateItems() {
  const std::wstring add = L"我的导航\\add\\";
  m_closeButton.SetImage(NavSkinPath((add + L"close.png").c_str()).c_str(), VxButton::VXBT_3);
  const RECT close = CloseButtonRect();
  m_closeButton.SetRect(close.left, close.top, close.right - close.left, close.bottom - close.top);
  m_closeButton.SetMouseMoveHand(TRUE);
  VxCallbacks closeCb{&CDlgAddDaohang::OnCloseClick, this};
  m_closeButton.SetCallBack(&closeCb);
  AddVxItem(&m_closeButton);

  m_addButton.SetImage(NavSkinPath((add + L"add.png").c_str()).c_str(), VxButton::VXBT_3);
  const RECT button = AddButtonRect();
  m_addButton.SetRect(button.left, button.top, button.right - button.left, button.bottom - button.top);
  m_addButton.SetMouseMoveHand(TRUE);
  VxCallbacks addCb{&CDlgAddDaohang::OnAddClick, this};
  m_addButton.SetCallBack(&addCb);
  AddVxItem(&m_addButton);

  m_bar.SetBarImage(NavSkinPath((add + L"scroll-top.png").c_str()).c_str(),
                    NavSkinPath((add + L"scroll-center.png").c_str()).c_str(),
                    NavSkinPath((add + L"scroll-bottom.png").c_str()).c_str());
  m_bar.SetRect(kWidth - 22, kListTop, 8, kListBottom - kListTop);
  m_barCallbacks.lpParam = this;
  m_barCallbacks.pfnScroll = &CDlgAddDaohang::OnScroll;
  m_bar.SetVBarCallBack(&m_barCallbacks);
  AddVxItem(&m_bar);
  UpdateScrollBar();

  m_hoverPicture.reset(VxLoadImageFile(NavSkinPath((add + L"hover.png").c_str()).c_str()));
  m_addedPicture.reset(VxLoadImageFile(NavSkinPath((add + L"added.png").c_str()).c_str()));
}

// A list that fits shows no bar.
void CDlgAddDaohang::UpdateScrollBar() {
  const int page = kListBottom - kListTop, total = ContentHeight();
  m_bar.SetBarLength(page, std::max(total, page));
  m_bar.SetBarPos(0);
  m_bar.SetShow(total > page);
}

void CDlgAddDaohang::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  // Background and items by the toolkit, the suggestions over them, then one copy to the
  // window: no half-drawn frame shows while the list scrolls.
  VxWindowDC screen(nullptr);
  void* bits = nullptr;
  VxBitmap dib(VxCreateTopDownDib(screen.Get(), kWidth, kHeight, &bits));
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  if (dib && mem) {
    VxSelectObject keep(mem.Get(), dib.Get());
    OnVxPaint(mem.Get(), kWidth, kHeight);
    {
      Gdiplus::Graphics g(mem.Get());
      DrawList(g);
    }
    ::BitBlt(dc, 0, 0, kWidth, kHeight, mem.Get(), 0, 0, SRCCOPY);
  }
  ::EndPaint(m_hWnd, &ps);
}

void CDlgAddDaohang::DrawList(Gdiplus::Graphics& g) {
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
  Gdiplus::SolidBrush ink(Gdiplus::Color(255, 30, 30, 30));
  Gdiplus::SolidBrush faint(Gdiplus::Color(255, 0x9A, 0xA1, 0xAB));
  Gdiplus::StringFormat centre;
  centre.SetAlignment(Gdiplus::StringAlignmentCenter);
  centre.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  centre.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  centre.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  g.SetClip(Gdiplus::Rect(kListLeft, kListTop, kWidth - 30 - kListLeft, kListBottom - kListTop));
  for (size_t i = 0; i < m_items.size(); ++i) {
    const RECT r = SuggestionRect(i);
    if (r.bottom + 30 < kListTop || r.top > kListBottom) continue;
    Gdiplus::Image* picture = m_items[i].picture.get();
    if (picture)
      VxDrawImageRect(g, picture, GdiRect(r), 0, 0, VxImageWidth(picture), VxImageHeight(picture), nullptr);
    Gdiplus::Image* over = m_items[i].chosen ? m_addedPicture.get()
                           : static_cast<int>(i) == m_hover ? m_hoverPicture.get()
                                                            : nullptr;
    if (VxImageUsable(over))
      VxDrawImageRect(g, over, GdiRect(r), 0, 0, VxImageWidth(over), VxImageHeight(over), nullptr);
    const std::wstring name = NavW(m_items[i].record.name);
    g.DrawString(name.c_str(), -1, m_font.get(),
                 Gdiplus::RectF(float(r.left), float(r.bottom + 4), 135.0f, 20.0f), &centre,
                 m_items[i].chosen ? &faint : &ink);
  }
  g.ResetClip();
}
