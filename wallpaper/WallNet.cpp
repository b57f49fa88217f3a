#include "wallpaper/WallNet.h"

#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <mutex>
#include <optional>

#include "uilib/VxBaseFunctions.h"
#include "uilib/VxComObject.h"
#include "uilib/VxRaii.h"
#include "wallpaper/WallStore.h"
#include "wallpaper/core/wall_catalogue.h"

namespace {

// All list loaders of the process run one after another.
std::mutex& LoaderLock() {
  static std::mutex lock;
  return lock;
}

// Progress of URLDownloadToFile; a stop request aborts the transfer at its next step.
class DownloadProgress final : public VxComObject<VxIface<IBindStatusCallback, &IID_IBindStatusCallback>> {
 public:
  DownloadProgress(const std::function<void(ULONG, ULONG)>* report, const WallStopping* stopping)
      : report_(report), stopping_(stopping) {}
  STDMETHODIMP OnStartBinding(DWORD, IBinding*) noexcept override { return S_OK; }
  STDMETHODIMP GetPriority(LONG*) noexcept override { return E_NOTIMPL; }
  STDMETHODIMP OnLowResource(DWORD) noexcept override { return S_OK; }
  STDMETHODIMP OnProgress(ULONG progress, ULONG max, ULONG, LPCWSTR) noexcept override {
    if ((*stopping_)()) return E_ABORT;
    if (*report_ && (progress != last_ || max != lastMax_)) {
      last_ = progress;
      lastMax_ = max;
      try {
        (*report_)(progress, max);
      } catch (...) {
        return E_ABORT;
      }
    }
    return S_OK;
  }
  STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) noexcept override { return S_OK; }
  STDMETHODIMP GetBindInfo(DWORD*, BINDINFO*) noexcept override { return S_OK; }
  STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) noexcept override { return S_OK; }
  STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) noexcept override { return S_OK; }

 private:
  const std::function<void(ULONG, ULONG)>* report_;
  const WallStopping* stopping_;
  ULONG last_ = ~0UL, lastMax_ = ~0UL;
};

std::wstring TempNameFor(const std::wstring& file) {
  return file + L"." + std::to_wstring(::GetCurrentThreadId()) + L".part";
}

// Downloads url to a temporary file beside `file`; the temporary name on success, else empty
// (and nothing left behind).
std::wstring DownloadToTemp(const std::wstring& url, const std::wstring& file,
                            const std::function<void(ULONG, ULONG)>& report, const WallStopping& stopping) {
  const std::wstring temp = TempNameFor(file);
  ::DeleteUrlCacheEntryW(url.c_str());
  VxComPtr<DownloadProgress> progress(new DownloadProgress(&report, &stopping));
  const HRESULT hr = ::URLDownloadToFileW(nullptr, url.c_str(), temp.c_str(), 0, progress.Get());
  if (FAILED(hr) || stopping() || !WallFileExists(temp)) {
    ::DeleteFileW(temp.c_str());
    return std::wstring();
  }
  return temp;
}

bool MoveIntoPlace(const std::wstring& temp, const std::wstring& file) {
  if (::MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  ::DeleteFileW(temp.c_str());
  return false;
}

bool WebGetUtf8(const std::string& url, std::string* body) {
  std::wstring out;
  if (VxBaseFunctions().WebGet(WallWide(url), out, VxBaseFunctions::kUtf8) != 1) return false;
  *body = WallUtf8(out);
  return true;
}

}  // namespace

BOOL WallFetchThumbnail(const std::wstring& url, const std::wstring& file, const WallStopping& stopping) {
  if (WallFileExists(file)) return TRUE;
  const std::wstring temp = DownloadToTemp(url, file, {}, stopping);
  return !temp.empty() && MoveIntoPlace(temp, file);
}

void WallRunListLoad(const WallLoadRequest& req, const std::wstring& base, const std::wstring& userFolder,
                     const WallPost& post, const WallStopping& stopping) {
  std::lock_guard<std::mutex> serial(LoaderLock());
  VxComInit com;
  const std::string base8 = WallUtf8(base);
  auto fail = [&](int list, bool countFailed) {
    WallLoadEvent e;
    e.kind = WallLoadEvent::kFailed;
    e.tab = req.tab;
    e.list = list;
    e.countFailed = countFailed;
    post(std::move(e));
  };
  long long total = req.total;
  if (req.fetchCount) {
    std::string body;
    std::optional<long long> parsed;
    if (!WebGetUtf8(wall::CountUrl(base8, req.type), &body) || !(parsed = wall::ParseTotal(body)))
      return fail(req.first, true);
    total = *parsed;
    WallLoadEvent e;
    e.kind = WallLoadEvent::kTotal;
    e.tab = req.tab;
    e.total = total;
    post(std::move(e));
  }
  // Lists past the server's end would only fail: the strip ends there.
  const int lastOnServer = static_cast<int>(std::min<long long>(total / wall::kPicturesPerList, 1 << 30));
  if (lastOnServer < req.last) {
    WallLoadEvent e;
    e.kind = WallLoadEvent::kHideRight;
    e.tab = req.tab;
    post(std::move(e));
  }
  const int last = std::min(req.last, lastOnServer);
  const std::wstring thumbs = WallThumbFolder(userFolder, req.type);
  for (int list = req.first; list <= last && !stopping(); ++list) {
    std::string body;
    if (!WebGetUtf8(wall::ListUrl(base8, req.type, list), &body)) return fail(list, false);
    std::vector<wall::ListEntry> entries;
    const wall::ListReply reply = wall::ParseList(body, &entries);
    if (reply == wall::ListReply::kBad) return fail(list, false);
    if (reply == wall::ListReply::kIgnored) continue;
    // Entries whose paths could name a file outside their folders never show.
    WallLoadEvent pictures;
    pictures.kind = WallLoadEvent::kPictures;
    pictures.tab = req.tab;
    pictures.list = list;
    std::vector<std::wstring> thumbNames(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      const std::string thumb = wall::SafeLeafName(entries[i].smallpic);
      if (thumb.empty() || wall::SafeLeafName(entries[i].bigpic).empty()) continue;
      thumbNames[i] = WallWide(thumb);
      pictures.seeds.push_back({static_cast<int>(i), WallWide(entries[i].bigpic)});
    }
    if (pictures.seeds.empty()) continue;
    const std::vector<WallLoadEvent::Seed> seeds = pictures.seeds;
    post(std::move(pictures));
    if (!WallMakeFolder(thumbs)) continue;
    for (const auto& seed : seeds) {
      if (stopping()) return;
      const std::wstring file = thumbs + thumbNames[seed.slot];
      if (!WallFetchThumbnail(WallWide(base8 + entries[seed.slot].smallpic), file, stopping)) continue;
      WallLoadEvent e;
      e.kind = WallLoadEvent::kThumb;
      e.tab = req.tab;
      e.list = list;
      e.slot = seed.slot;
      e.thumbPath = file;
      post(std::move(e));
    }
  }
}

void WallDownloadPicture(const std::wstring& url, const std::wstring& file,
                         const std::function<void(WallDownloadEvent)>& post, const WallStopping& stopping) {
  VxComInit com;
  const std::function<void(ULONG, ULONG)> report = [&](ULONG progress, ULONG max) {
    WallDownloadEvent e;
    e.progress = progress;
    e.max = max;
    post(std::move(e));
  };
  WallDownloadEvent end;
  const size_t slash = file.find_last_of(L'\\');
  const std::wstring temp =
      WallMakeFolder(file.substr(0, slash + 1)) ? DownloadToTemp(url, file, report, stopping) : std::wstring();
  if (temp.empty()) {
    end.kind = WallDownloadEvent::kFailed;
  } else if (!WallPictureDecodes(temp)) {
    ::DeleteFileW(temp.c_str());
    end.kind = WallDownloadEvent::kUndecodable;
  } else if (MoveIntoPlace(temp, file)) {
    end.kind = WallDownloadEvent::kDone;
    end.path = file;
  } else {
    end.kind = WallDownloadEvent::kFailed;
  }
  if (!stopping()) post(std::move(end));
}
