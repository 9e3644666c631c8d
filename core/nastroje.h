// The tools on the command line (argument-vector form): the register search, the
// rewriting of port and speed in the command files and the logo converter.
//   kaslnk --find-register [N]   terminal 1 (or terminals 1..N) on COM1..COM9
//   kaslnk --set-port N          port digit of the command files
//   kaslnk --set-speed S         speed digit of the command files and the .cmx files
//   kaslnk --logo FILE.bmp       Glogo.dat from the picture
//   --yes answers the tool's question with Yes (otherwise No).
// Forms the window gives the programs it starts (they need its channel):
//   kaslnk --window-op N [FILE]  the window command N: 40005 Komunikuj! without a command
//                                file (its error 50/1), 40022 the PLU memory analysis,
//                                40038 the scan of all register files, 40049 the batch FILE
//   --line-format D,P,S,F        with any start: data bits 5..8, parity 0..4 (none, odd,
//                                even, mark, space), stop bits 0..2 (1, 1.5, 2) and flow
//                                0..7 (1 DTR/DSR, 2 RTS/CTS, 4 XON/XOFF), beating kaslnk.ini
#pragma once

#include <string>
#include <vector>

class SezeniJadra;

// Exit codes of the tools besides 0, 1 (err) and 5 (program directory in use).
constexpr int KOD_SPATNY_NASTROJ = 2;  // a tool form with a missing or bad value
constexpr int KOD_NENALEZENO = 6;      // no register found; a logo refused or not loaded

struct Nastroj {
    enum Druh { ZADNY, HLEDANI, PORT, RYCHLOST, LOGO, OKNO } druh = ZADNY;
    int cislo = 0;         // terminals (0: terminal 1 alone), port, speed or window command
    std::string soubor;    // the picture or the batch file
    std::string linka;     // --line-format
    bool ano = false;      // --yes
    std::string chyba;     // why the form cannot be used (the run ends with 2)
};

// Takes the tool forms out of the arguments and returns the rest, which the command
// line parser reads as usual (switches, program directory).
std::vector<std::string> vyjmi_nastroj(const std::vector<std::string>& argumenty, Nastroj& n);

// The window commands --window-op runs.
constexpr int OKNO_KOMUNIKUJ = 40005, OKNO_ANALYZA_PLU = 40022, OKNO_VSECHNY_SOUBORY = 40038, OKNO_DAVKA = 40049;

// The line format of tt as --line-format gives it ("7,1,0,2").
std::string popis_linky(const SezeniJadra& s);
// Puts a line format into tt; false (tt unchanged) when it is malformed.
bool pouzij_linku(SezeniJadra& s, const std::string& popis);

// Before the program directory is taken: a bad form ends here with its message and
// KOD_SPATNY_NASTROJ; otherwise -1, with the run-mode flags of a run without window
// (a tool) or unchanged (--line-format alone).
int priprav_nastroj(SezeniJadra& s, const Nastroj& n);

// Runs the tool once the start-up has read the ini file; returns the exit code. Texts
// for scripts (the found register, the rewriting report) go to standard output,
// messages and questions to the message boxes (standard error without a window).
int proved_nastroj(SezeniJadra& s, const Nastroj& n);  // in link/nastroje.cpp
