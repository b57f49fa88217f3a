#include <gtest/gtest.h>

#include "uilib/core/vx_item_math.h"

TEST(ButtonFrame, ThreeFrameVerticalStripShowsOneRowBandPerState) {
  // 30 x 90 strip: normal rows 0-29, hover 30-59, pressed 60-89.
  const int expectY[] = {0, 30, 60};
  for (int status = 0; status < 3; ++status) {
    const int k = VxButtonFrameIndex(3, status, false, true);
    const VxXYWH src = VxButtonFrameSource(30, 90, 3, k, true);
    EXPECT_EQ(src, (VxXYWH{0, expectY[status], 30, 30})) << "status " << status;
  }
}

TEST(ButtonFrame, ActiveFourFrameStripShowsActiveFrameExceptWhenPressed) {
  EXPECT_EQ(VxButtonFrameIndex(4, kVxNormal, true, true), 3);
  EXPECT_EQ(VxButtonFrameIndex(4, kVxMouseOn, true, true), 3);
  EXPECT_EQ(VxButtonFrameIndex(4, kVxMouseDown, true, true), 2);
  // Active means nothing to strips without an active frame.
  EXPECT_EQ(VxButtonFrameIndex(3, kVxNormal, true, true), 0);
  EXPECT_EQ(VxButtonFrameIndex(5, kVxMouseOn, true, true), 1);
}

TEST(ButtonFrame, DisabledUsesFrameFourOnlyInFiveFrameStrips) {
  for (int status = 0; status < 3; ++status) {
    EXPECT_EQ(VxButtonFrameIndex(5, status, false, false), 4);
    EXPECT_EQ(VxButtonFrameIndex(5, status, true, false), 4);
  }
  EXPECT_EQ(VxButtonFrameIndex(3, kVxNormal, false, false), 0);
  EXPECT_EQ(VxButtonFrameIndex(3, kVxMouseOn, false, false), 1);
}

TEST(ButtonFrame, OneAndTwoFrameStrips) {
  for (int status = 0; status < 3; ++status) EXPECT_EQ(VxButtonFrameIndex(1, status, false, true), 0);
  EXPECT_EQ(VxButtonFrameIndex(2, kVxNormal, false, true), 0);
  EXPECT_EQ(VxButtonFrameIndex(2, kVxMouseOn, false, true), 1);
  EXPECT_EQ(VxButtonFrameIndex(2, kVxMouseDown, false, true), 1);
}

TEST(ButtonFrame, HorizontalStripAndButtonHeightCrop) {
  EXPECT_EQ(VxButtonFrameSource(90, 30, 3, 2, false), (VxXYWH{60, 0, 30, 30}));
  // The button height crops each frame from its top and never moves the frame origin.
  EXPECT_EQ(VxButtonFrameSource(30, 90, 3, 1, true, 20), (VxXYWH{0, 30, 30, 20}));
  int w = 0, h = 0;
  VxButtonFrameSize(90, 30, 3, false, &w, &h);
  EXPECT_EQ(w, 30);
  EXPECT_EQ(h, 30);
  // A strip whose height is no multiple of the count uses integer frame offsets.
  EXPECT_EQ(VxButtonFrameSource(10, 100, 3, 2, true), (VxXYWH{0, 66, 10, 33}));
}

TEST(TextColour, AlphaIsClampedTo254AndColourKept) {
  EXPECT_EQ(VxClampTextAlpha(0xFF123456u), 0xFE123456u);
  EXPECT_EQ(VxClampTextAlpha(0xFE123456u), 0xFE123456u);
  EXPECT_EQ(VxClampTextAlpha(0x00FFFFFFu), 0x00FFFFFFu);
  EXPECT_EQ(VxClampTextAlpha(0x80000000u), 0x80000000u);
}

TEST(TextColour, UnsetHoverColourKeepsTheNormalColour) {
  const uint32_t normal = 0xFEFFFFFF, unset = 0x00FFFFFF, red = 0xFEFF0000, blue = 0xFE0000FF;
  EXPECT_EQ(VxCheckTextStateColor(kVxMouseOn, normal, unset, unset), normal);
  EXPECT_EQ(VxCheckTextStateColor(kVxMouseOn, normal, red, blue), red);
  EXPECT_EQ(VxCheckTextStateColor(kVxMouseDown, normal, red, blue), blue);
  EXPECT_EQ(VxCheckTextStateColor(kVxMouseDown, normal, red, unset), normal);
  EXPECT_EQ(VxCheckTextStateColor(kVxNormal, normal, red, blue), normal);
}

TEST(CheckBoxText, CentredOnTheButtonRowThenOffset) {
  // Button 16 wide, 16 high; text 12 high -> 2 pixels down; offsets move it further.
  VxPtF p = VxCheckTextOrigin(10, 20, 16, 16, 12.0f, 0, 0);
  EXPECT_FLOAT_EQ(p.x, 26.0f);
  EXPECT_FLOAT_EQ(p.y, 22.0f);
  p = VxCheckTextOrigin(10, 20, 16, 16, 12.0f, 3, 4);
  EXPECT_FLOAT_EQ(p.x, 30.0f);
  EXPECT_FLOAT_EQ(p.y, 25.0f);
  // Text taller than the button goes up by half the difference.
  p = VxCheckTextOrigin(10, 20, 16, 16, 24.0f, 0, 0);
  EXPECT_FLOAT_EQ(p.y, 16.0f);
}

TEST(Progress, BarWidthShareInsideTheBorder) {
  VxXYWH bar;
  ASSERT_TRUE(VxProgressBarRect({0, 0, 102, 12}, 1, 50, 0, 100, &bar));
  EXPECT_EQ(bar, (VxXYWH{1, 1, 50, 10}));
  ASSERT_TRUE(VxProgressBarRect({0, 0, 102, 12}, 1, 100, 0, 100, &bar));
  EXPECT_EQ(bar.w, 100);
  ASSERT_TRUE(VxProgressBarRect({0, 0, 12, 12}, 1, 1, 0, 3, &bar));
  EXPECT_EQ(bar.w, 3);  // 10 * 1/3 truncated
  EXPECT_TRUE(VxProgressBarRect({0, 0, 102, 12}, 1, 0, 0, 100, &bar));
  EXPECT_EQ(bar.w, 0);
}

TEST(Progress, NoBarOutsideTheRangeOrWithAnEmptyRange) {
  VxXYWH bar;
  EXPECT_FALSE(VxProgressBarRect({0, 0, 100, 10}, 1, 101, 0, 100, &bar));
  EXPECT_FALSE(VxProgressBarRect({0, 0, 100, 10}, 1, 4, 5, 100, &bar));
  EXPECT_FALSE(VxProgressBarRect({0, 0, 100, 10}, 1, 5, 5, 5, &bar));
}

TEST(ScrollBar, LengthPositionAndContentOffset) {
  VxScrollState s;
  // Item 200 high, caps of 3 frames of 5 pixels: track 190. Content 1000, page 200.
  s.SetLength(200, 1000, 200, 15, 15, 3);
  EXPECT_EQ(s.maxPos, 800 * 190 / 1000);
  EXPECT_EQ(s.middleHeight, 190 - s.maxPos);
  s.SetPos(1000);
  EXPECT_EQ(s.pos, s.maxPos);
  EXPECT_EQ(s.ContentOffset(), 800);
  s.SetPos(-5);
  EXPECT_EQ(s.pos, 0);
  EXPECT_EQ(s.ContentOffset(), 0);
  s.SetPos(76);
  EXPECT_EQ(s.ContentOffset(), static_cast<int>(800.0 / 152 * 76));
}

TEST(ScrollBar, MissingCapMeansTheWholeItemIsTrack) {
  VxScrollState s;
  s.SetLength(100, 400, 200, 15, 0, 3);
  EXPECT_EQ(s.maxPos, 300 * 200 / 400);
}

TEST(ScrollBar, ContentThatFitsHasNothingToScroll) {
  VxScrollState s;
  s.SetLength(300, 300, 200, 15, 15, 3);
  EXPECT_EQ(s.maxPos, 0);
  EXPECT_EQ(s.ContentOffset(), 0);
  s.SetLength(300, 100, 200, 15, 15, 3);
  EXPECT_EQ(s.maxPos, 0);
  s.SetPos(10);
  EXPECT_EQ(s.pos, 0);
  EXPECT_EQ(s.ContentOffset(), 0);
}

TEST(ScrollBar, ShrinkingContentPullsTheThumbBackIntoRange) {
  VxScrollState s;
  s.SetLength(100, 1000, 200, 0, 0, 3);
  s.SetPos(s.maxPos);
  s.SetLength(100, 200, 200, 0, 0, 3);
  EXPECT_LE(s.pos, s.maxPos);
}

TEST(ScrollBar, DragClampsAndReportsChange) {
  VxScrollState s;
  s.SetLength(100, 300, 150, 0, 0, 3);  // maxPos = 100
  EXPECT_TRUE(s.DragBy(30));
  EXPECT_EQ(s.pos, 30);
  EXPECT_TRUE(s.DragBy(500));
  EXPECT_EQ(s.pos, 100);
  EXPECT_FALSE(s.DragBy(1));
  EXPECT_TRUE(s.DragBy(-1000));
  EXPECT_EQ(s.pos, 0);
}

TEST(ScrollBar, ThumbHitRectReachesTwentyPixelsBelowTheMiddle) {
  VxScrollState s;
  s.SetLength(100, 300, 150, 0, 0, 3);
  s.SetPos(10);
  EXPECT_EQ(s.ThumbHitRect({5, 40, 12, 150}), (VxRc{5, 50, 17, 50 + s.middleHeight + 20}));
}

TEST(Gif, FramesWrap) {
  EXPECT_EQ(VxGifNextFrame(0, 3), 1);
  EXPECT_EQ(VxGifNextFrame(2, 3), 0);
  EXPECT_EQ(VxGifNextFrame(0, 1), 0);
  EXPECT_EQ(VxGifNextFrame(5, 0), 0);
}

TEST(CoverCrop, WideSurfaceCutsRowsTallSurfaceCutsColumns) {
  // 1920x1080 surface from a 1000x1000 picture: a centred row 1000 x 562.
  EXPECT_EQ(VxCoverCropSource(1000, 1000, 1920, 1080), (VxXYWH{0, 219, 1000, 562}));
  // 1080x1920 surface: a centred column 562 x 1000.
  EXPECT_EQ(VxCoverCropSource(1000, 1000, 1080, 1920), (VxXYWH{219, 0, 562, 1000}));
  // Same aspect: the whole picture.
  EXPECT_EQ(VxCoverCropSource(1920, 1080, 1280, 720), (VxXYWH{0, 0, 1920, 1080}));
}

TEST(NineSlice, CornersKeepSizeEdgesStretch) {
  const int w[9] = {4, 1, 6, 4, 1, 6, 5, 1, 7};
  const int h[9] = {3, 3, 3, 1, 1, 1, 8, 8, 8};
  VxXYWH d[9];
  VxNineSliceDest({10, 20, 100, 50}, w, h, d);
  EXPECT_EQ(d[0], (VxXYWH{10, 20, 4, 3}));
  EXPECT_EQ(d[2], (VxXYWH{104, 20, 6, 3}));
  EXPECT_EQ(d[6], (VxXYWH{10, 62, 5, 8}));
  EXPECT_EQ(d[8], (VxXYWH{103, 62, 7, 8}));
  EXPECT_EQ(d[1], (VxXYWH{14, 20, 90, 3}));
  EXPECT_EQ(d[4], (VxXYWH{14, 23, 90, 39}));
  // A target smaller than its corners never yields negative sizes.
  VxNineSliceDest({0, 0, 3, 3}, w, h, d);
  for (const VxXYWH& r : d) {
    EXPECT_GE(r.w, 0);
    EXPECT_GE(r.h, 0);
  }
}

#include "uilib/core/vx_dropfiles.h"

TEST(DropFiles, HeaderPathsAndTerminators) {
  const auto b = VxBuildDropFiles({u"C:\\a.txt", u"D:\\文件"});
  ASSERT_EQ(b.size(), 20u + 2 * (8 + 1 + 5 + 1 + 1));
  EXPECT_EQ(b[0], 20);
  EXPECT_EQ(b[16], 1);
  EXPECT_EQ(b[20], 'C');
  EXPECT_EQ(b[b.size() - 1], 0);
  EXPECT_EQ(b[b.size() - 2], 0);
  const auto back = VxParseDropFiles(b.data(), b.size());
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1], u"D:\\文件");
}

TEST(DropFiles, CutOrMalformedBlocksGiveNothing) {
  auto b = VxBuildDropFiles({u"C:\\a.txt"});
  EXPECT_TRUE(VxParseDropFiles(b.data(), b.size() - 4).empty());
  b[16] = 0;  // not wide
  EXPECT_TRUE(VxParseDropFiles(b.data(), b.size()).empty());
  EXPECT_TRUE(VxParseDropFiles(b.data(), 10).empty());
  EXPECT_TRUE(VxBuildDropFiles({}).size() == 22u);
}
