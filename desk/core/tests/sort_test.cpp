#include <gtest/gtest.h>

#include "desk/core/desk_records.h"
#include "desk/core/desk_sort.h"

namespace {

DeskSortEntry E(int kind, const std::u16string& name, const std::u16string& path = u"",
                uint64_t time = 0, uint32_t size = 0) {
  DeskSortEntry e;
  e.kind = kind;
  e.displayName = name;
  e.parseName = path;
  e.lastWrite = time;
  e.size = size;
  return e;
}

std::vector<std::u16string> Names(const std::vector<DeskSortEntry>& entries,
                                  const std::vector<size_t>& order) {
  std::vector<std::u16string> names;
  for (size_t i : order) names.push_back(entries[i].displayName);
  return names;
}

using N = std::vector<std::u16string>;

}  // namespace

TEST(DeskSort, DirectionFlagsFlipOnEachUse) {
  DeskSortDirections dirs;
  for (int k = 0; k < 4; ++k) EXPECT_EQ(dirs.Peek(static_cast<DeskSortKey>(k)), 1);
  EXPECT_EQ(dirs.Take(kDeskSortName), 1);
  EXPECT_EQ(dirs.Take(kDeskSortName), 0);
  EXPECT_EQ(dirs.Take(kDeskSortName), 1);
  EXPECT_EQ(dirs.Peek(kDeskSortName), 0);
  EXPECT_EQ(dirs.Peek(kDeskSortTime), 1);
  EXPECT_EQ(dirs.Take(kDeskSortSize), 1);
  EXPECT_EQ(dirs.Peek(kDeskSortSize), 0);
  EXPECT_EQ(dirs.Peek(kDeskSortType), 1);
}

TEST(DeskSort, MixedChineseAndLatinByInitials) {
  const std::vector<DeskSortEntry> files = {
      E(KIND_FILE, u"Xbox"), E(KIND_FILE, u"文件"), E(KIND_FILE, u"报告"),
      E(KIND_FILE, u"apple"), E(KIND_FILE, u"Video"), E(KIND_FILE, u"照片"),
      E(KIND_FILE, u"Bz")};
  // apple, bg (报告), bz, video, wj (文件), xbox, zp (照片)
  EXPECT_EQ(Names(files, DeskSortOrder(files, kDeskSortName, 1)),
            (N{u"apple", u"报告", u"Bz", u"Video", u"文件", u"Xbox", u"照片"}));
}

TEST(DeskSort, NameTwiceGivesAscendingThenDescending) {
  const std::vector<DeskSortEntry> list = {
      E(KIND_SHORTCUT, u"微信"), E(KIND_FOLDER, u"项目"), E(KIND_FILE, u"说明.txt"),
      E(KIND_SPECIAL, u"回收站"), E(KIND_FOLDER, u"资料"), E(KIND_FILE, u"Alpha")};
  DeskSortDirections dirs;
  const std::vector<size_t> up = DeskSortOrder(list, kDeskSortName, dirs.Take(kDeskSortName));
  // Special items, then folders, then shortcuts and files together by name.
  EXPECT_EQ(Names(list, up), (N{u"回收站", u"项目", u"资料", u"Alpha", u"说明.txt", u"微信"}));
  const std::vector<size_t> down =
      DeskSortOrder(list, kDeskSortName, dirs.Take(kDeskSortName));
  EXPECT_EQ(Names(list, down), (N{u"微信", u"说明.txt", u"Alpha", u"资料", u"项目", u"回收站"}));
}

TEST(DeskSort, TimeKey) {
  const std::vector<DeskSortEntry> list = {
      E(KIND_FILE, u"c", u"", 300), E(KIND_FOLDER, u"b", u"", 50), E(KIND_FILE, u"a", u"", 100),
      E(KIND_FOLDER, u"a", u"", 200), E(KIND_SHORTCUT, u"z", u"", 200),
      E(KIND_SPECIAL, u"s", u"", 999)};
  EXPECT_EQ(Names(list, DeskSortOrder(list, kDeskSortTime, 1)),
            (N{u"s", u"b", u"a", u"a", u"z", u"c"}));
  // Folders by time: b (50) then a (200); the file a (100) before the shortcut z (200).
  const std::vector<size_t> order = DeskSortOrder(list, kDeskSortTime, 1);
  EXPECT_EQ(order[1], 1u);
  EXPECT_EQ(order[2], 3u);
  EXPECT_EQ(order[3], 2u);
  EXPECT_EQ(Names(list, DeskSortOrder(list, kDeskSortTime, 0)),
            (N{u"c", u"z", u"a", u"a", u"b", u"s"}));
}

TEST(DeskSort, SpecialItemsIgnoreTime) {
  const std::vector<DeskSortEntry> list = {E(KIND_SPECIAL, u"b", u"", 1),
                                           E(KIND_SPECIAL, u"a", u"", 2)};
  EXPECT_EQ(Names(list, DeskSortOrder(list, kDeskSortTime, 1)), (N{u"a", u"b"}));
}

TEST(DeskSort, SizeKey) {
  const std::vector<DeskSortEntry> list = {
      E(KIND_FILE, u"big", u"", 0, 5000), E(KIND_FOLDER, u"f", u"", 0, 0),
      E(KIND_FILE, u"missing", u"", 0, 0), E(KIND_SHORTCUT, u"lnk", u"", 0, 1200),
      E(KIND_FILE, u"same1", u"", 0, 1200)};
  EXPECT_EQ(Names(list, DeskSortOrder(list, kDeskSortSize, 1)),
            (N{u"f", u"missing", u"lnk", u"same1", u"big"}));
  EXPECT_EQ(Names(list, DeskSortOrder(list, kDeskSortSize, 0)),
            (N{u"big", u"lnk", u"same1", u"missing", u"f"}));
}

TEST(DeskSort, TypeKeyOrdersFilesByExtensionInTheirPlaces) {
  const std::vector<DeskSortEntry> list = {
      E(KIND_FILE, u"b.txt", u"C:\\d\\b.txt"), E(KIND_FOLDER, u"dir", u"C:\\d\\dir"),
      E(KIND_SHORTCUT, u"QQ", u"C:\\d\\QQ.lnk"), E(KIND_FILE, u"a.TXT", u"C:\\d\\a.TXT"),
      E(KIND_FILE, u"noext", u"C:\\d\\noext"), E(KIND_FILE, u"c.doc", u"C:\\d\\c.doc")};
  // By name: dir | a.TXT b.txt c.doc noext QQ; then by extension: "" doc lnk txt txt.
  EXPECT_EQ(Names(list, DeskSortOrder(list, kDeskSortType, 1)),
            (N{u"dir", u"noext", u"c.doc", u"QQ", u"a.TXT", u"b.txt"}));
  // Descending: by name QQ noext c.doc b.txt a.TXT | dir; then txt txt lnk doc "".
  EXPECT_EQ(Names(list, DeskSortOrder(list, kDeskSortType, 0)),
            (N{u"b.txt", u"a.TXT", u"QQ", u"c.doc", u"noext", u"dir"}));
}

TEST(DeskSort, OutOfOrderPairs) {
  const DeskSortEntry folder = E(KIND_FOLDER, u"z");
  const DeskSortEntry file = E(KIND_FILE, u"a");
  EXPECT_FALSE(DeskSortOutOfOrder(folder, file, kDeskSortName, 1));
  EXPECT_TRUE(DeskSortOutOfOrder(file, folder, kDeskSortName, 1));
  EXPECT_TRUE(DeskSortOutOfOrder(folder, file, kDeskSortName, 0));
  const DeskSortEntry same = E(KIND_FILE, u"A");
  EXPECT_FALSE(DeskSortOutOfOrder(file, same, kDeskSortName, 1));
  EXPECT_FALSE(DeskSortOutOfOrder(file, same, kDeskSortName, 0));
  EXPECT_TRUE(
      DeskSortOutOfOrder(E(KIND_FOLDER, u"a"), E(KIND_SPECIAL, u"b"), kDeskSortName, 1));
}

TEST(DeskSort, EmptyAndSingle) {
  EXPECT_TRUE(DeskSortOrder({}, kDeskSortName, 1).empty());
  EXPECT_EQ(DeskSortOrder({E(KIND_FILE, u"x")}, kDeskSortType, 0), std::vector<size_t>{0});
}

TEST(DeskSort, Extension) {
  EXPECT_EQ(DeskExtension(u"C:\\d\\a.b.txt"), u"txt");
  EXPECT_EQ(DeskExtension(u"C:\\d\\noext"), u"");
  EXPECT_EQ(DeskExtension(u"C:\\d\\end."), u"");
}
