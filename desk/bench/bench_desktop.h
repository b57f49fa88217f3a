// The benchmarks' cluttered desktop: the prefix's Desktop folder filled with folders, files of
// several types and shortcuts (DeskBench, StartupBench).
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

#include "uilib/VxRaii.h"

inline std::wstring DesktopDir() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

inline bool MakeLink(IShellLinkW* link, const std::wstring& at, const wchar_t* target) {
  link->SetPath(target);
  VxComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))))
    return false;
  return SUCCEEDED(file->Save(at.c_str(), TRUE));
}

struct Made {
  int folders = 0, files = 0, links = 0;
};

// Roughly the share of a cluttered real desktop: a tenth folders, a sixth shortcuts, the rest
// documents, pictures, archives and programs; Chinese and Latin names mixed.
inline bool FillDesktop(int count, Made* made) {
  static const wchar_t* const kExts[] = {L".txt", L".docx", L".xlsx", L".pdf", L".jpg",
                                         L".png", L".zip",  L".mp3",  L".exe", L".ini"};
  static const wchar_t* const kStems[] = {L"报告", L"report", L"照片", L"notes", L"会议记录", L"data"};
  static const wchar_t* const kTargets[] = {L"C:\\windows\\notepad.exe", L"C:\\windows\\regedit.exe",
                                            L"C:\\windows\\system32\\cmd.exe", L"C:\\windows"};
  VxComPtr<IShellLinkW> link;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Put()))))
    return false;
  const std::wstring dir = DesktopDir() + L"\\";
  for (int i = 0; i < count; ++i) {
    wchar_t name[64];
    std::swprintf(name, 64, L"%ls %04d", kStems[i % 6], i);
    const std::wstring path = dir + name;
    if (i % 10 == 0) {
      if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
      ++made->folders;
    } else if (i % 6 == 1) {
      if (!MakeLink(link.Get(), path + L".lnk", kTargets[i % 4])) return false;
      ++made->links;
    } else {
      VxFileHandle f(::CreateFileW((path + kExts[i % 10]).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!f) return false;
      DWORD written = 0;
      ::WriteFile(f.Get(), name, static_cast<DWORD>(std::wcslen(name) * 2), &written, nullptr);
      ++made->files;
    }
  }
  return true;
}
