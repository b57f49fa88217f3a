// The real Tessary.exe stopped dead after every step of its saves: VX_FAULT_KILL_AT=N ends
// the process at the N-th step (every staged write, the journal, every move), as a crash or
// a power cut would. Runs: a first start (organizing the desktop into boxes), a later start
// that adds a box, and one that restores the desk (a user box goes, its icons move into the
// boxes organizing makes). After each stop
// the files decode whole and agree, and the next start shows the layout from before the
// change or from after it, with every desktop item in exactly one list.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/resource.h"
#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "desk/DeskFiles.h"
#include "desk/MyDesk.h"
#include "desk/core/desk_boxes.h"
#include "uilib/VxTypes.h"

namespace {

const wchar_t kTitle[] = L"Vexlo桌面";

// What a start shows: each box's name with its icons, and the desk list's icons.
using Layout = std::map<std::wstring, std::set<std::wstring>>;
const wchar_t kDeskListKey[] = L"<desk list>";

// The data folder's files, name to bytes (not the staging folder).
std::map<std::wstring, std::string> DataFiles() {
  std::map<std::wstring, std::string> files;
  const std::wstring folder = DataFolderPath();
  ForEachInFolder(folder.substr(0, folder.size() - 1), [&](const std::wstring& name, const WIN32_FIND_DATAW& fd) {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files[name] = FileBytes(folder + name);
  });
  return files;
}

void PutDataFiles(const std::map<std::wstring, std::string>& files) {
  RemoveDataFolder();
  ASSERT_TRUE(EnsureDataFolder());
  for (const auto& f : files) PutFileBytes(DataFolderPath() + f.first, f.second);
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// The files as the next start finds them (after it finished or dropped a cut save) agree:
// whole records only, every box of the table has its item file, and no item is in two of
// the lists the table and the block name.
void ExpectFilesAgree(int step) {
  RecoverDeskFiles();
  const std::wstring folder = DataFolderPath();
  const auto files = DataFiles();
  auto config = files.find(L"deskconf.dat");
  if (config == files.end()) return;  // nothing saved yet: a first start from scratch
  EXPECT_EQ(config->second.size(), kDeskConfigSize) << "step " << step;
  DeskConfig block;
  ASSERT_TRUE(DecodeDeskConfig(Bytes(config->second), config->second.size(), &block));
  const std::string& tableBytes = files.count(L"gezhiconf.dat") ? files.at(L"gezhiconf.dat") : "";
  EXPECT_EQ(tableBytes.size() % kGeziSaveDataSize, 0u) << "step " << step;
  std::vector<GeziSaveData> table = DecodeGeziTable(Bytes(tableBytes), tableBytes.size());
  if (block.organizePending == 0) {
    EXPECT_FALSE(table.empty()) << "organized, but no box saved: step " << step;
  }
  std::multiset<std::u16string> listed;
  std::vector<std::wstring> itemFiles;
  for (const GeziSaveData& r : table) itemFiles.push_back(ToW(r.itemFile));
  if (!block.deskItemFile.empty()) itemFiles.push_back(ToW(block.deskItemFile));
  for (const std::wstring& path : itemFiles) {
    const std::string bytes = FileBytes(path);
    EXPECT_EQ(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES, true)
        << "missing item file " << path.c_str() << " at step " << step;
    EXPECT_EQ(bytes.size() % kDeskItemRecordSize, 0u) << "step " << step;
    for (const DeskItemRecord& item : DecodeDeskItems(Bytes(bytes), bytes.size())) listed.insert(item.parseName);
  }
  for (const std::u16string& name : listed) EXPECT_EQ(listed.count(name), 1u) << "step " << step;
}

// The layout the next start shows, loaded here as the organizer loads it.
Layout LoadedLayout(size_t desktopItems) {
  TheApp().desk = DeskGlobals();
  LoadConfig();
  CMyDesk desk;
  desk.StartDesk();
  Layout layout;
  size_t count = 0;
  for (VxListItem* e : desk.DeskList().Items()) layout[kDeskListKey].insert(e->szName), ++count;
  for (auto& b : desk.Boxes()) {
    std::set<std::wstring>& items = layout[b->name];
    for (VxListItem* e : b->list.Items()) items.insert(e->szName), ++count;
  }
  EXPECT_EQ(count, desktopItems) << "every desktop item in exactly one list";
  return layout;
}

struct WindowSearch {
  DWORD pid;
  const wchar_t* title;
  const std::set<HWND>* except;
  std::vector<HWND> found;
};

// Visible top-level windows of the process with the title (any dialog when the title is null).
BOOL CALLBACK MatchTopWindow(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(h, &owner);
  wchar_t text[64] = {}, cls[64] = {};
  ::GetWindowTextW(h, text, 64);
  ::GetClassNameW(h, cls, 64);
  if (owner != s->pid || s->except->count(h) || !::IsWindowVisible(h) ||
      (s->title ? wcscmp(text, s->title) != 0 : wcscmp(cls, L"#32770") != 0))
    return TRUE;
  s->found.push_back(h);
  return TRUE;
}

class KillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDataFolder();
    PrepareDesktopShell();
    desktop_ = DesktopDir();
    RemoveFolderContents(desktop_);
    ASSERT_TRUE(::CreateDirectoryW((desktop_ + L"\\照片").c_str(), nullptr));
    PutFileBytes(desktop_ + L"\\a.txt", "a");
    PutFileBytes(desktop_ + L"\\预算.txt", "b");
    PutFileBytes(desktop_ + L"\\notes.txt", "c");
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"VX_FAULT_KILL_AT", nullptr);
    RemoveFolderContents(desktop_);
    RemoveDataFolder();
  }

  // Starts the organizer to be stopped at step `killAt` (0: never), sends `command` to it
  // once it shows (0: none) and confirms the prompt the command opens. True when the step
  // was reached and the process ended there; otherwise it is ended after its saves settled.
  bool RunUntilKilled(int killAt, UINT command) {
    ::SetEnvironmentVariableW(L"VX_FAULT_KILL_AT", killAt ? std::to_wstring(killAt).c_str() : nullptr);
    Process app;
    EXPECT_TRUE(app.Start(ExeFolder() + L"\\Tessary.exe"));
    ::SetEnvironmentVariableW(L"VX_FAULT_KILL_AT", nullptr);
    const DWORD pid = app.pi.dwProcessId;
    HWND back = nullptr;
    for (int i = 0; i < 300 && !back; ++i) {
      if (app.Wait(50) == kVxFaultExitCode) return true;
      const std::vector<HWND> backs = TopWindows(pid, kTitle);
      back = backs.empty() ? nullptr : backs.front();
    }
    if (back && command) {
      // The confirmation is the dialog that was not there before the command (the toolbar
      // is a dialog of the process too, and may come first in the z-order).
      const std::vector<HWND> before = TopWindows(pid, nullptr);
      const std::set<HWND> shown(before.begin(), before.end());
      ::PostMessageW(back, WM_COMMAND, command, 0);
      if (command == ID_RESTORE_DESK) {
        HWND prompt = nullptr;
        for (int i = 0; i < 100 && !prompt; ++i) {
          if (app.Wait(50) == kVxFaultExitCode) return true;
          const std::vector<HWND> now = TopWindows(pid, nullptr, shown);
          prompt = now.empty() ? nullptr : now.front();
        }
        EXPECT_NE(prompt, nullptr) << "no confirmation";
        if (prompt) ClickOk(prompt);
      }
    }
    // The host saves pending changes on a 3-second timer.
    return app.Wait(4500) == kVxFaultExitCode;
  }

  // OK of the confirmation: 72 x 28 at (width - 170, height - 45) of its client area. Clicked
  // again while the confirmation stays: on a busy machine it may not take input yet.
  static void ClickOk(HWND prompt) {
    for (int attempt = 0; attempt < 5 && ::IsWindowVisible(prompt); ++attempt) {
      ::Sleep(300);  // drawn and taking input
      RECT client;
      ::GetClientRect(prompt, &client);
      POINT at{client.right - 170 + 36, client.bottom - 45 + 14};
      ::ClientToScreen(prompt, &at);
      for (DWORD flags : {DWORD(0), DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)}) {
        Mouse(at, flags);
        ::Sleep(100);
      }
      for (int i = 0; i < 10 && ::IsWindowVisible(prompt); ++i) ::Sleep(100);
    }
    // A confirmation that never took the click shows as a run that changed nothing; one the
    // kill step cut short may still show here. What took the clicks says why.
    if (::IsWindowVisible(prompt)) {
      RECT client;
      ::GetClientRect(prompt, &client);
      POINT at{client.right - 170 + 36, client.bottom - 45 + 14};
      ::ClientToScreen(prompt, &at);
      HWND hit = ::WindowFromPoint(at);
      wchar_t cls[64] = {}, text[64] = {};
      ::GetClassNameW(hit, cls, 64);
      ::GetWindowTextW(hit, text, 64);
      std::wprintf(L"confirmation %p still shown; (%ld,%ld) hits %p class %ls text %ls, enabled %d, "
                   L"foreground %p, capture %p\n",
                   prompt, at.x, at.y, hit, cls, text, ::IsWindowEnabled(prompt), ::GetForegroundWindow(),
                   ::GetCapture());
      SaveScreenshot(L"kill-confirmation-stuck");
    }
  }

  // The visible top-level windows of `pid` with `title` (any dialog when null), top first.
  static std::vector<HWND> TopWindows(DWORD pid, const wchar_t* title, const std::set<HWND>& except = {}) {
    WindowSearch s{pid, title, &except, {}};
    ::EnumWindows(MatchTopWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
  }

  // Kills a run from `before` at every step in turn; each time the next start must show
  // `before` or the layout of the run that was not cut short. Returns the number of kills.
  int KillAtEveryStep(const std::map<std::wstring, std::string>& before, UINT command,
                      const Layout& layoutBefore, size_t desktopItems) {
    PutDataFiles(before);
    EXPECT_FALSE(RunUntilKilled(0, command));
    const Layout after = LoadedLayout(desktopItems);
    if (command) {
      EXPECT_NE(after, layoutBefore) << "the change changed nothing";
    }
    int kills = 0;
    for (int step = 1; step < 60; ++step) {
      PutDataFiles(before);
      if (!RunUntilKilled(step, command)) break;
      ++kills;
      ExpectFilesAgree(step);
      const Layout seen = LoadedLayout(desktopItems);
      EXPECT_TRUE(seen == layoutBefore || seen == after) << "a mixed layout after a kill at step " << step;
      if (::testing::Test::HasFailure()) break;
    }
    return kills;
  }

  std::wstring desktop_;
};

}  // namespace

TEST_F(KillTest, EveryPrefixOfASaveLoadsAsTheOldLayoutOrTheNew) {
  const size_t items = 5;  // 照片, a.txt, 预算.txt, notes.txt and the recycle bin
  // A first start organizes: before it nothing is saved, and a start from there organizes.
  const Layout organized = [&] {
    RemoveDataFolder();
    return LoadedLayout(items);
  }();
  ASSERT_EQ(organized.count(L"文件夹"), 1u);
  int firstRunKills = KillAtEveryStep({}, 0, organized, items);

  // A new box.
  PutDataFiles({});
  ASSERT_FALSE(RunUntilKilled(0, 0));
  const auto organizedFiles = DataFiles();
  const int newBoxKills = KillAtEveryStep(organizedFiles, ID_NEW_BOX, LoadedLayout(items), items);

  // 还原桌面 from a layout with a user box holding two files: the box goes and its icons
  // move back into the boxes organizing makes.
  PutDataFiles(organizedFiles);
  {
    TheApp().desk = DeskGlobals();
    LoadConfig();
    CMyDesk desk;
    desk.StartDesk();
    desk.NewBox(POINT{300, 200})->name = L"收藏";
    desk.SaveDesk();
  }
  const std::wstring folder = DataFolderPath();
  std::vector<DeskItemRecord> moved, kept;
  const std::string fileBox = FileBytes(folder + L"文件");
  for (DeskItemRecord& r : DecodeDeskItems(Bytes(fileBox), fileBox.size()))
    (r.parseName.find(u"预算") == std::u16string::npos ? moved : kept).push_back(r);
  ASSERT_EQ(moved.size(), 2u);
  ASSERT_TRUE(WriteItemFile(folder + L"文件", kept));
  ASSERT_TRUE(WriteItemFile(folder + L"收藏", moved));
  const auto withUserBox = DataFiles();
  const Layout userLayout = LoadedLayout(items);
  ASSERT_EQ(userLayout.at(L"收藏").size(), 2u);
  const int restoreKills = KillAtEveryStep(withUserBox, ID_RESTORE_DESK, userLayout, items);

  std::printf("kills: first run %d, new box %d, 还原桌面 %d\n", firstRunKills, newBoxKills, restoreKills);
  EXPECT_GT(firstRunKills, 5);
  EXPECT_GT(newBoxKills, 5);
  EXPECT_GT(restoreKills, 5);
}
