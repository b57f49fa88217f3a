#include <gtest/gtest.h>

#include "desk/core/box_geometry.h"

namespace {

const VxRc kBox{100, 200, 360, 600};  // 260 x 400

int Hit(int x, int y, int thumbPos = 0, int thumbLen = 0) {
  return DeskBoxHitTest(kBox, thumbPos, thumbLen, x, y);
}

}  // namespace

TEST(BoxHit, EveryRegionAtItsCornersAndJustOutside) {
  // Menu button (r-29, t+10)-(r-10, t+30) lies inside the title band and wins over it.
  EXPECT_EQ(Hit(331, 210), kBoxHitMenu);
  EXPECT_EQ(Hit(349, 229), kBoxHitMenu);
  EXPECT_EQ(Hit(350, 229), kBoxHitTitle);
  EXPECT_EQ(Hit(330, 209), kBoxHitTitle);
  EXPECT_EQ(Hit(330, 230), kBoxHitTitle);
  // Title (l+5, t+5)-(r-5, t+38).
  EXPECT_EQ(Hit(105, 205), kBoxHitTitle);
  EXPECT_EQ(Hit(354, 237), kBoxHitTitle);
  EXPECT_EQ(Hit(200, 238), kBoxHitNone);
  // Edges and corners, five pixels thick.
  EXPECT_EQ(Hit(105, 200), kBoxHitTop);
  EXPECT_EQ(Hit(354, 204), kBoxHitTop);
  EXPECT_EQ(Hit(100, 200), kBoxHitTopLeft);
  EXPECT_EQ(Hit(104, 204), kBoxHitTopLeft);
  EXPECT_EQ(Hit(100, 205), kBoxHitLeft);
  EXPECT_EQ(Hit(104, 594), kBoxHitLeft);
  EXPECT_EQ(Hit(100, 595), kBoxHitBottomLeft);
  EXPECT_EQ(Hit(104, 599), kBoxHitBottomLeft);
  EXPECT_EQ(Hit(105, 595), kBoxHitBottom);
  EXPECT_EQ(Hit(354, 599), kBoxHitBottom);
  EXPECT_EQ(Hit(355, 595), kBoxHitBottomRight);
  EXPECT_EQ(Hit(359, 599), kBoxHitBottomRight);
  EXPECT_EQ(Hit(355, 205), kBoxHitRight);
  EXPECT_EQ(Hit(359, 594), kBoxHitRight);
  EXPECT_EQ(Hit(355, 200), kBoxHitTopRight);
  EXPECT_EQ(Hit(359, 204), kBoxHitTopRight);
  // Outside, and the list area.
  EXPECT_EQ(Hit(99, 300), kBoxHitNone);
  EXPECT_EQ(Hit(360, 300), kBoxHitNone);
  EXPECT_EQ(Hit(200, 600), kBoxHitNone);
  EXPECT_EQ(Hit(200, 199), kBoxHitNone);
  EXPECT_EQ(Hit(200, 400), kBoxHitNone);
}

TEST(BoxHit, ThumbRegionFollowsPositionAndLength) {
  // Thumb (r-13, t+48+pos)-(r-5, that+len); it wins over nothing else but the list area.
  EXPECT_EQ(Hit(347, 248 + 30, 30, 50), kBoxHitThumb);
  EXPECT_EQ(Hit(354, 248 + 79, 30, 50), kBoxHitThumb);
  EXPECT_EQ(Hit(350, 248 + 80, 30, 50), kBoxHitNone);
  EXPECT_EQ(Hit(350, 248 + 29, 30, 50), kBoxHitNone);
  EXPECT_EQ(Hit(346, 260, 0, 50), kBoxHitNone);
  EXPECT_EQ(Hit(355, 260, 0, 50), kBoxHitRight);  // the edge stays the edge
  EXPECT_EQ(Hit(350, 260, 0, 0), kBoxHitNone);    // no thumb, no thumb hit
}

TEST(BoxHit, CursorShapes) {
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitTitle), kBoxCursorMove);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitTop), kBoxCursorNS);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitBottom), kBoxCursorNS);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitLeft), kBoxCursorWE);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitRight), kBoxCursorWE);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitTopLeft), kBoxCursorNWSE);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitBottomRight), kBoxCursorNWSE);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitTopRight), kBoxCursorNESW);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitBottomLeft), kBoxCursorNESW);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitMenu), kBoxCursorNone);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitThumb), kBoxCursorNone);
  EXPECT_EQ(DeskBoxCursorFor(kBoxHitNone), kBoxCursorNone);
}

TEST(BoxLayout, ListAreaViewHeightAndMenuButton) {
  const VxRc a = DeskBoxListArea(kBox);
  EXPECT_EQ(a, (VxRc{110, 248, 350, 590}));
  EXPECT_EQ(DeskBoxViewHeight(kBox), 342);
  EXPECT_EQ(DeskBoxMenuButton(kBox), (VxRc{331, 210, 350, 230}));
}

TEST(BoxLayout, ContentThatFitsHasNoThumbAndNoScroll) {
  const DeskBoxThumb t = DeskBoxThumbLayout(300, 342, 50);
  EXPECT_EQ(t.length, 0);
  EXPECT_EQ(t.position, 0);
  EXPECT_EQ(t.scroll, 0);
  EXPECT_EQ(DeskBoxThumbLayout(0, 342, 10).scroll, 0);
  EXPECT_EQ(DeskBoxThumbLayout(342, 342, 10).length, 0);  // exactly fits
}

TEST(BoxLayout, ThumbLengthPositionAndClamp) {
  // V = 200, H = 800: length 50, position V*scroll/H.
  DeskBoxThumb t = DeskBoxThumbLayout(800, 200, 100);
  EXPECT_EQ(t.length, 50);
  EXPECT_EQ(t.position, 25);
  EXPECT_EQ(t.scroll, 100);
  // Truncation of the length: 200*200/700 = 57.14.
  EXPECT_EQ(DeskBoxThumbLayout(700, 200, 0).length, 57);
  // Past the end: thumb at the bottom, scroll = H*(V-len)/V.
  t = DeskBoxThumbLayout(800, 200, 790);
  EXPECT_EQ(t.position, 150);
  EXPECT_EQ(t.scroll, 600);
  // A tiny thumb is stretched to 16.
  t = DeskBoxThumbLayout(10000, 200, 0);
  EXPECT_EQ(t.length, 16);
  t = DeskBoxThumbLayout(10000, 200, 10000);
  EXPECT_EQ(t.position, 184);
  EXPECT_EQ(t.scroll, 10000 * 184 / 200);
  // A negative scroll comes back as 0.
  EXPECT_EQ(DeskBoxThumbLayout(800, 200, -40).scroll, 0);
}

TEST(BoxLayout, ThumbDragClampsAndScrollsProportionally) {
  const DeskBoxThumb start = DeskBoxThumbLayout(800, 200, 0);
  DeskBoxThumb t = DeskBoxThumbDrag(start, 30, 800, 200);
  EXPECT_EQ(t.position, 30);
  EXPECT_EQ(t.scroll, 120);
  t = DeskBoxThumbDrag(t, 500, 800, 200);
  EXPECT_EQ(t.position, 150);
  EXPECT_EQ(t.scroll, 600);
  t = DeskBoxThumbDrag(t, -1000, 800, 200);
  EXPECT_EQ(t.position, 0);
  EXPECT_EQ(t.scroll, 0);
  // Without a thumb nothing moves.
  const DeskBoxThumb none;
  EXPECT_EQ(DeskBoxThumbDrag(none, 40, 100, 200).scroll, 0);
}

TEST(BoxLayout, WheelScrollsWithinTheContent) {
  DeskBoxThumb t = DeskBoxThumbLayout(800, 200, 0);
  t = DeskBoxWheel(t, -120, 800, 200);  // towards the user: down the list
  EXPECT_EQ(t.scroll, 46);
  EXPECT_EQ(t.position, 200 * 46 / 800);
  t = DeskBoxWheel(t, 360, 800, 200);
  EXPECT_EQ(t.scroll, 0);
  for (int i = 0; i < 40; ++i) t = DeskBoxWheel(t, -120, 800, 200);
  EXPECT_EQ(t.scroll, 600);
  EXPECT_EQ(t.position + t.length, 200);
  EXPECT_EQ(DeskBoxWheel(DeskBoxThumbLayout(100, 200, 0), -120, 100, 200).scroll, 0);
}

TEST(BoxResize, EdgesMoveAndStopAtTheMinimum) {
  VxPt moved;
  // Left edge: width 260 may lose 130.
  VxRc r = DeskBoxResize(kBox, kBoxHitLeft, 100, 7, &moved);
  EXPECT_EQ(r, (VxRc{200, 200, 360, 600}));
  EXPECT_EQ(moved.x, 100);
  EXPECT_EQ(moved.y, 0);
  r = DeskBoxResize(kBox, kBoxHitLeft, 500, 0, &moved);
  EXPECT_EQ(r.right - r.left, kBoxMinWidth);
  EXPECT_EQ(r.right, 360);
  EXPECT_EQ(moved.x, 130);
  // Top edge: height 400 may lose 232.
  r = DeskBoxResize(kBox, kBoxHitTop, 0, 1000, &moved);
  EXPECT_EQ(r.bottom - r.top, kBoxMinHeight);
  EXPECT_EQ(r.bottom, 600);
  EXPECT_EQ(moved.y, 232);
  // Right and bottom shrink from their side.
  r = DeskBoxResize(kBox, kBoxHitBottomRight, -1000, -1000, &moved);
  EXPECT_EQ(r, (VxRc{100, 200, 230, 368}));
  EXPECT_EQ(moved.x, -130);
  EXPECT_EQ(moved.y, -232);
  // Growing has no limit.
  r = DeskBoxResize(kBox, kBoxHitTopLeft, -50, -60, &moved);
  EXPECT_EQ(r, (VxRc{50, 140, 360, 600}));
  r = DeskBoxResize(kBox, kBoxHitTopRight, 20, 10, &moved);
  EXPECT_EQ(r, (VxRc{100, 210, 380, 600}));
  r = DeskBoxResize(kBox, kBoxHitBottomLeft, 20, 10, &moved);
  EXPECT_EQ(r, (VxRc{120, 200, 360, 610}));
  r = DeskBoxResize(kBox, kBoxHitRight, 5, 99, &moved);
  EXPECT_EQ(r, (VxRc{100, 200, 365, 600}));
  r = DeskBoxResize(kBox, kBoxHitBottom, 99, 5, &moved);
  EXPECT_EQ(r, (VxRc{100, 200, 360, 605}));
  // Other codes leave the box alone.
  r = DeskBoxResize(kBox, kBoxHitTitle, 30, 30, &moved);
  EXPECT_EQ(r, kBox);
  EXPECT_EQ(moved.x, 0);
}

TEST(BoxResize, UndersizedBoxMayGrowButNotShrink) {
  const VxRc small{0, 0, 100, 100};
  VxPt moved;
  EXPECT_EQ(DeskBoxResize(small, kBoxHitLeft, 10, 0, &moved), small);
  EXPECT_EQ(moved.x, 0);
  EXPECT_EQ(DeskBoxResize(small, kBoxHitBottomRight, 10, -10, &moved), (VxRc{0, 0, 110, 100}));
  EXPECT_EQ(DeskBoxResize(small, kBoxHitTop, 0, -10, &moved), (VxRc{0, -10, 100, 100}));
}

TEST(BoxSnap, FreeMoveWithoutNeighbours) {
  VxPt from{10, 10};
  const VxRc r = DeskBoxMagneticMove(kBox, &from, VxPt{40, -20}, {});
  EXPECT_EQ(r, (VxRc{130, 170, 390, 570}));
  EXPECT_EQ(from.x, 40);
  EXPECT_EQ(from.y, -20);
}

TEST(BoxSnap, ApproachWithinFifteenJumpsToAFivePixelGap) {
  const VxRc neighbour{400, 300, 600, 500};  // overlaps vertically, 40 to the right
  VxPt from{0, 0};
  VxRc r = DeskBoxMagneticMove(kBox, &from, VxPt{20, 0}, {neighbour});
  EXPECT_EQ(r.right, 380);  // gap 20: still free
  r = DeskBoxMagneticMove(r, &from, VxPt{26, 0}, {neighbour});
  EXPECT_EQ(neighbour.left - r.right, 5);  // gap would be 14: jumps to 5
  EXPECT_EQ(from.x, 26);
  EXPECT_EQ(r.right - r.left, 260);
}

TEST(BoxSnap, HeldUnderTwentyOnePixelsThenFreedByOnePixel) {
  const VxRc neighbour{400, 300, 600, 500};
  VxRc r{135, 200, 395, 600};  // gap exactly 5
  VxPt from{0, 0};
  for (int x : {1, 10, 20, -20}) {
    VxPt f = from;
    EXPECT_EQ(DeskBoxMagneticMove(r, &f, VxPt{x, 0}, {neighbour}), r) << x;
    EXPECT_EQ(f.x, 0) << x;
  }
  // 21 pixels towards it: one pixel closer, the remembered point 20 further.
  VxRc freed = DeskBoxMagneticMove(r, &from, VxPt{21, 0}, {neighbour});
  EXPECT_EQ(neighbour.left - freed.right, 4);
  EXPECT_EQ(from.x, 20);
  // Afterwards it moves freely on (it is closer than the gap, so nothing pulls it).
  freed = DeskBoxMagneticMove(freed, &from, VxPt{30, 0}, {neighbour});
  EXPECT_EQ(neighbour.left - freed.right, -6);
  // Torn away from the neighbour, it leaves freely too.
  VxPt back{0, 0};
  VxRc away = DeskBoxMagneticMove(r, &back, VxPt{-25, 0}, {neighbour});
  EXPECT_EQ(neighbour.left - away.right, 6);
  EXPECT_EQ(back.x, -20);
  away = DeskBoxMagneticMove(away, &back, VxPt{-28, 0}, {neighbour});
  EXPECT_EQ(neighbour.left - away.right, 14);
  // Coming back it snaps again.
  away = DeskBoxMagneticMove(away, &back, VxPt{-27, 0}, {neighbour});
  EXPECT_EQ(neighbour.left - away.right, 5);
}

TEST(BoxSnap, HeldBoxStillSlidesAlongTheNeighbour) {
  const VxRc neighbour{400, 300, 600, 500};
  const VxRc r{135, 200, 395, 600};
  VxPt from{0, 0};
  const VxRc moved = DeskBoxMagneticMove(r, &from, VxPt{3, 40}, {neighbour});
  EXPECT_EQ(moved, (VxRc{135, 240, 395, 640}));
}

TEST(BoxSnap, OvershootIsPushedBackButALongJumpPasses) {
  const VxRc neighbour{400, 300, 600, 500};
  VxPt from{0, 0};
  // From gap 40 to gap -10: pushed out to 5.
  VxRc r = DeskBoxMagneticMove(kBox, &from, VxPt{50, 0}, {neighbour});
  EXPECT_EQ(neighbour.left - r.right, 5);
  // From gap 40 to gap -20: meant to pass.
  from = VxPt{0, 0};
  r = DeskBoxMagneticMove(kBox, &from, VxPt{60, 0}, {neighbour});
  EXPECT_EQ(neighbour.left - r.right, -20);
}

TEST(BoxSnap, OnlyNeighboursOverlappingOnTheOtherAxisAttract) {
  const VxRc below{400, 700, 600, 900};  // does not overlap vertically
  VxPt from{0, 0};
  VxRc r = DeskBoxMagneticMove(kBox, &from, VxPt{30, 0}, {below});
  EXPECT_EQ(r.right, 390);
  // Vertical snapping against a box under it.
  const VxRc under{50, 620, 300, 800};
  from = VxPt{0, 0};
  r = DeskBoxMagneticMove(kBox, &from, VxPt{0, 8}, {under});
  EXPECT_EQ(under.top - r.bottom, 5);
  // Leftwards and upwards work the same way.
  const VxRc leftOf{0, 250, 95, 400};
  from = VxPt{0, 0};
  r = DeskBoxMagneticMove(VxRc{110, 200, 370, 600}, &from, VxPt{-3, 0}, {leftOf});
  EXPECT_EQ(r.left - leftOf.right, 5);
  const VxRc above{150, 0, 300, 200};
  from = VxPt{0, 0};
  r = DeskBoxMagneticMove(VxRc{100, 210, 360, 600}, &from, VxPt{0, -2}, {above});
  EXPECT_EQ(r.top - above.bottom, 5);
}

TEST(BoxSnap, FirstSnappingNeighbourWins) {
  const VxRc nearFirst{392, 300, 500, 400};  // 32 away: no snap reach from 20 travel
  const VxRc second{380, 400, 500, 500};     // 20 away
  VxPt from{0, 0};
  const VxRc r = DeskBoxMagneticMove(kBox, &from, VxPt{8, 0}, {nearFirst, second});
  EXPECT_EQ(second.left - r.right, 5);
}

TEST(BoxFlash, RisesFallsAndPulses) {
  EXPECT_EQ(DeskFlashAlpha(61), 0);
  EXPECT_EQ(DeskFlashAlpha(60), 0);
  EXPECT_EQ(DeskFlashAlpha(55), 127);
  EXPECT_EQ(DeskFlashAlpha(50), 255);
  EXPECT_EQ(DeskFlashAlpha(45), 127);
  EXPECT_EQ(DeskFlashAlpha(40), 0);
  EXPECT_EQ(DeskFlashAlpha(35), 160);
  EXPECT_EQ(DeskFlashAlpha(30), 0);
  EXPECT_EQ(DeskFlashAlpha(29), 0);
  EXPECT_EQ(DeskFlashAlpha(0), 0);
  for (int c = 0; c <= 60; ++c) {
    EXPECT_GE(DeskFlashAlpha(c), 0);
    EXPECT_LE(DeskFlashAlpha(c), 255);
  }
}
