#pragma once
// Shared by the Windows tests that run the program's windows in their own thread: the
// program's message loop in small steps and the prefix's Desktop, with mouse input and
// screenshots from screen_support. A header of its own, so that tests with helpers of these
// names of their own keep them.
#include <windows.h>

#include <functional>
#include <string>

#include "base/testing/screen_support.h"

// The Desktop folder of the prefix's user.
std::wstring DesktopDir();
bool Exists(const std::wstring& path);
// Dispatches every waiting message with the same pre-translation as the program's own loop.
void Pump();
// Runs the message loop until `done` holds or `ms` passed; whether `done` holds.
bool RunUntil(const std::function<bool()>& done, DWORD ms = 10000);
// Runs the message loop, timers included, for `ms`.
void RunFor(DWORD ms);
