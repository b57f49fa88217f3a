#include "nav/DaohangBar.h"

#include <algorithm>

#include "base/AppGlobals.h"
#include "nav/NavFiles.h"

// Left to right within each group; the games tab stands before shopping although its page
// type is the greater.
const std::array<CDaohangBar::TabInfo, CDaohangBar::kTabs> CDaohangBar::kTabInfo = {{
    {L"我的导航.png", 2, true},
    {L"推荐导航.png", 3, true},
    {L"热点.png", 4, false},
    {L"视频.png", 5, false},
    {L"游戏.png", 7, false},
    {L"购物.png", 6, false},
    {L"生活.png", 8, false},
}};

CDaohangBar::CDaohangBar(CVxDialogBase& host, CDeskOwner* owner, ShowPageFn showPage)
    : CBaseDesk(-1, owner), m_host(host), m_showPage(std::move(showPage)) {}

CDaohangBar::~CDaohangBar() {
  m_host.RemoveVxItem(&m_background);
  for (auto& tab : m_tabs)
    if (tab) m_host.RemoveVxItem(tab.get());
  m_background.DestroyImag();
}

void CDaohangBar::SetUp(const RECT& workArea) {
  m_background.SetImage(NavSkinPath(L"bg.png").c_str());
  m_host.AddVxItem(&m_background);
  for (int i = 0; i < kTabs; ++i) {
    auto tab = std::make_unique<VxButton>();
    if (!tab->SetImage(NavSkinPath(kTabInfo[i].image).c_str(), VxButton::VXBT_4)) continue;
    m_clicks[i] = TabClick{this, kTabInfo[i].type};
    VxCallbacks cb;
    cb.pfnClick = &CDaohangBar::OnTabClick;
    cb.lpParam = &m_clicks[i];
    tab->SetCallBack(&cb);
    tab->SetMouseMoveHand(TRUE);
    m_host.AddVxItem(tab.get());
    m_tabs[i] = std::move(tab);
  }
  Place(workArea);
  UpdateTabs();
}

void CDaohangBar::OnWorkAreaChanged(const RECT& pageRect) {
  CBaseDesk::OnWorkAreaChanged(pageRect);
  Place(pageRect);
}

void CDaohangBar::Place(const RECT& work) {
  m_strip = RECT{0, work.bottom - kHeight, work.right, work.bottom};
  PlaceItems();
}

void CDaohangBar::PlaceItems() {
  // Until it has risen the bar lies lower by the rows still below the foot.
  const int top = m_strip.top + (kHeight - m_risen);
  m_background.SetRect(0, top, m_strip.right, kHeight);
  const int width = m_strip.right - m_strip.left;
  int pairX = -1, webX = -1;
  for (int i = 0; i < kTabs; ++i) {
    if (!m_tabs[i]) continue;
    int w = 0, h = 0;
    m_tabs[i]->GetFrameSize(&w, &h);
    int& x = kTabInfo[i].pair ? pairX : webX;
    if (x < 0) x = (width - (kTabInfo[i].pair ? 2 : 5) * w) / 2;
    m_tabs[i]->SetRect(x, top, w, h);
    x += w;
  }
}

BOOL CDaohangBar::StepRise(bool arrived) {
  if (m_risen >= kHeight) return FALSE;
  m_risen = arrived ? kHeight : std::min(kHeight, m_risen + kRiseStep);
  PlaceItems();
  RequestRepaint();
  return TRUE;
}

void CDaohangBar::UpdateTabs() {
  const int view = TheApp().currentView;
  const bool pair = view == 2 || view == 3;
  // Among the web pages every other type marks the last tab.
  const int active = pair || (view >= 4 && view <= 7) ? view : 8;
  for (int i = 0; i < kTabs; ++i) {
    if (!m_tabs[i]) continue;
    m_tabs[i]->SetShow(kTabInfo[i].pair == pair);
    m_tabs[i]->SetActive(kTabInfo[i].type == active);
  }
  RequestRepaint();
}

VxButton* CDaohangBar::Tab(int type) const {
  for (int i = 0; i < kTabs; ++i)
    if (kTabInfo[i].type == type) return m_tabs[i].get();
  return nullptr;
}

void CDaohangBar::OnTabClick(void* param) {
  auto* click = static_cast<TabClick*>(param);
  CDaohangBar* bar = click->bar;
  if (bar->m_showPage) bar->m_showPage(click->type);
  if (click->type >= 4) bar->UpdateTabs();
}
