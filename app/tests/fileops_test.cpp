// The desk's file operations in the real program windows over real files of the prefix's
// Desktop, driven by SendInput keys and clicks and by the menus' own command messages. The
// program's message loop runs here (the same pre-translation as the program's own loop);
// modal parts (the shell's menu, its confirmations) are answered from a timer.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <functional>
#include <string>

#include "app/BaseWnd.h"
#include "app/DialogBack.h"
#include "app/resource.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "desk/MyDesk.h"
#include "uilib/VxDialog.h"
#include "app/dialogs/DialogRename.h"

namespace {

void Click(POINT at, bool right = false) {
  Mouse(at, 0);
  RunFor(60);
  Mouse(at, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
  Mouse(at, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}
void Key(WORD vk, WORD modifier = 0) {
  INPUT in[4] = {};
  int n = 0;
  auto add = [&](WORD k, DWORD f) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = k;
    in[n++].ki.dwFlags = f;
  };
  if (modifier) add(modifier, 0);
  add(vk, 0);
  add(vk, KEYEVENTF_KEYUP);
  if (modifier) add(modifier, KEYEVENTF_KEYUP);
  ::SendInput(n, in, sizeof(INPUT));
  RunFor(150);
}
void Type(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = c;
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
    RunFor(20);
  }
}

// Answers what the shell puts up on other threads (confirmations): Yes.
BOOL CALLBACK AnswerYes(HWND h, LPARAM own) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  wchar_t cls[32] = {};
  ::GetClassNameW(h, cls, 32);
  // The program's own dialogs are left alone; what is left is the shell's.
  if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(h) && wcscmp(cls, L"#32770") == 0 &&
      h != reinterpret_cast<HWND>(own) && !CVxDialog::FromHandle(h)) {
    ::PostMessageW(h, WM_COMMAND, IDYES, 0);
    ::PostMessageW(h, WM_COMMAND, IDOK, 0);
  }
  return TRUE;
}

void CALLBACK AnswerFromTimer(HWND, UINT, UINT_PTR, DWORD) { ::EnumWindows(AnswerYes, 0); }

class FileOps : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDataFolder();
    PrepareDesktopShell();
    desk_ = DesktopDir();
    RemoveFolderContents(desk_);
    ::CreateDirectoryW((desk_ + L"\\项目").c_str(), nullptr);
    PutFileBytes(desk_ + L"\\a.txt", "a");
    PutFileBytes(desk_ + L"\\b.txt", "b");
    AppGlobals& g = TheApp();
    g.desk.config = DeskConfig();
    g.desk.config.deskPageOn = 1;
    g.closePrompt = 0;
    g.currentView = 0;
    if (::OpenClipboard(nullptr)) {
      ::EmptyClipboard();
      ::CloseClipboard();
    }
    ::OleInitialize(nullptr);
    ASSERT_TRUE(back_.Create(nullptr));
    // As the program does: the template is sized to the screen once made.
    ::SetWindowPos(back_.GetSafeHwnd(), nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN) - 1,
                   ::GetSystemMetrics(SM_CYSCREEN) - 1, SWP_NOZORDER);
    ::SetForegroundWindow(back_.GetSafeHwnd());
    RunFor(300);
    desk = back_.Desk();
    ASSERT_NE(desk, nullptr);
    files = desk->FindBoxByName(L"文件");
    ASSERT_NE(files, nullptr);
  }
  void TearDown() override {
    if (back_.GetSafeHwnd()) back_.DestroyWindow();
    Pump();
    ::OleUninitialize();
    RemoveFolderContents(desk_);
    RemoveDataFolder();
  }
  VxListItem* Entry(const wchar_t* path) {
    for (auto* list : desk->Model().AllLists())
      for (VxListItem* e : list->Items())
        if (_wcsicmp(e->szPath, (desk_ + L"\\" + path).c_str()) == 0) return e;
    return nullptr;
  }
  // The screen point of an entry's icon or row.
  POINT At(const wchar_t* path) {
    VxListItem* e = Entry(path);
    GetZhiItem* box = nullptr;
    for (auto& b : desk->Boxes())
      if (b->list.IndexOf(e) >= 0) box = b.get();
    POINT p{(e->rcHover.left + e->rcHover.right) / 2, (e->rcHover.top + e->rcHover.bottom) / 2 - (box ? box->scroll : 0)};
    ::ClientToScreen(back_.Host()->GetSafeHwnd(), &p);
    return p;
  }
  void Command(UINT id) { ::SendMessageW(back_.Host()->GetSafeHwnd(), WM_COMMAND, id, 0); }
  bool SettleFiles(const std::function<bool()>& done) {
    return RunUntil([&] {
      ::EnumWindows(AnswerYes, 0);
      return done() && desk->FileOps().RunningOperations() == 0;
    });
  }

  std::wstring desk_;
  CDialogBack back_;
  CMyDesk* desk = nullptr;
  GetZhiItem* files = nullptr;
};

std::vector<std::wstring> ClipboardPaths(DWORD* effect) {
  std::vector<std::wstring> paths;
  *effect = 0;
  if (!::OpenClipboard(nullptr)) return paths;
  if (HANDLE h = ::GetClipboardData(CF_HDROP)) {
    wchar_t p[MAX_PATH];
    const UINT n = ::DragQueryFileW(static_cast<HDROP>(h), 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i)
      if (::DragQueryFileW(static_cast<HDROP>(h), i, p, MAX_PATH)) paths.emplace_back(p);
  }
  if (HANDLE h = ::GetClipboardData(::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT)))
    if (auto* v = static_cast<DWORD*>(::GlobalLock(h))) {
      *effect = *v;
      ::GlobalUnlock(h);
    }
  ::CloseClipboard();
  return paths;
}

}  // namespace

TEST_F(FileOps, CutPasteGhostsAndPasteShortcutsTwice) {
  Click(At(L"a.txt"));
  RunFor(200);
  Key('A', VK_CONTROL);
  EXPECT_EQ(files->list.GetSelection().size(), 2u) << "Control+A selects the active box";
  Key('X', VK_CONTROL);
  ASSERT_TRUE(RunUntil([&] { return Entry(L"a.txt")->pAlphaImage && Entry(L"b.txt")->pAlphaImage; }))
      << "Control+X ghosts both";
  DWORD effect = 0;
  EXPECT_EQ(ClipboardPaths(&effect).size(), 2u);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_FALSE(desk->PasteIsCopy());
  Key('V', VK_CONTROL);
  ASSERT_TRUE(RunUntil([&] { return desk->ClipboardFiles().empty(); })) << "the paste empties the clipboard";
  EXPECT_TRUE(ClipboardPaths(&effect).empty());
  EXPECT_FALSE(Entry(L"a.txt")->pAlphaImage || Entry(L"b.txt")->pAlphaImage) << "ghosts go";
  EXPECT_TRUE(Exists(desk_ + L"\\a.txt") && Exists(desk_ + L"\\b.txt"));

  Click(At(L"a.txt"));
  Key('C', VK_CONTROL);
  ASSERT_TRUE(RunUntil([&] { return desk->ClipboardFiles().size() == 1 && desk->PasteIsCopy(); }));
  Command(ID_PASTE_SHORTCUT);
  Command(ID_PASTE_SHORTCUT);
  EXPECT_TRUE(Exists(desk_ + L"\\a -副本.lnk"));
  EXPECT_TRUE(Exists(desk_ + L"\\a -副本(1).lnk"));
  EXPECT_TRUE(RunUntil([&] { return Entry(L"a -副本.lnk") && Entry(L"a -副本(1).lnk"); }));
}

TEST_F(FileOps, NewFoldersRenameAndDelete) {
  for (int i = 0; i < 3; ++i) Command(ID_NEW_ITEM_FIRST + 1);
  for (const wchar_t* n : {L"\\新建文件夹", L"\\新建文件夹(1)", L"\\新建文件夹(2)"})
    EXPECT_TRUE(Exists(desk_ + n)) << "missing " << n;

  // F2 then Escape keeps the name; a bad name is refused and kept; a good one renames.
  Click(At(L"a.txt"));
  Key(VK_F2);
  Type(L"zz");
  Key(VK_ESCAPE);
  RunFor(200);
  EXPECT_TRUE(Exists(desk_ + L"\\a.txt"));
  EXPECT_STREQ(Entry(L"a.txt")->szName, L"a.txt");
  Click(At(L"a.txt"));
  Key(VK_F2);
  Type(L"x?y");
  Key(VK_RETURN);
  RunFor(200);
  EXPECT_TRUE(Exists(desk_ + L"\\a.txt")) << "a refused name loses nothing";
  EXPECT_FALSE(desk->FileOps().RefusalText().empty()) << "and says why";
  EXPECT_STREQ(Entry(L"a.txt")->szName, L"a.txt");
  const int place = files->list.IndexOf(Entry(L"a.txt"));
  Click(At(L"a.txt"));
  Key(VK_F2);
  Type(L"plan");
  Key(VK_RETURN);
  const bool renamed = RunUntil([&] { return Exists(desk_ + L"\\plan.txt") && Entry(L"plan.txt"); });
  ASSERT_TRUE(renamed);
  EXPECT_FALSE(Exists(desk_ + L"\\a.txt"));
  Key(VK_F5);
  EXPECT_EQ(files->list.IndexOf(Entry(L"plan.txt")), place) << "a rescan keeps the renamed entry in its place";

  // Shift+Delete deletes for good; Delete sends to the recycle bin.
  Click(At(L"plan.txt"));
  Key(VK_DELETE, VK_SHIFT);
  // b.txt moves up into the freed place: clicked once it has.
  ASSERT_TRUE(SettleFiles([&] { return !Exists(desk_ + L"\\plan.txt") && !Entry(L"plan.txt"); }));
  Click(At(L"b.txt"));
  Key(VK_DELETE);
  ASSERT_TRUE(SettleFiles([&] { return !Exists(desk_ + L"\\b.txt"); }));
  EXPECT_TRUE(RunUntil([&] { return !Entry(L"b.txt") && !Entry(L"plan.txt"); }));
  // The recycle bin holds b.txt, and not plan.txt.
  IShellFolder* desktop = nullptr;
  ASSERT_TRUE(SUCCEEDED(::SHGetDesktopFolder(&desktop)));
  LPITEMIDLIST binPidl = nullptr;
  ::SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &binPidl);
  IShellFolder* bin = nullptr;
  bool sawB = false, sawPlan = false, binListed = false;
  if (binPidl && SUCCEEDED(desktop->BindToObject(binPidl, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&bin)))) {
    IEnumIDList* items = nullptr;
    if (bin->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) == S_OK) {
      LPITEMIDLIST child = nullptr;
      while (items->Next(1, &child, nullptr) == S_OK) {
        STRRET sr{};
        wchar_t name[MAX_PATH] = {};
        if (SUCCEEDED(bin->GetDisplayNameOf(child, SHGDN_NORMAL, &sr))) ::StrRetToBufW(&sr, child, name, MAX_PATH);
        binListed = true;
        sawB |= wcsncmp(name, L"b", 1) == 0;
        sawPlan |= wcsncmp(name, L"计划", 2) == 0;
        ::CoTaskMemFree(child);
      }
      items->Release();
    }
    bin->Release();
  }
  ::CoTaskMemFree(binPidl);
  desktop->Release();
  // Wine keeps its recycle bin in the Unix user's trash, which a test prefix may not reach:
  // then the bin lists nothing and only the flag passed to the shell tells the two apart.
  if (binListed) {
    EXPECT_TRUE(sawB) << "Delete sends to the recycle bin";
  }
  EXPECT_FALSE(sawPlan) << "Shift+Delete does not";
}

namespace {
// Picks "删除" from the shell's menu once it shows, with a real click on that item.
struct MenuPick {
  static bool shown;
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menuWnd = ::FindWindowW(L"#32768", nullptr);
    if (!menuWnd || !::IsWindowVisible(menuWnd)) return;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < ::GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
      if (!wcsstr(text, L"删除") && !wcsstr(text, L"Delete")) continue;
      RECT r;
      if (!::GetMenuItemRect(nullptr, menu, i, &r)) continue;
      shown = true;
      ::KillTimer(nullptr, id);
      POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
      Mouse(c, 0);
      Mouse(c, MOUSEEVENTF_LEFTDOWN);
      Mouse(c, MOUSEEVENTF_LEFTUP);
      return;
    }
  }
};
bool MenuPick::shown = false;
}  // namespace

TEST_F(FileOps, RightClickShowsTheShellMenuAndItsDeleteWorks) {
  MenuPick::shown = false;
  const UINT_PTR pick = ::SetTimer(nullptr, 0, 100, &MenuPick::OnTimer);
  const UINT_PTR answer = ::SetTimer(nullptr, 0, 100, &AnswerFromTimer);
  Click(At(L"b.txt"), true);
  EXPECT_TRUE(SettleFiles([&] { return MenuPick::shown && !Exists(desk_ + L"\\b.txt"); }));
  ::KillTimer(nullptr, pick);
  ::KillTimer(nullptr, answer);
  EXPECT_TRUE(MenuPick::shown) << "the shell's menu with its delete item";
  EXPECT_FALSE(Exists(desk_ + L"\\b.txt"));
}
