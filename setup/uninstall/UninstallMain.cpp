// Uninstall.exe: removes what the install record names, and nothing else. It cannot delete
// its own file while it runs, so after the one question it hands the work to a copy of
// itself in the temporary folder, which waits for this process to end.
#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup/SetupNames.h"
#include "setup/core/install_plan.h"
#include "uilib/VxRaii.h"

namespace {

std::u16string U16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring ModulePath() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

std::wstring ReadKey(const std::wstring& ini, const wchar_t* section, const std::wstring& key) {
  wchar_t buf[1024] = L"";
  ::GetPrivateProfileStringW(section, key.c_str(), L"", buf, 1024, ini.c_str());
  return buf;
}

// f0, f1, ... of a section: as many as `nums` says, and on past it while entries go on, so a
// count that was never written (an install cut short) or got damaged loses nothing.
std::vector<std::u16string> ReadList(const std::wstring& ini, const wchar_t* section) {
  std::vector<std::u16string> list;
  const int nums = ::GetPrivateProfileIntW(section, L"nums", 0, ini.c_str());
  for (int i = 0; i < 100000; ++i) {
    const std::wstring v = ReadKey(ini, section, L"f" + std::to_wstring(i));
    if (v.empty() && i >= nums) break;
    if (!v.empty()) list.push_back(U16(v));
  }
  return list;
}

InstallRecord ReadRecord(const std::wstring& ini) {
  InstallRecord r;
  r.files = ReadList(ini, L"files");
  r.dirs = ReadList(ini, L"dirs");
  const std::wstring desk = ReadKey(ini, L"desk", L"lin");
  if (!desk.empty()) r.shortcuts.push_back(U16(desk));
  for (const auto& s : ReadList(ini, L"startmenu")) r.shortcuts.push_back(s);
  for (const auto& s : ReadList(ini, L"quickbar")) r.shortcuts.push_back(s);
  return r;
}

// The organizer and the wallpaper program hold files of the folder open.
void EndProgramsIn(const std::wstring& folder) {
  VxFileHandle snap(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return;
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  for (BOOL more = ::Process32FirstW(snap.Get(), &pe); more; more = ::Process32NextW(snap.Get(), &pe)) {
    if (pe.th32ProcessID == ::GetCurrentProcessId()) continue;
    VxKernelHandle p(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                   FALSE, pe.th32ProcessID));
    if (!p) continue;
    wchar_t image[MAX_PATH];
    DWORD size = MAX_PATH;
    if (!::QueryFullProcessImageNameW(p.Get(), 0, image, &size)) continue;
    if (!IsInsideFolder(U16(image), U16(folder))) continue;
    ::TerminateProcess(p.Get(), 0);
    ::WaitForSingleObject(p.Get(), 5000);
  }
}

// The log-on entry goes only when it starts a program of this folder.
void RemoveRunValue(const std::wstring& folder) {
  HKEY h = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ | KEY_WRITE, &h) != ERROR_SUCCESS) return;
  VxRegKey key(h);
  wchar_t value[1024] = L"";
  DWORD size = sizeof(value) - sizeof(wchar_t), type = 0;
  if (::RegQueryValueExW(h, kProductTitle, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
    return;
  std::wstring command(value);
  if (!command.empty() && command[0] == L'"') command.erase(0, 1);
  if (::CompareStringOrdinal(command.c_str(), static_cast<int>(std::min(command.size(), folder.size())),
                             folder.c_str(), static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL)
    ::RegDeleteValueW(h, kProductTitle);
}

void RemoveUninstallKey(const std::wstring& folder) {
  HKEY h = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &h) != ERROR_SUCCESS) return;
  wchar_t where[1024] = L"";
  DWORD size = sizeof(where) - sizeof(wchar_t), type = 0;
  ::RegQueryValueExW(h, L"InstallLocation", nullptr, &type, reinterpret_cast<BYTE*>(where), &size);
  ::RegCloseKey(h);
  if (where[0] && ::lstrcmpiW(where, folder.c_str()) != 0) return;  // another copy's entry
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
}

void Remove(const std::wstring& path) {
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  // A file still in use goes at the next start instead.
  if (!::DeleteFileW(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
    ::MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void Uninstall(const std::wstring& folder) {
  const std::wstring ini = folder + kRecordName;
  EndProgramsIn(folder);
  RemoveRunValue(folder);
  const UninstallPlan plan = PlanUninstall(U16(folder), ReadRecord(ini), U16(kProductTitle));
  for (const auto& s : plan.shortcuts) {
    Remove(W(s));
    // The start-menu folder the installer made for its two shortcuts.
    const std::wstring parent = W(s).substr(0, W(s).find_last_of(L'\\'));
    if (parent.size() > 12 && parent.substr(parent.find_last_of(L'\\') + 1) == kProductTitle)
      ::RemoveDirectoryW(parent.c_str());
  }
  for (const auto& f : plan.files) Remove(W(f));
  Remove(ini);
  for (const auto& d : plan.dirs) ::RemoveDirectoryW(W(d).c_str());
  RemoveUninstallKey(folder);
}

bool HasArg(int argc, wchar_t** argv, const wchar_t* arg) {
  for (int i = 1; i < argc; ++i)
    if (::lstrcmpiW(argv[i], arg) == 0) return true;
  return false;
}

const wchar_t* ArgAfter(int argc, wchar_t** argv, const wchar_t* arg) {
  for (int i = 1; i + 1 < argc; ++i)
    if (::lstrcmpW(argv[i], arg) == 0) return argv[i + 1];
  return nullptr;
}

// The temporary copy: waits for the original to end, then works on its folder.
int RunAsHelper(const std::wstring& folder, DWORD parent) {
  VxKernelHandle p(::OpenProcess(SYNCHRONIZE, FALSE, parent));
  if (p) ::WaitForSingleObject(p.Get(), 10000);
  if (::GetFileAttributesW((folder + kRecordName).c_str()) != INVALID_FILE_ATTRIBUTES) Uninstall(folder);
  ::MoveFileExW(ModulePath().c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return 0;
}

int StartHelper(const std::wstring& folder) {
  wchar_t temp[MAX_PATH];
  if (!::GetTempPathW(MAX_PATH, temp)) return 1;
  const std::wstring copy = std::wstring(temp) + L"vx_uninstall_" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
  if (!::CopyFileW(ModulePath().c_str(), copy.c_str(), FALSE)) {
    Uninstall(folder);  // no temp copy: remove all but this file
    return 0;
  }
  std::wstring cmd = L"\"" + copy + L"\" --run \"" + folder + L"\\\" --parent " +
                     std::to_wstring(::GetCurrentProcessId());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(copy.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, temp, &si, &pi)) {
    ::DeleteFileW(copy.c_str());
    Uninstall(folder);
    return 0;
  }
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (!argv) return 1;
  const wchar_t* run = ArgAfter(argc, argv, L"--run");
  const wchar_t* parent = ArgAfter(argc, argv, L"--parent");
  if (run && parent) {
    std::wstring folder = run;
    // The quoted folder ends in a backslash that the command line turned into an escape.
    while (!folder.empty() && (folder.back() == L'"' || folder.back() == L'\\')) folder.pop_back();
    const int rc = RunAsHelper(folder + L"\\", static_cast<DWORD>(_wtoi(parent)));
    ::LocalFree(argv);
    return rc;
  }
  const bool silent = HasArg(argc, argv, L"/S");
  ::LocalFree(argv);
  const std::wstring folder = FolderOf(ModulePath());
  if (::GetFileAttributesW((folder + kRecordName).c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (!silent) ::MessageBoxW(nullptr, L"没有找到安装记录, Vexlo桌面可能已经卸载。", kProductTitle, MB_OK);
    return 0;
  }
  if (!silent && ::MessageBoxW(nullptr, L"确定要卸载Vexlo桌面吗?", kProductTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
    return 0;
  return StartHelper(folder);
}
