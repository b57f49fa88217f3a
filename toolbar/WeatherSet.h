#pragma once
// The city chooser inside the weather panel: province, city and district drop-down lists
// filled from the weather service's city list. Colour-keyed: only the lists show.
#include <string>
#include <vector>

#include "uilib/VxDialogBase.h"

class CParseJson;

class CWeatherSet : public CVxDialogBase {
 public:
  CWeatherSet();
  ~CWeatherSet() override;

  // The city list the lists are filled from; set before the window is made.
  void SetCityList(CParseJson* cities) { m_cities = cities; }
  // The three lists' current texts (empty while a list has no selection).
  std::wstring Province() const;
  std::wstring City() const;
  std::wstring District() const;
  HWND ProvinceList() const { return Combo(1002); }
  HWND CityList() const { return Combo(1003); }
  HWND DistrictList() const { return Combo(1004); }

 protected:
  BOOL OnInitDialog() override;
  void OnSize(UINT nType, int cx, int cy) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 private:
  HWND Combo(int id) const { return ::GetDlgItem(m_hWnd, id); }
  void FillCities();
  void FillDistricts();

  std::wstring m_chosenCity;
  std::wstring m_chosenDistrict;
  CParseJson* m_cities = nullptr;
  std::vector<size_t> m_cityRecords;  // the city list's records, by city list item
};
