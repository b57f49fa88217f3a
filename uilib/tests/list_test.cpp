// The icon list inside a real dialog: layout, states, mouse steps, callbacks and the
// rubber band.
#include <functional>

#include "uilib/tests/test_support.h"
#include "uilib/VxPaint.h"

namespace {

struct Seen {
  int clicks = 0, dbl = 0, right = 0;
  VxListItem* last = nullptr;
  bool rightNull = false;
};

class ListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Open(50, 50, 600, 400));
    dlg.SetNoMove(TRUE);
    ASSERT_TRUE(dlg.AddVxItem(&list));
    VxListCallbacks cb;
    cb.pfnClick = [](VxListItem* i, POINT*, void* p) {
      auto* s = static_cast<Seen*>(p);
      ++s->clicks;
      s->last = i;
    };
    cb.pfnDblClick = [](VxListItem* i, POINT*, void* p) {
      auto* s = static_cast<Seen*>(p);
      ++s->dbl;
      s->last = i;
    };
    cb.pfnRClick = [](VxListItem* i, POINT*, void* p) {
      auto* s = static_cast<Seen*>(p);
      ++s->right;
      s->rightNull = i == nullptr;
    };
    cb.lpParam = &seen;
    list.SetListCallBack(&cb);
  }
  void TearDown() override {
    dlg.DestroyWindow();
    PumpMessages();
  }
  void Fill(int n, const wchar_t* prefix = L"文件") {
    for (int i = 0; i < n; ++i) {
      VxListItem t;
      swprintf(t.szName, 260, L"%ls%d", prefix, i);
      swprintf(t.szPath, 260, L"C:\\desk\\%ls%d.txt", prefix, i);
      list.AddItem(&t, TRUE);
    }
  }
  POINT Centre(int index) {
    const RECT& r = list.GetItem(index)->rcHover;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  TestDialog dlg;
  VxListCtrl list;
  Seen seen;
};

}  // namespace

TEST_F(ListTest, BigIconsInA200By300ListFillColumns) {
  list.SetListType(VXLT_BIGICON);
  CRect rc(10, 20, 210, 320);
  list.SetRect(&rc);
  Fill(5);
  EXPECT_EQ(list.GetItem(0)->rcPos.top, 20);
  EXPECT_EQ(list.GetItem(1)->rcPos.top, 120);
  EXPECT_EQ(list.GetItem(2)->rcPos.left, 10);
  EXPECT_EQ(list.GetItem(2)->rcPos.top, 220);
  EXPECT_EQ(list.GetItem(3)->rcPos.left, 87);
  EXPECT_EQ(list.GetItem(3)->rcPos.top, 20);
  // A re-layout through SetRect writes the rectangle back, grown to hold every entry.
  CRect again(10, 20, 90, 320);
  list.SetRect(&again);
  EXPECT_EQ(again.right, 87 + 75);
  EXPECT_EQ(list.GetListMaxWidth(), 87 + 75 - 10);
  EXPECT_EQ(list.GetListMaxHeight(), 310 - 20);
}

TEST_F(ListTest, ArrangeIsStoredInverted) {
  list.SetListType(VXLT_BIGICON);
  list.SetArrange(TRUE);
  EXPECT_FALSE(list.GetArrange());
  CRect rc(0, 0, 240, 300);
  list.SetRect(&rc);
  Fill(3);
  EXPECT_EQ(list.GetItem(1)->rcPos.left, 0);  // columns
  list.SetArrange(FALSE);
  EXPECT_TRUE(list.GetArrange());
  list.ReSetPos(TRUE);
  EXPECT_EQ(list.GetItem(1)->rcPos.left, 77);  // rows
  EXPECT_EQ(list.GetItem(1)->rcPos.top, 0);
}

TEST_F(ListTest, FreeModeDropsAtOnePointTakeTwoCells) {
  list.SetListType(VXLT_BIGICON);
  list.SetListMode(VXLM_FREE);
  list.SetRect(0, 0, 400, 300);
  VxListItem t;
  wcscpy(t.szName, L"a");
  list.AddItem(&t, 120, 130);
  list.AddItem(&t, 120, 130);
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_FALSE(CRect(list.GetItem(0)->rcPos) == list.GetItem(1)->rcPos);
  EXPECT_EQ(list.GetItem(0)->rcPos.left, 77);
}

TEST_F(ListTest, EntriesAreCopiesWithFreshIdsAndTheIconMovesToTheList) {
  list.SetListType(VXLT_LIST);
  list.SetRect(0, 0, 300, 200);
  VxListItem t;
  wcscpy(t.szName, L"记事本");
  t.nData[2] = 42;
  t.hIcon = ::CopyIcon(::LoadIconW(nullptr, IDI_APPLICATION));
  t.pIcon = new Gdiplus::Bitmap(16, 16, PixelFormat32bppARGB);
  list.AddItem(&t, TRUE);
  EXPECT_EQ(t.hIcon, nullptr);
  VxListItem* e = list.GetItem(0);
  ASSERT_NE(e, nullptr);
  EXPECT_NE(e->hIcon, nullptr);
  EXPECT_NE(e->pIcon, t.pIcon);
  EXPECT_NE(e->pIcon, nullptr);
  EXPECT_STREQ(e->szName, L"记事本");
  EXPECT_EQ(e->nData[2], 42);
  EXPECT_EQ(e->nID, 0);
  list.AddItem(&t, TRUE);
  EXPECT_EQ(list.GetItem(1)->nID, 1);
  EXPECT_EQ(list.ComputerID(), 2);
  list.InsertItem(&t, 0);
  EXPECT_EQ(list.GetItem(0)->nID, 2);
  EXPECT_TRUE(list.ChangeItemPos(list.GetItem(0), list.GetItem(2)));
  EXPECT_EQ(list.GetItem(2)->nID, 2);
  EXPECT_TRUE(list.RemoveAt(list.GetItem(2), TRUE));
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetItem(5), nullptr);
}

TEST_F(ListTest, RowsHaveHoverAndFocusRectsEvenWithoutAName) {
  list.SetListType(VXLT_LIST);
  list.SetRect(0, 0, 300, 200);
  VxListItem t;
  list.AddItem(&t, TRUE);
  Fill(1, L"一个相当长的文件名称用来测量");
  VxListItem* empty = list.GetItem(0);
  VxListItem* named = list.GetItem(1);
  EXPECT_GE(empty->rcHover.right - empty->rcHover.left, 80);
  EXPECT_EQ(empty->rcHover.bottom, empty->rcPos.bottom + 3);
  EXPECT_GT(named->rcHover.right - named->rcHover.left, 80);
  EXPECT_GT(named->rcFocus.right, named->rcFocus.left);
  EXPECT_EQ(named->rcPos.top, 23);
}

TEST_F(ListTest, IconHoverRectEndsBelowTheLabel) {
  list.SetListType(VXLT_BIGICON);
  list.SetRect(0, 0, 300, 300);
  Fill(1, L"很长很长的名字会换行显示在两行里面");
  VxListItem* e = list.GetItem(0);
  EXPECT_GT(e->rcHover.bottom, e->rcText.top + 3);
  EXPECT_LE(e->rcHover.bottom, e->rcText.bottom + 3);
  EXPECT_GE(e->rcFocus.bottom, e->rcHover.bottom);
}

TEST_F(ListTest, MoveHoversPressSelectsAndFocusesReleaseClicks) {
  list.SetListType(VXLT_BIGICON);
  list.SetRect(0, 0, 400, 300);
  Fill(3);
  const POINT p0 = Centre(0), p1 = Centre(1);
  SendMouse(dlg, WM_MOUSEMOVE, p0.x, p0.y);
  EXPECT_EQ(list.GetItem(0)->nMouseState, 1);
  SendMouse(dlg, WM_MOUSEMOVE, p1.x, p1.y);
  EXPECT_EQ(list.GetItem(0)->nMouseState, 0);
  EXPECT_EQ(list.GetItem(1)->nMouseState, 1);
  SendMouse(dlg, WM_LBUTTONDOWN, p1.x, p1.y, MK_LBUTTON);
  EXPECT_EQ(list.GetItem(1)->nMouseState, 2);
  EXPECT_TRUE(list.GetItem(1)->IsSelected());
  EXPECT_TRUE(list.GetItem(1)->IsFocused());
  SendMouse(dlg, WM_LBUTTONUP, p1.x, p1.y);
  EXPECT_EQ(seen.clicks, 1);
  EXPECT_EQ(seen.last, list.GetItem(1));
  EXPECT_EQ(list.GetItem(1)->nMouseState, 1);
  EXPECT_TRUE(list.GetItem(1)->IsSelected()) << "a click on an entry keeps it selected";
  ASSERT_EQ(list.GetSelection().size(), 1u);
  // Pressing another entry moves focus and selection.
  SendMouse(dlg, WM_LBUTTONDOWN, p0.x, p0.y, MK_LBUTTON);
  SendMouse(dlg, WM_LBUTTONUP, p0.x, p0.y);
  EXPECT_TRUE(list.GetItem(0)->IsFocused());
  EXPECT_FALSE(list.GetItem(1)->IsFocused());
  EXPECT_FALSE(list.GetItem(1)->IsSelected());
  EXPECT_EQ(dlg.GetNumsSel(), 1);
}

TEST_F(ListTest, DoubleClickAndRightClickCallbacks) {
  list.SetListType(VXLT_BIGICON);
  list.SetRect(0, 0, 400, 300);
  Fill(2);
  const POINT p = Centre(1);
  SendMouse(dlg, WM_LBUTTONDBLCLK, p.x, p.y, MK_LBUTTON);
  EXPECT_EQ(seen.dbl, 1);
  EXPECT_EQ(seen.last, list.GetItem(1));
  EXPECT_TRUE(dlg.IsDragPending());
  SendMouse(dlg, WM_LBUTTONUP, p.x, p.y);
  EXPECT_FALSE(dlg.IsDragPending());
  SendMouse(dlg, WM_RBUTTONDOWN, p.x, p.y, MK_RBUTTON);
  SendMouse(dlg, WM_RBUTTONUP, p.x, p.y);
  EXPECT_EQ(seen.right, 1);
  EXPECT_FALSE(seen.rightNull);
  SendMouse(dlg, WM_RBUTTONUP, 390, 290);
  EXPECT_EQ(seen.right, 2);
  EXPECT_TRUE(seen.rightNull) << "a right-click on empty space reports no entry";
}

TEST_F(ListTest, RubberBandSelectsWhatItCrosses) {
  dlg.SetSelRect(TRUE);
  list.SetListType(VXLT_BIGICON);
  list.SetListMode(VXLM_FREE);
  CRect rc(0, 0, 600, 400);
  list.SetRect(&rc);
  Fill(8);  // two columns of four cells... the list is 400 high: columns of 4
  const RECT first = list.GetItem(0)->rcHover;
  // From empty space right of the entries, across the first row only.
  SendMouse(dlg, WM_LBUTTONDOWN, 590, 5, MK_LBUTTON);
  ASSERT_TRUE(dlg.IsBanding());
  SendMouse(dlg, WM_MOUSEMOVE, first.left + 5, first.top + 10, MK_LBUTTON);
  const RECT band = dlg.GetBandRect();
  EXPECT_EQ(band.left, first.left + 5);
  EXPECT_EQ(band.right, 590);
  EXPECT_TRUE(list.GetItem(0)->IsSelected());
  EXPECT_TRUE(list.GetItem(4)->IsSelected());
  EXPECT_FALSE(list.GetItem(1)->IsSelected());
  // Shrinking the band unselects what it left.
  SendMouse(dlg, WM_MOUSEMOVE, 400, 10, MK_LBUTTON);
  EXPECT_FALSE(list.GetItem(0)->IsSelected());
  SendMouse(dlg, WM_MOUSEMOVE, first.left + 5, first.top + 10, MK_LBUTTON);
  SendMouse(dlg, WM_LBUTTONUP, first.left + 5, first.top + 10);
  EXPECT_FALSE(dlg.IsBanding());
  EXPECT_TRUE(CRect(dlg.GetBandRect()).IsRectEmpty());
  EXPECT_EQ(dlg.GetNumsSel(), 2) << "the band's selection stays after the release";
  // A click on empty space ends that selection.
  SendMouse(dlg, WM_LBUTTONDOWN, 590, 390, MK_LBUTTON);
  SendMouse(dlg, WM_LBUTTONUP, 590, 390);
  EXPECT_EQ(dlg.GetNumsSel(), 0);
}

TEST_F(ListTest, StateOperations) {
  list.SetListType(VXLT_LIST);
  list.SetRect(0, 0, 300, 300);
  Fill(4);
  EXPECT_TRUE(list.SetSel(1, TRUE));
  EXPECT_FALSE(list.SetSel(1, TRUE));
  list.SetSignalSel(3);
  EXPECT_EQ(list.GetSelection().size(), 2u);
  EXPECT_TRUE(list.ItemInSelect(list.GetItem(3)));
  EXPECT_TRUE(list.UnSelRcItem());
  EXPECT_FALSE(list.UnSelRcItem());
  list.SelectAll();
  EXPECT_EQ(list.GetSelection().size(), 4u);
  list.GetItem(2)->nMouseState = 1;
  list.GetItem(0)->bNotFocus = 0;
  EXPECT_TRUE(list.RemoveMoveState());
  EXPECT_FALSE(list.RemoveMoveState());
  EXPECT_TRUE(list.ClearState());
  EXPECT_FALSE(list.ClearState());
  EXPECT_EQ(list.GetFocusItem(), nullptr);
  EXPECT_TRUE(list.SetTextCath(list.GetItem(0), L"x"));
  EXPECT_FALSE(list.SetTextCath(list.GetItem(0), L"x"));
  list.GetItem(1)->pAlphaImage = new Gdiplus::Bitmap(4, 4);
  list.GetItem(1)->nAlpha = 100;
  EXPECT_TRUE(list.ClearAlphImage());
  EXPECT_EQ(list.GetItem(1)->nAlpha, 255);
  VxListItem* hit = nullptr;
  CRect probe(5, 30, 6, 31);
  EXPECT_EQ(list.GetItemFromRect(&probe, hit), 1);
  EXPECT_EQ(hit, list.GetItem(1));
  // Removing a selected entry drops it from the selection too.
  list.SetSel(0, TRUE);
  list.RemoveAt(list.GetItem(0), TRUE);
  EXPECT_TRUE(list.GetSelection().empty());
}

TEST_F(ListTest, DeleteSelectedFilesRemovesOnlySelectedEntries) {
  list.SetListType(VXLT_LIST);
  list.SetRect(0, 0, 300, 300);
  Fill(4);
  list.SetSel(0, TRUE);
  list.SetSel(2, TRUE);
  EXPECT_TRUE(dlg.DeleteSelectedFiles());
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_STREQ(list.GetItem(0)->szName, L"文件1");
  EXPECT_STREQ(list.GetItem(1)->szName, L"文件3");
  EXPECT_FALSE(dlg.DeleteSelectedFiles());
}

TEST_F(ListTest, LayoutWithoutAParentKeepsStateRects) {
  VxListCtrl orphan;  // never added to a dialog
  orphan.SetListType(VXLT_LIST);
  orphan.SetRect(0, 0, 300, 100);
  VxListItem t;
  wcscpy(t.szName, L"孤儿");
  orphan.AddItem(&t, TRUE);
  EXPECT_EQ(orphan.GetItem(0)->rcPos.bottom, 20);
  EXPECT_EQ(orphan.GetItem(0)->rcHover.right, 0);
  CRect tiny(0, 0, 300, 10);
  VxListCtrl big;
  big.SetListType(VXLT_BIGICON);
  big.SetRect(&tiny);
  big.AddItem(&t, TRUE);
  EXPECT_FALSE(big.GetItem(0)->IsPlaced() && big.GetItem(0)->rcPos.right > 0);
}

namespace {

// What the screen shows where the window is.
std::vector<uint32_t> ShownPixels(HWND hwnd) {
  RECT wr;
  ::GetWindowRect(hwnd, &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  void* bits = nullptr;
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  VxBitmap dib(VxCreateTopDownDib(screen.Get(), w, h, &bits));
  if (!mem || !dib || !bits) return {};
  VxSelectObject keep(mem.Get(), dib.Get());
  ::BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), wr.left, wr.top, SRCCOPY);
  ::GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  return std::vector<uint32_t>(p, p + static_cast<size_t>(w) * h);
}

size_t Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return std::max(a.size(), b.size());
  size_t n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

// A per-pixel-alpha dialog with a list of 24 big icons, entry 5 selected, hover images
// that show, and its first frame presented.
void ShowAlphaHoverList(TestDialog& dlg, VxListCtrl& list, const std::function<void(int)>& fill) {
  ASSERT_TRUE(dlg.Set_OPAQUEDlg(255));
  dlg.SetBack(RsPath(L"gallery\\dialog-bg.png"), TRUE, TRUE);
  CStringArray hover;
  for (int i = 0; i < 9; ++i)
    hover.push_back(MakeSolidPng(L"hover-part" + std::to_wstring(i) + L".png", 6, 6,
                                 i == 4 ? 0x80E0F0FFu : 0xC03070D0u));
  ASSERT_TRUE(list.SetMouseMoveImage(hover));
  Gdiplus::Font font(L"宋体", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  list.SetFont(font);
  list.SetListType(VXLT_BIGICON);
  list.SetRect(0, 0, 600, 400);
  fill(24);
  list.SetSel(5, TRUE);
  dlg.UpdateView();
  PumpMessages();
}

}  // namespace

TEST_F(ListTest, HoverRepaintedInPartShowsWhatAWholeFrameShows) {
  ShowAlphaHoverList(dlg, list, [this](int n) { Fill(n); });
  const std::vector<uint32_t> plain = ShownPixels(dlg);
  ASSERT_FALSE(plain.empty());

  // Across a row, down to the next one and back over the selected entry.
  for (int index : {0, 1, 2, 9, 5, 4}) {
    const POINT c = Centre(index);
    SendMouse(dlg, WM_MOUSEMOVE, c.x, c.y);
  }
  PumpMessages();
  ASSERT_EQ(list.GetItem(4)->nMouseState, 1);
  const std::vector<uint32_t> partial = ShownPixels(dlg);
  // The read-back sees the window's content: the highlight shows.
  EXPECT_GT(Differences(plain, partial), 100u);

  dlg.UpdateView();
  PumpMessages();
  EXPECT_EQ(Differences(partial, ShownPixels(dlg)), 0u);
}

TEST_F(ListTest, AFrameIsPresentedOnlyWhenTheWindowsContentChanged) {
  ShowAlphaHoverList(dlg, list, [this](int n) { Fill(n); });
  const int presented = dlg.GetPresentCount();
  ASSERT_GE(presented, 1);
  const std::vector<uint32_t> before = ShownPixels(dlg);

  // Repaint requests of every kind with nothing changed: painted, not handed over.
  const int paints = dlg.paints;
  dlg.UpdateView();
  ::SendMessageW(dlg, WM_TIMER, 77, 0);
  ::InvalidateRect(dlg, nullptr, TRUE);
  ::UpdateWindow(dlg);
  dlg.UpdateView();
  PumpMessages();
  EXPECT_EQ(dlg.paints, paints + 2);
  EXPECT_EQ(dlg.GetPresentCount(), presented);

  // A hover change is presented once; the same position again is not.
  const POINT c = Centre(2);
  SendMouse(dlg, WM_MOUSEMOVE, c.x, c.y);
  SendMouse(dlg, WM_MOUSEMOVE, c.x + 1, c.y);
  PumpMessages();
  EXPECT_EQ(dlg.GetPresentCount(), presented + 1);
  EXPECT_GT(Differences(before, ShownPixels(dlg)), 100u);

  // A change made by the program shows on the next frame.
  list.SetShow(FALSE);
  dlg.UpdateView();
  EXPECT_EQ(dlg.GetPresentCount(), presented + 2);
}

// Entries whose label was never drawn wait for later frames once a draw's budget is spent; each
// frame draws more of them even when redrawing the drawn ones alone takes longer than the
// budget, and the list stops asking for frames once every label that can be drawn was drawn,
// an entry without room for its label included.
TEST_F(ListTest, ABudgetedDrawFillsInOverFramesAndThenStops) {
  list.SetListType(VXLT_BIGICON);
  list.SetRect(0, 0, 600, 400);
  Fill(30);
  VxListItem* roomless = list.GetItem(7);
  roomless->rcText.right = roomless->rcText.left;  // no room for its label
  list.SetFirstDrawBudget(0.5);
  Gdiplus::Bitmap page(600, 400, PixelFormat32bppPARGB);
  Gdiplus::Graphics g(&page);
  g.SetClip(Gdiplus::Rect(0, 0, 600, 400));
  list.Draw(g);
  EXPECT_TRUE(list.RendersPending()) << "thirty labels in half a millisecond";
  int frames = 1;
  while (list.RendersPending() && frames < 200) {
    list.Draw(g);
    ++frames;
  }
  EXPECT_FALSE(list.RendersPending()) << "still asking for frames after " << frames;
  for (int i = 0; i < list.GetCount(); ++i)
    if (i != 7) EXPECT_NE(list.GetItem(i)->pTextImage, nullptr) << "entry " << i;
}
