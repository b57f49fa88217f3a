#include <gtest/gtest.h>

#include "desk/core/pinyin.h"

TEST(DeskPinyin, InitialsOfCommonCharacters) {
  EXPECT_EQ(PinyinInitial(u'文'), u'W');
  EXPECT_EQ(PinyinInitial(u'件'), u'J');
  EXPECT_EQ(PinyinInitial(u'夹'), u'J');
  EXPECT_EQ(PinyinInitial(u'新'), u'X');
  EXPECT_EQ(PinyinInitial(u'建'), u'J');
  EXPECT_EQ(PinyinInitial(u'分'), u'F');
  EXPECT_EQ(PinyinInitial(u'类'), u'L');
  EXPECT_EQ(PinyinInitial(u'阿'), u'A');
  EXPECT_EQ(PinyinInitial(u'桌'), u'Z');
  EXPECT_EQ(PinyinInitial(u'面'), u'M');
  EXPECT_EQ(PinyinInitial(u'一'), u'Y');  // U+4E00, first of the table
  EXPECT_EQ(PinyinInitial(u'图'), u'T');
  EXPECT_EQ(PinyinInitial(u'片'), u'P');
  EXPECT_EQ(PinyinInitial(u'音'), u'Y');
  EXPECT_EQ(PinyinInitial(u'乐'), u'L');
  EXPECT_EQ(PinyinInitial(u'回'), u'H');
  EXPECT_EQ(PinyinInitial(u'收'), u'S');
  EXPECT_EQ(PinyinInitial(u'站'), u'Z');
}

TEST(DeskPinyin, EveryLetterOccurs) {
  // A table shifted by one character or cut short would lose letters or change these.
  std::u16string seen;
  for (char16_t u = 0x4E00; u <= 0x9FFF; ++u) {
    const char16_t i = PinyinInitial(u);
    if (i == u) continue;
    ASSERT_TRUE(i >= u'A' && i <= u'Z') << "U+" << std::hex << static_cast<int>(u);
    if (seen.find(i) == std::u16string::npos) seen.push_back(i);
  }
  // No standard reading starts with I, U or V.
  EXPECT_EQ(seen.size(), 23u);
  EXPECT_EQ(seen.find(u'I'), std::u16string::npos);
  EXPECT_EQ(seen.find(u'V'), std::u16string::npos);
  EXPECT_EQ(PinyinInitial(u'\u9FA5'), u'\u9FA5');  // no reading in the dictionary
}

TEST(DeskPinyin, OtherUnits) {
  EXPECT_EQ(PinyinInitial(u'a'), u'A');
  EXPECT_EQ(PinyinInitial(u'z'), u'Z');
  EXPECT_EQ(PinyinInitial(u'Q'), u'Q');
  EXPECT_EQ(PinyinInitial(u'7'), u'7');
  EXPECT_EQ(PinyinInitial(u'_'), u'_');
  EXPECT_EQ(PinyinInitial(u'，'), u'，');
  EXPECT_EQ(PinyinInitial(u'\u3400'), u'\u3400');
  EXPECT_EQ(PinyinInitial(u'\xD840'), u'\xD840');  // half of a surrogate pair
  EXPECT_EQ(PinyinInitial(u'\uFFFF'), u'\uFFFF');
}

TEST(DeskPinyin, KeyAndCompare) {
  EXPECT_EQ(PinyinKey(u"新建分类(1)"), u"xjfl(1)");
  EXPECT_EQ(PinyinKey(u"QQ音乐"), u"qqyl");
  EXPECT_LT(PinyinCompare(u"Video", u"文件"), 0);   // "video" < "wj"
  EXPECT_LT(PinyinCompare(u"文件", u"Xbox"), 0);    // "wj" < "xbox"
  EXPECT_LT(PinyinCompare(u"文件", u"文件夹"), 0);  // prefix first
  EXPECT_EQ(PinyinCompare(u"文件", u"WJ"), 0);
  EXPECT_EQ(PinyinCompare(u"abc", u"ABC"), 0);
  EXPECT_GT(PinyinCompare(u"b", u"阿"), 0);
  // Lower-cased keys put '_' (0x5F) before letters.
  EXPECT_LT(PinyinCompare(u"_x", u"a"), 0);
}
