#pragma once
// The toolkit's gallery: one per-pixel-alpha skinned window showing every drawn item type
// and a list control of each list type, for looking at the toolkit and screenshot tests.
#include <memory>
#include <string>
#include <vector>

#include "uilib/VxDialogBase.h"

struct GalleryOptions {
  int exitAfterMs = 0;  // 0 = stay open
  bool placed = false;  // else centred on the work area
  POINT at{0, 0};
};

class CGalleryDlg : public CVxDialogBase {
 public:
  explicit CGalleryDlg(const GalleryOptions& options);
  ~CGalleryDlg() override;

  static constexpr int kWidth = 960;
  static constexpr int kHeight = 720;

 protected:
  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;

 private:
  template <class T>
  T* Own(std::unique_ptr<T> item) {
    T* raw = item.get();
    m_owned.push_back(std::move(item));
    AddVxItem(raw);
    return raw;
  }
  VxStaticText* Text(int x, int y, int w, int h, const wchar_t* text, Gdiplus::Color color,
                     float size);
  VxButton* Button(int x, int y, const wchar_t* file, VxButton::VXBT_IMGS frames,
                   VxButton::VXBT_TYPE layout, const wchar_t* caption);
  VxCheckBox* Choice(std::unique_ptr<VxCheckBox> box, int x, int y, const wchar_t* text,
                     const wchar_t* frameFile, const wchar_t* markFile);
  VxListCtrl* List(VxListType type, int x, int y, int cx, int cy, size_t first, size_t count);

  void BuildDesk();
  void BuildWindowButtons();
  void BuildButtons();
  void BuildChoices();
  void BuildMeters();
  void Report(const std::wstring& what);
  void ShowScroll(int pos);

  static void __cdecl OnCloseClick(void* self);
  static void __cdecl OnMinimizeClick(void* self);
  static void __cdecl OnButtonClick(void* self);
  static void __cdecl OnFillClick(void* self);
  static void __cdecl OnScroll(int pos, void* self);
  static void __cdecl OnEntryClick(VxListItem* item, POINT* pt, void* self);
  static void __cdecl OnEntryDblClick(VxListItem* item, POINT* pt, void* self);
  static void __cdecl OnEntryRClick(VxListItem* item, POINT* pt, void* self);

  // What a click on one of the sample buttons reports.
  struct ClickTarget {
    CGalleryDlg* dlg;
    std::wstring what;
  };

  GalleryOptions m_options;
  std::vector<std::unique_ptr<VxItemBase>> m_owned;
  std::vector<std::unique_ptr<ClickTarget>> m_clicks;
  VxListCallbacks m_listCallbacks;
  VxVScrollCallbacks m_scrollCallbacks;
  std::wstring m_deskPicture;
  VxStaticText* m_status = nullptr;
  VxStaticText* m_percent = nullptr;
  VxProgress* m_progress = nullptr;
  VxVScrollBar* m_scroll = nullptr;
  VxImage* m_marker = nullptr;
  VxGifImage* m_spinner = nullptr;
};
