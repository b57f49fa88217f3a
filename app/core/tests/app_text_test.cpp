#include <gtest/gtest.h>

#include "app/core/app_text.h"

TEST(ConfigText, IntegersReadLikeTheSettingsFileExpects) {
  EXPECT_EQ(ConfigTextToInt(u"1"), 1);
  EXPECT_EQ(ConfigTextToInt(u"0"), 0);
  EXPECT_EQ(ConfigTextToInt(u"abc"), 0);
  EXPECT_EQ(ConfigTextToInt(u""), 0);
  EXPECT_EQ(ConfigTextToInt(u"  42"), 42);
  EXPECT_EQ(ConfigTextToInt(u"-7"), -7);
  EXPECT_EQ(ConfigTextToInt(u"12abc"), 12);
  EXPECT_EQ(ConfigTextToInt(u"+3"), 3);
  EXPECT_EQ(ConfigTextToInt(u"99999999999999999999"), 2147483647);
  EXPECT_EQ(ConfigTextToInt(u"-99999999999999999999"), -2147483647 - 1);
}

TEST(ConfigText, TrimAndCleaning) {
  EXPECT_EQ(TrimSpaces(u"  宁波 "), u"宁波");
  EXPECT_EQ(TrimSpaces(u"   "), u"");
  EXPECT_EQ(TrimSpaces(u"a b"), u"a b");
  // A value from outside must never add lines to the file.
  EXPECT_EQ(CleanConfigValue(u"宁波\r\n[SET]\r\nzlfile=x"), u"宁波[SET]zlfile=x");
  EXPECT_EQ(CleanConfigValue(u" 北京\n"), u"北京");
  EXPECT_EQ(CleanConfigValue(u"a\tb"), u"ab");
  EXPECT_EQ(CleanConfigValue(u"杭州"), u"杭州");
}

TEST(ConfigText, AutorunCommandAndFolder) {
  EXPECT_EQ(AutorunCommand(u"C:\\Program Files\\Vexlo\\Tessary.exe"),
            u"C:\\Program Files\\Vexlo\\Tessary.exe -autorun");
  std::u16string folder;
  ASSERT_TRUE(ProgramFolderOf(u"C:\\Vexlo\\Tessary.exe", &folder));
  EXPECT_EQ(folder, u"C:\\Vexlo");
  EXPECT_FALSE(ProgramFolderOf(u"Tessary.exe", &folder));
}

TEST(ConfigText, WeekdayNames) {
  EXPECT_EQ(WeekdayNameText(1), u"星期日");
  EXPECT_EQ(WeekdayNameText(2), u"星期一");
  EXPECT_EQ(WeekdayNameText(7), u"星期六");
  EXPECT_EQ(WeekdayNameText(0), u"");
  EXPECT_EQ(WeekdayNameText(8), u"");
}
