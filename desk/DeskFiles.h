#pragma once
// The desk's files in the data folder: deskconf.dat (the view record) and gezhiconf.dat
// (the box table), read at start into TheApp() and written whole.
#include <string>
#include <vector>

#include "desk/core/desk_records.h"

// Reads deskconf.dat into TheApp().desk.config and gezhiconf.dat into TheApp().desk.boxRecords;
// a missing or short file leaves what was there.
void LoadConfig();
// Writes both files (making the data folder when it is missing). FALSE when a file could
// not be written; the old content then stays.
int SaveConfig();

// An item file: records until the data runs short. Empty when the file cannot be read.
std::vector<DeskItemRecord> ReadItemFile(const std::wstring& path);
// Writes an item file whole (atomically). FALSE when it could not be written.
int WriteItemFile(const std::wstring& path, const std::vector<DeskItemRecord>& items);
