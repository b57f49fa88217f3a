#include "uilib/core/vx_item_math.h"

#include <algorithm>

int VxButtonFrameIndex(int frames, int status, bool active, bool enabled) {
  if (!enabled && frames == 5) return 4;
  switch (status) {
    case kVxMouseOn:
      if (frames == 1) return 0;
      if (active && frames == 4) return 3;
      return 1;
    case kVxMouseDown:
      if (frames == 1) return 0;
      if (frames == 2) return 1;
      return 2;
    default:
      return (active && frames == 4) ? 3 : 0;
  }
}

void VxButtonFrameSize(int imgW, int imgH, int frames, bool vertical, int* w, int* h) {
  if (frames < 1) frames = 1;
  *w = vertical ? imgW : imgW / frames;
  *h = vertical ? imgH / frames : imgH;
}

VxXYWH VxButtonFrameSource(int imgW, int imgH, int frames, int k, bool vertical,
                           int buttonHeight) {
  if (frames < 1) frames = 1;
  VxXYWH src;
  if (vertical) {
    src = {0, k * (imgH / frames), imgW, imgH / frames};
  } else {
    src = {k * (imgW / frames), 0, imgW / frames, imgH};
  }
  if (buttonHeight != -1) src.h = buttonHeight;
  return src;
}

uint32_t VxClampTextAlpha(uint32_t argb) {
  const uint32_t a = argb >> 24;
  return a > 254 ? (argb & 0x00FFFFFFu) | (254u << 24) : argb;
}

uint32_t VxCheckTextStateColor(int status, uint32_t normal, uint32_t mouseOn,
                               uint32_t mouseDown) {
  if (status == kVxMouseOn && (mouseOn >> 24) != 0) return mouseOn;
  if (status == kVxMouseDown && (mouseDown >> 24) != 0) return mouseDown;
  return normal;
}

VxPtF VxCheckTextOrigin(int itemX, int itemY, int buttonImageWidth, int buttonRectHeight,
                        float textHeight, int innerTop, int innerLeft) {
  VxPtF p;
  p.x = static_cast<float>(itemX + buttonImageWidth + innerLeft);
  p.y = static_cast<float>(itemY) + (static_cast<float>(buttonRectHeight) - textHeight) / 2.0f +
        static_cast<float>(innerTop);
  return p;
}

bool VxProgressBarRect(const VxXYWH& item, int border, unsigned pos, unsigned min, unsigned max,
                       VxXYWH* bar) {
  if (pos < min || pos > max || max == min) return false;
  VxXYWH r{item.x + border, item.y + border, item.w - 2 * border, item.h - 2 * border};
  const double share = static_cast<double>(pos - min) / static_cast<double>(max - min);
  r.w = static_cast<int>(static_cast<double>(r.w) * share);
  *bar = r;
  return true;
}

void VxScrollState::SetLength(int newPage, int newTotal, int itemHeight, int capTop,
                              int capBottom, int frames) {
  page = newPage;
  total = newTotal;
  if (total <= 0) return;
  if (frames < 1) frames = 1;
  int track = itemHeight;
  if (capTop > 0 && capBottom > 0) track -= capTop / frames + capBottom / frames;
  // Content shorter than the page leaves nothing to scroll (and never a negative range).
  const long long range = std::max(0, total - page);
  maxPos = static_cast<int>(range * track / total);
  middleHeight = track - maxPos;
  pos = std::clamp(pos, 0, std::max(0, maxPos));
}

void VxScrollState::SetPos(int p) { pos = std::clamp(p, 0, std::max(0, maxPos)); }

int VxScrollState::ContentOffset() const {
  if (maxPos == 0) return 0;
  return static_cast<int>(static_cast<double>(total - page) / maxPos * pos);
}

VxRc VxScrollState::ThumbHitRect(const VxXYWH& item) const {
  return {item.x, item.y + pos, item.x + item.w, item.y + pos + middleHeight + 20};
}

bool VxScrollState::DragBy(int dy) {
  const int before = pos;
  SetPos(pos + dy);
  return pos != before;
}

int VxGifNextFrame(int current, int count) {
  if (count <= 0) return 0;
  const int next = current + 1;
  return next >= count ? 0 : next;
}

VxXYWH VxCoverCropSource(int imgW, int imgH, int w, int h) {
  if (imgW <= 0 || imgH <= 0 || w <= 0 || h <= 0) return {0, 0, imgW, imgH};
  const double r = static_cast<double>(w) / h;
  const double q = static_cast<double>(imgW) / imgH;
  if (r - q <= 0.0000001) {
    const int cw = static_cast<int>(imgH * r);
    return {(imgW - cw) / 2, 0, cw, imgH};
  }
  const int ch = static_cast<int>(imgW / r);
  return {0, (imgH - ch) / 2, imgW, ch};
}

void VxNineSliceDest(const VxXYWH& t, const int w[9], const int h[9], VxXYWH out[9]) {
  auto nn = [](int v) { return v < 0 ? 0 : v; };
  const int R = t.x + t.w, B = t.y + t.h;
  out[0] = {t.x, t.y, w[0], h[0]};
  out[1] = {t.x + w[0], t.y, nn(t.w - w[0] - w[2]), h[1]};
  out[2] = {R - w[2], t.y, w[2], h[2]};
  out[3] = {t.x, t.y + h[0], w[3], nn(t.h - h[0] - h[6])};
  out[4] = {t.x + w[3], t.y + h[1], nn(t.w - w[3] - w[5]), nn(t.h - h[1] - h[7])};
  out[5] = {R - w[5], t.y + h[2], w[5], nn(t.h - h[2] - h[8])};
  out[6] = {t.x, B - h[6], w[6], h[6]};
  out[7] = {t.x + w[6], B - h[7], nn(t.w - w[6] - w[8]), h[7]};
  out[8] = {R - w[8], B - h[8], w[8], h[8]};
}
