// Finding the shell's desktop view, against window trees the test builds itself.
#include "uilib/VxDeskList.h"
#include "uilib/tests/test_support.h"

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return ::DefWindowProcW(h, m, w, l); }

void Register(const wchar_t* cls) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = cls;
  ::RegisterClassW(&wc);
}

// Owns the windows of one fake shell.
class FakeShell {
 public:
  FakeShell() {
    for (const wchar_t* c : {L"Progman", L"WorkerW", L"SHELLDLL_DefView", L"SysListView32"})
      Register(c);
  }
  ~FakeShell() {
    for (auto it = tops_.rbegin(); it != tops_.rend(); ++it) ::DestroyWindow(*it);
  }
  HWND Top(const wchar_t* cls, const wchar_t* title) {
    HWND h = ::CreateWindowExW(0, cls, title, WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                               nullptr, ::GetModuleHandleW(nullptr), nullptr);
    tops_.push_back(h);
    return h;
  }
  static HWND Child(HWND parent, const wchar_t* cls, const wchar_t* title) {
    return ::CreateWindowExW(0, cls, title, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
  }

 private:
  std::vector<HWND> tops_;
};

}  // namespace

TEST(DeskDiscovery, NoShellMeansNoHostAndTheDialogStaysTopLevel) {
  ASSERT_EQ(::FindWindowW(L"Progman", nullptr), nullptr) << "this Wine runs a real shell";
  EXPECT_EQ(VxFindDeskHost(), nullptr);
  EXPECT_EQ(VxFindDeskLayer(), nullptr);
  TestDialog dlg;
  ASSERT_TRUE(dlg.Open(0, 0, 100, 100, false));
  EXPECT_FALSE(dlg.SetDesk());
  EXPECT_EQ(::GetAncestor(dlg, GA_PARENT), ::GetDesktopWindow());
  dlg.ShowDeskList(FALSE);  // nothing to hide, nothing breaks
}

TEST(DeskDiscovery, ViewUnderProgramManager) {
  FakeShell shell;
  HWND progman = shell.Top(L"Progman", L"Program Manager");
  HWND view = FakeShell::Child(progman, L"SHELLDLL_DefView", L"");
  FakeShell::Child(view, L"SysListView32", L"Other");
  HWND list = FakeShell::Child(view, L"SysListView32", L"FolderView");
  EXPECT_EQ(VxFindDeskHost(), list);
  TestDialog dlg;
  ASSERT_TRUE(dlg.Open(0, 0, 100, 100, false));
  EXPECT_TRUE(dlg.SetDesk());
  EXPECT_EQ(::GetAncestor(dlg, GA_PARENT), list);
  // The layer to show and hide is the program manager itself.
  EXPECT_EQ(VxFindDeskLayer(), progman);
  dlg.ShowDeskList(FALSE);
  EXPECT_FALSE(::IsWindowVisible(progman));
  dlg.ShowDeskList(TRUE);
  EXPECT_TRUE(::IsWindowVisible(progman));
  ::SetParent(dlg, nullptr);
}

TEST(DeskDiscovery, ViewWithoutListFallsBackToProgramManager) {
  FakeShell shell;
  HWND progman = shell.Top(L"Progman", L"Program Manager");
  FakeShell::Child(progman, L"SHELLDLL_DefView", L"");
  EXPECT_EQ(VxFindDeskHost(), progman);
}

TEST(DeskDiscovery, ProgramManagerWithAnotherTitleIsNoHost) {
  FakeShell shell;
  shell.Top(L"Progman", L"Something else");
  EXPECT_EQ(VxFindDeskHost(), nullptr);
}

TEST(DeskDiscovery, ViewMovedIntoTheSecondWorkerWindow) {
  FakeShell shell;
  shell.Top(L"Progman", L"Program Manager");
  // Created last = on top: the empty worker comes first in z-order.
  HWND second = shell.Top(L"WorkerW", L"");
  HWND view = FakeShell::Child(second, L"SHELLDLL_DefView", L"");
  HWND list = FakeShell::Child(view, L"SysListView32", L"FolderView");
  HWND first = shell.Top(L"WorkerW", L"");
  ::SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(VxFindDeskHost(), list);
  TestDialog dlg;
  ASSERT_TRUE(dlg.Open(0, 0, 100, 100, false));
  EXPECT_TRUE(dlg.SetDesk());
  EXPECT_EQ(::GetAncestor(dlg, GA_PARENT), list);
  ::SetParent(dlg, nullptr);
}

TEST(DeskDiscovery, WithoutProgramManagerTheLayerIsTheWorkersFolderView) {
  FakeShell shell;
  HWND titled = shell.Top(L"WorkerW", L"busy");  // only untitled workers count here
  HWND tview = FakeShell::Child(titled, L"SHELLDLL_DefView", L"");
  FakeShell::Child(tview, L"SysListView32", L"FolderView");
  HWND worker = shell.Top(L"WorkerW", L"");
  HWND view = FakeShell::Child(worker, L"SHELLDLL_DefView", L"");
  HWND list = FakeShell::Child(view, L"SysListView32", L"FolderView");
  EXPECT_EQ(VxFindDeskLayer(), list);
  EXPECT_EQ(VxFindDeskHost(), nullptr) << "embedding needs the program manager";
  TestDialog dlg;
  ASSERT_TRUE(dlg.Open(0, 0, 100, 100, false));
  dlg.ShowDeskList(FALSE);
  EXPECT_FALSE(::IsWindowVisible(list));
}
