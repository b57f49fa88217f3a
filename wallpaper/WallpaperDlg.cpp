#include "wallpaper/WallpaperDlg.h"

#include <commdlg.h>

#include <algorithm>

#include "uilib/VxPaint.h"
#include "uilib/VxShellFunctions.h"
#include "wallpaper/DialogWebWrong.h"
#include "wallpaper/WallStore.h"
#include "wallpaper/core/wall_strip.h"

namespace {

const wchar_t* const kTabImages[wall::kTabCount] = {L"热门.png", L"风景.png", L"美女.png", L"明星.png", L"清新.png",
                                                    L"萌宠.png", L"动漫.png", L"汽车.png", L"创意.png", L"游戏.png"};
constexpr int kArrowY = 155;
constexpr wchar_t kTitle[] = L"更换壁纸";
constexpr int kFadeSteps = 10;
constexpr int kStripStep = 4;
constexpr int kThumbsPerBatch = 6;
// Under the band's translucent pieces: the band is one opaque window.
const Gdiplus::Color kBandBase(255, 0x10, 0x13, 0x1A);

std::unique_ptr<Gdiplus::Image> LoadSkinImage(const std::wstring& path) {
  std::unique_ptr<Gdiplus::Image> img(VxLoadImageFile(path.c_str()));
  return VxImageUsable(img.get()) ? std::move(img) : nullptr;
}

// The pixels of part of an image, premultiplied.
void CopyImagePart(Gdiplus::Image* img, int x, int y, int w, int h, VxPixelImage* out) {
  if (!img || w <= 0 || h <= 0) return;
  Gdiplus::Bitmap part(w, h, PixelFormat32bppPARGB);
  {
    Gdiplus::Graphics g(&part);
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    g.DrawImage(img, Gdiplus::Rect(0, 0, w, h), x, y, w, h, Gdiplus::UnitPixel);
  }
  VxCopyPixels(part, out);
}

VxPixels FramePixels(void* bits, int cx, int cy) {
  return VxPixels{static_cast<uint8_t*>(bits), cx, cy, static_cast<std::ptrdiff_t>(cx) * 4};
}

}  // namespace

CWallpaperDlg::CWallpaperDlg() : CVxDialogBase(IDD) {}

CWallpaperDlg::~CWallpaperDlg() { StopWorkers(); }

std::wstring CWallpaperDlg::Skin(const wchar_t* name) const {
  return m_programDir + L"\\rs\\壁纸UI\\" + name;
}

BOOL CWallpaperDlg::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  // One opaque band: a plain window presents a frame with one BitBlt, where a layered one
  // would push the whole band through the compositor on every scroll step.
  SetNoLayDlg();
  SetNoMove(TRUE);
  ::SetWindowTextW(m_hWnd, kTitle);
  m_programDir = WallProgramFolder();
  m_userFolder = WallUserFolder();
  if (m_base.empty()) m_base = WallServerBase();
  WallRemoveStalePictures(m_userFolder);
  LoadItems();
  m_screen = ScreenMetrics();
  ApplyGeometry(m_screen);

  m_active = 0;
  m_tabs[0].SetActive(TRUE);
  m_cat[0].extent = 2LL * m_width;
  StartListLoader(0);
  ::SetTimer(m_hWnd, kRedrawTimer, 20, nullptr);
  ::SetTimer(m_hWnd, kStripTimer, 20, nullptr);
  ::SetTimer(m_hWnd, kScreenTimer, 1, nullptr);
  m_history = WallLoadHistory(m_userFolder, VxShellFunctions::GetWallpaper());
  WallSaveHistory(m_userFolder, m_history);
  ::SetTimer(m_hWnd, kTickTimer, 1000, nullptr);
  UpdateView();
  return TRUE;
}

void CWallpaperDlg::LoadItems() {
  struct ButtonLook {
    VxButton* button;
    const wchar_t* image;
    VxButton::VXBT_IMGS states;
    VxClickFunc click;
  };
  const ButtonLook looks[] = {
      {&m_btnClose, L"关闭.png", VxButton::VXBT_3, &CWallpaperDlg::OnClickClose},
      {&m_btnMin, L"最小化.png", VxButton::VXBT_3, &CWallpaperDlg::OnClickMin},
      {&m_btnRestore, L"还原.png", VxButton::VXBT_5, &CWallpaperDlg::OnClickRestore},
      {&m_btnLeft, L"左边.png", VxButton::VXBT_3, &CWallpaperDlg::OnClickLeft},
      {&m_btnRight, L"右边.png", VxButton::VXBT_3, &CWallpaperDlg::OnClickRight},
      {&m_btnLocal, L"本地图片.png", VxButton::VXBT_3, &CWallpaperDlg::OnClickLocal},
  };
  auto add = [this](VxButton& b, const std::wstring& path, VxButton::VXBT_IMGS n, VxClickFunc click) {
    if (!b.SetImage(path.c_str(), n) || !VxImageUsable(b.GetImage())) return;  // left out
    int fw = 0, fh = 0;
    b.GetFrameSize(&fw, &fh);
    b.SetRect(0, 0, fw, fh);
    b.SetMouseMoveHand(TRUE);
    VxCallbacks cb{click, this};
    b.SetCallBack(&cb);
    AddVxItem(&b);
  };
  for (const ButtonLook& s : looks) add(*s.button, Skin(s.image), s.states, s.click);
  m_btnRestore.SetEnable(FALSE);
  m_btnLeft.SetShow(FALSE);
  for (int i = 0; i < wall::kTabCount; ++i) {
    m_tabs[i].SetItemData(i);
    add(m_tabs[i], Skin(kTabImages[i]), VxButton::VXBT_4, &CWallpaperDlg::OnClickTab);
    m_tabClicks[i] = TabClick{this, i};
    VxCallbacks cb{&CWallpaperDlg::OnClickTab, &m_tabClicks[i]};
    m_tabs[i].SetCallBack(&cb);
  }

  m_bgLeft = LoadSkinImage(Skin(L"背景\\bg_left.png"));
  m_bgCenter = LoadSkinImage(Skin(L"背景\\bg_center.png"));
  m_bgRight = LoadSkinImage(Skin(L"背景\\bg_right.png"));
  m_bgTrack = LoadSkinImage(Skin(L"bg.png"));
  m_frameImg = LoadSkinImage(Skin(L"image_bg.png"));
  m_setImg = LoadSkinImage(Skin(L"设为壁纸.png"));
  m_barBackImg = LoadSkinImage(Skin(L"进度条背景.png"));
  m_barImg = LoadSkinImage(Skin(L"进度条.png"));
  if (m_frameImg) CopyImagePart(m_frameImg.get(), 0, 0, VxImageWidth(m_frameImg.get()), VxImageHeight(m_frameImg.get()), &m_frameBlank);
  if (m_setImg) {
    const int w = VxImageWidth(m_setImg.get()), h = VxImageHeight(m_setImg.get()) / 3;
    for (int k = 0; k < 3; ++k) CopyImagePart(m_setImg.get(), 0, k * h, w, h, &m_setStates[k]);
  }
  if (m_barBackImg) CopyImagePart(m_barBackImg.get(), 0, 0, VxImageWidth(m_barBackImg.get()), VxImageHeight(m_barBackImg.get()), &m_barBack);
  if (m_barImg) CopyImagePart(m_barImg.get(), 0, 0, VxImageWidth(m_barImg.get()), VxImageHeight(m_barImg.get()), &m_bar);
}

SIZE CWallpaperDlg::ScreenMetrics() { return SIZE{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

// The band across the work area of a screen of that size; a work area that the system has
// not brought in line with a new screen yet is cut to it.
void CWallpaperDlg::ApplyGeometry(SIZE screen) {
  const RECT whole{0, 0, screen.cx, screen.cy};
  RECT work = whole;
  if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && !::IntersectRect(&work, &work, &whole)) work = whole;
  const wall::Box band = wall::BandRect(work.left, work.top, work.right - work.left, work.bottom - work.top);
  m_width = band.w;
  ::SetWindowPos(m_hWnd, nullptr, band.x, band.y, band.w, band.h, SWP_NOZORDER | SWP_NOACTIVATE);
  m_band.Reset();
  PlaceItems();
  m_redraw = true;
}

void CWallpaperDlg::PlaceItems() {
  auto at = [](VxButton& b, int x, int y) {
    int fw = 0, fh = 0;
    b.GetFrameSize(&fw, &fh);
    b.SetRect(x, y, fw, fh);
  };
  const int w = m_width;
  at(m_btnClose, w - 50, 19);
  at(m_btnMin, w - 100, 19);
  at(m_btnRestore, w - 150, 19);
  at(m_btnLeft, 0, kArrowY);
  int rw = 0, rh = 0;
  m_btnRight.GetFrameSize(&rw, &rh);
  at(m_btnRight, w - rw, kArrowY);
  at(m_btnLocal, w - 110, 347);
  for (int i = 0; i < wall::kTabCount; ++i) at(m_tabs[i], wall::TabX(w, i), 342);
}

// ---- clicks ----
void CWallpaperDlg::OnClickClose(void* self) { static_cast<CWallpaperDlg*>(self)->CloseVxDlg(); }
void CWallpaperDlg::OnClickMin(void* self) { static_cast<CWallpaperDlg*>(self)->MinVxDlg(); }
void CWallpaperDlg::OnClickRestore(void* self) { static_cast<CWallpaperDlg*>(self)->RestorePrevious(); }
void CWallpaperDlg::OnClickLeft(void* self) { static_cast<CWallpaperDlg*>(self)->ScrollLeft(); }
void CWallpaperDlg::OnClickRight(void* self) { static_cast<CWallpaperDlg*>(self)->ScrollRight(); }
void CWallpaperDlg::OnClickLocal(void* self) { static_cast<CWallpaperDlg*>(self)->OpenLocalPicture(); }

void CWallpaperDlg::OnClickTab(void* click) {
  const auto* c = static_cast<TabClick*>(click);
  c->dlg->ActivateTab(c->index);
}

void CWallpaperDlg::ActivateTab(int tab) {
  if (tab < 0 || tab >= wall::kTabCount) return;
  if (tab != m_active) {
    for (auto& p : m_cat[m_active].pics) p->hovered = 0;
    m_tabs[m_active].SetActive(FALSE);
    m_tabs[tab].SetActive(TRUE);
    m_active = tab;
    m_redraw = true;
    if (m_cat[tab].extent == 0) m_cat[tab].extent = 2LL * m_width;
    StartListLoader(tab);
  }
  ShowArrowsFor(tab);
  UpdateView();
}

void CWallpaperDlg::ShowArrowsFor(int tab) {
  const Category& c = m_cat[tab];
  m_btnLeft.SetShow(c.offset > 0);
  m_btnRight.SetShow(!c.rightHidden);
}

void CWallpaperDlg::ScrollLeft() {
  if (m_cat[m_active].offset <= 0) return;
  m_pendingScroll = -m_width;
  ::SetTimer(m_hWnd, kScrollTimer, 20, nullptr);
  m_btnRight.SetShow(!m_cat[m_active].rightHidden);
  m_redraw = true;
}

void CWallpaperDlg::ScrollRight() {
  Category& c = m_cat[m_active];
  if (c.offset + 2LL * m_width >= c.extent) c.extent += m_width;
  m_pendingScroll = m_width;
  ::SetTimer(m_hWnd, kScrollTimer, 20, nullptr);
  m_btnLeft.SetShow(TRUE);
  StartListLoader(m_active);
}

bool CWallpaperDlg::StepScroll() {
  Category& c = m_cat[m_active];
  wall::ScrollState s{c.offset, m_pendingScroll};
  const wall::ScrollTick t = wall::StepScroll(&s, m_width, wall::ContentWidth(static_cast<int>(c.pics.size())));
  c.offset = s.offset;
  m_pendingScroll = s.pending;
  if (t.hideLeft) m_btnLeft.SetShow(FALSE);
  if (t.hideRight) m_btnRight.SetShow(FALSE);
  for (auto& p : c.pics) p->hovered = 0;
  m_redraw = true;
  if (t.done) {
    ::KillTimer(m_hWnd, kScrollTimer);
    ::PostMessageW(m_hWnd, WM_WALL_LOADER, 0, 0);  // what waited for the scroll
  }
  return !t.done;
}

// ---- catalogue ----
void CWallpaperDlg::StartListLoader(int tab) {
  Category& c = m_cat[tab];
  const wall::ListRange r = wall::MissingLists(c.requested, c.extent);
  if (r.first == 0) {
    m_redraw = true;
    return;
  }
  WallLoadRequest req;
  req.tab = tab;
  req.type = wall::TypeForTab(tab);
  req.first = r.first;
  req.last = r.last;
  req.fetchCount = c.countPending;
  req.total = c.total;
  c.countPending = false;
  c.requested = r.last;
  m_loadQueue.push_back(req);
  PumpLoader();
}

// One loader job at a time; the queue's next request starts when the running one is over.
// Not while the strip scrolls: a starting loader thread and its first requests cost the
// frame they overlap several milliseconds under Wine, and what the arrows ask for lies past
// the scroll's end anyway.
void CWallpaperDlg::PumpLoader() {
  if (m_closing || m_pendingScroll != 0 || m_loadQueue.empty() || m_loader.Running()) return;
  const WallLoadRequest req = m_loadQueue.front();
  const std::wstring base = m_base, folder = m_userFolder;
  if (!m_loader.Start(m_hWnd, WM_WALL_LOADER, [req, base, folder](VxWorkerJob<WallLoadEvent>& job) {
        WallRunListLoad(req, base, folder, [&job](WallLoadEvent e) { job.Post(std::move(e)); },
                        [&job] { return job.Stopping(); });
        job.Post(WallLoadEvent{});  // kDone
      }))
    return;
  m_loadQueue.pop_front();
}

void CWallpaperDlg::TakeLoaderEvents() {
  for (WallLoadEvent& e : m_loader.TakeResults()) m_loaderEvents.push_back(std::move(e));
  // Decoding thumbnails between scroll frames would make them late; they wait for its end.
  if (m_pendingScroll != 0) return;
  // A few thumbnails at a time, with a paint between: a cached category arrives all at once,
  // and the first pictures should not wait for the last ones to decode.
  int decoded = 0;
  while (!m_loaderEvents.empty() && decoded < kThumbsPerBatch) {
    WallLoadEvent e = std::move(m_loaderEvents.front());
    m_loaderEvents.pop_front();
    if (e.tab < 0 || e.tab >= wall::kTabCount) continue;
    decoded += e.kind == WallLoadEvent::kThumb;
    Category& c = m_cat[e.tab];
    switch (e.kind) {
      case WallLoadEvent::kTotal: c.total = e.total; break;
      case WallLoadEvent::kHideRight:
        c.rightHidden = true;
        // Lists past the server's end are not asked for again.
        c.requested = std::min<long long>(c.requested, c.total / wall::kPicturesPerList);
        if (e.tab == m_active) m_btnRight.SetShow(FALSE);
        break;
      case WallLoadEvent::kPictures: AppendPictures(e); break;
      case WallLoadEvent::kThumb: FillThumbnail(e); break;
      case WallLoadEvent::kFailed:
        // What failed is asked for again by the next load of the category (the retry).
        c.requested = std::min(c.requested, e.list - 1);
        if (e.countFailed) c.countPending = true;
        m_networkFailed = true;
        break;
      case WallLoadEvent::kDone: break;
    }
  }
  if (!m_loaderEvents.empty()) {
    m_redraw = false;
    UpdateView();
    ::UpdateWindow(m_hWnd);
    ::PostMessageW(m_hWnd, WM_WALL_LOADER, 0, 0);  // the rest after this paint
  }
  PumpLoader();
}

void CWallpaperDlg::AppendPictures(const WallLoadEvent& e) {
  for (const auto& seed : e.seeds) {
    auto pic = std::make_unique<WalpagePic>();
    pic->picturePath = seed.bigpic;
    pic->list = e.list;
    pic->slot = seed.slot;
    m_announced = pic.release();
    ::SendMessageW(m_hWnd, WM_WALL_PIC, static_cast<WPARAM>(e.tab), reinterpret_cast<LPARAM>(m_announced));
    if (m_announced) delete m_announced;  // not taken
    m_announced = nullptr;
  }
  m_redraw = true;
}

void CWallpaperDlg::FillThumbnail(const WallLoadEvent& e) {
  auto& pics = m_cat[e.tab].pics;
  for (auto it = pics.rbegin(); it != pics.rend(); ++it) {
    WalpagePic* pic = it->get();
    if (pic->list != e.list || pic->slot != e.slot) continue;
    pic->thumbPath = e.thumbPath;
    pic->image.reset(VxLoadImageFile(e.thumbPath.c_str()));
    if (!VxImageUsable(pic->image.get())) {
      // A cached file that does not decode is fetched again next time.
      pic->image.reset();
      ::DeleteFileW(e.thumbPath.c_str());
      return;
    }
    BuildCard(pic);
    pic->loaded = 1;
    ::PostMessageW(m_hWnd, WM_WALL_PIC, static_cast<WPARAM>(-1), 0);
    return;
  }
}

void CWallpaperDlg::BuildCard(WalpagePic* pic) {
  const int x = wall::kThumbInset, y = wall::kThumbInset;
  const int pw = wall::kThumbWidth - 2 * x, ph = wall::kThumbHeight - 2 * y;
  auto card = std::make_unique<Gdiplus::Bitmap>(wall::kThumbWidth, wall::kThumbHeight, PixelFormat32bppPARGB);
  {
    Gdiplus::Graphics g(card.get());
    if (m_frameImg) g.DrawImage(m_frameImg.get(), 0, 0, wall::kThumbWidth, wall::kThumbHeight);
    const int iw = VxImageWidth(pic->image.get()), ih = VxImageHeight(pic->image.get());
    const VxXYWH src = VxCoverCropSource(iw, ih, pw, ph);
    // The server's thumbnails come at the picture's size: only others are scaled.
    if (src.w != pw || src.h != ph) {
      g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
      g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    }
    g.DrawImage(pic->image.get(), Gdiplus::Rect(x, y, pw, ph), src.x, src.y, src.w, src.h, Gdiplus::UnitPixel);
  }
  VxCopyPixels(*card, &pic->cardPixels);
  RoundPictureCorners(pic->cardPixels, x, y, pw, ph);
  pic->card = std::move(card);
}

// The frame's rounded inner corners over the square picture, in plain memory: a clip path
// would send the whole picture through GDI+'s slow region path.
void CWallpaperDlg::RoundPictureCorners(const VxPixelImage& card, int x, int y, int w, int h) const {
  if (!card || !m_frameBlank || m_frameBlank.Width() != card.Width() || m_frameBlank.Height() != card.Height()) return;
  const VxPixels to = card.Pixels(), from = m_frameBlank.Pixels();
  constexpr int r = 6;
  for (int dy = 0; dy < r; ++dy)
    for (int dx = 0; dx < r; ++dx) {
      const double ox = r - dx - 0.5, oy = r - dy - 0.5;
      if (ox * ox + oy * oy <= r * r) continue;
      for (const auto& c : {std::pair<int, int>{x + dx, y + dy}, {x + w - 1 - dx, y + dy}, {x + dx, y + h - 1 - dy},
                            {x + w - 1 - dx, y + h - 1 - dy}})
        memcpy(to.bits + c.second * to.stride + c.first * 4, from.bits + c.second * from.stride + c.first * 4, 4);
    }
}

// ---- downloads and history ----
void CWallpaperDlg::StartDownload(WalpagePic* pic) {
  if (!pic || pic->downloading) return;
  const std::string leaf = wall::SafeLeafName(WallUtf8(pic->picturePath));
  if (leaf.empty() || m_userFolder.empty()) return;
  const std::wstring local = WallPictureFolder(m_userFolder) + WallWide(leaf);
  if (WallFileExists(local)) return SetWallpaperFromFile(local);
  const std::wstring url = m_base + pic->picturePath;
  if (!pic->download.Start(m_hWnd, WM_WALL_DOWNLOAD, [url, local](VxWorkerJob<WallDownloadEvent>& job) {
        WallDownloadPicture(url, local, [&job](WallDownloadEvent e) { job.Post(std::move(e)); },
                            [&job] { return job.Stopping(); });
      }))
    return;
  pic->downloading = 1;
  pic->progress = pic->progressMax = 0;
  if (std::find(m_downloads.begin(), m_downloads.end(), pic) == m_downloads.end()) m_downloads.push_back(pic);
  m_redraw = true;
}

void CWallpaperDlg::TakeDownloadEvents() {
  const std::vector<WalpagePic*> downloads = m_downloads;
  for (WalpagePic* pic : downloads) {
    for (WallDownloadEvent& e : pic->download.TakeResults()) {
      switch (e.kind) {
        case WallDownloadEvent::kProgress:
          pic->progress = static_cast<int>(std::min<ULONG>(e.progress, 0x7FFFFFFF));
          pic->progressMax = static_cast<int>(std::min<ULONG>(e.max, 0x7FFFFFFF));
          break;
        case WallDownloadEvent::kDone:
          pic->downloading = 0;
          SetWallpaperFromFile(e.path);
          break;
        case WallDownloadEvent::kFailed:
          pic->downloading = 0;
          m_networkFailed = true;
          break;
        case WallDownloadEvent::kUndecodable:
          pic->downloading = 0;
          TellUndecodable();
          break;
      }
      m_redraw = true;
    }
    if (!pic->downloading && !pic->download.Running())
      m_downloads.erase(std::remove(m_downloads.begin(), m_downloads.end(), pic), m_downloads.end());
  }
}

void CWallpaperDlg::TellUndecodable() {
  ::MessageBoxW(m_hWnd, L"这张图片无法读取，没有设为壁纸。", L"Vexlo桌面", MB_OK | MB_ICONWARNING);
}

void CWallpaperDlg::SetWallpaperFromFile(const std::wstring& path) {
  if (path.empty() || m_history.IsNewest(path)) return;
  if (!WallPictureDecodes(path)) return TellUndecodable();
  if (!VxShellFunctions::SetWallpaper(path.c_str(), 0)) return;
  m_history.Append(path);
  WallSaveHistory(m_userFolder, m_history);
  if (!m_btnRestore.GetEnable()) {
    m_btnRestore.SetEnable(TRUE);
    UpdateView();
  }
}

void CWallpaperDlg::RestorePrevious() {
  const auto exists = [](const std::wstring& p) { return WallFileExists(p); };
  if (auto previous = m_history.TakePrevious(exists)) VxShellFunctions::SetWallpaper(previous->c_str(), 0);
  WallSaveHistory(m_userFolder, m_history);
  if (!m_history.HasPrevious(exists) && m_btnRestore.GetEnable()) {
    m_btnRestore.SetEnable(FALSE);
    UpdateView();
  }
}

void CWallpaperDlg::OpenLocalPicture() {
  wchar_t file[MAX_PATH] = {};
  static const wchar_t kFilter[] = L"JPG图片(*.jpg)\0*.jpg\0PNG图片(*.png)\0*.png\0\0";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = m_hWnd;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (::GetOpenFileNameW(&ofn)) SetWallpaperFromFile(file);
}

void CWallpaperDlg::ShowFailureTip() {
  m_tipOpen = true;
  m_networkFailed = false;
  CDialogWebWrong tip(m_hWnd, m_programDir);
  const INT_PTR result = tip.DoModal();
  m_tipOpen = false;
  if (!::IsWindow(m_hWnd) || m_closing) return;
  m_pendingAction = static_cast<int>(result);
  if (m_pendingAction == CDialogWebWrong::kLocal) OpenLocalPicture();
  else if (m_pendingAction == CDialogWebWrong::kRetry) StartListLoader(m_active);
  m_pendingAction = 0;
}

// ---- messages and timers ----
BOOL CWallpaperDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (msg) {
    case WM_WALL_PIC:
      if (wParam == static_cast<WPARAM>(-1)) {
        ::SetTimer(m_hWnd, kFadeTimer, 10, nullptr);
      } else if (wParam < static_cast<WPARAM>(wall::kTabCount) && lParam &&
                 reinterpret_cast<WalpagePic*>(lParam) == m_announced) {
        m_cat[wParam].pics.emplace_back(m_announced);
        m_announced = nullptr;
      }
      *pResult = 0;
      return TRUE;
    case WM_WALL_LOADER:
      TakeLoaderEvents();
      *pResult = 0;
      return TRUE;
    case WM_WALL_DOWNLOAD:
      TakeDownloadEvents();
      *pResult = 0;
      return TRUE;
    case WM_DISPLAYCHANGE: {
      // The message carries the new size; the metrics may still tell the old one.
      SIZE screen{LOWORD(lParam), HIWORD(lParam)};
      if (screen.cx <= 0 || screen.cy <= 0) screen = ScreenMetrics();
      ApplyGeometry(screen);
      break;
    }
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA) ApplyGeometry(ScreenMetrics());
      break;
    default: break;
  }
  return CVxDialogBase::OnMessage(msg, wParam, lParam, pResult);
}

void CWallpaperDlg::OnTimer(UINT_PTR id) {
  switch (id) {
    case kStripTimer: AnimateStrips(); return;
    case kFadeTimer: RaiseFades(); return;
    case kRedrawTimer:
      PumpLoader();
      if (m_redraw) {
        m_redraw = false;
        UpdateView();
      }
      if (m_networkFailed && !m_tipOpen) ShowFailureTip();
      return;
    case kScrollTimer: StepScroll(); return;
    case kScreenTimer:
      if (const SIZE now = ScreenMetrics(); now.cx != m_screen.cx || now.cy != m_screen.cy) {
        m_screen = now;
        ApplyGeometry(now);
      }
      return;
    case kTickTimer: m_redraw = true; return;
    default: CVxDialogBase::OnTimer(id);
  }
}

void CWallpaperDlg::AnimateStrips() {
  for (auto& p : m_cat[m_active].pics) {
    const int before = p->stripHeight;
    p->stripHeight = p->hovered ? std::min(before + kStripStep, wall::kSetButtonHeight) : std::max(before - kStripStep, 0);
    if (p->stripHeight != before) m_redraw = true;
  }
}

void CWallpaperDlg::RaiseFades() {
  bool rising = false;
  for (auto& p : m_cat[m_active].pics) {
    if (!p->loaded || p->fadeStep >= kFadeSteps) continue;
    ++p->fadeStep;
    m_redraw = true;
    rising |= p->fadeStep < kFadeSteps;
  }
  if (!rising) ::KillTimer(m_hWnd, kFadeTimer);
}

WalpagePic* CWallpaperDlg::HoveredPicture() const {
  for (const auto& p : m_cat[m_active].pics)
    if (p->hovered) return p.get();
  return nullptr;
}

bool CWallpaperDlg::OverSetButton(const WalpagePic* pic, int index, POINT pt) const {
  if (!pic || !pic->loaded) return false;
  return wall::SetButtonRect(index, m_cat[m_active].offset, wall::kSetButtonHeight).Contains(pt.x, pt.y);
}

void CWallpaperDlg::OnMouseMove(UINT nFlags, POINT pt) {
  CVxDialogBase::OnMouseMove(nFlags, pt);
  Category& c = m_cat[m_active];
  const int index = wall::PictureAt(pt.x, pt.y, c.offset, static_cast<int>(c.pics.size()));
  for (int i = 0; i < static_cast<int>(c.pics.size()); ++i) {
    WalpagePic* p = c.pics[i].get();
    const int hovered = i == index ? 1 : 0;
    const int pressed = hovered && OverSetButton(p, i, pt) ? 1 : 0;
    if (p->hovered != hovered || p->buttonPressed != pressed) m_redraw = true;
    p->hovered = hovered;
    p->buttonPressed = pressed;
    if (pressed) ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  }
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 0};
  ::TrackMouseEvent(&tme);
}

void CWallpaperDlg::OnMouseLeave() {
  CVxDialogBase::OnMouseLeave();
  for (auto& p : m_cat[m_active].pics) {
    if (p->hovered || p->buttonPressed) m_redraw = true;
    p->hovered = p->buttonPressed = 0;
  }
}

void CWallpaperDlg::OnLButtonUp(UINT nFlags, POINT pt) {
  HWND hwnd = m_hWnd;
  CVxDialogBase::OnLButtonUp(nFlags, pt);
  if (!::IsWindow(hwnd)) return;
  Category& c = m_cat[m_active];
  const int index = wall::PictureAt(pt.x, pt.y, c.offset, static_cast<int>(c.pics.size()));
  if (index < 0) return;
  WalpagePic* pic = c.pics[index].get();
  if (!OverSetButton(pic, index, pt)) return;
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  pic->hovered = 1;
  pic->buttonPressed = 1;
  StartDownload(pic);
}

// Skinned windows do not close from the keyboard; the close button posts WM_CLOSE.
void CWallpaperDlg::OnOK() {}
void CWallpaperDlg::OnCancel() {}

void CWallpaperDlg::OnClose() {
  // Gone from the screen at once; the workers are stopped as the window goes.
  ::ShowWindow(m_hWnd, SW_HIDE);
  EndDialog(IDCANCEL);
}

void CWallpaperDlg::StopWorkers() {
  m_closing = true;
  m_loadQueue.clear();
  m_loaderEvents.clear();
  m_loader.Stop();
  for (auto& c : m_cat)
    for (auto& p : c.pics) p->download.Stop();
  m_downloads.clear();
}

void CWallpaperDlg::OnDestroy() {
  StopWorkers();
  for (UINT_PTR t : {kStripTimer, kFadeTimer, kRedrawTimer, kScrollTimer, kScreenTimer, kTickTimer})
    ::KillTimer(m_hWnd, t);
  CVxDialogBase::OnDestroy();
}

// ---- drawing ----
void CWallpaperDlg::BuildBand(int cx, int cy) {
  Gdiplus::Bitmap band(cx, cy, PixelFormat32bppPARGB);
  {
    Gdiplus::Graphics g(&band);
    Gdiplus::SolidBrush base(kBandBase);
    g.FillRectangle(&base, 0, 0, cx, cy);
    const int lw = VxImageWidth(m_bgLeft.get()), rw = VxImageWidth(m_bgRight.get());
    if (m_bgLeft) g.DrawImage(m_bgLeft.get(), 0, 0, lw, cy);
    if (m_bgCenter)
      VxDrawImageRect(g, m_bgCenter.get(), Gdiplus::Rect(lw, 0, cx - lw - rw, cy), 0, 0,
                      VxImageWidth(m_bgCenter.get()), VxImageHeight(m_bgCenter.get()));
    if (m_bgRight) g.DrawImage(m_bgRight.get(), cx - rw, 0, rw, cy);
    if (m_bgTrack)
      g.DrawImage(m_bgTrack.get(), (cx - VxImageWidth(m_bgTrack.get())) / 2, 342, VxImageWidth(m_bgTrack.get()),
                  VxImageHeight(m_bgTrack.get()));
  }
  VxCopyPixels(band, &m_band);
}

bool CWallpaperDlg::EnsureFrame(HDC hdc, int cx, int cy) {
  if (m_frameDC && m_frameCx == cx && m_frameCy == cy) return true;
  m_frameDC.Reset();
  m_frameDib.Reset();
  void* bits = nullptr;
  VxBitmap dib(VxCreateTopDownDib(hdc, cx, cy, &bits));
  VxMemDC dc(::CreateCompatibleDC(hdc));
  if (!dib || !dc || !bits) return false;
  ::SelectObject(dc.Get(), dib.Get());
  m_frameDib = std::move(dib);
  m_frameDC = std::move(dc);
  m_frameBits = bits;
  m_frameCx = cx;
  m_frameCy = cy;
  return true;
}

void CWallpaperDlg::DrawStrip(Gdiplus::Graphics& g, const VxPixels& frame, int cx) {
  const Category& c = m_cat[m_active];
  m_drawnThumbs = 0;
  const int first = std::max(0, (c.offset - wall::kStripLeft) / wall::kCellWidth);
  for (int i = first; i < static_cast<int>(c.pics.size()); ++i) {
    const WalpagePic* p = c.pics[i].get();
    const wall::Box t = wall::ThumbRect(i, c.offset);
    if (t.x >= cx) break;
    if (!p->loaded || !p->card) {
      if (m_frameBlank) VxBlendOver(frame, t.x, t.y, m_frameBlank.Pixels(), 0, 0, t.w, t.h);
      continue;
    }
    ++m_drawnThumbs;
    if (p->fadeStep >= kFadeSteps) {
      VxBlendOver(frame, t.x, t.y, p->cardPixels.Pixels(), 0, 0, t.w, t.h);
    } else {
      // Grows out of its cell's centre.
      const int s = std::max(p->fadeStep, 1);
      const int w = t.w * s / kFadeSteps, h = t.h * s / kFadeSteps;
      g.DrawImage(p->card.get(), Gdiplus::Rect(t.x + (t.w - w) / 2, t.y + (t.h - h) / 2, w, h), 0, 0, t.w, t.h,
                  Gdiplus::UnitPixel);
      g.Flush(Gdiplus::FlushIntentionSync);
      ::GdiFlush();  // the strip below is written straight into the frame's memory
    }
    const wall::Box pic = wall::PictureRect(i, c.offset);
    if (p->stripHeight > 0) {
      const int k = p->downloading ? 2 : p->buttonPressed ? 1 : 0;
      const VxPixelImage& state = m_setStates[k];
      if (state) {
        const int h = std::min(p->stripHeight, state.Height());
        VxBlendOver(frame, pic.x, pic.y + pic.h - h, state.Pixels(), 0, 0, std::min(pic.w, state.Width()), h);
      }
    }
    if (p->downloading && m_barBack && m_bar) {
      const int bx = pic.x + (pic.w - m_barBack.Width()) / 2, by = pic.y + pic.h - wall::kSetButtonHeight - 12;
      VxBlendOver(frame, bx, by, m_barBack.Pixels(), 0, 0, m_barBack.Width(), m_barBack.Height());
      const long long filled = p->progressMax > 0 ? 1LL * m_bar.Width() * std::min(p->progress, p->progressMax) / p->progressMax : 0;
      VxBlendOver(frame, bx, by, m_bar.Pixels(), 0, 0, static_cast<int>(filled), m_bar.Height());
    }
  }
}

void CWallpaperDlg::DrawSurface(HDC hdc, int cx, int cy, BOOL /*buffered*/) {
  if (cx <= 0 || cy <= 0 || !EnsureFrame(hdc, cx, cy)) return;
  if (!m_band || m_band.Width() != cx || m_band.Height() != cy) BuildBand(cx, cy);
  const VxPixels frame = FramePixels(m_frameBits, cx, cy);
  ::GdiFlush();
  if (m_band) {
    const VxPixels band = m_band.Pixels();
    for (int y = 0; y < cy; ++y)
      memcpy(frame.bits + y * frame.stride, band.bits + y * band.stride, static_cast<size_t>(cx) * 4);
  }
  {
    Gdiplus::Graphics g(m_frameDC.Get());
    g.SetInterpolationMode(Gdiplus::InterpolationModeBilinear);
    DrawStrip(g, frame, cx);
  }
  // The buttons and tabs over the strip, through the dialog's own item painting.
  OnVxPaint(m_frameDC.Get(), cx, cy);
  ::BitBlt(hdc, 0, 0, cx, cy, m_frameDC.Get(), 0, 0, SRCCOPY);
}
