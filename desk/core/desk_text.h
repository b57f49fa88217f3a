// The one text comparison of the desk: names of boxes, parsing names and extensions all
// compare through DeskFoldCase, without regard to case, as the Windows file system does.
#pragma once
#include <string>

// Lower case of ASCII, Latin-1, Greek, basic Cyrillic and full-width Latin capitals; every
// other unit is returned unchanged.
char16_t DeskFoldCase(char16_t unit);

std::u16string DeskFoldCase(const std::u16string& text);

bool DeskTextEqual(const std::u16string& a, const std::u16string& b);

// Folded units compared one by one, the shorter first when one is a prefix of the other.
int DeskTextCompare(const std::u16string& a, const std::u16string& b);
