// Web access against the stand-in services on loopback (started by the vx_services fixture).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "uilib/VxBaseFunctions.h"
#include "uilib/VxServices.h"
#include "uilib/VxWebAccess.h"

namespace {

std::wstring ServicesIni() {
  wchar_t path[MAX_PATH];
  std::wstring p(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
  return p.substr(0, p.find_last_of(L'\\')) + L"\\..\\svc-test\\services.ini";
}

std::wstring Service(const wchar_t* key) { return VxServiceBaseFrom(ServicesIni(), key); }

}  // namespace

TEST(WebGet, ReadsWholeBodiesAndReportsStatuses) {
  const std::wstring base = Service(L"home");
  ASSERT_NE(base.find(L"127.0.0.1"), std::wstring::npos) << "services.ini not written";
  VxBaseFunctions web;
  // 3000 bytes take three 1023-byte blocks and arrive whole.
  std::wstring out;
  EXPECT_EQ(web.WebGet(base + L"/test/body/3000", out, VxBaseFunctions::kUtf8), 1u);
  ASSERT_EQ(out.size(), 3000u);
  EXPECT_EQ(out.substr(0, 3), L"abc");
  EXPECT_EQ(out[2999], wchar_t(L'a' + 2999 % 26));
  // The site list is UTF-8 and the toolkit sends it as POST.
  EXPECT_EQ(web.WebGet(base + L"/get.php?name=webadd", out, VxBaseFunctions::kUtf8), 1u);
  EXPECT_NE(out.find(L"\""), std::wstring::npos);
  out = L"unchanged";
  EXPECT_EQ(web.WebGet(base + L"/no-such-page.html", out, VxBaseFunctions::kUtf8), 404u);
  EXPECT_EQ(out, L"unchanged");
  EXPECT_EQ(web.WebGet(L"http://127.0.0.1:1/", out, VxBaseFunctions::kUtf8), kVxWebNoConnection);
  EXPECT_EQ(web.WebGet(L"not a url", out, VxBaseFunctions::kUtf8), kVxWebNoConnection);
  EXPECT_EQ(out, L"unchanged");
  EXPECT_EQ(web.WebPost(base + L"/get.php", L"name=webadd", out), 1u);
  EXPECT_FALSE(out.empty());
}

TEST(Tongji, SignedEventsAreAccepted) {
  const std::wstring stats = Service(L"stats");
  VxBaseFunctions web;
  // The stand-in answers 200 only when the key is the MD5 of the signed text.
  EXPECT_TRUE(web.Tongji(stats, L"webtest", L"7", L"1.0"));
  // A forged key is refused by the same check.
  std::wstring out;
  EXPECT_EQ(web.WebGet(stats + L"?op=a&ri=b&vs=c&mc=&tm=1&key=00000000000000000000000000000000", out, VxBaseFunctions::kAnsi), 403u);
  // The platform's MD5 (RFC 1321 test vector) and the machine identifier's shape.
  EXPECT_EQ(VxMd5Hex(L"abc"), L"900150983cd24fb0d6963f7d28e17f72");
  const std::wstring mc = VxMachineId();
  if (!mc.empty()) {
    EXPECT_EQ(mc.size(), 17u) << mc;
    EXPECT_EQ(mc[2], L'-');
  }
}

TEST(CWebAccess, RecordsTheUsersProxySettings) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER,
                              L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  DWORD old = 0, size = sizeof(old);
  const bool had = ::RegQueryValueExW(key, L"ProxyEnable", nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(&old), &size) == ERROR_SUCCESS;
  DWORD on = 1;
  ::RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&on), sizeof(on));
  const wchar_t server[] = L"proxy.example:8080";
  ::RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server), sizeof(server));
  {
    CWebAccess web;
    EXPECT_TRUE(web.ProxyEnabled());
    EXPECT_EQ(web.ProxyServer(), server);
  }
  ::RegDeleteValueW(key, L"ProxyServer");
  if (had) ::RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<BYTE*>(&old), sizeof(old));
  else ::RegDeleteValueW(key, L"ProxyEnable");
  {
    CWebAccess web;
    EXPECT_EQ(web.ProxyEnabled(), had && old != 0);
  }
  ::RegCloseKey(key);
}
