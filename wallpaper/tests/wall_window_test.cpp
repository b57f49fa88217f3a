// The real Wallpaper.exe, driven with the mouse under Xvfb: open, switch tabs, scroll, set a
// picture (read back through the system setting), restore, the failure tip while the server
// is away and the retry once it is back. Screenshots go to <build>\screenshots\wallpaper_*.png.
#include "wallpaper/tests/wall_test_server.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>

#include "base/testing/screen_support.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"
#include "wallpaper/WallStore.h"
#include "wallpaper/core/wall_strip.h"

namespace {

void Shell(UINT func, const std::wstring& from, const std::wstring& to = L"") {
  const std::wstring f = from + L'\0', t = to + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = func;
  op.pFrom = f.c_str();
  op.pTo = to.empty() ? nullptr : t.c_str();
  op.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&op);
}

int FileCount(const std::wstring& dir) {
  int n = 0;
  WIN32_FIND_DATAW fd;
  VxFindHandle h(::FindFirstFileW((dir + L"*").c_str(), &fd));
  if (!h) return 0;
  do n += !(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  while (::FindNextFileW(h.Get(), &fd));
  return n;
}

template <class F>
bool WaitFor(F done, int ms = 15000) {
  for (int t = 0; t < ms; t += 50, ::Sleep(50))
    if (done()) return true;
  return done();
}

// The system's wallpaper setting as a new process reads it: Wine keeps the value a process
// read first, so this one would never see the program's changes.
std::wstring Wallpaper() {
  wchar_t exe[MAX_PATH];
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring out = WallUserFolder() + L"spi.txt";
  ::DeleteFileW(out.c_str());
  std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --print-wallpaper \"" + out + L"\"";
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return L"";
  ::WaitForSingleObject(pi.hProcess, 10000);
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(pi.hThread);
  std::string bytes;
  HANDLE f = ::CreateFileW(out.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return L"";
  char buf[1024];
  DWORD n = 0;
  ::ReadFile(f, buf, sizeof(buf), &n, nullptr);
  ::CloseHandle(f);
  return std::wstring(reinterpret_cast<const wchar_t*>(buf), n / sizeof(wchar_t));
}

// Ends the program a failed step left running.
struct Ender {
  HANDLE process;
  ~Ender() {
    if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) ::TerminateProcess(process, 1);
  }
};

struct Window {
  DWORD pid = 0;
  const wchar_t* title = nullptr;
  HWND found = nullptr;
};

// A CALLBACK function, not a lambda: the i686 build needs the stdcall convention.
BOOL CALLBACK MatchWindow(HWND h, LPARAM l) {
  auto* w = reinterpret_cast<Window*>(l);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  wchar_t text[64] = {};
  ::GetWindowTextW(h, text, 64);
  if (pid != w->pid || std::wstring(text) != w->title || !::IsWindowVisible(h)) return TRUE;
  w->found = h;
  return FALSE;
}

HWND FindOf(DWORD pid, const wchar_t* title) {
  Window w{pid, title};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&w));
  return w.found;
}

void MoveTo(int x, int y, DWORD buttons = 0) {
  Mouse(POINT{x, y}, buttons);
  ::Sleep(40);
}

// A click at (x, y) of a window's client area.
void Click(HWND w, int x, int y) {
  POINT p{x, y};
  ::ClientToScreen(w, &p);
  MoveTo(p.x, p.y);
  ::Sleep(120);
  MoveTo(p.x, p.y, MOUSEEVENTF_LEFTDOWN);
  MoveTo(p.x, p.y, MOUSEEVENTF_LEFTUP);
  ::Sleep(150);
}

void Screenshot(const wchar_t* name) {
  EXPECT_TRUE(SaveScreenshot(std::wstring(L"wallpaper_") + name)) << name;
}

}  // namespace

TEST(WallpaperWindow, BrowseSetRestoreAndRecoverFromAFailure) {
  WallTestServer relay;  // passes everything on to the stand-in services, while it is up
  const std::wstring data = WallUserFolder();
  ASSERT_FALSE(data.empty());
  Shell(FO_DELETE, data.substr(0, data.size() - 1));
  const std::wstring prog = data + L"prog\\";
  WallMakeFolder(prog + L"rs\\");
  for (const wchar_t* f : {L"\\Wallpaper.exe", L"\\Lumette.dll"})
    ASSERT_TRUE(::CopyFileW((ExeFolder() + f).c_str(), (prog + f).c_str(), FALSE));
  Shell(FO_COPY, ExeFolder() + L"\\rs\\壁纸UI", prog + L"rs");
  ::WritePrivateProfileStringW(L"services", L"wallpaper", relay.Base().c_str(), (prog + L"services.ini").c_str());

  // The wallpaper before the program starts: it is backed up as first00000.jpg.
  std::string start;
  int status = 0;
  WallTestServer::Forward("/wallpaper/38/big/38-01.jpg", &status, &start);
  ASSERT_EQ(status, 200);
  const std::wstring startFile = data + L"start.jpg";
  HANDLE f = ::CreateFileW(startFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(f, start.data(), static_cast<DWORD>(start.size()), &written, nullptr);
  ::CloseHandle(f);
  ASSERT_TRUE(::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(startFile.c_str()), SPIF_UPDATEINIFILE));

  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + prog + L"Wallpaper.exe\"";
  ASSERT_TRUE(::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, prog.c_str(), &si, &pi));
  VxKernelHandle process(pi.hProcess), thread(pi.hThread);
  Ender ender{pi.hProcess};
  HWND band = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (band = FindOf(pi.dwProcessId, L"更换壁纸")) != nullptr; }));
  RECT rc;
  ::GetClientRect(band, &rc);
  const int w = rc.right;
  EXPECT_EQ(rc.bottom, wall::kBandHeight);

  // Open: the hot tab's first lists and their thumbnails.
  ASSERT_TRUE(WaitFor([&] { return FileCount(data + L"thumb\\-1\\") >= 16; })) << "no thumbnails for the hot tab";
  ::Sleep(500);
  Screenshot(L"1_open");

  Click(band, wall::TabX(w, 1) + 50, 342 + 20);
  ASSERT_TRUE(WaitFor([&] { return FileCount(data + L"thumb\\37\\") >= 16; })) << "tab 1 did not load";
  ::Sleep(500);
  Screenshot(L"2_tab");
  EXPECT_GE(relay.Hits("name=wallpaper_nums&type=-1"), 1) << "tab 0 asks for type -1";

  Click(band, w - 20, 155 + 40);  // right arrow
  ::Sleep(1200);
  Screenshot(L"3_scrolled");
  Click(band, 20, 155 + 40);      // and back
  ::Sleep(1200);

  // Set the first picture: hover it, then release on its strip.
  const wall::Box pic = wall::PictureRect(0, 0);
  POINT centre{pic.x + pic.w / 2, pic.y + pic.h / 2};
  ::ClientToScreen(band, &centre);
  MoveTo(centre.x, centre.y);
  ::Sleep(400);
  Click(band, pic.x + pic.w / 2, pic.y + pic.h - 10);
  ASSERT_TRUE(WaitFor([&] { return Wallpaper().find(L"\\Wallers\\") != std::wstring::npos; }))
      << "wallpaper still " << std::string(Wallpaper().begin(), Wallpaper().end());
  const std::wstring set = Wallpaper();
  EXPECT_NE(set.find(L"Wallers\\37-"), std::wstring::npos);
  EXPECT_TRUE(WallPictureDecodes(set));
  Screenshot(L"4_set");

  Click(band, w - 150 + 16, 19 + 16);  // restore
  ASSERT_TRUE(WaitFor([&] { return Wallpaper().find(L"first00000.jpg") != std::wstring::npos; }));
  Screenshot(L"5_restored");

  // The server goes away: opening another tab fails and the tip shows.
  relay.Down();
  Click(band, wall::TabX(w, 2) + 50, 342 + 20);
  HWND tip = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (tip = FindOf(pi.dwProcessId, L"网络错误")) != nullptr; })) << "no failure tip";
  ::Sleep(300);
  Screenshot(L"6_failure");
  EXPECT_EQ(FileCount(data + L"thumb\\38\\"), 0);

  ASSERT_TRUE(relay.Up());
  Click(tip, 290 + 30, 70 + 10);  // "点击重试"
  ASSERT_TRUE(WaitFor([&] { return FileCount(data + L"thumb\\38\\") >= 16; })) << "retry did not load";
  EXPECT_FALSE(::IsWindow(tip));
  ::Sleep(500);
  Screenshot(L"7_retried");

  // The screen becomes smaller (Xvfb has one mode: the change is announced, not made): the
  // band follows it, and the right-hand buttons with it (the close below finds its new place).
  ::SendMessageW(band, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 720));
  RECT moved;
  ::GetWindowRect(band, &moved);
  EXPECT_EQ(moved.right - moved.left, 1280);
  EXPECT_EQ(moved.top, (720 - wall::kBandHeight) / 2);
  ::GetClientRect(band, &rc);
  const int small = rc.right;
  ::Sleep(300);
  Screenshot(L"8_smaller_screen");

  // Closed in the middle of a slow download: the transfer stops, nothing half-written stays
  // in Wallers, and the program ends cleanly (no worker reached the destroyed window).
  relay.Slow("/big/", 40, 150);
  const wall::Box next = wall::PictureRect(1, 0);
  POINT over{next.x + next.w / 2, next.y + next.h / 2};
  ::ClientToScreen(band, &over);
  MoveTo(over.x, over.y);
  ::Sleep(400);
  Click(band, next.x + next.w / 2, next.y + next.h - 10);
  ASSERT_TRUE(WaitFor([&] { return relay.SlowPiecesSent() >= 4; })) << "the download did not start";
  Screenshot(L"9_downloading");
  Click(band, small - 50 + 16, 19 + 16);  // close
  ASSERT_EQ(::WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  ::GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u) << "the program did not end cleanly";
  EXPECT_TRUE(WaitFor([&] { return relay.SlowCut(); }, 5000)) << "the download ran on after the window closed";
  EXPECT_LT(relay.SlowPiecesSent(), 40);
  EXPECT_EQ(FileCount(data + L"Wallers\\"), 2) << "first00000.jpg and the picture set, nothing half-written";
}

int main(int argc, char** argv) {
  // Helper mode for Wallpaper(): the setting as this fresh process reads it.
  if (argc == 3 && std::string(argv[1]) == "--print-wallpaper") {
    wchar_t buf[MAX_PATH] = {};
    ::SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, buf, 0);
    HANDLE f = ::CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    ::WriteFile(f, buf, static_cast<DWORD>(wcslen(buf) * sizeof(wchar_t)), &n, nullptr);
    ::CloseHandle(f);
    return 0;
  }
  ::testing::InitGoogleTest(&argc, argv);
  VxGdiplusSession gdiplus;
  return RUN_ALL_TESTS();
}
