#include "desk/core/desk_boxes.h"

#include <algorithm>

#include "desk/core/desk_text.h"

namespace {

constexpr char16_t kEscape = u'%';

bool IsForbiddenUnit(char16_t u) {
  if (u < 0x20) return true;
  switch (u) {
    case u'\\': case u'/': case u':': case u'*': case u'?':
    case u'"': case u'<': case u'>': case u'|':
      return true;
    default:
      return false;
  }
}

bool IsAsciiLetter(char16_t u, char16_t upper) { return u == upper || u == upper + 0x20; }

// Windows still opens the device when an extension follows or spaces precede the dot, and
// counts the superscript digits as port numbers.
bool IsDeviceName(const std::u16string& name) {
  size_t end = name.find(u'.');
  if (end == std::u16string::npos) end = name.size();
  while (end > 0 && name[end - 1] == u' ') --end;
  const std::u16string base = name.substr(0, end);
  auto is = [&base](const char16_t* word) {
    return base.size() == 3 && IsAsciiLetter(base[0], word[0]) &&
           IsAsciiLetter(base[1], word[1]) && IsAsciiLetter(base[2], word[2]);
  };
  if (is(u"CON") || is(u"PRN") || is(u"AUX") || is(u"NUL")) return true;
  if (base.size() != 4) return false;
  const std::u16string stem = base.substr(0, 3);
  const bool port = DeskTextEqual(stem, u"COM") || DeskTextEqual(stem, u"LPT");
  const char16_t d = base[3];
  return port && ((d >= u'0' && d <= u'9') || d == 0xB9 || d == 0xB2 || d == 0xB3);
}

int HexValue(char16_t u) {
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  return -1;
}

// Hex digits count in either case so that a name differing from an escape only in the
// case of its digits is escaped too; otherwise it could land on the same Windows file.
bool EscapeAt(const std::u16string& text, size_t at, char16_t* unit) {
  if (text[at] != kEscape || at + 5 > text.size()) return false;
  unsigned value = 0;
  for (size_t i = at + 1; i < at + 5; ++i) {
    const int h = HexValue(text[i]);
    if (h < 0) return false;
    value = value * 16 + static_cast<unsigned>(h);
  }
  *unit = static_cast<char16_t>(value);
  return true;
}

bool HasEscape(const std::u16string& text) {
  char16_t unit;
  for (size_t i = 0; i < text.size(); ++i)
    if (EscapeAt(text, i, &unit)) return true;
  return false;
}

// Saved offsets come from a file and may hold any value: sums wrap as 32-bit machine
// arithmetic does, so no corrupt table is undefined behaviour, and saving a box loaded from
// such a table gives back the offsets it was read from.
int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t WrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

void AppendEscape(std::u16string* out, char16_t unit) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  out->push_back(kEscape);
  for (int shift = 12; shift >= 0; shift -= 4) out->push_back(kHex[(unit >> shift) & 0xF]);
}

}  // namespace

DeskFileNameFault DeskFileNameFaultOf(const std::u16string& name) {
  if (name.empty()) return kNameEmpty;
  if (std::any_of(name.begin(), name.end(), [](char16_t u) { return u < 0x20; }))
    return kNameControlUnit;
  if (std::any_of(name.begin(), name.end(), IsForbiddenUnit)) return kNameForbiddenUnit;
  if (name.back() == u'.' || name.back() == u' ') return kNameTrailingDotOrSpace;
  return IsDeviceName(name) ? kNameDevice : kNameOk;
}

bool DeskIsSafeFileName(const std::u16string& name) {
  return DeskFileNameFaultOf(name) == kNameOk;
}

std::u16string DeskBoxFileName(const std::u16string& boxName) {
  if (DeskIsSafeFileName(boxName) && !HasEscape(boxName)) return boxName;
  // No name decodes to the empty one, so the empty name takes the escape of NUL, a unit no
  // name holds.
  std::u16string out;
  if (boxName.empty()) {
    AppendEscape(&out, 0);
    return out;
  }
  const bool device = IsDeviceName(boxName);
  for (size_t i = 0; i < boxName.size(); ++i) {
    const char16_t u = boxName[i];
    const bool last = i + 1 == boxName.size();
    if (u == kEscape || IsForbiddenUnit(u) || (device && i == 0) ||
        (last && (u == u'.' || u == u' ')))
      AppendEscape(&out, u);
    else
      out.push_back(u);
  }
  return out;
}

std::u16string DeskBoxNameFromFileName(const std::u16string& fileName) {
  std::u16string out;
  for (size_t i = 0; i < fileName.size();) {
    char16_t unit;
    if (EscapeAt(fileName, i, &unit)) {
      if (unit != 0) out.push_back(unit);
      i += 5;
    } else {
      out.push_back(fileName[i++]);
    }
  }
  return out;
}

bool DeskBoxNameFromPath(const std::u16string& itemFile, std::u16string* name) {
  if (itemFile.size() < 2 || itemFile.find(u'\\', 1) == std::u16string::npos) return false;
  // Only a name this mapping wrote is decoded: a file name that merely holds "%XXXX" (a box
  // called "促销%4E00" in a table written without the mapping) keeps its text.
  const std::u16string file = itemFile.substr(itemFile.rfind(u'\\') + 1);
  std::u16string decoded = DeskBoxNameFromFileName(file);
  *name = decoded != file && DeskBoxFileName(decoded) == file ? std::move(decoded) : file;
  return true;
}

std::vector<DeskBox> DeskBoxesFromTable(const std::vector<GeziSaveData>& table,
                                        const VxRc& page) {
  std::vector<DeskBox> boxes;
  for (const GeziSaveData& record : table) {
    DeskBox box;
    if (!DeskBoxNameFromPath(record.itemFile, &box.name)) continue;
    box.rect.left = WrapAdd(record.left, page.left);
    box.rect.top = WrapAdd(record.top, page.top);
    box.rect.right = WrapAdd(record.right, page.left);
    box.rect.bottom = WrapAdd(record.bottom, page.top);
    box.fixedPos = record.fixedPos;
    box.listType = record.iconView == 1 ? kDeskBoxIcons : kDeskBoxRows;
    box.itemFile = record.itemFile;
    boxes.push_back(std::move(box));
  }
  return boxes;
}

bool DeskBoxToRecord(const DeskBox& box, const VxRc& page, const std::u16string& dataFolder,
                     GeziSaveData* record) {
  GeziSaveData r;
  r.left = WrapSub(box.rect.left, page.left);
  r.top = WrapSub(box.rect.top, page.top);
  r.right = WrapSub(box.rect.right, page.left);
  r.bottom = WrapSub(box.rect.bottom, page.top);
  r.fixedPos = box.fixedPos;
  r.iconView = box.listType == kDeskBoxRows ? 0 : 1;
  r.itemFile = dataFolder + DeskBoxFileName(box.name);
  if (r.itemFile.size() >= kGeziPathUnits) return false;
  *record = std::move(r);
  return true;
}

bool DeskTableHasBoxName(const std::vector<GeziSaveData>& table, const std::u16string& name) {
  for (const GeziSaveData& record : table) {
    std::u16string saved;
    if (DeskBoxNameFromPath(record.itemFile, &saved) && DeskTextEqual(saved, name)) return true;
  }
  return false;
}

std::u16string DeskUniqueBoxName(const std::u16string& wanted,
                                 const std::vector<std::u16string>& taken) {
  auto isTaken = [&taken](const std::u16string& name) {
    return std::any_of(taken.begin(), taken.end(),
                       [&name](const std::u16string& t) { return DeskTextEqual(t, name); });
  };
  if (!isTaken(wanted)) return wanted;
  for (size_t n = 1;; ++n) {
    std::u16string candidate = wanted + u'(';
    for (char c : std::to_string(n)) candidate.push_back(static_cast<char16_t>(c));
    candidate += u')';
    if (!isTaken(candidate)) return candidate;
  }
}
