#include <gtest/gtest.h>

#include "app/core/new_item_rules.h"

TEST(NewItemRules, SkippedClasses) {
  EXPECT_TRUE(NewItemClassSkipped(u".lnk"));
  EXPECT_TRUE(NewItemClassSkipped(u"Folder"));
  EXPECT_TRUE(NewItemClassSkipped(u".library-ms"));
  EXPECT_TRUE(NewItemClassSkipped(u".JNT"));
  EXPECT_FALSE(NewItemClassSkipped(u".txt"));
  EXPECT_FALSE(NewItemClassSkipped(u".lnkx"));
}

TEST(NewItemRules, CommandSplitsAfterTheQuotedProgram) {
  std::u16string program, args;
  ASSERT_TRUE(SplitNewItemCommand(u"\"%programFiles%\\Windows Journal\\Journal.exe\" -n \"%1\"",
                                  u"C:\\Program Files", u"C:\\Users\\me\\Desktop", &program, &args));
  EXPECT_EQ(program, u"\"C:\\Program Files\\Windows Journal\\Journal.exe\"");
  EXPECT_EQ(args, u"-n \"C:\\Users\\me\\Desktop\"");
  ASSERT_TRUE(SplitNewItemCommand(u"\"C:\\a.EXE\"", u"", u"D", &program, &args));
  EXPECT_EQ(program, u"\"C:\\a.EXE\"");
  EXPECT_EQ(args, u"");
  // An unquoted program is not built.
  EXPECT_FALSE(SplitNewItemCommand(u"C:\\a.exe %1", u"", u"D", &program, &args));
  EXPECT_FALSE(SplitNewItemCommand(u"", u"", u"D", &program, &args));
}

TEST(NewItemRules, DisplayNames) {
  EXPECT_EQ(NewItemDisplayName(u"Text Document"), u"文本文档");
  EXPECT_EQ(NewItemDisplayName(u"Bitmap Image"), u"Bitmap Image");
}
