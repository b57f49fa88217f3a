#pragma once
// Shared by the organizer's Windows tests: a clean data folder and small file helpers.
#include <windows.h>

#include <functional>
#include <string>

#include "base/AppConfig.h"
#include "base/testing/screen_support.h"

// Removes every file of AppData\VuZiro (and the folder), so a test starts as a first run.
void RemoveDataFolder();
std::string FileBytes(const std::wstring& path);
void PutFileBytes(const std::wstring& path, const std::string& bytes);
// A desktop like a fresh Windows one: Computer hidden by the hide-icons key, the recycle bin,
// and the files of the Desktop folder. Wine's extra Documents and Unix-root items go.
void PrepareDesktopShell();
// Calls `visit` with the name and find data of each entry of `dir` (not "." and "..").
void ForEachInFolder(const std::wstring& dir,
                     const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit);
// Deletes everything inside `dir` (read-only files too) and keeps `dir` itself.
void RemoveFolderContents(const std::wstring& dir);

// A program started by a test; a copy still running when the test ends is terminated.
struct Process {
  PROCESS_INFORMATION pi{};
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();
  bool Start(const std::wstring& exe);
  // The exit code, or STILL_ACTIVE when it did not end within `ms`.
  DWORD Wait(DWORD ms);
};
