#pragma once
// config.ini, the per-user data folder and the log-on Run value.
#include <windows.h>

#include <string>

#include "base/VxFileIO.h"

// AppData\VuZiro\ (with the trailing backslash), or the folder named by the environment
// variable VX_DATA_DIR when it is set; empty when AppData cannot be found.
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
