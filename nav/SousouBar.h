#pragma once
// The web search box centred near the top of the navigation pages: a drawn frame and
// search button (items of the host window) around an edit (CDialogSouInput1). It slides in
// and out with the navigation pages; Enter or the button opens the search engine's query
// page for the typed words in the user's browser.
#include <memory>
#include <string>
#include <utility>

#include "desk/BaseDesk.h"
#include "nav/DialogSouInput1.h"
#include "uilib/VxDialogBase.h"

class CSousouBar : public CBaseDesk {
 public:
  CSousouBar(CVxDialogBase& host, CDeskOwner* owner);
  ~CSousouBar() override;

  // Makes the edit (hidden) and the two items (hidden) on the host.
  void Init(int workHeight);
  void SetOn(BOOL on);
  BOOL IsOn() const { return m_on; }
  // Places the group shifted by `x` (a slide step or a re-layout).
  void PlacePage(int x, int y, int width, int height) override;
  void OnWorkAreaChanged(const RECT& pageRect) override;
  void Draw(Gdiplus::Graphics&, int, int) override {}  // drawn as the host's items

  std::wstring GetSearchText() const { return m_input.GetSearchText(); }
  // Opens the query page for the typed text; nothing for an empty text.
  void Search();
  // The search engine's address when not the one of services.ini.
  void SetSearchBase(std::wstring base) { m_searchBase = std::move(base); }
  CDialogSouInput1& Input() { return m_input; }
  VxButton& Button() { return m_button; }

 private:
  static void OnSearchClick(void* param) { static_cast<CSousouBar*>(param)->Search(); }

  CVxDialogBase& m_host;
  CDialogSouInput1 m_input;
  VxImage m_frame;
  VxButton m_button;
  BOOL m_on = FALSE;
  int m_workHeight = 0;
  int m_x = 0;
  std::wstring m_searchBase;
};
