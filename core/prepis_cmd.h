// Rewriting the port digit and the speed digit on the first line of every command file
// in the program directory, in place, so that all prepared transfers use a new port or
// speed. Only one byte of a file changes; a file in network form stays as it is.
#pragma once

#include <functional>
#include <string>

// What is rewritten.
constexpr int PREPIS_PORT = 1;
constexpr int PREPIS_RYCHLOST = 2;
constexpr int PREPIS_OBOJI = 3;

// Chooses the port and the speed into tt (the window's dialog): 1 confirmed, 0 cancelled.
// Empty: nothing is asked and the values already in tt are written.
extern std::function<int()> dialog_port_a_rychlost;

// Puts tt.znak_portu after the first comma of the first line (51/1 when the line or the
// file ends first).
void prepis_cislo_portu(const std::string& jmeno);
// Puts tt.znak_rychlosti after the second comma of the first line (51/3, 51/5, 51/6 when
// the line or the file ends first).
void prepis_rychlost(const std::string& jmeno);

// The closing report of a mode ("\r...\r").
const char* hlaseni_prepisu(int rezim);

// Rewrites every file *.tt.pripona_cmd of the program directory in name order (with
// debug, "Upravuji soubor ..." on the terminal screen). None: "Prikazovy soubor
// nenalezen." in a message box and false. A directory that cannot be listed ends in
// 89/9, a file that cannot be opened in 30.
bool prepis_soubory(int rezim);

// The files of tt.pripona_cmd, then the ".cmx" files (the program's own); tt.pripona_cmd
// is kept. True when ".cmx" files were found (the report is due).
bool prepis_i_cmx(int rezim);

// The menu form: with `dialog` the choice comes first (cancelled: 0, nothing written);
// then prepis_soubory, and with `hlaseni` the report on the terminal screen when files
// were found. Returns 1 or the dialog's result.
int nastav_cislo_v_cmd(int rezim, int dialog, int hlaseni);
