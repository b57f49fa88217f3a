#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "toolbar/core/body_cap.h"
#include "toolbar/core/http_status.h"
#include "toolbar/core/mem_gzip_reader.h"

namespace {

// One gzip member with the given header flags; name and comment are written when flagged.
std::string Member(const std::string& text, unsigned flags = 0) {
  std::string out = {'\x1f', '\x8b', 8, char(flags), 0, 0, 0, 0, 0, 3};
  if (flags & 0x04) out += std::string("\x03\x00" "abc", 5);
  if (flags & 0x08) out += std::string("name.js") + '\0';
  if (flags & 0x10) out += std::string("comment") + '\0';
  if (flags & 0x02) out += "\x12\x34";
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string raw(deflateBound(&z, text.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = uInt(text.size());
  z.next_out = reinterpret_cast<Bytef*>(raw.data());
  z.avail_out = uInt(raw.size());
  deflate(&z, Z_FINISH);
  raw.resize(z.total_out);
  deflateEnd(&z);
  out += raw;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(text.data()), uInt(text.size()));
  for (uLong v : {crc, uLong(text.size())})
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
  return out;
}

std::string Decode(const std::string& body, bool* ok = nullptr, int cap = CMemGzipReader::kDefaultMaxOutput) {
  CMemGzipReader r(body.data(), int(body.size()), cap);
  const bool result = r.Decode();
  if (ok) *ok = result;
  return std::string(r.Data(), size_t(r.Length()));
}

const std::string kAnswer = "var weather_101210401={\"sk_tp\":\"12\",\"sk_wd\":\"东风\"};";

}  // namespace

TEST(MemGzipReader, PlainBodiesPassThroughAndGzipIsDecoded) {
  bool ok = false;
  EXPECT_EQ(Decode(kAnswer, &ok), kAnswer);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Decode(""), "");
  EXPECT_EQ(Decode("\x1f"), "\x1f");
  for (unsigned flags : {0u, 0x02u | 0x04u | 0x08u | 0x10u}) {
    EXPECT_EQ(Decode(Member(kAnswer, flags), &ok), kAnswer) << flags;
    EXPECT_TRUE(ok);
  }
}

TEST(MemGzipReader, ConcatenatedMembersMakeOneText) {
  bool ok = false;
  EXPECT_EQ(Decode(Member("first half, ") + Member("second half", 0x08), &ok), "first half, second half");
  EXPECT_TRUE(ok);
}

TEST(MemGzipReader, DamagedMembersKeepWhatWasDecoded) {
  std::string bad = Member(kAnswer) + Member("never reached");
  const size_t firstEnd = Member(kAnswer).size();
  bad[firstEnd - 8] ^= 0x55;
  CMemGzipReader r(bad.data(), int(bad.size()));
  EXPECT_FALSE(r.Decode());
  EXPECT_TRUE(r.DataError());
  EXPECT_EQ(std::string(r.Data()), kAnswer);

  // A cut member, a wrong method, reserved flags and a header cut in its name.
  bool ok = true;
  const std::string whole = Member(std::string(20000, 'x') + kAnswer);
  EXPECT_EQ(Decode(whole.substr(0, whole.size() - 4), &ok), std::string(20000, 'x') + kAnswer);
  EXPECT_FALSE(ok);
  std::string method = Member(kAnswer);
  method[2] = 7;
  EXPECT_EQ(Decode(method, &ok), "");
  EXPECT_FALSE(ok);
  EXPECT_EQ(Decode(Member(kAnswer, 0x20), &ok), "");
  EXPECT_FALSE(ok);
  EXPECT_EQ(Decode(Member(kAnswer, 0x08).substr(0, 14), &ok), "");
  EXPECT_FALSE(ok);
}

TEST(MemGzipReader, OutputIsCappedAndReported) {
  // 16 MiB of zeros deflate to about 16 KiB: a body that would swamp the program.
  const std::string bomb = Member(std::string(16 << 20, '\0'));
  ASSERT_LT(bomb.size(), 100000u);
  CMemGzipReader r(bomb.data(), int(bomb.size()), 100000);
  EXPECT_FALSE(r.Decode());
  EXPECT_TRUE(r.Capped());
  EXPECT_FALSE(r.DataError());
  EXPECT_EQ(r.Length(), 100000);
  EXPECT_EQ(r.Data()[r.Length()], '\0');
  bool ok = false;
  EXPECT_EQ(Decode(kAnswer, &ok, 10), kAnswer.substr(0, 10));
  EXPECT_FALSE(ok);
}

TEST(BodyCollector, CutsOnPieceBoundaries) {
  const std::string bytes(9000, 'b');
  auto collect = [&](std::initializer_list<size_t> pieces) {
    CBodyCollector body;
    size_t at = 0;
    for (size_t n : pieces) {
      if (!body.Add(bytes.data() + at, n)) break;
      at += n;
    }
    EXPECT_EQ(body.Data()[body.Size()], '\0');
    return std::make_pair(body.Size(), body.Cut());
  };
  EXPECT_EQ(collect({4096, 4096}), std::make_pair(size_t(8192), false));
  EXPECT_EQ(collect({4096, 4096, 1}), std::make_pair(size_t(8192), true));
  EXPECT_EQ(collect({4096, 3000, 1904}), std::make_pair(size_t(7096), true));
}

TEST(HttpStatusText, KnownCodesHaveTextsOthersNone) {
  EXPECT_STREQ(HttpStatusText(404), L"没有找到网页 [Not Found]");
  EXPECT_STREQ(HttpStatusText(505), L"服务器不支持系统使用的HTTP版本 [HTTP Version not supported]");
  EXPECT_EQ(HttpStatusText(302), nullptr);
  EXPECT_EQ(HttpStatusText(200), nullptr);
}
