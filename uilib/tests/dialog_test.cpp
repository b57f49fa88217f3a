// Mouse dispatch, keyboard and window behaviour of the skinned dialog, through real
// messages to a real dialog.
#include <stdexcept>

#include "uilib/tests/test_support.h"

namespace {

struct Clicks {
  int count = 0;
  static void OnClick(void* p) { ++static_cast<Clicks*>(p)->count; }
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    strip3 = MakeStripPng(L"d-strip3.png", 30, 30, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
    ASSERT_TRUE(dlg.Open(100, 100, 300, 200));
    dlg.SetNoMove(TRUE);
  }
  void TearDown() override {
    if (dlg.GetSafeHwnd()) dlg.DestroyWindow();
    PumpMessages();
  }
  void Button(VxButton& b, int x, int y, Clicks* clicks = nullptr) {
    ASSERT_TRUE(b.SetImage(strip3.c_str(), VxButton::VXBT_3));
    b.SetRect(x, y, 30, 30);
    if (clicks) {
      VxCallbacks cb{&Clicks::OnClick, clicks};
      b.SetCallBack(&cb);
    }
    ASSERT_TRUE(dlg.AddVxItem(&b));
  }
  void Click(int x, int y) {
    SendMouse(dlg, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    SendMouse(dlg, WM_LBUTTONUP, x, y);
  }

  TestDialog dlg;
  std::wstring strip3;
};

}  // namespace

TEST_F(DialogTest, ItemsAreRegisteredOnceAndRemovedInOrder) {
  VxButton a, b, c;
  EXPECT_TRUE(dlg.AddVxItem(&a));
  EXPECT_FALSE(dlg.AddVxItem(&a));
  EXPECT_TRUE(dlg.AddVxItem(&b));
  EXPECT_TRUE(dlg.AddVxItem(&c));
  EXPECT_EQ(a.GetParent(), dlg.GetSafeHwnd());
  EXPECT_TRUE(dlg.RemoveVxItem(&b));
  EXPECT_FALSE(dlg.RemoveVxItem(&b));
  ASSERT_EQ(dlg.GetVxItems().size(), 2u);
  EXPECT_EQ(dlg.GetVxItems()[0], &a);
  EXPECT_EQ(dlg.GetVxItems()[1], &c);
  EXPECT_EQ(dlg.GetVxItem(&b), nullptr);
  EXPECT_FALSE(dlg.AddVxItem(nullptr));
}

TEST_F(DialogTest, HoverPressAndReleaseInside) {
  Clicks clicks;
  VxButton b;
  Button(b, 10, 10, &clicks);
  SendMouse(dlg, WM_MOUSEMOVE, 20, 20);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_MOUSEON);
  SendMouse(dlg, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_MOUSEDOWN);
  EXPECT_TRUE(b.GetCaptrue());
  EXPECT_EQ(::GetCapture(), dlg.GetSafeHwnd());
  SendMouse(dlg, WM_LBUTTONUP, 21, 21);
  EXPECT_EQ(clicks.count, 1);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_MOUSEON);
  EXPECT_FALSE(b.GetCaptrue());
  SendMouse(dlg, WM_MOUSEMOVE, 200, 150);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_NORMAL);
}

TEST_F(DialogTest, ReleaseOutsideGivesNoClickAndReturnsToNormal) {
  Clicks clicks;
  VxButton b;
  Button(b, 10, 10, &clicks);
  SendMouse(dlg, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  SendMouse(dlg, WM_MOUSEMOVE, 150, 150, MK_LBUTTON);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_MOUSEDOWN);  // a held button stays pressed
  SendMouse(dlg, WM_LBUTTONUP, 150, 150);
  EXPECT_EQ(clicks.count, 0);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_NORMAL);
}

TEST_F(DialogTest, OverlappingButtonsBothHoverButOnlyTheLastRegisteredIsPressed) {
  Clicks first, second;
  VxButton a, b;
  Button(a, 10, 10, &first);
  Button(b, 20, 20, &second);
  SendMouse(dlg, WM_MOUSEMOVE, 30, 30);
  EXPECT_EQ(a.GetStatus(), VxItemBase::VXS_MOUSEON);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_MOUSEON);
  Click(30, 30);
  EXPECT_EQ(first.count, 0);
  EXPECT_EQ(second.count, 1);
}

TEST_F(DialogTest, HiddenAndDisabledItemsAreNotHit) {
  Clicks clicks;
  VxButton b;
  Button(b, 10, 10, &clicks);
  b.SetShow(FALSE);
  Click(20, 20);
  b.SetShow(TRUE);
  b.SetEnable(FALSE);
  SendMouse(dlg, WM_MOUSEMOVE, 20, 20);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_NORMAL);
  Click(20, 20);
  EXPECT_EQ(clicks.count, 0);
  b.SetEnable(TRUE);
  Click(20, 20);
  EXPECT_EQ(clicks.count, 1);
}

TEST_F(DialogTest, CheckBoxTogglesAndRadioGroupsStayApart) {
  VxCheckBox box;
  ASSERT_TRUE(box.SetImage(strip3.c_str(), strip3.c_str(), VxButton::VXBT_3));
  box.SetRect(10, 10, 100, 30);
  dlg.AddVxItem(&box);
  Click(15, 15);
  EXPECT_TRUE(box.GetCheck());
  Click(15, 15);
  EXPECT_FALSE(box.GetCheck());

  VxRadio a2, b2, c3;
  for (VxRadio* r : {&a2, &b2, &c3}) ASSERT_TRUE(r->SetImage(strip3.c_str(), strip3.c_str(), VxButton::VXBT_3));
  a2.SetGroupID(2);
  b2.SetGroupID(2);
  c3.SetGroupID(3);
  a2.SetRect(10, 50, 30, 30);
  b2.SetRect(50, 50, 30, 30);
  c3.SetRect(90, 50, 30, 30);
  for (VxRadio* r : {&a2, &b2, &c3}) dlg.AddVxItem(r);
  Click(95, 55);
  Click(15, 55);
  EXPECT_TRUE(a2.GetCheck());
  EXPECT_TRUE(c3.GetCheck());
  Click(55, 55);
  EXPECT_TRUE(b2.GetCheck());
  EXPECT_FALSE(a2.GetCheck());
  EXPECT_TRUE(c3.GetCheck()) << "group 2 must never uncheck group 3";
  Click(55, 55);
  EXPECT_TRUE(b2.GetCheck()) << "a checked radio stays checked when clicked again";
}

TEST_F(DialogTest, CallbackThatClosesTheDialogIsSafe) {
  VxButton closer, after;
  Button(closer, 10, 10);
  Button(after, 100, 100);
  struct Ctx {
    TestDialog* dlg;
  } ctx{&dlg};
  VxCallbacks cb{[](void* p) { static_cast<Ctx*>(p)->dlg->DestroyWindow(); }, &ctx};
  closer.SetCallBack(&cb);
  HWND hwnd = dlg.GetSafeHwnd();
  Click(20, 20);
  EXPECT_FALSE(::IsWindow(hwnd));
  EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST_F(DialogTest, EnterAndEscapeDoNotCloseASkinnedDialog) {
  HWND hwnd = dlg.GetSafeHwnd();
  ::SetForegroundWindow(hwnd);
  ::SetFocus(hwnd);
  for (WPARAM key : {static_cast<WPARAM>(VK_RETURN), static_cast<WPARAM>(VK_ESCAPE)}) {
    ::PostMessageW(hwnd, WM_KEYDOWN, key, 0);
    ::PostMessageW(hwnd, WM_KEYUP, key, 0);
    PumpMessages();
    EXPECT_TRUE(::IsWindow(hwnd)) << "key " << key;
  }
  // The same keys do close a plain dialog of the framework, so the check above can fail.
  CVxDialog plain(IDD_TEST_SMALL);
  ASSERT_TRUE(plain.Create(nullptr));
  HWND ph = plain.GetSafeHwnd();
  ::ShowWindow(ph, SW_SHOW);
  ::SetForegroundWindow(ph);
  ::SetFocus(ph);
  ::PostMessageW(ph, WM_KEYDOWN, VK_ESCAPE, 0);
  PumpMessages();
  EXPECT_FALSE(::IsWindow(ph));
}

TEST_F(DialogTest, WmCloseDestroysAndEndsAModalLoop) {
  struct Closing : TestDialog {
    BOOL OnInitDialog() override {
      TestDialog::OnInitDialog();
      ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
      return TRUE;
    }
  } modal;
  EXPECT_EQ(modal.DoModal(), IDCANCEL);
  EXPECT_EQ(modal.GetSafeHwnd(), nullptr);

  struct Ok : TestDialog {
    BOOL OnInitDialog() override {
      TestDialog::OnInitDialog();
      SetDoModalOK(TRUE);
      return TRUE;
    }
  } ok;
  EXPECT_EQ(ok.DoModal(), IDOK);
}

namespace {

void SendInputMouse(DWORD flags, int x = 0, int y = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    in.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  ::SendInput(1, &in, sizeof(in));
}

// Presses at a screen point, moves by (dx, dy) in steps and releases, through real input.
void DragWithRealInput(int x, int y, int dx, int dy) {
  SendInputMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
  PumpMessages();
  SendInputMouse(MOUSEEVENTF_LEFTDOWN);
  for (int i = 1; i <= 5; ++i)
    SendInputMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x + dx * i / 5, y + dy * i / 5);
  SendInputMouse(MOUSEEVENTF_LEFTUP);
  for (int i = 0; i < 20; ++i) {
    PumpMessages();
    ::Sleep(10);
  }
}

}  // namespace

TEST_F(DialogTest, PressOnEmptySpaceDragsAMovableDialogOnly) {
  HWND hwnd = dlg.GetSafeHwnd();
  ::SetForegroundWindow(hwnd);
  RECT before, after;
  ::GetWindowRect(hwnd, &before);
  DragWithRealInput(before.left + 150, before.top + 100, 60, 40);
  ::GetWindowRect(hwnd, &after);
  EXPECT_EQ(after.left, before.left) << "SetNoMove(TRUE) must keep the window in place";
  EXPECT_EQ(after.top, before.top);

  dlg.SetNoMove(FALSE);
  DragWithRealInput(before.left + 150, before.top + 100, 60, 40);
  ::GetWindowRect(hwnd, &after);
  EXPECT_EQ(after.left, before.left + 60);
  EXPECT_EQ(after.top, before.top + 40);
}

TEST_F(DialogTest, NoMoveDialogCapturesTheMouseOnEmptySpace) {
  SendMouse(dlg, WM_LBUTTONDOWN, 200, 150, MK_LBUTTON);
  EXPECT_EQ(::GetCapture(), dlg.GetSafeHwnd());
  SendMouse(dlg, WM_LBUTTONUP, 200, 150);
  EXPECT_NE(::GetCapture(), dlg.GetSafeHwnd());
}

TEST_F(DialogTest, ScrollThumbDragCallsBackWithThePosition) {
  VxVScrollBar bar;
  bar.SetRect(250, 0, 8, 200);
  ASSERT_TRUE(bar.SetBarImage(RsPath(L"scroll-top.png").c_str(), RsPath(L"scroll-center.png").c_str(),
                              RsPath(L"scroll-bottom.png").c_str()));
  bar.SetBarLength(100, 400);
  struct Seen {
    int calls = 0, pos = -1;
  } seen;
  VxVScrollCallbacks cb;
  cb.lpParam = &seen;
  cb.pfnScroll = [](int pos, void* p) {
    auto* s = static_cast<Seen*>(p);
    ++s->calls;
    s->pos = pos;
  };
  bar.SetVBarCallBack(&cb);
  dlg.AddVxItem(&bar);
  SendMouse(dlg, WM_LBUTTONDOWN, 254, 5, MK_LBUTTON);
  ASSERT_EQ(bar.GetStatus(), VxItemBase::VXS_MOUSEDOWN);
  SendMouse(dlg, WM_MOUSEMOVE, 254, 35, MK_LBUTTON);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(seen.pos, 30);
  SendMouse(dlg, WM_MOUSEMOVE, 254, 1000, MK_LBUTTON);
  EXPECT_EQ(seen.pos, bar.GetMax());
  SendMouse(dlg, WM_LBUTTONUP, 254, 1000);
  EXPECT_EQ(bar.GetStatus(), VxItemBase::VXS_NORMAL);
  // A press below the thumb's reach is not a thumb press.
  bar.SetBarPos(0);
  SendMouse(dlg, WM_LBUTTONDOWN, 254, 190, MK_LBUTTON);
  EXPECT_NE(bar.GetStatus(), VxItemBase::VXS_MOUSEDOWN);
  SendMouse(dlg, WM_LBUTTONUP, 254, 190);
}

TEST_F(DialogTest, MouseLeaveReturnsButtonsToNormal) {
  VxButton b;
  Button(b, 10, 10);
  SendMouse(dlg, WM_MOUSEMOVE, 20, 20);
  ASSERT_EQ(b.GetStatus(), VxItemBase::VXS_MOUSEON);
  ::SendMessageW(dlg, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_NORMAL);
}

TEST_F(DialogTest, GifAdvancesOnItsTimer) {
  VxGifImage gif;
  ASSERT_TRUE(gif.SetImage(RsPath(L"gallery\\spinner.gif").c_str()));
  gif.SetRect(0, 0, 48, 48);
  dlg.AddVxItem(&gif);
  gif.StartRun(7, dlg);
  const DWORD until = ::GetTickCount() + 1500;
  while (gif.GetCurrentFrame() < 2 && ::GetTickCount() < until) {
    PumpMessages();
    ::Sleep(5);
  }
  EXPECT_GE(gif.GetCurrentFrame(), 2u);
  ::KillTimer(dlg, 7);
}

TEST_F(DialogTest, PerPixelAlphaWindowPaintsOnUpdateButNotWhenParked) {
  ASSERT_TRUE(dlg.Set_OPAQUEDlg(255));
  dlg.SetBackColor(Gdiplus::Color(0xFF204060), TRUE);
  const int before = dlg.paints;
  dlg.UpdateView();
  EXPECT_EQ(dlg.paints, before + 1);
  ::SetWindowPos(dlg, nullptr, -32000, -32000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  dlg.UpdateView();
  EXPECT_EQ(dlg.paints, before + 1);
}

TEST_F(DialogTest, LayerModesSetTheLayeredStyle) {
  EXPECT_TRUE(dlg.Set_ALPHADlg(200));
  EXPECT_TRUE(::GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(dlg.GetLayerMode(), 2);
  EXPECT_TRUE(dlg.SetNoLayDlg());
  EXPECT_FALSE(::GetWindowLongW(dlg, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(dlg.Set_COLORKEYDlg(RGB(255, 0, 255)));
  EXPECT_EQ(dlg.GetLayerMode(), 1);
  dlg.SetMinMaxStyle();
  EXPECT_TRUE(::GetWindowLongW(dlg, GWL_STYLE) & WS_MINIMIZEBOX);
}

TEST_F(DialogTest, MinimizeButtonLeavesItsButtonNormal) {
  VxButton min;
  Button(min, 10, 10);
  struct Ctx {
    TestDialog* dlg;
  } ctx{&dlg};
  VxCallbacks cb{[](void* p) { static_cast<Ctx*>(p)->dlg->MinVxDlg(); }, &ctx};
  min.SetCallBack(&cb);
  Click(20, 20);
  EXPECT_EQ(min.GetStatus(), VxItemBase::VXS_NORMAL);
  PumpMessages();
  EXPECT_TRUE(::IsIconic(dlg));
}

// The click arrives the way a user's would, through the thread's message loop and the
// system's dispatch into the dialog procedure; the handler throws on its first call.
TEST_F(DialogTest, HandlerThatThrowsLeavesTheDialogWorking) {
  struct Failing {
    int calls = 0;
    static void OnClick(void* p) {
      if (++static_cast<Failing*>(p)->calls == 1) throw std::runtime_error("handler failed");
    }
  } failing;
  VxButton b;
  Button(b, 10, 10);
  VxCallbacks cb{&Failing::OnClick, &failing};
  b.SetCallBack(&cb);
  auto click = [&] {
    ::PostMessageW(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ::PostMessageW(dlg, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    PumpMessages();
  };
  click();
  ASSERT_EQ(failing.calls, 1);
  ASSERT_TRUE(::IsWindow(dlg));
  EXPECT_NE(::GetCapture(), dlg.GetSafeHwnd()) << "the failed release let go of the mouse";
  EXPECT_NE(b.GetStatus(), VxItemBase::VXS_MOUSEDOWN);
  EXPECT_FALSE(b.GetCaptrue());
  click();
  EXPECT_EQ(failing.calls, 2) << "the next click is handled as usual";
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_MOUSEON);
  const int paints = dlg.paints;
  dlg.UpdateView();
  PumpMessages();
  EXPECT_GT(dlg.paints, paints);
}
