// The tools on the command line (argument-vector form): the register search, the
// rewriting of port and speed in the command files and the logo converter.
//   kaslnk --find-register [N]   terminal 1 (or terminals 1..N) on COM1..COM9
//   kaslnk --set-port N          port digit of the command files
//   kaslnk --set-speed S         speed digit of the command files and the .cmx files
//   kaslnk --logo FILE.bmp       Glogo.dat from the picture
//   --yes answers the tool's question with Yes (otherwise No).
#pragma once

#include <string>
#include <vector>

// Exit codes of the tools besides 0, 1 (err) and 5 (program directory in use).
constexpr int KOD_SPATNY_NASTROJ = 2;  // a tool form with a missing or bad value
constexpr int KOD_NENALEZENO = 6;      // no register found; a logo refused or not loaded

struct Nastroj {
    enum Druh { ZADNY, HLEDANI, PORT, RYCHLOST, LOGO } druh = ZADNY;
    int cislo = 0;         // terminals (0: terminal 1 alone), port or speed
    std::string soubor;    // the picture
    bool ano = false;      // --yes
    std::string chyba;     // why the form cannot be used (the run ends with 2)
};

// Takes the tool forms out of the arguments and returns the rest, which the command
// line parser reads as usual (switches, program directory).
std::vector<std::string> vyjmi_nastroj(const std::vector<std::string>& argumenty, Nastroj& n);

// Before the program directory is taken: a bad form ends here with its message and
// KOD_SPATNY_NASTROJ; otherwise -1, with the run-mode flags of a run without window.
int priprav_nastroj(const Nastroj& n);

// Runs the tool once the start-up has read the ini file; returns the exit code. Texts
// for scripts (the found register, the rewriting report) go to standard output,
// messages and questions to the message boxes (standard error without a window).
int proved_nastroj(const Nastroj& n);  // in link/nastroje.cpp
