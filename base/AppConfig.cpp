#include "base/AppConfig.h"

#include <shlobj.h>

#include <vector>

#include "base/AppGlobals.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"
#include "app/core/app_text.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring ReadProfile(const std::wstring& ini, const wchar_t* section, const wchar_t* key,
                         const wchar_t* def, DWORD limit) {
  std::vector<wchar_t> buf(limit + 1, 0);
  ::GetPrivateProfileStringW(section, key, def, buf.data(), limit, ini.c_str());
  return std::wstring(buf.data());
}

int ReadProfileInt(const std::wstring& ini, const wchar_t* section, const wchar_t* key, int def) {
  const std::wstring text = ReadProfile(ini, section, key, std::to_wstring(def).c_str(), 100);
  return ConfigTextToInt(ToU16(text));
}

struct IniWrite {
  const wchar_t* section;
  const wchar_t* key;
  std::wstring value;
};

// The profile functions rewrite the file in place; they work on a copy here, which then
// replaces the file in one move. A new file starts as UTF-16 with a byte-order mark, so
// the profile functions keep Chinese text whatever the system code page.
BOOL WriteIniAtomically(const std::wstring& ini, const std::vector<IniWrite>& writes) {
  const std::wstring tmp = ini + L".tmp";
  ::DeleteFileW(tmp.c_str());
  if (::GetFileAttributesW(ini.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (!::CopyFileW(ini.c_str(), tmp.c_str(), FALSE)) return FALSE;
  } else {
    static const unsigned char kBom[] = {0xFF, 0xFE};
    VxFileHandle f(::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!f || !::WriteFile(f.Get(), kBom, sizeof(kBom), &written, nullptr)) return FALSE;
  }
  for (const IniWrite& w : writes) {
    if (!::WritePrivateProfileStringW(w.section, w.key, w.value.c_str(), tmp.c_str())) {
      ::DeleteFileW(tmp.c_str());
      return FALSE;
    }
  }
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, tmp.c_str());  // flush the cache
  {
    VxFileHandle f(::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f) ::FlushFileBuffers(f.Get());
  }
  if (!::MoveFileExW(tmp.c_str(), ini.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(tmp.c_str());
    return FALSE;
  }
  return TRUE;
}

std::wstring AppDataPath() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
    return std::wstring();
  return path;
}

// VX_DATA_DIR, when set, replaces AppData\VuZiro for this process and the programs it
// starts (they inherit the environment): test runs give each program its own folder.
std::wstring ChosenDataFolder() {
  wchar_t buf[MAX_PATH] = {};
  const DWORD n = ::GetEnvironmentVariableW(L"VX_DATA_DIR", buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::wstring();
  std::wstring folder(buf, n);
  for (wchar_t& c : folder)
    if (c == L'/') c = L'\\';
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

BOOL MakeFolderPath(const std::wstring& folder) {
  const int rc = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS;
}

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

}  // namespace

std::wstring DataFolderPath() {
  const std::wstring chosen = ChosenDataFolder();
  if (!chosen.empty()) return chosen;
  const std::wstring appData = AppDataPath();
  if (appData.empty()) return std::wstring();
  return appData + L"\\VuZiro\\";
}

BOOL EnsureDataFolder() {
  const std::wstring folder = DataFolderPath();
  if (folder.empty()) return FALSE;
  const DWORD attrs = ::GetFileAttributesW(folder.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) return TRUE;
  // A chosen folder may lie below folders that do not exist yet.
  const BOOL made = ChosenDataFolder().empty()
                        ? (::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS)
                        : MakeFolderPath(folder);
  if (!made) {
    AppMessageBox(nullptr, L"创建配置目录失败!");
    return FALSE;
  }
  return TRUE;
}

void LoadOrSaveConfig(BOOL load) {
  if (!EnsureDataFolder()) return;
  const std::wstring ini = DataFolderPath() + L"config.ini";
  AppGlobals& g = TheApp();
  if (load) {
    g.weather.province = ReadProfile(ini, L"SYS", L"province", L"", 400);
    g.weather.city = ReadProfile(ini, L"SYS", L"city", L"", 400);
    g.weather.city2 = ReadProfile(ini, L"SYS", L"city2", L"", 400);
    g.autoHide = ReadProfileInt(ini, L"SYS", L"autohide", 0);
    g.desk.autoOrganize = ReadProfileInt(ini, L"SET", L"autozhengli", 1);
    g.closePrompt = ReadProfileInt(ini, L"SET", L"closetishi", 1);
    g.autoStart = IsAutoStartSet(ProgramPath());
    g.desk.shortcutTarget = ReadProfile(ini, L"SET", L"kuaijie", L"", 400);
    g.desk.fileTarget = ReadProfile(ini, L"SET", L"zlfile", L"", 400);
    g.desk.folderTarget = ReadProfile(ini, L"SET", L"zldir", L"", 400);
    return;
  }
  for (std::wstring* text : {&g.weather.province, &g.weather.city, &g.weather.city2, &g.desk.shortcutTarget, &g.desk.fileTarget,
                             &g.desk.folderTarget})
    *text = ToW(CleanConfigValue(ToU16(*text)));
  WriteIniAtomically(ini, {
                              {L"SYS", L"province", g.weather.province},
                              {L"SYS", L"city", g.weather.city},
                              {L"SYS", L"city2", g.weather.city2},
                              {L"SYS", L"autohide", std::to_wstring(g.autoHide)},
                              {L"SET", L"autozhengli", std::to_wstring(g.desk.autoOrganize)},
                              {L"SET", L"closetishi", std::to_wstring(g.closePrompt)},
                              {L"SET", L"kuaijie", g.desk.shortcutTarget},
                              {L"SET", L"zlfile", g.desk.fileTarget},
                              {L"SET", L"zldir", g.desk.folderTarget},
                          });
}

BOOL IsAutoStartSet(const std::wstring& programPath) {
  const std::wstring expected = ToW(AutorunCommand(ToU16(programPath)));
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS)
    return FALSE;
  VxRegKey key(raw);
  DWORD type = 0, size = 0;
  const std::wstring name = TheApp().appName;
  if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      size == 0 || type != REG_SZ)
    return FALSE;
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, 0);
  if (::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
    return FALSE;
  // Paths on Windows ignore case: "c:\vexlo" and "C:\Vexlo" are the same program.
  return _wcsicmp(data.data(), expected.c_str()) == 0;
}

BOOL SetAutoStart(const std::wstring& programPath) {
  const std::wstring value = ToW(AutorunCommand(ToU16(programPath)));
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS &&
      ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &raw, nullptr) != ERROR_SUCCESS)
    return FALSE;
  VxRegKey key(raw);
  if (IsAutoStartSet(programPath)) {
    // Same program, but perhaps written with other letter case: keep the exact form.
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
    if (::RegQueryValueExW(key.Get(), TheApp().appName.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS &&
        value == data)
      return TRUE;
  }
  return ::RegSetValueExW(key.Get(), TheApp().appName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

void ClearAutoStart() {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, &raw) != ERROR_SUCCESS) return;
  VxRegKey key(raw);
  ::RegDeleteValueW(key.Get(), TheApp().appName.c_str());
}

std::wstring WeekdayName(int n) { return ToW(WeekdayNameText(n)); }

BOOL IsPreVistaWindows() {
  OSVERSIONINFOW vi{};
  vi.dwOSVersionInfoSize = sizeof(vi);
  // GetVersionEx answers with the version the program is manifested for, which is enough
  // to tell XP (5.x) from Vista and later.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExW(&vi)) return FALSE;
#pragma GCC diagnostic pop
  return vi.dwMajorVersion < 6;
}

void AppMessageBox(HWND owner, const std::wstring& text) {
  ::MessageBoxW(owner, text.c_str(), TheApp().appName.c_str(), MB_OK);
}
