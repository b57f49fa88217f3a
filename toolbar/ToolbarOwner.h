#pragma once
// What the toolbar asks of the program's main window: the toolbar sits below the application
// shell, so it reaches the main window and its page host only through this.
#include <windows.h>

class CToolbarOwner {
 public:
  virtual ~CToolbarOwner() = default;
  // The main window, null while it does not exist.
  virtual HWND MainWindow() const = 0;
  // Whether the main window's page host exists (the desk and the navigation pages live there).
  virtual bool HasPageHost() const = 0;
  // Switches the page host to a page type (0 the plain desktop, 1 the desk, 2.. the
  // navigation pages) and redraws; closes the search bar's window first when it is open.
  virtual void ShowHostPage(int type) = 0;
};
