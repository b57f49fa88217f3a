#include "toolbar/DialogWeather.h"

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "toolbar/WeatherService.h"
#include "toolbar/core/toolbar_rules.h"
#include "toolbar/core/weather_tables.h"
#include "toolbar/toolbar_rc.h"

using namespace toolbar;

namespace {

constexpr UINT kClosePanelMsg = 1125;   // to the toolbar: the mouse has left the panel
constexpr UINT kCityChangedMsg = 1126;  // to the toolbar: fetch the new city's weather
constexpr UINT kDeactivateCloseMs = 500, kLeaveCloseMs = 1000;
const Gdiplus::Color kWhite(0xFEFFFFFF);
const Gdiplus::Color kYellow(0xFEFEDE00);
const Gdiplus::Color kDim(0xB4FFFFFF);

std::wstring SkinPath(const std::wstring& relative) { return TheApp().programDir + L"\\rs\\" + relative; }

struct ButtonSpec {
  const wchar_t* image;
  int x, y;
};
const ButtonSpec kButtonSpecs[CDialogWeather::kButtonCount] = {
    {L"确定.png", 340, 175},    {L"取消.png", 410, 175},  {L"设置.png", 415, 15},
    {L"未来7天天气.png", 315, 15}, {L"返回.png", 10, 15},
};

const wchar_t* BackgroundOf(int view) {
  static const wchar_t* const kBacks[] = {L"bg4.png", L"bg1.png", L"bg2.png", L"bg3.png"};
  return kBacks[view >= 0 && view <= 3 ? view : 0];
}

}  // namespace

struct CDialogWeather::Fonts {
  Gdiplus::FontFamily family{L"微软雅黑"};
  std::unique_ptr<Gdiplus::Font> text, small, big;
  Gdiplus::StringFormat centred, left;

  Fonts() {
    const Gdiplus::FontFamily* f = family.GetLastStatus() == Gdiplus::Ok ? &family : nullptr;
    auto make = [f](float px, int style) {
      return f ? std::make_unique<Gdiplus::Font>(f, px, style, Gdiplus::UnitPixel)
               : std::make_unique<Gdiplus::Font>(L"SimSun", px, style, Gdiplus::UnitPixel);
    };
    text = make(13, Gdiplus::FontStyleRegular);
    small = make(12, Gdiplus::FontStyleRegular);
    big = make(48, Gdiplus::FontStyleBold);
    centred.SetAlignment(Gdiplus::StringAlignmentCenter);
    centred.SetLineAlignment(Gdiplus::StringAlignmentNear);
    centred.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    left.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  }
};

CDialogWeather::CDialogWeather() : CVxDialogBase(IDD_WEATHER_PANEL) {}
CDialogWeather::~CDialogWeather() = default;

BOOL CDialogWeather::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  Set_OPAQUEDlg(255);
  SetNoMove(TRUE);
  SetMouseTranOver(FALSE);  // the whole panel takes the mouse, not only its opaque pixels
  if (!m_fonts) m_fonts = std::make_unique<Fonts>();
  for (int& h : m_hover) h = 0;
  CreateButtons();
  ShowView(kToday);
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  return TRUE;
}

void CDialogWeather::CreateButtons() {
  static const VxClickFunc kClicks[kButtonCount] = {&OnOKClick, &OnCancelClick, &OnSettingsClick,
                                                    &OnSevenDaysClick, &OnBackClick};
  for (int i = 0; i < kButtonCount; ++i) {
    VxButton& b = m_buttons[i];
    if (!b.GetImage()) b.SetImage(SkinPath(std::wstring(L"weatherback\\") + kButtonSpecs[i].image).c_str(), VxButton::VXBT_3);
    int w = 0, h = 0;
    b.GetFrameSize(&w, &h);
    if (w <= 0) continue;
    b.SetRect(kButtonSpecs[i].x, kButtonSpecs[i].y, w, h);
    VxCallbacks cb{kClicks[i], this};
    b.SetCallBack(&cb);
    b.SetMouseMoveHand(TRUE);
    AddVxItem(&b);
  }
}

void CDialogWeather::ShowView(int view) {
  for (VxButton& b : m_buttons) b.SetShow(FALSE);
  if (TheApp().weather.temperature == kNoTemperature) view = kNoData;
  m_view = view;
  for (int& h : m_hover) h = 0;
  if (view == kToday) {
    m_buttons[kSevenDaysButton].SetShow(TRUE);
    m_buttons[kSettings].SetShow(TRUE);
  } else if (view == kSevenDays) {
    m_buttons[kBack].SetShow(TRUE);
  } else if (view == kCitySetting) {
    m_buttons[kOK].SetShow(TRUE);
    m_buttons[kCancel].SetShow(TRUE);
  }
  if (m_hWnd) {
    CRect size;
    if (SetBack(SkinPath(std::wstring(L"weatherback\\") + BackgroundOf(view)).c_str(), size))
      ::SetWindowPos(m_hWnd, nullptr, m_left, m_top, size.Width(), size.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    if (view == kCitySetting && !IsChooserOpen()) OpenChooser();
    if (view != kCitySetting && IsChooserOpen()) CloseChooser();
    UpdateView();
  }
}

void CDialogWeather::WeatherChanged() {
  if (m_view == kNoData) ShowView(kToday);
  else UpdateView();
}

void CDialogWeather::OpenChooser() {
  m_chooser.SetCityList(m_weather ? &m_weather->Cities() : nullptr);
  if (!m_chooser.Create(m_hWnd)) return;
  RECT wr;
  ::GetWindowRect(m_hWnd, &wr);
  // Between the view's title and its buttons, whatever the toolbar's height was.
  ::SetWindowPos(m_chooser.GetSafeHwnd(), nullptr, m_left + 50, m_top + 88, (wr.right - wr.left) - 80, 40,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CDialogWeather::CloseChooser() {
  if (IsChooserOpen()) m_chooser.DestroyWindow();
}

void CDialogWeather::SaveCity() {
  AppGlobals& g = TheApp();
  if (IsChooserOpen()) {
    const std::wstring province = m_chooser.Province(), city = m_chooser.City(),
                       district = m_chooser.District();
    // An empty list (no city list loaded) must not wipe the place the user had.
    if (!province.empty() && !city.empty()) {
      g.weather.province = province;
      g.weather.city = city;
      g.weather.city2 = district.empty() ? city : district;
    }
  }
  CloseChooser();
  LoadOrSaveConfig(FALSE);
  if (HWND parent = GetParentHwnd()) ::PostMessageW(parent, kCityChangedMsg, 0, 0);
  ShowView(kToday);
}

void CDialogWeather::OnOKClick(void* self) { static_cast<CDialogWeather*>(self)->SaveCity(); }
void CDialogWeather::OnCancelClick(void* self) {
  auto* panel = static_cast<CDialogWeather*>(self);
  panel->CloseChooser();
  panel->ShowView(kToday);
}
void CDialogWeather::OnSettingsClick(void* self) { static_cast<CDialogWeather*>(self)->ShowView(kCitySetting); }
void CDialogWeather::OnSevenDaysClick(void* self) { static_cast<CDialogWeather*>(self)->ShowView(kSevenDays); }
void CDialogWeather::OnBackClick(void* self) { static_cast<CDialogWeather*>(self)->ShowView(kToday); }

// ---- closing and hover ----
void CDialogWeather::OnTimer(UINT_PTR id) {
  if (id == kCloseTimer) {
    POINT pt;
    RECT wr;
    ::GetCursorPos(&pt);
    ::GetWindowRect(m_hWnd, &wr);
    if (!::PtInRect(&wr, pt)) {
      ::KillTimer(m_hWnd, kCloseTimer);
      if (HWND parent = GetParentHwnd()) ::PostMessageW(parent, kClosePanelMsg, 0, 0);
    }
  }
  CVxDialogBase::OnTimer(id);
}

void CDialogWeather::OnMouseMove(UINT nFlags, POINT pt) {
  CVxDialogBase::OnMouseMove(nFlags, pt);
  const int cell = PanelCellAt(m_view, pt.x, pt.y);
  bool changed = false;
  for (int i = 0; i < 7; ++i) {
    const int want = i == cell ? 1 : 0;
    if (m_hover[i] != want) {
      m_hover[i] = want;
      changed = true;
    }
  }
  if (changed) UpdateView();
}

void CDialogWeather::OnMouseLeave() {
  CVxDialogBase::OnMouseLeave();
  bool changed = false;
  for (int& h : m_hover) changed |= h != 0, h = 0;
  if (changed) UpdateView();
  ::SetTimer(m_hWnd, kCloseTimer, kLeaveCloseMs, nullptr);
}

void CDialogWeather::OnActivate(UINT nState, HWND hOther, BOOL bMinimized) {
  CVxDialogBase::OnActivate(nState, hOther, bMinimized);
  // The chooser and its drop-down lists take the activation while the user picks: not a leave.
  bool toOwnWindow = false;
  for (HWND h = hOther; h && !toOwnWindow; h = ::GetWindow(h, GW_OWNER)) toOwnWindow = h == m_hWnd;
  if (nState == WA_INACTIVE && !toOwnWindow) ::SetTimer(m_hWnd, kCloseTimer, kDeactivateCloseMs, nullptr);
}

BOOL CDialogWeather::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg == WM_MOUSEACTIVATE && m_view != kCitySetting) {
    *result = MA_NOACTIVATE;
    return TRUE;
  }
  return CVxDialogBase::OnMessage(msg, wParam, lParam, result);
}

void CDialogWeather::OnDestroy() {
  ::KillTimer(m_hWnd, kCloseTimer);
  CloseChooser();
  CVxDialogBase::OnDestroy();
  m_pictures.clear();
}

// ---- drawing ----
Gdiplus::Image* CDialogWeather::Picture(const std::wstring& relativePath) {
  auto it = m_pictures.find(relativePath);
  if (it == m_pictures.end())
    it = m_pictures.emplace(relativePath, std::unique_ptr<Gdiplus::Image>(VxLoadImageFile(SkinPath(relativePath).c_str()))).first;
  return VxImageUsable(it->second.get()) ? it->second.get() : nullptr;
}

void CDialogWeather::DrawIcon(Gdiplus::Graphics& g, int weather, float x, float y, float size) {
  const std::wstring file = WeatherIconFile(weather, false);
  if (file.empty()) return;
  if (Gdiplus::Image* icon = Picture(L"weather\\" + file))
    g.DrawImage(icon, Gdiplus::RectF(x, y, size, size));
}

void CDialogWeather::DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) {
  CVxDialogBase::DrawSurface(hdc, cx, cy, buffered);  // background and buttons
  VxSurfaceGraphics g = CreateSurfaceGraphics(hdc);
  g->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
  g->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  if (!m_fonts) m_fonts = std::make_unique<Fonts>();
  DrawHover(*g);
  switch (m_view) {
    case kNoData: DrawNoData(*g, cx); break;
    case kToday: DrawToday(*g); break;
    case kSevenDays: DrawSevenDays(*g); break;
    default: break;
  }
}

void CDialogWeather::DrawHover(Gdiplus::Graphics& g) {
  Gdiplus::Image* picture = nullptr;
  if (m_view == kToday) picture = Picture(L"weatherback\\hover.png");
  if (m_view == kSevenDays) picture = Picture(L"weatherback\\hover1.png");
  if (!picture) return;
  for (int i = 0; i < PanelCellCount(m_view); ++i) {
    if (!m_hover[i]) continue;
    const CellRect r = PanelCell(m_view, i);
    g.DrawImage(picture, Gdiplus::Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
  }
}

void CDialogWeather::DrawNoData(Gdiplus::Graphics& g, int width) {
  Fonts& f = *m_fonts;
  Gdiplus::SolidBrush white(kWhite), yellow(kYellow);
  const float w = static_cast<float>(width);
  g.DrawString(L"无法正常获取天气信息", -1, f.text.get(), Gdiplus::RectF(0, 40, w, 20), &f.centred, &white);
  const Gdiplus::SizeF a = VxItemBase::GetTextBounds(*f.text, L"请检查您的");
  const Gdiplus::SizeF b = VxItemBase::GetTextBounds(*f.text, L"网络设置");
  const float x = (w - a.Width - b.Width - 4) / 2;
  g.DrawString(L"请检查您的", -1, f.text.get(), Gdiplus::PointF(x, 66), &white);
  g.DrawString(L"网络设置", -1, f.text.get(), Gdiplus::PointF(x + a.Width + 4, 66), &yellow);
}

void CDialogWeather::DrawToday(Gdiplus::Graphics& g) {
  const WeatherGlobals& w = TheApp().weather;
  Fonts& f = *m_fonts;
  Gdiplus::SolidBrush white(kWhite), yellow(kYellow), dim(kDim);
  // Today's block: the left 160 pixels.
  const std::wstring city = CityLine(w.city, w.city2);
  g.DrawString(city.c_str(), -1, f.text.get(), Gdiplus::RectF(10, 20, 150, 20), &f.left, &white);
  DrawIcon(g, w.weatherCode, 14, 50, 56);
  const std::wstring temp = std::to_wstring(w.temperature) + L"℃";
  g.DrawString(temp.c_str(), -1, f.big.get(), Gdiplus::RectF(60, 46, 110, 60), &f.centred, &white);
  const std::wstring line = WeatherWindLine(w.weatherCode, w.windDirection, w.windPower);
  if (!line.empty())
    g.DrawString(line.c_str(), -1, f.small.get(), Gdiplus::RectF(0, 118, 170, 18), &f.centred, &white);
  const std::wstring humidity = HumidityText(w.humidity);
  g.DrawString(humidity.c_str(), -1, f.small.get(), Gdiplus::RectF(0, 140, 170, 18), &f.centred, &white);
  if (w.pollutionIndex >= 0 && w.pollutionIndex < 6) {
    const std::wstring word = PollutionText(w.pollutionIndex);
    const Gdiplus::SizeF a = VxItemBase::GetTextBounds(*f.small, L"空气污染扩散：");
    const Gdiplus::SizeF b = VxItemBase::GetTextBounds(*f.small, word.c_str());
    const float x = (160 - a.Width - b.Width - 2) / 2 + 5;
    g.DrawString(L"空气污染扩散：", -1, f.small.get(), Gdiplus::PointF(x, 162), &white);
    g.DrawString(word.c_str(), -1, f.small.get(), Gdiplus::PointF(x + a.Width + 2, 162), &yellow);
  }
  // The three day columns.
  for (int c = 0; c < 3; ++c) {
    const CellRect r = PanelCell(kToday, c);
    const WeatherDay& d = w.days[c];
    const float x = static_cast<float>(r.left), cw = static_cast<float>(r.right - r.left);
    const std::wstring title = DayTitle(c, WeekdayName(d.weekday));
    g.DrawString(title.c_str(), -1, f.small.get(), Gdiplus::RectF(x, 52, cw, 18), &f.centred, &white);
    const DayShown s = ShownDay(d);
    if (s.hasWeather) {
      DrawIcon(g, s.weather, x + (cw - 48) / 2, 76, 48);
      const std::wstring name = WeatherName(s.weather) ? WeatherName(s.weather) : L"";
      g.DrawString(name.c_str(), -1, f.small.get(), Gdiplus::RectF(x, 130, cw, 18), &f.centred, &white);
    }
    g.DrawString(s.temperatures.c_str(), -1, f.small.get(), Gdiplus::RectF(x, 152, cw, 18), &f.centred, &yellow);
    g.DrawString(s.wind.c_str(), -1, f.small.get(), Gdiplus::RectF(x, 174, cw, 18), &f.centred, &dim);
  }
}

void CDialogWeather::DrawSevenDays(Gdiplus::Graphics& g) {
  const WeatherGlobals& w = TheApp().weather;
  Fonts& f = *m_fonts;
  Gdiplus::SolidBrush white(kWhite), yellow(kYellow), dim(kDim);
  // The background carries the view's title in the middle; the place goes to the right.
  const std::wstring city = CityLine(w.city, w.city2);
  Gdiplus::StringFormat right;
  right.SetAlignment(Gdiplus::StringAlignmentFar);
  right.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
  g.DrawString(city.c_str(), -1, f.small.get(), Gdiplus::RectF(330, 21, 136, 20), &right, &dim);
  for (int row = 0; row < 7; ++row) {
    const CellRect r = PanelCell(kSevenDays, row);
    const WeatherDay& d = w.days[row];
    const float y = static_cast<float>(r.top) + 7;
    const std::wstring date = MonthDayText(d.month, d.day);
    g.DrawString(date.c_str(), -1, f.small.get(), Gdiplus::PointF(16, y), &white);
    const std::wstring weekday = WeekdayName(d.weekday);
    g.DrawString(weekday.c_str(), -1, f.small.get(), Gdiplus::PointF(84, y), &white);
    const DayShown s = ShownDay(d);
    if (s.hasWeather) {
      DrawIcon(g, s.weather, 144, static_cast<float>(r.top) + 2, 27);
      const std::wstring name = WeatherName(s.weather) ? WeatherName(s.weather) : L"";
      g.DrawString(name.c_str(), -1, f.small.get(), Gdiplus::PointF(178, y), &white);
    }
    g.DrawString(s.temperatures.c_str(), -1, f.small.get(), Gdiplus::PointF(290, y), &yellow);
    g.DrawString(s.wind.c_str(), -1, f.small.get(), Gdiplus::PointF(380, y), &dim);
  }
}
