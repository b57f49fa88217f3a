#pragma once
// The install itself, apart from any window: make the folder, clear the per-user data,
// extract the payload, create the shortcuts and the log-on entry, and keep the uninstall
// record as it goes, so even an install cut short leaves a record the uninstaller can use.
#include <windows.h>

#include <string>

#include "setup/SetupNames.h"

struct InstallOptions {
  std::wstring folder;  // ends with a backslash
  bool desktopShortcut = true;
  bool quickLaunch = true;
  bool autoStart = true;
};

// What the window hears while the worker runs (called on the worker thread).
class InstallObserver {
 public:
  virtual ~InstallObserver() = default;
  virtual void OnProgress(int percent) = 0;
};

struct InstallResult {
  bool ok = false;
  std::wstring message;  // the failure text the user sees
  int fileCount = 0;
};

// Default install folder: Program Files + "vexlo" + backslash.
std::wstring DefaultInstallFolder();
// The folder the user picked in the browser, extended by "vexlo" unless it ends in it.
std::wstring InstallFolderFromBrowsed(const std::wstring& picked);
// The per-user data folder the install clears (AppData\VuZiro, or VX_DATA_DIR when set).
std::wstring UserDataFolder();
// Free bytes on the disk of `folder` (or its nearest existing parent); -1 when unknown.
long long FreeDiskBytes(const std::wstring& folder);

// Deletes a folder tree without ever following a link or junction out of it: links are
// removed as links, and a folder that resolves outside the tree is not entered.
void DeleteTreeNoFollow(const std::wstring& folder);

// Steps 1 to 12 in order; on failure the result holds the message to show.
InstallResult RunInstallSteps(const InstallOptions& options, InstallObserver* observer);

// Creates a shell link `link` to `target` (an existing file of that name is deleted first).
bool CreateShortcut(const std::wstring& link, const std::wstring& target);
