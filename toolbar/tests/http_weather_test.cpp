// The toolbar's HTTP client against the stand-in services on loopback (vx_services fixture).
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <string>

#include "toolbar/HttpWeather.h"
#include "uilib/VxServices.h"

namespace {

std::wstring Base() {
  wchar_t path[MAX_PATH];
  std::wstring p(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  return VxServiceBaseFrom(p.substr(0, p.find_last_of(L'\\')) + L"\\..\\svc-test\\services.ini",
                           L"weather");
}

// What the services' /test/body/<n> and /test/gzip/<kind> answers hold.
std::wstring BodyBytes(size_t n) {
  std::wstring s(n, L'\0');
  for (size_t i = 0; i < n; ++i) s[i] = wchar_t(L'a' + i % 26);
  return s;
}
std::wstring GzipText() {
  std::wstring text;
  for (int i = 0; i < 300; ++i) text += L"gzip line " + std::to_wstring(i) + L"\n";
  return text;
}

const wchar_t kNotFound[] = L"没有找到网页 [Not Found]";

}  // namespace

TEST(HttpWeather, StatusesEndTheFetchWithTheirTexts) {
  const std::wstring base = Base();
  ASSERT_NE(base.find(L"127.0.0.1"), std::wstring::npos) << "services.ini not written";
  CHttpWeather http;
  EXPECT_EQ(http.HttpGet(base + L"/test/status/204"), L"");
  EXPECT_EQ(http.m_strError, L"");
  EXPECT_EQ(http.HttpGet(base + L"/test/status/404"), L"");
  EXPECT_EQ(http.m_strError, kNotFound);
  // Not followed (its target would answer ten letters) and without a text of its own.
  EXPECT_EQ(http.HttpGet(base + L"/test/status/302"), L"");
  EXPECT_EQ(http.m_strError, kNotFound);
  EXPECT_EQ(http.HttpGet(base + L"/test/status/503"), L"");
  EXPECT_EQ(http.m_strError, L"没有找到服务器 [Service Unavailable]");
  for (const wchar_t* url : {L"https://127.0.0.1/city/1.js", L"ftp://127.0.0.1/x", L"no url"}) {
    http.m_strError.clear();
    EXPECT_EQ(http.HttpGet(url), L"");
    EXPECT_EQ(http.m_strError, L"非法的URL") << url;
  }
  http.m_strError.clear();
  EXPECT_EQ(http.HttpGet(L"http://127.0.0.1:1/"), L"");
  EXPECT_FALSE(http.m_strError.empty());
  EXPECT_EQ(http.SystemError(), DWORD(ERROR_INTERNET_CANNOT_CONNECT));
}

TEST(HttpWeather, BodiesAreCappedDecodedAndConverted) {
  const std::wstring base = Base();
  CHttpWeather http;
  EXPECT_EQ(http.HttpGet(base + L"/test/body/8192"), BodyBytes(8192));
  EXPECT_FALSE(http.BodyCut());
  for (const wchar_t* size : {L"8193", L"9000"}) {
    const std::wstring body = http.HttpGet(base + L"/test/body/" + size);
    EXPECT_TRUE(http.BodyCut()) << size;
    EXPECT_LE(body.size(), 8192u) << size;
    EXPECT_EQ(body, BodyBytes(body.size())) << size;
  }
  // Sent in pieces the way a slow network delivers them: the cut falls on a piece boundary.
  EXPECT_EQ(http.HttpGet(base + L"/test/pieces/4096x4096x1"), BodyBytes(8192))
      << "system error " << http.SystemError();
  EXPECT_TRUE(http.BodyCut());
  EXPECT_EQ(http.HttpGet(base + L"/test/pieces/4096x3000x1904"), BodyBytes(7096))
      << "system error " << http.SystemError();
  EXPECT_TRUE(http.BodyCut());
  EXPECT_EQ(http.HttpGet(base + L"/test/slow/1500"), L"slow answer\n");
  EXPECT_FALSE(http.BodyCut());
  for (const wchar_t* kind : {L"one", L"two", L"badcrc"}) {
    EXPECT_EQ(http.HttpGet(base + L"/test/gzip/" + kind), GzipText()) << kind;
    EXPECT_FALSE(http.BodyCut());
  }
  EXPECT_EQ(http.HttpGet(base + L"/test/nul/x"), L"before the NUL");
  EXPECT_EQ(http.m_strResult, L"before the NUL");
  // The IP-location answer is GBK; code page 936 makes it text.
  EXPECT_NE(http.HttpGet(base + L"/ipquery").find(L"宁波"), std::wstring::npos);
  EXPECT_EQ(http.m_strError, L"");
  EXPECT_EQ(http.SystemError(), 0u);
}
