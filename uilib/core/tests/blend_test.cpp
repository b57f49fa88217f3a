#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "uilib/core/vx_blend.h"

namespace {

uint32_t Gray(uint32_t alpha, uint32_t c) { return alpha << 24 | c << 16 | c << 8 | c; }

// GDI's arithmetic for one channel of a premultiplied source with alpha sa.
uint32_t ReferenceChannel(uint32_t d, uint32_t s, uint32_t sa) {
  return s + (d * (255 - sa) + 127) / 255;
}

struct Block {
  std::vector<uint32_t> px;
  VxPixels view;
  Block(int w, int h, uint32_t fill) : px(static_cast<size_t>(w) * h, fill) {
    view.bits = reinterpret_cast<uint8_t*>(px.data());
    view.width = w;
    view.height = h;
    view.stride = w * 4;
  }
  uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * view.width + x]; }
};

}  // namespace

TEST(Blend, EveryChannelRoundsAsAlphaBlendDoes) {
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t s = 0; s <= a; ++s)
      for (uint32_t d = 0; d < 256; ++d) {
        const uint32_t got = VxBlendPixel(Gray(d, d), Gray(a, s));
        const uint32_t c = ReferenceChannel(d, s, a), alpha = ReferenceChannel(d, a, a);
        if (s == 0 && a == 0) {
          ASSERT_EQ(got, Gray(d, d)) << "a transparent source changes nothing";
          continue;
        }
        ASSERT_EQ(got, Gray(alpha, c)) << "d " << d << " s " << s << " a " << a;
      }
}

TEST(Blend, ChannelsStayApart) {
  // Unequal channels: each lane keeps its own value.
  const uint32_t dst = 0x10F08040u, src = 0x80402010u;
  const uint32_t got = VxBlendPixel(dst, src);
  EXPECT_EQ(got & 0xFF, ReferenceChannel(0x40, 0x10, 0x80));
  EXPECT_EQ(got >> 8 & 0xFF, ReferenceChannel(0x80, 0x20, 0x80));
  EXPECT_EQ(got >> 16 & 0xFF, ReferenceChannel(0xF0, 0x40, 0x80));
  EXPECT_EQ(got >> 24, ReferenceChannel(0x10, 0x80, 0x80));
}

TEST(Blend, ConstantAlphaScalesTheSourceFirst) {
  for (uint32_t k : {1u, 64u, 127u, 128u, 200u, 254u})
    for (uint32_t a = 0; a < 256; a += 5)
      for (uint32_t s = 0; s <= a; s += 3)
        for (uint32_t d = 0; d < 256; d += 7) {
          const uint32_t sk = (s * k + 127) / 255, ak = (a * k + 127) / 255;
          const uint32_t want =
              sk == 0 && ak == 0 ? Gray(d, d)
                                 : Gray(ReferenceChannel(d, ak, ak), ReferenceChannel(d, sk, ak));
          ASSERT_EQ(VxBlendPixel(Gray(d, d), Gray(a, s), static_cast<uint8_t>(k)), want)
              << "k " << k << " d " << d << " s " << s << " a " << a;
        }
}

TEST(Blend, OpaqueReplacesAndTransparentKeeps) {
  Block dst(3, 1, 0xFF336699u), src(3, 1, 0);
  src.px[0] = 0xFF102030u;
  src.px[2] = 0x80404040u;
  VxBlendOver(dst.view, 0, 0, src.view, 0, 0, 3, 1);
  EXPECT_EQ(dst.At(0, 0), 0xFF102030u);
  EXPECT_EQ(dst.At(1, 0), 0xFF336699u);
  EXPECT_EQ(dst.At(2, 0), VxBlendPixel(0xFF336699u, 0x80404040u));
}

TEST(Blend, ThePartIsCutToBothBlocks) {
  Block dst(4, 4, 0xFF000000u), src(3, 3, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      src.px[static_cast<size_t>(y) * 3 + x] = 0xFF000000u | (y * 3 + x + 1);
  // Hanging over the top-left corner of the destination: only the lower-right 2 x 2 lands.
  VxBlendOver(dst.view, -1, -1, src.view, 0, 0, 3, 3);
  EXPECT_EQ(dst.At(0, 0), 0xFF000005u);
  EXPECT_EQ(dst.At(1, 0), 0xFF000006u);
  EXPECT_EQ(dst.At(0, 1), 0xFF000008u);
  EXPECT_EQ(dst.At(1, 1), 0xFF000009u);
  EXPECT_EQ(dst.At(2, 0), 0xFF000000u);
  EXPECT_EQ(dst.At(0, 2), 0xFF000000u);
  // Asking for more of the source than it has, past the destination's lower-right corner.
  Block dst2(4, 4, 0xFF000000u);
  VxBlendOver(dst2.view, 3, 3, src.view, 1, 1, 10, 10);
  EXPECT_EQ(dst2.At(3, 3), 0xFF000005u);
  // A source corner before the source's start moves the destination corner with it.
  Block dst3(4, 4, 0xFF000000u);
  VxBlendOver(dst3.view, 1, 1, src.view, -1, -1, 2, 2);
  EXPECT_EQ(dst3.At(1, 1), 0xFF000000u);
  EXPECT_EQ(dst3.At(2, 2), 0xFF000001u);
  EXPECT_EQ(dst3.At(3, 3), 0xFF000000u) << "the cut part does not grow again";
  // Nothing at all overlaps.
  Block dst4(2, 2, 0xFF000000u);
  VxBlendOver(dst4.view, 5, 0, src.view, 0, 0, 3, 3);
  VxBlendOver(dst4.view, 0, 0, src.view, 3, 0, 3, 3);
  VxBlendOver(dst4.view, 0, 0, src.view, 0, 0, 3, 3, 0);
  for (uint32_t p : dst4.px) EXPECT_EQ(p, 0xFF000000u);
}

TEST(Blend, BottomUpMemoryWithANegativeStride) {
  Block dst(2, 2, 0xFF000000u), src(1, 1, 0xFF0000FFu);
  VxPixels up = dst.view;
  up.bits = dst.view.bits + 4 * 2;  // the last row in memory is the top row
  up.stride = -8;
  VxBlendOver(up, 1, 0, src.view, 0, 0, 1, 1);
  EXPECT_EQ(dst.At(1, 1), 0xFF0000FFu);
  EXPECT_EQ(dst.At(1, 0), 0xFF000000u);
}

TEST(Blend, RowsGiveWhatEachPixelGives) {
  // Transparent, opaque and translucent pixels mixed, every row length around the four
  // pixels the rows are worked in.
  std::mt19937 rng(7);
  auto pixel = [&] {
    const uint32_t kind = rng() % 4, a = kind == 0 ? 0 : kind == 1 ? 255 : rng() % 256;
    if (a == 0) return 0u;
    uint32_t p = a << 24;
    for (int c = 0; c < 3; ++c) p |= (rng() % (a + 1)) << (8 * c);
    return p;
  };
  for (int w = 1; w <= 19; ++w) {
    Block dst(w, 3, 0), src(w, 3, 0);
    for (auto& p : dst.px) p = pixel();
    for (auto& p : src.px) p = pixel();
    const std::vector<uint32_t> before = dst.px;
    VxBlendOver(dst.view, 0, 0, src.view, 0, 0, w, 3);
    for (size_t i = 0; i < before.size(); ++i)
      ASSERT_EQ(dst.px[i], VxBlendPixel(before[i], src.px[i])) << "w " << w << " at " << i;
  }
}

// Bounds of the drawn pixels, probed at every edge, and the crop that keeps them.
TEST(Blend, VisibleBoundsAndCropKeepEveryDrawnPixel) {
  VxPixelImage image;
  ASSERT_TRUE(image.Create(7, 5));
  const VxPixels px = image.Pixels();
  auto put = [&](int x, int y, uint32_t v) { std::memcpy(px.bits + y * px.stride + x * 4, &v, 4); };
  EXPECT_TRUE(VxVisibleBounds(px).IsEmpty()) << "a transparent image shows nothing";
  for (const VxPt at : {VxPt{0, 0}, VxPt{6, 0}, VxPt{0, 4}, VxPt{6, 4}, VxPt{3, 2}}) {
    put(at.x, at.y, 0x01000000u);  // barely visible still counts
    EXPECT_EQ(VxVisibleBounds(px), (VxRc{at.x, at.y, at.x + 1, at.y + 1}));
    put(at.x, at.y, 0);
  }
  put(1, 3, 0x80402010u);
  put(5, 1, 0xFF00FF00u);
  const VxRc drawn = VxVisibleBounds(px);
  EXPECT_EQ(drawn, (VxRc{1, 1, 6, 4}));
  const uint64_t before = image.Serial();
  ASSERT_TRUE(image.Crop(drawn));
  ASSERT_EQ(image.Width(), 5);
  ASSERT_EQ(image.Height(), 3);
  EXPECT_NE(image.Serial(), before) << "a cropped image is new content to a kept composition";
  const VxPixels cut = image.Pixels();
  uint32_t v;
  std::memcpy(&v, cut.bits + 2 * cut.stride + 0 * 4, 4);
  EXPECT_EQ(v, 0x80402010u);
  std::memcpy(&v, cut.bits + 0 * cut.stride + 4 * 4, 4);
  EXPECT_EQ(v, 0xFF00FF00u);
  EXPECT_TRUE(image.Crop(VxRc{}));
  EXPECT_FALSE(image) << "nothing kept of an empty part";
}

// A trimmed image composes exactly as the whole one did, wherever a blend cuts into it: at
// every source offset and size around the rows' drawn spans, scaled or not.
TEST(Blend, TrimmedImagesComposeAsTheWholeOnes) {
  std::mt19937 rng(11);
  const int W = 9, H = 6;
  VxPixelImage whole, trimmed;
  ASSERT_TRUE(whole.Create(W, H));
  ASSERT_TRUE(trimmed.Create(W, H));
  const VxPixels wp = whole.Pixels();
  // Rows of every shape: empty, one pixel, gaps inside, the widest.
  const char* rows[H] = {".........", "...x.....", ".x.....x.", "..xx.x...", ".........", ".xxxxxxx."};
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const uint32_t a = rows[y][x] == 'x' ? 1 + rng() % 255 : 0;
      const uint32_t v = a ? a << 24 | (rng() % (a + 1)) << 8 : 0;
      std::memcpy(wp.bits + y * wp.stride + x * 4, &v, 4);
      std::memcpy(trimmed.Pixels().bits + y * wp.stride + x * 4, &v, 4);
    }
  const VxRc kept = trimmed.TrimToDrawn();
  ASSERT_EQ(kept, (VxRc{1, 1, 8, 6}));
  ASSERT_NE(trimmed.Pixels().rows, nullptr);
  EXPECT_EQ(trimmed.Pixels().rows[3].begin, trimmed.Pixels().rows[3].end) << "the empty row";
  for (int sx = -1; sx <= W; ++sx)
    for (int sw = 1; sw <= W + 1; ++sw)
      for (uint8_t alpha : {uint8_t{255}, uint8_t{100}}) {
        Block a(12, 8, 0), b(12, 8, 0);
        for (size_t i = 0; i < a.px.size(); ++i) a.px[i] = b.px[i] = 0xFF000000u | (rng() & 0xFFFFFFu);
        VxBlendOver(a.view, 2, 1, wp, sx, 1, sw, 5, alpha);
        VxBlendOver(b.view, 2, 1, trimmed.Pixels(), sx - kept.left, 0, sw, 5, alpha);
        ASSERT_EQ(a.px, b.px) << "source x " << sx << " width " << sw << " alpha " << int(alpha);
      }
  VxPixelImage empty;
  ASSERT_TRUE(empty.Create(3, 3));
  EXPECT_TRUE(empty.TrimToDrawn().IsEmpty());
  EXPECT_FALSE(empty) << "nothing drawn, nothing kept";
}

