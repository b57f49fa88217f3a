// Start-up of the organizer over a desktop of 1,000 items (figures, not a test): from creating
// the Tessary.exe process to the first desk frame on screen, on a first run (nothing saved:
// the desk organizes) and on the next run (the saved boxes load), and the organizer's private
// bytes and GDI objects a few seconds after the next run's first frame.
// The first frame is taken as the moment the "文件夹" box's title bar shows where organizing
// puts it. scripts/bench-startup runs it.
//   StartupBench.exe [runs] [items]   (default 5, 1000)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/testing/test_support.h"
#include "desk/bench/bench_desktop.h"
#include "desk/core/desk_place.h"
#include "desk/core/desk_records.h"
#include "uilib/VxClock.h"

namespace {

void Report(const char* what, std::vector<double> v) {
  if (v.empty()) {
    std::printf("%-40s no figure\n", what);
    return;
  }
  std::vector<double> runs = v;
  std::sort(v.begin(), v.end());
  std::printf("%-40s median %7.0f ms   worst %7.0f ms   runs:", what, v[v.size() / 2], v.back());
  for (double r : runs) std::printf(" %.0f", r);
  std::printf("\n");
}

// The title bar of the folders' box, as the desk draws it over the wallpaper.
bool FolderBoxTitleShows(const POINT& at) {
  VxWindowDC screen(nullptr);
  const COLORREF c = ::GetPixel(screen.Get(), at.x, at.y);
  return std::abs(GetRValue(c) - 0x25) < 12 && std::abs(GetGValue(c) - 0x4A) < 12 &&
         std::abs(GetBValue(c) - 0x5F) < 12;
}

POINT FolderBoxTitlePoint() {
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const VxRc box = DeskOrganizeBoxRect(KIND_FOLDER, VxRc{work.left, work.top, work.right, work.bottom});
  return POINT{box.right - 60, box.top + 12};
}

// Wine answers GetGuiResources with 0; its GDI handles live in a table the process's PEB
// points to (GdiSharedHandleTable, as on Windows): count the entries in use there.
DWORD CountGdiHandles(HANDLE process) {
  using QueryFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  struct {
    void* reserved1;
    BYTE* peb;
    void* reserved2[4];
  } basic{};
  ULONG got = 0;
  if (!query || query(process, 0, &basic, sizeof(basic), &got) != 0 || !basic.peb) return 0;
  const size_t kTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
  BYTE* table = nullptr;
  SIZE_T read = 0;
  if (!::ReadProcessMemory(process, basic.peb + kTableOffset, &table, sizeof(table), &read) || !table)
    return 0;
  struct Entry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    BYTE type, flags;
    UINT64 user;
  };
  std::vector<Entry> entries(65536);
  if (!::ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(Entry), &read))
    return 0;
  DWORD used = 0;
  for (size_t i = 0; i < read / sizeof(Entry); ++i) used += entries[i].type != 0;
  return used;
}

struct Memory {
  double privateMb = 0;
  DWORD gdi = 0, user = 0;
};

// Milliseconds from process creation to the first desk frame; 0 when none came in 30 s.
// `memory`, when given, is read 3 s after that frame.
double StartToFirstFrame(const POINT& probe, Memory* memory) {
  Process app;
  const double t0 = VxNowMs();
  if (!app.Start(ExeFolder() + L"\\Tessary.exe")) return 0;
  double at = 0;
  while (!at && VxNowMs() - t0 < 30000) {
    if (FolderBoxTitleShows(probe)) at = VxNowMs() - t0;
    else ::Sleep(2);
  }
  if (at && memory) {
    ::Sleep(3000);
    // The commit charge (private bytes); Wine fills only the basic counters.
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    if (::GetProcessMemoryInfo(app.pi.hProcess, &pmc, sizeof(pmc)))
      memory->privateMb = static_cast<double>(pmc.PagefileUsage) / (1024.0 * 1024.0);
    else
      std::printf("GetProcessMemoryInfo failed: %lu\n", ::GetLastError());
    memory->gdi = ::GetGuiResources(app.pi.hProcess, GR_GDIOBJECTS);
    if (memory->gdi == 0) memory->gdi = CountGdiHandles(app.pi.hProcess);
    memory->user = ::GetGuiResources(app.pi.hProcess, GR_USEROBJECTS);
  }
  ::TerminateProcess(app.pi.hProcess, 0);
  app.Wait(5000);
  // The screen must show something else before the next start is timed.
  for (int i = 0; i < 200 && FolderBoxTitleShows(probe); ++i) ::Sleep(10);
  ::Sleep(300);
  return at;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
  const int items = argc > 2 ? std::max(1, _wtoi(argv[2])) : 1000;
  ::OleInitialize(nullptr);
  int rc = 0;
  PrepareDesktopShell();
  RemoveFolderContents(DesktopDir());
  Made made;
  if (!FillDesktop(items, &made)) {
    std::printf("could not fill the Desktop folder %ls\n", DesktopDir().c_str());
    rc = 1;
  } else {
    std::printf("desktop: %d items (%d folders, %d files, %d shortcuts)\n", items, made.folders,
                made.files, made.links);
    const POINT probe = FolderBoxTitlePoint();
    std::vector<double> first, next;
    std::vector<Memory> mem;
    for (int r = 0; r < runs; ++r) {
      RemoveDataFolder();
      if (const double ms = StartToFirstFrame(probe, nullptr)) first.push_back(ms);
      Memory m;
      if (const double ms = StartToFirstFrame(probe, r == 0 ? &m : nullptr)) next.push_back(ms);
      if (r == 0) mem.push_back(m);
    }
    Report("start to first desk frame, first run", first);
    Report("start to first desk frame, next run", next);
    for (const Memory& m : mem)
      std::printf("next run, 3 s after its first frame: private bytes %.1f MB, GDI objects %lu, "
                  "USER objects %lu\n", m.privateMb, m.gdi, m.user);
    if (first.empty() || next.empty()) rc = 1;
  }
  RemoveFolderContents(DesktopDir());
  RemoveDataFolder();
  ::OleUninitialize();
  return rc;
}
