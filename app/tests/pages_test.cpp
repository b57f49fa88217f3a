// The host window's pages on a real host under Wine: pages made on first showing through the
// factories, the slide between any two of them (and to and from the plain desktop), input,
// timers and drops only for the page that shows, a page that refuses input, and a wallpaper
// whose file is missing.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/BaseWnd.h"
#include "app/DialogBack.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "desk/MyDesk.h"

namespace {

// A page that paints itself one colour and writes down what reaches it.
class TestPage : public CBaseDesk {
 public:
  TestPage(CDeskOwner* owner, Gdiplus::Color colour) : CBaseDesk(0, owner), colour_(colour) {}
  BOOL AcceptsInput() const override { return !refuses; }
  BOOL OnPageMouse(UINT message, WPARAM, POINT point) override {
    ++mouse;
    lastMouse = message;
    lastPoint = point;
    return TRUE;
  }
  BOOL OnPageKey(const MSG& msg) override {
    if (msg.message == WM_KEYDOWN) ++keys;
    return TRUE;
  }
  void OnPageTimer(UINT_PTR id) override { lastTimer = id; }
  void OnPageDragEnter(IDataObject*, DWORD, POINT, DWORD* effect) override {
    ++drags;
    *effect = DROPEFFECT_COPY;
  }
  void OnPageDragLeave() override { ++leaves; }
  void OnPageDrop(IDataObject*, DWORD, POINT, DWORD* effect) override {
    ++drops;
    *effect = DROPEFFECT_COPY;
  }
  void PlacePage(int x, int, int, int) override { placedAt = x; }
  void OnWorkAreaChanged(const RECT& pageRect) override {
    ++workAreas;
    CBaseDesk::OnWorkAreaChanged(pageRect);
  }
  void Draw(Gdiplus::Graphics& g, int width, int height) override {
    Gdiplus::SolidBrush fill(colour_);
    g.FillRectangle(&fill, 0, 0, width, height);
  }

  bool refuses = false;
  int mouse = 0, keys = 0, drags = 0, leaves = 0, drops = 0, workAreas = 0;
  UINT lastMouse = 0;
  POINT lastPoint{0, 0};
  UINT_PTR lastTimer = 0;
  int placedAt = 12345;

 private:
  Gdiplus::Color colour_;
};

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!CVxDialog::PreTranslate(&msg)) ::DispatchMessageW(&msg);
  }
}

// Runs the real message loop with its timers for `ms`.
void RunFor(DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < ms) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    Pump();
  }
}

// Ticks until nothing moves; the number of ticks.
int TickUntilStill(CBaseWnd* host, CBaseDesk* a, CBaseDesk* b = nullptr) {
  int ticks = 0;
  while ((a && a->IsMoving()) || (b && b->IsMoving())) {
    host->Tick();
    if (++ticks > 1000) break;
  }
  return ticks;
}

COLORREF FramePixel(CBaseWnd* host, int x = 10) {
  host->Compose();
  return ::GetPixel(host->FrameDC(), x, 10) & 0xFFFFFF;
}

FILETIME WriteTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

class PagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t dir[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, dir);
    desktop = dir;
    PrepareDesktopShell();
    RemoveFolderContents(desktop);
    RemoveDataFolder();
    AppGlobals& g = TheApp();
    g.desk.config = DeskConfig();
    g.desk.config.deskPageOn = 0;
    g.currentView = 0;
  }
  void TearDown() override {
    if (back.GetSafeHwnd()) back.DestroyWindow();
    Pump();
    RemoveDataFolder();
  }
  std::wstring desktop;
  CDialogBack back;
};

}  // namespace

TEST_F(PagesTest, PagesSlideAndOnlyTheShowingPageTakesInput) {
  ASSERT_TRUE(back.Create(nullptr));
  CBaseWnd* host = back.Host();
  HWND hwnd = host->GetSafeHwnd();
  int made = 0;
  TestPage* sites = nullptr;
  TestPage* web = nullptr;
  // The host's own mechanics, with pages of the test's making: the navigation pages the
  // program installs are left out.
  for (int type = CBaseWnd::kMySitesPage; type < kHostPageTypes; ++type) host->SetPageFactory(type, nullptr);
  host->SetPageFactory(CBaseWnd::kMySitesPage, [&](CBaseWnd& owner, const HostPageInfo& info) {
    EXPECT_EQ(info.id, 10);
    ++made;
    auto page = std::make_unique<TestPage>(&owner, Gdiplus::Color(255, 0, 200, 0));
    sites = page.get();
    return page;
  });
  host->SetPageFactory(7, [&](CBaseWnd& owner, const HostPageInfo& info) {  // games, id 50
    EXPECT_EQ(info.control, 1008);
    ++made;
    auto page = std::make_unique<TestPage>(&owner, Gdiplus::Color(255, 0, 0, 200));
    web = page.get();
    return page;
  });
  const int cx = ::GetSystemMetrics(SM_CXSCREEN);
  // The wallpaper need not be one colour (an earlier test may have set a picture): each
  // point is compared with the plain desktop at the same place.
  const COLORREF plain = FramePixel(host), plainRight = FramePixel(host, cx - 101);

  // From the plain desktop to my sites: made now, in from the right, 100 px a tick.
  host->ShowPage(CBaseWnd::kMySitesPage);
  ASSERT_NE(sites, nullptr);
  EXPECT_EQ(host->CurrentPageId(), 10);
  EXPECT_EQ(sites->workAreas, 1) << "a new page learns its rectangle";
  EXPECT_EQ(sites->SlideOffset(), cx);
  host->Tick();
  EXPECT_EQ(sites->SlideOffset(), cx - 100);
  EXPECT_EQ(sites->placedAt, cx - 100);
  EXPECT_EQ(FramePixel(host, cx - 101), plainRight) << "left of the moving page: the wallpaper";
  EXPECT_EQ(FramePixel(host, cx - 99), RGB(0, 200, 0)) << "the page where it lies now";
  EXPECT_EQ(TickUntilStill(host, sites) + 1, (cx + 99) / 100);
  EXPECT_EQ(sites->SlideOffset(), 0) << "the last step lands exactly on the goal";
  EXPECT_FALSE(sites->IsDone());
  EXPECT_EQ(FramePixel(host), RGB(0, 200, 0));
  // The page that already shows: nothing happens.
  host->ShowPage(CBaseWnd::kMySitesPage);
  EXPECT_EQ(made, 1);
  EXPECT_FALSE(sites->IsMoving());
  // A type nobody makes yet changes nothing.
  host->ShowPage(CBaseWnd::kRecommendedPage);
  EXPECT_EQ(TheApp().currentView, CBaseWnd::kMySitesPage);

  // Mouse, wheel, keys and timers reach the page that shows.
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 60));
  EXPECT_EQ(sites->lastMouse, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(sites->lastPoint.x, 40);
  POINT screen{70, 80};
  ::ClientToScreen(hwnd, &screen);
  ::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(sites->lastMouse, static_cast<UINT>(WM_MOUSEWHEEL));
  EXPECT_EQ(sites->lastPoint.y, 80) << "the wheel's point in client terms";
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_F5, 0);
  Pump();
  EXPECT_EQ(sites->keys, 1);
  ::SendMessageW(hwnd, WM_TIMER, 1003, 0);
  EXPECT_EQ(sites->lastTimer, 1003u);

  // My sites (10) to games (50): games comes in from the right, my sites leaves to the left.
  host->ShowPage(7);
  ASSERT_NE(web, nullptr);
  EXPECT_EQ(web->SlideOffset(), cx);
  EXPECT_EQ(sites->SlideGoal(), -cx);
  TickUntilStill(host, web, sites);
  EXPECT_EQ(web->SlideOffset(), 0);
  EXPECT_EQ(sites->SlideOffset(), -cx);
  EXPECT_TRUE(sites->IsDone()) << "the outgoing page is marked done";
  EXPECT_FALSE(web->IsDone());
  EXPECT_EQ(FramePixel(host), RGB(0, 0, 200));
  const int sitesMouse = sites->mouse;
  ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  ::SendMessageW(hwnd, WM_TIMER, 1001, 0);
  EXPECT_EQ(sites->mouse, sitesMouse) << "a page that does not show gets no mouse";
  EXPECT_EQ(sites->lastTimer, 1003u) << "... nor timers";
  EXPECT_EQ(web->lastMouse, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(web->lastTimer, 1001u);

  // Drops go to the page that shows; a switch in the middle of a drag takes it along.
  EXPECT_EQ(host->DragEnter(nullptr, 0, POINT{9, 9}, DROPEFFECT_COPY | DROPEFFECT_MOVE),
            static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(host->Drop(nullptr, 0, POINT{9, 9}, DROPEFFECT_COPY), static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(web->drops, 1);
  host->DragEnter(nullptr, 0, POINT{9, 9}, DROPEFFECT_COPY);

  // A page that refuses input gets no mouse, keys or drops, and still its timers.
  web->refuses = true;
  const int webMouse = web->mouse;
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ::PostMessageW(hwnd, WM_KEYDOWN, VK_F5, 0);
  Pump();
  EXPECT_EQ(web->mouse, webMouse);
  EXPECT_EQ(web->keys, 0);
  EXPECT_EQ(host->DragOver(0, POINT{9, 9}, DROPEFFECT_COPY), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(web->leaves, 1) << "the drag left the page when it stopped taking input";
  EXPECT_EQ(host->Drop(nullptr, 0, POINT{9, 9}, DROPEFFECT_COPY), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(web->drops, 1);
  ::SendMessageW(hwnd, WM_TIMER, 1002, 0);
  EXPECT_EQ(web->lastTimer, 1002u);
  web->refuses = false;

  // To the plain desktop: the page slides out to the right (no page has an id below it).
  host->ShowPage(CBaseWnd::kPlain);
  EXPECT_EQ(host->CurrentPageId(), -1);
  EXPECT_EQ(web->SlideGoal(), cx);
  TickUntilStill(host, web);
  EXPECT_TRUE(web->IsDone());
  EXPECT_EQ(FramePixel(host), plain);
  ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(web->lastMouse, static_cast<UINT>(WM_MOUSEMOVE)) << "unchanged: nothing shows";

  // The desk comes from the plain desktop at once, and slides left for my sites (5 -> 10).
  host->ShowPage(CBaseWnd::kDeskPage);
  CMyDesk* desk = host->Desk();
  ASSERT_NE(desk, nullptr);
  EXPECT_EQ(desk->SlideOffset(), 0);
  EXPECT_FALSE(desk->IsMoving());
  host->ShowPage(CBaseWnd::kMySitesPage);
  EXPECT_EQ(made, 2) << "pages are made once";
  EXPECT_EQ(sites->SlideOffset(), cx);
  TickUntilStill(host, desk, sites);
  EXPECT_EQ(desk->SlideOffset(), -cx);
  EXPECT_TRUE(desk->IsDone());
  EXPECT_EQ(FramePixel(host), RGB(0, 200, 0));

  // A work-area change reaches every page that exists, shown or not.
  host->RelayoutAll();
  EXPECT_EQ(sites->workAreas, 2);
  EXPECT_EQ(web->workAreas, 2);
  EXPECT_EQ(desk->PageRect().bottom, CBaseWnd::WorkAreaPageRect().bottom);
}

TEST_F(PagesTest, MissingWallpaperIsNeitherRedrawnNorSavedAgain) {
  ::CreateDirectoryW((desktop + L"\\资料").c_str(), nullptr);
  const std::wstring missing = desktop + L"\\不在的壁纸.bmp";
  ASSERT_TRUE(::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(missing.c_str()),
                                      SPIF_UPDATEINIFILE));
  TheApp().desk.config.deskPageOn = 1;
  ASSERT_TRUE(back.Create(nullptr));
  CBaseWnd* host = back.Host();
  ASSERT_NE(host->Desk(), nullptr);
  RunFor(300);  // the start-up refresh of the settings watcher
  host->Tick();
  host->SaveIfNeeded();
  const int builds = host->BackgroundBuilds();
  EXPECT_FALSE(host->CheckWallpaper()) << "a missing file that stays missing is no change";
  const std::wstring boxes = DataFolderPath() + L"gezhiconf.dat";
  const FILETIME saved = WriteTime(boxes);
  ASSERT_NE(saved.dwLowDateTime | saved.dwHighDateTime, 0u);
  // Two looks of the wallpaper watch and a save tick of the host's own timers.
  RunFor(4500);
  EXPECT_EQ(host->BackgroundBuilds(), builds);
  const FILETIME now = WriteTime(boxes);
  EXPECT_EQ(::CompareFileTime(&saved, &now), 0) << "the desk files were written again";
  ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(L""), SPIF_UPDATEINIFILE);
}
