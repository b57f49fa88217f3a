// Pinyin initials for the desk's name order: each Chinese character stands for the first
// letter of its reading, so "文件" sorts as "WJ", between "Video" and "Xbox".
#pragma once
#include <string>

// Upper-case initial of a CJK ideograph (U+3400..U+4DBF, U+4E00..U+9FFF), upper case of an
// ASCII letter, and the unit itself for everything else (including ideographs without a
// known reading).
char16_t PinyinInitial(char16_t unit);

// The name with every unit replaced by its initial and then case-folded: the key that the
// name order compares.
std::u16string PinyinKey(const std::u16string& name);

// <0, 0 or >0 as a sorts before, with or after b: initial keys compared unit by unit, the
// shorter first when one is a prefix of the other.
int PinyinCompare(const std::u16string& a, const std::u16string& b);
