// Pasting many files onto the desk: files of a source folder go onto the clipboard as a copy,
// the desk's paste hands them to the shell on its own thread, and the clock runs until every
// one of them shows in the active box (the desk takes them in through the shell's change
// notifications while the copy runs). Prints median and worst over the runs, and when the
// first entry showed and when the shell's copy ended. Each run starts from an empty Desktop
// and data folder of the prefix.
// Usage: PasteBench.exe [runs] [files]
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/DialogBack.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "desk/DeskFileOps.h"
#include "desk/MyDesk.h"
#include "uilib/VxDialog.h"
#include "uilib/VxRaii.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void PumpFor(DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < ms) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
}

// CF_HDROP with wide names and "Preferred DropEffect" = copy, as Explorer's copy leaves them.
bool PutFilesOnClipboard(HWND owner, const std::vector<std::wstring>& paths) {
  size_t chars = 1;
  for (const auto& p : paths) chars += p.size() + 1;
  VxGlobal drop(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t)));
  VxGlobal effect(::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD)));
  if (!drop.Get() || !effect.Get()) return false;
  {
    VxGlobalLock<DROPFILES> lock(drop.Get());
    DROPFILES* head = lock.Get();
    head->pFiles = sizeof(DROPFILES);
    head->fWide = TRUE;
    auto* at = reinterpret_cast<wchar_t*>(head + 1);
    for (const auto& p : paths) {
      std::copy(p.begin(), p.end(), at);
      at += p.size() + 1;
    }
  }
  {
    VxGlobalLock<DWORD> lock(effect.Get());
    *lock.Get() = DROPEFFECT_COPY;
  }
  if (!::OpenClipboard(owner)) return false;
  ::EmptyClipboard();
  bool ok = ::SetClipboardData(CF_HDROP, drop.Get()) != nullptr;
  if (ok) drop.Release();
  ok = ok && ::SetClipboardData(::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT), effect.Get()) != nullptr;
  if (ok) effect.Release();
  ::CloseClipboard();
  return ok;
}

struct RunFigures {
  double firstMs = -1, allMs = -1, shellMs = -1;
  double quarterMs[3] = {-1, -1, -1};  // a quarter, half and three quarters shown
  int inBox = 0, elsewhere = 0;
};

// Pasted files the desk shows: in `box`, and in its other lists.
void CountShown(CMyDesk* desk, GetZhiItem* box, RunFigures* f) {
  const std::wstring prefix = CDeskFileOps::DesktopPath() + L"\\资料";
  f->inBox = f->elsewhere = 0;
  for (VxListCtrl* list : desk->Model().AllLists())
    for (VxListItem* e : list->Items())
      if (_wcsnicmp(e->szPath, prefix.c_str(), prefix.size()) == 0) ++(list == &box->list ? f->inBox : f->elsewhere);
}

bool RunOnce(const std::vector<std::wstring>& sources, RunFigures* out) {
  const std::wstring desktop = CDeskFileOps::DesktopPath();
  RemoveFolderContents(desktop);
  RemoveDataFolder();
  AppGlobals& g = TheApp();
  g.programDir = ExeFolder();
  g.desk.config = DeskConfig();
  g.desk.config.deskPageOn = 1;
  g.desk.autoOrganize = 0;
  g.closePrompt = 0;
  g.currentView = 0;
  CDialogBack back;
  if (!back.Create(nullptr)) return false;
  ::SetWindowPos(back.GetSafeHwnd(), nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN) - 1,
                 ::GetSystemMetrics(SM_CYSCREEN) - 1, SWP_NOZORDER);
  PumpFor(300);
  CMyDesk* desk = back.Desk();
  if (!desk) return false;
  GetZhiItem* box = desk->NewBox(POINT{300, 120});
  desk->Model().SetActiveBox(box);
  if (!PutFilesOnClipboard(back.GetSafeHwnd(), sources)) return false;
  desk->FileOps().ReadClipboard();
  if (desk->ClipboardFiles().size() != sources.size()) return false;

  const int want = static_cast<int>(sources.size());
  const Clock::time_point start = Clock::now();
  desk->PasteFiles();
  while (MsSince(start) < 600000) {
    CountShown(desk, box, out);
    if (out->inBox > 0 && out->firstMs < 0) out->firstMs = MsSince(start);
    for (int q = 0; q < 3; ++q)
      if (out->quarterMs[q] < 0 && out->inBox * 4 >= want * (q + 1)) out->quarterMs[q] = MsSince(start);
    if (desk->FileOps().RunningOperations() == 0 && out->shellMs < 0) out->shellMs = MsSince(start);
    if (out->inBox + out->elsewhere >= want) {
      out->allMs = MsSince(start);
      break;
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    Pump();
  }
  CountShown(desk, box, out);
  // Let the shell's thread end before the desk and its window go.
  while (desk->FileOps().RunningOperations() > 0) PumpFor(50);
  if (out->shellMs < 0) out->shellMs = MsSince(start);
  back.DestroyWindow();
  Pump();
  return out->allMs >= 0 && out->inBox == want;
}

// The same copy by the shell with no desk watching: what the paste cannot beat.
double ShellCopyAloneMs(const std::vector<std::wstring>& sources) {
  const std::wstring desktop = CDeskFileOps::DesktopPath();
  RemoveFolderContents(desktop);
  std::wstring from;
  for (const auto& p : sources) from += p + L'\0';
  from += L'\0';
  const std::wstring to = desktop + L"\\" + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_COPY;
  op.pFrom = from.c_str();
  op.pTo = to.c_str();
  op.fFlags = FOF_RENAMEONCOLLISION | FOF_NOCONFIRMATION;
  const Clock::time_point start = Clock::now();
  ::SHFileOperationW(&op);
  const double ms = MsSince(start);
  RemoveFolderContents(desktop);
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}
double Worst(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const int files = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
  ::OleInitialize(nullptr);
  VxGdiplusSession gdiplus;
  PrepareDesktopShell();

  // The source folder lies outside the desktop, as files copied from Explorer would.
  const std::wstring source = L"C:\\vxbench-paste";
  ::CreateDirectoryW(source.c_str(), nullptr);
  RemoveFolderContents(source);
  const wchar_t* exts[] = {L".txt", L".docx", L".pdf", L".jpg", L".zip"};
  std::vector<std::wstring> sources;
  for (int i = 0; i < files; ++i) {
    sources.push_back(source + L"\\资料" + std::to_wstring(i) + exts[i % 5]);
    PutFileBytes(sources.back(), std::string(512, 'x'));
  }

  std::printf("the shell's copy of %d files alone, no desk watching: %.0f ms\n", files, ShellCopyAloneMs(sources));
  std::vector<double> first, all, shell;
  for (int r = 0; r < runs; ++r) {
    RunFigures f;
    if (!RunOnce(sources, &f)) {
      std::printf("run %d: after 600 s %d of %d files showed in the active box, %d elsewhere; shell copy ended %.0f ms\n",
                  r + 1, f.inBox, files, f.elsewhere, f.shellMs);
      continue;
    }
    std::printf("run %d: first entry %.0f ms, 25%% %.0f, 50%% %.0f, 75%% %.0f, all %d in the box %.0f ms, "
                "shell copy ended %.0f ms\n",
                r + 1, f.firstMs, f.quarterMs[0], f.quarterMs[1], f.quarterMs[2], files, f.allMs, f.shellMs);
    first.push_back(f.firstMs);
    all.push_back(f.allMs);
    shell.push_back(f.shellMs);
  }
  std::printf("pasting %d files, %zu runs: all shown in the active box median %.0f ms, worst %.0f ms; "
              "first entry median %.0f ms; shell copy ended median %.0f ms\n",
              files, all.size(), Median(all), Worst(all), Median(first), Median(shell));
  RemoveFolderContents(CDeskFileOps::DesktopPath());
  RemoveFolderContents(source);
  ::RemoveDirectoryW(source.c_str());
  RemoveDataFolder();
  ::OleUninitialize();
  return all.empty() ? 1 : 0;
}
