#include "wallpaper/core/wall_strip.h"

#include <algorithm>

namespace wall {

Box BandRect(int workLeft, int workTop, int workWidth, int workHeight) {
  return {workLeft, workTop + (workHeight - kBandHeight) / 2, workWidth, kBandHeight};
}

int TabX(int bandWidth, int index) { return (bandWidth - 1000) / 2 + 100 * index; }

Box ThumbRect(int index, int offset) {
  return {kStripLeft + index * kCellWidth - offset, kStripTop, kThumbWidth, kThumbHeight};
}

Box PictureRect(int index, int offset) {
  const Box t = ThumbRect(index, offset);
  return {t.x + kThumbInset, t.y + kThumbInset, t.w - 2 * kThumbInset, t.h - 2 * kThumbInset};
}

Box SetButtonRect(int index, int offset, int stripHeight) {
  const Box p = PictureRect(index, offset);
  const int h = std::clamp(stripHeight, 0, kSetButtonHeight);
  return {p.x, p.y + p.h - h, p.w, h};
}

int PictureAt(int x, int y, int offset, int count) {
  const long long sx = static_cast<long long>(x) + offset - kStripLeft;
  if (sx < 0 || count <= 0) return -1;
  const long long index = sx / kCellWidth;
  if (index >= count) return -1;
  return ThumbRect(static_cast<int>(index), offset).Contains(x, y) ? static_cast<int>(index) : -1;
}

long long ContentWidth(int count) {
  return count <= 0 ? 0 : kStripLeft + static_cast<long long>(count) * kCellWidth;
}

ScrollTick StepScroll(ScrollState* s, int screenWidth, long long contentWidth) {
  ScrollTick t;
  const int step = std::clamp(s->pending, -kScrollPerTick, kScrollPerTick);
  s->offset += step;
  s->pending -= step;
  if (step < 0 && s->offset <= 0) {
    s->offset = 0;
    s->pending = 0;
    t.hideLeft = true;
  }
  if (step > 0 && s->offset + 2LL * screenWidth >= contentWidth) t.hideRight = true;
  t.done = s->pending == 0;
  return t;
}

}  // namespace wall
