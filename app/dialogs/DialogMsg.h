#pragma once
// The program's confirmation dialog (exit, restore desktop, remove box): a light card with
// one or two lines of text, a close button, OK and cancel.
#include <memory>

#include "uilib/VxDialogBase.h"

class CDialogMsg : public CVxDialogBase {
 public:
  enum Result { kCancel = 0, kOK = 1 };
  enum Mode { kOneLine = 1, kTwoLines = 2 };

  explicit CDialogMsg(HWND hParent = nullptr);
  ~CDialogMsg() override;

  // Mode and texts stay as the last caller left them; DoModal then gives kOK or kCancel.
  void SetMode(int mode) { m_nMode = mode; }
  int GetMode() const { return m_nMode; }
  void SetFirstLine(const CString& text) { m_strFirst = text; }
  void SetSecondLine(const CString& text) { m_strSecond = text; }
  const CString& GetFirstLine() const { return m_strFirst; }
  const CString& GetSecondLine() const { return m_strSecond; }

  // Where the layout put the buttons (client coordinates; empty before the window exists).
  CRect GetCloseRect() const;
  CRect GetOKRect() const;
  CRect GetCancelRect() const;

  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnClose() override;

 private:
  static void OnClickClose(void* self);
  static void OnClickOK(void* self);
  static void OnClickCancel(void* self);
  Gdiplus::Font* TextFont();
  // Loads a three-state button strip and registers the button; gives its frame size.
  SIZE LoadButton(VxButton& button, const wchar_t* image, VxClickFunc click);

  VxImage m_back;
  VxButton m_btnClose;
  VxButton m_btnCancel;
  VxButton m_btnOK;
  int m_nMode = kOneLine;
  CString m_strFirst;
  CString m_strSecond;
  // Used only when the program has no icon font (tests, or a failed start-up step).
  std::unique_ptr<Gdiplus::Font> m_ownFont;
};
