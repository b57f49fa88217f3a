// Composing premultiplied 32-bit pixels over others, with the arithmetic of GDI's AlphaBlend
// (AC_SRC_ALPHA): every channel d = s + round(d * (255 - sa) / 255), the source first scaled
// by a constant alpha when one is given. No Windows header: built natively for the tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "uilib/core/vx_geom.h"

// The columns [begin, end) of a row outside which every pixel is fully transparent; begin ==
// end for a row with nothing drawn.
struct VxRowSpan {
  int begin = 0, end = 0;
};

// A block of 32-bit pixels in memory: blue, green, red, alpha, colours premultiplied by the
// alpha (no colour above its alpha).
struct VxPixels {
  uint8_t* bits = nullptr;  // first pixel of the top row
  int width = 0, height = 0;
  std::ptrdiff_t stride = 0;  // bytes from a row to the row below; negative for bottom-up memory
  // One span per row when known, so a blend of this block as source reads only the drawn part
  // of each row; null: every pixel is read.
  const VxRowSpan* rows = nullptr;
};

// One pixel (0xAARRGGBB) over another, the source's channels first scaled by alpha / 255.
uint32_t VxBlendPixel(uint32_t dst, uint32_t src, uint8_t alpha = 255);

// Cuts the w x h part of a srcW x srcH source at (srcX, srcY), bound for (x, y) in a dstW x
// dstH destination, to both, moving both corners together. False when nothing is left.
bool VxCutBlend(int dstW, int dstH, int srcW, int srcH, int* x, int* y, int* srcX, int* srcY,
                int* w, int* h);

// Composes the w x h part of `src` at (srcX, srcY) unscaled over `dst` at (x, y), cut to both
// blocks. Transparent source pixels leave the destination as it is, opaque ones replace it.
void VxBlendOver(const VxPixels& dst, int x, int y, const VxPixels& src, int srcX, int srcY, int w,
                 int h, uint8_t alpha = 255);

// Copies `src` into `dst` from the top left, as much as both hold.
void VxCopyBlock(const VxPixels& dst, const VxPixels& src);

// The smallest rectangle holding every pixel of `px` that is not fully transparent (zero);
// empty when there is none.
VxRc VxVisibleBounds(const VxPixels& px);

// An image of premultiplied pixels in plain memory, transparent when made. Its pixels are
// written right after Create and then only read: new content is made with Create again, which
// gives the image a new serial, so a kept composition can tell the new content from the old.
class VxPixelImage {
 public:
  // False, and an empty image, for an empty size or when the memory cannot be had.
  bool Create(int width, int height);
  void Reset();
  explicit operator bool() const { return px_ != nullptr; }
  int Width() const { return w_; }
  int Height() const { return h_; }
  VxPixels Pixels() const;
  // Unique to each Create in the process; 0 for an empty image.
  uint64_t Serial() const { return serial_; }
  // Keeps only the part `keep` (cut to the image) as a new image; empty for an empty part.
  bool Crop(const VxRc& keep);
  // Keeps only the drawn part (VxVisibleBounds) and notes each row's drawn span, which blends
  // of the image then keep to: composing pays for every pixel it reads, transparent ones too.
  // Returns the part kept, in the image's former coordinates; empty, and an empty image, when
  // nothing is drawn. Call when the pixels are written: the spans describe them as they are.
  VxRc TrimToDrawn();

 private:
  std::unique_ptr<uint32_t[]> px_;
  std::unique_ptr<VxRowSpan[]> rows_;  // after TrimToDrawn
  int w_ = 0, h_ = 0;
  uint64_t serial_ = 0;
};
