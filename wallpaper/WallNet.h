#pragma once
// What the wallpaper program's worker threads do: load a category's lists of pictures with
// their thumbnails, and download a full picture. They write files only, and tell the window
// what happened through `post`; they never touch the window's pictures.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct WallLoadRequest {
  int tab = 0;
  int type = -1;
  int first = 1, last = 1;  // list numbers, from 1
  bool fetchCount = true;   // the category's count is not known yet
  long long total = 0;      // pictures on the server, when known
};

struct WallLoadEvent {
  enum Kind { kTotal, kHideRight, kPictures, kThumb, kFailed, kDone };
  Kind kind = kDone;
  int tab = 0;
  long long total = 0;  // kTotal
  int list = 0;         // kPictures, kThumb; kFailed: the first list not loaded
  bool countFailed = false;
  // kPictures: the entries that may show (slot = entry index in the list) and their server
  // paths; kThumb: the slot and its cached thumbnail file.
  struct Seed {
    int slot = 0;
    std::wstring bigpic;
  };
  std::vector<Seed> seeds;
  int slot = 0;
  std::wstring thumbPath;
};

using WallPost = std::function<void(WallLoadEvent)>;
using WallStopping = std::function<bool()>;

// Loads lists req.first..req.last of one category (one loader at a time in the process).
// `base` ends in "/"; thumbnails go to thumbRoot\thumb\<type>\.
void WallRunListLoad(const WallLoadRequest& req, const std::wstring& base,
                     const std::wstring& userFolder, const WallPost& post, const WallStopping& stopping);

// Fetches base + path into `file` unless it is there already: through a temporary name, so
// `file` never holds half a download. TRUE when `file` exists afterwards.
BOOL WallFetchThumbnail(const std::wstring& url, const std::wstring& file, const WallStopping& stopping);

struct WallDownloadEvent {
  enum Kind { kProgress, kDone, kFailed, kUndecodable };
  Kind kind = kProgress;
  ULONG progress = 0, max = 0;
  std::wstring path;  // kDone: the picture in Wallers
};
// Downloads a full picture to `file` through a temporary name; a file that does not decode
// is dropped (kUndecodable). Progress arrives as kProgress events.
void WallDownloadPicture(const std::wstring& url, const std::wstring& file,
                         const std::function<void(WallDownloadEvent)>& post, const WallStopping& stopping);
