// Stands in for a program the desk opens with dropped files: writes the command line it got
// (UTF-16) to args.txt in the data folder the test gave it, then ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t dir[MAX_PATH] = {};
  if (!::GetEnvironmentVariableW(L"VX_DATA_DIR", dir, MAX_PATH)) return 1;
  const std::wstring path = std::wstring(dir) + L"\\args.txt";
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 2;
  const wchar_t* line = ::GetCommandLineW();
  DWORD written = 0;
  ::WriteFile(f, line, static_cast<DWORD>(wcslen(line) * sizeof(wchar_t)), &written, nullptr);
  ::CloseHandle(f);
  return 0;
}
