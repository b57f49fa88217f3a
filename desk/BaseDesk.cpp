#include "desk/BaseDesk.h"

void CBaseDesk::Draw(Gdiplus::Graphics& g, int width, int height) {
  Gdiplus::SolidBrush fill(Gdiplus::Color(0xC8DE0216));
  g.FillRectangle(&fill, 0, 0, width, height);
}

void CBaseDesk::DrawAt(Gdiplus::Graphics& g, int width, int height, const VxPixels* frame) {
  if (!m_animating || m_slideOffset == 0) {
    if (frame)
      DrawFrame(g, *frame, width, height);
    else
      Draw(g, width, height);
    return;
  }
  // A moving page is drawn once and then shifted: the slide costs one blit per step.
  if (!m_pageCache || static_cast<int>(m_pageCache->GetWidth()) != width ||
      static_cast<int>(m_pageCache->GetHeight()) != height) {
    m_pageCache = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
    Gdiplus::Graphics pg(m_pageCache.get());
    Draw(pg, width, height);
  }
  g.DrawImage(m_pageCache.get(), m_slideOffset, 0, width, height);
}
