#pragma once
// The small tip the wallpaper window shows when the catalogue or a picture could not be
// fetched: retry, use a local picture, or close. Its result is what the window does next.
#include <memory>
#include <string>

#include "uilib/VxDialogBase.h"

class CDialogWebWrong : public CVxDialogBase {
 public:
  enum { IDD = 103 };
  enum Result { kNothing = 0, kLocal = 1, kRetry = 2 };
  enum : UINT { WM_TIP_DONE = WM_USER + 111 };  // 1135

  CDialogWebWrong(HWND parent, const std::wstring& programDir);
  ~CDialogWebWrong() override;

  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnClose() override;

 private:
  static void OnClickClose(void* self);
  static void OnClickLocal(void* self);
  static void OnClickRetry(void* self);
  void Finish(int result);
  void SetupLink(VxCheckBox& link, const wchar_t* text, int x, int y, int w, int h, VxClickFunc click);

  std::wstring m_programDir;
  int m_result = kNothing;
  VxImage m_back;
  VxButton m_btnClose;
  VxCheckBox m_linkLocal, m_linkRetry;
  std::unique_ptr<Gdiplus::Font> m_font;
};
