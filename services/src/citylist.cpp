#include "citylist.h"

#include <nlohmann/json.hpp>

#include "text.h"

namespace vx::svc {

std::optional<CityList> CityList::Parse(std::string_view json, std::string* error) {
  nlohmann::json doc = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
  if (doc.is_discarded() || !doc.is_array()) {
    if (error) *error = "city list is not a JSON array";
    return std::nullopt;
  }
  CityList list;
  list.entries_.reserve(doc.size());
  for (const auto& item : doc) {
    if (!item.is_object()) {
      if (error) *error = "city list entry is not an object";
      return std::nullopt;
    }
    City c;
    for (auto [key, field] : {std::pair{"title", &c.title}, {"code", &c.code}, {"spell", &c.spell},
                              {"province", &c.province}}) {
      auto it = item.find(key);
      if (it == item.end() || !it->is_string()) {
        if (error) *error = std::string("city list entry without string \"") + key + "\"";
        return std::nullopt;
      }
      *field = it->get<std::string>();
    }
    if (!list.byCode_.emplace(c.code, list.entries_.size()).second) {
      if (error) *error = "duplicate city code " + c.code;
      return std::nullopt;
    }
    list.entries_.push_back(std::move(c));
  }
  return list;
}

std::optional<CityList> CityList::Load(const std::string& path, std::string* error) {
  auto text = ReadWholeFile(path);
  if (!text) {
    if (error) *error = "cannot read city list " + path;
    return std::nullopt;
  }
  return Parse(*text, error);
}

const City* CityList::ByCode(std::string_view code) const {
  auto it = byCode_.find(std::string(code));
  return it == byCode_.end() ? nullptr : &entries_[it->second];
}

const City* CityList::FindTitle(std::string_view title) const {
  for (const auto& c : entries_)
    if (c.title == title) return &c;
  return nullptr;
}

std::string ShortName(std::string_view name) {
  for (std::string_view suffix : {"省", "市"})
    if (name.size() >= suffix.size() && name.substr(name.size() - suffix.size()) == suffix)
      return std::string(name.substr(0, name.size() - suffix.size()));
  return std::string(name);
}

const City* CityList::MatchLocation(std::string_view text) const {
  for (const auto& c : entries_) {
    const std::string province = ShortName(c.province);
    const std::string title = ShortName(c.title);
    if (text.find(province) != std::string_view::npos && text.find(title) != std::string_view::npos)
      return &c;
  }
  return nullptr;
}

const City* CityList::CityOf(const City& c) const {
  if (!c.IsDistrict()) return &c;
  return ByCode(std::string_view(c.code).substr(0, 8));
}

const std::vector<std::string>& ChooserProvinces() {
  // The chooser's own list names 33 regions although it is meant to hold 34: 海南省 is
  // missing there. The list keeps Hainan's cities under 海南省 so that they can be found
  // once the chooser lists it.
  static const std::vector<std::string> names = {
      "北京市", "上海市", "天津市", "重庆市", "吉林省", "黑龙江省", "辽宁省", "内蒙古自治区",
      "新疆维吾尔自治区", "宁夏回族自治区", "青海省", "甘肃省", "陕西省", "西藏自治区", "四川省",
      "贵州省", "云南省", "山西省", "河北省", "山东省", "河南省", "安徽省", "江苏省", "湖北省",
      "湖南省", "江西省", "浙江省", "福建省", "台湾省", "广西省", "广东省", "海南省",
      "香港特别行政区", "澳门"};
  return names;
}

}  // namespace vx::svc
