// The settings centre as a model without any Windows header: its check boxes, its tab, the
// three organize-rule rows and the drop-down of box names. The dialog draws what this says
// and feeds it clicks; nothing here touches the saved values until OK.
#pragma once
#include <string>
#include <vector>

#include "desk/core/desk_records.h"
#include "uilib/core/vx_geom.h"

// Text of a rule row without a box, and the drop-down's first entry.
extern const char16_t kDeskNoTargetBox[];  // "(请选择目标分框)"

// What the settings centre reads when it opens and writes on OK (the AppGlobals fields).
struct DeskSettingsValues {
  bool autoStart = false;
  bool closePrompt = true;
  bool autoOrganize = false;
  std::u16string shortcutTarget, folderTarget, fileTarget;
};

enum DeskRuleRow { kRuleShortcut = 0, kRuleFolder = 1, kRuleFile = 2, kRuleRows = 3 };

// Names of the boxes of the saved table in record order; records without a name are left
// out.
std::vector<std::u16string> DeskSettingsBoxNames(const std::vector<GeziSaveData>& table);

class DeskSettingsModel {
 public:
  // A rule naming no box of `boxNames` (compared as box names are) opens empty.
  DeskSettingsModel(const DeskSettingsValues& saved, std::vector<std::u16string> boxNames);

  bool autoStart = false, closePrompt = false, autoOrganize = false;  // the check boxes

  int tab() const { return tab_; }
  // False when `t` is already shown: nothing to hide, show or redraw.
  bool SelectTab(int t);

  const std::u16string& RuleValue(int row) const { return rules_[row]; }
  // What the row shows: its box, or "(请选择目标分框)".
  std::u16string RuleText(int row) const;

  // A click on a row makes it the only active one; the drop-down then selects ChoiceIndex.
  void ActivateRow(int row);
  int activeRow() const { return activeRow_; }
  // "(请选择目标分框)" first, then every box name.
  const std::vector<std::u16string>& Choices() const { return choices_; }
  int ChoiceIndex(int row) const;
  // The drop-down's selection for the active row: entry 0 clears the rule.
  void Choose(int index);

  // OK: the values to store. autoStart holds only when the Run value was written
  // (`runValueWritten`, from the caller's attempt with the autostart box ticked).
  DeskSettingsValues Commit(bool runValueWritten) const;

 private:
  int ChoiceIndexOf(const std::u16string& value) const;

  int tab_ = -1;
  int activeRow_ = -1;
  std::u16string rules_[kRuleRows];
  std::vector<std::u16string> choices_;
};

// Where the drop-down goes beside a rule row (`row` in dialog coordinates, the dialog's
// top-left at `dialog` on screen): 140 left of the row's right edge, 2 below its top,
// 120 x 100.
VxRc DeskRuleDropDownRect(const VxRc& row, VxPt dialog);
