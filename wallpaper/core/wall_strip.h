#pragma once
// Geometry of the wallpaper band: where the window, its buttons, tabs and thumbnails go,
// hit tests on the strip, and one step of the strip's scroll.
namespace wall {

constexpr int kBandHeight = 407;
constexpr int kCellWidth = 165;  // 825 pixels per five pictures
constexpr int kThumbWidth = 157, kThumbHeight = 250;  // the frame image
constexpr int kThumbInset = 4;                        // picture inside the frame
constexpr int kStripLeft = 45;                        // first cell, right of the left arrow
constexpr int kStripTop = 74;
constexpr int kSetButtonHeight = 24;
constexpr int kScrollPerTick = 150;

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// The band across a work area: full width, 407 high, centred vertically.
Box BandRect(int workLeft, int workTop, int workWidth, int workHeight);
// Left edge of tab `index` (the ten tabs, 100 apart, centred on a 1000-pixel track).
int TabX(int bandWidth, int index);

// The thumbnail frame of picture `index` with the strip scrolled by `offset`.
Box ThumbRect(int index, int offset);
// The picture inside the frame, and the "设为壁纸" strip of height `stripHeight` at its bottom.
Box PictureRect(int index, int offset);
Box SetButtonRect(int index, int offset, int stripHeight);
// Picture under a point, or -1.
int PictureAt(int x, int y, int offset, int count);
// Width the strip's pictures take.
long long ContentWidth(int count);

// One tick of timer 1002.
struct ScrollState {
  int offset = 0;
  int pending = 0;  // pixels still to scroll; negative = left
};
struct ScrollTick {
  bool hideLeft = false;
  bool hideRight = false;
  bool done = false;  // the timer stops
};
ScrollTick StepScroll(ScrollState* s, int screenWidth, long long contentWidth);

}  // namespace wall
