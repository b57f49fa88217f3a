#pragma once
#include <windows.h>

// The module handle of Lumette.dll, stored when it is loaded.
HINSTANCE VxLibModule();
