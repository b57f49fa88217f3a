// Installer size and full-payload install time (median and worst of N runs). Each run starts
// from an empty folder, as a first install does; every option is on.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "setup/InstallSteps.h"

namespace {

long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &a)) return -1;
  return (static_cast<long long>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

long long PayloadSize() {
  HRSRC r = ::FindResourceW(nullptr, MAKEINTRESOURCEW(147), L"CAB");
  return r ? ::SizeofResource(nullptr, r) : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
  wchar_t exe[MAX_PATH];
  std::wstring dir(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
  dir.resize(dir.find_last_of(L'\\') + 1);
  std::printf("TessarySetup.exe: %lld bytes (as built, with debug information)\n",
              FileSize(dir + L"TessarySetup.exe"));
  std::printf("payload cabinet (resource 147): %lld bytes\n", PayloadSize());

  const std::wstring folder = L"C:\\vxbench\\setup\\vexlo\\";
  std::vector<double> ms;
  int files = 0;
  for (int i = 0; i < runs; ++i) {
    DeleteTreeNoFollow(folder.substr(0, folder.size() - 1));
    LARGE_INTEGER f, a, b;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&a);
    const InstallResult r = RunInstallSteps({folder, true, true, true}, nullptr);
    ::QueryPerformanceCounter(&b);
    if (!r.ok) {
      std::fprintf(stderr, "install failed\n");
      return 1;
    }
    files = r.fileCount;
    ms.push_back((b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart);
  }
  DeleteTreeNoFollow(folder.substr(0, folder.size() - 1));
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kProductTitle);
  ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
  std::sort(ms.begin(), ms.end());
  std::printf("full install of %d files, %d runs: median %.1f ms, worst %.1f ms\n", files, runs,
              ms[ms.size() / 2], ms.back());
  return 0;
}
