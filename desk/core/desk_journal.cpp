#include "desk/core/desk_journal.h"

#include <algorithm>

#include "desk/core/desk_boxes.h"
#include "desk/core/desk_text.h"

const char16_t kDeskJournalFile[] = u"desksave.jnl";
const char16_t kDeskStagingFolder[] = u"desksave.new";

namespace {

constexpr uint32_t kVersion = 1;
constexpr size_t kMaxEntries = 10000;
const uint8_t kMark[4] = {'V', 'X', 'S', 'J'};

void PutU32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t Fnv1a(const uint8_t* data, size_t size) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

void PutText(std::vector<uint8_t>* out, const std::u16string& text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  for (char16_t u : text) {
    out->push_back(static_cast<uint8_t>(u));
    out->push_back(static_cast<uint8_t>(u >> 8));
  }
}

class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool U32(uint32_t* v) {
    if (size_ - at_ < 4) return false;
    *v = 0;
    for (int i = 0; i < 4; ++i) *v |= static_cast<uint32_t>(data_[at_ + i]) << (8 * i);
    at_ += 4;
    return true;
  }
  bool Text(std::u16string* text) {
    uint32_t units = 0;
    if (!U32(&units) || units > (size_ - at_) / 2) return false;
    text->resize(units);
    for (uint32_t i = 0; i < units; ++i)
      (*text)[i] = static_cast<char16_t>(data_[at_ + 2 * i] | (data_[at_ + 2 * i + 1] << 8));
    at_ += 2 * static_cast<size_t>(units);
    return true;
  }
  size_t At() const { return at_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace

bool DeskIsPlainFileName(const std::u16string& name) {
  return DeskIsSafeFileName(name) && name != u"." && name != u"..";
}

bool EncodeDeskJournal(const std::vector<DeskJournalEntry>& entries, std::vector<uint8_t>* out) {
  for (const DeskJournalEntry& e : entries)
    if (!DeskIsPlainFileName(e.staged) || !DeskIsPlainFileName(e.final)) return false;
  std::vector<uint8_t> bytes(kMark, kMark + 4);
  PutU32(&bytes, kVersion);
  PutU32(&bytes, static_cast<uint32_t>(entries.size()));
  for (const DeskJournalEntry& e : entries) {
    PutText(&bytes, e.staged);
    PutText(&bytes, e.final);
  }
  PutU32(&bytes, Fnv1a(bytes.data(), bytes.size()));
  out->insert(out->end(), bytes.begin(), bytes.end());
  return true;
}

bool DecodeDeskJournal(const uint8_t* data, size_t size, std::vector<DeskJournalEntry>* entries) {
  if (size < 16 || !std::equal(kMark, kMark + 4, data)) return false;
  Reader hashed(data + size - 4, 4);
  uint32_t hash = 0;
  if (!hashed.U32(&hash) || hash != Fnv1a(data, size - 4)) return false;
  Reader r(data + 4, size - 8);
  uint32_t version = 0, count = 0;
  if (!r.U32(&version) || version != kVersion || !r.U32(&count) || count > kMaxEntries)
    return false;
  std::vector<DeskJournalEntry> read;
  for (uint32_t i = 0; i < count; ++i) {
    DeskJournalEntry e;
    if (!r.Text(&e.staged) || !r.Text(&e.final)) return false;
    if (!DeskIsPlainFileName(e.staged) || !DeskIsPlainFileName(e.final)) return false;
    for (const DeskJournalEntry& seen : read)
      if (DeskTextEqual(seen.final, e.final) || DeskTextEqual(seen.staged, e.staged)) return false;
    read.push_back(std::move(e));
  }
  if (r.At() != size - 8) return false;
  *entries = std::move(read);
  return true;
}
