#include "desk/MyDesk.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <unordered_map>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "desk/DeskFiles.h"
#include "uilib/VxTypes.h"
#include "desk/core/desk_boxes.h"
#include "desk/core/desk_text.h"

namespace {

// Box geometry: the list sits inside the frame, below the title.
constexpr int kListInsetLeft = 10, kListInsetTop = 48, kListInsetRight = 10, kListInsetBottom = 10;
// Desk list offset inside the page (room for the toolbar).
constexpr int kDeskListLeft = 10, kDeskListTop = 37;
constexpr int kNewBoxWidth = 260, kNewBoxHeight = 318;
constexpr int kFlashTicks = 60;
const wchar_t kRecycleBin[] = L"{645FF040-5081-101B-9F08-00AA002F954E}";

CRect ListRectOf(const RECT& box) {
  return CRect(box.left + kListInsetLeft, box.top + kListInsetTop, box.right - kListInsetRight,
               box.bottom - kListInsetBottom);
}

DeskRect ToDeskRect(const RECT& r) { return DeskRect{r.left, r.top, r.right, r.bottom}; }

bool SameText(const std::wstring& a, const std::wstring& b) {
  return DeskTextEqual(ToU16(a), ToU16(b));
}

void CopyName(wchar_t (&dst)[260], const std::wstring& src) {
  const size_t n = std::min<size_t>(src.size(), 259);
  std::copy(src.begin(), src.begin() + n, dst);
  dst[n] = 0;
}

LPCITEMIDLIST EntryPidl(const VxListItem* e) { return static_cast<LPCITEMIDLIST>(e->pData); }

bool IsRecycleBin(const VxListItem* e) {
  return DeskFoldCase(ToU16(e->szPath)).find(DeskFoldCase(ToU16(kRecycleBin))) != std::u16string::npos;
}

// The parsing name of an absolute identifier list from a change notification.
std::wstring AbsoluteParseName(IShellFolder* desktop, LPCITEMIDLIST pidl) {
  if (!desktop || !pidl) return L"";
  STRRET sr{};
  if (FAILED(desktop->GetDisplayNameOf(pidl, SHGDN_FORPARSING, &sr))) return L"";
  wchar_t buf[MAX_PATH] = {};
  if (FAILED(::StrRetToBufW(&sr, pidl, buf, MAX_PATH))) return L"";
  return buf;
}

void __cdecl OpenEntry(VxListItem* entry, POINT*, void*) {
  if (!entry) return;
  SHELLEXECUTEINFOW sei{sizeof(sei)};
  sei.fMask = SEE_MASK_IDLIST | SEE_MASK_FLAG_NO_UI;
  sei.lpIDList = entry->pData;
  sei.nShow = SW_SHOWNORMAL;
  ::ShellExecuteExW(&sei);
}

}  // namespace

DeskBatch::~DeskBatch() {
  if (--desk_->m_batchDepth == 0 && desk_->m_configDirty) {
    desk_->m_configDirty = FALSE;
    SaveConfig();
  }
}

CMyDesk::CMyDesk(CDeskOwner* owner) : CBaseDesk(0, owner) {
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  m_pageRect = work;
}

CMyDesk::~CMyDesk() {
  if (m_notifyId) ::SHChangeNotifyDeregister(m_notifyId);
  if (!m_boxes.empty() || m_deskList.GetCount() > 0) SaveDesk();
  ClearDesk();
}

// ---- helpers ----
std::vector<VxListCtrl*> CMyDesk::AllLists() {
  std::vector<VxListCtrl*> lists{&m_deskList};
  for (auto& b : m_boxes) lists.push_back(&b->list);
  return lists;
}

GetZhiItem* CMyDesk::BoxOfList(const VxListCtrl* list) const {
  for (auto& b : m_boxes)
    if (&b->list == list) return b.get();
  return nullptr;
}

GetZhiItem* CMyDesk::ActiveBox() const {
  for (auto& b : m_boxes)
    if (b->active) return b.get();
  return nullptr;
}

void CMyDesk::SetActiveBox(GetZhiItem* box) {
  for (auto& b : m_boxes) b->active = b.get() == box;
}

GetZhiItem* CMyDesk::FindBoxByName(const std::wstring& name) const {
  for (auto& b : m_boxes)
    if (SameText(b->name, name)) return b.get();
  return nullptr;
}

BOOL CMyDesk::BoxNameExists(const std::wstring& name) {
  return DeskTableHasBoxName(TheApp().desk.boxRecords, ToU16(name));
}

VxListItem* CMyDesk::FindEntry(LPCITEMIDLIST pidl, VxListCtrl** owner) const {
  if (!pidl) return nullptr;
  std::wstring parse;  // worked out only when the identifier comparison finds nothing
  bool parseDone = false;
  auto lists = const_cast<CMyDesk*>(this)->AllLists();
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items())
      if (m_shell.SameItem(EntryPidl(e), pidl)) {
        if (owner) *owner = list;
        return e;
      }
  // Notifications may carry a full path from the root instead of the desktop child.
  if (!parseDone) parse = AbsoluteParseName(m_shell.Folder(), pidl);
  if (parse.empty()) return nullptr;
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items())
      if (SameText(e->szPath, parse)) {
        if (owner) *owner = list;
        return e;
      }
  return nullptr;
}

BOOL CMyDesk::IsShown(LPCITEMIDLIST pidl) const {
  auto lists = const_cast<CMyDesk*>(this)->AllLists();
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items())
      if (m_shell.SameItem(EntryPidl(e), pidl)) return TRUE;
  return FALSE;
}

const std::wstring* CMyDesk::TargetBoxNameFor(int kind) const {
  const AppGlobals& g = TheApp();
  switch (kind) {
    case KIND_FOLDER: return &g.desk.folderTarget;
    case KIND_FILE: return &g.desk.fileTarget;
    case KIND_SHORTCUT: return &g.desk.shortcutTarget;
    default: return nullptr;
  }
}

void CMyDesk::SaveConfigNowOrLater() {
  if (m_batchDepth > 0)
    m_configDirty = TRUE;
  else
    SaveConfig();
}

void CMyDesk::RelayoutList(VxListCtrl* list, bool gridForDeskList) {
  if (GetZhiItem* box = BoxOfList(list)) {
    LayoutBox(box, FALSE);
  } else if (gridForDeskList) {
    list->ReSetPos(TRUE);
  }
}

// ---- boxes ----
void CMyDesk::SetupBoxList(GetZhiItem* box, int listType) {
  box->list.SetArrange(FALSE);  // boxes fill rows, left to right
  box->list.SetListType(static_cast<VxListType>(listType));
  box->list.SetParent(OwnerHwnd());
  VxListCallbacks cb;
  cb.pfnDblClick = &OpenEntry;
  cb.lpParam = this;
  box->list.SetListCallBack(&cb);
  CRect lr = ListRectOf(box->rect);
  box->list.SetRect(lr.left, lr.top, lr.Width(), lr.Height());
}

GetZhiItem* CMyDesk::AddBox(std::unique_ptr<GetZhiItem> box) {
  m_boxes.push_back(std::move(box));
  return m_boxes.back().get();
}

void CMyDesk::PlaceDeskList() {
  m_deskList.SetListType(TheApp().desk.config.smallIcons == 1 ? VXLT_ICON : VXLT_BIGICON);
  m_deskList.SetRect(m_pageRect.left + kDeskListLeft, m_pageRect.top + kDeskListTop,
                     (m_pageRect.right - m_pageRect.left) - kDeskListLeft,
                     (m_pageRect.bottom - m_pageRect.top) - kDeskListTop);
  m_deskList.SetShow(!m_iconsHidden);
}

// ---- files ----
void CMyDesk::ClearDesk() {
  m_boxes.clear();
  m_deskList.RemoveAll();
  ClearPendingDrop();
}

void CMyDesk::SaveDesk() {
  if (m_owner) m_owner->ClearPendingSave();
  if (!EnsureDataFolder()) return;
  const std::wstring folder = DataFolderPath();
  AppGlobals& g = TheApp();

  auto recordsOf = [](VxListCtrl& list) {
    CRect lr;
    list.GetRect(&lr);
    std::vector<DeskItemRecord> records;
    records.reserve(list.GetCount());
    for (VxListItem* e : list.Items()) {
      DeskItemRecord r;
      r.parseName = ToU16(e->szPath);
      r.x = e->rcPos.left - lr.left;
      r.y = e->rcPos.top - lr.top;
      records.push_back(std::move(r));
    }
    return records;
  };

  // Every file of the layout is replaced in one commit, so a crash leaves the layout as it
  // was or as it is now. The table in memory always describes the files on disk: it changes
  // only when the commit went through.
  std::vector<DeskFileWrite> files;
  files.push_back(DeskFileWrite{ToW(kDeskListItemFile), EncodeItemFile(recordsOf(m_deskList))});
  std::vector<GeziSaveData> table;
  std::vector<std::u16string> names, fileNames;
  for (auto& b : m_boxes) names.push_back(ToU16(b->name));
  const DeskRect page = ToDeskRect(m_pageRect);
  for (auto& b : m_boxes) {
    DeskBox box;
    box.name = ToU16(b->name);
    // Two boxes of one name (a table from elsewhere may hold them) would share an item file
    // and one would lose its icons: the later one takes a free name.
    for (const std::u16string& used : fileNames)
      if (DeskTextEqual(used, DeskBoxFileName(box.name))) {
        box.name = DeskUniqueBoxName(box.name, names);
        names.push_back(box.name);
        b->name = ToW(box.name);
        break;
      }
    box.rect = ToDeskRect(b->rect);
    box.fixedPos = static_cast<uint8_t>(b->fixedPos ? 1 : 0);
    box.listType = b->list.GetListType() == VXLT_LIST ? kDeskBoxRows : kDeskBoxIcons;
    GeziSaveData record;
    if (!DeskBoxToRecord(box, page, ToU16(folder), &record)) continue;
    fileNames.push_back(DeskBoxFileName(box.name));
    table.push_back(record);
    files.push_back(DeskFileWrite{ToW(fileNames.back()), EncodeItemFile(recordsOf(b->list))});
  }
  const std::vector<GeziSaveData> oldTable = std::move(g.desk.boxRecords);
  const std::u16string oldDeskFile = g.desk.config.deskItemFile;
  g.desk.boxRecords = std::move(table);
  g.desk.config.deskItemFile = ToU16(folder) + kDeskListItemFile;
  AddConfigFiles(&files);
  if (!CommitDeskFiles(files)) {
    g.desk.boxRecords = oldTable;
    g.desk.config.deskItemFile = oldDeskFile;
  }
}

void CMyDesk::ResolveInto(VxListCtrl* list, const std::vector<DeskItemRecord>& records,
                          bool deskList, const std::vector<DesktopChild>& children) {
  CRect lr;
  list->GetRect(&lr);
  ShownItems shown = ShownNames();
  std::unordered_map<std::u16string, const DesktopChild*> byName;
  for (const DesktopChild& c : children) byName.emplace(DeskFoldCase(ToU16(c.parseName)), &c);
  for (const DeskItemRecord& r : records) {
    auto found = byName.find(DeskFoldCase(r.parseName));
    const DesktopChild* match = found == byName.end() ? nullptr : found->second;
    if (!match) continue;  // gone from the desktop: dropped
    VxListItem entry;
    if (IsShownChild(*match, shown) || !BuildEntry(*match, &entry, 0)) continue;
    shown.emplace(DeskFoldCase(ToU16(match->parseName)), match->pidl.get());
    if (deskList)
      PlaceItem(list, &entry, r.x + lr.left, r.y + lr.top);
    else
      list->AddItem(&entry, TRUE);
  }
}

void CMyDesk::LoadDesk() {
  DeskBatch batch(this);
  ClearDesk();
  PlaceDeskList();
  const std::vector<DesktopChild> children = m_shell.Children();
  const AppGlobals& g = TheApp();
  for (const DeskBox& saved : DeskBoxesFromTable(g.desk.boxRecords, ToDeskRect(m_pageRect))) {
    auto box = std::make_unique<GetZhiItem>();
    box->name = ToW(saved.name);
    box->rect = RECT{saved.rect.left, saved.rect.top, saved.rect.right, saved.rect.bottom};
    box->fixedPos = saved.fixedPos;
    SetupBoxList(box.get(), saved.listType == kDeskBoxRows ? VXLT_LIST : VXLT_BIGICON);
    if (!saved.itemFile.empty())
      ResolveInto(&box->list, ReadItemFile(ToW(saved.itemFile)), false, children);
    GetZhiItem* added = AddBox(std::move(box));
    LayoutBox(added, TRUE);
    added->shown = !m_iconsHidden;
  }
  if (!g.desk.config.deskItemFile.empty())
    ResolveInto(&m_deskList, ReadItemFile(ToW(g.desk.config.deskItemFile)), true, children);
  GetZhiItem* active = ActiveBox();
  AddMissingItems(active ? &active->list : &m_deskList, children);
  RequestRepaint();
}

// ---- scan and organize ----
int CMyDesk::BuildEntry(LPCITEMIDLIST pidl, VxListItem* entry, int check) {
  if (!pidl || !entry) return 0;
  if (check && IsShown(pidl)) return 0;
  return FillEntry(pidl, m_shell.DisplayName(pidl), m_shell.ParseName(pidl), entry);
}

int CMyDesk::BuildEntry(const DesktopChild& child, VxListItem* entry, int check) {
  if (!child.pidl || !entry) return 0;
  if (check && IsShownChild(child, ShownNames())) return 0;
  return FillEntry(child.pidl.get(), child.displayName, child.parseName, entry);
}

CMyDesk::ShownItems CMyDesk::ShownNames() const {
  ShownItems names;
  auto lists = const_cast<CMyDesk*>(this)->AllLists();
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items()) names.emplace(DeskFoldCase(ToU16(e->szPath)), EntryPidl(e));
  return names;
}

BOOL CMyDesk::IsShownChild(const DesktopChild& child, const ShownItems& names) const {
  // Entries keep the parsing name they were built with and are rebuilt on every rename
  // notification, so a child whose name no entry carries is not shown.
  const auto same = names.equal_range(DeskFoldCase(ToU16(child.parseName)));
  if (same.first == same.second) return FALSE;
  for (auto it = same.first; it != same.second; ++it)
    if (m_shell.SameItem(it->second, child.pidl.get())) return TRUE;
  return IsShown(child.pidl.get());
}

int CMyDesk::FillEntry(LPCITEMIDLIST pidl, const std::wstring& display, const std::wstring& parse,
                       VxListItem* entry) {
  const int kind = ClassifyDesktopItem(parse);
  if (kind == 0) return 0;
  delete entry->pIcon;
  entry->pIcon = m_shell.Icon48(pidl, parse, kind);
  if (entry->pData && entry->pfnFreeData) entry->pfnFreeData(entry->pData);
  entry->pData = ::ILClone(pidl);
  entry->pfnFreeData = &FreePidl;
  CopyName(entry->szName, display);
  CopyName(entry->szPath, parse);
  entry->nData[kEntryKind] = kind;
  entry->ClearTextCache();
  return 1;
}

void CMyDesk::StartDesk() {
  // Windows before Vista report the work area in screen terms with the origin wherever the
  // taskbar leaves it; the page then starts at 0,0.
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (IsPreVistaWindows())
    m_pageRect = RECT{0, 0, work.right - work.left, work.bottom - work.top};
  else
    m_pageRect = work;
  m_deskList.SetArrange(TRUE);  // the desk list fills columns, like the Windows desktop
  m_deskList.SetListMode(VXLM_FREE);
  m_deskList.SetParent(OwnerHwnd());
  VxListCallbacks cb;
  cb.pfnDblClick = &OpenEntry;
  cb.lpParam = this;
  m_deskList.SetListCallBack(&cb);
  PlaceDeskList();
  Organize(0);
  RegisterShellNotify();
}

void CMyDesk::RegisterShellNotify() {
  HWND owner = OwnerHwnd();
  if (!owner || m_notifyId) return;
  LPITEMIDLIST desktop = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop))) return;
  // The desktop's files live in the Desktop directories, whose notifications carry their
  // file-system identifier lists: watch those folders as well as the desktop itself.
  LPITEMIDLIST userDir = nullptr, commonDir = nullptr;
  ::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &userDir);
  ::SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY, &commonDir);
  // Watched recursively because some shells (Wine) deliver nothing to a non-recursive watch;
  // OnShellChangeMessage drops what happens deeper than the desktop itself.
  SHChangeNotifyEntry entries[3] = {{desktop, TRUE}, {userDir, TRUE}, {commonDir, TRUE}};
  const int count = userDir ? (commonDir ? 3 : 2) : 1;
  // New delivery hands over a lock on the notification, so its identifier lists stay valid
  // while the handler runs.
  m_notifyId = ::SHChangeNotifyRegister(
      owner, SHCNRF_InterruptLevel | SHCNRF_ShellLevel | SHCNRF_NewDelivery, SHCNE_ALLEVENTS,
      WM_DESK_SHELLCHANGE, count, entries);
  ::CoTaskMemFree(desktop);
  ::CoTaskMemFree(userDir);
  ::CoTaskMemFree(commonDir);
}

bool CMyDesk::IsDesktopLevel(LPCITEMIDLIST pidl) const {
  if (!pidl) return false;
  const std::wstring path = AbsoluteParseName(m_shell.Folder(), pidl);
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return true;  // a shell item of the desktop itself
  std::wstring folder = path.substr(0, slash);
  for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY}) {
    wchar_t dir[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, dir))) continue;
    if (SameText(folder, dir) || SameText(path, dir)) return true;
  }
  return false;
}

void CMyDesk::OnShellChangeMessage(WPARAM wParam, LPARAM lParam) {
  PIDLIST_ABSOLUTE* pidls = nullptr;
  LONG event = 0;
  HANDLE lock = ::SHChangeNotification_Lock(reinterpret_cast<HANDLE>(wParam),
                                            static_cast<DWORD>(lParam), &pidls, &event);
  if (!lock) return;
  LPCITEMIDLIST first = pidls ? pidls[0] : nullptr, second = pidls ? pidls[1] : nullptr;
  if (IsDesktopLevel(first) || IsDesktopLevel(second)) OnShellChange(event, first, second);
  ::SHChangeNotification_Unlock(lock);
}

void CMyDesk::Organize(int repaint) {
  AppGlobals& g = TheApp();
  if (g.desk.config.organizePending == 0) {
    LoadDesk();
    return;
  }
  DeskBatch batch(this);
  g.desk.config.organizePending = 0;
  m_iconsHidden = FALSE;
  ClearDesk();
  PlaceDeskList();
  const RECT R = m_pageRect;
  ShownItems shown;  // the desk was just cleared
  const std::vector<DesktopChild> children = m_shell.Children();
  for (const DesktopChild& child : children) {
    VxListItem entry;
    if (IsShownChild(child, shown) || !BuildEntry(child, &entry, 0)) continue;
    shown.emplace(DeskFoldCase(ToU16(child.parseName)), child.pidl.get());
    const int kind = entry.nData[kEntryKind];
    if (kind == KIND_SPECIAL || kind == KIND_SHORTCUT) {
      m_deskList.AddItem(&entry, TRUE);
      continue;
    }
    GetZhiItem* box = nullptr;
    for (auto& b : m_boxes)
      if (b->kind == kind) {
        box = b.get();
        break;
      }
    if (!box) {
      auto made = std::make_unique<GetZhiItem>();
      made->kind = kind;
      if (kind == KIND_FOLDER) {
        made->name = L"文件夹";
        made->rect = RECT{R.right - 5 - 260, R.top + 32, R.right - 5, R.top + 32 + 400};
        SetupBoxList(made.get(), VXLT_BIGICON);
      } else {
        made->name = L"文件";
        const int top = R.top + 437;
        made->rect = RECT{R.right - 5 - 260, top, R.right - 5, std::max<LONG>(top + 100, R.bottom - 5)};
        SetupBoxList(made.get(), VXLT_LIST);
      }
      box = AddBox(std::move(made));
    }
    box->list.AddItem(&entry, TRUE);
    box->shown = 1;
  }
  for (auto& b : m_boxes) LayoutBox(b.get(), FALSE);
  // The cleared organizing flag and the boxes it made reach the disk in one commit: saving
  // the flag alone would tell the next start that organizing ran while no box was saved.
  SaveDesk();
  if (repaint == 1) RequestRepaint();
}

void CMyDesk::PlaceItem(VxListCtrl* list, VxListItem* entry, int x, int y) {
  const AppGlobals& g = TheApp();
  if (m_dropBox) {
    m_dropBox->list.InsertItem(entry, m_dropIndex < 0 ? m_dropBox->list.GetCount() : m_dropIndex);
    LayoutBox(m_dropBox, FALSE);
  } else if (m_dropOnDeskList) {
    if (g.desk.config.autoArrange) {
      m_deskList.InsertItem(entry, m_dropIndex < 0 ? m_deskList.GetCount() : m_dropIndex);
      m_deskList.ReSetPos(TRUE);
    } else {
      m_deskList.AddItem(entry, m_dropPoint.x, m_dropPoint.y);
    }
  } else if (GetZhiItem* box = BoxOfList(list)) {
    box->list.AddItem(entry, TRUE);
    LayoutBox(box, FALSE);
  } else {
    const std::wstring* target = TargetBoxNameFor(entry->nData[kEntryKind]);
    if (g.desk.autoOrganize == 1 && target && !target->empty()) {
      if (GetZhiItem* named = FindBoxByName(*target)) {
        named->list.AddItem(entry, TRUE);
        LayoutBox(named, FALSE);
      } else {
        m_deskList.AddItem(entry, TRUE);
      }
    } else if (g.desk.config.autoArrange || (x == -1 && y == -1)) {
      m_deskList.AddItem(entry, TRUE);
    } else {
      m_deskList.AddItem(entry, x, y);
    }
  }
  SaveConfigNowOrLater();
}

void CMyDesk::AddMissingItems(VxListCtrl* list) { AddMissingItems(list, m_shell.Children()); }

void CMyDesk::AddMissingItems(VxListCtrl* list, const std::vector<DesktopChild>& children) {
  DeskBatch batch(this);
  ShownItems shown = ShownNames();
  for (const DesktopChild& child : children) {
    VxListItem entry;
    if (IsShownChild(child, shown) || !BuildEntry(child, &entry, 0)) continue;
    shown.emplace(DeskFoldCase(ToU16(child.parseName)), child.pidl.get());
    entry.nData[kEntryFlash] = kFlashTicks;
    PlaceItem(list, &entry, -1, -1);
  }
}

int CMyDesk::SyncWithDesktop() {
  const std::vector<DesktopChild> children = m_shell.Children();
  std::vector<const DesktopChild*> shown;
  for (const DesktopChild& c : children)
    if (ClassifyDesktopItem(c.parseName) != 0) shown.push_back(&c);
  int removedAny = 0;
  for (VxListCtrl* list : AllLists()) {
    bool removed = false;
    const std::vector<VxListItem*> entries = list->Items();
    for (VxListItem* e : entries) {
      if (IsRecycleBin(e)) {
        // Its icon changes between empty and full.
        delete e->pIcon;
        e->pIcon = m_shell.Icon48(EntryPidl(e));
      }
      const DesktopChild* match = nullptr;
      for (const DesktopChild* c : shown)
        if (m_shell.SameItem(c->pidl.get(), EntryPidl(e))) {
          match = c;
          break;
        }
      if (match) {
        if (match->displayName != e->szName) {
          CopyName(e->szName, match->displayName);
          e->ClearTextCache();
        }
      } else {
        list->RemoveAt(e, TRUE);
        removed = true;
      }
    }
    if (removed) {
      removedAny = 1;
      RelayoutList(list, TheApp().desk.config.autoArrange != 0);
    }
  }
  return removedAny;
}

void CMyDesk::OnShellChange(LONG event, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) {
  const bool autoArrange = TheApp().desk.config.autoArrange != 0;
  switch (event) {
    case SHCNE_RENAMEITEM:
    case SHCNE_RENAMEFOLDER: {
      VxListCtrl* list = nullptr;
      VxListItem* e = FindEntry(pidl1, &list);
      if (!e) break;
      const std::wstring newPath = AbsoluteParseName(m_shell.Folder(), pidl2);
      if (newPath.empty() || SameText(newPath, e->szPath)) break;
      // Rebuild from the desktop child with the new name, so the entry keeps its place.
      for (const DesktopChild& c : m_shell.Children())
        if (SameText(c.parseName, newPath)) {
          BuildEntry(c.pidl.get(), e, 0);
          break;
        }
      RelayoutList(list, autoArrange);
      break;
    }
    case SHCNE_CREATE:
    case SHCNE_MKDIR: {
      GetZhiItem* active = ActiveBox();
      AddMissingItems(active ? &active->list : &m_deskList);
      break;
    }
    case SHCNE_DELETE:
    case SHCNE_RMDIR: {
      VxListCtrl* list = nullptr;
      VxListItem* e = FindEntry(pidl1, &list);
      if (!e) break;
      list->RemoveAt(e, TRUE);
      RelayoutList(list, autoArrange);
      list->ClearState();
      break;
    }
    case SHCNE_UPDATEDIR:
    case SHCNE_UPDATEITEM: {
      VxListCtrl* list = nullptr;
      VxListItem* e = FindEntry(pidl1, &list);
      if (!e) break;
      const std::wstring now = AbsoluteParseName(m_shell.Folder(), pidl1);
      if (!now.empty() && !SameText(now, e->szPath)) BuildEntry(EntryPidl(e), e, 0);
      if (BoxOfList(list)) RelayoutList(list, false);
      break;
    }
    case SHCNE_ASSOCCHANGED:
      if (m_reloadOnAssocChange) {
        LoadDesk();
        m_reloadOnAssocChange = FALSE;
      }
      break;
    default:
      break;
  }
  SyncWithDesktop();
  AddMissingItems(&m_deskList);
  RequestRepaint();
}

// ---- commands ----
void CMyDesk::OrganizeIcons() {
  AppGlobals& g = TheApp();
  const int before = g.desk.autoOrganize;
  g.desk.autoOrganize = 1;
  Organize(1);
  g.desk.autoOrganize = before;
  SaveDesk();
}

GetZhiItem* CMyDesk::NewBox(POINT at) {
  std::vector<std::u16string> taken;
  for (auto& b : m_boxes) taken.push_back(ToU16(b->name));
  auto box = std::make_unique<GetZhiItem>();
  box->name = ToW(DeskUniqueBoxName(u"新建分类", taken));
  box->rect = RECT{at.x, at.y, at.x + kNewBoxWidth, at.y + kNewBoxHeight};
  SetupBoxList(box.get(), VXLT_BIGICON);
  GetZhiItem* added = AddBox(std::move(box));
  LayoutBox(added, TRUE);
  RequestRepaint();
  SaveDesk();
  return added;
}

void CMyDesk::RestoreDesk() {
  AppGlobals& g = TheApp();
  g.desk.config = DeskConfig();
  g.desk.config.deskItemFile.clear();
  g.desk.config.organizePending = 1;
  Organize(1);
  SaveDesk();
}

void CMyDesk::Refresh() {
  SyncWithDesktop();
  AddMissingItems(&m_deskList);
  RequestRepaint();
}

void CMyDesk::SortList(int key, GetZhiItem* box) {
  if (key < kDeskSortName || key > kDeskSortSize) return;
  VxListCtrl* list = box ? &box->list : &m_deskList;
  const int d = m_sortDirections.Take(static_cast<DeskSortKey>(key));
  const std::vector<VxListItem*> entries = list->Items();
  std::vector<DeskSortEntry> keys;
  keys.reserve(entries.size());
  for (VxListItem* e : entries) {
    DeskSortEntry k;
    k.kind = e->nData[kEntryKind];
    k.displayName = ToU16(e->szName);
    k.parseName = ToU16(e->szPath);
    unsigned long long time = 0;
    unsigned size = 0;
    if (key == kDeskSortTime || key == kDeskSortSize) FileTimeAndSize(e->szPath, &time, &size);
    k.lastWrite = time;
    k.size = size;
    keys.push_back(std::move(k));
  }
  const std::vector<size_t> order = DeskSortOrder(keys, static_cast<DeskSortKey>(key), d);
  for (size_t i = 0; i < order.size(); ++i) list->SetItem(static_cast<int>(i), entries[order[i]]);
  if (box)
    LayoutBox(box, FALSE);
  else
    list->ReSetPos(TRUE);
  RequestRepaint();
}

void CMyDesk::SetDefaultIcons() {
  DeskConfig& c = TheApp().desk.config;
  if (c.smallIcons != 1) return;  // already normal: nothing changes, nothing is written
  m_deskList.SetListType(VXLT_BIGICON);
  m_deskList.ReSetPos(c.autoArrange ? TRUE : FALSE);
  c.smallIcons = 0;
  SaveConfig();
  RequestRepaint();
}

void CMyDesk::SetSmallIcons() {
  DeskConfig& c = TheApp().desk.config;
  if (c.smallIcons == 1) return;  // already small: nothing changes, nothing is written
  c.smallIcons = 1;
  m_deskList.SetListType(VXLT_ICON);
  m_deskList.ReSetPos(c.autoArrange ? TRUE : FALSE);
  SaveConfig();
  RequestRepaint();
}

void CMyDesk::ToggleAutoArrange() {
  DeskConfig& c = TheApp().desk.config;
  c.autoArrange = c.autoArrange ? 0 : 1;
  if (c.autoArrange) m_deskList.ReSetPos(TRUE);
  SaveConfig();
  RequestRepaint();
}

void CMyDesk::ToggleDblClickHide() {
  DeskConfig& c = TheApp().desk.config;
  c.dblClickHide = c.dblClickHide ? 0 : 1;
  SaveConfig();
}

void CMyDesk::SetPendingDrop(GetZhiItem* box, int index, POINT deskPoint, BOOL onDeskList) {
  m_dropBox = box;
  m_dropIndex = index;
  m_dropPoint = deskPoint;
  m_dropOnDeskList = onDeskList;
}

void CMyDesk::ClearPendingDrop() { SetPendingDrop(nullptr, -1, POINT{-1, -1}, FALSE); }
