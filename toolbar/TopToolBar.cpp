#include "toolbar/TopToolBar.h"

#include <shellapi.h>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "desk/DeskFiles.h"
#include "toolbar/WeatherService.h"
#include "toolbar/core/toolbar_rules.h"
#include "toolbar/toolbar_rc.h"
#include "uilib/VxShellFunctions.h"

using namespace toolbar;

namespace {

constexpr UINT kDateMs = 60000, kSlideMs = 10, kWeatherMs = 600000, kHoverMs = 500;
constexpr UINT kPanelCloseMs = 1000;
// Almost transparent: invisible, yet the mouse still finds the strip there.
const Gdiplus::Color kMouseCatcher(0x01000000);
const Gdiplus::Color kDateColor(0xFEFFFFFF);
const Gdiplus::Color kWeatherColor(0xFEFEDE00);

std::wstring SkinPath(const std::wstring& file) { return TheApp().programDir + L"\\rs\\" + file; }

RECT ReadWorkArea() {
  RECT r{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

struct ButtonSpec {
  const wchar_t* image;
  VxButton::VXBT_IMGS states;
};
const ButtonSpec kButtonSpecs[CYRTopToolBar::kButtonCount] = {
    {L"桌面.png", VxButton::VXBT_4},  {L"导航.png", VxButton::VXBT_4},
    {L"推荐.png", VxButton::VXBT_4},  {L"壁纸.png", VxButton::VXBT_3},
    {L"整理.png", VxButton::VXBT_3},  {L"已整理.png", VxButton::VXBT_3},
};

// The bottom of the z-order for the strip: just above its owner, the full-screen main window,
// where Windows keeps an owned window; Wine would put it under the owner, out of sight.
void PlaceAtBottom(HWND hwnd, int x, int y, int cx, int cy, UINT flags) {
  HWND after = HWND_BOTTOM;
  if (HWND owner = ::GetWindow(hwnd, GW_OWNER); owner && ::IsWindowVisible(owner)) {
    HWND above = ::GetWindow(owner, GW_HWNDPREV);
    if (above == hwnd) flags |= SWP_NOZORDER;  // already there
    after = above ? above : HWND_TOP;
  }
  ::SetWindowPos(hwnd, after, x, y, cx, cy, flags);
}

int FrameWidth(const VxButton& b) {
  int w = 0, h = 0;
  b.GetFrameSize(&w, &h);
  return w;
}

}  // namespace

// Everything a paint reuses: the stretched background (rebuilt when the width changes), the
// strip bitmap drawn each paint, the fonts and the weather icon of the current weather.
struct CYRTopToolBar::Strip {
  std::unique_ptr<Gdiplus::Bitmap> background;
  std::unique_ptr<Gdiplus::Bitmap> surface;
  Gdiplus::FontFamily family{L"宋体"};
  std::unique_ptr<Gdiplus::Font> font;
  std::wstring iconFile;
  std::unique_ptr<Gdiplus::Image> icon;

  Strip() {
    font = family.GetLastStatus() == Gdiplus::Ok
               ? std::make_unique<Gdiplus::Font>(&family, 12.0f, Gdiplus::FontStyleRegular,
                                                 Gdiplus::UnitPixel)
               : std::make_unique<Gdiplus::Font>(L"SimSun", 12.0f, Gdiplus::FontStyleRegular,
                                                 Gdiplus::UnitPixel);
  }
};

CYRTopToolBar::CYRTopToolBar(CToolbarOwner* owner)
    : CVxDialogBase(IDD_TOP_TOOLBAR), m_owner(owner), m_strip(std::make_unique<Strip>()) {}

CYRTopToolBar::~CYRTopToolBar() {
  // The weather workers post to this window and read the settings: end them first.
  if (m_weather) m_weather->Shutdown();
}

BOOL CYRTopToolBar::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  Set_OPAQUEDlg(255);
  const LONG ex = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
  ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, (ex & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
  SetNoMove(TRUE);
  const RECT work = ReadWorkArea();
  PlaceAtBottom(m_hWnd, work.left, work.top, work.right - work.left, kWindowHeight,
                SWP_NOACTIVATE | SWP_NOREDRAW);

  m_headerImage.reset(VxLoadImageFile(SkinPath(L"headerBg.png").c_str()));
  m_tabImage.reset(VxLoadImageFile(SkinPath(L"默认-框.png").c_str()));
  LoadButtons();
  m_buttons[kDesk].SetActive(TRUE);
  RefreshDate();

  m_weather = m_weatherAddress.empty() ? std::make_unique<CWeatherService>()
                                       : std::make_unique<CWeatherService>(m_weatherAddress);
  m_panel.SetWeatherService(m_weather.get());
  ::SetTimer(m_hWnd, kDateTimer, kDateMs, nullptr);
  StartWeatherUpdate();
  ::SetTimer(m_hWnd, kWeatherTimer, kWeatherMs, nullptr);
  Relayout();
  return TRUE;
}

void CYRTopToolBar::LoadButtons() {
  static const VxClickFunc kClicks[kButtonCount] = {&OnDeskClick,      &OnNavigationClick,
                                                    &OnRecommendedClick, &OnWallpaperClick,
                                                    &OnOrganizeClick,  &OnRestoreClick};
  for (int i = 0; i < kButtonCount; ++i) {
    VxButton& b = m_buttons[i];
    b.SetImage(SkinPath(kButtonSpecs[i].image).c_str(), kButtonSpecs[i].states);
    if (FrameWidth(b) <= 0) continue;  // an image that does not load leaves the button out
    VxCallbacks cb{kClicks[i], this};
    b.SetCallBack(&cb);
    b.SetMouseMoveHand(TRUE);
    m_buttonLoaded[i] = AddVxItem(&b) != FALSE;
  }
}

void CYRTopToolBar::Relayout() {
  if (!m_hWnd) return;
  const RECT work = ReadWorkArea();
  const int width = work.right - work.left;
  PlaceAtBottom(m_hWnd, work.left, work.top, width, kWindowHeight, SWP_NOACTIVATE | SWP_NOREDRAW);
  for (int slot = 0; slot < kPageSlots; ++slot) {
    VxButton& b = m_buttons[kDesk + slot];
    if (!m_buttonLoaded[kDesk + slot]) continue;
    int w = 0, h = 0;
    b.GetFrameSize(&w, &h);
    b.SetRect(PageButtonLeft(width, slot, w), 0, w, h);
  }
  auto place = [this](int which, int left, int top) {
    if (!m_buttonLoaded[which]) return;
    int w = 0, h = 0;
    m_buttons[which].GetFrameSize(&w, &h);
    m_buttons[which].SetRect(left, top, w, h);
  };
  place(kWallpaper, width - 80, 0);
  if (m_owner && m_owner->MainWindow()) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    place(kOrganize, client.right - 170, 3);
    place(kRestore, client.right - 170, 3);
    ApplyOrganizeVisibility();
  }
  UpdateView();
}

bool CYRTopToolBar::ViewOn() const { return TheApp().desk.config.deskPageOn != 0; }

void CYRTopToolBar::ApplyOrganizeVisibility() {
  if (!m_owner || !m_owner->MainWindow()) return;
  const int view = TheApp().currentView;
  m_buttons[kOrganize].SetShow(!ViewOn() && view == 0);
  m_buttons[kRestore].SetShow(ViewOn() && view == 1);
}

void CYRTopToolBar::StayAboveOwner() {
  if (m_hWnd) PlaceAtBottom(m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void CYRTopToolBar::SetActivePageButton(int active) {
  for (int i = kDesk; i <= kRecommended; ++i) m_buttons[i].SetActive(i == active);
}

void CYRTopToolBar::DeskViewOn() {
  m_buttons[kRestore].SetShow(TRUE);
  m_buttons[kOrganize].SetShow(FALSE);
  TheApp().desk.config.deskPageOn = 1;
  SaveConfig();
  HWND main = m_owner ? m_owner->MainWindow() : nullptr;
  if (main && m_owner->HasPageHost() && TheApp().currentView != 1) m_owner->ShowHostPage(1);
  if (main) ::ShowWindow(main, SW_SHOW);
  Relayout();
}

void CYRTopToolBar::DeskViewOff() {
  m_buttons[kOrganize].SetShow(TRUE);
  m_buttons[kRestore].SetShow(FALSE);
  TheApp().desk.config.deskPageOn = 0;
  SaveConfig();
  HWND main = m_owner ? m_owner->MainWindow() : nullptr;
  if (main) ::ShowWindow(main, SW_HIDE);
  if (m_owner && m_owner->HasPageHost() && TheApp().currentView != 0) m_owner->ShowHostPage(0);
  Relayout();
}

void CYRTopToolBar::ShowNavigationPage(int button, int pageType) {
  HWND main = m_owner ? m_owner->MainWindow() : nullptr;
  if (main && m_owner->HasPageHost()) m_owner->ShowHostPage(pageType);
  // A page that could not be made leaves everything as it was: the main window is not shown
  // over the plain desktop with nothing on it.
  if (!main || TheApp().currentView != pageType) return;
  SetActivePageButton(button);
  ::ShowWindow(main, SW_SHOWNA);
  Relayout();
}

void CYRTopToolBar::OnDeskClick(void* self) {
  auto* bar = static_cast<CYRTopToolBar*>(self);
  bar->SetActivePageButton(kDesk);
  if (bar->ViewOn())
    bar->DeskViewOn();
  else
    bar->DeskViewOff();
}
void CYRTopToolBar::OnNavigationClick(void* self) {
  static_cast<CYRTopToolBar*>(self)->ShowNavigationPage(kNavigation, 2);
}
void CYRTopToolBar::OnRecommendedClick(void* self) {
  static_cast<CYRTopToolBar*>(self)->ShowNavigationPage(kRecommended, 4);
}
void CYRTopToolBar::OnWallpaperClick(void* self) {
  auto* bar = static_cast<CYRTopToolBar*>(self);
  const std::wstring exe = TheApp().programDir + L"\\Wallpaper.exe";
  ::ShellExecuteW(bar->m_hWnd, L"open", exe.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
void CYRTopToolBar::OnOrganizeClick(void* self) { static_cast<CYRTopToolBar*>(self)->DeskViewOn(); }
void CYRTopToolBar::OnRestoreClick(void* self) { static_cast<CYRTopToolBar*>(self)->DeskViewOff(); }

// ---- date and weather ----
void CYRTopToolBar::RefreshDate() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const std::wstring text = ::toolbar::DateText(now.wMonth, now.wDay, WeekdayName(now.wDayOfWeek + 1));
  if (text == m_dateText) return;
  m_dateText = text;
  UpdateView();
}

void CYRTopToolBar::StartWeatherUpdate() {
  if (m_weather && m_hWnd) m_weather->StartUpdate(m_hWnd);
}

// ---- auto-hide ----
void CYRTopToolBar::StartSlide() {
  ::KillTimer(m_hWnd, kSlideTimer);
  ::SetTimer(m_hWnd, kSlideTimer, kSlideMs, nullptr);
}

void CYRTopToolBar::SlideOneStep() {
  const bool grow = StripWantsOut(m_showRequest != 0, IsPanelOpen(), ViewOn(), TheApp().currentView);
  if (!grow) m_hoverArmed = 0;
  bool done = false;
  m_visibleHeight = SlideStep(m_visibleHeight, grow, &done);
  if (done) ::KillTimer(m_hWnd, kSlideTimer);
  UpdateView();
}

void CYRTopToolBar::ToggleAutoHide() {
  AppGlobals& g = TheApp();
  ::KillTimer(m_hWnd, kSlideTimer);
  g.autoHide = g.autoHide ? 0 : 1;
  if (!g.autoHide) {
    if (m_visibleHeight < kStripHeight) {
      m_showRequest = 1;
      StartSlide();
    }
  } else {
    POINT pt;
    RECT wr;
    ::GetCursorPos(&pt);
    ::GetWindowRect(m_hWnd, &wr);
    if (!::PtInRect(&wr, pt)) {
      m_showRequest = 0;
      StartSlide();
    }
  }
  LoadOrSaveConfig(FALSE);
}

void CYRTopToolBar::OnMouseMove(UINT nFlags, POINT pt) {
  CVxDialogBase::OnMouseMove(nFlags, pt);  // item hover, and the leave notice
  if (TheApp().autoHide && m_visibleHeight < kStripHeight) {
    m_showRequest = 1;
    StartSlide();
  }
  if (InWeatherArea(pt.x) && !IsPanelOpen()) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    if (!m_hoverArmed) {
      ::SetTimer(m_hWnd, kHoverTimer, kHoverMs, nullptr);
      m_hoverArmed = 1;
    }
  }
}

void CYRTopToolBar::OnMouseLeave() {
  CVxDialogBase::OnMouseLeave();
  if (TheApp().autoHide && m_visibleHeight > kHiddenHeight) {
    m_showRequest = 0;
    StartSlide();
  }
  if (IsPanelOpen()) ::SetTimer(m_panel.GetSafeHwnd(), CDialogWeather::kCloseTimer, kPanelCloseMs, nullptr);
}

void CYRTopToolBar::OpenPanel() {
  m_panel.SetPlace(50, m_visibleHeight);
  m_panel.Create(m_hWnd);
}

void CYRTopToolBar::ClosePanelOnRequest() {
  if (IsPanelOpen() && !m_panel.IsChooserOpen()) m_panel.DestroyWindow();
  if (TheApp().autoHide && m_visibleHeight > kHiddenHeight) {
    m_showRequest = 0;
    StartSlide();
  }
}

void CYRTopToolBar::OnTimer(UINT_PTR id) {
  switch (id) {
    case kDateTimer: RefreshDate(); break;
    case kSlideTimer: SlideOneStep(); break;
    case kWeatherTimer: StartWeatherUpdate(); break;
    case kHoverTimer: {
      ::KillTimer(m_hWnd, kHoverTimer);
      m_hoverArmed = 0;
      POINT pt;
      ::GetCursorPos(&pt);
      ::ScreenToClient(m_hWnd, &pt);
      RECT client;
      ::GetClientRect(m_hWnd, &client);
      if (InWeatherArea(pt.x) && pt.y >= 0 && pt.y < client.bottom && !IsPanelOpen()) OpenPanel();
      break;
    }
    default: break;
  }
  CVxDialogBase::OnTimer(id);
}

// ---- menu, activation, messages ----
void CYRTopToolBar::ShowMenu() {
  HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TOOLBAR_MENU));
  if (!menu) return;
  POINT pt;
  ::GetCursorPos(&pt);
  ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
  ::DestroyMenu(menu);
}

void CYRTopToolBar::OnRButtonUp(UINT nFlags, POINT pt) {
  CVxDialogBase::OnRButtonUp(nFlags, pt);
  if (IsPanelOpen()) m_panel.DestroyWindow();
  ShowMenu();
}

void CYRTopToolBar::OnActivate(UINT nState, HWND hOther, BOOL bMinimized) {
  CVxDialogBase::OnActivate(nState, hOther, bMinimized);
  if (nState == WA_INACTIVE && !IsPanelOpen())
    PlaceAtBottom(m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

BOOL CYRTopToolBar::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDM_TOOLBAR_AUTOHIDE) {
    ToggleAutoHide();
    return TRUE;
  }
  // Everything else is the main window's (the settings centre among them).
  if (m_owner && m_owner->MainWindow() && HIWORD(wParam) == 0 && lParam == 0) {
    ::SendMessageW(m_owner->MainWindow(), WM_COMMAND, wParam, lParam);
    return TRUE;
  }
  return CVxDialogBase::OnCommand(wParam, lParam);
}

BOOL CYRTopToolBar::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      *result = MA_NOACTIVATE;
      return TRUE;
    case WM_INITMENUPOPUP:
      ::CheckMenuItem(reinterpret_cast<HMENU>(wParam), IDM_TOOLBAR_AUTOHIDE,
                      MF_BYCOMMAND | (TheApp().autoHide ? MF_CHECKED : MF_UNCHECKED));
      *result = 0;
      return TRUE;
    case WM_TOOLBAR_CLOSE_PANEL:
      ClosePanelOnRequest();
      *result = 0;
      return TRUE;
    case WM_TOOLBAR_UPDATE_WEATHER:
      StartWeatherUpdate();
      *result = 0;
      return TRUE;
    case kWeatherPlaceMsg:
      // The worker found the user's place: stored and saved here, on the window's thread.
      if (m_weather && m_weather->ApplyFoundPlace() && IsPanelOpen()) m_panel.WeatherChanged();
      *result = 0;
      return TRUE;
    case kWeatherChangedMsg:
      UpdateView();
      if (IsPanelOpen()) m_panel.WeatherChanged();
      *result = 0;
      return TRUE;
    default:
      return CVxDialogBase::OnMessage(msg, wParam, lParam, result);
  }
}

void CYRTopToolBar::OnDestroy() {
  if (m_weather) m_weather->Shutdown();
  if (IsPanelOpen()) m_panel.DestroyWindow();
  CVxDialogBase::OnDestroy();
  SetWinKeyMask(0, nullptr);
  m_headerImage.reset();
  m_tabImage.reset();
  m_strip->surface.reset();
  m_strip->background.reset();
  m_strip->icon.reset();
}

// ---- painting ----
void CYRTopToolBar::ComposeStrip(int width) {
  Strip& s = *m_strip;
  if (!s.background || static_cast<int>(s.background->GetWidth()) != width) {
    s.background = std::make_unique<Gdiplus::Bitmap>(width, kStripHeight, PixelFormat32bppPARGB);
    s.surface = std::make_unique<Gdiplus::Bitmap>(width, kStripHeight, PixelFormat32bppPARGB);
    Gdiplus::Graphics bg(s.background.get());
    const int ih = m_headerImage ? VxImageHeight(m_headerImage.get()) : 0;
    Gdiplus::SolidBrush catcher(kMouseCatcher);
    bg.FillRectangle(&catcher, 0, 0, width, ih > 0 ? ih : kStripHeight);
    if (VxImageUsable(m_headerImage.get())) {
      Gdiplus::ImageAttributes attr;
      attr.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
      bg.DrawImage(m_headerImage.get(), Gdiplus::Rect(0, 0, width, ih), 0, 0,
                   VxImageWidth(m_headerImage.get()), ih, Gdiplus::UnitPixel, &attr);
    }
  }
  Gdiplus::Graphics g(s.surface.get());
  g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  g.DrawImage(s.background.get(), 0, 0, width, kStripHeight);
  g.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);

  Gdiplus::SolidBrush dateBrush(kDateColor);
  g.DrawString(m_dateText.c_str(), -1, s.font.get(), Gdiplus::RectF(20, 8, 200, 200), nullptr, &dateBrush);

  // While the strip is not all out the right-hand buttons are part of the picture, so they
  // slide with it; the page buttons too, or they would float over the hidden strip.
  const bool out = m_visibleHeight > kStripHeight - 1;
  for (int i = 0; i < kButtonCount; ++i) {
    if (!m_buttonLoaded[i]) continue;
    bool shown;
    if (i == kOrganize)
      shown = !ViewOn() && TheApp().currentView == 0;
    else if (i == kRestore)
      shown = ViewOn() && TheApp().currentView == 1;
    else
      shown = true;
    // Organize and restore are placed only beside a main window.
    if ((i == kOrganize || i == kRestore) && !(m_owner && m_owner->MainWindow())) shown = false;
    if (out) {
      m_buttons[i].SetShow(shown);
    } else {
      m_buttons[i].SetShow(FALSE);
      if (shown) DrawButton(g, &m_buttons[i]);
    }
  }
  DrawWeather(g);
}

Gdiplus::Image* CYRTopToolBar::WeatherIcon() {
  const WeatherDay& today = TheApp().weather.days[0];
  const std::wstring file = WeatherIconFile(TheApp().weather.weatherCode, IsNightPeriod(today.firstHour));
  Strip& s = *m_strip;
  if (file != s.iconFile) {
    s.iconFile = file;
    s.icon.reset(file.empty() ? nullptr : VxLoadImageFile(SkinPath(L"weather\\" + file).c_str()));
  }
  return s.icon.get();
}

void CYRTopToolBar::DrawWeather(Gdiplus::Graphics& g) {
  const WeatherGlobals& w = TheApp().weather;
  Gdiplus::Font* font = m_strip->font.get();
  if (w.temperature == -9999) {
    Gdiplus::SolidBrush white(kDateColor);
    g.DrawString(L"努力读取天气中...", -1, font, Gdiplus::RectF(135, 8, 200, 80), nullptr, &white);
    return;
  }
  if (Gdiplus::Image* icon = WeatherIcon(); VxImageUsable(icon)) {
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.DrawImage(icon, Gdiplus::Rect(135, 0, 28, 28), 0, 0, VxImageWidth(icon), VxImageHeight(icon),
                Gdiplus::UnitPixel);
  }
  Gdiplus::SolidBrush yellow(kWeatherColor);
  const std::wstring text = ToolbarWeatherText(w.weatherCode, w.temperature);
  g.DrawString(text.c_str(), -1, font, Gdiplus::RectF(173, 8, 200, 80), nullptr, &yellow);
}

void CYRTopToolBar::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  (void)buffered;
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const int width = client.right > 0 ? client.right : cx;
  ComposeStrip(width);
  {
    VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
    if (m_visibleHeight > 0) {
      // The strip's lower rows stay in view as it slides up.
      g->DrawImage(m_strip->surface.get(), Gdiplus::Rect(0, 0, width, m_visibleHeight), 0,
                   kStripHeight - m_visibleHeight, width, m_visibleHeight, Gdiplus::UnitPixel);
    }
    if (m_visibleHeight != kStripHeight && VxImageUsable(m_tabImage.get())) {
      const int tw = VxImageWidth(m_tabImage.get()), th = VxImageHeight(m_tabImage.get());
      const int x = (width - tw) / 2;
      Gdiplus::SolidBrush catcher(kMouseCatcher);
      g->FillRectangle(&catcher, x, 0, tw, th);
      g->DrawImage(m_tabImage.get(), x, 0, tw, th);
    }
  }
  (void)cy;
  OnVxPaint(hdc, cx, cy);  // the buttons
}
