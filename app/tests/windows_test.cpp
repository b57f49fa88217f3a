// The background and host windows: menus as resources, their update rules, the "新建"
// builder against registry content made here, the wallpaper and work-area watches, exit.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <vector>

#include "base/AppGlobals.h"
#include "app/BaseWnd.h"
#include "desk/DeskFiles.h"
#include "app/DialogBack.h"
#include "desk/MyDesk.h"
#include "app/NewItemMenu.h"
#include "uilib/VxRaii.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "app/resource.h"

namespace {

struct MenuLine {
  UINT id;  // 0 = separator, 1 = popup
  const wchar_t* text;
};

// Items of a menu popup as (id, text): separators as (0, ""), popups as (1, text).
std::vector<std::pair<UINT, std::wstring>> MenuItems(HMENU menu) {
  std::vector<std::pair<UINT, std::wstring>> items;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW mii{sizeof(mii)};
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    mii.dwTypeData = text;
    mii.cch = 128;
    ::GetMenuItemInfoW(menu, i, TRUE, &mii);
    if (mii.fType & MFT_SEPARATOR)
      items.emplace_back(0, L"");
    else
      items.emplace_back(mii.hSubMenu ? 1 : mii.wID, text);
  }
  return items;
}

void ExpectMenu(HMENU menu, const std::vector<MenuLine>& expected) {
  const auto items = MenuItems(menu);
  ASSERT_EQ(items.size(), expected.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].first, expected[i].id) << "item " << i;
    EXPECT_EQ(items[i].second, expected[i].text) << "item " << i;
  }
}

HMENU LoadPopup(UINT id, HMENU* owner) {
  *owner = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  return *owner ? ::GetSubMenu(*owner, 0) : nullptr;
}

bool Checked(HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED; }
bool Grayed(HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED; }

}  // namespace

TEST(Menus, TrayTopAndBoxMenusAsResources) {
  HMENU owner = nullptr;
  ExpectMenu(LoadPopup(IDR_MENU_TRAY, &owner), {{ID_SETTINGS, L"设置中心"}, {0, L""}, {ID_EXIT, L"退出"}});
  ::DestroyMenu(owner);
  ExpectMenu(LoadPopup(IDR_MENU_TOP, &owner), {{ID_AUTOHIDE, L"自动隐藏"}, {ID_SETTINGS, L"设置中心"}});
  ::DestroyMenu(owner);
  ExpectMenu(LoadPopup(IDR_MENU_BOX_TITLE, &owner), {{ID_BOX_RENAME, L"重命名"},
                                                     {ID_BOX_LIST_VIEW, L"列表显示"},
                                                     {ID_BOX_FIXED, L"固定位置"},
                                                     {ID_BOX_REMOVE, L"删除分类"}});
  ::DestroyMenu(owner);
  HMENU body = LoadPopup(IDR_MENU_BOX_BODY, &owner);
  ExpectMenu(body, {{ID_BOX_REMOVE_BODY, L"删除分类"}, {0, L""}, {1, L"排序方式"}, {0, L""},
                    {ID_PASTE, L"粘帖"}, {ID_PASTE_SHORTCUT, L"粘帖快捷方式"}, {0, L""}, {0, L""},
                    {ID_SETTINGS_DESK, L"设置中心"}, {ID_CHANGE_WALLPAPER, L"更换壁纸"}});
  ExpectMenu(::GetSubMenu(body, 2), {{ID_SORT_NAME, L"按名称"}, {ID_SORT_SIZE, L"按大小"},
                                     {ID_SORT_TYPE, L"按类型"}, {ID_SORT_TIME, L"按修改时间"}});
  ::DestroyMenu(owner);
}

TEST(Menus, DeskMenuAsResource) {
  HMENU owner = nullptr;
  HMENU desk = LoadPopup(IDR_MENU_DESK, &owner);
  ExpectMenu(desk, {{1, L"整理桌面"}, {ID_RESTORE_DESK, L"还原桌面"}, {0, L""}, {1, L"查看"},
                    {1, L"排序方式"}, {ID_REFRESH, L"刷新"}, {0, L""}, {ID_PASTE, L"粘帖"},
                    {ID_PASTE_SHORTCUT, L"粘帖快捷方式"}, {0, L""}, {0, L""},
                    {ID_DISPLAY_SETTINGS, L"桌面分辨率"}, {ID_SETTINGS_DESK, L"设置中心"},
                    {ID_CHANGE_WALLPAPER, L"更换壁纸"}});
  ExpectMenu(::GetSubMenu(desk, 0), {{ID_ORGANIZE_ICONS, L"整理图标"}, {ID_NEW_BOX, L"新建桌面分类"}});
  ExpectMenu(::GetSubMenu(desk, 3), {{ID_VIEW_NORMAL, L"默认图标"}, {ID_VIEW_SMALL, L"小图标"}, {0, L""},
                                     {ID_VIEW_AUTOARRANGE, L"自动排列"}, {0, L""},
                                     {ID_VIEW_DBLCLICK_HIDE, L"双击隐藏图标"}});
  ::DestroyMenu(owner);
}

TEST(Menus, UpdateRulesFollowTheSettings) {
  AppGlobals& g = TheApp();
  HMENU owner = nullptr;
  HMENU desk = LoadPopup(IDR_MENU_DESK, &owner);
  g.desk.config.smallIcons = 1;
  g.desk.config.autoArrange = 0;
  g.desk.config.dblClickHide = 0;  // the resource starts it checked
  CBaseWnd::UpdateMenuItems(desk, nullptr, -1);
  EXPECT_FALSE(Checked(desk, ID_VIEW_NORMAL));
  EXPECT_TRUE(Checked(desk, ID_VIEW_SMALL));
  EXPECT_FALSE(Checked(desk, ID_VIEW_AUTOARRANGE));
  EXPECT_FALSE(Checked(desk, ID_VIEW_DBLCLICK_HIDE));
  // Without a desk nothing can be pasted.
  EXPECT_TRUE(Grayed(desk, ID_PASTE));
  EXPECT_TRUE(Grayed(desk, ID_PASTE_SHORTCUT));
  g.desk.config.smallIcons = 0;
  g.desk.config.autoArrange = 1;
  g.desk.config.dblClickHide = 1;
  CBaseWnd::UpdateMenuItems(desk, nullptr, -1);
  EXPECT_TRUE(Checked(desk, ID_VIEW_NORMAL));
  EXPECT_FALSE(Checked(desk, ID_VIEW_SMALL));
  EXPECT_TRUE(Checked(desk, ID_VIEW_AUTOARRANGE));
  EXPECT_TRUE(Checked(desk, ID_VIEW_DBLCLICK_HIDE));
  ::DestroyMenu(owner);
  HMENU top = LoadPopup(IDR_MENU_TOP, &owner);
  g.autoHide = 0;
  CBaseWnd::UpdateMenuItems(top, nullptr, -1);
  EXPECT_FALSE(Checked(top, ID_AUTOHIDE));
  g.autoHide = 1;
  CBaseWnd::UpdateMenuItems(top, nullptr, -1);
  EXPECT_TRUE(Checked(top, ID_AUTOHIDE));
  ::DestroyMenu(owner);
  HMENU title = LoadPopup(IDR_MENU_BOX_TITLE, &owner);
  CBaseWnd::UpdateMenuItems(title, nullptr, 0);
  EXPECT_FALSE(Checked(title, ID_BOX_LIST_VIEW)) << "no desk: list display stays unmarked";
  EXPECT_FALSE(Checked(title, ID_BOX_FIXED));
  ::DestroyMenu(owner);
}

namespace {

const wchar_t kShellNew[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Discardable\\PostSetup\\ShellNew";

void SetClassesValue(const std::vector<std::wstring>* classes) {
  HKEY raw = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kShellNew, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr);
  VxRegKey key(raw);
  if (!classes) {
    ::RegDeleteValueW(key.Get(), L"Classes");
    return;
  }
  std::wstring multi;
  for (const auto& c : *classes) multi += c + L'\0';
  multi += L'\0';
  ::RegSetValueExW(key.Get(), L"Classes", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()),
                   static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
}

void SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& data) {
  HKEY raw = nullptr;
  ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr);
  VxRegKey key(raw);
  ::RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

// Three file types of our own: one made by a command, one from a template, one empty.
void RegisterTestTypes() {
  SetValue(HKEY_CLASSES_ROOT, L".vxa", nullptr, L"VxTest.Alpha");
  SetValue(HKEY_CLASSES_ROOT, L"VxTest.Alpha", nullptr, L"Text Document");
  SetValue(HKEY_CLASSES_ROOT, L".vxa\\ShellNew", L"command", L"\"%programFiles%\\Vx\\make.exe\" -n \"%1\"");
  SetValue(HKEY_CLASSES_ROOT, L".vxb", nullptr, L"VxTest.Beta");
  SetValue(HKEY_CLASSES_ROOT, L"VxTest.Beta", nullptr, L"Beta 文档");
  SetValue(HKEY_CLASSES_ROOT, L".vxb\\ShellNew", L"FileName", L"C:\\windows\\win.ini");
  SetValue(HKEY_CLASSES_ROOT, L".vxc", nullptr, L"VxTest.Gamma");
  SetValue(HKEY_CLASSES_ROOT, L"VxTest.Gamma", nullptr, L"Gamma");
  SetValue(HKEY_CLASSES_ROOT, L".vxc\\ShellNew", L"NullFile", L"");
}

const NEW_BUILD_MENU_ITEM* ItemFor(const NewItemList& items, const wchar_t* ext) {
  for (const auto& i : items)
    if (i->fileName == ext) return i.get();
  return nullptr;
}

}  // namespace

TEST(NewItemMenuBuilder, ClassesValueGivesOneItemPerClassAndSkipsSome) {
  RegisterTestTypes();
  const std::vector<std::wstring> classes = {L".vxa", L".lnk", L".vxb", L"Folder", L".vxc", L".none"};
  SetClassesValue(&classes);
  HMENU menu = nullptr;
  NewItemList items;
  ASSERT_TRUE(BuildNewItemMenu(&menu, &items, TRUE));
  ASSERT_EQ(items.size(), 3u) << "skipped classes and unregistered types give no item";
  const auto* a = ItemFor(items, L".vxa");
  const auto* b = ItemFor(items, L".vxb");
  const auto* c = ItemFor(items, L".vxc");
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(a->kind, NEW_BUILD_MENU_ITEM::kCommand);
  EXPECT_EQ(a->text, L"文本文档");
  EXPECT_NE(a->source.find(L"Vx\\make.exe\""), std::wstring::npos);
  EXPECT_NE(a->arguments.find(L"Desktop"), std::wstring::npos);
  EXPECT_EQ(a->id, 40003);
  EXPECT_EQ(b->kind, NEW_BUILD_MENU_ITEM::kTemplate);
  EXPECT_EQ(b->id, 40003 + 2);
  EXPECT_EQ(c->kind, NEW_BUILD_MENU_ITEM::kEmpty);
  // Category, separator, folder, shortcut, separator, then the three types.
  const auto lines = MenuItems(menu);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], (std::pair<UINT, std::wstring>{40000, L"桌面分类"}));
  EXPECT_EQ(lines[2], (std::pair<UINT, std::wstring>{40001, L"文件夹"}));
  EXPECT_EQ(lines[3], (std::pair<UINT, std::wstring>{40002, L"快捷方式"}));
  ::DestroyMenu(menu);
  // A box menu's popup has no category item.
  ASSERT_TRUE(BuildNewItemMenu(&menu, &items, FALSE));
  EXPECT_EQ(MenuItems(menu).front().first, 40001u);
  ::DestroyMenu(menu);
}

TEST(NewItemMenuBuilder, WithoutClassesTheOtherValuesAreUsed) {
  RegisterTestTypes();
  SetClassesValue(nullptr);
  HKEY raw = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kShellNew, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr);
  VxRegKey key(raw);
  // Clear what other runs left, then add the values the shell would keep.
  for (;;) {
    wchar_t name[256];
    DWORD len = 256;
    if (::RegEnumValueW(key.Get(), 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    ::RegDeleteValueW(key.Get(), name);
  }
  SetValue(HKEY_CURRENT_USER, kShellNew, L"~reserved~", L".vxa");
  SetValue(HKEY_CURRENT_USER, kShellNew, L"Language", L".vxa");
  SetValue(HKEY_CURRENT_USER, kShellNew, L"one", L".vxb");
  SetValue(HKEY_CURRENT_USER, kShellNew, L"two", L".vxc");
  SetValue(HKEY_CURRENT_USER, kShellNew, L"empty", L"");
  EXPECT_EQ(ShellNewClasses(), (std::vector<std::wstring>{L".vxb", L".vxc"}));
  HMENU menu = nullptr;
  NewItemList items;
  ASSERT_TRUE(BuildNewItemMenu(&menu, &items, FALSE));
  EXPECT_EQ(items.size(), 2u);
  ::DestroyMenu(menu);
}

namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDataFolder();
    AppGlobals& g = TheApp();
    g.desk.config = DeskConfig();
    g.desk.config.deskPageOn = 0;  // plain desktop: no desk scan needed here
    g.closePrompt = 1;
    g.currentView = 0;
  }
  void TearDown() override {
    if (back.GetSafeHwnd()) back.DestroyWindow();
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    RemoveDataFolder();
  }
  CDialogBack back;
};

// Answers the confirmation dialog from a timer while its modal loop runs.
struct Answer {
  static CDialogBack* back;
  static UINT command;
  static bool seen;
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = back->ConfirmWindow();
    if (!box) return;
    seen = true;
    ::KillTimer(nullptr, id);
    ::PostMessageW(box, WM_COMMAND, command, 0);
  }
};
CDialogBack* Answer::back = nullptr;
UINT Answer::command = IDCANCEL;
bool Answer::seen = false;

}  // namespace

TEST_F(WindowTest, ExitWithoutPromptEndsAtOnce) {
  ASSERT_TRUE(back.Create(nullptr));
  TheApp().closePrompt = 0;
  HWND hwnd = back.GetSafeHwnd();
  back.RunCommand(ID_EXIT);
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(WindowTest, ExitWithPromptAsksAndCancelKeepsRunning) {
  ASSERT_TRUE(back.Create(nullptr));
  HWND hwnd = back.GetSafeHwnd();
  Answer::back = &back;
  Answer::command = IDCANCEL;
  Answer::seen = false;
  ::SetTimer(nullptr, 0, 50, &Answer::OnTimer);
  back.RunCommand(ID_EXIT);
  EXPECT_TRUE(Answer::seen) << "the confirmation was shown";
  EXPECT_TRUE(::IsWindow(hwnd));
  Answer::command = IDOK;
  Answer::seen = false;
  ::SetTimer(nullptr, 0, 50, &Answer::OnTimer);
  back.RunCommand(ID_EXIT);
  EXPECT_TRUE(Answer::seen);
  EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(WindowTest, HostHasTheTemplateStaticsAndCoversTheScreen) {
  ASSERT_TRUE(back.Create(nullptr));
  CBaseWnd* host = back.Host();
  ASSERT_NE(host, nullptr);
  ASSERT_TRUE(::IsWindow(host->GetSafeHwnd()));
  EXPECT_EQ(::GetParent(host->GetSafeHwnd()), back.GetSafeHwnd());
  wchar_t text[16] = {};
  ::GetDlgItemTextW(host->GetSafeHwnd(), IDC_PAGE_SHOP, text, 16);
  EXPECT_STREQ(text, L"购物");
  RECT r;
  ::GetClientRect(host->GetSafeHwnd(), &r);
  EXPECT_EQ(r.right, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(host->CurrentPageId(), -1);
  wchar_t title[64] = {};
  ::GetWindowTextW(back.GetSafeHwnd(), title, 64);
  EXPECT_STREQ(title, L"Vexlo桌面");
  EXPECT_TRUE(::GetWindowLongW(back.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(back.CheckWorkArea()) << "an unchanged work area does nothing";
}

namespace {

// A one-colour BMP at `path`.
bool SaveSolidBmp(const std::wstring& path, Gdiplus::Color colour) {
  Gdiplus::Bitmap bmp(64, 48, PixelFormat24bppRGB);
  Gdiplus::Graphics g(&bmp);
  Gdiplus::SolidBrush fill(colour);
  g.FillRectangle(&fill, 0, 0, 64, 48);
  CLSID bmpClsid;
  CLSIDFromString(L"{557CF400-1A04-11D3-9A73-0000F81EF32E}", &bmpClsid);
  return bmp.Save(path.c_str(), &bmpClsid, nullptr) == Gdiplus::Ok;
}

// Sets the file's write time `seconds` after now, so a rewrite within the file system's
// time resolution still reads as new.
bool SetWriteTimeAhead(const std::wstring& path, int seconds) {
  VxFileHandle f(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr));
  FILETIME later;
  ::GetSystemTimeAsFileTime(&later);
  ULARGE_INTEGER t{{later.dwLowDateTime, later.dwHighDateTime}};
  t.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
  later.dwLowDateTime = t.LowPart;
  later.dwHighDateTime = t.HighPart;
  return ::SetFileTime(f.Get(), nullptr, nullptr, &later) != FALSE;
}

COLORREF FramePixel(CBaseWnd* host) {
  host->Compose();
  return ::GetPixel(host->FrameDC(), 10, 10) & 0xFFFFFF;
}

}  // namespace

TEST_F(WindowTest, RewrittenWallpaperIsNoticed) {
  ASSERT_TRUE(EnsureDataFolder());
  const std::wstring picture = DataFolderPath() + L"wall.bmp";
  ASSERT_TRUE(SaveSolidBmp(picture, Gdiplus::Color(255, 200, 30, 30)));
  ASSERT_TRUE(::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(picture.c_str()),
                                      SPIF_UPDATEINIFILE));
  ASSERT_TRUE(back.Create(nullptr));
  CBaseWnd* host = back.Host();
  host->CheckWallpaper();
  EXPECT_FALSE(host->CheckWallpaper()) << "nothing changed";
  // The same name, a new write time: noticed.
  ASSERT_TRUE(SetWriteTimeAhead(picture, 5));
  EXPECT_TRUE(host->CheckWallpaper());
  EXPECT_FALSE(host->CheckWallpaper());
  EXPECT_EQ(FramePixel(host), RGB(200, 30, 30)) << "the composed frame shows the picture";
  // Rewritten in place while the program runs: the host's own watch timer (every two
  // seconds) picks the new picture up; the deadline is generous for a loaded machine.
  ASSERT_TRUE(SaveSolidBmp(picture, Gdiplus::Color(255, 20, 40, 210)));
  ASSERT_TRUE(SetWriteTimeAhead(picture, 10));
  const DWORD start = ::GetTickCount();
  bool seen = false;
  while (!seen && ::GetTickCount() - start < 8000) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    seen = FramePixel(host) == RGB(20, 40, 210);
  }
  EXPECT_TRUE(seen) << "the watch timer did not notice the rewritten picture";
  std::printf("rewritten wallpaper noticed after %lu ms\n", ::GetTickCount() - start);
  ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(L""), SPIF_UPDATEINIFILE);
}

TEST_F(WindowTest, LosingTheForegroundClearsTheDeskHoverMarks) {
  wchar_t dir[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, dir);
  const std::wstring desktop = dir;
  PrepareDesktopShell();
  RemoveFolderContents(desktop);
  ::CreateDirectoryW((desktop + L"\\资料").c_str(), nullptr);
  TheApp().desk.config.deskPageOn = 1;
  ASSERT_TRUE(back.Create(nullptr));
  CBaseWnd* host = back.Host();
  ASSERT_NE(host->Desk(), nullptr);
  GetZhiItem* box = host->Desk()->FindBoxByName(L"文件夹");
  ASSERT_NE(box, nullptr);
  VxListItem* entry = box->list.GetItem(0);
  ASSERT_NE(entry, nullptr);
  const POINT on{entry->rcHover.left + 10, entry->rcHover.top + 10};
  ::SendMessageW(host->GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(on.x, on.y));
  ASSERT_EQ(box->hoverBox, 1);
  ASSERT_EQ(entry->nMouseState, 1);
  // Activation of the background window itself changes nothing.
  ::SendMessageW(back.GetSafeHwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(box->hoverBox, 1);
  ::SendMessageW(back.GetSafeHwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_EQ(box->hoverBox, 0);
  EXPECT_EQ(entry->nMouseState, 0) << "the entry under the mouse lost its highlight";
  back.DestroyWindow();
  RemoveFolderContents(desktop);
}

namespace {

std::vector<uint32_t> FrameBits(CBaseWnd* host) {
  DIBSECTION ds{};
  HGDIOBJ bits = ::GetCurrentObject(host->FrameDC(), OBJ_BITMAP);
  if (!bits || ::GetObjectW(bits, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits) return {};
  ::GdiFlush();
  const uint32_t* p = static_cast<const uint32_t*>(ds.dsBm.bmBits);
  return std::vector<uint32_t>(p, p + static_cast<size_t>(ds.dsBm.bmWidth) * ds.dsBm.bmHeight);
}

// The host's frame as kept from the last one equals, pixel for pixel, the frame composed
// afresh; prints where it does not.
void ExpectKeptFrameFresh(CBaseWnd* host, const char* after) {
  host->Compose();
  const std::vector<uint32_t> kept = FrameBits(host);
  host->Desk()->Painter().ForgetScene();
  host->Compose();
  const std::vector<uint32_t> fresh = FrameBits(host);
  ASSERT_FALSE(kept.empty());
  ASSERT_EQ(kept.size(), fresh.size());
  size_t differ = 0, first = 0;
  for (size_t i = 0; i < kept.size(); ++i)
    if ((kept[i] ^ fresh[i]) & 0xFFFFFFu) {
      if (!differ++) first = i;
    }
  const int w = ::GetSystemMetrics(SM_CXSCREEN);
  EXPECT_EQ(differ, 0u) << "after " << after << ": first at (" << first % w << "," << first / w << ")";
}

}  // namespace

// The desk keeps its composed page from frame to frame and composes again only what changed:
// after each kind of change the frame is the one a fresh composition gives.
TEST_F(WindowTest, TheKeptDeskPageFollowsEveryChange) {
  const std::wstring desktop = DesktopDir();
  PrepareDesktopShell();
  RemoveFolderContents(desktop);
  for (int i = 0; i < 40; ++i) PutFileBytes(desktop + L"\\笔记" + std::to_wstring(i) + L".txt", "x");
  for (int i = 0; i < 3; ++i) ::CreateDirectoryW((desktop + L"\\资料" + std::to_wstring(i)).c_str(), nullptr);
  TheApp().desk.config.deskPageOn = 1;
  ASSERT_TRUE(back.Create(nullptr));
  CBaseWnd* host = back.Host();
  CMyDesk* desk = host->Desk();
  ASSERT_NE(desk, nullptr);
  GetZhiItem* files = desk->FindBoxByName(L"文件");
  GetZhiItem* folders = desk->FindBoxByName(L"文件夹");
  ASSERT_TRUE(files && folders);
  ASSERT_GT(files->list.GetCount(), 10);
  host->Compose();  // the first frame, then each change
  auto mouse = [&](UINT message, WPARAM keys, POINT at) {
    ::SendMessageW(host->GetSafeHwnd(), message, keys, MAKELPARAM(at.x, at.y));
  };
  auto centre = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
  VxListItem* first = files->list.GetItem(0);
  VxListItem* second = files->list.GetItem(1);
  mouse(WM_MOUSEMOVE, 0, centre(first->rcHover));
  ASSERT_EQ(first->nMouseState, 1);
  ExpectKeptFrameFresh(host, "a hover in a box");
  mouse(WM_MOUSEMOVE, 0, centre(second->rcHover));
  ExpectKeptFrameFresh(host, "the hover moving on");
  mouse(WM_LBUTTONDOWN, MK_LBUTTON, centre(second->rcHover));
  mouse(WM_LBUTTONUP, 0, centre(second->rcHover));
  ASSERT_TRUE(second->IsSelected());
  ExpectKeptFrameFresh(host, "a click selecting an entry");
  const int scroll = files->scroll;
  desk->OnMouseWheel(-120, centre(CMyDesk::BoxListArea(files)));
  ASSERT_NE(files->scroll, scroll) << "the box of forty files scrolls";
  ExpectKeptFrameFresh(host, "a scroll");
  // An entry given to the desk list, hovered there, and flashing in a box.
  // The desk list adds a copy; the box's own entry is freed with its removal.
  VxListItem* leaving = files->list.GetItem(files->list.GetCount() - 1);
  VxListCtrl& deskList = desk->DeskList();
  deskList.AddItem(leaving, TRUE);
  VxListItem* loose = deskList.GetItem(deskList.GetCount() - 1);
  files->list.RemoveAt(leaving, TRUE);
  desk->LayoutBox(files, TRUE);
  ExpectKeptFrameFresh(host, "an entry leaving its box for the desk");
  mouse(WM_MOUSEMOVE, 0, centre(loose->rcHover));
  ExpectKeptFrameFresh(host, "a hover on the desk list");
  folders->list.GetItem(0)->nData[kEntryFlash] = 50;
  loose->nData[kEntryFlash] = 40;
  ExpectKeptFrameFresh(host, "flashes");
  // One box laid over another, then the other made active: the drawing order changes.
  const POINT to{files->rect.left + 40, files->rect.top + 40};
  const int w = folders->rect.right - folders->rect.left, h = folders->rect.bottom - folders->rect.top;
  folders->rect = RECT{to.x, to.y, to.x + w, to.y + h};
  desk->LayoutBox(folders, TRUE);
  ExpectKeptFrameFresh(host, "a box moved over another");
  desk->SetActiveBox(files);
  ExpectKeptFrameFresh(host, "the lower box made active");
  // A new wallpaper: everything is composed over it.
  ASSERT_TRUE(EnsureDataFolder());
  const std::wstring picture = DataFolderPath() + L"kept.bmp";
  ASSERT_TRUE(SaveSolidBmp(picture, Gdiplus::Color(255, 30, 160, 90)));
  ASSERT_TRUE(::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(picture.c_str()), 0));
  ASSERT_TRUE(host->CheckWallpaper());
  ExpectKeptFrameFresh(host, "a new wallpaper");
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(::GetPixel(host->FrameDC(), cx - 5, cy - 5) & 0xFFFFFF, RGB(30, 160, 90));
  ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(L""), 0);
  back.DestroyWindow();
  RemoveFolderContents(desktop);
}
