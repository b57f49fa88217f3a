#pragma once
// The settings centre: start-up and exit behaviour on one tab, desktop organizing and its
// three rules (which box receives shortcuts, folders, files) on the other. What the user
// changes lives in a DeskSettingsModel until OK stores it in AppGlobals, the Run value and
// config.ini; cancel and close store nothing.
#include <memory>

#include "app/dialogs/DialogComBox.h"
#include "desk/core/desk_settings.h"
#include "uilib/VxDialogBase.h"

class CDialogSet : public CVxDialogBase {
 public:
  enum Result { kCancel = 0, kOK = 1 };
  enum CheckBox { kCheckAutoStart = 0, kCheckClosePrompt = 1, kCheckAutoOrganize = 2, kChecks = 3 };

  explicit CDialogSet(HWND hParent = nullptr);
  ~CDialogSet() override;

  // Where the items sit (client coordinates), the same for every opening.
  static RECT TabRect(int tab);
  static RECT RuleRowRect(int row);
  static RECT CheckRect(int check);
  static RECT OKRect();
  static RECT CancelRect();
  static RECT CloseRect();

  // The boxes the rules may name, in the order of the box records; read at each opening.
  void SetBoxNames(std::vector<std::u16string> names) { m_boxNames = std::move(names); }

  // The open dialog's state; null before the first opening.
  const DeskSettingsModel* Model() const { return m_model.get(); }
  HWND DropDownWindow() const { return m_dropDown ? m_dropDown->GetSafeHwnd() : nullptr; }

  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnClose() override;
  void OnMove(int x, int y) override;
  void OnDestroy() override;

 private:
  void BuildItems();
  void SetUpDropDown();
  void SelectTab(int tab);
  void ShowTab(int tab);
  void ClickRow(int row);
  void PlaceDropDown();
  void ReadChecks();
  void Finish(Result result);
  void Store();
  Gdiplus::Font* TextFont();

  static void OnClickTab1(void* self) { static_cast<CDialogSet*>(self)->SelectTab(0); }
  static void OnClickTab2(void* self) { static_cast<CDialogSet*>(self)->SelectTab(1); }
  static void OnClickShortcutRow(void* self) { static_cast<CDialogSet*>(self)->ClickRow(kRuleShortcut); }
  static void OnClickFolderRow(void* self) { static_cast<CDialogSet*>(self)->ClickRow(kRuleFolder); }
  static void OnClickFileRow(void* self) { static_cast<CDialogSet*>(self)->ClickRow(kRuleFile); }
  static void OnClickOK(void* self) { static_cast<CDialogSet*>(self)->OnOK(); }
  static void OnClickCancel(void* self) { static_cast<CDialogSet*>(self)->OnCancel(); }
  static void OnDropDownChanged(void* self);

  VxImage m_back;
  VxImage m_rulesTable;
  VxButton m_btnClose, m_btnOK, m_btnCancel;
  VxButton m_tabs[2];
  VxButton m_rows[kRuleRows];
  VxCheckBox m_checks[kChecks];
  std::vector<std::u16string> m_boxNames;
  std::unique_ptr<DeskSettingsModel> m_model;
  std::unique_ptr<CDialogComBox> m_dropDown;
  // Used only when the program has no icon font (tests, or a failed start-up step).
  std::unique_ptr<Gdiplus::Font> m_ownFont;
};
