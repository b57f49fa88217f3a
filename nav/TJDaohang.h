#pragma once
// 推荐导航: a row of recommended sites and boxes of categorised links from the maker's
// server, cached in tuijian_top.dat and tuijian_bot.dat. Each showing refreshes the lists on
// a worker; an answer equal to the cache fetches, writes and redraws nothing.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desk/BaseDesk.h"
#include "nav/NavMessageWindow.h"
#include "nav/core/nav_layout.h"
#include "nav/core/nav_records.h"
#include "uilib/VxListCtrl.h"
#include "uilib/VxWorker.h"

class CNavStrips;

class CTJDaohang : public CBaseDesk {
 public:
  static constexpr int kPageId = 20;
  CTJDaohang(CDeskOwner* owner, CNavStrips* strips);
  ~CTJDaohang() override;

  // Lays the page out and starts a refresh of the lists.
  void SetUp(const RECT& pageRect);
  void OnWorkAreaChanged(const RECT& pageRect) override;
  void PlacePage(int x, int y, int width, int height) override;
  BOOL OnPageMouse(UINT message, WPARAM wParam, POINT point) override;
  void DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height) override;
  void Draw(Gdiplus::Graphics& g, int width, int height) override;

  void StartRefresh();
  BOOL Refreshing() const { return m_refresh.Running(); }
  // How many times a refresh changed the lists (each one redraws).
  int ListChanges() const { return m_listChanges; }
  const std::vector<SiteRecord>& Top() const { return m_top; }
  const std::vector<TuijianCategory>& Categories() const { return m_categories; }
  // The address under a client point, or empty.
  std::wstring UrlAt(POINT point) const;
  // Where the top site `index` lies (client coordinates); empty when the row has no room.
  VxRc TopItemRect(size_t index) const;

 private:
  struct Fresh {
    std::optional<std::vector<SiteRecord>> top;
    std::optional<std::vector<TuijianCategory>> categories;
  };
  void OnMessage(UINT msg);
  Gdiplus::Image* Picture(const std::u16string& path);
  VxRc CategoryRect(size_t index) const;
  VxRc LinkRect(size_t category, size_t link) const;
  int ContentHeight() const;
  void DrawNineSlice(Gdiplus::Graphics& g, const VxRc& r);
  void RebuildTopList();
  // Marks the top entry under the mouse (1 over, 2 pressed); TRUE when a mark changed.
  BOOL MarkTopEntry(POINT pt, int state);

  CNavStrips* m_strips;
  std::vector<SiteRecord> m_top;
  std::vector<TuijianCategory> m_categories;
  TuijianLayout m_layout;
  VxListCtrl m_topList;  // the top row: one entry per top site, nData[0] its index
  int m_clientWidth = 0;
  int m_scroll = 0;
  int m_listChanges = 0;
  int m_hoverUrl = -1;
  std::map<std::u16string, std::unique_ptr<Gdiplus::Image>> m_pictures;
  std::unique_ptr<Gdiplus::Image> m_box[9];
  std::unique_ptr<Gdiplus::Image> m_scrollParts[3];
  std::unique_ptr<Gdiplus::Font> m_font, m_titleFont;
  VxWorker<Fresh> m_refresh;
  CNavMessageWindow m_messages;
};
