// Start-up: the command line, the program directory and the built-in command files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/sezeni_jadra.h"

constexpr char VERZE[] = "4.00";
constexpr size_t MAX_PRIKAZOVY_RADEK = 1023;

// What a command line asks for. Built by one of the two readers below (pure functions,
// no session state touched) and applied by pouzij_parametry.
struct Parametry {
    int32_t rawdebug = 0, debug = 0, ticho = 0, nokomun = 0, nodtr = 0, hlasky = 0,
            konverzeW_C = 0, WINDOW = 0, AUTOMAT = 0, datumcas = 0, TestStatus = 0;
    int32_t ZavesLinku = 0;   // "/z" given
    Twin debugf, tichof, nokomunf, nodtrf, hlaskyf, konverzeW_Cf, WINDOWf;
    std::string jmeno_cmd;
    std::string adresar_programu;
    int32_t fullpath = 0;
    // -1: go on; otherwise the session ends with this code after showing `zprava` in a
    // message box (when not empty) and printing `vystup` on standard output.
    int konec = -1;
    std::string zprava;
    std::string vystup;
    // "--command N": send command N to the window of the program directory and end.
    std::string prikaz_oknu;
    bool posli_oknu = false;
};

// The Windows command line, whole, as GetCommandLineA gives it: switches are substrings
// of the line; the program directory and the command file come from a lower-case copy
// (last "kaslnk", then its last backslash or blank).
Parametry rozeber_radek_windows(const std::string& radek);

// The Linux argument vector: argv[0] gives the program directory as typed; switch
// arguments start with '/' and are not paths; the last other argument is the command
// file, taken by its bare name. "--help" and "--version" print and end with 0.
Parametry rozeber_argumenty(const std::vector<std::string>& argumenty);

// True when the argument is read as switches: '/' first, no further '/' and no '.'.
bool je_prepinac(const std::string& argument);

// Stores the result in the run-mode flags, the twin records, tt.jmeno_cmd,
// tt.jmeno_programu, tt.adresar_programu and fullpath, and sets ShowProgress, TIMEOUTI and
// zpozdeni; ends the session (ukonci) when the result asks for it.
void pouzij_parametry(SezeniJadra& s, const Parametry& p);

// The form this system uses: the whole line when the system gives one (Windows,
// plat_prikazovy_radek), otherwise the argument vector.
Parametry rozeber_parametry(const std::string& radek, const std::vector<std::string>& argumenty);

// Parses the command line into the session's run-mode flags; may end the session with
// exit code 0 (--help, --version; Linux only), 2, 3 or 8.
void zpracuj_parametry(SezeniJadra& s, const std::string& radek, const std::vector<std::string>& argumenty);

// Creates the file in the program directory with the contents unless it exists; 0 or 1.
int TvorSoubor(SezeniJadra& s, const std::string& jmeno, const std::string& obsah);

// The exact contents of the command files of the clock and logo operations.
constexpr char OBSAH_TIMD[] = "000001,1,6,1,era\r\n/10-00/;P_TIME\r\n";
constexpr char OBSAH_GLOG[] = "000001,1,6,1,era\r\n/10-00/;GLOGO\r\n";
