// The installer against the real payload and the real Wine registry, files and shell links:
// a failed install leaves a usable record, options off and on, the record key by key, the
// uninstaller leaves nothing behind; and the engine refuses what it must, writing nothing.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>
#include <vector>

#include "setup/Extract.h"
#include "setup/InstallSteps.h"

namespace {

using Entries = std::vector<std::pair<std::wstring, std::wstring>>;  // "section/key", value

std::wstring Utf8ToWide(const std::string& s) {
  std::wstring w(s.size(), L'\0');
  w.resize(::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0],
                                 static_cast<int>(w.size())));
  return w;
}

std::wstring ExeDir() {
  wchar_t p[MAX_PATH];
  std::wstring s(p, ::GetModuleFileNameW(nullptr, p, MAX_PATH));
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

// The payload's entries as the build wrote them.
std::vector<std::wstring> PayloadList() {
  std::ifstream in(std::filesystem::path(ExeDir() + L"..\\setup-payload\\files.txt"));
  std::vector<std::wstring> names;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) names.push_back(Utf8ToWide(line));
  return names;
}

bool Exists(const std::wstring& p) { return ::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Folder(const char* name) {
  return std::wstring(L"C:\\vxtest\\") + Utf8ToWide(name) + L"\\vexlo\\";
}

void Wipe(const std::wstring& folder) {
  if (Exists(folder)) DeleteTreeNoFollow(folder.substr(0, folder.size() - 1));
  ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
}

// Every line of the UTF-16 record, in file order, as "section/key" and value.
Entries ReadRecord(const std::wstring& folder) {
  std::ifstream in(std::filesystem::path(folder + kRecordName), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::wstring text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                        (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  Entries out;
  std::wstring section;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] == L'[') { section = line.substr(1, line.size() - 2); continue; }
    const size_t eq = line.find(L'=');
    out.push_back({section + L"/" + line.substr(0, eq), line.substr(eq + 1)});
  }
  return out;
}

std::wstring RunValue() {
  wchar_t buf[1024] = L"";
  DWORD size = sizeof(buf);
  if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kProductTitle, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return L"";
  return buf;
}

bool UninstallKeyExists() {
  HKEY h;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  ::RegCloseKey(h);
  return true;
}

std::wstring Special(int csidl) {
  wchar_t p[MAX_PATH];
  ::SHGetFolderPathW(nullptr, csidl, nullptr, 0, p);
  return p;
}

// What the record must hold for an install of `names` into `folder`, in order.
Entries ExpectedRecord(const std::wstring& folder, const std::vector<std::wstring>& names, bool on) {
  Entries e{{L"setup/name", ExeDir()}, {L"setup/ver", L"1.0.0.0"},
            {L"files/nums", std::to_wstring(names.size())}};
  for (size_t i = 0; i < names.size(); ++i) e.push_back({L"files/f" + std::to_wstring(i), folder + names[i]});
  e.push_back({L"dirs/nums", L"1"});
  e.push_back({L"dirs/f0", folder + L"rs"});
  const std::wstring menu = Special(CSIDL_PROGRAMS) + L"\\Vexlo桌面\\";
  if (on) e.push_back({L"desk/lin", Special(CSIDL_DESKTOPDIRECTORY) + L"\\Vexlo桌面.lnk"});
  e.push_back({L"startmenu/nums", L"2"});
  e.push_back({L"startmenu/f0", menu + L"Vexlo桌面.lnk"});
  e.push_back({L"startmenu/f1", menu + L"卸载Vexlo桌面.lnk"});
  if (on)
    e.push_back({L"quickbar/f0", Special(CSIDL_APPDATA) +
                                     L"\\Microsoft\\Internet Explorer\\Quick Launch\\Vexlo桌面.lnk"});
  e.push_back({L"uninstallnums/nums", std::to_wstring(names.size() + (on ? 5 : 3))});
  e.push_back({L"end/biao", L"1"});
  return e;
}

TEST(Install, FailedHalfWayNamesTheFileAndLeavesAUsableRecord) {
  const std::wstring folder = Folder("fail");
  Wipe(folder);
  // A file where the image folder must go: the first rs\ entry cannot be written.
  std::ofstream(std::filesystem::path(folder + L"rs")) << "in the way";
  const InstallResult r = RunInstallSteps({folder, false, false, false}, nullptr);
  ASSERT_FALSE(r.ok);
  EXPECT_NE(r.message.find(L"更新解压文件失败!"), std::wstring::npos);
  EXPECT_NE(r.message.find(L"文件: rs\\"), std::wstring::npos) << r.message;
  const Entries rec = ReadRecord(folder);
  ASSERT_GE(rec.size(), 4u);
  EXPECT_EQ(rec[3], (std::pair<std::wstring, std::wstring>{L"files/f0", folder + L"Uninstall.exe"}));
  EXPECT_TRUE(Exists(folder + L"Uninstall.exe"));
}

TEST(Install, OptionsOffThenOnThenUninstallLeavesNothing) {
  const std::vector<std::wstring> names = PayloadList();
  ASSERT_GT(names.size(), 10u);
  EXPECT_EQ(names[0], L"Uninstall.exe");
  const std::wstring folder = Folder("full");
  Wipe(folder);
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kProductTitle);

  // Step 2 clears the data folder but never reaches through a link inside it.
  wchar_t data[MAX_PATH];
  ASSERT_TRUE(::GetEnvironmentVariableW(L"VX_DATA_DIR", data, MAX_PATH));
  const std::wstring outside = L"C:\\vxtest\\outside";
  ::SHCreateDirectoryExW(nullptr, outside.c_str(), nullptr);
  std::ofstream(std::filesystem::path(outside + L"\\keep.txt")) << "keep";
  ::SHCreateDirectoryExW(nullptr, data, nullptr);
  std::ofstream(std::filesystem::path(std::wstring(data) + L"\\config.ini")) << "[SET]";
  const bool linked = ::CreateSymbolicLinkW((std::wstring(data) + L"\\link").c_str(), outside.c_str(),
                                            SYMBOLIC_LINK_FLAG_DIRECTORY);

  InstallResult r = RunInstallSteps({folder, false, false, false}, nullptr);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(ReadRecord(folder), ExpectedRecord(folder, names, false));
  EXPECT_EQ(RunValue(), L"");
  EXPECT_FALSE(Exists(std::wstring(data) + L"\\config.ini"));
  EXPECT_TRUE(linked) << "no symbolic link in the data folder: the no-follow path went untested";
  EXPECT_TRUE(Exists(outside + L"\\keep.txt"));

  // Over the same folder with every option: a fresh record, the log-on entry, shortcuts.
  r = RunInstallSteps({folder, true, true, true}, nullptr);
  ASSERT_TRUE(r.ok) << r.message;
  const Entries rec = ReadRecord(folder);
  EXPECT_EQ(rec, ExpectedRecord(folder, names, true));
  for (const auto& name : names) EXPECT_TRUE(Exists(folder + name)) << name;
  for (const auto& [key, value] : rec)
    if (value.size() > 4 && value.compare(value.size() - 4, 4, L".lnk") == 0) {
      EXPECT_TRUE(Exists(value)) << value;
    }
  EXPECT_EQ(RunValue(), folder + L"Tessary.exe -autorun");
  EXPECT_TRUE(UninstallKeyExists());

  // The uninstaller, as the program list starts it.
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  std::wstring cmd = L"\"" + folder + L"Uninstall.exe\" /S";
  ASSERT_TRUE(::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  ::WaitForSingleObject(pi.hProcess, 10000);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  for (int i = 0; i < 200 && Exists(folder); ++i) ::Sleep(100);
  EXPECT_FALSE(Exists(folder));
  for (const auto& [key, value] : rec)
    if (key != L"setup/name" && value.find(L'\\') != std::wstring::npos) {
      EXPECT_FALSE(Exists(value)) << value;
    }
  EXPECT_FALSE(Exists(Special(CSIDL_PROGRAMS) + L"\\Vexlo桌面"));
  EXPECT_EQ(RunValue(), L"");
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_TRUE(Exists(outside + L"\\keep.txt"));
}

TEST(Install, BrowsedFolderGetsVexloOnce) {
  EXPECT_EQ(InstallFolderFromBrowsed(L"D:\\Apps"), L"D:\\Apps\\vexlo\\");
  EXPECT_EQ(InstallFolderFromBrowsed(L"D:\\Apps\\Vexlo\\"), L"D:\\Apps\\Vexlo\\");
  EXPECT_EQ(DefaultInstallFolder(), Special(CSIDL_PROGRAM_FILES) + L"\\vexlo\\");
}

// A cabinet built by hand: one folder, stored (no compression), the given names and texts.
std::string MakeCabinet(const std::vector<std::pair<std::string, std::string>>& files, bool utf8) {
  auto u16 = [](std::string& s, unsigned v) { s.push_back(char(v & 0xFF)); s.push_back(char(v >> 8)); };
  auto u32 = [&](std::string& s, unsigned v) { u16(s, v & 0xFFFF); u16(s, v >> 16); };
  std::string entries, data;
  for (const auto& [name, body] : files) {
    u32(entries, static_cast<unsigned>(body.size()));
    u32(entries, static_cast<unsigned>(data.size()));
    u16(entries, 0);
    u16(entries, 0x5A21);  // date and time: any valid DOS stamp
    u16(entries, 0x6000);
    u16(entries, utf8 ? 0x80 : 0x20);
    entries += name;
    entries.push_back('\0');
    data += body;
  }
  const unsigned header = 36 + 8, dataAt = header + static_cast<unsigned>(entries.size());
  std::string cab = "MSCF";
  u32(cab, 0);
  u32(cab, dataAt + 8 + static_cast<unsigned>(data.size()));
  u32(cab, 0);
  u32(cab, header);
  u32(cab, 0);
  cab.push_back(3);
  cab.push_back(1);
  u16(cab, 1);
  u16(cab, static_cast<unsigned>(files.size()));
  u16(cab, 0);
  u16(cab, 0);
  u16(cab, 0);
  u32(cab, dataAt);
  u16(cab, 1);
  u16(cab, 0);
  cab += entries;
  u32(cab, 0);
  u16(cab, static_cast<unsigned>(data.size()));
  u16(cab, static_cast<unsigned>(data.size()));
  return cab + data;
}

bool FolderIsEmpty(const std::wstring& folder) {
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &fd);
  int n = 0;
  if (h != INVALID_HANDLE_VALUE) {
    do n += std::wcscmp(fd.cFileName, L".") && std::wcscmp(fd.cFileName, L"..");
    while (::FindNextFileW(h, &fd));
    ::FindClose(h);
  }
  return n == 0;
}

TEST(Engine, HostileNamesAreRefusedBeforeAnythingIsWritten) {
  const std::wstring root = L"C:\\vxtest\\hostile\\", target = root + L"t\\inner\\";
  Wipe(target);
  const char* hostile[] = {"..\\..\\evil.txt", "../../evil.txt", "inner2\\..\\..\\..\\evil.txt",
                           "C:\\vxtest\\hostile\\evil.txt", "C:evil.txt", "\\vxtest\\hostile\\evil.txt",
                           "\\\\?\\C:\\vxtest\\hostile\\evil.txt", "\\\\localhost\\C$\\evil.txt",
                           "good.txt:evil", "NUL.txt", "com1", ".. \\..\\evil.txt", "x\\..."};
  for (const char* name : hostile) {
    CExtractMemory engine;
    const std::string cab = MakeCabinet({{"good.txt", "fine"}, {name, "evil"}}, false);
    EXPECT_FALSE(engine.ExtractMemory(cab.data(), cab.size(), target, nullptr, nullptr)) << name;
    EXPECT_EQ(engine.GetErrorCode(), 1013) << name;
    EXPECT_TRUE(FolderIsEmpty(target)) << name;
    EXPECT_FALSE(Exists(root + L"evil.txt")) << name;
  }
  // The same builder with safe names writes them, sub-folders and UTF-8 names included.
  CExtractMemory engine;
  const std::string cab = MakeCabinet({{"good.txt", "fine"}, {"rs\\\xE8\xAE\xBE\xE7\xBD\xAE\\bg.txt", "png"}}, true);
  std::vector<std::wstring> seen;
  ASSERT_TRUE(engine.ExtractMemory(cab.data(), cab.size(), target,
                                   [](const ExtractFileInfo& f, void* u) { static_cast<std::vector<std::wstring>*>(u)->push_back(f.fullPath); },
                                   &seen))
      << engine.GetErrorCode();
  EXPECT_EQ(seen, (std::vector<std::wstring>{target + L"good.txt", target + L"rs\\设置\\bg.txt"}));
  EXPECT_TRUE(Exists(target + L"rs\\设置\\bg.txt"));
}

TEST(Engine, SignaturesThreadsAndErrorText) {
  const std::wstring target = L"C:\\vxtest\\sig\\";
  Wipe(target);
  CExtractMemory engine;
  CabinetInfo info;
  std::string cryp = MakeCabinet({{"a.txt", "a"}}, false);
  std::memcpy(&cryp[0], "CRYP", 4);
  EXPECT_FALSE(engine.ExtractMemory(cryp.data(), cryp.size(), target, nullptr, nullptr));
  EXPECT_EQ(engine.GetErrorCode(), 1008);
  EXPECT_EQ(engine.GetErrorText(), L"The CAB archive is encrypted but no decryption key was set.");
  const std::string junk = "PK\x03\x04 this is a zip, not a cabinet";
  EXPECT_FALSE(engine.IsCabinet(junk.data(), junk.size(), &info));
  EXPECT_EQ(engine.GetErrorCode(), 2);
  EXPECT_TRUE(FolderIsEmpty(target));

  // The engine belongs to its thread, and a thread holds one engine at a time.
  const std::string cab = MakeCabinet({{"a.txt", "a"}}, false);
  std::thread([&] { EXPECT_FALSE(engine.IsCabinet(cab.data(), cab.size(), &info)); }).join();
  EXPECT_EQ(engine.GetErrorCode(), 1011);
  CExtractMemory second;
  EXPECT_FALSE(second.IsCabinet(cab.data(), cab.size(), &info));
  EXPECT_EQ(second.GetErrorCode(), 1012);
  engine.CleanUp();
  EXPECT_TRUE(second.IsCabinet(cab.data(), cab.size(), &info));
  EXPECT_EQ(info.fileCount, 1);

  // The resource form reads the payload of this very program.
  second.CleanUp();
  CExtractResource resource;
  ASSERT_TRUE(resource.IsCabinet(&info));
  EXPECT_EQ(info.fileCount, PayloadList().size());
}

}  // namespace
