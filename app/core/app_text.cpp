#include "app/core/app_text.h"

#include <climits>

int ConfigTextToInt(const std::u16string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' ||
                             text[i] == u'\r' || text[i] == u'\v' || text[i] == u'\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::u16string TrimSpaces(const std::u16string& text) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == u' ') ++b;
  while (e > b && text[e - 1] == u' ') --e;
  return text.substr(b, e - b);
}

std::u16string CleanConfigValue(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text)
    if (c >= 0x20 && c != 0x7F) out.push_back(c);
  return TrimSpaces(out);
}

std::u16string AutorunCommand(const std::u16string& programPath) {
  return programPath + u" -autorun";
}

std::u16string WeekdayNameText(int n) {
  static const char16_t* const kNames[] = {u"星期日", u"星期一", u"星期二", u"星期三",
                                            u"星期四", u"星期五", u"星期六"};
  if (n < 1 || n > 7) return u"";
  return kNames[n - 1];
}

bool ProgramFolderOf(const std::u16string& programPath, std::u16string* folder) {
  const size_t slash = programPath.rfind(u'\\');
  if (slash == std::u16string::npos) return false;
  *folder = programPath.substr(0, slash);
  return true;
}
