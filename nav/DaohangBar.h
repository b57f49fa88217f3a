#pragma once
// The tab strip along the bottom of the work area while a navigation page shows: the pair
// 我的导航 / 推荐导航 beside the site pages, the five web-page tabs beside the web pages. The
// tabs and the strip's background are drawn items of the host window; a tab click asks the
// host for its page.
#include <array>
#include <functional>
#include <memory>

#include "desk/BaseDesk.h"
#include "uilib/VxDialogBase.h"

class CDaohangBar : public CBaseDesk {
 public:
  static constexpr int kHeight = 37;
  static constexpr int kTabs = 7;
  using ShowPageFn = std::function<void(int type)>;

  CDaohangBar(CVxDialogBase& host, CDeskOwner* owner, ShowPageFn showPage);
  ~CDaohangBar() override;

  // Loads the background and the tabs, places them along `workArea`, adds them to the host.
  void SetUp(const RECT& workArea);
  // Shows the group that fits the current page type and marks its tab active.
  void UpdateTabs();
  void OnWorkAreaChanged(const RECT& pageRect) override;
  void Draw(Gdiplus::Graphics&, int, int) override {}  // drawn as the host's items

  const RECT& Strip() const { return m_strip; }
  // The bar rises out of the work area's foot by kRiseStep pixels a slide step; `arrived`
  // (the page reached its place) shows it whole. Returns TRUE while it moved.
  static constexpr int kRiseStep = 10;
  BOOL StepRise(bool arrived);
  int Risen() const { return m_risen; }
  // The tab of a page type (2..8), or null.
  VxButton* Tab(int type) const;

 private:
  struct TabInfo {
    const wchar_t* image;
    int type;
    bool pair;
  };
  static const std::array<TabInfo, kTabs> kTabInfo;
  struct TabClick {
    CDaohangBar* bar;
    int type;
  };
  static void OnTabClick(void* param);
  void Place(const RECT& workArea);
  void PlaceItems();

  CVxDialogBase& m_host;
  ShowPageFn m_showPage;
  VxImage m_background;
  std::array<std::unique_ptr<VxButton>, kTabs> m_tabs;
  std::array<TabClick, kTabs> m_clicks{};
  RECT m_strip{0, 0, 0, 0};
  int m_risen = 0;  // rows of the bar above the work area's foot
};
