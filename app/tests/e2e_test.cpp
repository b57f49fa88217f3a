// The real Tessary.exe over a desktop made here, driven by real input: SendInput mouse and
// keys at screen points. The tray icon's right click is the one thing sent as a message (the
// test screen has no notification area to click): the program then shows its real menu,
// which is worked with the keyboard. What the program saved is read back from its data
// files; each state is saved as a PNG.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <gdiplus.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "app/DialogBack.h"
#include "uilib/VxRaii.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "desk/core/desk_boxes.h"
#include "desk/core/desk_records.h"
#include "app/resource.h"

namespace {

const wchar_t kTitle[] = L"Vexlo桌面";

std::wstring DesktopFolder() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path);
  return path;
}

bool MakeShortcut(const std::wstring& link, const std::wstring& target) {
  IShellLinkW* sl = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&sl))))
    return false;
  sl->SetPath(target.c_str());
  IPersistFile* pf = nullptr;
  bool ok = false;
  if (SUCCEEDED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pf)))) {
    ok = SUCCEEDED(pf->Save(link.c_str(), TRUE));
    pf->Release();
  }
  sl->Release();
  return ok;
}

// A visible top-level window of process `pid` with class `cls` (and title, when given),
// other than `except` (the background window is a dialog too).
struct WindowSearch {
  DWORD pid;
  const wchar_t* cls;
  const wchar_t* title;
  HWND except;
  HWND found;
};

// The top toolbar: a dialog too, the band 28 rows high across the top of the screen. The
// searches for the program's other dialogs pass over it.
bool IsTopToolbar(HWND h) {
  RECT r;
  ::GetWindowRect(h, &r);
  return r.top == 0 && r.bottom == 28 && r.right - r.left == ::GetSystemMetrics(SM_CXSCREEN);
}

// Window enumeration callbacks are stdcall on 32-bit Windows: a lambda will not do.
BOOL CALLBACK MatchWindow(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  if (pid != s->pid || h == s->except || !::IsWindowVisible(h) || IsTopToolbar(h)) return TRUE;
  wchar_t buf[128] = {};
  if (s->cls) {
    ::GetClassNameW(h, buf, 128);
    if (wcscmp(buf, s->cls) != 0) return TRUE;
  }
  if (s->title) {
    ::GetWindowTextW(h, buf, 128);
    if (wcscmp(buf, s->title) != 0) return TRUE;
  }
  s->found = h;
  return FALSE;
}

HWND FindWindowOf(DWORD pid, const wchar_t* cls, const wchar_t* title, HWND except = nullptr) {
  WindowSearch s{pid, cls, title, except, nullptr};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

struct WindowCount {
  DWORD pid;
  const wchar_t* cls;
  int count;
};

BOOL CALLBACK CountWindow(HWND h, LPARAM lp) {
  auto* c = reinterpret_cast<WindowCount*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  wchar_t buf[128] = {};
  ::GetClassNameW(h, buf, 128);
  if (pid == c->pid && ::IsWindowVisible(h) && wcscmp(buf, c->cls) == 0 && !IsTopToolbar(h)) ++c->count;
  return TRUE;
}

// How many visible top-level windows of process `pid` have class `cls`.
int CountWindowsOf(DWORD pid, const wchar_t* cls) {
  WindowCount c{pid, cls, 0};
  ::EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&c));
  return c.count;
}

HWND WaitForWindowOf(DWORD pid, const wchar_t* cls, const wchar_t* title, int ms,
                     HWND except = nullptr) {
  for (int waited = 0; waited < ms; waited += 50) {
    if (HWND h = FindWindowOf(pid, cls, title, except)) return h;
    ::Sleep(50);
  }
  return nullptr;
}

struct LargestChild {
  HWND h = nullptr;
  long area = 0;
};

BOOL CALLBACK KeepLargestChild(HWND h, LPARAM lp) {
  auto* b = reinterpret_cast<LargestChild*>(lp);
  RECT r;
  ::GetWindowRect(h, &r);
  const long area = static_cast<long>(r.right - r.left) * (r.bottom - r.top);
  if (::IsWindowVisible(h) && area > b->area) {
    b->h = h;
    b->area = area;
  }
  return TRUE;
}

// The host is the child of the background window that takes the mouse: the largest one.
HWND FindHost(HWND back) {
  LargestChild best;
  ::EnumChildWindows(
      back, KeepLargestChild,
      reinterpret_cast<LPARAM>(&best));
  return best.h;
}

void SendMouse(int x, int y, DWORD buttons) {
  // Rounded up, so that however Wine scales 0..65535 back to pixels it lands on (x, y).
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((x * 65536LL + cx - 1) / cx);
  in.mi.dy = static_cast<LONG>((y * 65536LL + cy - 1) / cy);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  ::SendInput(1, &in, sizeof(in));
  ::Sleep(30);
}

void Drag(POINT from, POINT to) {
  SendMouse(from.x, from.y, 0);
  ::Sleep(100);
  SendMouse(from.x, from.y, MOUSEEVENTF_LEFTDOWN);
  ::Sleep(100);
  const int steps = 12;
  for (int i = 1; i <= steps; ++i)
    SendMouse(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps, 0);
  ::Sleep(100);
  SendMouse(to.x, to.y, MOUSEEVENTF_LEFTUP);
  ::Sleep(300);
}

void SendKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
  ::Sleep(120);
}

void Click(POINT at, DWORD down, DWORD up) {
  SendMouse(at.x, at.y, 0);
  ::Sleep(100);
  SendMouse(at.x, at.y, down);
  SendMouse(at.x, at.y, up);
}

void LeftClick(POINT at) { Click(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }
void RightClick(POINT at) { Click(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }

// The open popup menu of `pid` (class "#32768"), or null when none shows within `ms`.
HWND WaitForMenu(DWORD pid, int ms = 5000) {
  HWND menu = WaitForWindowOf(pid, L"#32768", nullptr, ms);
  if (menu) ::Sleep(200);  // drawn, so that a screenshot shows it
  return menu;
}

// Moves the selection of the open menu: the first Down selects the first item, Down skips
// separators, Right opens a submenu with its first item selected.
void PressKeys(std::initializer_list<WORD> keys) {
  for (WORD vk : keys) SendKey(vk);
}

// Enter on the selected item; true once every menu of `pid` has closed.
bool ChooseSelected(DWORD pid) {
  SendKey(VK_RETURN);
  for (int waited = 0; waited < 5000; waited += 50) {
    if (!FindWindowOf(pid, L"#32768", nullptr)) return true;
    ::Sleep(50);
  }
  return false;
}

// True when `upper` comes before `lower` in the z-order of the top-level windows.
bool IsAbove(HWND upper, HWND lower) {
  for (HWND h = ::GetTopWindow(nullptr); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (h == upper) return true;
    if (h == lower) return false;
  }
  return false;
}

// The confirmation dialog of the program: a visible dialog other than the background window.
HWND WaitForPrompt(DWORD pid, HWND back, int ms = 5000) {
  HWND prompt = WaitForWindowOf(pid, L"#32770", nullptr, ms, back);
  if (prompt) ::Sleep(300);  // drawn, so that a screenshot shows it
  return prompt;
}

// Enter on the selected menu item, then the confirmation it opens (null when none came).
HWND ChooseAndWaitForPrompt(DWORD pid, HWND back) {
  return ChooseSelected(pid) ? WaitForPrompt(pid, back) : nullptr;
}

// Clicks OK or cancel of the confirmation with the mouse and waits until it has closed. The
// buttons are 72 x 28 at (width - 170, height - 45) and (width - 90, height - 45) of its
// client area.
bool AnswerPrompt(HWND prompt, bool ok) {
  RECT client;
  if (!::GetClientRect(prompt, &client)) return false;
  POINT at{client.right - (ok ? 170 : 90) + 36, client.bottom - 45 + 14};
  ::ClientToScreen(prompt, &at);
  LeftClick(at);
  for (int waited = 0; waited < 5000; waited += 50) {
    if (!::IsWindow(prompt)) return true;
    ::Sleep(50);
  }
  return false;
}

// Returns once the program's window thread is back in a message loop, so the work that the
// answer of a closed prompt started has finished. Messages posted to it may still wait.
bool Settle(HWND back) {
  DWORD_PTR ignored = 0;
  return ::SendMessageTimeoutW(back, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
}

// Every file and folder below `dir`, by name relative to it, with the file's bytes
// ("<folder>" for a folder).
void Snapshot(const std::wstring& dir, const std::wstring& prefix,
              std::map<std::wstring, std::string>* out) {
  ForEachInFolder(dir, [&](const std::wstring& name, const WIN32_FIND_DATAW& fd) {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      (*out)[prefix + name] = "<folder>";
      Snapshot(dir + L"\\" + name, prefix + name + L"\\", out);
    } else {
      (*out)[prefix + name] = FileBytes(dir + L"\\" + name);
    }
  });
}

std::map<std::wstring, std::string> Snapshot(const std::wstring& dir) {
  std::map<std::wstring, std::string> files;
  Snapshot(dir, L"", &files);
  return files;
}

// The whole screen as the user sees it, as <build>\screenshots\e2e_<name>.png.
bool Screenshot(const wchar_t* name) { return SaveScreenshot(std::wstring(L"e2e_") + name); }

struct SavedBox {
  std::u16string name;
  GeziSaveData data;
};

std::vector<SavedBox> SavedBoxes() {
  const std::string bytes = FileBytes(DataFolderPath() + L"gezhiconf.dat");
  std::vector<SavedBox> boxes;
  for (const GeziSaveData& d :
       DecodeGeziTable(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) {
    SavedBox b;
    b.data = d;
    if (!DeskBoxNameFromPath(d.itemFile, &b.name)) b.name.clear();
    boxes.push_back(b);
  }
  return boxes;
}

bool FindSaved(const std::u16string& name, SavedBox* out) {
  for (const SavedBox& b : SavedBoxes())
    if (b.name == name) {
      *out = b;
      return true;
    }
  return false;
}

// Waits past the save timer for box `name` to be saved in a state `ok` accepts.
template <typename Pred>
bool WaitForSaved(const std::u16string& name, Pred ok, SavedBox* out, int ms = 10000) {
  for (int waited = 0; waited < ms; waited += 200) {
    if (FindSaved(name, out) && ok(out->data)) return true;
    ::Sleep(200);
  }
  return FindSaved(name, out);
}

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

bool SavedDeskConfig(DeskConfig* out) {
  const std::string bytes = FileBytes(DataFolderPath() + L"deskconf.dat");
  return DecodeDeskConfig(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}

// The parsing names of an item file, in its order.
std::vector<std::u16string> SavedItems(const std::wstring& file) {
  const std::string bytes = FileBytes(file);
  std::vector<std::u16string> out;
  for (const DeskItemRecord& r :
       DecodeDeskItems(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
    out.push_back(r.parseName);
  return out;
}

bool EndsWith(const std::u16string& s, const std::u16string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool Holds(const std::vector<std::u16string>& list, const std::u16string& tail) {
  for (const auto& n : list)
    if (EndsWith(n, tail)) return true;
  return false;
}

std::vector<std::u16string> SavedNames() {
  std::vector<std::u16string> names;
  for (const SavedBox& b : SavedBoxes()) names.push_back(b.name);
  return names;
}

// Polls until `ok` holds, for at most `ms`; gives its last answer.
template <typename Pred>
bool WaitUntil(Pred ok, int ms = 10000) {
  for (int waited = 0; waited < ms; waited += 200) {
    if (ok()) return true;
    ::Sleep(200);
  }
  return ok();
}

// A running organizer and the two windows the test works with.
struct Organizer {
  Process process;
  DWORD pid = 0;
  HWND back = nullptr;
  HWND host = nullptr;
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDataFolder();
    ASSERT_TRUE(EnsureDataFolder());
    PrepareDesktopShell();
    desk_ = DesktopFolder();
    ASSERT_FALSE(desk_.empty());
    RemoveFolderContents(desk_);
    ASSERT_TRUE(::CreateDirectoryW((desk_ + L"\\项目资料").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((desk_ + L"\\照片").c_str(), nullptr));
    PutFileBytes(desk_ + L"\\会议记录.txt", "meeting\r\n");
    PutFileBytes(desk_ + L"\\预算.txt", "budget\r\n");
    PutFileBytes(desk_ + L"\\notes.txt", "notes\r\n");
    ASSERT_TRUE(MakeShortcut(desk_ + L"\\记事本.lnk", L"C:\\windows\\notepad.exe"));
    desktopBefore_ = Snapshot(desk_);
    ASSERT_EQ(desktopBefore_.size(), 6u);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_, 0);
  }
  void TearDown() override {
    RemoveFolderContents(desk_);
    RemoveDataFolder();
  }

  // Writes the exit prompt setting and starts Tessary.exe.
  void Start(int closePrompt, Organizer* app) {
    PutFileBytes(DataFolderPath() + L"config.ini",
                 "[SET]\r\nclosetishi=" + std::to_string(closePrompt) + "\r\n");
    ASSERT_TRUE(app->process.Start(ExeFolder() + L"\\Tessary.exe"));
    app->pid = app->process.pi.dwProcessId;
    app->back = WaitForWindowOf(app->pid, nullptr, kTitle, 15000);
    ASSERT_NE(app->back, nullptr) << "the background window did not appear";
    for (int i = 0; i < 100 && !app->host; ++i, ::Sleep(50)) app->host = FindHost(app->back);
    ASSERT_NE(app->host, nullptr);
  }

  // Start() on a first run: waits until the organizing has saved "文件夹" and "文件".
  void StartFirstRun(int closePrompt, Organizer* app, SavedBox* folders, SavedBox* files) {
    ASSERT_NO_FATAL_FAILURE(Start(closePrompt, app));
    auto any = [](const GeziSaveData&) { return true; };
    ASSERT_TRUE(WaitForSaved(u"文件夹", any, folders)) << "no 文件夹 box saved";
    ASSERT_TRUE(WaitForSaved(u"文件", any, files)) << "no 文件 box saved";
  }

  // The tray icon's right-button release, as the shell reports it to the icon's window:
  // the program shows menu 131 at the cursor, which is put where a tray icon would be.
  HWND OpenTrayMenu(const Organizer& app) const {
    SendMouse(work_.right - 40, work_.bottom - 10, 0);
    ::PostMessageW(app.back, WM_TRAY_NOTIFY, IDI_TESSARY, WM_RBUTTONUP);
    return WaitForMenu(app.pid);
  }

  // "退出" from the tray menu: Down selects "设置中心", the next Down skips the separator.
  bool ChooseExitFromTray(const Organizer& app, const wchar_t* shot = nullptr) const {
    if (!OpenTrayMenu(app)) return false;
    PressKeys({VK_DOWN, VK_DOWN});
    if (shot) Screenshot(shot);
    return ChooseSelected(app.pid);
  }

  // Posted messages are handled in order, and the tray's is posted too: once a tray menu
  // asked for now has opened (it is closed again), the program has handled everything posted
  // before, such as the command of a menu picked earlier.
  bool HandledEarlierPosts(const Organizer& app) const {
    if (!OpenTrayMenu(app)) return false;
    SendKey(VK_ESCAPE);
    for (int waited = 0; waited < 5000; waited += 50) {
      if (!FindWindowOf(app.pid, L"#32768", nullptr)) return true;
      ::Sleep(50);
    }
    return false;
  }

  // "退出" with the prompt off: the program ends at once with code 0.
  void ExitWithoutPrompt(Organizer* app) {
    ASSERT_TRUE(ChooseExitFromTray(*app)) << "the tray menu did not open";
    EXPECT_EQ(app->process.Wait(20000), 0u);
  }

  // Right click on the title of a box saved as `box`: its menu 155 opens.
  HWND OpenTitleMenu(const Organizer& app, const GeziSaveData& box) const {
    const POINT title = OnScreen(app.host, box.left + 30, box.top + 20);
    RightClick(title);
    return WaitForMenu(app.pid);
  }

  // Screen point of a point given relative to the page, as the saved records hold them.
  POINT OnScreen(HWND host, int x, int y) const {
    POINT p{work_.left + x, work_.top + y};
    ::ClientToScreen(host, &p);
    return p;
  }

  std::wstring desk_;
  std::map<std::wstring, std::string> desktopBefore_;
  RECT work_{};
};

}  // namespace

TEST_F(EndToEnd, OrganizeDragResizeTitleMenuAndRestart) {
  Organizer app;
  SavedBox folders, files;
  ASSERT_NO_FATAL_FAILURE(StartFirstRun(0, &app, &folders, &files));
  HWND host = app.host;

  // (a) The first start puts the folders in "文件夹" and the documents in "文件"; the
  // shortcut stays on the desk list.
  EXPECT_EQ(SavedBoxes().size(), 2u);
  EXPECT_EQ(folders.data.iconView, 1);
  EXPECT_EQ(files.data.iconView, 0);
  const auto inFolders = SavedItems(Wide(folders.data.itemFile));
  const auto inFiles = SavedItems(Wide(files.data.itemFile));
  EXPECT_EQ(inFolders.size(), 2u);
  EXPECT_TRUE(Holds(inFolders, u"项目资料"));
  EXPECT_TRUE(Holds(inFolders, u"照片"));
  EXPECT_EQ(inFiles.size(), 3u);
  EXPECT_TRUE(Holds(inFiles, u"会议记录.txt"));
  EXPECT_TRUE(Holds(inFiles, u"notes.txt"));
  EXPECT_FALSE(Holds(inFiles, u"记事本.lnk"));
  EXPECT_TRUE(Screenshot(L"1_organized"));

  // (b) "文件" dragged by its title. It starts snapped under "文件夹", so the first drag only
  // tears it loose and takes it far away; the second, with no neighbour near, must move it
  // exactly as far as the cursor went.
  const GeziSaveData f0 = files.data;
  Drag(OnScreen(host, f0.left + 60, f0.top + 20), OnScreen(host, f0.left + 60 - 700, f0.top + 20 - 300));
  SavedBox loose;
  ASSERT_TRUE(WaitForSaved(
      u"文件", [&](const GeziSaveData& d) { return d.left != f0.left || d.top != f0.top; }, &loose));
  EXPECT_LT(loose.data.left, f0.left - 600);
  EXPECT_LT(loose.data.top, f0.top - 200);
  const GeziSaveData f1 = loose.data;
  const int dx = 130, dy = 70;
  Drag(OnScreen(host, f1.left + 60, f1.top + 20), OnScreen(host, f1.left + 60 + dx, f1.top + 20 + dy));
  SavedBox moved;
  ASSERT_TRUE(WaitForSaved(
      u"文件", [&](const GeziSaveData& d) { return d.left != f1.left || d.top != f1.top; }, &moved));
  EXPECT_EQ(moved.data.left, f1.left + dx);
  EXPECT_EQ(moved.data.top, f1.top + dy);
  EXPECT_EQ(moved.data.right - moved.data.left, f0.right - f0.left);
  EXPECT_EQ(moved.data.bottom - moved.data.top, f0.bottom - f0.top);
  EXPECT_TRUE(Screenshot(L"2_moved"));

  // (c) "文件夹" squeezed by its bottom-right corner far past the limits: it stops at
  // 130 x 168 with its top-left where it was.
  const GeziSaveData d0 = folders.data;
  Drag(OnScreen(host, d0.right - 2, d0.bottom - 2), OnScreen(host, d0.left - 200, d0.top - 100));
  SavedBox small;
  ASSERT_TRUE(WaitForSaved(
      u"文件夹", [&](const GeziSaveData& d) { return d.right != d0.right || d.bottom != d0.bottom; },
      &small));
  EXPECT_EQ(small.data.left, d0.left);
  EXPECT_EQ(small.data.top, d0.top);
  EXPECT_EQ(small.data.right - small.data.left, 130);
  EXPECT_EQ(small.data.bottom - small.data.top, 168);
  EXPECT_TRUE(Screenshot(L"3_resized"));

  // (d) The title menu of "文件夹" by a right click, its items picked with the keyboard:
  // the second item is "列表显示", the third "固定位置".
  ASSERT_NE(OpenTitleMenu(app, d0), nullptr) << "the title menu did not open";
  EXPECT_TRUE(Screenshot(L"4_title_menu"));
  PressKeys({VK_DOWN, VK_DOWN});
  ASSERT_TRUE(ChooseSelected(app.pid));
  SavedBox listed;
  EXPECT_TRUE(WaitForSaved(u"文件夹", [](const GeziSaveData& d) { return d.iconView == 0; }, &listed));
  EXPECT_EQ(listed.data.iconView, 0) << "列表显示 did not persist";
  EXPECT_EQ(listed.data.fixedPos, 0);
  EXPECT_TRUE(Screenshot(L"5_list_display"));

  ASSERT_NE(OpenTitleMenu(app, d0), nullptr) << "the title menu did not open";
  PressKeys({VK_DOWN, VK_DOWN, VK_DOWN});
  ASSERT_TRUE(ChooseSelected(app.pid));
  SavedBox fixed;
  EXPECT_TRUE(WaitForSaved(u"文件夹", [](const GeziSaveData& d) { return d.fixedPos == 1; }, &fixed));
  EXPECT_EQ(fixed.data.fixedPos, 1) << "固定位置 did not persist";
  EXPECT_EQ(fixed.data.iconView, 0);
  // Byte 16 is the fixed flag and byte 17 the view, as the file holds them.
  {
    const std::string raw = FileBytes(DataFolderPath() + L"gezhiconf.dat");
    bool seen = false;
    for (size_t at = 0; at + kGeziSaveDataSize <= raw.size(); at += kGeziSaveDataSize) {
      const auto rec = DecodeGeziTable(reinterpret_cast<const uint8_t*>(raw.data() + at), kGeziSaveDataSize);
      std::u16string name;
      if (rec.size() == 1 && DeskBoxNameFromPath(rec[0].itemFile, &name) && name == u"文件夹") {
        EXPECT_EQ(raw[at + 16], 1);
        EXPECT_EQ(raw[at + 17], 0);
        seen = true;
      }
    }
    EXPECT_TRUE(seen);
  }
  // A fixed box does not follow its title.
  Drag(OnScreen(host, d0.left + 30, d0.top + 20), OnScreen(host, d0.left - 300, d0.top + 200));
  ::Sleep(3500);
  SavedBox still;
  ASSERT_TRUE(FindSaved(u"文件夹", &still));
  EXPECT_EQ(still.data.left, d0.left);
  EXPECT_EQ(still.data.top, d0.top);
  EXPECT_TRUE(Screenshot(L"6_fixed"));
  ASSERT_NO_FATAL_FAILURE(ExitWithoutPrompt(&app));

  // Started again: the saved boxes come back as they were left.
  Organizer again;
  ASSERT_NO_FATAL_FAILURE(Start(0, &again));
  ::Sleep(4000);
  SavedBox after;
  ASSERT_TRUE(FindSaved(u"文件", &after));
  EXPECT_EQ(after.data.left, f1.left + dx);
  EXPECT_EQ(after.data.top, f1.top + dy);
  ASSERT_TRUE(FindSaved(u"文件夹", &after));
  EXPECT_EQ(after.data.fixedPos, 1);
  EXPECT_EQ(after.data.iconView, 0);
  EXPECT_TRUE(Screenshot(L"7_restarted"));
  ASSERT_NO_FATAL_FAILURE(ExitWithoutPrompt(&again));
  EXPECT_EQ(Snapshot(desk_), desktopBefore_);
}

TEST_F(EndToEnd, ExitFromTheTrayMenu) {
  Organizer app;
  SavedBox folders, files;
  ASSERT_NO_FATAL_FAILURE(StartFirstRun(1, &app, &folders, &files));

  // Only the right button's release on the icon opens the menu.
  DWORD_PTR ignored = 0;
  ASSERT_NE(::SendMessageTimeoutW(app.back, WM_TRAY_NOTIFY, IDI_TESSARY, WM_LBUTTONUP, SMTO_NORMAL,
                                  10000, &ignored),
            0);
  EXPECT_EQ(FindWindowOf(app.pid, L"#32768", nullptr), nullptr) << "a left click opened a menu";

  // With closetishi=1 "退出" asks first; a cancel keeps the program.
  ASSERT_TRUE(ChooseExitFromTray(app, L"exit_1_tray_menu")) << "the tray menu did not open";
  HWND prompt = WaitForPrompt(app.pid, app.back);
  ASSERT_NE(prompt, nullptr) << "no confirmation window";
  EXPECT_TRUE(Screenshot(L"exit_2_prompt"));
  // The tray menu again while it asks: the prompt stays in front of the full-screen
  // background window (which it has disabled), and "退出" does not ask a second time.
  ASSERT_NE(OpenTrayMenu(app), nullptr) << "the tray menu did not open over the prompt";
  EXPECT_TRUE(IsAbove(prompt, app.back)) << "the menu buried the prompt";
  EXPECT_TRUE(Screenshot(L"exit_3_tray_menu_over_prompt"));
  PressKeys({VK_DOWN, VK_DOWN});
  ASSERT_TRUE(ChooseSelected(app.pid));
  ASSERT_TRUE(HandledEarlierPosts(app));
  EXPECT_TRUE(::IsWindowVisible(prompt));
  EXPECT_TRUE(IsAbove(prompt, app.back)) << "the prompt is hidden behind the background window";
  EXPECT_EQ(CountWindowsOf(app.pid, L"#32770"), 2) << "the background window and one prompt";
  ASSERT_TRUE(AnswerPrompt(prompt, false)) << "the cancel button did not close the prompt";
  ASSERT_TRUE(Settle(app.back));
  EXPECT_EQ(app.process.Wait(1000), static_cast<DWORD>(STILL_ACTIVE)) << "a cancel must keep it running";
  EXPECT_TRUE(::IsWindowVisible(app.back));

  // Confirmed, it ends with code 0.
  ASSERT_TRUE(ChooseExitFromTray(app)) << "the tray menu did not open the second time";
  prompt = WaitForPrompt(app.pid, app.back);
  ASSERT_NE(prompt, nullptr) << "no confirmation window the second time";
  ASSERT_TRUE(AnswerPrompt(prompt, true));
  EXPECT_EQ(app.process.Wait(20000), 0u);

  // Started again with closetishi=0, "退出" ends it at once.
  Organizer again;
  ASSERT_NO_FATAL_FAILURE(Start(0, &again));
  ASSERT_TRUE(ChooseExitFromTray(again)) << "the tray menu did not open";
  EXPECT_EQ(again.process.Wait(20000), 0u) << "it did not end without a prompt";
  EXPECT_EQ(Snapshot(desk_), desktopBefore_);
}

TEST_F(EndToEnd, RemoveBoxFromTheTitleMenu) {
  Organizer app;
  SavedBox folders, files;
  ASSERT_NO_FATAL_FAILURE(StartFirstRun(0, &app, &folders, &files));
  const std::vector<std::u16string> inFiles = SavedItems(Wide(files.data.itemFile));
  ASSERT_EQ(inFiles.size(), 3u);
  const std::string filesRecord = FileBytes(Wide(files.data.itemFile));
  DeskConfig config;
  ASSERT_TRUE(SavedDeskConfig(&config));
  const std::wstring deskItems = Wide(config.deskItemFile);
  ASSERT_EQ(deskItems, DataFolderPath() + L"deskiteminfo_20140101");
  const std::vector<std::u16string> onDesk = SavedItems(deskItems);
  EXPECT_TRUE(Holds(onDesk, u"记事本.lnk"));
  EXPECT_FALSE(Holds(onDesk, u".txt"));

  // "删除分类" is the fourth item of the title menu. Cancelled, the box stays.
  ASSERT_NE(OpenTitleMenu(app, files.data), nullptr) << "the title menu did not open";
  PressKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
  EXPECT_TRUE(Screenshot(L"remove_1_title_menu"));
  HWND prompt = ChooseAndWaitForPrompt(app.pid, app.back);
  ASSERT_NE(prompt, nullptr) << "no confirmation window";
  EXPECT_TRUE(Screenshot(L"remove_2_prompt"));
  ASSERT_TRUE(AnswerPrompt(prompt, false));
  ASSERT_TRUE(Settle(app.back));
  EXPECT_EQ(SavedBoxes().size(), 2u);
  SavedBox kept;
  EXPECT_TRUE(FindSaved(u"文件", &kept)) << "a cancel removed the box";
  EXPECT_EQ(SavedItems(deskItems), onDesk);

  // Confirmed, the box goes from gezhiconf.dat and its icons follow the desk list's own.
  ASSERT_NE(OpenTitleMenu(app, files.data), nullptr) << "the title menu did not open";
  PressKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN});
  prompt = ChooseAndWaitForPrompt(app.pid, app.back);
  ASSERT_NE(prompt, nullptr) << "no confirmation window the second time";
  ASSERT_TRUE(AnswerPrompt(prompt, true));
  ASSERT_TRUE(WaitUntil([] { return SavedBoxes().size() == 1; })) << "the box was not removed";
  EXPECT_EQ(SavedNames(), std::vector<std::u16string>{u"文件夹"});
  std::vector<std::u16string> expected = onDesk;
  expected.insert(expected.end(), inFiles.begin(), inFiles.end());
  EXPECT_TRUE(WaitUntil([&] { return SavedItems(deskItems) == expected; }))
      << "the desk list does not hold the box's icons after its own";
  EXPECT_EQ(SavedItems(deskItems), expected);
  ASSERT_TRUE(SavedDeskConfig(&config));
  EXPECT_EQ(Wide(config.deskItemFile), deskItems);
  // The files themselves stay where they were; the old item file is left alone.
  EXPECT_EQ(Snapshot(desk_), desktopBefore_);
  EXPECT_EQ(FileBytes(Wide(files.data.itemFile)), filesRecord);
  ::Sleep(1500);  // the host repaints on its one-second timer
  EXPECT_TRUE(Screenshot(L"remove_3_removed"));
  ASSERT_NO_FATAL_FAILURE(ExitWithoutPrompt(&app));
}

TEST_F(EndToEnd, RestoreDeskFromTheDeskMenu) {
  // A first run with small icons, double-click hiding and no auto-arrange.
  DeskConfig custom;
  custom.smallIcons = 1;
  custom.dblClickHide = 1;
  custom.autoArrange = 0;
  std::vector<uint8_t> block;
  ASSERT_TRUE(EncodeDeskConfig(custom, &block));
  PutFileBytes(DataFolderPath() + L"deskconf.dat", std::string(block.begin(), block.end()));
  Organizer app;
  SavedBox folders, files;
  ASSERT_NO_FATAL_FAILURE(StartFirstRun(0, &app, &folders, &files));
  DeskConfig config;
  ASSERT_TRUE(WaitUntil([&] { return SavedDeskConfig(&config) && config.organizePending == 0; }));
  EXPECT_EQ(config.smallIcons, 1);
  EXPECT_EQ(config.dblClickHide, 1);
  EXPECT_EQ(config.autoArrange, 0);

  // The user's own changes: "文件夹" moved away, a box made with "新建桌面分类" (in
  // "整理桌面", the first item of the desk menu).
  const GeziSaveData d0 = folders.data;
  Drag(OnScreen(app.host, d0.left + 60, d0.top + 20), OnScreen(app.host, d0.left + 60 - 400, d0.top + 20 + 100));
  SavedBox moved;
  ASSERT_TRUE(WaitForSaved(
      u"文件夹", [&](const GeziSaveData& d) { return d.left != d0.left || d.top != d0.top; }, &moved));
  RightClick(OnScreen(app.host, 700, 250));
  ASSERT_NE(WaitForMenu(app.pid), nullptr) << "the desk menu did not open";
  PressKeys({VK_DOWN, VK_RIGHT, VK_DOWN});
  ASSERT_TRUE(ChooseSelected(app.pid));
  SavedBox made;
  auto any = [](const GeziSaveData&) { return true; };
  ASSERT_TRUE(WaitForSaved(u"新建分类", any, &made)) << "新建桌面分类 made no box";
  EXPECT_EQ(made.data.left, 700);
  EXPECT_EQ(made.data.top, 250);
  ::Sleep(1500);  // the host repaints on its one-second timer
  EXPECT_TRUE(Screenshot(L"restore_1_changed"));

  // "还原桌面" is the second item of the desk menu. Cancelled, nothing changes.
  const POINT empty = OnScreen(app.host, 700, 750);
  RightClick(empty);
  ASSERT_NE(WaitForMenu(app.pid), nullptr) << "the desk menu did not open";
  PressKeys({VK_DOWN, VK_DOWN});
  EXPECT_TRUE(Screenshot(L"restore_2_desk_menu"));
  HWND prompt = ChooseAndWaitForPrompt(app.pid, app.back);
  ASSERT_NE(prompt, nullptr) << "no confirmation window";
  EXPECT_TRUE(Screenshot(L"restore_3_prompt"));
  ASSERT_TRUE(AnswerPrompt(prompt, false));
  ASSERT_TRUE(Settle(app.back));
  EXPECT_EQ(SavedBoxes().size(), 3u) << "a cancel restored the desk";
  ASSERT_TRUE(SavedDeskConfig(&config));
  EXPECT_EQ(config.smallIcons, 1);

  // Confirmed: the user's box is gone, the desktop is organized afresh into the boxes of a
  // first start at their first places, and the view flags are back at their defaults.
  RightClick(empty);
  ASSERT_NE(WaitForMenu(app.pid), nullptr) << "the desk menu did not open";
  PressKeys({VK_DOWN, VK_DOWN});
  prompt = ChooseAndWaitForPrompt(app.pid, app.back);
  ASSERT_NE(prompt, nullptr) << "no confirmation window the second time";
  ASSERT_TRUE(AnswerPrompt(prompt, true));
  ASSERT_TRUE(WaitUntil([] { return SavedBoxes().size() == 2; })) << "the desk was not restored";
  SavedBox folders2, files2;
  ASSERT_TRUE(FindSaved(u"文件夹", &folders2));
  ASSERT_TRUE(FindSaved(u"文件", &files2));
  for (const auto& pair : {std::make_pair(folders.data, folders2.data), std::make_pair(files.data, files2.data)}) {
    EXPECT_EQ(pair.second.left, pair.first.left);
    EXPECT_EQ(pair.second.top, pair.first.top);
    EXPECT_EQ(pair.second.right, pair.first.right);
    EXPECT_EQ(pair.second.bottom, pair.first.bottom);
    EXPECT_EQ(pair.second.iconView, pair.first.iconView);
    EXPECT_EQ(pair.second.fixedPos, 0);
  }
  const auto inFolders = SavedItems(Wide(folders2.data.itemFile));
  const auto inFiles = SavedItems(Wide(files2.data.itemFile));
  EXPECT_EQ(inFolders.size(), 2u);
  EXPECT_EQ(inFiles.size(), 3u);
  ASSERT_TRUE(SavedDeskConfig(&config));
  EXPECT_EQ(config.deskPageOn, 1);
  EXPECT_EQ(config.smallIcons, 0);
  EXPECT_EQ(config.dblClickHide, 0);
  EXPECT_EQ(config.autoArrange, 1);
  EXPECT_EQ(config.organizePending, 0) << "the restore organizes at once";
  EXPECT_EQ(Wide(config.deskItemFile), DataFolderPath() + L"deskiteminfo_20140101");
  const auto onDesk = SavedItems(Wide(config.deskItemFile));
  EXPECT_EQ(onDesk.size(), 2u);
  EXPECT_TRUE(Holds(onDesk, u"记事本.lnk"));
  // The organizer stays over the desktop, and the files stay as they were.
  EXPECT_TRUE(::IsWindowVisible(app.back));
  EXPECT_TRUE(::IsWindowVisible(app.host));
  EXPECT_EQ(Snapshot(desk_), desktopBefore_);
  ::Sleep(1500);
  EXPECT_TRUE(Screenshot(L"restore_4_restored"));
  ASSERT_NO_FATAL_FAILURE(ExitWithoutPrompt(&app));
}
