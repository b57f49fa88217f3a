#include "toolbar/WeatherSet.h"

#include "base/AppGlobals.h"
#include "toolbar/core/city_list.h"
#include "toolbar/core/weather_tables.h"
#include "toolbar/toolbar_rc.h"

namespace {

constexpr COLORREF kColorKey = RGB(0xFF, 0x80, 0xFF);  // shows through: only the lists remain

std::wstring ComboText(HWND combo) {
  const LRESULT sel = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (sel == CB_ERR) return L"";
  const LRESULT len = ::SendMessageW(combo, CB_GETLBTEXTLEN, sel, 0);
  if (len == CB_ERR || len <= 0) return L"";
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  ::SendMessageW(combo, CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(wcslen(text.c_str()));
  return text;
}

// Fills a list and selects the first item beginning with `prefix` (else the first item).
void FillCombo(HWND combo, const std::vector<std::wstring>& items, const std::wstring& prefix) {
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : items)
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (!items.empty())
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(FirstStartingWith(items, prefix)), 0);
}

}  // namespace

CWeatherSet::CWeatherSet() : CVxDialogBase(IDD_WEATHER_SET) {}
CWeatherSet::~CWeatherSet() = default;

std::wstring CWeatherSet::Province() const { return ComboText(ProvinceList()); }
std::wstring CWeatherSet::City() const { return ComboText(CityList()); }
std::wstring CWeatherSet::District() const { return ComboText(DistrictList()); }

BOOL CWeatherSet::OnInitDialog() {
  CVxDialogBase::OnInitDialog();
  Set_COLORKEYDlg(kColorKey);
  SetNoMove(TRUE);
  const AppGlobals& g = TheApp();
  m_chosenCity = g.weather.city;
  m_chosenDistrict = g.weather.city2;
  FillCombo(ProvinceList(), ChooserProvinces(), g.weather.province);
  FillCities();
  return TRUE;
}

void CWeatherSet::OnSize(UINT, int cx, int cy) {
  // Three lists side by side across the window, 6 pixels apart.
  const int gap = 6, w = (cx - 2 * gap) / 3;
  const int ids[] = {1002, 1003, 1004};
  for (int i = 0; i < 3; ++i)
    if (HWND combo = Combo(ids[i]))
      ::SetWindowPos(combo, nullptr, i * (w + gap), (cy - 24) / 2, w, 240, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWeatherSet::FillCities() {
  m_cityRecords.clear();
  std::vector<std::wstring> titles;
  if (m_cities) {
    m_cityRecords = CitiesOfProvince(m_cities->Cities(), Province());
    for (size_t i : m_cityRecords) titles.emplace_back(m_cities->Cities()[i].title);
  }
  FillCombo(CityList(), titles, m_chosenCity);
  FillDistricts();
}

void CWeatherSet::FillDistricts() {
  std::vector<std::wstring> titles;
  const LRESULT sel = ::SendMessageW(CityList(), CB_GETCURSEL, 0, 0);
  if (m_cities && sel != CB_ERR && static_cast<size_t>(sel) < m_cityRecords.size()) {
    for (size_t i : DistrictsOfCity(m_cities->Cities(), m_cityRecords[static_cast<size_t>(sel)]))
      titles.emplace_back(m_cities->Cities()[i].title);
  }
  FillCombo(DistrictList(), titles, m_chosenDistrict);
}

BOOL CWeatherSet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == CBN_SELCHANGE) {
    switch (LOWORD(wParam)) {
      case IDC_WEATHER_PROVINCE:
        FillCities();
        return TRUE;
      case IDC_WEATHER_CITY:
        m_chosenCity = City();
        FillDistricts();
        return TRUE;
      default: break;
    }
  }
  return CVxDialogBase::OnCommand(wParam, lParam);
}
