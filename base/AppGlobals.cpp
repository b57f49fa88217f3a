#include "base/AppGlobals.h"

#include "uilib/VxServices.h"

AppGlobals& TheApp() {
  // Made on first use and never destroyed: worker threads may still read it while the
  // process ends.
  static AppGlobals* globals = [] {
    auto* g = new AppGlobals();
    g->weather.ipQueryUrl = VxServiceBase(L"ipquery") + L"/ipquery";
    g->nav.homeUrl = VxServiceBase(L"home");
    return g;
  }();
  return *globals;
}

namespace {
Gdiplus::Font* g_iconFont = nullptr;
}  // namespace

Gdiplus::Font* IconFont() { return g_iconFont; }
void SetIconFont(Gdiplus::Font* font) { g_iconFont = font; }
