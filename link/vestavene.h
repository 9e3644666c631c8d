// Built-in operations started from the window (and "/t" at start-up): each writes or
// uses a small data file and runs a fixed command file through the transfer worker,
// waiting for its end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/platform.h"

// How long each operation waits for its transfer (ms); tests shorten them.
extern long cekani_na_cas_ms;   // timd.cmx, then 109/3
extern long cekani_na_fds_ms;   // fdsu.cmx, then 109/2
extern long cekani_na_logo_ms;  // glog.cmx, then the result 1

// The local time that vytvor_datum writes; empty = the system's (tests install a fixed one).
void nastav_cas_pro_datum(std::function<MistniCas()> cas);

// The date and time line: "%02d,%02d,%02d,%02d,%02d" CR LF, year, month, day, hour and
// minute, the year as year - 2000 (year - 1900 before 2000).
std::string text_datumu(const MistniCas& t);
// Writes the date and time line into the file; false (with a message in debug or window
// mode) when the file cannot be created or written.
bool vytvor_datum(const std::string& jmeno);

// nastav_cas_datum (declared in core/prenos.h) sets the register's clock: p_time.dat,
// then timd.cmx; "Čas je v pokladně." at the end.
// Loads the logo (Glogo.dat) with glog.cmx: 0 when the transfer ended, 1 when it did not
// end in time or could not start.
int NahrajGlogoRS(int = 0);
// Fetches the register's FDS list into fds.dat with fdsu.cmx; false when the transfer
// could not start (another one is running).
bool stahni_fds();

// The register file scan: the first command file of the program directory gives the
// header, then /20-00/ij/ is read for every code ij (on the calling thread).
int Zkus_vsechny_soubory();

// Loads the header of the register file with the two-character code from fds.dat into
// fdsfile: 1 found, 0 not found (52/21 to 52/29 for a malformed line).
int napln_fdsfile_z_fdsu(const char* kod);
// The PLU memory analysis: the FDS list, then the name length and the room of the PLU
// and EAN files and the room of the Link PLU and Link EAN files on the terminal screen.
void analyzuj_PLUfds();
