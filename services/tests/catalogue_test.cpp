#include "catalogue.h"

#include <gtest/gtest.h>

using namespace vx::svc;

namespace {

std::vector<WallpaperPic> Pics(int type, int n) {
  std::vector<WallpaperPic> v;
  for (int i = 0; i < n; ++i) {
    const std::string name = std::to_string(type) + "-" + std::to_string(i) + ".jpg";
    v.push_back({"s/" + name, "b/" + name});
  }
  return v;
}

}  // namespace

TEST(Catalogue, PagesRoundUpToWholeListsOfEight) {
  EXPECT_EQ(WallpaperCatalogue::Pages(0), 0);
  EXPECT_EQ(WallpaperCatalogue::Pages(1), 1);
  EXPECT_EQ(WallpaperCatalogue::Pages(8), 1);
  EXPECT_EQ(WallpaperCatalogue::Pages(9), 2);
  EXPECT_EQ(WallpaperCatalogue::Pages(32), 4);
  EXPECT_EQ(WallpaperCatalogue::Pages(41), 6);
}

TEST(Catalogue, EveryListHasExactlyEightAndTheLastWrapsRound) {
  const auto pics = Pics(37, 11);
  const auto first = WallpaperCatalogue::List(pics, 1);
  const auto second = WallpaperCatalogue::List(pics, 2);
  ASSERT_EQ(first.size(), 8u);
  ASSERT_EQ(second.size(), 8u);
  EXPECT_EQ(first[0].bigpic, pics[0].bigpic);
  EXPECT_EQ(first[7].bigpic, pics[7].bigpic);
  EXPECT_EQ(second[2].bigpic, pics[10].bigpic);
  EXPECT_EQ(second[3].bigpic, pics[0].bigpic);
  EXPECT_EQ(second[7].bigpic, pics[4].bigpic);
}

TEST(Catalogue, ListsOutsideTheCatalogueAreEmpty) {
  const auto pics = Pics(37, 16);
  EXPECT_TRUE(WallpaperCatalogue::List(pics, 0).empty());
  EXPECT_TRUE(WallpaperCatalogue::List(pics, -1).empty());
  EXPECT_TRUE(WallpaperCatalogue::List(pics, 3).empty());
  EXPECT_EQ(WallpaperCatalogue::List(pics, 2).size(), 8u);
  EXPECT_TRUE(WallpaperCatalogue::List({}, 1).empty());
}

TEST(Catalogue, HotListTakesEachCategoryInTurn) {
  std::map<int, std::vector<WallpaperPic>> byType = {{37, Pics(37, 3)}, {38, Pics(38, 1)}, {43, Pics(43, 2)}};
  const auto cat = WallpaperCatalogue::FromPictures(byType);
  const auto* hot = cat.Pictures(kHotType);
  ASSERT_NE(hot, nullptr);
  ASSERT_EQ(hot->size(), 6u);
  // Category order of the wallpaper program: 37, 38, ... 43.
  EXPECT_EQ((*hot)[0].bigpic, byType[37][0].bigpic);
  EXPECT_EQ((*hot)[1].bigpic, byType[38][0].bigpic);
  EXPECT_EQ((*hot)[2].bigpic, byType[43][0].bigpic);
  EXPECT_EQ((*hot)[3].bigpic, byType[37][1].bigpic);
  EXPECT_EQ((*hot)[4].bigpic, byType[43][1].bigpic);
  EXPECT_EQ((*hot)[5].bigpic, byType[37][2].bigpic);
  EXPECT_EQ(cat.Pictures(99), nullptr);
}

TEST(Catalogue, TypesAreTheWallpaperProgramsTabs) {
  EXPECT_EQ(WallpaperCatalogue::Types(), (std::vector<int>{-1, 37, 38, 47, 50, 49, 39, 42, 41, 43}));
}

TEST(Catalogue, BuiltContentHasEveryTypeWithThumbnails) {
  std::string error;
  auto cat = WallpaperCatalogue::Scan(VX_SVC_CONTENT, &error);
  ASSERT_TRUE(cat.has_value()) << error;
  for (int type : WallpaperCatalogue::Types()) {
    const auto* pics = cat->Pictures(type);
    ASSERT_NE(pics, nullptr) << type;
    // Enough for the strip of a screen up to 2000 pixels wide (four lists).
    EXPECT_GE(pics->size(), 32u) << type;
  }
}

TEST(Catalogue, ParseDecimalIsStrict) {
  EXPECT_EQ(ParseDecimal("37"), 37);
  EXPECT_EQ(ParseDecimal("-1"), -1);
  EXPECT_EQ(ParseDecimal("0"), 0);
  EXPECT_EQ(ParseDecimal("999999999"), 999999999);
  for (const char* bad : {"", "-", "+1", "1.5", " 1", "1 ", "0x10", "1e3", "abc", "1234567890", "--1", "3a"})
    EXPECT_FALSE(ParseDecimal(bad).has_value()) << bad;
}
