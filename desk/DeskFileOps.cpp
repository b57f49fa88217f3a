#include "desk/DeskFileOps.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <thread>
#include <unordered_set>

#include "base/AppGlobals.h"
#include "desk/DeskEntries.h"
#include "desk/MyDesk.h"
#include "desk/core/desk_fileops.h"
#include "desk/core/desk_keys.h"
#include "desk/core/desk_text.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"
#include "uilib/core/vx_dropfiles.h"

namespace {

constexpr BYTE kGhostAlpha = 100;
constexpr int kRefusalTicks = 40;  // of the 100-ms desk timer
constexpr UINT_PTR kShellMenuSubclass = 0x5644;

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring ParentOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Paths one after another, each zero-terminated, with a final zero: the shell's list form.
std::wstring DoubleNulList(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const auto& p : paths) list += p + L'\0';
  list += L'\0';
  return list;
}

// A movable, zero-filled, shareable block holding `bytes`, as the clipboard wants it.
HGLOBAL ClipboardBlock(const std::vector<uint8_t>& bytes) {
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, bytes.size());
  if (!h) return nullptr;
  if (void* p = ::GlobalLock(h)) {
    memcpy(p, bytes.data(), bytes.size());
    ::GlobalUnlock(h);
    return h;
  }
  ::GlobalFree(h);
  return nullptr;
}

// Another program may hold the clipboard for a moment.
bool OpenClipboardSoon(HWND owner) {
  for (int i = 0; i < 20; ++i) {
    if (::OpenClipboard(owner)) return true;
    ::Sleep(10);
  }
  return false;
}

bool MakeShortcut(const std::wstring& link, const std::wstring& target) {
  VxComPtr<IShellLinkW> sl;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(sl.Put()))))
    return false;
  sl->SetPath(target.c_str());
  VxComPtr<IPersistFile> pf;
  if (FAILED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(pf.Put())))) return false;
  return SUCCEEDED(pf->Save(link.c_str(), TRUE));
}

// A shortcut file whose target the shell finds.
bool IsResolvableLink(const std::wstring& path) {
  if (!DeskTextEqual(ToU16(PathFindExtensionW(path.c_str())), u".lnk")) return false;
  VxComPtr<IShellLinkW> sl;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(sl.Put()))))
    return false;
  VxComPtr<IPersistFile> pf;
  if (FAILED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(pf.Put()))) ||
      FAILED(pf->Load(path.c_str(), STGM_READ)))
    return false;
  if (FAILED(sl->Resolve(nullptr, SLR_NO_UI | SLR_NOSEARCH | SLR_NOUPDATE))) return false;
  wchar_t target[MAX_PATH] = {};
  return SUCCEEDED(sl->GetPath(target, MAX_PATH, nullptr, 0)) && target[0];
}

// While the shell's menu shows, its owner-drawn parts and submenus ("发送到", "新建") need
// the menu messages of the window that tracks it.
struct ShellMenuHooks {
  IContextMenu2* v2 = nullptr;
  IContextMenu3* v3 = nullptr;
};

LRESULT CALLBACK ShellMenuProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data) {
  auto* hooks = reinterpret_cast<ShellMenuHooks*>(data);
  switch (msg) {
    case WM_MENUCHAR:
      if (hooks->v3) {
        LRESULT r = 0;
        if (SUCCEEDED(hooks->v3->HandleMenuMsg2(msg, wParam, lParam, &r))) return r;
      }
      break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      if (wParam != 0) break;
      [[fallthrough]];
    case WM_INITMENUPOPUP:
      if (hooks->v2 && SUCCEEDED(hooks->v2->HandleMenuMsg(msg, wParam, lParam)))
        return msg == WM_INITMENUPOPUP ? 0 : TRUE;
      if (hooks->v3) {
        LRESULT r = 0;
        if (SUCCEEDED(hooks->v3->HandleMenuMsg2(msg, wParam, lParam, &r)))
          return msg == WM_INITMENUPOPUP ? 0 : TRUE;
      }
      break;
    default: break;
  }
  return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

// The file `from` renamed to `name` in its own folder; `to` receives its new path.
bool RenameFileInPlace(const std::wstring& from, const std::wstring& name, std::wstring* to) {
  const std::wstring folder = ParentOf(from);
  if (folder.empty()) return false;
  *to = folder + L"\\" + name;
  return ::MoveFileW(from.c_str(), to->c_str()) != FALSE;
}

std::wstring VerbOf(IContextMenu* cm, UINT offset) {
  wchar_t verb[64] = {};
  if (FAILED(cm->GetCommandString(offset, GCS_VERBW, nullptr, reinterpret_cast<LPSTR>(verb), 64)))
    return L"";
  return verb;
}

}  // namespace

CDeskFileOps::CDeskFileOps(CMyDesk& desk, CDeskModel& model) : m_desk(desk), m_model(model) {}

CDeskFileOps::~CDeskFileOps() {
  if (m_tip) ::DestroyWindow(m_tip);
}

HWND CDeskFileOps::OwnerHwnd() const { return m_desk.OwnerHwnd(); }

void CDeskFileOps::Repaint() { m_desk.RequestRepaint(); }

std::wstring CDeskFileOps::DesktopPath() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path)))
    return L"";
  return path;
}

// ---- selection and keys ----
CDeskFileOps::Selected CDeskFileOps::Selection() const {
  Selected s;
  for (VxListCtrl* list : const_cast<CDeskModel&>(m_model).AllLists()) {
    if (list->GetSelection().empty()) continue;
    s.list = list;
    // In list order, which is the order the user sees.
    for (VxListItem* e : list->Items())
      if (e->IsSelected()) s.entries.push_back(e);
    break;
  }
  return s;
}

VxListCtrl* CDeskFileOps::KeyList() {
  GetZhiItem* box = m_model.ActiveBox();
  return box ? &box->list : &m_model.DeskList();
}

void CDeskFileOps::SelectAll() {
  VxListCtrl* list = KeyList();
  m_model.ClearAllSelections();
  list->SelectAll();
  if (GetZhiItem* box = m_model.BoxOfList(list)) box->cache.reset();
  Repaint();
}

BOOL CDeskFileOps::OnKeyDown(UINT vk) {
  const bool control = ::GetKeyState(VK_CONTROL) < 0, shift = ::GetKeyState(VK_SHIFT) < 0;
  switch (DeskCommandForKey(static_cast<int>(vk), control, shift)) {
    case kKeySelectAll: SelectAll(); return TRUE;
    case kKeyCopy: CopySelection(TRUE); return TRUE;
    case kKeyCut: CopySelection(FALSE); return TRUE;
    case kKeyPaste: PasteFiles(); return TRUE;
    case kKeyDelete: DeleteSelection(FALSE); return TRUE;
    case kKeyDeleteForGood: DeleteSelection(TRUE); return TRUE;
    case kKeyRename: BeginRename(); return TRUE;
    case kKeyRefresh:
      m_model.SyncWithDesktop();
      m_model.AddMissingItems(&m_model.DeskList());
      Repaint();
      return TRUE;
    case kKeyLeft:
    case kKeyUp:
    case kKeyRight:
    case kKeyDown: MoveFocus(vk); return TRUE;
    default: return FALSE;
  }
}

void CDeskFileOps::MoveFocus(UINT vk) {
  VxListCtrl* list = KeyList();
  GetZhiItem* box = m_model.BoxOfList(list);
  const std::vector<VxListItem*>& items = list->Items();
  std::vector<VxRc> cells;
  cells.reserve(items.size());
  for (VxListItem* e : items) cells.push_back(ToVx(e->rcPos));
  VxListItem* focused = list->GetFocusItem();
  const int from = focused ? list->IndexOf(focused) : -1;
  CRect area;
  list->GetRect(&area);
  int to = -1;
  const DeskKeyCommand arrow = DeskCommandForKey(static_cast<int>(vk), false, false);
  if (list->GetListType() == VXLT_LIST) {
    if (arrow != kKeyUp && arrow != kKeyDown) return;
    const DeskRowStep step = DeskRowsArrow(cells, from, arrow == kKeyDown, area.top, list->GetItemHeight(),
                                           box ? box->scroll : 0, box ? box->viewHeight : 0);
    if (step.index == from) return;
    to = step.index;
    if (box) box->scroll = step.scroll;
  } else {
    to = DeskIconArrow(cells, from, arrow, ToVx(area));
  }
  if (to < 0) return;
  m_model.ClearAllSelections();
  for (VxListItem* e : items) {
    const int notFocus = e == items[to] ? 0 : 1;
    if (e->bNotFocus != notFocus) e->ClearTextCache();
    e->bNotFocus = notFocus;
  }
  list->SetSel(items[to], TRUE);
  if (box) {
    m_model.LayoutBox(box, FALSE);
    box->cache.reset();
  }
  Repaint();
}

// ---- clipboard ----
void CDeskFileOps::GhostEntry(VxListItem* e) {
  if (e->pAlphaImage || !e->pIcon) return;
  const int w = VxImageWidth(e->pIcon), h = VxImageHeight(e->pIcon);
  auto* ghost = new Gdiplus::Bitmap(w, h, PixelFormat32bppPARGB);
  {
    Gdiplus::Graphics g(ghost);
    Gdiplus::ColorMatrix m = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0},
                               {0, 0, 0, kGhostAlpha / 255.0f, 0}, {0, 0, 0, 0, 1}}};
    Gdiplus::ImageAttributes attr;
    attr.SetColorMatrix(&m);
    g.DrawImage(e->pIcon, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel, &attr);
  }
  e->pAlphaImage = ghost;
  e->nAlpha = kGhostAlpha;
}

void CDeskFileOps::CopySelection(BOOL asCopy) {
  const Selected sel = Selection();
  std::vector<std::u16string> paths;
  std::vector<std::wstring> wide;
  for (VxListItem* e : sel.entries)
    if (wcschr(e->szPath, L'\\')) {  // shell items have no file to hand over
      paths.push_back(ToU16(e->szPath));
      wide.emplace_back(e->szPath);
    }
  if (paths.empty()) return;
  if (!m_effectFormat) m_effectFormat = ::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
  HWND owner = OwnerHwnd();
  if (!OpenClipboardSoon(owner)) return;
  ::EmptyClipboard();
  // Once set, a block belongs to the clipboard; one it refused is ours to free.
  if (HGLOBAL drop = ClipboardBlock(VxBuildDropFiles(paths)))
    if (!::SetClipboardData(CF_HDROP, drop)) ::GlobalFree(drop);
  if (HGLOBAL effect = ClipboardBlock(VxBuildDropEffect(asCopy ? DROPEFFECT_COPY : DROPEFFECT_MOVE)))
    if (!::SetClipboardData(m_effectFormat, effect)) ::GlobalFree(effect);
  ::CloseClipboard();
  // The viewer chain tells us too, but not always before the next key.
  ReadClipboard();
}

void CDeskFileOps::ReadClipboard() {
  if (!m_effectFormat) m_effectFormat = ::RegisterClipboardFormatW(CFSTR_PREFERREDDROPEFFECT);
  bool changed = false;
  for (VxListCtrl* list : m_model.AllLists())
    if (list->ClearAlphImage()) {
      changed = true;
      if (GetZhiItem* box = m_model.BoxOfList(list)) box->cache.reset();
    }
  std::vector<std::wstring> files;
  BOOL isCopy = TRUE;
  if (OpenClipboardSoon(OwnerHwnd())) {
    if (HANDLE h = ::GetClipboardData(CF_HDROP)) {
      VxGlobalLock<uint8_t> lock(static_cast<HGLOBAL>(h));
      if (lock.Get()) {
        const VxDropFiles read = VxReadDropFiles(lock.Get(), ::GlobalSize(h));
        for (const auto& p : read.paths) files.push_back(ToW(p));
        for (const auto& a : read.ansiPaths) {
          const int n = ::MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), nullptr, 0);
          std::wstring w(static_cast<size_t>(n), L'\0');
          ::MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), w.data(), n);
          files.push_back(w);
        }
      }
    }
    if (HANDLE h = ::GetClipboardData(m_effectFormat)) {
      VxGlobalLock<uint8_t> lock(static_cast<HGLOBAL>(h));
      isCopy = DeskPasteIsCopy(lock.Get(), lock.Get() ? ::GlobalSize(h) : 0);
    }
    ::CloseClipboard();
  }
  // Items that were cut, here or in Explorer, show as ghosts until they are pasted.
  if (!isCopy && !files.empty()) {
    std::unordered_set<std::u16string> cut;
    for (const auto& f : files) cut.insert(DeskFoldCase(ToU16(f)));
    for (VxListCtrl* list : m_model.AllLists())
      for (VxListItem* e : list->Items())
        if (cut.count(DeskFoldCase(ToU16(e->szPath)))) {
          GhostEntry(e);
          changed = true;
          if (GetZhiItem* box = m_model.BoxOfList(list)) box->cache.reset();
        }
  }
  m_model.SetClipboard(std::move(files), isCopy);
  if (changed) Repaint();
}

void CDeskFileOps::RunShellOperation(UINT func, std::vector<std::wstring> from, std::wstring to,
                                     FILEOP_FLAGS flags) {
  std::shared_ptr<std::atomic<int>> running = m_running;
  ++*running;
  // No owner: the shell's windows belong to the operation's thread, and a desk that closes
  // meanwhile takes nothing of it along.
  std::thread([running, func, from = DoubleNulList(from), to = to.empty() ? std::wstring() : to.find(L'\0') != std::wstring::npos ? to : DoubleNulList({to}),
               flags, desk = DesktopPath()]() {
    VxComInit com;
    SHFILEOPSTRUCTW op{};
    op.wFunc = func;
    op.pFrom = from.c_str();
    op.pTo = to.empty() ? nullptr : to.c_str();
    op.fFlags = flags;
    ::SHFileOperationW(&op);
    // Not every shell announces each item it moved to the recycle bin: one word for the
    // whole folder has the desk look once more.
    if (!desk.empty()) ::SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, desk.c_str(), nullptr);
    --*running;
  }).detach();
}

void CDeskFileOps::CopyRenamingClashes(const std::vector<std::wstring>& from, const std::wstring& folder) {
  std::vector<std::wstring> sources, targets;
  std::unordered_set<std::u16string> chosen;
  for (const auto& path : from) {
    const size_t slash = path.find_last_of(L'\\');
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (name.empty()) continue;
    const bool isFolder = (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const wchar_t* dot = isFolder ? nullptr : ::PathFindExtensionW(name.c_str());
    const std::wstring ext = dot && *dot ? std::wstring(dot) : std::wstring();
    const std::wstring base = folder + L"\\" + name.substr(0, name.size() - ext.size());
    const std::u16string target = DeskUniqueFileName(ToU16(base), ToU16(ext), [&](const std::u16string& candidate) {
      return chosen.count(DeskFoldCase(candidate)) > 0 || Exists(ToW(candidate));
    });
    if (target.empty()) continue;
    chosen.insert(DeskFoldCase(target));
    sources.push_back(path);
    targets.push_back(ToW(target));
  }
  if (sources.empty()) return;
  RunShellOperation(FO_COPY, sources, DoubleNulList(targets), FOF_MULTIDESTFILES | FOF_RENAMEONCOLLISION);
}

void CDeskFileOps::PasteFiles() {
  std::vector<std::wstring> existing;
  for (const auto& f : m_model.ClipboardFiles())
    if (Exists(f)) existing.push_back(f);
  if (existing.empty()) return;
  const std::wstring target = DesktopPath();
  if (target.empty()) return;
  if (m_model.PasteIsCopy()) {
    CopyRenamingClashes(existing, target);
  } else {
    // A cut item pasted where it already lies stays; the shell would call that an error.
    std::vector<std::wstring> moving;
    for (const auto& f : existing)
      if (!DeskSameText(ParentOf(f), target)) moving.push_back(f);
    if (!moving.empty()) RunShellOperation(FO_MOVE, moving, target + L"\\", 0);
    if (OpenClipboardSoon(OwnerHwnd())) {
      ::EmptyClipboard();
      ::CloseClipboard();
    }
    ReadClipboard();
  }
  GetZhiItem* active = m_model.ActiveBox();
  m_model.AddMissingItems(active ? &active->list : &m_model.DeskList());
  Repaint();
}

void CDeskFileOps::PasteShortcuts(const std::vector<std::wstring>& paths, const std::wstring& folder) {
  const std::wstring desk = folder.empty() ? DesktopPath() : folder;
  if (desk.empty()) return;
  bool made = false;
  for (const auto& path : paths) {
    if (!Exists(path)) continue;
    const DeskShortcutPlan plan = DeskPlanPastedShortcut(ToU16(desk), ToU16(path), IsResolvableLink(path));
    const std::wstring name = UniqueFileName(ToW(plan.base), ToW(plan.extension));
    if (name.empty()) continue;
    const bool ok = plan.copyFile ? ::CopyFileW(path.c_str(), name.c_str(), TRUE) != FALSE : MakeShortcut(name, path);
    if (!ok) continue;
    ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, name.c_str(), nullptr);
    made = true;
  }
  if (!made) return;
  GetZhiItem* active = m_model.ActiveBox();
  m_model.AddMissingItems(active ? &active->list : &m_model.DeskList());
  Repaint();
}

std::wstring CDeskFileOps::UniqueFileName(const std::wstring& base, const std::wstring& extension) const {
  std::unordered_set<std::u16string> names;
  for (VxListCtrl* list : const_cast<CDeskModel&>(m_model).AllLists())
    for (VxListItem* e : list->Items()) names.insert(DeskFoldCase(ToU16(e->szPath)));
  // The lists hear of a new file only later: the file system is asked too.
  return ToW(DeskUniqueFileName(ToU16(base), ToU16(extension), [&](const std::u16string& candidate) {
    return names.count(DeskFoldCase(candidate)) > 0 || Exists(ToW(candidate));
  }));
}

// ---- delete ----
void CDeskFileOps::DeleteSelection(BOOL permanent) {
  const Selected sel = Selection();
  if (sel.entries.empty()) return;
  if (sel.entries.size() == 1 && !wcschr(sel.entries[0]->szPath, L'\\')) {
    // A shell item (the recycle bin, Computer) deletes itself through its own verb.
    VxComPtr<IContextMenu> cm;
    LPCITEMIDLIST one[1] = {DeskEntryPidl(sel.entries[0])};
    if (FAILED(m_model.Shell().Folder()->GetUIObjectOf(OwnerHwnd(), 1, one, IID_IContextMenu, nullptr,
                                                       reinterpret_cast<void**>(cm.Put()))))
      return;
    CMINVOKECOMMANDINFO ici{sizeof(ici)};
    ici.hwnd = OwnerHwnd();
    ici.lpVerb = "delete";
    ici.nShow = SW_SHOWNORMAL;
    cm->InvokeCommand(&ici);
    return;
  }
  std::vector<std::wstring> paths;
  for (VxListItem* e : sel.entries) paths.emplace_back(e->szPath);
  RunShellOperation(FO_DELETE, paths, L"", permanent ? 0 : FOF_ALLOWUNDO);
}

// ---- rename ----
void CDeskFileOps::BeginRename() {
  const Selected sel = Selection();
  if (sel.entries.size() == 1) BeginRename(sel.entries[0], sel.list);
}

void CDeskFileOps::BeginRename(VxListItem* entry, VxListCtrl* list) {
  CDeskOwner* owner = m_desk.Owner();
  HWND hwnd = OwnerHwnd();
  if (!owner || !hwnd || !entry || !list) return;
  HideRefusal();
  GetZhiItem* box = m_model.BoxOfList(list);
  RECT r = entry->rcText;
  ::OffsetRect(&r, 0, -((box ? box->scroll : 0) + 1));
  ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  owner->BeginEntryRename(entry, list, r, list->GetListType() == VXLT_LIST);
  Repaint();
}

BOOL CDeskFileOps::ApplyEntryRename(VxListItem* entry, VxListCtrl* list, const std::wstring& typed,
                                    const std::wstring& before) {
  // The entry may have gone while the editor was open (its file deleted meanwhile).
  auto lists = m_model.AllLists();
  if (std::find(lists.begin(), lists.end(), list) == lists.end() || list->IndexOf(entry) < 0) return TRUE;
  GetZhiItem* box = m_model.BoxOfList(list);
  auto show = [&](const std::wstring& name) {
    DeskCopyName(entry->szName, name);
    entry->ClearTextCache();
    list->ReCalcStateRect(entry);
    if (box) box->cache.reset();
    Repaint();
  };
  const DeskRenameCheck check = DeskCheckEntryRename(ToU16(typed), ToU16(before));
  if (check.outcome != kRenameApply) {
    show(before);
    return check.outcome == kRenameKeep;
  }
  const std::wstring name = ToW(check.name);
  const std::wstring from = entry->szPath;
  std::wstring movedTo;
  LPITEMIDLIST renamed = nullptr;
  IShellFolder* folder = m_model.Shell().Folder();
  if (!folder || FAILED(folder->SetNameOf(OwnerHwnd(), DeskEntryPidl(entry), name.c_str(),
                                          SHGDN_INFOLDER | SHGDN_FOREDITING, &renamed))) {
    // Some shells (Wine) rename nothing through the desktop folder itself; a file of the
    // Desktop directory is renamed in place and announced as the shell would.
    if (!RenameFileInPlace(from, name, &movedTo)) {
      show(before);  // the shell said why, if it had a reason to give
      return TRUE;
    }
  }
  if (!renamed) {
    // The entry takes the desktop folder's own identifier of the renamed item: a rescan
    // knows an entry by that, and would take the file for a new one under any other.
    for (const DesktopChild& c : m_model.Shell().Children())
      if (movedTo.empty() ? DeskSameText(c.displayName, name) : DeskSameText(c.parseName, movedTo)) {
        renamed = ::ILClone(c.pidl.get());
        break;
      }
  }
  if (renamed) {
    if (entry->pData && entry->pfnFreeData) entry->pfnFreeData(entry->pData);
    entry->pData = renamed;
    entry->pfnFreeData = &FreePidl;
    DeskCopyName(entry->szPath, m_model.Shell().ParseName(renamed));
  }
  show(name);
  // Announced once the entry carries the new name.
  if (!movedTo.empty()) {
    const bool isFolder = (::GetFileAttributesW(movedTo.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    ::SHChangeNotify(isFolder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, SHCNF_PATHW | SHCNF_FLUSHNOWAIT,
                     from.c_str(), movedTo.c_str());
  }
  return TRUE;
}

void CDeskFileOps::ShowRefusal(const std::wstring& message, const RECT& screenRect) {
  HideRefusal();
  m_refusal = message;
  HWND owner = OwnerHwnd();
  if (!owner) return;
  if (!m_tip || !::IsWindow(m_tip))
    // Clicks go through to the desk under it: the tip only tells.
    m_tip = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TRANSPARENT, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | TTS_BALLOON, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  if (!m_tip) return;
  ::SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, 260);
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  ti.hwnd = owner;
  ti.uId = 2;
  ti.lpszText = m_refusal.data();
  ::SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  ::SendMessageW(m_tip, TTM_TRACKPOSITION, 0, MAKELPARAM(screenRect.left, screenRect.bottom));
  ::SendMessageW(m_tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
  m_tipTicks = kRefusalTicks;
}

void CDeskFileOps::HideRefusal() {
  m_tipTicks = 0;
  if (!m_tip || !::IsWindow(m_tip)) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = OwnerHwnd();
  ti.uId = 2;
  ::SendMessageW(m_tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
  ::SendMessageW(m_tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void CDeskFileOps::OnTick() {
  if (m_tipTicks > 0 && --m_tipTicks == 0) HideRefusal();
}

// ---- the shell's menu ----
void CDeskFileOps::ShowItemMenu(VxListItem* entry, POINT screen) {
  const Selected sel = Selection();
  HWND owner = OwnerHwnd();
  IShellFolder* folder = m_model.Shell().Folder();
  if (sel.entries.empty() || !owner || !folder) return;
  std::vector<LPCITEMIDLIST> pidls;
  for (VxListItem* e : sel.entries) pidls.push_back(DeskEntryPidl(e));
  VxComPtr<IContextMenu> cm;
  if (FAILED(folder->GetUIObjectOf(owner, static_cast<UINT>(pidls.size()), pidls.data(), IID_IContextMenu,
                                   nullptr, reinterpret_cast<void**>(cm.Put()))) ||
      !cm.Get())
    return;
  VxComPtr<IContextMenu2> cm2;
  VxComPtr<IContextMenu3> cm3;
  cm->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(cm3.Put()));
  cm->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(cm2.Put()));
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return;
  const UINT flags = pidls.size() == 1 ? CMF_EXPLORE | CMF_CANRENAME : CMF_EXPLORE;
  if (FAILED(cm->QueryContextMenu(menu, 0, 1, 0x7FFF, flags))) {
    ::DestroyMenu(menu);
    return;
  }
  ShellMenuHooks hooks{cm2.Get(), cm3.Get()};
  const bool hooked = (cm2.Get() || cm3.Get()) &&
                      ::SetWindowSubclass(owner, ShellMenuProc, kShellMenuSubclass,
                                          reinterpret_cast<DWORD_PTR>(&hooks));
  ::SetForegroundWindow(::GetAncestor(owner, GA_ROOT));
  const UINT cmd = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                                       screen.y, 0, owner, nullptr));
  if (hooked) ::RemoveWindowSubclass(owner, ShellMenuProc, kShellMenuSubclass);
  if (cmd > 0) {
    const std::wstring verb = VerbOf(cm.Get(), cmd - 1);
    if (DeskTextEqual(ToU16(verb), u"rename")) {
      if (sel.entries.size() == 1) BeginRename(entry ? entry : sel.entries[0], sel.list);
    } else if (DeskTextEqual(ToU16(verb), u"delete")) {
      // Some shells (Wine) report the desktop folder's own delete as done and delete nothing:
      // the desk's delete sends the selection to the recycle bin, or for good with Shift,
      // exactly as the Delete key does.
      DeleteSelection(::GetKeyState(VK_SHIFT) < 0);
    } else {
      CMINVOKECOMMANDINFO ici{sizeof(ici)};
      ici.hwnd = owner;
      ici.lpVerb = MAKEINTRESOURCEA(cmd - 1);
      ici.nShow = SW_SHOWNORMAL;
      if (SUCCEEDED(cm->InvokeCommand(&ici)) && DeskTextEqual(ToU16(verb), u"cut")) {
        for (VxListItem* e : sel.entries) GhostEntry(e);
        if (GetZhiItem* box = m_model.BoxOfList(sel.list)) box->cache.reset();
        Repaint();
      }
    }
  }
  ::DestroyMenu(menu);
}

// ---- new items ----
BOOL CDeskFileOps::NewFolder() {
  const std::wstring desk = DesktopPath();
  if (desk.empty()) return FALSE;
  const std::wstring name = UniqueFileName(ToW(DeskNewFolderBase(ToU16(desk))), L"");
  if (name.empty() || !::CreateDirectoryW(name.c_str(), nullptr)) return FALSE;
  ::SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, name.c_str(), nullptr);
  return TRUE;
}

BOOL CDeskFileOps::NewShortcut() {
  const std::wstring desk = DesktopPath();
  if (desk.empty()) return FALSE;
  const std::wstring name = UniqueFileName(ToW(DeskNewShortcutBase(ToU16(desk))), L".lnk");
  if (name.empty()) return FALSE;
  VxFileHandle f(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return FALSE;
  f.Reset();
  ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, name.c_str(), nullptr);
  // The system's create-shortcut wizard fills the empty file in.
  const std::wstring params = L"appwiz.cpl,NewLinkHere " + name;
  ::ShellExecuteW(OwnerHwnd(), L"open", L"Rundll32.exe", params.c_str(), nullptr, SW_SHOWNORMAL);
  return TRUE;
}

BOOL CDeskFileOps::NewEmptyFile(const std::wstring& typeText, const std::wstring& extension) {
  const std::wstring desk = DesktopPath();
  if (desk.empty()) return FALSE;
  const std::wstring name = UniqueFileName(ToW(DeskNewFileBase(ToU16(desk), ToU16(typeText))), extension);
  if (name.empty()) return FALSE;
  VxFileHandle f(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return FALSE;
  f.Reset();
  ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, name.c_str(), nullptr);
  return TRUE;
}

BOOL CDeskFileOps::NewFromTemplate(const std::wstring& typeText, const std::wstring& extension,
                                   const std::wstring& templatePath) {
  const std::wstring desk = DesktopPath();
  if (desk.empty()) return FALSE;
  const std::wstring name = UniqueFileName(ToW(DeskNewFileBase(ToU16(desk), ToU16(typeText))), extension);
  if (name.empty() || !::CopyFileW(templatePath.c_str(), name.c_str(), TRUE)) return FALSE;
  ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSHNOWAIT, name.c_str(), nullptr);
  return TRUE;
}

void CDeskFileOps::AfterNewItem() {
  GetZhiItem* active = m_model.ActiveBox();
  m_model.AddMissingItems(active ? &active->list : &m_model.DeskList());
  m_model.ReloadOnNextAssocChange();
  Repaint();
}
