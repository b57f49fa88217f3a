#include "nav/DialogWebTemp.h"

#include <ocidl.h>

#include <vector>

#include "nav/NavFiles.h"
#include "nav/NavMessageWindow.h"
#include "nav/core/nav_address.h"
#include "nav/nav_rc.h"
#include "uilib/VxPaint.h"

namespace {
enum CaptureTimer : UINT_PTR { kSettleTimer = 1000, kGiveUpTimer = 1001 };
UINT g_giveUpMs = 20000;
constexpr UINT kSettleMs = 3000;

BOOL JpegEncoder(CLSID* clsid) {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return FALSE;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return FALSE;
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, L"image/jpeg") == 0) {
      *clsid = codecs[i].Clsid;
      return TRUE;
    }
  }
  return FALSE;
}

std::wstring ThumbnailPath() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const std::wstring folder = NavDataPath(kThumbnailFolder) +
                              NavW(ThumbnailFolderName(now.wYear, now.wMonth, now.wDay)) + L"\\";
  if (!NavEnsureFolder(folder)) return L"";
  return folder + NavW(ThumbnailFileName(::GetTickCount()));
}
}  // namespace

void CDialogWebTemp::SetGiveUpMs(UINT ms) { g_giveUpMs = ms; }

CDialogWebTemp::CDialogWebTemp(int slot, std::wstring name, std::wstring url, HWND page)
    : CVxDialogBase(IDD_WEB_TEMP), m_slot(slot), m_name(std::move(name)), m_url(std::move(url)),
      m_page(page) {}

CDialogWebTemp::~CDialogWebTemp() = default;

BOOL CDialogWebTemp::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  const int cx = ::GetSystemMetrics(SM_CXSCREEN) - 200, cy = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, cx, cy, SWP_NOACTIVATE);
  m_target = NavW(NormalizeSiteAddress(NavU16(m_url)));
  m_navFailed = m_done = FALSE;
  ::SetTimer(m_hWnd, kGiveUpTimer, g_giveUpMs, nullptr);
  m_html = std::make_unique<CHtmlCtrls>();
  const RECT view{0, 0, cx, cy};
  if (!m_html->Create(view, m_hWnd, 1000)) {
    // No browser on this system: nothing will load, so the default picture at once.
    m_html.reset();
    m_navFailed = TRUE;
    ::SetTimer(m_hWnd, kSettleTimer, 1, nullptr);
    return TRUE;
  }
  if (VxComPtr<IWebBrowser2> browser = m_html->GetWebBrow()) browser->put_Silent(VARIANT_TRUE);
  m_html->m_pfnDocComplete = &CDialogWebTemp::OnDocComplete;
  m_html->m_pDocCompleteUser = this;
  m_html->Navigate(m_target.c_str());
  return TRUE;
}

void CDialogWebTemp::OnDocComplete(void* user, IDispatch*, BOOL error) {
  auto* self = static_cast<CDialogWebTemp*>(user);
  if (!self->m_html || self->m_done) return;
  if (error) self->m_navFailed = TRUE;
  const std::wstring completed = self->m_html->GetLocationURL();
  if (!IsCaptureTarget(NavU16(completed), NavU16(self->m_target))) return;
  self->m_done = TRUE;
  ::SetTimer(self->m_hWnd, kSettleTimer, kSettleMs, nullptr);
}

void CDialogWebTemp::OnTimer(UINT_PTR id) {
  if (id == kSettleTimer) {
    ::KillTimer(m_hWnd, kSettleTimer);
    m_done = TRUE;
    Capture();
    Finish();
  } else if (id == kGiveUpTimer) {
    ::KillTimer(m_hWnd, kGiveUpTimer);
    if (!m_done) {
      m_done = TRUE;
      m_result = NavDefaultPicture();
      Finish();
    }
  }
  CVxDialogBase::OnTimer(id);
}

void CDialogWebTemp::Capture() {
  m_result = NavDefaultPicture();
  if (m_navFailed || !m_html) return;
  const std::wstring path = ThumbnailPath();
  if (!path.empty() && SaveThumbnail(path)) m_result = path;
}

// The browser's view drawn into a bitmap, its top (at the thumbnail's ratio) scaled down.
BOOL CDialogWebTemp::SaveThumbnail(const std::wstring& path) {
  VxComPtr<IWebBrowser2> browser = m_html->GetWebBrow();
  if (!browser) return FALSE;
  VxComPtr<IViewObject> view;
  if (FAILED(browser->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(view.Put()))) || !view)
    return FALSE;
  RECT rc;
  ::GetClientRect(m_html->GetSafeHwnd(), &rc);
  const int w = rc.right, h = rc.bottom;
  if (w <= 0 || h <= 0) return FALSE;
  VxWindowDC screen(nullptr);
  void* bits = nullptr;
  VxBitmap dib(VxCreateTopDownDib(screen.Get(), w, h, &bits));
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  if (!dib || !mem || !bits) return FALSE;
  VxSelectObject select(mem.Get(), dib.Get());
  RECTL bounds{0, 0, w, h};
  if (FAILED(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, mem.Get(), &bounds,
                        nullptr, nullptr, 0)))
    return FALSE;
  ::GdiFlush();
  Gdiplus::Bitmap page(w, h, w * 4, PixelFormat32bppRGB, static_cast<BYTE*>(bits));
  Gdiplus::Bitmap thumb(kThumbnailWidth, kThumbnailHeight, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&thumb);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    g.DrawImage(&page, Gdiplus::Rect(0, 0, kThumbnailWidth, kThumbnailHeight), 0, 0, w,
                CaptureSourceHeight(w, h), Gdiplus::UnitPixel);
  }
  CLSID jpeg;
  return JpegEncoder(&jpeg) && thumb.Save(path.c_str(), &jpeg, nullptr) == Gdiplus::Ok;
}

void CDialogWebTemp::Finish() {
  ::KillTimer(m_hWnd, kGiveUpTimer);
  if (m_reported) return;
  m_reported = TRUE;
  ::PostMessageW(m_page, WM_NAV_CAPTURE_DONE, static_cast<WPARAM>(m_slot), 0);
}

void CDialogWebTemp::OnDestroy() {
  if (m_html && m_html->GetSafeHwnd()) ::DestroyWindow(m_html->GetSafeHwnd());
  CVxDialogBase::OnDestroy();
}
