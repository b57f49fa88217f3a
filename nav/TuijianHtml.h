#pragma once
// One of the five recommendation web pages (热点, 视频, 购物, 游戏, 生活): a content card with
// an embedded browser showing the page of the maker's server. Its "app:" links come back
// here: "app:show/<type>" switches to another page, "app:open/<address>" opens a site in
// the user's browser.
#include <functional>
#include <memory>
#include <string>

#include "desk/BaseDesk.h"
#include "uilib/VxHtmlCtrls.h"

class CNavStrips;

class CTuijianHtml : public CBaseDesk {
 public:
  using ShowPageFn = std::function<void(int type)>;
  CTuijianHtml(int pageId, CDeskOwner* owner, CNavStrips* strips, std::wstring address,
               UINT controlId, ShowPageFn showPage);
  ~CTuijianHtml() override;

  // Makes the browser in place of the host's placeholder on the first showing.
  void Show();
  void PlacePage(int x, int y, int width, int height) override;
  void OnWorkAreaChanged(const RECT& pageRect) override;
  void Draw(Gdiplus::Graphics& g, int width, int height) override;
  void DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, int width, int height) override;

  const std::wstring& Address() const { return m_address; }
  HWND BrowserHwnd() const;
  // What an "app:" link asks for; TRUE when it was understood.
  BOOL RunAppCommand(const std::wstring& command);

 private:
  class View;
  RECT BrowserRect(int x) const;

  CNavStrips* m_strips;
  std::wstring m_address;
  UINT m_controlId;
  ShowPageFn m_showPage;
  std::unique_ptr<Gdiplus::Image> m_background;
  std::unique_ptr<View> m_html;
  int m_x = 0;
};
