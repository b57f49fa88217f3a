#pragma once
// The drawn icon list: entries laid out in a grid of cells (large or small icons) or in
// rows, with hover, focus and multiple selection, nine-slice highlights, glowing labels
// and callbacks for clicks, double-clicks and right-clicks.
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "uilib/VxItemBase.h"
#include "uilib/VxRaii.h"
#include "uilib/core/vx_blend.h"
#include "uilib/core/vx_scene.h"
#include "uilib/core/vx_list_layout.h"

struct VxEntryPixels;

// One entry. The list creates entries from a caller's template record and owns them.
struct LUMETTE_API VxListItem {
  RECT rcText{0, 0, 0, 0};
  RECT rcHover{0, 0, 0, 0};
  RECT rcFocus{0, 0, 0, 0};
  int bClickSelect = 1;   // a left release makes this the only selected entry
  int bNotFocus = 1;      // 0 = focused
  int nMouseState = 0;    // 0 normal, 1 mouse over, 2 pressed
  int bNotSelect = 1;     // 0 = selected
  Gdiplus::Image* pIcon = nullptr;
  Gdiplus::Image* pAlphaImage = nullptr;
  HICON hIcon = nullptr;
  int nID = -1;
  RECT rcPos{0, 0, 0, 0};  // the entry's cell; all -1 = not placed
  wchar_t szName[260] = {};
  wchar_t szPath[260] = {};
  int nData[4] = {0, 0, 0, 0};  // the caller's words
  int bDrawText = 1;
  int nAlpha = 255;
  Gdiplus::Image* pTextImage = nullptr;  // cached label rendering
  wchar_t szTextCache[260] = {};         // text of pTextImage; empty = stale
  // A pointer-size value of the caller's (the desk keeps the item's identifier list here),
  // owned by the entry when pfnFreeData is set. Like the icon handle, it moves from a
  // template to the list's copy.
  void* pData = nullptr;
  void(__cdecl* pfnFreeData)(void*) = nullptr;
  // The entry as the list last drew it, kept by the list for composing (not copied).
  VxEntryPixels* pPixels = nullptr;

  VxListItem() = default;
  ~VxListItem();
  VxListItem(const VxListItem&) = delete;
  VxListItem& operator=(const VxListItem&) = delete;

  bool IsSelected() const { return bNotSelect == 0; }
  bool IsFocused() const { return bNotFocus == 0; }
  bool IsPlaced() const { return !(rcPos.left == -1 && rcPos.top == -1 && rcPos.right == -1); }
  void ClearTextCache() { szTextCache[0] = 0; }
};

enum VxListType { VXLT_BIGICON = 0, VXLT_ICON = 1, VXLT_LIST = 2 };
enum VxListMode { VXLM_NORMAL = 0, VXLM_FREE = 1 };

typedef void(__cdecl* VxListItemFunc)(VxListItem* item, POINT* pt, void* lpParam);

// Seven pointer-size words; the list uses the last four.
struct VxListCallbacks {
  void* reserved[3] = {nullptr, nullptr, nullptr};
  VxListItemFunc pfnRClick = nullptr;
  VxListItemFunc pfnClick = nullptr;
  VxListItemFunc pfnDblClick = nullptr;
  void* lpParam = nullptr;
};

// A nine-slice image set (top-left ... bottom-right).
class LUMETTE_API VxNineSlice {
 public:
  VxNineSlice() = default;
  ~VxNineSlice();
  VxNineSlice(const VxNineSlice&) = delete;
  VxNineSlice& operator=(const VxNineSlice&) = delete;
  // Replaces the set from nine files; other counts are ignored (FALSE).
  BOOL Load(const CStringArray& paths);
  // Replaces the set with copies of another's slices: decoding the files again costs far
  // more under Wine than copying the decoded pixels.
  void CopyFrom(const VxNineSlice& other);
  BOOL IsEmpty() const;
  void Draw(Gdiplus::Graphics& g, const Gdiplus::Rect& target) const;
  Gdiplus::Image* Slice(int i) const { return m_slices[i]; }

 private:
  void Free();
  Gdiplus::Image* m_slices[9] = {};
};

class LUMETTE_API VxListCtrl : public VxItemBase {
 public:
  VxListCtrl();
  ~VxListCtrl() override;

  // ---- entries ----
  BOOL AddItem(VxListItem* src, BOOL place);
  BOOL AddItem(VxListItem* src, int x, int y);
  BOOL InsertItem(VxListItem* src, int index);
  BOOL GetItem(int index, VxListItem** out) const;
  VxListItem* GetItem(int index) const;
  BOOL SetItem(int index, VxListItem* item);
  int GetCount() const { return static_cast<int>(m_items.size()); }
  BOOL RemoveAt(VxListItem* item, BOOL destroy);
  void RemoveAll();
  BOOL ChangeItemPos(VxListItem* a, VxListItem* b);
  int ComputerID() const;
  int GetItemFromRect(CRect* rc, VxListItem*& out) const;
  int IndexOf(const VxListItem* item) const;
  const std::vector<VxListItem*>& Items() const { return m_items; }

  // ---- layout ----
  using VxItemBase::SetRect;
  void SetRect(int x, int y, int cx, int cy) override;
  // Lays every entry out again; the rectangle is written back grown to hold them.
  void SetRect(CRect* rc) override;
  void SetListType(VxListType type);
  void SetListType(VxListType type, int itemWidth, int itemHeight, int imageWidth,
                   int imageHeight, int wIner, int hIner);
  VxListType GetListType() const { return static_cast<VxListType>(m_geo.type); }
  int GetItemWidth() const { return m_geo.itemWidth; }
  int GetItemHeight() const { return m_geo.itemHeight; }
  int GetImageWidth() const { return m_geo.imageWidth; }
  int GetImageHeight() const { return m_geo.imageHeight; }
  int GetHIner() const { return m_geo.hIner; }
  int GetWIner() const { return m_geo.wIner; }
  int GetInerTop() const { return m_geo.innerTop; }
  int GetLabelGap() const { return m_geo.labelGap; }
  // Stored inverted: SetArrange(TRUE) fills by columns (GetArrange() == FALSE).
  void SetArrange(BOOL v) { m_nArrange = !v; m_geo.byRows = m_nArrange != 0; }
  BOOL GetArrange() const { return m_nArrange; }
  void SetListMode(VxListMode mode) { m_mode = mode; }
  VxListMode GetListMode() const { return m_mode; }
  void RedrawList();
  void ReSetPos(BOOL replace);
  void ReCalcStateRect(VxListItem* item);
  int GetListMaxHeight() const;
  int GetListMaxWidth() const;

  // ---- states ----
  BOOL SetSel(VxListItem* item, BOOL sel);
  BOOL SetSel(int index, BOOL sel);
  void SetSignalSel(int index);
  void SelectAll();
  BOOL UnSelRcItem();
  BOOL ItemInSelect(VxListItem* item) const;
  BOOL ClearState();
  BOOL RemoveMoveState();
  BOOL ClearAlphImage();
  BOOL SetTextCath(VxListItem* item, LPCWSTR text);
  const std::vector<VxListItem*>& GetSelection() const { return m_selection; }
  VxListItem* GetFocusItem() const;
  // The entry whose hover rectangle holds the point, in list order.
  VxListItem* HitTest(POINT pt) const;

  // ---- images, font, callbacks ----
  BOOL SetMouseMoveImage(CStringArray& paths) { ++m_lookGeneration; return m_moveImages.Load(paths); }
  BOOL SetMouseDownImage(CStringArray& paths) { ++m_lookGeneration; return m_downImages.Load(paths); }
  BOOL SetFouceImage(CStringArray& paths) { ++m_lookGeneration; return m_focusImages.Load(paths); }
  // The three highlight sets above at once, copied from sets already loaded.
  void SetStateImages(const VxNineSlice& move, const VxNineSlice& down, const VxNineSlice& focus) {
    ++m_lookGeneration;
    m_moveImages.CopyFrom(move);
    m_downImages.CopyFrom(down);
    m_focusImages.CopyFrom(focus);
  }
  void SetListCallBack(VxListCallbacks* cb);
  const VxListCallbacks& GetListCallBack() const { return m_callbacks; }
  void SetFont(Gdiplus::Font& font);
  Gdiplus::Font* GetFont() const { return m_pFont.get(); }
  void SetTextColor(Gdiplus::Color c) {
    m_textColor = VxTextColor(c);
    ++m_lookGeneration;
  }
  Gdiplus::Color GetTextColor() const { return m_textColor; }
  Gdiplus::StringFormat* GetFormat() const { return m_pFormat.get(); }

  // Drawing (part of the owning dialog's paint pass). Entries outside the graphics' clip
  // are skipped.
  void Draw(Gdiplus::Graphics& g);
  // The same drawing composed in `frame`, the memory of the pixels `g` draws on (premultiplied,
  // no transform on `g`): each entry is drawn by GDI+ once into a kept image, again only when
  // it looks different, and composed from there. Null `frame` draws through `g`.
  void Draw(Gdiplus::Graphics& g, const VxPixels* frame);
  // The same composed drawing into `target` (the size of the pixels `g` draws on, no transform
  // on `g`), one layer keyed by each entry.
  void Draw(Gdiplus::Graphics& g, VxBlendTarget& target);
  // Every pixel the entry's drawing may touch, in any state (empty when not placed).
  static VxRc PaintExtent(const VxListItem* item);
  // A composed draw spends at most about `ms` drawing entries that were never drawn before
  // and leaves the rest out, so a list of hundreds shows at once and fills in over the next
  // frames; 0 (the default) draws every entry. RendersPending tells the last draw left some out.
  void SetFirstDrawBudget(double ms) { m_firstDrawBudgetMs = ms; }
  bool RendersPending() const { return m_rendersPending; }

 protected:
  BOOL IsItemInPos(POINT& pt) const;

 private:
  VxListItem* CopyFromTemplate(VxListItem* src);
  std::vector<VxRc> TakenCells(const VxListItem* except) const;
  void ApplyCell(VxListItem* item, const VxCellPlacement& cell);
  void PlaceItem(VxListItem* item);
  void PlaceItemAt(VxListItem* item, int x, int y);
  void GrowToHold(const RECT& pos);
  void DrawItem(Gdiplus::Graphics& g, VxListItem* item);
  void DrawComposed(Gdiplus::Graphics& g, VxBlendTarget& target);
  void DrawThroughPlus(Gdiplus::Graphics& g);
  // The entry's icon and label (DrawItem without the highlights).
  void DrawContent(Gdiplus::Graphics& g, VxListItem* item);
  // A highlight (0 selected, 1 hovered, 2 pressed) at w x h, rendered once; null without one.
  // The shared rendering of a highlight; it stays until the next composed draw begins.
  const VxPixelImage* Highlight(Gdiplus::Graphics& g, int kind, int w, int h);
  void ForgetStaleHighlights();
  void DrawLabel(Gdiplus::Graphics& g, VxListItem* item, const Gdiplus::Rect& box, bool trim);
  // Where an entry's label goes; empty when it has none to draw.
  Gdiplus::Rect LabelBox(const VxListItem* item) const;
  // The entry has a label to draw and it was never rendered (the costly part of a first draw).
  bool LabelNeverRendered(const VxListItem* item) const;
  // The entry's kept image, drawn again when the entry's look changed; null without memory.
  const VxEntryPixels* EntryPixels(Gdiplus::Graphics& g, VxListItem* item);
  static void FreeItem(VxListItem* item);

  std::vector<VxListItem*> m_items;
  std::unique_ptr<Gdiplus::Font> m_pFont;
  Gdiplus::Color m_textColor{0xFEFFFFFF};
  std::unique_ptr<Gdiplus::StringFormat> m_pFormat;
  VxListCallbacks m_callbacks;
  VxNineSlice m_moveImages;
  VxNineSlice m_downImages;
  VxNineSlice m_focusImages;
  std::vector<VxListItem*> m_selection;
  BOOL m_nArrange = 0;
  VxListGeometry m_geo = VxListGeometry::ForType(VXLT_LIST);
  VxListMode m_mode = VXLM_NORMAL;
  // Counts changes that alter how every entry looks (font, colour, images, geometry).
  unsigned m_lookGeneration = 0;
  double m_firstDrawBudgetMs = 0;
  bool m_rendersPending = false;
  std::map<std::tuple<int, int, int>, std::unique_ptr<VxPixelImage>> m_highlights;
  unsigned m_highlightGeneration = 0;
  VxMemDC m_measureDC;
  std::unique_ptr<Gdiplus::Graphics> m_measure;
};
