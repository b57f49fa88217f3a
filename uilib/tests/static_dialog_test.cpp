// The toolkit linked into the program itself, as the installer links it: no Lumette.dll is
// loaded, and a skinned dialog whose items take their images from the program's own
// resources works on screen, from the images to clicks and the keyboard hook.
#include "uilib/tests/test_support.h"

#include "uilib/VxLibMain.h"
#include "uilib/VxPaint.h"
#include "uilib/VxShellFunctions.h"

namespace {

struct Clicks {
  int count = 0;
  static void OnClick(void* p) { ++static_cast<Clicks*>(p)->count; }
};

// The screen under the window, as the user sees it.
std::unique_ptr<Gdiplus::Bitmap> GrabWindow(HWND hwnd) {
  RECT rc;
  ::GetWindowRect(hwnd, &rc);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  VxWindowDC screen(nullptr);
  VxMemDC mem(::CreateCompatibleDC(screen.Get()));
  VxBitmap bmp(::CreateCompatibleBitmap(screen.Get(), w, h));
  {
    VxSelectObject keep(mem.Get(), bmp.Get());
    ::BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), rc.left, rc.top, SRCCOPY | CAPTUREBLT);
  }
  std::unique_ptr<Gdiplus::Bitmap> from(Gdiplus::Bitmap::FromHBITMAP(bmp.Get(), nullptr));
  auto out = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
  Gdiplus::Graphics g(out.get());
  g.DrawImage(from.get(), 0, 0, w, h);
  return out;
}

void SaveScreenshot(Gdiplus::Bitmap& bmp, const wchar_t* name) {
  wchar_t exe[MAX_PATH];
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dir(exe);
  dir.resize(dir.find_last_of(L'\\'));  // the tests run in <build>\bin
  dir.resize(dir.find_last_of(L'\\'));
  dir += L"\\screenshots";
  ::CreateDirectoryW(dir.c_str(), nullptr);
  VxSaveImagePng(&bmp, (dir + L"\\" + name).c_str());
}

}  // namespace

TEST(StaticToolkit, RunsWithoutLumetteDll) {
  EXPECT_EQ(::GetModuleHandleW(L"Lumette.dll"), nullptr);
  // Window classes, the keyboard hook and resources need the module the code is part of.
  EXPECT_EQ(VxLibModule(), ::GetModuleHandleW(nullptr));
}

TEST(StaticToolkit, SkinnedDialogWithItemsFromOwnResources) {
  const int kW = 300, kH = 200;
  TestDialog dlg;
  ASSERT_TRUE(dlg.Open(200, 150, kW, kH));
  dlg.SetNoMove(TRUE);
  dlg.SetBackColor(Gdiplus::Color(0xFF203040), TRUE);

  Clicks clicks;
  VxCallbacks cb{&Clicks::OnClick, &clicks};
  VxButton install;
  ASSERT_TRUE(install.SetImage(IDP_STATIC_BUTTON, L"PNG", VxButton::VXBT_3));
  install.SetRect(180, 140, 90, 32);
  install.SetCallBack(&cb);
  VxCheckBox autorun;
  ASSERT_TRUE(autorun.SetImage(IDP_STATIC_CHECK, IDP_STATIC_MARK, L"PNG", VxButton::VXBT_3));
  autorun.SetRect(20, 40, 260, 18);
  Gdiplus::Font font(L"宋体", 12, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  autorun.SetFont(font);
  autorun.SetText(L"开机后自动打开Vexlo桌面(建议)");
  autorun.SetCheck(TRUE);
  ASSERT_TRUE(dlg.AddVxItem(&install));
  ASSERT_TRUE(dlg.AddVxItem(&autorun));

  // Each state shows its frame of the strip that came from the resources.
  Gdiplus::Bitmap art(RsPath(L"gallery\\button-3.png").c_str());
  ASSERT_EQ(art.GetLastStatus(), Gdiplus::Ok);
  const uint32_t normal = PixelAt(art, 45, 16), hover = PixelAt(art, 45, 32 + 16);
  ASSERT_EQ(normal >> 24, 0xFFu);
  ASSERT_NE(normal, hover);
  EXPECT_EQ(PixelAt(*PaintToBitmap(dlg, kW, kH), 225, 156), normal);
  SendMouse(dlg, WM_MOUSEMOVE, 225, 156);
  EXPECT_EQ(PixelAt(*PaintToBitmap(dlg, kW, kH), 225, 156), hover);
  SendMouse(dlg, WM_MOUSEMOVE, 5, 5);

  // The real per-pixel-alpha window on screen shows the same.
  ASSERT_TRUE(dlg.Set_OPAQUEDlg(255));
  dlg.UpdateView();
  PumpMessages();
  auto shot = GrabWindow(dlg);
  SaveScreenshot(*shot, L"static_dialog.png");
  EXPECT_EQ(PixelAt(*shot, 225, 156) & 0xFFFFFF, normal & 0xFFFFFF);
  EXPECT_EQ(PixelAt(*shot, 5, 5) & 0xFFFFFF, 0x203040u);

  // Clicks reach the items.
  SendMouse(dlg, WM_LBUTTONDOWN, 25, 48, MK_LBUTTON);
  SendMouse(dlg, WM_LBUTTONUP, 25, 48);
  EXPECT_FALSE(autorun.GetCheck());
  SendMouse(dlg, WM_LBUTTONDOWN, 225, 156, MK_LBUTTON);
  SendMouse(dlg, WM_LBUTTONUP, 225, 156);
  EXPECT_EQ(clicks.count, 1);

  // The keyboard hook needs a module handle, which a DLL entry point no longer supplies.
  EXPECT_TRUE(SetWinKeyMask(TRUE, dlg));
  EXPECT_TRUE(SetWinKeyMask(FALSE, nullptr));
  dlg.DestroyWindow();
  PumpMessages();
}
