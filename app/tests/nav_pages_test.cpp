// The navigation pages on the real host window, against the stand-in services on loopback:
// desk -> my sites (by the toolbar) -> a search -> add a site -> recommended -> a web page ->
// back to the desk (by the toolbar), with screenshots; a second refresh of an unchanged list fetches and writes nothing (counted
// on the server); a hostile server's picture names write nothing outside their folder.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include <urlmon.h>

#include "app/DialogBack.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "nav/DaohangBar.h"
#include "nav/DialogWebTemp.h"
#include "nav/DlgAddDaohang.h"
#include "nav/MyDaohang.h"
#include "nav/NavFiles.h"
#include "nav/TJDaohang.h"
#include "nav/TuijianHtml.h"
#include "nav/core/nav_layout.h"
#include "toolbar/TopToolBar.h"
#include "uilib/VxBaseFunctions.h"
#include "uilib/VxServices.h"

namespace {

std::wstring ServiceBase() {
  return VxServiceBaseFrom(ExeFolder() + L"\\..\\svc-test\\services.ini", L"home");
}

// Requests the server has seen, by path.
std::map<std::string, long> Hits() {
  std::wstring text;
  VxBaseFunctions web;
  std::wstring base = ServiceBase();
  while (!base.empty() && base.back() == L'/') base.pop_back();
  std::map<std::string, long> hits;
  if (web.WebGet(base + L"/test/hits", text, VxBaseFunctions::kUtf8) != 1) return hits;
  std::istringstream lines(std::string(text.begin(), text.end()));
  long n;
  std::string path;
  while (lines >> n >> path) hits[path] = n;
  return hits;
}

long PictureHits(const std::map<std::string, long>& hits) {
  long n = 0;
  for (const auto& [path, count] : hits)
    if (path.find(".png") != std::string::npos) n += count;
  return n;
}

template <class Done>
bool PumpUntil(Done done, DWORD ms = 15000) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
  return true;
}

void Click(HWND hwnd, POINT pt, bool pump = true) {
  const LPARAM at = MAKELPARAM(pt.x, pt.y);
  ::SendMessageW(hwnd, WM_MOUSEMOVE, 0, at);
  ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(hwnd, WM_LBUTTONUP, 0, at);
  if (pump) Pump();
}

void ClickToolbar(CYRTopToolBar* bar, int which, bool pump = true) {
  CRect r;
  bar->ButtonAt(which).GetButtonRect(r);
  Click(bar->GetSafeHwnd(), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, pump);
}

void ClickTab(CBaseWnd* host, CNavStrips* nav, int type) {
  CRect r;
  nav->Bar()->Tab(type)->GetRect(&r);
  Click(host->GetSafeHwnd(), POINT{r.left + r.Width() / 2, r.top + r.Height() / 2});
}

bool Screenshot(const wchar_t* name) { return SaveScreenshot(std::wstring(L"nav_") + name); }

class NavPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDataFolder();
    EnsureDataFolder();
    AppGlobals& g = TheApp();
    g.programDir = ExeFolder();
    g.nav.homeUrl = ServiceBase();
    g.desk.config = DeskConfig();
    g.desk.config.deskPageOn = 1;
    g.currentView = 0;
    SetNavOpenUrlHandler([this](const std::wstring& url) {
      opened.push_back(url);
      return true;
    });
    ASSERT_NE(g.nav.homeUrl.find(L"127.0.0.1"), std::wstring::npos) << "services.ini not written";
  }
  void TearDown() override {
    if (back.GetSafeHwnd()) back.DestroyWindow();
    Pump();
    SetNavOpenUrlHandler(nullptr);
    RemoveDataFolder();
  }
  CDialogBack back;
  std::vector<std::wstring> opened;
};

TEST_F(NavPagesTest, DeskToMySitesToRecommendedToWebPageAndBack) {
  ASSERT_TRUE(back.Create(nullptr));
  // Full screen, as the program's start-up makes it.
  ::SetWindowPos(back.GetSafeHwnd(), HWND_TOP, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                 ::GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW);
  CBaseWnd* host = back.Host();
  CNavStrips* nav = back.Nav();
  ASSERT_TRUE(host && nav);
  ASSERT_EQ(TheApp().currentView, CBaseWnd::kDeskPage);

  // The toolbar's navigation button: the desk slides out, my sites in, with the bar.
  CYRTopToolBar* toolbar = back.Toolbar();
  ASSERT_TRUE(toolbar);
  ClickToolbar(toolbar, CYRTopToolBar::kNavigation, false);
  EXPECT_EQ(TheApp().currentView, CBaseWnd::kMySitesPage);
  auto* mine = dynamic_cast<CMyDaohang*>(host->Page(CBaseWnd::kMySitesPage));
  ASSERT_TRUE(mine);
  // The tab bar comes up from the work area's foot while the page slides in.
  ASSERT_TRUE(nav->Bar());
  EXPECT_LT(nav->Bar()->Risen(), CDaohangBar::kHeight);
  ASSERT_TRUE(PumpUntil([&] { return !mine->IsMoving(); }));
  EXPECT_EQ(nav->Bar()->Risen(), CDaohangBar::kHeight);
  EXPECT_TRUE(nav->Bar()->Tab(2)->IsShow() && nav->Bar()->Tab(2)->GetActive());
  EXPECT_FALSE(nav->Bar()->Tab(4)->IsShow());
  EXPECT_TRUE(::IsWindowVisible(nav->SearchBar().Input().GetSafeHwnd()));
  EXPECT_TRUE(Screenshot(L"1_my_sites"));

  // Words typed into the search box and Enter: the search page receives them intact.
  CSousouBar& search = nav->SearchBar();
  search.SetSearchBase(VxServiceBaseFrom(ExeFolder() + L"\\..\\svc-test\\services.ini", L"search"));
  const HWND edit = search.Input().Edit();
  ::SetFocus(edit);
  Pump();
  for (wchar_t c : std::wstring(L"天气 a&b#1")) ::PostMessageW(edit, WM_CHAR, c, 0);
  ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  ASSERT_EQ(opened.size(), 1u);
  const std::wstring answerFile = DataFolderPath() + L"search.html";
  ASSERT_EQ(::URLDownloadToFileW(nullptr, opened[0].c_str(), answerFile.c_str(), 0, nullptr), S_OK) << opened[0];
  EXPECT_NE(FileBytes(answerFile).find(u8"value=\"天气 a&amp;b#1\""), std::string::npos) << opened[0];
  opened.clear();

  // A click on an empty tile opens the add dialog, which fetches the suggestions.
  const RECT work = CBaseWnd::WorkAreaPageRect();
  RECT client;
  ::GetClientRect(host->GetSafeHwnd(), &client);
  const VxRc tile = MyDaohangTileRect(5, client.right, work.bottom - work.top);
  Click(host->GetSafeHwnd(), POINT{(tile.left + tile.right) / 2, (tile.top + tile.bottom) / 2});
  CDlgAddDaohang* add = mine->AddDialog();
  ASSERT_TRUE(add);
  ASSERT_TRUE(PumpUntil([&] { return !add->Refreshing() && add->ListRefreshes() == 1; }));
  ASSERT_GT(add->SuggestionCount(), 0u);
  ::RedrawWindow(add->GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_TRUE(Screenshot(L"2_add_dialog"));

  // More suggestions than the list holds: its scroll bar's thumb, dragged down, scrolls the
  // list; dragged back, the first row shows again.
  ASSERT_TRUE(add->ScrollBar().IsShow());
  CRect bar;
  add->ScrollBar().GetRect(&bar);
  auto dragThumb = [&](int dy) {
    const HWND dlg = add->GetSafeHwnd();
    const POINT thumb{bar.left + bar.Width() / 2, bar.top + add->ScrollBar().GetBarPos() + 10};
    ::SendMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumb.x, thumb.y));
    ::SendMessageW(dlg, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(thumb.x, thumb.y + dy));
    ::SendMessageW(dlg, WM_LBUTTONUP, 0, MAKELPARAM(thumb.x, thumb.y + dy));
  };
  dragThumb(60);
  EXPECT_GT(add->ListOffset(), 0);
  ::UpdateWindow(add->GetSafeHwnd());
  EXPECT_TRUE(Screenshot(L"2b_add_dialog_scrolled"));
  const int scrolled = add->ScrollBar().GetBarPos();
  dragThumb(-scrolled);
  EXPECT_EQ(add->ListOffset(), 0);

  // Choosing the first suggestion puts it into the tile with its downloaded picture.
  const SiteRecord chosen = add->Suggestion(0);
  const RECT pick = add->SuggestionRect(0);
  Click(add->GetSafeHwnd(), POINT{pick.left + 20, pick.top + 20});
  ASSERT_TRUE(PumpUntil([&] { return mine->AddDialog() == nullptr; }));
  const MyDefSlot* slot = SlotAtPosition(const_cast<MyDefSlots*>(&mine->Slots()), 5);
  ASSERT_TRUE(slot);
  EXPECT_EQ(slot->state, kSlotFilled);
  EXPECT_EQ(slot->url, chosen.url);
  EXPECT_EQ(::GetFileAttributesW(NavW(slot->image).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  const std::string saved = FileBytes(NavDataPath(kMyDefPath));
  ASSERT_EQ(saved.size(), kMyDefFileSize);
  EXPECT_EQ(DecodeMyDef(reinterpret_cast<const uint8_t*>(saved.data()), saved.size())[slot - mine->Slots().data()].url, chosen.url);

  // A typed site without a picture: no page renderer here, so the capture gives up and the
  // tile takes the default picture.
  const VxRc tile2 = MyDaohangTileRect(6, client.right, work.bottom - work.top);
  Click(host->GetSafeHwnd(), POINT{(tile2.left + tile2.right) / 2, (tile2.top + tile2.bottom) / 2});
  ASSERT_TRUE(mine->AddDialog());
  CDialogWebTemp::SetGiveUpMs(1500);
  mine->AddDialog()->SetTyped(L"样例", L"example.com");
  EXPECT_TRUE(mine->AddDialog()->AddTyped());
  // While the page is captured, its tile's spinner turns.
  ASSERT_TRUE(PumpUntil([&] { return mine->IsCapturing() && mine->LoadingFrame() >= 2; }, 1400));
  host->Tick();
  ::UpdateWindow(host->GetSafeHwnd());
  EXPECT_TRUE(Screenshot(L"3a_capturing"));
  ASSERT_TRUE(PumpUntil([&] { return !mine->IsCapturing() && mine->AddDialog() == nullptr; }));
  const MyDefSlot* typed = SlotAtPosition(const_cast<MyDefSlots*>(&mine->Slots()), 6);
  EXPECT_EQ(typed->url, u"example.com");
  EXPECT_EQ(NavW(typed->image), NavDefaultPicture());
  host->Tick();
  ::UpdateWindow(host->GetSafeHwnd());
  Pump();
  EXPECT_TRUE(Screenshot(L"3_site_added"));

  // The chosen site dragged from place 5 onto place 0: the tiles between make way, a drag
  // opens nothing, and mydef.dat (what the next start reads) holds the new order.
  const VxRc from = MyDaohangTileRect(5, client.right, work.bottom - work.top);
  const VxRc to = MyDaohangTileRect(0, client.right, work.bottom - work.top);
  const POINT grab{(from.left + from.right) / 2, from.top + 50}, drop{(to.left + to.right) / 2, to.top + 50};
  ::SendMessageW(host->GetSafeHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
  ::SendMessageW(host->GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab.x - 150, grab.y - 90));
  ::SendMessageW(host->GetSafeHwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(drop.x + 40, drop.y + 20));
  EXPECT_EQ(mine->DragTarget(), 0);
  host->Tick();
  ::UpdateWindow(host->GetSafeHwnd());
  Pump();
  EXPECT_TRUE(Screenshot(L"3b_dragging_tile"));
  ::SendMessageW(host->GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(drop.x + 40, drop.y + 20));
  Pump();
  EXPECT_TRUE(opened.empty());
  const std::string reordered = FileBytes(NavDataPath(kMyDefPath));
  MyDefSlots next = DecodeMyDef(reinterpret_cast<const uint8_t*>(reordered.data()), reordered.size());
  ASSERT_TRUE(SlotAtPosition(&next, 0) && SlotAtPosition(&next, 6));
  EXPECT_EQ(SlotAtPosition(&next, 0)->url, chosen.url);
  EXPECT_EQ(SlotAtPosition(&next, 6)->url, u"example.com");
  EXPECT_EQ(SlotAtPosition(&next, 5)->state, kSlotEmpty);
  host->Tick();
  ::UpdateWindow(host->GetSafeHwnd());
  Pump();
  EXPECT_TRUE(Screenshot(L"3c_tile_moved"));

  // 推荐导航 by the bar: the lists come from the server once, pictures with them.
  const auto hitsBefore = Hits();
  ClickTab(host, nav, 3);
  auto* tj = dynamic_cast<CTJDaohang*>(host->Page(CBaseWnd::kRecommendedPage));
  ASSERT_TRUE(tj);
  ASSERT_TRUE(PumpUntil([&] { return !tj->Refreshing() && !tj->IsMoving(); }));
  ASSERT_EQ(tj->ListChanges(), 1);
  ASSERT_FALSE(tj->Top().empty());
  EXPECT_TRUE(nav->Bar()->Tab(3)->GetActive());
  host->Tick();
  ::UpdateWindow(host->GetSafeHwnd());
  Pump();
  EXPECT_TRUE(Screenshot(L"4_recommended"));
  // The top row is a drawn list: a click on its first entry opens that site.
  const VxRc first = tj->TopItemRect(0);
  ASSERT_GT(first.Width(), 0);
  opened.clear();
  Click(host->GetSafeHwnd(), POINT{(first.left + first.right) / 2, (first.top + first.bottom) / 2});
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], NavW(tj->Top()[0].url));
  opened.clear();

  // The same list again: one request for it, no picture fetched, nothing written or redrawn.
  const auto hitsFirst = Hits();
  const long writes = NavFileWrites(), downloads = NavDownloads();
  tj->StartRefresh();
  ASSERT_TRUE(PumpUntil([&] { return !tj->Refreshing(); }));
  Pump();
  const auto hitsSecond = Hits();
  EXPECT_EQ(hitsSecond.at("/get.php?name=web_tuijian"), hitsFirst.at("/get.php?name=web_tuijian") + 1);
  EXPECT_EQ(PictureHits(hitsSecond), PictureHits(hitsFirst));
  EXPECT_GT(PictureHits(hitsFirst), PictureHits(hitsBefore));
  EXPECT_EQ(NavFileWrites(), writes);
  EXPECT_EQ(NavDownloads(), downloads);
  EXPECT_EQ(tj->ListChanges(), 1);

  // The toolbar's recommendation button shows the web pages; the bar switches among them.
  ClickToolbar(toolbar, CYRTopToolBar::kRecommended);
  EXPECT_EQ(TheApp().currentView, 4);
  auto* hot = dynamic_cast<CTuijianHtml*>(host->Page(4));
  ASSERT_TRUE(hot);
  EXPECT_NE(hot->Address().find(L"/redian.html"), std::wstring::npos);
  EXPECT_FALSE(nav->Bar()->Tab(2)->IsShow());
  EXPECT_TRUE(nav->Bar()->Tab(4)->IsShow() && nav->Bar()->Tab(4)->GetActive());
  ClickTab(host, nav, 5);
  EXPECT_EQ(TheApp().currentView, 5);
  EXPECT_TRUE(nav->Bar()->Tab(5)->GetActive());
  auto* video = dynamic_cast<CTuijianHtml*>(host->Page(5));
  ASSERT_TRUE(video);
  // An "app:" link of the page switches pages and opens sites in the user's browser.
  EXPECT_TRUE(video->RunAppCommand(L"show/3"));
  EXPECT_EQ(TheApp().currentView, 3);
  EXPECT_TRUE(video->RunAppCommand(L"open/http://www.example.com/"));
  EXPECT_FALSE(video->RunAppCommand(L"open/file:///c:/windows"));
  EXPECT_EQ(opened, std::vector<std::wstring>{L"http://www.example.com/"});
  ASSERT_TRUE(PumpUntil([&] { return !tj->IsMoving(); }));
  EXPECT_TRUE(Screenshot(L"5_back_from_web_page"));

  // Back to the desk by the toolbar: the bar goes, the search bar hides.
  ClickToolbar(toolbar, CYRTopToolBar::kDesk);
  EXPECT_EQ(TheApp().currentView, CBaseWnd::kDeskPage);
  ASSERT_TRUE(PumpUntil([&] { return !tj->IsMoving(); }));
  EXPECT_EQ(nav->Bar(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(nav->SearchBar().Input().GetSafeHwnd()));
  host->Tick();
  ::UpdateWindow(host->GetSafeHwnd());
  Pump();
  EXPECT_TRUE(Screenshot(L"6_desk"));
}

TEST_F(NavPagesTest, HostilePictureNamesWriteNothingOutsideTheirFolder) {
  TheApp().nav.homeUrl = ServiceBase() + L"/test/hostile/";
  const std::wstring data = DataFolderPath();
  const std::wstring parent = data.substr(0, data.find_last_of(L'\\', data.size() - 2));
  std::vector<std::wstring> before;
  ForEachInFolder(parent, [&](const std::wstring& name, const WIN32_FIND_DATAW&) { before.push_back(name); });
  std::vector<std::wstring> rootBefore;
  ForEachInFolder(L"C:", [&](const std::wstring& name, const WIN32_FIND_DATAW&) { rootBefore.push_back(name); });

  CTJDaohang page(nullptr, nullptr);
  page.StartRefresh();
  ASSERT_TRUE(PumpUntil([&] { return !page.Refreshing(); }));
  Pump();
  ASSERT_EQ(page.ListChanges(), 1);
  // Hostile entries stay without a picture; the real ones after them have theirs.
  size_t withPicture = 0, without = 0;
  for (const SiteRecord& s : page.Top()) (s.image.empty() ? without : withPicture)++;
  EXPECT_GT(without, 5u);
  EXPECT_GT(withPicture, 0u);
  for (const SiteRecord& s : page.Top()) {
    if (s.image.empty()) continue;
    EXPECT_EQ(NavW(s.image).rfind(NavDataPath(kTuijianTopFolder), 0), 0u);
  }
  std::vector<std::wstring> after, rootAfter;
  ForEachInFolder(parent, [&](const std::wstring& name, const WIN32_FIND_DATAW&) { after.push_back(name); });
  ForEachInFolder(L"C:", [&](const std::wstring& name, const WIN32_FIND_DATAW&) { rootAfter.push_back(name); });
  EXPECT_EQ(after, before);
  EXPECT_EQ(rootAfter, rootBefore);
  // Only plain picture files beside the list file.
  ForEachInFolder(NavDataPath(kTuijianTopFolder), [](const std::wstring& name, const WIN32_FIND_DATAW& d) {
    EXPECT_FALSE(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) << "folder " << std::string(name.begin(), name.end());
  });
}

}  // namespace
