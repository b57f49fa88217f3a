#include "nav/core/nav_records.h"

#include <algorithm>

#include "nav/core/nav_text.h"

const char16_t kMyDefPath[] = u"daohang\\mydef.dat";
const char16_t kThumbnailFolder[] = u"daohang\\temp\\";
const char16_t kAddFolder[] = u"daohang\\add\\";
const char16_t kLnkPath[] = u"daohang\\add\\lnk.dat";
const char16_t kTuijianTopFolder[] = u"daohang\\tuijian\\top\\";
const char16_t kTuijianTopPath[] = u"daohang\\tuijian\\top\\tuijian_top.dat";
const char16_t kTuijianBottomFolder[] = u"daohang\\tuijian\\bottom\\";
const char16_t kTuijianBotPath[] = u"daohang\\tuijian\\bottom\\tuijian_bot.dat";

namespace {

constexpr size_t kFieldBytes = kNavTextUnits * 2;  // 520
constexpr size_t kSlotPositionAt = 3 * kFieldBytes, kSlotStateAt = kSlotPositionAt + 4;
constexpr size_t kBotCountAt = 3 * kFieldBytes, kBotLinksAt = kBotCountAt + 4;

// The field is zero-filled by the caller; at most 259 units and the terminator are written.
void PutText(uint8_t* field, const std::u16string& text) {
  const std::u16string fitted = NavFieldText(text);
  for (size_t i = 0; i < fitted.size(); ++i) {
    field[2 * i] = static_cast<uint8_t>(fitted[i] & 0xFF);
    field[2 * i + 1] = static_cast<uint8_t>(fitted[i] >> 8);
  }
}

// A field written elsewhere may lack its terminator; it is read as if it had been cut.
std::u16string GetText(const uint8_t* field) {
  std::u16string text;
  for (size_t i = 0; i < kNavTextUnits; ++i) {
    const char16_t u = static_cast<char16_t>(field[2 * i] | (field[2 * i + 1] << 8));
    if (u == 0) break;
    text.push_back(u);
  }
  return NavFieldText(text);
}

void PutInt(uint8_t* p, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int32_t GetInt(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

size_t LinksKept(int32_t count) {
  return count <= 0 ? 0 : std::min(static_cast<size_t>(count), kTuijianBotLinks);
}

void PlaceEverySlot(MyDefSlots* slots) {
  std::array<bool, kMyDefSlotCount> taken{};
  std::vector<MyDefSlot*> homeless;
  for (MyDefSlot& slot : *slots) {
    const int32_t p = slot.position;
    if (p >= 0 && p < static_cast<int32_t>(kMyDefSlotCount) && !taken[p]) {
      taken[p] = true;
    } else {
      homeless.push_back(&slot);
    }
  }
  size_t free = 0;
  for (MyDefSlot* slot : homeless) {
    while (taken[free]) ++free;
    taken[free] = true;
    slot->position = static_cast<int32_t>(free);
  }
}

}  // namespace

std::vector<uint8_t> EncodeMyDef(const MyDefSlots& slots) {
  std::vector<uint8_t> out(kMyDefFileSize, 0);
  for (size_t i = 0; i < kMyDefSlotCount; ++i) {
    uint8_t* p = out.data() + i * kMyDefSlotSize;
    PutText(p, slots[i].name);
    PutText(p + kFieldBytes, slots[i].url);
    PutText(p + 2 * kFieldBytes, slots[i].image);
    PutInt(p + kSlotPositionAt, slots[i].position);
    PutInt(p + kSlotStateAt, slots[i].state);
  }
  return out;
}

MyDefSlots DecodeMyDef(const uint8_t* data, size_t size) {
  MyDefSlots slots;
  for (size_t i = 0; i < kMyDefSlotCount; ++i) {
    MyDefSlot& slot = slots[i];
    if (size < (i + 1) * kMyDefSlotSize) {
      slot.position = static_cast<int32_t>(i);
      continue;
    }
    const uint8_t* p = data + i * kMyDefSlotSize;
    slot.name = GetText(p);
    slot.url = GetText(p + kFieldBytes);
    slot.image = GetText(p + 2 * kFieldBytes);
    slot.position = GetInt(p + kSlotPositionAt);
    slot.state = GetInt(p + kSlotStateAt);
  }
  PlaceEverySlot(&slots);
  return slots;
}

MyDefSlot* SlotAtPosition(MyDefSlots* slots, int position) {
  for (MyDefSlot& slot : *slots)
    if (slot.position == position) return &slot;
  return nullptr;
}

bool MoveSlotPosition(MyDefSlots* slots, int from, int to) {
  const int n = static_cast<int>(kMyDefSlotCount);
  if (from < 0 || from >= n || to < 0 || to >= n || from == to) return false;
  // The page as shown: which slot stands at each place (a place may be unoccupied in a
  // damaged file; such a place moves along like any other).
  std::array<MyDefSlot*, kMyDefSlotCount> shown{};
  for (int p = 0; p < n; ++p) shown[p] = SlotAtPosition(slots, p);
  MyDefSlot* moving = shown[from];
  if (!moving) return false;
  const int step = from < to ? 1 : -1;
  for (int p = from; p != to; p += step) shown[p] = shown[p + step];
  shown[to] = moving;
  for (int p = 0; p < n; ++p)
    if (shown[p]) shown[p]->position = p;
  return true;
}

std::vector<uint8_t> EncodeSiteRecords(const std::vector<SiteRecord>& sites) {
  std::vector<uint8_t> out(sites.size() * kSiteRecordSize, 0);
  for (size_t i = 0; i < sites.size(); ++i) {
    uint8_t* p = out.data() + i * kSiteRecordSize;
    PutText(p, sites[i].name);
    PutText(p + kFieldBytes, sites[i].url);
    PutText(p + 2 * kFieldBytes, sites[i].image);
    PutText(p + 3 * kFieldBytes, sites[i].pic);
  }
  return out;
}

std::vector<SiteRecord> DecodeSiteRecords(const uint8_t* data, size_t size) {
  std::vector<SiteRecord> sites;
  for (size_t at = 0; size - at >= kSiteRecordSize; at += kSiteRecordSize) {
    const uint8_t* p = data + at;
    sites.push_back(SiteRecord{GetText(p), GetText(p + kFieldBytes),
                               GetText(p + 2 * kFieldBytes), GetText(p + 3 * kFieldBytes)});
  }
  return sites;
}

std::vector<uint8_t> EncodeTuijianCategories(const std::vector<TuijianCategory>& categories) {
  std::vector<uint8_t> out(categories.size() * kTuijianBotItemSize, 0);
  for (size_t i = 0; i < categories.size(); ++i) {
    const TuijianCategory& c = categories[i];
    uint8_t* p = out.data() + i * kTuijianBotItemSize;
    PutText(p, c.type);
    PutText(p + kFieldBytes, c.image);
    PutText(p + 2 * kFieldBytes, c.pic);
    PutInt(p + kBotCountAt, c.count);
    const size_t links = std::min(LinksKept(c.count), c.links.size());
    for (size_t k = 0; k < links; ++k) {
      uint8_t* link = p + kBotLinksAt + k * 2 * kFieldBytes;
      PutText(link, c.links[k].name);
      PutText(link + kFieldBytes, c.links[k].url);
    }
  }
  return out;
}

std::vector<TuijianCategory> DecodeTuijianCategories(const uint8_t* data, size_t size) {
  std::vector<TuijianCategory> categories;
  for (size_t at = 0; size - at >= kTuijianBotItemSize; at += kTuijianBotItemSize) {
    const uint8_t* p = data + at;
    TuijianCategory c;
    c.type = GetText(p);
    c.image = GetText(p + kFieldBytes);
    c.pic = GetText(p + 2 * kFieldBytes);
    c.count = GetInt(p + kBotCountAt);
    for (size_t k = 0; k < LinksKept(c.count); ++k) {
      const uint8_t* link = p + kBotLinksAt + k * 2 * kFieldBytes;
      c.links.push_back(NavLink{GetText(link), GetText(link + kFieldBytes)});
    }
    categories.push_back(std::move(c));
  }
  return categories;
}
