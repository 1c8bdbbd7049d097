// A program that starts as the suite's programs do as far as the settings go: it loads <root>\etc\config.xml,
// the root being the folder above its own, with the defaults written over a missing or damaged file. Ends
// with 0 when the settings loaded and 1 when not.
#include <windows.h>

#include "common/app/AppStartup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return CAppStartup::Silent().LoadConfig() ? 0 : 1; }
