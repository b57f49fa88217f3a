#include "app/NavWiring.h"

#include "base/AppGlobals.h"
#include "nav/MyDaohang.h"
#include "nav/TJDaohang.h"
#include "nav/TuijianHtml.h"
#include "uilib/VxServices.h"

std::unique_ptr<CNavStrips> InstallNavigation(CBaseWnd& host) {
  CBaseWnd* h = &host;
  auto showPage = [h](int type) { h->ShowPage(type); };
  auto strips = std::make_unique<CNavStrips>(host, h, showPage, [] { return CBaseWnd::WorkAreaPageRect(); });
  CNavStrips* s = strips.get();
  host.SetPageFactory(CBaseWnd::kMySitesPage, [s](CBaseWnd& owner, const HostPageInfo&) {
    return std::unique_ptr<CBaseDesk>(std::make_unique<CMyDaohang>(owner, &owner, s));
  });
  host.SetPageFactory(CBaseWnd::kRecommendedPage, [s](CBaseWnd& owner, const HostPageInfo&) {
    auto page = std::make_unique<CTJDaohang>(&owner, s);
    page->SetUp(CBaseWnd::WorkAreaPageRect());
    return std::unique_ptr<CBaseDesk>(std::move(page));
  });
  for (int type = CBaseWnd::kFirstWebPage; type < kHostPageTypes; ++type) {
    host.SetPageFactory(type, [s, showPage](CBaseWnd& owner, const HostPageInfo& info) {
      // The recommendation server is the site server; its pages lie at its root.
      std::wstring base = VxServiceBase(L"home");
      while (!base.empty() && base.back() == L'/') base.pop_back();
      const std::wstring address = base + std::wstring(info.path, info.path + std::char_traits<char16_t>::length(info.path));
      return std::unique_ptr<CBaseDesk>(std::make_unique<CTuijianHtml>(
          info.id, &owner, s, address, static_cast<UINT>(info.control), showPage));
    });
  }
  host.SetPageSwitchHandler([h, s](int type, int previous) {
    if (auto* mine = dynamic_cast<CMyDaohang*>(h->Page(CBaseWnd::kMySitesPage))) mine->ClosePopup();
    s->OnPageSwitch(type, previous, h->Page(type), h->Page(previous));
    if (type >= CBaseWnd::kFirstWebPage)
      if (auto* web = dynamic_cast<CTuijianHtml*>(h->Page(type))) web->Show();
  });
  return strips;
}
