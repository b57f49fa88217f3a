// Where the navigation pages put things, in page coordinates. The pages are laid out for a
// 1000 x 689 block centred in the host window; `width` is the client (or work-area) width
// and `workHeight` the work-area height.
#pragma once
#include "uilib/core/vx_geom.h"

// 我的导航: the tile of a slot at `position` (0..11, four per row), 250 x 172.
VxRc MyDaohangTileRect(int position, int width, int workHeight);
// The part of a tile that takes a press: the tile shrunk by 10 on every side.
VxRc MyDaohangTileHitRect(const VxRc& tile);
// The title strip at the tile's foot (214 x 30) and the delete button right of it (16 x 30).
VxRc MyDaohangTitleRect(const VxRc& tile);
VxRc MyDaohangDeleteRect(const VxRc& tile);
// The position whose tile takes a press at x, y, or -1.
int MyDaohangPositionAt(int x, int y, int width, int workHeight);

// 推荐导航: the row of site pictures (1000 x 160) and the category area below it
// (1000 x 356), its content inset by 10, and the scroll bar (12 wide) in it.
struct TuijianLayout {
  VxRc top;
  VxRc categories;
  VxRc categoryContent;
  VxRc scrollBar;
};
TuijianLayout TuijianPageLayout(int width, int workHeight);

// The five recommendation web pages: the 1045 x 575 content rectangle and the 975 x 510
// browser centred in it.
VxRc TuijianHtmlContentRect(int clientWidth, int workHeight);
VxRc TuijianHtmlBrowserRect(int clientWidth, int workHeight);
