#include <gtest/gtest.h>

#include "app/core/host_pages.h"

TEST(HostPages, TypesGiveTheirPageIdsAndWebPages) {
  const int ids[kHostPageTypes] = {-1, 5, 10, 20, 30, 40, 60, 50, 70};
  for (int type = 0; type < kHostPageTypes; ++type) EXPECT_EQ(HostPageIdOfType(type), ids[type]);
  EXPECT_EQ(HostPageIdOfType(9), kNoPageId);
  EXPECT_EQ(HostPageIdOfType(-1), kNoPageId);
  EXPECT_EQ(std::u16string(HostPageOfType(6)->path), u"/gouwu.html");
  EXPECT_EQ(HostPageOfType(8)->control, 1007);
}

TEST(HostPages, SlidesComeFromTheSideOfTheGreaterId) {
  // From the desk (5) to my sites (10): in from the right, the desk leaves to the left.
  EXPECT_EQ(HostSlideBetween(5, 10, 1920).incomingFrom, 1920);
  EXPECT_EQ(HostSlideBetween(5, 10, 1920).outgoingGoal, -1920);
  // To no page (-1): the desk leaves to the right.
  EXPECT_EQ(HostSlideBetween(5, kNoPageId, 1920).outgoingGoal, 1920);
  // Shopping (60) lies right of games (50) although its type is smaller.
  EXPECT_EQ(HostSlideBetween(HostPageIdOfType(7), HostPageIdOfType(6), 800).incomingFrom, 800);
}
