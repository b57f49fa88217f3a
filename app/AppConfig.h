#pragma once
// config.ini, the per-user data folder and the log-on Run value.
#include <windows.h>

#include <string>

// AppData\VuZiro\ (with the trailing backslash); empty when AppData cannot be found.
std::wstring DataFolderPath();
// Makes the data folder when it is missing; shows "创建配置目录失败!" when that fails.
BOOL EnsureDataFolder();
// Reads (load = TRUE) or writes every config.ini key of the settings into TheApp().
void LoadOrSaveConfig(BOOL load);

BOOL IsAutoStartSet(const std::wstring& programPath);
BOOL SetAutoStart(const std::wstring& programPath);
void ClearAutoStart();

std::wstring WeekdayName(int n);
BOOL IsPreVistaWindows();

// The program's plain message box: one OK button, no icon, titled with the product name.
void AppMessageBox(HWND owner, const std::wstring& text);

// Replaces `path` by `bytes` so that a crash at any moment leaves the old or the new
// content: written whole under a temporary name, flushed, then moved over the old file.
BOOL WriteFileAtomically(const std::wstring& path, const void* bytes, size_t size);
// Whole file contents; false when the file cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string* bytes);
