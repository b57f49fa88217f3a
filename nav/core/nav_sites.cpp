#include "nav/core/nav_sites.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "nav/core/nav_text.h"

using nlohmann::json;

namespace {

std::u16string Member(const json& object, const char* key) {
  if (!object.is_object()) return {};
  const auto it = object.find(key);
  if (it == object.end() || !it->is_string()) return {};
  return NavFieldText(NavUtf8ToUtf16(it->get_ref<const std::string&>()));
}

const json* ArrayMember(const json& doc, const char* key) {
  const auto it = doc.find(key);
  return it != doc.end() && it->is_array() ? &*it : nullptr;
}

std::vector<SiteRecord> Sites(const json& array) {
  std::vector<SiteRecord> sites;
  sites.reserve(array.size());
  for (const json& e : array)
    sites.push_back(SiteRecord{Member(e, "name"), Member(e, "url"), {}, Member(e, "pic")});
  return sites;
}

TuijianCategory Category(const json& e) {
  TuijianCategory c;
  c.type = Member(e, "type");
  c.pic = Member(e, "pic");
  const json* data = e.is_object() ? ArrayMember(e, "data") : nullptr;
  if (!data) return c;
  c.count = static_cast<int32_t>(std::min<size_t>(data->size(), INT32_MAX));
  for (size_t k = 0; k < data->size() && k < kTuijianBotLinks; ++k)
    c.links.push_back(NavLink{Member((*data)[k], "name"), Member((*data)[k], "url")});
  return c;
}

std::optional<json> ParseObject(std::string_view text) {
  json doc = json::parse(text.begin(), text.end(), nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return std::nullopt;
  return doc;
}

char16_t UpperAscii(char16_t u) { return u >= u'a' && u <= u'z' ? u - u'a' + u'A' : u; }

bool IsReservedDeviceName(std::u16string_view name) {
  // Windows maps these to devices whatever follows the first dot, and ignores spaces before it.
  std::u16string base(name.substr(0, name.find(u'.')));
  while (!base.empty() && base.back() == u' ') base.pop_back();
  std::transform(base.begin(), base.end(), base.begin(), UpperAscii);
  static const char16_t* const kFixed[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$",
                                           u"CONOUT$", u"CLOCK$"};
  for (const char16_t* device : kFixed)
    if (base == device) return true;
  if (base.size() == 4 && (base.compare(0, 3, u"COM") == 0 || base.compare(0, 3, u"LPT") == 0)) {
    const char16_t n = base[3];
    // Digits 0-9 and the superscripts ¹ ² ³, which newer Windows also takes as ports.
    return (n >= u'0' && n <= u'9') || n == u'\u00B9' || n == u'\u00B2' || n == u'\u00B3';
  }
  return false;
}

bool SameLinks(const TuijianCategory& a, const TuijianCategory& b) {
  const size_t n = a.count <= 0 ? 0 : std::min<size_t>(a.count, kTuijianBotLinks);
  const size_t na = std::min(n, a.links.size()), nb = std::min(n, b.links.size());
  if (na != nb) return false;
  for (size_t k = 0; k < na; ++k)
    if (a.links[k].name != b.links[k].name || a.links[k].url != b.links[k].url) return false;
  return true;
}

}  // namespace

std::optional<std::vector<SiteRecord>> ParseWebAddUtf8(std::string_view answer) {
  try {
    const std::optional<json> doc = ParseObject(answer);
    if (!doc) return std::nullopt;
    const json* list = ArrayMember(*doc, "webadd");
    if (!list) return std::nullopt;
    return Sites(*list);
  } catch (...) {  // out of memory: treated as no answer
    return std::nullopt;
  }
}

std::optional<std::vector<SiteRecord>> ParseWebAdd(std::u16string_view answer) {
  return ParseWebAddUtf8(NavUtf16ToUtf8(answer));
}

std::optional<TuijianAnswer> ParseTuijianUtf8(std::string_view answer) {
  try {
    const std::optional<json> doc = ParseObject(answer);
    if (!doc) return std::nullopt;
    TuijianAnswer result;
    if (const json* top = ArrayMember(*doc, "web_tj_top")) result.top = Sites(*top);
    if (const json* types = ArrayMember(*doc, "web_tj_type")) {
      std::vector<TuijianCategory> categories;
      categories.reserve(types->size());
      for (const json& e : *types) categories.push_back(Category(e));
      result.categories = std::move(categories);
    }
    if (!result.top && !result.categories) return std::nullopt;
    return result;
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<TuijianAnswer> ParseTuijian(std::u16string_view answer) {
  return ParseTuijianUtf8(NavUtf16ToUtf8(answer));
}

bool IsSafeLeafName(std::u16string_view name) {
  if (name.empty() || name.size() > 255) return false;
  if (name == u"." || name == u"..") return false;
  for (char16_t u : name) {
    if (u < 0x20 || u == 0x7F) return false;
    if (std::u16string_view(u"\\/:*?\"<>|").find(u) != std::u16string_view::npos) return false;
  }
  // Windows drops trailing dots and spaces, so "..." or "a. " would name something else.
  if (name.back() == u'.' || name.back() == u' ') return false;
  return !IsReservedDeviceName(name);
}

std::optional<std::u16string> PictureFileName(std::u16string_view pic) {
  const size_t slash = pic.rfind(u'/');
  if (slash == std::u16string_view::npos) return std::nullopt;
  const std::u16string_view leaf = pic.substr(slash + 1);
  if (!IsSafeLeafName(leaf)) return std::nullopt;
  return std::u16string(leaf);
}

std::vector<SiteRecord> UsableSuggestions(const std::vector<SiteRecord>& server) {
  std::vector<SiteRecord> kept;
  for (const SiteRecord& site : server)
    if (PictureFileName(site.pic)) kept.push_back(site);
  return kept;
}

bool SameSites(const std::vector<SiteRecord>& cached, const std::vector<SiteRecord>& fresh) {
  if (cached.size() != fresh.size()) return false;
  for (size_t i = 0; i < cached.size(); ++i) {
    if (cached[i].name != fresh[i].name || cached[i].url != fresh[i].url ||
        cached[i].pic != fresh[i].pic)
      return false;
  }
  return true;
}

bool SameCategories(const std::vector<TuijianCategory>& cached,
                    const std::vector<TuijianCategory>& fresh) {
  if (cached.size() != fresh.size()) return false;
  for (size_t i = 0; i < cached.size(); ++i) {
    const TuijianCategory& a = cached[i];
    const TuijianCategory& b = fresh[i];
    if (a.type != b.type || a.pic != b.pic || a.count != b.count || !SameLinks(a, b)) return false;
  }
  return true;
}

TuijianChanges WhatChanged(const std::vector<SiteRecord>& cachedTop,
                           const std::vector<TuijianCategory>& cachedCategories,
                           const TuijianAnswer& answer) {
  TuijianChanges changes;
  changes.top = answer.top && !SameSites(cachedTop, *answer.top);
  changes.categories = answer.categories && !SameCategories(cachedCategories, *answer.categories);
  return changes;
}

bool SuggestionsChanged(const std::vector<SiteRecord>& cached,
                        const std::vector<SiteRecord>& server) {
  return !SameSites(cached, UsableSuggestions(server));
}
