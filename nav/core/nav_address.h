// Addresses typed into the add dialog and the thumbnail capture of a new tile.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The address the capture window loads: spaces around it dropped; "http://" put in front
// unless it already starts with "http://" or "https://" (any case); "/" appended when the
// text after its last "." is a top-level domain of the list (com, cn, net, org, so, biz,
// name, info, cc, tv, 中国, mobi, me, asia, co, tel; any case), so a bare host gets its root
// path and an address with a path after the domain is left as typed.
std::u16string NormalizeSiteAddress(std::u16string_view typed);

// Whether a document-complete address is the page the capture waits for: the same text,
// the same with one "/" more or less at the end, or beginning with the target.
bool IsCaptureTarget(std::u16string_view completed, std::u16string_view target);

// The thumbnail folder under daohang\temp\ for a day: year, month and day without padding
// (the sixth of December 2026 gives "2026126").
std::u16string ThumbnailFolderName(int year, int month, int day);
// The thumbnail file in it: the tick count at capture + ".jpg".
std::u16string ThumbnailFileName(uint32_t tickCount);

// Thumbnails are 230 x 152; the capture takes the top of the page at its full width, as
// high as keeps that ratio, or the whole view when the view is lower.
constexpr int kThumbnailWidth = 230;
constexpr int kThumbnailHeight = 152;
int CaptureSourceHeight(int viewWidth, int viewHeight);
