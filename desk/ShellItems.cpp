#include "desk/ShellItems.h"

#include <shlwapi.h>
#include <commoncontrols.h>

#include "uilib/VxPaint.h"
#include "uilib/VxTypes.h"
#include "uilib/VxWorker.h"
#include "desk/core/desk_records.h"
#include "desk/core/desk_text.h"

namespace {

// Not every import library carries it.
const IID kIIDImageList = {0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};

const wchar_t kHideIconsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel";
const wchar_t kRecycleBin[] = L"{645FF040-5081-101B-9F08-00AA002F954E}";

bool ContainsNoCase(const std::wstring& text, const std::wstring& part) {
  return DeskFoldCase(ToU16(text)).find(DeskFoldCase(ToU16(part))) != std::u16string::npos;
}

std::wstring StrRetText(STRRET* sr, LPCITEMIDLIST pidl) {
  wchar_t buf[MAX_PATH] = {};
  if (FAILED(::StrRetToBufW(sr, pidl, buf, MAX_PATH))) return std::wstring();
  return buf;
}

// Straight-alpha ARGB bitmap of an icon: the colour bitmap's own alpha when it has one,
// else the mask decides which pixels show.
Gdiplus::Bitmap* IconToBitmap(HICON icon, int size) {
  void* bits = nullptr;
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  VxBitmap dib(VxCreateTopDownDib(screen.Get(), size, size, &bits));
  if (!mem || !dib || !bits) return nullptr;
  auto* px = static_cast<UINT*>(bits);
  const size_t n = static_cast<size_t>(size) * size;
  {
    VxSelectObject keep(mem.Get(), dib.Get());
    memset(bits, 0, n * 4);
    ::DrawIconEx(mem.Get(), 0, 0, icon, size, size, 0, nullptr, DI_IMAGE);
    ::GdiFlush();
  }
  bool hasAlpha = false;
  for (size_t i = 0; i < n && !hasAlpha; ++i) hasAlpha = (px[i] >> 24) != 0;
  if (!hasAlpha) {
    // Old-style icon: draw the mask too and make the masked pixels transparent.
    std::vector<UINT> colour(px, px + n);
    {
      VxSelectObject keep(mem.Get(), dib.Get());
      memset(bits, 0, n * 4);
      ::DrawIconEx(mem.Get(), 0, 0, icon, size, size, 0, nullptr, DI_MASK);
      ::GdiFlush();
    }
    for (size_t i = 0; i < n; ++i) px[i] = (px[i] & 0xFFFFFF) ? 0 : (colour[i] | 0xFF000000u);
  }
  auto* bmp = new Gdiplus::Bitmap(size, size, PixelFormat32bppARGB);
  Gdiplus::Rect r(0, 0, size, size);
  Gdiplus::BitmapData data;
  if (bmp->LockBits(&r, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) {
    delete bmp;
    return nullptr;
  }
  for (int y = 0; y < size; ++y)
    memcpy(static_cast<BYTE*>(data.Scan0) + y * data.Stride, px + static_cast<size_t>(y) * size,
           static_cast<size_t>(size) * 4);
  bmp->UnlockBits(&data);
  return bmp;
}

// Reads a DWORD value of the hide-icons key; false when it cannot be read.
bool HideValue(HKEY key, const wchar_t* name, DWORD* value) {
  DWORD type = 0, size = sizeof(DWORD);
  return ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
             ERROR_SUCCESS &&
         type == REG_DWORD;
}

bool ProfileItemHidden() {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kHideIconsKey, 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return true;
  VxRegKey key(raw);
  DWORD v = 0;
  if (HideValue(key.Get(), L"{59031a47-3f72-44a7-89c5-5595fe6b30ee}", &v) ||
      HideValue(key.Get(), L"{450D8FBA-AD25-11D0-98A8-0800361B1103}", &v))
    return v == 1;
  return true;
}

bool ShellItemHidden(const std::wstring& parseName) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kHideIconsKey, 0, KEY_READ, &raw) != ERROR_SUCCESS)
    return true;
  VxRegKey key(raw);
  DWORD count = 0;
  if (::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    for (DWORD i = 0; i < count; ++i) {
      wchar_t name[256];
      DWORD nameLen = 256, type = 0, data = 0, dataLen = sizeof(data);
      if (::RegEnumValueW(key.Get(), i, name, &nameLen, nullptr, &type,
                          reinterpret_cast<BYTE*>(&data), &dataLen) != ERROR_SUCCESS)
        continue;
      if (nameLen > 0 && ContainsNoCase(parseName, name)) return type == REG_DWORD && data == 1;
    }
  }
  return !ContainsNoCase(parseName, kRecycleBin);
}

// The default value of a key below HKEY_CLASSES_ROOT; empty when there is none.
std::wstring ClassesValue(const std::wstring& path) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
    return L"";
  VxRegKey key(raw);
  wchar_t buf[MAX_PATH + 16] = {};
  DWORD type = 0, size = sizeof(buf) - sizeof(wchar_t);
  if (::RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return L"";
  return buf;
}

bool ClassesKeyExists(const std::wstring& path) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
    return false;
  VxRegKey key(raw);
  return true;
}

// File names the Desktop folders' desktop.ini files give a name of their own (folded): the
// shell shows those names, so those files are asked about one by one.
std::set<std::u16string> LocalizedDesktopNames() {
  std::set<std::u16string> names;
  for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY}) {
    wchar_t dir[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, dir))) continue;
    const std::wstring ini = std::wstring(dir) + L"\\desktop.ini";
    if (::GetFileAttributesW(ini.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    std::vector<wchar_t> section(32767);
    const DWORD got = ::GetPrivateProfileSectionW(L"LocalizedFileNames", section.data(),
                                                  static_cast<DWORD>(section.size()), ini.c_str());
    for (const wchar_t* line = section.data(); line < section.data() + got && *line;
         line += std::wcslen(line) + 1) {
      const wchar_t* eq = std::wcschr(line, L'=');
      names.insert(DeskFoldCase(ToU16(std::wstring(line, eq ? eq : line + std::wcslen(line)))));
    }
  }
  return names;
}

}  // namespace

DeskIconClassFacts ReadIconClassFacts(const std::wstring& ext) {
  DeskIconClassFacts facts;
  const std::wstring extKey = L"." + ext;
  std::wstring progId = ClassesValue(extKey);
  if (!progId.empty()) {
    // A versioned class hands its icon to the current version.
    const std::wstring current = ClassesValue(progId + L"\\CurVer");
    if (!current.empty()) progId = current;
  }
  const std::wstring extIcon = ClassesValue(extKey + L"\\DefaultIcon");
  const std::wstring classIcon = progId.empty() ? L"" : ClassesValue(progId + L"\\DefaultIcon");
  // A per-file icon on either key wins: a lookup by extension would then draw the wrong one.
  facts.defaultIcon = ToU16(DeskDefaultIconIsPerFile(ToU16(extIcon)) || classIcon.empty() ? extIcon
                                                                                         : classIcon);
  facts.hasIconHandler =
      ClassesKeyExists(extKey + L"\\shellex\\IconHandler") ||
      ClassesKeyExists(L"SystemFileAssociations\\" + extKey + L"\\shellex\\IconHandler") ||
      (!progId.empty() && ClassesKeyExists(progId + L"\\shellex\\IconHandler"));
  return facts;
}

PidlPtr ClonePidl(LPCITEMIDLIST pidl) { return PidlPtr(pidl ? ::ILClone(pidl) : nullptr); }
void __cdecl FreePidl(void* pidl) { ::CoTaskMemFree(pidl); }

ShellDesktop::ShellDesktop() { ::SHGetDesktopFolder(folder_.Put()); }

std::wstring ShellDesktop::DisplayName(LPCITEMIDLIST child) const {
  STRRET sr{};
  if (!folder_ || FAILED(folder_->GetDisplayNameOf(child, SHGDN_INFOLDER, &sr))) return L"";
  return StrRetText(&sr, child);
}

std::wstring ShellDesktop::ParseName(LPCITEMIDLIST child) const {
  STRRET sr{};
  if (!folder_ || FAILED(folder_->GetDisplayNameOf(child, SHGDN_FORPARSING, &sr))) return L"";
  return StrRetText(&sr, child);
}

std::vector<DesktopChild> ShellDesktop::Children() const {
  std::vector<DesktopChild> out;
  if (!folder_) return out;
  extensionIcons_.clear();
  plainFolderIcon_ = -2;
  // Asking the shell for a display name costs it several registry reads per item under Wine;
  // per listing, like the icons: the rules may change between scans, never within one.
  std::map<std::u16string, DeskExtensionNaming> naming;
  const std::set<std::u16string> localized = LocalizedDesktopNames();
  VxComPtr<IEnumIDList> items;
  if (folder_->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.Put()) != S_OK ||
      !items)
    return out;
  LPITEMIDLIST pidl = nullptr;
  ULONG got = 0;
  while (items->Next(1, &pidl, &got) == S_OK && got == 1) {
    DesktopChild c;
    c.pidl.reset(pidl);
    c.parseName = ParseName(pidl);
    c.displayName = ListedDisplayName(pidl, c.parseName, localized, &naming);
    out.push_back(std::move(c));
  }
  return out;
}

std::wstring ShellDesktop::ListedDisplayName(LPCITEMIDLIST child, const std::wstring& parseName,
                                             const std::set<std::u16string>& localized,
                                             std::map<std::u16string, DeskExtensionNaming>* naming) const {
  const size_t slash = parseName.rfind(L'\\');
  if (slash == std::wstring::npos) return DisplayName(child);  // a shell item
  const std::u16string file = ToU16(parseName.substr(slash + 1));
  const std::u16string ext = DeskIconExtension(file);
  const DWORD attrs = ::GetFileAttributesW(parseName.c_str());
  // Folders may be named by their own desktop.ini.
  if (ext.empty() || attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY) ||
      localized.count(DeskFoldCase(file)))
    return DisplayName(child);
  DeskExtensionNaming& rule = (*naming)[ext];
  if (rule == kNamingUnknown) {
    const std::wstring asked = DisplayName(child);
    rule = DeskLearnNaming(file, ToU16(asked));
    return asked;
  }
  const std::u16string byRule = DeskNameByNaming(file, rule);
  return byRule.empty() ? DisplayName(child) : ToW(byRule);
}

bool ShellDesktop::SameItem(LPCITEMIDLIST a, LPCITEMIDLIST b) const {
  if (!a || !b || !folder_) return false;
  const HRESULT hr = folder_->CompareIDs(0, a, b);
  return SUCCEEDED(hr) && static_cast<short>(HRESULT_CODE(hr)) == 0;
}

Gdiplus::Bitmap* ShellDesktop::Icon48(LPCITEMIDLIST child) const {
  SHFILEINFOW fi{};
  if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(child), 0, &fi, sizeof(fi),
                        SHGFI_PIDL | SHGFI_SYSICONINDEX))
    return nullptr;
  return IconOfIndex(child, fi.iIcon);
}

Gdiplus::Bitmap* ShellDesktop::Icon48(LPCITEMIDLIST child, const std::wstring& parseName,
                                      int kind) const {
  const int index = IconIndex(child, parseName, kind);
  return index < 0 ? nullptr : IconOfIndex(child, index);
}

int ShellDesktop::IconIndex(LPCITEMIDLIST child, const std::wstring& parseName, int kind) const {
  if (!prefetched_.empty()) {
    const auto ahead = prefetched_.find(parseName);
    if (ahead != prefetched_.end()) return ahead->second;
  }
  // Folders may be dressed by their desktop.ini and shell items have no type: only files
  // (shortcuts included, though their extensions always keep the lookup) go by extension.
  if (kind == KIND_FILE || kind == KIND_SHORTCUT) {
    const std::u16string ext = DeskIconExtension(ToU16(parseName));
    if (!ext.empty()) {
      const int shared = ExtensionIconIndex(ToW(ext));
      if (shared >= 0) return shared;
    }
  }
  // Only a desktop.ini can give a folder an icon of its own.
  const bool plainFolder = kind == KIND_FOLDER && parseName.find(L'\\') != std::wstring::npos &&
                           ::GetFileAttributesW((parseName + L"\\desktop.ini").c_str()) ==
                               INVALID_FILE_ATTRIBUTES;
  if (plainFolder && plainFolderIcon_ != -2) return plainFolderIcon_;
  SHFILEINFOW fi{};
  if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(child), 0, &fi, sizeof(fi),
                        SHGFI_PIDL | SHGFI_SYSICONINDEX))
    return -1;
  if (plainFolder) plainFolderIcon_ = fi.iIcon;
  return fi.iIcon;
}

bool ShellDesktop::SharesIconByExtension(const std::wstring& ext) const {
  return ExtensionIconIndex(ext) >= 0;
}

int ShellDesktop::ExtensionIconIndex(const std::wstring& ext) const {
  auto known = extensionIcons_.find(ext);
  if (known != extensionIcons_.end()) return known->second;
  int index = -1;
  if (DeskIconSharedByExtension(ToU16(ext), ReadIconClassFacts(ext))) {
    // A name that exists nowhere: only its extension and the attributes reach the shell.
    const std::wstring standIn = L"x." + ext;
    SHFILEINFOW fi{};
    if (::SHGetFileInfoW(standIn.c_str(), FILE_ATTRIBUTE_NORMAL, &fi, sizeof(fi),
                         SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX))
      index = fi.iIcon;
  }
  extensionIcons_[ext] = index;
  return index;
}

Gdiplus::Bitmap* ShellDesktop::IconOfIndex(LPCITEMIDLIST child, int index) const {
  // Most desktop items share a handful of system icons: each is rendered once.
  auto cached = iconCache_.find(index);
  if (cached != iconCache_.end())
    return cached->second ? cached->second->Clone(0, 0, 48, 48, PixelFormat32bppARGB) : nullptr;
  Gdiplus::Bitmap* made = RenderIcon48(child, index);
  iconCache_[index].reset(made ? made->Clone(0, 0, 48, 48, PixelFormat32bppARGB) : nullptr);
  return made;
}

Gdiplus::Bitmap* ShellDesktop::RenderIcon48(LPCITEMIDLIST child, int index) const {
  SHFILEINFOW fi{};
  fi.iIcon = index;
  VxComPtr<IImageList> list;
  HICON icon = nullptr;
  if (SUCCEEDED(::SHGetImageList(SHIL_EXTRALARGE, kIIDImageList, reinterpret_cast<void**>(list.Put()))) &&
      list)
    list->GetIcon(fi.iIcon, ILD_TRANSPARENT, &icon);
  if (!icon) {
    SHFILEINFOW big{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(child), 0, &big, sizeof(big),
                     SHGFI_PIDL | SHGFI_ICON | SHGFI_LARGEICON);
    icon = big.hIcon;
  }
  if (!icon) return nullptr;
  VxIcon owned(icon);
  return IconToBitmap(owned.Get(), 48);
}

std::wstring ProfileFolder() {
  wchar_t docs[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, docs)))
    return L"";
  std::wstring path(docs);
  const std::wstring tail = L"\\Documents";
  if (path.size() >= tail.size() &&
      DeskTextEqual(ToU16(path.substr(path.size() - tail.size())), ToU16(tail)))
    path.resize(path.size() - tail.size());
  return path;
}

namespace {
// The profile folder does not move while the program runs, and asking the shell for it once
// per desktop item was a third of the first run's time under Wine.
const std::wstring& CachedProfileFolder() {
  static std::wstring profile;
  if (profile.empty()) profile = ProfileFolder();
  return profile;
}
}  // namespace

int ClassifyDesktopItem(const std::wstring& parseName) {
  const bool noBackslash = parseName.find(L'\\') == std::wstring::npos;
  const std::wstring& profile = CachedProfileFolder();
  if (!profile.empty() && DeskTextEqual(ToU16(parseName), ToU16(profile)))
    return ProfileItemHidden() ? 0 : KIND_SPECIAL;
  if (noBackslash) return ShellItemHidden(parseName) ? 0 : KIND_SPECIAL;
  const DWORD attrs = ::GetFileAttributesW(parseName.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) return KIND_FOLDER;
  const size_t slash = parseName.rfind(L'\\');
  const size_t dot = parseName.rfind(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return KIND_FILE;
  const std::u16string ext = DeskFoldCase(ToU16(parseName.substr(dot + 1)));
  if (ext == u"lnk" || ext == u"url") return KIND_SHORTCUT;
  return KIND_FILE;
}

void FileTimeAndSize(const std::wstring& path, unsigned long long* lastWrite, unsigned* size) {
  *lastWrite = 0;
  *size = 0;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return;
  *lastWrite = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
               data.ftLastWriteTime.dwLowDateTime;
  *size = data.nFileSizeLow;
}

namespace {

VxAhead<DeskIconIndexes>& PrefetchedIcons() {
  static VxAhead<DeskIconIndexes> prefetched;
  return prefetched;
}

// The same lookups the desk makes for each child, on the calling thread.
DeskIconIndexes LookUpDesktopIcons() {
  VxComInit com;
  DeskIconIndexes indexes;
  const ShellDesktop shell;
  if (!shell.Ok()) return indexes;
  for (const DesktopChild& child : shell.Children()) {
    const int kind = ClassifyDesktopItem(child.parseName);
    if (kind == 0) continue;
    const int index = shell.IconIndex(child.pidl.get(), child.parseName, kind);
    if (index >= 0) indexes.emplace(child.parseName, index);
  }
  return indexes;
}

}  // namespace

void DeskPrefetchIcons() {
  PrefetchedIcons().Start([] { return LookUpDesktopIcons(); });
}

DeskIconIndexes DeskTakePrefetchedIcons() { return PrefetchedIcons().Take(); }
