// The toolkit's own module and, in Lumette.dll, its entry point. COM is not started here: a
// DLL entry point runs under the loader lock, where starting COM can deadlock; each
// wallpaper call starts it for itself and the programs start OLE on their window thread
// before making a web view.
#include "uilib/VxLibMain.h"

#include "uilib/VxShellFunctions.h"

// The linker's symbol at the start of the image this code is linked into: the DLL when the
// toolkit is Lumette.dll, the program itself when it is linked statically. It is valid
// before any entry point runs, so window classes and the keyboard hook always get a module.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HINSTANCE VxLibModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

#ifndef LUMETTE_STATIC
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      ::DisableThreadLibraryCalls(module);
      break;
    case DLL_PROCESS_DETACH:
      // The hook procedure lives in this image: it must not outlive an unload. Linked
      // statically, the code lasts as long as the process and the system drops the hook.
      VxShellDetach();
      break;
    default:
      break;
  }
  return TRUE;
}
#endif
