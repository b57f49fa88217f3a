#include "app/DeskDropTarget.h"

#include "app/BaseWnd.h"

CDeskDropTarget::CDeskDropTarget(CBaseWnd* host) noexcept : m_host(host) {
  // Without the helper, drags work without their image.
  if (FAILED(::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                                reinterpret_cast<void**>(m_helper.Put()))))
    m_helper.Reset();
}

POINT CDeskDropTarget::ToClient(POINTL pt) const noexcept {
  POINT p{pt.x, pt.y};
  if (m_host && m_host->GetSafeHwnd()) ::ScreenToClient(m_host->GetSafeHwnd(), &p);
  return p;
}

STDMETHODIMP CDeskDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) noexcept {
  if (!effect) return E_INVALIDARG;
  return VxComGuard([&]() -> HRESULT {
    *effect = m_host ? m_host->DragEnter(data, keys, ToClient(pt), *effect) : DROPEFFECT_NONE;
    POINT screen{pt.x, pt.y};
    if (m_helper && m_host) m_helper->DragEnter(m_host->GetSafeHwnd(), data, &screen, *effect);
    return S_OK;
  });
}

STDMETHODIMP CDeskDropTarget::DragOver(DWORD keys, POINTL pt, DWORD* effect) noexcept {
  if (!effect) return E_INVALIDARG;
  return VxComGuard([&]() -> HRESULT {
    *effect = m_host ? m_host->DragOver(keys, ToClient(pt), *effect) : DROPEFFECT_NONE;
    POINT screen{pt.x, pt.y};
    if (m_helper) m_helper->DragOver(&screen, *effect);
    return S_OK;
  });
}

STDMETHODIMP CDeskDropTarget::DragLeave() noexcept {
  return VxComGuard([&]() -> HRESULT {
    if (m_host) m_host->DragLeave();
    if (m_helper) m_helper->DragLeave();
    return S_OK;
  });
}

STDMETHODIMP CDeskDropTarget::Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) noexcept {
  if (!effect) return E_INVALIDARG;
  return VxComGuard([&]() -> HRESULT {
    // The helper's image goes first: the drop may open windows or take a while.
    POINT screen{pt.x, pt.y};
    if (m_helper) m_helper->Drop(data, &screen, *effect);
    *effect = m_host ? m_host->Drop(data, keys, ToClient(pt), *effect) : DROPEFFECT_NONE;
    return S_OK;
  });
}
