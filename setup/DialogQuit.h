#pragma once
// The quit confirmation of the installer: "退出安装" gives 1, "继续安装" or closing gives 0.
#include <memory>

#include "uilib/VxDialogBase.h"

class CDialogQuit : public CVxDialogBase {
 public:
  explicit CDialogQuit(HWND hParent);
  ~CDialogQuit() override;
  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnClose() override;

 private:
  static void OnClickQuit(void* self);
  static void OnClickStay(void* self);

  VxButton m_btnQuit;
  VxButton m_btnStay;
  std::unique_ptr<Gdiplus::Font> m_font;
};

// The installer's text font: "微软雅黑" when the system has it, else "宋体", else any sans.
std::unique_ptr<Gdiplus::Font> MakeSetupFont(float pixels, int style = Gdiplus::FontStyleRegular);
