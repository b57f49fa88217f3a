#include <gtest/gtest.h>
#include <algorithm>

#include "nav/core/nav_records.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Hand-built little-endian pieces, independent of the encoder's own helpers.
void Put32(Bytes* b, size_t at, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) (*b)[at + i] = (v >> (8 * i)) & 0xFF;
}

void PutUtf16(Bytes* b, size_t at, const std::u16string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    (*b)[at + 2 * i] = s[i] & 0xFF;
    (*b)[at + 2 * i + 1] = s[i] >> 8;
  }
}

Bytes Slot(const std::u16string& name, const std::u16string& url, const std::u16string& image,
           int32_t position, int32_t state) {
  Bytes b(1568, 0);
  PutUtf16(&b, 0, name);
  PutUtf16(&b, 520, url);
  PutUtf16(&b, 1040, image);
  Put32(&b, 1560, position);
  Put32(&b, 1564, state);
  return b;
}

Bytes Join(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace

TEST(NavRecords, FullMyDefRestoresTwelveTilesAndWritesTheSameBytes) {
  std::vector<Bytes> slots;
  for (int i = 0; i < 12; ++i) {
    // Tiles dragged around: slot i sits at place 11 - i; every third one was deleted and
    // keeps its texts.
    slots.push_back(Slot(u"站点" + std::u16string(1, u'A' + i), u"http://s" + std::u16string(1, u'a' + i) + u".com/",
                         u"C:\\VuZiro\\daohang\\temp\\2026126\\" + std::u16string(1, u'0' + i % 10) + u".jpg",
                         11 - i, i % 3 == 0 ? -1 : 0));
  }
  const Bytes file = Join(slots);
  ASSERT_EQ(file.size(), 18816u);
  const MyDefSlots read = DecodeMyDef(file.data(), file.size());
  EXPECT_EQ(read[4].name, u"站点E");
  EXPECT_EQ(read[4].url, u"http://se.com/");
  EXPECT_EQ(read[4].image, u"C:\\VuZiro\\daohang\\temp\\2026126\\4.jpg");
  EXPECT_EQ(read[4].position, 7);
  EXPECT_EQ(read[4].state, kSlotFilled);
  EXPECT_EQ(read[3].state, kSlotEmpty);
  EXPECT_EQ(read[3].name, u"站点D");
  EXPECT_EQ(EncodeMyDef(read), file);
}

TEST(NavRecords, ShortMyDefKeepsTwoTilesAndPlacesTheRestEmpty) {
  const Bytes file = Join({Slot(u"百度", u"http://www.baidu.com/", u"C:\\a.jpg", 1, 0),
                           Slot(u"淘宝", u"http://www.taobao.com/", u"C:\\b.jpg", 0, 0)});
  ASSERT_EQ(file.size(), 3136u);
  MyDefSlots read = DecodeMyDef(file.data(), file.size());
  EXPECT_EQ(read[0].position, 1);
  EXPECT_EQ(read[1].position, 0);
  for (int i = 2; i < 12; ++i) {
    EXPECT_EQ(read[i].position, i);
    EXPECT_EQ(read[i].state, kSlotEmpty);
    EXPECT_TRUE(read[i].name.empty() && read[i].url.empty() && read[i].image.empty());
  }
  // A half slot counts as missing; no file at all gives empty slots at 0..11.
  const Bytes longer = Join({file, Bytes(1000, 0x41)});
  EXPECT_EQ(DecodeMyDef(longer.data(), longer.size())[2].state, kSlotEmpty);
  const MyDefSlots none = DecodeMyDef(nullptr, 0);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(none[i].position, i);
  EXPECT_EQ(SlotAtPosition(&read, 1), &read[0]);
}

TEST(NavRecords, PositionsOutOfRangeOrTakenTwiceMoveToFreePlaces) {
  std::vector<Bytes> slots;
  for (int i = 0; i < 12; ++i) slots.push_back(Slot(u"", u"", u"", i, -1));
  Put32(&slots[3], 1560, 0);    // twice at place 0
  Put32(&slots[7], 1560, -1);   // never placed
  Put32(&slots[9], 1560, 400);  // off the page
  const Bytes file = Join(slots);
  const MyDefSlots read = DecodeMyDef(file.data(), file.size());
  EXPECT_EQ(read[0].position, 0);
  EXPECT_EQ(read[3].position, 3);
  EXPECT_EQ(read[7].position, 7);
  EXPECT_EQ(read[9].position, 9);
}

TEST(NavRecords, LongTextIsCutToItsFieldAndNeverWrittenPast) {
  MyDefSlots slots = DecodeMyDef(nullptr, 0);
  slots[0].name = std::u16string(300, u'名');
  slots[0].url = std::u16string(258, u'x') + u"\U0001F600";  // the cut would split the pair
  slots[0].position = 0x01020304;
  const Bytes out = EncodeMyDef(slots);
  ASSERT_EQ(out.size(), 18816u);
  EXPECT_EQ(out[2 * 258], 0x0D);  // U+540D
  EXPECT_EQ(out[2 * 258 + 1], 0x54);
  EXPECT_EQ(out[2 * 259], 0);  // the terminator
  EXPECT_EQ(out[2 * 259 + 1], 0);
  EXPECT_EQ(out[520 + 2 * 258], 0);  // no lone half of the pair
  EXPECT_EQ(out[1560], 0x04);
  EXPECT_EQ(out[1563], 0x01);
  EXPECT_EQ(DecodeMyDef(out.data(), out.size())[0].name, std::u16string(259, u'名'));
}

TEST(NavRecords, SiteRecordsOfLnkAndTuijianTop) {
  Bytes one(2080, 0);
  PutUtf16(&one, 0, u"京东");
  PutUtf16(&one, 520, u"https://www.jd.com/");
  PutUtf16(&one, 1040, u"C:\\VuZiro\\daohang\\add\\jd.png");
  PutUtf16(&one, 1560, u"pic/webadd/jd.png");
  Bytes two(2080, 0);
  PutUtf16(&two, 0, u"无图");
  const Bytes file = Join({one, two, Bytes(2079, 0x55)});  // a torn last record is dropped
  const std::vector<SiteRecord> read = DecodeSiteRecords(file.data(), file.size());
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].pic, u"pic/webadd/jd.png");
  EXPECT_EQ(read[0].image, u"C:\\VuZiro\\daohang\\add\\jd.png");
  EXPECT_TRUE(read[1].url.empty());
  EXPECT_EQ(EncodeSiteRecords(read), Join({one, two}));
}

TEST(NavRecords, CategoryOfTwelveLinksStoresCountTwelveAndSevenLinks) {
  Bytes b(8844, 0);
  PutUtf16(&b, 0, u"视频");
  PutUtf16(&b, 520, u"C:\\VuZiro\\daohang\\tuijian\\bottom\\video.png");
  PutUtf16(&b, 1040, u"pic/type/video.png");
  Put32(&b, 1560, 12);
  for (int k = 0; k < 7; ++k) {
    PutUtf16(&b, 1564 + k * 1040, u"链接" + std::u16string(1, u'1' + k));
    PutUtf16(&b, 1564 + k * 1040 + 520, u"http://v" + std::u16string(1, u'1' + k) + u".cn/");
  }
  const std::vector<TuijianCategory> read = DecodeTuijianCategories(b.data(), b.size());
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].count, 12);
  ASSERT_EQ(read[0].links.size(), 7u);
  EXPECT_EQ(read[0].links[6].url, u"http://v7.cn/");
  EXPECT_EQ(EncodeTuijianCategories(read), b);

  TuijianCategory twelve = read[0];
  for (int k = 7; k < 12; ++k) twelve.links.push_back({u"多余", u"http://x/"});
  EXPECT_EQ(EncodeTuijianCategories({twelve}), b);  // links past seven are never written
  Put32(&b, 1560, -3);
  EXPECT_TRUE(DecodeTuijianCategories(b.data(), b.size())[0].links.empty());
}

TEST(NavRecords, DraggedTileTakesItsPlaceAndTheOthersMakeWayInOrder) {
  MyDefSlots slots = DecodeMyDef(nullptr, 0);
  slots[5].position = 9;  // the slot arrays' order is not the page's
  slots[9].position = 5;
  ASSERT_TRUE(MoveSlotPosition(&slots, 9, 2));  // slot 5 forward
  EXPECT_EQ(slots[5].position, 2);
  EXPECT_EQ(slots[2].position, 3);
  EXPECT_EQ(slots[9].position, 6);
  EXPECT_EQ(slots[8].position, 9);
  EXPECT_EQ(slots[10].position, 10);
  ASSERT_TRUE(MoveSlotPosition(&slots, 2, 11));  // and to the end
  EXPECT_EQ(slots[5].position, 11);
  EXPECT_EQ(slots[2].position, 2);
  EXPECT_EQ(slots[11].position, 10);
  EXPECT_FALSE(MoveSlotPosition(&slots, 4, 4));
  EXPECT_FALSE(MoveSlotPosition(&slots, 4, 12));
  std::vector<int> places;
  for (const MyDefSlot& s : slots) places.push_back(s.position);
  std::sort(places.begin(), places.end());
  for (int i = 0; i < 12; ++i) EXPECT_EQ(places[i], i);
}
