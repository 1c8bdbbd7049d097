#include "login/ZorvaneLogonApp.h"

CZorvaneLogonApp theApp;

ZORVANE_WINMAIN()
