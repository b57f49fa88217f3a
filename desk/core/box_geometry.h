// Arithmetic of a box on the desk page without any Windows header: which part of a box a
// point is on, the scroll thumb, resizing within the minimum size, magnetic snapping to the
// neighbouring boxes, wheel steps and the brightness of a new entry's flash.
#pragma once
#include <vector>

#include "desk/core/desk_boxes.h"

// What a point on a box is on; 0 for none of these (the list area, or outside).
enum DeskBoxHit {
  kBoxHitNone = 0,
  kBoxHitTitle = 1,
  kBoxHitLeft = 2,
  kBoxHitTopLeft = 3,
  kBoxHitTop = 4,
  kBoxHitTopRight = 5,
  kBoxHitRight = 6,
  kBoxHitBottomLeft = 7,
  kBoxHitBottom = 8,
  kBoxHitBottomRight = 9,
  kBoxHitThumb = 10,
  kBoxHitMenu = 11,
};

// Mouse pointer shapes a hit asks for (only on boxes that are not fixed in place).
enum DeskBoxCursor {
  kBoxCursorNone = 0,  // leave the pointer as it is
  kBoxCursorMove,      // four arrows
  kBoxCursorNS,
  kBoxCursorWE,
  kBoxCursorNWSE,
  kBoxCursorNESW,
};

// The frame around a box's list: the title band is 48 pixels, the other sides 10.
constexpr int kBoxListInsetLeft = 10, kBoxListInsetTop = 48, kBoxListInsetRight = 10,
              kBoxListInsetBottom = 10;
// The visible height of the list is the box height less this.
constexpr int kBoxChromeHeight = 58;
constexpr int kBoxMinWidth = 130, kBoxMinHeight = 168;
constexpr int kBoxThumbMinLength = 16;
constexpr int kBoxSnapGap = 5;        // the gap a snapped box keeps to its neighbour
constexpr int kBoxSnapReach = 15;     // a facing edge this close pulls the box in
constexpr int kBoxSnapRelease = 21;   // cursor travel that tears a snapped box loose
constexpr int kBoxSnapCarry = 20;     // what the remembered point moves when it tears loose
constexpr int kBoxFlashStart = 60;    // flash counter of a new entry

// Hit code of point (x, y) on box `r`, regions tried in a fixed order so that the menu
// button wins over the title and the thumb over the right edge. Rectangles include their
// left and top but not their right and bottom.
int DeskBoxHitTest(const VxRc& r, int thumbPos, int thumbLength, int x, int y);
DeskBoxCursor DeskBoxCursorFor(int hit);
// The menu button and the title band, as the drawing needs them.
VxRc DeskBoxMenuButton(const VxRc& r);
VxRc DeskBoxListArea(const VxRc& r);
// A rubber band from `from` to `to` inside box `r`: only its list area can be selected.
VxRc DeskBoxBand(const VxRc& r, VxPt from, VxPt to);

struct DeskBoxThumb {
  int position = 0;
  int length = 0;
  int scroll = 0;
};

int DeskBoxViewHeight(const VxRc& r);
// Thumb of a list with content height `content` shown in `view` pixels at `scroll`; the
// scroll comes back clamped so the last page ends at the bottom. No thumb and scroll 0 when
// everything fits.
DeskBoxThumb DeskBoxThumbLayout(int content, int view, int scroll);
// The thumb dragged by `dy` pixels.
DeskBoxThumb DeskBoxThumbDrag(const DeskBoxThumb& thumb, int dy, int content, int view);
// One wheel movement (120 per notch, positive = away from the user = up the list).
DeskBoxThumb DeskBoxWheel(const DeskBoxThumb& thumb, int wheelDelta, int content, int view);

// Resizing by dragging the part `hit` (2 to 9) by (dx, dy): the edges of that part move,
// but no further than the minimum size allows. `moved` receives how far the dragged part
// really went, so the remembered point can follow the edge rather than the cursor.
VxRc DeskBoxResize(const VxRc& r, int hit, int dx, int dy, VxPt* moved);

// Moving box `r` by the title from the remembered point `from` towards `cursor`, with the
// other shown boxes as magnets (topmost first; the first that snaps wins). Returns the new
// rectangle; `from` becomes the point the next movement is measured from.
VxRc DeskBoxMagneticMove(const VxRc& r, VxPt* from, VxPt cursor,
                             const std::vector<VxRc>& others);

// Alpha (0-255) of the flash over a new entry whose counter is `counter`: up from 60 to 50,
// down to 40, a smaller pulse from 40 to 30, nothing after.
int DeskFlashAlpha(int counter);
