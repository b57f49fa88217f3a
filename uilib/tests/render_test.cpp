// Painting a dialog into a bitmap and reading its pixels: strip frames, nine-slice
// corners, backgrounds, progress and the rubber band.
#include "uilib/tests/test_support.h"

namespace {

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kGrey = 0xFF808080,
               kYellow = 0xFFFFFF00, kWhite = 0xFFFFFFFF;

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dlg.Open(0, 0, 200, 150, false));
    dlg.SetBackColor(Gdiplus::Color(0xFF000000), TRUE);
  }
  void TearDown() override { dlg.DestroyWindow(); }
  uint32_t Paint(int x, int y) { return PixelAt(*PaintToBitmap(dlg, 200, 150), x, y); }
  TestDialog dlg;
};

}  // namespace

TEST_F(RenderTest, ButtonShowsTheFrameOfItsState) {
  const auto path = MakeStripPng(L"r-strip5.png", 30, 30, {kRed, kGreen, kBlue, kYellow, kGrey});
  VxButton b;
  ASSERT_TRUE(b.SetImage(path.c_str(), VxButton::VXBT_5));
  b.SetRect(10, 10, 30, 30);
  dlg.AddVxItem(&b);
  EXPECT_EQ(Paint(25, 25), kRed);
  b.SetStatus(VxItemBase::VXS_MOUSEON);
  EXPECT_EQ(Paint(25, 25), kGreen);
  b.SetStatus(VxItemBase::VXS_MOUSEDOWN);
  EXPECT_EQ(Paint(25, 25), kBlue);
  b.SetEnable(FALSE);
  EXPECT_EQ(Paint(25, 25), kGrey);
  EXPECT_EQ(Paint(45, 25), 0xFF000000u) << "only one frame is drawn";
}

TEST_F(RenderTest, ActiveFourFrameAndHorizontalStrips) {
  const auto four = MakeStripPng(L"r-strip4.png", 30, 30, {kRed, kGreen, kBlue, kYellow});
  VxButton a;
  ASSERT_TRUE(a.SetImage(four.c_str(), VxButton::VXBT_4));
  a.SetRect(10, 10, 30, 30);
  a.SetActive(TRUE);
  dlg.AddVxItem(&a);
  EXPECT_EQ(Paint(25, 25), kYellow);
  a.SetStatus(VxItemBase::VXS_MOUSEON);
  EXPECT_EQ(Paint(25, 25), kYellow);
  a.SetStatus(VxItemBase::VXS_MOUSEDOWN);
  EXPECT_EQ(Paint(25, 25), kBlue);

  const auto horz = MakeStripPng(L"r-horz.png", 20, 20, {kRed, kGreen, kBlue}, false);
  VxButton h;
  ASSERT_TRUE(h.SetImage(horz.c_str(), VxButton::VXBT_3, VxButton::VXBT_HORZ));
  h.SetRect(100, 10, 60, 20);
  dlg.AddVxItem(&h);
  h.SetStatus(VxItemBase::VXS_MOUSEON);
  EXPECT_EQ(Paint(110, 20), kGreen);
  EXPECT_EQ(Paint(130, 20), 0xFF000000u);
}

TEST_F(RenderTest, ButtonHeightCropsTheFrameFromItsTop) {
  const auto path = MakeStripPng(L"r-crop.png", 30, 30, {kRed, kGreen, kBlue});
  VxButton b;
  ASSERT_TRUE(b.SetImage(path.c_str(), VxButton::VXBT_3));
  b.SetRect(10, 10, 30, 30);
  b.SetButtonHeight(20);
  dlg.AddVxItem(&b);
  EXPECT_EQ(Paint(25, 15), kRed);
  EXPECT_EQ(Paint(25, 29), kRed);
  EXPECT_EQ(Paint(25, 32), 0xFF000000u);
}

TEST_F(RenderTest, CheckMarkIsCentredOnTheFrame) {
  const auto box = MakeStripPng(L"r-box.png", 20, 20, {kWhite, kWhite, kWhite});
  const auto mark = MakeSolidPng(L"r-mark.png", 6, 6, kBlue);
  VxCheckBox c;
  ASSERT_TRUE(c.SetImage(box.c_str(), mark.c_str(), VxButton::VXBT_3));
  c.SetRect(10, 10, 100, 20);
  dlg.AddVxItem(&c);
  EXPECT_EQ(Paint(20, 20), kWhite);
  c.SetCheck(TRUE);
  EXPECT_EQ(Paint(20, 20), kBlue);  // (20 - 6) / 2 = 7: the mark covers 17..22
  EXPECT_EQ(Paint(16, 16), kWhite);
}

TEST_F(RenderTest, ProgressBarShareAndEmptyRange) {
  const auto back = MakeSolidPng(L"r-pback.png", 10, 10, kGrey);
  const auto bar = MakeSolidPng(L"r-pbar.png", 10, 10, kGreen);
  VxProgress p;
  ASSERT_TRUE(p.SetBarImage(back.c_str(), bar.c_str()));
  p.SetRect(0, 100, 102, 12);
  p.SetPos(50);
  dlg.AddVxItem(&p);
  EXPECT_EQ(Paint(10, 106), kGreen);
  EXPECT_EQ(Paint(80, 106), kGrey);
  EXPECT_EQ(Paint(0, 100), kGrey) << "the border shows the back image";
  p.SetMinMax(50, 50);
  EXPECT_EQ(Paint(10, 106), kGrey);
  p.SetMinMax(0, 100);
  p.SetPos(150);  // outside the range: no bar, no clamping
  EXPECT_EQ(Paint(10, 106), kGrey);
}

TEST_F(RenderTest, BackgroundStretchesOrCoverCrops) {
  // Four vertical stripes of 50 pixels on a 200 x 100 picture.
  Gdiplus::Bitmap stripes(200, 100, PixelFormat32bppARGB);
  {
    Gdiplus::Graphics g(&stripes);
    const uint32_t colours[] = {kRed, kGreen, kBlue, kYellow};
    for (int i = 0; i < 4; ++i) {
      Gdiplus::SolidBrush b{Gdiplus::Color(colours[i])};
      g.FillRectangle(&b, i * 50, 0, 50, 100);
    }
  }
  CLSID png;
  {
    UINT num = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&num, &size);
    std::vector<BYTE> buf(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    Gdiplus::GetImageEncoders(num, size, codecs);
    for (UINT i = 0; i < num; ++i)
      if (wcscmp(codecs[i].MimeType, L"image/png") == 0) png = codecs[i].Clsid;
  }
  const std::wstring path = TestDir() + L"\\r-stripes.png";
  ASSERT_EQ(stripes.Save(path.c_str(), &png, nullptr), Gdiplus::Ok);
  dlg.SetBackColor(Gdiplus::Color(0xFF000000), FALSE);
  dlg.SetBack(path, 0, 0);
  auto stretched = PaintToBitmap(dlg, 200, 150);
  EXPECT_EQ(PixelAt(*stretched, 40, 75), kRed);
  EXPECT_EQ(PixelAt(*stretched, 160, 75), kYellow);
  // 200 x 150 surface from a 2:1 picture: a centred column of 133 pixels (33..166), so
  // surface x 40 shows picture x 59 and surface x 160 picture x 139.
  dlg.SetBack(path, 1, 0);
  auto cropped = PaintToBitmap(dlg, 200, 150);
  EXPECT_EQ(PixelAt(*cropped, 40, 75), kGreen);
  EXPECT_EQ(PixelAt(*cropped, 160, 75), kBlue);
  // A cached background paints the same.
  dlg.SetBack(path, 1, 1);
  auto first = PaintToBitmap(dlg, 200, 150);
  auto second = PaintToBitmap(dlg, 200, 150);
  EXPECT_EQ(PixelAt(*first, 40, 75), kGreen);
  EXPECT_EQ(PixelAt(*second, 40, 75), kGreen);
  EXPECT_EQ(PixelAt(*second, 160, 75), kBlue);
  CRect size;
  EXPECT_TRUE(dlg.SetBack(path, size));
  EXPECT_EQ(size, CRect(0, 0, 200, 100));
  EXPECT_FALSE(dlg.SetBack(L"", size));
  EXPECT_FALSE(dlg.SetBack(L"C:\\missing.png", size));
}

TEST_F(RenderTest, NineSliceCornersKeepTheirColours) {
  std::vector<std::wstring> files;
  const uint32_t colours[9] = {kRed, kWhite, kGreen, kWhite, kGrey, kWhite, kBlue, kWhite, kYellow};
  for (int i = 0; i < 9; ++i)
    files.push_back(MakeSolidPng(L"r-nine" + std::to_wstring(i) + L".png", 6, 6, colours[i]));
  VxListCtrl list;
  dlg.AddVxItem(&list);
  list.SetListType(VXLT_BIGICON);
  CRect rc(0, 0, 200, 150);
  list.SetRect(&rc);
  CStringArray set(files.begin(), files.end());
  ASSERT_TRUE(list.SetFouceImage(set));
  VxListItem t;
  list.AddItem(&t, TRUE);
  list.SetSel(0, TRUE);
  const RECT r = list.GetItem(0)->rcHover;
  ASSERT_GT(r.bottom - r.top, 12);
  auto bmp = PaintToBitmap(dlg, 200, 150);
  EXPECT_EQ(PixelAt(*bmp, r.left, r.top), kRed);
  EXPECT_EQ(PixelAt(*bmp, r.right - 1, r.top), kGreen);
  EXPECT_EQ(PixelAt(*bmp, r.left, r.bottom - 1), kBlue);
  EXPECT_EQ(PixelAt(*bmp, r.right - 1, r.bottom - 1), kYellow);
  EXPECT_EQ(PixelAt(*bmp, (r.left + r.right) / 2, (r.top + r.bottom) / 2), kGrey);
  list.SetSel(0, FALSE);
  bmp = PaintToBitmap(dlg, 200, 150);
  EXPECT_EQ(PixelAt(*bmp, r.left, r.top), 0xFF000000u);
}

// Translucent slices of one colour must join without a seam: no column or row where the
// background shows through or two slices overlap.
TEST_F(RenderTest, TranslucentNineSliceHasNoSeams) {
  const uint32_t colour = 0x80406080;
  const int sizes[9][2] = {{5, 5}, {4, 5}, {5, 5}, {5, 4}, {4, 4}, {5, 4}, {5, 5}, {4, 5}, {5, 5}};
  CStringArray set;
  for (int i = 0; i < 9; ++i)
    set.push_back(MakeSolidPng(L"r-seam" + std::to_wstring(i) + L".png", sizes[i][0], sizes[i][1], colour));
  VxListCtrl list;
  dlg.AddVxItem(&list);
  list.SetListType(VXLT_BIGICON);
  CRect rc(0, 0, 200, 150);
  list.SetRect(&rc);
  ASSERT_TRUE(list.SetFouceImage(set));
  VxListItem t;
  list.AddItem(&t, TRUE);
  list.SetSel(0, TRUE);
  const RECT r = list.GetItem(0)->rcHover;
  auto bmp = PaintToBitmap(dlg, 200, 150);
  const uint32_t inside = PixelAt(*bmp, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  int odd = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (PixelAt(*bmp, x, y) != inside && ++odd <= 3)
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << PixelAt(*bmp, x, y)
                      << " not " << inside;
  EXPECT_EQ(odd, 0);
}

TEST_F(RenderTest, RubberBandIsFilledAndOutlined) {
  dlg.SetSelRect(TRUE);
  VxListCtrl list;
  list.SetListMode(VXLM_FREE);
  list.SetListType(VXLT_BIGICON);
  list.SetRect(0, 0, 200, 150);
  dlg.AddVxItem(&list);
  SendMouse(dlg, WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  SendMouse(dlg, WM_MOUSEMOVE, 120, 100, MK_LBUTTON);
  auto bmp = PaintToBitmap(dlg, 200, 150);
  // 0x64 alpha of 0x3399FF over black.
  const uint32_t inside = PixelAt(*bmp, 70, 60);
  EXPECT_NEAR(static_cast<int>((inside >> 16) & 0xFF), 0x33 * 100 / 255, 2);
  EXPECT_NEAR(static_cast<int>((inside >> 8) & 0xFF), 0x99 * 100 / 255, 2);
  EXPECT_NEAR(static_cast<int>(inside & 0xFF), 0xFF * 100 / 255, 2);
  EXPECT_EQ(PixelAt(*bmp, 20, 60), 0xFF3399FFu);
  EXPECT_EQ(PixelAt(*bmp, 150, 60), 0xFF000000u);
  SendMouse(dlg, WM_LBUTTONUP, 120, 100);
  bmp = PaintToBitmap(dlg, 200, 150);
  EXPECT_EQ(PixelAt(*bmp, 70, 60), 0xFF000000u);
}

TEST_F(RenderTest, ListLabelsAreDrawnAndCached) {
  VxListCtrl list;
  dlg.AddVxItem(&list);
  list.SetListType(VXLT_BIGICON);
  list.SetTextColor(Gdiplus::Color(0xFFFFFFFF));
  CRect rc(0, 0, 200, 150);
  list.SetRect(&rc);
  VxListItem t;
  wcscpy(t.szName, L"回收站");
  list.AddItem(&t, TRUE);
  auto bmp = PaintToBitmap(dlg, 200, 150);
  const RECT tr = list.GetItem(0)->rcText;
  int lit = 0;
  for (int y = tr.top; y < std::min<LONG>(tr.bottom, 150); ++y)
    for (int x = tr.left; x < tr.right; ++x)
      if ((PixelAt(*bmp, x, y) & 0xFF) > 200) ++lit;
  EXPECT_GT(lit, 20) << "the label's white text is drawn";
  ASSERT_NE(list.GetItem(0)->pTextImage, nullptr);
  Gdiplus::Image* cached = list.GetItem(0)->pTextImage;
  PaintToBitmap(dlg, 200, 150);
  EXPECT_EQ(list.GetItem(0)->pTextImage, cached) << "an unchanged label is not rendered again";
  EXPECT_STREQ(list.GetItem(0)->szTextCache, L"回收站");
}
