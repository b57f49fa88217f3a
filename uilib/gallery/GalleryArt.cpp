#include "uilib/gallery/GalleryArt.h"

#include "uilib/VxPaint.h"

#include <commctrl.h>
#include <commoncontrols.h>
#include <shellapi.h>

#include "uilib/VxRaii.h"

namespace gallery {

std::wstring ProgramFolder() {
  wchar_t buf[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
  std::wstring path(buf, n);
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring RsPath(const std::wstring& relative) { return ProgramFolder() + L"rs\\" + relative; }

CStringArray NineSlicePaths(const std::wstring& folder) {
  CStringArray paths;
  for (int i = 1; i <= 9; ++i) paths.push_back(RsPath(folder + L"\\" + std::to_wstring(i) + L".png"));
  return paths;
}

std::wstring TempPngPath(const wchar_t* stem) {
  wchar_t dir[MAX_PATH] = {};
  if (!::GetTempPathW(MAX_PATH, dir)) dir[0] = 0;
  return std::wstring(dir) + stem + L"-" + std::to_wstring(::GetCurrentProcessId()) + L".png";
}

namespace {

void AddRoundRect(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float r) {
  const float d = 2 * r;
  path.AddArc(x, y, d, d, 180, 90);
  path.AddArc(x + w - d, y, d, d, 270, 90);
  path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
  path.AddArc(x, y + h - d, d, d, 90, 90);
  path.CloseFigure();
}

// A soft round light: brightest in the middle, gone at the rim.
void Glow(Gdiplus::Graphics& g, float cx, float cy, float r, Gdiplus::Color centre) {
  Gdiplus::GraphicsPath blob;
  blob.AddEllipse(cx - r, cy - r, 2 * r, 2 * r);
  Gdiplus::PathGradientBrush brush(&blob);
  brush.SetCenterColor(centre);
  Gdiplus::Color rim(0, centre.GetR(), centre.GetG(), centre.GetB());
  int one = 1;
  brush.SetSurroundColors(&rim, &one);
  g.FillPath(&brush, &blob);
}

}  // namespace

bool WriteWallpaperPng(const std::wstring& path, int width, int height, int radius) {
  if (width <= 0 || height <= 0) return false;
  Gdiplus::Bitmap bmp(width, height, PixelFormat32bppARGB);
  if (bmp.GetLastStatus() != Gdiplus::Ok) return false;
  {
    Gdiplus::Graphics g(&bmp);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    Gdiplus::GraphicsPath shape;
    if (radius > 0)
      AddRoundRect(shape, 0, 0, w - 1, h - 1, static_cast<float>(radius));
    else
      shape.AddRectangle(Gdiplus::RectF(0, 0, w, h));
    Gdiplus::LinearGradientBrush sky(Gdiplus::PointF(0, 0), Gdiplus::PointF(w, h),
                                     Gdiplus::Color(255, 24, 38, 66),
                                     Gdiplus::Color(255, 52, 78, 118));
    g.FillPath(&sky, &shape);
    Gdiplus::Region inside(&shape);
    g.SetClip(&inside);
    const float m = std::min(w, h);
    Glow(g, w * 0.18f, h * 0.22f, m * 0.55f, Gdiplus::Color(70, 120, 170, 255));
    Glow(g, w * 0.82f, h * 0.78f, m * 0.65f, Gdiplus::Color(60, 255, 170, 120));
    Glow(g, w * 0.60f, h * 0.15f, m * 0.30f, Gdiplus::Color(40, 255, 255, 255));
    // Low hills along the bottom give the picture a horizon.
    Gdiplus::GraphicsPath hills;
    hills.StartFigure();
    hills.AddBezier(0.0f, h * 0.80f, w * 0.30f, h * 0.62f, w * 0.55f, h * 0.95f, w, h * 0.72f);
    hills.AddLine(w, h * 0.72f, w, h);
    hills.AddLine(w, h, 0.0f, h);
    hills.CloseFigure();
    Gdiplus::SolidBrush dusk(Gdiplus::Color(90, 10, 16, 30));
    g.FillPath(&dusk, &hills);
  }
  return VxSaveImagePng(&bmp, path.c_str());
}

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

std::unique_ptr<Gdiplus::Bitmap> BitmapFromIcon(HICON icon) {
  if (!icon) return nullptr;
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return nullptr;
  VxBitmap color(info.hbmColor), mask(info.hbmMask);
  if (!color) {
    // Monochrome icons: GDI+ handles those itself.
    std::unique_ptr<Gdiplus::Bitmap> mono(Gdiplus::Bitmap::FromHICON(icon));
    return mono && mono->GetLastStatus() == Gdiplus::Ok ? std::move(mono) : nullptr;
  }
  BITMAP bm{};
  if (!::GetObjectW(color.Get(), sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
    return nullptr;
  const int w = bm.bmWidth, h = bm.bmHeight;
  BITMAPINFO bi = TopDown32(w, h);
  std::vector<DWORD> px(static_cast<size_t>(w) * h), mk(static_cast<size_t>(w) * h, 0);
  VxWindowDC screen(nullptr);
  if (::GetDIBits(screen.Get(), color.Get(), 0, h, px.data(), &bi, DIB_RGB_COLORS) != h)
    return nullptr;
  bool hasAlpha = false;
  for (DWORD p : px) hasAlpha |= (p >> 24) != 0;
  if (!hasAlpha && mask) {
    BITMAPINFO mi = bi;
    ::GetDIBits(screen.Get(), mask.Get(), 0, h, mk.data(), &mi, DIB_RGB_COLORS);
  }
  auto bmp = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
  Gdiplus::Rect all(0, 0, w, h);
  Gdiplus::BitmapData data;
  if (bmp->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
    return nullptr;
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
    for (int x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * w + x;
      if (hasAlpha)
        row[x] = px[i];
      else  // a set mask bit (white) is a transparent pixel
        row[x] = (mk[i] & 0x00FFFFFF) ? 0 : (px[i] | 0xFF000000u);
    }
  }
  bmp->UnlockBits(&data);
  return bmp;
}

namespace {

struct Kind {
  const wchar_t* name;
  const wchar_t* pattern;  // a file name whose kind gives the icon; null = stock icon
  DWORD attributes;
  LPCWSTR stock;
};

HICON ShellIcon(const wchar_t* pattern, DWORD attributes, int size) {
  SHFILEINFOW sfi{};
  const UINT flags = SHGFI_USEFILEATTRIBUTES;
  if (::SHGetFileInfoW(pattern, attributes, &sfi, sizeof(sfi), flags | SHGFI_SYSICONINDEX)) {
    const int list = size >= 48 ? SHIL_EXTRALARGE : size >= 32 ? SHIL_LARGE : SHIL_SMALL;
    IImageList* images = nullptr;
    if (SUCCEEDED(::SHGetImageList(list, __uuidof(IImageList), reinterpret_cast<void**>(&images))) &&
        images) {
      HICON icon = nullptr;
      images->GetIcon(sfi.iIcon, ILD_TRANSPARENT, &icon);
      images->Release();
      if (icon) return icon;
    }
  }
  sfi = SHFILEINFOW{};
  if (::SHGetFileInfoW(pattern, attributes, &sfi, sizeof(sfi),
                       flags | SHGFI_ICON | (size >= 32 ? SHGFI_LARGEICON : SHGFI_SMALLICON)))
    return sfi.hIcon;
  return nullptr;
}

}  // namespace

std::vector<SampleEntry> SampleEntries(int size) {
  const DWORD file = FILE_ATTRIBUTE_NORMAL, dir = FILE_ATTRIBUTE_DIRECTORY;
  static const Kind kinds[] = {
      {L"项目资料", L"项目资料", dir, nullptr},
      {L"报告.docx", L"a.docx", file, nullptr},
      {L"预算表.xlsx", L"a.xlsx", file, nullptr},
      {L"安装程序.exe", L"a.exe", file, nullptr},
      {L"会议记录.txt", L"a.txt", file, nullptr},
      {L"旅行照片", L"旅行照片", dir, nullptr},
      {L"设计稿.png", L"a.png", file, nullptr},
      {L"系统提示", nullptr, 0, IDI_INFORMATION},
      {L"说明书.pdf", L"a.pdf", file, nullptr},
      {L"收藏.html", L"a.html", file, nullptr},
      {L"注意事项", nullptr, 0, IDI_WARNING},
      {L"启动脚本.bat", L"a.bat", file, nullptr},
      {L"常见问题", nullptr, 0, IDI_QUESTION},
      {L"配置.ini", L"a.ini", file, nullptr},
      {L"应用程序", nullptr, 0, IDI_APPLICATION},
      {L"下载", L"下载", dir, nullptr},
  };
  std::vector<SampleEntry> out;
  for (const Kind& k : kinds) {
    SampleEntry e;
    e.name = k.name;
    if (k.pattern) {
      VxIcon icon(ShellIcon(k.pattern, k.attributes, size));
      e.icon = BitmapFromIcon(icon.Get());
    } else {
      // Shared system icons belong to the system: never destroyed.
      HICON icon = static_cast<HICON>(
          ::LoadImageW(nullptr, k.stock, IMAGE_ICON, size, size, LR_SHARED));
      if (!icon) icon = ::LoadIconW(nullptr, k.stock);
      e.icon = BitmapFromIcon(icon);
    }
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace gallery
