#include "uilib/VxHtmlCtrls.h"

#include <exdispid.h>
#include <ocidl.h>
#include <oleauto.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "uilib/VxComObject.h"
#include "uilib/VxDialog.h"
#include "uilib/VxLibMain.h"

namespace {

const wchar_t kViewClass[] = L"VxHtmlView";

// Positional argument i of an event (DISPPARAMS hold them last-first), by-reference
// variants followed: the posted data comes as a reference to a reference.
VARIANT* Arg(DISPPARAMS* p, UINT i) {
  if (!p || i >= p->cArgs) return nullptr;
  VARIANT* v = &p->rgvarg[p->cArgs - 1 - i];
  for (int depth = 0; depth < 4 && v && V_VT(v) == (VT_BYREF | VT_VARIANT); ++depth)
    v = V_VARIANTREF(v);
  return v;
}

std::wstring Text(const VARIANT* v) {
  if (!v) return std::wstring();
  if (V_VT(v) == VT_BSTR && V_BSTR(v)) return std::wstring(V_BSTR(v), ::SysStringLen(V_BSTR(v)));
  if (V_VT(v) == (VT_BYREF | VT_BSTR) && V_BSTRREF(v) && *V_BSTRREF(v))
    return std::wstring(*V_BSTRREF(v), ::SysStringLen(*V_BSTRREF(v)));
  return std::wstring();
}

IDispatch* Disp(const VARIANT* v) {
  if (!v) return nullptr;
  if (V_VT(v) == VT_DISPATCH) return V_DISPATCH(v);
  if (V_VT(v) == (VT_BYREF | VT_DISPATCH) && V_DISPATCHREF(v)) return *V_DISPATCHREF(v);
  return nullptr;
}

long Long(const VARIANT* v) {
  VARIANT out;
  ::VariantInit(&out);
  if (!v || FAILED(::VariantChangeType(&out, const_cast<VARIANT*>(v), 0, VT_I4))) return 0;
  return V_I4(&out);
}

std::vector<BYTE> Bytes(const VARIANT* v) {
  std::vector<BYTE> out;
  if (!v || V_VT(v) != (VT_ARRAY | VT_UI1) || !V_ARRAY(v)) return out;
  SAFEARRAY* sa = V_ARRAY(v);
  LONG lo = 0, hi = -1;
  ::SafeArrayGetLBound(sa, 1, &lo);
  ::SafeArrayGetUBound(sa, 1, &hi);
  void* data = nullptr;
  if (hi >= lo && SUCCEEDED(::SafeArrayAccessData(sa, &data))) {
    out.assign(static_cast<BYTE*>(data), static_cast<BYTE*>(data) + (hi - lo + 1));
    ::SafeArrayUnaccessData(sa);
  }
  return out;
}

VARIANT_BOOL* CancelRef(VARIANT* v) {
  return (v && V_VT(v) == (VT_BYREF | VT_BOOL)) ? V_BOOLREF(v) : nullptr;
}

// The COM identity of a frame: two interface pointers of one object compare equal.
VxComPtr<IUnknown> Identity(IDispatch* d) {
  VxComPtr<IUnknown> unk;
  if (d) d->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unk.Put()));
  return unk;
}

// A BSTR owned for one call.
class Bstr {
 public:
  explicit Bstr(const wchar_t* s) : b_(s ? ::SysAllocString(s) : nullptr) {}
  ~Bstr() { ::SysFreeString(b_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR Get() const { return b_; }

 private:
  BSTR b_;
};

// An IDispatch known only by DISPIDs: the browser's ambient-property and event calls
// never ask for type information or names.
class DispatchByIdOnly : public IDispatch {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* n) noexcept override {
    if (n) *n = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
    return E_NOTIMPL;
  }
};

}  // namespace

// The browser's container: client site, in-place site and frame, host UI handler and the
// ambient properties. It outlives neither the view nor the browser; the view cuts the link
// when it closes the browser.
class CHtmlSite
    : public VxComObject<VxIface<IOleClientSite, &IID_IOleClientSite>,
                         VxIface<IOleInPlaceSite, &IID_IOleInPlaceSite, &IID_IOleWindow>,
                         VxIface<IOleInPlaceFrame, &IID_IOleInPlaceFrame, &IID_IOleInPlaceUIWindow>,
                         VxIface<IDocHostUIHandler, &IID_IDocHostUIHandler>,
                         VxIface<DispatchByIdOnly, &IID_IDispatch>> {
 public:
  explicit CHtmlSite(CHtmlCtrls* owner) : owner_(owner) {}
  void Detach() { owner_ = nullptr; }

  // IOleClientSite
  STDMETHODIMP SaveObject() noexcept override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) noexcept override {
    if (m) *m = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** c) noexcept override {
    if (c) *c = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() noexcept override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }

  // IOleWindow (in-place site and frame)
  STDMETHODIMP GetWindow(HWND* h) noexcept override {
    if (!h) return E_POINTER;
    *h = owner_ ? owner_->m_hWnd : nullptr;
    return *h ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() noexcept override { return owner_ ? S_OK : S_FALSE; }
  STDMETHODIMP OnInPlaceActivate() noexcept override { return S_OK; }
  STDMETHODIMP OnUIActivate() noexcept override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                LPRECT clip, LPOLEINPLACEFRAMEINFO info) noexcept override {
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *doc = nullptr;
    HWND view = owner_ ? owner_->m_hWnd : nullptr;
    ::GetClientRect(view, pos);
    *clip = *pos;
    info->fMDIApp = FALSE;
    info->hwndFrame = view ? ::GetAncestor(view, GA_ROOT) : nullptr;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() noexcept override { return S_OK; }
  STDMETHODIMP DiscardUndoState() noexcept override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() noexcept override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) noexcept override { return S_OK; }

  // IOleInPlaceUIWindow / IOleInPlaceFrame: the view has no tool space or menus to share.
  STDMETHODIMP GetBorder(LPRECT) noexcept override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) noexcept override {
    return INPLACE_E_NOTOOLSPACE;
  }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) noexcept override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) noexcept override {
    return S_OK;
  }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) noexcept override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) noexcept override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) noexcept override { return S_FALSE; }

  // IDocHostUIHandler
  STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) noexcept override {
    return S_FALSE;
  }
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) noexcept override {
    if (!info) return E_POINTER;
    return VxComGuard([&] { return owner_ ? owner_->OnGetHostInfo(info) : E_FAIL; });
  }
  STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                      IOleInPlaceUIWindow*) noexcept override {
    return S_FALSE;
  }
  STDMETHODIMP HideUI() noexcept override { return S_OK; }
  STDMETHODIMP UpdateUI() noexcept override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) noexcept override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) noexcept override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) noexcept override { return S_FALSE; }
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) noexcept override {
    if (key) *key = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** out) noexcept override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetExternal(IDispatch** out) noexcept override {
    if (out) *out = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) noexcept override {
    if (out) *out = nullptr;
    return S_FALSE;
  }
  STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) noexcept override {
    if (out) *out = nullptr;
    return S_FALSE;
  }

  // IDispatch: ambient properties.
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                      EXCEPINFO*, UINT*) noexcept override {
    if (!(flags & DISPATCH_PROPERTYGET) || !result || !owner_) return DISP_E_MEMBERNOTFOUND;
    return VxComGuard(
        [&] { return owner_->OnAmbientProperty(id, result) ? S_OK : DISP_E_MEMBERNOTFOUND; });
  }

 private:
  CHtmlCtrls* owner_;
};

// Receives the browser's DWebBrowserEvents2 and hands them to the view.
class CHtmlEventSink
    : public VxComObject<VxIface<DispatchByIdOnly, &IID_IDispatch, &DIID_DWebBrowserEvents2>> {
 public:
  explicit CHtmlEventSink(CHtmlCtrls* owner) : owner_(owner) {}
  void Detach() { owner_ = nullptr; }

  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) noexcept override {
    return VxComGuard([&] {
      if (owner_) owner_->Dispatch(id, params);
      return S_OK;
    });
  }

 private:
  CHtmlCtrls* owner_;
};

CHtmlCtrls::CHtmlCtrls() = default;

CHtmlCtrls::~CHtmlCtrls() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  CloseBrowser();
}

int CHtmlCtrls::CreateFromStatic(UINT nID, HWND parent) {
  m_nav.Reset();
  m_topFrame.Reset();
  HWND placeholder = parent ? ::GetDlgItem(parent, static_cast<int>(nID)) : nullptr;
  if (!placeholder) return FALSE;
  RECT rc;
  ::GetWindowRect(placeholder, &rc);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  ::DestroyWindow(placeholder);
  return Create(rc, parent, nID);
}

BOOL CHtmlCtrls::Create(const RECT& rc, HWND parent, UINT nID) {
  if (m_hWnd) return FALSE;
  HINSTANCE module = VxLibModule() ? VxLibModule() : ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(module, kViewClass, &wc)) {
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = module;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kViewClass;
    if (!::RegisterClassExW(&wc)) return FALSE;
  }
  if (!::CreateWindowExW(0, kViewClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                         rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), module, this))
    return FALSE;
  if (!CreateBrowser()) {
    ::DestroyWindow(m_hWnd);
    return FALSE;
  }
  return TRUE;
}

BOOL CHtmlCtrls::CreateBrowser() {
  if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(m_oleObject.Put()))))
    return FALSE;
  m_site = new CHtmlSite(this);
  m_oleObject->SetClientSite(m_site);
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  if (FAILED(m_oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site, 0, m_hWnd, &rc)) ||
      FAILED(m_oleObject->QueryInterface(IID_IWebBrowser2,
                                         reinterpret_cast<void**>(m_browser.Put())))) {
    CloseBrowser();
    return FALSE;
  }
  VxComPtr<IConnectionPointContainer> cpc;
  VxComPtr<IConnectionPoint> cp;
  m_sink = new CHtmlEventSink(this);
  if (FAILED(m_browser->QueryInterface(IID_IConnectionPointContainer,
                                       reinterpret_cast<void**>(cpc.Put()))) ||
      FAILED(cpc->FindConnectionPoint(DIID_DWebBrowserEvents2, cp.Put())) ||
      FAILED(cp->Advise(m_sink, &m_sinkCookie))) {
    CloseBrowser();
    return FALSE;
  }
  OnSize(SIZE_RESTORED, rc.right, rc.bottom);
  return TRUE;
}

void CHtmlCtrls::CloseBrowser() {
  if (m_browser && m_sinkCookie) {
    VxComPtr<IConnectionPointContainer> cpc;
    VxComPtr<IConnectionPoint> cp;
    if (SUCCEEDED(m_browser->QueryInterface(IID_IConnectionPointContainer,
                                            reinterpret_cast<void**>(cpc.Put()))) &&
        SUCCEEDED(cpc->FindConnectionPoint(DIID_DWebBrowserEvents2, cp.Put())))
      cp->Unadvise(m_sinkCookie);
  }
  m_sinkCookie = 0;
  if (m_oleObject) {
    VxComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(m_oleObject->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(inPlace.Put()))))
      inPlace->InPlaceDeactivate();
    m_oleObject->Close(OLECLOSE_NOSAVE);
    m_oleObject->SetClientSite(nullptr);
  }
  m_topFrame.Reset();
  m_browser.Reset();
  m_oleObject.Reset();
  if (m_sink) {
    m_sink->Detach();
    m_sink->Release();
    m_sink = nullptr;
  }
  if (m_site) {
    m_site->Detach();
    m_site->Release();
    m_site = nullptr;
  }
}

HWND CHtmlCtrls::GetBrowserHwnd() const {
  if (!m_oleObject) return nullptr;
  VxComPtr<IOleInPlaceObject> inPlace;
  HWND h = nullptr;
  if (SUCCEEDED(m_oleObject->QueryInterface(IID_IOleInPlaceObject,
                                            reinterpret_cast<void**>(inPlace.Put()))))
    inPlace->GetWindow(&h);
  return h;
}

void CHtmlCtrls::Navigate(LPCWSTR url, DWORD flags, LPCWSTR targetFrame, LPCWSTR headers,
                          LPVOID postData, DWORD postLength) {
  if (!m_browser || !url) return;
  Bstr bUrl(url);
  VARIANT vFlags, vTarget, vPost, vHeaders;
  ::VariantInit(&vFlags);
  ::VariantInit(&vTarget);
  ::VariantInit(&vPost);
  ::VariantInit(&vHeaders);
  V_VT(&vFlags) = VT_I4;
  V_I4(&vFlags) = static_cast<LONG>(flags);
  if (targetFrame) {
    V_VT(&vTarget) = VT_BSTR;
    V_BSTR(&vTarget) = ::SysAllocString(targetFrame);
  }
  if (headers) {
    V_VT(&vHeaders) = VT_BSTR;
    V_BSTR(&vHeaders) = ::SysAllocString(headers);
  }
  if (postData) {
    const size_t bytes = VxPostDataBytes(static_cast<const char16_t*>(postData), postLength);
    SAFEARRAY* sa = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes));
    void* dst = nullptr;
    if (sa && SUCCEEDED(::SafeArrayAccessData(sa, &dst))) {
      std::memcpy(dst, postData, bytes);
      ::SafeArrayUnaccessData(sa);
      V_VT(&vPost) = VT_ARRAY | VT_UI1;
      V_ARRAY(&vPost) = sa;
    } else if (sa) {
      ::SafeArrayDestroy(sa);
    }
  }
  m_browser->Navigate(bUrl.Get(), &vFlags, &vTarget, &vPost, &vHeaders);
  ::VariantClear(&vTarget);
  ::VariantClear(&vPost);
  ::VariantClear(&vHeaders);
}

int CHtmlCtrls::LoadFromResource(LPCWSTR name) {
  wchar_t module[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(CVxDialog::GetResourceModule(), module, MAX_PATH);
  if (!n || n >= MAX_PATH || !name) return FALSE;
  Navigate((L"res://" + std::wstring(module) + L"/" + name).c_str());
  return TRUE;
}

int CHtmlCtrls::LoadFromResource(UINT id) {
  wchar_t module[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(CVxDialog::GetResourceModule(), module, MAX_PATH);
  if (!n || n >= MAX_PATH) return FALSE;
  Navigate((L"res://" + std::wstring(module) + L"/" + std::to_wstring(id)).c_str());
  return TRUE;
}

VxComPtr<IWebBrowser2> CHtmlCtrls::GetWebBrow() {
  VxComPtr<IWebBrowser2> out;
  if (m_browser)
    m_browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(out.Put()));
  return out;
}

CString CHtmlCtrls::BrowserText(HRESULT (STDMETHODCALLTYPE IWebBrowser2::*get)(BSTR*)) {
  if (!m_browser) return CString();
  BSTR b = nullptr;
  CString out;
  if (SUCCEEDED((m_browser.Get()->*get)(&b)) && b) out.assign(b, ::SysStringLen(b));
  ::SysFreeString(b);
  return out;
}

CString CHtmlCtrls::GetFullName() { return BrowserText(&IWebBrowser2::get_FullName); }
CString CHtmlCtrls::GetType() { return BrowserText(&IWebBrowser2::get_Type); }
CString CHtmlCtrls::GetLocationName() { return BrowserText(&IWebBrowser2::get_LocationName); }
CString CHtmlCtrls::GetLocationURL() { return BrowserText(&IWebBrowser2::get_LocationURL); }

void CHtmlCtrls::OnAppCmd(LPCWSTR /*cmd*/) {}

void CHtmlCtrls::PostNcDestroy() {}

void CHtmlCtrls::OnBeforeNavigate2(LPCWSTR url, DWORD /*flags*/, LPCWSTR /*targetFrame*/,
                                   const std::vector<BYTE>& /*postData*/, LPCWSTR /*headers*/,
                                   BOOL* pbCancel) {
  std::u16string cmd;
  if (!url || !VxAppCommand(ToU16(url), &cmd)) return;
  OnAppCmd(ToW(cmd).c_str());
  if (pbCancel) *pbCancel = TRUE;
}

void CHtmlCtrls::OnDocumentComplete(LPCWSTR /*url*/) {}

void CHtmlCtrls::OnNewWindow2(IDispatch** /*ppDisp*/, BOOL* /*pbCancel*/) {}

void CHtmlCtrls::OnNavigateError(LPCWSTR /*url*/, LPCWSTR /*frame*/, DWORD /*status*/,
                                 BOOL* /*pbCancel*/) {
  m_nav.NavigateError();
}

BOOL CHtmlCtrls::OnAmbientProperty(DISPID /*id*/, VARIANT* /*value*/) { return FALSE; }

HRESULT CHtmlCtrls::OnGetHostInfo(DOCHOSTUIINFO* info) {
  info->dwFlags = DOCHOSTUIFLAG_SCROLL_NO;
  return S_OK;
}

void CHtmlCtrls::NavigateComplete2(IDispatch* frame, VARIANT* /*url*/) {
  VxComPtr<IUnknown> id = Identity(frame);
  if (m_nav.NavigateComplete(reinterpret_cast<uintptr_t>(id.Get()))) m_topFrame = std::move(id);
}

void CHtmlCtrls::DocumentComplete(IDispatch* frame, VARIANT* /*url*/) {
  VxComPtr<IUnknown> id = Identity(frame);
  if (!m_nav.DocumentComplete(reinterpret_cast<uintptr_t>(id.Get()))) return;
  m_topFrame.Reset();
  if (m_pfnDocComplete) {
    VxComPtr<IDispatch> doc;
    if (m_browser) m_browser->get_Document(doc.Put());
    m_pfnDocComplete(m_pDocCompleteUser, doc.Get(), m_nav.ErrorFlag() ? TRUE : FALSE);
  }
  m_nav.ClearErrorFlag();
}

void CHtmlCtrls::NavigateError(IDispatch* /*frame*/, VARIANT* url, VARIANT* targetFrame,
                               VARIANT* status, VARIANT_BOOL* cancel) {
  BOOL stop = (cancel && *cancel) ? TRUE : FALSE;
  OnNavigateError(Text(url).c_str(), Text(targetFrame).c_str(),
                  static_cast<DWORD>(Long(status)), &stop);
  if (cancel) *cancel = stop ? VARIANT_TRUE : VARIANT_FALSE;
}

void CHtmlCtrls::Dispatch(DISPID id, DISPPARAMS* p) {
  switch (id) {
    case DISPID_BEFORENAVIGATE2: {
      VARIANT_BOOL* cancel = CancelRef(Arg(p, 6));
      BOOL stop = (cancel && *cancel) ? TRUE : FALSE;
      const std::wstring url = Text(Arg(p, 1));
      const std::wstring target = Text(Arg(p, 3));
      const std::wstring headers = Text(Arg(p, 5));
      OnBeforeNavigate2(url.c_str(), static_cast<DWORD>(Long(Arg(p, 2))), target.c_str(),
                        Bytes(Arg(p, 4)), headers.c_str(), &stop);
      if (cancel) *cancel = stop ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case DISPID_NAVIGATECOMPLETE2:
      NavigateComplete2(Disp(Arg(p, 0)), Arg(p, 1));
      break;
    case DISPID_DOCUMENTCOMPLETE: {
      const std::wstring url = Text(Arg(p, 1));
      DocumentComplete(Disp(Arg(p, 0)), Arg(p, 1));
      OnDocumentComplete(url.c_str());
      break;
    }
    case DISPID_NAVIGATEERROR:
      NavigateError(Disp(Arg(p, 0)), Arg(p, 1), Arg(p, 2), Arg(p, 3), CancelRef(Arg(p, 4)));
      break;
    case DISPID_NEWWINDOW2: {
      VARIANT* target = p && p->cArgs == 2 ? &p->rgvarg[1] : nullptr;
      IDispatch** ppDisp =
          (target && V_VT(target) == (VT_BYREF | VT_DISPATCH)) ? V_DISPATCHREF(target) : nullptr;
      VARIANT_BOOL* cancel = CancelRef(Arg(p, 1));
      BOOL stop = (cancel && *cancel) ? TRUE : FALSE;
      OnNewWindow2(ppDisp, &stop);
      if (cancel) *cancel = stop ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    default:
      break;
  }
}

void CHtmlCtrls::OnDestroy() { CloseBrowser(); }

int CHtmlCtrls::OnMouseActivate(HWND top, UINT hitTest, UINT message) {
  return static_cast<int>(::DefWindowProcW(m_hWnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                           MAKELPARAM(hitTest, message)));
}

void CHtmlCtrls::OnSize(UINT /*type*/, int cx, int cy) {
  // The browser draws a sunken 3-D edge; pushing it just outside the view hides it.
  RECT rc{0, 0, cx, cy};
  ::AdjustWindowRectEx(&rc, static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)), FALSE,
                       WS_EX_CLIENTEDGE);
  if (m_oleObject) {
    VxComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(m_oleObject->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(inPlace.Put()))))
      inPlace->SetObjectRects(&rc, &rc);
  }
  if (HWND browser = GetBrowserHwnd())
    ::SetWindowPos(browser, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CHtmlCtrls::OnEraseBkgnd(HDC /*hdc*/) { return TRUE; }

LRESULT CALLBACK CHtmlCtrls::WndProc(HWND hwnd, UINT msg, WPARAM wParam,
                                     LPARAM lParam) noexcept {
  CHtmlCtrls* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<CHtmlCtrls*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_hWnd = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CHtmlCtrls*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->HandleMessage(msg, wParam, lParam);
  } catch (...) {
    // A handler of a derived view failed: the window goes on with default handling.
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT CHtmlCtrls::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = m_hWnd;
  switch (msg) {
    case WM_SIZE: {
      const LRESULT r = ::DefWindowProcW(hwnd, msg, wParam, lParam);
      OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      return r;
    }
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_MOUSEACTIVATE:
      return OnMouseActivate(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY: {
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      m_hWnd = nullptr;
      PostNcDestroy();
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    default:
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
