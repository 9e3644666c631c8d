// Register tables received in work01.tmp converted to the text data file.
#pragma once

#include <cstdint>

class SezeniFormatu;

// Copies the data of the table blocks in redf to work04.tmp, then writes the table's text
// to tt.datovy_soubor. On return redf is work04.tmp, open for the caller to close.
int konvertuj_table(SezeniFormatu& s);
// Copies the data digits of all table blocks from redf to work04.tmp.
void prepis_bloky(SezeniFormatu& s);

// One field of the table read from redf (work04.tmp), with its separator, to the data file.
void zpracujfL(SezeniFormatu& s, int32_t n);
void zpracujfN(SezeniFormatu& s, int32_t n);
void zpracujfP(SezeniFormatu& s, int32_t n);
void zpracujfS(SezeniFormatu& s, int32_t n);
void zpracujfT(SezeniFormatu& s, int32_t n);
void zpracujfB(SezeniFormatu& s, int32_t pozice);  // pozice: '(' of the item in formatstring
