#include <gtest/gtest.h>

#include "uilib/core/vx_stats_sign.h"

TEST(StatsSign, EmptyMachineIdStaysBetweenSeparatorsAndUrlKeepsKeyOrder) {
  EXPECT_EQ(VxStatsSignText("x", "y", "", "1", "5"), "xAyAA1A5");
  EXPECT_EQ(VxStatsUrl("http://h/tongji", "x", "y", "1", "", "5", "k"),
            "http://h/tongji?op=x&ri=y&vs=1&mc=&tm=5&key=k");
  const unsigned char mac[6] = {0x00, 0x1A, 0x2b, 0xFF, 0x09, 0xa0};
  EXPECT_EQ(VxHardwareAddressText(mac, 6), "00-1A-2B-FF-09-A0");
  EXPECT_EQ(VxLowerHex(mac, 3), "001a2b");
}
