#pragma once
// Painting of the desk page: box frames and titles, box lists from their cached renderings,
// scroll thumbs, menu buttons, the desk list, the rubber band and the flash of new entries,
// with the images and caches that keep a frame cheap.
#include <windows.h>

#include <memory>

#include "desk/DeskModel.h"
#include "uilib/VxGdiplus.h"
#include "uilib/core/vx_blend.h"
#include "uilib/core/vx_scene.h"

class CDeskInput;

// Milliseconds the page drawing spent in each part, summed over every frame drawn while a
// benchmark lends the desk this record (SetDrawTimes); nothing is timed without one.
struct DeskDrawTimes {
  double boxFrames = 0;    // frames and titles of the boxes
  double boxLists = 0;     // the boxes' lists
  double boxControls = 0;  // scroll thumbs and menu buttons
  double flashes = 0;      // highlights of new entries, in boxes and on the desk list
  double deskList = 0;     // the desk list with its resting cells, and the rubber band
  double rebuilds = 0;     // cached images made again (included in the parts above)
  double scene = 0;        // the kept scene brought up to date and copied into the frame
  int64_t sceneArea = 0;   // pixels of the kept scene composed anew
  int frames = 0;
};

struct DeskDrawResources;
class DeskCanvas;
struct DeskDrawResourcesDeleter {
  void operator()(DeskDrawResources* r) const;
};

// Starts loading the images of the desk's first frame on a thread of its own, so that they are
// ready when the desk first draws: the program makes its toolbar and reads the desk meanwhile.
// The first painter to draw takes them; DeskForgetPreparedDrawResources drops them unused (call
// it before GDI+ shuts down).
void DeskPrepareDrawResources();
void DeskForgetPreparedDrawResources();

class CDeskPainter {
 public:
  CDeskPainter(CDeskModel& model, const CDeskInput& input) : m_model(model), m_input(input) {}
  CDeskPainter(const CDeskPainter&) = delete;
  CDeskPainter& operator=(const CDeskPainter&) = delete;

  void Draw(Gdiplus::Graphics& g);
  // The boxes' cached images go straight into the frame's memory.
  void DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame);
  // Writes the whole frame: the page over `background` (the frame's size; its content named
  // by `backgroundSerial`) is kept from frame to frame and composed again only where it changed.
  void DrawFrame(Gdiplus::Graphics& g, const VxPixels& frame, const VxPixels& background,
                 uint64_t backgroundSerial);
  // Frees the kept page (the next frame composes it whole).
  void ForgetScene();
  // The frame and title of a box at the origin of `g`.
  void DrawBoxChrome(Gdiplus::Graphics& g, GetZhiItem* box, int width, int height);
  void SetDrawTimes(DeskDrawTimes* times) { m_times = times; }
  // The last frame left desk-list entries or their cells to later frames (a large desk fills
  // in over a few frames instead of holding back the first).
  bool FillingIn() const;
  // The highlights of hovered, pressed and focused entries and the active box's frame, which
  // the first frame does without.
  void LoadStateImages();
  bool StateImagesLoaded() const;
  bool FirstFrameDrawn() const { return m_firstFrameDrawn; }

 private:
  void LoadDrawResources();
  // Everything but the rubber band, which goes over the kept scene.
  void DrawLayers(DeskCanvas& canvas);
  void DrawBox(DeskCanvas& canvas, GetZhiItem* box);
  void DrawFlashes(DeskCanvas& canvas, VxListCtrl& list, GetZhiItem* box);
  void DrawRestingCells(DeskCanvas& canvas);
  void DrawBand(DeskCanvas& canvas);
  void SkinList(VxListCtrl& list);

  CDeskModel& m_model;
  const CDeskInput& m_input;
  std::unique_ptr<DeskDrawResources, DeskDrawResourcesDeleter> m_draw;
  DeskDrawTimes* m_times = nullptr;
  VxRetainedScene m_scene;
  BOOL m_deskSkinned = FALSE;
  bool m_firstFrameDrawn = false;
  bool m_cellsPending = false;
  // Some box rendering left entries out this frame; when this frame began.
  bool m_boxesPending = false;
  LARGE_INTEGER m_frameStart{}, m_frameFreq{};
};
