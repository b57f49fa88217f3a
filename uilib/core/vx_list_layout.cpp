#include "uilib/core/vx_list_layout.h"

#include <climits>

VxListGeometry VxListGeometry::ForType(int type) {
  VxListGeometry g;
  g.type = type;
  switch (type) {
    case kVxBigIcon:
      g.itemWidth = 75; g.itemHeight = 90; g.imageWidth = 48; g.imageHeight = 48;
      g.wIner = 2; g.hIner = 10;
      break;
    case kVxIcon:
      g.itemWidth = 75; g.itemHeight = 74; g.imageWidth = 32; g.imageHeight = 32;
      g.wIner = 0; g.hIner = 8;
      break;
    default:
      g.type = kVxRows;
      g.itemWidth = -1; g.itemHeight = 20; g.imageWidth = 18; g.imageHeight = 18;
      g.wIner = -1; g.hIner = 3;
      break;
  }
  return g;
}

bool VxCellOccupied(const std::vector<VxRc>& taken, int x, int y) {
  for (const VxRc& r : taken)
    if (r.Contains(x, y)) return true;
  return false;
}

namespace {

VxCellPlacement IconCell(const VxListGeometry& g, int x, int y) {
  VxCellPlacement c;
  c.position = {x, y, x + g.itemWidth, y + g.itemHeight};
  c.text = {x, y + g.imageHeight + g.innerTop + g.labelGap, x + g.itemWidth, y + g.itemHeight};
  return c;
}

VxCellPlacement RowCell(const VxListGeometry& g, const VxRc& list, int y) {
  VxCellPlacement c;
  c.position = {list.left, y, list.right, y + g.itemHeight};
  c.text = {list.left + 5 + g.imageWidth, y + 3, list.right - g.imageWidth - 5, y + g.itemHeight};
  return c;
}

// Walks the cells of an icon grid in fill order and hands each origin to `visit` until it
// returns true. Every walk ends: each step either takes a cell or moves past one, and the
// number of occupied cells is finite, so a free cell always comes.
template <class Visit>
bool WalkIconCells(const VxListGeometry& g, const VxRc& list, Visit visit) {
  const int cellH = g.CellHeight();
  const int step = g.ColumnStep();
  if (cellH <= 0 || step <= 0) return false;
  int x = list.left, y = list.top;
  if (!g.byRows) {
    if (list.Height() < cellH) return false;
    for (;;) {
      if (visit(x, y)) return true;
      if (y + cellH > list.bottom - g.itemHeight) {
        x += step;
        y = list.top;
      } else {
        y += cellH;
      }
      if (x > INT_MAX / 2) return false;
    }
  } else {
    if (list.Width() < step) return false;
    for (;;) {
      if (visit(x, y)) return true;
      if (x + step > list.right - g.itemWidth) {
        y += cellH;
        x = list.left;
      } else {
        x += step;
      }
      if (y > INT_MAX / 2) return false;
    }
  }
}

}  // namespace

bool VxPlaceFirstFree(const VxListGeometry& g, const VxRc& list, const std::vector<VxRc>& taken,
                      VxCellPlacement* out) {
  if (!g.IsIconType()) {
    const int cellH = g.CellHeight();
    if (cellH <= 0) return false;
    int y = list.top;
    while (VxCellOccupied(taken, list.left, y)) y += cellH;
    *out = RowCell(g, list, y);
    return true;
  }
  return WalkIconCells(g, list, [&](int x, int y) {
    if (VxCellOccupied(taken, x, y)) return false;
    *out = IconCell(g, x, y);
    return true;
  });
}

bool VxPlaceAtPoint(const VxListGeometry& g, const VxRc& list, const std::vector<VxRc>& taken,
                    int px, int py, VxCellPlacement* out) {
  const int cellH = g.CellHeight();
  const int step = g.ColumnStep();
  if (cellH <= 0 || step <= 0 || list.Height() < cellH) return false;
  // A point in the strip below the last cell of a column belongs to no cell of the walk:
  // then every cell is a candidate.
  bool started = py >= list.bottom - cellH;
  // A point outside the list matches no cell either; after the walk has passed the point's
  // column (plus one spare, since cells may begin left of the point) it starts anyway.
  VxListGeometry cols = g;
  cols.byRows = false;
  return WalkIconCells(cols, list, [&](int x, int y) {
    if (!started) {
      const VxRc cell{x, y, x + step, y + cellH};
      if (cell.Contains(px, py) || x > px + step) started = true;
    }
    if (!started || VxCellOccupied(taken, x, y)) return false;
    *out = IconCell(g, x, y);
    return true;
  });
}

VxCellPlacement VxRefitCell(const VxListGeometry& g, const VxCellPlacement& old) {
  VxCellPlacement c = old;
  c.position.bottom = old.position.top + g.itemHeight;
  c.text.top = old.position.top + g.imageHeight + g.innerTop + g.labelGap;
  c.text.bottom = old.position.top + g.itemHeight;
  return c;
}

VxRc VxHoverRect(const VxListGeometry& g, const VxCellPlacement& cell, float mw, float mh) {
  const VxRc& p = cell.position;
  if (g.IsIconType())
    return {p.left, p.top, p.right, cell.text.top + static_cast<int>(mh) + 3};
  int right = p.left + g.imageWidth + 5 + static_cast<int>(mw) + 5;
  if (right - p.left < 80) right = p.left + 80;
  return {p.left, p.top, right, p.bottom + 3};
}

VxRc VxFocusRect(const VxListGeometry& g, const VxCellPlacement& cell, float mw, float mh) {
  const VxRc& p = cell.position;
  if (g.IsIconType())
    return {p.left, p.top, p.right, cell.text.top + static_cast<int>(mh) + 3};
  int right = p.left + g.imageWidth + 10 + static_cast<int>(mw);
  if (right - p.left < 80) right = p.left + 80;
  return {p.left, p.top, right, p.bottom + 3};
}

VxRc VxEntryPaintExtent(const VxRc& position, const VxRc& hover, const VxRc& focus,
                        const VxRc& text, int margin) {
  const VxRc fullLabel{text.left, text.top, text.right,
                       text.top + std::max(text.Height(), focus.Height())};
  VxRc r = position.Union(hover).Union(focus).Union(text).Union(fullLabel);
  if (r.IsEmpty()) return VxRc{};
  return {r.left - margin, r.top - margin, r.right + margin, r.bottom + margin};
}
