#pragma once
// A hidden browser window that loads a newly added site and keeps a 230 x 152 JPEG of the
// top of its page as the tile's thumbnail. It gives up after 20 seconds (or at once when
// no browser can be made) and then names the default picture; either way it tells the page
// with 1128 and the slot.
#include <memory>
#include <string>

#include "uilib/VxDialogBase.h"
#include "uilib/VxHtmlCtrls.h"

class CDialogWebTemp : public CVxDialogBase {
 public:
  CDialogWebTemp(int slot, std::wstring name, std::wstring url, HWND page);
  ~CDialogWebTemp() override;

  const std::wstring& Name() const { return m_name; }
  const std::wstring& Url() const { return m_url; }
  const std::wstring& Target() const { return m_target; }
  // The thumbnail file, or the default picture; set when the capture ended.
  const std::wstring& ResultImage() const { return m_result; }
  BOOL IsDone() const { return m_done; }
  // The give-up time (20 s); tests shorten it.
  static void SetGiveUpMs(UINT ms);

 protected:
  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;

 private:
  static void OnDocComplete(void* user, IDispatch* document, BOOL error);
  void Capture();
  BOOL SaveThumbnail(const std::wstring& path);
  void Finish();

  int m_slot;
  std::wstring m_name, m_url, m_target, m_result;
  HWND m_page;
  std::unique_ptr<CHtmlCtrls> m_html;
  BOOL m_navFailed = FALSE;
  BOOL m_done = FALSE;
  BOOL m_reported = FALSE;
};
