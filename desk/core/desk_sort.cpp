#include "desk/core/desk_sort.h"

#include <algorithm>

#include "desk/core/desk_records.h"
#include "desk/core/desk_text.h"
#include "desk/core/pinyin.h"

namespace {

// Kinds below this (special items, folders) come before shortcuts and files.
constexpr int kFirstFileKind = 16;

template <typename T>
int Order(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Ascending comparison; the descending direction reverses it whole. The names come as their
// pinyin keys, made once per entry rather than once per comparison.
int CompareAscending(const DeskSortEntry& a, const DeskSortEntry& b, const std::u16string& nameA,
                     const std::u16string& nameB, DeskSortKey key) {
  const bool aFile = a.kind >= kFirstFileKind, bFile = b.kind >= kFirstFileKind;
  if (aFile != bFile) return aFile ? 1 : -1;
  if (aFile) {
    if (key == kDeskSortTime) return Order(a.lastWrite, b.lastWrite);
    if (key == kDeskSortSize) return Order(a.size, b.size);
    return Order(nameA, nameB);
  }
  if (a.kind != b.kind) return Order(a.kind, b.kind);
  if (a.kind == KIND_FOLDER && key == kDeskSortTime) return Order(a.lastWrite, b.lastWrite);
  return Order(nameA, nameB);
}

bool OutOfOrder(int ascending, int d) { return d ? ascending > 0 : ascending < 0; }

}  // namespace

int DeskSortDirections::Take(DeskSortKey key) {
  const int d = flags_[key];
  flags_[key] = !d;
  return d;
}

bool DeskSortOutOfOrder(const DeskSortEntry& a, const DeskSortEntry& b, DeskSortKey key, int d) {
  return OutOfOrder(
      CompareAscending(a, b, PinyinKey(a.displayName), PinyinKey(b.displayName), key), d);
}

std::u16string DeskExtension(const std::u16string& parseName) {
  const size_t dot = parseName.rfind(u'.');
  return dot == std::u16string::npos ? std::u16string() : parseName.substr(dot + 1);
}

std::vector<size_t> DeskSortOrder(const std::vector<DeskSortEntry>& entries, DeskSortKey key,
                                  int d) {
  std::vector<size_t> order(entries.size());
  std::vector<std::u16string> names(entries.size());
  for (size_t i = 0; i < order.size(); ++i) {
    order[i] = i;
    names[i] = PinyinKey(entries[i].displayName);
  }
  for (size_t pass = 1; pass < order.size(); ++pass) {
    for (size_t i = 0; i + 1 < order.size(); ++i) {
      const size_t a = order[i], b = order[i + 1];
      if (OutOfOrder(CompareAscending(entries[a], entries[b], names[a], names[b], key), d))
        std::swap(order[i], order[i + 1]);
    }
  }
  if (key != kDeskSortType) return order;

  std::vector<size_t> places, files;
  for (size_t i = 0; i < order.size(); ++i) {
    if (entries[order[i]].kind < kFirstFileKind) continue;
    places.push_back(i);
    files.push_back(order[i]);
  }
  std::stable_sort(files.begin(), files.end(), [&entries, d](size_t x, size_t y) {
    const int c = DeskTextCompare(DeskExtension(entries[x].parseName),
                                  DeskExtension(entries[y].parseName));
    return d ? c < 0 : c > 0;
  });
  for (size_t i = 0; i < places.size(); ++i) order[places[i]] = files[i];
  return order;
}
