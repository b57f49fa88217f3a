#include "uilib/core/vx_list_layout.h"

#include <climits>
#include <vector>

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

long FloorDiv(long a, long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Which points of a walk's lattice (origin x0,y0, steps dx,dy; the walk visits i,j >= 0)
// the taken rectangles contain: VxCellOccupied's answer for a lattice point, looked up in a
// grid built once instead of searched for each point, which made filling a list cubic in
// its size. A rectangle covering very many points keeps the search.
class LatticeOccupancy {
 public:
  LatticeOccupancy(const std::vector<VxRc>& taken, int x0, int y0, int dx, int dy)
      : taken_(taken), x0_(x0), y0_(y0), dx_(dx), dy_(dy) {
    struct Span { long i0, i1, j0, j1; };
    std::vector<Span> spans;
    spans.reserve(taken.size());
    long cells = 0;
    const long limit = 4 * static_cast<long>(taken.size()) + 4096;
    for (const VxRc& r : taken) {
      const Span s{std::max(0L, FloorDiv(static_cast<long>(r.left) - x0 + dx - 1, dx)),
                   FloorDiv(static_cast<long>(r.right) - 1 - x0, dx),
                   std::max(0L, FloorDiv(static_cast<long>(r.top) - y0 + dy - 1, dy)),
                   FloorDiv(static_cast<long>(r.bottom) - 1 - y0, dy)};
      if (s.i1 < s.i0 || s.j1 < s.j0) continue;
      cells += (s.i1 - s.i0 + 1) * (s.j1 - s.j0 + 1);
      if (s.i1 >= limit || s.j1 >= limit || cells > limit) return;  // searched instead
      columns_ = std::max(columns_, s.i1 + 1);
      rows_ = std::max(rows_, s.j1 + 1);
      spans.push_back(s);
    }
    grid_.assign(static_cast<size_t>(columns_ * rows_), 0);
    for (const Span& s : spans)
      for (long j = s.j0; j <= s.j1; ++j)
        for (long i = s.i0; i <= s.i1; ++i) grid_[static_cast<size_t>(j * columns_ + i)] = 1;
    built_ = true;
  }

  bool Has(int x, int y) const {
    if (!built_) return VxCellOccupied(taken_, x, y);
    const long i = FloorDiv(static_cast<long>(x) - x0_, dx_);
    const long j = FloorDiv(static_cast<long>(y) - y0_, dy_);
    if (i < 0 || j < 0 || (static_cast<long>(x) - x0_) % dx_ || (static_cast<long>(y) - y0_) % dy_)
      return VxCellOccupied(taken_, x, y);  // not a lattice point
    return i < columns_ && j < rows_ && grid_[static_cast<size_t>(j * columns_ + i)];
  }

 private:
  const std::vector<VxRc>& taken_;
  long x0_, y0_, dx_, dy_;
  long columns_ = 0, rows_ = 0;
  std::vector<char> grid_;
  bool built_ = false;
};

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
    // Only the column at list.left is walked: one lattice column wider than any list.
    const LatticeOccupancy rows(taken, list.left, list.top, 1 << 28, cellH);
    int y = list.top;
    while (rows.Has(list.left, y)) y += cellH;
    *out = RowCell(g, list, y);
    return true;
  }
  if (g.ColumnStep() <= 0 || g.CellHeight() <= 0) return false;
  const LatticeOccupancy cells(taken, list.left, list.top, g.ColumnStep(), g.CellHeight());
  return WalkIconCells(g, list, [&](int x, int y) {
    if (cells.Has(x, y)) return false;
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
  const LatticeOccupancy cells(taken, list.left, list.top, step, cellH);
  return WalkIconCells(cols, list, [&](int x, int y) {
    if (!started) {
      const VxRc cell{x, y, x + step, y + cellH};
      if (cell.Contains(px, py) || x > px + step) started = true;
    }
    if (!started || cells.Has(x, y)) return false;
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
