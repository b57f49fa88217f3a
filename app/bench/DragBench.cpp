// Dragging files over a box that holds 300 entries, through the host window's registered
// drop target as the system's drag loop calls it: milliseconds per drag-over step, with the
// insertion marker's repaint (compose and present of the host window) on the steps where
// the marker moved. The cursor sweeps the box in small steps, once with the box in list
// display (top to bottom) and once as an icon grid (along ten lines across), each after one
// frame drawn first (the box's rendering made once). Prints figures; it is not a test.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/BaseWnd.h"
#include "app/bench/BenchHost.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "desk/DeskDataObject.h"
#include "desk/MyDesk.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"

namespace {

void Report(const char* what, std::vector<double> v) {
  if (v.empty()) {
    std::printf("%-34s no steps\n", what);
    return;
  }
  std::sort(v.begin(), v.end());
  std::printf("%-34s %4zu steps  median %6.2f ms  worst %6.2f ms\n", what, v.size(), v[v.size() / 2], v.back());
}

void Sweep(CBaseWnd& host, CMyDesk& desk, GetZhiItem* box, IDataObject* data, bool grid, const char* name) {
  IDropTarget* target = host.DropTarget();
  host.RepaintNow();
  const RECT area = CMyDesk::BoxListArea(box);
  LARGE_INTEGER f, a, b;
  ::QueryPerformanceFrequency(&f);
  // Rows have their gaps above each entry, a grid left of each: down the middle of the
  // rows, along ten lines across the grid.
  std::vector<POINTL> path;
  if (grid) {
    for (int line = 0; line < 10; ++line)
      for (int x = area.left + 2; x < area.right - 2; x += 3) path.push_back(POINTL{x, area.top + 20 + line * 37});
  } else {
    for (int y = area.top + 2; y < area.bottom - 2; y += 2) path.push_back(POINTL{(area.left + area.right) / 2 - 30, y});
  }
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragEnter(data, MK_LBUTTON, path.front(), &effect);
  std::vector<double> all, repainted, quiet;
  for (const POINTL& pt : path) {
    const RECT before = desk.DragDrop().InsertMark();
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ::QueryPerformanceCounter(&a);
    target->DragOver(MK_LBUTTON, pt, &effect);
    ::QueryPerformanceCounter(&b);
    const RECT after = desk.DragDrop().InsertMark();
    const double ms = Ms(a, b, f);
    all.push_back(ms);
    (::EqualRect(&before, &after) ? quiet : repainted).push_back(ms);
    Pump();
  }
  target->DragLeave();
  std::printf("%s (%d entries):\n", name, box->list.GetCount());
  Report("  every drag-over step", all);
  Report("  steps that moved the marker", repainted);
  Report("  steps that did not", quiet);
}

}  // namespace

int main() {
  ::OleInitialize(nullptr);
  VxGdiplusSession gdiplus;
  const std::wstring desktop = FillBenchDesktop(300, {L"txt"});
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring dropped = std::wstring(temp) + L"DragBenchFile.txt";
  PutFileBytes(dropped, "x");

  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  HWND parent = CreateBenchParent(L"DragBench");
  CBaseWnd host;
  if (!OpenBenchHost(host, parent)) return 1;
  CMyDesk* desk = host.Desk();
  GetZhiItem* files = desk ? desk->FindBoxByName(L"文件") : nullptr;
  if (!files || !host.DropTarget()) {
    std::printf("no desk, no 文件 box or no drop target\n");
    return 1;
  }
  Pump();
  VxComPtr<IDataObject> data(DeskCreateFileDataObject({ToU16(dropped)}));
  std::printf("screen %dx%d\n", cx, cy);
  Sweep(host, *desk, files, data.Get(), false, "box in list display");
  desk->ToggleListDisplay(files);
  Pump();
  Sweep(host, *desk, files, data.Get(), true, "box as icon grid");
  host.DestroyWindow();
  ::DestroyWindow(parent);
  RemoveFolderContents(desktop);
  RemoveDataFolder();
  ::DeleteFileW(dropped.c_str());
  ::OleUninitialize();
  return 0;
}
