// The maker's server lists (suggested sites, recommended sites), as the content build wrote
// them, checked once at start so that every answer has the shape the desktop reads.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

namespace vx::svc {

struct SiteAnswers {
  std::string webadd;   // {"webadd":[{"name","url","pic"}...]}
  std::string tuijian;  // {"web_tj_top":[...],"web_tj_type":[{"type","pic","data":[...]}...]}
};

// Reads <root>/webadd.json and <root>/tuijian.json. Every "pic" must contain a "/" and name a
// file inside the content folder.
std::optional<SiteAnswers> LoadSiteAnswers(const std::filesystem::path& root, std::string* error);

}  // namespace vx::svc
