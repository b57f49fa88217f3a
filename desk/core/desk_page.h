// Following the work area without any Windows header: boxes and desk-list cells keep the
// place the user gave them relative to the page's top-left corner, and are shown inside the
// page however small it gets; once the page is large enough again they are back where they
// were.
#pragma once
#include "uilib/core/vx_geom.h"

// `r` relative to the top-left corner of `page`, and back.
VxRc DeskToPage(const VxRc& r, const VxRc& page);
VxRc DeskFromPage(const VxRc& relative, const VxRc& page);

// Where something that wants to be at `want` (relative to the page corner) shows on `page`:
// at the same offset from the corner, pushed back inside where it would stick out, and cut
// to the page's size where it is larger.
VxRc DeskShownPlace(const VxRc& want, const VxRc& page);

// A box or cell as the page follows the work area: the place the user wants it (relative to
// the page corner) and where the desk last showed it (page coordinates).
struct DeskPlace {
  VxRc want;
  VxRc placed;
  bool known = false;  // false until the desk has placed it once
};

// The place wanted now: `place.want` while the thing still shows where the desk put it;
// when it was moved or resized since (or never placed), where it shows now on `page`.
VxRc DeskWantedPlace(const DeskPlace& place, const VxRc& shown, const VxRc& page);

// Moves the thing onto `newPage` (it shows at `shown` on `oldPage`): returns where it shows
// now and keeps `place` up to date.
VxRc DeskFollowPage(DeskPlace* place, const VxRc& shown, const VxRc& oldPage,
                    const VxRc& newPage);
