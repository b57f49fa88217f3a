// The navigation pages' saved records as bytes: mydef.dat (the twelve tiles of 我的导航),
// lnk.dat (the suggestion cache of the add dialog), tuijian_top.dat and tuijian_bot.dat (推荐导航).
// Plain little-endian records without a header; text fields are 260 UTF-16LE units,
// NUL-terminated and NUL-padded. A text too long for its field is cut to 259 units when it
// is written, so nothing is ever written past its field.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where the files live, below the data folder (AppData\VuZiro\, or VX_DATA_DIR in tests).
// Folders end in a backslash; the pictures of each list sit in the folder of its file.
extern const char16_t kMyDefPath[];            // daohang\mydef.dat
extern const char16_t kThumbnailFolder[];      // daohang\temp\ (then a folder per day)
extern const char16_t kAddFolder[];            // daohang\add\ (suggestion pictures)
extern const char16_t kLnkPath[];              // daohang\add\lnk.dat
extern const char16_t kTuijianTopFolder[];     // daohang\tuijian\top\ (site pictures)
extern const char16_t kTuijianTopPath[];       // daohang\tuijian\top\tuijian_top.dat
extern const char16_t kTuijianBottomFolder[];  // daohang\tuijian\bottom\ (category pictures)
extern const char16_t kTuijianBotPath[];       // daohang\tuijian\bottom\tuijian_bot.dat

constexpr size_t kMyDefSlotCount = 12;
constexpr size_t kMyDefSlotSize = 1568;
constexpr size_t kMyDefFileSize = kMyDefSlotCount * kMyDefSlotSize;  // 18816
// lnk.dat's WebInfoItem and tuijian_top.dat's TopTuijian share one layout.
constexpr size_t kSiteRecordSize = 2080;
constexpr size_t kTuijianBotItemSize = 8844;
constexpr size_t kTuijianBotLinks = 7;

constexpr int32_t kSlotEmpty = -1;   // MyDefSlot::state: the tile shows the add button
constexpr int32_t kSlotFilled = 0;   // MyDefSlot::state: the tile holds a site

struct MyDefSlot {
  std::u16string name;   // the site's title on the tile
  std::u16string url;    // opened on click
  std::u16string image;  // full path of the tile's picture
  int32_t position = -1;  // 0..11, row-major, 4 per row
  int32_t state = kSlotEmpty;
};
using MyDefSlots = std::array<MyDefSlot, kMyDefSlotCount>;

// One record of lnk.dat (a suggested site) or tuijian_top.dat (a recommended site).
struct SiteRecord {
  std::u16string name;
  std::u16string url;
  std::u16string image;  // full path of the local picture; empty when there is none
  std::u16string pic;    // the picture's path on the server, as received
};

struct NavLink {
  std::u16string name;
  std::u16string url;
};

// One record of tuijian_bot.dat: a category box of links.
struct TuijianCategory {
  std::u16string type;   // the category's title
  std::u16string image;  // full path of the local picture
  std::u16string pic;    // the picture's path on the server
  int32_t count = 0;     // links the server sent; may exceed 7
  std::vector<NavLink> links;  // the first min(count, 7)
};

// Always the twelve slots, 18816 bytes.
std::vector<uint8_t> EncodeMyDef(const MyDefSlots& slots);

// Whole slots in order; a slot the data does not hold whole stays empty at its own index
// (no data at all: empty slots at 0..11). Positions outside 0..11, or taken by an earlier
// slot, move to the lowest free place, so every tile can be drawn and reached.
MyDefSlots DecodeMyDef(const uint8_t* data, size_t size);

// The slot placed at `position`, or nullptr.
MyDefSlot* SlotAtPosition(MyDefSlots* slots, int position);
// A tile dragged from `from` to `to` (both 0..11): it takes `to` and the tiles between make
// way by one place towards `from`, keeping their order; FALSE (nothing changes) when the
// positions are out of range, equal, or no slot stands at `from`.
bool MoveSlotPosition(MyDefSlots* slots, int from, int to);

std::vector<uint8_t> EncodeSiteRecords(const std::vector<SiteRecord>& sites);
std::vector<uint8_t> EncodeTuijianCategories(const std::vector<TuijianCategory>& categories);

// Whole records until the data runs short; a trailing partial record is ignored.
std::vector<SiteRecord> DecodeSiteRecords(const uint8_t* data, size_t size);
// A negative count reads no links; links beyond min(count, 7) are not read.
std::vector<TuijianCategory> DecodeTuijianCategories(const uint8_t* data, size_t size);
