#include "config/ZorvaneConfApp.h"

CZorvaneConfApp theApp;

ZORVANE_WINMAIN()
