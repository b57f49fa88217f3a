#pragma once
// An embedded web-browser view that takes the place of a static placeholder in a dialog,
// hands "app:" links to its owner instead of navigating, and reports when the top frame of
// a page has finished loading. The thread that creates it must have started OLE
// (OleInitialize) and must pump messages.
#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>

#include <vector>

#include "uilib/VxExport.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"
#include "uilib/core/vx_html_rules.h"

class CHtmlSite;
class CHtmlEventSink;

class LUMETTE_API CHtmlCtrls {
 public:
  // Gets the user value, the page's HTML document (valid for the call) and whether a
  // navigation error happened during the load.
  typedef void (*DocCompleteFn)(void* user, IDispatch* document, BOOL error);

  CHtmlCtrls();
  virtual ~CHtmlCtrls();
  CHtmlCtrls(const CHtmlCtrls&) = delete;
  CHtmlCtrls& operator=(const CHtmlCtrls&) = delete;

  // Replaces the child `nID` of `parent` with the view, same rectangle and id. TRUE when
  // the view and its browser were created.
  int CreateFromStatic(UINT nID, HWND parent);
  // The view as a child of `parent` in `rc` (parent client coordinates).
  BOOL Create(const RECT& rc, HWND parent, UINT nID);
  void Navigate(LPCWSTR url, DWORD flags = 0, LPCWSTR targetFrame = nullptr,
                LPCWSTR headers = nullptr, LPVOID postData = nullptr, DWORD postLength = 0);
  // res://<resource module path>/<name or id>. FALSE when the module path cannot be read.
  int LoadFromResource(LPCWSTR name);
  int LoadFromResource(UINT id);

  VxComPtr<IWebBrowser2> GetWebBrow();
  CString GetFullName();
  CString GetType();
  CString GetLocationName();
  CString GetLocationURL();

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }
  // The browser's own window inside the view, or null.
  HWND GetBrowserHwnd() const;
  BOOL IsDocumentComplete() const { return m_nav.Complete(); }
  BOOL HasNavigateError() const { return m_nav.ErrorSeen(); }

  // Owners or derived views assign the document-complete callback and its user value.
  DocCompleteFn m_pfnDocComplete = nullptr;
  void* m_pDocCompleteUser = nullptr;

 protected:
  // An "app:" link was followed; `cmd` is the text after "app:". Nothing by default.
  virtual void OnAppCmd(LPCWSTR cmd);
  // After the window is gone; the owner deletes the view.
  virtual void PostNcDestroy();

  // Browser events. Set *pbCancel to stop a navigation or a new window.
  virtual void OnBeforeNavigate2(LPCWSTR url, DWORD flags, LPCWSTR targetFrame,
                                 const std::vector<BYTE>& postData, LPCWSTR headers,
                                 BOOL* pbCancel);
  virtual void OnDocumentComplete(LPCWSTR url);
  virtual void OnNewWindow2(IDispatch** ppDisp, BOOL* pbCancel);
  virtual void OnNavigateError(LPCWSTR url, LPCWSTR frame, DWORD status, BOOL* pbCancel);
  // An ambient property the browser asks its site for; TRUE with *value set to answer.
  virtual BOOL OnAmbientProperty(DISPID id, VARIANT* value);
  virtual HRESULT OnGetHostInfo(DOCHOSTUIINFO* info);

  // The event sink's entries for the load rules.
  void NavigateComplete2(IDispatch* frame, VARIANT* url);
  void DocumentComplete(IDispatch* frame, VARIANT* url);
  void NavigateError(IDispatch* frame, VARIANT* url, VARIANT* targetFrame, VARIANT* status,
                     VARIANT_BOOL* cancel);

  virtual void OnDestroy();
  virtual int OnMouseActivate(HWND top, UINT hitTest, UINT message);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual BOOL OnEraseBkgnd(HDC hdc);

  HWND m_hWnd = nullptr;

 private:
  friend class CHtmlSite;
  friend class CHtmlEventSink;
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  BOOL CreateBrowser();
  void CloseBrowser();
  void Dispatch(DISPID id, DISPPARAMS* params);
  CString BrowserText(HRESULT (STDMETHODCALLTYPE IWebBrowser2::*get)(BSTR*));

  VxNavTracker m_nav;
  VxComPtr<IUnknown> m_topFrame;  // keeps the recorded top frame alive while it is compared
  VxComPtr<IWebBrowser2> m_browser;
  VxComPtr<IOleObject> m_oleObject;
  CHtmlSite* m_site = nullptr;
  CHtmlEventSink* m_sink = nullptr;
  DWORD m_sinkCookie = 0;
};
