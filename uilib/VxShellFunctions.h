#pragma once
// The desktop wallpaper through the shell, and the keyboard hook that re-asserts a window
// when the user presses Windows+D.
#include <windows.h>

#include "uilib/VxExport.h"
#include "uilib/VxTypes.h"

class LUMETTE_API VxShellFunctions {
 public:
  // Sets and applies the wallpaper. TRUE when the shell's Active Desktop object could be
  // created (a file the shell refuses then leaves the wallpaper as it was); where that
  // object is missing, the system wallpaper setting's result. The second argument has no
  // effect.
  static int SetWallpaper(CString path, DWORD reserved = 0) noexcept;
  // The wallpaper last applied, or empty.
  static CString GetWallpaper() noexcept;
};

// on = TRUE: (re)installs a low-level keyboard hook for all threads that touches `wnd`
// (SetWindowPos) on each key-down and key-up of D while the left Windows key is down.
// The installing thread must pump messages. on = FALSE: removes it. TRUE on success.
extern "C" LUMETTE_API BOOL SetWinKeyMask(BOOL on, HWND wnd) noexcept;

// Removes a hook still installed when the library unloads.
void VxShellDetach() noexcept;
