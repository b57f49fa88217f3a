// The navigation files as read from disk, each reader on the same bytes: whole records only,
// texts that fit their field, every tile at its own place, and what is read writes back to
// bytes that read the same.
#include <set>

#include "desk/core/fuzz/fuzz_check.h"
#include "nav/core/nav_records.h"
#include "nav/core/nav_text.h"

namespace {

bool Fits(const std::u16string& text) { return NavFieldText(text) == text; }

void CheckMyDef(const uint8_t* data, size_t size) {
  const MyDefSlots slots = DecodeMyDef(data, size);
  std::set<int32_t> places;
  for (const MyDefSlot& s : slots) {
    FUZZ_CHECK(s.position >= 0 && s.position < 12);
    places.insert(s.position);
    FUZZ_CHECK(Fits(s.name) && Fits(s.url) && Fits(s.image));
  }
  FUZZ_CHECK(places.size() == 12);
  const std::vector<uint8_t> bytes = EncodeMyDef(slots);
  FUZZ_CHECK(bytes.size() == kMyDefFileSize);
  const MyDefSlots again = DecodeMyDef(bytes.data(), bytes.size());
  for (size_t i = 0; i < 12; ++i) {
    FUZZ_CHECK(again[i].name == slots[i].name && again[i].url == slots[i].url &&
               again[i].image == slots[i].image);
    FUZZ_CHECK(again[i].position == slots[i].position && again[i].state == slots[i].state);
  }
}

void CheckSites(const uint8_t* data, size_t size) {
  const std::vector<SiteRecord> sites = DecodeSiteRecords(data, size);
  FUZZ_CHECK(sites.size() == size / kSiteRecordSize);
  const std::vector<uint8_t> bytes = EncodeSiteRecords(sites);
  FUZZ_CHECK(bytes.size() == sites.size() * kSiteRecordSize);
  const std::vector<SiteRecord> again = DecodeSiteRecords(bytes.data(), bytes.size());
  FUZZ_CHECK(again.size() == sites.size());
  for (size_t i = 0; i < sites.size(); ++i) {
    FUZZ_CHECK(Fits(sites[i].name) && Fits(sites[i].url) && Fits(sites[i].image) &&
               Fits(sites[i].pic));
    FUZZ_CHECK(again[i].name == sites[i].name && again[i].url == sites[i].url &&
               again[i].image == sites[i].image && again[i].pic == sites[i].pic);
  }
}

void CheckCategories(const uint8_t* data, size_t size) {
  const std::vector<TuijianCategory> cats = DecodeTuijianCategories(data, size);
  FUZZ_CHECK(cats.size() == size / kTuijianBotItemSize);
  const std::vector<uint8_t> bytes = EncodeTuijianCategories(cats);
  FUZZ_CHECK(bytes.size() == cats.size() * kTuijianBotItemSize);
  const std::vector<TuijianCategory> again = DecodeTuijianCategories(bytes.data(), bytes.size());
  FUZZ_CHECK(again.size() == cats.size());
  for (size_t i = 0; i < cats.size(); ++i) {
    const size_t kept = cats[i].count <= 0 ? 0 : std::min<size_t>(cats[i].count, 7);
    FUZZ_CHECK(cats[i].links.size() == kept);
    FUZZ_CHECK(again[i].type == cats[i].type && again[i].image == cats[i].image &&
               again[i].pic == cats[i].pic && again[i].count == cats[i].count);
    for (size_t k = 0; k < kept; ++k) {
      FUZZ_CHECK(Fits(cats[i].links[k].name) && Fits(cats[i].links[k].url));
      FUZZ_CHECK(again[i].links[k].name == cats[i].links[k].name &&
                 again[i].links[k].url == cats[i].links[k].url);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckMyDef(data, size);
  CheckSites(data, size);
  CheckCategories(data, size);
  return 0;
}
