#pragma once
// The organizer's application object: single instance, program folder, desk files,
// settings, GDI+ and the icon-title font, then the background window's loop.
#include <windows.h>

#include <memory>
#include <string>

#include "base/AppGlobals.h"
#include "uilib/VxGdiplus.h"

class CTessaryApp {
 public:
  CTessaryApp() = default;
  ~CTessaryApp();
  CTessaryApp(const CTessaryApp&) = delete;
  CTessaryApp& operator=(const CTessaryApp&) = delete;

  // Runs the program; returns FALSE when the loop ended or start-up failed (the process
  // then ends through ExitInstance).
  BOOL InitInstance();
  int ExitInstance();

  Gdiplus::Font* IconFont() const { return m_iconFont.get(); }
  const std::wstring& ProgramPath() const { return m_programPath; }

 private:
  static void DetectYaHei();
  void CreateIconFont();

  Gdiplus::GdiplusStartupInput m_gdiplusInput;
  ULONG_PTR m_gdiplusToken = 0;
  bool m_gdiplusStarted = false;
  bool m_oleStarted = false;
  HANDLE m_instanceMutex = nullptr;
  std::unique_ptr<Gdiplus::Font> m_iconFont;
  std::wstring m_programPath;
};

// The running application object (null before it exists).
CTessaryApp* TheTessaryApp();
