// The weather city list: the same records the desktop program carries as resource CITY,
// with the lookups the services need (by code for the weather, by free text for IP
// location) and the rules the desktop relies on.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vx::svc {

struct City {
  std::string title;
  std::string code;
  std::string spell;
  std::string province;
  bool IsDistrict() const { return code.size() == 10; }
};

class CityList {
 public:
  // Parses the UTF-8 JSON array; on failure returns nothing and says why in *error.
  static std::optional<CityList> Parse(std::string_view json, std::string* error);
  static std::optional<CityList> Load(const std::string& path, std::string* error);

  const std::vector<City>& entries() const { return entries_; }
  const City* ByCode(std::string_view code) const;
  // First record whose title equals `title` exactly.
  const City* FindTitle(std::string_view title) const;
  // The desktop's rule for an IP-location text: the first record whose province and title,
  // each without a final "省" or "市", both occur in the text.
  const City* MatchLocation(std::string_view text) const;
  // The city a record belongs to (itself for a city).
  const City* CityOf(const City& c) const;

 private:
  std::vector<City> entries_;
  std::unordered_map<std::string, size_t> byCode_;
};

// Removes one final "省" or "市" (UTF-8), as the desktop does before matching.
std::string ShortName(std::string_view name);

// The province names of the desktop's city chooser, plus 海南省 (see citylist.cpp).
const std::vector<std::string>& ChooserProvinces();

}  // namespace vx::svc
