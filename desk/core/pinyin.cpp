#include "desk/core/pinyin.h"

#include "desk/core/desk_text.h"

// Generated tables (pinyin_table.cpp); '-' marks a character without a reading.
extern const char kPinyinExtA[];
extern const char kPinyinUnified[];

namespace {

constexpr char16_t kExtAFirst = 0x3400, kExtALast = 0x4DBF;
constexpr char16_t kUnifiedFirst = 0x4E00, kUnifiedLast = 0x9FFF;

char16_t FromTable(const char* table, char16_t index, char16_t unit) {
  const char letter = table[index];
  return letter == '-' ? unit : static_cast<char16_t>(letter);
}

}  // namespace

char16_t PinyinInitial(char16_t unit) {
  if (unit >= u'a' && unit <= u'z') return static_cast<char16_t>(unit - u'a' + u'A');
  if (unit >= kUnifiedFirst && unit <= kUnifiedLast)
    return FromTable(kPinyinUnified, static_cast<char16_t>(unit - kUnifiedFirst), unit);
  if (unit >= kExtAFirst && unit <= kExtALast)
    return FromTable(kPinyinExtA, static_cast<char16_t>(unit - kExtAFirst), unit);
  return unit;
}

std::u16string PinyinKey(const std::u16string& name) {
  std::u16string key(name.size(), u'\0');
  for (size_t i = 0; i < name.size(); ++i) key[i] = DeskFoldCase(PinyinInitial(name[i]));
  return key;
}

int PinyinCompare(const std::u16string& a, const std::u16string& b) {
  const int c = PinyinKey(a).compare(PinyinKey(b));
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
