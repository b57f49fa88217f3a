// Boxes driven through the desk's mouse handlers on a desktop the test makes: moving with
// snapping, resizing to the limits, menus, box commands and their saved state, scrolling,
// bands, tooltips, hiding, flashes; and a picture of the desk page over a wallpaper, drawn
// through GDI+ and composed in the frame's memory.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "desk/MyDesk.h"
#include "desk/ShellItems.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"
#include "base/testing/test_support.h"
#include "desk/core/box_geometry.h"

namespace {

std::wstring DesktopDir() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool Exists(const std::wstring& name) {
  return ::GetFileAttributesW((DesktopDir() + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The owner the host window will be: a real window, and a record of what was asked of it.
class BoxOwner : public CDeskOwner {
 public:
  BoxOwner() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &BoxOwner::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BoxTestOwner";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, L"BoxTestOwner", L"", WS_POPUP, 0, 0, 1280, 800, nullptr, nullptr,
                              wc.hInstance, nullptr);
  }
  ~BoxOwner() override { ::DestroyWindow(hwnd_); }
  HWND OwnerHwnd() const override { return hwnd_; }
  void RequestRepaint() override { ++repaints; }
  void ClearPendingSave() override {}
  void ShowMenu(int id, POINT screen, int box) override {
    menuId = id;
    menuPoint = screen;
    menuBox = box;
  }
  void BeginRename(GetZhiItem* box, const RECT& rect) override {
    renameBox = box;
    renameRect = rect;
  }
  void EndRename() override { ++endRenames; }

  int repaints = 0, menuId = 0, menuBox = -2, endRenames = 0;
  POINT menuPoint{0, 0};
  GetZhiItem* renameBox = nullptr;
  RECT renameRect{0, 0, 0, 0};

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) { return ::DefWindowProcW(h, m, w, l); }
  HWND hwnd_ = nullptr;
};

std::string GezhiBytes() { return FileBytes(DataFolderPath() + L"gezhiconf.dat"); }

class BoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareDesktopShell();
    RemoveFolderContents(DesktopDir());
    RemoveDataFolder();
    AppGlobals& g = TheApp();
    g.desk.config = DeskConfig();
    g.desk.boxRecords.clear();
    g.desk.autoOrganize = 1;
    g.desk.shortcutTarget = g.desk.folderTarget = g.desk.fileTarget = L"";
    g.programDir = ExeFolder();
    g.desk.interaction = DeskInteraction();
    ::CreateDirectoryW((DesktopDir() + L"\\资料").c_str(), nullptr);
    ::CreateDirectoryW((DesktopDir() + L"\\Projects").c_str(), nullptr);
    for (const wchar_t* f : {L"a.txt", L"报告.txt", L"notes.txt", L"预算.xls", L"readme.md"})
      PutFileBytes(DesktopDir() + L"\\" + f, "text");
    PutFileBytes(DesktopDir() + L"\\主页.url", "[InternetShortcut]\r\nURL=http://127.0.0.1/\r\n");
    desk = std::make_unique<CMyDesk>(&owner);
    desk->StartDesk();
    // The same page whatever the test screen: organize again on a 1280 x 800 page.
    desk->SetPageRect(RECT{0, 0, 1280, 800});
    g.desk.config.organizePending = 1;
    desk->Organize(0);
    folders = desk->FindBoxByName(L"文件夹");
    files = desk->FindBoxByName(L"文件");
  }
  void TearDown() override {
    desk.reset();
    RemoveFolderContents(DesktopDir());
    RemoveDataFolder();
  }

  // Press at `from`, move in a few steps to `to`, release there.
  void Drag(POINT from, POINT to, int steps = 4) {
    desk->OnLButtonDown(from);
    for (int i = 1; i <= steps; ++i)
      desk->OnMouseMove(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    desk->OnLButtonUp(to);
  }
  static POINT TitlePoint(const GetZhiItem* b) { return POINT{b->rect.left + 40, b->rect.top + 20}; }

  BoxOwner owner;
  std::unique_ptr<CMyDesk> desk;
  GetZhiItem* folders = nullptr;
  GetZhiItem* files = nullptr;
};

}  // namespace

TEST_F(BoxTest, DraggingTheTitleMovesTheBoxAndSavesItsPlace) {
  ASSERT_NE(folders, nullptr);
  ASSERT_NE(files, nullptr);
  const RECT before = folders->rect;
  // Far enough left that it leaves the other box's column before it goes down.
  Drag(TitlePoint(folders), POINT{TitlePoint(folders).x - 400, TitlePoint(folders).y + 60}, 1);
  EXPECT_EQ(folders->rect.left, before.left - 400);
  EXPECT_EQ(folders->rect.top, before.top + 60);
  EXPECT_EQ(folders->rect.right - folders->rect.left, before.right - before.left);
  EXPECT_EQ(desk->Boxes().back().get(), folders) << "the pressed box is raised";
  EXPECT_TRUE(folders->active);
  EXPECT_FALSE(files->active);
  // The list went along.
  CRect lr;
  folders->list.GetRect(&lr);
  EXPECT_EQ(lr.left, folders->rect.left + 10);
  EXPECT_EQ(lr.top, folders->rect.top + 48);
  for (VxListItem* e : folders->list.Items()) EXPECT_GE(e->rcPos.left, lr.left);
  // Saved on release, relative to the page corner, in box order.
  const std::string bytes = GezhiBytes();
  ASSERT_EQ(bytes.size(), 2 * 540u);
  int32_t rect[4];
  memcpy(rect, bytes.data() + 540, sizeof rect);  // the raised box is last
  const RECT page = desk->PageRect();
  EXPECT_EQ(rect[0], folders->rect.left - page.left);
  EXPECT_EQ(rect[1], folders->rect.top - page.top);
  EXPECT_EQ(rect[2], folders->rect.right - page.left);
  EXPECT_EQ(rect[3], folders->rect.bottom - page.top);
}

TEST_F(BoxTest, TheNeighbourBelowHoldsTheBoxUntilTwentyOnePixels) {
  // Organizing leaves exactly 5 pixels between the two boxes.
  ASSERT_EQ(files->rect.top - folders->rect.bottom, 5);
  const RECT before = folders->rect;
  const POINT p = TitlePoint(folders);
  desk->OnLButtonDown(p);
  desk->OnMouseMove(POINT{p.x, p.y + 12});
  EXPECT_EQ(folders->rect.top, before.top) << "held by the magnet";
  desk->OnMouseMove(POINT{p.x, p.y + 21});
  EXPECT_EQ(folders->rect.top, before.top + 1) << "torn loose by one pixel";
  desk->OnMouseMove(POINT{p.x, p.y + 25});
  EXPECT_EQ(folders->rect.top, before.top + 6) << "then it follows the cursor, 19 behind";
  desk->OnLButtonUp(POINT{p.x, p.y + 25});
  // Approaching again from 15 pixels away snaps back to the gap.
  const POINT q = TitlePoint(folders);
  Drag(q, POINT{q.x, q.y - 40}, 1);
  const int gap = files->rect.top - folders->rect.bottom;
  EXPECT_EQ(gap, 39);
  Drag(TitlePoint(folders), POINT{TitlePoint(folders).x, TitlePoint(folders).y + 27}, 1);
  EXPECT_EQ(files->rect.top - folders->rect.bottom, 5);
}

TEST_F(BoxTest, ResizingStopsAtTheLimitsAndTheEdgeWaitsForTheCursor) {
  const RECT before = folders->rect;
  // Left edge: width stops at 130.
  POINT p{before.left + 2, before.top + 200};
  desk->OnLButtonDown(p);
  EXPECT_EQ(folders->titleHit, kBoxHitLeft);
  desk->OnMouseMove(POINT{p.x + 500, p.y});
  EXPECT_EQ(folders->rect.right - folders->rect.left, kBoxMinWidth);
  EXPECT_EQ(folders->rect.right, before.right);
  // Back by 10 from beyond the limit: the edge stays, the cursor is still right of it.
  desk->OnMouseMove(POINT{p.x + 490, p.y});
  EXPECT_EQ(folders->rect.right - folders->rect.left, kBoxMinWidth);
  // Back to where the limit was hit and 20 further: the edge follows again.
  desk->OnMouseMove(POINT{p.x + 130 - 20, p.y});
  EXPECT_EQ(folders->rect.left, before.left + 110);
  desk->OnLButtonUp(POINT{p.x + 110, p.y});
  // Top edge: height stops at 168.
  const RECT mid = folders->rect;
  p = POINT{mid.left + 60, mid.top + 2};
  desk->OnLButtonDown(p);
  EXPECT_EQ(folders->titleHit, kBoxHitTop);
  desk->OnMouseMove(POINT{p.x, p.y + 1000});
  desk->OnLButtonUp(POINT{p.x, p.y + 1000});
  EXPECT_EQ(folders->rect.bottom - folders->rect.top, kBoxMinHeight);
  EXPECT_EQ(folders->rect.bottom, mid.bottom);
  EXPECT_EQ(folders->viewHeight, kBoxMinHeight - 58);
  // Bottom-right corner grows both ways.
  const int width = folders->rect.right - folders->rect.left;
  EXPECT_EQ(width, 260 - 110);
  p = POINT{folders->rect.right - 2, folders->rect.bottom - 2};
  Drag(p, POINT{p.x + 40, p.y + 30});
  EXPECT_EQ(folders->rect.right - folders->rect.left, width + 40);
  EXPECT_EQ(folders->rect.bottom - folders->rect.top, kBoxMinHeight + 30);
}

TEST_F(BoxTest, FixedBoxKeepsItsPlaceSizeAndPointer) {
  desk->ToggleFixedPos(folders);
  EXPECT_EQ(folders->fixedPos, 1);
  const RECT before = folders->rect;
  Drag(TitlePoint(folders), POINT{TitlePoint(folders).x - 300, TitlePoint(folders).y + 50});
  EXPECT_TRUE(EqualRect(&folders->rect, &before));
  Drag(POINT{before.left + 2, before.top + 100}, POINT{before.left + 80, before.top + 100});
  EXPECT_TRUE(EqualRect(&folders->rect, &before));
  HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
  ::SetCursor(arrow);
  EXPECT_EQ(desk->HitTestBox(folders, POINT{before.left + 2, before.top + 100}, TRUE), kBoxHitLeft);
  EXPECT_EQ(::GetCursor(), arrow);
  // A box that is not fixed shows the sizing pointer, and the move pointer on the title.
  EXPECT_EQ(desk->HitTestBox(files, POINT{files->rect.left + 2, files->rect.top + 100}, TRUE), kBoxHitLeft);
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZEWE));
  desk->HitTestBox(files, TitlePoint(files), TRUE);
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZEALL));
  desk->HitTestBox(files, POINT{files->rect.right - 2, files->rect.bottom - 2}, TRUE);
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_SIZENWSE));
}

TEST_F(BoxTest, MenusOpenByPlaceAndTheMenuButtonNeverMoves) {
  const RECT before = folders->rect;
  const POINT menu{before.right - 20, before.top + 20};
  EXPECT_EQ(desk->HitTestBox(folders, menu, FALSE), kBoxHitMenu);
  Drag(menu, POINT{menu.x - 200, menu.y + 100});
  EXPECT_TRUE(EqualRect(&folders->rect, &before));

  desk->OnRButtonDown(menu);
  desk->OnRButtonUp(menu);
  EXPECT_EQ(owner.menuId, kDeskMenuBoxTitle);
  EXPECT_EQ(desk->MenuBox(), folders);
  EXPECT_EQ(owner.menuBox, desk->IndexOfBox(folders));
  POINT screen = menu;
  ::ClientToScreen(owner.OwnerHwnd(), &screen);
  EXPECT_EQ(owner.menuPoint.x, screen.x);
  EXPECT_EQ(owner.menuPoint.y, screen.y);

  desk->OnRButtonDown(TitlePoint(files));
  desk->OnRButtonUp(TitlePoint(files));
  EXPECT_EQ(owner.menuId, kDeskMenuBoxTitle);
  EXPECT_EQ(desk->MenuBox(), files);

  // Empty body of a box (below its entries), then the empty desk.
  const POINT body{files->rect.left + 30, files->rect.bottom - 15};
  desk->OnRButtonDown(body);
  desk->OnRButtonUp(body);
  EXPECT_EQ(owner.menuId, kDeskMenuBoxBody);
  EXPECT_EQ(desk->MenuBox(), files);
  const POINT empty{600, 500};
  desk->OnRButtonDown(empty);
  desk->OnRButtonUp(empty);
  EXPECT_EQ(owner.menuId, kDeskMenuDesk);
  EXPECT_EQ(desk->MenuBox(), nullptr);
  EXPECT_EQ(TheApp().desk.interaction.x, 600);
  EXPECT_EQ(TheApp().desk.interaction.y, 500);
  EXPECT_GE(owner.endRenames, 4) << "every press ends an open rename";
}

TEST_F(BoxTest, ListDisplayAndFixedPositionToggleAndPersist) {
  desk->ToggleListDisplay(folders);
  EXPECT_EQ(folders->list.GetListType(), VXLT_LIST);
  EXPECT_EQ(folders->scroll, 0);
  desk->ToggleFixedPos(folders);
  desk->SaveDesk();
  std::string bytes = GezhiBytes();
  ASSERT_EQ(bytes.size(), 2 * 540u);
  const size_t at = 540u * desk->IndexOfBox(folders);
  EXPECT_EQ(bytes[at + 16], 1) << "fixed";
  EXPECT_EQ(bytes[at + 17], 0) << "list display";
  // Rows: one entry per row, stacked.
  ASSERT_EQ(folders->list.GetCount(), 2);
  EXPECT_EQ(folders->list.GetItem(1)->rcPos.top - folders->list.GetItem(0)->rcPos.top, 23);

  desk->ToggleListDisplay(folders);
  desk->ToggleFixedPos(folders);
  EXPECT_EQ(folders->list.GetListType(), VXLT_BIGICON);
  desk->SaveDesk();
  bytes = GezhiBytes();
  EXPECT_EQ(bytes[at + 16], 0);
  EXPECT_EQ(bytes[at + 17], 1);

  // Loaded again the way it was saved.
  desk->ToggleFixedPos(folders);
  desk->SaveDesk();
  desk->LoadDesk();
  GetZhiItem* again = desk->FindBoxByName(L"文件夹");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->fixedPos, 1);
  EXPECT_EQ(again->list.GetListType(), VXLT_BIGICON);
}

TEST_F(BoxTest, DeletingABoxReturnsItsIconsAndLeavesTheFiles) {
  const int onDesk = desk->DeskList().GetCount();
  const int inBox = files->list.GetCount();
  ASSERT_EQ(inBox, 5);
  desk->RemoveBox(files);
  files = nullptr;
  EXPECT_EQ(desk->Boxes().size(), 1u);
  EXPECT_EQ(desk->FindBoxByName(L"文件"), nullptr);
  ASSERT_EQ(desk->DeskList().GetCount(), onDesk + inBox);
  for (int i = 0; i < inBox; ++i) {
    VxListItem* e = desk->DeskList().GetItem(onDesk + i);
    EXPECT_EQ(e->nData[kEntryOrder], onDesk + i);
    EXPECT_NE(e->pData, nullptr) << "the entry keeps its identifier list";
    EXPECT_TRUE(e->IsPlaced());
  }
  for (const wchar_t* f : {L"a.txt", L"报告.txt", L"notes.txt", L"预算.xls", L"readme.md"})
    EXPECT_TRUE(Exists(f)) << "files stay";
  EXPECT_EQ(GezhiBytes().size(), 540u);
  // A reload finds the icons on the desk list.
  desk->LoadDesk();
  EXPECT_EQ(desk->Boxes().size(), 1u);
  EXPECT_EQ(desk->DeskList().GetCount(), onDesk + inBox);
}

TEST_F(BoxTest, RenameOpensOverTheTitleAndKeepsNamesUnique) {
  desk->StartRenameBox(files);
  EXPECT_EQ(owner.renameBox, files);
  EXPECT_EQ(owner.renameRect.left, files->rect.left + 10);
  EXPECT_EQ(owner.renameRect.top, files->rect.top + 4);
  EXPECT_EQ(owner.renameRect.right, files->rect.right - 10);
  EXPECT_EQ(owner.renameRect.bottom, files->rect.top + 31);
  EXPECT_EQ(desk->RenameBefore(), L"文件");
  desk->ApplyBoxRename(files, L"  文件夹 ");
  EXPECT_EQ(files->name, L"文件夹(1)");
  desk->StartRenameBox(files);
  desk->ApplyBoxRename(files, L"   ");
  EXPECT_EQ(files->name, L"文件夹(1)") << "empty text keeps the name";
  desk->ApplyBoxRename(files, L"文档");
  EXPECT_EQ(files->name, L"文档");
  EXPECT_TRUE(::GetFileAttributesW((DataFolderPath() + L"文档").c_str()) != INVALID_FILE_ATTRIBUTES);
}

TEST_F(BoxTest, ScrollThumbWheelAndFittingContent) {
  EXPECT_EQ(folders->thumbLen, 0) << "two folders fit";
  EXPECT_EQ(folders->scroll, 0);
  for (int i = 0; i < 30; ++i)
    PutFileBytes(DesktopDir() + L"\\extra" + std::to_wstring(i) + L".txt", "x");
  desk->AddMissingItems(&files->list);
  ASSERT_GE(files->list.GetCount(), 35);
  const int content = files->list.GetListMaxHeight();
  ASSERT_GT(content, files->viewHeight);
  EXPECT_EQ(files->thumbLen, std::max(16, files->viewHeight * files->viewHeight / content));
  // The wheel scrolls down the list; the thumb follows.
  const POINT inside{files->rect.left + 50, files->rect.top + 100};
  EXPECT_TRUE(desk->OnMouseWheel(-120, inside));
  EXPECT_EQ(files->scroll, 46);
  EXPECT_EQ(files->thumbPos, files->viewHeight * 46 / content);
  EXPECT_FALSE(desk->OnMouseWheel(-120, POINT{20, 700})) << "no box there";
  // Dragging the thumb to the end shows the last entry.
  const POINT thumb{files->rect.right - 9, files->rect.top + 48 + files->thumbPos + 2};
  ASSERT_EQ(desk->HitTestBox(files, thumb, FALSE), kBoxHitThumb);
  Drag(thumb, POINT{thumb.x, thumb.y + 2000});
  EXPECT_EQ(files->thumbPos + files->thumbLen, files->viewHeight);
  EXPECT_EQ(files->scroll, content * files->thumbPos / files->viewHeight);
  // A press on an entry lands on what is shown there, not on the unscrolled one.
  const VxListItem* last = files->list.GetItem(files->list.GetCount() - 1);
  const POINT onLast{last->rcHover.left + 5, last->rcHover.top + 5 - files->scroll};
  ASSERT_TRUE(PtInRect(&files->rect, onLast));
  desk->OnLButtonDown(onLast);
  desk->OnLButtonUp(onLast);
  EXPECT_TRUE(last->IsSelected());
}

TEST_F(BoxTest, RubberBandSelectsInsideTheBoxAndOnTheDesk) {
  // From the empty lower part of the file box up over its rows.
  const CRect lr(files->rect.left + 10, files->rect.top + 48, files->rect.right - 10, files->rect.bottom - 10);
  const POINT start{lr.right - 20, lr.bottom - 5};
  desk->OnLButtonDown(start);
  EXPECT_EQ(files->banding, 1);
  desk->OnMouseMove(POINT{lr.left - 100, files->list.GetItem(1)->rcHover.top + 2});
  const RECT band = desk->BandRect();
  EXPECT_EQ(band.left, lr.left) << "clamped to the list area";
  int selected = 0;
  for (VxListItem* e : files->list.Items()) selected += e->IsSelected() ? 1 : 0;
  EXPECT_EQ(selected, files->list.GetCount() - 1) << "all but the first row";
  EXPECT_FALSE(files->list.GetItem(0)->IsSelected());
  desk->OnLButtonUp(POINT{lr.left, lr.top});
  EXPECT_TRUE(IsRectEmpty(&desk->BandRect()));
  // On the desk: a band around the desk-list entries selects them and clears the box's.
  ASSERT_GT(desk->DeskList().GetCount(), 0);
  const VxListItem* first = desk->DeskList().GetItem(0);
  const POINT from{first->rcHover.right + 20, first->rcHover.bottom + 20};
  ASSERT_EQ(desk->DeskList().HitTest(from), nullptr);
  desk->OnLButtonDown(from);
  EXPECT_TRUE(desk->DeskBanding());
  for (VxListItem* e : files->list.Items()) EXPECT_FALSE(e->IsSelected());
  desk->OnMouseMove(POINT{first->rcHover.left + 5, first->rcHover.top + 5});
  EXPECT_TRUE(first->IsSelected());
  desk->OnLButtonUp(POINT{first->rcHover.left + 5, first->rcHover.top + 5});
  // A press on a selected entry is where a drag may start.
  const POINT on{first->rcHover.left + 5, first->rcHover.top + 5};
  desk->OnLButtonDown(on);
  POINT at{};
  EXPECT_EQ(desk->DragCandidate(&at), &desk->DeskList());
  EXPECT_EQ(at.x, on.x);
  desk->OnLButtonUp(on);
  EXPECT_EQ(desk->DragCandidate(&at), nullptr);
}

TEST_F(BoxTest, HoverGivesTheEntryItsStateAndATooltip) {
  VxListItem* folder = folders->list.GetItem(0);
  const POINT on{folder->rcHover.left + 10, folder->rcHover.top + 10};
  const int before = owner.repaints;
  desk->OnMouseMove(on);
  EXPECT_EQ(folder->nMouseState, 1);
  EXPECT_GT(owner.repaints, before);
  EXPECT_EQ(folders->hoverBox, 1);
  ASSERT_NE(desk->Tooltip(), nullptr);
  EXPECT_EQ(::SendMessageW(desk->Tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t text[600] = {};
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.lpszText = text;
  ASSERT_TRUE(::SendMessageW(desk->Tooltip(), TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_EQ(std::wstring(text).rfind(std::wstring(folder->szName) + L"\n", 0), 0u)
      << "a folder's tip starts with its name";
  // Over the title and the menu button.
  desk->OnMouseMove(TitlePoint(folders));
  EXPECT_EQ(folder->nMouseState, 0);
  EXPECT_EQ(folders->hoverTitle, 1);
  desk->OnMouseMove(POINT{folders->rect.right - 20, folders->rect.top + 20});
  EXPECT_EQ(folders->hoverMenu, 1);
  EXPECT_EQ(folders->hoverTitle, 0);
  desk->OnMouseLeave();
  EXPECT_EQ(folders->hoverMenu, 0);
  EXPECT_EQ(folders->hoverBox, 0);
}

TEST_F(BoxTest, DoubleClickOnEmptyDeskHidesAndShowsEverything) {
  const POINT empty{600, 500};
  EXPECT_FALSE(desk->OnLButtonDblClk(empty)) << "off while dblClickHide is 0";
  EXPECT_FALSE(desk->IconsHidden());
  TheApp().desk.config.dblClickHide = 1;
  EXPECT_FALSE(desk->OnLButtonDblClk(TitlePoint(folders))) << "a box title is not empty desk";
  EXPECT_TRUE(desk->OnLButtonDblClk(empty));
  EXPECT_TRUE(desk->IconsHidden());
  EXPECT_FALSE(desk->DeskList().IsShow());
  for (auto& b : desk->Boxes()) EXPECT_EQ(b->shown, 0);
  // Hidden boxes take no presses; the next double-click shows them, wherever it is.
  EXPECT_TRUE(desk->OnLButtonDblClk(TitlePoint(folders)));
  EXPECT_FALSE(desk->IconsHidden());
  for (auto& b : desk->Boxes()) EXPECT_EQ(b->shown, 1);
}

TEST_F(BoxTest, FlashCountersRunDownOnTheTimer) {
  VxListItem* e = files->list.GetItem(0);
  e->nData[kEntryFlash] = 2;
  for (VxListCtrl* l : {&desk->DeskList(), &folders->list, &files->list})
    for (VxListItem* x : l->Items())
      if (x != e) x->nData[kEntryFlash] = 0;
  int before = owner.repaints;
  desk->OnTimer1008();
  desk->OnTimer1008();
  EXPECT_EQ(e->nData[kEntryFlash], 0);
  EXPECT_EQ(owner.repaints, before + 2);
  before = owner.repaints;
  desk->OnTimer1008();
  EXPECT_EQ(owner.repaints, before) << "an idle desk asks for nothing";
}

namespace {

// A stand-in photo: dusk sky, sun glow and two layers of hills.
void PaintWallpaper(Gdiplus::Graphics& g, int w, int h) {
  Gdiplus::LinearGradientBrush sky(Gdiplus::Point(0, 0), Gdiplus::Point(0, h),
                                   Gdiplus::Color(255, 38, 64, 120), Gdiplus::Color(255, 236, 164, 110));
  g.FillRectangle(&sky, 0, 0, w, h);
  Gdiplus::GraphicsPath sun;
  sun.AddEllipse(w * 0.55f, h * 0.45f, 300.0f, 300.0f);
  Gdiplus::PathGradientBrush glow(&sun);
  glow.SetCenterColor(Gdiplus::Color(220, 255, 236, 190));
  Gdiplus::Color edge(0, 255, 236, 190);
  int n = 1;
  glow.SetSurroundColors(&edge, &n);
  g.FillPath(&glow, &sun);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  for (int layer = 0; layer < 2; ++layer) {
    std::vector<Gdiplus::PointF> pts;
    for (int x = 0; x <= w; x += 20)
      pts.emplace_back(static_cast<float>(x),
                       h * (0.72f + 0.1f * layer) + 40.0f * std::sin(x / (180.0f + 90 * layer) + layer * 2.0f));
    pts.emplace_back(static_cast<float>(w), static_cast<float>(h));
    pts.emplace_back(0.0f, static_cast<float>(h));
    Gdiplus::SolidBrush hill(layer ? Gdiplus::Color(255, 30, 52, 48) : Gdiplus::Color(255, 62, 88, 84));
    g.FillPolygon(&hill, pts.data(), static_cast<int>(pts.size()));
  }
}

int Brightness(Gdiplus::Bitmap& bmp, int x, int y) {
  Gdiplus::Color c;
  bmp.GetPixel(x, y, &c);
  return c.GetR() + c.GetG() + c.GetB();
}

}  // namespace

TEST_F(BoxTest, DeskPageOverAWallpaperScreenshot) {
  // A user box with a long list, scrolled, a hovered entry, a band in progress, a flash.
  for (int i = 0; i < 14; ++i)
    PutFileBytes(DesktopDir() + L"\\笔记" + std::to_wstring(i) + L".txt", "x");
  GetZhiItem* mine = desk->NewBox(POINT{360, 120});
  mine->name = L"我的工作资料和下载的文档";
  desk->SetActiveBox(mine);
  desk->AddMissingItems(&mine->list);
  desk->ToggleListDisplay(mine);
  desk->OnMouseWheel(-120, POINT{400, 300});
  ASSERT_GT(mine->thumbLen, 0);
  files->list.GetItem(1)->nData[kEntryFlash] = 50;
  const VxListItem* folder = folders->list.GetItem(0);
  desk->OnMouseMove(POINT{folder->rcHover.left + 10, folder->rcHover.top + 10});
  desk->OnLButtonDown(POINT{200, 560});
  desk->OnMouseMove(POINT{320, 700});

  Gdiplus::Bitmap page(1280, 800, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&page);
    PaintWallpaper(g, 1280, 800);
  }
  Gdiplus::Bitmap wallpaperOnly(1280, 800, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&wallpaperOnly);
    PaintWallpaper(g, 1280, 800);
  }
  // Entries fill in over the first frames within a time budget: the screenshot is of the
  // frame after they have all come, whatever the machine's speed.
  for (int frames = 0; frames < 100 && (frames == 0 || desk->FillingIn()); ++frames) {
    Gdiplus::Bitmap scratch(1280, 800, PixelFormat32bppARGB);
    Gdiplus::Graphics g(&scratch);
    desk->Draw(g, 1280, 800);
  }
  {
    Gdiplus::Graphics g(&page);
    desk->Draw(g, 1280, 800);
  }
  const std::wstring dir = ExeFolder() + L"\\..\\screenshots";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  ASSERT_TRUE(VxSaveImagePng(&page, (dir + L"\\box_desk.png").c_str()));
  desk->OnLButtonUp(POINT{320, 700});

  // The frame darkens the wallpaper under the box body; the title text is bright.
  const RECT r = files->rect;
  const int inBody = (r.left + r.right) / 2, bodyY = r.bottom - 6;
  EXPECT_LT(Brightness(page, inBody, bodyY), Brightness(wallpaperOnly, inBody, bodyY));
  int brightTitle = 0;
  for (int x = r.left + 10; x < r.left + 60; ++x)
    for (int y = r.top + 12; y < r.top + 32; ++y) brightTitle += Brightness(page, x, y) > 600 ? 1 : 0;
  EXPECT_GT(brightTitle, 20) << "title text drawn";
  // The band's blue lies over the wallpaper.
  Gdiplus::Color band;
  page.GetPixel(260, 630, &band);
  EXPECT_GT(band.GetB(), band.GetR());
  // The thumb of the scrolled box is lighter than the frame beside it.
  const int tx = mine->rect.right - 9, ty = mine->rect.top + 48 + mine->thumbPos + mine->thumbLen / 2;
  EXPECT_GT(Brightness(page, tx, ty), Brightness(page, tx - 20, mine->rect.bottom - 4));
}

TEST_F(BoxTest, FrameComposedInMemoryLooksAsDrawnThroughGdiplus) {
  // The host window hands the desk its frame's memory, where cached images are composed
  // directly; drawing through GDI+ alone must give the same picture, up to the rounding of
  // premultiplied alpha. A scrolled list box, a hovered and a flashing entry, a band, and a
  // box hanging over the page's left and bottom edges.
  for (int i = 0; i < 14; ++i)
    PutFileBytes(DesktopDir() + L"\\笔记" + std::to_wstring(i) + L".txt", "x");
  GetZhiItem* mine = desk->NewBox(POINT{360, 120});
  desk->SetActiveBox(mine);
  desk->AddMissingItems(&mine->list);
  desk->ToggleListDisplay(mine);
  desk->OnMouseWheel(-120, POINT{400, 300});
  ASSERT_GT(mine->thumbLen, 0);
  GetZhiItem* hanging = desk->NewBox(POINT{600, 500});
  hanging->rect = RECT{-60, 620, 220, 900};
  desk->LayoutBox(hanging, TRUE);
  files->list.GetItem(1)->nData[kEntryFlash] = 45;
  desk->DeskList().GetItem(0)->nData[kEntryFlash] = 55;
  const VxListItem* folder = folders->list.GetItem(0);
  desk->OnMouseMove(POINT{folder->rcHover.left + 10, folder->rcHover.top + 10});
  desk->OnLButtonDown(POINT{200, 560});
  desk->OnMouseMove(POINT{320, 700});

  const int w = 1280, h = 800;
  auto paintOnce = [&](std::vector<uint32_t>& px, bool inMemory) {
    px.assign(static_cast<size_t>(w) * h, 0);
    Gdiplus::Bitmap page(w, h, w * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(px.data()));
    Gdiplus::Graphics g(&page);
    PaintWallpaper(g, w, h);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    VxPixels frame;
    frame.bits = reinterpret_cast<uint8_t*>(px.data());
    frame.width = w;
    frame.height = h;
    frame.stride = w * 4;
    if (inMemory)
      desk->DrawFrame(g, frame, w, h);
    else
      desk->Draw(g, w, h);
  };
  // A whole frame: drawn again while the desk still fills in entries, as the host does.
  auto paint = [&](std::vector<uint32_t>& px, bool inMemory) {
    for (int frames = 0; frames == 0 || (desk->FillingIn() && frames < 100); ++frames)
      paintOnce(px, inMemory);
  };
  std::vector<uint32_t> plus, memory, again;
  paint(plus, false);
  paint(memory, true);
  paint(again, true);
  desk->OnLButtonUp(POINT{320, 700});

  EXPECT_TRUE(memory == again) << "a frame from the kept renderings equals the first";
  int worst = 0, changed = 0;
  for (size_t i = 0; i < plus.size(); ++i) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
      d = std::max(d, std::abs(static_cast<int>(plus[i] >> shift & 0xFF) -
                               static_cast<int>(memory[i] >> shift & 0xFF)));
    worst = std::max(worst, d);
    changed += d > 2;
  }
  EXPECT_LE(worst, 6) << "colour channels differ by rounding at most";
  EXPECT_LT(changed, 400) << "pixels off by more than 2 levels";
  // The desk is really there: the frame darkens the wallpaper under the hanging box.
  const uint32_t inside = memory[static_cast<size_t>(700) * w + 100];
  std::vector<uint32_t> bare(static_cast<size_t>(w) * h, 0);
  {
    Gdiplus::Bitmap page(w, h, w * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(bare.data()));
    Gdiplus::Graphics g(&page);
    PaintWallpaper(g, w, h);
  }
  EXPECT_NE(inside & 0xFFFFFF, bare[static_cast<size_t>(700) * w + 100] & 0xFFFFFF);
}

TEST_F(BoxTest, IconsLookedUpAheadOnAThreadAreTheDesksOwn) {
  PutFileBytes(DesktopDir() + L"\\tool.exe", "MZ");
  desk->Refresh();
  DeskPrefetchIcons();
  const DeskIconIndexes ahead = DeskTakePrefetchedIcons();
  EXPECT_TRUE(DeskTakePrefetchedIcons().empty()) << "handed over once";
  const ShellDesktop shell;
  size_t children = 0;
  for (const DesktopChild& child : shell.Children()) {
    const int kind = ClassifyDesktopItem(child.parseName);
    if (kind == 0) continue;
    ++children;
    const auto found = ahead.find(child.parseName);
    ASSERT_NE(found, ahead.end()) << child.parseName;
    EXPECT_EQ(found->second, shell.IconIndex(child.pidl.get(), child.parseName, kind));
  }
  EXPECT_GE(children, 10u);  // the fixture's files and folders, the link, the program, the bin
  EXPECT_EQ(ahead.size(), children);

  // A desk started with them shows every entry with the icon it would have looked up itself.
  auto iconsOf = [](CMyDesk& d) {
    std::map<std::wstring, std::vector<uint32_t>> icons;
    std::vector<VxListCtrl*> lists{&d.DeskList()};
    for (auto& b : d.Boxes()) lists.push_back(&b->list);
    for (VxListCtrl* list : lists)
      for (VxListItem* e : list->Items()) {
        std::vector<uint32_t>& px = icons[e->szPath];
        if (!e->pIcon) continue;
        px.assign(48 * 48, 0);
        Gdiplus::Bitmap copy(48, 48, 48 * 4, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(px.data()));
        Gdiplus::Graphics(&copy).DrawImage(e->pIcon, 0, 0, 48, 48);
      }
    return icons;
  };
  const auto own = iconsOf(*desk);
  desk.reset();
  DeskPrefetchIcons();
  CMyDesk started(&owner);
  started.StartDesk();
  EXPECT_EQ(iconsOf(started), own);
}

TEST_F(BoxTest, ImagesLoadedAheadOnAThreadDrawTheSameDesk) {
  // The program loads the first frame's images on a thread while it starts its windows; a desk
  // drawn from them must look like one that loaded its own.
  const int w = 1280, h = 800;
  auto frameOf = [&](CMyDesk& d) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h, 0);
    Gdiplus::Bitmap page(w, h, w * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(px.data()));
    Gdiplus::Graphics g(&page);
    for (int frames = 0; frames == 0 || (d.FillingIn() && frames < 100); ++frames) {
      PaintWallpaper(g, w, h);
      d.Draw(g, w, h);
    }
    return px;
  };
  const RECT body = files->rect;
  const std::vector<uint32_t> own = frameOf(*desk);
  desk.reset();

  DeskPrepareDrawResources();
  CMyDesk ahead(&owner);
  ahead.StartDesk();
  ahead.SetPageRect(RECT{0, 0, w, h});
  TheApp().desk.config.organizePending = 1;
  ahead.Organize(0);
  const std::vector<uint32_t> prepared = frameOf(ahead);
  EXPECT_TRUE(own == prepared);

  std::vector<uint32_t> bare(static_cast<size_t>(w) * h, 0);
  {
    Gdiplus::Bitmap page(w, h, w * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(bare.data()));
    Gdiplus::Graphics g(&page);
    PaintWallpaper(g, w, h);
  }
  const size_t inBody = static_cast<size_t>(body.bottom - 6) * w + (body.left + body.right) / 2;
  EXPECT_NE(prepared[inBody] & 0xFFFFFF, bare[inBody] & 0xFFFFFF) << "the box frame is drawn";
}
