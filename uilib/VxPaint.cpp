#include "uilib/VxPaint.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

void VxDrawShadowText(Gdiplus::Graphics* g, const wchar_t* text, Gdiplus::Font& font,
                      Gdiplus::StringFormat& format, Gdiplus::Color& textColor,
                      Gdiplus::Color& shadowColor, Gdiplus::RectF& rect, Gdiplus::PointF& point,
                      float scale) {
  if (!g || !text || !*text || scale <= 0) return;
  const int sw = static_cast<int>(rect.Width / scale), sh = static_cast<int>(rect.Height / scale);
  if (sw > 0 && sh > 0) {
    Gdiplus::Bitmap small(sw, sh, PixelFormat32bppPARGB);
    if (small.GetLastStatus() == Gdiplus::Ok) {
      Gdiplus::FontFamily family;
      font.GetFamily(&family);
      Gdiplus::GraphicsPath path;
      path.AddString(text, -1, &family, font.GetStyle(), static_cast<float>(static_cast<int>(font.GetSize())),
                     Gdiplus::RectF(point.X, point.Y, rect.Width, rect.Height), &format);
      Gdiplus::Graphics sg(&small);
      sg.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
      Gdiplus::Matrix m(1.0f / scale, 0, 0, 1.0f / scale, -1.0f / scale, -1.0f / scale);
      sg.SetTransform(&m);
      Gdiplus::Pen pen(shadowColor, 1.0f);
      Gdiplus::SolidBrush brush(shadowColor);
      sg.DrawPath(&pen, &path);
      sg.FillPath(&brush, &path);
      const auto oldMode = g->GetInterpolationMode();
      g->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      g->DrawImage(&small, Gdiplus::RectF(rect.X, rect.Y, rect.Width, rect.Height), 0, 0,
                   static_cast<float>(sw), static_cast<float>(sh), Gdiplus::UnitPixel);
      g->SetInterpolationMode(oldMode);
    }
  }
  Gdiplus::SolidBrush textBrush(textColor);
  g->DrawString(text, -1, &font, rect, &format, &textBrush);
}

void VxSetAlpha255(Gdiplus::Bitmap* bmp, int a) {
  if (!bmp) return;
  const UINT w = bmp->GetWidth(), h = bmp->GetHeight();
  Gdiplus::Rect r(0, 0, static_cast<INT>(w), static_cast<INT>(h));
  Gdiplus::BitmapData data;
  if (bmp->LockBits(&r, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite,
                    PixelFormat32bppARGB, &data) != Gdiplus::Ok)
    return;
  const UINT alpha = static_cast<UINT>(a & 0xFF) << 24;
  for (UINT y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<UINT*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
    for (UINT x = 0; x < w; ++x)
      if (row[x] & 0x00FFFFFFu) row[x] = (row[x] & 0x00FFFFFFu) | alpha;
  }
  bmp->UnlockBits(&data);
}

BOOL VxSaveImagePng(Gdiplus::Image* image, const wchar_t* path) noexcept try {
  if (!image || !path) return FALSE;
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return FALSE;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return FALSE;
  for (UINT i = 0; i < count; ++i)
    if (wcscmp(codecs[i].MimeType, L"image/png") == 0)
      return image->Save(path, &codecs[i].Clsid, nullptr) == Gdiplus::Ok;
  return FALSE;
} catch (...) {
  return FALSE;  // no memory for the codec list
}

void VxDrawImageRect(Gdiplus::Graphics& g, Gdiplus::Image* image, const Gdiplus::Rect& dest, int srcX,
                     int srcY, int srcW, int srcH, const Gdiplus::ImageAttributes* attr) {
  if (!image || dest.Width <= 0 || dest.Height <= 0 || srcW <= 0 || srcH <= 0) return;
  const bool stretchX = dest.Width != srcW, stretchY = dest.Height != srcH;
  if (!stretchX && !stretchY) {
    g.DrawImage(image, dest, srcX, srcY, srcW, srcH, Gdiplus::UnitPixel, attr);
    return;
  }
  const Gdiplus::GraphicsState state = g.Save();
  g.IntersectClip(dest);
  Gdiplus::Rect wide = dest;
  if (stretchX) {
    wide.X -= 1;
    wide.Width += 1;
  }
  if (stretchY) {
    wide.Y -= 1;
    wide.Height += 1;
  }
  g.DrawImage(image, wide, srcX, srcY, srcW, srcH, Gdiplus::UnitPixel, attr);
  g.Restore(state);
}

// ---- premultiplied pixels ----
BOOL VxCopyPixels(Gdiplus::Bitmap& bitmap, VxPixelImage* image) {
  if (!image) return FALSE;
  const int w = static_cast<int>(bitmap.GetWidth()), h = static_cast<int>(bitmap.GetHeight());
  if (!image->Create(w, h)) return FALSE;
  Gdiplus::Rect all(0, 0, w, h);
  Gdiplus::BitmapData data{};
  if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
      Gdiplus::Ok) {
    image->Reset();
    return FALSE;
  }
  const VxPixels dst = image->Pixels();
  for (int y = 0; y < h; ++y)
    std::memcpy(dst.bits + y * dst.stride, static_cast<const BYTE*>(data.Scan0) + y * data.Stride,
                static_cast<size_t>(w) * 4);
  bitmap.UnlockBits(&data);
  return TRUE;
}

void VxDrawPixels(Gdiplus::Graphics& g, const VxPixels& image, int x, int y, int w, int h, int srcX,
                  int srcY, BYTE alpha) {
  // Cut to the image as VxBlendOver does: GDI+ would stretch a part reaching outside.
  const int cutLeft = std::max(0, -srcX), cutTop = std::max(0, -srcY);
  x += cutLeft;
  srcX += cutLeft;
  w = std::min(w - cutLeft, image.width - srcX);
  y += cutTop;
  srcY += cutTop;
  h = std::min(h - cutTop, image.height - srcY);
  if (!image.bits || alpha == 0 || w <= 0 || h <= 0) return;
  Gdiplus::Bitmap view(image.width, image.height, static_cast<INT>(image.stride),
                       PixelFormat32bppPARGB, image.bits);
  if (alpha == 255) {
    g.DrawImage(&view, Gdiplus::Rect(x, y, w, h), srcX, srcY, w, h, Gdiplus::UnitPixel);
    return;
  }
  Gdiplus::ColorMatrix fade = {{{1, 0, 0, 0, 0},
                                {0, 1, 0, 0, 0},
                                {0, 0, 1, 0, 0},
                                {0, 0, 0, alpha / 255.0f, 0},
                                {0, 0, 0, 0, 1}}};
  Gdiplus::ImageAttributes attr;
  attr.SetColorMatrix(&fade);
  g.DrawImage(&view, Gdiplus::Rect(x, y, w, h), srcX, srcY, w, h, Gdiplus::UnitPixel, &attr);
}

HBITMAP VxCreateTopDownDib(HDC dc, int width, int height, void** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  *bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
  if (!dib) *bits = nullptr;
  return dib;
}
