#pragma once
// Names the installer and the uninstaller share: the product title (shortcut and Run value
// names), the record file and the registry keys.
inline constexpr wchar_t kProductTitle[] = L"Vexlo桌面";
inline constexpr wchar_t kRecordName[] = L"uninstall000.ini";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexlo桌面";
