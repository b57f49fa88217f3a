#include "desk/core/desk_records.h"

#include <cstring>

const char16_t kDeskListItemFile[] = u"deskiteminfo_20140101";

namespace {

// Byte offsets of the records' fields.
constexpr size_t kConfigTextAt = 6;
constexpr size_t kGeziFixedAt = 16, kGeziIconViewAt = 17, kGeziPathAt = 18;
constexpr size_t kItemXAt = 520, kItemYAt = 524;

bool TextFits(const std::u16string& text, size_t units) {
  return text.size() < units && text.find(u'\0') == std::u16string::npos;
}

void PutText(uint8_t* field, const std::u16string& text, size_t units) {
  std::memset(field, 0, units * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    field[2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
    field[2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
  }
}

std::u16string GetText(const uint8_t* field, size_t units) {
  std::u16string text;
  for (size_t i = 0; i < units; ++i) {
    const char16_t u = static_cast<char16_t>(field[2 * i] | (field[2 * i + 1] << 8));
    if (u == 0) break;
    text.push_back(u);
  }
  return text;
}

void PutInt(uint8_t* p, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int32_t GetInt(const uint8_t* p) {
  const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(v);
}

// Grows `out` by one zeroed record and returns its first byte.
uint8_t* AppendRecord(std::vector<uint8_t>* out, size_t size) {
  const size_t at = out->size();
  out->resize(at + size, 0);
  return out->data() + at;
}

}  // namespace

bool EncodeDeskConfig(const DeskConfig& config, std::vector<uint8_t>* out) {
  if (!TextFits(config.deskItemFile, kDeskTextUnits)) return false;
  uint8_t* p = AppendRecord(out, kDeskConfigSize);
  p[0] = config.deskPageOn;
  p[1] = config.dblClickHide;
  p[2] = config.smallIcons;
  p[3] = config.autoArrange;
  p[4] = config.organizePending;
  PutText(p + kConfigTextAt, config.deskItemFile, kDeskTextUnits);
  return true;
}

bool EncodeGeziSaveData(const GeziSaveData& box, std::vector<uint8_t>* out) {
  if (!TextFits(box.itemFile, kGeziPathUnits)) return false;
  uint8_t* p = AppendRecord(out, kGeziSaveDataSize);
  PutInt(p, box.left);
  PutInt(p + 4, box.top);
  PutInt(p + 8, box.right);
  PutInt(p + 12, box.bottom);
  p[kGeziFixedAt] = box.fixedPos;
  p[kGeziIconViewAt] = box.iconView;
  PutText(p + kGeziPathAt, box.itemFile, kGeziPathUnits);
  return true;
}

bool EncodeDeskItemRecord(const DeskItemRecord& item, std::vector<uint8_t>* out) {
  if (!TextFits(item.parseName, kDeskTextUnits)) return false;
  uint8_t* p = AppendRecord(out, kDeskItemRecordSize);
  PutText(p, item.parseName, kDeskTextUnits);
  PutInt(p + kItemXAt, item.x);
  PutInt(p + kItemYAt, item.y);
  return true;
}

bool DecodeDeskConfig(const uint8_t* data, size_t size, DeskConfig* config) {
  if (size < kDeskConfigSize) return false;
  config->deskPageOn = data[0];
  config->dblClickHide = data[1];
  config->smallIcons = data[2];
  config->autoArrange = data[3];
  config->organizePending = data[4];
  config->deskItemFile = GetText(data + kConfigTextAt, kDeskTextUnits);
  return true;
}

std::vector<GeziSaveData> DecodeGeziTable(const uint8_t* data, size_t size) {
  std::vector<GeziSaveData> table;
  for (size_t at = 0; size - at >= kGeziSaveDataSize; at += kGeziSaveDataSize) {
    const uint8_t* p = data + at;
    GeziSaveData box;
    box.left = GetInt(p);
    box.top = GetInt(p + 4);
    box.right = GetInt(p + 8);
    box.bottom = GetInt(p + 12);
    box.fixedPos = p[kGeziFixedAt];
    box.iconView = p[kGeziIconViewAt];
    box.itemFile = GetText(p + kGeziPathAt, kGeziPathUnits);
    table.push_back(std::move(box));
  }
  return table;
}

std::vector<DeskItemRecord> DecodeDeskItems(const uint8_t* data, size_t size) {
  std::vector<DeskItemRecord> items;
  for (size_t at = 0; size - at >= kDeskItemRecordSize; at += kDeskItemRecordSize) {
    const uint8_t* p = data + at;
    DeskItemRecord item;
    item.parseName = GetText(p, kDeskTextUnits);
    item.x = GetInt(p + kItemXAt);
    item.y = GetInt(p + kItemYAt);
    items.push_back(std::move(item));
  }
  return items;
}
