// An item file as read from disk: one item per whole record, and items whose names fit
// their field encode back to records that decode to the same items.
#include "desk/core/desk_records.h"
#include "desk/core/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<DeskItemRecord> items = DecodeDeskItems(data, size);
  FUZZ_CHECK(items.size() == size / kDeskItemRecordSize);
  std::vector<DeskItemRecord> fitting;
  std::vector<uint8_t> bytes;
  for (const DeskItemRecord& item : items) {
    FUZZ_CHECK(item.parseName.size() <= kDeskTextUnits);
    if (EncodeDeskItemRecord(item, &bytes)) fitting.push_back(item);
  }
  FUZZ_CHECK(bytes.size() == fitting.size() * kDeskItemRecordSize);
  const std::vector<DeskItemRecord> again = DecodeDeskItems(bytes.data(), bytes.size());
  FUZZ_CHECK(again.size() == fitting.size());
  for (size_t i = 0; i < again.size(); ++i) {
    FUZZ_CHECK(again[i].parseName == fitting[i].parseName);
    FUZZ_CHECK(again[i].x == fitting[i].x && again[i].y == fitting[i].y);
  }
  return 0;
}
