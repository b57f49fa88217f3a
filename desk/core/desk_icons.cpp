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
