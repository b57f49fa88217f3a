#pragma once
// The dialog framework every window of the system is built on: a dialog created from a
// template resource (modal or modeless) that owns its window handle, finds `this` from the
// handle, and dispatches messages to typed virtual handlers.
#include <windows.h>

#include "uilib/VxExport.h"
#include "uilib/VxTypes.h"

class LUMETTE_API CVxDialog {
 public:
  explicit CVxDialog(UINT nIDTemplate, HWND hParent = nullptr);
  virtual ~CVxDialog();
  CVxDialog(const CVxDialog&) = delete;
  CVxDialog& operator=(const CVxDialog&) = delete;

  // Runs the dialog modally in its own message loop (so PreTranslateMessage sees every
  // message) and returns the value given to EndDialog.
  INT_PTR DoModal();
  // Creates the dialog modeless; it shows itself when its template says WS_VISIBLE.
  BOOL Create(HWND hParent = nullptr);
  BOOL DestroyWindow();
  // Modal: leaves the loop with this result. Modeless: destroys the window.
  void EndDialog(INT_PTR nResult);
  BOOL IsModal() const { return m_bModal; }

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }
  HWND GetParentHwnd() const { return m_hParent; }
  UINT GetTemplateID() const { return m_nIDTemplate; }

  // The module whose resources (dialog templates, images) the toolkit loads: by default
  // the program's own module.
  static void SetResourceModule(HINSTANCE hModule);
  static HINSTANCE GetResourceModule();
  // The dialog that owns a window handle, or null.
  static CVxDialog* FromHandle(HWND hwnd);
  // Hands a message to PreTranslateMessage of the dialogs it is for (the target window's
  // dialog and its parents'); TRUE when one consumed it.
  static BOOL PreTranslate(MSG* pMsg) noexcept;
  // A message loop for threads that show modeless dialogs; returns the WM_QUIT code.
  static int RunMessageLoop();

  HWND m_hWnd = nullptr;

 protected:
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // WM_COMMAND: IDOK and IDCANCEL go to OnOK and OnCancel. TRUE when handled.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // Called after the window is gone (WM_NCDESTROY); the object may delete itself here.
  virtual void PostNcDestroy();
  // A handler of `msg` ended in an exception (which goes no further than the dialog
  // procedure); the dialog still exists. Nothing by default.
  virtual void OnHandlerFailed(UINT msg) noexcept;

  // Typed handlers. The base versions ask for default processing.
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(HDC hdc);
  virtual void OnMove(int x, int y);
  virtual void OnSize(UINT nType, int cx, int cy);
  virtual void OnMouseMove(UINT nFlags, POINT pt);
  virtual void OnMouseLeave();
  virtual void OnLButtonDown(UINT nFlags, POINT pt);
  virtual void OnLButtonUp(UINT nFlags, POINT pt);
  virtual void OnLButtonDblClk(UINT nFlags, POINT pt);
  virtual void OnRButtonDown(UINT nFlags, POINT pt);
  virtual void OnRButtonUp(UINT nFlags, POINT pt);
  virtual BOOL OnMouseWheel(UINT nFlags, short zDelta, POINT pt);
  virtual BOOL OnSetCursor(HWND hwnd, UINT nHitTest, UINT message);
  virtual void OnActivate(UINT nState, HWND hOther, BOOL bMinimized);
  virtual void OnClose();
  virtual void OnTimer(UINT_PTR nIDEvent);
  virtual void OnDestroy();

  // Everything else, and the way to see a message before the typed handlers: return TRUE
  // with *pResult set to handle it. The base dispatches to the typed handlers.
  virtual BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // Inside a handler: let the dialog manager process the current message as usual.
  void Default() { m_bDefault = TRUE; }

 private:
  // No exception leaves the dialog procedure: a handler that throws gets the dialog
  // manager's default handling for its message.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam,
                                     LPARAM lParam) noexcept;
  INT_PTR Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  BOOL InitDialog(HWND hwnd) noexcept;
  void NcDestroy(HWND hwnd) noexcept;
  BOOL CreateFromTemplate(HWND hParent);

  UINT m_nIDTemplate;
  HWND m_hParent;
  BOOL m_bModal = FALSE;
  BOOL m_bEndModal = FALSE;
  INT_PTR m_nModalResult = IDCANCEL;
  BOOL m_bDefault = FALSE;
};
