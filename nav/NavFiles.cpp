#include "nav/NavFiles.h"

#include <shlobj.h>
#include <urlmon.h>
#include <wininet.h>

#include <atomic>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "nav/core/nav_sites.h"
#include "nav/core/nav_text.h"

namespace {
std::atomic<long> g_writes{0};
std::atomic<long> g_downloads{0};
std::function<bool(const std::wstring&)>& OpenHandler() {
  static std::function<bool(const std::wstring&)> handler;
  return handler;
}
}  // namespace

std::wstring NavDataPath(const char16_t* relative) {
  const std::wstring data = DataFolderPath();
  if (data.empty()) return L"";
  return data + NavW(relative);
}

std::wstring NavSkinPath(const wchar_t* relative) {
  return TheApp().programDir + L"\\rs\\导航\\" + relative;
}

std::wstring NavHomeUrl() {
  std::wstring home = TheApp().nav.homeUrl;
  if (!home.empty() && home.back() != L'/') home += L'/';
  return home;
}

std::wstring NavDefaultPicture() { return NavSkinPath(L"我的导航\\bg1.png"); }

BOOL NavEnsureFolder(const std::wstring& folder) {
  if (folder.empty()) return FALSE;
  std::wstring f = folder;
  while (!f.empty() && (f.back() == L'\\' || f.back() == L'/')) f.pop_back();
  const DWORD attr = ::GetFileAttributesW(f.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES) return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const int rc = ::SHCreateDirectoryExW(nullptr, f.c_str(), nullptr);
  return rc == ERROR_SUCCESS || rc == ERROR_ALREADY_EXISTS;
}

std::vector<uint8_t> NavReadFile(const std::wstring& path) {
  std::string bytes;
  if (path.empty() || !ReadWholeFile(path, &bytes)) return {};
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

BOOL NavWriteFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  if (path.empty()) return FALSE;
  const size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos && !NavEnsureFolder(path.substr(0, slash))) return FALSE;
  ++g_writes;
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}

long NavFileWrites() { return g_writes; }

std::wstring NavFetchPicture(const std::wstring& homeUrl, const std::u16string& pic,
                             const std::wstring& folder) {
  const auto leaf = PictureFileName(pic);
  if (!leaf || folder.empty() || !NavEnsureFolder(folder)) return L"";
  const std::wstring local = folder + NavW(*leaf);
  if (::GetFileAttributesW(local.c_str()) != INVALID_FILE_ATTRIBUTES) return local;
  const std::wstring url = homeUrl + NavW(pic);
  ::DeleteUrlCacheEntryW(url.c_str());
  ++g_downloads;
  // Fetched under a temporary name and moved into place whole: a cut download must not
  // pass for the picture on the next look.
  const std::wstring partial = local + L".part";
  if (FAILED(::URLDownloadToFileW(nullptr, url.c_str(), partial.c_str(), 0, nullptr))) {
    ::DeleteFileW(partial.c_str());
    return L"";
  }
  if (!::MoveFileExW(partial.c_str(), local.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ::DeleteFileW(partial.c_str());
    return L"";
  }
  return local;
}

long NavDownloads() { return g_downloads; }

void SetNavOpenUrlHandler(std::function<bool(const std::wstring&)> handler) {
  OpenHandler() = std::move(handler);
}

void NavOpenUrl(const std::wstring& url) {
  if (url.empty()) return;
  if (OpenHandler() && OpenHandler()(url)) return;
  ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

std::wstring NavSearchUrl(const std::wstring& base, const std::wstring& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::wstring escaped;
  for (unsigned char c : NavUtf16ToUtf8(NavU16(text))) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '_' || c == '.' || c == '~') {
      escaped += static_cast<wchar_t>(c);
    } else {
      escaped += L'%';
      escaped += static_cast<wchar_t>(kHex[c >> 4]);
      escaped += static_cast<wchar_t>(kHex[c & 15]);
    }
  }
  return base + L"/baidu?wd=" + escaped;
}
