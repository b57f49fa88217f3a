#include "base/testing/test_support.h"

#include "uilib/VxRaii.h"

void RemoveDataFolder() {
  const std::wstring folder = DataFolderPath();
  if (folder.empty()) return;
  RemoveFolderContents(folder.substr(0, folder.size() - 1));  // a save's staging folder too
  ::RemoveDirectoryW(folder.c_str());
}

std::string FileBytes(const std::wstring& path) {
  std::string bytes;
  ReadWholeFile(path, &bytes);
  return bytes;
}

void PutFileBytes(const std::wstring& path, const std::string& bytes) {
  VxFileHandle f(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (f && !bytes.empty()) ::WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void PrepareDesktopShell() {
  for (const wchar_t* ns : {L"{450D8FBA-AD25-11D0-98A8-0800361B1103}",
                            L"{9D20AAE8-0625-44B0-9CA7-71889C2254D9}"}) {
    const std::wstring key =
        std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\") + ns;
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
  }
  HKEY raw = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER,
                    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel",
                    0, nullptr, 0, KEY_WRITE, nullptr, &raw, nullptr);
  VxRegKey key(raw);
  const DWORD hidden = 1;
  ::RegSetValueExW(key.Get(), L"{20D04FE0-3AEA-1069-A2D8-08002B30309D}", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&hidden), sizeof(hidden));
}

void ForEachInFolder(const std::wstring& dir,
                     const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit) {
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") visit(name, fd);
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
}

void RemoveFolderContents(const std::wstring& dir) {
  ForEachInFolder(dir, [&](const std::wstring& name, const WIN32_FIND_DATAW& fd) {
    const std::wstring full = dir + L"\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveFolderContents(full);
      ::RemoveDirectoryW(full.c_str());
    } else {
      ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(full.c_str());
    }
  });
}

bool Process::Start(const std::wstring& exe) {
  STARTUPINFOW si{sizeof(si)};
  std::wstring cmd = L"\"" + exe + L"\"";
  return ::CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi) != FALSE;
}

Process::~Process() {
  if (!pi.hProcess) return;
  ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(pi.hThread);
}

DWORD Process::Wait(DWORD ms) {
  if (::WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = 0;
  ::GetExitCodeProcess(pi.hProcess, &code);
  return code;
}
