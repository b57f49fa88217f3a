// Dragging the selected list entries out of a skinned dialog as files (CF_HDROP).
#include <shlobj.h>

#include "uilib/VxComObject.h"
#include "uilib/VxDialogBase.h"
#include "uilib/VxRaii.h"
#include "uilib/core/vx_dropfiles.h"

namespace {

// The smallest data object a shell drop target accepts: one CF_HDROP block.
class DropFilesData final : public VxComObject<VxIface<IDataObject, &IID_IDataObject>> {
 public:
  explicit DropFilesData(HGLOBAL block) noexcept : block_(block) {}

  STDMETHODIMP GetData(FORMATETC* fe, STGMEDIUM* medium) noexcept override {
    if (!medium) return E_POINTER;
    if (QueryGetData(fe) != S_OK) return DV_E_FORMATETC;
    const SIZE_T size = ::GlobalSize(block_.Get());
    VxGlobal copy(::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, size));
    if (!copy) return E_OUTOFMEMORY;
    {
      VxGlobalLock<BYTE> src(block_.Get()), dst(copy.Get());
      if (!src.Get() || !dst.Get()) return E_OUTOFMEMORY;
      memcpy(dst.Get(), src.Get(), size);
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy.Release();
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* fe) noexcept override {
    return fe && fe->cfFormat == CF_HDROP && (fe->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD dir, IEnumFORMATETC** out) noexcept override {
    if (dir != DATADIR_GET) return E_NOTIMPL;
    FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return ::SHCreateStdEnumFmtEtc(1, &fe, out);
  }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP DUnadvise(DWORD) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) noexcept override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  VxGlobal block_;
};

class DropSource final : public VxComObject<VxIface<IDropSource, &IID_IDropSource>> {
 public:
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) noexcept override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
  }
  STDMETHODIMP GiveFeedback(DWORD) noexcept override { return DRAGDROP_S_USEDEFAULTCURSORS; }
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
  VxGlobal mem(::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, block.size()));
  if (!mem) return FALSE;
  {
    VxGlobalLock<BYTE> lock(mem.Get());
    if (!lock.Get()) return FALSE;
    memcpy(lock.Get(), block.data(), block.size());
  }
  VxComPtr<IDataObject> data(new DropFilesData(mem.Release()));
  VxComPtr<IDropSource> source(new DropSource());
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT hr =
      ::DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
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
