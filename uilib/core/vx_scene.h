// Composing kept images into a frame, either straight into its pixels or into a scene kept
// between frames that composes again only where something changed. No Windows header: built
// natively for the tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "uilib/core/vx_blend.h"
#include "uilib/core/vx_geom.h"

// Where images are composed, in drawing order. A layer groups the images of one thing on
// screen (a box, an entry) under a key that stays the same from frame to frame.
class VxBlendTarget {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void BeginLayer(const void* key, int part) {
    (void)key;
    (void)part;
  }
  // The w x h part of `image` at (srcX, srcY) over the target at (x, y), as VxBlendOver.
  virtual void Blend(const VxPixelImage& image, int x, int y, int w, int h, int srcX, int srcY,
                     uint8_t alpha = 255) = 0;

 protected:
  ~VxBlendTarget() = default;
};

// Composes straight into a block of pixels.
class VxPixelsTarget final : public VxBlendTarget {
 public:
  explicit VxPixelsTarget(const VxPixels& pixels) : px_(pixels) {}
  int Width() const override { return px_.width; }
  int Height() const override { return px_.height; }
  void Blend(const VxPixelImage& image, int x, int y, int w, int h, int srcX, int srcY,
             uint8_t alpha = 255) override {
    VxBlendOver(px_, x, y, image.Pixels(), srcX, srcY, w, h, alpha);
  }

 private:
  VxPixels px_;
};

// A frame kept from one composition to the next: a background with layers of images over it.
// Each frame the caller lists all its layers again (Begin, then BeginLayer and Blend in drawing
// order) and Update composes anew only where a layer came, went, changed its images or their
// places, or moved in the drawing order; everywhere else the kept pixels are already right.
// The images listed must live until Update; images are told apart by their serials.
class VxRetainedScene final : public VxBlendTarget {
 public:
  // `backgroundSerial` names the background's content: another value recomposes everything.
  void Begin(int width, int height, uint64_t backgroundSerial);
  int Width() const override { return w_; }
  int Height() const override { return h_; }
  void BeginLayer(const void* key, int part) override;
  void Blend(const VxPixelImage& image, int x, int y, int w, int h, int srcX, int srcY,
             uint8_t alpha = 255) override;
  // Brings the kept pixels up to date over `background` (the size given to Begin). False when
  // there is no memory for them; the next Update then composes everything.
  bool Update(const VxPixels& background);
  VxPixels Pixels() const { return pixels_.Pixels(); }
  // After an Update that failed: composes this frame's layers over `background` into `dst`
  // (both the size given to Begin) without keeping anything.
  void ComposeAll(const VxPixels& dst, const VxPixels& background);
  // Drops the kept pixels and layers.
  void Reset();
  // Pixels composed anew by the last Update (a figure for benchmarks).
  int64_t RepaintedArea() const { return repainted_; }

 private:
  struct Op {
    const VxPixelImage* image;
    uint64_t serial;
    int x, y, w, h, srcX, srcY;
    uint8_t alpha;
    bool operator==(const Op& o) const {
      return serial == o.serial && x == o.x && y == o.y && w == o.w && h == o.h &&
             srcX == o.srcX && srcY == o.srcY && alpha == o.alpha;
    }
  };
  struct Key {
    const void* key;
    int part;
    bool operator==(const Key& o) const { return key == o.key && part == o.part; }
  };
  struct KeyHash {
    size_t operator()(const Key& k) const {
      return std::hash<const void*>()(k.key) ^ (static_cast<size_t>(k.part) * 0x9E3779B97F4A7C15ull);
    }
  };
  struct Layer {
    Key key;
    size_t first, end;  // its ops
    VxRc bounds;
  };

  std::vector<VxRc> Damage();
  bool SameOps(const Layer& now, const Layer& was) const;
  void Repaint(const VxPixels& dst, const VxRc& area, const VxPixels& background);

  int w_ = 0, h_ = 0;
  uint64_t background_ = 0;
  bool stale_ = true;  // nothing kept is usable: compose everything
  VxPixelImage pixels_;
  std::vector<Op> ops_, lastOps_;
  std::vector<Layer> layers_, lastLayers_;
  std::unordered_map<Key, size_t, KeyHash> lastPlaces_;  // last layers by key, for Damage
  int64_t repainted_ = 0;
};
