#include "desk/DeskFiles.h"

#include <windows.h>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "desk/core/desk_journal.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

std::wstring StagingFolder(const std::wstring& dataFolder) {
  return dataFolder + ToW(kDeskStagingFolder) + L"\\";
}

std::wstring JournalPath(const std::wstring& dataFolder) {
  return dataFolder + ToW(kDeskJournalFile);
}

void ClearStaging(const std::wstring& dataFolder) {
  const std::wstring staging = StagingFolder(dataFolder);
  WIN32_FIND_DATAW fd;
  VxFindHandle find(::FindFirstFileW((staging + L"*").c_str(), &fd));
  if (find) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((staging + fd.cFileName).c_str());
    } while (::FindNextFileW(find.Get(), &fd));
  }
  find.Reset();
  ::RemoveDirectoryW(staging.c_str());
}

// Moves every staged file of the journal into place. A staged file that is gone was moved
// before the save was cut short. The journal goes only once every move is done, so a move
// that fails is tried again at the next start.
BOOL FinishJournal(const std::wstring& dataFolder, const std::vector<DeskJournalEntry>& entries) {
  const std::wstring staging = StagingFolder(dataFolder);
  BOOL ok = TRUE;
  for (const DeskJournalEntry& e : entries) {
    VxFaultPoint();
    const std::wstring from = staging + ToW(e.staged);
    if (::GetFileAttributesW(from.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    if (!::MoveFileExW(from.c_str(), (dataFolder + ToW(e.final)).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      ok = FALSE;
  }
  if (!ok) return FALSE;
  VxFaultPoint();
  ::DeleteFileW(JournalPath(dataFolder).c_str());
  ClearStaging(dataFolder);
  return TRUE;
}

}  // namespace

void RecoverDeskFiles() {
  const std::wstring folder = DataFolderPath();
  if (folder.empty()) return;
  // Temporaries of a single-file write cut short (older versions wrote the block and the
  // table that way) are never the layout.
  for (const wchar_t* name : {L"deskconf.dat.tmp", L"gezhiconf.dat.tmp"}) ::DeleteFileW((folder + name).c_str());
  std::string bytes;
  std::vector<DeskJournalEntry> entries;
  if (ReadWholeFile(JournalPath(folder), &bytes)) {
    if (DecodeDeskJournal(Bytes(bytes), bytes.size(), &entries)) {
      FinishJournal(folder, entries);
      return;
    }
    // The journal is replaced in one move, so one that does not decode was damaged
    // afterwards: the files it names cannot be trusted, the old set stays.
    ::DeleteFileW(JournalPath(folder).c_str());
  }
  ClearStaging(folder);
}

int CommitDeskFiles(const std::vector<DeskFileWrite>& files) {
  if (!EnsureDataFolder()) return FALSE;
  const std::wstring folder = DataFolderPath();
  // A journal left by an earlier commit of this run (a move that failed) is superseded: this
  // commit stages every file again and replaces the journal. LoadConfig recovers at start.
  const std::wstring staging = StagingFolder(folder);
  ::CreateDirectoryW(staging.c_str(), nullptr);
  std::vector<DeskJournalEntry> entries;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::wstring staged = std::to_wstring(i);
    const DeskFileWrite& f = files[i];
    if (!WriteFileAtomically(staging + staged, f.bytes.data(), f.bytes.size())) {
      ClearStaging(folder);
      return FALSE;
    }
    entries.push_back(DeskJournalEntry{ToU16(staged), ToU16(f.name)});
  }
  std::vector<uint8_t> journal;
  if (!EncodeDeskJournal(entries, &journal) ||
      !WriteFileAtomically(JournalPath(folder), journal.data(), journal.size())) {
    ClearStaging(folder);
    return FALSE;
  }
  return FinishJournal(folder, entries);
}

std::vector<uint8_t> EncodeItemFile(const std::vector<DeskItemRecord>& items) {
  std::vector<uint8_t> bytes;
  bytes.reserve(items.size() * kDeskItemRecordSize);
  for (const DeskItemRecord& item : items) EncodeDeskItemRecord(item, &bytes);
  return bytes;
}

int AddConfigFiles(std::vector<DeskFileWrite>* files) {
  const AppGlobals& g = TheApp();
  DeskFileWrite table{L"gezhiconf.dat", {}};
  int ok = TRUE;
  for (const GeziSaveData& record : g.desk.boxRecords)
    if (!EncodeGeziSaveData(record, &table.bytes)) ok = FALSE;
  DeskFileWrite config{L"deskconf.dat", {}};
  if (!EncodeDeskConfig(g.desk.config, &config.bytes)) return FALSE;
  // The table goes before the block: the block's organizing flag must never land on disk
  // without the boxes it speaks of (both move together anyway; the order keeps even a
  // damaged journal's partial moves on the safe side).
  files->push_back(std::move(table));
  files->push_back(std::move(config));
  return ok;
}

void LoadConfig() {
  const std::wstring folder = DataFolderPath();
  if (folder.empty()) return;
  RecoverDeskFiles();
  AppGlobals& g = TheApp();
  std::string bytes;
  if (ReadWholeFile(folder + L"deskconf.dat", &bytes))
    DecodeDeskConfig(Bytes(bytes), bytes.size(), &g.desk.config);
  if (ReadWholeFile(folder + L"gezhiconf.dat", &bytes))
    g.desk.boxRecords = DecodeGeziTable(Bytes(bytes), bytes.size());
}

int SaveConfig() {
  std::vector<DeskFileWrite> files;
  const int encoded = AddConfigFiles(&files);
  if (files.empty()) return FALSE;
  return CommitDeskFiles(files) && encoded;
}

std::vector<DeskItemRecord> ReadItemFile(const std::wstring& path) {
  std::string bytes;
  if (path.empty() || !ReadWholeFile(path, &bytes)) return {};
  return DecodeDeskItems(Bytes(bytes), bytes.size());
}

int WriteItemFile(const std::wstring& path, const std::vector<DeskItemRecord>& items) {
  const std::vector<uint8_t> bytes = EncodeItemFile(items);
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}
