#include "common/settings/ServiceHost.h"

std::wstring DefaultServiceHost() { return ZORVANE_SERVICE_HOST; }
