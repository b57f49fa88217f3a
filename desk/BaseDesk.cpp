#include "desk/BaseDesk.h"

#include <algorithm>

void CBaseDesk::Draw(Gdiplus::Graphics& g, int width, int height) {
  Gdiplus::SolidBrush fill(Gdiplus::Color(0xC8DE0216));
  g.FillRectangle(&fill, 0, 0, width, height);
}

void CBaseDesk::DrawAt(Gdiplus::Graphics& g, int width, int height, const VxPixels* frame,
                       const PageBackdrop* backdrop) {
  if (!frame) backdrop = nullptr;
  if (!m_animating || m_slideOffset == 0) {
    if (backdrop)
      DrawOverBackdrop(g, *frame, width, height, *backdrop);
    else if (frame)
      DrawFrame(g, *frame, width, height);
    else
      Draw(g, width, height);
    return;
  }
  if (backdrop) VxCopyBlock(*frame, backdrop->pixels);
  // A moving page is drawn once and then shifted: the slide costs one blend per step, done in
  // memory when the frame's pixels are at hand (GDI+ would take several times as long).
  if (!m_pageCache || m_pageCache.Width() != width || m_pageCache.Height() != height) {
    if (!m_pageCache.Create(width, height)) return;
    const VxPixels px = m_pageCache.Pixels();
    Gdiplus::Bitmap view(width, height, static_cast<INT>(px.stride), PixelFormat32bppPARGB, px.bits);
    Gdiplus::Graphics pg(&view);
    pg.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    DrawFrame(pg, px, width, height);
    pg.Flush(Gdiplus::FlushIntentionSync);
  }
  const VxPixels px = m_pageCache.Pixels();
  if (frame) {
    ::GdiFlush();
    VxBlendOver(*frame, m_slideOffset, 0, px, 0, 0, width, height);
    return;
  }
  Gdiplus::Bitmap view(width, height, static_cast<INT>(px.stride), PixelFormat32bppPARGB, px.bits);
  g.DrawImage(&view, m_slideOffset, 0, width, height);
}

void CBaseDesk::BeginSlide(int from, int goal, BOOL incoming) {
  SetSlide(from, goal > from ? 1 : (goal < from ? -1 : 0));
  m_slideGoal = goal;
  m_incoming = incoming;
  m_done = FALSE;
  m_moving = from != goal;
  SetAnimating(m_moving);
}

void CBaseDesk::PlaceAt(int x, BOOL shows) {
  SetSlide(x, 0);
  m_slideGoal = x;
  m_incoming = shows;
  m_moving = FALSE;
  SetAnimating(FALSE);
  if (!shows && !m_done) {
    m_done = TRUE;
    ReleaseSlideResources();
  }
  if (shows) m_done = FALSE;
}

BOOL CBaseDesk::StepSlide(int step, int width, int height) {
  if (!m_moving) return FALSE;
  int x = m_slideOffset;
  x = x > m_slideGoal ? std::max(m_slideGoal, x - step) : std::min(m_slideGoal, x + step);
  m_slideOffset = x;
  if (x == m_slideGoal) {
    m_moving = FALSE;
    SetAnimating(FALSE);
    if (!m_incoming) {
      m_done = TRUE;
      ReleaseSlideResources();
    }
  }
  PlacePage(x, 0, width, height);
  return m_moving;
}
