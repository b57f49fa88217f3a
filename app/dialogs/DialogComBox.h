#pragma once
// The settings centre's drop-down: a borderless popup owned by the settings dialog that
// holds one list box of box names filling it, and tells its owner of every selection
// change. It stays open while the user picks; only the owner hides it.
#include <string>
#include <vector>

#include "uilib/VxDialogBase.h"

class CDialogComBox : public CVxDialogBase {
 public:
  using SelectionChanged = void (*)(void* user);

  explicit CDialogComBox(HWND owner);
  ~CDialogComBox() override;

  void SetCallback(SelectionChanged changed, void* user);
  void SetChoices(const std::vector<std::wstring>& choices);
  // Selects without calling back (the owner already knows what it asked for).
  void Select(int index);
  int Selection() const;
  std::wstring SelectedText() const;
  // Shows the popup over `screen` without taking the focus from the owner.
  void ShowAt(const RECT& screen);
  void Hide();
  BOOL IsOpen() const;
  HWND ListWindow() const;

 protected:
  BOOL OnInitDialog() override;
  void OnSize(UINT nType, int cx, int cy) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // Enter and Escape in the list would end a modeless dialog: they close the popup instead.
  void OnOK() override { Hide(); }
  void OnCancel() override { Hide(); }

 private:
  SelectionChanged m_changed = nullptr;
  void* m_user = nullptr;
  VxFont m_font;
};
