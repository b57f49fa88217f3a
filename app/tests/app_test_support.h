#pragma once
// Shared by the organizer's Windows tests: a clean data folder and small file helpers.
#include <windows.h>

#include <string>

#include "AppConfig.h"

// Removes every file of AppData\VuZiro (and the folder), so a test starts as a first run.
void RemoveDataFolder();
std::string FileBytes(const std::wstring& path);
void PutFileBytes(const std::wstring& path, const std::string& bytes);
std::wstring ExeFolder();
