#pragma once
// Whole-file reads and crash-safe whole-file writes, shared by every program of the system
// (the organizer, the wallpaper program and the installer).
#include <windows.h>

#include <string>

// Replaces `path` by `bytes` so that a crash at any moment leaves the old or the new
// content: written whole under a temporary name, flushed, then moved over the old file.
BOOL WriteFileAtomically(const std::wstring& path, const void* bytes, size_t size);
// Whole file contents; false when the file cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string* bytes);

// A point where a save may be cut short. When the environment holds VX_FAULT_KILL_AT=N,
// the N-th point the process passes ends it at once (exit code 99), as a crash or power
// cut would; the tests use it to stop a save after every one of its steps. Without the
// variable it does nothing.
void VxFaultPoint();
constexpr UINT kVxFaultExitCode = 99;
