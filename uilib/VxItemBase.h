#pragma once
// The base of every drawn item: a rectangle, a mouse state and a click callback that the
// owning skinned dialog paints and feeds with mouse events. Items are not windows.
#include <string>

#include "uilib/VxExport.h"
#include "uilib/VxGdiplus.h"
#include "uilib/VxTypes.h"

enum VxUIType {
  VXT_STATICTEXT = 0,
  VXT_IMAGE = 1,
  VXT_BUTTON = 2,
  VXT_CHECKBOX = 3,
  VXT_RADIO = 4,
  VXT_TEXTBUTTON = 5,
  VXT_PROGRESS = 6,
  VXT_LISTCTRL = 8,
  VXT_VSCROLLBAR = 9,
  VXT_GIFIMAGE = 10,
};

typedef void(__cdecl* VxClickFunc)(void* lpParam);

// Click callback: the function and the value passed to it.
struct VxCallbacks {
  VxClickFunc pfnClick = nullptr;
  void* lpParam = nullptr;
};

class LUMETTE_API VxItemBase {
 public:
  enum VX_STATUS { VXS_NORMAL = 0, VXS_MOUSEON = 1, VXS_MOUSEDOWN = 2 };

  explicit VxItemBase(VxUIType type);
  virtual ~VxItemBase();
  VxItemBase(const VxItemBase&) = delete;
  VxItemBase& operator=(const VxItemBase&) = delete;

  // Stores the rectangle and resets the state to normal.
  virtual void SetRect(CRect* rc);
  // Stores the four values as they are; the state is untouched.
  virtual void SetRect(int x, int y, int cx, int cy);
  void GetRect(CRect* rc) const;
  void GetRect(Gdiplus::Rect* rc) const;
  void GetRect(Gdiplus::RectF* rc) const;

  void SetStatus(VX_STATUS s) { m_status = s; }
  VX_STATUS GetStatus() const { return m_status; }
  void SetParent(HWND hwnd) { m_hParent = hwnd; }
  HWND GetParent() const { return m_hParent; }
  void SetCaptrue(BOOL b) { m_bCapture = b; }
  BOOL GetCaptrue() const { return m_bCapture; }
  BOOL IsShow() const { return m_bShow; }
  void SetShow(BOOL b) { m_bShow = b; }
  VxUIType GetType() const { return m_type; }
  void SetTranMouseOver(BOOL b) { m_bTranMouseOver = b; }
  BOOL GetTranMouseOver() const { return m_bTranMouseOver; }
  void SetActive(BOOL b) { m_bActive = b; }
  BOOL GetActive() const { return m_bActive; }
  void SetEnable(BOOL b) { m_bEnable = b; m_status = VXS_NORMAL; }
  BOOL GetEnable() const { return m_bEnable; }
  void SetItemData(int v) { m_nItemData = v; }
  int GetItemData() const { return m_nItemData; }
  void SetMouseMoveHand(BOOL b) { m_bMouseMoveHand = b; }
  BOOL GetMouseMoveHand() const { return m_bMouseMoveHand; }
  void SetCallBack(VxCallbacks* cb);
  const VxCallbacks& GetCallBack() const { return m_callback; }
  BOOL HasClickCallBack() const { return m_callback.pfnClick != nullptr; }
  void FireClick() const;

  void SetLastMouse(POINT pt) { m_ptLast = pt; }
  POINT GetLastMouse() const { return m_ptLast; }

  // Size of the outline of `text` in `font` (a path at 0,0 without a string format).
  static Gdiplus::SizeF GetTextBounds(const Gdiplus::Font& font, const CString& text);

 protected:
  // Resource image (copied into movable global memory, decoded from a stream on it).
  BOOL SetImage(UINT id, LPCWSTR type, Gdiplus::Image** ppImage);
  // File image. TRUE when an image object was made, even for a file that does not decode
  // (such an image draws nothing and measures 0 x 0).
  BOOL SetImage(LPCWSTR path, Gdiplus::Image** ppImage);

  VxCallbacks m_callback;
  HWND m_hParent = nullptr;
  POINT m_ptLast{0, 0};
  int m_x = 0, m_y = 0, m_cx = 0, m_cy = 0;
  BOOL m_bShow = TRUE;
  VxUIType m_type;
  VX_STATUS m_status = VXS_NORMAL;
  BOOL m_bTranMouseOver = TRUE;
  BOOL m_bCapture = FALSE;
  BOOL m_bActive = FALSE;
  BOOL m_bEnable = TRUE;
  int m_nItemData = 0;
  BOOL m_bMouseMoveHand = FALSE;
};

// Image helpers shared by the items, the list and the dialogs.
LUMETTE_API BOOL VxImageUsable(Gdiplus::Image* img);
LUMETTE_API int VxImageWidth(Gdiplus::Image* img);
LUMETTE_API int VxImageHeight(Gdiplus::Image* img);
// Loads a still image into a premultiplied bitmap (fast to draw and no file lock kept);
// multi-frame images are kept as decoded. Null when nothing could be made.
LUMETTE_API Gdiplus::Image* VxLoadImageFile(LPCWSTR path);
LUMETTE_API Gdiplus::Image* VxLoadImageResource(HMODULE module, UINT id, LPCWSTR type);
// Turns text colours into storable ones: alpha at most 254.
LUMETTE_API Gdiplus::Color VxTextColor(const Gdiplus::Color& c);
