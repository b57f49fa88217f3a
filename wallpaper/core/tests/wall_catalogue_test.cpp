#include "wallpaper/core/wall_catalogue.h"

#include <gtest/gtest.h>

#include "wallpaper/core/wall_strip.h"

namespace {

std::string ListOf(int n) {
  std::string body = "{\"lists\":[";
  for (int i = 0; i < n; ++i)
    body += std::string(i ? "," : "") + "{\"smallpic\":\"w/small/" + std::to_string(i) +
            ".jpg\",\"bigpic\":\"w/big/" + std::to_string(i) + ".jpg\"}";
  return body + "]}";
}

TEST(WallCatalogue, OnlyListsOfEightAddPictures) {
  std::vector<wall::ListEntry> out;
  EXPECT_EQ(wall::ParseList(ListOf(7), &out), wall::ListReply::kIgnored);
  EXPECT_EQ(wall::ParseList(ListOf(9), &out), wall::ListReply::kIgnored);
  EXPECT_TRUE(out.empty());
  ASSERT_EQ(wall::ParseList(ListOf(8), &out), wall::ListReply::kEight);
  EXPECT_EQ(out[7].bigpic, "w/big/7.jpg");
  EXPECT_EQ(wall::ParseList("{\"lists\":", &out), wall::ListReply::kBad);
  EXPECT_EQ(wall::ParseTotal("{\"pages\":\"4\"}"), 32);
  EXPECT_FALSE(wall::ParseTotal("{\"pages\":\"-4\"}"));
}

TEST(WallCatalogue, TabZeroAndStrangeTabsAskForHot) {
  EXPECT_EQ(wall::CountUrl("http://h/", wall::TypeForTab(0)), "http://h/get.php?name=wallpaper_nums&type=-1");
  EXPECT_EQ(wall::ListUrl("http://h/", wall::TypeForTab(9), 3), "http://h/get.php?name=wallpaper&type=43&list=3");
  EXPECT_EQ(wall::TypeForTab(1), 37);
  EXPECT_EQ(wall::TypeForTab(10), -1);
}

TEST(WallCatalogue, ExtentDecidesTheLists) {
  EXPECT_EQ(wall::ListsNeeded(0), 1);     // five pictures, one list
  EXPECT_EQ(wall::ListsNeeded(825), 1);
  EXPECT_EQ(wall::ListsNeeded(826), 2);   // ten pictures
  EXPECT_EQ(wall::ListsNeeded(3840), 4);  // 1920 wide: 25 pictures -> 32
  const auto more = wall::MissingLists(4, 3840 + 1920);
  EXPECT_EQ(more.first, 5);
  EXPECT_EQ(more.last, 5);
  EXPECT_EQ(wall::MissingLists(5, 3840).first, 0);
}

TEST(WallCatalogue, HostileServerPathsNameNoFile) {
  EXPECT_EQ(wall::SafeLeafName("wallpaper/37/small/a b.jpg"), "a b.jpg");
  const char* const hostile[] = {
      "x/..", "x/../../evil.jpg", "../x.jpg", "x/a\\..\\..\\evil.jpg", "x/C:evil.jpg",
      "C:/Windows/evil.jpg", "//server/share/evil.jpg", "/abs/evil.jpg", "x/\\\\?\\C:\\evil.jpg",
      "x/a.jpg:stream", "x/CON", "x/nul.jpg", "x/Com1.jpg", "x/LPT9", "x/evil.", "x/ ",
      "x/", "nofolder.jpg", "x/a\nb.jpg", "x/a|b.jpg", "x/a*.jpg"};
  for (const char* path : hostile) EXPECT_EQ(wall::SafeLeafName(path), "") << path;
}

TEST(WallStrip, ScrollStopsAtTheLeftEdge) {
  wall::ScrollState s{200, -1920};
  wall::ScrollTick t = wall::StepScroll(&s, 1920, 10000);
  EXPECT_EQ(s.offset, 50);
  t = wall::StepScroll(&s, 1920, 10000);
  EXPECT_EQ(s.offset, 0);
  EXPECT_TRUE(t.hideLeft && t.done);
  EXPECT_EQ(wall::PictureAt(wall::kStripLeft + wall::kCellWidth + 5, wall::kStripTop + 5, 0, 2), 1);
  EXPECT_EQ(wall::PictureAt(wall::kStripLeft + wall::kThumbWidth + 2, wall::kStripTop + 5, 0, 2), -1);
}

}  // namespace
