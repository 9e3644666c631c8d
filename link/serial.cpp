#include "link/serial.h"

int CloseConnection() { return 1; }
