// The settings centre in the program's real windows: opened from the desk menu and the tray
// command, driven with real clicks, and judged by what it leaves in AppGlobals, the Run key
// and config.ini, and by where the next new desktop file goes.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <string>

#include "app/BaseWnd.h"
#include "app/DialogBack.h"
#include "app/dialogs/DialogSet.h"
#include "app/resource.h"
#include "base/AppGlobals.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"
#include "desk/MyDesk.h"
#include "uilib/VxDialog.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"

namespace {

void Click(POINT screen) {
  ::SetCursorPos(screen.x, screen.y);
  RunFor(60);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
  RunFor(250);
}

// The whole screen as <build>\screenshots\settings_<name>.png.
void Screenshot(const wchar_t* name) { SaveScreenshot(std::wstring(L"settings_") + name); }

bool RunValueThere() {
  return ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                        TheApp().appName.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring ConfigValue(const wchar_t* key) {
  wchar_t v[512] = {};
  ::GetPrivateProfileStringW(L"SET", key, L"<none>", v, 512, (DataFolderPath() + L"config.ini").c_str());
  return v;
}

// Runs `script` once from inside the settings centre's modal loop, as soon as it shows.
struct InsideModal {
  static CDialogBack* back;
  static std::function<void(HWND)>* script;
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = back->SettingsWindow();
    if (!dlg || !::IsWindowVisible(dlg) || !script) return;
    ::KillTimer(nullptr, id);
    std::function<void(HWND)>* run = script;
    script = nullptr;
    RunFor(300);  // drawn
    (*run)(dlg);
    // A script that failed half-way leaves the dialog open: close it (a cancel), so the
    // test reports instead of waiting for ever. Gone already, the message goes nowhere.
    ::PostMessageW(dlg, WM_CLOSE, 0, 0);
  }
};
CDialogBack* InsideModal::back = nullptr;
std::function<void(HWND)>* InsideModal::script = nullptr;

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveDataFolder();
    ASSERT_TRUE(EnsureDataFolder());
    PrepareDesktopShell();
    desk_ = DesktopDir();
    RemoveFolderContents(desk_);
    PutFileBytes(desk_ + L"\\a.txt", "a");
    ClearAutoStart();
    AppGlobals& g = TheApp();
    g.programDir = ExeFolder();
    g.desk.config = DeskConfig();
    g.desk.config.deskPageOn = 1;
    g.desk.boxRecords.clear();
    g.autoStart = 0;
    g.closePrompt = 1;
    g.desk.autoOrganize = 1;
    g.desk.shortcutTarget = L"";
    g.desk.folderTarget = L"旧的分类";  // a box the user removed since
    g.desk.fileTarget = L"";
    g.currentView = 0;
    LoadOrSaveConfig(FALSE);
    ASSERT_TRUE(back_.Create(nullptr));
    ::SetWindowPos(back_.GetSafeHwnd(), nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN) - 1,
                   ::GetSystemMetrics(SM_CYSCREEN) - 1, SWP_NOZORDER);
    ::SetForegroundWindow(back_.GetSafeHwnd());
    RunFor(300);
    desk = back_.Desk();
    ASSERT_NE(desk, nullptr);
    desk->NewBox(POINT{300, 200});  // "新建分类", not saved yet when the dialog opens
    ASSERT_NE(desk->FindBoxByName(L"新建分类"), nullptr);
    InsideModal::back = &back_;
  }
  void TearDown() override {
    if (back_.GetSafeHwnd()) back_.DestroyWindow();
    Pump();
    ClearAutoStart();
    RemoveFolderContents(desk_);
    RemoveDataFolder();
  }
  // Opens the settings centre with command `id` sent to `to` and runs `script` inside it.
  void OpenWith(HWND to, UINT id, std::function<void(HWND)> script) {
    InsideModal::script = &script;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &InsideModal::OnTimer);
    ::SendMessageW(to, WM_COMMAND, id, 0);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(InsideModal::script, nullptr) << "the settings centre showed";
    InsideModal::script = nullptr;
  }
  static POINT On(HWND dlg, const RECT& client) {
    POINT p{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ::ClientToScreen(dlg, &p);
    return p;
  }
  const DeskSettingsModel& Model() { return *back_.SettingsDialog()->Model(); }
  // Opens the file rule's drop-down and picks `name` in it with the mouse.
  void PickFileRule(HWND dlg, const wchar_t* name) {
    Click(On(dlg, CDialogSet::RuleRowRect(kRuleFile)));
    HWND drop = back_.SettingsDialog()->DropDownWindow();
    ASSERT_TRUE(drop && ::IsWindowVisible(drop)) << "the drop-down opens beside the row";
    HWND list = ::GetWindow(drop, GW_CHILD);
    const LRESULT i = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    ASSERT_GT(i, 0) << "the box is offered";
    RECT item{};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    Click(On(list, item));
  }

  std::wstring desk_;
  CDialogBack back_;
  CMyDesk* desk = nullptr;
};

}  // namespace

TEST_F(Settings, CancelStoresNothingAndOKRulesTheNextNewFile) {
  const std::string configBefore = FileBytes(DataFolderPath() + L"config.ini");
  ASSERT_FALSE(configBefore.empty());

  // Cancel after changing everything, opened from the desk menu.
  OpenWith(back_.Host()->GetSafeHwnd(), ID_SETTINGS_DESK, [&](HWND dlg) {
    Screenshot(L"1_startup_tab");
    Click(On(dlg, CDialogSet::CheckRect(CDialogSet::kCheckAutoStart)));
    Click(On(dlg, CDialogSet::CheckRect(CDialogSet::kCheckClosePrompt)));
    EXPECT_TRUE(Model().tab() == 0);
    // A second "设置中心" (the tray's) opens nothing new.
    back_.RunCommand(ID_SETTINGS);
    EXPECT_EQ(back_.SettingsWindow(), dlg);
    Click(On(dlg, CDialogSet::TabRect(1)));
    EXPECT_EQ(Model().tab(), 1);
    EXPECT_EQ(Model().RuleText(kRuleFolder), kDeskNoTargetBox) << "a removed box's rule shows empty";
    Click(On(dlg, CDialogSet::CheckRect(CDialogSet::kCheckAutoOrganize)));
    PickFileRule(dlg, L"新建分类");
    EXPECT_EQ(Model().RuleValue(kRuleFile), u"新建分类");
    Screenshot(L"2_dropdown");
    Click(On(dlg, CDialogSet::CancelRect()));
  });
  EXPECT_EQ(back_.SettingsWindow(), nullptr);
  const AppGlobals& g = TheApp();
  EXPECT_EQ(FileBytes(DataFolderPath() + L"config.ini"), configBefore) << "cancel writes nothing";
  EXPECT_FALSE(RunValueThere()) << "cancel leaves the Run key";
  EXPECT_EQ(g.autoStart, 0);
  EXPECT_EQ(g.closePrompt, 1);
  EXPECT_EQ(g.desk.autoOrganize, 1);
  EXPECT_EQ(g.desk.fileTarget, L"");
  EXPECT_EQ(g.desk.folderTarget, L"旧的分类");

  // OK, opened from the tray's command: autostart on, files into the new box.
  OpenWith(back_.GetSafeHwnd(), ID_SETTINGS, [&](HWND dlg) {
    EXPECT_EQ(Model().RuleValue(kRuleFile), u"") << "each opening starts from AppGlobals";
    Click(On(dlg, CDialogSet::CheckRect(CDialogSet::kCheckAutoStart)));
    Click(On(dlg, CDialogSet::TabRect(1)));
    PickFileRule(dlg, L"新建分类");
    Screenshot(L"3_organize_tab");
    Click(On(dlg, CDialogSet::OKRect()));
  });
  EXPECT_EQ(g.autoStart, 1);
  EXPECT_TRUE(RunValueThere() && IsAutoStartSet(ExeFolder() + L"\\tessary_settings_test.exe"));
  EXPECT_EQ(g.desk.fileTarget, L"新建分类");
  EXPECT_EQ(g.desk.folderTarget, L"") << "a removed box's rule saves empty";
  EXPECT_EQ(ConfigValue(L"zlfile"), L"新建分类");
  EXPECT_EQ(ConfigValue(L"zldir"), L"");
  EXPECT_EQ(ConfigValue(L"autozhengli"), L"1");

  // The next file made on the desktop lands in the chosen box.
  desk = back_.Desk();
  const std::wstring made = desk_ + L"\\报告.txt";
  PutFileBytes(made, "r");
  ::SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSH, made.c_str(), nullptr);
  const auto inBox = [&]() -> bool {
    GetZhiItem* box = desk->FindBoxByName(L"新建分类");
    if (!box) return false;
    for (VxListItem* e : box->list.Items())
      if (_wcsicmp(e->szPath, made.c_str()) == 0) return true;
    return false;
  };
  EXPECT_TRUE(RunUntil(inBox)) << "a new file goes where the rule says";
  RunFor(1200);
  Screenshot(L"4_new_file_in_box");
}
