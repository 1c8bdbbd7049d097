#include "ipupdater/ZorvaneAddrApp.h"

CZorvaneAddrApp theApp;

ZORVANE_WINMAIN()
