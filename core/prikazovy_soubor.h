// Command files: loading, the header, the operation lines, data-file numbering.
#pragma once

#include <string>

#include "core/sezeni_jadra.h"

// The loaded, normalised command file is s.CMDbuf (s.CMDbufExist set while loaded).

constexpr size_t MIN_DELKA_CMD = 22;       // bytes
constexpr size_t MAX_DELKA_CMD = 2048;     // bytes
constexpr size_t MAX_JMENO_CMD = 260;
constexpr size_t MAX_LOG_JMENO = 120;
constexpr size_t MAX_PRIKAZ = 200;
constexpr size_t MAX_DATOVE_JMENO = 260;
constexpr size_t MAX_PRESKOK = 121;        // characters between the log name and line 2

// Subcodes of error 51 for data and log names that are refused: absolute, with a drive
// letter or ':', climbing out with "..", empty or ending in a separator, a part of dots
// alone, holding a control character, or with directories that resolve (symbolic links
// followed) outside the program directory. Relative names may lead into subdirectories.
constexpr int CHYBA_DATOVE_JMENO_MIMO = 60;
constexpr int CHYBA_LOG_JMENO_MIMO = 61;
// Subcode of error 51: an operation that needs a data file has no data name.
constexpr int CHYBA_DATOVE_JMENO_CHYBI = 63;
// Subcode of error 51: a control character (NUL included) or DEL in the terminal number,
// a network address or a register command.
constexpr int CHYBA_RIDICI_ZNAK = 64;

// Frees the loaded command file.
void uvolni_cmd_buffer(SezeniJadra& s);

// Prepares the next operation of tt.jmeno_cmd: 1 when its fields are set, 0 when the file
// has no more. With tt.pokracovani 0 the file is loaded and its header read first.
int ctiCMD(SezeniJadra& s);

// Turns every line end into one CR (CR LF, LF and CR) and ends the text with a CR.
std::string normalizuj_konce_radku(const std::string& text);

// The data-file name with "xxxx" replaced by the next free four-digit number after the
// newest file prefix*.dat in the program directory (without extension).
std::string nove_jmeno(SezeniJadra& s, const std::string& jmeno);

// True when a file name given by a command file stays in the program directory or its
// subdirectories (see the subcodes above), also once symbolic links are followed.
bool jmeno_v_adresari(const SezeniJadra& s, const std::string& jmeno);

// Save and restore debug, ticho, nokomun, nodtr, hlasky, WINDOW, AUTOMAT and pripona_cmd
// around a built-in operation.
void uloz_flagy(SezeniJadra& s);
void obnov_flagy(SezeniJadra& s);
