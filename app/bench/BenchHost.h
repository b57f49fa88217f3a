#pragma once
// What the organizer's window benchmarks share: a clean Desktop of generated files, and the
// host window at full screen on the desk page, made the way the organizer makes it.
#include <windows.h>

#include <string>
#include <vector>

class CBaseWnd;

// Milliseconds between two performance-counter readings at frequency `f`.
double Ms(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f);

// Makes the Desktop like a fresh Windows one, empties it and the data folder (a first run),
// then puts `files` files 文档<i>.<extension> on it, the extensions in turn. The Desktop folder.
std::wstring FillBenchDesktop(int files, const std::vector<const wchar_t*>& extensions);

// A visible full-screen popup titled `name` (class `name`Parent) to make the host window in.
HWND CreateBenchParent(const wchar_t* name);

// Points the program at the skin beside it with a default view record and view 0, makes the
// host window in `parent` and shows its desk page; false, said on the output, when the window
// could not be made.
bool OpenBenchHost(CBaseWnd& host, HWND parent);
