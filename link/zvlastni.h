// Special operations of command files: raw upload and download, the FDS list, the
// status, hang-up only; and the status check after a send.
#pragma once

#include <cstdint>
#include <string>

#include "link/sezeni.h"

// Raw upload (digit 4): the data file, which must hold complete frames, is copied over
// work02.tmp (60/1) and sent as it stands.
void ramdown(Sezeni& s);
// Raw download (digit 5): the register's blocks, exactly as received, into the data file
// (60/2 when work01.tmp cannot be copied).
void ramup(Sezeni& s);
// Digit 9: the third character of the command selects the FDS list ('0'), the status
// ('9') or hang-up only ('7'); any other is 51/14.
void delej_special(Sezeni& s);

// The register's FDS list into the data file: one line "/HDR1/" + 23 comma-separated
// fields per header block (46/x, 63/x for a malformed work file).
void fdsupload(Sezeni& s);
// The register's status block into the data file: four hexadecimal characters and
// eighteen times a comma and two (45/x). The argument is not used.
void statusinq(Sezeni& s, int32_t = 0);

// The text fdsupload writes for the blocks of a work file, and statusinq for the status
// block (for the conversions alone; the work file is left open).
std::string preved_seznam_fds(Sezeni& s, HSOUBOR work);
std::string preved_stav(Sezeni& s, HSOUBOR work);

// The status check after a send: runs statusinq into "sts.dat" (the caller has set the
// names and the command) and returns its first four characters as a number; anything
// but four decimal digits gives -1.
int stav_po_odeslani(Sezeni& s);
