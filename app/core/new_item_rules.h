// Rules of the "新建" menu builder that need no registry: which classes are skipped, how a
// ShellNew command splits into program and arguments, display-name fix-ups.
#pragma once
#include <string>

// Classes that never get an item of their own (they have fixed items or no file).
bool NewItemClassSkipped(const std::u16string& cls);

// Splits a ShellNew "command" value: the program part runs up to and including the
// quotation mark that follows ".exe"; the arguments are the rest after one more character,
// with "%1" replaced by `desktop`. "%programFiles%" in the program is replaced by
// `programFiles`. False when the command has no ".exe" followed by a quotation mark.
bool SplitNewItemCommand(const std::u16string& command, const std::u16string& programFiles,
                         const std::u16string& desktop, std::u16string* program,
                         std::u16string* arguments);

// The display name shown for a file type ("Text Document" reads "文本文档").
std::u16string NewItemDisplayName(const std::u16string& typeName);
