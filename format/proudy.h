// Reading and writing for the conversions: files read in large pieces, a buffered writer
// for the data file, and data files that appear only complete.
#pragma once

#include <cstddef>
#include <string>

#include "core/soubory.h"

class SezeniFormatu;

// Read-ahead of one file at a time (the session's `cteni`): a file read through cti() is
// read only through cti() until it is closed with zavri_cteny(); reading another file
// drops what was read ahead.
struct Cteni {
    HSOUBOR f = nullptr;
    size_t pozice = 0, delka = 0;
    char data[65536];
};
int cti_dalsi_kus(SezeniFormatu& s, HSOUBOR f);

// Next byte of the file (0..255), or -1 at its end. (Defined in format/sezeni_formatu.h.)
inline int cti(SezeniFormatu& s, HSOUBOR f);
// Puts back the byte cti() returned last; the next cti() on the same file returns it.
void vrat_znak(SezeniFormatu& s, int znak, HSOUBOR f);
// Forgets what was read ahead (the file was closed or is read otherwise).
void zapomen_vraceny_znak(SezeniFormatu& s);
// Closes a file read through cti() and clears the handle.
void zavri_cteny(SezeniFormatu& s, HSOUBOR& f);

// Output to the data file writf, collected (the session's `vystup`) and written in large
// pieces.
constexpr size_t VYSTUP_KAPACITA = 16384;
void vystup_znak(SezeniFormatu& s, char znak);
void vystup_text(SezeniFormatu& s, const char* text, size_t delka);
void vystup_zapis(SezeniFormatu& s);     // writes what is collected
void zahod_vystup(SezeniFormatu& s);     // forgets it (after a failure)

// Opens writf as the temporary file of the data file tt.datovy_soubor.
void otevri_datovy_soubor(SezeniFormatu& s);
// Writes the received FDS text into work05.tmp (read back by napln_prijate_fdsfile); it
// waits for its data file.
void zapis_fds_docasne(SezeniFormatu& s, const std::string& obsah);
// Forgets a waiting FDS text (after a failure).
void zahod_fds(SezeniFormatu& s);
// Writes what is left, closes writf and renames it to tt.datovy_soubor, replacing the
// previous file (error 30/4 when the data cannot be written, 61/3 when the rename fails).
// A waiting FDS text is written as the temporary file of tt.fds_soubor once the data
// file is complete, and renamed into place right after it: see uklid_paru for why a run
// killed at any moment leaves the old pair or the new one.
void dokonci_datovy_soubor(SezeniFormatu& s);
// Writes a whole small file under a temporary name and renames it into place.
void zapis_soubor_naraz(SezeniFormatu& s, const std::string& jmeno, const std::string& obsah);

#include "format/sezeni_formatu.h"
