// Built-in operations started from the window (and "/t" at start-up): each writes or
// uses a small data file and runs a fixed command file through the transfer worker,
// waiting for its end.
#pragma once

#include <cstdint>
#include <string>

#include "link/sezeni.h"
#include "platform/platform.h"

// How long each operation waits for its transfer (ms) is the session's:
// s.sluzby.cekani_na_cas_ms (timd.cmx, then 109/3), cekani_na_fds_ms (fdsu.cmx, then
// 109/2), cekani_na_logo_ms (glog.cmx, then the result 1).

// The date and time line: "%02d,%02d,%02d,%02d,%02d" CR LF, year, month, day, hour and
// minute, the year as year - 2000 (year - 1900 before 2000).
std::string text_datumu(const MistniCas& t);
// Writes the date and time line (the time of s.sluzby.cas, else the system's) into the
// file; false (with a message in debug or window mode) when the file cannot be created or
// written.
bool vytvor_datum(Sezeni& s, const std::string& jmeno);

// Sezeni::nastav_cas_datum sets the register's clock: p_time.dat, then timd.cmx;
// "Čas je v pokladně." at the end.

// Loads the logo (Glogo.dat) with glog.cmx: 0 when the transfer ended, 1 when it did not
// end in time or could not start.
int NahrajGlogoRS(Sezeni& s, int = 0);
// Fetches the register's FDS list into fds.dat with fdsu.cmx; false when the transfer
// could not start (another one is running).
bool stahni_fds(Sezeni& s);

// The register file scan: the first command file of the program directory gives the
// header, then /20-00/ij/ is read for every code ij (on the calling thread).
int Zkus_vsechny_soubory(Sezeni& s);

// Loads the header of the register file with the two-character code from fds.dat into
// fdsfile: 1 found, 0 not found (52/21 to 52/29 for a malformed line).
int napln_fdsfile_z_fdsu(Sezeni& s, const char* kod);
// The PLU memory analysis: the FDS list, then the name length and the room of the PLU
// and EAN files and the room of the Link PLU and Link EAN files on the terminal screen.
void analyzuj_PLUfds(Sezeni& s);
