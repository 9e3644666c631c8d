// FDS headers: the register's description of a file or table, kept beside the data
// file as the FDS file (one line of 23 comma-separated fields).
#pragma once

#include <cstdint>

#include "core/soubory.h"

class SezeniFormatu;

// The fields of an FDS header and their widths in characters.
constexpr int POLI_FDS = 23;
constexpr int SIRKY_POLI_FDS[POLI_FDS] = {2, 2, 4, 2, 4, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};

// The parsed FDS file; every field is a zero-ended text.
struct FDSFILE {
    char kod_souboru[4];    // field 1: file code, "00" for a table
    char kod_tabulky[4];    // field 2: table code, "00" for a file
    char kapacita[6];       // field 3: records the register has room for
    char pole4[4];          // fields 4, 5 and 7 are carried unchanged
    char pole5[6];
    char poradi[4];         // field 6: number of the file within a multi-file download
    char pole7[4];
    char delky[16][4];      // fields 8 to 23: byte length of groups 0 to 15
    char delky_text[65];    // the group lengths as written, commas included
};

// The session holds the parsed header (fdsfile), filetyp (1 register file, 0 table) and
// delka_zaznamu (bytes of one record: the sum of the group lengths).

// Reads one header block from the work file and writes its FDS text into work05.tmp; a
// block that ends early leaves there what it held. The text becomes the FDS file
// tt.fds_soubor beside the data file when that is complete (dokonci_datovy_soubor).
int konv_fds(SezeniFormatu& s, HSOUBOR f);
// konv_fds on the received-data work file redf.
int konvertuj_fds(SezeniFormatu& s);
// Parses tt.fds_soubor into fdsfile; sets filetyp, delka_zaznamu and NeedStatus.
int napln_fdsfile(SezeniFormatu& s);
// The same for the FDS file konv_fds has just written.
int napln_prijate_fdsfile(SezeniFormatu& s);
