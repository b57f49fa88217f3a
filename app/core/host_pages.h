// The host window's pages: which page each page type shows, its id (the ids order the pages
// from left to right for the slide), and where a slide between two of them starts and ends.
#pragma once

// One page type of the host window.
struct HostPageInfo {
  int type;              // the page type the toolbar and the navigation bar ask for
  int id;                // -1 for the plain desktop (no page)
  const char16_t* path;  // path of a recommendation web page on its server, else empty
  int control;           // the host's placeholder control of a web page, else 0
};

constexpr int kHostPageTypes = 9;  // types 0 (plain) to 8
constexpr int kNoPageId = -1;

// Null for a type outside 0..8.
const HostPageInfo* HostPageOfType(int type);
// The page id of a type; kNoPageId for the plain desktop and unknown types.
int HostPageIdOfType(int type);

// An animated slide from the page `fromId` to `toId` on a screen `width` wide: the incoming
// page starts a width to the right when it lies right of the outgoing one (a greater id),
// else a width to the left; the outgoing page leaves the other way. Both end where the
// incoming page starts its way mirrored: 0 for the incoming one.
struct HostSlide {
  int incomingFrom;
  int outgoingGoal;
};
HostSlide HostSlideBetween(int fromId, int toId, int width);
