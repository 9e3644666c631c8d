// The configuration file kaslnk.ini in the program directory.
#pragma once

#include <cstdint>
#include <string>

#include "core/soubory.h"

constexpr size_t MAX_RADEK_INI = 255;
constexpr int MAX_RADKU_INI = 1002;

// Device names given by the keys com1..com9 (index = port number; 0 unused, empty = not
// given). The serial backend passes them to ser_jmeno_zarizeni.
extern std::string ini_porty[10];

// Reads kaslnk.ini when it exists and applies its keys; sets exist_ini_file.
void zpracuj_ini();

// Reads one line without its line end into `radek`. 1 when a line was read, 0 at the end
// of the file (a last line without a line end is not read). A line longer than `max`
// characters is error 23/1.
int cti_radek(HSOUBOR f, std::string& radek, size_t max = MAX_RADEK_INI);

// The number after the first '=' (leading blanks skipped, optional sign, decimal digits;
// none give 0).
int32_t cti_hodnotu(const std::string& radek);

// The text after the first '=' (leading and trailing blanks removed) into `cil`; a text of
// more than `limit` characters is error 29/4.
void cti_text(const std::string& radek, std::string& cil, size_t limit);

// The port number 1..9 when the line is a port line "comN = device" (key in any letter
// case, before the '='), else 0. Port lines are tested against no other key.
int port_z_radku(const std::string& radek);
