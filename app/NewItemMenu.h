#pragma once
// The shell's "新建" (new item) popup for the desk menus, built from the registry.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// One entry of the "新建" popup.
struct NEW_BUILD_MENU_ITEM {
  enum Kind { kCommand = 1, kTemplate = 5, kEmpty = 10 };
  WORD id = 0;
  HBITMAP bitmap = nullptr;  // owned
  std::wstring text;         // the type's display name
  int kind = kEmpty;
  std::wstring fileName;     // extension of the new file
  std::wstring source;       // template path (kind 5) or program (kind 1)
  std::wstring arguments;    // arguments of the program (kind 1)

  NEW_BUILD_MENU_ITEM() = default;
  ~NEW_BUILD_MENU_ITEM() {
    if (bitmap) ::DeleteObject(bitmap);
  }
  NEW_BUILD_MENU_ITEM(const NEW_BUILD_MENU_ITEM&) = delete;
  NEW_BUILD_MENU_ITEM& operator=(const NEW_BUILD_MENU_ITEM&) = delete;
};

using NewItemList = std::vector<std::unique_ptr<NEW_BUILD_MENU_ITEM>>;

// Builds the popup into *menu and the items of the registered types into *items. With the
// category flag (the desk menu) the popup starts with "桌面分类". FALSE when the desktop
// folder cannot be found (no popup).
BOOL BuildNewItemMenu(HMENU* menu, NewItemList* items, BOOL withCategory);

class CMyDesk;
// Carries out the "新建" item `id` (40000 and up) on the desk: a box at `menuPoint` (page
// coordinates), a folder, the shortcut wizard, a command, a template copy or an empty file,
// each with a name no entry and no file has. The items are freed afterwards. FALSE for an
// id that names no item.
BOOL RunNewItem(CMyDesk& desk, UINT id, NewItemList* items, POINT menuPoint);

// The new-file classes from the shell's ShellNew list ("Classes", else every named value).
std::vector<std::wstring> ShellNewClasses();
