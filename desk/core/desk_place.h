// Where things go on the desk without any Windows header: the boxes organizing makes for
// each kind of item, and which list a new desktop item lands in.
#pragma once
#include "desk/core/desk_boxes.h"
#include "uilib/core/vx_geom.h"

// Where organizing sends an item of `kind` (KIND_* of desk_records.h).
struct DeskOrganizeTarget {
  bool toBox = false;     // false: the desk list, in grid order
  const char16_t* title = u"";  // of the box made when none of this kind exists yet
  int listType = 0;       // kDeskBoxIcons or kDeskBoxRows
};
DeskOrganizeTarget DeskOrganizeTargetFor(int kind);

// The rectangle of the box organizing makes for `kind` on `page` (page coordinates): a
// column at the right edge, folders above, files below down to the page bottom.
VxRc DeskOrganizeBoxRect(int kind, const VxRc& page);

// What is known when an item arrives outside a drag, in the order the rule asks.
struct DeskArrival {
  bool dropBoxPending = false;     // something is dragged over a box
  bool dropOnDeskPending = false;  // ... over the desk list
  bool intoBox = false;            // the caller named a box list
  bool autoOrganize = false;       // items on the desk list go to the box of their kind
  bool kindHasBoxName = false;     // a box name is configured for the item's kind
  bool namedBoxExists = false;     // ... and a box of that name exists
  bool autoArrange = false;        // the desk list keeps grid order
  bool hasPoint = false;           // the caller gave a position
};

enum DeskPlacement {
  kPlaceDropBox,       // into the pending drop box at the pending index
  kPlaceDropIndex,     // into the desk list at the pending index, then the grid re-laid
  kPlaceDropPoint,     // onto the desk list at the pending point
  kPlaceGivenBox,      // into the box the caller named, grid order
  kPlaceNamedBox,      // into the box the organize rule names for the kind, grid order
  kPlaceDeskGrid,      // onto the desk list in grid order
  kPlaceDeskPoint,     // onto the desk list at the caller's point
};
DeskPlacement DeskChoosePlacement(const DeskArrival& a);
