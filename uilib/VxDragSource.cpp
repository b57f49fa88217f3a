// Dragging the selected list entries out of a skinned dialog as files (CF_HDROP).
#include <shlobj.h>

#include "uilib/VxDialogBase.h"
#include "uilib/VxRaii.h"
#include "uilib/core/vx_dropfiles.h"

namespace {

// The smallest data object a shell drop target accepts: one CF_HDROP block.
class DropFilesData final : public IDataObject {
 public:
  explicit DropFilesData(HGLOBAL block) : block_(block) {}
  ~DropFilesData() {
    if (block_) ::GlobalFree(block_);
  }
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IDataObject) {
      *ppv = static_cast<IDataObject*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  STDMETHODIMP GetData(FORMATETC* fe, STGMEDIUM* medium) override {
    if (QueryGetData(fe) != S_OK) return DV_E_FORMATETC;
    const SIZE_T size = ::GlobalSize(block_);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, size);
    if (!copy) return E_OUTOFMEMORY;
    {
      VxGlobalLock<BYTE> src(block_), dst(copy);
      if (src.Get() && dst.Get()) memcpy(dst.Get(), src.Get(), size);
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* fe) override {
    return fe && fe->cfFormat == CF_HDROP && (fe->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD dir, IEnumFORMATETC** out) override {
    if (dir != DATADIR_GET) return E_NOTIMPL;
    FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return ::SHCreateStdEnumFmtEtc(1, &fe, out);
  }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  ULONG refs_ = 1;
  HGLOBAL block_;
};

class DropSource final : public IDropSource {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IDropSource) {
      *ppv = static_cast<IDropSource*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
  }
  STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  ULONG refs_ = 1;
};

}  // namespace

BOOL CVxDialogBase::DoDropSource() {
  m_bDragPending = FALSE;
  std::vector<std::u16string> paths;
  const std::vector<VxListCtrl*> lists = ShownLists();
  for (auto it = lists.rbegin(); it != lists.rend(); ++it)
    for (VxListItem* item : (*it)->GetSelection())
      paths.emplace_back(reinterpret_cast<const char16_t*>(item->szPath));
  if (paths.empty()) return FALSE;
  const std::vector<uint8_t> block = VxBuildDropFiles(paths);
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, block.size());
  if (!mem) return FALSE;
  {
    VxGlobalLock<BYTE> lock(mem);
    if (!lock.Get()) {
      ::GlobalFree(mem);
      return FALSE;
    }
    memcpy(lock.Get(), block.data(), block.size());
  }
  auto* data = new DropFilesData(mem);
  auto* source = new DropSource();
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT hr = ::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  data->Release();
  source->Release();
  if (hr == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE) return DeleteSelectedFiles();
  return FALSE;
}

BOOL CVxDialogBase::DeleteSelectedFiles() {
  BOOL removed = FALSE;
  for (VxItemBase* item : m_items) {
    if (item->GetType() != VXT_LISTCTRL) continue;
    auto* list = static_cast<VxListCtrl*>(item);
    const std::vector<VxListItem*> selected = list->GetSelection();
    for (VxListItem* entry : selected) removed |= list->RemoveAt(entry, TRUE);
  }
  return removed;
}
