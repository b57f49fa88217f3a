// Text rules of the application's settings, without any Windows header: how config.ini
// values are read and cleaned, the log-on command, weekday names.
#pragma once
#include <string>

// Decimal text to integer the way the settings file has always been read: leading
// white space and a sign are accepted, reading stops at the first non-digit, text that
// does not start with a number gives 0, and values beyond the int range saturate.
int ConfigTextToInt(const std::u16string& text);

// Spaces removed at both ends (only the space character, as the settings file expects).
std::u16string TrimSpaces(const std::u16string& text);

// A value made safe for one line of an INI file: CR, LF and other control characters
// would start a new line and let outside text (a city name from the network) write keys
// of its own; they are dropped. Spaces at both ends are trimmed too.
std::u16string CleanConfigValue(const std::u16string& text);

// The data of the log-on Run value: the program path followed by " -autorun".
std::u16string AutorunCommand(const std::u16string& programPath);

// 1 = Sunday ... 7 = Saturday; anything else gives an empty text.
std::u16string WeekdayNameText(int n);

// The folder part of a program path (without the trailing backslash); false when the
// path holds no backslash.
bool ProgramFolderOf(const std::u16string& programPath, std::u16string* folder);
