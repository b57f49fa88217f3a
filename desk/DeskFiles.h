#pragma once
// The desk's files in the data folder: deskconf.dat (the view record) and gezhiconf.dat
// (the box table), read at start into TheApp() and written whole.
#include <cstdint>
#include <string>
#include <vector>

#include "desk/core/desk_records.h"

// One file of a desk save: its plain name in the data folder and its whole content.
struct DeskFileWrite {
  std::wstring name;
  std::vector<uint8_t> bytes;
};

// Replaces the named files of the data folder all together: a crash at any moment leaves
// either every old file or every new one (through the save journal of desk_journal.h).
// FALSE when the new set could not be written; the old files then stay as they were.
int CommitDeskFiles(const std::vector<DeskFileWrite>& files);
// Finishes a save that a crash cut short after its journal was written, or throws away
// the staged files of one cut short before. LoadConfig calls it first.
void RecoverDeskFiles();

// deskconf.dat and gezhiconf.dat as CommitDeskFiles takes them; a table record that does
// not fit is left out and makes the result FALSE.
int AddConfigFiles(std::vector<DeskFileWrite>* files);
std::vector<uint8_t> EncodeItemFile(const std::vector<DeskItemRecord>& items);

// Reads deskconf.dat into TheApp().desk.config and gezhiconf.dat into TheApp().desk.boxRecords;
// a missing or short file leaves what was there.
void LoadConfig();
// Writes both files together (making the data folder when it is missing). FALSE when they
// could not be written; the old content then stays.
int SaveConfig();

// An item file: records until the data runs short. Empty when the file cannot be read.
std::vector<DeskItemRecord> ReadItemFile(const std::wstring& path);
// Writes an item file whole (atomically). FALSE when it could not be written.
int WriteItemFile(const std::wstring& path, const std::vector<DeskItemRecord>& items);
