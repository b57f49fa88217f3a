#include "desk/core/box_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool In(int x, int y, int left, int top, int right, int bottom) {
  return x >= left && x < right && y >= top && y < bottom;
}

// One axis of a box and of the neighbours that face it on that axis.
struct Span {
  int lo = 0, hi = 0;
};

bool Overlap(int aLo, int aHi, int bLo, int bHi) { return aLo < bHi && bLo < aHi; }

// How far the box moves along one axis for a cursor at `cursor` measured from `*from`.
int SnapAxis(const Span& box, int* from, int cursor, const std::vector<Span>& facing) {
  const int d = cursor - *from;
  for (const Span& n : facing) {
    if (n.lo - box.hi != kBoxSnapGap && box.lo - n.hi != kBoxSnapGap) continue;
    // Held by the magnet: travel accumulates from the remembered point until it is large
    // enough to tear the box loose by one pixel.
    if (std::abs(d) < kBoxSnapRelease) return 0;
    const int step = d > 0 ? 1 : -1;
    *from += step * kBoxSnapCarry;
    return step;
  }
  *from = cursor;
  if (d == 0) return 0;
  for (const Span& n : facing) {
    // Only an approach snaps; a box that was torn loose may leave freely.
    const int before = d > 0 ? n.lo - box.hi : box.lo - n.hi;
    if (before <= kBoxSnapGap) continue;
    const int after = before - std::abs(d);
    // A box that overshot the gap by less than a release is pushed back out to it; one
    // that travelled further meant to pass.
    if (after <= kBoxSnapReach && after > kBoxSnapGap - kBoxSnapRelease) {
      const int shift = before - kBoxSnapGap;
      return d > 0 ? shift : -shift;
    }
  }
  return d;
}

}  // namespace

int DeskBoxHitTest(const VxRc& r, int thumbPos, int thumbLength, int x, int y) {
  const int l = r.left, t = r.top, rt = r.right, b = r.bottom;
  if (In(x, y, rt - 29, t + 10, rt - 10, t + 30)) return kBoxHitMenu;
  if (In(x, y, l + 5, t + 5, rt - 5, t + 38)) return kBoxHitTitle;
  const int thumbTop = t + kBoxListInsetTop + thumbPos;
  if (In(x, y, rt - 13, thumbTop, rt - 5, thumbTop + thumbLength)) return kBoxHitThumb;
  if (In(x, y, l + 5, t, rt - 5, t + 5)) return kBoxHitTop;
  if (In(x, y, l, t, l + 5, t + 5)) return kBoxHitTopLeft;
  if (In(x, y, l, t + 5, l + 5, b - 5)) return kBoxHitLeft;
  if (In(x, y, l, b - 5, l + 5, b)) return kBoxHitBottomLeft;
  if (In(x, y, l + 5, b - 5, rt - 5, b)) return kBoxHitBottom;
  if (In(x, y, rt - 5, b - 5, rt, b)) return kBoxHitBottomRight;
  if (In(x, y, rt - 5, t + 5, rt, b - 5)) return kBoxHitRight;
  if (In(x, y, rt - 5, t, rt, t + 5)) return kBoxHitTopRight;
  return kBoxHitNone;
}

DeskBoxCursor DeskBoxCursorFor(int hit) {
  switch (hit) {
    case kBoxHitTitle: return kBoxCursorMove;
    case kBoxHitTop:
    case kBoxHitBottom: return kBoxCursorNS;
    case kBoxHitLeft:
    case kBoxHitRight: return kBoxCursorWE;
    case kBoxHitTopLeft:
    case kBoxHitBottomRight: return kBoxCursorNWSE;
    case kBoxHitTopRight:
    case kBoxHitBottomLeft: return kBoxCursorNESW;
    default: return kBoxCursorNone;
  }
}

VxRc DeskBoxMenuButton(const VxRc& r) {
  return VxRc{r.right - 29, r.top + 10, r.right - 10, r.top + 30};
}

VxRc DeskBoxListArea(const VxRc& r) {
  return VxRc{r.left + kBoxListInsetLeft, r.top + kBoxListInsetTop,
                  r.right - kBoxListInsetRight, r.bottom - kBoxListInsetBottom};
}

VxRc DeskBoxBand(const VxRc& r, VxPt from, VxPt to) {
  return VxIntersection(VxBandRect(from, to), DeskBoxListArea(r));
}

int DeskBoxViewHeight(const VxRc& r) { return (r.bottom - r.top) - kBoxChromeHeight; }

DeskBoxThumb DeskBoxThumbLayout(int content, int view, int scroll) {
  DeskBoxThumb t;
  if (content <= 0 || view <= 0 || view >= content) return t;
  t.scroll = std::max(0, scroll);
  t.length = static_cast<int>(static_cast<double>(view) * view / content);
  if (t.length > 0 && t.length < kBoxThumbMinLength) t.length = kBoxThumbMinLength;
  t.length = std::min(t.length, view);
  t.position = static_cast<int>(static_cast<long long>(view) * t.scroll / content);
  if (t.position + t.length > view) {
    t.position = view - t.length;
    t.scroll = static_cast<int>(static_cast<long long>(content) * (view - t.length) / view);
  }
  return t;
}

DeskBoxThumb DeskBoxThumbDrag(const DeskBoxThumb& thumb, int dy, int content, int view) {
  if (thumb.length <= 0 || view <= 0) return thumb;
  DeskBoxThumb t = thumb;
  t.position = std::clamp(thumb.position + dy, 0, std::max(0, view - thumb.length));
  t.scroll = static_cast<int>(static_cast<long long>(t.position) * content / view);
  return t;
}

DeskBoxThumb DeskBoxWheel(const DeskBoxThumb& thumb, int wheelDelta, int content, int view) {
  if (thumb.length <= 0) return thumb;
  // One notch scrolls about two rows of small entries.
  constexpr int kPixelsPerNotch = 46;
  const int wanted = thumb.scroll - wheelDelta * kPixelsPerNotch / 120;
  return DeskBoxThumbLayout(content, view, std::clamp(wanted, 0, std::max(0, content - view)));
}

VxRc DeskBoxResize(const VxRc& r, int hit, int dx, int dy, VxPt* moved) {
  VxRc n = r;
  VxPt m;
  const bool left = hit == kBoxHitLeft || hit == kBoxHitTopLeft || hit == kBoxHitBottomLeft;
  const bool right = hit == kBoxHitRight || hit == kBoxHitTopRight || hit == kBoxHitBottomRight;
  const bool top = hit == kBoxHitTop || hit == kBoxHitTopLeft || hit == kBoxHitTopRight;
  const bool bottom = hit == kBoxHitBottom || hit == kBoxHitBottomLeft || hit == kBoxHitBottomRight;
  // A box that is already under the minimum (an old file) may grow but never shrink.
  if (left) n.left = std::min(r.left + dx, std::max(r.left, r.right - kBoxMinWidth));
  if (right) n.right = std::max(r.right + dx, std::min(r.right, r.left + kBoxMinWidth));
  if (top) n.top = std::min(r.top + dy, std::max(r.top, r.bottom - kBoxMinHeight));
  if (bottom) n.bottom = std::max(r.bottom + dy, std::min(r.bottom, r.top + kBoxMinHeight));
  m.x = left ? n.left - r.left : right ? n.right - r.right : 0;
  m.y = top ? n.top - r.top : bottom ? n.bottom - r.bottom : 0;
  if (moved) *moved = m;
  return n;
}

VxRc DeskBoxMagneticMove(const VxRc& r, VxPt* from, VxPt cursor,
                             const std::vector<VxRc>& others) {
  VxRc n = r;
  std::vector<Span> facing;
  for (const VxRc& o : others)
    if (Overlap(n.top, n.bottom, o.top, o.bottom)) facing.push_back(Span{o.left, o.right});
  const int dx = SnapAxis(Span{n.left, n.right}, &from->x, cursor.x, facing);
  n.left += dx;
  n.right += dx;
  facing.clear();
  for (const VxRc& o : others)
    if (Overlap(n.left, n.right, o.left, o.right)) facing.push_back(Span{o.top, o.bottom});
  const int dy = SnapAxis(Span{n.top, n.bottom}, &from->y, cursor.y, facing);
  n.top += dy;
  n.bottom += dy;
  return n;
}

int DeskFlashAlpha(int counter) {
  if (counter > kBoxFlashStart || counter < 30) return 0;
  if (counter >= 50) return (kBoxFlashStart - counter) * 255 / 10;
  if (counter >= 40) return (counter - 40) * 255 / 10;
  // The after-glow: a pulse to 160 and back.
  return counter >= 35 ? (40 - counter) * 160 / 5 : (counter - 30) * 160 / 5;
}
