#pragma once
// Shared by the Windows tests that run the program's windows in their own thread: the
// program's message loop in small steps, mouse input, screenshots and the prefix's Desktop. A header of its
// own, so that tests with helpers of these names of their own keep them.
#include <windows.h>

#include <functional>
#include <string>

// The Desktop folder of the prefix's user.
std::wstring DesktopDir();
bool Exists(const std::wstring& path);
// Dispatches every waiting message with the same pre-translation as the program's own loop.
void Pump();
// Runs the message loop until `done` holds or `ms` passed; whether `done` holds.
bool RunUntil(const std::function<bool()>& done, DWORD ms = 10000);
// Runs the message loop, timers included, for `ms`.
void RunFor(DWORD ms);

// Real mouse input at the screen point `at`: a move there, with the button `flags` given.
void Mouse(POINT at, DWORD flags = 0);
// The whole screen as the user sees it, as <build>\screenshots\<name>.png; whether it was saved.
bool SaveScreenshot(const std::wstring& name);
