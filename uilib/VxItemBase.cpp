#include "uilib/VxItemBase.h"

#include "uilib/VxDialog.h"
#include "uilib/VxRaii.h"
#include "uilib/core/vx_item_math.h"

BOOL VxImageUsable(Gdiplus::Image* img) {
  return img && img->GetLastStatus() == Gdiplus::Ok && img->GetWidth() > 0 &&
         img->GetHeight() > 0;
}

int VxImageWidth(Gdiplus::Image* img) {
  return VxImageUsable(img) ? static_cast<int>(img->GetWidth()) : 0;
}

int VxImageHeight(Gdiplus::Image* img) {
  return VxImageUsable(img) ? static_cast<int>(img->GetHeight()) : 0;
}

Gdiplus::Color VxTextColor(const Gdiplus::Color& c) {
  return Gdiplus::Color(VxClampTextAlpha(c.GetValue()));
}

namespace {

// Still images are copied into a premultiplied bitmap: GDI+ draws those several times
// faster than a decoded PNG, and the source file is not kept locked.
Gdiplus::Image* ToDrawable(Gdiplus::Image* img) {
  if (!img) return nullptr;
  if (img->GetLastStatus() != Gdiplus::Ok || img->GetWidth() == 0 || img->GetHeight() == 0) {
    delete img;
    return nullptr;
  }
  UINT dims = img->GetFrameDimensionsCount();
  if (dims > 0) {
    std::vector<GUID> ids(dims);
    img->GetFrameDimensionsList(ids.data(), dims);
    if (img->GetFrameCount(&ids[0]) > 1) return img;  // animations keep their frames
  }
  const int w = static_cast<int>(img->GetWidth()), h = static_cast<int>(img->GetHeight());
  auto* bmp = new Gdiplus::Bitmap(w, h, PixelFormat32bppPARGB);
  if (bmp->GetLastStatus() != Gdiplus::Ok) {
    delete bmp;
    return img;
  }
  {
    Gdiplus::Graphics g(bmp);
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    g.DrawImage(img, 0, 0, w, h);
  }
  delete img;
  return bmp;
}

}  // namespace

Gdiplus::Image* VxLoadImageFile(LPCWSTR path) {
  if (!path || !*path) return nullptr;
  // Decode from a stream over the file's bytes so a broken file fails here and never
  // keeps the file open.
  VxFileHandle f(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return nullptr;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(f.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > (256 << 20))
    return nullptr;
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size.QuadPart));
  if (!mem) return nullptr;
  DWORD read = 0;
  BOOL ok = FALSE;
  {
    VxGlobalLock<BYTE> lock(mem);
    ok = lock.Get() && ::ReadFile(f.Get(), lock.Get(), static_cast<DWORD>(size.QuadPart), &read,
                                  nullptr) &&
         read == size.QuadPart;
  }
  if (!ok) {
    ::GlobalFree(mem);
    return nullptr;
  }
  IStream* stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(mem, TRUE, &stream))) {
    ::GlobalFree(mem);
    return nullptr;
  }
  Gdiplus::Image* img = Gdiplus::Image::FromStream(stream);
  Gdiplus::Image* result = ToDrawable(img);
  // An animation decodes frames lazily from its stream: the stream must stay alive, and
  // GDI+ keeps its own reference to it.
  stream->Release();
  return result;
}

Gdiplus::Image* VxLoadImageResource(HMODULE module, UINT id, LPCWSTR type) {
  HRSRC res = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!res) return nullptr;
  const DWORD size = ::SizeofResource(module, res);
  HGLOBAL loaded = ::LoadResource(module, res);
  const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return nullptr;
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (!mem) return nullptr;
  {
    VxGlobalLock<BYTE> lock(mem);
    if (!lock.Get()) {
      ::GlobalFree(mem);
      return nullptr;
    }
    memcpy(lock.Get(), bytes, size);
  }
  IStream* stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(mem, TRUE, &stream))) {
    ::GlobalFree(mem);
    return nullptr;
  }
  Gdiplus::Image* result = ToDrawable(Gdiplus::Image::FromStream(stream));
  stream->Release();
  return result;
}

VxItemBase::VxItemBase(VxUIType type) : m_type(type) {}
VxItemBase::~VxItemBase() = default;

void VxItemBase::SetRect(CRect* rc) {
  m_x = rc->left;
  m_y = rc->top;
  m_cx = rc->Width();
  m_cy = rc->Height();
  m_status = VXS_NORMAL;
}

void VxItemBase::SetRect(int x, int y, int cx, int cy) {
  m_x = x;
  m_y = y;
  m_cx = cx;
  m_cy = cy;
}

void VxItemBase::GetRect(CRect* rc) const { rc->SetRect(m_x, m_y, m_x + m_cx, m_y + m_cy); }
void VxItemBase::GetRect(Gdiplus::Rect* rc) const { *rc = Gdiplus::Rect(m_x, m_y, m_cx, m_cy); }
void VxItemBase::GetRect(Gdiplus::RectF* rc) const {
  *rc = Gdiplus::RectF(static_cast<float>(m_x), static_cast<float>(m_y), static_cast<float>(m_cx),
                       static_cast<float>(m_cy));
}

void VxItemBase::SetCallBack(VxCallbacks* cb) {
  m_callback = cb ? *cb : VxCallbacks{};
}

void VxItemBase::FireClick() const {
  if (m_callback.pfnClick) m_callback.pfnClick(m_callback.lpParam);
}

Gdiplus::SizeF VxItemBase::GetTextBounds(const Gdiplus::Font& font, const CString& text) {
  Gdiplus::FontFamily family;
  font.GetFamily(&family);
  Gdiplus::GraphicsPath path;
  // A default format rather than none: some GDI+ versions refuse a null format here.
  Gdiplus::StringFormat plain;
  path.AddString(text.c_str(), static_cast<INT>(text.size()), &family, font.GetStyle(),
                 font.GetSize(), Gdiplus::PointF(0, 0), &plain);
  Gdiplus::RectF bounds;
  path.GetBounds(&bounds);
  return Gdiplus::SizeF(bounds.Width, bounds.Height);
}

BOOL VxItemBase::SetImage(UINT id, LPCWSTR type, Gdiplus::Image** ppImage) {
  m_status = VXS_NORMAL;
  Gdiplus::Image* img = VxLoadImageResource(CVxDialog::GetResourceModule(), id, type);
  delete *ppImage;
  *ppImage = img;
  return img != nullptr;
}

BOOL VxItemBase::SetImage(LPCWSTR path, Gdiplus::Image** ppImage) {
  m_status = VXS_NORMAL;
  Gdiplus::Image* img = VxLoadImageFile(path);
  delete *ppImage;
  *ppImage = img;
  return img != nullptr;
}
