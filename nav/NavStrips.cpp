#include "nav/NavStrips.h"

#include "base/AppGlobals.h"

CNavStrips::CNavStrips(CVxDialogBase& host, CDeskOwner* owner, CDaohangBar::ShowPageFn showPage,
                       WorkAreaFn workArea)
    : m_host(host), m_owner(owner), m_showPage(std::move(showPage)),
      m_workArea(std::move(workArea)), m_search(host, owner) {
  const RECT work = m_workArea();
  m_search.Init(work.bottom - work.top);
}

CNavStrips::~CNavStrips() = default;

void CNavStrips::OnPageSwitch(int type, int previous, CBaseDesk* incoming, CBaseDesk* outgoing) {
  const bool now = IsNavigationType(type), before = IsNavigationType(previous);
  m_follow = nullptr;
  if (now) {
    if (!m_bar) {
      m_bar = std::make_unique<CDaohangBar>(m_host, m_owner, m_showPage);
      m_bar->SetUp(m_workArea());
    }
    m_bar->UpdateTabs();
    m_search.SetOn(TRUE);
    // Between two navigation pages the search bar stays where it is; coming from the desk
    // it slides in with the page.
    if (!before && incoming) m_follow = incoming;
    if (!m_follow || m_follow->SlideOffset() == 0) m_bar->StepRise(true);
    m_search.PlacePage(m_follow ? m_follow->SlideOffset() : 0, 0, 0, 0);
  } else {
    m_bar.reset();
    m_search.SetOn(FALSE);
    if (before && outgoing) m_follow = outgoing;
    m_search.PlacePage(m_follow ? m_follow->SlideOffset() : 0, 0, 0, 0);
  }
  if (m_owner) m_owner->RequestRepaint();
}

void CNavStrips::OnNavPagePlaced(const CBaseDesk* page, int x) {
  if (!page || page != m_follow) return;
  m_search.PlacePage(x, 0, 0, 0);
  // The tab bar comes up with the first navigation page, and is whole when it arrives.
  if (m_bar && IsNavigationType(TheApp().currentView)) m_bar->StepRise(x == 0);
}

void CNavStrips::OnWorkAreaChanged() {
  const RECT work = m_workArea();
  if (m_bar) m_bar->OnWorkAreaChanged(work);
  m_search.OnWorkAreaChanged(work);
}
