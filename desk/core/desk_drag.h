// Drag and drop on the desk without any Windows header: when a press becomes a drag, the
// effect the keys ask for, what a drop on an entry means and what the drag view says, what
// a drop then does, the insertion gaps between entries and how the marker is drawn.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "uilib/core/vx_geom.h"

// Drop effects and drag key-state bits, numbered as OLE numbers them.
constexpr uint32_t kDeskEffectNone = 0, kDeskEffectCopy = 1, kDeskEffectMove = 2,
                   kDeskEffectLink = 4;
constexpr uint32_t kDeskEffectsAll = kDeskEffectCopy | kDeskEffectMove | kDeskEffectLink;
constexpr uint32_t kDeskKeyShift = 0x04, kDeskKeyControl = 0x08, kDeskKeyAlt = 0x20;

// A press turns into a drag once the cursor is 5 pixels (straight line) from it.
constexpr int kDeskDragStartDistance = 5;
bool DeskDragShouldStart(VxPt press, VxPt now);

// The drag image: 75 x 100; every icon at (13, 0) in 48 x 48; one entry's label image at
// (0, 53), or for several the count text in (0, 53, 75, 47); held at (60, 45).
constexpr int kDeskDragImageWidth = 75, kDeskDragImageHeight = 100;
constexpr VxXYWH kDeskDragImageIcon{13, 0, 48, 48};
constexpr VxXYWH kDeskDragImageText{0, 53, 75, 47};
constexpr VxPt kDeskDragImageHotSpot{60, 45};
// "拖动%d个文件" for `count` entries.
std::u16string DeskDragCountText(int count);

// The effect of a drag over the desk: Alt (or Control with Shift) links, Control copies,
// anything else moves; nothing without a file list. `allowed` is what the source offers:
// an effect it does not offer is never returned. Without a key held, the first offered of
// move, copy, link stands in; with a key held the user asked for that one, so it is none.
uint32_t DeskDropEffect(bool hasFiles, uint32_t keyState, uint32_t allowed);

// The entry under the cursor as a drop target sees it.
struct DeskDropEntry {
  int kind = 0;  // KIND_* of desk_records.h
  std::u16string parseName;
  std::u16string displayName;
};
struct DeskOpenWith {
  uint32_t effect = kDeskEffectNone;
  std::u16string target;  // named in the drag view
  bool openWith = false;  // the drop starts the entry's program with the files
};
// No entry: "桌面", the effect stands. A file ending in ".exe" (any case): its name, open
// with it, copy. A folder: its name. Anything else, shortcuts too: "桌面".
DeskOpenWith DeskCanOpenWith(const DeskDropEntry* entry, uint32_t effect);

// The drag view's three texts: "移动到" target; "复制到" target, or "用" target "打开"
// when opening with it; "在" target "创建链接". All empty for no effect.
struct DeskDragViewTexts {
  std::u16string verb, target, suffix;
};
DeskDragViewTexts DeskDragViewTextsFor(uint32_t effect, const std::u16string& target,
                                       bool openWith);
// 23 + each measured text width + 3 after each; 20 high, 20 right of and below the cursor.
VxRc DeskDragViewRect(VxPt cursor, int verbWidth, int targetWidth, int suffixWidth);

// What a drop does.
enum DeskDropAction {
  kDropNothing,
  kDropRearrange,       // move the dragged entries inside the desk, no file touched
  kDropOpenWith,        // start the target entry with the quoted paths
  kDropCopyToFolder,    // shell copy into the target folder
  kDropCopyToDesktop,   // shell copy into the desktop folder, renaming on a clash
  kDropMoveToFolder,    // shell move into the target folder
  kDropMoveToDesktop,   // shell move into the desktop folder
  kDropLinkInFolder,    // shortcuts in the target folder
  kDropLinkOnDesktop,   // shortcuts on the desktop
};
struct DeskDropSituation {
  bool fromDesk = false;     // the drag started on the desk
  uint32_t effect = kDeskEffectNone;
  bool hasDropItem = false;  // an entry (not a dragged one) is under the cursor
  bool overDragged = false;  // the cursor is over a dragged entry
  bool openWith = false;     // from DeskCanOpenWith for that entry
  bool targetIsFolder = false;
};
DeskDropAction DeskChooseDropAction(const DeskDropSituation& s);

// Insertion gaps. Which band geometry a list uses: its rows, the auto-arranged icon grid
// (gaps left of each entry), or free icons (gaps above each entry).
enum DeskGapLayout { kDeskGapRows, kDeskGapGrid, kDeskGapFree };
DeskGapLayout DeskGapLayoutFor(int listType, bool autoArrange);
// The band of the gap before an entry whose cell is `cell` (list coordinates, unscrolled),
// with the list's column and row gaps and scroll offset. Like every rectangle here it holds
// its left and top but not its right and bottom.
VxRc DeskInsertionBand(DeskGapLayout layout, const VxRc& cell, int wIner, int hIner,
                       int scroll);
// Index of the first entry whose band holds `pt`, -1 when none; `band` (may be null)
// receives that band, which is also the marker.
int DeskInsertionGapAt(DeskGapLayout layout, const std::vector<VxRc>& cells, int wIner,
                       int hIner, int scroll, VxPt pt, VxRc* band);

// The marker is drawn from "horizontal.png" when wider than tall, else "vertical.png": two
// 4-pixel end caps from the ends of the image, its middle stretched between them.
struct DeskImagePiece {
  VxXYWH src, dst;
};
struct DeskMarkerDrawing {
  bool horizontal = true;
  std::vector<DeskImagePiece> pieces;  // pieces of zero size are left out
};
DeskMarkerDrawing DeskMarkerPieces(const VxRc& marker, int imageWidth, int imageHeight);
