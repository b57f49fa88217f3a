#pragma once
// The installer's window: welcome (0), options (1), installing (2) and finished (3). The
// install runs on a worker thread that reports through posted messages.
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "setup/InstallSteps.h"
#include "uilib/VxDialogBase.h"

constexpr UINT WM_SETUP_CLOSE = WM_USER + 100;   // 1124
constexpr UINT WM_SETUP_REDRAW = WM_USER + 101;  // 1125
constexpr UINT WM_SETUP_DONE = WM_USER + 102;    // 1126: wParam 1 finished, 0 failed

class CSetupDlg : public CVxDialogBase, private InstallObserver {
 public:
  enum Page { kWelcome = 0, kOptions = 1, kInstalling = 2, kFinished = 3 };

  CSetupDlg();
  ~CSetupDlg() override;

  void ShowSetupPage(int page);
  int GetPage() const { return m_page; }
  const std::wstring& GetInstallFolder() const { return m_folder; }
  void SetInstallFolder(const std::wstring& folder);
  // Starts the worker with the options as the check boxes hold them.
  void StartInstall();
  // Test and screenshot access to the option boxes: 0 desktop, 1 quick launch, 2 log-on.
  VxCheckBox& Option(int i) { return m_options[i]; }
  int GetShownPercent() const { return m_percent; }
  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override;

 protected:
  BOOL OnInitDialog() override;
  BOOL OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void OnOK() override {}
  void OnCancel() override;
  void OnClose() override;

 private:
  void OnProgress(int percent) override;
  void AddButton(VxButton& b, UINT image, VxClickFunc click, int x, int y, int page);
  void OnCloseRequest();
  void OnInstallDone(bool ok);
  void Browse();
  void UpdateFreeSpace();
  void UpdateProgressItems();
  static void ClickClose(void* self);
  static void ClickMin(void* self);
  static void ClickCustom(void* self);
  static void ClickBack(void* self);
  static void ClickBrowse(void* self);
  static void ClickInstall(void* self);
  static void ClickStart(void* self);

  VxImage m_back, m_hero, m_done, m_marker;
  VxButton m_btnClose, m_btnMin, m_btnInstall, m_btnCustom, m_btnBack, m_btnBrowse,
      m_btnInstall2, m_btnStart;
  VxCheckBox m_options[3];
  VxProgress m_progress;
  std::vector<std::pair<VxItemBase*, int>> m_pageItems;  // item, page (-1: every page)
  std::unique_ptr<Gdiplus::Font> m_font, m_titleFont, m_smallFont;
  HFONT m_editFont = nullptr;
  int m_page = kWelcome;
  std::wstring m_folder;
  std::wstring m_freeSpace;
  std::atomic<int> m_percent{0};
  std::thread m_worker;
};
