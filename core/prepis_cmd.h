// Rewriting the port digit and the speed digit on the first line of every command file
// in the program directory, in place, so that all prepared transfers use a new port or
// speed. Only one byte of a file changes; a file in network form stays as it is.
#pragma once

#include <string>

class SezeniJadra;

// What is rewritten.
constexpr int PREPIS_PORT = 1;
constexpr int PREPIS_RYCHLOST = 2;
constexpr int PREPIS_OBOJI = 3;

// Puts tt.znak_portu after the first comma of the first line (51/1 when the line or the
// file ends first).
void prepis_cislo_portu(SezeniJadra& s, const std::string& jmeno);
// Puts tt.znak_rychlosti after the second comma of the first line (51/3, 51/5, 51/6 when
// the line or the file ends first).
void prepis_rychlost(SezeniJadra& s, const std::string& jmeno);

// The closing report of a mode ("\r...\r").
const char* hlaseni_prepisu(int rezim);

// Rewrites every file *.tt.pripona_cmd of the program directory in name order (with
// debug, "Upravuji soubor ..." on the terminal screen). None: "Prikazovy soubor
// nenalezen." in a message box and false. A directory that cannot be listed ends in
// 89/9, a file that cannot be opened in 30.
bool prepis_soubory(SezeniJadra& s, int rezim);

// The files of tt.pripona_cmd, then the ".cmx" files (the program's own); tt.pripona_cmd
// is kept. True when ".cmx" files were found (the report is due).
bool prepis_i_cmx(SezeniJadra& s, int rezim);

// The menu form: with `dialog` the choice of port and speed into tt comes first
// (s.sluzby.dialog_port_a_rychlost: 1 confirmed, 0 cancelled and nothing written; empty:
// nothing is asked and the values already in tt are written); then prepis_soubory, and
// with `hlaseni` the report on the terminal screen when files were found. Returns 1 or the
// dialog's result.
int nastav_cislo_v_cmd(SezeniJadra& s, int rezim, int dialog, int hlaseni);
