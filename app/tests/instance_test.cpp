// Two real Tessary processes: the second shows its message and leaves the first alone.
#include <gtest/gtest.h>

#include <string>

#include "uilib/VxRaii.h"
#include "base/testing/test_support.h"

namespace {

struct FoundBox {
  DWORD pid;
  HWND hwnd = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<FoundBox*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[64] = {};
  ::GetClassNameW(hwnd, cls, 64);
  // Only once the box is on screen: while it is being made its title is still empty.
  if (pid == f->pid && wcscmp(cls, L"#32770") == 0 && ::IsWindowVisible(hwnd) &&
      ::GetWindowTextLengthW(hwnd) > 0) {
    f->hwnd = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct TitledWindow {
  DWORD pid;
  HWND found = nullptr;
};

// The background window of one process (other programs may use the same title).
BOOL CALLBACK FindTitledWindow(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<TitledWindow*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  wchar_t title[64] = {};
  ::GetWindowTextW(h, title, 64);
  if (pid != s->pid || wcscmp(title, L"Vexlo桌面") != 0) return TRUE;
  s->found = h;
  return FALSE;
}

}  // namespace

TEST(SingleInstance, SecondCopyShowsTheMessageAndExitsZero) {
  // This process plays the running copy: it owns the instance mutex.
  VxKernelHandle first(::CreateMutexW(nullptr, TRUE, L"vexlo_desk"));
  ASSERT_TRUE(static_cast<bool>(first));
  ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  RemoveDataFolder();

  Process second;
  ASSERT_TRUE(second.Start(ExeFolder() + L"\\Tessary.exe"));
  FoundBox found{second.pi.dwProcessId};
  for (int i = 0; i < 200 && !found.hwnd; ++i) {
    ::Sleep(50);
    ::EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&found));
  }
  ASSERT_NE(found.hwnd, nullptr) << "no message box from the second copy";
  wchar_t title[64] = {}, text[256] = {};
  ::GetWindowTextW(found.hwnd, title, 64);
  ::GetDlgItemTextW(found.hwnd, 0xFFFF, text, 256);
  EXPECT_STREQ(title, L"Vexlo桌面");
  EXPECT_STREQ(text, L"你已经打开了该程序!");
  ::PostMessageW(found.hwnd, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(second.Wait(10000), 0u);
  // It left before touching anything of the running copy's data.
  EXPECT_EQ(::GetFileAttributesW(DataFolderPath().c_str()), INVALID_FILE_ATTRIBUTES);
  // The first copy still holds its mutex.
  EXPECT_EQ(::WaitForSingleObject(first.Get(), 0), WAIT_OBJECT_0);
}

TEST(SingleInstance, AloneItRunsUntilExitedFromItsMenu) {
  RemoveDataFolder();
  ASSERT_TRUE(EnsureDataFolder());
  // No exit prompt, so the exit command ends it at once.
  PutFileBytes(DataFolderPath() + L"config.ini", "[SET]\r\nclosetishi=0\r\n");
  Process only;
  ASSERT_TRUE(only.Start(ExeFolder() + L"\\Tessary.exe"));
  TitledWindow search{only.pi.dwProcessId};
  for (int i = 0; i < 300 && !search.found; ++i) {
    ::Sleep(50);
    ::EnumWindows(FindTitledWindow, reinterpret_cast<LPARAM>(&search));
  }
  HWND back = search.found;
  ASSERT_NE(back, nullptr) << "the background window did not appear";
  EXPECT_EQ(only.Wait(500), static_cast<DWORD>(STILL_ACTIVE)) << "it keeps running";
  // The desk page is up: its files are written on the first organize.
  EXPECT_NE(::GetFileAttributesW((DataFolderPath() + L"deskconf.dat").c_str()), INVALID_FILE_ATTRIBUTES);
  ::PostMessageW(back, WM_COMMAND, 32772, 0);  // "退出"
  EXPECT_EQ(only.Wait(20000), 0u);
  RemoveDataFolder();
}
