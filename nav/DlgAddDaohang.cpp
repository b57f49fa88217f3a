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

namespace {
// The list: x 20, y 140 to the dialog's width - 30, y 500; cells of 155 x 115 whose click
// rectangle is 135 x 80 at 8, 10.
constexpr int kListLeft = 20, kListTop = 140, kListBottom = 500;
constexpr int kCellW = 160, kCellH = 118;
constexpr int kColumns = (CDlgAddDaohang::kWidth - 30 - kListLeft) / kCellW;
const RECT kClose{CDlgAddDaohang::kWidth - 44, 12, CDlgAddDaohang::kWidth - 14, 42};

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
  m_titleFont = std::make_unique<Gdiplus::Font>(L"微软雅黑", 16.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
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

void CDlgAddDaohang::OnLButtonDown(UINT, POINT) {}

void CDlgAddDaohang::OnLButtonUp(UINT, POINT pt) {
  if (::PtInRect(&kClose, pt)) {
    DestroyWindow();
    return;
  }
  const RECT add = AddButtonRect();
  if (::PtInRect(&add, pt)) {
    AddTyped();
    return;
  }
  if (pt.x < kListLeft || pt.x >= kWidth - 30 || pt.y < kListTop || pt.y >= kListBottom) return;
  for (size_t i = 0; i < m_items.size(); ++i) {
    const RECT r = SuggestionRect(i);
    if (::PtInRect(&r, pt)) {
      Choose(i);
      return;
    }
  }
}

BOOL CDlgAddDaohang::OnMouseWheel(UINT, short delta, POINT) {
  const int most = std::max(0, ContentHeight() - (kListBottom - kListTop));
  m_scroll = std::clamp(m_scroll - delta / WHEEL_DELTA * kCellH / 2, 0, most);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
  return TRUE;
}

void CDlgAddDaohang::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  Gdiplus::Bitmap canvas(kWidth, kHeight, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&canvas);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
    g.Clear(Gdiplus::Color(255, 246, 248, 251));
    Gdiplus::Pen edge(Gdiplus::Color(255, 200, 208, 220), 1.0f);
    g.DrawRectangle(&edge, 0, 0, kWidth - 1, kHeight - 1);
    Gdiplus::SolidBrush ink(Gdiplus::Color(255, 40, 48, 60));
    Gdiplus::SolidBrush faint(Gdiplus::Color(255, 120, 130, 145));
    g.DrawString(L"添加网站", -1, m_titleFont.get(), Gdiplus::PointF(28, 22), &ink);
    Gdiplus::Pen cross(Gdiplus::Color(255, 120, 130, 145), 2.0f);
    const int l = kClose.left + 9, t = kClose.top + 9, r = kClose.right - 9, b = kClose.bottom - 9;
    g.DrawLine(&cross, l, t, r, b);
    g.DrawLine(&cross, r, t, l, b);
    // The two fields' frames; the edits lie inside them.
    Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
    Gdiplus::Pen field(Gdiplus::Color(255, 190, 200, 214), 1.0f);
    for (RECT f : {RECT{24, 76, 240, 112}, RECT{254, 76, 550, 112}}) {
      g.FillRectangle(&white, GdiRect(f));
      g.DrawRectangle(&field, GdiRect(RECT{f.left, f.top, f.right - 1, f.bottom - 1}));
    }
    const RECT add = AddButtonRect();
    Gdiplus::SolidBrush accent(Gdiplus::Color(255, 0x33, 0x99, 0xFF));
    g.FillRectangle(&accent, GdiRect(add));
    Gdiplus::StringFormat centre;
    centre.SetAlignment(Gdiplus::StringAlignmentCenter);
    centre.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    centre.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    centre.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    g.DrawString(L"添加", -1, m_titleFont.get(),
                 Gdiplus::RectF(float(add.left), float(add.top), float(add.right - add.left),
                                float(add.bottom - add.top)),
                 &centre, &white);
    g.DrawString(L"推荐网站", -1, m_font.get(), Gdiplus::PointF(24, 118), &faint);
    g.SetClip(Gdiplus::Rect(kListLeft, kListTop, kWidth - 30 - kListLeft, kListBottom - kListTop));
    for (size_t i = 0; i < m_items.size(); ++i) {
      const RECT r = SuggestionRect(i);
      if (r.bottom + 30 < kListTop || r.top > kListBottom) continue;
      if (m_items[i].picture)
        VxDrawImageRect(g, m_items[i].picture.get(), GdiRect(r), 0, 0,
                        VxImageWidth(m_items[i].picture.get()),
                        VxImageHeight(m_items[i].picture.get()), nullptr);
      if (m_items[i].chosen) {
        Gdiplus::SolidBrush veil(Gdiplus::Color(150, 246, 248, 251));
        g.FillRectangle(&veil, GdiRect(r));
      }
      const std::wstring name = NavW(m_items[i].record.name);
      g.DrawString(name.c_str(), -1, m_font.get(),
                   Gdiplus::RectF(float(r.left), float(r.bottom + 4), 135.0f, 20.0f), &centre,
                   m_items[i].chosen ? &faint : &ink);
    }
  }
  Gdiplus::Graphics screen(dc);
  screen.DrawImage(&canvas, 0, 0, kWidth, kHeight);
  ::EndPaint(m_hWnd, &ps);
}
