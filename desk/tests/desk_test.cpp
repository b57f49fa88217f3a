// The desk on a desktop the test makes itself: first-run organizing, loading what was
// saved, shell notifications, commands, sorting and view flags.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <map>
#include <memory>
#include <set>

#include "base/AppGlobals.h"
#include "desk/DeskFiles.h"
#include "desk/MyDesk.h"
#include "uilib/VxTypes.h"
#include "base/testing/test_support.h"
#include "desk/core/desk_icons.h"
#include "desk/core/desk_journal.h"

namespace {

std::wstring DesktopDir() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

void MakeFile(const std::wstring& name, const std::string& content = "text") {
  PutFileBytes(DesktopDir() + L"\\" + name, content);
}

void MakeShortcut(const std::wstring& name, const std::wstring& target) {
  VxComPtr<IShellLinkW> link;
  ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, reinterpret_cast<void**>(link.Put()))));
  link->SetPath(target.c_str());
  VxComPtr<IPersistFile> file;
  ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))));
  ASSERT_TRUE(SUCCEEDED(file->Save((DesktopDir() + L"\\" + name).c_str(), TRUE)));
}

void ResetGlobals() {
  AppGlobals& g = TheApp();
  g.desk.config = DeskConfig();
  g.desk.boxRecords.clear();
  g.desk.autoOrganize = 1;
  g.desk.shortcutTarget = g.desk.folderTarget = g.desk.fileTarget = L"";
}

std::set<std::wstring> Names(VxListCtrl& list) {
  std::set<std::wstring> names;
  for (VxListItem* e : list.Items()) names.insert(e->szName);
  return names;
}

std::vector<std::wstring> OrderedNames(VxListCtrl& list) {
  std::vector<std::wstring> names;
  for (VxListItem* e : list.Items()) names.push_back(e->szName);
  return names;
}

size_t FileSize(const std::wstring& path) { return FileBytes(path).size(); }

// A hidden window that owns the desk: shell notifications arrive here.
class TestOwner : public CDeskOwner {
 public:
  TestOwner() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TestOwner::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DeskTestOwner";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, L"DeskTestOwner", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TestOwner() override { ::DestroyWindow(hwnd_); }
  HWND OwnerHwnd() const override { return hwnd_; }
  void RequestRepaint() override {
    ++repaints;
    savePending = true;
  }
  void ClearPendingSave() override { savePending = false; }
  CMyDesk* desk = nullptr;
  int repaints = 0;
  int notifications = 0;
  bool savePending = false;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<TestOwner*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    if (m == WM_DESK_SHELLCHANGE && self) ++self->notifications;
    if (m == WM_DESK_SHELLCHANGE && self && self->desk) {
      self->desk->OnShellChangeMessage(w, l);
      return 0;
    }
    return ::DefWindowProcW(h, m, w, l);
  }
  HWND hwnd_;
};

// Pumps messages until `done` holds or two seconds pass.
template <class Pred>
bool PumpUntil(Pred done) {
  for (int i = 0; i < 200; ++i) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    if (done()) return true;
    ::Sleep(10);
  }
  return false;
}

class DeskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareDesktopShell();
    RemoveFolderContents(DesktopDir());
    RemoveDataFolder();
    ResetGlobals();
    ::CreateDirectoryW((DesktopDir() + L"\\资料").c_str(), nullptr);
    ::CreateDirectoryW((DesktopDir() + L"\\Projects").c_str(), nullptr);
    MakeFile(L"a.txt");
    MakeFile(L"报告.txt");
    MakeFile(L"notes.txt");
    MakeShortcut(L"记事本.lnk", L"C:\\windows\\notepad.exe");
  }
  void TearDown() override {
    RemoveFolderContents(DesktopDir());
    RemoveDataFolder();
  }
  static GetZhiItem* Box(CMyDesk& desk, const wchar_t* name) { return desk.FindBoxByName(name); }
};

}  // namespace

TEST_F(DeskTest, FirstRunOrganizesIntoFolderAndFileBoxes) {
  CMyDesk desk;
  desk.StartDesk();
  EXPECT_EQ(TheApp().desk.config.organizePending, 0);
  ASSERT_EQ(desk.Boxes().size(), 2u);
  GetZhiItem* folders = Box(desk, L"文件夹");
  GetZhiItem* files = Box(desk, L"文件");
  ASSERT_NE(folders, nullptr);
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(Names(folders->list), (std::set<std::wstring>{L"资料", L"Projects"}));
  EXPECT_EQ(files->list.GetCount(), 3);
  EXPECT_EQ(files->list.GetListType(), VXLT_LIST);
  EXPECT_EQ(folders->list.GetListType(), VXLT_BIGICON);
  EXPECT_EQ(folders->kind, KIND_FOLDER);
  // The shortcut and the recycle bin stay on the desk list.
  ASSERT_EQ(desk.DeskList().GetCount(), 2);
  std::set<int> kinds;
  for (VxListItem* e : desk.DeskList().Items()) kinds.insert(e->nData[kEntryKind]);
  EXPECT_EQ(kinds, (std::set<int>{KIND_SPECIAL, KIND_SHORTCUT}));
  for (VxListItem* e : folders->list.Items()) EXPECT_NE(e->pIcon, nullptr) << "every entry has its icon";
  // The automatic boxes sit at the right edge of the page.
  const RECT page = desk.PageRect();
  EXPECT_EQ(folders->rect.right, page.right - 5);
  EXPECT_EQ(folders->rect.top, page.top + 32);
  EXPECT_EQ(files->rect.top, page.top + 437);
}

TEST_F(DeskTest, SavedLayoutLoadsOnTheNextRun) {
  {
    CMyDesk desk;
    desk.StartDesk();
    desk.SaveDesk();
  }
  const std::wstring folder = DataFolderPath();
  EXPECT_EQ(FileSize(folder + L"deskconf.dat"), 526u);
  EXPECT_EQ(FileSize(folder + L"gezhiconf.dat"), 2 * 540u);
  EXPECT_EQ(FileSize(folder + L"文件夹"), 2 * 528u);
  EXPECT_EQ(FileSize(folder + L"文件"), 3 * 528u);
  EXPECT_EQ(FileSize(folder + L"deskiteminfo_20140101"), 2 * 528u);

  ResetGlobals();
  LoadConfig();
  EXPECT_EQ(TheApp().desk.config.organizePending, 0);
  CMyDesk again;
  again.StartDesk();
  ASSERT_EQ(again.Boxes().size(), 2u);
  EXPECT_EQ(Names(Box(again, L"文件夹")->list), (std::set<std::wstring>{L"资料", L"Projects"}));
  EXPECT_EQ(Box(again, L"文件")->list.GetCount(), 3);
  EXPECT_EQ(Box(again, L"文件")->list.GetListType(), VXLT_LIST);
  EXPECT_EQ(again.DeskList().GetCount(), 2);
}

TEST_F(DeskTest, ItemDeletedBetweenRunsIsDroppedAndNotWrittenBack) {
  {
    CMyDesk desk;
    desk.StartDesk();
    desk.SaveDesk();
  }
  ::DeleteFileW((DesktopDir() + L"\\notes.txt").c_str());
  ResetGlobals();
  LoadConfig();
  CMyDesk again;
  again.StartDesk();
  EXPECT_EQ(Names(Box(again, L"文件")->list), (std::set<std::wstring>{L"a.txt", L"报告.txt"}));
  again.SaveDesk();
  EXPECT_EQ(FileSize(DataFolderPath() + L"文件"), 2 * 528u);
}

TEST_F(DeskTest, BoxesFollowThePageCornerAndRenamedBoxesUseNewFiles) {
  {
    CMyDesk desk;
    desk.StartDesk();
    Box(desk, L"文件")->name = L"文档";
    desk.SaveDesk();
    EXPECT_EQ(FileSize(DataFolderPath() + L"文档"), 3 * 528u);
  }
  ResetGlobals();
  LoadConfig();
  CMyDesk again;
  again.StartDesk();
  const RECT before = Box(again, L"文档")->rect;
  RECT page = again.PageRect();
  page.left += 50;
  page.top += 20;
  again.SetPageRect(page);
  again.LoadDesk();
  const RECT after = Box(again, L"文档")->rect;
  EXPECT_EQ(after.left, before.left + 50);
  EXPECT_EQ(after.top, before.top + 20);
  EXPECT_EQ(Box(again, L"文档")->list.GetCount(), 3);
}

TEST_F(DeskTest, BoxesFollowTheWorkAreaAndASmallScreenLosesNothing) {
  std::map<std::wstring, RECT> wide;  // by box name, as the first run laid them out
  RECT page{};
  RECT small{};
  auto inside = [](const RECT& r, const RECT& p) {
    return r.left >= p.left && r.top >= p.top && r.right <= p.right && r.bottom <= p.bottom;
  };
  auto expectWide = [&](CMyDesk& desk, const char* when) {
    ASSERT_EQ(desk.Boxes().size(), wide.size()) << when;
    for (auto& b : desk.Boxes()) EXPECT_TRUE(::EqualRect(&b->rect, &wide[b->name])) << when;
  };
  {
    CMyDesk desk;
    desk.StartDesk();
    page = desk.PageRect();
    // The taskbar moves to the left and the resolution drops to 800 x 600.
    small = RECT{page.left + 60, page.top, page.left + 860, page.top + 600};
    desk.NewBox(POINT{page.left + 300, page.top + 100});
    for (auto& b : desk.Boxes()) wide[b->name] = b->rect;
    desk.FollowWorkArea(small);
    EXPECT_TRUE(::EqualRect(&desk.PageRect(), &small));
    for (auto& b : desk.Boxes()) EXPECT_TRUE(inside(b->rect, small)) << b->name.c_str();
    const RECT user = Box(desk, L"新建分类")->rect;  // fits: same place from the new corner
    EXPECT_EQ(user.left, page.left + 360);
    EXPECT_EQ(user.top, page.top + 100);
    CRect list;
    desk.DeskList().GetRect(&list);
    EXPECT_EQ(list.left, small.left + 10);
    EXPECT_EQ(list.right, small.right);
    desk.FollowWorkArea(page);
    expectWide(desk, "after growing back");
    desk.FollowWorkArea(small);
    desk.SaveDesk();  // the program ends on the small screen
  }
  {
    ResetGlobals();
    LoadConfig();
    CMyDesk again;  // and starts there again
    again.StartDesk();
    again.FollowWorkArea(small);
    for (auto& b : again.Boxes()) EXPECT_TRUE(inside(b->rect, small)) << b->name.c_str();
    again.SaveDesk();
  }
  ResetGlobals();
  LoadConfig();
  CMyDesk large;  // the large screen is back
  large.StartDesk();
  expectWide(large, "after two runs on the small screen");
  EXPECT_EQ(Box(large, L"新建分类")->list.GetCount(), 0);
  EXPECT_EQ(Box(large, L"文件")->list.GetCount(), 3);
}

TEST_F(DeskTest, BoxWhoseNameIsNoFileNameKeepsItsItems) {
  {
    CMyDesk desk;
    desk.StartDesk();
    Box(desk, L"文件")->name = L"工作: a/b?";
    desk.SaveDesk();
  }
  ResetGlobals();
  LoadConfig();
  CMyDesk again;
  again.StartDesk();
  GetZhiItem* box = Box(again, L"工作: a/b?");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->list.GetCount(), 3);
}

TEST_F(DeskTest, NewBoxesGetUniqueNames) {
  CMyDesk desk;
  desk.StartDesk();
  GetZhiItem* a = desk.NewBox(POINT{100, 100});
  GetZhiItem* b = desk.NewBox(POINT{400, 100});
  EXPECT_EQ(a->name, L"新建分类");
  EXPECT_EQ(b->name, L"新建分类(1)");
  EXPECT_EQ(b->rect.right - b->rect.left, 260);
  EXPECT_EQ(b->rect.bottom - b->rect.top, 318);
  EXPECT_TRUE(CMyDesk::BoxNameExists(L"新建分类(1)")) << "the box table was saved";
  EXPECT_FALSE(CMyDesk::BoxNameExists(L"新建分类(2)"));
}

TEST_F(DeskTest, SortByNameTwiceAscendsThenDescendsByPinyinInitials) {
  MakeFile(L"中文.txt");
  MakeFile(L"Beta.txt");
  CMyDesk desk;
  desk.StartDesk();
  GetZhiItem* files = Box(desk, L"文件");
  ASSERT_EQ(files->list.GetCount(), 5);
  desk.SortList(kDeskSortName, files);
  // a, B(eta), B(ao gao), N(otes), Z(hong wen): initials compared case-folded.
  const auto up = OrderedNames(files->list);
  EXPECT_EQ(up.front(), L"a.txt");
  EXPECT_EQ(up.back(), L"中文.txt");
  EXPECT_EQ(up[3], L"notes.txt");
  desk.SortList(kDeskSortName, files);
  const auto down = OrderedNames(files->list);
  EXPECT_EQ(down.front(), L"中文.txt");
  EXPECT_EQ(down.back(), L"a.txt");
  // The order is the list's order and its layout.
  EXPECT_LT(files->list.GetItem(0)->rcPos.top, files->list.GetItem(1)->rcPos.top);
}

TEST_F(DeskTest, RestoreRemovesUserBoxesAndOrganizesAfresh) {
  CMyDesk desk;
  desk.StartDesk();
  desk.NewBox(POINT{100, 100});
  TheApp().desk.config.smallIcons = 1;
  ASSERT_EQ(desk.Boxes().size(), 3u);
  desk.RestoreDesk();
  EXPECT_EQ(desk.Boxes().size(), 2u);
  EXPECT_EQ(Box(desk, L"新建分类"), nullptr);
  EXPECT_EQ(TheApp().desk.config.smallIcons, 0);
  EXPECT_EQ(TheApp().desk.config.organizePending, 0);
  EXPECT_EQ(FileSize(DataFolderPath() + L"gezhiconf.dat"), 2 * 540u);
}

TEST_F(DeskTest, OrganizeIconsMovesItemsIntoTheConfiguredBoxes) {
  CMyDesk desk;
  desk.StartDesk();
  GetZhiItem* links = desk.NewBox(POINT{100, 100});
  links->name = L"快捷方式";
  desk.SaveDesk();
  TheApp().desk.shortcutTarget = L"快捷方式";
  TheApp().desk.autoOrganize = 0;
  desk.OrganizeIcons();
  EXPECT_EQ(TheApp().desk.autoOrganize, 0) << "the setting comes back after organizing";
  GetZhiItem* box = Box(desk, L"快捷方式");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Names(box->list), (std::set<std::wstring>{L"记事本"}));
  EXPECT_EQ(desk.DeskList().GetCount(), 1);
}

TEST_F(DeskTest, ViewFlagsChangeTheDeskListAndAreSaved) {
  CMyDesk desk;
  desk.StartDesk();
  desk.SetSmallIcons();
  EXPECT_EQ(desk.DeskList().GetListType(), VXLT_ICON);
  std::string conf = FileBytes(DataFolderPath() + L"deskconf.dat");
  ASSERT_EQ(conf.size(), 526u);
  EXPECT_EQ(conf[2], 1);
  // Asking again for what is already set changes nothing and writes nothing.
  ::DeleteFileW((DataFolderPath() + L"deskconf.dat").c_str());
  desk.SetSmallIcons();
  EXPECT_EQ(::GetFileAttributesW((DataFolderPath() + L"deskconf.dat").c_str()), INVALID_FILE_ATTRIBUTES);
  desk.SetDefaultIcons();
  EXPECT_EQ(desk.DeskList().GetListType(), VXLT_BIGICON);
  desk.ToggleAutoArrange();
  desk.ToggleDblClickHide();
  conf = FileBytes(DataFolderPath() + L"deskconf.dat");
  EXPECT_EQ(conf[2], 0);
  EXPECT_EQ(conf[3], 0);
  EXPECT_EQ(conf[1], 1);
}

TEST_F(DeskTest, ShellNotificationsKeepTheListsInStep) {
  TestOwner owner;
  CMyDesk desk(&owner);
  owner.desk = &desk;
  desk.StartDesk();
  GetZhiItem* folders = Box(desk, L"文件夹");
  GetZhiItem* files = Box(desk, L"文件");
  desk.SetActiveBox(folders);

  // A new file lands in the active box, flashing.
  MakeFile(L"新文件.txt");
  ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSH, (DesktopDir() + L"\\新文件.txt").c_str(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Names(folders->list).count(L"新文件.txt") == 1; }))
      << owner.notifications << " notifications";
  for (VxListItem* e : folders->list.Items()) {
    if (std::wstring(e->szName) == L"新文件.txt") {
      EXPECT_EQ(e->nData[kEntryFlash], 60);
    }
  }
  EXPECT_GT(owner.repaints, 0);
  EXPECT_TRUE(owner.savePending);

  // Renaming through the shell keeps the entry where it is.
  std::wstring from = DesktopDir() + L"\\a.txt";
  from.push_back(L'\0');
  std::wstring to = DesktopDir() + L"\\b.txt";
  to.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_RENAME;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  ASSERT_EQ(::SHFileOperationW(&op), 0);
  ::SHChangeNotify(SHCNE_RENAMEITEM, SHCNF_PATHW | SHCNF_FLUSH, (DesktopDir() + L"\\a.txt").c_str(),
                   (DesktopDir() + L"\\b.txt").c_str());
  ASSERT_TRUE(PumpUntil([&] { return Names(files->list).count(L"b.txt") == 1; }));
  EXPECT_EQ(Names(files->list).count(L"a.txt"), 0u);

  // Deleting removes it.
  std::wstring gone = DesktopDir() + L"\\notes.txt";
  gone.push_back(L'\0');
  SHFILEOPSTRUCTW del{};
  del.wFunc = FO_DELETE;
  del.pFrom = gone.c_str();
  del.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  ASSERT_EQ(::SHFileOperationW(&del), 0);
  ::SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW | SHCNF_FLUSH, (DesktopDir() + L"\\notes.txt").c_str(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Names(files->list).count(L"notes.txt") == 0; }));
  owner.desk = nullptr;
}

TEST_F(DeskTest, NewFileGoesToTheBoxTheOrganizeRuleNames) {
  TestOwner owner;
  CMyDesk desk(&owner);
  owner.desk = &desk;
  desk.StartDesk();
  GetZhiItem* mine = desk.NewBox(POINT{100, 100});
  mine->name = L"我的文件";
  desk.SetActiveBox(nullptr);
  TheApp().desk.autoOrganize = 1;
  TheApp().desk.fileTarget = L"我的文件";
  MakeFile(L"计划.txt");
  ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSH, (DesktopDir() + L"\\计划.txt").c_str(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Names(mine->list).count(L"计划") + Names(mine->list).count(L"计划.txt") == 1; }));
  EXPECT_EQ(desk.DeskList().GetCount(), 2) << "nothing new on the desk list";
  owner.desk = nullptr;
}

TEST_F(DeskTest, RefreshDropsVanishedItemsAndAddsNewOnes) {
  CMyDesk desk;
  desk.StartDesk();
  ::DeleteFileW((DesktopDir() + L"\\a.txt").c_str());
  MakeFile(L"later.txt");
  desk.Refresh();
  EXPECT_EQ(Names(Box(desk, L"文件")->list).count(L"a.txt"), 0u);
  EXPECT_EQ(Names(desk.DeskList()).count(L"later.txt"), 1u);
}

namespace {

// Classes the icon tests make in the real registry and take away again, whatever happens.
class TestClasses {
 public:
  TestClasses() {
    Remove();
    Set(L".vxpf", L"VxTest.PerFile");
    Set(L"VxTest.PerFile\\DefaultIcon", L"%1");
    Set(L".vxplain", L"VxTest.Plain");
    Set(L"VxTest.Plain\\DefaultIcon", L"C:\\windows\\system32\\shell32.dll,3");
    Set(L".vxih", L"VxTest.Handler");
    Set(L"VxTest.Handler\\shellex\\IconHandler", L"{00021401-0000-0000-C000-000000000046}");
  }
  ~TestClasses() { Remove(); }
  TestClasses(const TestClasses&) = delete;
  TestClasses& operator=(const TestClasses&) = delete;

 private:
  static void Set(const wchar_t* path, const wchar_t* value) {
    HKEY raw = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_WRITE, nullptr, &raw,
                                nullptr),
              ERROR_SUCCESS)
        << path;
    VxRegKey key(raw);
    ::RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
  }
  static void Remove() {
    for (const wchar_t* path : {L".vxpf", L"VxTest.PerFile", L".vxplain", L"VxTest.Plain", L".vxih",
                                L"VxTest.Handler"})
      ::RegDeleteTreeW(HKEY_CLASSES_ROOT, path);
  }
};

bool SamePixels(Gdiplus::Bitmap* a, Gdiplus::Bitmap* b) {
  if (!a || !b) return a == b;
  if (a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
  Gdiplus::Rect r(0, 0, static_cast<INT>(a->GetWidth()), static_cast<INT>(a->GetHeight()));
  Gdiplus::BitmapData da, db;
  if (a->LockBits(&r, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &da) != Gdiplus::Ok) return false;
  if (b->LockBits(&r, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &db) != Gdiplus::Ok) {
    a->UnlockBits(&da);
    return false;
  }
  bool same = true;
  for (INT y = 0; y < r.Height && same; ++y)
    same = memcmp(static_cast<BYTE*>(da.Scan0) + y * da.Stride,
                  static_cast<BYTE*>(db.Scan0) + y * db.Stride, static_cast<size_t>(r.Width) * 4) == 0;
  a->UnlockBits(&da);
  b->UnlockBits(&db);
  return same;
}

}  // namespace

TEST_F(DeskTest, RegistryDecidesWhichTypesShareOneIconLookup) {
  ShellDesktop shell;
  // Unknown before the classes exist: such a type shows the generic icon, shared by all.
  EXPECT_TRUE(shell.SharesIconByExtension(L"vxpf"));
  TestClasses classes;
  EXPECT_TRUE(shell.SharesIconByExtension(L"vxpf")) << "decided once per listing";
  shell.Children();
  EXPECT_EQ(ReadIconClassFacts(L"vxpf").defaultIcon, u"%1");
  EXPECT_FALSE(shell.SharesIconByExtension(L"vxpf")) << "DefaultIcon %1: the file's own icon";
  EXPECT_TRUE(ReadIconClassFacts(L"vxih").hasIconHandler);
  EXPECT_FALSE(shell.SharesIconByExtension(L"vxih")) << "an icon handler picks per file";
  EXPECT_TRUE(shell.SharesIconByExtension(L"vxplain"));
  EXPECT_TRUE(shell.SharesIconByExtension(L"txt"));
  for (const wchar_t* ext : {L"exe", L"ico", L"lnk", L"url", L"dll", L"msi"})
    EXPECT_FALSE(shell.SharesIconByExtension(ext)) << ext;
}

TEST_F(DeskTest, IconsAreTheShellsOwnForEveryItemType) {
  TestClasses classes;
  for (const wchar_t* name : {L"b.docx", L"c.pdf", L"d.jpg", L"e.png", L"f.zip", L"g.ini",
                              L"h.xlsx", L"i.mp3", L"j.exe", L"k.vxplain", L"l.vxpf", L"m.vxih",
                              L"README", L"n.ICO"})
    MakeFile(name);
  MakeShortcut(L"命令行.lnk", L"C:\\windows\\system32\\cmd.exe");
  CMyDesk desk;
  desk.StartDesk();
  ShellDesktop fresh;  // its own render cache, asked about each item itself
  int checked = 0;
  std::set<std::wstring> types;
  std::vector<VxListCtrl*> lists{&desk.DeskList()};
  for (const auto& box : desk.Boxes()) lists.push_back(&box->list);
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items()) {
      const auto pidl = static_cast<LPCITEMIDLIST>(e->pData);
      SHFILEINFOW fi{};
      ASSERT_TRUE(::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &fi, sizeof(fi),
                                   SHGFI_PIDL | SHGFI_SYSICONINDEX))
          << e->szPath;
      EXPECT_EQ(desk.Shell().IconIndex(pidl, e->szPath, e->nData[kEntryKind]), fi.iIcon) << e->szPath;
      std::unique_ptr<Gdiplus::Bitmap> own(fresh.Icon48(pidl));
      EXPECT_TRUE(SamePixels(static_cast<Gdiplus::Bitmap*>(e->pIcon), own.get())) << e->szPath;
      types.insert(ToW(DeskIconExtension(ToU16(e->szPath))));
      ++checked;
    }
  // The six items of the fixture, the fifteen made here and the recycle bin.
  EXPECT_EQ(checked, 22);
  EXPECT_GE(types.size(), 14u);
}

namespace {

void PutEncoded(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  PutFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> ItemBytes(std::initializer_list<std::wstring> names) {
  std::vector<DeskItemRecord> items;
  for (const std::wstring& n : names) items.push_back(DeskItemRecord{ToU16(DesktopDir() + L"\\" + n), 0, 0});
  return EncodeItemFile(items);
}

// Every item of the desktop, by display name, in exactly one list.
void ExpectEachItemOnce(CMyDesk& desk, size_t desktopItems) {
  std::multiset<std::wstring> all;
  for (VxListItem* e : desk.DeskList().Items()) all.insert(e->szName);
  for (auto& b : desk.Boxes())
    for (VxListItem* e : b->list.Items()) all.insert(e->szName);
  EXPECT_EQ(all.size(), desktopItems);
  for (const std::wstring& n : all) EXPECT_EQ(all.count(n), 1u) << "listed twice: " << n;
}

}  // namespace

// A set of files as an older version or a crash may have left it: an item in two lists, a
// box whose item file is missing, an item file no box names, and a box written without the
// name mapping ("促销%4E00" is its name, not an escape). It loads whole, with every desktop
// item in exactly one list and every box under the name the table holds.
TEST_F(DeskTest, LoaderRepairsWhatACrashOrAnOlderVersionLeft) {
  const std::wstring folder = DataFolderPath();
  ASSERT_TRUE(EnsureDataFolder());
  DeskConfig config;
  config.organizePending = 0;
  config.deskItemFile = ToU16(folder + L"deskiteminfo_20140101");
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(EncodeDeskConfig(config, &bytes));
  PutEncoded(folder + L"deskconf.dat", bytes);
  bytes.clear();
  for (const wchar_t* name : {L"文件夹", L"促销%4E00", L"空"}) {
    GeziSaveData record;
    record.left = 100;
    record.right = 360;
    record.bottom = 300;
    record.itemFile = ToU16(folder + name);
    ASSERT_TRUE(EncodeGeziSaveData(record, &bytes));
  }
  PutEncoded(folder + L"gezhiconf.dat", bytes);
  PutEncoded(folder + L"文件夹", ItemBytes({L"资料", L"a.txt"}));
  PutEncoded(folder + L"促销%4E00", ItemBytes({L"notes.txt", L"a.txt"}));
  PutEncoded(folder + L"旧格子", ItemBytes({L"记事本.lnk"}));
  PutEncoded(folder + L"deskiteminfo_20140101", ItemBytes({L"报告.txt", L"资料", L"Projects"}));

  LoadConfig();
  {
    CMyDesk desk;
    desk.StartDesk();
    ASSERT_EQ(desk.Boxes().size(), 3u);
    EXPECT_EQ(Names(Box(desk, L"文件夹")->list), (std::set<std::wstring>{L"资料", L"a.txt"}));
    ASSERT_NE(Box(desk, L"促销%4E00"), nullptr);
    EXPECT_EQ(Names(Box(desk, L"促销%4E00")->list), (std::set<std::wstring>{L"notes.txt"}));
    EXPECT_EQ(Box(desk, L"空")->list.GetCount(), 0);
    // 记事本.lnk, in no file the table names, and the recycle bin join the desk list.
    EXPECT_EQ(desk.DeskList().GetCount(), 4);
    ExpectEachItemOnce(desk, 7);
    desk.SaveDesk();
  }
  ResetGlobals();
  LoadConfig();
  CMyDesk again;
  again.StartDesk();
  ASSERT_NE(Box(again, L"促销%4E00"), nullptr) << "the name survives its own save";
  EXPECT_EQ(Names(Box(again, L"促销%4E00")->list), (std::set<std::wstring>{L"notes.txt"}));
  ExpectEachItemOnce(again, 7);
}

// A save cut short after its journal was written is finished at the next start; one cut
// short before leaves the old files and no staged ones.
TEST_F(DeskTest, SaveCutShortIsFinishedOrThrownAway) {
  const std::wstring folder = DataFolderPath();
  const std::wstring staging = folder + L"desksave.new\\";
  ASSERT_TRUE(EnsureDataFolder());
  PutFileBytes(folder + L"文件", "old");
  PutFileBytes(folder + L"gezhiconf.dat", "old");
  ASSERT_TRUE(::CreateDirectoryW(staging.c_str(), nullptr));
  PutFileBytes(staging + L"0", "new files");
  PutFileBytes(staging + L"1", "new table");
  RecoverDeskFiles();
  EXPECT_EQ(FileBytes(folder + L"文件"), "old") << "no journal: the staged files are not the layout";
  EXPECT_EQ(::GetFileAttributesW(staging.c_str()), INVALID_FILE_ATTRIBUTES);

  ASSERT_TRUE(::CreateDirectoryW(staging.c_str(), nullptr));
  PutFileBytes(staging + L"1", "new table");  // "0" was moved before the cut
  PutFileBytes(folder + L"文件", "new files");
  std::vector<uint8_t> journal;
  ASSERT_TRUE(EncodeDeskJournal({{u"0", u"文件"}, {u"1", u"gezhiconf.dat"}}, &journal));
  PutEncoded(folder + L"desksave.jnl", journal);
  LoadConfig();
  EXPECT_EQ(FileBytes(folder + L"文件"), "new files");
  EXPECT_EQ(FileBytes(folder + L"gezhiconf.dat"), "new table");
  EXPECT_EQ(::GetFileAttributesW((folder + L"desksave.jnl").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(::GetFileAttributesW(staging.c_str()), INVALID_FILE_ATTRIBUTES);
}
