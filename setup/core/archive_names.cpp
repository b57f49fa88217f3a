#include "setup/core/archive_names.h"

#include <vector>

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

void AppendUtf16(char32_t cp, std::u16string* out) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out->push_back(static_cast<char16_t>(cp));
  }
}

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

// The part of a component before its first dot, with trailing spaces dropped: Windows maps
// "nul.txt" and "NUL  .log" to the device as well.
std::u16string DeviceStem(const std::u16string& component) {
  std::u16string stem = component.substr(0, component.find(u'.'));
  while (!stem.empty() && stem.back() == u' ') stem.pop_back();
  for (auto& c : stem) c = Upper(c);
  return stem;
}

bool IsDeviceName(const std::u16string& component) {
  const std::u16string stem = DeviceStem(component);
  static const char16_t* const kPlain[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$",
                                            u"CLOCK$"};
  for (const char16_t* d : kPlain)
    if (stem == d) return true;
  if (stem.size() == 4 && (stem.compare(0, 3, u"COM") == 0 || stem.compare(0, 3, u"LPT") == 0)) {
    const char16_t n = stem[3];
    // COM0 and the superscript digits are devices too on current Windows.
    return (n >= u'0' && n <= u'9') || n == u'\u00B9' || n == u'\u00B2' || n == u'\u00B3';
  }
  return false;
}

ArchiveNameFault CheckComponent(const std::u16string& c) {
  if (c.empty()) return ArchiveNameFault::kEmptyComponent;
  if (c == u"." || c == u"..") return ArchiveNameFault::kParent;
  if (c.back() == u'.' || c.back() == u' ') return ArchiveNameFault::kTrailingDotOrSpace;
  if (IsDeviceName(c)) return ArchiveNameFault::kDeviceName;
  return ArchiveNameFault::kNone;
}

}  // namespace

bool DecodeUtf8Name(const char* bytes, size_t size, std::u16string* out) {
  out->clear();
  const auto* s = reinterpret_cast<const unsigned char*>(bytes);
  size_t i = 0;
  while (i < size) {
    const unsigned char c = s[i];
    char32_t cp;
    size_t extra;
    if (c < 0x80) { cp = c; extra = 0; }
    else if (c >= 0xC2 && c <= 0xDF) { cp = c & 0x1F; extra = 1; }
    else if (c >= 0xE0 && c <= 0xEF) { cp = c & 0x0F; extra = 2; }
    else if (c >= 0xF0 && c <= 0xF4) { cp = c & 0x07; extra = 3; }
    else return false;
    if (size - i - 1 < extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if (!IsContinuation(s[i + k])) return false;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    AppendUtf16(cp, out);
    i += extra + 1;
  }
  return true;
}

ArchiveNameFault CheckArchiveName(const std::u16string& name, std::u16string* relative) {
  relative->clear();
  if (name.empty()) return ArchiveNameFault::kEmpty;
  if (name.size() > kArchiveNameMax) return ArchiveNameFault::kTooLong;
  std::u16string path = name;
  for (auto& c : path) {
    if (c == u'/') c = u'\\';
    if (c < 0x20 || c == u'<' || c == u'>' || c == u'"' || c == u'|' || c == u'?' || c == u'*')
      return ArchiveNameFault::kBadCharacter;
    if (c == u':') return ArchiveNameFault::kColon;
  }
  if (path[0] == u'\\') return ArchiveNameFault::kRooted;
  size_t start = 0;
  for (;;) {
    const size_t end = path.find(u'\\', start);
    const std::u16string part = path.substr(start, end == std::u16string::npos ? end : end - start);
    const ArchiveNameFault fault = CheckComponent(part);
    if (fault != ArchiveNameFault::kNone) return fault;
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  *relative = path;
  return ArchiveNameFault::kNone;
}

const char* ArchiveNameFaultText(ArchiveNameFault fault) {
  switch (fault) {
    case ArchiveNameFault::kNone: return "safe";
    case ArchiveNameFault::kEmpty: return "empty name";
    case ArchiveNameFault::kBadEncoding: return "name is not valid UTF-8";
    case ArchiveNameFault::kTooLong: return "name too long";
    case ArchiveNameFault::kRooted: return "absolute, UNC or device path";
    case ArchiveNameFault::kColon: return "drive letter or alternate stream";
    case ArchiveNameFault::kParent: return "parent or current folder component";
    case ArchiveNameFault::kEmptyComponent: return "empty path component";
    case ArchiveNameFault::kBadCharacter: return "character not allowed in file names";
    case ArchiveNameFault::kTrailingDotOrSpace: return "component ends with a dot or space";
    case ArchiveNameFault::kDeviceName: return "reserved device name";
  }
  return "unknown";
}
