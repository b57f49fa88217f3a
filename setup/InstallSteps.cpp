#include "setup/InstallSteps.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "setup/Extract.h"
#include "uilib/VxRaii.h"

namespace {

const wchar_t kVersion[] = L"1.0.0.0";

std::wstring Format(const wchar_t* fmt, ...) {
  wchar_t buf[2048];
  va_list args;
  va_start(args, fmt);
  std::vswprintf(buf, 2048, fmt, args);
  va_end(args);
  return buf;
}

std::wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH];
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return L"";
  return path;
}

std::wstring InstallerFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L'\\') + 1);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The uninstall record, written key by key as the install goes. The file starts with a
// UTF-16 mark so that the profile functions keep Chinese paths on any code page.
class Record {
 public:
  explicit Record(std::wstring path) : path_(std::move(path)) {}
  bool Start() {
    ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path_.c_str());
    static const BYTE kBom[] = {0xFF, 0xFE};
    VxFileHandle f(::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    return f && ::WriteFile(f.Get(), kBom, 2, &done, nullptr) && done == 2;
  }
  void Put(const wchar_t* section, const std::wstring& key, const std::wstring& value) {
    ::WritePrivateProfileStringW(section, key.c_str(), value.c_str(), path_.c_str());
  }
  void Put(const wchar_t* section, const std::wstring& key, int value) {
    Put(section, key, std::to_wstring(value));
  }

 private:
  std::wstring path_;
};

struct ExtractState {
  Record* record;
  InstallObserver* observer;
  int count;
  int done = 0;
  int shownPercent = -1;
};

void OnFileExtracted(const ExtractFileInfo& file, void* user) {
  auto* s = static_cast<ExtractState*>(user);
  s->record->Put(L"files", L"f" + std::to_wstring(s->done), file.fullPath);
  ++s->done;
  const int percent = s->count ? s->done * 100 / s->count : 100;
  if (percent != s->shownPercent && s->observer) s->observer->OnProgress(percent);
  s->shownPercent = percent;
}

bool SetRunValue(const std::wstring& command) {
  VxRegKey key;
  HKEY h = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &h, nullptr) != ERROR_SUCCESS)
    return false;
  key.Reset(h);
  wchar_t current[1024] = L"";
  DWORD size = sizeof(current) - sizeof(wchar_t), type = 0;
  if (::RegQueryValueExW(h, kProductTitle, nullptr, &type, reinterpret_cast<BYTE*>(current), &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ && ::lstrcmpiW(current, command.c_str()) == 0)
    return true;
  return ::RegSetValueExW(h, kProductTitle, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// So the system's program list shows the product and can remove it.
void RegisterUninstaller(const std::wstring& folder) {
  HKEY h = nullptr;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &h,
                        nullptr) != ERROR_SUCCESS)
    return;
  VxRegKey key(h);
  auto put = [h](const wchar_t* name, const std::wstring& v) {
    ::RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                     static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
  };
  auto putDword = [h](const wchar_t* name, DWORD v) {
    ::RegSetValueExW(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  };
  const std::wstring uninstaller = L"\"" + folder + L"Uninstall.exe\"";
  put(L"DisplayName", kProductTitle);
  put(L"DisplayVersion", kVersion);
  put(L"Publisher", L"Vexlo");
  put(L"DisplayIcon", folder + L"Tessary.exe");
  put(L"InstallLocation", folder);
  put(L"UninstallString", uninstaller);
  put(L"QuietUninstallString", uninstaller + L" /S");
  putDword(L"NoModify", 1);
  putDword(L"NoRepair", 1);
}

InstallResult Failed(const std::wstring& message) {
  InstallResult r;
  r.message = message;
  return r;
}

// Whether `path` (an open folder) really lies below `root`, links and junctions resolved.
bool ResolvesInside(const std::wstring& path, const std::wstring& rootResolved) {
  VxFileHandle h(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h) return false;
  wchar_t buf[1024];
  const DWORD n = ::GetFinalPathNameByHandleW(h.Get(), buf, 1024, FILE_NAME_NORMALIZED);
  if (n == 0 || n >= 1024) return false;
  const std::wstring resolved(buf, n);
  return resolved.size() > rootResolved.size() &&
         ::CompareStringOrdinal(resolved.c_str(), static_cast<int>(rootResolved.size()), rootResolved.c_str(),
                                static_cast<int>(rootResolved.size()), TRUE) == CSTR_EQUAL &&
         resolved[rootResolved.size()] == L'\\';
}

std::wstring ResolvedPath(const std::wstring& path) {
  VxFileHandle h(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  wchar_t buf[1024];
  const DWORD n = h ? ::GetFinalPathNameByHandleW(h.Get(), buf, 1024, FILE_NAME_NORMALIZED) : 0;
  return n && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

void DeleteChildren(const std::wstring& folder, const std::wstring& rootResolved, int depth) {
  if (depth > 64) return;
  WIN32_FIND_DATAW fd;
  VxFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &fd));
  if (!find) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    const bool dir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool link = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (dir && !link && ResolvesInside(path, rootResolved)) {
      DeleteChildren(path, rootResolved, depth + 1);
      ::RemoveDirectoryW(path.c_str());
    } else if (dir) {
      // A link, a junction or anything that leads elsewhere: remove the entry, never its target.
      ::RemoveDirectoryW(path.c_str());
    } else {
      ::DeleteFileW(path.c_str());
    }
  } while (::FindNextFileW(find.Get(), &fd));
}

}  // namespace

std::wstring DefaultInstallFolder() {
  std::wstring pf = SpecialFolder(CSIDL_PROGRAM_FILES);
  if (pf.empty()) pf = L"C:\\Program Files";
  return Format(L"%ls\\%ls\\", pf.c_str(), L"vexlo");
}

std::wstring InstallFolderFromBrowsed(const std::wstring& picked) {
  std::wstring folder = picked;
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  const std::wstring tail = L"\\vexlo";
  const bool endsInVexlo =
      folder.size() >= tail.size() &&
      ::CompareStringOrdinal(folder.c_str() + folder.size() - tail.size(), static_cast<int>(tail.size()),
                             tail.c_str(), static_cast<int>(tail.size()), TRUE) == CSTR_EQUAL;
  if (!endsInVexlo) folder += tail;
  return folder + L"\\";
}

std::wstring UserDataFolder() {
  wchar_t over[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableW(L"VX_DATA_DIR", over, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return over;
  const std::wstring appData = SpecialFolder(CSIDL_APPDATA);
  return appData.empty() ? L"" : appData + L"\\VuZiro";
}

long long FreeDiskBytes(const std::wstring& folder) {
  std::wstring probe = folder;
  while (!probe.empty()) {
    ULARGE_INTEGER free{};
    if (::GetDiskFreeSpaceExW(probe.c_str(), &free, nullptr, nullptr))
      return static_cast<long long>(free.QuadPart);
    while (!probe.empty() && probe.back() == L'\\') probe.pop_back();
    const size_t slash = probe.find_last_of(L'\\');
    if (slash == std::wstring::npos) break;
    probe.resize(slash + 1);
  }
  return -1;
}

void DeleteTreeNoFollow(const std::wstring& folder) {
  const DWORD attrs = ::GetFileAttributesW(folder.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return;
  if (!(attrs & FILE_ATTRIBUTE_DIRECTORY) || (attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
    // The data folder itself is a link: drop the link, keep what it points to.
    ::RemoveDirectoryW(folder.c_str()) || ::DeleteFileW(folder.c_str());
    return;
  }
  const std::wstring root = ResolvedPath(folder);
  if (root.empty()) return;
  DeleteChildren(folder, root, 0);
  ::RemoveDirectoryW(folder.c_str());
}

bool CreateShortcut(const std::wstring& link, const std::wstring& target) {
  ::SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(link.c_str());
  VxComInit com;
  VxComPtr<IShellLinkW> shellLink;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shellLink.Put()))))
    return false;
  shellLink->SetPath(target.c_str());
  const size_t slash = target.find_last_of(L'\\');
  if (slash != std::wstring::npos) shellLink->SetWorkingDirectory(target.substr(0, slash).c_str());
  if (Exists(target)) shellLink->SetIconLocation(target.c_str(), 0);
  VxComPtr<IPersistFile> file;
  if (FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))))
    return false;
  return SUCCEEDED(file->Save(link.c_str(), TRUE));
}

InstallResult RunInstallSteps(const InstallOptions& options, InstallObserver* observer) {
  const std::wstring& folder = options.folder;
  // 1. The install folder, with all its parents.
  if (!Exists(folder)) {
    const int rc = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS) return Failed(L"创建安装目录失败!");
  }
  // 2. A new install starts with fresh settings.
  const std::wstring data = UserDataFolder();
  if (!data.empty()) DeleteTreeNoFollow(data);
  // 3. A fresh record.
  Record record(Format(L"%ls%ls", folder.c_str(), kRecordName));
  if (!record.Start()) return Failed(L"写入卸载记录失败!");
  // 4. The payload.
  CExtractResource engine;
  if (!engine.CreateFDIContext()) return Failed(L"释放文件初始化失败!\n");
  CabinetInfo info;
  if (!engine.IsCabinet(&info))
    return Failed(Format(L"获取安装文件数量失败!\n%ls", engine.GetErrorText().c_str()));
  // 5.
  record.Put(L"setup", L"name", InstallerFolder());
  record.Put(L"setup", L"ver", kVersion);
  record.Put(L"files", L"nums", info.fileCount);
  // 6.
  ExtractState state{&record, observer, info.fileCount};
  if (!engine.ExtractResource(folder, OnFileExtracted, &state)) {
    std::wstring message = Format(L"更新解压文件失败!\n%ls", engine.GetErrorText().c_str());
    if (!engine.GetFailedFile().empty())
      message += Format(L"\n文件: %ls", engine.GetFailedFile().c_str());
    // What was written is in the record; a count lets the uninstaller find the end of it.
    record.Put(L"uninstallnums", L"nums", state.done);
    if (Exists(folder + L"Uninstall.exe")) RegisterUninstaller(folder);
    return Failed(message);
  }
  // 7.
  int counter = info.fileCount;
  record.Put(L"dirs", L"nums", 1);
  record.Put(L"dirs", L"f0", Format(L"%lsrs", folder.c_str()));
  ++counter;
  const std::wstring program = folder + L"Tessary.exe";
  // 8.
  if (options.desktopShortcut) {
    const std::wstring link = Format(L"%ls\\%ls.lnk", SpecialFolder(CSIDL_DESKTOPDIRECTORY).c_str(), kProductTitle);
    CreateShortcut(link, program);
    record.Put(L"desk", L"lin", link);
    ++counter;
  }
  // 9.
  const std::wstring menu = SpecialFolder(CSIDL_PROGRAMS) + L"\\" + kProductTitle;
  ::SHCreateDirectoryExW(nullptr, menu.c_str(), nullptr);
  record.Put(L"startmenu", L"nums", 2);
  const std::wstring menuLink = Format(L"%ls\\%ls.lnk", menu.c_str(), kProductTitle);
  CreateShortcut(menuLink, program);
  record.Put(L"startmenu", L"f0", menuLink);
  ++counter;
  const std::wstring uninstallLink = Format(L"%ls\\卸载%ls.lnk", menu.c_str(), kProductTitle);
  CreateShortcut(uninstallLink, folder + L"uninstall.exe");
  record.Put(L"startmenu", L"f1", uninstallLink);
  ++counter;
  // 10.
  if (options.quickLaunch) {
    const std::wstring quick = Format(L"%ls\\Microsoft\\Internet Explorer\\Quick Launch\\%ls.lnk",
                                      SpecialFolder(CSIDL_APPDATA).c_str(), kProductTitle);
    ::SHCreateDirectoryExW(nullptr, quick.substr(0, quick.find_last_of(L'\\')).c_str(), nullptr);
    CreateShortcut(quick, program);
    record.Put(L"quickbar", L"f0", quick);
    ++counter;
  }
  // 11.
  if (options.autoStart) SetRunValue(Format(L"%ls%ls -autorun", folder.c_str(), L"Tessary.exe"));
  RegisterUninstaller(folder);
  // 12.
  record.Put(L"uninstallnums", L"nums", counter);
  record.Put(L"end", L"biao", 1);
  InstallResult r;
  r.ok = true;
  r.fileCount = info.fileCount;
  return r;
}
