#include "desk/DeskDataObject.h"

#include <shlobj.h>

#include <memory>

#include "uilib/VxComObject.h"
#include "uilib/VxRaii.h"
#include "uilib/core/vx_dropfiles.h"

namespace {

// A fresh copy of a global block, as each GetData caller gets its own.
HGLOBAL CopyGlobal(HGLOBAL from) {
  const SIZE_T size = ::GlobalSize(from);
  VxGlobal copy(::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, size));
  if (!copy) return nullptr;
  VxGlobalLock<BYTE> src(from), dst(copy.Get());
  if (!src.Get() || !dst.Get()) return nullptr;
  memcpy(dst.Get(), src.Get(), size);
  return copy.Release();
}

bool SameFormat(const FORMATETC& a, const FORMATETC& b) {
  return a.cfFormat == b.cfFormat && a.dwAspect == b.dwAspect && (a.tymed & b.tymed) != 0;
}

class DeskDataObject final : public VxComObject<VxIface<IDataObject, &IID_IDataObject>> {
 public:
  struct Entry {
    FORMATETC format{};
    VxStgMedium medium;
  };

  // Takes over `block` (global memory) as the CF_HDROP data.
  void AddGlobal(CLIPFORMAT cf, HGLOBAL block) {
    // Room first: once the medium holds the block nothing may throw.
    entries_.push_back(std::make_unique<Entry>());
    Entry& e = *entries_.back();
    e.format = FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM* m = e.medium.Put();
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = block;
  }

  STDMETHODIMP GetData(FORMATETC* fe, STGMEDIUM* out) noexcept override {
    if (!fe || !out) return E_POINTER;
    const Entry* e = Find(*fe);
    if (!e) return DV_E_FORMATETC;
    const STGMEDIUM& have = e->medium.Get();
    *out = STGMEDIUM{};
    if (have.tymed == TYMED_HGLOBAL) {
      out->hGlobal = CopyGlobal(have.hGlobal);
      if (!out->hGlobal) return E_OUTOFMEMORY;
      out->tymed = TYMED_HGLOBAL;
      return S_OK;
    }
    // Other media are handed out as they are, kept alive by this object.
    *out = have;
    out->pUnkForRelease = static_cast<IDataObject*>(this);
    AddRef();
    if (have.tymed == TYMED_ISTREAM && have.pstm) have.pstm->AddRef();
    if (have.tymed == TYMED_ISTORAGE && have.pstg) have.pstg->AddRef();
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* fe) noexcept override {
    if (!fe) return E_POINTER;
    return Find(*fe) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC* fe, STGMEDIUM* medium, BOOL release) noexcept override {
    if (!fe || !medium) return E_POINTER;
    return VxComGuard([&]() -> HRESULT {
      auto e = std::make_unique<Entry>();
      e->format = *fe;
      e->format.ptd = nullptr;
      STGMEDIUM* keep = e->medium.Put();
      if (release) {
        *keep = *medium;
      } else if (medium->tymed == TYMED_HGLOBAL) {
        keep->tymed = TYMED_HGLOBAL;
        keep->hGlobal = CopyGlobal(medium->hGlobal);
        if (!keep->hGlobal) return E_OUTOFMEMORY;
      } else {
        return DV_E_TYMED;
      }
      // The newest data of a format replaces the older.
      for (auto& old : entries_)
        if (old->format.cfFormat == fe->cfFormat && old->format.dwAspect == fe->dwAspect) {
          old = std::move(e);
          return S_OK;
        }
      entries_.push_back(std::move(e));
      return S_OK;
    });
  }
  STDMETHODIMP EnumFormatEtc(DWORD dir, IEnumFORMATETC** out) noexcept override {
    if (dir != DATADIR_GET) return E_NOTIMPL;
    return VxComGuard([&]() -> HRESULT {
      std::vector<FORMATETC> formats;
      for (auto& e : entries_) formats.push_back(e->format);
      return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
    });
  }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  const Entry* Find(const FORMATETC& fe) const {
    for (auto& e : entries_)
      if (SameFormat(e->format, fe)) return e.get();
    return nullptr;
  }

  std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace

IDataObject* DeskCreateFileDataObject(const std::vector<std::u16string>& paths) {
  const std::vector<uint8_t> bytes = VxBuildDropFiles(paths);
  VxGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, bytes.size()));
  if (!block) return nullptr;
  {
    VxGlobalLock<BYTE> lock(block.Get());
    if (!lock.Get()) return nullptr;
    memcpy(lock.Get(), bytes.data(), bytes.size());
  }
  DeskDataObject* data = new (std::nothrow) DeskDataObject();
  if (!data) return nullptr;
  try {
    data->AddGlobal(CF_HDROP, block.Get());
  } catch (...) {
    data->Release();
    return nullptr;
  }
  block.Release();
  return data;
}
