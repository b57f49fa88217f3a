// The installer window on screen: every page and the quit confirmation (screenshots for a
// person to judge), a real install driven through the window, and the installed organizer
// started from the shortcut the install made.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "base/testing/screen_support.h"
#include "setup/DialogQuit.h"
#include "setup/SetupDlg.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"

namespace {

void Pump(int ms) {
  const DWORD end = ::GetTickCount() + ms;
  do {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(10);
  } while (static_cast<int>(::GetTickCount() - end) < 0);
}

void Screenshot(HWND hwnd, const wchar_t* name) {
  RECT rc;
  ::GetWindowRect(hwnd, &rc);
  const std::unique_ptr<Gdiplus::Bitmap> shot = CaptureScreen(rc);
  EXPECT_TRUE(VxSaveImagePng(shot.get(), ScreenshotPath(name).c_str()));
}

std::wstring LinkTarget(const std::wstring& link) {
  VxComPtr<IShellLinkW> sl;
  VxComPtr<IPersistFile> pf;
  wchar_t path[MAX_PATH] = L"";
  if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(sl.Put()))) &&
      SUCCEEDED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(pf.Put()))) &&
      SUCCEEDED(pf->Load(link.c_str(), STGM_READ)))
    sl->GetPath(path, MAX_PATH, nullptr, 0);
  return path;
}

struct FindWindowOf {
  DWORD pid;
  HWND found = nullptr;
  static BOOL CALLBACK Each(HWND hwnd, LPARAM lp) {
    auto* f = reinterpret_cast<FindWindowOf*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == f->pid && ::IsWindowVisible(hwnd)) f->found = hwnd;
    return f->found == nullptr;
  }
};

TEST(SetupWindow, EveryPageAndAnInstallThroughTheWindow) {
  VxComInit com;
  VxGdiplusSession gdiplus;
  CSetupDlg dlg;
  ASSERT_TRUE(dlg.Create(nullptr));
  ::ShowWindow(dlg, SW_SHOW);
  const std::wstring folder = L"C:\\vxtest\\pages\\vexlo\\";
  dlg.SetInstallFolder(folder);
  Pump(300);
  EXPECT_EQ(dlg.GetPage(), CSetupDlg::kWelcome);
  Screenshot(dlg, L"setup_page0_welcome.png");

  dlg.ShowSetupPage(CSetupDlg::kOptions);
  Pump(300);
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dlg, 1000)));
  Screenshot(dlg, L"setup_page1_options.png");
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(dlg.Option(i).GetCheck());

  {
    CDialogQuit quit(dlg);
    ASSERT_TRUE(quit.Create(dlg));
    ::ShowWindow(quit, SW_SHOW);
    Pump(300);
    Screenshot(quit, L"setup_quit.png");
    ::DestroyWindow(quit);
  }

  dlg.StartInstall();
  EXPECT_EQ(dlg.GetPage(), CSetupDlg::kInstalling);
  Pump(150);
  Screenshot(dlg, L"setup_page2_installing.png");
  for (int i = 0; i < 600 && dlg.GetPage() != CSetupDlg::kFinished; ++i) Pump(50);
  ASSERT_EQ(dlg.GetPage(), CSetupDlg::kFinished);
  EXPECT_EQ(dlg.GetShownPercent(), 100);
  Pump(200);
  Screenshot(dlg, L"setup_page3_finished.png");
  ::DestroyWindow(dlg);

  // The organizer starts from the start-menu shortcut the install made.
  wchar_t programs[MAX_PATH];
  ::SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
  const std::wstring target = LinkTarget(std::wstring(programs) + L"\\Vexlo桌面\\Vexlo桌面.lnk");
  ASSERT_EQ(target, folder + L"Tessary.exe");
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + target + L"\"";
  ASSERT_TRUE(::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi));
  FindWindowOf find{pi.dwProcessId};
  for (int i = 0; i < 150 && !find.found; ++i) {
    ::Sleep(100);
    ::EnumWindows(&FindWindowOf::Each, reinterpret_cast<LPARAM>(&find));
  }
  EXPECT_NE(find.found, nullptr) << "the installed organizer showed no window";
  ::TerminateProcess(pi.hProcess, 0);
  ::WaitForSingleObject(pi.hProcess, 5000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);

  // Uninstalled again: the Run value left behind would start this copy at the prefix's next
  // start and every later organizer test would find it running.
  std::wstring uninstall = L"\"" + folder + L"Uninstall.exe\" /S";
  ASSERT_TRUE(::CreateProcessW(nullptr, &uninstall[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ::WaitForSingleObject(pi.hProcess, 10000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  for (int i = 0; i < 200 && ::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
  EXPECT_EQ(::GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES) << "the uninstaller left the folder";
}

}  // namespace
