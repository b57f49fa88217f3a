#include <gtest/gtest.h>

#include <cstring>

#include "setup/core/archive_names.h"
#include "setup/core/extract_errors.h"
#include "setup/core/install_plan.h"

namespace {

ArchiveNameFault Check(const std::u16string& name) {
  std::u16string rel;
  const ArchiveNameFault f = CheckArchiveName(name, &rel);
  EXPECT_EQ(f == ArchiveNameFault::kNone, !rel.empty()) << std::string(name.begin(), name.end());
  return f;
}

TEST(ArchiveNames, EveryWayOutOfTheFolderIsRefused) {
  const char16_t* const hostile[] = {
      u"..\\evil.txt", u"../evil.txt", u"rs\\..\\..\\evil.txt", u"rs/../../evil.txt", u"..",
      u"\\evil.txt", u"/etc/evil", u"C:\\evil.txt", u"c:evil.txt", u"\\\\server\\share\\x",
      u"\\\\?\\C:\\evil.txt", u"\\\\.\\PhysicalDrive0", u"Tessary.exe:stream",
      u"Tessary.exe::$DATA", u"CON", u"nul.txt", u"rs\\Aux.png", u"COM1", u"lpt9.log",
      u"NUL  .txt", u"COM\u00B9", u"CONOUT$", u"rs\\\\x.png", u"rs\\", u"rs\\.\\x.png",
      u".. \\x", u"...\\x", u"x.", u"x ", u"a|b", u"a?b", u"a*b", u"a<b", u"a\"b", u"a\x01b", u"",
      u"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q\\r\\s\\t\\u\\v\\w\\x\\y\\z\\1\\2\\3\\4\\5\\"
      u"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q\\r\\s\\t\\u\\v\\w\\x\\y\\z\\1\\2\\3\\4\\5\\"
      u"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q\\r\\s\\t\\u\\v\\w\\x\\y\\z\\1\\2\\3\\4\\5\\"
      u"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l\\m\\n\\o\\p\\q\\r\\s\\t\\u\\v\\w\\x\\y\\z\\1\\2\\3\\4\\5"};
  for (const char16_t* name : hostile)
    EXPECT_NE(Check(name), ArchiveNameFault::kNone) << std::string(name, name + std::char_traits<char16_t>::length(name));
}

TEST(ArchiveNames, PayloadNamesPassWithBackslashes) {
  std::u16string rel;
  EXPECT_EQ(CheckArchiveName(u"rs/设置/bg.png", &rel), ArchiveNameFault::kNone);
  EXPECT_EQ(rel, u"rs\\设置\\bg.png");
  for (const char16_t* ok : {u"Tessary.exe", u"rs\\框\\默认\\1.png", u"console.txt", u"com10.txt",
                             u"..a", u"a..b", u".hidden"})
    EXPECT_EQ(Check(ok), ArchiveNameFault::kNone);
}

TEST(ArchiveNames, Utf8DecodingIsStrict) {
  std::u16string out;
  ASSERT_TRUE(DecodeUtf8Name("rs\\\xE8\xAE\xBE\xE7\xBD\xAE", 9, &out));
  EXPECT_EQ(out, u"rs\\设置");
  ASSERT_TRUE(DecodeUtf8Name("\xF0\x9F\x98\x80", 4, &out));
  EXPECT_EQ(out.size(), 2u);
  for (const char* bad : {"\xC0\xAE", "\xE0\x80\xAE", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE8\xAE",
                          "\x80", "\xFF"})
    EXPECT_FALSE(DecodeUtf8Name(bad, std::strlen(bad), &out)) << bad;
}

TEST(ExtractErrors, TableAndUnknownCodes) {
  EXPECT_STREQ(ExtractErrorMessage(0), "Success");
  EXPECT_STREQ(ExtractErrorMessage(2), "The file is not a cabinet");
  EXPECT_STREQ(ExtractErrorMessage(1008), "The CAB archive is encrypted but no decryption key was set.");
  EXPECT_STREQ(ExtractErrorMessage(1011),
               "Cabinet.dll does not support calling the same CAB context from two different threads.");
  EXPECT_STREQ(ExtractErrorMessage(12), "Unknown error");
  EXPECT_STREQ(ExtractErrorMessage(-1), "Unknown error");
}

TEST(UninstallPlan, OnlyWhatTheRecordNamesInsideTheFolder) {
  InstallRecord r;
  r.files = {u"C:\\P\\vexlo\\Tessary.exe", u"c:\\p\\VEXLO\\rs\\设置\\bg.png",
             u"C:\\P\\vexlo\\..\\evil.txt", u"C:\\Windows\\system32\\kernel32.dll",
             u"C:\\P\\vexloX\\a", u"C:\\P\\vexlo\\a.txt:stream", u"C:\\P\\vexlo\\Tessary.exe"};
  r.dirs = {u"C:\\P\\vexlo\\rs", u"C:\\P"};
  r.shortcuts = {u"C:\\users\\me\\Desktop\\Vexlo桌面.lnk", u"C:\\x\\卸载Vexlo桌面.lnk",
                 u"C:\\Windows\\notepad.exe", u"C:\\x\\..\\Vexlo桌面.lnk", u"Vexlo桌面.lnk"};
  const UninstallPlan p = PlanUninstall(u"C:\\P\\vexlo\\", r, u"Vexlo桌面");
  EXPECT_EQ(p.files, (std::vector<std::u16string>{u"C:\\P\\vexlo\\Tessary.exe",
                                                  u"c:\\p\\VEXLO\\rs\\设置\\bg.png"}));
  EXPECT_EQ(p.dirs, (std::vector<std::u16string>{u"c:\\p\\VEXLO\\rs\\设置", u"c:\\p\\VEXLO\\rs",
                                                 u"C:\\P\\vexlo"}));
  EXPECT_EQ(p.shortcuts.size(), 2u);
  EXPECT_EQ(p.refused.size(), 8u);
  // A record placed at a drive root protects nothing: nothing is planned there.
  EXPECT_TRUE(PlanUninstall(u"C:\\", r, u"Vexlo桌面").files.empty());
}

TEST(FreeSpace, Units) {
  EXPECT_EQ(FreeSpaceText(-1), u"磁盘剩余空间: 未知");
  EXPECT_EQ(FreeSpaceText(int64_t(3) << 30), u"磁盘剩余空间: 3.00G");
  EXPECT_EQ(FreeSpaceText(int64_t(512) << 20), u"磁盘剩余空间: 512.00M");
}

}  // namespace
