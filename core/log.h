// The transfer log, the result files "err" and "error.txt", and log shortening.
#pragma once

#include <functional>
#include <string>

#include "core/soubory.h"

extern HSOUBOR workf;   // the current work file of a transfer, closed by err()

// Appends the log line of the operation just finished and writes the result files.
void zapis_log();
// Cuts the first 500 lines of a log of 40000 bytes or more; the old log becomes "log.bak".
void zkrat_log();

// The log line for the current state and the given local time (without writing it).
std::string log_radek();

// The status check after a send: runs the status inquiry and returns the number in
// the first four characters of "sts.dat". Set by the transfer work; empty = no check.
void nastav_kontrolu_stavu(std::function<int()> kontrola);
