// Drawn items without a window: state rules, setters, images and bad input.
#include <random>

#include "uilib/VxItems.h"
#include "uilib/VxListCtrl.h"
#include "uilib/tests/test_support.h"

TEST(ItemState, SetRectFromRectResetsStatusButFourValuesDoNot) {
  VxButton b;
  b.SetStatus(VxItemBase::VXS_MOUSEDOWN);
  b.SetRect(1, 2, 30, 40);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_MOUSEDOWN);
  CRect out;
  b.GetRect(&out);
  EXPECT_EQ(out, CRect(1, 2, 31, 42));
  CRect rc(10, 20, 50, 60);
  b.SetRect(&rc);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_NORMAL);
  Gdiplus::Rect gr;
  b.GetRect(&gr);
  EXPECT_EQ(gr.Width, 40);
  EXPECT_EQ(gr.Height, 40);
  b.SetStatus(VxItemBase::VXS_MOUSEON);
  b.SetEnable(FALSE);
  EXPECT_EQ(b.GetStatus(), VxItemBase::VXS_NORMAL);
  EXPECT_FALSE(b.GetEnable());
}

TEST(ItemState, TypesAndDefaults) {
  EXPECT_EQ(VxImage().GetType(), VXT_IMAGE);
  EXPECT_EQ(VxButton().GetType(), VXT_BUTTON);
  EXPECT_EQ(VxCheckBox().GetType(), VXT_CHECKBOX);
  EXPECT_EQ(VxRadio().GetType(), VXT_RADIO);
  EXPECT_EQ(VxTextButton().GetType(), VXT_TEXTBUTTON);
  EXPECT_EQ(VxStaticText().GetType(), VXT_STATICTEXT);
  EXPECT_EQ(VxProgress().GetType(), VXT_PROGRESS);
  EXPECT_EQ(VxGifImage().GetType(), VXT_GIFIMAGE);
  EXPECT_EQ(VxVScrollBar().GetType(), VXT_VSCROLLBAR);
  EXPECT_EQ(VxListCtrl().GetType(), VXT_LISTCTRL);
  VxButton b;
  EXPECT_TRUE(b.IsShow());
  EXPECT_TRUE(b.GetTranMouseOver());
  EXPECT_EQ(b.GetButtonHeight(), -1);
  EXPECT_EQ(b.GetButtonType(), VxButton::VXBT_VERT);
  VxProgress p;
  EXPECT_EQ(p.GetMax(), 100u);
  EXPECT_EQ(p.GetBackBordThick(), 1);
}

TEST(ItemText, ColoursAreClampedAndUnsetColoursKeepTheNormalOne) {
  VxCheckBox c;
  c.SetTextColor(Gdiplus::Color(255, 10, 20, 30));
  EXPECT_EQ(c.GetTextColor().GetValue(), 0xFE0A141Eu);
  c.SetStatus(VxItemBase::VXS_MOUSEON);
  EXPECT_EQ(c.GetTextStateColor().GetValue(), 0xFE0A141Eu);  // hover colour left unset
  c.SetTextMouseOnColor(Gdiplus::Color(255, 255, 0, 0));
  EXPECT_EQ(c.GetTextStateColor().GetValue(), 0xFEFF0000u);
  c.SetStatus(VxItemBase::VXS_MOUSEDOWN);
  EXPECT_EQ(c.GetTextStateColor().GetValue(), 0xFE0A141Eu);
  VxTextButton t;
  t.SetTextColor(Gdiplus::Color(0xFFFFFFFF));
  EXPECT_EQ(t.GetTextColor().GetValue(), 0xFEFFFFFFu);
  VxStaticText s;
  s.SetTextColor(Gdiplus::Color(0x80FFFFFF));
  EXPECT_EQ(s.GetTextColor().GetValue(), 0x80FFFFFFu);
  VxListCtrl l;
  l.SetTextColor(Gdiplus::Color(0xFF000000));
  EXPECT_EQ(l.GetTextColor().GetValue(), 0xFE000000u);
}

TEST(ItemText, TextIsCopiedAndUnsetTextIsNull) {
  VxStaticText s;
  EXPECT_EQ(s.GetText(), nullptr);
  EXPECT_EQ(s.GetTextLen(), -1);
  std::wstring label = L"天气预报";
  s.SetText(label.c_str());
  label[0] = L'X';
  EXPECT_STREQ(s.GetText(), L"天气预报");
  EXPECT_EQ(s.GetTextLen(), 4);
  s.ReleaseBuf();
  EXPECT_EQ(s.GetText(), nullptr);
  VxCheckBox c;
  c.SetText(L"");
  EXPECT_EQ(c.GetTextLen(), 0);
  ASSERT_NE(c.GetFont(), nullptr) << "the CJK font replacement is missing from the prefix";
  EXPECT_FLOAT_EQ(c.GetFont()->GetSize(), 12.0f);
}

TEST(ItemText, BoundsOfAPathGrowWithTheText) {
  Gdiplus::Font font(L"宋体", 12, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  const Gdiplus::SizeF one = VxItemBase::GetTextBounds(font, L"桌");
  const Gdiplus::SizeF four = VxItemBase::GetTextBounds(font, L"桌面整理");
  EXPECT_GT(one.Width, 5.0f);
  EXPECT_GT(four.Width, one.Width * 3);
  EXPECT_GT(one.Height, 5.0f);
  EXPECT_LT(one.Height, 20.0f);
}

TEST(ItemImages, ButtonRectIsOneFrameOfTheStrip) {
  VxButton b;
  b.SetRect(5, 6, 200, 200);
  CRect r;
  b.GetButtonRect(r);
  EXPECT_EQ(r, CRect(5, 6, 205, 206));  // no image: the item rectangle
  const auto path = MakeStripPng(L"strip3.png", 30, 30, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
  ASSERT_TRUE(b.SetImage(path.c_str(), VxButton::VXBT_3));
  b.GetButtonRect(r);
  EXPECT_EQ(r, CRect(5, 6, 35, 36));
  ASSERT_TRUE(b.SetImage(path.c_str(), VxButton::VXBT_3, VxButton::VXBT_HORZ));
  b.GetButtonRect(r);
  EXPECT_EQ(r, CRect(5, 6, 15, 96));
  b.SetButtonHeight(20);
  b.GetButtonRect(r);
  EXPECT_EQ(r.Height(), 90);  // the button height does not change the hit rectangle
}

TEST(ItemImages, MissingOrBrokenFilesLeaveNoImage) {
  const auto good = MakeSolidPng(L"good.png", 8, 8, 0xFF112233);
  VxImage img;
  ASSERT_TRUE(img.SetImage(good.c_str()));
  EXPECT_NE(img.GetImage(), nullptr);
  EXPECT_FALSE(img.SetImage(L"C:\\no\\such\\picture.png"));
  EXPECT_EQ(img.GetImage(), nullptr);
  EXPECT_FALSE(img.SetImage(L""));
  EXPECT_FALSE(img.SetImage(static_cast<LPCWSTR>(nullptr)));
  const auto text = WriteBytes(L"not-a-picture.png", "hello, this is not a picture");
  EXPECT_FALSE(img.SetImage(text.c_str()));
  const auto empty = WriteBytes(L"empty.png", "");
  EXPECT_FALSE(img.SetImage(empty.c_str()));
  EXPECT_FALSE(img.SetImage(999, L"PNG"));  // no such resource

  VxCheckBox box;
  EXPECT_FALSE(box.SetImage(good.c_str(), L"C:\\missing.png", VxButton::VXBT_3));
  EXPECT_NE(box.GetImage(), nullptr);
  EXPECT_EQ(box.GetCheckImage(), nullptr);
  EXPECT_TRUE(box.SetImage(good.c_str(), good.c_str(), VxButton::VXBT_3));
}

TEST(ItemImages, CorruptPngFilesNeverCrash) {
  const auto good = MakeStripPng(L"fuzz-base.png", 24, 24, {0xFF336699, 0x80FFFFFF});
  std::string bytes;
  {
    VxFileHandle f(::CreateFileW(good.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(static_cast<bool>(f));
    char buf[65536];
    DWORD n = 0;
    ASSERT_TRUE(::ReadFile(f.Get(), buf, sizeof(buf), &n, nullptr));
    bytes.assign(buf, n);
  }
  ASSERT_GT(bytes.size(), 40u);
  std::mt19937 rng(20261208);
  for (int round = 0; round < 60; ++round) {
    std::string mutated = bytes;
    if (round % 3 == 0) {
      mutated.resize(rng() % bytes.size());  // cut short
    } else {
      for (int k = 0; k < 1 + round % 7; ++k) mutated[rng() % mutated.size()] = static_cast<char>(rng());
    }
    const auto path = WriteBytes(L"fuzz.png", mutated);
    VxButton b;
    b.SetImage(path.c_str(), VxButton::VXBT_2);
    b.SetRect(0, 0, 24, 24);
    CRect r;
    b.GetButtonRect(r);  // must not crash whatever was decoded
    if (b.GetImage()) {
      Gdiplus::Bitmap canvas(32, 32, PixelFormat32bppPARGB);
      Gdiplus::Graphics g(&canvas);
      g.DrawImage(b.GetImage(), 0, 0);
    }
  }
  SUCCEED();
}

TEST(ItemImages, GifFramesAndDelaysAreRead) {
  VxGifImage gif;
  ASSERT_TRUE(gif.SetImage(RsPath(L"gallery\\spinner.gif").c_str()));
  EXPECT_EQ(gif.GetFrameCount(), 4u);
  EXPECT_EQ(gif.GetCurrentFrame(), 0u);
  for (int i = 1; i <= 5; ++i) {
    gif.NextFrame(nullptr);
    EXPECT_EQ(gif.GetCurrentFrame(), static_cast<UINT>(i % 4));
  }
  VxGifImage broken;
  EXPECT_FALSE(broken.SetImage(RsPath(L"gallery\\no-such.gif").c_str()));
  EXPECT_EQ(broken.GetFrameCount(), 0u);
  broken.NextFrame(nullptr);  // nothing to step, nothing breaks
  broken.StartRun(0, nullptr);
}

TEST(ItemImages, ScrollBarUsesTheCapHeightsOfItsImages) {
  VxVScrollBar bar;
  bar.SetRect(0, 0, 8, 200);
  ASSERT_TRUE(bar.SetBarImage(RsPath(L"scroll-top.png").c_str(), RsPath(L"scroll-center.png").c_str(),
                              RsPath(L"scroll-bottom.png").c_str()));
  const int cap = VxImageHeight(bar.GetTopImage()) / 3;
  bar.SetBarLength(100, 400);
  const int track = 200 - 2 * cap;
  EXPECT_EQ(bar.GetMax(), 300 * track / 400);
  EXPECT_EQ(bar.GetBarHeight(), track - bar.GetMax());
  bar.SetBarPos(10000);
  EXPECT_EQ(bar.GetBarPos(), bar.GetMax());
  EXPECT_EQ(bar.GetPos(), 300);
  POINT onThumb{4, bar.GetMax() + 1}, above{4, bar.GetMax() - 1};
  EXPECT_TRUE(bar.ptOnBar(onThumb));
  EXPECT_FALSE(bar.ptOnBar(above));
  bar.SetBarLength(400, 300);  // everything fits
  EXPECT_EQ(bar.GetMax(), 0);
  EXPECT_EQ(bar.GetPos(), 0);
}

TEST(ItemImages, NineSliceSetsNeedExactlyNineFiles) {
  VxListCtrl list;
  CStringArray eight(8, MakeSolidPng(L"slice.png", 4, 4, 0xFF00FF00));
  EXPECT_FALSE(list.SetMouseMoveImage(eight));
  CStringArray nine(9, eight[0]);
  EXPECT_TRUE(list.SetMouseMoveImage(nine));
  nine[4] = L"C:\\missing.png";  // a missing slice leaves just that slice empty
  EXPECT_TRUE(list.SetFouceImage(nine));
}

TEST(ItemCallbacks, CallbackRecordIsCopied) {
  int calls = 0;
  VxCallbacks cb;
  cb.pfnClick = [](void* p) { ++*static_cast<int*>(p); };
  cb.lpParam = &calls;
  VxButton b;
  b.SetCallBack(&cb);
  cb.pfnClick = nullptr;  // the item keeps its own copy
  ASSERT_TRUE(b.HasClickCallBack());
  b.FireClick();
  EXPECT_EQ(calls, 1);
  b.SetCallBack(nullptr);
  EXPECT_FALSE(b.HasClickCallBack());
}
