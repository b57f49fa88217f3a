#pragma once
// The drawn item classes: images, buttons (image strips), check boxes, radio buttons,
// text buttons, static texts, progress bars, animated GIFs and vertical scroll bars.
#include <memory>
#include <vector>

#include "uilib/VxItemBase.h"
#include "uilib/core/vx_item_math.h"

// An owned text that may be unset (getters then give null and length -1).
class VxOptionalText {
 public:
  void Set(LPCWSTR text) {
    set_ = text != nullptr;
    text_ = text ? text : L"";
  }
  void Reset() {
    set_ = false;
    text_.clear();
  }
  LPCWSTR Get() const { return set_ ? text_.c_str() : nullptr; }
  int Length() const { return set_ ? static_cast<int>(text_.size()) : -1; }

 private:
  std::wstring text_;
  bool set_ = false;
};

// The text of a drawn item: the string (which may be unset), its font, alignment format and
// colour. Check boxes, text buttons and static texts carry one.
class LUMETTE_API VxTextPart {
 public:
  VxTextPart(std::unique_ptr<Gdiplus::Font> font, std::unique_ptr<Gdiplus::StringFormat> format);
  ~VxTextPart();
  VxTextPart(const VxTextPart&) = delete;
  VxTextPart& operator=(const VxTextPart&) = delete;

  void SetText(LPCWSTR text) { m_text.Set(text); }
  LPCWSTR GetText() const { return m_text.Get(); }
  int GetTextLen() const { return m_text.Length(); }
  void ReleaseBuf() { m_text.Reset(); }
  void SetFont(Gdiplus::Font& font);
  Gdiplus::Font* GetFont() const { return m_pFont.get(); }
  void SetTextFormat(Gdiplus::StringAlignment align);
  Gdiplus::StringFormat* GetFormat() const { return m_pFormat.get(); }
  void SetTextColor(Gdiplus::Color c) { m_textColor = VxTextColor(c); }
  Gdiplus::Color GetTextColor() const { return m_textColor; }

 protected:
  VxOptionalText m_text;
  std::unique_ptr<Gdiplus::Font> m_pFont;
  Gdiplus::Color m_textColor{0xFEFFFFFF};
  std::unique_ptr<Gdiplus::StringFormat> m_pFormat;
};

class LUMETTE_API VxImage : public VxItemBase {
 public:
  VxImage();
  explicit VxImage(VxUIType type);
  ~VxImage() override;
  BOOL SetImage(UINT id, LPCWSTR type);
  BOOL SetImage(LPCWSTR path);
  Gdiplus::Image* GetImage() const { return m_pImage; }
  void DestroyImag();

 protected:
  using VxItemBase::SetImage;
  Gdiplus::Image* m_pImage = nullptr;
};

class LUMETTE_API VxButton : public VxImage {
 public:
  enum VXBT_IMGS { VXBT_1 = 1, VXBT_2 = 2, VXBT_3 = 3, VXBT_4 = 4, VXBT_5 = 5 };
  enum VXBT_TYPE { VXBT_HORZ = 0, VXBT_VERT = 1 };

  VxButton();
  explicit VxButton(VxUIType type);
  BOOL SetImage(UINT id, LPCWSTR type, VXBT_IMGS n, VXBT_TYPE layout = VXBT_VERT);
  BOOL SetImage(LPCWSTR path, VXBT_IMGS n, VXBT_TYPE layout = VXBT_VERT);
  // Forgets the image without freeing it (the caller shares it elsewhere).
  void SetImageNull() { m_pImage = nullptr; }
  void SetButtonHeight(int h) { m_nButtonHeight = h; }
  int GetButtonHeight() const { return m_nButtonHeight; }
  VXBT_IMGS GetEMImages() const { return m_nImages; }
  VXBT_TYPE GetButtonType() const { return m_nLayout; }
  // Hit and frame rectangle: the item rectangle cut to one frame of the strip.
  void GetButtonRect(CRect& rc) const;
  // Frame size of the current strip (0 x 0 without an image).
  void GetFrameSize(int* w, int* h) const;

 protected:
  VXBT_IMGS m_nImages = VXBT_1;
  VXBT_TYPE m_nLayout = VXBT_VERT;
  int m_nButtonHeight = -1;
};

class LUMETTE_API VxCheckBox : public VxButton, public VxTextPart {
 public:
  VxCheckBox();
  explicit VxCheckBox(VxUIType type);
  ~VxCheckBox() override;
  BOOL SetImage(UINT idButton, UINT idCheck, LPCWSTR type, VXBT_IMGS n,
                VXBT_TYPE layout = VXBT_VERT);
  BOOL SetImage(LPCWSTR pathButton, LPCWSTR pathCheck, VXBT_IMGS n,
                VXBT_TYPE layout = VXBT_VERT);
  Gdiplus::Image* GetCheckImage() const { return m_pCheckImage; }
  void DestroyCheckImage();
  void SetCheck(BOOL b) { m_bCheck = b; }
  BOOL GetCheck() const { return m_bCheck; }

  void SetTextMouseOnColor(Gdiplus::Color c) { m_mouseOnColor = VxTextColor(c); }
  Gdiplus::Color GetTextMouseOnColor() const { return m_mouseOnColor; }
  void SetTextMouseDownColor(Gdiplus::Color c) { m_mouseDownColor = VxTextColor(c); }
  Gdiplus::Color GetTextMouseDownColor() const { return m_mouseDownColor; }
  // The colour of the current state (also kept as the current state colour).
  Gdiplus::Color GetTextStateColor();
  void SetTextInerTop(int v) { m_nTextTop = v; }
  int GetTextInerTop() const { return m_nTextTop; }
  void SetTextInerLeft(int v) { m_nTextLeft = v; }
  int GetTextInerLeft() const { return m_nTextLeft; }

 protected:
  Gdiplus::Image* m_pCheckImage = nullptr;
  int m_nTextTop = 0;
  int m_nTextLeft = 0;
  Gdiplus::Color m_mouseDownColor{0x00FFFFFF};
  Gdiplus::Color m_mouseOnColor{0x00FFFFFF};
  Gdiplus::Color m_stateColor{0xFEFFFFFF};
  BOOL m_bCheck = FALSE;
};

class LUMETTE_API VxRadio : public VxCheckBox {
 public:
  VxRadio();
  void SetGroupID(UINT id) { m_nGroup = id; }
  UINT GetGroupID() const { return m_nGroup; }

 private:
  UINT m_nGroup = 0;
};

class LUMETTE_API VxTextButton : public VxButton, public VxTextPart {
 public:
  VxTextButton();
};

class LUMETTE_API VxStaticText : public VxItemBase, public VxTextPart {
 public:
  VxStaticText();
};

class LUMETTE_API VxProgress : public VxItemBase {
 public:
  VxProgress();
  ~VxProgress() override;
  BOOL SetBarImage(UINT idBack, UINT idBar, LPCWSTR type);
  BOOL SetBarImage(LPCWSTR pathBack, LPCWSTR pathBar);
  Gdiplus::Image* GetBackImage() const { return m_pBack; }
  Gdiplus::Image* GetBarImage() const { return m_pBar; }
  void SetPos(UINT pos) { m_nPos = pos; }
  UINT GetPos() const { return m_nPos; }
  void SetMinMax(UINT min, UINT max) { m_nMin = min; m_nMax = max; }
  UINT GetMin() const { return m_nMin; }
  UINT GetMax() const { return m_nMax; }
  void SetBackBordThick(int v) { m_nBorder = v; }
  int GetBackBordThick() const { return m_nBorder; }

 private:
  void FreeImages();
  Gdiplus::Image* m_pBack = nullptr;
  Gdiplus::Image* m_pBar = nullptr;
  UINT m_nPos = 0, m_nMin = 0, m_nMax = 100;
  int m_nBorder = 1;
};

class LUMETTE_API VxGifImage : public VxImage {
 public:
  VxGifImage();
  BOOL SetImage(UINT id, LPCWSTR type);
  BOOL SetImage(LPCWSTR path);
  void StartRun(UINT timerId, HWND hwnd);
  UINT GetTimerID() const { return m_nTimer; }
  UINT GetFrameCount() const { return m_nFrames; }
  UINT GetCurrentFrame() const { return m_nFrame; }
  // One tick of the animation: next frame, selected and the timer set again.
  void NextFrame(HWND hwnd);

 private:
  void ReadFrames();
  UINT m_nFrame = 0;
  std::vector<GUID> m_dimensions;
  UINT m_nFrames = 0;
  UINT m_nTimer = 0;
  std::vector<UINT> m_delays;  // hundredths of a second
};

typedef void(__cdecl* VxScrollFunc)(int pos, void* lpParam);

// Four pointer-size words; the scroll bar uses the user value and the function.
struct VxVScrollCallbacks {
  void* reserved1 = nullptr;
  void* lpParam = nullptr;
  void* reserved3 = nullptr;
  VxScrollFunc pfnScroll = nullptr;
};

class LUMETTE_API VxVScrollBar : public VxItemBase {
 public:
  VxVScrollBar();
  ~VxVScrollBar() override;
  BOOL SetBarImage(UINT idTop, UINT idMiddle, UINT idBottom, LPCWSTR type);
  BOOL SetBarImage(LPCWSTR pathTop, LPCWSTR pathMiddle, LPCWSTR pathBottom);
  void SetBarLength(int page, int total);
  void SetBarPos(int pos) { m_scroll.SetPos(pos); }
  int GetBarPos() const { return m_scroll.pos; }
  int GetMax() const { return m_scroll.maxPos; }
  int GetBarHeight() const { return m_scroll.middleHeight; }
  int GetPos() const { return m_scroll.ContentOffset(); }
  int GetFramesPerCap() const { return m_nCapFrames; }
  BOOL ptOnBar(POINT& pt) const;
  void SetVBarCallBack(VxVScrollCallbacks* cb);
  // A drag step of dy pixels: moves the thumb and tells the callback.
  void DragThumb(int dy);

  Gdiplus::Image* GetTrackImage() const { return m_pTrack; }
  Gdiplus::Image* GetTopImage() const { return m_pTop; }
  Gdiplus::Image* GetMiddleImage() const { return m_pMiddle; }
  Gdiplus::Image* GetBottomImage() const { return m_pBottom; }

 private:
  void FreeImages();
  void* m_lpScrollParam = nullptr;
  VxScrollFunc m_pfnScroll = nullptr;
  Gdiplus::Image* m_pTrack = nullptr;
  Gdiplus::Image* m_pMiddle = nullptr;
  Gdiplus::Image* m_pTop = nullptr;
  Gdiplus::Image* m_pBottom = nullptr;
  VxScrollState m_scroll;
  int m_nCapFrames = 3;
};
