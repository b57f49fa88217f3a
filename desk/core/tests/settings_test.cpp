#include <gtest/gtest.h>

#include "desk/core/desk_settings.h"

TEST(SettingsCentre, RulesRowsOkAndCancel) {
  std::vector<GeziSaveData> table(3);
  table[0].itemFile = u"C:\\data\\文档";
  table[1].itemFile = u"nobackslash";  // no box
  table[2].itemFile = u"C:\\data\\软件";
  const std::vector<std::u16string> names = DeskSettingsBoxNames(table);
  ASSERT_EQ(names, (std::vector<std::u16string>{u"文档", u"软件"}));

  DeskSettingsValues saved;
  saved.autoStart = true;
  saved.shortcutTarget = u"软件";
  saved.folderTarget = u"旧分类";  // its box was removed
  const DeskSettingsValues before = saved;
  DeskSettingsModel m(saved, names);
  EXPECT_EQ(m.tab(), 0);
  EXPECT_EQ(m.RuleText(kRuleShortcut), u"软件");
  EXPECT_EQ(m.RuleText(kRuleFolder), u"(请选择目标分框)");
  EXPECT_EQ(m.RuleValue(kRuleFolder), u"");
  EXPECT_EQ(m.Choices(), (std::vector<std::u16string>{u"(请选择目标分框)", u"文档", u"软件"}));

  EXPECT_TRUE(m.SelectTab(1));
  EXPECT_FALSE(m.SelectTab(1));
  m.ActivateRow(kRuleShortcut);
  EXPECT_EQ(m.ChoiceIndex(kRuleShortcut), 2);
  m.Choose(0);  // "(请选择目标分框)" clears the rule
  EXPECT_EQ(m.RuleValue(kRuleShortcut), u"");
  m.ActivateRow(kRuleFile);
  m.Choose(1);
  m.autoStart = true;
  m.autoOrganize = true;
  EXPECT_EQ(m.activeRow(), kRuleFile);
  EXPECT_TRUE(m.SelectTab(0));
  EXPECT_EQ(m.activeRow(), -1);
  m.Choose(2);  // no active row: nothing changes

  // Cancel is not calling Commit: the saved values are what they were.
  EXPECT_EQ(saved.folderTarget, before.folderTarget);
  const DeskSettingsValues ok = m.Commit(false);  // the Run value could not be written
  EXPECT_FALSE(ok.autoStart);
  EXPECT_TRUE(ok.autoOrganize);
  EXPECT_EQ(ok.shortcutTarget, u"");
  EXPECT_EQ(ok.folderTarget, u"");
  EXPECT_EQ(ok.fileTarget, u"文档");
  EXPECT_TRUE(m.Commit(true).autoStart);

  EXPECT_EQ(DeskRuleDropDownRect(VxRc{177, 197, 377, 221}, VxPt{500, 300}),
            (VxRc{737, 499, 857, 599}));
  DeskSettingsModel empty(DeskSettingsValues{}, {});
  EXPECT_EQ(empty.Choices().size(), 1u);
}
