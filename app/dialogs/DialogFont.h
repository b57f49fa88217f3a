#pragma once
// The font the program's drawn dialogs write their texts in.
#include <memory>

#include "uilib/VxGdiplus.h"

// The program's icon font; where there is none (tests, or a failed start-up step), a font
// made once from the system's icon metrics and kept in `fallback`. Null when neither exists.
Gdiplus::Font* DialogTextFont(std::unique_ptr<Gdiplus::Font>& fallback);
