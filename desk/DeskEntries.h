#pragma once
// Small steps on the desk's entries shared by the model's files: names, identity and opening.
#include <shlobj.h>

#include <string>

#include "uilib/VxListCtrl.h"

// The one comparison of parsing names and box names.
bool DeskSameText(const std::wstring& a, const std::wstring& b);
// Copies a name into an entry's fixed field, cut to fit.
void DeskCopyName(wchar_t (&dst)[260], const std::wstring& src);
// The identifier list an entry keeps (relative to the desktop folder).
inline LPCITEMIDLIST DeskEntryPidl(const VxListItem* e) { return static_cast<LPCITEMIDLIST>(e->pData); }
bool DeskIsRecycleBin(const VxListItem* e);
// The parsing name of an absolute identifier list from a change notification.
std::wstring DeskAbsoluteParseName(IShellFolder* desktop, LPCITEMIDLIST pidl);
// The lists' double-click: opens the entry through the shell.
void __cdecl DeskOpenEntry(VxListItem* entry, POINT* at, void* param);
