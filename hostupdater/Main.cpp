#include "hostupdater/ZorvaneHostsApp.h"

CZorvaneHostsApp theApp;

ZORVANE_WINMAIN()
