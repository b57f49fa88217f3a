#pragma once
// Base addresses of the web services the programs use. Each program reads services.ini in
// its own folder ([services] keys home, ipquery, weather, wallpaper, stats, search); a key
// that is missing there takes the compiled-in address.
#include <string>

#include "uilib/VxExport.h"

// The base URL (no trailing slash) for a service key; empty for an unknown key.
LUMETTE_API std::wstring VxServiceBase(const wchar_t* key) noexcept;
// The same, read from a given services.ini (for tests and the installer).
LUMETTE_API std::wstring VxServiceBaseFrom(const std::wstring& iniPath,
                                          const wchar_t* key) noexcept;
