#include "uilib/core/vx_blend.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Each 16-bit lane of x (at most 255 * 255 + 127) divided by 255, rounded down. Two channels
// are worked on at once, each in its own lane.
inline uint32_t LanesDiv255(uint32_t x) {
  return ((x + 0x00010001u + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Every channel times k / 255, rounded to nearest.
inline uint32_t Scale(uint32_t c, uint32_t k) {
  const uint32_t rb = LanesDiv255((c & 0x00FF00FFu) * k + 0x007F007Fu);
  const uint32_t ag = LanesDiv255(((c >> 8) & 0x00FF00FFu) * k + 0x007F007Fu);
  return rb | (ag << 8);
}

inline uint32_t Over(uint32_t d, uint32_t s) {
  if (s == 0) return d;
  const uint32_t a = s >> 24;
  if (a == 255) return s;
  // For premultiplied sources no channel passes 255, so the sum carries into no neighbour.
  return s + Scale(d, 255 - a);
}

inline uint32_t Load(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof(v));
  return v;
}

inline void Store(uint8_t* p, uint32_t v) { std::memcpy(p, &v, sizeof(v)); }

}  // namespace

uint32_t VxBlendPixel(uint32_t dst, uint32_t src, uint8_t alpha) {
  return Over(dst, alpha == 255 ? src : Scale(src, alpha));
}

void VxBlendOver(const VxPixels& dst, int x, int y, const VxPixels& src, int srcX, int srcY, int w,
                 int h, uint8_t alpha) {
  if (!dst.bits || !src.bits || alpha == 0) return;
  // Cut the part to the source, then to the destination, moving both corners together.
  const int cutLeft = std::max({0, -srcX, -x}), cutTop = std::max({0, -srcY, -y});
  x += cutLeft;
  srcX += cutLeft;
  w -= cutLeft;
  y += cutTop;
  srcY += cutTop;
  h -= cutTop;
  w = std::min({w, src.width - srcX, dst.width - x});
  h = std::min({h, src.height - srcY, dst.height - y});
  if (w <= 0 || h <= 0) return;
  for (int row = 0; row < h; ++row) {
    const uint8_t* s = src.bits + (srcY + row) * src.stride + static_cast<std::ptrdiff_t>(srcX) * 4;
    uint8_t* d = dst.bits + (y + row) * dst.stride + static_cast<std::ptrdiff_t>(x) * 4;
    if (alpha == 255) {
      for (int i = 0; i < w; ++i, s += 4, d += 4) {
        const uint32_t sp = Load(s);
        if (sp) Store(d, Over(Load(d), sp));
      }
    } else {
      for (int i = 0; i < w; ++i, s += 4, d += 4) {
        const uint32_t sp = Load(s);
        if (sp) Store(d, Over(Load(d), Scale(sp, alpha)));
      }
    }
  }
}

void VxPixelImage::Reset() {
  px_.reset();
  w_ = h_ = 0;
}

bool VxPixelImage::Create(int width, int height) {
  Reset();
  if (width <= 0 || height <= 0 ||
      static_cast<size_t>(width) >
          std::numeric_limits<size_t>::max() / 4 / static_cast<size_t>(height))
    return false;
  px_.reset(new (std::nothrow) uint32_t[static_cast<size_t>(width) * height]());
  if (!px_) return false;
  w_ = width;
  h_ = height;
  return true;
}

VxPixels VxPixelImage::Pixels() const {
  VxPixels p;
  p.bits = reinterpret_cast<uint8_t*>(px_.get());
  p.width = w_;
  p.height = h_;
  p.stride = static_cast<std::ptrdiff_t>(w_) * 4;
  return p;
}
