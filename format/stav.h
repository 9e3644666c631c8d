// Shared state of the format engine: the files in use and the buffers and indices that
// carry a conversion from one field to the next. One transfer at a time uses them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/soubory.h"
#include "format/ramec.h"

extern HSOUBOR redf;     // the file being read: work01.tmp, then work04.tmp for a table
extern HSOUBOR writf;    // the data file being written (under its temporary name)
extern HSOUBOR dataf;    // the text data file being loaded (read by the table converters)
extern HSOUBOR work04f;  // work04.tmp while the table digits are copied into it

extern HSOUBOR fdsf;     // the FDS file while it is parsed

extern char cteny_blok;  // sequence character expected in the next received block
// The sequence character that follows: '0'..'9', then '0' again.
inline void posun_cteny_blok() { cteny_blok = cteny_blok == '9' ? '0' : static_cast<char>(cteny_blok + 1); }

// Record text of one received block (at most BLOK_DAT characters are accepted), or the
// block being built for sending; `iz` reads it, `b` writes it.
constexpr size_t BLOK_DAT = 1020;
constexpr size_t BLOK_KAPACITA = 2048;
extern char blok[BLOK_KAPACITA];
extern size_t iz;
extern size_t b;
extern uint32_t pocet_zaznamu_v_bloku, zaznam_v_bloku;
extern int32_t posledni_blok;

// `ss`: a line read by precti_radek, or the hexadecimal text of one record being built.
constexpr size_t SS_KAPACITA = 1024;
extern char ss[SS_KAPACITA];
extern size_t ssindex;
// `pp`: one line of a text data file (its CR kept, the LF dropped), read through ppindex.
constexpr size_t PP_MAX = 196;
extern char pp[PP_MAX + 4];
extern size_t ppindex, pp_delka;

extern char nexttyp;        // 'C' while the field in hand is the last of the record
extern int32_t prvniS;      // fields written so far in a table text
extern char typ_ukonceni;   // terminator of the item in hand: '+' or ';'
extern int32_t konecd;      // precti_radek met the end of the file

// Closes every file the engine holds open and drops unwritten output.
void zavri_soubory_formatu();
// Forgets the engine's files without closing them: err() has closed every open file.
// Used where a failure does not end the process (tests, fuzzing).
void zapomen_soubory_formatu();
// Start-up values of the engine's state (its files are forgotten, not closed).
void nuluj_stav_formatu();
