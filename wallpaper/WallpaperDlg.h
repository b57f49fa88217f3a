#pragma once
// The wallpaper program's window: a band across the work area with the category tabs, the
// scrolling strip of thumbnails of the active category, "设为壁纸" on the hovered thumbnail
// with the download's progress, the window buttons and the failure tip. It drives the list
// loader and the downloads (WallNet) and keeps the history (WallStore).
#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "uilib/VxDialogBase.h"
#include "uilib/VxWorker.h"
#include "uilib/core/vx_blend.h"
#include "wallpaper/WallNet.h"
#include "wallpaper/core/wall_catalogue.h"
#include "wallpaper/core/wall_history.h"

// One thumbnail of the strip.
struct WalpagePic {
  int fadeStep = 1;
  int loaded = 0;
  int state = 1;
  std::wstring thumbPath;
  std::wstring picturePath;  // server-relative (bigpic)
  std::unique_ptr<Gdiplus::Image> image;
  int stripHeight = 0;
  int hovered = 0;
  int buttonPressed = 0;
  int downloading = 0;
  int progress = 0, progressMax = 0;
  // Where the loader's list put it: list number and entry, to match its thumbnail.
  int list = 0, slot = 0;
  // Frame and picture composed once: premultiplied pixels for the steady strip, the bitmap
  // for the scaled fade-in.
  std::unique_ptr<Gdiplus::Bitmap> card;
  VxPixelImage cardPixels;
  VxWorker<WallDownloadEvent> download;
};

class CWallpaperDlg : public CVxDialogBase {
 public:
  enum { IDD = 102 };
  enum : UINT {
    WM_WALL_PIC = WM_USER + 100,   // 1124: wParam tab + lParam picture, or -1: fade in
    WM_WALL_LOADER = WM_USER + 102,
    WM_WALL_DOWNLOAD = WM_USER + 103,
  };
  enum Timer : UINT_PTR {
    kStripTimer = 20, kFadeTimer = 1000, kRedrawTimer = 1001, kScrollTimer = 1002,
    kScreenTimer = 1003, kTickTimer = 1004,
  };

  CWallpaperDlg();
  ~CWallpaperDlg() override;
  // Another wallpaper server than services.ini names (before the window is made; benchmark).
  void SetServerBase(const std::wstring& base) { m_base = base; }

  void StartListLoader(int tab);
  void StartDownload(WalpagePic* pic);
  void SetWallpaperFromFile(const std::wstring& path);
  void RestorePrevious();
  void OpenLocalPicture();
  void ActivateTab(int tab);
  void ScrollLeft();
  void ScrollRight();
  // One step of the strip's scroll (timer 1002); false once it has stopped.
  bool StepScroll();

  // For the benchmark: thumbnails with their picture drawn by the last paint.
  int ThumbnailsDrawn() const { return m_drawnThumbs; }
  int ActiveTab() const { return m_active; }

  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void OnTimer(UINT_PTR id) override;
  void OnMouseMove(UINT nFlags, POINT pt) override;
  void OnMouseLeave() override;
  void OnLButtonUp(UINT nFlags, POINT pt) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnCancel() override;
  void OnOK() override;

 private:
  struct Category {
    std::vector<std::unique_ptr<WalpagePic>> pics;
    int offset = 0;
    long long extent = 0;
    long long total = 0;
    int requested = 0;
    bool countPending = true;
    bool rightHidden = false;
  };

  static void OnClickClose(void* self);
  static void OnClickMin(void* self);
  static void OnClickRestore(void* self);
  static void OnClickLeft(void* self);
  static void OnClickRight(void* self);
  static void OnClickLocal(void* self);
  static void OnClickTab(void* self);

  std::wstring Skin(const wchar_t* name) const;
  void LoadItems();
  void PlaceItems();
  static SIZE ScreenMetrics();
  void ApplyGeometry(SIZE screen);
  void ShowArrowsFor(int tab);
  void PumpLoader();
  void TakeLoaderEvents();
  void TakeDownloadEvents();
  void AppendPictures(const WallLoadEvent& e);
  void FillThumbnail(const WallLoadEvent& e);
  void ShowFailureTip();
  void TellUndecodable();
  void AnimateStrips();
  void RaiseFades();
  void StopWorkers();
  WalpagePic* HoveredPicture() const;
  bool OverSetButton(const WalpagePic* pic, int index, POINT pt) const;
  void BuildCard(WalpagePic* pic);
  void RoundPictureCorners(const VxPixelImage& card, int x, int y, int w, int h) const;
  void BuildBand(int cx, int cy);
  bool EnsureFrame(HDC hdc, int cx, int cy);
  void DrawStrip(Gdiplus::Graphics& g, const VxPixels& frame, int cx);

  std::wstring m_programDir;
  std::wstring m_userFolder;
  std::wstring m_base;
  std::array<Category, wall::kTabCount> m_cat;
  int m_active = 0;
  int m_pendingScroll = 0;
  bool m_redraw = false;
  bool m_networkFailed = false;
  int m_pendingAction = 0;
  bool m_tipOpen = false;
  bool m_closing = false;
  SIZE m_screen{0, 0};  // the screen size last seen by the screen timer
  int m_width = 0;
  wall::WallHistory m_history;
  WalpagePic* m_announced = nullptr;  // the picture a 1124 may append, nothing else
  std::vector<WalpagePic*> m_downloads;

  VxButton m_btnClose, m_btnMin, m_btnRestore, m_btnLeft, m_btnRight, m_btnLocal;
  std::array<VxButton, wall::kTabCount> m_tabs;
  struct TabClick {
    CWallpaperDlg* dlg = nullptr;
    int index = 0;
  };
  std::array<TabClick, wall::kTabCount> m_tabClicks;
  std::unique_ptr<Gdiplus::Image> m_bgLeft, m_bgCenter, m_bgRight, m_bgTrack, m_frameImg;
  std::unique_ptr<Gdiplus::Image> m_setImg, m_barBackImg, m_barImg;
  VxPixelImage m_frameBlank;  // a frame without picture
  std::array<VxPixelImage, 3> m_setStates;
  VxPixelImage m_barBack, m_bar;

  // The band drawn once per size, and the frame every paint composes into.
  VxPixelImage m_band;
  VxBitmap m_frameDib;
  VxMemDC m_frameDC;
  void* m_frameBits = nullptr;
  int m_frameCx = 0, m_frameCy = 0;
  int m_drawnThumbs = 0;

  std::deque<WallLoadRequest> m_loadQueue;
  std::deque<WallLoadEvent> m_loaderEvents;  // taken from the loader, not handled yet
  // Declared last: destroyed (stopped and joined) before anything its jobs report on.
  VxWorker<WallLoadEvent> m_loader;
};
