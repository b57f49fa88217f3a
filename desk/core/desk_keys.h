// The desk's keys without any Windows header: which command a key stands for, and where the
// arrow keys take the focus in each list type.
#pragma once
#include <vector>

#include "uilib/core/vx_geom.h"

// Virtual-key codes the desk answers (numbered as Windows numbers them).
constexpr int kDeskVkLeft = 0x25, kDeskVkUp = 0x26, kDeskVkRight = 0x27, kDeskVkDown = 0x28;
constexpr int kDeskVkDelete = 0x2E, kDeskVkF2 = 0x71, kDeskVkF5 = 0x74;

enum DeskKeyCommand {
  kKeyNone,           // not the desk's key (F1 among them): pass it on
  kKeySelectAll,      // Control+A
  kKeyCopy,           // Control+C
  kKeyCut,            // Control+X
  kKeyPaste,          // Control+V
  kKeyDelete,         // Control+D, Delete: to the recycle bin
  kKeyDeleteForGood,  // Shift+Delete
  kKeyRename,         // F2
  kKeyRefresh,        // F5
  kKeyLeft,
  kKeyUp,
  kKeyRight,
  kKeyDown,
};
DeskKeyCommand DeskCommandForKey(int vk, bool control, bool shift);

// Up and Down in list display. `cells` are the entries' cells in list coordinates, `listTop`
// the list's top in the same coordinates; `view` the visible height (0: a list that does
// not scroll, the desk list). The step gives the new focused entry (the old one at either
// end; the first one when none was focused) and the box's new scroll: one item height
// further when the entry would leave the visible part, more if that is still not enough,
// 0 at the first entry.
struct DeskRowStep {
  int index = -1;
  int scroll = 0;
};
DeskRowStep DeskRowsArrow(const std::vector<VxRc>& cells, int focused, bool down, int listTop,
                          int itemHeight, int scroll, int view);

// An arrow in an icon view: a probe the size of the focused cell, one cell away in that
// direction, moves on by its own width (or height) until it holds the centre of an entry's
// cell or no longer meets `list`. Returns that entry (the nearest when several are), -1
// when none; the first entry when none was focused.
int DeskIconArrow(const std::vector<VxRc>& cells, int focused, DeskKeyCommand arrow,
                  const VxRc& list);
