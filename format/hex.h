// Hexadecimal text and the line routines shared by the whole program.
#pragma once

#include <cstdint>

#include "core/soubory.h"

class SezeniFormatu;

// The hexadecimal digits, upper case.
constexpr char HEX_CISLICE[] = "0123456789ABCDEF";

// Value of a hexadecimal digit (either case), -1 for any other byte.
extern const int8_t hex_hodnota[256];
inline bool je_hex(unsigned char znak) { return hex_hodnota[znak] >= 0; }

// The byte as two upper-case hexadecimal digits in out[0], out[1].
void preved_byte_na_ascii(uint8_t bajt, char* out);
// Two hexadecimal digits to a byte; a bad first or second digit is error 62/2 or 62/3.
uint8_t preved_na_byte(char vyssi, char nizsi);
// A zero-ended hexadecimal text to a number; any other character is error 25/1; "" is 0.
uint32_t preved_na_cislo(const char* text);

void zapisCRLF(HSOUBOR f);
void zapis_carku(HSOUBOR f);
void zapis_uvozovku(HSOUBOR f);
// Reads one line with its LF into s.ss; returns its length. At the end of the file before
// the first character sets s.konecd and returns 0. More than 200 characters: error 57/2.
int32_t precti_radek(SezeniFormatu& s, HSOUBOR f);
// Writes s.ss up to its zero byte.
void zapis_radek(SezeniFormatu& s, HSOUBOR f);
// Writes the text and CR LF.
void zapis_textovy_radek(HSOUBOR f, const char* text);
