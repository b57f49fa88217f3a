// Cell layout of the icon list: where each entry of a grid (large or small icons) or a row
// list goes inside the list rectangle. No Windows header: the list control calls in here.
#pragma once
#include <vector>

#include "uilib/core/vx_geom.h"

enum VxListTypeCode { kVxBigIcon = 0, kVxIcon = 1, kVxRows = 2 };

struct VxListGeometry {
  int type = kVxRows;
  int itemWidth = -1, itemHeight = 20;
  int wIner = -1, hIner = 3;
  int imageWidth = 18, imageHeight = 18;
  int innerTop = 3;
  int labelGap = 5;
  bool byRows = false;  // icon types: fill rows first instead of columns

  int CellHeight() const { return itemHeight + hIner; }
  int ColumnStep() const { return itemWidth + wIner; }
  bool IsIconType() const { return type == kVxBigIcon || type == kVxIcon; }

  // Presets of the three list types.
  static VxListGeometry ForType(int type);
};

// A placed entry: its cell and its label rectangle.
struct VxCellPlacement {
  VxRc position;
  VxRc text;
};

// True when the top-left point of a candidate cell lies inside an entry's cell.
bool VxCellOccupied(const std::vector<VxRc>& taken, int x, int y);

// First free cell of the list rectangle; false when the list is too small for one cell.
bool VxPlaceFirstFree(const VxListGeometry& g, const VxRc& list, const std::vector<VxRc>& taken,
                      VxCellPlacement* out);

// Free mode: first free cell at or after the cell holding (x, y) in the column walk.
bool VxPlaceAtPoint(const VxListGeometry& g, const VxRc& list, const std::vector<VxRc>& taken,
                    int x, int y, VxCellPlacement* out);

// Label rectangle of a cell whose origin stays (used when sizes change, not places).
VxCellPlacement VxRefitCell(const VxListGeometry& g, const VxCellPlacement& old);

// Highlight rectangles from the measured label size.
VxRc VxHoverRect(const VxListGeometry& g, const VxCellPlacement& cell, float measuredW,
                 float measuredH);
VxRc VxFocusRect(const VxListGeometry& g, const VxCellPlacement& cell, float measuredW,
                 float measuredH);

// Every pixel an entry's drawing may touch in any of its states: its cell, both highlight
// rectangles and the label (which grows to the focus rectangle's height when focused),
// grown by `margin` for the smoothing of scaled highlight edges. A state change of the entry
// repaints only this area.
VxRc VxEntryPaintExtent(const VxRc& position, const VxRc& hover, const VxRc& focus,
                        const VxRc& text, int margin);
