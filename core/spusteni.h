// The start-up sequence without a window: command line, terminal record and
// configuration, the built-in command files, then the start action.
#pragma once

#include <string>
#include <vector>

// Exit code of a start that needs the main window, which this build does not have yet.
constexpr int KOD_BEZ_OKNA = 4;

// Start actions provided by the transfer and special-operation work. While one is null,
// the start-up uses a stand-in that reports that the action is not built yet.
extern void (*akce_komunikuj)();   // the transfer of tt.jmeno_cmd (komunikuj)
extern void (*akce_datum_cas)();   // setting the register's clock ("/t")

// The creation values of the terminal record, then kaslnk.ini, then the one-character
// texts of port and speed; in debug mode the settings are written on the screen.
void nastav_terminal();

// The first steps of a transfer: forget the loaded command file, clear the result,
// delete "err" and "error.txt" and parse the command file up to its first operation.
void priprav_prenos();

// Runs the whole start-up; returns the exit code (errors end the process through err).
int spust(const std::vector<std::string>& argumenty);
