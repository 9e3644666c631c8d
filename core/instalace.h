// Options of the installed Linux program that prepare a program directory or explain the
// serial ports; neither starts a transfer.
#pragma once

#include <string>
#include <vector>

class SezeniJadra;

// "--init" or "--list-ports" among the arguments: does it and returns the exit code;
// otherwise -1 (the normal start goes on).
int instalacni_volba(SezeniJadra& s, const std::vector<std::string>& argumenty);

// Copies every plain file of `zdroj` into `cil` unless a file of that name is there; one
// line per file in `zprava`. 0, or 1 when `zdroj` is missing or a copy failed.
int priprav_adresar(const std::string& zdroj, const std::string& cil, std::string& zprava);

// The files the operations need, as installed: share/kaslnk beside the program's bin/
// directory, else the directory the build was configured to install them into.
std::string adresar_dat();

// The device of every port COM1..COM9 with the rule that chose it (after kaslnk.ini was
// read), then the serial devices present.
std::string seznam_portu(const SezeniJadra& s);
