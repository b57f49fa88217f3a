// The desk model: lookups, the files, the boxes and their commands, and following the work
// area (the desktop scan and its notifications are in DeskScan.cpp).
#include "desk/DeskModel.h"

#include <algorithm>
#include <unordered_map>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "desk/DeskEntries.h"
#include "desk/DeskFiles.h"
#include "desk/MyDesk.h"
#include "uilib/VxTypes.h"
#include "desk/core/box_geometry.h"
#include "desk/core/desk_boxes.h"
#include "desk/core/desk_place.h"
#include "desk/core/desk_text.h"

namespace {

// Desk list offset inside the page (room for the toolbar).
constexpr int kDeskListLeft = 10, kDeskListTop = 37;
constexpr int kNewBoxWidth = 260, kNewBoxHeight = 318;

}  // namespace

DeskBatch::~DeskBatch() {
  if (model_->m_batchDepth == 1) model_->LayoutPendingBoxes();
  if (--model_->m_batchDepth == 0 && model_->m_configDirty) {
    model_->m_configDirty = FALSE;
    SaveConfig();
  }
}

CDeskModel::CDeskModel(CMyDesk& desk) : m_desk(desk) {}

CDeskModel::~CDeskModel() { StopShellSync(); }

void CDeskModel::Close() {
  StopShellSync();
  m_watch.Stop();
  if (!m_boxes.empty() || m_deskList.GetCount() > 0) SaveDesk();
  ClearDesk();
}

HWND CDeskModel::OwnerHwnd() const { return m_desk.OwnerHwnd(); }
void CDeskModel::RequestRepaint() { m_desk.RequestRepaint(); }
const RECT& CDeskModel::PageRect() const { return m_desk.PageRect(); }

// ---- helpers ----
std::vector<VxListCtrl*> CDeskModel::AllLists() {
  std::vector<VxListCtrl*> lists{&m_deskList};
  for (auto& b : m_boxes) lists.push_back(&b->list);
  return lists;
}

GetZhiItem* CDeskModel::BoxOfList(const VxListCtrl* list) const {
  for (auto& b : m_boxes)
    if (&b->list == list) return b.get();
  return nullptr;
}

GetZhiItem* CDeskModel::ActiveBox() const {
  for (auto& b : m_boxes)
    if (b->active) return b.get();
  return nullptr;
}

void CDeskModel::SetActiveBox(GetZhiItem* box) {
  for (auto& b : m_boxes) b->active = b.get() == box;
}

GetZhiItem* CDeskModel::FindBoxByName(const std::wstring& name) const {
  for (auto& b : m_boxes)
    if (DeskSameText(b->name, name)) return b.get();
  return nullptr;
}

VxListItem* CDeskModel::FindEntry(LPCITEMIDLIST pidl, VxListCtrl** owner) const {
  if (!pidl) return nullptr;
  std::wstring parse;  // worked out only when the identifier comparison finds nothing
  bool parseDone = false;
  auto lists = const_cast<CDeskModel*>(this)->AllLists();
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items())
      if (m_shell.SameItem(DeskEntryPidl(e), pidl)) {
        if (owner) *owner = list;
        return e;
      }
  // Notifications may carry a full path from the root instead of the desktop child.
  if (!parseDone) parse = DeskAbsoluteParseName(m_shell.Folder(), pidl);
  if (parse.empty()) return nullptr;
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items())
      if (DeskSameText(e->szPath, parse)) {
        if (owner) *owner = list;
        return e;
      }
  return nullptr;
}

BOOL CDeskModel::IsShown(LPCITEMIDLIST pidl) const {
  auto lists = const_cast<CDeskModel*>(this)->AllLists();
  for (VxListCtrl* list : lists)
    for (VxListItem* e : list->Items())
      if (m_shell.SameItem(DeskEntryPidl(e), pidl)) return TRUE;
  return FALSE;
}

const std::wstring* CDeskModel::TargetBoxNameFor(int kind) const {
  const AppGlobals& g = TheApp();
  switch (kind) {
    case KIND_FOLDER: return &g.desk.folderTarget;
    case KIND_FILE: return &g.desk.fileTarget;
    case KIND_SHORTCUT: return &g.desk.shortcutTarget;
    default: return nullptr;
  }
}

void CDeskModel::LayoutBoxNowOrLater(GetZhiItem* box) {
  if (m_batchDepth > 0)
    m_layoutPending.push_back(box);
  else
    LayoutBox(box, FALSE);
}

void CDeskModel::LayoutPendingBoxes() {
  // Laying a box out places all its entries: once per batch, not once per arrival (a paste
  // of a thousand files into one box was quadratic). Boxes removed meanwhile are skipped.
  std::vector<GetZhiItem*> pending;
  pending.swap(m_layoutPending);
  for (auto& b : m_boxes)
    if (std::find(pending.begin(), pending.end(), b.get()) != pending.end()) LayoutBox(b.get(), FALSE);
}

void CDeskModel::SaveConfigNowOrLater() {
  if (m_batchDepth > 0)
    m_configDirty = TRUE;
  else
    SaveConfig();
}

void CDeskModel::RelayoutList(VxListCtrl* list, bool gridForDeskList) {
  if (GetZhiItem* box = BoxOfList(list)) {
    LayoutBox(box, FALSE);
  } else if (gridForDeskList) {
    list->ReSetPos(TRUE);
  }
}

// ---- boxes ----
void CDeskModel::SetupBoxList(GetZhiItem* box, int listType) {
  box->list.SetArrange(FALSE);  // boxes fill rows, left to right
  box->list.SetListType(static_cast<VxListType>(listType));
  box->list.SetParent(OwnerHwnd());
  VxListCallbacks cb;
  cb.pfnDblClick = &DeskOpenEntry;
  cb.lpParam = this;
  box->list.SetListCallBack(&cb);
  CRect lr = BoxListArea(box);
  box->list.SetRect(lr.left, lr.top, lr.Width(), lr.Height());
}

GetZhiItem* CDeskModel::AddBox(std::unique_ptr<GetZhiItem> box) {
  m_boxes.push_back(std::move(box));
  return m_boxes.back().get();
}

void CDeskModel::PlaceDeskList() {
  m_deskList.SetListType(TheApp().desk.config.smallIcons == 1 ? VXLT_ICON : VXLT_BIGICON);
  m_deskList.SetRect(PageRect().left + kDeskListLeft, PageRect().top + kDeskListTop,
                     (PageRect().right - PageRect().left) - kDeskListLeft,
                     (PageRect().bottom - PageRect().top) - kDeskListTop);
  m_deskList.SetShow(!m_iconsHidden);
}

// ---- files ----
void CDeskModel::ClearDesk() {
  m_boxes.clear();
  m_deskList.RemoveAll();
  m_cellPlaces.clear();
  ClearPendingDrop();
}

void CDeskModel::SaveDesk() {
  if (CDeskOwner* owner = m_desk.Owner()) owner->ClearPendingSave();
  if (!EnsureDataFolder()) return;
  const std::wstring folder = DataFolderPath();
  AppGlobals& g = TheApp();

  auto recordsOf = [this](VxListCtrl& list) {
    CRect lr;
    list.GetRect(&lr);
    std::vector<DeskItemRecord> records;
    records.reserve(list.GetCount());
    for (VxListItem* e : list.Items()) {
      DeskItemRecord r;
      r.parseName = ToU16(e->szPath);
      const VxRc cell = WantedCell(e, lr);
      r.x = cell.left;
      r.y = cell.top;
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
  const VxRc page = ToVx(PageRect());
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
    box.rect = ToVx(WantedRect(b.get()));
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

void CDeskModel::ResolveInto(VxListCtrl* list, const std::vector<DeskItemRecord>& records,
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

void CDeskModel::LoadDesk() {
  DeskBatch batch(this);
  ClearDesk();
  PlaceDeskList();
  const std::vector<DesktopChild> children = m_shell.Children();
  const AppGlobals& g = TheApp();
  for (const DeskBox& saved : DeskBoxesFromTable(g.desk.boxRecords, ToVx(PageRect()))) {
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

// ---- commands ----
void CDeskModel::OrganizeIcons() {
  AppGlobals& g = TheApp();
  const int before = g.desk.autoOrganize;
  g.desk.autoOrganize = 1;
  Organize(1);
  g.desk.autoOrganize = before;
  SaveDesk();
}

GetZhiItem* CDeskModel::NewBox(POINT at) {
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

void CDeskModel::RestoreDesk() {
  AppGlobals& g = TheApp();
  g.desk.config = DeskConfig();
  g.desk.config.deskItemFile.clear();
  g.desk.config.organizePending = 1;
  Organize(1);
  SaveDesk();
}

void CDeskModel::Refresh() {
  SyncWithDesktop();
  AddMissingItems(&m_deskList);
  RequestRepaint();
}

void CDeskModel::SortList(int key, GetZhiItem* box) {
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

void CDeskModel::SetDefaultIcons() {
  DeskConfig& c = TheApp().desk.config;
  if (c.smallIcons != 1) return;  // already normal: nothing changes, nothing is written
  m_deskList.SetListType(VXLT_BIGICON);
  m_deskList.ReSetPos(c.autoArrange ? TRUE : FALSE);
  c.smallIcons = 0;
  SaveConfig();
  RequestRepaint();
}

void CDeskModel::SetSmallIcons() {
  DeskConfig& c = TheApp().desk.config;
  if (c.smallIcons == 1) return;  // already small: nothing changes, nothing is written
  c.smallIcons = 1;
  m_deskList.SetListType(VXLT_ICON);
  m_deskList.ReSetPos(c.autoArrange ? TRUE : FALSE);
  SaveConfig();
  RequestRepaint();
}

void CDeskModel::ToggleAutoArrange() {
  DeskConfig& c = TheApp().desk.config;
  c.autoArrange = c.autoArrange ? 0 : 1;
  if (c.autoArrange) m_deskList.ReSetPos(TRUE);
  SaveConfig();
  RequestRepaint();
}

void CDeskModel::ToggleDblClickHide() {
  DeskConfig& c = TheApp().desk.config;
  c.dblClickHide = c.dblClickHide ? 0 : 1;
  SaveConfig();
}

void CDeskModel::SetPendingDrop(GetZhiItem* box, int index, POINT deskPoint, BOOL onDeskList) {
  m_drop.box = box;
  m_drop.index = index;
  m_drop.point = deskPoint;
  m_drop.onDeskList = onDeskList;
}

void CDeskModel::ClearPendingDrop() { SetPendingDrop(nullptr, -1, POINT{-1, -1}, FALSE); }

// ---- boxes ----
POINT CDeskModel::ToListPoint(const GetZhiItem* box, POINT pt) {
  return box ? POINT{pt.x, pt.y + box->scroll} : pt;
}

RECT CDeskModel::BoxListArea(const GetZhiItem* box) { return FromVx(DeskBoxListArea(ToVx(box->rect))); }

int CDeskModel::IndexOfBox(const GetZhiItem* box) const {
  for (size_t i = 0; i < m_boxes.size(); ++i)
    if (m_boxes[i].get() == box) return static_cast<int>(i);
  return -1;
}

GetZhiItem* CDeskModel::MenuBox() const {
  const int i = TheApp().desk.interaction.box;
  return i >= 0 && i < static_cast<int>(m_boxes.size()) ? m_boxes[i].get() : nullptr;
}

void CDeskModel::LayoutBox(GetZhiItem* box, BOOL resetListRect) {
  if (!box) return;
  box->cache.reset();
  const RECT area = BoxListArea(box);
  // Box lists always keep grid order, so every change of size places the entries anew.
  (void)resetListRect;
  CRect grown(area);
  box->list.SetRect(&grown);
  box->list.SetRect(area.left, area.top, area.right - area.left, area.bottom - area.top);
  box->viewHeight = DeskBoxViewHeight(ToVx(box->rect));
  const DeskBoxThumb t = DeskBoxThumbLayout(box->list.GetListMaxHeight(), box->viewHeight, box->scroll);
  box->thumbPos = t.position;
  box->thumbLen = t.length;
  box->scroll = t.scroll;
}

void CDeskModel::MoveBoxBy(GetZhiItem* box, int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  ::OffsetRect(&box->rect, dx, dy);
  // A move does not change what the box shows: its rendering stays valid.
  std::unique_ptr<VxPixelImage> keep = std::move(box->cache);
  LayoutBox(box, TRUE);
  box->cache = std::move(keep);
}

GetZhiItem* CDeskModel::BoxAt(POINT pt) const {
  if (m_iconsHidden) return nullptr;
  for (auto it = m_boxes.rbegin(); it != m_boxes.rend(); ++it)
    if ((*it)->shown && ::PtInRect(&(*it)->rect, pt)) return it->get();
  return nullptr;
}

void CDeskModel::RaiseBox(GetZhiItem* box) {
  const int i = IndexOfBox(box);
  if (i < 0 || i == static_cast<int>(m_boxes.size()) - 1) return;
  std::unique_ptr<GetZhiItem> owned = std::move(m_boxes[i]);
  m_boxes.erase(m_boxes.begin() + i);
  m_boxes.push_back(std::move(owned));
}

void CDeskModel::ClearAllSelections() {
  for (VxListCtrl* list : AllLists())
    if (list->UnSelRcItem())
      if (GetZhiItem* b = BoxOfList(list)) b->cache.reset();
}

VxListItem* CDeskModel::EntryAt(POINT pt, VxListCtrl** list, GetZhiItem** box) const {
  if (m_iconsHidden) return nullptr;
  GetZhiItem* b = BoxAt(pt);
  if (b) {
    if (box) *box = b;
    if (list) *list = &b->list;
    const RECT area = BoxListArea(b);
    if (!::PtInRect(&area, pt)) return nullptr;
    return b->list.HitTest(ToListPoint(b, pt));
  }
  if (box) *box = nullptr;
  if (list) *list = const_cast<VxListCtrl*>(&m_deskList);
  return m_deskList.IsShow() ? m_deskList.HitTest(pt) : nullptr;
}

void CDeskModel::SetIconsHidden(BOOL hidden) {
  m_iconsHidden = hidden ? TRUE : FALSE;
  m_deskList.SetShow(!m_iconsHidden);
  for (auto& b : m_boxes) b->shown = !m_iconsHidden;
  RequestRepaint();
}

bool CDeskModel::FadeFlashes() {
  bool flashing = false;
  for (VxListCtrl* list : AllLists())
    for (VxListItem* e : list->Items())
      if (e->nData[kEntryFlash] > 0) {
        --e->nData[kEntryFlash];
        flashing = true;
      }
  return flashing;
}

// ---- box commands ----
void CDeskModel::RenameBox(GetZhiItem* box, const std::wstring& edited, const std::wstring& before) {
  if (IndexOfBox(box) < 0) return;
  const size_t first = edited.find_first_not_of(L" \t"), last = edited.find_last_not_of(L" \t");
  if (first == std::wstring::npos) return;
  const std::u16string wanted = ToU16(edited.substr(first, last - first + 1));
  if (wanted == ToU16(before)) return;
  std::vector<std::u16string> taken;
  for (auto& b : m_boxes)
    if (b.get() != box) taken.push_back(ToU16(b->name));
  box->name = ToW(DeskUniqueBoxName(wanted, taken));
  RequestRepaint();
  SaveDesk();
}

void CDeskModel::ToggleListDisplay(GetZhiItem* box) {
  if (!box) return;
  if (box->list.GetListType() == VXLT_LIST) {
    box->list.SetListType(VXLT_BIGICON);
    box->list.SetArrange(FALSE);
  } else {
    box->list.SetListType(VXLT_LIST);
    box->list.SetArrange(TRUE);
  }
  box->list.RedrawList();
  box->scroll = 0;
  LayoutBox(box, TRUE);
  RequestRepaint();
  SaveDesk();
}

void CDeskModel::ToggleFixedPos(GetZhiItem* box) {
  if (!box) return;
  box->fixedPos = box->fixedPos ? 0 : 1;
  RequestRepaint();
}

void CDeskModel::RemoveBox(GetZhiItem* box) {
  const int i = IndexOfBox(box);
  if (i < 0) return;
  std::unique_ptr<GetZhiItem> owned = std::move(m_boxes[i]);
  m_boxes.erase(m_boxes.begin() + i);
  if (m_drop.box == owned.get()) ClearPendingDrop();
  const std::vector<VxListItem*> entries = owned->list.Items();
  const int base = m_deskList.GetCount();
  for (size_t k = 0; k < entries.size(); ++k) {
    VxListItem* e = entries[k];
    e->nData[kEntryOrder] = base + static_cast<int>(k);
    e->nMouseState = 0;
    e->bNotSelect = 1;
    e->bNotFocus = 1;
    m_deskList.AddItem(e, TRUE);  // the identifier list moves to the copy
  }
  if (TheApp().desk.interaction.box >= i) TheApp().desk.interaction.box = -1;
  owned.reset();
  RequestRepaint();
  SaveDesk();
}

// ---- following the work area ----
RECT CDeskModel::WantedRect(const GetZhiItem* box) const {
  const VxRc page = ToVx(PageRect());
  return FromVx(DeskFromPage(DeskWantedPlace(box->place, ToVx(box->rect), page), page));
}

VxRc CDeskModel::WantedCell(const VxListItem* e, const RECT& listArea) const {
  const auto found = m_cellPlaces.find(e);
  const DeskPlace none;
  return DeskWantedPlace(found == m_cellPlaces.end() ? none : found->second, ToVx(e->rcPos),
                         ToVx(listArea));
}

void CDeskModel::FollowPage(const RECT& newPage) {
  const RECT oldPage = PageRect();
  for (auto& b : m_boxes) {
    const RECT shown = FromVx(DeskFollowPage(&b->place, ToVx(b->rect), ToVx(oldPage), ToVx(newPage)));
    if (::EqualRect(&shown, &b->rect)) continue;
    const bool resized = shown.right - shown.left != b->rect.right - b->rect.left ||
                         shown.bottom - shown.top != b->rect.bottom - b->rect.top;
    if (resized) {
      b->rect = shown;
      LayoutBox(b.get(), TRUE);
    } else {
      MoveBoxBy(b.get(), shown.left - b->rect.left, shown.top - b->rect.top);
    }
  }
  // On the same page the desk list lies where it should already; placing it again would
  // only lay out a large desktop once more.
  if (::EqualRect(&oldPage, &newPage)) return;
  CRect oldArea;
  m_deskList.GetRect(&oldArea);
  m_desk.SetPageRect(newPage);
  PlaceDeskList();
  if (TheApp().desk.config.autoArrange) {
    m_deskList.ReSetPos(TRUE);
  } else {
    CRect newArea;
    m_deskList.GetRect(&newArea);
    FollowDeskListCells(oldArea, newArea);
  }
}

void CDeskModel::FollowDeskListCells(const RECT& oldArea, const RECT& newArea) {
  // Cells placed by hand keep their wanted places within the list as boxes do on the page.
  std::unordered_map<const VxListItem*, DeskPlace> kept;
  std::vector<std::pair<VxListItem*, VxRc>> moves;
  for (VxListItem* e : m_deskList.Items()) {
    if (!e->IsPlaced()) continue;
    DeskPlace place;
    auto found = m_cellPlaces.find(e);
    if (found != m_cellPlaces.end()) place = found->second;
    const VxRc shown = DeskFollowPage(&place, ToVx(e->rcPos), ToVx(oldArea), ToVx(newArea));
    kept.emplace(e, place);
    if (!(shown == ToVx(e->rcPos))) moves.emplace_back(e, shown);
  }
  m_cellPlaces.swap(kept);
  for (auto& [e, shown] : moves) {
    const int dx = shown.left - e->rcPos.left, dy = shown.top - e->rcPos.top;
    for (RECT* r : {&e->rcPos, &e->rcText, &e->rcHover, &e->rcFocus}) ::OffsetRect(r, dx, dy);
  }
}
