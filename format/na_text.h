// Register files (records) received in work01.tmp converted to lines of the text data file.
#pragma once

#include <cstdint>

class SezeniFormatu;

constexpr uint32_t MAX_ZAZNAMU = 60001;  // records one download may hold

// Converts the record blocks that follow the FDS header in redf into the data file
// tt.datovy_soubor (and, for every further file of the download, a data file with the
// numbered extension). Returns 0; every failure ends in err().
int konvertuj_file(SezeniFormatu& s);
// Reads the next record block of redf: its record text into blok, the block variables.
void nacti_blok(SezeniFormatu& s);
// Gives tt.datovy_soubor the extension '0' + the FDS sequence field (p_plu.dat -> p_plu.002).
void uprav_jmeno_datafile(SezeniFormatu& s);

// The record in blok at iz as one line of the data file, under the format found last.
void preved_zaznam_na_text(SezeniFormatu& s);

// One field of the record in blok at iz, appended to the data file.
void zpracujL(SezeniFormatu& s, int32_t n);
void zpracujN(SezeniFormatu& s, int32_t n);
void zpracujP(SezeniFormatu& s, int32_t n);
void zpracujS(SezeniFormatu& s, int32_t n);
void zpracujT(SezeniFormatu& s, int32_t n);
void zpracujB(SezeniFormatu& s, int32_t pozice);  // pozice: '(' of the item in formatstring

// The value character of every bit group of a B item for the byte; returns the number of
// groups. Errors 54/a, 54/b, 54/c for a missing '(', a bad first bit number, a bad character.
int bitove_skupiny(SezeniFormatu& s, int32_t pozice, uint8_t bajt, char* znaky, int32_t p_zavorka,
                   int32_t p_prvni, int32_t p_znak);
