#include "desk/DeskChangeWatch.h"

#include "uilib/VxRaii.h"

namespace {
constexpr UINT WM_WATCH_NOTIFY = WM_USER + 1;
constexpr wchar_t kWatchClass[] = L"VxDeskChangeWatch";
}  // namespace

BOOL CDeskChangeWatch::Start(HWND owner, UINT message, const std::vector<LPCITEMIDLIST>& folders) {
  if (m_thread.joinable() || !owner || folders.empty()) return FALSE;
  m_owner = owner;
  m_message = message;
  VxKernelHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return FALSE;
  m_thread = std::thread(&CDeskChangeWatch::Run, this, folders, ready.Get());
  // The folders are the caller's: the thread has registered them when it says so.
  ::WaitForSingleObject(ready.Get(), INFINITE);
  if (!m_notifyId) Stop();
  return Running();
}

void CDeskChangeWatch::Stop() {
  if (!m_thread.joinable()) return;
  // Deregistered first: a notification on its way is still taken while the thread runs.
  if (m_notifyId) ::SHChangeNotifyDeregister(m_notifyId);
  m_notifyId = 0;
  ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
  m_thread.join();
  std::lock_guard<std::mutex> hold(m_lock);
  m_queue.clear();
}

std::vector<DeskShellEvent> CDeskChangeWatch::Take() {
  std::vector<DeskShellEvent> events;
  std::lock_guard<std::mutex> hold(m_lock);
  events.swap(m_queue);
  return events;
}

void CDeskChangeWatch::Run(std::vector<LPCITEMIDLIST> folders, HANDLE ready) {
  m_threadId = ::GetCurrentThreadId();
  WNDCLASSW wc{};
  wc.lpfnWndProc = &CDeskChangeWatch::WindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kWatchClass;
  ::RegisterClassW(&wc);  // fails harmlessly when an earlier watch registered it
  HWND window = ::CreateWindowExW(0, kWatchClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
  if (window) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    std::vector<SHChangeNotifyEntry> entries;
    for (LPCITEMIDLIST f : folders) entries.push_back(SHChangeNotifyEntry{f, TRUE});
    // The window lives in this process, so the notification's identifier lists come by
    // pointer, valid while the message is handled: each is copied then. (Delivery through
    // shared memory costs a mapping per event for nothing.)
    m_notifyId = ::SHChangeNotifyRegister(window, SHCNRF_InterruptLevel | SHCNRF_ShellLevel,
                                          SHCNE_ALLEVENTS, WM_WATCH_NOTIFY, static_cast<int>(entries.size()),
                                          entries.data());
  }
  // The message queue exists before Stop can post its quit.
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  ::SetEvent(ready);
  if (m_notifyId)
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  if (window) ::DestroyWindow(window);
}

LRESULT CALLBACK CDeskChangeWatch::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_WATCH_NOTIFY) {
    if (auto* self = reinterpret_cast<CDeskChangeWatch*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
      self->Receive(wParam, lParam);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void CDeskChangeWatch::Receive(WPARAM wParam, LPARAM lParam) {
  const auto* pidls = reinterpret_cast<const PIDLIST_ABSOLUTE*>(wParam);
  DeskShellEvent e;
  e.event = static_cast<LONG>(lParam);
  if (pidls) {
    e.first = ClonePidl(pidls[0]);
    e.second = ClonePidl(pidls[1]);
  }
  bool wasEmpty = false;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    wasEmpty = m_queue.empty();
    m_queue.push_back(std::move(e));
  }
  if (wasEmpty) ::PostMessageW(m_owner, m_message, 0, 0);
}
