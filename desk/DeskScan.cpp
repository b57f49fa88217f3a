// The desk model in step with the desktop: building entries from desktop children, desk
// start, organizing, the placement rule, change notifications and synchronising.
#include <shlobj.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "desk/DeskEntries.h"
#include "desk/DeskFiles.h"
#include "desk/DeskModel.h"
#include "desk/MyDesk.h"
#include "desk/core/box_geometry.h"
#include "desk/core/desk_boxes.h"
#include "desk/core/desk_place.h"
#include "desk/core/desk_text.h"
#include "uilib/VxTypes.h"

// ---- scan and organize ----
int CDeskModel::BuildEntry(LPCITEMIDLIST pidl, VxListItem* entry, int check) {
  if (!pidl || !entry) return 0;
  if (check && IsShown(pidl)) return 0;
  return FillEntry(pidl, m_shell.DisplayName(pidl), m_shell.ParseName(pidl), entry);
}

int CDeskModel::BuildEntry(const DesktopChild& child, VxListItem* entry, int check) {
  if (!child.pidl || !entry) return 0;
  if (check && IsShownChild(child, ShownNames())) return 0;
  return FillEntry(child.pidl.get(), child.displayName, child.parseName, entry);
}

CDeskModel::ShownItems CDeskModel::ShownNames() const {
  ShownItems names;
  auto lists = const_cast<CDeskModel*>(this)->AllLists();
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items()) names.emplace(DeskFoldCase(ToU16(e->szPath)), DeskEntryPidl(e));
  return names;
}

BOOL CDeskModel::IsShownChild(const DesktopChild& child, const ShownItems& names) const {
  // Entries keep the parsing name they were built with and are rebuilt on every rename
  // notification, so a child whose name no entry carries is not shown.
  const auto same = names.equal_range(DeskFoldCase(ToU16(child.parseName)));
  if (same.first == same.second) return FALSE;
  for (auto it = same.first; it != same.second; ++it)
    if (m_shell.SameItem(it->second, child.pidl.get())) return TRUE;
  return IsShown(child.pidl.get());
}

int CDeskModel::FillEntry(LPCITEMIDLIST pidl, const std::wstring& display, const std::wstring& parse,
                       VxListItem* entry) {
  const int kind = ClassifyDesktopItem(parse);
  if (kind == 0) return 0;
  delete entry->pIcon;
  entry->pIcon = m_shell.Icon48(pidl, parse, kind);
  if (entry->pData && entry->pfnFreeData) entry->pfnFreeData(entry->pData);
  entry->pData = ::ILClone(pidl);
  entry->pfnFreeData = &FreePidl;
  DeskCopyName(entry->szName, display);
  DeskCopyName(entry->szPath, parse);
  entry->nData[kEntryKind] = kind;
  entry->ClearTextCache();
  return 1;
}

void CDeskModel::StartDesk() {
  // Windows before Vista report the work area in screen terms with the origin wherever the
  // taskbar leaves it; the page then starts at 0,0.
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (IsPreVistaWindows())
    m_desk.SetPageRect(RECT{0, 0, work.right - work.left, work.bottom - work.top});
  else
    m_desk.SetPageRect(work);
  m_deskList.SetArrange(TRUE);  // the desk list fills columns, like the Windows desktop
  m_deskList.SetListMode(VXLM_FREE);
  m_deskList.SetParent(OwnerHwnd());
  VxListCallbacks cb;
  cb.pfnDblClick = &DeskOpenEntry;
  cb.lpParam = this;
  m_deskList.SetListCallBack(&cb);
  PlaceDeskList();
  m_shell.TakeIconIndexes(DeskTakePrefetchedIcons());
  Organize(0);
  // Later listings look again: a shortcut may have been given another icon since.
  m_shell.TakeIconIndexes({});
  RegisterShellNotify();
}

void CDeskModel::RegisterShellNotify() {
  HWND owner = OwnerHwnd();
  if (!owner || m_watch.Running()) return;
  // The desktop's files live in the Desktop directories, whose notifications carry their
  // file-system identifier lists: watch those folders as well as the desktop itself.
  // Watched recursively because some shells (Wine) deliver nothing to a non-recursive watch;
  // OnShellChangeMessage drops what happens deeper than the desktop itself.
  std::vector<PidlPtr> owned;
  std::vector<LPCITEMIDLIST> folders;
  m_desktopDirs.clear();
  m_desktopDirIds.clear();
  for (int csidl : {CSIDL_DESKTOP, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY}) {
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) continue;
    owned.emplace_back(pidl);
    folders.push_back(pidl);
    wchar_t dir[MAX_PATH] = {};
    // Events are matched against the directories' paths many times a second: looked up once.
    if (csidl != CSIDL_DESKTOP && SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, dir)))
      m_desktopDirs.push_back(dir);
  }
  m_watch.Start(owner, WM_DESK_SHELLCHANGE, folders);
}

bool CDeskModel::IsDesktopDirectory(LPCITEMIDLIST pidl) const {
  const std::wstring path = pidl ? DeskAbsoluteParseName(m_shell.Folder(), pidl) : std::wstring();
  for (const std::wstring& dir : m_desktopDirs)
    if (DeskSameText(path, dir)) return true;
  return false;
}

bool CDeskModel::IsDesktopLevel(LPCITEMIDLIST pidl) const {
  if (!pidl) return false;
  // A paste brings a thousand events for files of one folder, and asking the shell for a
  // path costs about a millisecond: folders known to be a Desktop directory are kept by
  // their identifier list's bytes.
  const size_t parentBytes = reinterpret_cast<const BYTE*>(::ILFindLastID(pidl)) - reinterpret_cast<const BYTE*>(pidl);
  const std::string parent(reinterpret_cast<const char*>(pidl), parentBytes);
  if (parentBytes > 0 && m_desktopDirIds.count(parent)) return true;
  const std::wstring path = DeskAbsoluteParseName(m_shell.Folder(), pidl);
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return true;  // a shell item of the desktop itself
  std::wstring folder = path.substr(0, slash);
  for (const std::wstring& dir : m_desktopDirs) {
    if (DeskSameText(folder, dir)) {
      // Bytes change with the folder's time stamp, so only the recent ones are worth keeping.
      if (m_desktopDirIds.size() > 64) m_desktopDirIds.clear();
      if (parentBytes > 0) m_desktopDirIds.insert(parent);
      return true;
    }
    if (DeskSameText(path, dir)) return true;
  }
  return false;
}

void CDeskModel::OnShellChangeMessage(WPARAM, LPARAM) {
  bool any = false, burstOver = false;
  for (const DeskShellEvent& e : m_watch.Take())
    if (IsDesktopLevel(e.first.get()) || IsDesktopLevel(e.second.get())) {
      ApplyShellEvent(e.event, e.first.get(), e.second.get());
      any = true;
      // A shell operation ends with one word for the whole folder.
      burstOver |= e.event == SHCNE_UPDATEDIR && IsDesktopDirectory(e.first.get());
    }
  if (!any) return;
  if (burstOver) {
    StopShellSync();
    m_shellSyncPending = TRUE;
    FlushShellChanges();
  } else {
    ScheduleShellSync();
  }
}

namespace {
// Thread timers carry no window: the model of each running timer.
std::unordered_map<UINT_PTR, CDeskModel*>& SyncTimers() {
  static std::unordered_map<UINT_PTR, CDeskModel*> timers;
  return timers;
}
// Timer messages wait behind every other message, so this fires once the burst has passed.
constexpr UINT kShellSyncDelayMs = 50;
}  // namespace

void CDeskModel::ScheduleShellSync() {
  m_shellSyncPending = TRUE;
  if (m_shellSyncTimer) return;
  // The shell's copy shares the processor with the desk: a flush that came every 50 ms
  // whatever it cost would slow a long paste down more and more as the desk fills. Waiting
  // three times as long as the last flush took keeps flushing to a quarter of the time.
  const UINT delay = std::max<UINT>(kShellSyncDelayMs, 3 * m_lastFlushMs);
  m_shellSyncTimer = ::SetTimer(nullptr, 0, delay, &CDeskModel::ShellSyncTimer);
  if (m_shellSyncTimer)
    SyncTimers()[m_shellSyncTimer] = this;
  else
    FlushShellChanges();
}

void CDeskModel::StopShellSync() {
  if (!m_shellSyncTimer) return;
  ::KillTimer(nullptr, m_shellSyncTimer);
  SyncTimers().erase(m_shellSyncTimer);
  m_shellSyncTimer = 0;
}

void CALLBACK CDeskModel::ShellSyncTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = SyncTimers().find(id);
  if (it == SyncTimers().end()) {
    ::KillTimer(nullptr, id);
    return;
  }
  CDeskModel* model = it->second;
  model->StopShellSync();
  model->FlushShellChanges();
}

void CDeskModel::FlushShellChanges() {
  if (!m_shellSyncPending) return;
  m_shellSyncPending = FALSE;
  const DWORD start = ::GetTickCount();
  // One look at the desktop serves the whole burst: on a desktop of a thousand items each
  // look costs tens of milliseconds, and the shell's copy waits while we look.
  const std::vector<DesktopChild> children = m_shell.Children();
  SyncWithDesktop(children);
  // New items, whether their create event came or is still on its way behind the shell's
  // folder update, go where created items go: a paste into the active box leaves none of
  // its files on the desk list.
  GetZhiItem* active = ActiveBox();
  AddMissingItems(active ? &active->list : &m_deskList, children);
  RequestRepaint();
  m_lastFlushMs = ::GetTickCount() - start;
}

void CDeskModel::Organize(int repaint) {
  AppGlobals& g = TheApp();
  if (g.desk.config.organizePending == 0) {
    LoadDesk();
    FollowPage(PageRect());  // saved places may lie beyond this page
    return;
  }
  DeskBatch batch(this);
  g.desk.config.organizePending = 0;
  m_iconsHidden = FALSE;
  ClearDesk();
  PlaceDeskList();
  ShownItems shown;  // the desk was just cleared
  const std::vector<DesktopChild> children = m_shell.Children();
  for (const DesktopChild& child : children) {
    VxListItem entry;
    if (IsShownChild(child, shown) || !BuildEntry(child, &entry, 0)) continue;
    shown.emplace(DeskFoldCase(ToU16(child.parseName)), child.pidl.get());
    const int kind = entry.nData[kEntryKind];
    if (!DeskOrganizeTargetFor(kind).toBox) {
      m_deskList.AddItem(&entry, TRUE);
      continue;
    }
    GetZhiItem* box = OrganizeBoxFor(kind);
    box->list.AddItem(&entry, TRUE);
    box->shown = 1;
  }
  for (auto& b : m_boxes) LayoutBox(b.get(), FALSE);
  // The cleared organizing flag and the boxes it made reach the disk in one commit: saving
  // the flag alone would tell the next start that organizing ran while no box was saved.
  SaveDesk();
  if (repaint == 1) RequestRepaint();
}

GetZhiItem* CDeskModel::OrganizeBoxFor(int kind) {
  for (auto& b : m_boxes)
    if (b->kind == kind) return b.get();
  const DeskOrganizeTarget target = DeskOrganizeTargetFor(kind);
  auto made = std::make_unique<GetZhiItem>();
  made->kind = kind;
  made->name = ToW(std::u16string(target.title));
  made->rect = FromVx(DeskOrganizeBoxRect(kind, ToVx(PageRect())));
  SetupBoxList(made.get(), target.listType == kDeskBoxRows ? VXLT_LIST : VXLT_BIGICON);
  return AddBox(std::move(made));
}

void CDeskModel::PlaceItem(VxListCtrl* list, VxListItem* entry, int x, int y) {
  const AppGlobals& g = TheApp();
  GetZhiItem* given = BoxOfList(list);
  const std::wstring* target = given ? nullptr : TargetBoxNameFor(entry->nData[kEntryKind]);
  DeskArrival a;
  a.dropBoxPending = m_drop.box != nullptr;
  a.dropOnDeskPending = m_drop.onDeskList != FALSE;
  a.intoBox = given != nullptr;
  a.autoOrganize = g.desk.autoOrganize == 1;
  a.kindHasBoxName = target && !target->empty();
  GetZhiItem* named = a.autoOrganize && a.kindHasBoxName ? FindBoxByName(*target) : nullptr;
  a.namedBoxExists = named != nullptr;
  a.autoArrange = g.desk.config.autoArrange != 0;
  a.hasPoint = !(x == -1 && y == -1);
  switch (DeskChoosePlacement(a)) {
    case kPlaceDropBox:
      m_drop.box->list.InsertItem(entry, m_drop.index < 0 ? m_drop.box->list.GetCount() : m_drop.index);
      LayoutBox(m_drop.box, FALSE);
      break;
    case kPlaceDropIndex:
      m_deskList.InsertItem(entry, m_drop.index < 0 ? m_deskList.GetCount() : m_drop.index);
      m_deskList.ReSetPos(TRUE);
      break;
    case kPlaceDropPoint: m_deskList.AddItem(entry, m_drop.point.x, m_drop.point.y); break;
    case kPlaceGivenBox:
      given->list.AddItem(entry, TRUE);
      LayoutBoxNowOrLater(given);
      break;
    case kPlaceNamedBox:
      named->list.AddItem(entry, TRUE);
      LayoutBoxNowOrLater(named);
      break;
    case kPlaceDeskGrid: m_deskList.AddItem(entry, TRUE); break;
    case kPlaceDeskPoint: m_deskList.AddItem(entry, x, y); break;
  }
  SaveConfigNowOrLater();
}

void CDeskModel::AddMissingItems(VxListCtrl* list) { AddMissingItems(list, m_shell.Children()); }

void CDeskModel::AddMissingItems(VxListCtrl* list, const std::vector<DesktopChild>& children) {
  DeskBatch batch(this);
  ShownItems shown = ShownNames();
  for (const DesktopChild& child : children) {
    VxListItem entry;
    if (IsShownChild(child, shown) || !BuildEntry(child, &entry, 0)) continue;
    shown.emplace(DeskFoldCase(ToU16(child.parseName)), child.pidl.get());
    entry.nData[kEntryFlash] = kBoxFlashStart;
    PlaceItem(list, &entry, -1, -1);
  }
}

int CDeskModel::SyncWithDesktop() { return SyncWithDesktop(m_shell.Children()); }

int CDeskModel::SyncWithDesktop(const std::vector<DesktopChild>& children) {
  std::vector<const DesktopChild*> shown;
  for (const DesktopChild& c : children)
    if (ClassifyDesktopItem(c.parseName) != 0) shown.push_back(&c);
  // Children by folded parsing name: entries keep the name they were built with, so the
  // identifier comparison runs once per entry instead of once per pair.
  std::unordered_multimap<std::u16string, const DesktopChild*> byName;
  for (const DesktopChild* c : shown) byName.emplace(DeskFoldCase(ToU16(c->parseName)), c);
  int removedAny = 0;
  for (VxListCtrl* list : AllLists()) {
    bool removed = false;
    const std::vector<VxListItem*> entries = list->Items();
    for (VxListItem* e : entries) {
      if (DeskIsRecycleBin(e)) {
        // Its icon changes between empty and full.
        delete e->pIcon;
        e->pIcon = m_shell.Icon48(DeskEntryPidl(e));
      }
      const DesktopChild* match = nullptr;
      const auto same = byName.equal_range(DeskFoldCase(ToU16(e->szPath)));
      for (auto it = same.first; it != same.second && !match; ++it)
        if (m_shell.SameItem(it->second->pidl.get(), DeskEntryPidl(e))) match = it->second;
      // A name cut to the entry's field cannot be looked up.
      if (!match && wcslen(e->szPath) >= 259)
        for (const DesktopChild* c : shown)
          if (m_shell.SameItem(c->pidl.get(), DeskEntryPidl(e))) {
            match = c;
            break;
          }
      if (match) {
        if (match->displayName != e->szName) {
          DeskCopyName(e->szName, match->displayName);
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

void CDeskModel::OnShellChange(LONG event, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) {
  ApplyShellEvent(event, pidl1, pidl2);
  m_shellSyncPending = TRUE;
  FlushShellChanges();
}

void CDeskModel::ApplyShellEvent(LONG event, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) {
  const bool autoArrange = TheApp().desk.config.autoArrange != 0;
  switch (event) {
    case SHCNE_RENAMEITEM:
    case SHCNE_RENAMEFOLDER: {
      VxListCtrl* list = nullptr;
      VxListItem* e = FindEntry(pidl1, &list);
      if (!e) break;
      const std::wstring newPath = DeskAbsoluteParseName(m_shell.Folder(), pidl2);
      if (newPath.empty() || DeskSameText(newPath, e->szPath)) break;
      // Rebuild from the desktop child with the new name, so the entry keeps its place.
      for (const DesktopChild& c : m_shell.Children())
        if (DeskSameText(c.parseName, newPath)) {
          BuildEntry(c.pidl.get(), e, 0);
          break;
        }
      RelayoutList(list, autoArrange);
      break;
    }
    case SHCNE_CREATE:
    case SHCNE_MKDIR:
      break;  // the flush after the burst takes new items in
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
      const std::wstring now = DeskAbsoluteParseName(m_shell.Folder(), pidl1);
      if (!now.empty() && !DeskSameText(now, e->szPath)) BuildEntry(DeskEntryPidl(e), e, 0);
      if (BoxOfList(list)) RelayoutList(list, false);
      break;
    }
    case SHCNE_ASSOCCHANGED:
      if (m_reloadOnAssocChange) {
        LoadDesk();
        FollowPage(PageRect());
        m_reloadOnAssocChange = FALSE;
      }
      break;
    default:
      break;
  }
}

