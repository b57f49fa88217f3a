// config.ini, the Run value and the desk's view and box files, against the real registry
// and real files of the Wine prefix.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "base/AppGlobals.h"
#include "desk/DeskFiles.h"
#include "uilib/VxRaii.h"
#include "base/testing/test_support.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kProgram[] = L"C:\\Program Files\\Vexlo\\Tessary.exe";

std::wstring Ini() { return DataFolderPath() + L"config.ini"; }

void ResetGlobals() {
  AppGlobals& g = TheApp();
  g.weather.province = g.weather.city = g.weather.city2 = L"";
  g.desk.shortcutTarget = g.desk.folderTarget = g.desk.fileTarget = L"";
  g.autoHide = 0;
  g.desk.autoOrganize = 1;
  g.closePrompt = 1;
  g.desk.config = DeskConfig();
  g.desk.boxRecords.clear();
}

void SetRunValue(const std::wstring& data) {
  HKEY raw = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_WRITE, nullptr, &raw,
                              nullptr),
            ERROR_SUCCESS);
  VxRegKey key(raw);
  ::RegSetValueExW(key.Get(), L"Vexlo桌面", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * 2));
}

std::wstring RunValue() {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data) - 2;
  if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Vexlo桌面", RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
    return L"<none>";
  return data;
}

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDataFolder();
    ResetGlobals();
  }
  void TearDown() override {
    RemoveDataFolder();
    ClearAutoStart();
  }
};

}  // namespace

TEST_F(ConfigTest, MissingFileGivesTheDefaults) {
  TheApp().weather.city = L"残留";
  TheApp().desk.autoOrganize = 7;
  LoadOrSaveConfig(TRUE);
  const AppGlobals& g = TheApp();
  EXPECT_EQ(g.weather.province, L"");
  EXPECT_EQ(g.weather.city, L"");
  EXPECT_EQ(g.weather.city2, L"");
  EXPECT_EQ(g.autoHide, 0);
  EXPECT_EQ(g.desk.autoOrganize, 1);
  EXPECT_EQ(g.closePrompt, 1);
  EXPECT_EQ(g.desk.shortcutTarget, L"");
  EXPECT_EQ(g.autoStart, 0);
  // Loading made the data folder but wrote no file.
  EXPECT_NE(::GetFileAttributesW(DataFolderPath().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(::GetFileAttributesW(Ini().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ConfigTest, DataFolderIsAppDataVuZiroUnlessChosenForTheProcess) {
  wchar_t chosen[MAX_PATH] = {};
  ASSERT_NE(::GetEnvironmentVariableW(L"VX_DATA_DIR", chosen, MAX_PATH), 0u)
      << "the test run gives each test program a data folder of its own";
  const std::wstring own = DataFolderPath();
  ::SetEnvironmentVariableW(L"VX_DATA_DIR", nullptr);
  const std::wstring fallback = DataFolderPath();
  wchar_t appData[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
  EXPECT_EQ(fallback, std::wstring(appData) + L"\\VuZiro\\");
  // A chosen folder whose parents do not exist yet is made whole.
  ::SetEnvironmentVariableW(L"VX_DATA_DIR", (own + L"a/b").c_str());
  EXPECT_EQ(DataFolderPath(), own + L"a\\b\\");
  EXPECT_TRUE(EnsureDataFolder());
  EXPECT_NE(::GetFileAttributesW((own + L"a\\b").c_str()), INVALID_FILE_ATTRIBUTES);
  ::RemoveDirectoryW((own + L"a\\b").c_str());
  ::RemoveDirectoryW((own + L"a").c_str());
  ::SetEnvironmentVariableW(L"VX_DATA_DIR", chosen);
}

TEST_F(ConfigTest, NonNumericIntegerReadsZero) {
  ASSERT_TRUE(EnsureDataFolder());
  PutFileBytes(Ini(), "[SYS]\r\nautohide=abc\r\n[SET]\r\nclosetishi=0\r\nautozhengli=12x\r\n");
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(TheApp().autoHide, 0);
  EXPECT_EQ(TheApp().closePrompt, 0);
  EXPECT_EQ(TheApp().desk.autoOrganize, 12);
}

TEST_F(ConfigTest, SaveTrimsWritesUnicodeInOrderAndReadsBack) {
  AppGlobals& g = TheApp();
  g.weather.province = L" 浙江省 ";
  g.weather.city = L"宁波 ";
  g.weather.city2 = L" 鄞州";
  g.autoHide = 1;
  g.closePrompt = 0;
  g.desk.fileTarget = L" 文件 ";
  LoadOrSaveConfig(FALSE);
  EXPECT_EQ(g.weather.province, L"浙江省") << "the trimmed value stays in memory";
  EXPECT_EQ(g.weather.city2, L"鄞州");
  const std::string bytes = FileBytes(Ini());
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF) << "a new file is UTF-16 with a BOM";
  EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
  const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  const size_t sys = text.find(L"[SYS]"), set = text.find(L"[SET]");
  ASSERT_NE(sys, std::wstring::npos);
  ASSERT_NE(set, std::wstring::npos);
  EXPECT_LT(sys, set);
  EXPECT_LT(text.find(L"province=浙江省"), text.find(L"city=宁波"));
  EXPECT_LT(text.find(L"city2=鄞州"), text.find(L"autohide=1"));
  EXPECT_LT(text.find(L"autozhengli=1"), text.find(L"closetishi=0"));
  EXPECT_LT(text.find(L"kuaijie="), text.find(L"zlfile=文件"));
  EXPECT_LT(text.find(L"zlfile="), text.find(L"zldir="));
  ResetGlobals();
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(g.weather.city, L"宁波");
  EXPECT_EQ(g.desk.fileTarget, L"文件");
  EXPECT_EQ(g.autoHide, 1);
  EXPECT_EQ(g.closePrompt, 0);
  EXPECT_EQ(::GetFileAttributesW((Ini() + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(ConfigTest, OutsideTextCannotAddLines) {
  TheApp().weather.city = L"宁波\r\n[SET]\r\nzlfile=偷偷";
  LoadOrSaveConfig(FALSE);
  ResetGlobals();
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(TheApp().desk.fileTarget, L"");
  EXPECT_EQ(TheApp().weather.city, L"宁波[SET]zlfile=偷偷");
}

TEST_F(ConfigTest, ExistingAnsiFilesStillLoad) {
  ASSERT_TRUE(EnsureDataFolder());
  // "城市" in code page 936.
  PutFileBytes(Ini(), "[SYS]\r\ncity=\xB3\xC7\xCA\xD0\r\n");
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(TheApp().weather.city, L"城市");
  TheApp().weather.city2 = L"区";
  LoadOrSaveConfig(FALSE);
  ResetGlobals();
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(TheApp().weather.city, L"城市");
  EXPECT_EQ(TheApp().weather.city2, L"区");
}

TEST_F(ConfigTest, AnInterruptedSaveLeavesTheOldFile) {
  TheApp().weather.city = L"旧城";
  LoadOrSaveConfig(FALSE);
  const std::string before = FileBytes(Ini());
  // A crash after the copy was written but before it replaced the file leaves a stray
  // temporary file next to the old one.
  PutFileBytes(Ini() + L".tmp", "garbage from a crash");
  ResetGlobals();
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(TheApp().weather.city, L"旧城");
  EXPECT_EQ(FileBytes(Ini()), before);
  TheApp().weather.city = L"新城";
  LoadOrSaveConfig(FALSE);
  ResetGlobals();
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(TheApp().weather.city, L"新城");
}

TEST_F(ConfigTest, RunValueInAnotherFormCountsAsNotSet) {
  EXPECT_FALSE(IsAutoStartSet(kProgram));
  SetRunValue(std::wstring(L"\"") + kProgram + L"\" -autorun");
  EXPECT_FALSE(IsAutoStartSet(kProgram));
  SetRunValue(kProgram);
  EXPECT_FALSE(IsAutoStartSet(kProgram));
  SetRunValue(L"");
  EXPECT_FALSE(IsAutoStartSet(kProgram));
  ASSERT_TRUE(SetAutoStart(kProgram));
  EXPECT_EQ(RunValue(), std::wstring(kProgram) + L" -autorun");
  EXPECT_TRUE(IsAutoStartSet(kProgram));
  EXPECT_TRUE(SetAutoStart(kProgram));
  ClearAutoStart();
  EXPECT_EQ(RunValue(), L"<none>");
  EXPECT_FALSE(IsAutoStartSet(kProgram));
  ClearAutoStart();  // nothing to delete: no error
}

TEST_F(ConfigTest, AutostartIsReadFromTheRegistryOnLoad) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  ASSERT_TRUE(SetAutoStart(self));
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(TheApp().autoStart, 1);
  ClearAutoStart();
  LoadOrSaveConfig(TRUE);
  EXPECT_EQ(TheApp().autoStart, 0);
}

TEST(AppHelpers, WeekdaysAndWindowsVersion) {
  EXPECT_EQ(WeekdayName(1), L"星期日");
  EXPECT_EQ(WeekdayName(7), L"星期六");
  EXPECT_EQ(WeekdayName(9), L"");
  EXPECT_FALSE(IsPreVistaWindows());
}

TEST(AppHelpers, AtomicWriteReplacesWholeFiles) {
  ASSERT_TRUE(EnsureDataFolder());
  const std::wstring path = DataFolderPath() + L"atomic.bin";
  ASSERT_TRUE(WriteFileAtomically(path, "first", 5));
  ASSERT_TRUE(WriteFileAtomically(path, "second!", 7));
  EXPECT_EQ(FileBytes(path), "second!");
  ASSERT_TRUE(WriteFileAtomically(path, "", 0));
  EXPECT_EQ(FileBytes(path), "");
  EXPECT_FALSE(WriteFileAtomically(L"C:\\no\\such\\folder\\x.bin", "x", 1));
  ::DeleteFileW(path.c_str());
}

class DeskFilesTest : public ConfigTest {};

TEST_F(DeskFilesTest, FirstRunKeepsTheDefaultViewRecord) {
  LoadConfig();
  const DeskConfig& c = TheApp().desk.config;
  EXPECT_EQ(c.deskPageOn, 1);
  EXPECT_EQ(c.autoArrange, 1);
  EXPECT_EQ(c.organizePending, 1);
  EXPECT_TRUE(TheApp().desk.boxRecords.empty());
}

TEST_F(DeskFilesTest, SaveAndLoadRoundTripWithExactSizes) {
  AppGlobals& g = TheApp();
  g.desk.config.smallIcons = 1;
  g.desk.config.organizePending = 0;
  g.desk.config.deskItemFile = u"C:\\x\\deskiteminfo_20140101";
  GeziSaveData box;
  box.left = 10;
  box.top = 20;
  box.right = 270;
  box.bottom = 420;
  box.fixedPos = 1;
  box.iconView = 0;
  box.itemFile = u"C:\\x\\文件";
  g.desk.boxRecords = {box, box};
  ASSERT_TRUE(SaveConfig());
  EXPECT_EQ(FileBytes(DataFolderPath() + L"deskconf.dat").size(), 526u);
  EXPECT_EQ(FileBytes(DataFolderPath() + L"gezhiconf.dat").size(), 1080u);
  ResetGlobals();
  LoadConfig();
  EXPECT_EQ(g.desk.config.smallIcons, 1);
  EXPECT_EQ(g.desk.config.organizePending, 0);
  EXPECT_EQ(g.desk.config.deskItemFile, u"C:\\x\\deskiteminfo_20140101");
  ASSERT_EQ(g.desk.boxRecords.size(), 2u);
  EXPECT_EQ(g.desk.boxRecords[1].right, 270);
  EXPECT_EQ(g.desk.boxRecords[1].iconView, 0);
  EXPECT_EQ(g.desk.boxRecords[1].itemFile, u"C:\\x\\文件");
}

TEST_F(DeskFilesTest, TruncatedTableKeepsWholeRecordsOnly) {
  ASSERT_TRUE(EnsureDataFolder());
  std::string table(1079, '\0');
  table[17] = 1;
  const std::u16string path = u"C:\\d\\盒子";
  memcpy(&table[18], path.data(), path.size() * 2);
  PutFileBytes(DataFolderPath() + L"gezhiconf.dat", table);
  PutFileBytes(DataFolderPath() + L"deskconf.dat", std::string(100, '\0'));  // too short
  LoadConfig();
  ASSERT_EQ(TheApp().desk.boxRecords.size(), 1u);
  EXPECT_EQ(TheApp().desk.boxRecords[0].itemFile, path);
  EXPECT_EQ(TheApp().desk.config.organizePending, 1) << "a short view record is not read";
}

TEST_F(DeskFilesTest, ItemFilesRoundTrip) {
  ASSERT_TRUE(EnsureDataFolder());
  const std::wstring path = DataFolderPath() + L"文件";
  std::vector<DeskItemRecord> items(3);
  items[0].parseName = u"C:\\users\\me\\Desktop\\a.txt";
  items[1].parseName = u"::{645FF040-5081-101B-9F08-00AA002F954E}";
  items[2].parseName = u"C:\\users\\me\\Desktop\\目录";
  items[2].x = 77;
  items[2].y = 100;
  ASSERT_TRUE(WriteItemFile(path, items));
  EXPECT_EQ(FileBytes(path).size(), 3 * 528u);
  const auto back = ReadItemFile(path);
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[2].parseName, items[2].parseName);
  EXPECT_EQ(back[2].x, 77);
  EXPECT_TRUE(ReadItemFile(DataFolderPath() + L"missing").empty());
}

TEST_F(DeskFilesTest, ASaveCutShortAtAnyPointLoadsTheOldOrTheNewLayout) {
  AppGlobals& g = TheApp();
  GeziSaveData box;
  box.right = 260;
  box.bottom = 400;
  box.itemFile = u"C:\\x\\旧";
  g.desk.boxRecords = {box};
  ASSERT_TRUE(SaveConfig());
  const std::string oldTable = FileBytes(DataFolderPath() + L"gezhiconf.dat");
  box.itemFile = u"C:\\x\\新";
  g.desk.boxRecords = {box, box};
  std::vector<uint8_t> next;
  EncodeGeziSaveData(box, &next);
  EncodeGeziSaveData(box, &next);
  // A crash while the new table is being written leaves some prefix of it under the
  // temporary name; the file the program reads is still the old one.
  for (size_t cut : {size_t(0), size_t(1), size_t(539), size_t(540), size_t(1000), next.size()}) {
    PutFileBytes(DataFolderPath() + L"gezhiconf.dat.tmp",
                 std::string(reinterpret_cast<const char*>(next.data()), cut));
    g.desk.boxRecords.clear();
    LoadConfig();
    ASSERT_EQ(g.desk.boxRecords.size(), 1u) << "cut at " << cut;
    EXPECT_EQ(g.desk.boxRecords[0].itemFile, u"C:\\x\\旧");
  }
  EXPECT_EQ(FileBytes(DataFolderPath() + L"gezhiconf.dat"), oldTable);
  // Once the save completes the new layout is read, and no temporary file is left.
  g.desk.boxRecords = {box, box};
  ASSERT_TRUE(SaveConfig());
  g.desk.boxRecords.clear();
  LoadConfig();
  EXPECT_EQ(g.desk.boxRecords.size(), 2u);
  EXPECT_EQ(::GetFileAttributesW((DataFolderPath() + L"gezhiconf.dat.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}
