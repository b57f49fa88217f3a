#include "desk/core/desk_page.h"

#include <algorithm>

VxRc DeskToPage(const VxRc& r, const VxRc& page) {
  return {r.left - page.left, r.top - page.top, r.right - page.left, r.bottom - page.top};
}

VxRc DeskFromPage(const VxRc& relative, const VxRc& page) {
  return {relative.left + page.left, relative.top + page.top, relative.right + page.left,
          relative.bottom + page.top};
}

namespace {

// One axis: [lo, lo + size) of the wanted place kept inside [pageLo, pageHi).
void FitAxis(int wantLo, int wantSize, int pageLo, int pageHi, int* lo, int* hi) {
  const int size = std::min(wantSize, std::max(0, pageHi - pageLo));
  const int start = std::clamp(pageLo + wantLo, pageLo, pageHi - size);
  *lo = start;
  *hi = start + size;
}

}  // namespace

VxRc DeskShownPlace(const VxRc& want, const VxRc& page) {
  VxRc r;
  FitAxis(want.left, want.Width(), page.left, page.right, &r.left, &r.right);
  FitAxis(want.top, want.Height(), page.top, page.bottom, &r.top, &r.bottom);
  return r;
}

VxRc DeskWantedPlace(const DeskPlace& place, const VxRc& shown, const VxRc& page) {
  if (place.known && shown == place.placed) return place.want;
  return DeskToPage(shown, page);
}

VxRc DeskFollowPage(DeskPlace* place, const VxRc& shown, const VxRc& oldPage,
                    const VxRc& newPage) {
  place->want = DeskWantedPlace(*place, shown, oldPage);
  place->placed = DeskShownPlace(place->want, newPage);
  place->known = true;
  return place->placed;
}
