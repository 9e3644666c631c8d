#include "link/tray.h"

void NotifyDelete() {}
