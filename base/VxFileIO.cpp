#include "base/VxFileIO.h"

#include "uilib/VxRaii.h"

#include <atomic>
#include <cwchar>

void VxFaultPoint() {
  static const long killAt = [] {
    wchar_t value[32] = {};
    if (!::GetEnvironmentVariableW(L"VX_FAULT_KILL_AT", value, 32)) return 0L;
    return std::wcstol(value, nullptr, 10);
  }();
  static std::atomic<long> passed{0};
  if (killAt > 0 && ++passed == killAt) ::TerminateProcess(::GetCurrentProcess(), kVxFaultExitCode);
}

BOOL WriteFileAtomically(const std::wstring& path, const void* bytes, size_t size) {
  const std::wstring tmp = path + L".tmp";
  {
    VxFileHandle f(::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return FALSE;
    DWORD written = 0;
    if ((size && !::WriteFile(f.Get(), bytes, static_cast<DWORD>(size), &written, nullptr)) ||
        written != size || !::FlushFileBuffers(f.Get())) {
      f.Reset();
      ::DeleteFileW(tmp.c_str());
      return FALSE;
    }
  }
  VxFaultPoint();
  if (!::MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(tmp.c_str());
    return FALSE;
  }
  return TRUE;
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
  VxFileHandle f(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(f.Get(), &size) || size.QuadPart > (64 << 20)) return false;
  bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (size.QuadPart && !::ReadFile(f.Get(), &(*bytes)[0], static_cast<DWORD>(size.QuadPart), &read, nullptr))
    return false;
  bytes->resize(read);
  return true;
}
