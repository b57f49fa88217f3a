// Wallpaper through the shell object and through the system setting, and the Windows+D
// keyboard hook driven by real input events.
#include <windows.h>
// IActiveDesktop is declared only when the WinINet header comes first.
#include <wininet.h>
#include <shlobj.h>

#include <atomic>
#include <map>
#include <thread>

#include "uilib/VxComObject.h"
#include "uilib/VxShellFunctions.h"
#include "uilib/tests/test_support.h"

namespace {

// A 4 x 4 24-bit bitmap file of one colour.
std::wstring MakeBmp(const std::wstring& name, BYTE r, BYTE g, BYTE b) {
  const int w = 4, h = 4, row = w * 3, pixels = row * h;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + pixels;
  ih.biSize = sizeof(ih);
  ih.biWidth = w;
  ih.biHeight = h;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = pixels;
  std::string bytes(reinterpret_cast<const char*>(&fh), sizeof(fh));
  bytes.append(reinterpret_cast<const char*>(&ih), sizeof(ih));
  for (int i = 0; i < w * h; ++i) {
    bytes.push_back(static_cast<char>(b));
    bytes.push_back(static_cast<char>(g));
    bytes.push_back(static_cast<char>(r));
  }
  return WriteBytes(name, bytes);
}

std::wstring SystemWallpaper() {
  wchar_t buf[MAX_PATH] = {};
  ::SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, buf, 0);
  return buf;
}

std::wstring RegistryWallpaper() {
  wchar_t buf[MAX_PATH] = {};
  DWORD size = sizeof(buf);
  ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"Wallpaper", RRF_RT_REG_SZ,
                 nullptr, buf, &size);
  return buf;
}

// Puts the prefix's wallpaper back after a test.
class WallpaperTest : public ::testing::Test {
 protected:
  void SetUp() override { before_ = SystemWallpaper(); }
  void TearDown() override {
    ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(before_.c_str()),
                            SPIF_UPDATEINIFILE);
  }
  std::wstring before_;
};

// What the wallpaper functions did to a stand-in shell object.
struct DeskCalls {
  std::vector<std::wstring> log;
  std::wstring wallpaper = L"C:\\given\\by\\shell.jpg";
  HRESULT setResult = S_OK;
  HRESULT getResult = S_OK;
  UINT getSize = 0;
  DWORD getFlags = 0;
};

// A stand-in Active Desktop object that records the calls made to it.
class FakeActiveDesktop : public VxComObject<VxIface<IActiveDesktop, &IID_IActiveDesktop>> {
 public:
  explicit FakeActiveDesktop(DeskCalls* calls) : c_(calls) {}
  STDMETHODIMP ApplyChanges(DWORD flags) noexcept override {
    c_->log.push_back(L"apply " + std::to_wstring(flags));
    return S_OK;
  }
  STDMETHODIMP GetWallpaper(PWSTR buf, UINT size, DWORD flags) noexcept override {
    c_->log.push_back(L"get");
    c_->getSize = size;
    c_->getFlags = flags;
    if (SUCCEEDED(c_->getResult)) lstrcpynW(buf, c_->wallpaper.c_str(), static_cast<int>(size));
    return c_->getResult;
  }
  STDMETHODIMP SetWallpaper(PCWSTR path, DWORD) noexcept override {
    c_->log.push_back(std::wstring(L"set ") + path);
    if (SUCCEEDED(c_->setResult)) c_->wallpaper = path;
    return c_->setResult;
  }
  STDMETHODIMP GetWallpaperOptions(LPWALLPAPEROPT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP SetWallpaperOptions(LPCWALLPAPEROPT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetPattern(PWSTR, UINT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP SetPattern(PCWSTR, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetDesktopItemOptions(LPCOMPONENTSOPT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP SetDesktopItemOptions(LPCCOMPONENTSOPT o, DWORD) noexcept override {
    c_->log.push_back(L"options " + std::to_wstring(o->dwSize) + L" " +
                      std::to_wstring(o->fEnableComponents) + L" " +
                      std::to_wstring(o->fActiveDesktop));
    return S_OK;
  }
  STDMETHODIMP AddDesktopItem(LPCCOMPONENT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP AddDesktopItemWithUI(HWND, LPCOMPONENT, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  STDMETHODIMP ModifyDesktopItem(LPCCOMPONENT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP RemoveDesktopItem(LPCCOMPONENT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetDesktopItemCount(int*, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetDesktopItem(int, LPCOMPONENT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetDesktopItemByID(ULONG_PTR, LPCOMPONENT, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  STDMETHODIMP GenerateDesktopItemHtml(PCWSTR, LPCOMPONENT, DWORD) noexcept override {
    return E_NOTIMPL;
  }
  STDMETHODIMP AddUrl(HWND, PCWSTR, LPCOMPONENT, DWORD) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetDesktopItemBySource(PCWSTR, LPCOMPONENT, DWORD) noexcept override {
    return E_NOTIMPL;
  }

 private:
  DeskCalls* c_;
};

// Stands in for the system's Active Desktop class while registered: it makes the fake
// object, or fails as if the class were missing (calls == null).
class DeskFactory : public VxComObject<VxIface<IClassFactory, &IID_IClassFactory>> {
 public:
  explicit DeskFactory(DeskCalls* calls) : c_(calls) {
    ::CoRegisterClassObject(CLSID_ActiveDesktop, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                            &cookie_);
  }
  ~DeskFactory() override {
    if (cookie_) ::CoRevokeClassObject(cookie_);
  }
  bool Registered() const { return cookie_ != 0; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID riid, void** out) noexcept override {
    *out = nullptr;
    if (!c_) return REGDB_E_CLASSNOTREG;
    auto* desk = new FakeActiveDesktop(c_);
    const HRESULT hr = desk->QueryInterface(riid, out);
    desk->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) noexcept override { return S_OK; }

 private:
  DeskCalls* c_;
  DWORD cookie_ = 0;
};

bool ShellObjectCreatable() {
  IUnknown* unk = nullptr;
  const HRESULT hr = ::CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IActiveDesktop, reinterpret_cast<void**>(&unk));
  if (unk) unk->Release();
  return SUCCEEDED(hr);
}

}  // namespace

// Wine's Active Desktop object can be created but answers E_NOTIMPL to the wallpaper
// calls, so this goes through the object and on to the system setting.
TEST_F(WallpaperTest, RealShellObjectRoundTripsAFile) {
  ASSERT_TRUE(ShellObjectCreatable()) << "Wine offers the Active Desktop object";
  const std::wstring blue = MakeBmp(L"壁纸蓝.bmp", 0, 0, 255);
  const std::wstring red = MakeBmp(L"wall-red.bmp", 255, 0, 0);
  EXPECT_EQ(VxShellFunctions::SetWallpaper(blue, 0), TRUE);
  EXPECT_EQ(VxShellFunctions::GetWallpaper(), blue);
  EXPECT_EQ(SystemWallpaper(), blue);
  EXPECT_EQ(RegistryWallpaper(), blue);
  // The second argument changes nothing.
  EXPECT_EQ(VxShellFunctions::SetWallpaper(red, 7), TRUE);
  EXPECT_EQ(VxShellFunctions::GetWallpaper(), red);
  EXPECT_EQ(RegistryWallpaper(), red);
}

TEST_F(WallpaperTest, MissingShellObjectFallsBackToTheSystemSetting) {
  DeskFactory missing(nullptr);
  ASSERT_TRUE(missing.Registered());
  ASSERT_FALSE(ShellObjectCreatable());
  const std::wstring green = MakeBmp(L"wall-green.bmp", 0, 255, 0);
  EXPECT_EQ(VxShellFunctions::SetWallpaper(green, 0), TRUE);
  EXPECT_EQ(SystemWallpaper(), green);
  EXPECT_EQ(RegistryWallpaper(), green);
  EXPECT_EQ(VxShellFunctions::GetWallpaper(), green);
}

TEST_F(WallpaperTest, CallsTheShellObjectWithOptionsApplyFlagsAndLastAppliedRead) {
  DeskCalls calls;
  DeskFactory factory(&calls);
  ASSERT_TRUE(factory.Registered());
  const std::wstring system = SystemWallpaper();
  EXPECT_EQ(VxShellFunctions::SetWallpaper(L"C:\\pics\\山水.jpg", 0), TRUE);
  const std::vector<std::wstring> setLog = {L"options 12 1 1", L"set C:\\pics\\山水.jpg",
                                            L"apply 15"};
  EXPECT_EQ(calls.log, setLog);
  // The shell object took it: the system setting is not written behind its back.
  EXPECT_EQ(SystemWallpaper(), system);

  calls.log.clear();
  EXPECT_EQ(VxShellFunctions::GetWallpaper(), L"C:\\pics\\山水.jpg");
  const std::vector<std::wstring> getLog = {L"options 12 1 1", L"get"};
  EXPECT_EQ(calls.log, getLog);
  EXPECT_EQ(calls.getSize, static_cast<UINT>(MAX_PATH));
  EXPECT_EQ(calls.getFlags, static_cast<DWORD>(AD_GETWP_LAST_APPLIED));
}

TEST_F(WallpaperTest, RefusedPathIsNotAppliedAndStillReportsTheObject) {
  DeskCalls calls;
  calls.setResult = E_INVALIDARG;
  DeskFactory factory(&calls);
  const std::wstring system = SystemWallpaper();
  EXPECT_EQ(VxShellFunctions::SetWallpaper(L"C:\\nowhere\\none.jpg", 0), TRUE);
  const std::vector<std::wstring> log = {L"options 12 1 1", L"set C:\\nowhere\\none.jpg"};
  EXPECT_EQ(calls.log, log);
  EXPECT_EQ(SystemWallpaper(), system);
  EXPECT_EQ(VxShellFunctions::GetWallpaper(), L"C:\\given\\by\\shell.jpg");
}

TEST_F(WallpaperTest, FailedReadGivesEmptyText) {
  DeskCalls calls;
  calls.getResult = E_FAIL;
  DeskFactory factory(&calls);
  EXPECT_EQ(VxShellFunctions::GetWallpaper(), L"");
}

TEST_F(WallpaperTest, ShellObjectWithoutWallpaperSupportFallsBack) {
  DeskCalls calls;
  calls.setResult = E_NOTIMPL;
  calls.getResult = E_NOTIMPL;
  DeskFactory factory(&calls);
  const std::wstring file = MakeBmp(L"wall-notimpl.bmp", 9, 9, 9);
  EXPECT_EQ(VxShellFunctions::SetWallpaper(file, 0), TRUE);
  EXPECT_EQ(SystemWallpaper(), file);
  EXPECT_EQ(VxShellFunctions::GetWallpaper(), file);
}

// ---- Windows+D ----

namespace {

std::atomic<int> g_touches{0};
std::map<HWND, int> g_touchesOf;  // window procedures run on the test thread only
std::atomic<int> g_otherHookKeys{0};
HHOOK g_watchHook = nullptr;

LRESULT CALLBACK TouchProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_WINDOWPOSCHANGING) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(l);
    const UINT still = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
    if ((pos->flags & still) == still) {
      ++g_touches;
      ++g_touchesOf[h];
    }
  }
  return ::DefWindowProcW(h, m, w, l);
}

// An earlier hook of another program: it must still see every key.
LRESULT CALLBACK WatchProc(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION) ++g_otherHookKeys;
  return ::CallNextHookEx(g_watchHook, code, w, l);
}

HWND MakeTouchWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TouchProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VxTouchTest";
  ::RegisterClassW(&wc);
  return ::CreateWindowExW(0, L"VxTouchTest", L"touch", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_LWIN || vk == VK_RWIN) in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

std::atomic<int> g_pressSeen{0};
HHOOK g_pressHook = nullptr;

LRESULT CALLBACK PressWatchProc(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION) ++g_pressSeen;
  return ::CallNextHookEx(g_pressHook, code, w, l);
}

// Sends the key events from another thread while this one pumps (the hooks run on this
// thread), until every event has gone through the hook chain: Wine sometimes delivers them
// late, for instance while it redraws the desktop after a wallpaper change.
void Press(std::vector<INPUT> keys) {
  g_pressSeen = 0;
  g_pressHook = ::SetWindowsHookExW(WH_KEYBOARD_LL, PressWatchProc, ::GetModuleHandleW(nullptr), 0);
  std::thread t([&] {
    for (INPUT& in : keys) {
      ::SendInput(1, &in, sizeof(INPUT));
      ::Sleep(20);
    }
  });
  const DWORD start = ::GetTickCount();
  while (g_pressSeen < static_cast<int>(keys.size()) && ::GetTickCount() - start < 5000) {
    PumpMessages();
    ::Sleep(5);
  }
  t.join();
  for (int i = 0; i < 5; ++i) {
    PumpMessages();
    ::Sleep(10);
  }
  ::UnhookWindowsHookEx(g_pressHook);
  g_pressHook = nullptr;
  EXPECT_EQ(g_pressSeen, static_cast<int>(keys.size())) << "key events lost";
}

std::vector<INPUT> WinD() {
  return {Key(VK_LWIN, false), Key('D', false), Key('D', true), Key(VK_LWIN, true)};
}

class WinKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wnd_ = MakeTouchWindow();
    ASSERT_NE(wnd_, nullptr);
    PumpMessages();
    g_touches = 0;
    g_touchesOf.clear();
  }
  void TearDown() override {
    SetWinKeyMask(FALSE, nullptr);
    ::DestroyWindow(wnd_);
  }
  HWND wnd_ = nullptr;
};

}  // namespace

TEST_F(WinKeyTest, WindowsDTouchesTheWindowOnKeyDownAndKeyUp) {
  ASSERT_TRUE(SetWinKeyMask(TRUE, wnd_));
  Press(WinD());
  EXPECT_EQ(g_touches, 2);
}

TEST_F(WinKeyTest, DAloneOrWithOtherModifiersDoesNothing) {
  ASSERT_TRUE(SetWinKeyMask(TRUE, wnd_));
  Press({Key('D', false), Key('D', true)});
  EXPECT_EQ(g_touches, 0);
  Press({Key(VK_RWIN, false), Key('D', false), Key('D', true), Key(VK_RWIN, true)});
  EXPECT_EQ(g_touches, 0) << "only the left Windows key counts";
  Press({Key(VK_LWIN, false), Key('K', false), Key('K', true), Key(VK_LWIN, true)});
  EXPECT_EQ(g_touches, 0) << "another letter";
  Press({Key(VK_LWIN, false), Key(VK_LWIN, true), Key('D', false), Key('D', true)});
  EXPECT_EQ(g_touches, 0) << "the Windows key was already up";
}

TEST_F(WinKeyTest, KeysAreStillPassedOnToEarlierHooks) {
  g_watchHook = ::SetWindowsHookExW(WH_KEYBOARD_LL, WatchProc, ::GetModuleHandleW(nullptr), 0);
  ASSERT_NE(g_watchHook, nullptr);
  ASSERT_TRUE(SetWinKeyMask(TRUE, wnd_));
  g_otherHookKeys = 0;
  Press(WinD());
  EXPECT_EQ(g_touches, 2);
  EXPECT_EQ(g_otherHookKeys, 4);
  SetWinKeyMask(FALSE, nullptr);
  ::UnhookWindowsHookEx(g_watchHook);
  g_watchHook = nullptr;
}

TEST_F(WinKeyTest, RemovedHookTouchesNothingAndRemovingTwiceIsFine) {
  ASSERT_TRUE(SetWinKeyMask(TRUE, wnd_));
  EXPECT_TRUE(SetWinKeyMask(FALSE, nullptr));
  EXPECT_TRUE(SetWinKeyMask(FALSE, nullptr));
  Press(WinD());
  EXPECT_EQ(g_touches, 0);
}

TEST_F(WinKeyTest, ReinstallingReplacesTheHookAndTheWindow) {
  HWND other = ::CreateWindowExW(0, L"VxTouchTest", L"other", WS_POPUP | WS_VISIBLE, 60, 0, 50,
                                 50, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(SetWinKeyMask(TRUE, wnd_));
  ASSERT_TRUE(SetWinKeyMask(TRUE, other));
  PumpMessages();
  g_touches = 0;
  g_touchesOf.clear();
  Press(WinD());
  // One hook, not two, and only the window remembered last.
  EXPECT_EQ(g_touches, 2);
  EXPECT_EQ(g_touchesOf[other], 2);
  EXPECT_EQ(g_touchesOf[wnd_], 0);
  ::DestroyWindow(other);
}

TEST_F(WinKeyTest, WindowsKeyHeldBeforeInstallingCounts) {
  Press({Key(VK_LWIN, false)});
  // The hook reads the key's state when it is installed; under load Wine updates that state
  // a little after the hooks saw the key go down.
  for (DWORD start = ::GetTickCount(); !(::GetAsyncKeyState(VK_LWIN) & 0x8000) && ::GetTickCount() - start < 2000;)
    ::Sleep(10);
  ASSERT_TRUE(SetWinKeyMask(TRUE, wnd_));
  Press({Key('D', false), Key('D', true), Key(VK_LWIN, true)});
  EXPECT_EQ(g_touches, 2);
  Press({Key('D', false), Key('D', true)});
  EXPECT_EQ(g_touches, 2) << "the key-up the hook saw counts from then on";
}
