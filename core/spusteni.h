// The start-up sequence without a window: command line, terminal record and
// configuration, the built-in command files, then the start action.
#pragma once

#include <string>
#include <vector>

class SezeniJadra;

// Exit code of a start that needs the main window when it cannot open: the window program
// is not built (or not beside the program) or there is no display.
constexpr int KOD_BEZ_OKNA = 4;

// A program that holds the window itself (Windows) sets s.sluzby.vstup_okna: it runs the
// window until it closes and returns the exit code. Without one the window is a program
// of its own, started by the platform layer (plat_spust_okno).

// The creation values of the terminal record, then kaslnk.ini, then the one-character
// texts of port and speed; in debug mode the settings are written on the screen.
void nastav_terminal(SezeniJadra& s);

// Runs the whole start-up in the session and returns the exit code; it is the session's
// boundary (hranice_sezeni): an error is reported there and gives 1.
// The command line is `radek` as the system gives it when not empty (Windows), else the
// argument vector. A command-file or "/t" start first takes the program directory: when
// another kaslnk works there, it ends with KOD_OBSAZENY_ADRESAR without touching any file.
// The argument vector's "--init" and "--list-ports" are done instead (core/instalace.h).
// A start with a "--" form is read from the argument vector on every system, and the
// forms a person types ask the platform for the caller's console first.
int spust(SezeniJadra& s, const std::string& radek, const std::vector<std::string>& argumenty);
