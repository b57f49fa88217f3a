#pragma once
// The host window's OLE drop target: every drag over the window goes to the page that shows
// (through CBaseWnd), and the shell's drop-target helper draws the drag image the source
// gave, when the helper exists.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include "uilib/VxComObject.h"
#include "uilib/VxRaii.h"

class CBaseWnd;

class CDeskDropTarget final : public VxComObject<VxIface<IDropTarget, &IID_IDropTarget>> {
 public:
  explicit CDeskDropTarget(CBaseWnd* host) noexcept;
  // The window is going: later calls (the system may still hold a reference) do nothing.
  void Detach() noexcept { m_host = nullptr; }
  BOOL HasHelper() const noexcept { return m_helper ? TRUE : FALSE; }

  STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) noexcept override;
  STDMETHODIMP DragOver(DWORD keys, POINTL pt, DWORD* effect) noexcept override;
  STDMETHODIMP DragLeave() noexcept override;
  STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) noexcept override;

 private:
  POINT ToClient(POINTL pt) const noexcept;

  CBaseWnd* m_host;
  VxComPtr<IDropTargetHelper> m_helper;
};
