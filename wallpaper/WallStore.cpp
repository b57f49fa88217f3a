#include "wallpaper/WallStore.h"

#include <shlobj.h>

#include "base/VxFileIO.h"
#include "uilib/VxGdiplus.h"
#include "uilib/VxRaii.h"
#include "uilib/VxServices.h"

namespace {

constexpr wchar_t kHistoryFile[] = L"wallhis.dat";
constexpr wchar_t kPartSuffix[] = L".part";

}  // namespace

std::wstring WallUserFolder() {
  wchar_t buf[MAX_PATH] = {};
  const DWORD n = ::GetEnvironmentVariableW(L"VX_DATA_DIR", buf, MAX_PATH);
  std::wstring folder;
  if (n > 0 && n < MAX_PATH) {
    folder.assign(buf, n);
    for (wchar_t& c : folder)
      if (c == L'/') c = L'\\';
  } else {
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, buf)))
      return std::wstring();
    folder = std::wstring(buf) + L"\\VuZiro";
  }
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

std::wstring WallThumbFolder(const std::wstring& userFolder, int type) {
  return userFolder + L"thumb\\" + std::to_wstring(type) + L"\\";
}

std::wstring WallPictureFolder(const std::wstring& userFolder) { return userFolder + L"Wallers\\"; }

BOOL WallMakeFolder(const std::wstring& folder) {
  const int rc = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  return rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS;
}

bool WallFileExists(const std::wstring& path) {
  const DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring WallProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring p(path, n);
  const size_t slash = p.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : p.substr(0, slash);
}

std::wstring WallServerBase() { return VxServiceBase(L"wallpaper") + L"/"; }

std::wstring WallWide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(n > 0 ? n : 0, L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
  return out;
}

std::string WallUtf8(const std::wstring& text) { return wall::ToUtf8(text); }

BOOL WallPictureDecodes(const std::wstring& path) {
  Gdiplus::Bitmap bmp(path.c_str());
  if (bmp.GetLastStatus() != Gdiplus::Ok || bmp.GetWidth() == 0 || bmp.GetHeight() == 0) return FALSE;
  Gdiplus::Rect all(0, 0, static_cast<INT>(bmp.GetWidth()), static_cast<INT>(bmp.GetHeight()));
  Gdiplus::BitmapData data;
  if (bmp.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return FALSE;
  bmp.UnlockBits(&data);
  return TRUE;
}

wall::WallHistory WallLoadHistory(const std::wstring& userFolder, const std::wstring& current) {
  wall::WallHistory history;
  if (userFolder.empty()) return history;
  std::string bytes;
  if (ReadWholeFile(userFolder + kHistoryFile, &bytes))
    if (auto saved = wall::WallHistory::Parse(bytes)) history = std::move(*saved);
  if (current.empty() || history.IsNewest(current)) return history;
  if (!WallFileExists(current)) {
    history.Append(current);
    return history;
  }
  const std::wstring name = wall::BackupName(current);
  if (name.empty()) return history;
  const std::wstring folder = WallPictureFolder(userFolder);
  const std::wstring copy = folder + name;
  const bool copied = WallMakeFolder(folder) && ::CopyFileW(current.c_str(), copy.c_str(), FALSE);
  history.Forget(copy);
  history.Append(copied ? copy : current);
  return history;
}

BOOL WallSaveHistory(const std::wstring& userFolder, const wall::WallHistory& history) {
  if (userFolder.empty() || !WallMakeFolder(userFolder)) return FALSE;
  const std::string bytes = history.Serialize();
  return WriteFileAtomically(userFolder + kHistoryFile, bytes.data(), bytes.size());
}

void WallRemoveStalePictures(const std::wstring& userFolder) {
  if (userFolder.empty()) return;
  const std::wstring folder = WallPictureFolder(userFolder);
  WIN32_FIND_DATAW fd;
  VxFindHandle find(::FindFirstFileW((folder + L"*" + kPartSuffix).c_str(), &fd));
  if (!find) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + fd.cFileName).c_str());
  } while (::FindNextFileW(find.Get(), &fd));
}
