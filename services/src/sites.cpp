#include "sites.h"

#include <nlohmann/json.hpp>

#include "paths.h"
#include "text.h"

namespace vx::svc {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

bool Strings(const json& obj, std::initializer_list<const char*> keys, std::string* error,
             const std::string& where) {
  if (!obj.is_object()) {
    *error = where + ": not an object";
    return false;
  }
  for (const char* k : keys) {
    auto it = obj.find(k);
    if (it == obj.end() || !it->is_string() || it->get<std::string>().empty()) {
      *error = where + ": \"" + k + "\" must be a non-empty string";
      return false;
    }
  }
  return true;
}

bool PicExists(const fs::path& root, const json& obj, std::string* error, const std::string& where) {
  const std::string pic = obj.at("pic").get<std::string>();
  // The desktop names its local copy after the part behind the last "/".
  if (pic.find('/') == std::string::npos || pic.back() == '/' || pic.front() == '/') {
    *error = where + ": pic \"" + pic + "\" must be a relative path with a folder";
    return false;
  }
  auto file = ResolveInside(root, pic);
  if (!file || !fs::is_regular_file(*file)) {
    *error = where + ": picture " + pic + " is missing";
    return false;
  }
  return true;
}

bool SiteList(const fs::path& root, const json& doc, const char* key, std::string* error) {
  auto it = doc.find(key);
  if (it == doc.end() || !it->is_array() || it->empty()) {
    *error = std::string("\"") + key + "\" must be a non-empty array";
    return false;
  }
  for (size_t i = 0; i < it->size(); ++i) {
    const std::string where = std::string(key) + "[" + std::to_string(i) + "]";
    if (!Strings((*it)[i], {"name", "url", "pic"}, error, where) || !PicExists(root, (*it)[i], error, where))
      return false;
  }
  return true;
}

std::optional<json> ReadJson(const fs::path& file, std::string* error) {
  auto text = ReadWholeFile(file.string());
  if (!text) {
    *error = "cannot read " + file.string();
    return std::nullopt;
  }
  json doc = json::parse(*text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) {
    *error = file.string() + " is not a JSON object";
    return std::nullopt;
  }
  return doc;
}

}  // namespace

std::optional<SiteAnswers> LoadSiteAnswers(const fs::path& root, std::string* error) {
  std::string local;
  std::string* err = error ? error : &local;
  auto webadd = ReadJson(root / "webadd.json", err);
  if (!webadd || !SiteList(root, *webadd, "webadd", err)) return std::nullopt;
  auto tuijian = ReadJson(root / "tuijian.json", err);
  if (!tuijian || !SiteList(root, *tuijian, "web_tj_top", err)) return std::nullopt;
  auto types = tuijian->find("web_tj_type");
  if (types == tuijian->end() || !types->is_array() || types->empty()) {
    *err = "\"web_tj_type\" must be a non-empty array";
    return std::nullopt;
  }
  for (size_t i = 0; i < types->size(); ++i) {
    const json& t = (*types)[i];
    const std::string where = "web_tj_type[" + std::to_string(i) + "]";
    if (!Strings(t, {"type", "pic"}, err, where) || !PicExists(root, t, err, where)) return std::nullopt;
    auto data = t.find("data");
    if (data == t.end() || !data->is_array() || data->empty()) {
      *err = where + ": \"data\" must be a non-empty array";
      return std::nullopt;
    }
    for (size_t k = 0; k < data->size(); ++k)
      if (!Strings((*data)[k], {"name", "url"}, err, where + ".data[" + std::to_string(k) + "]"))
        return std::nullopt;
  }
  return SiteAnswers{webadd->dump(), tuijian->dump()};
}

const std::vector<std::string>& HostilePictureNames() {
  static const std::vector<std::string> names = {
      "..\\..\\..\\vx-evil-1.png",
      "..",
      "C:vx-evil-2.png",
      "C:\\Users\\Public\\vx-evil-3.png",
      "\\\\127.0.0.1\\c$\\vx-evil-4.png",
      "\\\\?\\C:\\vx-evil-5.png",
      "vx-evil-6.png:stream",
      "CON",
      "nul.png",
      "COM1.jpg",
      "vx-evil-7.png.",
  };
  return names;
}

std::string WithHostilePictures(const std::string& answer) {
  json doc = json::parse(answer, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) return answer;
  for (const char* key : {"webadd", "web_tj_top", "web_tj_type"}) {
    auto list = doc.find(key);
    if (list == doc.end() || !list->is_array() || list->empty()) continue;
    json hostile = json::array();
    for (size_t i = 0; i < HostilePictureNames().size(); ++i) {
      json entry = list->front();
      entry[entry.contains("type") ? "type" : "name"] = "hostile " + std::to_string(i + 1);
      entry["pic"] = "pic/" + HostilePictureNames()[i];
      hostile.push_back(std::move(entry));
    }
    for (const json& real : *list) hostile.push_back(real);
    *list = std::move(hostile);
  }
  return doc.dump();
}

}  // namespace vx::svc
