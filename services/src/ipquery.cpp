#include "ipquery.h"

#include <sstream>

#include "text.h"

namespace vx::svc {

std::optional<IpLocationTable> IpLocationTable::Parse(const std::string& text, const CityList& cities,
                                                      std::string* error) {
  IpLocationTable table;
  bool haveDefault = false;
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    const std::string where = "line " + std::to_string(number);
    if (tab == std::string::npos || tab == 0 || tab + 1 >= line.size()) {
      if (error) *error = where + ": expected address<TAB>text";
      return std::nullopt;
    }
    const std::string address = line.substr(0, tab);
    Entry e{line.substr(tab + 1), {}};
    if (!cities.MatchLocation(e.utf8)) {
      if (error) *error = where + ": \"" + e.utf8 + "\" names no city of the list";
      return std::nullopt;
    }
    auto gbk = Utf8ToGbk(e.utf8);
    if (!gbk) {
      if (error) *error = where + ": text cannot be written in GBK";
      return std::nullopt;
    }
    e.gbk = *gbk;
    if (address == "default") {
      table.fallback_ = std::move(e);
      haveDefault = true;
    } else {
      table.byAddress_[address] = std::move(e);
    }
  }
  if (!haveDefault) {
    if (error) *error = "no \"default\" line";
    return std::nullopt;
  }
  return table;
}

std::optional<IpLocationTable> IpLocationTable::Load(const std::string& path, const CityList& cities,
                                                     std::string* error) {
  auto text = ReadWholeFile(path);
  if (!text) {
    if (error) *error = "cannot read " + path;
    return std::nullopt;
  }
  auto t = Parse(*text, cities, error);
  if (!t && error) *error = path + ": " + *error;
  return t;
}

const IpLocationTable::Entry& IpLocationTable::EntryFor(const std::string& address) const {
  auto it = byAddress_.find(address);
  return it == byAddress_.end() ? fallback_ : it->second;
}

const std::string& IpLocationTable::TextFor(const std::string& address) const { return EntryFor(address).utf8; }
const std::string& IpLocationTable::GbkFor(const std::string& address) const { return EntryFor(address).gbk; }

}  // namespace vx::svc
