#pragma once
// Pictures the developer tools (the gallery and the benchmark) make for themselves: a
// wallpaper drawn in code and Windows icons turned into GDI+ bitmaps for list entries.
#include <memory>
#include <string>
#include <vector>

#include "uilib/VxDialogBase.h"

namespace gallery {

// Folder of the running program, with a trailing backslash.
std::wstring ProgramFolder();
// ProgramFolder() + "rs\\" + relative.
std::wstring RsPath(const std::wstring& relative);
// The nine files of a nine-slice set under rs (1.png .. 9.png).
CStringArray NineSlicePaths(const std::wstring& folder);

// Draws a dusk-blue wallpaper of the given size with soft light blobs into a PNG file.
// With `radius` > 0 the picture is a rounded card, transparent outside.
bool WriteWallpaperPng(const std::wstring& path, int width, int height, int radius);
// A file name in the temporary folder, unique to this process.
std::wstring TempPngPath(const wchar_t* stem);

// Header of a 32-bit top-down DIB (rows in the order GDI+ writes them).
BITMAPINFO TopDown32(int width, int height);

// The icon as a 32-bit ARGB bitmap: the icon's own alpha when it has one, else its mask.
std::unique_ptr<Gdiplus::Bitmap> BitmapFromIcon(HICON icon);

struct SampleEntry {
  std::wstring name;
  std::unique_ptr<Gdiplus::Bitmap> icon;
};
// Entries with Chinese names and the system's icons for their kinds (folders, documents,
// pictures, programs ...), `size` pixels square where the system offers that size.
std::vector<SampleEntry> SampleEntries(int size);

}  // namespace gallery
