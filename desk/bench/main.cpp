// Fills the prefix's Desktop folder with 1,000 items (folders, files of several types,
// shortcuts), then times the desk's first run (StartDesk organizing everything into boxes)
// and its next run (StartDesk loading the saved layout), and where the first run's time goes.
// Usage: DeskBench.exe [runs] [items]
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/AppGlobals.h"
#include "desk/DeskFiles.h"
#include "desk/MyDesk.h"
#include "desk/bench/bench_desktop.h"
#include "uilib/VxRaii.h"
#include "base/testing/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Figures {
  std::vector<double> ms;
  double Median() const {
    std::vector<double> s = ms;
    std::sort(s.begin(), s.end());
    const size_t n = s.size();
    return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
  }
  double Worst() const { return *std::max_element(ms.begin(), ms.end()); }
};

void Print(const char* what, const Figures& f) {
  std::printf("%-34s median %8.1f ms   worst %8.1f ms   runs:", what, f.Median(), f.Worst());
  for (double v : f.ms) std::printf(" %.0f", v);
  std::printf("\n");
}

int Entries(CMyDesk& desk) {
  int n = desk.DeskList().GetCount();
  for (const auto& box : desk.Boxes()) n += box->list.GetCount();
  return n;
}

void FirstRunState() {
  RemoveDataFolder();
  AppGlobals& g = TheApp();
  g.desk.config = DeskConfig();
  g.desk.config.organizePending = 1;
  g.desk.boxRecords.clear();
  g.desk.autoOrganize = 1;
}

// Where the time goes, each part on a fresh shell view: the enumeration (which reads both
// names), the bare enumeration, each name alone, classification, the icons one lookup per
// item and shared by extension, BuildEntry without the shown check, and that check on a
// full desk.
void PrintBreakdown() {
  auto start = Clock::now();
  ShellDesktop shell;
  const std::vector<DesktopChild> children = shell.Children();
  const double enumerate = MsSince(start);
  start = Clock::now();
  {
    VxComPtr<IEnumIDList> items;
    if (shell.Folder()->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.Put()) ==
            S_OK &&
        items) {
      LPITEMIDLIST pidl = nullptr;
      ULONG got = 0;
      while (items->Next(1, &pidl, &got) == S_OK && got == 1) ::CoTaskMemFree(pidl);
    }
  }
  const double bare = MsSince(start);
  start = Clock::now();
  int otherNames = 0;
  for (const DesktopChild& c : children) otherNames += shell.DisplayName(c.pidl.get()) != c.displayName;
  const double displayNames = MsSince(start);
  start = Clock::now();
  for (const DesktopChild& c : children) shell.ParseName(c.pidl.get());
  const double parseNames = MsSince(start);
  start = Clock::now();
  std::vector<int> kinds;
  for (const DesktopChild& c : children) kinds.push_back(ClassifyDesktopItem(c.parseName));
  const double classify = MsSince(start);
  start = Clock::now();
  for (const DesktopChild& c : children) delete shell.Icon48(c.pidl.get());
  const double icons = MsSince(start);
  start = Clock::now();
  for (size_t i = 0; i < children.size(); ++i)
    delete shell.Icon48(children[i].pidl.get(), children[i].parseName, kinds[i]);
  const double iconsShared = MsSince(start);
  // What sharing must not change: every child's name and icon as the shell gives them alone.
  int otherIcons = 0;
  for (size_t i = 0; i < children.size(); ++i) {
    SHFILEINFOW fi{};
    ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(children[i].pidl.get()), 0, &fi, sizeof(fi),
                     SHGFI_PIDL | SHGFI_SYSICONINDEX);
    otherIcons += fi.iIcon != shell.IconIndex(children[i].pidl.get(), children[i].parseName, kinds[i]);
  }
  std::printf("shared lookups that differ from asking about each item: %d names, %d icons\n",
              otherNames, otherIcons);
  std::printf("parts (%zu children): enumerate with names %.1f ms (bare %.1f, display names %.1f, "
              "parsing names %.1f), classify %.1f ms, icons per item %.1f ms, by extension "
              "%.1f ms\n",
              children.size(), enumerate, bare, displayNames, parseNames, classify, icons,
              iconsShared);
  CMyDesk desk;
  start = Clock::now();
  for (const DesktopChild& c : children) {
    VxListItem entry;
    desk.BuildEntry(c.pidl.get(), &entry, 0);
  }
  const double build = MsSince(start);
  std::printf("BuildEntry unchecked %.1f ms\n", build);
  // A full desk: every child is looked for in every list before it is built.
  desk.StartDesk();
  start = Clock::now();
  int shown = 0;
  for (const DesktopChild& c : children) shown += desk.IsShown(c.pidl.get()) ? 1 : 0;
  std::printf("IsShown of every child on the full desk (%d found): %.1f ms\n", shown,
              MsSince(start));
  start = Clock::now();
  const CMyDesk::ShownItems names = desk.ShownNames();
  shown = 0;
  for (const DesktopChild& c : children) shown += desk.IsShownChild(c, names) ? 1 : 0;
  std::printf("IsShownChild of every child on the full desk (%d found): %.1f ms\n", shown,
              MsSince(start));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
  const int items = argc > 2 ? std::max(1, _wtoi(argv[2])) : 1000;
  ::OleInitialize(nullptr);
  int rc = 0;
  {
    VxGdiplusSession gdiplus;
    PrepareDesktopShell();
    RemoveFolderContents(DesktopDir());
    FirstRunState();
    Made made;
    const auto fillStart = Clock::now();
    if (!FillDesktop(items, &made)) {
      std::printf("could not fill the Desktop folder %ls\n", DesktopDir().c_str());
      rc = 1;
    } else {
      std::printf("desktop: %d items (%d folders, %d files, %d shortcuts) made in %.0f ms\n",
                  items, made.folders, made.files, made.links, MsSince(fillStart));
      Figures organize, load;
      int organized = 0, loaded = 0;
      for (int r = 0; r < runs; ++r) {
        FirstRunState();
        {
          CMyDesk desk;
          const auto start = Clock::now();
          desk.StartDesk();
          organize.ms.push_back(MsSince(start));
          organized = Entries(desk);
          desk.SaveDesk();
        }
        AppGlobals& g = TheApp();
        g.desk.config = DeskConfig();
        g.desk.boxRecords.clear();
        LoadConfig();
        g.desk.config.organizePending = 0;
        {
          CMyDesk desk;
          const auto start = Clock::now();
          desk.StartDesk();
          load.ms.push_back(MsSince(start));
          loaded = Entries(desk);
        }
      }
      Print("organize (first run, StartDesk)", organize);
      Print("load (next run, StartDesk)", load);
      std::printf("entries: %d organized, %d loaded\n", organized, loaded);
      if (organized < items || loaded != organized) {
        std::printf("the desk did not show every item\n");
        rc = 1;
      }
      PrintBreakdown();
    }
    RemoveFolderContents(DesktopDir());
    RemoveDataFolder();
  }
  ::OleUninitialize();
  return rc;
}
