// The committed city list, loaded once per test program.
#pragma once
#include <stdexcept>

#include "citylist.h"

namespace vx::svc::test {

inline const CityList& Cities() {
  static const CityList list = [] {
    std::string error;
    auto l = CityList::Load(VX_CITY_JSON, &error);
    if (!l) throw std::runtime_error(error);
    return std::move(*l);
  }();
  return list;
}

}  // namespace vx::svc::test
