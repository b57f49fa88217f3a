#pragma once
#include <windows.h>

// The module the toolkit's code is part of: Lumette.dll, or the program that links the
// static library.
HINSTANCE VxLibModule();
