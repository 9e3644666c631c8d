// The transfer log, the result files "err" and "error.txt", and log shortening.
#pragma once

#include <string>

class SezeniJadra;

// Appends the log line of the operation just finished and writes the result files. With
// /status after a send, s.sluzby.kontrola_stavu runs the status inquiry first (none when
// empty).
void zapis_log(SezeniJadra& s);
// Cuts the first 500 lines of a log of 40000 bytes or more; the old log becomes "log.bak".
void zkrat_log(SezeniJadra& s);

// The log line for the current state and the local time (without writing it).
std::string log_radek(const SezeniJadra& s);
