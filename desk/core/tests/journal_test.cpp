// The save journal against bytes written out by hand, and every way a journal can be less
// than whole.
#include <gtest/gtest.h>

#include "desk/core/desk_journal.h"

namespace {

void U32(std::vector<uint8_t>* b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b->push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Text(std::vector<uint8_t>* b, const std::u16string& t) {
  U32(b, static_cast<uint32_t>(t.size()));
  for (char16_t u : t) {
    b->push_back(static_cast<uint8_t>(u));
    b->push_back(static_cast<uint8_t>(u >> 8));
  }
}
void Seal(std::vector<uint8_t>* b) {
  uint32_t h = 2166136261u;
  for (uint8_t x : *b) h = (h ^ x) * 16777619u;
  U32(b, h);
}
// "VXSJ", version 1, the pairs (staged, final) as given, sealed.
std::vector<uint8_t> Journal(std::initializer_list<std::pair<std::u16string, std::u16string>> files) {
  std::vector<uint8_t> b = {'V', 'X', 'S', 'J'};
  U32(&b, 1);
  U32(&b, static_cast<uint32_t>(files.size()));
  for (const auto& f : files) {
    Text(&b, f.first);
    Text(&b, f.second);
  }
  Seal(&b);
  return b;
}
std::vector<uint8_t> HandBuilt() { return Journal({{u"0", u"gezhiconf.dat"}, {u"1", u"文件"}}); }
bool Decodes(const std::vector<uint8_t>& b) {
  std::vector<DeskJournalEntry> e;
  return DecodeDeskJournal(b.data(), b.size(), &e);
}

}  // namespace

TEST(DeskJournal, HandBuiltBytesDecodeAndEncodeTheSame) {
  const std::vector<uint8_t> bytes = HandBuilt();
  std::vector<DeskJournalEntry> entries;
  ASSERT_TRUE(DecodeDeskJournal(bytes.data(), bytes.size(), &entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].staged, u"0");
  EXPECT_EQ(entries[0].final, u"gezhiconf.dat");
  EXPECT_EQ(entries[1].final, u"文件");
  std::vector<uint8_t> again;
  ASSERT_TRUE(EncodeDeskJournal(entries, &again));
  EXPECT_EQ(again, bytes);
}

TEST(DeskJournal, AnythingLessThanWholeIsRefused) {
  const std::vector<uint8_t> bytes = HandBuilt();
  for (size_t cut = 0; cut < bytes.size(); ++cut)  // every torn prefix
    EXPECT_FALSE(Decodes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut))) << cut;
  for (size_t i = 0; i < bytes.size(); ++i) {  // every flipped byte
    std::vector<uint8_t> bad = bytes;
    bad[i] ^= 0x40;
    EXPECT_FALSE(Decodes(bad)) << i;
  }
  std::vector<uint8_t> longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(Decodes(longer));
}

TEST(DeskJournal, NamesLeavingTheFolderOrRepeatedAreRefused) {
  for (const std::u16string& name : {std::u16string(u"..\\config.ini"), std::u16string(u"C:x"),
                                     std::u16string(u"a/b"), std::u16string(u".."),
                                     std::u16string(u"CON"), std::u16string(u"")}) {
    const std::vector<uint8_t> b = Journal({{u"0", name}});
    EXPECT_FALSE(Decodes(b));
    std::vector<uint8_t> out;
    EXPECT_FALSE(EncodeDeskJournal({{u"0", name}}, &out));
    EXPECT_TRUE(out.empty());
  }
  const std::vector<uint8_t> twice = Journal({{u"0", u"文件"}, {u"1", u"文件"}});
  EXPECT_FALSE(Decodes(twice));
  std::vector<uint8_t> huge = {'V', 'X', 'S', 'J'};  // a count far beyond the bytes
  U32(&huge, 1);
  U32(&huge, 0xFFFFFFFFu);
  Seal(&huge);
  EXPECT_FALSE(Decodes(huge));
}
