// The desk following the work area: shrinking, growing back, a change of resolution and many
// round trips, with boxes that keep their place relative to the page corner.
#include <gtest/gtest.h>

#include <vector>

#include "desk/core/desk_page.h"

namespace {

const VxRc kWide{0, 0, 1920, 1040};  // 1920 x 1080 with the taskbar below

bool Inside(const VxRc& r, const VxRc& page) {
  return r.left >= page.left && r.top >= page.top && r.right <= page.right &&
         r.bottom <= page.bottom;
}

// A desk's worth of boxes, shown on `page` where they want to be.
struct Desk {
  std::vector<DeskPlace> places;
  std::vector<VxRc> shown;
  VxRc page;

  explicit Desk(const VxRc& p, std::vector<VxRc> boxes) : shown(std::move(boxes)), page(p) {
    places.resize(shown.size());
  }
  void Follow(const VxRc& next) {
    for (size_t i = 0; i < shown.size(); ++i)
      shown[i] = DeskFollowPage(&places[i], shown[i], page, next);
    page = next;
  }
};

const std::vector<VxRc> kBoxes{
    {1655, 32, 1915, 432},     // folders, at the right edge
    {1655, 437, 1915, 1035},   // files, down to the bottom
    {300, 200, 560, 518},      // a user box in the middle
    {40, 700, 300, 1018},      // ... and one near the bottom-left
};

}  // namespace

TEST(DeskPage, ShownPlaceKeepsTheOffsetAndStaysInside) {
  const VxRc page{60, 0, 1340, 720};
  EXPECT_EQ(DeskShownPlace({10, 20, 270, 338}, page), (VxRc{70, 20, 330, 338}));
  EXPECT_EQ(DeskShownPlace({1655, 437, 1915, 1035}, page), (VxRc{1080, 122, 1340, 720}));
  // Larger than the page: cut to it, from its corner.
  EXPECT_EQ(DeskShownPlace({0, 0, 2000, 900}, page), (VxRc{60, 0, 1340, 720}));
  EXPECT_EQ(DeskShownPlace({-50, -10, 210, 308}, page), (VxRc{60, 0, 320, 318}));
}

TEST(DeskPage, ShrinkingKeepsEveryBoxInsideAndGrowingBringsThemBack) {
  Desk desk(kWide, kBoxes);
  const VxRc small{0, 0, 1024, 728};
  desk.Follow(small);
  for (const VxRc& r : desk.shown) EXPECT_TRUE(Inside(r, small));
  EXPECT_EQ(desk.shown[2], kBoxes[2]);  // fits: stays put
  EXPECT_EQ(desk.shown[0], (VxRc{764, 32, 1024, 432}));
  EXPECT_EQ(desk.places[1].want, kBoxes[1]);  // the wish survives the small page
  desk.Follow(kWide);
  EXPECT_EQ(desk.shown, kBoxes);
}

TEST(DeskPage, ResolutionChangeWithTheTaskbarMovedToTheLeft) {
  Desk desk(kWide, kBoxes);
  const VxRc left{62, 0, 1366, 768};
  desk.Follow(left);
  for (const VxRc& r : desk.shown) EXPECT_TRUE(Inside(r, left));
  // Relative to the new corner: the user box moved with it.
  EXPECT_EQ(desk.shown[2], (VxRc{362, 200, 622, 518}));
  EXPECT_EQ(desk.shown[3], (VxRc{102, 450, 362, 768}));
  desk.Follow(kWide);
  EXPECT_EQ(desk.shown, kBoxes);
}

TEST(DeskPage, TwentyRoundTripsEndExactlyWhereTheyStarted) {
  Desk desk(kWide, kBoxes);
  const VxRc pages[] = {{0, 0, 800, 600}, {0, 40, 1280, 800}, {100, 0, 1920, 1080}, {0, 0, 640, 480}};
  for (int trip = 0; trip < 20; ++trip) {
    const VxRc& other = pages[trip % 4];
    desk.Follow(other);
    for (const VxRc& r : desk.shown) ASSERT_TRUE(Inside(r, other)) << "trip " << trip;
    desk.Follow(kWide);
    ASSERT_EQ(desk.shown, kBoxes) << "trip " << trip;
  }
}

TEST(DeskPage, ABoxTheUserMovesOnTheSmallPageWantsItsNewPlace) {
  Desk desk(kWide, kBoxes);
  desk.Follow({0, 0, 1024, 728});
  desk.shown[0] = VxRc{100, 100, 360, 500};  // dragged while the page was small
  desk.Follow(kWide);
  EXPECT_EQ(desk.shown[0], (VxRc{100, 100, 360, 500}));
  EXPECT_EQ(desk.shown[1], kBoxes[1]);
}
