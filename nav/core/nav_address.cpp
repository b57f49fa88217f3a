#include "nav/core/nav_address.h"

#include <algorithm>

namespace {

char16_t LowerAscii(char16_t u) { return u >= u'A' && u <= u'Z' ? u - u'A' + u'a' : u; }

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (LowerAscii(text[i]) != prefix[i]) return false;
  return true;
}

bool IsListedDomain(std::u16string_view tail) {
  static const char16_t* const kDomains[] = {
      u"com", u"cn", u"net", u"org", u"so", u"biz", u"name", u"info",
      u"cc", u"tv", u"中国", u"mobi", u"me", u"asia", u"co", u"tel"};
  for (const char16_t* domain : kDomains)
    if (tail.size() == std::char_traits<char16_t>::length(domain) && StartsWithNoCase(tail, domain))
      return true;
  return false;
}

bool IsSpace(char16_t u) { return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == 0x3000; }

std::u16string Decimal(uint32_t v) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v != 0);
  return digits;
}

std::u16string SignedDecimal(int v) {
  return v < 0 ? u"-" + Decimal(0u - static_cast<uint32_t>(v)) : Decimal(static_cast<uint32_t>(v));
}

}  // namespace

std::u16string NormalizeSiteAddress(std::u16string_view typed) {
  while (!typed.empty() && IsSpace(typed.front())) typed.remove_prefix(1);
  while (!typed.empty() && IsSpace(typed.back())) typed.remove_suffix(1);
  std::u16string address(typed);
  // A host such as "httpbin.org" starts with "http" too; only a scheme counts.
  if (!StartsWithNoCase(address, u"http://") && !StartsWithNoCase(address, u"https://"))
    address.insert(0, u"http://");
  const size_t dot = address.rfind(u'.');
  if (dot != std::u16string::npos && IsListedDomain(std::u16string_view(address).substr(dot + 1)))
    address.push_back(u'/');
  return address;
}

bool IsCaptureTarget(std::u16string_view completed, std::u16string_view target) {
  if (completed.substr(0, target.size()) == target) return true;  // also the same text
  // The target with one "/" more at the end is covered above; one "/" fewer is this.
  return !target.empty() && target.back() == u'/' &&
         completed == target.substr(0, target.size() - 1);
}

std::u16string ThumbnailFolderName(int year, int month, int day) {
  return SignedDecimal(year) + SignedDecimal(month) + SignedDecimal(day);
}

std::u16string ThumbnailFileName(uint32_t tickCount) { return Decimal(tickCount) + u".jpg"; }

int CaptureSourceHeight(int viewWidth, int viewHeight) {
  if (viewWidth <= 0 || viewHeight <= 0) return 0;
  const int64_t keepRatio =
      static_cast<int64_t>(viewWidth) * kThumbnailHeight / kThumbnailWidth;
  return static_cast<int>(std::min<int64_t>(viewHeight, std::max<int64_t>(keepRatio, 1)));
}
