#include "tray/ZorvaneTrayApp.h"

CZorvaneTrayApp theApp;

ZORVANE_WINMAIN()
