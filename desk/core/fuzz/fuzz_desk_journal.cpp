// The save journal decoder on any bytes: it never reads out of bounds, and what it accepts
// names only plain files and encodes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <vector>

#include "desk/core/desk_journal.h"
#include "desk/core/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<DeskJournalEntry> entries;
  if (!DecodeDeskJournal(data, size, &entries)) return 0;
  std::vector<uint8_t> again;
  for (const DeskJournalEntry& e : entries)
    FUZZ_CHECK(DeskIsPlainFileName(e.staged) && DeskIsPlainFileName(e.final));
  FUZZ_CHECK(EncodeDeskJournal(entries, &again));
  FUZZ_CHECK(again.size() == size && std::equal(again.begin(), again.end(), data));
  return 0;
}
