#include "desk/core/desk_drag.h"

#include <algorithm>

#include "desk/core/desk_boxes.h"
#include "desk/core/desk_records.h"
#include "desk/core/desk_text.h"

namespace {

std::u16string Number(int n) {
  std::u16string s;
  for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
  return s;
}

bool EndsWithExe(const std::u16string& name) {
  constexpr size_t kLen = 4;
  return name.size() >= kLen && DeskTextEqual(name.substr(name.size() - kLen), u".exe");
}

// Caps along one axis: at most 4 pixels, and never more than half of the image or of the
// marker, so a short marker still shows both ends and no piece has a negative size.
void AddPieces(bool horizontal, const VxRc& m, int imageW, int imageH,
               std::vector<DeskImagePiece>* out) {
  const int markLen = horizontal ? m.Width() : m.Height();
  const int imageLen = horizontal ? imageW : imageH;
  const int cap = std::max(0, std::min({4, markLen / 2, imageLen / 2}));
  // Each piece as (source start, source length, target start, target length) on the axis.
  const int parts[3][4] = {
      {0, cap, 0, cap},
      {cap, imageLen - 2 * cap, cap, markLen - 2 * cap},
      {imageLen - cap, cap, markLen - cap, cap},
  };
  for (const auto& p : parts) {
    if (p[1] <= 0 || p[3] <= 0) continue;
    DeskImagePiece piece;
    if (horizontal) {
      piece.src = {p[0], 0, p[1], imageH};
      piece.dst = {m.left + p[2], m.top, p[3], m.Height()};
    } else {
      piece.src = {0, p[0], imageW, p[1]};
      piece.dst = {m.left, m.top + p[2], m.Width(), p[3]};
    }
    out->push_back(piece);
  }
}

}  // namespace

bool DeskDragShouldStart(VxPt press, VxPt now) {
  const long long dx = now.x - press.x, dy = now.y - press.y;
  return dx * dx + dy * dy >= kDeskDragStartDistance * kDeskDragStartDistance;
}

std::u16string DeskDragCountText(int count) { return u"拖动" + Number(count) + u"个文件"; }

uint32_t DeskDropEffect(bool hasFiles, uint32_t keyState, uint32_t allowed) {
  if (!hasFiles) return kDeskEffectNone;
  const bool control = keyState & kDeskKeyControl, shift = keyState & kDeskKeyShift,
             alt = keyState & kDeskKeyAlt;
  uint32_t wanted = kDeskEffectMove;
  if (alt || (control && shift)) wanted = kDeskEffectLink;
  else if (control) wanted = kDeskEffectCopy;
  if (allowed & wanted) return wanted;
  if (alt || control || shift) return kDeskEffectNone;
  for (uint32_t e : {kDeskEffectMove, kDeskEffectCopy, kDeskEffectLink})
    if (allowed & e) return e;
  return kDeskEffectNone;
}

DeskOpenWith DeskCanOpenWith(const DeskDropEntry* entry, uint32_t effect) {
  DeskOpenWith r;
  r.effect = effect;
  r.target = u"桌面";
  if (!entry) return r;
  if (entry->kind == KIND_FILE && EndsWithExe(entry->parseName)) {
    r.openWith = true;
    r.target = entry->displayName;
    r.effect = kDeskEffectCopy;
  } else if (entry->kind == KIND_FOLDER) {
    r.target = entry->displayName;
  }
  return r;
}

DeskDragViewTexts DeskDragViewTextsFor(uint32_t effect, const std::u16string& target,
                                       bool openWith) {
  switch (effect) {
    case kDeskEffectMove: return {u"移动到", target, u""};
    case kDeskEffectCopy: return openWith ? DeskDragViewTexts{u"用", target, u"打开"}
                                          : DeskDragViewTexts{u"复制到", target, u""};
    case kDeskEffectLink: return {u"在", target, u"创建链接"};
    default: return {};
  }
}

VxRc DeskDragViewRect(VxPt cursor, int verbWidth, int targetWidth, int suffixWidth) {
  const int width = 23 + verbWidth + 3 + targetWidth + 3 + suffixWidth + 3;
  return {cursor.x + 20, cursor.y + 20, cursor.x + 20 + width, cursor.y + 40};
}

DeskDropAction DeskChooseDropAction(const DeskDropSituation& s) {
  const bool folder = s.hasDropItem && s.targetIsFolder;
  const bool open = s.hasDropItem && s.openWith;
  if (!s.fromDesk) {
    switch (s.effect) {
      case kDeskEffectCopy: return kDropCopyToDesktop;
      case kDeskEffectMove: return kDropMoveToDesktop;
      case kDeskEffectLink: return kDropLinkOnDesktop;
      default: return kDropNothing;
    }
  }
  switch (s.effect) {
    case kDeskEffectCopy:
      if (open) return kDropOpenWith;
      return folder ? kDropCopyToFolder : kDropCopyToDesktop;
    case kDeskEffectMove:
      if (!s.hasDropItem && !s.overDragged) return kDropRearrange;
      if (open) return kDropOpenWith;
      return folder ? kDropMoveToFolder : kDropRearrange;
    case kDeskEffectLink:
      if (open) return kDropNothing;
      return folder ? kDropLinkInFolder : kDropLinkOnDesktop;
    default:
      return kDropNothing;
  }
}

DeskGapLayout DeskGapLayoutFor(int listType, bool autoArrange) {
  if (listType == kDeskBoxRows) return kDeskGapRows;
  return autoArrange ? kDeskGapGrid : kDeskGapFree;
}

VxRc DeskInsertionBand(DeskGapLayout layout, const VxRc& cell, int wIner, int hIner,
                       int scroll) {
  const int top = cell.top - scroll, bottom = cell.bottom - scroll;
  if (layout == kDeskGapGrid) return {cell.left - wIner - 3, top - 2, cell.left + 3, bottom + 2};
  return {cell.left - 2, top - hIner - 3, cell.right + 2, top + 3};
}

int DeskInsertionGapAt(DeskGapLayout layout, const std::vector<VxRc>& cells, int wIner,
                       int hIner, int scroll, VxPt pt, VxRc* band) {
  for (size_t i = 0; i < cells.size(); ++i) {
    const VxRc b = DeskInsertionBand(layout, cells[i], wIner, hIner, scroll);
    if (!b.Contains(pt.x, pt.y)) continue;
    if (band) *band = b;
    return static_cast<int>(i);
  }
  return -1;
}

DeskMarkerDrawing DeskMarkerPieces(const VxRc& marker, int imageWidth, int imageHeight) {
  DeskMarkerDrawing d;
  d.horizontal = marker.Width() > marker.Height();
  if (marker.IsEmpty() || imageWidth <= 0 || imageHeight <= 0) return d;
  AddPieces(d.horizontal, marker, imageWidth, imageHeight, &d.pieces);
  return d;
}
