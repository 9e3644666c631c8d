// Reading from the register: the receive step into work01.tmp and the whole read
// operation (receive, then convert into the FDS file and the text data file).
#pragma once

#include "link/sezeni.h"

// The receive step alone: opens the port when it is closed (92/1), receives every block
// of the register's answer into work01.tmp and closes the port unless noterminate.
// With nokomun it does nothing, and a work01.tmp of an earlier run stays for replay.
void cti_data_do_souboru(Sezeni& s);

// The read operation (command digit 2): the receive step, the conversion of work01.tmp
// into tt.fds_soubor and tt.datovy_soubor, then work01.tmp is deleted unless debug.
void precti_data(Sezeni& s);

// Deletes work01.tmp unless debug keeps it for inspection.
void uklid_work01(Sezeni& s);
