// File operations on desk entries without any Windows header: names for new and pasted
// items, the rename check, and the clipboard state the paste commands follow.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// `base` + `extension` when it is free, else the first free "base(n)extension" for n = 1,
// 2, 3, ... `taken` decides: the caller asks its entries and the file system, since an
// item made a moment ago may not have reached the lists yet. Empty when 9999 are taken.
std::u16string DeskUniqueFileName(const std::u16string& base, const std::u16string& extension,
                                  const std::function<bool(const std::u16string&)>& taken);

// Bases of the "新建" items inside `folder` (no trailing backslash): "新建文件夹",
// "新快捷方式" (with ".lnk") and "新建 " + the type's display name.
std::u16string DeskNewFolderBase(const std::u16string& folder);
std::u16string DeskNewShortcutBase(const std::u16string& folder);
std::u16string DeskNewFileBase(const std::u16string& folder, const std::u16string& typeText);

// The extension of a path's last part with its dot (".txt"), empty when it has none. A
// leading dot (".profile") starts a name, not an extension.
std::u16string DeskPathExtension(const std::u16string& path);
// The last part of a path without its extension.
std::u16string DeskPathTitle(const std::u16string& path);

// What pasting `source` as a shortcut into `folder` (no trailing backslash) makes: a
// shortcut the shell can resolve is copied under its own name; anything else gets a new
// shortcut, "T.lnk" for a name without extension, else "T -副本.lnk". Pass base and
// extension to DeskUniqueFileName.
struct DeskShortcutPlan {
  bool copyFile = false;  // copy the shortcut file itself, failing if the name exists
  std::u16string base;
  std::u16string extension;
};
DeskShortcutPlan DeskPlanPastedShortcut(const std::u16string& folder,
                                        const std::u16string& source, bool resolvableLink);

// The rename editor's text checked before anything is renamed. An entry's name must be one
// file name; a box name is kept in files through an escaped item-file name, so only what
// cannot be written at all is refused there. A refused name leaves the item, its box and
// its old name as they were, and `message` says why.
enum DeskRenameOutcome {
  kRenameKeep,     // empty or unchanged: the old name stays, nothing to ask
  kRenameApply,    // ask for `name`
  kRenameRefused,  // show `message`, keep the old name
};
struct DeskRenameCheck {
  DeskRenameOutcome outcome = kRenameKeep;
  std::u16string name;
  std::u16string message;
};
constexpr size_t kDeskMaxFileNameUnits = 255;
DeskRenameCheck DeskCheckEntryRename(const std::u16string& typed, const std::u16string& before);
// `maxItemFileUnits`: how long the box's escaped item-file name may be so that the data
// folder path and it still fit the saved record.
DeskRenameCheck DeskCheckBoxRename(const std::u16string& typed, const std::u16string& before,
                                   size_t maxItemFileUnits);

// The clipboard as the paste commands see it.
constexpr int kDeskCmdPaste = 32829;          // "粘帖"
constexpr int kDeskCmdPasteShortcut = 32830;  // "粘帖快捷方式"
struct DeskClipboardState {
  std::vector<std::u16string> files;
  bool pasteIsCopy = true;  // false when the copy was a cut
};
// From the "Preferred DropEffect" block (null when the clipboard has none): a cut has the
// move bit; no block, or one too short to hold an effect, means copy.
bool DeskPasteIsCopy(const uint8_t* effectBlock, size_t size);
// "粘帖" with any file; "粘帖快捷方式" with any file of a copy. Other ids: false.
bool DeskPasteCommandEnabled(int commandId, const DeskClipboardState& clipboard);
