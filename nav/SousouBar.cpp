#include "nav/SousouBar.h"

#include "nav/NavFiles.h"
#include "uilib/VxServices.h"

CSousouBar::CSousouBar(CVxDialogBase& host, CDeskOwner* owner)
    : CBaseDesk(-1, owner), m_host(host) {}

CSousouBar::~CSousouBar() {
  m_host.RemoveVxItem(&m_frame);
  m_host.RemoveVxItem(&m_button);
  if (m_input.GetSafeHwnd()) m_input.DestroyWindow();
}

void CSousouBar::Init(int workHeight) {
  m_workHeight = workHeight;
  if (m_input.Create(m_host.GetSafeHwnd())) {
    m_input.SetSearchFont();
    m_input.SetEnterCallback([this] { Search(); });
    ::ShowWindow(m_input.GetSafeHwnd(), SW_HIDE);
  }
  m_frame.SetImage(NavSkinPath(L"搜索\\kuan.png").c_str());
  m_button.SetImage(NavSkinPath(L"搜索\\search.png").c_str(), VxButton::VXBT_3);
  VxCallbacks cb;
  cb.pfnClick = &CSousouBar::OnSearchClick;
  cb.lpParam = this;
  m_button.SetCallBack(&cb);
  m_button.SetMouseMoveHand(TRUE);
  m_frame.SetShow(FALSE);
  m_button.SetShow(FALSE);
  m_host.AddVxItem(&m_frame);
  m_host.AddVxItem(&m_button);
  PlacePage(0, 0, 0, 0);
}

void CSousouBar::OnWorkAreaChanged(const RECT& pageRect) {
  CBaseDesk::OnWorkAreaChanged(pageRect);
  m_workHeight = pageRect.bottom - pageRect.top;
  PlacePage(m_x, 0, 0, 0);
}

void CSousouBar::SetOn(BOOL on) {
  m_on = on;
  PlacePage(m_x, 0, 0, 0);
}

void CSousouBar::PlacePage(int x, int, int, int) {
  m_x = x;
  RECT client{0, 0, 0, 0};
  ::GetClientRect(m_host.GetSafeHwnd(), &client);
  const int left = (client.right - 611) / 2 + x;
  const int top = (m_workHeight - 689) / 2 + 36;
  m_frame.SetRect(left, top, VxImageWidth(m_frame.GetImage()), VxImageHeight(m_frame.GetImage()));
  int bw = 0, bh = 0;
  m_button.GetFrameSize(&bw, &bh);
  m_button.SetRect(left + 520, top, bw, bh);
  HWND edit = m_input.GetSafeHwnd();
  if (edit)
    ::SetWindowPos(edit, nullptr, left + 43, top + 11, 470, 22,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  if (m_on) {
    if (x == 0 && edit && !::IsWindowVisible(edit)) ::ShowWindow(edit, SW_SHOWNA);
    m_frame.SetShow(TRUE);
    m_button.SetShow(TRUE);
  } else {
    if (edit) ::ShowWindow(edit, SW_HIDE);
    const bool outOfView = left + 611 <= 0 || left >= client.right;
    if (outOfView) {
      m_frame.SetShow(FALSE);
      m_button.SetShow(FALSE);
    }
  }
}

void CSousouBar::Search() {
  const std::wstring text = GetSearchText();
  if (text.empty()) return;
  NavOpenUrl(NavSearchUrl(m_searchBase.empty() ? VxServiceBase(L"search") : m_searchBase, text));
}
