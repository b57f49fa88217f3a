#include <windows.h>

#include "app/TessaryApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  CTessaryApp app;
  app.InitInstance();
  return app.ExitInstance();
}
