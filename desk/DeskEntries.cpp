#include "desk/DeskEntries.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>

#include "desk/core/desk_text.h"
#include "uilib/VxTypes.h"

namespace {
const wchar_t kRecycleBin[] = L"{645FF040-5081-101B-9F08-00AA002F954E}";
}  // namespace

bool DeskSameText(const std::wstring& a, const std::wstring& b) {
  return DeskTextEqual(ToU16(a), ToU16(b));
}

void DeskCopyName(wchar_t (&dst)[260], const std::wstring& src) {
  const size_t n = std::min<size_t>(src.size(), 259);
  std::copy(src.begin(), src.begin() + n, dst);
  dst[n] = 0;
}

bool DeskIsRecycleBin(const VxListItem* e) {
  return DeskFoldCase(ToU16(e->szPath)).find(DeskFoldCase(ToU16(kRecycleBin))) != std::u16string::npos;
}

std::wstring DeskAbsoluteParseName(IShellFolder* desktop, LPCITEMIDLIST pidl) {
  if (!desktop || !pidl) return L"";
  STRRET sr{};
  if (FAILED(desktop->GetDisplayNameOf(pidl, SHGDN_FORPARSING, &sr))) return L"";
  wchar_t buf[MAX_PATH] = {};
  if (FAILED(::StrRetToBufW(&sr, pidl, buf, MAX_PATH))) return L"";
  return buf;
}

void __cdecl DeskOpenEntry(VxListItem* entry, POINT*, void*) {
  if (!entry) return;
  SHELLEXECUTEINFOW sei{sizeof(sei)};
  sei.fMask = SEE_MASK_IDLIST | SEE_MASK_FLAG_NO_UI;
  sei.lpIDList = entry->pData;
  sei.nShow = SW_SHOWNORMAL;
  ::ShellExecuteExW(&sei);
}

