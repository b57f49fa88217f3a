#include <gtest/gtest.h>

#include <cstring>

#include "desk/core/desk_records.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Hand-built little-endian pieces, independent of the encoder's own helpers.
void Put32(Bytes* b, size_t at, uint32_t v) {
  (*b)[at] = v & 0xFF;
  (*b)[at + 1] = (v >> 8) & 0xFF;
  (*b)[at + 2] = (v >> 16) & 0xFF;
  (*b)[at + 3] = (v >> 24) & 0xFF;
}

void PutUtf16(Bytes* b, size_t at, const std::u16string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    (*b)[at + 2 * i] = s[i] & 0xFF;
    (*b)[at + 2 * i + 1] = s[i] >> 8;
  }
}

Bytes GeziBytes(int32_t l, int32_t t, int32_t r, int32_t btm, uint8_t fixed, uint8_t icons,
                const std::u16string& path) {
  Bytes b(540, 0);
  Put32(&b, 0, static_cast<uint32_t>(l));
  Put32(&b, 4, static_cast<uint32_t>(t));
  Put32(&b, 8, static_cast<uint32_t>(r));
  Put32(&b, 12, static_cast<uint32_t>(btm));
  b[16] = fixed;
  b[17] = icons;
  PutUtf16(&b, 18, path);
  return b;
}

}  // namespace

TEST(DeskRecords, DefaultConfigBytes) {
  Bytes out;
  ASSERT_TRUE(EncodeDeskConfig(DeskConfig(), &out));
  Bytes want(526, 0);
  want[0] = 1;  // deskPageOn
  want[3] = 1;  // autoArrange
  want[4] = 1;  // organizePending
  EXPECT_EQ(out, want);
}

TEST(DeskRecords, ConfigFieldOffsets) {
  DeskConfig c;
  c.deskPageOn = 0;
  c.dblClickHide = 1;
  c.smallIcons = 1;
  c.autoArrange = 0;
  c.organizePending = 0;
  c.deskItemFile = u"C:\\VuZiro\\deskiteminfo_20140101";
  Bytes out;
  ASSERT_TRUE(EncodeDeskConfig(c, &out));
  Bytes want(526, 0);
  want[1] = 1;
  want[2] = 1;
  PutUtf16(&want, 6, c.deskItemFile);
  EXPECT_EQ(out, want);

  DeskConfig back;
  ASSERT_TRUE(DecodeDeskConfig(out.data(), out.size(), &back));
  EXPECT_EQ(back.deskPageOn, 0);
  EXPECT_EQ(back.dblClickHide, 1);
  EXPECT_EQ(back.smallIcons, 1);
  EXPECT_EQ(back.autoArrange, 0);
  EXPECT_EQ(back.organizePending, 0);
  EXPECT_EQ(back.deskItemFile, c.deskItemFile);
}

TEST(DeskRecords, ChineseTextIsUtf16LittleEndian) {
  DeskConfig c;
  c.deskItemFile = u"桌面";  // U+684C U+9762
  Bytes out;
  ASSERT_TRUE(EncodeDeskConfig(c, &out));
  EXPECT_EQ(out[6], 0x4C);
  EXPECT_EQ(out[7], 0x68);
  EXPECT_EQ(out[8], 0x62);
  EXPECT_EQ(out[9], 0x97);
  for (size_t i = 10; i < 526; ++i) ASSERT_EQ(out[i], 0) << "byte " << i;
}

TEST(DeskRecords, ShortConfigLeavesDefaults) {
  Bytes b(525, 0);
  DeskConfig c;
  c.deskItemFile = u"keep";
  EXPECT_FALSE(DecodeDeskConfig(b.data(), b.size(), &c));
  EXPECT_EQ(c.deskPageOn, 1);
  EXPECT_EQ(c.organizePending, 1);
  EXPECT_EQ(c.deskItemFile, u"keep");
  EXPECT_FALSE(DecodeDeskConfig(nullptr, 0, &c));
}

TEST(DeskRecords, LongerConfigFileReadsFirstBlock) {
  Bytes b(600, 0xAA);
  std::memset(b.data(), 0, 526);
  b[2] = 1;
  DeskConfig c;
  ASSERT_TRUE(DecodeDeskConfig(b.data(), b.size(), &c));
  EXPECT_EQ(c.smallIcons, 1);
  EXPECT_EQ(c.deskPageOn, 0);
  EXPECT_TRUE(c.deskItemFile.empty());
}

TEST(DeskRecords, GeziRecordBytes) {
  GeziSaveData g;
  g.left = -5;
  g.top = 32;
  g.right = 0x01020304;
  g.bottom = 432;
  g.fixedPos = 1;
  g.iconView = 0;
  g.itemFile = u"C:\\Users\\u\\AppData\\Roaming\\VuZiro\\文件";
  Bytes out;
  ASSERT_TRUE(EncodeGeziSaveData(g, &out));
  EXPECT_EQ(out, GeziBytes(-5, 32, 0x01020304, 432, 1, 0, g.itemFile));
  EXPECT_EQ(out[0], 0xFB);
  EXPECT_EQ(out[3], 0xFF);
  EXPECT_EQ(out[8], 0x04);
  EXPECT_EQ(out[11], 0x01);
}

TEST(DeskRecords, NewGeziRecordDefaults) {
  Bytes out;
  ASSERT_TRUE(EncodeGeziSaveData(GeziSaveData(), &out));
  Bytes want(540, 0);
  want[17] = 1;
  EXPECT_EQ(out, want);
}

TEST(DeskRecords, GeziPathHoldsTwoHundredSixtyUnits) {
  GeziSaveData g;
  g.itemFile = std::u16string(260, u'x');
  Bytes out;
  ASSERT_TRUE(EncodeGeziSaveData(g, &out));
  ASSERT_EQ(out.size(), 540u);
  EXPECT_EQ(out[18 + 2 * 259], 'x');
  EXPECT_EQ(out[538], 0);
  EXPECT_EQ(out[539], 0);
  g.itemFile.push_back(u'x');
  EXPECT_FALSE(EncodeGeziSaveData(g, &out));
  EXPECT_EQ(out.size(), 540u);
}

TEST(DeskRecords, GeziFileOf1079BytesGivesOneRecord) {
  Bytes file = GeziBytes(1, 2, 3, 4, 0, 1, u"C:\\d\\one");
  Bytes second = GeziBytes(5, 6, 7, 8, 1, 0, u"C:\\d\\two");
  file.insert(file.end(), second.begin(), second.begin() + 539);
  ASSERT_EQ(file.size(), 1079u);
  const std::vector<GeziSaveData> table = DecodeGeziTable(file.data(), file.size());
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].left, 1);
  EXPECT_EQ(table[0].bottom, 4);
  EXPECT_EQ(table[0].itemFile, u"C:\\d\\one");
  file.push_back(0);
  EXPECT_EQ(DecodeGeziTable(file.data(), file.size()).size(), 2u);
}

TEST(DeskRecords, GeziTableRoundTrip) {
  std::vector<uint8_t> out;
  GeziSaveData a, b;
  a.left = -100;
  a.top = -2;
  a.right = 160;
  a.bottom = 318;
  a.itemFile = u"D:\\VuZiro\\新建分类";
  b.fixedPos = 1;
  b.iconView = 0;
  b.itemFile = u"D:\\VuZiro\\文件夹";
  ASSERT_TRUE(EncodeGeziSaveData(a, &out));
  ASSERT_TRUE(EncodeGeziSaveData(b, &out));
  ASSERT_EQ(out.size(), 1080u);
  const std::vector<GeziSaveData> t = DecodeGeziTable(out.data(), out.size());
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].left, -100);
  EXPECT_EQ(t[0].top, -2);
  EXPECT_EQ(t[0].right, 160);
  EXPECT_EQ(t[0].bottom, 318);
  EXPECT_EQ(t[0].itemFile, a.itemFile);
  EXPECT_EQ(t[1].fixedPos, 1);
  EXPECT_EQ(t[1].iconView, 0);
  EXPECT_EQ(t[1].itemFile, b.itemFile);
}

TEST(DeskRecords, ItemRecordBytes) {
  DeskItemRecord r;
  r.parseName = u"C:\\Users\\u\\Desktop\\a.txt";
  r.x = 77;
  r.y = -1;
  Bytes out;
  ASSERT_TRUE(EncodeDeskItemRecord(r, &out));
  Bytes want(528, 0);
  PutUtf16(&want, 0, r.parseName);
  Put32(&want, 520, 77);
  Put32(&want, 524, 0xFFFFFFFFu);
  EXPECT_EQ(out, want);
}

TEST(DeskRecords, ItemFileStopsAtShortRead) {
  Bytes file(528 * 3 + 100, 0);
  PutUtf16(&file, 0, u"::{645FF040-5081-101B-9F08-00AA002F954E}");
  Put32(&file, 520, 10);
  PutUtf16(&file, 528, u"C:\\x\\b");
  Put32(&file, 528 + 524, 20);
  PutUtf16(&file, 1056, u"C:\\x\\c");
  PutUtf16(&file, 1584, u"C:\\x\\partial");
  const std::vector<DeskItemRecord> items = DecodeDeskItems(file.data(), file.size());
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].parseName, u"::{645FF040-5081-101B-9F08-00AA002F954E}");
  EXPECT_EQ(items[0].x, 10);
  EXPECT_EQ(items[1].y, 20);
  EXPECT_EQ(items[2].parseName, u"C:\\x\\c");
  EXPECT_TRUE(DecodeDeskItems(file.data(), 527).empty());
  EXPECT_TRUE(DecodeDeskItems(nullptr, 0).empty());
}

TEST(DeskRecords, BytesAfterTerminatorAreIgnored) {
  Bytes file(528, 0);
  PutUtf16(&file, 0, u"C:\\a");
  PutUtf16(&file, 10, u"garbage");  // after the NUL at units 4
  const std::vector<DeskItemRecord> items = DecodeDeskItems(file.data(), file.size());
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].parseName, u"C:\\a");
}

TEST(DeskRecords, UnterminatedFieldStopsAtItsEnd) {
  Bytes file(528, 0);
  PutUtf16(&file, 0, std::u16string(260, u'z'));
  Put32(&file, 520, 0x7A7A);  // would read as two more 'z' units if the field ran on
  const std::vector<DeskItemRecord> items = DecodeDeskItems(file.data(), file.size());
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].parseName, std::u16string(260, u'z'));
  EXPECT_EQ(items[0].x, 0x7A7A);
}

TEST(DeskRecords, TextThatDoesNotFitIsRefused) {
  Bytes out;
  DeskItemRecord r;
  r.parseName = std::u16string(259, u'a');
  ASSERT_TRUE(EncodeDeskItemRecord(r, &out));
  r.parseName.push_back(u'a');
  EXPECT_FALSE(EncodeDeskItemRecord(r, &out));
  r.parseName = std::u16string(u"a\0b", 3);
  EXPECT_FALSE(EncodeDeskItemRecord(r, &out));
  DeskConfig c;
  c.deskItemFile = std::u16string(260, u'a');
  EXPECT_FALSE(EncodeDeskConfig(c, &out));
  EXPECT_EQ(out.size(), 528u);
}
