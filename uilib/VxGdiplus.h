#pragma once
// GDI+'s C++ headers use the min and max macros that NOMINMAX removes; give them the
// standard ones instead.
#include <windows.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <objidl.h>
#include <gdiplus.h>
