#include "setup/core/install_plan.h"

#include <algorithm>
#include <cstdio>

#include "setup/core/archive_names.h"

namespace {

char16_t Fold(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

std::u16string WithSlash(std::u16string folder) {
  for (auto& c : folder)
    if (c == u'/') c = u'\\';
  while (folder.size() > 3 && folder.back() == u'\\' && folder[folder.size() - 2] == u'\\')
    folder.pop_back();
  if (folder.empty() || folder.back() != u'\\') folder.push_back(u'\\');
  return folder;
}

bool StartsWithFolded(const std::u16string& s, const std::u16string& prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (Fold(s[i]) != Fold(prefix[i])) return false;
  return true;
}

std::u16string ParentOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u'\\');
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

std::u16string LeafOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

bool HasDotComponent(const std::u16string& path) {
  size_t start = 0;
  for (;;) {
    const size_t end = path.find_first_of(u"\\/", start);
    const std::u16string part = path.substr(start, end == std::u16string::npos ? end : end - start);
    if (part == u"." || part == u"..") return true;
    if (end == std::u16string::npos) return false;
    start = end + 1;
  }
}

void AddUnique(std::vector<std::u16string>* list, const std::u16string& s) {
  for (const auto& x : *list)
    if (x.size() == s.size() && StartsWithFolded(x, s)) return;
  list->push_back(s);
}

}  // namespace

bool IsInsideFolder(const std::u16string& path, const std::u16string& folder) {
  const std::u16string root = WithSlash(folder);
  if (root.size() < 4 || !StartsWithFolded(path, root)) return false;
  std::u16string rest = path.substr(root.size());
  while (!rest.empty() && (rest.back() == u'\\' || rest.back() == u'/')) rest.pop_back();
  std::u16string relative;
  return !rest.empty() && !HasDotComponent(rest) &&
         CheckArchiveName(rest, &relative) == ArchiveNameFault::kNone;
}

UninstallPlan PlanUninstall(const std::u16string& installDir, const InstallRecord& record,
                            const std::u16string& productTitle) {
  UninstallPlan plan;
  const std::u16string root = WithSlash(installDir);
  const std::u16string rootNoSlash = root.substr(0, root.size() - 1);
  std::vector<std::u16string> dirs;
  for (const auto& f : record.files) {
    if (!IsInsideFolder(f, root)) { plan.refused.push_back(f); continue; }
    AddUnique(&plan.files, f);
    // The folders the installer made for this file go too, once they are empty.
    for (std::u16string d = ParentOf(f); d.size() > rootNoSlash.size(); d = ParentOf(d))
      AddUnique(&dirs, d);
  }
  for (auto d : record.dirs) {
    while (!d.empty() && d.back() == u'\\') d.pop_back();
    if (IsInsideFolder(d, root)) AddUnique(&dirs, d); else plan.refused.push_back(d);
  }
  const std::u16string link = productTitle + u".lnk", unlink = u"卸载" + productTitle + u".lnk";
  for (const auto& s : record.shortcuts) {
    const std::u16string leaf = LeafOf(s);
    const bool named = leaf == link || leaf == unlink;
    if (!named || HasDotComponent(s) || s.size() < 4 || s[1] != u':' || s[2] != u'\\' ||
        s.find(u':', 2) != std::u16string::npos) {
      plan.refused.push_back(s);
      continue;
    }
    AddUnique(&plan.shortcuts, s);
  }
  // Deeper folders first, so a parent is only tried once its children are gone.
  std::stable_sort(dirs.begin(), dirs.end(), [](const std::u16string& a, const std::u16string& b) {
    return std::count(a.begin(), a.end(), u'\\') > std::count(b.begin(), b.end(), u'\\');
  });
  plan.dirs = dirs;
  plan.dirs.push_back(rootNoSlash);
  return plan;
}

std::u16string FreeSpaceText(int64_t bytes) {
  std::u16string text = u"磁盘剩余空间: ";
  if (bytes < 0) return text + u"未知";
  char buf[64];
  const double gb = 1024.0 * 1024.0 * 1024.0;
  if (bytes >= static_cast<int64_t>(gb))
    std::snprintf(buf, sizeof buf, "%.2fG", static_cast<double>(bytes) / gb);
  else
    std::snprintf(buf, sizeof buf, "%.2fM", static_cast<double>(bytes) / (1024.0 * 1024.0));
  for (const char* p = buf; *p; ++p) text.push_back(static_cast<char16_t>(*p));
  return text;
}
