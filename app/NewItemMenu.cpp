#include "app/NewItemMenu.h"

#include <shellapi.h>
#include <shlobj.h>

#include "base/AppConfig.h"
#include "app/resource.h"
#include "desk/MyDesk.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"
#include "app/core/new_item_rules.h"

namespace {

const wchar_t kShellNewKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\ShellNew";

std::wstring RegString(HKEY root, const std::wstring& path, const wchar_t* value) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data) - sizeof(wchar_t);
  if (::RegGetValueW(root, path.c_str(), value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, data, &size) != ERROR_SUCCESS)
    return L"";
  return data;
}

std::wstring FindTemplate(const std::wstring& ext) {
  wchar_t templates[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_TEMPLATES, nullptr, SHGFP_TYPE_CURRENT, templates)))
    return L"";
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  for (const std::wstring& folder : {std::wstring(windows) + L"\\ShellNew", std::wstring(templates)}) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((folder + L"\\*" + ext).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) continue;
    ::FindClose(h);
    return folder + L"\\" + fd.cFileName;
  }
  return L"";
}

// The small icon of "file,index" drawn on the menu colour.
HBITMAP MenuBitmapFromIcon(const std::wstring& iconText) {
  const size_t comma = iconText.rfind(L',');
  if (comma == std::wstring::npos) return nullptr;
  std::wstring file = iconText.substr(0, comma);
  if (file.size() >= 2 && file.front() == L'"' && file.back() == L'"') file = file.substr(1, file.size() - 2);
  wchar_t expanded[MAX_PATH] = {};
  ::ExpandEnvironmentStringsW(file.c_str(), expanded, MAX_PATH);
  HICON small = nullptr;
  ::ExtractIconExW(expanded, _wtoi(iconText.c_str() + comma + 1), nullptr, &small, 1);
  if (!small) return nullptr;
  VxIcon icon(small);
  const int cx = ::GetSystemMetrics(SM_CXSMICON), cy = ::GetSystemMetrics(SM_CYSMICON);
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  HBITMAP bmp = ::CreateCompatibleBitmap(screen.Get(), cx, cy);
  if (!mem || !bmp) {
    if (bmp) ::DeleteObject(bmp);
    return nullptr;
  }
  VxSelectObject keep(mem.Get(), bmp);
  RECT r{0, 0, cx, cy};
  ::FillRect(mem.Get(), &r, ::GetSysColorBrush(COLOR_MENU));
  ::DrawIconEx(mem.Get(), 0, 0, icon.Get(), cx, cy, 0, nullptr, DI_NORMAL);
  return bmp;
}

std::unique_ptr<NEW_BUILD_MENU_ITEM> BuildClassItem(const std::wstring& ext, WORD id,
                                                    const std::wstring& desktop) {
  const std::wstring typeName = RegString(HKEY_CLASSES_ROOT, ext, nullptr);
  if (typeName.empty()) return nullptr;
  auto item = std::make_unique<NEW_BUILD_MENU_ITEM>();
  item->id = id;
  item->text = ToW(NewItemDisplayName(ToU16(RegString(HKEY_CLASSES_ROOT, typeName, nullptr))));
  if (item->text.empty()) item->text = typeName;
  item->fileName = ext;
  const std::wstring shellNew = ext + L"\\ShellNew";
  const std::wstring command = RegString(HKEY_CLASSES_ROOT, shellNew, L"command");
  if (!command.empty()) {
    wchar_t programFiles[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
    std::u16string program, args;
    if (!SplitNewItemCommand(ToU16(command), ToU16(programFiles), ToU16(desktop), &program, &args))
      return nullptr;
    item->kind = NEW_BUILD_MENU_ITEM::kCommand;
    item->source = ToW(program);
    item->arguments = ToW(args);
  } else {
    std::wstring name = RegString(HKEY_CLASSES_ROOT, ext + L"\\" + typeName + L"\\ShellNew", L"FileName");
    if (name.empty()) name = RegString(HKEY_CLASSES_ROOT, shellNew, L"FileName");
    std::wstring path = name.find(L'\\') != std::wstring::npos ? name : FindTemplate(ext);
    if (!path.empty() && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
      item->kind = NEW_BUILD_MENU_ITEM::kTemplate;
      item->source = path;
    } else {
      item->kind = NEW_BUILD_MENU_ITEM::kEmpty;
    }
  }
  std::wstring icon = RegString(HKEY_CLASSES_ROOT, shellNew, L"iconpath");
  if (icon.empty()) icon = RegString(HKEY_CLASSES_ROOT, typeName + L"\\DefaultIcon", nullptr);
  item->bitmap = MenuBitmapFromIcon(icon);
  return item;
}

}  // namespace

std::vector<std::wstring> ShellNewClasses() {
  std::vector<std::wstring> classes;
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kShellNewKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return classes;
  VxRegKey key(raw);
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(key.Get(), L"Classes", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ && size > 2 * sizeof(wchar_t)) {
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, 0);
    if (::RegQueryValueExW(key.Get(), L"Classes", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                           &size) == ERROR_SUCCESS) {
      for (const wchar_t* p = data.data(); *p; p += wcslen(p) + 1) classes.emplace_back(p);
      if (!classes.empty()) return classes;
    }
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLen = 256, dataLen = 0;
    LONG rc = ::RegEnumValueW(key.Get(), i, name, &nameLen, nullptr, &type, nullptr, &dataLen);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) continue;
    if (_wcsicmp(name, L"~reserved~") == 0 || _wcsicmp(name, L"Language") == 0) continue;
    if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
    std::vector<wchar_t> data(dataLen / sizeof(wchar_t) + 2, 0);
    DWORD got = dataLen;
    nameLen = 256;
    if (::RegEnumValueW(key.Get(), i, name, &nameLen, nullptr, &type,
                        reinterpret_cast<BYTE*>(data.data()), &got) == ERROR_SUCCESS &&
        data[0])
      classes.emplace_back(data.data());
  }
  return classes;
}

BOOL BuildNewItemMenu(HMENU* menu, NewItemList* items, BOOL withCategory) {
  *menu = nullptr;
  items->clear();
  const std::vector<std::wstring> classes = ShellNewClasses();
  wchar_t desktop[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)))
    return FALSE;
  HMENU popup = ::CreatePopupMenu();
  if (!popup) return FALSE;
  if (withCategory) {
    ::AppendMenuW(popup, MF_STRING, 40000, L"桌面分类");
    ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  }
  ::AppendMenuW(popup, MF_STRING, 40001, L"文件夹");
  ::AppendMenuW(popup, MF_STRING, 40002, L"快捷方式");
  ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  for (size_t i = 0; i < classes.size(); ++i) {
    if (NewItemClassSkipped(ToU16(classes[i]))) continue;
    auto item = BuildClassItem(classes[i], static_cast<WORD>(40003 + i), desktop);
    if (!item) continue;
    ::AppendMenuW(popup, MF_STRING, item->id, item->text.c_str());
    if (item->bitmap) ::SetMenuItemBitmaps(popup, item->id, MF_BYCOMMAND, item->bitmap, item->bitmap);
    items->push_back(std::move(item));
  }
  *menu = popup;
  return TRUE;
}

BOOL RunNewItem(CMyDesk& desk, UINT id, NewItemList* items, POINT menuPoint) {
  CDeskFileOps& files = desk.FileOps();
  if (id == ID_NEW_ITEM_FIRST) {
    desk.NewBox(menuPoint);
  } else if (id == ID_NEW_ITEM_FIRST + 1) {
    files.NewFolder();
  } else if (id == ID_NEW_ITEM_FIRST + 2) {
    files.NewShortcut();
  } else {
    const NEW_BUILD_MENU_ITEM* item = nullptr;
    for (const auto& i : *items)
      if (i->id == id && !i->text.empty()) item = i.get();
    if (!item) return FALSE;
    switch (item->kind) {
      case NEW_BUILD_MENU_ITEM::kCommand:
        ::ShellExecuteW(desk.OwnerHwnd(), L"open", item->source.c_str(),
                        item->arguments.empty() ? nullptr : item->arguments.c_str(), nullptr, SW_SHOWNORMAL);
        break;
      case NEW_BUILD_MENU_ITEM::kTemplate: files.NewFromTemplate(item->text, item->fileName, item->source); break;
      default: files.NewEmptyFile(item->text, item->fileName); break;
    }
  }
  items->clear();
  if (id != ID_NEW_ITEM_FIRST) files.AfterNewItem();
  return TRUE;
}
