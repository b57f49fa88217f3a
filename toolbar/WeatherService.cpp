#include "toolbar/WeatherService.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "toolbar/HttpWeather.h"
#include "uilib/VxRaii.h"
#include "uilib/VxServices.h"

namespace {

constexpr WORD kCityResourceId = 137;
constexpr DWORD kRetryMs = 1000;
// How long Shutdown waits for a worker still inside a network call before leaving it behind.
constexpr DWORD kShutdownWaitMs = 500;

}  // namespace

std::wstring GbkToWide(const char* bytes, size_t size) {
  // The resource is GBK whatever the system's ANSI code page is.
  constexpr UINT kGbk = 936;
  if (size == 0 || size > 0x7FFFFFFF) return std::wstring();
  const int n = ::MultiByteToWideChar(kGbk, 0, bytes, static_cast<int>(size), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(kGbk, 0, bytes, static_cast<int>(size), &out[0], n);
  return out;
}

// The user's place as an update works with it. The worker never touches TheApp()'s strings
// nor config.ini: the UI thread reads and writes them, and two threads saving config.ini at
// once would race on its temporary file.
struct WeatherPlace {
  std::wstring ipQueryUrl, province, city, city2;
  bool operator==(const WeatherPlace& o) const {
    return province == o.province && city == o.city && city2 == o.city2;
  }
};

namespace {

WeatherPlace PlaceOfApp() {
  const WeatherGlobals& w = TheApp().weather;
  return WeatherPlace{w.ipQueryUrl, w.province, w.city, w.city2};
}

}  // namespace

struct CWeatherService::Shared {
  explicit Shared(std::wstring base) : weatherBase(std::move(base)) {}

  const std::wstring weatherBase;
  std::mutex weatherLock;            // one update at a time; the UI thread never takes it
  std::atomic<bool> stopping{false};
  VxKernelHandle stopEvent{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::atomic<int> waiting{0};       // updates started that do not hold the lock yet
  std::once_flag citiesOnce;
  CParseJson parser{GbkToWide};
  std::mutex threadsLock;
  std::vector<HANDLE> threads;
  // The place handed to the next update, and what the last update found, for the UI thread.
  std::mutex placeLock;
  WeatherPlace requested;
  WeatherPlace found;
  WeatherPlace foundFrom;  // the place that update started from
  std::wstring weatherCity;
  bool placeFound = false;
  bool cityPending = false;

  void Request(const WeatherPlace& place) {
    std::lock_guard<std::mutex> lock(placeLock);
    requested = place;
  }
  WeatherPlace Requested() {
    std::lock_guard<std::mutex> lock(placeLock);
    return requested;
  }

  // True when the update should end at once: the program is closing.
  bool Pause(DWORD ms) { return ::WaitForSingleObject(stopEvent.Get(), ms) == WAIT_OBJECT_0 || stopping; }

  void LoadCities() {
    std::call_once(citiesOnce, [this] {
      const HMODULE module = ::GetModuleHandleW(nullptr);
      HRSRC res = ::FindResourceExW(module, L"CITY", MAKEINTRESOURCEW(kCityResourceId),
                                    MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
      const HGLOBAL data = res ? ::LoadResource(module, res) : nullptr;
      const void* bytes = data ? ::LockResource(data) : nullptr;
      if (bytes) parser.LoadCityList(static_cast<const char*>(bytes), ::SizeofResource(module, res));
    });
  }

  void Update(HWND toolbar);
  bool FindPlace(WeatherPlace& w);
  std::wstring FetchWeather(const std::wstring& url, bool& cut);
};

// Steps 3 and 4: the IP-location answer, then the defaults. True when the place is known;
// a place found here is handed to the UI thread, which stores and saves it.
bool CWeatherService::Shared::FindPlace(WeatherPlace& w) {
  const WeatherPlace from = w;
  bool matched = false;
  if ((w.province.empty() || w.city.empty()) && !w.ipQueryUrl.empty()) {
    CHttpWeather http;
    const std::wstring answer = http.HttpGet(w.ipQueryUrl);
    std::wstring province, city;
    // A cut answer may end inside a name; the province and title set come from the list.
    if (!http.BodyCut() && parser.MatchLocation(answer, province, city)) {
      w.province = province;
      w.city = city;
      w.city2 = city;
      matched = true;
    }
  }
  if (stopping) return false;
  if (w.province.empty() || w.city.empty()) {
    w.city = L"宁波";
    w.city2 = L"宁波";
    w.province = L"浙江省";
    matched = true;
  }
  if (matched) {
    std::lock_guard<std::mutex> lock(placeLock);
    found = w;
    foundFrom = from;
    placeFound = true;
  }
  return true;
}

// Step 7: fetches until an answer arrives. Ends early (empty) when the program closes or
// another update waits for the lock: that one reads the newest settings and retries itself.
std::wstring CWeatherService::Shared::FetchWeather(const std::wstring& url, bool& cut) {
  for (;;) {
    CHttpWeather http;
    const std::wstring answer = http.HttpGet(url);
    cut = http.BodyCut();
    if (!answer.empty() || stopping) return answer;
    if (Pause(kRetryMs) || waiting > 0) return std::wstring();
  }
}

void CWeatherService::Shared::Update(HWND toolbar) {
  if (!::IsWindow(toolbar) || stopping) {
    --waiting;
    return;
  }
  std::lock_guard<std::mutex> lock(weatherLock);
  --waiting;
  if (stopping) return;
  LoadCities();
  WeatherGlobals& w = TheApp().weather;
  WeatherPlace place = Requested();
  const bool known = FindPlace(place);
  bool tell = false;
  {
    std::lock_guard<std::mutex> lock(placeLock);
    tell = placeFound;
    if (known && !parser.FindCityCode(place.city2).empty() && weatherCity != place.city2) {
      weatherCity = place.city2;
      cityPending = tell = true;
    }
  }
  if (tell && !stopping) ::PostMessageW(toolbar, kWeatherPlaceMsg, 0, 0);
  if (!known) return;
  const std::wstring code = parser.FindCityCode(place.city2);
  if (code.empty()) return;
  bool cut = false;
  const std::wstring answer = FetchWeather(weatherBase + L"/city/" + code + L".js?ref=qqchannel", cut);
  if (answer.empty() || stopping) return;
  // A cut or unreadable answer is no data: the weather on show stays rather than turning into
  // zeros.
  if (cut || !parser.ParseWeather(answer)) return;
  auto value = [this](const char* key) { return ParseDecimal(parser.GetValue(key)); };
  bool changed = false;
  w.humidity = value("sk_hd");
  const int pressure = value("sk_ps");
  if (pressure != w.pressureValue) {
    w.pressureValue = pressure;
    changed = true;
  }
  w.temperature = value("sk_tp");
  w.windDirection = value("sk_wd");
  w.windPower = value("sk_wp");
  w.pollutionIndex = value("zs_kqwr");
  const int weather = value("sk_wt");
  if (weather != w.weatherCode) {
    w.weatherCode = weather;
    changed = true;
  }
  for (int d = 0; d < 7; ++d) parser.GetDayForecast(d, w.days[d]);
  if (changed && !stopping) ::PostMessageW(toolbar, kWeatherChangedMsg, 0, 0);
}

namespace {

struct ThreadStart {
  std::shared_ptr<CWeatherService::Shared> shared;
  HWND toolbar;
};

DWORD WINAPI WeatherThread(void* param) {
  // The thread owns its share of the state: Shutdown may leave it behind in a network call.
  std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(param));
  try {
    start->shared->Update(start->toolbar);
  } catch (...) {
    // Out of memory in a string: the update is lost, the next one tries again.
  }
  return 0;
}

}  // namespace

CWeatherService::CWeatherService(std::wstring weatherBase)
    : shared_(std::make_shared<Shared>(std::move(weatherBase))) {}

CWeatherService::~CWeatherService() { Shutdown(); }

void CWeatherService::StartUpdate(HWND toolbar) {
  Shared& s = *shared_;
  if (s.stopping) return;
  s.Request(PlaceOfApp());
  std::lock_guard<std::mutex> lock(s.threadsLock);
  // Finished threads are let go here, so the list stays short over a long session.
  for (auto it = s.threads.begin(); it != s.threads.end();) {
    if (::WaitForSingleObject(*it, 0) == WAIT_OBJECT_0) {
      ::CloseHandle(*it);
      it = s.threads.erase(it);
    } else {
      ++it;
    }
  }
  if (s.waiting > 0) return;  // one is already waiting for its turn
  ++s.waiting;
  auto* start = new ThreadStart{shared_, toolbar};
  const HANDLE thread = ::CreateThread(nullptr, 0, WeatherThread, start, 0, nullptr);
  if (!thread) {
    --s.waiting;
    delete start;
    return;
  }
  s.threads.push_back(thread);
}

void CWeatherService::Shutdown() {
  Shared& s = *shared_;
  s.stopping = true;
  ::SetEvent(s.stopEvent.Get());
  std::lock_guard<std::mutex> lock(s.threadsLock);
  const DWORD until = ::GetTickCount() + kShutdownWaitMs;
  for (HANDLE thread : s.threads) {
    const DWORD now = ::GetTickCount();
    ::WaitForSingleObject(thread, static_cast<int>(until - now) > 0 ? until - now : 0);
    ::CloseHandle(thread);
  }
  s.threads.clear();
}

bool CWeatherService::ApplyFoundPlace() {
  Shared& s = *shared_;
  WeatherGlobals& w = TheApp().weather;
  bool save = false, wrote = false;
  {
    std::lock_guard<std::mutex> lock(s.placeLock);
    // The user may have chosen a city while the worker looked the place up: theirs wins.
    if (s.placeFound && PlaceOfApp() == s.foundFrom && !(PlaceOfApp() == s.found)) {
      w.province = s.found.province;
      w.city = s.found.city;
      w.city2 = s.found.city2;
      save = wrote = true;
    }
    s.placeFound = false;
    if (s.cityPending) {
      w.weatherCity = s.weatherCity;
      s.cityPending = false;
      wrote = true;
    }
  }
  if (save) LoadOrSaveConfig(FALSE);
  return wrote;
}

CParseJson& CWeatherService::Cities() {
  shared_->LoadCities();
  return shared_->parser;
}

void CWeatherService::WeatherThreadProc(HWND toolbar) {
  shared_->Request(PlaceOfApp());
  ++shared_->waiting;
  shared_->Update(toolbar);
}
