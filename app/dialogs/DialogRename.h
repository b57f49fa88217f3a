#pragma once
// The borderless in-place editor shown over an icon's label or a box's title while the user
// renames it. Enter accepts, Escape cancels, losing the focus accepts; the owner hears about
// the end once per edit through its end handler and reads the text with GetEditText.
#include <functional>

#include "uilib/VxDialogBase.h"

class CDialogRename : public CVxDialogBase {
 public:
  // Called once when an edit ends; `accepted` is FALSE for Escape, and the editor then
  // already holds the text it started with again.
  using EndHandler = std::function<void(CDialogRename& editor, BOOL accepted)>;

  explicit CDialogRename(HWND hParent = nullptr);
  ~CDialogRename() override;

  // Puts the text into the active edit and starts an edit: shows and focuses the editor and
  // selects the name without its extension.
  void SetEditText(const CString& text);
  // The text of the active edit. Line breaks (pasted into the label edit) are dropped: they
  // cannot be part of a name.
  CString GetEditText() const;
  // The title edit's font: the icon-title font at this LOGFONT height (box titles use -16).
  void SetTitleFontHeight(int height);

  // The entry being renamed and its list; the label edit then follows the label as the name
  // grows or shrinks. Null for a box title.
  void SetItem(VxListItem* item, VxListCtrl* list);
  VxListItem* GetItem() const { return m_pItem; }
  VxListCtrl* GetList() const { return m_pList; }
  // 0: icon label (edit 1000, multi-line); 1: box title or list row (edit 1001, one line).
  void SetBoxTitle(BOOL boxTitle);
  BOOL IsBoxTitle() const { return m_bBoxTitle; }
  HWND GetActiveEdit() const { return m_bBoxTitle ? m_hEditTitle : m_hEditLabel; }
  HWND GetLabelEdit() const { return m_hEditLabel; }
  HWND GetTitleEdit() const { return m_hEditTitle; }

  // Places the editor over `screenRect` and starts an edit of `text`.
  void BeginEdit(const RECT& screenRect, const CString& text);
  BOOL IsEditing() const { return m_bEditing; }
  // Ends the open edit: a cancel restores the starting text; the editor hides and the end
  // handler runs; the item and list are forgotten afterwards. FALSE when no edit was open.
  BOOL EndEdit(BOOL accept);
  void SetEndHandler(EndHandler handler) { m_onEnd = std::move(handler); }
  // The text the current (or last) edit started with.
  const CString& GetStartText() const { return m_strStart; }

  // End of the part of `name` that a rename selects: up to the last dot, or the whole name
  // when it has no dot or only a leading one.
  static int SelectionEnd(const CString& name);

 protected:
  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnSize(UINT nType, int cx, int cy) override;
  void OnActivate(UINT nState, HWND hOther, BOOL bMinimized) override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  BOOL IsOwnEdit(HWND hwnd) const { return hwnd && (hwnd == m_hEditLabel || hwnd == m_hEditTitle); }
  // The label rectangle of the item in screen coordinates: the label column from its top
  // down to the end of the measured text.
  BOOL LabelRectOnScreen(RECT* rc) const;
  // Copies the label edit's text into the item and moves the editor with the label.
  void FollowLabel();
  void PlaceOverLabel();
  int LabelEditTextHeight() const;
  void CheckFocus();
  static HFONT CreateIconTitleFont(const int* height);

  VxListItem* m_pItem = nullptr;
  VxListCtrl* m_pList = nullptr;
  CString m_strStart;
  HFONT m_hFont = nullptr;       // label edit (and title edit until SetTitleFontHeight)
  HFONT m_hTitleFont = nullptr;  // title edit's own font once a height was asked for
  BOOL m_bBoxTitle = FALSE;
  HWND m_hEditLabel = nullptr;
  HWND m_hEditTitle = nullptr;

  BOOL m_bEditing = FALSE;
  // Owner's placement relative to the label (a scrolled box moves the editor up), kept
  // while the label edit follows the label.
  POINT m_ptLabelOffset{0, 0};
  EndHandler m_onEnd;
};
