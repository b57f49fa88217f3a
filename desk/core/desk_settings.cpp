#include "desk/core/desk_settings.h"

#include "desk/core/desk_boxes.h"
#include "desk/core/desk_text.h"

const char16_t kDeskNoTargetBox[] = u"(请选择目标分框)";

std::vector<std::u16string> DeskSettingsBoxNames(const std::vector<GeziSaveData>& table) {
  std::vector<std::u16string> names;
  for (const GeziSaveData& record : table) {
    std::u16string name;
    if (DeskBoxNameFromPath(record.itemFile, &name)) names.push_back(std::move(name));
  }
  return names;
}

DeskSettingsModel::DeskSettingsModel(const DeskSettingsValues& saved,
                                     std::vector<std::u16string> boxNames)
    : autoStart(saved.autoStart), closePrompt(saved.closePrompt),
      autoOrganize(saved.autoOrganize) {
  choices_.reserve(boxNames.size() + 1);
  choices_.emplace_back(kDeskNoTargetBox);
  for (std::u16string& name : boxNames) choices_.push_back(std::move(name));
  const std::u16string* stored[kRuleRows] = {&saved.shortcutTarget, &saved.folderTarget,
                                             &saved.fileTarget};
  for (int row = 0; row < kRuleRows; ++row)
    if (ChoiceIndexOf(*stored[row]) > 0) rules_[row] = *stored[row];
  SelectTab(0);
}

int DeskSettingsModel::ChoiceIndexOf(const std::u16string& value) const {
  if (value.empty()) return 0;
  for (size_t i = 1; i < choices_.size(); ++i)
    if (DeskTextEqual(choices_[i], value)) return static_cast<int>(i);
  return 0;
}

bool DeskSettingsModel::SelectTab(int t) {
  if (t == tab_ || t < 0 || t > 1) return false;
  tab_ = t;
  activeRow_ = -1;  // rows go inactive and the drop-down closes with any tab change
  return true;
}

std::u16string DeskSettingsModel::RuleText(int row) const {
  return rules_[row].empty() ? std::u16string(kDeskNoTargetBox) : rules_[row];
}

void DeskSettingsModel::ActivateRow(int row) {
  if (row >= 0 && row < kRuleRows) activeRow_ = row;
}

int DeskSettingsModel::ChoiceIndex(int row) const { return ChoiceIndexOf(rules_[row]); }

void DeskSettingsModel::Choose(int index) {
  if (activeRow_ < 0 || index < 0 || index >= static_cast<int>(choices_.size())) return;
  rules_[activeRow_] = index == 0 ? std::u16string() : choices_[index];
}

DeskSettingsValues DeskSettingsModel::Commit(bool runValueWritten) const {
  DeskSettingsValues v;
  v.autoStart = autoStart && runValueWritten;
  v.closePrompt = closePrompt;
  v.autoOrganize = autoOrganize;
  v.shortcutTarget = rules_[kRuleShortcut];
  v.folderTarget = rules_[kRuleFolder];
  v.fileTarget = rules_[kRuleFile];
  return v;
}

VxRc DeskRuleDropDownRect(const VxRc& row, VxPt dialog) {
  const int x = row.right + dialog.x - 140, y = row.top + dialog.y + 2;
  return {x, y, x + 120, y + 100};
}
