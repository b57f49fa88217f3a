#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "desk/core/desk_boxes.h"
#include "desk/core/desk_text.h"

namespace {

GeziSaveData Record(int32_t l, int32_t t, int32_t r, int32_t b, const std::u16string& path) {
  GeziSaveData g;
  g.left = l;
  g.top = t;
  g.right = r;
  g.bottom = b;
  g.itemFile = path;
  return g;
}

}  // namespace

TEST(DeskNames, SafeNames) {
  const char16_t* ok[] = {u"文件", u"新建分类(1)", u"a.b", u"CONSOLE", u"COM10", u"con2",
                          u"LPT", u".hidden", u" lead", u"50%"};
  for (size_t i = 0; i < sizeof ok / sizeof ok[0]; ++i)
    EXPECT_TRUE(DeskIsSafeFileName(ok[i])) << "safe name #" << i;
  const char16_t* bad[] = {u"", u"a\\b", u"a/b", u"a:b", u"a*", u"a?", u"\"q\"", u"<a>",
                           u"a|b", u"CON", u"con", u"Nul.txt", u"aux .x", u"COM1",
                           u"lpt9.doc", u"COM\u00B9", u"LPT0", u"end.", u"end ", u".",
                           u"..", u"tab\t"};
  for (size_t i = 0; i < sizeof bad / sizeof bad[0]; ++i)
    EXPECT_FALSE(DeskIsSafeFileName(bad[i])) << "unsafe name #" << i;
}

TEST(DeskNames, SafeNamesMapToThemselves) {
  for (const char16_t* name : {u"文件夹", u"文件", u"新建分类", u"新建分类(1)", u"Work 2024",
                               u"100%", u"a%b", u"%zz00"})
    EXPECT_EQ(DeskBoxFileName(name), name);
}

TEST(DeskNames, UnsafeNamesAreEscaped) {
  EXPECT_EQ(DeskBoxFileName(u"a:b"), u"a%003Ab");
  EXPECT_EQ(DeskBoxFileName(u"工作/学习"), u"工作%002F学习");
  EXPECT_EQ(DeskBoxFileName(u"CON"), u"%0043ON");
  EXPECT_EQ(DeskBoxFileName(u"nul.txt"), u"%006Eul.txt");
  EXPECT_EQ(DeskBoxFileName(u"end."), u"end%002E");
  EXPECT_EQ(DeskBoxFileName(u"end "), u"end%0020");
  EXPECT_EQ(DeskBoxFileName(u"50%?"), u"50%0025%003F");
  EXPECT_EQ(DeskBoxFileName(u""), u"%0000");
  // A safe name that already reads as an escape is escaped itself, or it would meet "a:b".
  EXPECT_EQ(DeskBoxFileName(u"a%003Ab"), u"a%0025003Ab");
  EXPECT_EQ(DeskBoxFileName(u"a%003ab"), u"a%0025003ab");
}

TEST(DeskNames, EscapedNamesAreSafeAndRoundTrip) {
  const std::u16string names[] = {u"a:b",  u"CON",      u"com3.x", u"a.",     u"a ",
                                  u"",     u"?",        u"..",     u"a%003Ab", u"%0000",
                                  u"x|y|z", u"LPT\u00B2", u"Aux  .txt", u"q\x01"};
  for (const std::u16string& n : names) {
    const std::u16string f = DeskBoxFileName(n);
    EXPECT_TRUE(DeskIsSafeFileName(f));
    EXPECT_EQ(DeskBoxNameFromFileName(f), n);
    // Mapping is stable.
    EXPECT_EQ(DeskBoxFileName(n), f);
  }
}

TEST(DeskNames, DistinctNamesGiveDistinctFilesIgnoringCase) {
  const std::u16string names[] = {u"a:b",    u"a%003Ab", u"a%003ab", u"a%003AB", u"A:b",
                                  u"ab",     u"a%b",     u"a%0025b", u"a%25b",   u"CON",
                                  u"%0043ON", u"c0N",    u"end.",    u"end%002E", u"end",
                                  u"",       u"%0000",   u"%",       u"文件",    u"文件."};
  std::set<std::u16string> folded;
  std::set<std::u16string> foldedNames;
  for (const std::u16string& n : names) {
    foldedNames.insert(DeskFoldCase(n));
    folded.insert(DeskFoldCase(DeskBoxFileName(n)));
  }
  EXPECT_EQ(folded.size(), foldedNames.size());
}

TEST(DeskNames, LegacyNamesDecodeAsThemselves) {
  EXPECT_EQ(DeskBoxNameFromFileName(u"50%off"), u"50%off");
  EXPECT_EQ(DeskBoxNameFromFileName(u"%12"), u"%12");
  EXPECT_EQ(DeskBoxNameFromFileName(u"文件夹"), u"文件夹");
}

TEST(DeskNames, NameFromPath) {
  std::u16string name;
  ASSERT_TRUE(DeskBoxNameFromPath(u"C:\\VuZiro\\文件", &name));
  EXPECT_EQ(name, u"文件");
  ASSERT_TRUE(DeskBoxNameFromPath(u"C:\\VuZiro\\a%003Ab", &name));
  EXPECT_EQ(name, u"a:b");
  // Text that only looks like an escape is the name itself: a table written without the
  // mapping holds names as they are.
  ASSERT_TRUE(DeskBoxNameFromPath(u"C:\\VuZiro\\促销%4E00", &name));
  EXPECT_EQ(name, u"促销%4E00");
  ASSERT_TRUE(DeskBoxNameFromPath(u"C:\\VuZiro\\促销%00254E00", &name));
  EXPECT_EQ(name, u"促销%4E00");
  ASSERT_TRUE(DeskBoxNameFromPath(u"C:\\VuZiro\\a%003ab", &name));
  EXPECT_EQ(name, u"a%003ab");  // not the mapping's own spelling of "a:b"
  ASSERT_TRUE(DeskBoxNameFromPath(u"x\\", &name));
  EXPECT_EQ(name, u"");
  name = u"unchanged";
  EXPECT_FALSE(DeskBoxNameFromPath(u"noslash", &name));
  EXPECT_FALSE(DeskBoxNameFromPath(u"\\onlyleading", &name));
  EXPECT_FALSE(DeskBoxNameFromPath(u"", &name));
  EXPECT_EQ(name, u"unchanged");
}

TEST(DeskBoxes, TableWithoutBackslashRecordIsSkipped) {
  const VxRc page{0, 40, 1920, 1040};
  std::vector<GeziSaveData> table = {
      Record(1655, 32, 1915, 432, u"C:\\VuZiro\\文件夹"),
      Record(0, 0, 10, 10, u"broken"),
      Record(10, 20, 270, 338, u"C:\\VuZiro\\新建分类"),
  };
  table[0].iconView = 1;
  table[2].iconView = 0;
  table[2].fixedPos = 1;
  const std::vector<DeskBox> boxes = DeskBoxesFromTable(table, page);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].name, u"文件夹");
  EXPECT_EQ(boxes[0].rect, (VxRc{1655, 72, 1915, 472}));
  EXPECT_EQ(boxes[0].listType, kDeskBoxIcons);
  EXPECT_EQ(boxes[0].fixedPos, 0);
  EXPECT_EQ(boxes[0].itemFile, u"C:\\VuZiro\\文件夹");
  EXPECT_EQ(boxes[1].name, u"新建分类");
  EXPECT_EQ(boxes[1].listType, kDeskBoxRows);
  EXPECT_EQ(boxes[1].fixedPos, 1);
}

TEST(DeskBoxes, PositionsFollowThePageCorner) {
  DeskBox box;
  box.name = u"文件";
  box.rect = VxRc{1655, 477, 1915, 1035};
  box.listType = kDeskBoxRows;
  box.fixedPos = 1;
  GeziSaveData rec;
  ASSERT_TRUE(DeskBoxToRecord(box, VxRc{0, 40, 1920, 1040}, u"C:\\VuZiro\\", &rec));
  EXPECT_EQ(rec.left, 1655);
  EXPECT_EQ(rec.top, 437);
  EXPECT_EQ(rec.right, 1915);
  EXPECT_EQ(rec.bottom, 995);
  EXPECT_EQ(rec.iconView, 0);
  EXPECT_EQ(rec.fixedPos, 1);
  EXPECT_EQ(rec.itemFile, u"C:\\VuZiro\\文件");
  // The same record on a page that moved keeps the box at the same place on the page.
  const std::vector<DeskBox> moved = DeskBoxesFromTable({rec}, VxRc{100, 0, 2020, 1000});
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0].rect, (VxRc{1755, 437, 2015, 995}));
  EXPECT_EQ(moved[0].listType, kDeskBoxRows);
}

// Found by fuzzing: offsets near the int limits made the page sum overflow.
TEST(DeskBoxes, ExtremeOffsetsWrapAndSaveBackUnchanged) {
  GeziSaveData rec;
  rec.left = INT32_MAX;
  rec.top = INT32_MIN;
  rec.right = INT32_MAX;
  rec.bottom = -5;
  rec.itemFile = u"C:\\VuZiro\\文件";
  const VxRc page{-1920, 40, 0, 1040};
  const std::vector<DeskBox> boxes = DeskBoxesFromTable({rec}, page);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rect.left, INT32_MAX - 1920);
  EXPECT_EQ(boxes[0].rect.top, INT32_MIN + 40);
  GeziSaveData back;
  ASSERT_TRUE(DeskBoxToRecord(boxes[0], page, u"C:\\VuZiro\\", &back));
  EXPECT_EQ(back.left, rec.left);
  EXPECT_EQ(back.top, rec.top);
  EXPECT_EQ(back.right, rec.right);
  EXPECT_EQ(back.bottom, rec.bottom);
  const std::vector<DeskBox> pushed = DeskBoxesFromTable({rec}, VxRc{10, -10, 1930, 1030});
  ASSERT_EQ(pushed.size(), 1u);
  EXPECT_EQ(pushed[0].rect.left, INT32_MIN + 9);
  EXPECT_EQ(pushed[0].rect.top, INT32_MAX - 9);
}

TEST(DeskBoxes, UnsafeBoxNameSurvivesSaveAndLoad) {
  DeskBox box;
  box.name = u"照片: 2024?";
  GeziSaveData rec;
  ASSERT_TRUE(DeskBoxToRecord(box, VxRc{}, u"C:\\VuZiro\\", &rec));
  EXPECT_EQ(rec.itemFile, u"C:\\VuZiro\\照片%003A 2024%003F");
  EXPECT_EQ(rec.iconView, 1);
  const std::vector<DeskBox> back = DeskBoxesFromTable({rec}, VxRc{});
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].name, box.name);
}

TEST(DeskBoxes, RecordPathTooLongIsRefused) {
  const std::u16string folder = u"C:\\VuZiro\\data\\";
  DeskBox box;
  box.name = std::u16string(261 - folder.size(), u'n');
  GeziSaveData rec;
  rec.itemFile = u"kept";
  EXPECT_FALSE(DeskBoxToRecord(box, VxRc{}, folder, &rec));
  EXPECT_EQ(rec.itemFile, u"kept");
  box.name.pop_back();
  ASSERT_TRUE(DeskBoxToRecord(box, VxRc{}, folder, &rec));
  EXPECT_EQ(rec.itemFile.size(), 260u);
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(EncodeGeziSaveData(rec, &bytes));
}

TEST(DeskBoxes, TableHasBoxName) {
  const std::vector<GeziSaveData> table = {Record(0, 0, 0, 0, u"C:\\VuZiro\\文件"),
                                           Record(0, 0, 0, 0, u"C:\\VuZiro\\Work%003A1"),
                                           Record(0, 0, 0, 0, u"nobox")};
  EXPECT_TRUE(DeskTableHasBoxName(table, u"文件"));
  EXPECT_TRUE(DeskTableHasBoxName(table, u"work:1"));
  EXPECT_FALSE(DeskTableHasBoxName(table, u"文件夹"));
  EXPECT_FALSE(DeskTableHasBoxName(table, u"nobox"));
  EXPECT_FALSE(DeskTableHasBoxName({}, u"文件"));
}

TEST(DeskBoxes, UniqueNames) {
  std::vector<std::u16string> taken;
  const std::u16string first = DeskUniqueBoxName(u"新建分类", taken);
  EXPECT_EQ(first, u"新建分类");
  taken.push_back(first);
  const std::u16string second = DeskUniqueBoxName(u"新建分类", taken);
  EXPECT_EQ(second, u"新建分类(1)");
  taken.push_back(second);
  EXPECT_EQ(DeskUniqueBoxName(u"新建分类", taken), u"新建分类(2)");
  // A gap is filled first.
  EXPECT_EQ(DeskUniqueBoxName(u"新建分类", {u"新建分类", u"新建分类(2)"}), u"新建分类(1)");
  EXPECT_EQ(DeskUniqueBoxName(u"Box", {u"box", u"BOX(1)"}), u"Box(2)");
  EXPECT_EQ(DeskUniqueBoxName(u"文件", {u"文件夹"}), u"文件");
  std::vector<std::u16string> many = {u"x"};
  for (int i = 1; i <= 11; ++i) {
    std::u16string name = u"x(";
    for (char c : std::to_string(i)) name.push_back(static_cast<char16_t>(c));
    many.push_back(name + u")");
  }
  EXPECT_EQ(DeskUniqueBoxName(u"x", many), u"x(12)");
}

TEST(DeskText, FoldAndCompare) {
  EXPECT_TRUE(DeskTextEqual(u"ABC", u"abc"));
  EXPECT_TRUE(DeskTextEqual(u"Ärger", u"ärger"));
  EXPECT_TRUE(DeskTextEqual(u"ＡＢ", u"ａｂ"));
  EXPECT_TRUE(DeskTextEqual(u"ПРИВЕТ", u"привет"));
  EXPECT_FALSE(DeskTextEqual(u"文件", u"文件夹"));
  EXPECT_LT(DeskTextCompare(u"a", u"ab"), 0);
  EXPECT_GT(DeskTextCompare(u"B", u"a"), 0);
  EXPECT_EQ(DeskTextCompare(u"×", u"÷"), -1);  // U+00D7 is not a capital
  EXPECT_EQ(DeskFoldCase(u'\u00D7'), u'\u00D7');
}
