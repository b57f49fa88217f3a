#include "uilib/VxServices.h"

#include <windows.h>

#include <cwchar>

namespace {

struct DefaultService {
  const wchar_t* key;
  const wchar_t* url;
};

const DefaultService kDefaults[] = {
    {L"home", L"http://www.vexlo.cn"},         {L"ipquery", L"http://ip.vexlo.cn"},
    {L"weather", L"http://weather.vexlo.cn"}, {L"wallpaper", L"http://bizhi.vexlo.cn"},
    {L"stats", L"http://tongji.vexlo.cn"},    {L"search", L"http://www.baidu.com"},
};

std::wstring ProgramFolderIni() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  const size_t slash = p.find_last_of(L'\\');
  return (slash == std::wstring::npos ? std::wstring() : p.substr(0, slash + 1)) + L"services.ini";
}

}  // namespace

std::wstring VxServiceBaseFrom(const std::wstring& iniPath, const wchar_t* key) noexcept try {
  const wchar_t* fallback = nullptr;
  for (const auto& d : kDefaults)
    if (key && wcscmp(d.key, key) == 0) fallback = d.url;
  if (!fallback) return std::wstring();
  wchar_t value[512] = {};
  ::GetPrivateProfileStringW(L"services", key, fallback, value, 512, iniPath.c_str());
  std::wstring url(value);
  while (!url.empty() && (url.back() == L'/' || url.back() == L' ')) url.pop_back();
  return url.empty() ? std::wstring(fallback) : url;
} catch (...) {
  return std::wstring();  // no memory for the address
}

std::wstring VxServiceBase(const wchar_t* key) noexcept try {
  return VxServiceBaseFrom(ProgramFolderIni(), key);
} catch (...) {
  return std::wstring();
}
