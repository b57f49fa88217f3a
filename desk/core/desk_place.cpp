#include "desk/core/desk_place.h"

#include <algorithm>

#include "desk/core/desk_boxes.h"

namespace {
constexpr int kOrganizeBoxWidth = 260;
constexpr int kOrganizeMargin = 5;
constexpr int kFolderBoxTop = 32, kFolderBoxHeight = 400;
constexpr int kFileBoxTop = 437, kFileBoxMinHeight = 100;
}  // namespace

DeskOrganizeTarget DeskOrganizeTargetFor(int kind) {
  switch (kind) {
    case KIND_FOLDER: return {true, u"文件夹", kDeskBoxIcons};
    case KIND_FILE: return {true, u"文件", kDeskBoxRows};
    default: return {};
  }
}

VxRc DeskOrganizeBoxRect(int kind, const VxRc& page) {
  const int right = page.right - kOrganizeMargin, left = right - kOrganizeBoxWidth;
  if (kind == KIND_FOLDER) {
    const int top = page.top + kFolderBoxTop;
    return {left, top, right, top + kFolderBoxHeight};
  }
  const int top = page.top + kFileBoxTop;
  return {left, top, right, std::max(top + kFileBoxMinHeight, page.bottom - kOrganizeMargin)};
}

DeskPlacement DeskChoosePlacement(const DeskArrival& a) {
  if (a.dropBoxPending) return kPlaceDropBox;
  if (a.dropOnDeskPending) return a.autoArrange ? kPlaceDropIndex : kPlaceDropPoint;
  if (a.intoBox) return kPlaceGivenBox;
  if (a.autoOrganize && a.kindHasBoxName) return a.namedBoxExists ? kPlaceNamedBox : kPlaceDeskGrid;
  if (a.autoArrange || !a.hasPoint) return kPlaceDeskGrid;
  return kPlaceDeskPoint;
}
