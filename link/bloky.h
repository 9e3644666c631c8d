// The outgoing work file work02.tmp: the header block from the FDS file, then the data
// blocks built from the text data file, each a complete frame ended by CR.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/sezeni.h"

// s.work02f is work02.tmp while it is being built.

// Longest file-block record text, and the length past which a table block is closed.
constexpr uint32_t ZNAKU_ZAZNAMU_V_BLOKU = 968;
constexpr size_t MEZ_BLOKU_TABULKY = 876;

// Writes the header block (STX, "1", "/HDR1/", the first line of tt.fds_soubor without
// its commas, checksum, CR) to s.work02f: 52/1 when the FDS file has no CR, 52/2 when more
// than 75 characters would be copied.
void preved_fds_na_prvni_blok(Sezeni& s);

// Build work02.tmp from tt.datovy_soubor under the format of fdsfile (napln_fdsfile has
// run): a register file in blocks of 968 / (2 x record length) records, or a table in
// blocks closed past 876 characters with their running offsets. Layouts whose blocks
// could not be sent are refused before anything is built: a record longer than 484
// bytes (66/3), a table item that could make a block longer than 988 characters or a
// table longer than FFFF bytes (66/5).
void priprav_data_file(Sezeni& s);
void priprav_data_table(Sezeni& s);
