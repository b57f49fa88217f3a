#pragma once
// The desktop shell folder as the desk sees it: its children with their names, identifier
// lists, icons and kinds.
#include <windows.h>
#include <shlobj.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "uilib/VxGdiplus.h"
#include "uilib/VxRaii.h"
#include "desk/core/desk_icons.h"

// An owned item identifier list.
struct PidlFree {
  void operator()(ITEMIDLIST* p) const { ::CoTaskMemFree(p); }
};
using PidlPtr = std::unique_ptr<ITEMIDLIST, PidlFree>;

PidlPtr ClonePidl(LPCITEMIDLIST pidl);
// The free function list entries use for the identifier list they own.
void __cdecl FreePidl(void* pidl);

// One child of the desktop folder.
struct DesktopChild {
  PidlPtr pidl;
  std::wstring displayName;  // in-folder name
  std::wstring parseName;    // for-parsing name: a path, or "::{GUID}" for shell items
};

// System icon indexes of the desktop's children by parsing name.
using DeskIconIndexes = std::unordered_map<std::wstring, int>;

class ShellDesktop {
 public:
  ShellDesktop();
  bool Ok() const { return static_cast<bool>(folder_); }
  IShellFolder* Folder() const { return folder_.Get(); }

  // Every child (folders and non-folders), names filled in.
  std::vector<DesktopChild> Children() const;
  std::wstring DisplayName(LPCITEMIDLIST child) const;
  std::wstring ParseName(LPCITEMIDLIST child) const;
  // Same item: the folder's identifier comparison returns 0.
  bool SameItem(LPCITEMIDLIST a, LPCITEMIDLIST b) const;
  // The item's system icon at 48 x 48 with its alpha (null when none can be had).
  Gdiplus::Bitmap* Icon48(LPCITEMIDLIST child) const;
  // The same for a classified child: a file whose type alone decides its icon takes the one
  // looked up for its extension (see desk_icons.h).
  Gdiplus::Bitmap* Icon48(LPCITEMIDLIST child, const std::wstring& parseName, int kind) const;
  // The system icon index of a classified child; -1 when the shell has none.
  int IconIndex(LPCITEMIDLIST child, const std::wstring& parseName, int kind) const;
  // Whether files of this extension (folded, without the dot) share one icon lookup, as
  // decided from the registry once per listing.
  bool SharesIconByExtension(const std::wstring& ext) const;
  // Indexes looked up ahead (DeskPrefetchIcons) answer IconIndex for those children; the desk
  // takes them for its first listing only and then hands in an empty set.
  void TakeIconIndexes(DeskIconIndexes indexes) { prefetched_ = std::move(indexes); }

 private:
  // A child's display name while listing: files of a type whose naming one answer of the
  // shell has taught take it by rule, every other child asks the shell.
  std::wstring ListedDisplayName(LPCITEMIDLIST child, const std::wstring& parseName,
                                 const std::set<std::u16string>& localized,
                                 std::map<std::u16string, DeskExtensionNaming>* naming) const;
  Gdiplus::Bitmap* IconOfIndex(LPCITEMIDLIST child, int index) const;
  Gdiplus::Bitmap* RenderIcon48(LPCITEMIDLIST child, int index) const;
  // Shared icon index of an extension, -1 when its files are looked up one by one.
  int ExtensionIconIndex(const std::wstring& ext) const;
  VxComPtr<IShellFolder> folder_;
  mutable std::map<int, std::unique_ptr<Gdiplus::Bitmap>> iconCache_;
  // Per listing: associations may change between scans, never within one.
  mutable std::map<std::wstring, int> extensionIcons_;
  // The icon of a folder that has no desktop.ini to dress it; -2 until one was asked for.
  mutable int plainFolderIcon_ = -2;
  DeskIconIndexes prefetched_;
};

// Starts looking up the icon index of every desktop child on a thread of its own: the shell
// reads each shortcut for its icon, about a millisecond apiece under Wine, and the program
// has its toolbar to make meanwhile. The indexes are the process's system image list's, so
// they hold on any thread.
void DeskPrefetchIcons();
// Waits for the lookups started by DeskPrefetchIcons and hands them over once; empty when
// none were started or they failed.
DeskIconIndexes DeskTakePrefetchedIcons();

// What HKEY_CLASSES_ROOT says about an extension's icon (folded, without the dot).
DeskIconClassFacts ReadIconClassFacts(const std::wstring& ext);

// Classification: 0 for an item that must not be shown (a hidden special item), else
// KIND_SPECIAL, KIND_FOLDER, KIND_SHORTCUT or KIND_FILE.
int ClassifyDesktopItem(const std::wstring& parseName);
// The user's profile folder: the Documents folder's path without "\Documents".
std::wstring ProfileFolder();

// Last-write time and size (low 32 bits) of a file, 0 when it cannot be read.
void FileTimeAndSize(const std::wstring& path, unsigned long long* lastWrite, unsigned* size);
