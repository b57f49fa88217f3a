#pragma once
// Owners for Win32, GDI, GDI+, COM and registry handles: non-copyable, movable, and each
// select guard remembers the DC it restores into.
#include <windows.h>
#include <ole2.h>
#include <wininet.h>

#include <utility>

#include "uilib/VxGdiplus.h"

// A handle with a free function. Traits: static Handle Invalid(); static void Close(Handle).
template <class Traits>
class VxHandle {
 public:
  using Handle = typename Traits::Handle;
  VxHandle() = default;
  explicit VxHandle(Handle h) : h_(h) {}
  ~VxHandle() { Reset(); }
  VxHandle(const VxHandle&) = delete;
  VxHandle& operator=(const VxHandle&) = delete;
  VxHandle(VxHandle&& o) noexcept : h_(o.Release()) {}
  VxHandle& operator=(VxHandle&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  Handle Get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Invalid(); }
  Handle Release() { return std::exchange(h_, Traits::Invalid()); }
  void Reset(Handle h = Traits::Invalid()) {
    if (h_ != Traits::Invalid()) Traits::Close(h_);
    h_ = h;
  }

 private:
  Handle h_ = Traits::Invalid();
};

template <class H>
struct VxGdiObjTraits {
  using Handle = H;
  static H Invalid() { return nullptr; }
  static void Close(H h) { ::DeleteObject(h); }
};
using VxBitmap = VxHandle<VxGdiObjTraits<HBITMAP>>;
using VxFont = VxHandle<VxGdiObjTraits<HFONT>>;
using VxBrush = VxHandle<VxGdiObjTraits<HBRUSH>>;
using VxRegion = VxHandle<VxGdiObjTraits<HRGN>>;

struct VxMemDCTraits {
  using Handle = HDC;
  static HDC Invalid() { return nullptr; }
  static void Close(HDC h) { ::DeleteDC(h); }
};
using VxMemDC = VxHandle<VxMemDCTraits>;  // from CreateCompatibleDC

struct VxKernelTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
using VxKernelHandle = VxHandle<VxKernelTraits>;

// Sessions, connections and requests of the Internet functions (link wininet).
struct VxInternetTraits {
  using Handle = HINTERNET;
  static HINTERNET Invalid() { return nullptr; }
  static void Close(HINTERNET h) { ::InternetCloseHandle(h); }
};
using VxInternet = VxHandle<VxInternetTraits>;

struct VxFileTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
using VxFileHandle = VxHandle<VxFileTraits>;

struct VxFindTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::FindClose(h); }
};
using VxFindHandle = VxHandle<VxFindTraits>;  // from FindFirstFile

struct VxRegKeyTraits {
  using Handle = HKEY;
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};
using VxRegKey = VxHandle<VxRegKeyTraits>;

struct VxIconTraits {
  using Handle = HICON;
  static HICON Invalid() { return nullptr; }
  static void Close(HICON h) { ::DestroyIcon(h); }
};
using VxIcon = VxHandle<VxIconTraits>;

struct VxGlobalTraits {
  using Handle = HGLOBAL;
  static HGLOBAL Invalid() { return nullptr; }
  static void Close(HGLOBAL h) { ::GlobalFree(h); }
};
using VxGlobal = VxHandle<VxGlobalTraits>;

struct VxLibraryTraits {
  using Handle = HMODULE;
  static HMODULE Invalid() { return nullptr; }
  static void Close(HMODULE h) { ::FreeLibrary(h); }
};
using VxLibrary = VxHandle<VxLibraryTraits>;  // from LoadLibrary

// A window DC from GetDC, released into the window it came from.
class VxWindowDC {
 public:
  explicit VxWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~VxWindowDC() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  VxWindowDC(const VxWindowDC&) = delete;
  VxWindowDC& operator=(const VxWindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back into that same DC.
class VxSelectObject {
 public:
  VxSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~VxSelectObject() {
    if (dc_ && old_) ::SelectObject(dc_, old_);
  }
  VxSelectObject(const VxSelectObject&) = delete;
  VxSelectObject& operator=(const VxSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Saves a DC's state (clip region among it) and restores it when the guard goes.
class VxSavedDC {
 public:
  explicit VxSavedDC(HDC dc) : dc_(dc), id_(dc ? ::SaveDC(dc) : 0) {}
  ~VxSavedDC() {
    if (dc_ && id_) ::RestoreDC(dc_, id_);
  }
  VxSavedDC(const VxSavedDC&) = delete;
  VxSavedDC& operator=(const VxSavedDC&) = delete;

 private:
  HDC dc_;
  int id_;
};

// Locks a global memory block for the guard's life.
template <class T>
class VxGlobalLock {
 public:
  explicit VxGlobalLock(HGLOBAL h) : h_(h), p_(static_cast<T*>(::GlobalLock(h))) {}
  ~VxGlobalLock() {
    if (p_) ::GlobalUnlock(h_);
  }
  VxGlobalLock(const VxGlobalLock&) = delete;
  VxGlobalLock& operator=(const VxGlobalLock&) = delete;
  T* Get() const { return p_; }

 private:
  HGLOBAL h_;
  T* p_;
};

// A COM interface pointer.
template <class T>
class VxComPtr {
 public:
  VxComPtr() = default;
  // Takes over a reference the caller holds (a fresh object's first one).
  explicit VxComPtr(T* adopted) noexcept : p_(adopted) {}
  ~VxComPtr() { Reset(); }
  VxComPtr(const VxComPtr&) = delete;
  VxComPtr& operator=(const VxComPtr&) = delete;
  VxComPtr(VxComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  VxComPtr& operator=(VxComPtr&& o) noexcept {
    if (this != &o) {
      Reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  T** Put() {
    Reset();
    return &p_;
  }
  explicit operator bool() const { return p_ != nullptr; }
  void Reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// A storage medium from IDataObject::GetData (or one a data object keeps): released once.
class VxStgMedium {
 public:
  VxStgMedium() = default;
  ~VxStgMedium() { Reset(); }
  VxStgMedium(const VxStgMedium&) = delete;
  VxStgMedium& operator=(const VxStgMedium&) = delete;
  VxStgMedium(VxStgMedium&& o) noexcept : m_(o.m_) { o.m_ = STGMEDIUM{}; }
  VxStgMedium& operator=(VxStgMedium&& o) noexcept {
    if (this != &o) {
      Reset();
      m_ = o.m_;
      o.m_ = STGMEDIUM{};
    }
    return *this;
  }
  STGMEDIUM* Put() {
    Reset();
    return &m_;
  }
  const STGMEDIUM& Get() const { return m_; }
  void Reset() {
    if (m_.tymed != TYMED_NULL) ::ReleaseStgMedium(&m_);
    m_ = STGMEDIUM{};
  }

 private:
  STGMEDIUM m_{};
};

// COM on the calling thread for the life of the object (single-threaded apartment), given
// back only when this object started it.
class VxComInit {
 public:
  VxComInit() noexcept : ok_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~VxComInit() {
    if (ok_) ::CoUninitialize();
  }
  VxComInit(const VxComInit&) = delete;
  VxComInit& operator=(const VxComInit&) = delete;
  bool Ok() const noexcept { return ok_; }

 private:
  bool ok_;
};

// GDI+ for the life of the object (programs and test fixtures hold one).
class VxGdiplusSession {
 public:
  VxGdiplusSession() {
    Gdiplus::GdiplusStartupInput in;
    ok_ = Gdiplus::GdiplusStartup(&token_, &in, nullptr) == Gdiplus::Ok;
  }
  ~VxGdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  VxGdiplusSession(const VxGdiplusSession&) = delete;
  VxGdiplusSession& operator=(const VxGdiplusSession&) = delete;
  bool Ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};
