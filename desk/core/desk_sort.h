// The four sort orders of a desk list or box: by name (pinyin initials), modified time, type
// and size, each with its own direction flag that flips on every use.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum DeskSortKey { kDeskSortName = 0, kDeskSortTime = 1, kDeskSortType = 2, kDeskSortSize = 3 };

// What the orders look at of one entry.
struct DeskSortEntry {
  int kind = 0;  // DeskItemKind
  std::u16string displayName;
  std::u16string parseName;
  uint64_t lastWrite = 0;  // any monotonic time, e.g. a FILETIME
  uint32_t size = 0;       // low 32 bits of the file size, 0 when the file is missing
};

// The desk's direction flags, all 1 at start.
class DeskSortDirections {
 public:
  // Direction to use now (1 ascending, 0 descending); the stored flag is inverted.
  int Take(DeskSortKey key);
  int Peek(DeskSortKey key) const { return flags_[key]; }

 private:
  int32_t flags_[4] = {1, 1, 1, 1};
};

// True when a, standing right before b, must be swapped with it under `key` and direction d.
bool DeskSortOutOfOrder(const DeskSortEntry& a, const DeskSortEntry& b, DeskSortKey key, int d);

// The new order as indices into `entries`: a bubble sort of neighbours with
// DeskSortOutOfOrder (so equal entries keep their order), then, for the type key, the
// shortcuts and files reordered by extension among the places they hold.
std::vector<size_t> DeskSortOrder(const std::vector<DeskSortEntry>& entries, DeskSortKey key,
                                  int d);

// Text after the last '.' of a parsing name, empty when there is none.
std::u16string DeskExtension(const std::u16string& parseName);
