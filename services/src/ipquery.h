// The IP-location stand-in: free text naming a province and a city, chosen by the client's
// address from a table, like a commercial IP-location service answers.
#pragma once
#include <map>
#include <optional>
#include <string>

#include "citylist.h"

namespace vx::svc {

class IpLocationTable {
 public:
  // Lines "address<TAB>text"; "default<TAB>text" is required; "#" starts a comment. Every
  // text must name a place of the city list the way the desktop matches it.
  static std::optional<IpLocationTable> Parse(const std::string& text, const CityList& cities,
                                              std::string* error);
  static std::optional<IpLocationTable> Load(const std::string& path, const CityList& cities,
                                             std::string* error);

  // The answer in UTF-8 and in GBK (what the desktop's HTTP client reads).
  const std::string& TextFor(const std::string& address) const;
  const std::string& GbkFor(const std::string& address) const;

 private:
  struct Entry {
    std::string utf8, gbk;
  };
  const Entry& EntryFor(const std::string& address) const;
  std::map<std::string, Entry> byAddress_;
  Entry fallback_;
};

}  // namespace vx::svc
