#pragma once
// The add-a-site dialog of 我的导航: a name and an address typed by the user with an "添加"
// button, and below them the suggestions of the maker's server (cached in lnk.dat,
// refreshed on a worker thread each time the dialog opens). Its choice goes to the page as
// a 1127 record.
#include <memory>
#include <string>
#include <vector>

#include "nav/DialogSouInput.h"
#include "nav/core/nav_records.h"
#include "uilib/VxDialogBase.h"
#include "uilib/VxWorker.h"

class CDlgAddDaohang : public CVxDialogBase {
 public:
  static constexpr int kWidth = 700, kHeight = 530;
  // `slot` is the tile position to fill; `page` receives the 1127 record; `slots` tells
  // which suggestions are on the page already.
  CDlgAddDaohang(int slot, HWND page, const MyDefSlots& slots);
  ~CDlgAddDaohang() override;

  void CenterOnScreen();
  // The "添加" button: the typed site goes to the page (the address is required).
  BOOL AddTyped();
  void SetTyped(const std::wstring& name, const std::wstring& url);
  // A suggestion chosen; FALSE when it is on the page already.
  BOOL Choose(size_t index);
  size_t SuggestionCount() const { return m_items.size(); }
  const SiteRecord& Suggestion(size_t index) const { return m_items[index].record; }
  // The client rectangle of suggestion `index` that takes a click (scrolled).
  RECT SuggestionRect(size_t index) const;
  RECT AddButtonRect() const { return RECT{560, 76, 660, 112}; }
  RECT CloseButtonRect() const { return RECT{kWidth - 40, 16, kWidth - 16, 40}; }
  // The list's scroll bar (a toolkit item) and the offset it stands for.
  VxVScrollBar& ScrollBar() { return m_bar; }
  int ListOffset() const { return m_scroll; }
  // TRUE while the server's list is still being fetched.
  BOOL Refreshing() const { return m_refresh.Running(); }
  int ListRefreshes() const { return m_listRefreshes; }

 protected:
  BOOL OnInitDialog() override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }
  void OnLButtonUp(UINT flags, POINT pt) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnMouseMove(UINT flags, POINT pt) override;
  BOOL OnMouseWheel(UINT flags, short delta, POINT pt) override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnDestroy() override;

 private:
  struct Item {
    SiteRecord record;
    int chosen = 0;  // already on the page
    std::unique_ptr<Gdiplus::Image> picture;
  };
  void SetItems(std::vector<SiteRecord> records);
  void StartRefresh();
  void Post(const std::wstring& name, const std::wstring& url, const std::wstring& image);
  int ContentHeight() const;
  void CreateItems();
  void UpdateScrollBar();
  void DrawList(Gdiplus::Graphics& g);
  int SuggestionAt(POINT pt) const;
  static void __cdecl OnCloseClick(void* self);
  static void __cdecl OnAddClick(void* self);
  static void __cdecl OnScroll(int pos, void* self);

  int m_slot;
  HWND m_page;
  std::vector<std::wstring> m_onPage;  // addresses on the page's tiles
  std::vector<Item> m_items;
  VxWorker<std::vector<SiteRecord>> m_refresh;
  CDialogSouInput m_name, m_url;
  int m_scroll = 0;
  int m_hover = -1;
  VxButton m_closeButton, m_addButton;
  VxVScrollBar m_bar;
  VxVScrollCallbacks m_barCallbacks;
  std::unique_ptr<Gdiplus::Image> m_hoverPicture, m_addedPicture;
  int m_listRefreshes = 0;
  std::unique_ptr<Gdiplus::Font> m_font;
};
