#include "desk/DeskDragDrop.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

#include "base/AppGlobals.h"
#include "desk/DeskDataObject.h"
#include "desk/DeskEntries.h"
#include "desk/DeskFileOps.h"
#include "desk/MyDesk.h"
#include "desk/core/desk_drag.h"
#include "desk/core/desk_text.h"
#include "uilib/VxComObject.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"
#include "uilib/VxTypes.h"
#include "uilib/core/vx_dropfiles.h"

namespace {

class DeskDropSource final : public VxComObject<VxIface<IDropSource, &IID_IDropSource>> {
 public:
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) noexcept override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
    return S_OK;
  }
  STDMETHODIMP GiveFeedback(DWORD) noexcept override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

bool OffersFiles(IDataObject* data) {
  if (!data) return false;
  FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return data->QueryGetData(&fe) == S_OK;
}

// The dropped paths; empty for no CF_HDROP or a malformed block. Paths longer than a desk
// entry's field are not the desk's to handle, but the shell takes them: they stay.
std::vector<std::wstring> DroppedPaths(IDataObject* data) {
  std::vector<std::wstring> paths;
  if (!data) return paths;
  FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  VxStgMedium medium;
  if (FAILED(data->GetData(&fe, medium.Put())) || medium.Get().tymed != TYMED_HGLOBAL) return paths;
  const SIZE_T size = ::GlobalSize(medium.Get().hGlobal);
  VxGlobalLock<const uint8_t> lock(medium.Get().hGlobal);
  if (!lock.Get()) return paths;
  const VxDropFiles files = VxReadDropFiles(lock.Get(), size);
  for (const auto& p : files.paths) paths.push_back(ToW(p));
  for (const auto& a : files.ansiPaths) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, a.data(), static_cast<int>(a.size()), w.data(), n);
    if (!w.empty()) paths.push_back(w);
  }
  return paths;
}

std::wstring ParentOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool ListHolds(CDeskModel& model, const VxListItem* e, VxListCtrl** owner) {
  for (VxListCtrl* list : model.AllLists())
    if (list->IndexOf(e) >= 0) {
      if (owner) *owner = list;
      return true;
    }
  return false;
}

}  // namespace

CDeskDragDrop::CDeskDragDrop(CMyDesk& desk, CDeskModel& model, CDeskFileOps& fileOps)
    : m_desk(desk), m_model(model), m_fileOps(fileOps) {}

CDeskDragDrop::~CDeskDragDrop() = default;

// ---- the drag source ----
void CDeskDragDrop::StartDrag(VxListCtrl* list) {
  if (!list || m_dragging) return;
  m_dragItems.clear();
  for (VxListItem* e : list->Items())
    if (e->IsSelected()) m_dragItems.push_back(e);
  if (m_dragItems.empty()) return;
  m_dragging = m_dragStarted = TRUE;
  m_dragList = list;
  for (VxListItem* e : m_dragItems) m_fileOps.GhostEntry(e);
  for (VxListCtrl* l : m_model.AllLists()) {
    for (VxListItem* e : l->Items()) e->nMouseState = 0;
    if (GetZhiItem* box = m_model.BoxOfList(l)) box->cache.reset();
  }
  if (CDeskOwner* owner = m_desk.Owner()) owner->RepaintNow();

  VxComPtr<IDataObject> data(MakeDragData(m_dragItems));
  if (data) {
    SetDragImage(data.Get(), m_dragItems);
    VxComPtr<IDropSource> source(new (std::nothrow) DeskDropSource());
    DWORD effect = DROPEFFECT_NONE;
    if (source) ::DoDragDrop(data.Get(), source.Get(), kDeskEffectsAll, &effect);
  }
  m_dragging = FALSE;
  // The drag's loop took the release: the press ends here.
  POINT pt{0, 0};
  ::GetCursorPos(&pt);
  if (HWND owner = m_desk.OwnerHwnd()) ::ScreenToClient(owner, &pt);
  ClearGhosts();
  m_dragList = nullptr;
  m_dragItems.clear();
  m_desk.OnLButtonUp(pt);
}

void CDeskDragDrop::ClearGhosts() {
  if (!m_dragStarted) return;
  m_dragStarted = FALSE;
  const std::vector<std::wstring>& cut = m_model.PasteIsCopy() ? std::vector<std::wstring>() : m_model.ClipboardFiles();
  for (VxListItem* e : m_dragItems) {
    VxListCtrl* owner = nullptr;
    if (!ListHolds(m_model, e, &owner)) continue;  // gone while dragged (moved away)
    // An entry that was cut before keeps the ghost of the cut.
    if (std::find(cut.begin(), cut.end(), std::wstring(e->szPath)) != cut.end()) continue;
    delete e->pAlphaImage;
    e->pAlphaImage = nullptr;
    e->nAlpha = 255;
    if (GetZhiItem* box = m_model.BoxOfList(owner)) box->cache.reset();
  }
  m_desk.RequestRepaint();
}

IDataObject* CDeskDragDrop::MakeDragData(const std::vector<VxListItem*>& entries) {
  std::vector<std::u16string> paths;
  for (VxListItem* e : entries) paths.push_back(ToU16(e->szPath));
  return DeskCreateFileDataObject(paths);
}

void CDeskDragDrop::SetDragImage(IDataObject* data, const std::vector<VxListItem*>& entries) {
  VxComPtr<IDragSourceHelper> helper;
  if (FAILED(::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                reinterpret_cast<void**>(helper.Put()))) ||
      !helper)
    return;
  Gdiplus::Bitmap image(kDeskDragImageWidth, kDeskDragImageHeight, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&image);
    g.Clear(Gdiplus::Color(0, 0, 0, 0));
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    const Gdiplus::Rect icon(kDeskDragImageIcon.x, kDeskDragImageIcon.y, kDeskDragImageIcon.w, kDeskDragImageIcon.h);
    for (VxListItem* e : entries)
      if (e->pIcon) g.DrawImage(e->pIcon, icon);
    const Gdiplus::RectF textRect(kDeskDragImageText.x, kDeskDragImageText.y, kDeskDragImageText.w,
                                  kDeskDragImageText.h);
    if (entries.size() == 1 && entries[0]->pTextImage) {
      g.DrawImage(entries[0]->pTextImage, kDeskDragImageText.x, kDeskDragImageText.y);
    } else if (Gdiplus::Font* font = IconFont()) {
      const std::wstring text = entries.size() == 1
                                    ? std::wstring(entries[0]->szName)
                                    : ToW(DeskDragCountText(static_cast<int>(entries.size())));
      Gdiplus::StringFormat format;
      format.SetAlignment(Gdiplus::StringAlignmentCenter);
      format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
      Gdiplus::Color white(0xFE, 0xFF, 0xFF, 0xFF), shadow(0xB4, 0x0A, 0x0A, 0x0A);
      Gdiplus::RectF rect = textRect;
      Gdiplus::PointF offset(0.6f, 1.0f);
      VxDrawShadowText(&g, text.c_str(), *font, format, white, shadow, rect, offset, 2.4f);
    }
  }
  HBITMAP raw = nullptr;
  if (image.GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &raw) != Gdiplus::Ok || !raw) return;
  VxBitmap bitmap(raw);
  SHDRAGIMAGE di{};
  di.sizeDragImage = SIZE{kDeskDragImageWidth, kDeskDragImageHeight};
  di.ptOffset = POINT{kDeskDragImageHotSpot.x, kDeskDragImageHotSpot.y};
  di.hbmpDragImage = bitmap.Get();
  di.crColorKey = RGB(0xFF, 0x00, 0xFF);
  // The helper owns the bitmap once it took it.
  if (SUCCEEDED(helper->InitializeFromBitmap(&di, data))) bitmap.Release();
}

// ---- tracking what lies under the cursor ----
void CDeskDragDrop::ResetDropState() {
  m_dropBox = nullptr;
  m_dropIndex = -1;
  m_dropItem = nullptr;
  m_overDragged = FALSE;
}

BOOL CDeskDragDrop::TrackList(VxListCtrl& list, GetZhiItem* box, POINT pt, RECT* mark) {
  const int scroll = box ? box->scroll : 0;
  // A box keeps its icons in grid order whatever the desk's arranging says.
  const bool arranged = box ? true : TheApp().desk.config.autoArrange != 0;
  const DeskGapLayout layout = DeskGapLayoutFor(list.GetListType(), arranged);
  const std::vector<VxListItem*>& items = list.Items();
  m_cells.resize(items.size());
  for (size_t i = 0; i < items.size(); ++i) m_cells[i] = ToVx(items[i]->rcPos);
  VxRc band;
  const int gap = DeskInsertionGapAt(layout, m_cells, list.GetWIner(), list.GetHIner(), scroll, ToVxPt(pt), &band);
  if (gap >= 0) {
    m_dropIndex = gap;
    *mark = FromVx(band);
    return TRUE;
  }
  VxListItem* hit = list.HitTest(POINT{pt.x, pt.y + scroll});
  if (!hit) return FALSE;
  if (std::find(m_dragItems.begin(), m_dragItems.end(), hit) != m_dragItems.end() && m_dragging)
    m_overDragged = TRUE;
  else
    m_dropItem = hit;
  return TRUE;
}

void CDeskDragDrop::Track(POINT pt) {
  ResetDropState();
  RECT mark{0, 0, 0, 0};
  if (GetZhiItem* box = m_model.BoxAt(pt)) {
    m_dropBox = box;
    const RECT area = CDeskModel::BoxListArea(box);
    if (::PtInRect(&area, pt)) TrackList(box->list, box, pt, &mark);
  } else if (!m_model.IconsHidden()) {
    m_dropIndex = -2;
    if (m_model.DeskList().IsShow()) TrackList(m_model.DeskList(), nullptr, pt, &mark);
  }
  SetMarker(mark);
}

void CDeskDragDrop::SetMarker(const RECT& mark) {
  if (::EqualRect(&mark, &m_insertMark)) return;
  m_insertMark = mark;
  if (CDeskOwner* owner = m_desk.Owner()) owner->RepaintNow();
}

DeskOpenWith CDeskDragDrop::OpenWithInfo(DWORD effect) const {
  if (!m_dropItem) return DeskCanOpenWith(nullptr, effect);
  DeskDropEntry entry;
  entry.kind = m_dropItem->nData[kEntryKind];
  entry.parseName = ToU16(m_dropItem->szPath);
  entry.displayName = ToU16(m_dropItem->szName);
  return DeskCanOpenWith(&entry, effect);
}

DWORD CDeskDragDrop::DragEnter(IDataObject* data, DWORD keys, POINT pt, DWORD allowed) {
  m_hasFiles = OffersFiles(data);
  ResetDropState();
  return DragOver(keys, pt, allowed);
}

DWORD CDeskDragDrop::DragOver(DWORD keys, POINT pt, DWORD allowed) {
  Track(pt);
  DWORD effect = DeskDropEffect(m_hasFiles != FALSE, keys, allowed);
  if (m_dragging && effect != DROPEFFECT_NONE) {
    const DeskOpenWith what = OpenWithInfo(effect);
    effect = what.effect;
    POINT screen = pt;
    if (HWND owner = m_desk.OwnerHwnd()) ::ClientToScreen(owner, &screen);
    if (CDeskOwner* owner = m_desk.Owner())
      owner->UpdateDragView(effect, ToW(what.target), what.openWith ? TRUE : FALSE, screen);
  } else if (m_dragging) {
    if (CDeskOwner* owner = m_desk.Owner()) owner->HideDragView();
  }
  return effect;
}

void CDeskDragDrop::DragLeave() {
  if (CDeskOwner* owner = m_desk.Owner()) owner->HideDragView();
  ResetDropState();
  SetMarker(RECT{0, 0, 0, 0});
  m_hasFiles = FALSE;
}

// ---- the drop ----
DWORD CDeskDragDrop::Drop(IDataObject* data, DWORD keys, POINT pt, DWORD allowed) {
  if (CDeskOwner* owner = m_desk.Owner()) owner->HideDragView();
  m_hasFiles = OffersFiles(data);
  Track(pt);
  SetMarker(RECT{0, 0, 0, 0});
  DWORD effect = DeskDropEffect(m_hasFiles != FALSE, keys, allowed);
  DeskDropSituation s;
  s.fromDesk = m_dragging != FALSE;
  if (m_dragging && effect != DROPEFFECT_NONE) {
    const DeskOpenWith what = OpenWithInfo(effect);
    effect = what.effect;
    s.openWith = what.openWith;
  }
  s.effect = effect;
  s.hasDropItem = m_dropItem != nullptr;
  s.overDragged = m_overDragged != FALSE;
  s.targetIsFolder = m_dropItem && m_dropItem->nData[kEntryKind] == KIND_FOLDER;
  const std::vector<std::wstring> paths = DroppedPaths(data);
  m_dropPoint = pt;
  const std::wstring desktop = CDeskFileOps::DesktopPath();
  const std::wstring folder = m_dropItem ? std::wstring(m_dropItem->szPath) : std::wstring();
  if (paths.empty() || desktop.empty()) effect = DROPEFFECT_NONE;
  switch (effect == DROPEFFECT_NONE ? kDropNothing : DeskChooseDropAction(s)) {
    case kDropNothing: effect = DROPEFFECT_NONE; break;
    case kDropRearrange: Rearrange(); break;
    case kDropOpenWith: OpenWith(paths); break;
    case kDropCopyToFolder: m_fileOps.CopyRenamingClashes(paths, folder); break;
    case kDropMoveToFolder: m_fileOps.RunShellOperation(FO_MOVE, paths, folder + L"\\", 0); break;
    case kDropLinkInFolder: m_fileOps.PasteShortcuts(paths, folder); break;
    case kDropLinkOnDesktop:
      HoldDropPlace();
      m_fileOps.PasteShortcuts(paths);
      break;
    case kDropCopyToDesktop:
      HoldDropPlace();
      m_fileOps.CopyRenamingClashes(paths, desktop);
      break;
    case kDropMoveToDesktop: {
      // A file that already lies on the desktop stays; the shell would call that an error.
      std::vector<std::wstring> moving;
      for (const auto& p : paths)
        if (!DeskSameText(ParentOf(p), desktop)) moving.push_back(p);
      HoldDropPlace();
      if (!moving.empty()) m_fileOps.RunShellOperation(FO_MOVE, moving, desktop + L"\\", 0);
      break;
    }
  }
  m_model.SaveDesk();
  ResetDropState();
  m_hasFiles = FALSE;
  return effect;
}

// New desktop items of this drop land where it was dropped: the placement rule reads the
// pending drop until the operation is over and the desk has taken its items in.
void CDeskDragDrop::HoldDropPlace() {
  m_model.SetPendingDrop(m_dropBox, m_dropBox ? m_dropIndex : std::max(m_dropIndex, -1), m_dropPoint,
                         m_dropBox == nullptr);
  m_holdTicks = kHoldDropTicks;
}

void CDeskDragDrop::OnTick() {
  if (m_holdTicks <= 0) return;
  // The shell's notifications come after its operation ends; the hold lasts until the
  // operation and the scan after its burst are both over, and a little longer.
  if (m_fileOps.RunningOperations() > 0 || m_model.ShellSyncPending()) {
    m_holdTicks = kHoldDropTicks;
    return;
  }
  if (--m_holdTicks == 0) m_model.ClearPendingDrop();
}

void CDeskDragDrop::Rearrange() {
  ClearGhosts();
  VxListCtrl* target = m_dropBox ? &m_dropBox->list : &m_model.DeskList();
  int index = m_dropIndex;
  std::vector<VxListCtrl*> sources;
  {
    DeskBatch batch(&m_model);
    for (VxListItem* e : m_dragItems) {
      VxListCtrl* from = nullptr;
      if (!ListHolds(m_model, e, &from)) continue;
      // The gap was counted with the dragged entries still in place.
      if (from == target && index >= 0 && from->IndexOf(e) < index) --index;
      from->RemoveAt(e, FALSE);
      if (std::find(sources.begin(), sources.end(), from) == sources.end()) sources.push_back(from);
      m_model.SetPendingDrop(m_dropBox, index, m_dropPoint, m_dropBox == nullptr);
      m_model.PlaceItem(nullptr, e, -1, -1);
      delete e;
      // The next entry goes after this one: the dragged entries keep their order.
      if (index >= 0) ++index;
    }
    m_model.ClearPendingDrop();
  }
  m_dragItems.clear();
  for (VxListCtrl* from : sources) {
    if (GetZhiItem* box = m_model.BoxOfList(from)) {
      m_model.LayoutBox(box, FALSE);
      box->cache.reset();
    } else if (TheApp().desk.config.autoArrange != 0) {
      from->ReSetPos(TRUE);
    }
  }
  if (m_dropBox) m_dropBox->cache.reset();
  m_desk.RequestRepaint();
}

void CDeskDragDrop::OpenWith(const std::vector<std::wstring>& paths) {
  if (!m_dropItem) return;
  std::wstring params;
  for (const auto& p : paths) params += L"\"" + p + L"\" ";
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof(sei);
  sei.fMask = SEE_MASK_INVOKEIDLIST;
  sei.hwnd = m_desk.OwnerHwnd();
  sei.lpIDList = const_cast<LPITEMIDLIST>(DeskEntryPidl(m_dropItem));
  sei.lpParameters = params.c_str();
  sei.nShow = SW_SHOWNORMAL;
  ::ShellExecuteExW(&sei);
}

// ---- drawing ----
void CDeskDragDrop::DrawMarker(Gdiplus::Graphics& g) {
  if (::IsRectEmpty(&m_insertMark)) return;
  if (!m_markLoaded) {
    m_markLoaded = TRUE;
    const std::wstring folder = TheApp().programDir + L"\\rs\\拖拽\\";
    m_markH.reset(VxLoadImageFile((folder + L"horizontal.png").c_str()));
    m_markV.reset(VxLoadImageFile((folder + L"vertical.png").c_str()));
  }
  const bool horizontal = m_insertMark.right - m_insertMark.left > m_insertMark.bottom - m_insertMark.top;
  Gdiplus::Image* image = horizontal ? m_markH.get() : m_markV.get();
  if (!image) return;
  const DeskMarkerDrawing pieces =
      DeskMarkerPieces(ToVx(m_insertMark), VxImageWidth(image), VxImageHeight(image));
  for (const DeskImagePiece& p : pieces.pieces)
    VxDrawImageRect(g, image, Gdiplus::Rect(p.dst.x, p.dst.y, p.dst.w, p.dst.h), p.src.x, p.src.y, p.src.w, p.src.h);
}
