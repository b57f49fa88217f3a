#pragma once
// Shared by the dialog tests: the program folder, message pumping, modal driving, real
// input and screen captures.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "base/testing/screen_support.h"
#include "uilib/VxDialogBase.h"
#include "uilib/tests/test_support.h"  // the toolkit tests' PumpMessages

// Pumps for about `ms` milliseconds.
void PumpFor(int ms);

// Runs `dlg.DoModal()` while `step` is called from inside its loop (once the window shows)
// with the dialog's window. A dialog still open after `limitMs` is closed and the run
// reported through `*timedOut`.
INT_PTR RunModal(CVxDialog& dlg, const std::function<void(HWND)>& step, bool* timedOut,
                 int limitMs = 5000);

// Posts a press and release at a client point, as a mouse click queues them.
void PostClick(HWND hwnd, POINT client);
// A click through the system's input: the pointer moves to the screen point and clicks.
void InputClick(POINT screen);
// Posts a key press and release for a virtual key, as the keyboard queues them.
void PostKey(HWND hwnd, UINT vk);
// Posts typed characters.
void PostChars(HWND hwnd, const std::wstring& text);

// Saves a bitmap as PNG under <build>/screenshots/<name>; returns the path or empty.
std::wstring SaveScreenshot(Gdiplus::Bitmap& bmp, const std::wstring& name);
// Number of pixels of a bitmap row span whose colour is dark (each channel below `limit`).
int DarkPixels(Gdiplus::Bitmap& bmp, int x0, int x1, int y0, int y1, int limit = 110);
