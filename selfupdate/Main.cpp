#include "selfupdate/ZorvanePatchApp.h"

CZorvanePatchApp theApp;

ZORVANE_WINMAIN()
