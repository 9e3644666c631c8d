// Devices named by the ini keys com1..com9 (index = port number, 0 unused; empty = not
// given). Read by the opening of COMn before the built-in default.
#pragma once

#include <string>

constexpr unsigned POCET_INI_PORTU = 10;
extern std::string ini_porty[POCET_INI_PORTU];
