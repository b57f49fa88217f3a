#include <gtest/gtest.h>

#include "nav/core/nav_address.h"
#include "nav/core/nav_layout.h"
#include "nav/core/nav_text.h"

TEST(NavAddress, Normalisation) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"www.baidu.com", u"http://www.baidu.com/"},
      {u"www.baidu.com/news", u"http://www.baidu.com/news"},
      {u"http://www.sina.com.cn", u"http://www.sina.com.cn/"},
      {u"https://github.com", u"https://github.com/"},
      {u"HTTPS://GITHUB.COM", u"HTTPS://GITHUB.COM/"},
      {u"httpbin.org", u"http://httpbin.org/"},
      {u"  weibo.com  ", u"http://weibo.com/"},
      {u"例子.中国", u"http://例子.中国/"},
      {u"www.example.de", u"http://www.example.de"},
      {u"http://a.com/index.html", u"http://a.com/index.html"},
      {u"localhost", u"http://localhost"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NormalizeSiteAddress(c.first), c.second) << NavUtf16ToUtf8(c.first);
}

TEST(NavAddress, CaptureTarget) {
  EXPECT_TRUE(IsCaptureTarget(u"http://a.com/", u"http://a.com/"));
  EXPECT_TRUE(IsCaptureTarget(u"http://a.com/", u"http://a.com"));
  EXPECT_TRUE(IsCaptureTarget(u"http://a.com", u"http://a.com/"));
  EXPECT_TRUE(IsCaptureTarget(u"http://a.com/index.html", u"http://a.com/"));
  EXPECT_FALSE(IsCaptureTarget(u"http://ad.net/", u"http://a.com/"));
  EXPECT_FALSE(IsCaptureTarget(u"about:blank", u"http://a.com/"));
}

TEST(NavAddress, ThumbnailNamesAndCrop) {
  EXPECT_EQ(ThumbnailFolderName(2026, 12, 6), u"2026126");
  EXPECT_EQ(ThumbnailFileName(4000000000u), u"4000000000.jpg");
  EXPECT_EQ(CaptureSourceHeight(1720, 2000), 1136);
  EXPECT_EQ(CaptureSourceHeight(1720, 300), 300);
}

TEST(NavLayout, TilesAndPages) {
  // 1920 x 1040 work area: the block's left is 460, the tiles' top (1040 - 689) / 2 + 136.
  EXPECT_EQ(MyDaohangTileRect(0, 1920, 1040), (VxRc{460, 311, 710, 483}));
  EXPECT_EQ(MyDaohangTileRect(7, 1920, 1040), (VxRc{1210, 483, 1460, 655}));
  EXPECT_EQ(MyDaohangPositionAt(465, 400, 1920, 1040), -1);  // inside the 10-pixel rim
  EXPECT_EQ(MyDaohangPositionAt(1215 + 10, 500, 1920, 1040), 7);
  const VxRc tile = MyDaohangTileRect(0, 1920, 1040);
  EXPECT_EQ(MyDaohangTitleRect(tile), (VxRc{470, 443, 684, 473}));
  EXPECT_EQ(MyDaohangDeleteRect(tile), (VxRc{684, 443, 700, 473}));
  const TuijianLayout t = TuijianPageLayout(1920, 1040);
  EXPECT_EQ(t.top, (VxRc{460, 311, 1460, 471}));
  EXPECT_EQ(t.scrollBar, (VxRc{1440, 481, 1452, 817}));
  EXPECT_EQ(TuijianHtmlBrowserRect(1920, 1040), (VxRc{472, 314, 1447, 824}));
}
