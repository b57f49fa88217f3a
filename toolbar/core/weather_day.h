#pragma once
// One day of the forecast as the weather worker fills it and the toolbar and panel draw it.

// Index 0 is today. Fields no forecast period sets keep their last values between updates.
struct WeatherDay {
  int month = 0;
  int day = 0;
  int weekday = 0;  // 1 = Sunday ... 7 = Saturday
  int firstHour = 8;  // hour of today's first forecast period, the same in all seven days
  int lowTemp = -9999;
  int highTemp = -9999;
  int dayWeather = 10000;  // 10000: no weather for that half of the day
  int nightWeather = 10000;
  int dayWindDirection = 0;
  int dayWindPower = 0;
  int nightWindDirection = 0;
  int nightWindPower = 0;
};
