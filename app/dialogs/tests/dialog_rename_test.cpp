// The rename editor through real windows: a host window with an icon list stands in for the
// desk, keys and characters go through the thread's queue as typing does.
#include "app/dialogs/DialogRename.h"
#include "app/dialogs/dialogs_rc.h"
#include "app/dialogs/tests/dialogs_test_support.h"
#include "app/dialogs/tests/test_host_rc.h"

namespace {

class Host : public CVxDialogBase {
 public:
  Host() : CVxDialogBase(IDD_TEST_HOST) {}
  BOOL OnInitDialog() override {
    CVxDialogBase::OnInitDialog();
    SetBackColor(Gdiplus::Color(255, 40, 70, 110), TRUE);
    return TRUE;
  }
};

struct Ends {
  int count = 0;
  BOOL accepted = -1;
  CString text;
  VxListItem* item = nullptr;
};

class DialogRenameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(nullptr));
    ::SetWindowPos(host, HWND_TOP, 200, 150, 600, 400, SWP_SHOWWINDOW);
    Gdiplus::Font font(L"微软雅黑", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    list.SetFont(font);
    list.SetListType(VXLT_BIGICON);
    ASSERT_TRUE(host.AddVxItem(&list));
    CRect area(20, 20, 580, 380);
    list.SetRect(&area);
    VxListItem entry;
    wcscpy_s(entry.szName, L"报告.txt");
    ASSERT_TRUE(list.AddItem(&entry, TRUE));
    item = list.GetItem(0);
    ASSERT_NE(item, nullptr);

    ASSERT_TRUE(editor.Create(host));
    editor.SetEndHandler([this](CDialogRename& e, BOOL accepted) {
      ++ends.count;
      ends.accepted = accepted;
      ends.text = e.GetEditText();
      ends.item = e.GetItem();
    });
    PumpMessages();
  }
  void TearDown() override {
    editor.DestroyWindow();
    host.DestroyWindow();
    PumpMessages();
  }

  RECT LabelOnScreen() const {
    RECT rc = item->rcText;
    ::MapWindowPoints(host, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  // Opens the editor on the list entry the way the desk does.
  void OpenOnItem() {
    editor.SetBoxTitle(FALSE);
    editor.SetItem(item, &list);
    editor.BeginEdit(LabelOnScreen(), item->szName);
    PumpMessages();
  }
  std::pair<int, int> Selection(HWND edit) const {
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
  }
  RECT WindowRectOf(HWND hwnd) const {
    RECT rc{};
    ::GetWindowRect(hwnd, &rc);
    return rc;
  }

  Host host;
  VxListCtrl list;
  VxListItem* item = nullptr;
  CDialogRename editor;
  Ends ends;
};

}  // namespace

TEST(DialogRenameRule, SelectionStopsBeforeTheLastDot) {
  EXPECT_EQ(CDialogRename::SelectionEnd(L"报告.txt"), 2);
  EXPECT_EQ(CDialogRename::SelectionEnd(L"archive.tar.gz"), 11);
  EXPECT_EQ(CDialogRename::SelectionEnd(L".bashrc"), 7);
  EXPECT_EQ(CDialogRename::SelectionEnd(L"新建文件夹"), 5);
  EXPECT_EQ(CDialogRename::SelectionEnd(L"名字."), 2);
  EXPECT_EQ(CDialogRename::SelectionEnd(L""), 0);
}

TEST_F(DialogRenameTest, TemplateHoldsBothEditsWithTheLabelOneShown) {
  HWND label = ::GetDlgItem(editor, IDC_RENAME_LABEL);
  HWND title = ::GetDlgItem(editor, IDC_RENAME_TITLE);
  ASSERT_NE(label, nullptr);
  ASSERT_NE(title, nullptr);
  const LONG ls = ::GetWindowLongW(label, GWL_STYLE), ts = ::GetWindowLongW(title, GWL_STYLE);
  EXPECT_TRUE(ls & ES_MULTILINE);
  EXPECT_TRUE(ls & ES_CENTER);
  EXPECT_TRUE(ls & ES_AUTOVSCROLL);
  EXPECT_TRUE(ls & ES_WANTRETURN);
  EXPECT_FALSE(ts & ES_MULTILINE);
  EXPECT_TRUE(ts & ES_AUTOHSCROLL);
  EXPECT_TRUE(ls & WS_VISIBLE);
  EXPECT_FALSE(ts & WS_VISIBLE);
  EXPECT_EQ(::SendMessageW(label, EM_GETLIMITTEXT, 0, 0), 100);
  EXPECT_EQ(::SendMessageW(title, EM_GETLIMITTEXT, 0, 0), 100);
  EXPECT_EQ(::GetParent(editor), host.GetSafeHwnd());
}

TEST_F(DialogRenameTest, SelectsTheNameWithoutItsExtension) {
  const struct {
    const wchar_t* name;
    int end;
  } cases[] = {{L"报告.txt", 2}, {L"a.b.c", 3}, {L".profile", 8}, {L"照片", 2}};
  for (const auto& c : cases) {
    editor.SetItem(nullptr, nullptr);
    editor.BeginEdit(RECT{300, 300, 400, 340}, c.name);
    PumpMessages();
    EXPECT_EQ(Selection(editor.GetLabelEdit()), std::make_pair(0, c.end)) << c.name;
    EXPECT_EQ(::GetFocus(), editor.GetLabelEdit()) << c.name;
    EXPECT_TRUE(::IsWindowVisible(editor));
    EXPECT_TRUE(editor.EndEdit(FALSE));
  }
  EXPECT_EQ(ends.count, 4);
}

TEST_F(DialogRenameTest, EnterCommitsTheTypedName) {
  OpenOnItem();
  ASSERT_TRUE(editor.IsEditing());
  HWND edit = editor.GetLabelEdit();
  PostChars(edit, L"总结");  // replaces the selected "报告"
  PumpMessages();
  EXPECT_EQ(editor.GetEditText(), L"总结.txt");
  EXPECT_STREQ(item->szName, L"总结.txt");  // the label follows while typing
  PostKey(edit, VK_RETURN);
  PumpMessages();
  EXPECT_EQ(ends.count, 1);
  EXPECT_EQ(ends.accepted, TRUE);
  EXPECT_EQ(ends.text, L"总结.txt");
  EXPECT_EQ(ends.item, item);
  EXPECT_FALSE(editor.IsEditing());
  EXPECT_FALSE(::IsWindowVisible(editor));
  EXPECT_EQ(editor.GetItem(), nullptr);
  // No line break reached the edit.
  wchar_t raw[64] = {};
  ::GetWindowTextW(edit, raw, 64);
  EXPECT_STREQ(raw, L"总结.txt");
}

TEST_F(DialogRenameTest, EscapeCancelsAndPutsTheOldNameBack) {
  OpenOnItem();
  HWND edit = editor.GetLabelEdit();
  PostChars(edit, L"一个很长很长的新名字");
  PumpMessages();
  EXPECT_STREQ(item->szName, L"一个很长很长的新名字.txt");
  PostKey(edit, VK_ESCAPE);
  PumpMessages();
  EXPECT_EQ(ends.count, 1);
  EXPECT_EQ(ends.accepted, FALSE);
  EXPECT_EQ(ends.text, L"报告.txt");
  EXPECT_EQ(editor.GetEditText(), L"报告.txt");
  EXPECT_STREQ(item->szName, L"报告.txt");
  EXPECT_FALSE(::IsWindowVisible(editor));
}

TEST_F(DialogRenameTest, LosingTheFocusCommitsOnce) {
  OpenOnItem();
  PostChars(editor.GetLabelEdit(), L"周报");
  PumpMessages();
  ::SetForegroundWindow(host);
  ::SetActiveWindow(host);
  ::SetFocus(host);
  PumpFor(100);
  EXPECT_EQ(ends.count, 1);
  EXPECT_EQ(ends.accepted, TRUE);
  EXPECT_EQ(ends.text, L"周报.txt");
  // The desk also ends any open rename on its next press: nothing is left to end.
  EXPECT_FALSE(editor.EndEdit(TRUE));
  PumpFor(50);
  EXPECT_EQ(ends.count, 1);
}

TEST_F(DialogRenameTest, MoreThanAHundredCharactersAreRefused) {
  OpenOnItem();
  HWND edit = editor.GetLabelEdit();
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  PostChars(edit, std::wstring(120, L'字'));
  PumpMessages();
  EXPECT_EQ(editor.GetEditText().size(), 100u);
  PostKey(edit, VK_RETURN);
  PumpMessages();
  EXPECT_EQ(ends.text, std::wstring(100, L'字'));
}

TEST_F(DialogRenameTest, TheLabelEditGrowsAndShrinksWithTheLabel) {
  OpenOnItem();
  const RECT start = WindowRectOf(editor);
  const RECT label = LabelOnScreen();
  EXPECT_EQ(start.left, label.left);
  EXPECT_EQ(start.top, label.top);
  EXPECT_EQ(start.right, label.right);
  HWND edit = editor.GetLabelEdit();
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  PostChars(edit, L"这是一个需要好几行才能显示完整的非常非常长的文件名字.docx");
  PumpMessages();
  const RECT grown = WindowRectOf(editor);
  EXPECT_EQ(grown.left, label.left);
  EXPECT_EQ(grown.top, label.top);
  EXPECT_EQ(grown.right - grown.left, label.right - label.left);
  EXPECT_GT(grown.bottom - grown.top, start.bottom - start.top);
  // The edit covers the measured label (down to the bottom of the entry's focus rectangle)
  // and shows every line of its own text.
  POINT focusBottom{0, item->rcFocus.bottom};
  ::ClientToScreen(host, &focusBottom);
  EXPECT_GE(grown.bottom, focusBottom.y);
  EXPECT_GT(::SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 1);
  EXPECT_EQ(::SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  PostChars(edit, L"短");
  PumpMessages();
  const RECT shrunk = WindowRectOf(editor);
  EXPECT_LT(shrunk.bottom - shrunk.top, grown.bottom - grown.top);
  EXPECT_STREQ(item->szName, L"短");
  PostKey(edit, VK_RETURN);
  PumpMessages();
  EXPECT_EQ(ends.text, L"短");
}

TEST_F(DialogRenameTest, AScrolledPlacementIsKeptWhileFollowing) {
  editor.SetItem(item, &list);
  RECT rc = LabelOnScreen();
  ::OffsetRect(&rc, 0, -31);  // the owner moved it up by a box's scroll offset + 1
  editor.BeginEdit(rc, item->szName);
  PumpMessages();
  PostChars(editor.GetLabelEdit(), L"年度总结报告的第二稿");
  PumpMessages();
  EXPECT_EQ(WindowRectOf(editor).top, LabelOnScreen().top - 31);
  editor.EndEdit(TRUE);
}

TEST_F(DialogRenameTest, BoxTitlesUseTheOneLineEditWithItsOwnFont) {
  editor.SetItem(nullptr, nullptr);
  editor.SetBoxTitle(TRUE);
  editor.SetTitleFontHeight(-16);
  editor.BeginEdit(RECT{310, 160, 490, 187}, L"我的文档");
  PumpMessages();
  HWND title = editor.GetTitleEdit(), label = editor.GetLabelEdit();
  EXPECT_TRUE(::IsWindowVisible(title));
  EXPECT_FALSE(::IsWindowVisible(label));
  EXPECT_EQ(::GetFocus(), title);
  EXPECT_EQ(Selection(title), std::make_pair(0, 4));
  LOGFONTW lf{};
  ASSERT_TRUE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(title, WM_GETFONT, 0, 0)),
                           sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, -16);
  ICONMETRICSW im{};
  im.cbSize = sizeof(im);
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETICONMETRICS, sizeof(im), &im, 0));
  EXPECT_STREQ(lf.lfFaceName, im.lfFont.lfFaceName);
  LOGFONTW labelFont{};
  ASSERT_TRUE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)),
                           sizeof(labelFont), &labelFont));
  EXPECT_EQ(labelFont.lfHeight, im.lfFont.lfHeight);

  PostChars(title, L"工作资料");
  PostKey(title, VK_RETURN);
  PumpMessages();
  EXPECT_EQ(ends.count, 1);
  EXPECT_EQ(ends.accepted, TRUE);
  EXPECT_EQ(ends.text, L"工作资料");
  // Back to the default variant and font, as the desk does after each edit.
  editor.SetBoxTitle(FALSE);
  editor.SetTitleFontHeight(-12);
  EXPECT_TRUE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(title, WM_GETFONT, 0, 0)),
                           sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_TRUE(::IsWindowVisible(label) || !::IsWindowVisible(editor));
  EXPECT_FALSE(::GetWindowLongW(title, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(DialogRenameTest, BothEditsFillThePopupAfterASizeChange) {
  ::SetWindowPos(editor, nullptr, 0, 0, 150, 46, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  for (HWND edit : {editor.GetLabelEdit(), editor.GetTitleEdit()}) {
    RECT rc = WindowRectOf(edit);
    EXPECT_EQ(rc.right - rc.left, 150);
    EXPECT_EQ(rc.bottom - rc.top, 46);
  }
}

TEST_F(DialogRenameTest, ARealEnterKeyFromTheKeyboardCommits) {
  OpenOnItem();
  PostChars(editor.GetLabelEdit(), L"计划");
  PumpMessages();
  ASSERT_EQ(::GetFocus(), editor.GetLabelEdit());
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = VK_RETURN;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
  PumpFor(300);
  EXPECT_EQ(ends.count, 1);
  EXPECT_EQ(ends.accepted, TRUE);
  EXPECT_EQ(ends.text, L"计划.txt");
}

TEST_F(DialogRenameTest, Screenshot) {
  for (const wchar_t* name : {L"项目资料", L"照片.jpg", L"会议记录.docx"}) {
    VxListItem entry;
    wcscpy_s(entry.szName, name);
    ASSERT_TRUE(list.AddItem(&entry, TRUE));
  }
  host.UpdateView();
  OpenOnItem();
  PostChars(editor.GetLabelEdit(), L"年度工作总结");
  PumpFor(300);
  auto shot = CaptureScreen(WindowRectOf(host));
  EXPECT_FALSE(SaveScreenshot(*shot, L"dialog_rename.png").empty());
  editor.EndEdit(TRUE);
}
