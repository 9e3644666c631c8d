// Byte-level file routines. Every failure ends in err(); names are relative to the
// program directory (through pridej_path) unless the caller says otherwise. The routines
// show no messages: err() reports a failure. A file opened by otevri_soubor belongs to
// its session, which closes it after an error.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

class SezeniJadra;

// Work files with fixed names in the program directory.
constexpr char WORK01[] = "work01.tmp";      // blocks received from the register
constexpr char WORK02[] = "work02.tmp";      // frames to send
constexpr char WORK03[] = "work03.tmp";      // the shortened log being built
constexpr char WORK04[] = "work04.tmp";      // data digits of a received table
constexpr char WORK05[] = "work05.tmp";      // the received FDS text, read for the conversion
constexpr char WLASTERR[] = "wlasterr.tmp";  // the blocks of a failed transfer

// The program directory in front of the name when the command line named one.
std::string pridej_path(const SezeniJadra& s, const std::string& jmeno);

struct Soubor;             // an open file with its own buffer
using HSOUBOR = Soubor*;   // null = no file

// The session's s.readchar holds the byte read last by cti_znak_ze_souboru, s.FEOF is set
// when it found no more bytes, s.pozice_v_souboru counts the bytes it read.

// Modes: 'r' read existing, 's' read existing (shared), 'b' read and write existing,
// 'w' create or truncate, '+' open or create and append, 'R' as 'r' but a missing file
// gives a null handle. bez_cesty != 0: the name is used as given.
HSOUBOR otevri_soubor(SezeniJadra& s, const std::string& jmeno, char mod, int bez_cesty = 0);
// The name (as passed to otevri_soubor) of the file that could not be opened last is
// s.neotevreny_soubor; the error report names it in debug mode.
// Reads one byte into s.readchar; returns s.FEOF. Reads and writes may alternate on a file
// opened with 'b' (both continue at the current position).
int32_t cti_znak_ze_souboru(SezeniJadra& s, HSOUBOR f);
// Reads up to `kolik` bytes into `cil` and returns how many (0 at the end of the file);
// readchar, FEOF and pozice_v_souboru are left alone. A failed read is error 30/3.
size_t cti_data_ze_souboru(HSOUBOR f, char* cil, size_t kolik);
void zapis_znak(unsigned char znak, HSOUBOR f);
// Writes the bytes of the text (not a terminating zero).
void zapis_text(const std::string& text, HSOUBOR f);
// Flushes and closes; returns 0 when the buffered data could not be written.
int zavri_soubor(SezeniJadra& s, HSOUBOR f);
// Closes every file of the session still open through otevri_soubor (the error report
// does it before the end).
void zavri_vsechny_soubory(SezeniJadra& s);
// Size of the open file in bytes.
uint64_t velikost_souboru(HSOUBOR f);

// Whole-file helpers on names already passed through pridej_path.
// They return true on success and never call err().
bool soubor_existuje(const std::string& cesta);
bool smaz_soubor(const std::string& cesta);                           // missing file: true
bool presun_soubor(const std::string& z, const std::string& na);    // replaces `na`
bool kopiruj_soubor(const std::string& z, const std::string& na);   // replaces `na` whole
// Writes the file with the content; a file that cannot be written whole is removed.
bool zapis_obsah(const std::string& cesta, const std::string& obsah);
// The path under which an existing file of that name is found (any letter case).
std::string skutecne_jmeno(const std::string& cesta);

// Names of the regular files in the program directory (the current directory without one)
// whose extension is `pripona` in any letter case, sorted by name; `chyba` is set when the
// directory cannot be listed.
std::vector<std::string> soubory_s_priponou(const SezeniJadra& s, const std::string& pripona,
                                           std::error_code& chyba);

// Files are written whole under a temporary name beside their final one and then renamed,
// so that a reader finds the previous content or the new one, never a part.
constexpr char PRIPONA_DOCASNA[] = ".part";
std::string docasne_jmeno(const std::string& jmeno);
// Writes the content as the file `cesta` (a name already passed through pridej_path) that
// way; false, with no temporary file left, when it cannot.
bool zapis_soubor_cely(const std::string& cesta, const std::string& obsah);
// The two steps apart, for files that appear together: the temporary file, then the
// rename into place. Each removes its temporary file when it fails.
bool zapis_docasny(const std::string& cesta, const std::string& obsah);
bool dokonci_docasny(const std::string& cesta);
// True for a temporary name this program forms: data, FDS and log files, "err" and
// "error.txt" followed by PRIPONA_DOCASNA (any letter case).
bool je_docasne_jmeno(const std::string& jmeno);
// A data file X.dat and its FDS file X.fds are replaced as a pair: both are written whole
// as X.dat.part and X.fds.part (the FDS file only once the data file is complete), then
// X.dat.part is renamed into place, then X.fds.part. So X.fds.part without X.dat.part
// beside it is always complete and belongs to the X.dat already in place. uklid_paru
// applies that rule to the names (already passed through pridej_path) after a run that
// was killed or failed: such an FDS file is put in place; any other temporary file of the
// pair is removed, the FDS file's first.
void uklid_paru(const std::string& dat, const std::string& fds);
// Removes such files left in the directory by a run that was killed (the pairs by the
// rule above).
void smaz_stare_docasne(const std::string& adresar);
// The rule above for the current operation's data and FDS names (after a failure, so that
// no temporary file survives the run, and before an operation, for a pair in a
// subdirectory that a killed run left).
void smaz_docasne_operace(SezeniJadra& s);
