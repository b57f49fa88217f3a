#include "desk/DeskFiles.h"

#include <windows.h>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

}  // namespace

void LoadConfig() {
  const std::wstring folder = DataFolderPath();
  if (folder.empty()) return;
  AppGlobals& g = TheApp();
  std::string bytes;
  if (ReadWholeFile(folder + L"deskconf.dat", &bytes))
    DecodeDeskConfig(Bytes(bytes), bytes.size(), &g.desk.config);
  if (ReadWholeFile(folder + L"gezhiconf.dat", &bytes))
    g.desk.boxRecords = DecodeGeziTable(Bytes(bytes), bytes.size());
}

int SaveConfig() {
  if (!EnsureDataFolder()) return FALSE;
  const std::wstring folder = DataFolderPath();
  const AppGlobals& g = TheApp();
  std::vector<uint8_t> config;
  int ok = EncodeDeskConfig(g.desk.config, &config) &&
           WriteFileAtomically(folder + L"deskconf.dat", config.data(), config.size());
  std::vector<uint8_t> table;
  for (const GeziSaveData& record : g.desk.boxRecords)
    if (!EncodeGeziSaveData(record, &table)) ok = FALSE;  // a record that does not fit is left out
  if (!WriteFileAtomically(folder + L"gezhiconf.dat", table.data(), table.size())) ok = FALSE;
  return ok;
}

std::vector<DeskItemRecord> ReadItemFile(const std::wstring& path) {
  std::string bytes;
  if (path.empty() || !ReadWholeFile(path, &bytes)) return {};
  return DecodeDeskItems(Bytes(bytes), bytes.size());
}

int WriteItemFile(const std::wstring& path, const std::vector<DeskItemRecord>& items) {
  std::vector<uint8_t> bytes;
  bytes.reserve(items.size() * kDeskItemRecordSize);
  for (const DeskItemRecord& item : items) EncodeDeskItemRecord(item, &bytes);
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}
