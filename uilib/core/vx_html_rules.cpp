#include "uilib/core/vx_html_rules.h"

namespace {

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

bool VxAppCommand(const std::u16string& url, std::u16string* command) {
  static const char16_t kScheme[] = u"app:";
  const size_t n = sizeof(kScheme) / sizeof(kScheme[0]) - 1;
  if (url.size() < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (Lower(url[i]) != kScheme[i]) return false;
  if (command) *command = url.substr(n);
  return true;
}

size_t VxPostDataBytes(const char16_t* data, size_t givenLength) {
  if (!data) return 0;
  if (givenLength) return givenLength;
  size_t units = 0;
  while (data[units]) ++units;
  return units * sizeof(char16_t);
}

bool VxNavTracker::NavigateComplete(uintptr_t frame) {
  if (topFrame_ || !frame) return false;
  topFrame_ = frame;
  return true;
}

bool VxNavTracker::DocumentComplete(uintptr_t frame) {
  if (!topFrame_ || frame != topFrame_) return false;
  topFrame_ = 0;
  complete_ = true;
  return true;
}
