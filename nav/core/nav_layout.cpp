#include "nav/core/nav_layout.h"

namespace {

constexpr int kBlockWidth = 1000, kBlockHeight = 689;
constexpr int kTileWidth = 250, kTileHeight = 172, kTilesPerRow = 4, kTileCount = 12;
constexpr int kPageTopBar = 136;  // the toolbar and search bar above every page

VxRc Shrink(const VxRc& r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

VxRc Sized(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

}  // namespace

VxRc MyDaohangTileRect(int position, int width, int workHeight) {
  const int left = (width - kBlockWidth) / 2;
  const int top = (workHeight - kBlockHeight) / 2 + kPageTopBar;
  return Sized(left + (position % kTilesPerRow) * kTileWidth,
               top + (position / kTilesPerRow) * kTileHeight, kTileWidth, kTileHeight);
}

VxRc MyDaohangTileHitRect(const VxRc& tile) { return Shrink(tile, 10); }

VxRc MyDaohangTitleRect(const VxRc& tile) {
  return Sized(tile.left + (tile.Width() - 230) / 2, tile.bottom - 40, 214, 30);
}

VxRc MyDaohangDeleteRect(const VxRc& tile) {
  const VxRc title = MyDaohangTitleRect(tile);
  return Sized(title.right, title.top, 16, 30);
}

int MyDaohangPositionAt(int x, int y, int width, int workHeight) {
  for (int p = 0; p < kTileCount; ++p)
    if (MyDaohangTileHitRect(MyDaohangTileRect(p, width, workHeight)).Contains(x, y)) return p;
  return -1;
}

TuijianLayout TuijianPageLayout(int width, int workHeight) {
  const int left = (width - kBlockWidth) / 2;
  const int a = (workHeight - kBlockHeight) / 2;
  TuijianLayout l;
  l.top = {left, a + 136, left + kBlockWidth, a + 296};
  l.categories = {left, a + 296, left + kBlockWidth, a + 652};
  l.categoryContent = Shrink(l.categories, 10);
  l.scrollBar = Sized(l.categories.right - 20, l.categories.top + 10, 12,
                      l.categories.Height() - 20);
  return l;
}

VxRc TuijianHtmlContentRect(int clientWidth, int workHeight) {
  return Sized((clientWidth - 1045) / 2, (workHeight - 748) / 2 + kPageTopBar, 1045, 575);
}

VxRc TuijianHtmlBrowserRect(int clientWidth, int workHeight) {
  const VxRc c = TuijianHtmlContentRect(clientWidth, workHeight);
  return Sized(c.left + (c.Width() - 975) / 2, c.top + (c.Height() - 510) / 2, 975, 510);
}
