#include "wallpaper/core/wall_catalogue.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

namespace wall {

int TypeForTab(int tab) {
  static const int kTypes[] = {37, 38, 47, 50, 49, 39, 42, 41, 43};
  return tab >= 1 && tab <= 9 ? kTypes[tab - 1] : -1;
}

std::string CountUrl(const std::string& base, int type) {
  return base + "get.php?name=wallpaper_nums&type=" + std::to_string(type);
}

std::string ListUrl(const std::string& base, int type, int list) {
  return base + "get.php?name=wallpaper&type=" + std::to_string(type) + "&list=" +
         std::to_string(list);
}

int ListsNeeded(long long extent) {
  long long chunks = extent <= kStripPerFive ? 1 : (extent + kStripPerFive - 1) / kStripPerFive;
  // A strip wider than any screen row the program can ask for is a bug upstream: cap it.
  chunks = std::min<long long>(chunks, 100000);
  const long long pictures = (chunks * 5 + kPicturesPerList - 1) / kPicturesPerList * kPicturesPerList;
  return static_cast<int>(pictures / kPicturesPerList);
}

ListRange MissingLists(int requested, long long extent) {
  const int needed = ListsNeeded(extent);
  if (requested >= needed) return {};
  return {requested + 1, needed};
}

std::optional<long long> ParseTotal(const std::string& body) {
  const auto json = nlohmann::json::parse(body, nullptr, false);
  if (json.is_discarded() || !json.is_object()) return std::nullopt;
  const auto it = json.find("pages");
  if (it == json.end()) return std::nullopt;
  long long pages = -1;
  if (it->is_string()) {
    const std::string& s = it->get_ref<const std::string&>();
    if (s.empty() || s.size() > 9 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return std::nullopt;
    pages = std::stoll(s);
  } else if (it->is_number_integer()) {
    pages = it->get<long long>();
    if (pages < 0 || pages > 999999999) return std::nullopt;
  } else {
    return std::nullopt;
  }
  return pages * kPicturesPerList;
}

namespace {

std::string Member(const nlohmann::json& entry, const char* name) {
  if (!entry.is_object()) return std::string();
  const auto it = entry.find(name);
  return it != entry.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool ReservedDeviceName(const std::string& leaf) {
  std::string stem = leaf.substr(0, leaf.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* n : kNames)
    if (stem == n) return true;
  if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0))
    return stem[3] >= '0' && stem[3] <= '9';
  // COM¹ and friends: the superscript digits in UTF-8 (C2 B9, C2 B2, C2 B3).
  if (stem.size() == 5 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0))
    return static_cast<unsigned char>(stem[3]) == 0xC2;
  return false;
}

}  // namespace

ListReply ParseList(const std::string& body, std::vector<ListEntry>* out) {
  const auto json = nlohmann::json::parse(body, nullptr, false);
  if (json.is_discarded() || !json.is_object()) return ListReply::kBad;
  const auto it = json.find("lists");
  if (it == json.end() || !it->is_array()) return ListReply::kBad;
  if (it->size() != kPicturesPerList) return ListReply::kIgnored;
  out->clear();
  for (const auto& entry : *it) out->push_back({Member(entry, "smallpic"), Member(entry, "bigpic")});
  return ListReply::kEight;
}

std::string SafeLeafName(const std::string& serverPath) {
  const size_t slash = serverPath.rfind('/');
  if (slash == std::string::npos) return std::string();
  // The whole path goes to the server after the base: nothing in it may climb or change
  // the meaning of a local path either.
  if (serverPath.compare(0, 1, "/") == 0 || serverPath.size() > 1024) return std::string();
  size_t start = 0;
  while (start <= serverPath.size()) {
    const size_t end = std::min(serverPath.find('/', start), serverPath.size());
    const std::string part = serverPath.substr(start, end - start);
    if (part == "..") return std::string();
    start = end + 1;
  }
  for (unsigned char c : serverPath)
    if (c < 0x20 || c == 0x7F || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
        c == '<' || c == '>' || c == '|')
      return std::string();
  const std::string leaf = serverPath.substr(slash + 1);
  if (leaf.empty() || leaf.size() > 200 || leaf == "." || leaf.back() == '.' || leaf.back() == ' ' ||
      leaf.front() == ' ' || ReservedDeviceName(leaf))
    return std::string();
  return leaf;
}

}  // namespace wall
