#include "setup/SetupDlg.h"

#include <shellapi.h>
#include <shlobj.h>

#include "setup/DialogQuit.h"
#include "setup/core/install_plan.h"
#include "setup/setup_rc.h"

namespace {

constexpr int kW = 600, kH = 400;
const Gdiplus::Color kInk(255, 30, 30, 30), kInkSoft(255, 0x5B, 0x63, 0x70);

// Items are laid out on the card picture, which keeps an 8-pixel shadow margin.
constexpr int kProgressX = 40, kProgressY = 262, kProgressW = 520;
constexpr int kOptionsY = 262;

}  // namespace

CSetupDlg::CSetupDlg() : CVxDialogBase(IDD_SETUP, nullptr), m_folder(DefaultInstallFolder()) {}

CSetupDlg::~CSetupDlg() {
  if (m_worker.joinable()) m_worker.join();
  if (m_editFont) ::DeleteObject(m_editFont);
}

void CSetupDlg::AddButton(VxButton& b, UINT image, VxClickFunc click, int x, int y, int page) {
  b.SetImage(image, L"PNG", VxButton::VXBT_3);
  int fw = 0, fh = 0;
  b.GetFrameSize(&fw, &fh);
  b.SetRect(x, y, fw, fh);
  b.SetMouseMoveHand(TRUE);
  VxCallbacks cb{click, this};
  b.SetCallBack(&cb);
  AddVxItem(&b);
  m_pageItems.push_back({&b, page});
}

BOOL CSetupDlg::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  SetNoLayDlg();
  ::SetWindowTextW(m_hWnd, L"Vexlo桌面 安装向导");
  m_font = MakeSetupFont(14.0f);
  m_titleFont = MakeSetupFont(22.0f, Gdiplus::FontStyleBold);
  m_smallFont = MakeSetupFont(12.0f);
  const int sx = ::GetSystemMetrics(SM_CXSCREEN), sy = ::GetSystemMetrics(SM_CYSCREEN);
  ::SetWindowPos(m_hWnd, nullptr, (sx - kW) / 2, (sy - kH) / 2, kW, kH, SWP_NOZORDER);
  // The card without its shadow margin; the corners follow the picture's radius.
  if (HRGN rgn = ::CreateRoundRectRgn(8, 8, kW - 7, kH - 7, 20, 20))
    if (!::SetWindowRgn(m_hWnd, rgn, TRUE)) ::DeleteObject(rgn);

  m_back.SetImage(IDP_BG, L"PNG");
  m_back.SetRect(0, 0, kW, kH);
  AddVxItem(&m_back);
  m_hero.SetImage(IDP_HERO, L"PNG");
  m_hero.SetRect((kW - 260) / 2, 36, 260, 110);
  AddVxItem(&m_hero);
  m_pageItems.push_back({&m_hero, kWelcome});
  m_pageItems.push_back({&m_hero, kOptions});
  m_pageItems.push_back({&m_hero, kInstalling});
  m_done.SetImage(IDP_DONE, L"PNG");
  m_done.SetRect((kW - 72) / 2, 52, 72, 72);
  AddVxItem(&m_done);
  m_pageItems.push_back({&m_done, kFinished});

  AddButton(m_btnClose, IDP_CLOSE, &CSetupDlg::ClickClose, kW - 42, 16, -1);
  AddButton(m_btnMin, IDP_MIN, &CSetupDlg::ClickMin, kW - 70, 16, -1);
  AddButton(m_btnInstall, IDP_INSTALL, &CSetupDlg::ClickInstall, (kW - 180) / 2, 290, kWelcome);
  AddButton(m_btnCustom, IDP_CUSTOM, &CSetupDlg::ClickCustom, kW - 110, 356, kWelcome);
  AddButton(m_btnBrowse, IDP_BROWSE, &CSetupDlg::ClickBrowse, 452, 199, kOptions);
  AddButton(m_btnInstall2, IDP_INSTALL, &CSetupDlg::ClickInstall, kW - 220, 294, kOptions);
  AddButton(m_btnBack, IDP_BACK, &CSetupDlg::ClickBack, kW - 110, 356, kOptions);
  AddButton(m_btnStart, IDP_START, &CSetupDlg::ClickStart, (kW - 180) / 2, 290, kFinished);

  const wchar_t* labels[] = {L"创建桌面快捷方式", L"添加到快速启动栏", L"开机后自动打开Vexlo桌面(建议)"};
  for (int i = 0; i < 3; ++i) {
    VxCheckBox& box = m_options[i];
    box.SetImage(IDP_CHECKBOX, IDP_CHECK, L"PNG", VxButton::VXBT_3);
    box.SetRect(40, kOptionsY + i * 28, 300, 16);
    box.SetText(labels[i]);
    box.SetFont(*m_smallFont);
    box.SetTextColor(kInk);
    box.SetTextMouseOnColor(Gdiplus::Color(255, 0x33, 0x99, 0xFF));
    box.SetTextMouseDownColor(Gdiplus::Color(255, 0x17, 0x62, 0xB8));
    box.SetTextInerLeft(8);
    box.SetTextInerTop(-3);
    box.SetCheck(TRUE);
    box.SetMouseMoveHand(TRUE);
    AddVxItem(&box);
    m_pageItems.push_back({&box, kOptions});
  }

  m_progress.SetBarImage(IDP_PROGRESS_BACK, IDP_PROGRESS_BAR, L"PNG");
  m_progress.SetBackBordThick(0);
  m_progress.SetMinMax(0, 100);
  m_progress.SetRect(kProgressX, kProgressY, kProgressW, 12);
  AddVxItem(&m_progress);
  m_pageItems.push_back({&m_progress, kInstalling});
  m_marker.SetImage(IDP_MARKER, L"PNG");
  AddVxItem(&m_marker);
  m_pageItems.push_back({&m_marker, kInstalling});
  UpdateProgressItems();

  HWND edit = ::GetDlgItem(m_hWnd, IDC_FOLDER);
  ::MoveWindow(edit, 48, 204, 392, 20, FALSE);
  LOGFONTW lf{};
  lf.lfHeight = -14;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpyW(lf.lfFaceName, L"微软雅黑");
  m_editFont = ::CreateFontIndirectW(&lf);
  ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont), FALSE);
  SetInstallFolder(m_folder);

  ShowSetupPage(kWelcome);
  return TRUE;
}

void CSetupDlg::SetInstallFolder(const std::wstring& folder) {
  m_folder = folder;
  if (!m_folder.empty() && m_folder.back() != L'\\') m_folder.push_back(L'\\');
  if (m_hWnd) ::SetDlgItemTextW(m_hWnd, IDC_FOLDER, m_folder.c_str());
  UpdateFreeSpace();
}

void CSetupDlg::UpdateFreeSpace() {
  const std::u16string text = FreeSpaceText(FreeDiskBytes(m_folder));
  m_freeSpace.assign(text.begin(), text.end());
}

void CSetupDlg::ShowSetupPage(int page) {
  m_page = page;
  for (auto& [item, p] : m_pageItems) item->SetShow(p == -1);
  for (auto& [item, p] : m_pageItems)
    if (p == page) item->SetShow(TRUE);
  ::ShowWindow(::GetDlgItem(m_hWnd, IDC_FOLDER), page == kOptions ? SW_SHOW : SW_HIDE);
  const BOOL busy = page == kInstalling;
  m_btnClose.SetEnable(!busy);
  m_btnMin.SetEnable(!busy);
  ::PostMessageW(m_hWnd, WM_SETUP_REDRAW, 0, 0);
}

void CSetupDlg::UpdateProgressItems() {
  const int p = m_percent;
  m_progress.SetPos(p);
  m_marker.SetRect(kProgressX + kProgressW * p / 100 - 22, kProgressY - 30, 44, 26);
}

void CSetupDlg::StartInstall() {
  // The folder box may have been edited by hand.
  wchar_t typed[MAX_PATH] = L"";
  ::GetDlgItemTextW(m_hWnd, IDC_FOLDER, typed, MAX_PATH);
  if (typed[0]) SetInstallFolder(typed);
  InstallOptions options;
  options.folder = m_folder;
  options.desktopShortcut = m_options[0].GetCheck() != FALSE;
  options.quickLaunch = m_options[1].GetCheck() != FALSE;
  options.autoStart = m_options[2].GetCheck() != FALSE;
  m_percent = 0;
  UpdateProgressItems();
  ShowSetupPage(kInstalling);
  HWND hwnd = m_hWnd;
  m_worker = std::thread([this, options, hwnd] {
    const InstallResult r = RunInstallSteps(options, this);
    if (!r.ok) ::MessageBoxW(hwnd, r.message.c_str(), kProductTitle, MB_OK);
    ::PostMessageW(hwnd, WM_SETUP_DONE, r.ok ? 1 : 0, 0);
  });
}

void CSetupDlg::OnProgress(int percent) {
  m_percent = percent;
  ::PostMessageW(m_hWnd, WM_SETUP_REDRAW, 0, 0);
}

void CSetupDlg::OnInstallDone(bool ok) {
  if (m_worker.joinable()) m_worker.join();
  if (ok)
    ShowSetupPage(kFinished);
  else
    EndDialog(0);
}

void CSetupDlg::OnCloseRequest() {
  if (m_page == kInstalling) return;  // nothing may stop the worker half-way
  if (m_page == kFinished) {
    EndDialog(1);
    return;
  }
  CDialogQuit quit(m_hWnd);
  if (quit.DoModal() == 1) EndDialog(0);
}

BOOL CSetupDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (msg) {
    case WM_SETUP_CLOSE: OnCloseRequest(); return TRUE;
    case WM_SETUP_REDRAW:
      UpdateProgressItems();
      UpdateView();
      return TRUE;
    case WM_SETUP_DONE: OnInstallDone(wParam == 1); return TRUE;
    default: return CVxDialogBase::OnMessage(msg, wParam, lParam, pResult);
  }
}

void CSetupDlg::OnCancel() { ::PostMessageW(m_hWnd, WM_SETUP_CLOSE, 0, 0); }
void CSetupDlg::OnClose() { ::PostMessageW(m_hWnd, WM_SETUP_CLOSE, 0, 0); }

void CSetupDlg::Browse() {
  BROWSEINFOW bi{};
  bi.hwndOwner = m_hWnd;
  bi.lpszTitle = L"选择一个安装目录";
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  VxComInit com;
  PIDLIST_ABSOLUTE pidl = ::SHBrowseForFolderW(&bi);
  if (!pidl) return;
  wchar_t path[MAX_PATH];
  const BOOL ok = ::SHGetPathFromIDListW(pidl, path);
  ::CoTaskMemFree(pidl);
  if (!ok) return;
  SetInstallFolder(InstallFolderFromBrowsed(path));
  UpdateView();
}

void CSetupDlg::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  CVxDialogBase::DrawSurface(hdc, cx, cy, buffered);
  VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
  g->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  Gdiplus::SolidBrush ink(kInk), soft(kInkSoft), white(Gdiplus::Color(255, 255, 255, 255));
  Gdiplus::StringFormat center;
  center.SetAlignment(Gdiplus::StringAlignmentCenter);
  Gdiplus::StringFormat left;
  auto line = [&](const std::wstring& s, Gdiplus::Font* f, Gdiplus::Brush* b, float x, float y, bool centred) {
    if (centred)
      g->DrawString(s.c_str(), -1, f, Gdiplus::RectF(0.0f, y, static_cast<float>(kW), 40.0f), &center, b);
    else
      g->DrawString(s.c_str(), -1, f, Gdiplus::PointF(x, y), &left, b);
  };
  switch (m_page) {
    case kWelcome:
      line(L"欢迎安装 Vexlo桌面", m_titleFont.get(), &ink, 0, 184, true);
      line(L"把桌面图标收进格子, 一键整理桌面", m_font.get(), &soft, 0, 226, true);
      break;
    case kOptions: {
      line(L"安装目录:", m_font.get(), &ink, 40, 174, false);
      Gdiplus::Pen frame(Gdiplus::Color(255, 0xD5, 0xDB, 0xE3));
      g->DrawRectangle(&frame, 40, 198, 400, 30);
      line(m_freeSpace, m_smallFont.get(), &soft, 40, 234, false);
      break;
    }
    case kInstalling:
      line(L"正在安装, 请稍候...", m_titleFont.get(), &ink, 0, 180, true);
      break;
    case kFinished:
      line(L"安装完成!", m_titleFont.get(), &ink, 0, 184, true);
      line(L"已安装到 " + m_folder, m_smallFont.get(), &soft, 0, 226, true);
      break;
  }
  if (m_page == kInstalling) {
    CRect r;
    m_marker.GetRect(&r);
    const std::wstring pct = std::to_wstring(m_percent.load()) + L"%";
    g->DrawString(pct.c_str(), -1, m_smallFont.get(),
                  Gdiplus::RectF(static_cast<float>(r.left), static_cast<float>(r.top + 2), 44.0f, 18.0f),
                  &center, &white);
  }
}

void CSetupDlg::ClickClose(void* self) {
  ::PostMessageW(static_cast<CSetupDlg*>(self)->m_hWnd, WM_SETUP_CLOSE, 0, 0);
}
void CSetupDlg::ClickMin(void* self) { static_cast<CSetupDlg*>(self)->MinVxDlg(); }
void CSetupDlg::ClickCustom(void* self) { static_cast<CSetupDlg*>(self)->ShowSetupPage(kOptions); }
void CSetupDlg::ClickBack(void* self) { static_cast<CSetupDlg*>(self)->ShowSetupPage(kWelcome); }
void CSetupDlg::ClickBrowse(void* self) { static_cast<CSetupDlg*>(self)->Browse(); }
void CSetupDlg::ClickInstall(void* self) { static_cast<CSetupDlg*>(self)->StartInstall(); }
void CSetupDlg::ClickStart(void* self) {
  auto* dlg = static_cast<CSetupDlg*>(self);
  const std::wstring program = dlg->m_folder + L"Tessary.exe";
  ::ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, dlg->m_folder.c_str(), SW_SHOWNORMAL);
  ::PostMessageW(dlg->m_hWnd, WM_SETUP_CLOSE, 0, 0);
}
