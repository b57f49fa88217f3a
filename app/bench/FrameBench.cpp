// Frame composition and present of the host window at full screen with 20 boxes and 500
// icons: median and worst milliseconds per frame, and what the parts of a frame cost. Prints
// figures; it is not a test. Also saves the composed frame of a busy desk (active box, hover,
// selection, scrolled box, flashes, rubber band) as screenshots\framebench.png beside bin\,
// for comparing the look before and after a change of the drawing.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/AppConfig.h"
#include "base/AppGlobals.h"
#include "app/BaseWnd.h"
#include "app/bench/BenchHost.h"
#include "desk/MyDesk.h"
#include "uilib/VxPaint.h"
#include "uilib/VxRaii.h"
#include "base/testing/test_support.h"
#include "base/testing/window_support.h"

namespace {

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A picture with gradients and soft edges, so blending differences would show in the frame.
bool WriteWallpaper(const std::wstring& path, int w, int h) {
  Gdiplus::Bitmap bmp(w, h, PixelFormat24bppRGB);
  {
    Gdiplus::Graphics g(&bmp);
    Gdiplus::LinearGradientBrush sky(Gdiplus::Point(0, 0), Gdiplus::Point(0, h),
                                     Gdiplus::Color(255, 38, 64, 120),
                                     Gdiplus::Color(255, 236, 164, 110));
    g.FillRectangle(&sky, 0, 0, w, h);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    for (int i = 0; i < 12; ++i) {
      Gdiplus::SolidBrush spot(Gdiplus::Color(120, static_cast<BYTE>(40 + i * 17), 220,
                                              static_cast<BYTE>(250 - i * 19)));
      g.FillEllipse(&spot, 80 + i * 150, 100 + static_cast<int>(300 * std::sin(i * 0.9)) + 300, 220,
                    220);
    }
  }
  CLSID bmpClsid;
  ::CLSIDFromString(L"{557CF400-1A04-11D3-9A73-0000F81EF32E}", &bmpClsid);
  return bmp.Save(path.c_str(), &bmpClsid, nullptr) == Gdiplus::Ok;
}

// The pixels of the host window's composed frame as a PNG.
bool SaveFrame(HDC frame, const std::wstring& path) {
  DIBSECTION ds{};
  HGDIOBJ bits = ::GetCurrentObject(frame, OBJ_BITMAP);
  if (!bits || ::GetObjectW(bits, sizeof(ds), &ds) != sizeof(ds) || !ds.dsBm.bmBits) return false;
  ::GdiFlush();
  Gdiplus::Bitmap view(ds.dsBm.bmWidth, ds.dsBm.bmHeight, ds.dsBm.bmWidthBytes, PixelFormat32bppRGB,
                       static_cast<BYTE*>(ds.dsBm.bmBits));
  return VxSaveImagePng(&view, path.c_str()) == TRUE;
}

}  // namespace

int main() {
  ::OleInitialize(nullptr);
  VxGdiplusSession gdiplus;
  const std::wstring desktop = FillBenchDesktop(500, {L"txt", L"doc", L"xls", L"pdf", L"png"});

  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring wallpaper = std::wstring(temp) + L"FrameBenchWallpaper.bmp";
  if (WriteWallpaper(wallpaper, cx, cy))
    ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(wallpaper.c_str()), 0);
  HWND parent = CreateBenchParent(L"FrameBench");
  CBaseWnd host;
  if (!OpenBenchHost(host, parent)) return 1;
  CMyDesk* desk = host.Desk();

  // Twenty boxes sharing the files: the organized "文件" box gives its entries away.
  std::vector<GetZhiItem*> boxes;
  for (const auto& b : desk->Boxes()) boxes.push_back(b.get());
  for (int i = 0; static_cast<int>(boxes.size()) < 20; ++i)
    boxes.push_back(desk->NewBox(POINT{20 + (i % 6) * 300, 60 + (i / 6) * 330}));
  GetZhiItem* files = desk->FindBoxByName(L"文件");
  if (files) {
    const std::vector<VxListItem*> entries = files->list.Items();
    for (size_t i = 0; i < entries.size(); ++i) {
      GetZhiItem* target = boxes[i % boxes.size()];
      if (target == files) continue;
      target->list.AddItem(entries[i], TRUE);
      files->list.RemoveAt(entries[i], TRUE);
    }
  }
  int icons = desk->DeskList().GetCount();
  for (GetZhiItem* b : boxes) {
    desk->LayoutBox(b, TRUE);
    icons += b->list.GetCount();
  }
  Pump();

  LARGE_INTEGER f, a, b;
  ::QueryPerformanceFrequency(&f);
  // One composition of the host's frame, timed; the desk's own figures go to `times`.
  auto timedCompose = [&](DeskDrawTimes* times) {
    desk->SetDrawTimes(times);
    ::QueryPerformanceCounter(&a);
    host.Compose();
    ::GdiFlush();
    ::QueryPerformanceCounter(&b);
    desk->SetDrawTimes(nullptr);
    return Ms(a, b, f);
  };
  std::vector<double> frames;
  double first = 0;
  for (int i = 0; i < 121; ++i) {
    ::QueryPerformanceCounter(&a);
    host.Compose();
    ::InvalidateRect(host.GetSafeHwnd(), nullptr, FALSE);
    ::UpdateWindow(host.GetSafeHwnd());
    ::GdiFlush();
    ::QueryPerformanceCounter(&b);
    if (i == 0)
      first = Ms(a, b, f);
    else
      frames.push_back(Ms(a, b, f));
    Pump();
  }
  // The parts: composing alone (with the desk's own figures), and presenting alone.
  std::vector<double> compose, present, boxFrames, boxLists, boxControls, flashes, deskList,
      rebuilds, scene;
  for (int i = 0; i < 40; ++i) {
    DeskDrawTimes times;
    compose.push_back(timedCompose(&times));
    boxFrames.push_back(times.boxFrames);
    boxLists.push_back(times.boxLists);
    boxControls.push_back(times.boxControls);
    flashes.push_back(times.flashes);
    deskList.push_back(times.deskList);
    rebuilds.push_back(times.rebuilds);
    scene.push_back(times.scene);
    ::QueryPerformanceCounter(&a);
    ::InvalidateRect(host.GetSafeHwnd(), nullptr, FALSE);
    ::UpdateWindow(host.GetSafeHwnd());
    ::GdiFlush();
    ::QueryPerformanceCounter(&b);
    present.push_back(Ms(a, b, f));
    Pump();
  }
  // Composing without the boxes: what the background and the desk list cost.
  std::vector<double> bare;
  for (GetZhiItem* box : boxes) box->shown = 0;
  for (int i = 0; i < 20; ++i) {
    bare.push_back(timedCompose(nullptr));
  }
  for (GetZhiItem* box : boxes) box->shown = 1;
  std::sort(frames.begin(), frames.end());
  std::printf("frame composition + present, %dx%d, %zu boxes, %d icons\n", cx, cy, desk->Boxes().size(),
              icons);
  std::printf("first frame %.1f ms; over %zu frames: median %.1f ms, worst %.1f ms\n", first,
              frames.size(), frames[frames.size() / 2], frames.back());
  std::printf("parts (median): compose %.1f ms (without the boxes %.1f ms), present %.1f ms\n",
              Median(compose), Median(bare), Median(present));
  const double drawn = Median(boxFrames) + Median(boxLists) + Median(boxControls) +
                       Median(flashes) + Median(deskList);
  std::printf("compose (median ms): box frames and titles %.2f, box lists %.2f,\n"
              "  thumbs and menu buttons %.2f, flashes %.2f, desk list and band %.2f,\n"
              "  kept page brought up to date and copied %.2f, rest %.2f; cache rebuilds %.2f\n",
              Median(boxFrames), Median(boxLists), Median(boxControls), Median(flashes),
              Median(deskList), Median(scene), std::max(0.0, Median(compose) - drawn - Median(scene)),
              Median(rebuilds));

  // Frames that change something: the hover moving between two entries of one box (its list
  // is drawn again, as the mouse's path does), and the whole page composed anew over a new
  // wallpaper (the same picture from another file).
  std::vector<double> hoverSteps, whole;
  int64_t hoverArea = 0;
  GetZhiItem* hovered = boxes.front();
  for (GetZhiItem* box : boxes)
    if (box->rect.bottom <= cy && box->list.GetCount() > 1) hovered = box;
  for (int i = 0; i < 40 && hovered->list.GetCount() > 1; ++i) {
    hovered->list.GetItem(i % 2)->nMouseState = 1;
    hovered->list.GetItem(1 - i % 2)->nMouseState = 0;
    hovered->cache.reset();
    DeskDrawTimes times;
    hoverSteps.push_back(timedCompose(&times));
    hoverArea = times.sceneArea;
  }
  for (int i = 0; i < 2; ++i) hovered->list.GetItem(i)->nMouseState = 0;
  hovered->cache.reset();
  const std::wstring otherWallpaper = std::wstring(temp) + L"FrameBenchWallpaper2.bmp";
  ::CopyFileW(wallpaper.c_str(), otherWallpaper.c_str(), FALSE);
  for (int i = 0; i < 10; ++i) {
    const std::wstring& next = i % 2 ? wallpaper : otherWallpaper;
    ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(next.c_str()), 0);
    host.CheckWallpaper();
    whole.push_back(timedCompose(nullptr));
  }
  std::printf("hover step in one box: compose median %.1f ms (%lld pixels composed anew); "
              "whole page anew: median %.1f ms\n",
              Median(hoverSteps), static_cast<long long>(hoverArea), Median(whole));

  // A busy desk for the screenshot, in the top row of boxes from the left: an active box, a
  // box with a selected and a hovered entry, one with its menu button under the mouse, one
  // with two flashing entries (one rising, one fading), a scrolled one with its thumb under
  // the mouse; a flashing desk entry, and a rubber band on the empty desk.
  std::vector<GetZhiItem*> top;
  for (GetZhiItem* box : boxes)
    if (box->rect.top < 100 && box->list.GetListType() != VXLT_LIST) top.push_back(box);
  std::sort(top.begin(), top.end(),
            [](GetZhiItem* l, GetZhiItem* r) { return l->rect.left < r->rect.left; });
  if (top.size() >= 5) {
    const RECT area = CMyDesk::BoxListArea(top[4]);
    desk->OnMouseWheel(-120, POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2});
  }
  // The press that starts the band clears the lists' states: they are set after it.
  desk->OnLButtonDown(POINT{cx - 110, 90});
  desk->OnMouseMove(POINT{cx - 30, 420});
  if (top.size() >= 5) {
    desk->SetActiveBox(top[0]);
    top[1]->list.SetSel(0, TRUE);
    if (VxListItem* e = top[1]->list.GetItem(1)) e->nMouseState = 1;
    top[1]->cache.reset();
    top[2]->hoverMenu = 1;
    if (VxListItem* e = top[3]->list.GetItem(0)) e->nData[kEntryFlash] = 57;
    if (VxListItem* e = top[3]->list.GetItem(4)) e->nData[kEntryFlash] = 45;
    top[4]->hoverBox = 1;
  }
  if (VxListItem* e = desk->DeskList().GetItem(0)) e->nData[kEntryFlash] = 53;
  host.Compose();
  const std::wstring shots = ExeFolder() + L"\\..\\screenshots";
  ::CreateDirectoryW(shots.c_str(), nullptr);
  const std::wstring shot = shots + L"\\framebench.png";
  std::printf("screenshot %s\n", SaveFrame(host.FrameDC(), shot) ? "saved" : "could not be saved");
  desk->OnLButtonUp(POINT{cx - 30, 420});

  // Icons left on the desk list are drawn one by one every frame: the same desk with 60 of
  // the boxes' icons given to the desk list.
  int moved = 0;
  for (auto it = boxes.rbegin(); it != boxes.rend() && moved < 60; ++it) {
    GetZhiItem* box = *it;
    while (box->list.GetCount() > 0 && moved < 60) {
      VxListItem* e = box->list.GetItem(box->list.GetCount() - 1);
      e->nData[kEntryFlash] = 0;
      desk->DeskList().AddItem(e, TRUE);
      box->list.RemoveAt(e, TRUE);
      ++moved;
    }
    desk->LayoutBox(box, TRUE);
  }
  // The first frame after the move draws the moved entries and their cells once.
  const double firstWithDeskIcons = timedCompose(nullptr);
  std::vector<double> withDeskIcons;
  DeskDrawTimes deskTimes;
  for (int i = 0; i < 20; ++i) withDeskIcons.push_back(timedCompose(&deskTimes));
  std::printf(
      "with %d icons on the desk list: first frame %.1f ms, then compose median %.1f ms, of which "
      "desk list %.2f ms\n",
      moved, firstWithDeskIcons, Median(withDeskIcons),
      deskTimes.deskList / std::max(1, deskTimes.frames));
  std::printf("screenshot with the desk list %s\n",
              SaveFrame(host.FrameDC(), shots + L"\\framebench-desklist.png")
                  ? "saved"
                  : "could not be saved");

  // The desk sliding out to the plain desktop: the first step draws the page once, each
  // further step shifts that drawing over the wallpaper and presents the frame.
  host.ShowPage(CBaseWnd::kPlain);
  std::vector<double> steps;
  double firstStep = 0;
  bool slideShot = false;
  for (int i = 0; desk->IsMoving() && i < 1000; ++i) {
    ::QueryPerformanceCounter(&a);
    host.Tick();
    ::UpdateWindow(host.GetSafeHwnd());
    ::GdiFlush();
    ::QueryPerformanceCounter(&b);
    if (i == 0)
      firstStep = Ms(a, b, f);
    else
      steps.push_back(Ms(a, b, f));
    if (!slideShot && desk->SlideOffset() >= cx / 2)
      slideShot = SaveFrame(host.FrameDC(), shots + L"\\framebench-slide.png");
  }
  std::printf("slide to the plain desktop: %zu steps, first %.1f ms, then median %.1f ms a step\n",
              steps.size() + 1, firstStep, Median(steps));

  host.DestroyWindow();
  ::DestroyWindow(parent);
  RemoveFolderContents(desktop);
  RemoveDataFolder();
  ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(L""), 0);
  ::DeleteFileW(wallpaper.c_str());
  ::DeleteFileW(otherWallpaper.c_str());
  ::OleUninitialize();
  return 0;
}
