#pragma once
// The strip across the top of the work area: date, weather, the three page buttons, the
// wallpaper button and organize / restore. It can hide itself up to a 2-row strip, opens the
// weather panel when the mouse rests on the weather and paces the weather service.
#include <memory>
#include <string>

#include "toolbar/DialogWeather.h"
#include "toolbar/ToolbarOwner.h"
#include "uilib/VxDialogBase.h"

class CWeatherService;

// Private messages of the toolbar.
constexpr UINT WM_TOOLBAR_CLOSE_PANEL = 1125;      // the panel asks to be closed
constexpr UINT WM_TOOLBAR_UPDATE_WEATHER = 1126;  // the city changed: fetch its weather

class CYRTopToolBar : public CVxDialogBase {
 public:
  enum Timer : UINT_PTR { kDateTimer = 1001, kSlideTimer = 1002, kWeatherTimer = 1003, kHoverTimer = 1004 };
  enum Button { kDesk, kNavigation, kRecommended, kWallpaper, kOrganize, kRestore, kButtonCount };

  explicit CYRTopToolBar(CToolbarOwner* owner);
  ~CYRTopToolBar() override;

  // The weather data service's address, when not the one of services.ini; before Create.
  void SetWeatherAddress(const std::wstring& base) { m_weatherAddress = base; }
  // Places the strip and its buttons on the current work area.
  void Relayout();
  // Organize (the desk page over the desktop) and restore (the plain desktop).
  void DeskViewOn();
  void DeskViewOff();
  // Back to just above the main window after the main window came forward: Wine raises an
  // owner without its owned windows.
  void StayAboveOwner();
  // The page buttons' look for a page: `active` is kDesk, kNavigation or kRecommended.
  void SetActivePageButton(int active);

  // State, for the program's tests and benchmarks.
  int VisibleHeight() const { return m_visibleHeight; }
  const std::wstring& DateText() const { return m_dateText; }
  bool IsPanelOpen() const { return m_panel.GetSafeHwnd() != nullptr; }
  CDialogWeather& Panel() { return m_panel; }
  VxButton& ButtonAt(int which) { return m_buttons[which]; }
  CWeatherService* Weather() const { return m_weather.get(); }
  // Opens the weather panel under the weather (what resting the mouse there does).
  void OpenPanel();
  // Timer bodies, callable directly.
  void RefreshDate();
  void SlideOneStep();

 protected:
  BOOL OnInitDialog() override;
  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;
  void OnTimer(UINT_PTR id) override;
  void OnDestroy() override;
  void OnMouseMove(UINT nFlags, POINT pt) override;
  void OnMouseLeave() override;
  void OnRButtonUp(UINT nFlags, POINT pt) override;
  void OnActivate(UINT nState, HWND hOther, BOOL bMinimized) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  struct Strip;  // the cached drawing surfaces and fonts

  void LoadButtons();
  void ApplyOrganizeVisibility();
  bool ViewOn() const;
  void StartSlide();
  void ToggleAutoHide();
  void ShowMenu();
  void ClosePanelOnRequest();
  void StartWeatherUpdate();
  void ShowNavigationPage(int button, int pageType);
  void ComposeStrip(int width);
  void DrawWeather(Gdiplus::Graphics& g);
  Gdiplus::Image* WeatherIcon();
  static void OnDeskClick(void* self);
  static void OnNavigationClick(void* self);
  static void OnRecommendedClick(void* self);
  static void OnWallpaperClick(void* self);
  static void OnOrganizeClick(void* self);
  static void OnRestoreClick(void* self);

  CToolbarOwner* m_owner;
  std::unique_ptr<Gdiplus::Image> m_headerImage;
  std::unique_ptr<Gdiplus::Image> m_tabImage;
  CDialogWeather m_panel;
  int m_hoverArmed = 0;
  VxButton m_buttons[kButtonCount];
  bool m_buttonLoaded[kButtonCount] = {};
  int m_visibleHeight = 27;
  int m_showRequest = 0;
  std::unique_ptr<Strip> m_strip;
  std::wstring m_dateText;
  std::wstring m_weatherAddress;
  std::unique_ptr<CWeatherService> m_weather;
};
