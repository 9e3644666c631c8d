// The sizes of the format engine's buffers and the routines over its files. The state
// itself (the files in use and the buffers and indices that carry a conversion from one
// field to the next) is the session's: format/sezeni_formatu.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/soubory.h"
#include "format/ramec.h"

class SezeniFormatu;

// The sequence character that follows in cteny_blok: '0'..'9', then '0' again.
// (Defined in format/sezeni_formatu.h.)
inline void posun_cteny_blok(SezeniFormatu& s);

// The record text of one received block holds at most BLOK_DAT characters; `blok` has
// room for the block being built for sending.
constexpr size_t BLOK_DAT = 1020;
constexpr size_t BLOK_KAPACITA = 2048;
// `ss`: a line read by precti_radek, or the hexadecimal text of one record being built.
constexpr size_t SS_KAPACITA = 1024;
// `pp`: one line of a text data file, at most PP_MAX characters.
constexpr size_t PP_MAX = 196;

// Closes every file the engine holds open and drops unwritten output.
void zavri_soubory_formatu(SezeniFormatu& s);
// Forgets the engine's files without closing them: the error report has closed every
// open file. Used where a failure does not end the session's run (tests, fuzzing).
void zapomen_soubory_formatu(SezeniFormatu& s);
// Start-up values of the engine's state (its files are forgotten, not closed): what a
// fresh session holds.
void nuluj_stav_formatu(SezeniFormatu& s);

#include "format/sezeni_formatu.h"
