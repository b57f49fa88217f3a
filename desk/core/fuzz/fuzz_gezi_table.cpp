// gezhiconf.dat as read from disk, then the boxes made from it. The decoder ignores a
// trailing partial record; its first 16 bytes, when present, give the page rectangle, so
// pages left of or above the primary monitor are tried too.
#include "desk/core/desk_boxes.h"
#include "desk/core/desk_records.h"
#include "desk/core/fuzz/fuzz_check.h"

namespace {

int32_t IntAt(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 |
                              static_cast<uint32_t>(p[3]) << 24);
}

bool SameRect(const VxRc& a, const VxRc& b) { return a == b; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<GeziSaveData> table = DecodeGeziTable(data, size);
  FUZZ_CHECK(table.size() == size / kGeziSaveDataSize);

  VxRc page{0, 0, 1920, 1040};
  const size_t tail = size % kGeziSaveDataSize;
  if (tail >= 16) {
    const uint8_t* p = data + size - tail;
    page = VxRc{IntAt(p), IntAt(p + 4), IntAt(p + 8), IntAt(p + 12)};
  }

  const std::vector<DeskBox> boxes = DeskBoxesFromTable(table, page);
  FUZZ_CHECK(boxes.size() <= table.size());

  // Live boxes written back under another data folder come back with the same names and
  // places.
  const std::u16string folder = u"C:\\users\\u\\AppData\\Roaming\\VuZiro\\";
  std::vector<GeziSaveData> records;
  std::vector<const DeskBox*> written;
  for (const DeskBox& box : boxes) {
    FUZZ_CHECK(!box.itemFile.empty());
    FUZZ_CHECK(DeskTableHasBoxName(table, box.name));
    GeziSaveData record;
    if (!DeskBoxToRecord(box, page, folder, &record)) continue;
    records.push_back(record);
    written.push_back(&box);
  }
  std::vector<uint8_t> bytes;
  for (const GeziSaveData& record : records) FUZZ_CHECK(EncodeGeziSaveData(record, &bytes));
  const std::vector<DeskBox> again =
      DeskBoxesFromTable(DecodeGeziTable(bytes.data(), bytes.size()), page);
  FUZZ_CHECK(again.size() == written.size());
  for (size_t i = 0; i < again.size(); ++i) {
    FUZZ_CHECK(again[i].name == written[i]->name);
    FUZZ_CHECK(SameRect(again[i].rect, written[i]->rect));
    FUZZ_CHECK(again[i].fixedPos == written[i]->fixedPos);
    FUZZ_CHECK(again[i].listType == written[i]->listType);
  }
  return 0;
}
