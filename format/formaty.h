// Format definitions: the built-in table `formatarea`, the program's own definitions after
// it, and the search that expands the definition fitting the data in hand into the
// session's item list `formatstring`.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/soubory.h"

class SezeniFormatu;

constexpr size_t FORMATAREA_DELKA = 1312;
constexpr size_t FORMATAREA_CTENI = 8000;  // the search never reads further
constexpr size_t FORMATSTRING_DELKA = 1024;

extern const char formatarea[FORMATAREA_DELKA];

// Searches the table for the definition of the data described by fdsfile and filetyp
// and expands it into formatstring. Returns 0; every failure is err(55, x) or err(56, 1).
int najdi_format(SezeniFormatu& s);
// Moves kde to the next line and leaves its first character in readchar;
// 1 when the readable text has ended.
int dalsi_radek(SezeniFormatu& s);
// Reads the next table character into readchar and checks it: 'H' hexadecimal digit,
// 'N' decimal digit, 'T' item character, 'C' anything. A failure is err(kod, podkod).
unsigned char cti_znak_M(SezeniFormatu& s, int32_t kod, int32_t podkod, char mod);
// 0 when the character may stand inside an item, 1 otherwise.
int testsmyslu(unsigned char znak);

// The session searches another table instead of the built-in one (tests and fuzzing);
// null restores the built-in one.
void nastav_formatarea(SezeniFormatu& s, const char* text, size_t delka);
