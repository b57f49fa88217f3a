#include "uilib/VxDeskList.h"

namespace {

HWND DefViewListOf(HWND parent, const wchar_t* listTitle) {
  HWND view = ::FindWindowExW(parent, nullptr, L"SHELLDLL_DefView", nullptr);
  return view ? ::FindWindowExW(view, nullptr, L"SysListView32", listTitle) : nullptr;
}

// Walks the top-level "WorkerW" windows in z-order (optionally only untitled ones) and
// returns the list view of the first one that holds the shell view.
HWND WorkerListView(const wchar_t* workerTitle, const wchar_t* listTitle) {
  for (HWND w = ::FindWindowExW(nullptr, nullptr, L"WorkerW", workerTitle); w;
       w = ::FindWindowExW(nullptr, w, L"WorkerW", workerTitle)) {
    if (::FindWindowExW(w, nullptr, L"SHELLDLL_DefView", nullptr))
      return DefViewListOf(w, listTitle);
  }
  return nullptr;
}

}  // namespace

HWND VxFindDeskHost() {
  HWND progman = ::FindWindowW(L"Progman", L"Program Manager");
  if (!progman) return nullptr;
  if (::FindWindowExW(progman, nullptr, L"SHELLDLL_DefView", nullptr)) {
    HWND list = DefViewListOf(progman, L"FolderView");
    return list ? list : progman;
  }
  return WorkerListView(nullptr, nullptr);
}

HWND VxFindDeskLayer() {
  if (HWND progman = ::FindWindowW(L"Progman", nullptr)) return progman;
  return WorkerListView(L"", L"FolderView");
}

BOOL CVxDialogBase::SetDesk() {
  HWND host = VxFindDeskHost();
  if (!host || !m_hWnd) return FALSE;
  return ::SetParent(m_hWnd, host) != nullptr;
}

void CVxDialogBase::ShowDeskList(BOOL show) {
  if (HWND layer = VxFindDeskLayer()) ::ShowWindow(layer, show ? SW_SHOW : SW_HIDE);
}
