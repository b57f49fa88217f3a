#pragma once
// A one-line edit with a grey hint ("找什么?") that gives way when the edit gets the focus
// and comes back when it is left empty; Enter calls the owner. The add dialog's fields use
// it; the search bar uses its sister CDialogSouInput1.
#include <functional>
#include <string>

#include "uilib/VxDialogBase.h"
#include "uilib/VxRaii.h"

class CDialogSouInput : public CVxDialogBase {
 public:
  explicit CDialogSouInput(UINT templateId = 142);
  ~CDialogSouInput() override;

  void SetHint(const std::wstring& hint);
  const std::wstring& Hint() const { return m_hint; }
  // The text with spaces trimmed at both ends; empty when it is the hint.
  std::wstring GetSearchText() const;
  void SetText(const std::wstring& text);
  // Re-creates the edit font as "宋体" at the given height (the search bar uses -14).
  void SetEditFont(int height);
  void SetSearchFont() { SetEditFont(-14); }
  void SetEnterCallback(std::function<void()> onEnter) { m_onEnter = std::move(onEnter); }
  HWND Edit() const { return m_edit; }

 protected:
  BOOL OnInitDialog() override;
  BOOL OnEraseBkgnd(HDC hdc) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

 private:
  std::wstring EditText() const;
  bool ShowsHint() const;

  std::wstring m_hint = L"找什么?";
  int m_fontHeight = -12;
  VxFont m_font;
  COLORREF m_textColor = RGB(0, 0, 0);
  COLORREF m_hintColor = RGB(180, 180, 180);
  COLORREF m_backColor = RGB(255, 255, 255);
  VxBrush m_backBrush;
  HWND m_edit = nullptr;
  std::function<void()> m_onEnter;
};
