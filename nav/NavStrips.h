#pragma once
// The strips the navigation pages share on the host window: the tab bar (made while a
// navigation page shows) and the search bar (made once, switched on and off). The host
// tells it about every page switch; the navigation pages tell it where they lie during a
// slide, so that the search bar comes in and leaves with them.
#include <functional>
#include <memory>

#include "nav/DaohangBar.h"
#include "nav/SousouBar.h"

class CNavStrips {
 public:
  using WorkAreaFn = std::function<RECT()>;
  CNavStrips(CVxDialogBase& host, CDeskOwner* owner, CDaohangBar::ShowPageFn showPage,
             WorkAreaFn workArea);
  ~CNavStrips();

  static bool IsNavigationType(int type) { return type >= 2 && type <= 8; }
  // After the host switched from `previous` to `type` and started the slide.
  void OnPageSwitch(int type, int previous, CBaseDesk* incoming, CBaseDesk* outgoing);
  // A navigation page moved to x during a slide.
  void OnNavPagePlaced(const CBaseDesk* page, int x);
  void OnWorkAreaChanged();

  CDaohangBar* Bar() const { return m_bar.get(); }
  CSousouBar& SearchBar() { return m_search; }

 private:
  CVxDialogBase& m_host;
  CDeskOwner* m_owner;
  CDaohangBar::ShowPageFn m_showPage;
  WorkAreaFn m_workArea;
  std::unique_ptr<CDaohangBar> m_bar;
  CSousouBar m_search;
  const CBaseDesk* m_follow = nullptr;  // the page the search bar moves with
};
