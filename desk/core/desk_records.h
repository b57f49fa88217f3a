// The desk's saved records as bytes: deskconf.dat, gezhiconf.dat and the item files. Plain
// little-endian records without a header; text fields are UTF-16LE, NUL-terminated inside
// a fixed field and zero-filled after the terminator.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kDeskConfigSize = 526;
constexpr size_t kGeziSaveDataSize = 540;
constexpr size_t kDeskItemRecordSize = 528;
constexpr size_t kDeskTextUnits = 260;     // display and parsing names, deskItemFile
constexpr size_t kGeziPathUnits = 261;     // the box table's itemFile is one unit longer

enum DeskItemKind { KIND_SPECIAL = 5, KIND_FOLDER = 10, KIND_SHORTCUT = 20, KIND_FILE = 25 };

// The desk list's item file in the data folder.
extern const char16_t kDeskListItemFile[];  // "deskiteminfo_20140101"

struct DeskConfig {
  uint8_t deskPageOn = 1;
  uint8_t dblClickHide = 0;
  uint8_t smallIcons = 0;
  uint8_t autoArrange = 1;
  uint8_t organizePending = 1;
  std::u16string deskItemFile;
};

struct GeziSaveData {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // relative to the page's top-left
  uint8_t fixedPos = 0;
  uint8_t iconView = 1;  // 1: list type 0 (icons); 0: list type 2 (rows)
  std::u16string itemFile;
};

struct DeskItemRecord {
  std::u16string parseName;
  int32_t x = 0, y = 0;  // relative to the list's top-left
};

// Encoders append one record to `out`. They fail, leaving `out` as it was, when a text does
// not fit its field together with its terminator or holds a NUL unit.
bool EncodeDeskConfig(const DeskConfig& config, std::vector<uint8_t>* out);
bool EncodeGeziSaveData(const GeziSaveData& box, std::vector<uint8_t>* out);
bool EncodeDeskItemRecord(const DeskItemRecord& item, std::vector<uint8_t>* out);

// deskconf.dat is read whole: fewer than 526 bytes leave `config` untouched and give false.
bool DecodeDeskConfig(const uint8_t* data, size_t size, DeskConfig* config);

// Whole records until the data runs short; a trailing partial record is ignored. A text
// field without a terminator is taken up to the end of its field.
std::vector<GeziSaveData> DecodeGeziTable(const uint8_t* data, size_t size);
std::vector<DeskItemRecord> DecodeDeskItems(const uint8_t* data, size_t size);
