// Arithmetic of the drawn items: which strip frame a state shows, text colours, progress,
// scroll bar, cover-cropping and nine-slice geometry. Pure functions, no Windows header.
#pragma once
#include <cstdint>
#include <vector>

#include "uilib/core/vx_geom.h"

// Mouse states of an item (same numbers as VxItemBase::VX_STATUS).
enum VxMouseState { kVxNormal = 0, kVxMouseOn = 1, kVxMouseDown = 2 };

// Frame of an N-frame button strip for the given state: frame 0 normal, 1 mouse over,
// 2 pressed, 3 active (only with 4 frames), 4 disabled (only with 5 frames).
int VxButtonFrameIndex(int frames, int status, bool active, bool enabled);

// Source rectangle of frame k in a strip of image size imgW x imgH. A button height other
// than -1 replaces the frame height (the frame is cropped from its top, never scaled).
VxXYWH VxButtonFrameSource(int imgW, int imgH, int frames, int k, bool vertical,
                           int buttonHeight = -1);

// Size of one frame (the hit and draw size of a button).
void VxButtonFrameSize(int imgW, int imgH, int frames, bool vertical, int* w, int* h);

// Text colours are stored with alpha at most 254: a fully opaque colour would make GDI+
// treat the text as opaque on a per-pixel-alpha surface and lose the anti-aliasing blend.
uint32_t VxClampTextAlpha(uint32_t argb);

// Colour a check box label shows in a state: the mouse-over or mouse-down colour when set
// (alpha not 0), else the normal colour.
uint32_t VxCheckTextStateColor(int status, uint32_t normal, uint32_t mouseOn, uint32_t mouseDown);

// Where a check box label goes: (x, y) of the measured text, given the item origin, the
// full width of the button image, the button rectangle's height, the measured text height
// and the two inner offsets.
VxPtF VxCheckTextOrigin(int itemX, int itemY, int buttonImageWidth, int buttonRectHeight,
                        float textHeight, int innerTop, int innerLeft);

// Progress: the bar rectangle inside the item, or false when no bar is drawn (position
// outside [min, max] or min == max).
bool VxProgressBarRect(const VxXYWH& item, int border, unsigned pos, unsigned min, unsigned max,
                       VxXYWH* bar);

// Vertical scroll bar geometry.
struct VxScrollState {
  int page = 0;
  int total = 0;
  int maxPos = 0;        // largest thumb position
  int middleHeight = 0;  // height the thumb's middle image is stretched to
  int pos = 0;           // thumb position, 0 = top

  // capTop/capBottom: heights of the cap images (0 when that image is missing); frames:
  // frames per cap image.
  void SetLength(int page, int total, int itemHeight, int capTop, int capBottom, int frames);
  void SetPos(int p);
  // Content offset the thumb stands for.
  int ContentOffset() const;
  // The thumb's hit rectangle (20 pixels taller than the middle, so the bottom cap counts).
  VxRc ThumbHitRect(const VxXYWH& item) const;
  // Moves the thumb by dy (a drag step); true when the position changed.
  bool DragBy(int dy);
};

// Next frame of an animation with `count` frames.
int VxGifNextFrame(int current, int count);

// Source of a cover-crop: the image scaled to cover w x h and centred.
VxXYWH VxCoverCropSource(int imgW, int imgH, int w, int h);

// Destination rectangles of a nine-slice set (row order: top-left, top, top-right, left,
// centre, right, bottom-left, bottom, bottom-right) in target, given each slice's natural
// size. Corners keep their size; edges and centre stretch between them.
void VxNineSliceDest(const VxXYWH& target, const int widths[9], const int heights[9],
                     VxXYWH out[9]);
