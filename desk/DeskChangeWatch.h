#pragma once
// The shell's change notifications for the desktop, taken in on a thread of their own. The
// shell hands each notification over with a sent message and waits until it was taken: on
// the desk's own thread, a copy of a thousand files waited behind every scan and every frame
// the desk drew meanwhile. Here each one is copied into a queue at once, and the owner
// window is posted one message whenever the queue fills from empty.
#include <windows.h>
#include <shlobj.h>

#include <mutex>
#include <thread>
#include <vector>

#include "desk/ShellItems.h"

struct DeskShellEvent {
  LONG event = 0;
  PidlPtr first, second;
};

class CDeskChangeWatch {
 public:
  CDeskChangeWatch() = default;
  ~CDeskChangeWatch() { Stop(); }
  CDeskChangeWatch(const CDeskChangeWatch&) = delete;
  CDeskChangeWatch& operator=(const CDeskChangeWatch&) = delete;

  // Watches `folders` (each with its subfolders) for every event; `owner` is posted
  // `message` when events wait. FALSE when the shell took no registration.
  BOOL Start(HWND owner, UINT message, const std::vector<LPCITEMIDLIST>& folders);
  void Stop();
  BOOL Running() const { return m_notifyId != 0; }
  // The events that arrived since the last call, oldest first.
  std::vector<DeskShellEvent> Take();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void Receive(WPARAM wParam, LPARAM lParam);
  void Run(std::vector<LPCITEMIDLIST> folders, HANDLE ready);

  HWND m_owner = nullptr;
  UINT m_message = 0;
  std::thread m_thread;
  DWORD m_threadId = 0;
  ULONG m_notifyId = 0;
  std::mutex m_lock;
  std::vector<DeskShellEvent> m_queue;
};
