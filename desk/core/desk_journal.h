// The desk's save journal: the list of files a save has staged and where each one goes.
// A save writes every new file under a staging name first, then this journal (itself
// replaced in one move), then moves the staged files into place and deletes the journal.
// A start that finds a whole journal finishes those moves; one that finds none throws the
// staged files away. So any prefix of a save loads as the old set of files or the new one.
//
// Layout, little-endian: "VXSJ", uint32 version (1), uint32 count, then per file two
// strings (staged name, final name), each a uint32 count of UTF-16 units and the units;
// last a uint32 FNV-1a hash of every byte before it. Names are plain file names inside the
// data folder: no separators, no drive, no "." or "..".
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern const char16_t kDeskJournalFile[];  // "desksave.jnl"
extern const char16_t kDeskStagingFolder[];  // "desksave.new" (a folder in the data folder)

struct DeskJournalEntry {
  std::u16string staged;  // name inside the staging folder
  std::u16string final;   // name inside the data folder
};

// False, leaving `out` as it was, when a name is not a plain file name.
bool EncodeDeskJournal(const std::vector<DeskJournalEntry>& entries, std::vector<uint8_t>* out);

// False for anything but a whole, well-formed journal: a wrong mark or version, a short or
// long file, a hash that does not match, a name that is not plain, or a final name twice.
bool DecodeDeskJournal(const uint8_t* data, size_t size, std::vector<DeskJournalEntry>* entries);

// True for a name that stays inside the folder it is joined to.
bool DeskIsPlainFileName(const std::u16string& name);
