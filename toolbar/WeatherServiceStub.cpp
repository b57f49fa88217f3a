// Stands in for the weather worker until it lands: no updates, an empty city list.
#include "toolbar/WeatherService.h"

struct CWeatherService::Shared {
  CParseJson cities{[](const char*, size_t) { return std::wstring(); }};
};

CWeatherService::CWeatherService() : shared_(std::make_shared<Shared>()) {}
CWeatherService::~CWeatherService() { Shutdown(); }
void CWeatherService::StartUpdate(HWND) {}
void CWeatherService::Shutdown() {}
CParseJson& CWeatherService::Cities() { return shared_->cities; }
void CWeatherService::WeatherThreadProc(HWND) {}
std::wstring GbkToWide(const char*, size_t) { return std::wstring(); }
