#include "uilib/gallery/GalleryDlg.h"

#include <cwchar>

#include "uilib/gallery/GalleryArt.h"
#include "uilib/gallery/gallery_rc.h"

namespace {

constexpr UINT_PTR kSpinnerTimer = 1;
constexpr UINT_PTR kExitTimer = 2;

// Card colours of the gallery background (dark text on a light card).
const Gdiplus::Color kInk(255, 31, 36, 44);
const Gdiplus::Color kMuted(255, 110, 118, 130);
const Gdiplus::Color kOnDesk(255, 235, 241, 250);

// The desk panel: a picture under the three lists.
constexpr int kDeskX = 33, kDeskY = 356, kDeskW = 894, kDeskH = 328;
constexpr int kListTop = kDeskY + 34, kListH = kDeskH - 44;
constexpr int kScrollX = 884, kScrollH = kListH - 8;

}  // namespace

CGalleryDlg::CGalleryDlg(const GalleryOptions& options)
    : CVxDialogBase(IDD_GALLERY), m_options(options) {}

CGalleryDlg::~CGalleryDlg() {
  if (!m_deskPicture.empty()) ::DeleteFileW(m_deskPicture.c_str());
}

VxStaticText* CGalleryDlg::Text(int x, int y, int w, int h, const wchar_t* text,
                                Gdiplus::Color color, float size) {
  auto t = std::make_unique<VxStaticText>();
  t->SetRect(x, y, w, h);
  Gdiplus::Font font(L"微软雅黑", size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  t->SetFont(font);
  t->SetTextColor(color);
  t->SetText(text);
  return Own(std::move(t));
}

VxButton* CGalleryDlg::Button(int x, int y, const wchar_t* file, VxButton::VXBT_IMGS frames,
                              VxButton::VXBT_TYPE layout, const wchar_t* caption) {
  auto b = std::make_unique<VxButton>();
  b->SetImage(gallery::RsPath(file).c_str(), frames, layout);
  int fw = 0, fh = 0;
  b->GetFrameSize(&fw, &fh);
  b->SetRect(x, y, fw, fh);
  b->SetMouseMoveHand(TRUE);
  m_clicks.push_back(std::make_unique<ClickTarget>(ClickTarget{this, caption}));
  VxCallbacks cb{&CGalleryDlg::OnButtonClick, m_clicks.back().get()};
  b->SetCallBack(&cb);
  VxButton* raw = Own(std::move(b));
  Text(x - 5, y + fh + 4, fw + 10, 16, caption, kMuted, 11.0f)
      ->GetFormat()
      ->SetAlignment(Gdiplus::StringAlignmentCenter);
  return raw;
}

VxCheckBox* CGalleryDlg::Choice(std::unique_ptr<VxCheckBox> box, int x, int y,
                                const wchar_t* text, const wchar_t* frameFile,
                                const wchar_t* markFile) {
  box->SetImage(gallery::RsPath(frameFile).c_str(), gallery::RsPath(markFile).c_str(),
                VxButton::VXBT_3);
  box->SetRect(x, y, 120, 18);
  Gdiplus::Font font(L"微软雅黑", 13.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  box->SetFont(font);
  box->SetText(text);
  box->SetTextColor(kInk);
  box->SetTextMouseOnColor(Gdiplus::Color(255, 47, 111, 214));
  box->SetTextMouseDownColor(Gdiplus::Color(255, 29, 78, 158));
  box->SetTextInerLeft(6);
  box->SetMouseMoveHand(TRUE);
  return Own(std::move(box));
}

VxListCtrl* CGalleryDlg::List(VxListType type, int x, int y, int cx, int cy, size_t first,
                              size_t count) {
  auto list = std::make_unique<VxListCtrl>();
  list->SetListType(type);
  list->SetRect(x, y, cx, cy);
  Gdiplus::Font font(L"宋体", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  list->SetFont(font);
  CStringArray hover = gallery::NineSlicePaths(L"文件触发\\鼠标移上");
  CStringArray press = gallery::NineSlicePaths(L"文件触发\\鼠标点击");
  CStringArray focus = gallery::NineSlicePaths(L"文件触发\\鼠标焦点");
  list->SetMouseMoveImage(hover);
  list->SetMouseDownImage(press);
  list->SetFouceImage(focus);
  list->SetListCallBack(&m_listCallbacks);
  // Entries are measured against the dialog's window, so the list joins it first.
  VxListCtrl* raw = Own(std::move(list));
  const int size = type == VXLT_BIGICON ? 48 : type == VXLT_ICON ? 32 : 16;
  std::vector<gallery::SampleEntry> entries = gallery::SampleEntries(size);
  for (size_t i = 0; i < count && !entries.empty(); ++i) {
    const gallery::SampleEntry& e = entries[(first + i) % entries.size()];
    VxListItem tmpl;
    if (e.icon) tmpl.pIcon = e.icon->Clone();
    wcsncpy(tmpl.szName, e.name.c_str(), 259);
    raw->AddItem(&tmpl, TRUE);
  }
  return raw;
}

void CGalleryDlg::BuildDesk() {
  m_deskPicture = gallery::TempPngPath(L"LumetteGallery-desk");
  if (gallery::WriteWallpaperPng(m_deskPicture, kDeskW, kDeskH, 8)) {
    auto desk = std::make_unique<VxImage>();
    desk->SetImage(m_deskPicture.c_str());
    desk->SetRect(kDeskX, kDeskY, kDeskW, kDeskH);
    Own(std::move(desk));
  }
  // The free-mode list goes first: a press scans the items from the last one, and a
  // free-mode list takes every press no later item took (to start a band).
  VxListCtrl* big = List(VXLT_BIGICON, 45, kListTop, 320, kListH, 0, 8);
  big->SetListMode(VXLM_FREE);
  big->SetSel(0, TRUE);
  SetSelRect(TRUE);
  List(VXLT_ICON, 400, kListTop, 232, kListH, 8, 9);
  List(VXLT_LIST, 660, kListTop, 210, kListH, 3, 11);

  Text(45, kDeskY + 10, 330, 18, L"大图标 · 自由模式（在空白处拖动可框选）", kOnDesk, 12.0f);
  Text(400, kDeskY + 10, 230, 18, L"小图标", kOnDesk, 12.0f);
  Text(660, kDeskY + 10, 230, 18, L"列表", kOnDesk, 12.0f);

  auto scroll = std::make_unique<VxVScrollBar>();
  scroll->SetRect(kScrollX, kListTop + 4, 12, kScrollH);
  scroll->SetBarImage(gallery::RsPath(L"scroll-top.png").c_str(),
                      gallery::RsPath(L"scroll-center.png").c_str(),
                      gallery::RsPath(L"scroll-bottom.png").c_str());
  scroll->SetBarLength(kScrollH, kScrollH * 3);
  m_scrollCallbacks.lpParam = this;
  m_scrollCallbacks.pfnScroll = &CGalleryDlg::OnScroll;
  scroll->SetVBarCallBack(&m_scrollCallbacks);
  m_scroll = Own(std::move(scroll));

  // The marker rides beside the scroll bar: the callback moves it.
  auto marker = std::make_unique<VxImage>();
  marker->SetImage(gallery::RsPath(L"gallery\\radio-dot.png").c_str());
  marker->SetRect(kScrollX + 16, kListTop + 4, 8, 8);
  m_marker = Own(std::move(marker));
}

void CGalleryDlg::BuildWindowButtons() {
  auto close = std::make_unique<VxButton>();
  close->SetImage(gallery::RsPath(L"gallery\\close.png").c_str(), VxButton::VXBT_3);
  close->SetRect(kWidth - 21 - 12 - 28, 42, 28, 24);
  VxCallbacks closeCb{&CGalleryDlg::OnCloseClick, this};
  close->SetCallBack(&closeCb);
  Own(std::move(close));

  auto minimize = std::make_unique<VxButton>();
  minimize->SetImage(gallery::RsPath(L"gallery\\minimize.png").c_str(), VxButton::VXBT_3);
  minimize->SetRect(kWidth - 21 - 12 - 28 - 32, 42, 28, 24);
  VxCallbacks minCb{&CGalleryDlg::OnMinimizeClick, this};
  minimize->SetCallBack(&minCb);
  Own(std::move(minimize));
}

void CGalleryDlg::BuildButtons() {
  Text(45, 100, 600, 18, L"按钮：一到五帧的状态条（第四个激活，第五个禁用）、横向条、文字按钮",
       kInk, 13.0f);
  const wchar_t* files[] = {L"gallery\\button-1.png", L"gallery\\button-2.png",
                            L"gallery\\button-3.png", L"gallery\\button-4.png",
                            L"gallery\\button-5.png"};
  const wchar_t* captions[] = {L"一帧", L"两帧", L"三帧", L"四帧 · 激活", L"五帧 · 禁用"};
  for (int i = 0; i < 5; ++i) {
    VxButton* b = Button(45 + i * 102, 126, files[i], static_cast<VxButton::VXBT_IMGS>(i + 1),
                         VxButton::VXBT_VERT, captions[i]);
    if (i == 3) b->SetActive(TRUE);
    if (i == 4) b->SetEnable(FALSE);
  }
  Button(45 + 5 * 102, 126, L"gallery\\button-3-horz.png", VxButton::VXBT_3, VxButton::VXBT_HORZ,
         L"横向三帧");

  auto fill = std::make_unique<VxTextButton>();
  fill->SetImage(gallery::RsPath(L"gallery\\progress-back.png").c_str(), VxButton::VXBT_1);
  fill->SetRect(45 + 6 * 102 + 8, 135, 200, 14);
  Gdiplus::Font font(L"微软雅黑", 11.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
  fill->SetFont(font);
  fill->SetTextColor(kInk);
  fill->GetFormat()->SetFormatFlags(Gdiplus::StringFormatFlagsNoClip);
  fill->SetText(L"文字按钮：进度加一成");
  fill->SetMouseMoveHand(TRUE);
  VxCallbacks fillCb{&CGalleryDlg::OnFillClick, this};
  fill->SetCallBack(&fillCb);
  Own(std::move(fill));
  Text(45 + 6 * 102 + 8, 162, 200, 16, L"文字按钮", kMuted, 11.0f)
      ->GetFormat()
      ->SetAlignment(Gdiplus::StringAlignmentCenter);
}

void CGalleryDlg::BuildChoices() {
  Text(45, 192, 400, 18, L"复选框与单选组", kInk, 13.0f);
  VxCheckBox* labels = Choice(std::make_unique<VxCheckBox>(), 45, 218, L"显示图标标题",
                              L"gallery\\check.png", L"gallery\\check-mark.png");
  labels->SetCheck(TRUE);
  Choice(std::make_unique<VxCheckBox>(), 175, 218, L"自动排列", L"gallery\\check.png",
         L"gallery\\check-mark.png");
  const wchar_t* kinds[] = {L"大图标", L"小图标", L"列表"};
  for (int i = 0; i < 3; ++i) {
    auto radio = std::make_unique<VxRadio>();
    radio->SetGroupID(1);
    VxCheckBox* r = Choice(std::move(radio), 315 + i * 100, 218, kinds[i], L"gallery\\radio.png",
                           L"gallery\\radio-dot.png");
    if (i == 0) r->SetCheck(TRUE);
  }
}

void CGalleryDlg::BuildMeters() {
  Text(45, 254, 400, 18, L"进度条 · 动画 · 图片", kInk, 13.0f);
  auto progress = std::make_unique<VxProgress>();
  progress->SetBarImage(gallery::RsPath(L"gallery\\progress-back.png").c_str(),
                        gallery::RsPath(L"gallery\\progress-bar.png").c_str());
  progress->SetRect(45, 284, 200, 14);
  progress->SetMinMax(0, 100);
  progress->SetPos(40);
  m_progress = Own(std::move(progress));
  m_percent = Text(252, 282, 60, 18, L"40%", kMuted, 12.0f);

  m_status = Text(45, 312, 300, 18, L"操作：（尚无）", kMuted, 12.0f);

  auto spinner = std::make_unique<VxGifImage>();
  spinner->SetImage(gallery::RsPath(L"gallery\\spinner.gif").c_str());
  spinner->SetRect(330, 268, 48, 48);
  m_spinner = Own(std::move(spinner));
  m_spinner->StartRun(kSpinnerTimer, m_hWnd);
  Text(310, 320, 88, 16, L"动画 GIF", kMuted, 11.0f)
      ->GetFormat()
      ->SetAlignment(Gdiplus::StringAlignmentCenter);

  // A picture drawn scaled into its rectangle (half size).
  auto picture = std::make_unique<VxImage>();
  picture->SetImage(gallery::RsPath(L"设置\\tips_bg.png").c_str());
  picture->SetRect(430, 250, 200, 90);
  Own(std::move(picture));
  Text(650, 290, 260, 36, L"图片：按矩形缩放绘制\n（此处为半尺寸的提示框背景）", kMuted, 11.0f);
}

BOOL CGalleryDlg::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const POINT at = m_options.placed
                       ? m_options.at
                       : POINT{work.left + (work.right - work.left - kWidth) / 2,
                               work.top + (work.bottom - work.top - kHeight) / 2};
  ::SetWindowPos(m_hWnd, nullptr, at.x, at.y, kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);

  ::SetWindowTextW(m_hWnd, L"Lumette 组件一览");
  Set_OPAQUEDlg(255);
  SetMinMaxStyle();
  SetBack(gallery::RsPath(L"gallery\\dialog-bg.png"), FALSE, TRUE);

  m_listCallbacks.pfnClick = &CGalleryDlg::OnEntryClick;
  m_listCallbacks.pfnDblClick = &CGalleryDlg::OnEntryDblClick;
  m_listCallbacks.pfnRClick = &CGalleryDlg::OnEntryRClick;
  m_listCallbacks.lpParam = this;

  BuildDesk();
  BuildWindowButtons();
  BuildButtons();
  BuildChoices();
  BuildMeters();

  if (m_options.exitAfterMs > 0) ::SetTimer(m_hWnd, kExitTimer, m_options.exitAfterMs, nullptr);
  UpdateView();
  ::ShowWindow(m_hWnd, SW_SHOW);
  return TRUE;
}

void CGalleryDlg::OnTimer(UINT_PTR id) {
  if (id == kExitTimer) {
    ::KillTimer(m_hWnd, kExitTimer);
    CloseVxDlg();
    return;
  }
  CVxDialogBase::OnTimer(id);
}

void CGalleryDlg::OnDestroy() {
  ::KillTimer(m_hWnd, kSpinnerTimer);
  CVxDialogBase::OnDestroy();
  ::PostQuitMessage(0);
}

void CGalleryDlg::Report(const std::wstring& what) {
  if (m_status) m_status->SetText((L"操作：" + what).c_str());
}

void CGalleryDlg::ShowScroll(int pos) {
  const int max = m_scroll ? m_scroll->GetMax() : 0;
  const int percent = max > 0 ? pos * 100 / max : 0;
  if (m_marker) {
    CRect r;
    m_marker->GetRect(&r);
    const int y = kListTop + 4 + (max > 0 ? (kScrollH - 8) * pos / max : 0);
    m_marker->SetRect(r.left, y, r.Width(), r.Height());
  }
  if (m_progress) m_progress->SetPos(static_cast<UINT>(percent));
  if (m_percent) m_percent->SetText((std::to_wstring(percent) + L"%").c_str());
}

void CGalleryDlg::OnCloseClick(void* self) { static_cast<CGalleryDlg*>(self)->CloseVxDlg(); }

void CGalleryDlg::OnMinimizeClick(void* self) { static_cast<CGalleryDlg*>(self)->MinVxDlg(); }

void CGalleryDlg::OnButtonClick(void* target) {
  auto* t = static_cast<ClickTarget*>(target);
  t->dlg->Report(L"单击按钮“" + t->what + L"”");
}

void CGalleryDlg::OnFillClick(void* self) {
  auto* dlg = static_cast<CGalleryDlg*>(self);
  const UINT next = (dlg->m_progress->GetPos() + 10) % 110;
  dlg->m_progress->SetPos(next);
  dlg->m_percent->SetText((std::to_wstring(next) + L"%").c_str());
  dlg->Report(L"文字按钮");
}

void CGalleryDlg::OnScroll(int pos, void* self) { static_cast<CGalleryDlg*>(self)->ShowScroll(pos); }

void CGalleryDlg::OnEntryClick(VxListItem* item, POINT*, void* self) {
  if (item) static_cast<CGalleryDlg*>(self)->Report(std::wstring(L"单击 ") + item->szName);
}

void CGalleryDlg::OnEntryDblClick(VxListItem* item, POINT*, void* self) {
  if (item) static_cast<CGalleryDlg*>(self)->Report(std::wstring(L"双击 ") + item->szName);
}

void CGalleryDlg::OnEntryRClick(VxListItem* item, POINT*, void* self) {
  auto* dlg = static_cast<CGalleryDlg*>(self);
  dlg->Report(item ? std::wstring(L"右键 ") + item->szName : std::wstring(L"右键 空白处"));
  dlg->UpdateView();
}
