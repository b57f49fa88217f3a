#include "app/dialogs/DialogFont.h"

#include "base/AppGlobals.h"
#include "uilib/VxRaii.h"

Gdiplus::Font* DialogTextFont(std::unique_ptr<Gdiplus::Font>& fallback) {
  if (Gdiplus::Font* font = IconFont()) return font;
  if (!fallback) {
    ICONMETRICSW im{};
    im.cbSize = sizeof(im);
    if (!::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(im), &im, 0)) return nullptr;
    VxWindowDC screen(nullptr);
    VxMemDC mem(::CreateCompatibleDC(screen.Get()));
    auto font = std::make_unique<Gdiplus::Font>(mem.Get(), &im.lfFont);
    if (font->GetLastStatus() != Gdiplus::Ok) return nullptr;
    fallback = std::move(font);
  }
  return fallback.get();
}
