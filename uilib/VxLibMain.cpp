// Entry point of Lumette.dll. COM is not started here: a DLL entry point runs under the
// loader lock, where starting COM can deadlock; each wallpaper call starts it for itself and
// the programs start OLE on their window thread before making a web view.
#include "uilib/VxLibMain.h"

#include "uilib/VxShellFunctions.h"

namespace {
HINSTANCE g_module = nullptr;
}  // namespace

HINSTANCE VxLibModule() { return g_module; }

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      g_module = module;
      ::DisableThreadLibraryCalls(module);
      break;
    case DLL_PROCESS_DETACH:
      VxShellDetach();
      break;
    default:
      break;
  }
  return TRUE;
}
