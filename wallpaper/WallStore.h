#pragma once
// The wallpaper program's files: its per-user folder (thumbnail cache, downloaded pictures,
// history file), the start-up backup of the wallpaper, text conversions and the check that
// a picture really decodes before it becomes the wallpaper.
#include <windows.h>

#include <string>

#include "wallpaper/core/wall_history.h"

// Documents\VuZiro\ with a trailing backslash; VX_DATA_DIR replaces it when set (test runs
// give each program a folder of its own). Empty when the Documents folder is not found.
std::wstring WallUserFolder();
// <user folder>thumb\<type>\ and <user folder>Wallers\ (trailing backslash).
std::wstring WallThumbFolder(const std::wstring& userFolder, int type);
std::wstring WallPictureFolder(const std::wstring& userFolder);
BOOL WallMakeFolder(const std::wstring& folder);
bool WallFileExists(const std::wstring& path);
// Folder of the running program, without the trailing backslash; empty when the module
// path has no backslash.
std::wstring WallProgramFolder();
// The wallpaper server's base address, ending in "/".
std::wstring WallServerBase();

std::wstring WallWide(const std::string& utf8);
std::string WallUtf8(const std::wstring& text);

// TRUE when GDI+ decodes every pixel of the file (a truncated or foreign file does not).
BOOL WallPictureDecodes(const std::wstring& path);

// The history as the last run left it, and the wallpaper shown now added to it (its copy
// "first00000" + extension in Wallers when it is a file with an extension).
wall::WallHistory WallLoadHistory(const std::wstring& userFolder, const std::wstring& current);
BOOL WallSaveHistory(const std::wstring& userFolder, const wall::WallHistory& history);
// Pictures a closed or crashed run left half-downloaded in Wallers go.
void WallRemoveStalePictures(const std::wstring& userFolder);
