// The confirmation dialog through its real window: layout, each mode's buttons and results
// by mouse messages, keyboard, text drawing read back from the screen, and a screenshot.
#include "app/dialogs/DialogMsg.h"
#include "app/dialogs/tests/dialogs_test_support.h"

namespace {

POINT Centre(const CRect& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

RECT WindowRectOf(HWND hwnd) {
  RECT rc{};
  ::GetWindowRect(hwnd, &rc);
  return rc;
}

enum class Button { kOK, kCancel, kClose };

CRect RectOf(const CDialogMsg& dlg, Button b) {
  switch (b) {
    case Button::kOK: return dlg.GetOKRect();
    case Button::kCancel: return dlg.GetCancelRect();
    default: return dlg.GetCloseRect();
  }
}

struct Case {
  int mode;
  Button button;
  INT_PTR result;
};

class DialogMsgButtons : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST(DialogMsgTest, LayoutFollowsTheBackgroundAndSitsInTheScreenCentre) {
  CDialogMsg dlg;
  RECT window{}, client{};
  CRect ok, cancel, close;
  bool timedOut = false;
  RunModal(dlg, [&](HWND hwnd) {
    window = WindowRectOf(hwnd);
    ::GetClientRect(hwnd, &client);
    ok = dlg.GetOKRect();
    cancel = dlg.GetCancelRect();
    close = dlg.GetCloseRect();
    EXPECT_EQ(dlg.GetLayerMode(), CVxDialogBase::kPerPixelAlpha);
    EXPECT_EQ(dlg.GetAlpha(), 255);
    dlg.SetDoModalOK(FALSE);
  }, &timedOut);
  ASSERT_FALSE(timedOut);
  // rs\设置\tips_bg.png is 400 x 180; the buttons are 72 x 28 and the close button 24 x 24.
  EXPECT_EQ(window.right - window.left, 400);
  EXPECT_EQ(window.bottom - window.top, 180);
  EXPECT_EQ(window.left, (::GetSystemMetrics(SM_CXSCREEN) - 400) / 2);
  EXPECT_EQ(window.top, (::GetSystemMetrics(SM_CYSCREEN) - 180) / 2);
  EXPECT_EQ(ok, CRect(400 - 170, 180 - 45, 400 - 170 + 72, 180 - 45 + 28));
  EXPECT_EQ(cancel, CRect(400 - 90, 180 - 45, 400 - 90 + 72, 180 - 45 + 28));
  EXPECT_EQ(close, CRect(400 - 10 - 24, 10, 400 - 10, 34));
}

TEST_P(DialogMsgButtons, ClickGivesItsResult) {
  const Case c = GetParam();
  CDialogMsg dlg;
  dlg.SetMode(c.mode);
  dlg.SetFirstLine(L"确定要退出Vexlo桌面吗?");
  dlg.SetSecondLine(L"退出后桌面图标将恢复原样。");
  bool timedOut = false;
  const INT_PTR result = RunModal(dlg, [&](HWND hwnd) {
    PostClick(hwnd, Centre(RectOf(dlg, c.button)));
  }, &timedOut);
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EachModeAndButton, DialogMsgButtons,
    ::testing::Values(Case{1, Button::kOK, 1}, Case{1, Button::kCancel, 0},
                      Case{1, Button::kClose, 0}, Case{2, Button::kOK, 1},
                      Case{2, Button::kCancel, 0}, Case{2, Button::kClose, 0}));

TEST(DialogMsgTest, ReleaseAwayFromTheButtonIsNoClick) {
  CDialogMsg dlg;
  bool timedOut = false;
  int stillOpen = 0;
  const INT_PTR result = RunModal(dlg, [&](HWND hwnd) {
    const POINT ok = Centre(dlg.GetOKRect());
    ::SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ok.x, ok.y));
    ::SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(ok.x, ok.y - 60));
    PumpMessages();
    stillOpen = ::IsWindow(hwnd) ? 1 : 0;
    PostClick(hwnd, Centre(dlg.GetCancelRect()));
  }, &timedOut);
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(stillOpen, 1);
  EXPECT_EQ(result, 0);
}

TEST(DialogMsgTest, EnterAndEscapeDoNotCloseIt) {
  CDialogMsg dlg;
  bool timedOut = false;
  int openAfterKeys = 0;
  const INT_PTR result = RunModal(dlg, [&](HWND hwnd) {
    PostKey(hwnd, VK_RETURN);
    PostKey(hwnd, VK_ESCAPE);
    PumpMessages();
    openAfterKeys = ::IsWindowVisible(hwnd) ? 1 : 0;
    PostClick(hwnd, Centre(dlg.GetOKRect()));
  }, &timedOut);
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(openAfterKeys, 1);
  EXPECT_EQ(result, 1);
}

TEST(DialogMsgTest, ACloseMessageIsACancel) {
  CDialogMsg dlg;
  bool timedOut = false;
  const INT_PTR result = RunModal(dlg, [&](HWND hwnd) { ::PostMessageW(hwnd, WM_CLOSE, 0, 0); },
                                  &timedOut);
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(result, 0);
}

TEST(DialogMsgTest, ARealMouseClickOnOKThroughTheSystemInput) {
  CDialogMsg dlg;
  dlg.SetFirstLine(L"确定要还原桌面吗?");
  bool timedOut = false;
  const INT_PTR result = RunModal(dlg, [&](HWND hwnd) {
    POINT ok = Centre(dlg.GetOKRect());
    ::ClientToScreen(hwnd, &ok);
    InputClick(ok);
  }, &timedOut);
  EXPECT_FALSE(timedOut);
  EXPECT_EQ(result, 1);
}

TEST(DialogMsgTest, ModesDrawOneOrTwoLinesAndTheObjectIsReused) {
  CDialogMsg dlg;
  dlg.SetFirstLine(L"确定要删除该分类吗?");
  dlg.SetSecondLine(L"分类中的图标将回到桌面。");
  const int kLeft = 85, kRight = 330;
  auto shoot = [&](int mode, int* row75, int* row85, int* row100, bool save) {
    dlg.SetMode(mode);
    bool timedOut = false;
    RunModal(dlg, [&](HWND hwnd) {
      PumpFor(300);
      auto shot = CaptureScreen(WindowRectOf(hwnd));
      // The text rows: mode 2 lines start at 75 and 100, the mode 1 line at 85; a line of
      // the icon font is about 12 to 17 pixels high.
      *row75 = DarkPixels(*shot, kLeft, kRight, 75, 82);
      *row85 = DarkPixels(*shot, kLeft, kRight, 85, 95);
      *row100 = DarkPixels(*shot, kLeft, kRight, 104, 112);
      if (save) {
        EXPECT_FALSE(SaveScreenshot(*shot, L"dialog_msg.png").empty());
      }
      dlg.SetDoModalOK(TRUE);
    }, &timedOut);
    EXPECT_FALSE(timedOut);
  };
  int a75, a85, a100, b75, b85, b100, c75, c85, c100;
  shoot(2, &a75, &a85, &a100, true);
  shoot(1, &b75, &b85, &b100, false);
  EXPECT_EQ(dlg.GetSecondLine(), L"分类中的图标将回到桌面。");  // kept, but not drawn
  // Mode 2: a first line from 75 and a second from 100.
  EXPECT_GT(a75, 20);
  EXPECT_GT(a100, 20);
  // Mode 1: the one line from 85, nothing above it and no second line.
  EXPECT_EQ(b75, 0);
  EXPECT_GT(b85, 20);
  EXPECT_EQ(b100, 0);
  // Without texts the card is empty where the lines go.
  dlg.SetFirstLine(L"");
  dlg.SetSecondLine(L"");
  shoot(2, &c75, &c85, &c100, false);
  EXPECT_EQ(c75 + c85 + c100, 0);
}
