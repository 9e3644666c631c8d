#include "link/porty_ini.h"

std::string ini_porty[POCET_INI_PORTU];
