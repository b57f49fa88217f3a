#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "uilib/core/vx_scene.h"

namespace {

constexpr int kW = 97, kH = 61;

// A premultiplied image with transparent, opaque and translucent pixels.
void Paint(VxPixelImage& image, int w, int h, std::mt19937& rng) {
  ASSERT_TRUE(image.Create(w, h));
  const VxPixels px = image.Pixels();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t kind = rng() % 4;
      const uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256;
      const uint32_t c = a ? rng() % (a + 1) : 0;
      const uint32_t v = a << 24 | c << 16 | (c / 2) << 8 | (a - c);
      std::memcpy(px.bits + y * px.stride + x * 4, &v, 4);
    }
}

struct Placed {
  int image, x, y, w, h, srcX, srcY;
  uint8_t alpha;
};
struct TestLayer {
  int key;
  std::vector<Placed> ops;
};

}  // namespace

// Frames of layers that move, change images, come, go and change places in the order: after
// every update the kept scene equals the same layers composed afresh over the background.
TEST(RetainedScene, EveryUpdateEqualsAFreshComposition) {
  std::mt19937 rng(20261209);
  std::vector<VxPixelImage> images(12);
  for (VxPixelImage& image : images) Paint(image, 8 + static_cast<int>(rng() % 40), 6 + static_cast<int>(rng() % 30), rng);
  std::vector<uint32_t> back(kW * kH);
  for (uint32_t& p : back) p = 0xFF000000u | (rng() & 0xFFFFFFu);
  VxPixels background{reinterpret_cast<uint8_t*>(back.data()), kW, kH, kW * 4};

  auto randomOp = [&] {
    const int i = static_cast<int>(rng() % images.size());
    const int iw = images[i].Width(), ih = images[i].Height();
    // Places partly off the scene and parts partly off the image are cut by both.
    return Placed{i, static_cast<int>(rng() % (kW + 20)) - 20, static_cast<int>(rng() % (kH + 20)) - 20,
                  static_cast<int>(rng() % (iw + 6)), static_cast<int>(rng() % (ih + 6)),
                  static_cast<int>(rng() % 5) - 1, static_cast<int>(rng() % 5) - 1,
                  static_cast<uint8_t>(rng() % 3 == 0 ? rng() % 256 : 255)};
  };
  std::vector<TestLayer> layers;
  int nextKey = 0;
  for (int i = 0; i < 10; ++i) layers.push_back(TestLayer{nextKey++, {randomOp(), randomOp()}});

  VxRetainedScene scene;
  uint64_t backgroundSerial = 1;
  int64_t smallRepaints = 0;
  for (int frame = 0; frame < 400; ++frame) {
    const int change = frame == 0 ? -1 : static_cast<int>(rng() % 8);
    TestLayer& some = layers[rng() % layers.size()];
    switch (change) {
      case 0: some.ops[0].x += static_cast<int>(rng() % 7) - 3; break;
      case 1: std::swap(layers[rng() % layers.size()], layers[rng() % layers.size()]); break;
      case 2: Paint(images[some.ops[0].image], images[some.ops[0].image].Width(),
                    images[some.ops[0].image].Height(), rng); break;  // new content, same size
      case 3:
        if (layers.size() > 3) layers.erase(layers.begin() + static_cast<std::ptrdiff_t>(rng() % layers.size()));
        break;
      case 4: layers.insert(layers.begin() + static_cast<std::ptrdiff_t>(rng() % layers.size()),
                            TestLayer{nextKey++, {randomOp()}}); break;
      case 5: some.ops.push_back(randomOp()); break;
      case 6:
        if (rng() % 4 == 0) {
          back[rng() % back.size()] ^= 0x00FFFFFFu;
          ++backgroundSerial;
        } else {
          some.ops.back().alpha = static_cast<uint8_t>(rng() % 256);
        }
        break;
      default: break;  // an unchanged frame
    }
    scene.Begin(kW, kH, backgroundSerial);
    std::vector<uint32_t> fresh = back;
    VxPixels expect{reinterpret_cast<uint8_t*>(fresh.data()), kW, kH, kW * 4};
    for (const TestLayer& layer : layers) {
      scene.BeginLayer(&layers, layer.key);
      for (const Placed& p : layer.ops) {
        scene.Blend(images[p.image], p.x, p.y, p.w, p.h, p.srcX, p.srcY, p.alpha);
        VxBlendOver(expect, p.x, p.y, images[p.image].Pixels(), p.srcX, p.srcY, p.w, p.h, p.alpha);
      }
    }
    ASSERT_TRUE(scene.Update(background));
    const VxPixels got = scene.Pixels();
    ASSERT_EQ(0, std::memcmp(got.bits, fresh.data(), fresh.size() * 4)) << "frame " << frame << " change " << change;
    if (change == 7) {
      ASSERT_EQ(0, scene.RepaintedArea()) << "an unchanged frame composes nothing";
    }
    if (change == 0 && scene.RepaintedArea() < kW * kH) ++smallRepaints;
  }
  EXPECT_GT(smallRepaints, 10) << "a moved layer composes its places, not the whole scene";
}
