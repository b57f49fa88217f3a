// Box names and their item-file names. The input is UTF-16LE units; a NUL unit separates two
// names (a name typed into Windows never holds NUL, so it is free as a separator).
#include "desk/core/desk_boxes.h"
#include "desk/core/desk_text.h"
#include "desk/core/fuzz/fuzz_check.h"

namespace {

bool HasEscape(const std::u16string& name) {
  for (size_t i = 0; i + 5 <= name.size(); ++i) {
    if (name[i] != u'%') continue;
    size_t hex = 0;
    for (size_t k = i + 1; k < i + 5; ++k) {
      const char16_t u = name[k];
      if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f')) ++hex;
    }
    if (hex == 4) return true;
  }
  return false;
}

void CheckOne(const std::u16string& name) {
  const std::u16string file = DeskBoxFileName(name);
  FUZZ_CHECK(DeskIsSafeFileName(file));
  FUZZ_CHECK(DeskBoxNameFromFileName(file) == name);
  // Names that were always valid file names keep the files written before the mapping.
  if (DeskIsSafeFileName(name) && !HasEscape(name)) FUZZ_CHECK(file == name);
  std::u16string fromPath;
  FUZZ_CHECK(DeskBoxNameFromPath(u"C:\\data\\" + file, &fromPath));
  FUZZ_CHECK(fromPath == name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string units;
  for (size_t i = 0; i + 1 < size; i += 2)
    units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  const size_t cut = units.find(u'\0');
  const std::u16string a = units.substr(0, cut);
  std::u16string b;
  if (cut != std::u16string::npos) {
    b = units.substr(cut + 1);
    b = b.substr(0, b.find(u'\0'));
  }
  CheckOne(a);
  CheckOne(b);
  // Two boxes whose names differ beyond case never share an item file.
  if (!DeskTextEqual(a, b))
    FUZZ_CHECK(!DeskTextEqual(DeskBoxFileName(a), DeskBoxFileName(b)));
  const std::u16string fresh = DeskUniqueBoxName(a, {a, b});
  FUZZ_CHECK(!DeskTextEqual(fresh, a) && !DeskTextEqual(fresh, b));
  return 0;
}
