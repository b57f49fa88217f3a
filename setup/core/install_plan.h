#pragma once
// What the uninstaller may touch, worked out from the install record alone. The record is a
// plain INI file anyone can edit, so every path in it is checked: files and folders only
// inside the install folder, shortcuts only by the names the installer gives them.
#include <cstdint>
#include <string>
#include <vector>

struct InstallRecord {
  std::vector<std::u16string> files;      // [files] f0..
  std::vector<std::u16string> dirs;       // [dirs] f0..
  std::vector<std::u16string> shortcuts;  // [desk] lin, [startmenu] f0.., [quickbar] f0
};

struct UninstallPlan {
  std::vector<std::u16string> files;
  std::vector<std::u16string> shortcuts;
  // Folders to remove when empty, deepest first; the install folder itself comes last.
  std::vector<std::u16string> dirs;
  std::vector<std::u16string> refused;  // entries that failed the checks (left alone)
};

// `installDir` is the folder holding the record, with or without a trailing backslash.
// `productTitle` names the shortcuts ("<title>.lnk", "卸载<title>.lnk").
UninstallPlan PlanUninstall(const std::u16string& installDir, const InstallRecord& record,
                            const std::u16string& productTitle);

// True when `path` names something strictly inside `folder` (letter case ignored for ASCII,
// no "." or ".." components, no stream or device syntax after the folder).
bool IsInsideFolder(const std::u16string& path, const std::u16string& folder);

// "磁盘剩余空间: 12.34G" (1 GB or more), "... 512.00M" (less), "... 未知" (unknown, < 0).
std::u16string FreeSpaceText(int64_t bytes);
