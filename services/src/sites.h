// The maker's server lists (suggested sites, recommended sites), as the content build wrote
// them, checked once at start so that every answer has the shape the desktop reads.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vx::svc {

struct SiteAnswers {
  std::string webadd;   // {"webadd":[{"name","url","pic"}...]}
  std::string tuijian;  // {"web_tj_top":[...],"web_tj_type":[{"type","pic","data":[...]}...]}
};

// Reads <root>/webadd.json and <root>/tuijian.json. Every "pic" must contain a "/" and name a
// file inside the content folder.
std::optional<SiteAnswers> LoadSiteAnswers(const std::filesystem::path& root, std::string* error);

// Picture names a hostile server might send, each of which would write outside the
// desktop's picture folder (or onto a device) if it were used as a file name: backslash
// and ".." traversal, drives, UNC and \\?\ prefixes, alternate streams, device names.
const std::vector<std::string>& HostilePictureNames();

// A served list (webadd or web_tuijian) made hostile for the desktop's tests: every list in
// it ("webadd", "web_tj_top", "web_tj_type") starts with one copy of its first entry per
// hostile name, whose pic is "pic/" + that name and whose name is "hostile N"; the real
// entries follow unchanged. Served at /test/hostile/get.php.
std::string WithHostilePictures(const std::string& answer);

}  // namespace vx::svc
