#include "app/dialogs/DialogSet.h"

#include "app/dialogs/DialogFont.h"
#include "app/dialogs/dialogs_rc.h"
#include "base/AppConfig.h"
#include "base/AppGlobals.h"

namespace {

CString SkinPath(const wchar_t* file) { return TheApp().programDir + L"\\rs\\设置\\" + file; }

// Layout of the 600 x 400 card: a tab column on the left, the page to its right, and the
// bottom row under a divider at y 334.
constexpr POINT kTabAt[2] = {{10, 38}, {10, 76}};
constexpr SIZE kTabSize{150, 34};
constexpr POINT kRulesTableAt{175, 170};
constexpr POINT kRowAt[kRuleRows] = {{177, 197}, {177, 223}, {177, 249}};
constexpr SIZE kRowSize{380, 26};
constexpr POINT kCheckAt[CDialogSet::kChecks] = {{200, 84}, {200, 116}, {200, 84}};
constexpr SIZE kCheckSize{260, 18};
constexpr SIZE kButtonSize{72, 28};
constexpr int kButtonTop = 349, kOKLeft = 500, kCancelLeft = 418;
constexpr SIZE kCloseSize{24, 24};
// Where the value of a rule shows: inside the field drawn at the row's right end.
constexpr int kRuleValueLeft = 238, kRuleValueWidth = 112;

const Gdiplus::Color kInk(254, 30, 30, 30);
const Gdiplus::Color kSoftInk(254, 110, 118, 130);

RECT At(POINT p, SIZE s) { return RECT{p.x, p.y, p.x + s.cx, p.y + s.cy}; }

VxRc ToVxRc(const RECT& r) { return VxRc{r.left, r.top, r.right, r.bottom}; }

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

void LoadButton(VxButton& button, const wchar_t* image, VxButton::VXBT_IMGS frames, RECT place,
                VxClickFunc click, void* self) {
  button.SetImage(SkinPath(image).c_str(), frames);
  button.SetRect(place.left, place.top, place.right - place.left, place.bottom - place.top);
  button.SetMouseMoveHand(TRUE);
  VxCallbacks cb{click, self};
  button.SetCallBack(&cb);
}

}  // namespace

RECT CDialogSet::TabRect(int tab) { return At(kTabAt[tab], kTabSize); }
RECT CDialogSet::RuleRowRect(int row) { return At(kRowAt[row], kRowSize); }
RECT CDialogSet::CheckRect(int check) { return At(kCheckAt[check], kCheckSize); }
RECT CDialogSet::OKRect() { return At(POINT{kOKLeft, kButtonTop}, kButtonSize); }
RECT CDialogSet::CancelRect() { return At(POINT{kCancelLeft, kButtonTop}, kButtonSize); }
RECT CDialogSet::CloseRect() { return At(POINT{600 - 10 - kCloseSize.cx, 10}, kCloseSize); }

CDialogSet::CDialogSet(HWND hParent) : CVxDialogBase(IDD_DIALOG_SET, hParent) {}
CDialogSet::~CDialogSet() = default;

BOOL CDialogSet::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  Set_OPAQUEDlg(255);
  ::SetWindowTextW(m_hWnd, L"设置中心");

  const AppGlobals& g = TheApp();
  DeskSettingsValues saved;
  saved.autoStart = g.autoStart != 0;
  saved.closePrompt = g.closePrompt != 0;
  saved.autoOrganize = g.desk.autoOrganize != 0;
  saved.shortcutTarget = ToU16(g.desk.shortcutTarget);
  saved.folderTarget = ToU16(g.desk.folderTarget);
  saved.fileTarget = ToU16(g.desk.fileTarget);
  m_model = std::make_unique<DeskSettingsModel>(saved, m_boxNames);

  BuildItems();
  SetUpDropDown();
  ShowTab(m_model->tab());  // the model opens on the first tab
  return TRUE;
}

void CDialogSet::BuildItems() {
  RemoveAllVxItem();
  m_back.SetImage(SkinPath(L"setting_bg.png").c_str());
  int w = VxImageWidth(m_back.GetImage()), h = VxImageHeight(m_back.GetImage());
  if (w <= 0 || h <= 0) w = 600, h = 400;  // still usable without its picture
  m_back.SetRect(0, 0, w, h);
  AddVxItem(&m_back);
  const int sx = ::GetSystemMetrics(SM_CXSCREEN), sy = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetWindowPos(m_hWnd, nullptr, (sx - w) / 2, (sy - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

  m_rulesTable.SetImage(SkinPath(L"list.png").c_str());
  m_rulesTable.SetRect(kRulesTableAt.x, kRulesTableAt.y, VxImageWidth(m_rulesTable.GetImage()),
                       VxImageHeight(m_rulesTable.GetImage()));

  RECT close = CloseRect();
  OffsetRect(&close, w - 600, 0);  // 10 from the right edge whatever the picture's width
  LoadButton(m_btnClose, L"close.png", VxButton::VXBT_3, close, &OnClickCancel, this);
  LoadButton(m_btnOK, L"button_ok.png", VxButton::VXBT_3, OKRect(), &OnClickOK, this);
  LoadButton(m_btnCancel, L"button_cancel.png", VxButton::VXBT_3, CancelRect(), &OnClickCancel, this);
  LoadButton(m_tabs[0], L"1.png", VxButton::VXBT_4, TabRect(0), &OnClickTab1, this);
  LoadButton(m_tabs[1], L"2.png", VxButton::VXBT_4, TabRect(1), &OnClickTab2, this);
  const VxClickFunc rowClick[kRuleRows] = {&OnClickShortcutRow, &OnClickFolderRow, &OnClickFileRow};
  const wchar_t* rowImage[kRuleRows] = {L"1-1.png", L"1-2.png", L"1-3.png"};
  for (int r = 0; r < kRuleRows; ++r)
    LoadButton(m_rows[r], rowImage[r], VxButton::VXBT_4, RuleRowRect(r), rowClick[r], this);

  const wchar_t* label[kChecks] = {L"开机时自动启动软件", L"退出软件时提示我", L"开机自动整理"};
  const bool value[kChecks] = {m_model->autoStart, m_model->closePrompt, m_model->autoOrganize};
  for (int c = 0; c < kChecks; ++c) {
    VxCheckBox& box = m_checks[c];
    box.SetImage(SkinPath(L"checkbox_bg.png").c_str(), SkinPath(L"checkbox.png").c_str(), VxButton::VXBT_3);
    const RECT r = CheckRect(c);
    box.SetRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    box.SetText(label[c]);
    if (Gdiplus::Font* font = TextFont()) box.SetFont(*font);
    box.SetTextColor(kInk);
    box.SetTextMouseOnColor(kInk);
    box.SetTextMouseDownColor(kInk);
    box.SetTextInerLeft(8);
    box.SetCheck(value[c] ? TRUE : FALSE);
    box.SetMouseMoveHand(TRUE);
  }

  // Left out when their pictures are missing; the dialog works with what loaded.
  for (VxItemBase* item : std::initializer_list<VxItemBase*>{
           &m_rulesTable, &m_btnClose, &m_btnOK, &m_btnCancel, &m_tabs[0], &m_tabs[1], &m_rows[0],
           &m_rows[1], &m_rows[2], &m_checks[0], &m_checks[1], &m_checks[2]}) {
    auto* image = static_cast<VxImage*>(item);
    if (VxImageUsable(image->GetImage())) AddVxItem(item);
  }
}

void CDialogSet::SetUpDropDown() {
  m_dropDown = std::make_unique<CDialogComBox>(m_hWnd);
  if (!m_dropDown->Create(m_hWnd)) {
    m_dropDown.reset();
    return;
  }
  std::vector<std::wstring> choices;
  for (const std::u16string& c : m_model->Choices()) choices.push_back(ToW(c));
  m_dropDown->SetChoices(choices);
  m_dropDown->SetCallback(&OnDropDownChanged, this);
}

void CDialogSet::ReadChecks() {
  m_model->autoStart = m_checks[kCheckAutoStart].GetCheck() != FALSE;
  m_model->closePrompt = m_checks[kCheckClosePrompt].GetCheck() != FALSE;
  m_model->autoOrganize = m_checks[kCheckAutoOrganize].GetCheck() != FALSE;
}

void CDialogSet::SelectTab(int tab) {
  if (m_model->SelectTab(tab)) ShowTab(tab);
}

void CDialogSet::ShowTab(int tab) {
  for (VxButton& t : m_tabs) t.SetActive(FALSE);
  for (VxCheckBox& c : m_checks) c.SetShow(FALSE);
  m_rulesTable.SetShow(FALSE);
  for (VxButton& r : m_rows) {
    r.SetShow(FALSE);
    r.SetActive(FALSE);
  }
  if (m_dropDown) m_dropDown->Hide();
  m_tabs[tab].SetActive(TRUE);
  if (tab == 0) {
    m_checks[kCheckAutoStart].SetShow(TRUE);
    m_checks[kCheckClosePrompt].SetShow(TRUE);
  } else {
    m_checks[kCheckAutoOrganize].SetShow(TRUE);
    m_rulesTable.SetShow(TRUE);
    for (VxButton& r : m_rows) r.SetShow(TRUE);
  }
  UpdateView();
}

void CDialogSet::ClickRow(int row) {
  m_model->ActivateRow(row);
  for (int r = 0; r < kRuleRows; ++r) m_rows[r].SetActive(r == row);
  PlaceDropDown();
  if (m_dropDown) m_dropDown->Select(m_model->ChoiceIndex(row));
  UpdateView();
}

void CDialogSet::PlaceDropDown() {
  const int row = m_model ? m_model->activeRow() : -1;
  if (!m_dropDown || row < 0) return;
  RECT window;
  ::GetWindowRect(m_hWnd, &window);
  const VxRc at = DeskRuleDropDownRect(ToVxRc(RuleRowRect(row)), VxPt{window.left, window.top});
  m_dropDown->ShowAt(RECT{at.left, at.top, at.right, at.bottom});
}

void CDialogSet::OnDropDownChanged(void* self) {
  auto* dlg = static_cast<CDialogSet*>(self);
  if (!dlg->m_dropDown || !dlg->m_model) return;
  dlg->m_model->Choose(dlg->m_dropDown->Selection());
  dlg->UpdateView();
}

void CDialogSet::OnMove(int x, int y) {
  CVxDialogBase::OnMove(x, y);
  if (m_dropDown && m_dropDown->IsOpen()) PlaceDropDown();
}

void CDialogSet::Store() {
  ReadChecks();
  // The Run value first: autostart holds only when the value could be written.
  bool written = false;
  if (m_model->autoStart)
    written = SetAutoStart(ProgramPath()) != FALSE;
  else
    ClearAutoStart();
  const DeskSettingsValues v = m_model->Commit(written);
  AppGlobals& g = TheApp();
  g.autoStart = v.autoStart ? 1 : 0;
  g.closePrompt = v.closePrompt ? 1 : 0;
  g.desk.autoOrganize = v.autoOrganize ? 1 : 0;
  g.desk.shortcutTarget = ToW(v.shortcutTarget);
  g.desk.folderTarget = ToW(v.folderTarget);
  g.desk.fileTarget = ToW(v.fileTarget);
  LoadOrSaveConfig(FALSE);
}

void CDialogSet::Finish(Result result) {
  if (m_dropDown) m_dropDown->Hide();
  EndDialog(result);
}

void CDialogSet::OnOK() {
  if (!m_model) return Finish(kCancel);
  Store();
  Finish(kOK);
}
void CDialogSet::OnCancel() { Finish(kCancel); }
// A close from outside (task switcher, WM_CLOSE) stores nothing, as cancel.
void CDialogSet::OnClose() { Finish(kCancel); }

void CDialogSet::OnDestroy() {
  if (m_dropDown && m_dropDown->GetSafeHwnd()) m_dropDown->DestroyWindow();
  m_dropDown.reset();
  CVxDialogBase::OnDestroy();
}

Gdiplus::Font* CDialogSet::TextFont() { return DialogTextFont(m_ownFont); }

void CDialogSet::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  CVxDialogBase::DrawSurface(hdc, cx, cy, buffered);
  Gdiplus::Font* font = TextFont();
  if (!font || !m_model) return;
  VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
  // Grey-scale smoothing: ClearType fringes would be written into the alpha surface.
  g->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  Gdiplus::StringFormat oneLine;
  oneLine.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  oneLine.SetLineAlignment(Gdiplus::StringAlignmentCenter);
  Gdiplus::SolidBrush ink(kInk), soft(kSoftInk);
  auto label = [&](const wchar_t* text, float x, float y, float w, Gdiplus::Brush* brush) {
    g->DrawString(text, -1, font, Gdiplus::RectF(x, y, w, 20.0f), &oneLine, brush);
  };
  if (m_model->tab() == 0) {
    label(L"启动和关闭:", 190.0f, 52.0f, 300.0f, &ink);
    return;
  }
  label(L"开机自动整理:", 190.0f, 52.0f, 300.0f, &ink);
  label(L"整理规则:", 190.0f, 118.0f, 300.0f, &ink);
  label(L"自定义桌面整理规则", 190.0f, 142.0f, 300.0f, &soft);
  Gdiplus::StringFormat value(&oneLine);
  value.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
  for (int r = 0; r < kRuleRows; ++r) {
    const std::wstring text = ToW(m_model->RuleText(r));
    const RECT row = RuleRowRect(r);
    g->DrawString(text.c_str(), -1, font,
                  Gdiplus::RectF(static_cast<float>(row.left + kRuleValueLeft), static_cast<float>(row.top + 3),
                                 static_cast<float>(kRuleValueWidth), static_cast<float>(kRowSize.cy - 6)),
                  &value, m_model->RuleValue(r).empty() ? &soft : &ink);
  }
}
