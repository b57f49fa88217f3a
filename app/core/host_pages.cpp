#include "app/core/host_pages.h"

namespace {
const HostPageInfo kPages[kHostPageTypes] = {
    {0, kNoPageId, u"", 0},
    {1, 5, u"", 0},  // the desk
    {2, 10, u"", 0},  // my sites
    {3, 20, u"", 0},  // recommended sites
    {4, 30, u"/redian.html", 1005},
    {5, 40, u"/yingshi.html", 1006},
    {6, 60, u"/gouwu.html", 1009},
    {7, 50, u"/youxi.html", 1008},
    {8, 70, u"/shenghuo.html", 1007},
};
}  // namespace

const HostPageInfo* HostPageOfType(int type) {
  return type >= 0 && type < kHostPageTypes ? &kPages[type] : nullptr;
}

int HostPageIdOfType(int type) {
  const HostPageInfo* page = HostPageOfType(type);
  return page ? page->id : kNoPageId;
}

HostSlide HostSlideBetween(int fromId, int toId, int width) {
  const bool rightward = toId > fromId;  // the incoming page lies to the right
  return HostSlide{rightward ? width : -width, rightward ? -width : width};
}
