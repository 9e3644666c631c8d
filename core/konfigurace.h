// The configuration file kaslnk.ini in the program directory.
#pragma once

#include <cstdint>
#include <string>

#include "core/soubory.h"

class SezeniJadra;

constexpr size_t MAX_RADEK_INI = 255;
constexpr int MAX_RADKU_INI = 1002;

// Reads kaslnk.ini when it exists and applies its keys; sets exist_ini_file. The device
// names of the keys com1..com9 go to s.ini_porty (index = port number), which the serial
// backend passes to ser_jmeno_zarizeni.
void zpracuj_ini(SezeniJadra& s);

// Reads one line without its line end into `radek`. 1 when a line was read, 0 at the end
// of the file (a last line without a line end is not read). A line longer than `max`
// characters is error 23/1.
int cti_radek(SezeniJadra& s, HSOUBOR f, std::string& radek, size_t max = MAX_RADEK_INI);

// The number after the first '=' (leading blanks skipped, optional sign, decimal digits;
// none give 0).
int32_t cti_hodnotu(const std::string& radek);

// The text after the first '=' (leading and trailing blanks removed) into `cil`; a text of
// more than `limit` characters is error 29/4.
void cti_text(const std::string& radek, std::string& cil, size_t limit);

// The port number 1..9 when the line is a port line "comN = device" (key in any letter
// case, before the '='), else 0. Port lines are tested against no other key.
int port_z_radku(const std::string& radek);
