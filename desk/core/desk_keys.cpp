#include "desk/core/desk_keys.h"

#include <algorithm>
#include <climits>

namespace {

// Cells of an auto-arranged grid overlap by a pixel (the column gap is -1), so a probe meets
// an entry only where it holds the entry's centre; otherwise a diagonal neighbour would
// count.
VxPt Centre(const VxRc& r) { return {r.left + r.Width() / 2, r.top + r.Height() / 2}; }

}  // namespace

DeskKeyCommand DeskCommandForKey(int vk, bool control, bool shift) {
  if (control) {
    switch (vk) {
      case 'A': return kKeySelectAll;
      case 'C': return kKeyCopy;
      case 'X': return kKeyCut;
      case 'V': return kKeyPaste;
      case 'D': return kKeyDelete;
      default: break;
    }
  }
  switch (vk) {
    case kDeskVkDelete: return shift ? kKeyDeleteForGood : kKeyDelete;
    case kDeskVkF2: return kKeyRename;
    case kDeskVkF5: return kKeyRefresh;
    case kDeskVkLeft: return kKeyLeft;
    case kDeskVkUp: return kKeyUp;
    case kDeskVkRight: return kKeyRight;
    case kDeskVkDown: return kKeyDown;
    default: return kKeyNone;
  }
}

DeskRowStep DeskRowsArrow(const std::vector<VxRc>& cells, int focused, bool down, int listTop,
                          int itemHeight, int scroll, int view) {
  DeskRowStep step{focused, scroll};
  const int count = static_cast<int>(cells.size());
  if (count == 0) return {-1, scroll};
  if (focused < 0 || focused >= count) step.index = 0;
  else if (down && focused + 1 < count) step.index = focused + 1;
  else if (!down && focused > 0) step.index = focused - 1;
  else return step;  // at the end it asks for: nothing moves
  if (view <= 0) return step;
  if (step.index == 0) {
    step.scroll = 0;
    return step;
  }
  const int top = cells[step.index].top - listTop, bottom = cells[step.index].bottom - listTop;
  if (bottom - scroll > view) step.scroll = std::max(scroll + itemHeight, bottom - view);
  else if (top < scroll) step.scroll = std::max(0, std::min(scroll - itemHeight, top));
  return step;
}

int DeskIconArrow(const std::vector<VxRc>& cells, int focused, DeskKeyCommand arrow,
                  const VxRc& list) {
  const int count = static_cast<int>(cells.size());
  if (count == 0) return -1;
  if (focused < 0 || focused >= count) return 0;
  const VxRc& from = cells[focused];
  int dx = 0, dy = 0;
  switch (arrow) {
    case kKeyLeft: dx = -from.Width(); break;
    case kKeyRight: dx = from.Width(); break;
    case kKeyUp: dy = -from.Height(); break;
    case kKeyDown: dy = from.Height(); break;
    default: return -1;
  }
  if (dx == 0 && dy == 0) return -1;  // an empty cell would probe in place for ever
  VxRc probe = from;
  for (;;) {
    probe = {probe.left + dx, probe.top + dy, probe.right + dx, probe.bottom + dy};
    if (!probe.Intersects(list)) return -1;
    int best = -1;
    long long bestDistance = LLONG_MAX;
    for (int i = 0; i < count; ++i) {
      if (i == focused || !probe.Contains(Centre(cells[i]).x, Centre(cells[i]).y)) continue;
      const long long ex = cells[i].left - probe.left, ey = cells[i].top - probe.top;
      if (ex * ex + ey * ey < bestDistance) {
        bestDistance = ex * ex + ey * ey;
        best = i;
      }
    }
    if (best >= 0) return best;
  }
}
