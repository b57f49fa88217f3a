#pragma once
// Shared by the Windows tests of every program (the organizer's, the wallpaper program's and,
// built against the static toolkit, the installer's): the test program's folder, real mouse
// input and screenshots. Nothing of the organizer's state.
#include <windows.h>

#include <memory>
#include <string>

#include "uilib/VxGdiplus.h"

// The folder of the running test program, without a trailing backslash.
std::wstring ExeFolder();
// Real mouse input at the screen point `at`: a move there, with the button `flags` given.
void Mouse(POINT at, DWORD flags = 0);
// The screen's pixels of a rectangle (screen coordinates), as the user sees them.
std::unique_ptr<Gdiplus::Bitmap> CaptureScreen(const RECT& rc);
// <build>\screenshots\<file> (the tests run in <build>\bin); makes the folder.
std::wstring ScreenshotPath(const std::wstring& file);
// The whole screen as <build>\screenshots\<name>.png; whether it was saved.
bool SaveScreenshot(const std::wstring& name);
