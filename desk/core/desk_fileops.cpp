#include "desk/core/desk_fileops.h"

#include "desk/core/desk_boxes.h"

namespace {

constexpr int kMaxUniqueTries = 9999;
constexpr uint8_t kEffectMove = 2;

std::u16string Number(int n) {
  std::u16string s;
  for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
  return s;
}

size_t LastPartStart(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? 0 : slash + 1;
}

// Position of the extension's dot, npos without one.
size_t ExtensionDot(const std::u16string& path) {
  const size_t start = LastPartStart(path);
  const size_t dot = path.rfind(u'.');
  if (dot == std::u16string::npos || dot <= start) return std::u16string::npos;
  return dot;
}

// The name a device word takes in the message: the part before the first dot, without the
// spaces that may precede it.
std::u16string DeviceWord(const std::u16string& name) {
  size_t end = name.find(u'.');
  if (end == std::u16string::npos) end = name.size();
  while (end > 0 && name[end - 1] == u' ') --end;
  return name.substr(0, end);
}

std::u16string TrimSpaces(const std::u16string& text) {
  const size_t first = text.find_first_not_of(u" \t");
  if (first == std::u16string::npos) return {};
  return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

DeskRenameCheck Refuse(std::u16string message) {
  return {kRenameRefused, {}, std::move(message)};
}

}  // namespace

std::u16string DeskUniqueFileName(const std::u16string& base, const std::u16string& extension,
                                  const std::function<bool(const std::u16string&)>& taken) {
  std::u16string candidate = base + extension;
  if (!taken(candidate)) return candidate;
  for (int n = 1; n <= kMaxUniqueTries; ++n) {
    candidate = base + u'(' + Number(n) + u')' + extension;
    if (!taken(candidate)) return candidate;
  }
  return {};
}

std::u16string DeskNewFolderBase(const std::u16string& folder) {
  return folder + u"\\新建文件夹";
}

std::u16string DeskNewShortcutBase(const std::u16string& folder) {
  return folder + u"\\新快捷方式";
}

std::u16string DeskNewFileBase(const std::u16string& folder, const std::u16string& typeText) {
  return folder + u"\\新建 " + typeText;
}

std::u16string DeskPathExtension(const std::u16string& path) {
  const size_t dot = ExtensionDot(path);
  return dot == std::u16string::npos ? std::u16string() : path.substr(dot);
}

std::u16string DeskPathTitle(const std::u16string& path) {
  const size_t start = LastPartStart(path);
  const size_t dot = ExtensionDot(path);
  return path.substr(start, dot == std::u16string::npos ? std::u16string::npos : dot - start);
}

DeskShortcutPlan DeskPlanPastedShortcut(const std::u16string& folder,
                                        const std::u16string& source, bool resolvableLink) {
  DeskShortcutPlan plan;
  const std::u16string extension = DeskPathExtension(source);
  plan.base = folder + u'\\' + DeskPathTitle(source);
  if (resolvableLink && !extension.empty()) {
    plan.copyFile = true;
    plan.extension = extension;
    return plan;
  }
  if (!extension.empty()) plan.base += u" -副本";
  plan.extension = u".lnk";
  return plan;
}

DeskRenameCheck DeskCheckEntryRename(const std::u16string& typed, const std::u16string& before) {
  if (typed.empty() || typed == before) return {};
  if (typed.size() > kDeskMaxFileNameUnits)
    return Refuse(u"文件名太长，最多" + Number(kDeskMaxFileNameUnits) + u"个字符。");
  switch (DeskFileNameFaultOf(typed)) {
    case kNameOk: return {kRenameApply, typed, {}};
    case kNameControlUnit: return Refuse(u"文件名不能包含换行符或其他控制字符。");
    case kNameForbiddenUnit: return Refuse(u"文件名不能包含下列任何字符：\\ / : * ? \" < > |");
    case kNameTrailingDotOrSpace: return Refuse(u"文件名不能以句点或空格结尾。");
    case kNameDevice:
      return Refuse(u"“" + DeviceWord(typed) + u"”是系统保留的设备名，不能用作文件名。");
    case kNameEmpty: break;
  }
  return {};
}

DeskRenameCheck DeskCheckBoxRename(const std::u16string& typed, const std::u16string& before,
                                   size_t maxItemFileUnits) {
  const std::u16string name = TrimSpaces(typed);
  if (name.empty() || name == before) return {};
  if (DeskFileNameFaultOf(name) == kNameControlUnit)
    return Refuse(u"分类名称不能包含换行符或其他控制字符。");
  if (DeskBoxFileName(name).size() > maxItemFileUnits) return Refuse(u"分类名称太长。");
  return {kRenameApply, name, {}};
}

bool DeskPasteIsCopy(const uint8_t* effectBlock, size_t size) {
  if (!effectBlock || size < 4) return true;
  // The effect is a little-endian 32-bit value; the move bit lies in its first byte.
  return (effectBlock[0] & kEffectMove) == 0;
}

bool DeskPasteCommandEnabled(int commandId, const DeskClipboardState& clipboard) {
  if (clipboard.files.empty()) return false;
  if (commandId == kDeskCmdPaste) return true;
  if (commandId == kDeskCmdPasteShortcut) return clipboard.pasteIsCopy;
  return false;
}
