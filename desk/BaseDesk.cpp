#include "BaseDesk.h"

void CBaseDesk::Draw(Gdiplus::Graphics& g, int width, int height) {
  Gdiplus::SolidBrush fill(Gdiplus::Color(0xC8DE0216));
  g.FillRectangle(&fill, 0, 0, width, height);
}
