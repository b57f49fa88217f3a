// A server answer to get.php, as UTF-8 bytes and as the UTF-16 text WebGet hands over: the
// lists read from it fit the cache files, no picture name leaves its folder, and once the
// lists are cached the same answer changes nothing.
#include "desk/core/fuzz/fuzz_check.h"
#include "nav/core/nav_records.h"
#include "nav/core/nav_sites.h"
#include "nav/core/nav_text.h"

namespace {

bool Fits(const std::u16string& text) { return NavFieldText(text) == text; }

void CheckPicture(const std::u16string& pic) {
  const std::optional<std::u16string> name = PictureFileName(pic);
  if (!name) return;
  FUZZ_CHECK(!name->empty() && *name != u"..");
  FUZZ_CHECK(name->find_first_of(u"\\/:") == std::u16string::npos);
}

void CheckSiteList(const std::vector<SiteRecord>& sites) {
  for (const SiteRecord& s : sites) {
    FUZZ_CHECK(Fits(s.name) && Fits(s.url) && Fits(s.pic) && s.image.empty());
    CheckPicture(s.pic);
  }
}

void CheckAnswer(std::string_view text) {
  if (const auto webadd = ParseWebAddUtf8(text)) {
    CheckSiteList(*webadd);
    FUZZ_CHECK(SuggestionsChanged({}, *webadd) == !UsableSuggestions(*webadd).empty());
    const std::vector<uint8_t> lnk = EncodeSiteRecords(UsableSuggestions(*webadd));
    FUZZ_CHECK(!SuggestionsChanged(DecodeSiteRecords(lnk.data(), lnk.size()), *webadd));
  }
  if (const auto tuijian = ParseTuijianUtf8(text)) {
    FUZZ_CHECK(tuijian->top || tuijian->categories);
    std::vector<SiteRecord> top;
    std::vector<TuijianCategory> cats;
    if (tuijian->top) {
      CheckSiteList(*tuijian->top);
      const std::vector<uint8_t> bytes = EncodeSiteRecords(*tuijian->top);
      top = DecodeSiteRecords(bytes.data(), bytes.size());
    }
    if (tuijian->categories) {
      for (const TuijianCategory& c : *tuijian->categories) {
        FUZZ_CHECK(Fits(c.type) && Fits(c.pic) && c.count >= 0);
        FUZZ_CHECK(c.links.size() == std::min<size_t>(c.count, 7));
        CheckPicture(c.pic);
      }
      const std::vector<uint8_t> bytes = EncodeTuijianCategories(*tuijian->categories);
      cats = DecodeTuijianCategories(bytes.data(), bytes.size());
    }
    FUZZ_CHECK(!WhatChanged(top, cats, *tuijian).Any());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckAnswer(bytes);
  // WebGet hands the answer over as UTF-16; read that way, well-formed UTF-8 gives the same
  // lists as the bytes did.
  const std::u16string wide = NavUtf8ToUtf16(bytes);
  const std::string narrow = NavUtf16ToUtf8(wide);
  FUZZ_CHECK(NavUtf8ToUtf16(narrow) == wide);
  const auto fromWide = ParseWebAdd(wide);
  if (narrow == bytes) {
    const auto fromBytes = ParseWebAddUtf8(bytes);
    FUZZ_CHECK(fromWide.has_value() == fromBytes.has_value());
    if (fromWide) FUZZ_CHECK(SameSites(*fromWide, *fromBytes));
  } else if (fromWide) {
    CheckSiteList(*fromWide);
  }
  return 0;
}
