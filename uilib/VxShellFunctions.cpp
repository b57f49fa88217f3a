#include "uilib/VxShellFunctions.h"

// IActiveDesktop is declared only when the WinINet header comes first.
#include <wininet.h>
#include <shlobj.h>

#include "uilib/VxLibMain.h"
#include "uilib/VxRaii.h"

namespace {

// The shell object with its components options set, or empty.
VxComPtr<IActiveDesktop> OpenActiveDesktop() noexcept {
  VxComPtr<IActiveDesktop> desk;
  if (FAILED(::CoCreateInstance(CLSID_ActiveDesktop, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IActiveDesktop, reinterpret_cast<void**>(desk.Put()))) ||
      !desk)
    return VxComPtr<IActiveDesktop>();
  COMPONENTSOPT opt{};
  opt.dwSize = sizeof(opt);
  opt.fEnableComponents = TRUE;
  opt.fActiveDesktop = TRUE;
  desk->SetDesktopItemOptions(&opt, 0);
  return desk;
}

BOOL SetSystemWallpaper(const CString& path) noexcept {
  return ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(path.c_str()),
                                 SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

CString GetSystemWallpaper() {
  wchar_t buf[MAX_PATH] = {};
  if (!::SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, buf, 0)) return CString();
  return CString(buf);
}

HHOOK g_hook = nullptr;
HWND g_hookWnd = nullptr;
// The left Windows key as the hook's own events showed it. Until the hook has seen that
// key, the system's key state answers: Wine updates that state only after the hooks of
// an event have run, so right after a fast key-down it may still read "up".
bool g_lwinSeen = false;
bool g_lwinDown = false;

bool LeftWinDown() {
  return g_lwinSeen ? g_lwinDown : (::GetAsyncKeyState(VK_LWIN) & 0x8000) != 0;
}

LRESULT CALLBACK WinKeyProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (key->vkCode == VK_LWIN) {
      g_lwinSeen = true;
      g_lwinDown = !(key->flags & LLKHF_UP);
    } else if (key->vkCode == 'D' && (wParam == WM_KEYDOWN || wParam == WM_KEYUP) &&
               LeftWinDown()) {
      ::SetWindowPos(g_hookWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    }
  }
  return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

BOOL RemoveHook() noexcept {
  if (!g_hook) return TRUE;
  if (!::UnhookWindowsHookEx(g_hook)) return FALSE;
  g_hook = nullptr;
  return TRUE;
}

}  // namespace

int VxShellFunctions::SetWallpaper(CString path, DWORD /*reserved*/) noexcept {
  VxComInit com;
  VxComPtr<IActiveDesktop> desk = OpenActiveDesktop();
  if (!desk) return SetSystemWallpaper(path);
  const HRESULT hr = desk->SetWallpaper(path.c_str(), 0);
  if (SUCCEEDED(hr))
    desk->ApplyChanges(AD_APPLY_SAVE | AD_APPLY_HTMLGEN | AD_APPLY_REFRESH | AD_APPLY_FORCE);
  else if (hr == E_NOTIMPL)
    SetSystemWallpaper(path);  // a shell object without wallpaper support
  return TRUE;
}

CString VxShellFunctions::GetWallpaper() noexcept {
  try {
    VxComInit com;
    VxComPtr<IActiveDesktop> desk = OpenActiveDesktop();
    if (!desk) return GetSystemWallpaper();
    wchar_t buf[MAX_PATH] = {};
    const HRESULT hr = desk->GetWallpaper(buf, MAX_PATH, AD_GETWP_LAST_APPLIED);
    if (hr == E_NOTIMPL) return GetSystemWallpaper();
    return SUCCEEDED(hr) ? CString(buf) : CString();
  } catch (...) {
    return CString();  // no memory for the path
  }
}

BOOL SetWinKeyMask(BOOL on, HWND wnd) noexcept {
  if (!on) return RemoveHook();
  if (!RemoveHook()) return FALSE;
  g_hookWnd = wnd;
  g_lwinSeen = g_lwinDown = false;
  g_hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, WinKeyProc, VxLibModule(), 0);
  return g_hook != nullptr;
}

void VxShellDetach() noexcept { RemoveHook(); }
