#pragma once
// The skinned dialog: the whole client area is painted with GDI+ (background colour,
// background image, then every registered item) and mouse messages become item states,
// clicks, radio groups, scroll-bar drags, rubber-band selection and window dragging.
// The window can be plain, colour-keyed, uniformly translucent or per-pixel alpha
// (painted through UpdateLayeredWindow).
#include <memory>
#include <vector>

#include "uilib/VxDialog.h"
#include "uilib/VxItems.h"
#include "uilib/VxListCtrl.h"
#include "uilib/VxRaii.h"

// A Graphics with the bitmap it may draw through.
struct VxSurfaceGraphics {
  std::unique_ptr<Gdiplus::Bitmap> bitmap;
  std::unique_ptr<Gdiplus::Graphics> graphics;
  Gdiplus::Graphics* operator->() const { return graphics.get(); }
  Gdiplus::Graphics& operator*() const { return *graphics; }
};

class LUMETTE_API CVxDialogBase : public CVxDialog {
 public:
  enum LayerMode { kPlain = 0, kColorKey = 1, kUniformAlpha = 2, kPerPixelAlpha = 3 };

  CVxDialogBase(UINT nIDTemplate, HWND hParent = nullptr);
  ~CVxDialogBase() override;

  // ---- window modes ----
  BOOL SetNoLayDlg();
  BOOL Set_COLORKEYDlg(COLORREF key);
  BOOL Set_ALPHADlg(int alpha);
  BOOL Set_OPAQUEDlg(int alpha);
  int GetLayerMode() const { return m_nLayerMode; }
  int GetAlpha() const { return m_nAlpha; }

  // ---- background ----
  void SetBack(CString path, int keepAspect, int cache);
  BOOL SetBack(CString path, CRect& size);
  void SetBackColor(Gdiplus::Color color, BOOL on);
  Gdiplus::Image* GetBackImage() const { return m_pBack; }

  // ---- items ----
  BOOL AddVxItem(VxItemBase* item);
  BOOL RemoveVxItem(VxItemBase* item);
  void RemoveAllVxItem();
  VxItemBase* GetVxItem(VxItemBase* item) const;
  const std::vector<VxItemBase*>& GetVxItems() const { return m_items; }

  // ---- repaint ----
  virtual void UpdateView();
  virtual void UpdateViewRect(RECT* rc);
  virtual void UpdateViewPt(POINT& pt);
  // For a change confined to `dirty` (client coordinates) while everything else is as last
  // presented, e.g. a hover moving between list entries: a per-pixel-alpha window
  // repaints and presents only that area; other modes invalidate it.
  void UpdateViewDirty(const RECT& dirty);
  virtual void CallBackInvalidate() {}
  virtual void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered);
  void OnVxPaint(HDC hdc, int cx, int cy);
  // A Graphics for a surface handed to DrawSurface: over the per-pixel-alpha surface of
  // UpdateView it writes premultiplied alpha; over any other DC it is a plain DC graphics.
  VxSurfaceGraphics CreateSurfaceGraphics(HDC hdc);
  void SetInvalidateOnUpdate(BOOL b) { m_bInvalidateOnUpdate = b; }
  // How often a per-pixel-alpha window handed a frame to the system: a frame that paints
  // what the window already shows is not handed over (tests and benchmarks read this).
  int GetPresentCount() const { return m_nPresents; }

  // ---- painting routines ----
  void DrawShadowText(Gdiplus::Graphics* g, CString text, Gdiplus::Font& font,
                      Gdiplus::StringFormat& format, Gdiplus::Color& textColor,
                      Gdiplus::Color& shadowColor, Gdiplus::RectF& rect, Gdiplus::PointF& point,
                      float scale);
  void SetALPH255(Gdiplus::Bitmap* bmp, int alpha);
  void DrawStaticText(Gdiplus::Graphics& g, VxStaticText* item);
  void DrawCheckBoxText(Gdiplus::Graphics& g, VxCheckBox* item);
  void DrawImage(Gdiplus::Graphics& g, VxImage* item);
  void DrawGifImage(Gdiplus::Graphics& g, VxGifImage* item);
  void DrawButton(Gdiplus::Graphics& g, VxButton* item);
  void DrawProgress(Gdiplus::Graphics& g, VxProgress* item);
  void DrawVScroll(Gdiplus::Graphics& g, VxVScrollBar* item);
  void DrawListCtrl(Gdiplus::Graphics& g, VxListCtrl* item);

  // ---- window behaviour ----
  void SetNoMove(BOOL noMove) { m_bMovable = !noMove; }
  BOOL IsMovable() const { return m_bMovable; }
  void SetSelRect(BOOL on) { m_bSelRect = on; }
  void SetMouseTranOver(BOOL b) { m_bMouseTranOver = b; }
  void SetMinMaxStyle();
  void SetRngDlg(int cx, int cy);
  void MinVxDlg();
  void CloseVxDlg();
  void SetDoModalOK(BOOL ok);
  void messagePump();
  BOOL SetDesk();
  void ShowDeskList(BOOL show);

  // ---- lists ----
  BOOL DoDropSource();
  BOOL DeleteSelectedFiles();
  // Selects the entries of every free-mode list whose hover rectangle meets the band.
  BOOL CaleSelItem();
  // Clears the selection marks of every list.
  BOOL UnSelRcItem();
  int GetNumsSel() const;
  BOOL IsBanding() const { return m_bBanding; }
  const RECT& GetBandRect() const { return m_rcBand; }
  BOOL IsDragPending() const { return m_bDragPending; }

  void OnRButtonDown(UINT nFlags, POINT pt) override;
  void OnDestroy() override;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC hdc) override;
  void OnMouseMove(UINT nFlags, POINT pt) override;
  void OnMouseLeave() override;
  void OnLButtonDown(UINT nFlags, POINT pt) override;
  void OnLButtonUp(UINT nFlags, POINT pt) override;
  void OnLButtonDblClk(UINT nFlags, POINT pt) override;
  void OnRButtonUp(UINT nFlags, POINT pt) override;
  void OnActivate(UINT nState, HWND hOther, BOOL bMinimized) override;
  void OnClose() override;
  void OnTimer(UINT_PTR nIDEvent) override;
  void OnHandlerFailed(UINT msg) noexcept override;

  // List mouse steps (called for each shown, enabled list).
  BOOL MoveList(VxListCtrl* list, POINT pt);
  BOOL LButtonDownList(VxListCtrl* list, POINT pt);
  BOOL LButtonDblClkList(VxListCtrl* list, POINT pt);
  BOOL LButtonUpList(VxListCtrl* list, POINT pt);
  BOOL RButtonDownList(VxListCtrl* list, POINT pt);
  BOOL RButtonUpList(VxListCtrl* list, POINT pt);
  BOOL MoveLeaveList(VxListCtrl* list, RECT* rc);
  // Clears the selection of every list of the dialog.
  void ClearAllListSelections();
  std::vector<VxListCtrl*> ShownLists() const;

  // Band selection state shared with derived dialogs.
  BOOL m_bBanding = FALSE;
  POINT m_ptBandStart{0, 0};
  POINT m_ptBandCur{0, 0};
  RECT m_rcBand{0, 0, 0, 0};

 private:
  static bool IsButtonLike(const VxItemBase* item);
  static bool HitItem(VxItemBase* item, POINT pt);
  bool MoveOverItem(VxItemBase* item, POINT pt);
  bool ReleaseItem(VxItemBase* item, POINT pt);
  void StartBand(POINT pt);
  bool PressItems(POINT pt, bool doubleClick);
  static RECT NormalizedRectOf(POINT a, POINT b);
  void StartWindowDragOrCapture(POINT pt);
  void TrackLeave();
  void PaintBackground(Gdiplus::Graphics& g, int w, int h);
  void DrawItemByType(Gdiplus::Graphics& g, VxItemBase* item);
  bool WindowParked() const;
  // Paints a plain, colour-keyed or uniformly translucent window's `area` on the kept
  // surface and copies that area to `hdc`.
  void DrawOpaqueSurface(HDC hdc, int cx, int cy, RECT area);
  // The cached background's pixels at cx x cy (made and copied out of GDI+ once); null
  // when the background is not cached.
  const BYTE* OpaqueBackPixels(int cx, int cy);
  bool PresentDirty(const RECT& dirty);
  enum class SurfaceState { kMissing, kFresh, kKept };
  // The kept surface at cx x cy: made anew (its pixels undefined) when there was none or its
  // size differs.
  SurfaceState EnsureSurface(int cx, int cy);
  // Whether `area` of the painted surface differs from what the window shows; the record
  // of what it shows then takes the surface's pixels. The source origin and the alpha
  // count as content too.
  bool FrameChanged(const RECT& area, POINT source);
  // The window's shown pixels are unknown (new surface, new mode, shown again): the next
  // frame is handed over whatever it paints.
  void ForgetShownFrame();
  // Hands the surface to the system; `dirty` narrows the area when not null.
  void PresentSurface(const RECT* dirty, POINT source);

  // Mode 3 keeps its window-sized surface between frames: a fresh 8 MB DIB per frame
  // cost more than painting a full-screen list. The bitmap is declared first so the DC
  // holding it goes first.
  VxBitmap m_surfaceDib;
  VxMemDC m_surfaceDC;
  void* m_surfaceBits = nullptr;
  int m_surfaceCx = 0, m_surfaceCy = 0;

  // The surface UpdateView is painting (mode 3), for CreateSurfaceGraphics.
  HDC m_layerDC = nullptr;
  void* m_layerBits = nullptr;
  int m_layerCx = 0, m_layerCy = 0;
  // The graphics CreateSurfaceGraphics made for that surface: lists drawn through it are
  // composed straight in the surface's memory.
  Gdiplus::Graphics* m_layerGraphics = nullptr;
  // A plain window's paint: the memory of its kept surface, for composing lists into, and
  // whether the cached background was copied in (the paint then draws it no more).
  HDC m_paintDC = nullptr;
  VxPixels m_paintPixels;
  bool m_bBackCopied = false;
  // The area WM_PAINT asks for; other callers of DrawSurface draw it all.
  RECT m_rcPaint{0, 0, 0, 0};
  bool m_bPaintAll = true;
  // Set while only part of the surface is repainted: every surface graphics clips to it.
  bool m_bLayerClip = false;
  RECT m_rcLayerClip{0, 0, 0, 0};

  // The pixels the window shows, as last handed over (empty when unknown), with the source
  // origin and alpha they were handed over with.
  std::vector<BYTE> m_shownPixels;
  POINT m_shownSource{0, 0};
  int m_shownAlpha = -1;
  int m_nPresents = 0;

  POINT m_ptSource{0, 0};
  BOOL m_bSourceSet = FALSE;
  BOOL m_bInvalidateOnUpdate = TRUE;
  int m_nLayerMode = kPlain;
  int m_nAlpha = 255;
  COLORREF m_colorKey = 0;
  Gdiplus::Image* m_pBack = nullptr;
  std::vector<VxItemBase*> m_items;
  BOOL m_bAnimation = FALSE;
  VxItemBase* m_pPressed = nullptr;
  BOOL m_bDragPending = FALSE;
  BOOL m_bSelRect = FALSE;
  BOOL m_bMovable = TRUE;
  BOOL m_bMouseTranOver = TRUE;
  BOOL m_bKeepAspect = FALSE;
  Gdiplus::Color m_backColor{0xFF000000};
  BOOL m_bBackColor = FALSE;
  std::unique_ptr<Gdiplus::Bitmap> m_pBackCache;
  std::vector<BYTE> m_backPixels;  // the cache's pixels, copied out once
  BOOL m_bCacheBack = FALSE;
  BOOL m_bMinFromButton = FALSE;
};
