#include <gtest/gtest.h>

#include "uilib/core/vx_dropfiles.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A header with list offset `offset` and wide flag `wide`, then `list` as given.
Bytes Block(uint32_t offset, uint8_t wide, const Bytes& list) {
  Bytes b(20, 0);
  b[0] = static_cast<uint8_t>(offset);
  b[16] = wide;
  b.insert(b.end(), list.begin(), list.end());
  return b;
}

}  // namespace

TEST(DropFilesBlock, WrittenByteForByte) {
  const Bytes want = Block(20, 1, {'C', 0, ':', 0, '\\', 0, 'a', 0, 0, 0,  //
                                   'D', 0, ':', 0, '\\', 0, 0x87, 0x65, 0, 0,  // 文 U+6587
                                   0, 0});
  EXPECT_EQ(VxBuildDropFiles({u"C:\\a", u"D:\\文"}), want);
  const VxDropFiles r = VxReadDropFiles(want.data(), want.size());
  EXPECT_EQ(r.error, VxDropFilesError::kNone);
  EXPECT_EQ(r.paths, (std::vector<std::u16string>{u"C:\\a", u"D:\\文"}));
  EXPECT_EQ(VxBuildDropEffect(2), (Bytes{2, 0, 0, 0}));
}

TEST(DropFilesBlock, ForeignBlocksReadWithinTheirBytes) {
  // A list further on, at an odd offset, with the block padded past its end; any non-zero
  // flag is wide.
  Bytes b = Block(25, 2, {9, 9, 9, 9, 9, 'x', 0, 0, 0, 0, 0, 0xEE, 0xEE, 0xEE});
  VxDropFiles r = VxReadDropFiles(b.data(), b.size());
  EXPECT_EQ(r.error, VxDropFilesError::kNone);
  EXPECT_EQ(r.paths, std::vector<std::u16string>{u"x"});
  // An ANSI block gives its bytes for the caller's code page (0xCE 0xC4 is 文 in GBK).
  b = Block(20, 0, {'C', ':', '\\', 0xCE, 0xC4, 0, 'b', 0, 0});
  r = VxReadDropFiles(b.data(), b.size());
  EXPECT_FALSE(r.wide);
  EXPECT_EQ(r.ansiPaths, (std::vector<std::string>{"C:\\\xCE\xC4", "b"}));
  EXPECT_TRUE(VxParseDropFiles(b.data(), b.size()).empty());
  // An empty list is no error.
  b = Block(20, 1, {0, 0});
  r = VxReadDropFiles(b.data(), b.size());
  EXPECT_EQ(r.error, VxDropFilesError::kNone);
  EXPECT_TRUE(r.paths.empty());
}

TEST(DropFilesBlock, MalformedBlocksGiveNothingAndSayWhy) {
  const Bytes good = VxBuildDropFiles({u"C:\\a.txt"});
  auto error = [](const Bytes& b) { return VxReadDropFiles(b.data(), b.size()).error; };
  // Cut one byte short of the final zero: the last unit is incomplete.
  EXPECT_EQ(error(Bytes(good.begin(), good.end() - 1)), VxDropFilesError::kUnterminated);
  EXPECT_EQ(error(Bytes(good.begin(), good.end() - 2)), VxDropFilesError::kUnterminated);
  EXPECT_EQ(error(Bytes(good.begin(), good.begin() + 19)), VxDropFilesError::kShort);
  EXPECT_EQ(VxReadDropFiles(nullptr, 100).error, VxDropFilesError::kShort);
  EXPECT_EQ(error(Block(19, 1, {0, 0})), VxDropFilesError::kBadOffset);
  EXPECT_EQ(error(Block(22, 1, {0, 0})), VxDropFilesError::kBadOffset);  // at the very end
  EXPECT_EQ(error(Block(20, 0, {'a', 0})), VxDropFilesError::kUnterminated);
  Bytes longPath = Block(20, 1, {});
  longPath.resize(20 + 2 * (kVxDropFilesMaxPath + 3), 'a');
  EXPECT_EQ(error(longPath), VxDropFilesError::kPathTooLong);
  uint32_t effect = 7;
  const Bytes three{2, 0, 0};
  EXPECT_FALSE(VxReadDropEffect(three.data(), three.size(), &effect));
  EXPECT_EQ(effect, 7u);
}
