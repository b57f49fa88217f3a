// Drag and drop on the desk in the real program windows over real files of the prefix's
// Desktop. Drags from the desk are made with SendInput from a second thread while this
// thread runs the windows (the desk's DoDragDrop loop takes the input). A drop "from outside"
// is a DoDragDrop made here with a CF_HDROP data object over files of a temporary folder:
// the system's drag loop finds the host window's registered drop target by itself.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/BaseWnd.h"
#include "app/DialogBack.h"
#include "app/dialogs/DialogDragView.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "desk/DeskDataObject.h"
#include "desk/MyDesk.h"
#include "desk/core/desk_drag.h"
#include "uilib/VxComObject.h"
#include "uilib/VxDialog.h"
#include "uilib/VxPaint.h"
#include "uilib/VxTypes.h"

namespace {

void Button(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  ::SendInput(1, &in, sizeof(in));
}
void KeyState(WORD vk, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  ::SendInput(1, &in, sizeof(in));
}

// The whole screen as <build>\screenshots\dragdrop_<name>.png.
void Screenshot(const std::wstring& name) { SaveScreenshot(L"dragdrop_" + name); }

std::string Narrow(const std::wstring& w) {
  std::string out(w.size() * 3 + 1, '\0');
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), out.data(),
                                      static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<size_t>(n > 0 ? n : 0));
  return out;
}

bool MakeShortcut(const std::wstring& link, const std::wstring& target) {
  VxComPtr<IShellLinkW> sl;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(sl.Put()))))
    return false;
  sl->SetPath(target.c_str());
  VxComPtr<IPersistFile> pf;
  return SUCCEEDED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(pf.Put()))) &&
         SUCCEEDED(pf->Save(link.c_str(), TRUE));
}

// Where the shortcut `link` leads; empty when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& link) {
  VxComPtr<IShellLinkW> sl;
  VxComPtr<IPersistFile> pf;
  wchar_t target[MAX_PATH] = {};
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(sl.Put()))) ||
      FAILED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(pf.Put()))) ||
      FAILED(pf->Load(link.c_str(), STGM_READ)) || FAILED(sl->GetPath(target, MAX_PATH, nullptr, 0)))
    return std::wstring();
  return target;
}

// An empty folder of the temporary folder, standing for another program's files.
std::wstring OutsideFolder() {
  wchar_t tmp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, tmp);
  const std::wstring src = std::wstring(tmp) + L"vx_drop_src";
  ::CreateDirectoryW(src.c_str(), nullptr);
  RemoveFolderContents(src);
  return src;
}

// Name, size and last write of every desktop file: "no file touched" compares two of these.
std::wstring FolderState(const std::wstring& dir) {
  std::wstring state;
  ForEachInFolder(dir, [&](const std::wstring& name, const WIN32_FIND_DATAW& fd) {
    state += name + L"|" + std::to_wstring(fd.nFileSizeLow) + L"|" + std::to_wstring(fd.ftLastWriteTime.dwLowDateTime) + L"\n";
  });
  return state;
}

// A drop source that lets go when the test says so (the input thread holds the keys).
class TestDropSource final : public VxComObject<VxIface<IDropSource, &IID_IDropSource>> {
 public:
  explicit TestDropSource(std::atomic<bool>* release) : release_(release) {}
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) noexcept override {
    seen |= keys;
    if (escape) return DRAGDROP_S_CANCEL;
    return release_->load() ? DRAGDROP_S_DROP : S_OK;
  }
  STDMETHODIMP GiveFeedback(DWORD) noexcept override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  std::atomic<bool>* release_;
 public:
  DWORD seen = 0;
};

class DragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDataFolder();
    PrepareDesktopShell();
    desk_ = DesktopDir();
    RemoveFolderContents(desk_);
    ::CreateDirectoryW((desk_ + L"\\项目").c_str(), nullptr);
    for (const wchar_t* n : {L"a.txt", L"b.txt", L"c.txt"}) PutFileBytes(desk_ + L"\\" + n, "desk");
    ::OleInitialize(nullptr);
    ASSERT_TRUE(MakeShortcut(desk_ + L"\\one.lnk", desk_ + L"\\a.txt"));
    ASSERT_TRUE(MakeShortcut(desk_ + L"\\two.lnk", desk_ + L"\\b.txt"));
    ASSERT_TRUE(::CopyFileW((ExeFolder() + L"\\vx_record_args.exe").c_str(), (desk_ + L"\\recorder.exe").c_str(), FALSE));
    AppGlobals& g = TheApp();
    g.programDir = ExeFolder();  // the skin in rs\ beside the test
    g.desk.config = DeskConfig();
    g.desk.config.deskPageOn = 1;
    g.closePrompt = 0;
    Start();
  }
  void Start() {
    TheApp().currentView = 0;
    back_ = std::make_unique<CDialogBack>();
    ASSERT_TRUE(back_->Create(nullptr));
    ::SetWindowPos(back_->GetSafeHwnd(), nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN) - 1,
                   ::GetSystemMetrics(SM_CYSCREEN) - 1, SWP_NOZORDER);
    ::SetForegroundWindow(back_->GetSafeHwnd());
    RunFor(300);
    desk = back_->Desk();
    ASSERT_NE(desk, nullptr);
  }
  void Stop() {
    if (back_ && back_->GetSafeHwnd()) back_->DestroyWindow();
    Pump();
    back_.reset();
    desk = nullptr;
  }
  void TearDown() override {
    Stop();
    ::OleUninitialize();
    RemoveFolderContents(desk_);
    RemoveDataFolder();
  }
  GetZhiItem* Box(const wchar_t* name) { return desk->FindBoxByName(name); }
  VxListItem* Entry(const std::wstring& name, VxListCtrl** owner = nullptr) {
    for (auto* list : desk->Model().AllLists())
      for (VxListItem* e : list->Items())
        if (_wcsicmp(e->szPath, (desk_ + L"\\" + name).c_str()) == 0) {
          if (owner) *owner = list;
          return e;
        }
    return nullptr;
  }
  GetZhiItem* BoxHolding(const std::wstring& name) {
    VxListCtrl* list = nullptr;
    return Entry(name, &list) ? desk->BoxOfList(list) : nullptr;
  }
  POINT Screen(POINT client) {
    ::ClientToScreen(back_->Host()->GetSafeHwnd(), &client);
    return client;
  }
  POINT At(const std::wstring& name) {
    VxListItem* e = Entry(name);
    GetZhiItem* box = BoxHolding(name);
    return Screen(POINT{(e->rcHover.left + e->rcHover.right) / 2,
                        (e->rcHover.top + e->rcHover.bottom) / 2 - (box ? box->scroll : 0)});
  }
  std::vector<std::wstring> DeskListNames() {
    std::vector<std::wstring> names;
    for (VxListItem* e : desk->DeskList().Items()) names.emplace_back(e->szName);
    return names;
  }
  // Presses on `from`, moves past the 5-pixel start and on to `to` in steps, holds `key`
  // while it lets go there; `shot` is taken while the cursor rests over the target. This
  // thread keeps the windows running meanwhile.
  void DragWithMouse(POINT from, POINT to, WORD key, const std::wstring& shot) {
    std::atomic<bool> done{false};
    std::thread input([&] {
      Mouse(from);
      ::Sleep(150);
      Mouse(from, MOUSEEVENTF_LEFTDOWN);
      ::Sleep(150);
      for (int i = 1; i <= 10; ++i) {
        Mouse(POINT{from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10});
        ::Sleep(60);
      }
      Mouse(POINT{to.x + 1, to.y});
      ::Sleep(100);
      Mouse(to);
      ::Sleep(150);
      // No pointer move after the key: Wine takes the modifiers of every X pointer event
      // from the X server, which never saw the injected key.
      if (key) KeyState(key, true);
      ::Sleep(400);
      Screenshot(shot);
      Button(MOUSEEVENTF_LEFTUP);
      ::Sleep(300);
      if (key) KeyState(key, false);
      done = true;
    });
    RunUntil([&] { return done.load(); }, 15000);
    input.join();
    RunFor(200);
  }

  // Files of another folder dragged by this thread's own drag loop, as another program
  // would, onto the screen point `target`, with `keys` held for the release; the drop's
  // HRESULT must say dropped, and the effect the desk chose comes back.
  DWORD DropFromOutside(const std::vector<std::wstring>& paths, POINT target, std::vector<WORD> keys,
                        const std::wstring& shot) {
    std::vector<std::u16string> files;
    for (const auto& p : paths) files.push_back(ToU16(p));
    VxComPtr<IDataObject> data(DeskCreateFileDataObject(files));
    EXPECT_TRUE(data);
    if (!data) return DROPEFFECT_NONE;
    std::atomic<bool> release{false};
    VxComPtr<IDropSource> source(new TestDropSource(&release));
    // As a user would have: the desk was clicked last, so the keys go to its thread.
    EXPECT_EQ(desk->Model().BoxAt(POINT{500, 420}), nullptr);
    Mouse(Screen(POINT{500, 420}), MOUSEEVENTF_LEFTDOWN);
    Mouse(Screen(POINT{500, 420}), MOUSEEVENTF_LEFTUP);
    RunFor(300);
    std::thread input([&] {
      Mouse(POINT{target.x - 40, target.y});
      ::Sleep(200);
      for (int i = 1; i <= 4; ++i) {
        Mouse(POINT{target.x - 40 + i * 10, target.y});
        ::Sleep(80);
      }
      Mouse(POINT{target.x + 1, target.y});
      ::Sleep(100);
      Mouse(target);
      ::Sleep(150);
      for (WORD k : keys) KeyState(k, true);
      ::Sleep(400);
      Screenshot(shot);
      release = true;
      ::Sleep(300);
      for (WORD k : keys) KeyState(k, false);
    });
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = ::DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    input.join();
    EXPECT_EQ(hr, DRAGDROP_S_DROP);
    return effect;
  }

  std::wstring desk_;
  std::unique_ptr<CDialogBack> back_;
  CMyDesk* desk = nullptr;
};

}  // namespace

// One icon of the desk list into the gap before the first; then a file from one box into
// another. Neither touches a file; both outlive a restart.
TEST_F(DragDrop, GapInTheDeskListAndIntoAnotherBoxSurviveARestart) {
  Screenshot(L"1_start");
  const std::wstring files = FolderState(desk_);
  std::vector<std::wstring> before = DeskListNames();
  ASSERT_GE(before.size(), 3u);
  VxListCtrl& list = desk->DeskList();
  VxListItem* last = list.Items().back();
  const std::wstring moved = last->szName;
  const std::wstring movedPath = last->szPath;
  const VxRc band = DeskInsertionBand(DeskGapLayoutFor(list.GetListType(), true), ToVx(list.Items()[0]->rcPos),
                                      list.GetWIner(), list.GetHIner(), 0);
  const POINT gap{(band.left + band.right) / 2, (band.top + band.bottom) / 2};
  DragWithMouse(At(movedPath.substr(desk_.size() + 1)), Screen(gap), 0, L"2_over_gap");
  Screenshot(L"3_dropped_in_gap");
  std::vector<std::wstring> expected = before;
  expected.pop_back();
  expected.insert(expected.begin(), moved);
  EXPECT_EQ(DeskListNames(), expected);
  EXPECT_TRUE(::IsRectEmpty(&desk->DragDrop().InsertMark()));

  GetZhiItem* folders = Box(L"文件夹");
  ASSERT_NE(folders, nullptr);
  ASSERT_EQ(BoxHolding(L"a.txt"), Box(L"文件"));
  const RECT area = CMyDesk::BoxListArea(folders);
  DragWithMouse(At(L"a.txt"), Screen(POINT{(area.left + area.right) / 2, area.bottom - 12}), 0, L"4_over_box");
  Screenshot(L"5_dropped_in_box");
  EXPECT_EQ(BoxHolding(L"a.txt"), folders);
  EXPECT_EQ(FolderState(desk_), files);

  Stop();
  Start();
  Screenshot(L"6_restarted");
  EXPECT_EQ(DeskListNames(), expected);
  EXPECT_EQ(BoxHolding(L"a.txt"), Box(L"文件夹"));
  EXPECT_EQ(FolderState(desk_), files);
}

// Files of another folder dropped with Control on the bare desk: copied, the clashing name
// copied under a new name, the sources left, the copies shown on the desk list.
TEST_F(DragDrop, ControlDropFromOutsideCopiesAndRenamesClashes) {
  const std::wstring src = OutsideFolder();
  PutFileBytes(src + L"\\a.txt", "outside a");
  PutFileBytes(src + L"\\新文件.txt", "outside new");
  EXPECT_EQ(DropFromOutside({src + L"\\a.txt", src + L"\\新文件.txt"}, Screen(POINT{500, 420}), {VK_CONTROL},
                            L"7_outside_over_desk"),
            static_cast<DWORD>(DROPEFFECT_COPY));

  std::wstring renamed;
  ASSERT_TRUE(RunUntil([&] {
    renamed.clear();
    ForEachInFolder(desk_, [&](const std::wstring& name, const WIN32_FIND_DATAW&) {
      if (name != L"a.txt" && FileBytes(desk_ + L"\\" + name) == "outside a") renamed = name;
    });
    return !renamed.empty() && Exists(desk_ + L"\\新文件.txt") && desk->FileOps().RunningOperations() == 0;
  })) << Narrow(FolderState(desk_)) << " a.txt holds " << FileBytes(desk_ + L"\\a.txt");
  EXPECT_EQ(FileBytes(desk_ + L"\\a.txt"), "desk");
  EXPECT_EQ(FileBytes(desk_ + L"\\新文件.txt"), "outside new");
  EXPECT_TRUE(Exists(src + L"\\a.txt"));
  EXPECT_TRUE(Exists(src + L"\\新文件.txt"));
  // The copies come in through the shell's notifications, where they were dropped.
  EXPECT_TRUE(RunUntil([&] { return Entry(renamed) && Entry(L"新文件.txt"); }));
  EXPECT_EQ(BoxHolding(L"新文件.txt"), nullptr);
  RunFor(500);  // the host redraws on its timer
  Screenshot(L"8_outside_copied");
  RemoveFolderContents(src);
  ::RemoveDirectoryW(src.c_str());
}

// A desk file dragged onto a program's icon with Control starts the program with the
// file's quoted path; nothing is copied.
TEST_F(DragDrop, ControlDropOnAnExeOpensItWithTheQuotedPaths) {
  const std::wstring files = FolderState(desk_);
  const std::wstring args = DataFolderPath() + L"\\args.txt";
  ::DeleteFileW(args.c_str());
  ASSERT_NE(Entry(L"recorder.exe"), nullptr);
  DragWithMouse(At(L"b.txt"), At(L"recorder.exe"), VK_CONTROL, L"9_over_exe");
  CDialogDragView* view = back_->Host()->DragView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->Verb(), L"用");
  EXPECT_EQ(view->Suffix(), L"打开");
  EXPECT_EQ(view->Effect(), static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_FALSE(::IsWindowVisible(view->GetSafeHwnd()));
  ASSERT_TRUE(RunUntil([&] { return FileBytes(args).size() > 0; }));
  const std::string raw = FileBytes(args);
  const std::wstring line(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t));
  EXPECT_NE(line.find(L"\"" + desk_ + L"\\b.txt\""), std::wstring::npos) << line;
  RunFor(500);
  EXPECT_EQ(FolderState(desk_), files);
}

// Files of another program dropped with Control on a folder's icon in a box are copied into
// that folder (a clash under a new name), the sources left; dropped with Control+Shift on
// the bare desk, each gets a shortcut on the desktop that leads to it.
TEST_F(DragDrop, OutsideDropsLandOnTheDeskEvenOverAFolderIconAndLinkThere) {
  const std::wstring src = OutsideFolder();
  PutFileBytes(src + L"\\a.txt", "outside a");
  PutFileBytes(src + L"\\新文件.txt", "outside new");
  const std::wstring folder = desk_ + L"\\项目";
  PutFileBytes(folder + L"\\a.txt", "inside");
  ASSERT_NE(BoxHolding(L"项目"), nullptr);
  const std::vector<std::wstring> paths{src + L"\\a.txt", src + L"\\新文件.txt"};
  // Files from another program go into the desktop folder wherever they are dropped: only
  // drags from the desk open a folder icon as their target.
  EXPECT_EQ(DropFromOutside(paths, At(L"项目"), {VK_CONTROL}, L"10_outside_over_folder"),
            static_cast<DWORD>(DROPEFFECT_COPY));
  ASSERT_TRUE(RunUntil([&] {
    return Exists(desk_ + L"\\新文件.txt") && Entry(L"新文件.txt") && desk->FileOps().RunningOperations() == 0;
  })) << Narrow(FolderState(desk_));
  EXPECT_EQ(FileBytes(desk_ + L"\\新文件.txt"), "outside new");
  EXPECT_EQ(FileBytes(folder + L"\\a.txt"), "inside");
  EXPECT_FALSE(Exists(folder + L"\\新文件.txt"));
  EXPECT_TRUE(Exists(paths[0]) && Exists(paths[1]));
  RunFor(500);  // the host redraws on its timer
  Screenshot(L"11_copied_onto_desk");

  EXPECT_EQ(DropFromOutside(paths, Screen(POINT{500, 420}), {VK_CONTROL, VK_SHIFT}, L"12_outside_link_over_desk"),
            static_cast<DWORD>(DROPEFFECT_LINK));
  std::vector<std::wstring> targets, links;
  ASSERT_TRUE(RunUntil([&] {
    targets.clear();
    links.clear();
    ForEachInFolder(desk_, [&](const std::wstring& name, const WIN32_FIND_DATAW&) {
      const std::wstring target = ShortcutTarget(desk_ + L"\\" + name);
      if (!target.empty() && _wcsnicmp(target.c_str(), src.c_str(), src.size()) == 0) {
        targets.push_back(target);
        links.push_back(name);
      }
    });
    return targets.size() >= 2;
  })) << Narrow(FolderState(desk_));
  std::sort(targets.begin(), targets.end());
  EXPECT_EQ(targets, paths);
  for (const auto& link : links) EXPECT_EQ(_wcsicmp(link.c_str() + link.size() - 4, L".lnk"), 0) << Narrow(link);
  EXPECT_TRUE(RunUntil([&] { return Entry(links[0]) && Entry(links[1]); }));
  EXPECT_TRUE(Exists(paths[0]) && Exists(paths[1]));
  RunFor(500);  // the host redraws on its timer
  Screenshot(L"13_links_on_desk");
  RemoveFolderContents(src);
  ::RemoveDirectoryW(src.c_str());
}
