#include <gtest/gtest.h>

#include <set>

#include "desk/core/desk_fileops.h"
#include "desk/core/desk_keys.h"
#include "desk/core/desk_text.h"

namespace {

// Names that exist, compared as Windows compares file names; each name handed out is made.
struct Folder {
  std::set<std::u16string> names;
  std::u16string Make(const std::u16string& base, const std::u16string& ext) {
    const std::u16string name = DeskUniqueFileName(base, ext, [this](const std::u16string& n) {
      return names.count(DeskFoldCase(n)) > 0;
    });
    names.insert(DeskFoldCase(name));
    return name;
  }
};

}  // namespace

TEST(UniqueFileName, NewFoldersPastedShortcutsAndClashes) {
  Folder d;
  const std::u16string D = u"C:\\Users\\u\\Desktop";
  for (const char16_t* want : {u"新建文件夹", u"新建文件夹(1)", u"新建文件夹(2)"})
    EXPECT_EQ(d.Make(DeskNewFolderBase(D), u""), D + u"\\" + want);
  // "粘帖快捷方式" twice for a.txt, then for a shortcut and a file without extension.
  DeskShortcutPlan p = DeskPlanPastedShortcut(D, u"E:\\docs\\a.txt", false);
  EXPECT_FALSE(p.copyFile);
  EXPECT_EQ(d.Make(p.base, p.extension), D + u"\\a -副本.lnk");
  EXPECT_EQ(d.Make(p.base, p.extension), D + u"\\a -副本(1).lnk");
  p = DeskPlanPastedShortcut(D, u"E:\\docs\\Tool.LNK", true);
  EXPECT_TRUE(p.copyFile);
  d.names.insert(DeskFoldCase(D + u"\\tool.lnk"));  // a shortcut already on the desktop
  EXPECT_EQ(d.Make(p.base, p.extension), D + u"\\Tool(1).LNK");
  p = DeskPlanPastedShortcut(D, u"E:\\v1.0\\README", false);
  EXPECT_EQ(d.Make(p.base, p.extension), D + u"\\README.lnk");
  p = DeskPlanPastedShortcut(D, u"E:\\.profile", false);
  EXPECT_EQ(p.base + p.extension, D + u"\\.profile.lnk");
  EXPECT_EQ(d.Make(DeskNewShortcutBase(D), u".lnk"), D + u"\\新快捷方式.lnk");
  EXPECT_EQ(d.Make(DeskNewFileBase(D, u"文本文档"), u".txt"), D + u"\\新建 文本文档.txt");
  // Everything taken: no name rather than a loop without end.
  EXPECT_EQ(DeskUniqueFileName(u"x", u"", [](const std::u16string&) { return true; }), u"");
}

TEST(RenameCheck, BadNamesAreRefusedWithAReason) {
  const std::u16string before = u"报告.docx";
  EXPECT_EQ(DeskCheckEntryRename(u"", before).outcome, kRenameKeep);
  EXPECT_EQ(DeskCheckEntryRename(before, before).outcome, kRenameKeep);
  DeskRenameCheck c = DeskCheckEntryRename(u"总结 2024.docx", before);
  EXPECT_EQ(c.outcome, kRenameApply);
  EXPECT_EQ(c.name, u"总结 2024.docx");
  EXPECT_EQ(DeskCheckEntryRename(u"报告.DOCX", before).outcome, kRenameApply);
  const struct {
    const char16_t* name;
    const char16_t* message = nullptr;
  } bad[] = {
      {u"a\\b", u"文件名不能包含下列任何字符：\\ / : * ? \" < > |"},
      {u"a/b"}, {u"a:b"}, {u"a*b"}, {u"a?b"}, {u"a\"b"}, {u"a<b"}, {u"a>b"}, {u"a|b"},
      {u"a\r\nb", u"文件名不能包含换行符或其他控制字符。"},
      {u"con", u"“con”是系统保留的设备名，不能用作文件名。"},
      {u"COM1.txt", u"“COM1”是系统保留的设备名，不能用作文件名。"},
      {u"lpt9"}, {u"NUL .log"}, {u"aux"}, {u"PRN"},
      {u"报告.", u"文件名不能以句点或空格结尾。"},
      {u"报告 "}, {u".."},
  };
  for (const auto& b : bad) {
    c = DeskCheckEntryRename(b.name, before);
    EXPECT_EQ(c.outcome, kRenameRefused);
    EXPECT_FALSE(c.message.empty());
    if (b.message) {
      EXPECT_EQ(c.message, b.message);
    }
  }
  EXPECT_EQ(DeskCheckEntryRename(std::u16string(256, u'a'), before).outcome, kRenameRefused);
  EXPECT_EQ(DeskCheckEntryRename(u"COM10", before).outcome, kRenameApply);
  // Boxes: any name their escaped file name can hold, trimmed; too long is refused.
  c = DeskCheckBoxRename(u"  a/b:c  ", u"新建分类", 100);
  EXPECT_EQ(c.outcome, kRenameApply);
  EXPECT_EQ(c.name, u"a/b:c");
  EXPECT_EQ(DeskCheckBoxRename(u"   ", u"新建分类", 100).outcome, kRenameKeep);
  EXPECT_EQ(DeskCheckBoxRename(u"a\nb", u"x", 100).outcome, kRenameRefused);
  EXPECT_EQ(DeskCheckBoxRename(std::u16string(40, u'?'), u"x", 100).outcome, kRenameRefused);
}

TEST(Clipboard, PasteCommandsFollowFilesAndEffect) {
  const uint8_t cut[] = {2, 0, 0, 0}, copy[] = {5, 0, 0, 0};
  EXPECT_FALSE(DeskPasteIsCopy(cut, sizeof cut));
  EXPECT_TRUE(DeskPasteIsCopy(copy, sizeof copy));
  EXPECT_TRUE(DeskPasteIsCopy(cut, 3));  // too short to hold an effect: as if none
  DeskClipboardState s;
  EXPECT_FALSE(DeskPasteCommandEnabled(kDeskCmdPaste, s));
  s.files = {u"C:\\a.txt"};
  EXPECT_TRUE(DeskPasteCommandEnabled(kDeskCmdPasteShortcut, s));
  s.pasteIsCopy = false;
  EXPECT_TRUE(DeskPasteCommandEnabled(kDeskCmdPaste, s));
  EXPECT_FALSE(DeskPasteCommandEnabled(kDeskCmdPasteShortcut, s));
}

TEST(DeskKeys, CommandForEachKey) {
  EXPECT_EQ(DeskCommandForKey('A', true, false), kKeySelectAll);
  EXPECT_EQ(DeskCommandForKey('D', true, false), kKeyDelete);
  EXPECT_EQ(DeskCommandForKey('V', false, false), kKeyNone);
  EXPECT_EQ(DeskCommandForKey(kDeskVkDelete, false, false), kKeyDelete);
  EXPECT_EQ(DeskCommandForKey(kDeskVkDelete, false, true), kKeyDeleteForGood);
  EXPECT_EQ(DeskCommandForKey(0x70, false, false), kKeyNone);  // F1 passes on
}

TEST(DeskKeys, RowArrowsStopAtTheEndsAndScrollTheBox) {
  // Five rows of 20 with gaps of 3 from list top 100; 50 pixels visible.
  std::vector<VxRc> rows;
  for (int i = 0; i < 5; ++i) rows.push_back({0, 100 + 23 * i, 200, 120 + 23 * i});
  DeskRowStep s = DeskRowsArrow(rows, 4, true, 100, 20, 60, 50);
  EXPECT_EQ(s.index, 4);  // at the end: nothing
  EXPECT_EQ(s.scroll, 60);
  s = DeskRowsArrow(rows, 0, false, 100, 20, 0, 50);
  EXPECT_EQ(s.index, 0);
  s = DeskRowsArrow(rows, 1, true, 100, 20, 0, 50);  // row 2 ends at 66 > 50
  EXPECT_EQ(s.index, 2);
  EXPECT_EQ(s.scroll, 20);
  s = DeskRowsArrow(rows, 2, true, 100, 20, 0, 50);  // row 3 ends at 89: 20 is not enough
  EXPECT_EQ(s.scroll, 39);
  s = DeskRowsArrow(rows, 3, false, 100, 20, 60, 50);  // row 2 starts at 46
  EXPECT_EQ(s.scroll, 40);
  s = DeskRowsArrow(rows, 1, false, 100, 20, 20, 50);  // the first row: back to 0
  EXPECT_EQ(s.index, 0);
  EXPECT_EQ(s.scroll, 0);
  EXPECT_EQ(DeskRowsArrow(rows, -1, true, 100, 20, 0, 50).index, 0);
  EXPECT_EQ(DeskRowsArrow({}, 0, true, 100, 20, 0, 50).index, -1);
}

TEST(DeskKeys, IconArrowsProbeAcrossGapsAndStopAtTheEdges) {
  // A grid of 75 x 100 cells, columns 74 apart; a hole at column 1 of row 0.
  const VxRc list{0, 0, 300, 206};
  const std::vector<VxRc> cells{{0, 0, 75, 100}, {148, 0, 223, 100}, {0, 103, 75, 203},
                                {74, 103, 149, 203}};
  EXPECT_EQ(DeskIconArrow(cells, 0, kKeyRight, list), 1);   // over the hole
  EXPECT_EQ(DeskIconArrow(cells, 1, kKeyRight, list), -1);  // right end
  EXPECT_EQ(DeskIconArrow(cells, 1, kKeyLeft, list), 0);
  EXPECT_EQ(DeskIconArrow(cells, 0, kKeyLeft, list), -1);   // left end
  EXPECT_EQ(DeskIconArrow(cells, 0, kKeyUp, list), -1);     // top end
  EXPECT_EQ(DeskIconArrow(cells, 0, kKeyDown, list), 2);
  EXPECT_EQ(DeskIconArrow(cells, 2, kKeyDown, list), -1);   // bottom end
  EXPECT_EQ(DeskIconArrow(cells, 2, kKeyRight, list), 3);
  EXPECT_EQ(DeskIconArrow(cells, 3, kKeyUp, list), -1);  // the hole, not a diagonal neighbour
  EXPECT_EQ(DeskIconArrow(cells, -1, kKeyDown, list), 0);
}
