#include "nav/TJDaohang.h"

#include <algorithm>

#include "base/AppGlobals.h"
#include "nav/NavFiles.h"
#include "nav/NavStrips.h"
#include "nav/core/nav_sites.h"
#include "nav/core/nav_text.h"
#include "uilib/VxBaseFunctions.h"
#include "uilib/VxPaint.h"

namespace {
// The top row: 70 x 70 pictures with their names below, in cells 100 wide.
// Category boxes, three a row.
constexpr int kColumns = 3, kBoxGap = 10, kBoxHeight = 160, kLinkHeight = 22, kBoxInset = 14;

void FetchSites(const std::wstring& home, std::vector<SiteRecord>* sites) {
  const std::wstring folder = NavDataPath(kTuijianTopFolder);
  for (SiteRecord& s : *sites) s.image = NavFieldText(NavU16(NavFetchPicture(home, s.pic, folder)));
}

void FetchCategories(const std::wstring& home, std::vector<TuijianCategory>* categories) {
  const std::wstring folder = NavDataPath(kTuijianBottomFolder);
  for (TuijianCategory& c : *categories)
    c.image = NavFieldText(NavU16(NavFetchPicture(home, c.pic, folder)));
}
}  // namespace

CTJDaohang::CTJDaohang(CDeskOwner* owner, CNavStrips* strips)
    : CBaseDesk(kPageId, owner), m_strips(strips),
      m_messages([this](UINT msg, WPARAM, LPARAM) { OnMessage(msg); }) {
  std::vector<uint8_t> bytes = NavReadFile(NavDataPath(kTuijianTopPath));
  m_top = DecodeSiteRecords(bytes.data(), bytes.size());
  bytes = NavReadFile(NavDataPath(kTuijianBotPath));
  m_categories = DecodeTuijianCategories(bytes.data(), bytes.size());
  for (int i = 0; i < 9; ++i) {
    const std::wstring path = NavSkinPath((L"推荐导航\\背景\\" + std::to_wstring(i + 1) + L".png").c_str());
    m_box[i].reset(VxLoadImageFile(path.c_str()));
  }
  const wchar_t* parts[3] = {L"推荐导航\\scroll-top.png", L"推荐导航\\scroll-center.png",
                             L"推荐导航\\scroll-bottom.png"};
  for (int i = 0; i < 3; ++i) m_scrollParts[i].reset(VxLoadImageFile(NavSkinPath(parts[i]).c_str()));
  m_font = std::make_unique<Gdiplus::Font>(L"微软雅黑", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  m_titleFont = std::make_unique<Gdiplus::Font>(L"微软雅黑", 14.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
  // The type alone sets the labels' centring; the metrics follow.
  m_topList.SetListType(VXLT_BIGICON);
  m_topList.SetListType(VXLT_BIGICON, 70, 70, 43, 44, 32, 13);
  m_topList.SetFont(*m_font);
  m_topList.SetTextColor(Gdiplus::Color(240, 255, 255, 255));
  CStringArray over, down;
  for (int i = 1; i <= 9; ++i) {
    const std::wstring rs = TheApp().programDir + L"\\rs\\文件触发\\";
    over.push_back(CString((rs + L"鼠标移上\\" + std::to_wstring(i) + L".png").c_str()));
    down.push_back(CString((rs + L"鼠标点击\\" + std::to_wstring(i) + L".png").c_str()));
  }
  m_topList.SetMouseMoveImage(over);
  m_topList.SetMouseDownImage(down);
}

CTJDaohang::~CTJDaohang() { m_refresh.Stop(); }

void CTJDaohang::SetUp(const RECT& pageRect) {
  OnWorkAreaChanged(pageRect);
  StartRefresh();
}

void CTJDaohang::OnWorkAreaChanged(const RECT& pageRect) {
  CBaseDesk::OnWorkAreaChanged(pageRect);
  m_clientWidth = ::GetSystemMetrics(SM_CXSCREEN);
  m_layout = TuijianPageLayout(m_clientWidth, pageRect.bottom - pageRect.top);
  RebuildTopList();
}

void CTJDaohang::RebuildTopList() {
  // The entries' labels are measured against the host window.
  m_topList.SetParent(OwnerHwnd());
  m_topList.RemoveAll();
  const VxRc& row = m_layout.top;
  // The entries stand centred in the row: the list is as wide as the ones that fit.
  const int cell = m_topList.GetItemWidth() + m_topList.GetWIner();
  const int fit = std::max(1, row.Width() / cell);
  const int shown = std::min<int>(fit, static_cast<int>(m_top.size()));
  const int width = std::max(cell, shown * cell);
  m_topList.SetRect(row.left + (row.Width() - width) / 2, row.top + 30, width, row.Height() - 30);
  for (int i = 0; i < shown; ++i) {
    VxListItem entry;
    if (Gdiplus::Image* pic = Picture(m_top[i].image)) entry.pIcon = pic->Clone();
    wcsncpy(entry.szName, NavW(m_top[i].name).c_str(), 259);
    entry.nData[0] = i;
    m_topList.AddItem(&entry, TRUE);
  }
}

BOOL CTJDaohang::MarkTopEntry(POINT pt, int state) {
  VxListItem* hit = m_topList.HitTest(pt);
  BOOL changed = FALSE;
  for (VxListItem* entry : m_topList.Items()) {
    const int want = entry == hit ? state : 0;
    if (entry->nMouseState != want) {
      entry->nMouseState = want;
      changed = TRUE;
    }
  }
  return changed;
}

void CTJDaohang::PlacePage(int x, int, int, int) {
  if (m_strips) m_strips->OnNavPagePlaced(this, x);
}

void CTJDaohang::StartRefresh() {
  std::vector<SiteRecord> top = m_top;
  std::vector<TuijianCategory> categories = m_categories;
  const std::wstring home = NavHomeUrl();
  m_refresh.Start(m_messages.Hwnd(), WM_NAV_LIST_CHANGED,
                  [top, categories, home](VxWorkerJob<Fresh>& job) {
    std::wstring answer;
    VxBaseFunctions web;
    if (web.WebGet(home + L"get.php?name=web_tuijian", answer, VxBaseFunctions::kUtf8) != 1) return;
    const auto parsed = ParseTuijian(NavU16(answer));
    if (!parsed) return;
    const TuijianChanges changes = WhatChanged(top, categories, *parsed);
    if (!changes.Any() || job.Stopping()) return;
    Fresh fresh;
    if (changes.top && parsed->top) {
      fresh.top = *parsed->top;
      FetchSites(home, &*fresh.top);
      NavWriteFile(NavDataPath(kTuijianTopPath), EncodeSiteRecords(*fresh.top));
    }
    if (changes.categories && parsed->categories) {
      fresh.categories = *parsed->categories;
      FetchCategories(home, &*fresh.categories);
      NavWriteFile(NavDataPath(kTuijianBotPath), EncodeTuijianCategories(*fresh.categories));
    }
    job.Post(std::move(fresh));
  });
}

void CTJDaohang::OnMessage(UINT msg) {
  if (msg != WM_NAV_LIST_CHANGED) return;
  for (Fresh& fresh : m_refresh.TakeResults()) {
    if (fresh.top) m_top = std::move(*fresh.top);
    if (fresh.categories) m_categories = std::move(*fresh.categories);
    m_pictures.clear();
    RebuildTopList();
    m_scroll = 0;
    ++m_listChanges;
  }
  RequestRepaint();
}

Gdiplus::Image* CTJDaohang::Picture(const std::u16string& path) {
  if (path.empty()) return nullptr;
  auto it = m_pictures.find(path);
  if (it == m_pictures.end()) {
    std::unique_ptr<Gdiplus::Image> image(VxLoadImageFile(NavW(path).c_str()));
    if (image && !VxImageUsable(image.get())) image.reset();
    it = m_pictures.emplace(path, std::move(image)).first;
  }
  return it->second.get();
}

VxRc CTJDaohang::TopItemRect(size_t index) const {
  const auto& entries = m_topList.Items();
  if (index >= entries.size()) return VxRc{0, 0, 0, 0};
  const RECT& r = entries[index]->rcHover;
  return VxRc{r.left, r.top, r.right, r.bottom};
}

VxRc CTJDaohang::CategoryRect(size_t index) const {
  const VxRc& area = m_layout.categoryContent;
  const int boxW = (area.Width() - 24 - (kColumns - 1) * kBoxGap) / kColumns;
  const int col = static_cast<int>(index) % kColumns, row = static_cast<int>(index) / kColumns;
  const int x = area.left + col * (boxW + kBoxGap);
  const int y = area.top + row * (kBoxHeight + kBoxGap) - m_scroll;
  return VxRc{x, y, x + boxW, y + kBoxHeight};
}

VxRc CTJDaohang::LinkRect(size_t category, size_t link) const {
  const VxRc box = CategoryRect(category);
  const int colW = (box.Width() - 2 * kBoxInset) / 2;
  const int col = static_cast<int>(link) % 2, row = static_cast<int>(link) / 2;
  const int x = box.left + kBoxInset + col * colW, y = box.top + 44 + row * kLinkHeight;
  return VxRc{x, y, x + colW, y + kLinkHeight};
}

int CTJDaohang::ContentHeight() const {
  const int rows = static_cast<int>((m_categories.size() + kColumns - 1) / kColumns);
  return rows * (kBoxHeight + kBoxGap);
}

std::wstring CTJDaohang::UrlAt(POINT pt) const {
  if (const VxListItem* entry = m_topList.HitTest(pt)) {
    const size_t i = static_cast<size_t>(entry->nData[0]);
    return i < m_top.size() ? NavW(m_top[i].url) : L"";
  }
  if (!m_layout.categoryContent.Contains(pt.x, pt.y)) return L"";
  for (size_t c = 0; c < m_categories.size(); ++c)
    for (size_t l = 0; l < m_categories[c].links.size(); ++l)
      if (LinkRect(c, l).Contains(pt.x, pt.y)) return NavW(m_categories[c].links[l].url);
  return L"";
}

BOOL CTJDaohang::OnPageMouse(UINT message, WPARAM wParam, POINT pt) {
  switch (message) {
    case WM_MOUSEMOVE:
      if (MarkTopEntry(pt, (wParam & MK_LBUTTON) ? 2 : 1)) RequestRepaint();
      if (!UrlAt(pt).empty()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      return FALSE;
    case WM_MOUSELEAVE:
      if (MarkTopEntry(POINT{-1, -1}, 0)) RequestRepaint();
      return FALSE;
    case WM_LBUTTONDOWN:
      if (MarkTopEntry(pt, 2)) RequestRepaint();
      return !UrlAt(pt).empty();
    case WM_LBUTTONUP: {
      if (MarkTopEntry(pt, 1)) RequestRepaint();
      const std::wstring url = UrlAt(pt);
      if (url.empty()) return FALSE;
      NavOpenUrl(url);
      return TRUE;
    }
    case WM_MOUSEWHEEL: {
      if (!m_layout.categories.Contains(pt.x, pt.y)) return FALSE;
      const int most = std::max(0, ContentHeight() - m_layout.categoryContent.Height());
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      m_scroll = std::clamp(m_scroll - delta * (kBoxHeight + kBoxGap) / 2, 0, most);
      RequestRepaint();
      return TRUE;
    }
    default:
      return FALSE;
  }
}

void CTJDaohang::DrawNineSlice(Gdiplus::Graphics& g, const VxRc& r) {
  for (auto& piece : m_box)
    if (!piece || !VxImageUsable(piece.get())) {
      Gdiplus::SolidBrush glass(Gdiplus::Color(150, 24, 30, 40));
      g.FillRectangle(&glass, r.left, r.top, r.Width(), r.Height());
      return;
    }
  const int cw = VxImageWidth(m_box[0].get()), ch = VxImageHeight(m_box[0].get());
  const int xs[4] = {r.left, r.left + cw, r.right - cw, r.right};
  const int ys[4] = {r.top, r.top + ch, r.bottom - ch, r.bottom};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      Gdiplus::Image* piece = m_box[row * 3 + col].get();
      VxDrawImageRect(g, piece, Gdiplus::Rect(xs[col], ys[row], xs[col + 1] - xs[col], ys[row + 1] - ys[row]),
                      0, 0, VxImageWidth(piece), VxImageHeight(piece), nullptr);
    }
}

void CTJDaohang::DrawFrame(Gdiplus::Graphics& g, const VxPixels&, int width, int height) {
  Draw(g, width, height);
}

void CTJDaohang::Draw(Gdiplus::Graphics& g, int, int) {
  g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
  Gdiplus::SolidBrush white(Gdiplus::Color(240, 255, 255, 255));
  Gdiplus::SolidBrush soft(Gdiplus::Color(200, 225, 232, 242));
  Gdiplus::StringFormat centre;
  centre.SetAlignment(Gdiplus::StringAlignmentCenter);
  centre.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  centre.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  Gdiplus::StringFormat left;
  left.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  left.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  left.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  m_topList.Draw(g);
  const VxRc& area = m_layout.categoryContent;
  g.SetClip(Gdiplus::Rect(area.left, area.top, area.Width(), area.Height()));
  for (size_t c = 0; c < m_categories.size(); ++c) {
    const VxRc box = CategoryRect(c);
    if (box.bottom < area.top || box.top > area.bottom) continue;
    DrawNineSlice(g, box);
    int titleX = box.left + kBoxInset;
    if (Gdiplus::Image* pic = Picture(m_categories[c].image)) {
      VxDrawImageRect(g, pic, Gdiplus::Rect(titleX, box.top + 10, 24, 24), 0, 0, VxImageWidth(pic),
                      VxImageHeight(pic), nullptr);
      titleX += 30;
    }
    const std::wstring type = NavW(m_categories[c].type);
    g.DrawString(type.c_str(), -1, m_titleFont.get(),
                 Gdiplus::RectF(float(titleX), float(box.top + 10), float(box.right - titleX - 10), 24.0f),
                 &left, &white);
    for (size_t l = 0; l < m_categories[c].links.size(); ++l) {
      const VxRc r = LinkRect(c, l);
      const std::wstring name = NavW(m_categories[c].links[l].name);
      g.DrawString(name.c_str(), -1, m_font.get(),
                   Gdiplus::RectF(float(r.left), float(r.top), float(r.Width() - 6), float(r.Height())),
                   &left, &soft);
    }
  }
  g.ResetClip();
  const int most = ContentHeight() - area.Height();
  if (most > 0 && m_scrollParts[1]) {
    // The thumb: its size is the visible share, its place the scrolled share.
    const VxRc& bar = m_layout.scrollBar;
    const int thumb = std::max(30, bar.Height() * area.Height() / ContentHeight());
    const int y = bar.top + (bar.Height() - thumb) * m_scroll / most;
    Gdiplus::Image* mid = m_scrollParts[1].get();
    VxDrawImageRect(g, mid, Gdiplus::Rect(bar.left, y, bar.Width(), thumb), 0, 0, VxImageWidth(mid),
                    std::max(1, VxImageHeight(mid) / 3), nullptr);
  }
}
