#pragma once
// Painting helpers shared by the dialogs and the list.
#include "uilib/VxExport.h"
#include "uilib/VxGdiplus.h"
#include "uilib/core/vx_blend.h"

// Text with a soft glow: the outline is drawn small (1/scale) and stretched back, which
// blurs it, then the text goes on top.
LUMETTE_API void VxDrawShadowText(Gdiplus::Graphics* g, const wchar_t* text, Gdiplus::Font& font,
                                  Gdiplus::StringFormat& format, Gdiplus::Color& textColor,
                                  Gdiplus::Color& shadowColor, Gdiplus::RectF& rect,
                                  Gdiplus::PointF& point, float scale);

// Gives every pixel with some colour the alpha `a`; pure black keeps its alpha.
LUMETTE_API void VxSetAlpha255(Gdiplus::Bitmap* bmp, int a);

// Saves an image as a PNG file; FALSE when there is no PNG encoder or the save fails.
LUMETTE_API BOOL VxSaveImagePng(Gdiplus::Image* image, const wchar_t* path) noexcept;

// Draws the source rectangle of `image` into `dest`, stretched when the sizes differ.
// Some GDI+ implementations leave the first row or column of a stretched destination
// unpainted, which shows as a see-through seam between nine-slice pieces; the stretch is
// therefore drawn one pixel larger on its leading sides and clipped back to `dest`.
LUMETTE_API void VxDrawImageRect(Gdiplus::Graphics& g, Gdiplus::Image* image, const Gdiplus::Rect& dest,
                                 int srcX, int srcY, int srcW, int srcH,
                                 const Gdiplus::ImageAttributes* attr = nullptr);

// Takes over the pixels of a GDI+ rendering, premultiplied, at the bitmap's size. Renderings
// that are drawn every frame are kept this way and composed with VxBlendOver straight in the
// frame's memory: under Wine, GDI+ DrawImage reads and writes every pixel through per-pixel
// calls (about 17 ns a pixel), and even GDI's AlphaBlend takes about 3 ns.
LUMETTE_API BOOL VxCopyPixels(Gdiplus::Bitmap& bitmap, VxPixelImage* image);

// VxBlendOver through GDI+, for targets whose memory is not at hand.
LUMETTE_API void VxDrawPixels(Gdiplus::Graphics& g, const VxPixels& image, int x, int y, int w,
                              int h, int srcX, int srcY, BYTE alpha = 255);

// A 32-bit top-down DIB section of `width` x `height` compatible with `dc`, with its pixel
// memory in `*bits` (rows in the order GDI+ writes them); null on failure.
LUMETTE_API HBITMAP VxCreateTopDownDib(HDC dc, int width, int height, void** bits);
