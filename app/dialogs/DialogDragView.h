#pragma once
// The small window that follows the cursor while desk entries are dragged and says what a
// drop would do ("移动到 桌面", "用 程序 打开"): an effect icon and three texts on a
// nine-slice pill. It never takes the focus or the mouse.
#include <memory>
#include <string>

#include "uilib/VxDialogBase.h"

class CDialogDragView : public CVxDialogBase {
 public:
  explicit CDialogDragView(HWND hParent = nullptr);
  ~CDialogDragView() override;

  // New texts for `effect` (DROPEFFECT_*) and `target`, placed beside `screenPoint` and shown
  // (without activation) when hidden. Nothing is drawn again while the texts stay.
  void UpdateDragView(DWORD effect, const std::wstring& target, BOOL openWith, POINT screenPoint);
  // Off the screen until the next update.
  void HideView();

  const std::wstring& Verb() const { return m_verb; }
  const std::wstring& Target() const { return m_target; }
  const std::wstring& Suffix() const { return m_suffix; }
  DWORD Effect() const { return m_effect; }

  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;

 protected:
  BOOL OnInitDialog() override;

 private:
  Gdiplus::Font* TextFont();
  int TextWidth(const std::wstring& text);
  Gdiplus::Image* EffectIcon() const;

  std::wstring m_verb, m_target, m_suffix;
  int m_verbW = 0, m_targetW = 0, m_suffixW = 0;
  DWORD m_effect = DROPEFFECT_NONE;
  VxNineSlice m_back;
  std::unique_ptr<Gdiplus::Image> m_iconMove, m_iconAdd, m_iconLink, m_iconNone;
  std::unique_ptr<Gdiplus::Font> m_ownFont;
};
