#include "nav/TuijianHtml.h"

#include "nav/NavFiles.h"
#include "nav/NavStrips.h"
#include "nav/core/nav_layout.h"
#include "uilib/VxPaint.h"

class CTuijianHtml::View : public CHtmlCtrls {
 public:
  explicit View(CTuijianHtml* page) : m_page(page) {}

 protected:
  void OnAppCmd(LPCWSTR cmd) override { m_page->RunAppCommand(cmd ? cmd : L""); }
  // A site the page opens in a new window goes to the user's browser instead.
  void OnNewWindow2(IDispatch**, BOOL* pbCancel) override { *pbCancel = TRUE; }

 private:
  CTuijianHtml* m_page;
};

CTuijianHtml::CTuijianHtml(int pageId, CDeskOwner* owner, CNavStrips* strips, std::wstring address,
                           UINT controlId, ShowPageFn showPage)
    : CBaseDesk(pageId, owner), m_strips(strips), m_address(std::move(address)),
      m_controlId(controlId), m_showPage(std::move(showPage)) {
  m_background.reset(VxLoadImageFile(NavSkinPath(L"内容背景.png").c_str()));
}

CTuijianHtml::~CTuijianHtml() {
  if (m_html && m_html->GetSafeHwnd()) ::DestroyWindow(m_html->GetSafeHwnd());
}

RECT CTuijianHtml::BrowserRect(int x) const {
  const VxRc r = TuijianHtmlBrowserRect(::GetSystemMetrics(SM_CXSCREEN), m_pageRect.bottom - m_pageRect.top);
  return RECT{r.left + x, r.top, r.right + x, r.bottom};
}

void CTuijianHtml::Show() {
  HWND host = OwnerHwnd();
  if (m_html || !host) return;
  m_html = std::make_unique<View>(this);
  if (!m_html->CreateFromStatic(m_controlId, host)) {
    m_html.reset();
    return;
  }
  if (VxComPtr<IWebBrowser2> browser = m_html->GetWebBrow()) browser->put_Silent(VARIANT_TRUE);
  PlacePage(m_slideOffset, 0, 0, 0);
  m_html->Navigate(m_address.c_str(), navNoReadFromCache);
}

void CTuijianHtml::OnWorkAreaChanged(const RECT& pageRect) {
  CBaseDesk::OnWorkAreaChanged(pageRect);
  PlacePage(m_x, 0, 0, 0);
}

void CTuijianHtml::PlacePage(int x, int, int, int) {
  m_x = x;
  if (m_strips) m_strips->OnNavPagePlaced(this, x);
  if (!m_html || !m_html->GetSafeHwnd()) return;
  const RECT r = BrowserRect(x);
  const int screen = ::GetSystemMetrics(SM_CXSCREEN);
  // Wholly out of view (or arrived outside) the browser hides; otherwise it moves along.
  if (r.right <= 0 || r.left >= screen || (m_done && !m_incoming)) {
    ::ShowWindow(m_html->GetSafeHwnd(), SW_HIDE);
    return;
  }
  ::SetWindowPos(m_html->GetSafeHwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

BOOL CTuijianHtml::RunAppCommand(const std::wstring& command) {
  if (command.rfind(L"show/", 0) == 0) {
    const int type = _wtoi(command.c_str() + 5);
    if (type < 2 || type > 8 || !m_showPage) return FALSE;
    m_showPage(type);
    return TRUE;
  }
  if (command.rfind(L"open/", 0) == 0) {
    const std::wstring url = command.substr(5);
    if (url.rfind(L"http://", 0) != 0 && url.rfind(L"https://", 0) != 0) return FALSE;
    NavOpenUrl(url);
    return TRUE;
  }
  return FALSE;
}

void CTuijianHtml::DrawFrame(Gdiplus::Graphics& g, const VxPixels&, int width, int height) {
  Draw(g, width, height);
}

void CTuijianHtml::Draw(Gdiplus::Graphics& g, int width, int) {
  const VxRc c = TuijianHtmlContentRect(width, m_pageRect.bottom - m_pageRect.top);
  if (m_background && VxImageUsable(m_background.get()))
    VxDrawImageRect(g, m_background.get(), Gdiplus::Rect(c.left, c.top, c.Width(), c.Height()), 0, 0,
                    VxImageWidth(m_background.get()), VxImageHeight(m_background.get()), nullptr);
}

HWND CTuijianHtml::BrowserHwnd() const { return m_html ? m_html->GetSafeHwnd() : nullptr; }
