#include "migration/ZorvaneMigrateApp.h"

CZorvaneMigrateApp theApp;

ZORVANE_WINMAIN()
