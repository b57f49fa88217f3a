#pragma once
// Shared by the toolkit's Windows tests: GDI+ for the test program, images made on the fly,
// a test dialog of a known size and message pumping.
#include <gtest/gtest.h>

#include <string>

#include "uilib/VxDialogBase.h"
#include "uilib/VxRaii.h"
#include "uilib/tests/test_resource.h"

// GDI+ and OLE for the whole test program.
class ToolkitEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ::OleInitialize(nullptr);
    gdiplus_ = new VxGdiplusSession();
  }
  void TearDown() override {
    delete gdiplus_;
    ::OleUninitialize();
  }

 private:
  VxGdiplusSession* gdiplus_ = nullptr;
};

// A file of the rs image folder beside the test program.
std::wstring RsPath(const std::wstring& relative);
// A folder of its own under %TEMP% for the files a test writes.
std::wstring TestDir();

// Saves a PNG of w x h whose frames (stacked vertically, or side by side) are filled with
// the given ARGB colours. Returns its path.
std::wstring MakeStripPng(const std::wstring& name, int frameW, int frameH,
                          const std::vector<uint32_t>& colours, bool vertical = true);
// A plain PNG of one colour.
std::wstring MakeSolidPng(const std::wstring& name, int w, int h, uint32_t argb);
// Writes raw bytes to a file in the test folder.
std::wstring WriteBytes(const std::wstring& name, const std::string& bytes);

// Processes every pending message of the thread.
void PumpMessages();

// A skinned test dialog placed on screen at (x, y) with the given client size.
class TestDialog : public CVxDialogBase {
 public:
  explicit TestDialog(UINT id = IDD_TEST) : CVxDialogBase(id) {}
  bool Open(int x, int y, int w, int h, bool show = true);
  int paints = 0;
  int closedByCallback = 0;

 protected:
  void DrawSurface(HDC hdc, int cx, int cy, BOOL buffered) override {
    ++paints;
    CVxDialogBase::DrawSurface(hdc, cx, cy, buffered);
  }
};

// ARGB of a pixel of a 32-bit bitmap.
uint32_t PixelAt(Gdiplus::Bitmap& bmp, int x, int y);
// Paints the dialog's whole surface the way UpdateView does (premultiplied ARGB) into a
// bitmap for pixel checks.
std::unique_ptr<Gdiplus::Bitmap> PaintToBitmap(CVxDialogBase& dlg, int w, int h);

// Mouse messages in client coordinates, delivered as the window would get them.
void SendMouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys = 0);
