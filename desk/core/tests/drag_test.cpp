#include <gtest/gtest.h>

#include "desk/core/desk_boxes.h"
#include "desk/core/desk_drag.h"
#include "desk/core/desk_records.h"

namespace {

// The band before one entry with cell `c` is `want`: its corners fall in the gap, a pixel
// past each edge does not.
void ExpectBand(DeskGapLayout layout, const VxRc& c, int scroll, const VxRc& want) {
  EXPECT_EQ(DeskInsertionBand(layout, c, -1, 3, scroll), want);
  auto gap = [&](int x, int y) {
    return DeskInsertionGapAt(layout, {c}, -1, 3, scroll, VxPt{x, y}, nullptr);
  };
  const int mx = (want.left + want.right) / 2, my = (want.top + want.bottom) / 2;
  EXPECT_EQ(gap(want.left, want.top), 0);
  EXPECT_EQ(gap(want.right - 1, want.bottom - 1), 0);
  EXPECT_EQ(gap(want.left - 1, my), -1);
  EXPECT_EQ(gap(want.right, my), -1);
  EXPECT_EQ(gap(mx, want.top - 1), -1);
  EXPECT_EQ(gap(mx, want.bottom), -1);
}

}  // namespace

TEST(DropGaps, BandsOfTheThreeLayoutsAtTheirEdges) {
  // Rows (gap 3, scrolled by 40): left - 2 to right + 2, top - s - 3 - 3 to top - s + 3.
  EXPECT_EQ(DeskGapLayoutFor(kDeskBoxRows, true), kDeskGapRows);
  ExpectBand(kDeskGapRows, VxRc{10, 100, 250, 120}, 40, VxRc{8, 54, 252, 63});
  // Auto-arranged grid (column gap -1): left + 1 - 3 to left + 3, top - 2 to bottom + 2.
  EXPECT_EQ(DeskGapLayoutFor(kDeskBoxIcons, true), kDeskGapGrid);
  ExpectBand(kDeskGapGrid, VxRc{100, 50, 175, 150}, 0, VxRc{98, 48, 103, 152});
  // Free icons: above the cell like rows.
  EXPECT_EQ(DeskGapLayoutFor(kDeskBoxIcons, false), kDeskGapFree);
  ExpectBand(kDeskGapFree, VxRc{100, 50, 175, 150}, 0, VxRc{98, 44, 177, 53});
}

TEST(DropGaps, TheFirstBandHoldingThePointWins) {
  // Rows 23 apart: the bands overlap; a point in both takes the earlier entry.
  const std::vector<VxRc> rows{{0, 0, 200, 20}, {0, 23, 200, 43}, {0, 46, 200, 66}};
  VxRc band;
  EXPECT_EQ(DeskInsertionGapAt(kDeskGapRows, rows, -1, 3, 0, VxPt{50, 22}, &band), 1);
  EXPECT_EQ(band, (VxRc{-2, 17, 202, 26}));
  EXPECT_EQ(DeskInsertionGapAt(kDeskGapRows, rows, -1, 3, 0, VxPt{50, 2}, &band), 0);
  EXPECT_EQ(DeskInsertionGapAt(kDeskGapRows, rows, -1, 3, 0, VxPt{50, 10}, &band), -1);
}

TEST(DropMarker, CapsAndStretchedMiddle) {
  // A 204 x 9 marker from a 20 x 9 image: caps 4 wide, the middle 12 stretched to 196.
  DeskMarkerDrawing d = DeskMarkerPieces(VxRc{-2, 17, 202, 26}, 20, 9);
  ASSERT_TRUE(d.horizontal);
  ASSERT_EQ(d.pieces.size(), 3u);
  EXPECT_EQ(d.pieces[0].src, (VxXYWH{0, 0, 4, 9}));
  EXPECT_EQ(d.pieces[0].dst, (VxXYWH{-2, 17, 4, 9}));
  EXPECT_EQ(d.pieces[1].src, (VxXYWH{4, 0, 12, 9}));
  EXPECT_EQ(d.pieces[1].dst, (VxXYWH{2, 17, 196, 9}));
  EXPECT_EQ(d.pieces[2].src, (VxXYWH{16, 0, 4, 9}));
  EXPECT_EQ(d.pieces[2].dst, (VxXYWH{198, 17, 4, 9}));
  // Upright marker from the vertical image; a 6-pixel one gets 3-pixel caps and no middle.
  d = DeskMarkerPieces(VxRc{98, 48, 103, 152}, 5, 30);
  EXPECT_FALSE(d.horizontal);
  ASSERT_EQ(d.pieces.size(), 3u);
  EXPECT_EQ(d.pieces[2].dst, (VxXYWH{98, 148, 5, 4}));
  d = DeskMarkerPieces(VxRc{0, 0, 6, 1}, 20, 9);
  ASSERT_EQ(d.pieces.size(), 2u);
  EXPECT_EQ(d.pieces[1].dst, (VxXYWH{3, 0, 3, 1}));
  EXPECT_TRUE(DeskMarkerPieces(VxRc{}, 20, 9).pieces.empty());
}

TEST(DragEffect, KeysSourceAndTarget) {
  EXPECT_FALSE(DeskDragShouldStart(VxPt{100, 100}, VxPt{104, 102}));  // 4.5 pixels
  EXPECT_TRUE(DeskDragShouldStart(VxPt{100, 100}, VxPt{103, 96}));    // exactly 5
  EXPECT_EQ(DeskDropEffect(true, 0, kDeskEffectsAll), kDeskEffectMove);
  EXPECT_EQ(DeskDropEffect(true, kDeskKeyControl, kDeskEffectsAll), kDeskEffectCopy);
  EXPECT_EQ(DeskDropEffect(true, kDeskKeyAlt, kDeskEffectsAll), kDeskEffectLink);
  EXPECT_EQ(DeskDropEffect(true, kDeskKeyControl | kDeskKeyShift, kDeskEffectsAll),
            kDeskEffectLink);
  EXPECT_EQ(DeskDropEffect(false, kDeskKeyControl, kDeskEffectsAll), kDeskEffectNone);
  // A source that offers only copy: no key falls back to it, Shift (asking move) gets none.
  EXPECT_EQ(DeskDropEffect(true, 0, kDeskEffectCopy), kDeskEffectCopy);
  EXPECT_EQ(DeskDropEffect(true, kDeskKeyShift, kDeskEffectCopy), kDeskEffectNone);

  const DeskDropEntry exe{KIND_FILE, u"C:\\Users\\u\\Desktop\\Tool.EXE", u"Tool"};
  const DeskDropEntry folder{KIND_FOLDER, u"C:\\Users\\u\\Desktop\\资料", u"资料"};
  const DeskDropEntry link{KIND_SHORTCUT, u"C:\\Users\\u\\Desktop\\a.exe", u"a"};
  DeskOpenWith o = DeskCanOpenWith(&exe, kDeskEffectMove);
  EXPECT_TRUE(o.openWith);
  EXPECT_EQ(o.effect, kDeskEffectCopy);
  EXPECT_EQ(o.target, u"Tool");
  o = DeskCanOpenWith(&folder, kDeskEffectLink);
  EXPECT_TRUE(!o.openWith && o.target == u"资料" && o.effect == kDeskEffectLink);
  EXPECT_EQ(DeskCanOpenWith(&link, kDeskEffectMove).target, u"桌面");
  EXPECT_EQ(DeskCanOpenWith(nullptr, kDeskEffectCopy).target, u"桌面");

  auto texts = [](uint32_t effect, bool openWith) {
    const DeskDragViewTexts t = DeskDragViewTextsFor(effect, u"资料", openWith);
    return t.verb + t.target + t.suffix;
  };
  EXPECT_EQ(texts(kDeskEffectMove, false), u"移动到资料");
  EXPECT_EQ(texts(kDeskEffectCopy, false), u"复制到资料");
  EXPECT_EQ(texts(kDeskEffectCopy, true), u"用资料打开");
  EXPECT_EQ(texts(kDeskEffectLink, false), u"在资料创建链接");
  EXPECT_EQ(texts(kDeskEffectNone, false), u"");
  EXPECT_EQ(DeskDragViewRect(VxPt{100, 200}, 40, 30, 0), (VxRc{120, 220, 120 + 102, 240}));
  EXPECT_EQ(DeskDragCountText(3), u"拖动3个文件");
}

TEST(DropAction, EveryEffectFromTheDeskAndFromOutside) {
  struct Row {
    DeskDropSituation s;
    DeskDropAction want;
  };
  // fromDesk, effect, dropItem, overDragged, openWith, folder
  const Row rows[] = {
      {{true, kDeskEffectMove, false, false, false, false}, kDropRearrange},
      {{true, kDeskEffectMove, false, true, false, false}, kDropRearrange},
      {{true, kDeskEffectMove, true, false, true, false}, kDropOpenWith},
      {{true, kDeskEffectMove, true, false, false, true}, kDropMoveToFolder},
      {{true, kDeskEffectMove, true, false, false, false}, kDropRearrange},
      {{true, kDeskEffectCopy, true, false, true, false}, kDropOpenWith},
      {{true, kDeskEffectCopy, true, false, false, true}, kDropCopyToFolder},
      {{true, kDeskEffectCopy, false, false, false, false}, kDropCopyToDesktop},
      {{true, kDeskEffectLink, false, false, false, false}, kDropLinkOnDesktop},
      {{true, kDeskEffectLink, true, false, false, true}, kDropLinkInFolder},
      {{true, kDeskEffectLink, true, false, false, false}, kDropLinkOnDesktop},
      {{true, kDeskEffectNone, true, false, false, true}, kDropNothing},
      {{false, kDeskEffectCopy, true, false, true, false}, kDropCopyToDesktop},
      {{false, kDeskEffectMove, true, false, false, true}, kDropMoveToDesktop},
      {{false, kDeskEffectLink, false, false, false, false}, kDropLinkOnDesktop},
      {{false, kDeskEffectNone, false, false, false, false}, kDropNothing},
  };
  for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i)
    EXPECT_EQ(DeskChooseDropAction(rows[i].s), rows[i].want) << "row " << i;
}
