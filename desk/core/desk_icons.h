// Which desktop items may share one system-icon lookup per extension, and which must ask the
// shell about the file itself. Asking about every file costs a shell round trip each, and a
// cluttered desktop is mostly documents whose icon comes from their type alone.
#pragma once
#include <string>

// What the classes registry says about one extension (its own key and the class it names).
struct DeskIconClassFacts {
  // The DefaultIcon value of the extension's key or of its class; empty when there is none.
  std::u16string defaultIcon;
  // The extension's key or its class has shellex\IconHandler: a handler picks the icon per file.
  bool hasIconHandler = false;
};

// The extension of a parsing name, case-folded and without the dot; empty when the last
// path part has no dot or nothing follows it.
std::u16string DeskIconExtension(const std::u16string& parseName);

// Types whose icon lives in, or is chosen by, the file itself whatever the registry says.
bool DeskExtensionAlwaysPerFile(const std::u16string& foldedExt);

// A DefaultIcon that names the file itself ("%1", quoted or with an index).
bool DeskDefaultIconIsPerFile(const std::u16string& defaultIcon);

// True when every file of this extension shows the same system icon, so one lookup of a
// stand-in name serves them all. An empty extension is never shared.
bool DeskIconSharedByExtension(const std::u16string& foldedExt, const DeskIconClassFacts& facts);

// Display names go by extension too: the shell shows a file's name with or without its
// extension by a rule of the extension's type (and the user's hide-extensions choice), so one
// question per extension tells it for every plain file of that type.
enum DeskExtensionNaming {
  kNamingUnknown,   // not learned yet
  kNamingFullName,  // the display name is the file name
  kNamingStem,      // the display name is the file name without ".ext"
  kNamingPerItem,   // the shell named it otherwise: ask about each file
};

// What one file's display name tells about its extension.
DeskExtensionNaming DeskLearnNaming(const std::u16string& fileName, const std::u16string& displayName);

// The display name a file gets by its extension's naming; empty when the shell must be asked
// (naming not known or per item, or a name that is all extension).
std::u16string DeskNameByNaming(const std::u16string& fileName, DeskExtensionNaming naming);
