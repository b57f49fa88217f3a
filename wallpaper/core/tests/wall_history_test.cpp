#include "wallpaper/core/wall_history.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(WallHistory, SettingTheSameFileTwiceAddsOneEntry) {
  wall::WallHistory h;
  h.Append(L"C:\\w\\first00000.jpg");
  for (int i = 0; i < 2; ++i)
    if (!h.IsNewest(L"c:\\W\\a.jpg")) h.Append(L"C:\\w\\a.jpg");
  EXPECT_EQ(h.Entries().size(), 2u);
}

TEST(WallHistory, RestoreSkipsDeletedFiles) {
  wall::WallHistory h;
  for (const wchar_t* p : {L"a", L"b", L"c", L"d"}) h.Append(p);
  std::set<std::wstring> present{L"a", L"d"};
  auto exists = [&](const std::wstring& p) { return present.count(p) > 0; };
  EXPECT_TRUE(h.HasPrevious(exists));
  EXPECT_EQ(h.TakePrevious(exists), std::wstring(L"a"));
  EXPECT_EQ(h.Entries(), std::vector<std::wstring>{L"a"});
  EXPECT_FALSE(h.HasPrevious(exists));

  // All earlier files gone: they leave the history and nothing is set.
  wall::WallHistory gone;
  for (const wchar_t* p : {L"x", L"y", L"d"}) gone.Append(p);
  EXPECT_FALSE(gone.TakePrevious(exists));
  EXPECT_EQ(gone.Entries(), std::vector<std::wstring>{L"d"});
}

TEST(WallHistory, FileKeepsChinesePathsAndRefusesOthers) {
  wall::WallHistory h;
  h.Append(L"C:\\用户\\壁纸 1.jpg");
  h.Append(L"D:\\b.png");
  auto back = wall::WallHistory::Parse(h.Serialize());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Entries(), h.Entries());
  EXPECT_FALSE(wall::WallHistory::Parse("garbage"));
  EXPECT_EQ(wall::BackupName(L"C:\\my.dir\\wall"), L"");
  EXPECT_EQ(wall::BackupName(L"C:\\w\\sea.JPG"), L"first00000.JPG");
}

}  // namespace
