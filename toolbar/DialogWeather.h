#pragma once
// The drop-down weather panel under the toolbar's weather: today with the next two days, the
// seven-day list, or the city chooser; "no data" until the first answer arrived.
#include <map>
#include <memory>
#include <string>

#include "toolbar/WeatherSet.h"
#include "uilib/VxDialogBase.h"

class CWeatherService;

class CDialogWeather : public CVxDialogBase {
 public:
  enum View { kNoData = 0, kToday = 1, kSevenDays = 2, kCitySetting = 3 };
  enum Button { kOK, kCancel, kSettings, kSevenDaysButton, kBack, kButtonCount };
  static constexpr UINT_PTR kCloseTimer = 1000;

  CDialogWeather();
  ~CDialogWeather() override;

  // Screen position, set by the toolbar before the window is made.
  void SetPlace(int left, int top) {
    m_left = left;
    m_top = top;
  }
  void SetWeatherService(CWeatherService* weather) { m_weather = weather; }
  void ShowView(int view);
  int GetView() const { return m_view; }
  bool IsChooserOpen() const { return m_chooser.GetSafeHwnd() != nullptr; }
  CWeatherSet& Chooser() { return m_chooser; }
  VxButton& ButtonAt(int which) { return m_buttons[which]; }
  // The city chooser's OK: stores the chosen place, saves and asks for its weather.
  void SaveCity();
  // The weather changed: a shown no-data view turns into today's.
  void WeatherChanged();

 protected:
  BOOL OnInitDialog() override;
  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;
  void OnTimer(UINT_PTR id) override;
  void OnMouseMove(UINT nFlags, POINT pt) override;
  void OnMouseLeave() override;
  void OnActivate(UINT nState, HWND hOther, BOOL bMinimized) override;
  void OnDestroy() override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  struct Fonts;

  void CreateButtons();
  void OpenChooser();
  void CloseChooser();
  void DrawNoData(Gdiplus::Graphics& g, int width);
  void DrawToday(Gdiplus::Graphics& g);
  void DrawSevenDays(Gdiplus::Graphics& g);
  void DrawHover(Gdiplus::Graphics& g);
  Gdiplus::Image* Picture(const std::wstring& relativePath);
  void DrawIcon(Gdiplus::Graphics& g, int weather, float x, float y, float size);
  static void OnOKClick(void* self);
  static void OnCancelClick(void* self);
  static void OnSettingsClick(void* self);
  static void OnSevenDaysClick(void* self);
  static void OnBackClick(void* self);

  int m_view = kToday;
  int m_left = 50, m_top = 27;
  CWeatherSet m_chooser;
  VxButton m_buttons[kButtonCount];
  int m_hover[7] = {};
  CWeatherService* m_weather = nullptr;
  std::unique_ptr<Fonts> m_fonts;
  // Pictures under rs\ by relative path, loaded once each.
  std::map<std::wstring, std::unique_ptr<Gdiplus::Image>> m_pictures;
};
