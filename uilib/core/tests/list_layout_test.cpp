#include <gtest/gtest.h>

#include "uilib/core/vx_list_layout.h"

namespace {

// Places n entries one after another the way the list does on a re-layout.
std::vector<VxCellPlacement> PlaceAll(const VxListGeometry& g, const VxRc& list, int n) {
  std::vector<VxCellPlacement> cells;
  std::vector<VxRc> taken;
  for (int i = 0; i < n; ++i) {
    VxCellPlacement c;
    if (!VxPlaceFirstFree(g, list, taken, &c)) break;
    cells.push_back(c);
    taken.push_back(c.position);
  }
  return cells;
}

}  // namespace

TEST(ListLayout, TypePresets) {
  const VxListGeometry big = VxListGeometry::ForType(0);
  EXPECT_EQ(big.itemWidth, 75);
  EXPECT_EQ(big.itemHeight, 90);
  EXPECT_EQ(big.imageWidth, 48);
  EXPECT_EQ(big.wIner, 2);
  EXPECT_EQ(big.hIner, 10);
  const VxListGeometry small = VxListGeometry::ForType(1);
  EXPECT_EQ(small.itemHeight, 74);
  EXPECT_EQ(small.imageWidth, 32);
  EXPECT_EQ(small.wIner, 0);
  EXPECT_EQ(small.hIner, 8);
  const VxListGeometry rows = VxListGeometry::ForType(7);
  EXPECT_EQ(rows.type, kVxRows);
  EXPECT_EQ(rows.itemWidth, -1);
  EXPECT_EQ(rows.itemHeight, 20);
  EXPECT_EQ(rows.hIner, 3);
}

TEST(ListLayout, BigIconsFillColumnsOfAHundredPixelCells) {
  // 200 x 300 list: cells 100 pixels apart downwards, columns 77 pixels apart.
  const VxRc list{10, 20, 210, 320};
  auto cells = PlaceAll(VxListGeometry::ForType(0), list, 5);
  ASSERT_EQ(cells.size(), 5u);
  EXPECT_EQ(cells[0].position, (VxRc{10, 20, 85, 110}));
  EXPECT_EQ(cells[1].position.top, 120);
  EXPECT_EQ(cells[2].position.left, 10);
  EXPECT_EQ(cells[2].position.top, 220);
  EXPECT_EQ(cells[3].position.left, 87);
  EXPECT_EQ(cells[3].position.top, 20);
  EXPECT_EQ(cells[4].position.top, 120);
  // The label sits below the icon: image height + inner top + label gap.
  EXPECT_EQ(cells[0].text, (VxRc{10, 20 + 48 + 3 + 5, 85, 110}));
}

TEST(ListLayout, ColumnsRunPastTheRightEdge) {
  const VxRc list{0, 0, 80, 100};  // one cell high, one column wide
  auto cells = PlaceAll(VxListGeometry::ForType(0), list, 3);
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[2].position.left, 154);
  EXPECT_EQ(cells[2].position.top, 0);
}

TEST(ListLayout, RowsFillLeftToRightThenDown) {
  VxListGeometry g = VxListGeometry::ForType(0);
  g.byRows = true;
  const VxRc list{0, 0, 240, 150};
  auto cells = PlaceAll(g, list, 5);
  ASSERT_EQ(cells.size(), 5u);
  EXPECT_EQ(cells[1].position.left, 77);
  EXPECT_EQ(cells[2].position.left, 154);
  EXPECT_EQ(cells[3].position.left, 0);
  EXPECT_EQ(cells[3].position.top, 100);
  EXPECT_EQ(cells[4].position.top, 100);
}

TEST(ListLayout, ListTooSmallPlacesNothing) {
  VxCellPlacement c;
  EXPECT_FALSE(VxPlaceFirstFree(VxListGeometry::ForType(0), {0, 0, 300, 99}, {}, &c));
  VxListGeometry rowsFirst = VxListGeometry::ForType(0);
  rowsFirst.byRows = true;
  EXPECT_FALSE(VxPlaceFirstFree(rowsFirst, {0, 0, 76, 300}, {}, &c));
}

TEST(ListLayout, FreeCellsAreReusedInWalkOrder) {
  const VxListGeometry g = VxListGeometry::ForType(0);
  const VxRc list{0, 0, 200, 300};
  auto cells = PlaceAll(g, list, 4);
  std::vector<VxRc> taken = {cells[0].position, cells[2].position, cells[3].position};
  VxCellPlacement c;
  ASSERT_TRUE(VxPlaceFirstFree(g, list, taken, &c));
  EXPECT_EQ(c.position, cells[1].position);
}

TEST(ListLayout, RowListStacksRowsAcrossTheWholeWidth) {
  const VxListGeometry g = VxListGeometry::ForType(2);
  const VxRc list{5, 10, 205, 100};
  auto cells = PlaceAll(g, list, 3);
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[0].position, (VxRc{5, 10, 205, 30}));
  EXPECT_EQ(cells[1].position.top, 33);
  EXPECT_EQ(cells[2].position.top, 56);
  EXPECT_EQ(cells[0].text, (VxRc{5 + 5 + 18, 13, 205 - 18 - 5, 30}));
}

TEST(ListLayout, TwoDropsAtOnePointTakeTwoCells) {
  const VxListGeometry g = VxListGeometry::ForType(0);
  const VxRc list{0, 0, 400, 300};
  std::vector<VxRc> taken;
  VxCellPlacement a, b;
  ASSERT_TRUE(VxPlaceAtPoint(g, list, taken, 120, 130, &a));
  EXPECT_EQ(a.position.left, 77);
  EXPECT_EQ(a.position.top, 100);
  taken.push_back(a.position);
  ASSERT_TRUE(VxPlaceAtPoint(g, list, taken, 120, 130, &b));
  EXPECT_NE(a.position, b.position);
  EXPECT_EQ(b.position.left, 77);
  EXPECT_EQ(b.position.top, 200);
}

TEST(ListLayout, DropNearTheBottomMayUseAnyCell) {
  const VxListGeometry g = VxListGeometry::ForType(0);
  const VxRc list{0, 0, 400, 300};
  VxCellPlacement c;
  ASSERT_TRUE(VxPlaceAtPoint(g, list, {}, 300, 295, &c));
  EXPECT_EQ(c.position.left, 0);
  EXPECT_EQ(c.position.top, 0);
}

TEST(ListLayout, DropOutsideTheListStillEnds) {
  const VxListGeometry g = VxListGeometry::ForType(0);
  const VxRc list{0, 0, 400, 300};
  VxCellPlacement c;
  EXPECT_TRUE(VxPlaceAtPoint(g, list, {}, -500, -500, &c));
  EXPECT_TRUE(VxPlaceAtPoint(g, list, {}, 5000, 100, &c));
  EXPECT_GE(c.position.left, 0);
}

TEST(ListLayout, HoverAndFocusRects) {
  const VxListGeometry icons = VxListGeometry::ForType(0);
  VxCellPlacement cell;
  cell.position = {0, 0, 75, 90};
  cell.text = {0, 56, 75, 90};
  EXPECT_EQ(VxHoverRect(icons, cell, 40, 14), (VxRc{0, 0, 75, 73}));
  EXPECT_EQ(VxFocusRect(icons, cell, 70, 42), (VxRc{0, 0, 75, 101}));

  const VxListGeometry rows = VxListGeometry::ForType(2);
  cell.position = {0, 0, 300, 20};
  EXPECT_EQ(VxHoverRect(rows, cell, 100, 14), (VxRc{0, 0, 128, 23}));
  EXPECT_EQ(VxFocusRect(rows, cell, 100, 14), (VxRc{0, 0, 128, 23}));
  // Short labels still give an 80-pixel target.
  EXPECT_EQ(VxHoverRect(rows, cell, 5, 14).Width(), 80);
}

TEST(ListLayout, RefitKeepsOriginAndLabelColumns) {
  VxListGeometry g = VxListGeometry::ForType(0);
  VxCellPlacement cell;
  cell.position = {10, 20, 85, 110};
  cell.text = {10, 76, 85, 110};
  g.itemHeight = 100;
  g.imageHeight = 64;
  VxCellPlacement r = VxRefitCell(g, cell);
  EXPECT_EQ(r.position, (VxRc{10, 20, 85, 120}));
  EXPECT_EQ(r.text, (VxRc{10, 20 + 64 + 3 + 5, 85, 120}));
}

TEST(ListLayout, EntryPaintExtentCoversEveryState) {
  const VxRc pos{100, 200, 162, 286}, hover{98, 198, 164, 270}, focus{96, 250, 166, 320},
      text{104, 256, 158, 284};
  const VxRc r = VxEntryPaintExtent(pos, hover, focus, text, 2);
  EXPECT_EQ(r, VxRc(94, 196, 168, 328));
  // A focused label is as tall as the focus rectangle even where that sits higher.
  const VxRc tall = VxEntryPaintExtent(pos, VxRc{}, VxRc{0, 0, 10, 100}, text, 0);
  EXPECT_EQ(tall, VxRc(0, 0, 162, 356));
  EXPECT_TRUE(VxEntryPaintExtent(VxRc{}, VxRc{}, VxRc{}, VxRc{}, 3).IsEmpty());
}

// The walk looks cells up in a grid built from the taken rectangles: a rectangle off the
// lattice, one over several columns, one reaching in from the left and one too big for a grid
// must each block exactly the cells whose origin they contain.
TEST(ListLayout, OddTakenRectanglesBlockTheCellsTheyCover) {
  const VxListGeometry g = VxListGeometry::ForType(0);  // 77 x 100 cells
  const VxRc list{10, 20, 400, 320};                    // three cells a column
  VxCellPlacement c;
  std::vector<VxRc> taken = {{-50, 0, 11, 21}, {5, 100, 11, 121}, {80, 0, 170, 400}};
  ASSERT_TRUE(VxPlaceFirstFree(g, list, taken, &c));
  EXPECT_EQ(c.position.left, 10);
  EXPECT_EQ(c.position.top, 220);
  taken.push_back({10, 220, 11, 221});
  ASSERT_TRUE(VxPlaceFirstFree(g, list, taken, &c));  // columns at 87 and 164 held whole
  EXPECT_EQ(c.position.left, 241);
  EXPECT_EQ(c.position.top, 20);
  ASSERT_TRUE(VxPlaceFirstFree(g, list, {{0, 0, 1 << 20, 50}}, &c));
  EXPECT_EQ(c.position.left, 10);
  EXPECT_EQ(c.position.top, 120);
  const VxListGeometry rows = VxListGeometry::ForType(2);
  ASSERT_TRUE(VxPlaceFirstFree(rows, list, {{5, 15, 9, 16}, {10, 20, 400, 40}}, &c));
  EXPECT_EQ(c.position.top, 43);
}

TEST(ListLayout, AThousandEntriesFillColumnsInOrder) {
  const VxListGeometry g = VxListGeometry::ForType(0);
  auto cells = PlaceAll(g, VxRc{0, 0, 800, 600}, 1000);
  ASSERT_EQ(cells.size(), 1000u);
  for (int i : {0, 5, 6, 999})  // six cells a column
    EXPECT_EQ(cells[i].position, (VxRc{i / 6 * 77, i % 6 * 100, i / 6 * 77 + 75, i % 6 * 100 + 90}));
}
