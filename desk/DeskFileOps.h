#pragma once
// What the user does to the files behind the desk's icons: open, the shell's own menu, keys,
// the clipboard (copy, cut, paste, paste as shortcuts), delete, rename and new items. File
// work always goes through the shell on the real desktop folder; the lists follow through the
// change notifications. Copies, moves and deletes run on threads of their own with the
// shell's progress and confirmation windows, so a paste of a thousand files leaves the desk
// free to draw and to take in the new items as they arrive.
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "desk/DeskModel.h"

class CMyDesk;

class CDeskFileOps {
 public:
  CDeskFileOps(CMyDesk& desk, CDeskModel& model);
  ~CDeskFileOps();
  CDeskFileOps(const CDeskFileOps&) = delete;
  CDeskFileOps& operator=(const CDeskFileOps&) = delete;

  // A key-down on the desk; TRUE when it was one of the desk's keys.
  BOOL OnKeyDown(UINT vk);

  // The shell's context menu of the selection at `screen`; `entry` is the one clicked.
  void ShowItemMenu(VxListItem* entry, POINT screen);
  void SelectAll();
  void CopySelection(BOOL asCopy);
  // Reads the clipboard's file list and effect; ghosts follow a cut of desk items.
  void ReadClipboard();
  void PasteFiles();
  // Shortcuts to `paths` on the desktop, or in `folder` when one is given.
  void PasteShortcuts(const std::vector<std::wstring>& paths, const std::wstring& folder = std::wstring());
  void DeleteSelection(BOOL permanent);
  // F2: the rename editor over the one selected entry.
  void BeginRename();
  void BeginRename(VxListItem* entry, VxListCtrl* list);
  // The editor closed on an entry with `typed`: TRUE when the name was applied or kept,
  // FALSE when it was refused (the entry keeps its old name and the reason shows).
  BOOL ApplyEntryRename(VxListItem* entry, VxListCtrl* list, const std::wstring& typed,
                        const std::wstring& before);
  // A refused name's reason beside `screenRect` for a few seconds.
  void ShowRefusal(const std::wstring& message, const RECT& screenRect);
  void HideRefusal();
  const std::wstring& RefusalText() const { return m_refusal; }

  // `base` + `extension`, or "base(n)extension" with the first n no entry and no file has.
  std::wstring UniqueFileName(const std::wstring& base, const std::wstring& extension) const;
  static std::wstring DesktopPath();
  // "新建": folder, shortcut wizard, empty file or template copy (the caller picks the kind).
  BOOL NewFolder();
  BOOL NewShortcut();
  BOOL NewEmptyFile(const std::wstring& typeText, const std::wstring& extension);
  BOOL NewFromTemplate(const std::wstring& typeText, const std::wstring& extension,
                       const std::wstring& templatePath);
  // After a new item: a scan into the active box (or the desk list), a repaint, and a reload
  // on the next association change.
  void AfterNewItem();

  // A shell copy, move or delete on a thread of its own (FO_*, FOF_* flags); the desk hears
  // of the result through the change notifications. `to` is one folder, or a list of
  // targets in the shell's zero-separated form (with FOF_MULTIDESTFILES).
  void RunShellOperation(UINT func, std::vector<std::wstring> from, std::wstring to, FILEOP_FLAGS flags);
  // Copies `from` into `folder` (no trailing backslash); an item whose name is taken there
  // is copied as "name(n).ext". The names are chosen here and handed to the shell one by
  // one, since not every shell renames on a collision (Wine asks to overwrite).
  void CopyRenamingClashes(const std::vector<std::wstring>& from, const std::wstring& folder);
  // The entry shows half see-through (cut or dragged).
  void GhostEntry(VxListItem* e);

  // Shell operations still running on their threads.
  int RunningOperations() const { return m_running->load(); }
  // Host timer 1008: the refusal tip fades.
  void OnTick();

 private:
  struct Selected {
    VxListCtrl* list = nullptr;
    std::vector<VxListItem*> entries;
  };
  // The selection of the desk list when it has one, else of the first box that has one.
  Selected Selection() const;
  VxListCtrl* KeyList();
  void MoveFocus(UINT vk);
  HWND OwnerHwnd() const;
  void Repaint();

  CMyDesk& m_desk;
  CDeskModel& m_model;
  UINT m_effectFormat = 0;  // "Preferred DropEffect"
  // Shared with the threads: one may outlive the desk (the shell finishes its work).
  std::shared_ptr<std::atomic<int>> m_running = std::make_shared<std::atomic<int>>(0);
  HWND m_tip = nullptr;
  std::wstring m_refusal;
  int m_tipTicks = 0;
};
