// The real Tessary.exe over a desktop made here, driven by real input: SendInput mouse and
// keys at screen points, WM_COMMAND only where a menu of the tray would otherwise be needed.
// What the program saved is read back from its data files; each state is saved as a PNG.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <gdiplus.h>

#include <string>
#include <vector>

#include "VxRaii.h"
#include "app_test_support.h"
#include "desk_boxes.h"
#include "desk_records.h"

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

// Window enumeration callbacks are stdcall on 32-bit Windows: a lambda will not do.
BOOL CALLBACK MatchWindow(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  if (pid != s->pid || h == s->except || !::IsWindowVisible(h)) return TRUE;
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

bool SavePng(Gdiplus::Bitmap& bmp, const std::wstring& path) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i)
    if (std::wstring(codecs[i].MimeType) == L"image/png")
      return bmp.Save(path.c_str(), &codecs[i].Clsid, nullptr) == Gdiplus::Ok;
  return false;
}

// The whole screen as the user sees it, as <build>\screenshots\<name>.png.
bool Screenshot(const wchar_t* name) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, cx, cy);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, cx, cy, screen, 0, 0, SRCCOPY);
  ::SelectObject(mem, old);
  bool ok;
  {
    Gdiplus::Bitmap image(bmp, nullptr);
    const std::wstring dir = ExeFolder() + L"\\..\\screenshots";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    ok = SavePng(image, dir + L"\\e2e_" + name + L".png");
  }
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return ok;
}

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
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_, 0);
  }
  void TearDown() override {
    RemoveFolderContents(desk_);
    RemoveDataFolder();
  }

  // Screen point of a point given relative to the page, as the saved records hold them.
  POINT OnScreen(HWND host, int x, int y) const {
    POINT p{work_.left + x, work_.top + y};
    ::ClientToScreen(host, &p);
    return p;
  }

  std::wstring desk_;
  RECT work_{};
};

}  // namespace

TEST_F(EndToEnd, OrganizeDragResizeMenusAndExit) {
  PutFileBytes(DataFolderPath() + L"config.ini", "[SET]\r\nclosetishi=1\r\n");
  Process app;
  ASSERT_TRUE(app.Start(ExeFolder() + L"\\Tessary.exe"));
  const DWORD pid = app.pi.dwProcessId;
  HWND back = WaitForWindowOf(pid, nullptr, kTitle, 15000);
  ASSERT_NE(back, nullptr) << "the background window did not appear";
  HWND host = nullptr;
  for (int i = 0; i < 100 && !host; ++i, ::Sleep(50)) host = FindHost(back);
  ASSERT_NE(host, nullptr);

  // (a) The first start puts the folders in "文件夹" and the documents in "文件"; the
  // shortcut stays on the desk list.
  SavedBox folders, files;
  auto any = [](const GeziSaveData&) { return true; };
  ASSERT_TRUE(WaitForSaved(u"文件夹", any, &folders)) << "no 文件夹 box saved";
  ASSERT_TRUE(WaitForSaved(u"文件", any, &files)) << "no 文件 box saved";
  EXPECT_EQ(SavedBoxes().size(), 2u);
  EXPECT_EQ(folders.data.iconView, 1);
  EXPECT_EQ(files.data.iconView, 0);
  auto wide = [](const std::u16string& s) { return std::wstring(s.begin(), s.end()); };
  const std::string folderItems = FileBytes(wide(folders.data.itemFile));
  const std::string fileItems = FileBytes(wide(files.data.itemFile));
  auto names = [](const std::string& bytes) {
    std::vector<std::u16string> out;
    for (const DeskItemRecord& r :
         DecodeDeskItems(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
      out.push_back(r.parseName);
    return out;
  };
  auto holds = [](const std::vector<std::u16string>& list, const std::u16string& tail) {
    for (const auto& n : list)
      if (n.size() >= tail.size() && n.compare(n.size() - tail.size(), tail.size(), tail) == 0)
        return true;
    return false;
  };
  const auto inFolders = names(folderItems), inFiles = names(fileItems);
  EXPECT_EQ(inFolders.size(), 2u);
  EXPECT_TRUE(holds(inFolders, u"项目资料"));
  EXPECT_TRUE(holds(inFolders, u"照片"));
  EXPECT_EQ(inFiles.size(), 3u);
  EXPECT_TRUE(holds(inFiles, u"会议记录.txt"));
  EXPECT_TRUE(holds(inFiles, u"notes.txt"));
  EXPECT_FALSE(holds(inFiles, u"记事本.lnk"));
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
  auto pickFromTitleMenu = [&](int downs, const wchar_t* shot) {
    const POINT title = OnScreen(host, d0.left + 30, d0.top + 20);
    SendMouse(title.x, title.y, 0);
    ::Sleep(100);
    SendMouse(title.x, title.y, MOUSEEVENTF_RIGHTDOWN);
    SendMouse(title.x, title.y, MOUSEEVENTF_RIGHTUP);
    HWND menu = WaitForWindowOf(pid, L"#32768", nullptr, 5000);
    if (!menu) return false;
    ::Sleep(200);
    if (shot) Screenshot(shot);
    for (int i = 0; i < downs; ++i) SendKey(VK_DOWN);
    SendKey(VK_RETURN);
    for (int i = 0; i < 40 && FindWindowOf(pid, L"#32768", nullptr); ++i) ::Sleep(50);
    return true;
  };
  ASSERT_TRUE(pickFromTitleMenu(2, L"4_title_menu")) << "the title menu did not open";
  SavedBox listed;
  EXPECT_TRUE(WaitForSaved(u"文件夹", [](const GeziSaveData& d) { return d.iconView == 0; }, &listed));
  EXPECT_EQ(listed.data.iconView, 0) << "列表显示 did not persist";
  EXPECT_EQ(listed.data.fixedPos, 0);
  EXPECT_TRUE(Screenshot(L"5_list_display"));

  ASSERT_TRUE(pickFromTitleMenu(3, nullptr)) << "the title menu did not open";
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

  // (e) "退出" with the prompt on: the confirmation shows, a cancel keeps the program.
  ::PostMessageW(back, WM_COMMAND, 32772, 0);
  ASSERT_EQ(FindWindowOf(pid, L"#32770", nullptr, back), nullptr);
  HWND prompt = WaitForWindowOf(pid, L"#32770", nullptr, 5000, back);
  ASSERT_NE(prompt, nullptr) << "no confirmation window";
  ::Sleep(300);
  EXPECT_TRUE(Screenshot(L"7_exit_prompt"));
  ::PostMessageW(prompt, WM_CLOSE, 0, 0);
  for (int i = 0; i < 60 && ::IsWindow(prompt); ++i) ::Sleep(50);
  EXPECT_FALSE(::IsWindow(prompt));
  EXPECT_EQ(app.Wait(1000), static_cast<DWORD>(STILL_ACTIVE)) << "a cancel must keep it running";
  EXPECT_TRUE(::IsWindow(back));
  // Confirmed, it ends with code 0.
  ::PostMessageW(back, WM_COMMAND, 32772, 0);
  prompt = WaitForWindowOf(pid, L"#32770", nullptr, 5000, back);
  ASSERT_NE(prompt, nullptr) << "no confirmation window the second time";
  ::PostMessageW(prompt, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(app.Wait(20000), 0u);

  // Started again without the prompt: the saved boxes come back as they were left, and
  // "退出" ends it at once with code 0.
  PutFileBytes(DataFolderPath() + L"config.ini", "[SET]\r\nclosetishi=0\r\n");
  Process again;
  ASSERT_TRUE(again.Start(ExeFolder() + L"\\Tessary.exe"));
  HWND back2 = WaitForWindowOf(again.pi.dwProcessId, nullptr, kTitle, 15000);
  ASSERT_NE(back2, nullptr);
  ::Sleep(4000);
  SavedBox after;
  ASSERT_TRUE(FindSaved(u"文件", &after));
  EXPECT_EQ(after.data.left, f1.left + dx);
  EXPECT_EQ(after.data.top, f1.top + dy);
  ASSERT_TRUE(FindSaved(u"文件夹", &after));
  EXPECT_EQ(after.data.fixedPos, 1);
  EXPECT_EQ(after.data.iconView, 0);
  EXPECT_TRUE(Screenshot(L"8_restarted"));
  ::PostMessageW(back2, WM_COMMAND, 32772, 0);
  EXPECT_EQ(again.Wait(20000), 0u);
}
