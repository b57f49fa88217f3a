#include "desk/core/desk_icons.h"

#include "desk/core/desk_text.h"

std::u16string DeskIconExtension(const std::u16string& parseName) {
  const size_t slash = parseName.find_last_of(u"\\/");
  const size_t dot = parseName.rfind(u'.');
  if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash)) return u"";
  return DeskFoldCase(parseName.substr(dot + 1));
}

bool DeskExtensionAlwaysPerFile(const std::u16string& foldedExt) {
  // Programs, icon and cursor files carry their own pictures; shortcuts show their target's;
  // installers, libraries and control-panel or console snap-ins are drawn from their contents.
  static const char16_t* const kPerFile[] = {u"exe", u"ico", u"lnk", u"url", u"cur", u"ani",
                                             u"scr", u"msi", u"dll", u"cpl", u"msc"};
  for (const char16_t* ext : kPerFile)
    if (foldedExt == ext) return true;
  return false;
}

bool DeskDefaultIconIsPerFile(const std::u16string& defaultIcon) {
  return defaultIcon.find(u"%1") != std::u16string::npos;
}

bool DeskIconSharedByExtension(const std::u16string& foldedExt, const DeskIconClassFacts& facts) {
  if (foldedExt.empty() || DeskExtensionAlwaysPerFile(foldedExt)) return false;
  return !facts.hasIconHandler && !DeskDefaultIconIsPerFile(facts.defaultIcon);
}

namespace {
// The position of the extension's dot in a file name; npos when the name has no stem or no
// extension, the cases the shell may treat on their own.
size_t ExtensionDot(const std::u16string& fileName) {
  const size_t dot = fileName.rfind(u'.');
  if (dot == std::u16string::npos || dot == 0 || dot + 1 == fileName.size()) return std::u16string::npos;
  return dot;
}
}  // namespace

DeskExtensionNaming DeskLearnNaming(const std::u16string& fileName, const std::u16string& displayName) {
  const size_t dot = ExtensionDot(fileName);
  if (dot == std::u16string::npos) return kNamingPerItem;
  if (displayName == fileName) return kNamingFullName;
  if (displayName == fileName.substr(0, dot)) return kNamingStem;
  return kNamingPerItem;
}

std::u16string DeskNameByNaming(const std::u16string& fileName, DeskExtensionNaming naming) {
  const size_t dot = ExtensionDot(fileName);
  if (dot == std::u16string::npos) return u"";
  if (naming == kNamingFullName) return fileName;
  if (naming == kNamingStem) return fileName.substr(0, dot);
  return u"";
}
