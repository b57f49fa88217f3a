#include <gtest/gtest.h>

#include "desk/core/desk_icons.h"

TEST(DeskIcons, ExtensionIsFoldedAndTakenFromTheLastPathPart) {
  EXPECT_EQ(DeskIconExtension(u"C:\\d\\报告.DOCX"), u"docx");
  EXPECT_EQ(DeskIconExtension(u"C:\\d\\a.tar.gz"), u"gz");
  EXPECT_EQ(DeskIconExtension(u"C:\\d.v2\\readme"), u"");
  EXPECT_EQ(DeskIconExtension(u"C:\\d\\trailing."), u"");
  EXPECT_EQ(DeskIconExtension(u"::{645FF040-5081-101B-9F08-00AA002F954E}"), u"");
}

TEST(DeskIcons, PlainDocumentTypesShareOneLookup) {
  const DeskIconClassFacts plain{u"C:\\windows\\system32\\shell32.dll,-152", false};
  for (const char16_t* ext : {u"txt", u"docx", u"pdf", u"jpg", u"zip", u"ini"})
    EXPECT_TRUE(DeskIconSharedByExtension(ext, plain));
  EXPECT_TRUE(DeskIconSharedByExtension(u"xyz", DeskIconClassFacts{})) << "unknown types too";
}

TEST(DeskIcons, FilesThatCarryTheirOwnIconKeepTheirLookup) {
  const DeskIconClassFacts plain{u"shell32.dll,3", false};
  for (const char16_t* ext : {u"exe", u"ico", u"lnk", u"url", u"cur", u"ani", u"scr", u"msi",
                              u"dll", u"cpl", u"msc"})
    EXPECT_FALSE(DeskIconSharedByExtension(ext, plain));
  EXPECT_FALSE(DeskIconSharedByExtension(u"", plain));  // no extension
}

TEST(DeskIcons, RegistryCanMakeAnyTypePerFile) {
  EXPECT_FALSE(DeskIconSharedByExtension(u"vxpf", DeskIconClassFacts{u"%1", false}));
  EXPECT_FALSE(DeskIconSharedByExtension(u"vxpf", DeskIconClassFacts{u"\"%1\"", false}));
  EXPECT_FALSE(DeskIconSharedByExtension(u"vxpf", DeskIconClassFacts{u"%1,0", false}));
  EXPECT_FALSE(DeskIconSharedByExtension(u"vxih", DeskIconClassFacts{u"", true}));
  EXPECT_FALSE(DeskIconSharedByExtension(u"vxih", DeskIconClassFacts{u"shell32.dll,3", true}));
}

TEST(DeskIcons, DisplayNamesFollowTheRuleOneFileOfTheTypeShows) {
  const DeskExtensionNaming hidden = DeskLearnNaming(u"报告 0001.txt", u"报告 0001");
  EXPECT_EQ(hidden, kNamingStem);
  EXPECT_EQ(DeskNameByNaming(u"a.b.TXT", hidden), u"a.b");
  const DeskExtensionNaming shown = DeskLearnNaming(u"notes.pdf", u"notes.pdf");
  EXPECT_EQ(DeskNameByNaming(u"会议记录.pdf", shown), u"会议记录.pdf");
  // A name the rule cannot explain, or one without a stem, makes the shell answer each file.
  EXPECT_EQ(DeskLearnNaming(u"a.lnk", u"记事本"), kNamingPerItem);
  EXPECT_EQ(DeskLearnNaming(u".profile", u".profile"), kNamingPerItem);
  EXPECT_EQ(DeskNameByNaming(u"x.txt", kNamingPerItem), u"");
  EXPECT_EQ(DeskNameByNaming(u"x.txt", kNamingUnknown), u"");
  EXPECT_EQ(DeskNameByNaming(u".txt", shown), u"");
  EXPECT_EQ(DeskNameByNaming(u"readme", shown), u"");
}
