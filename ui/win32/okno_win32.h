// The Win32 main window of kaslnk.exe: the view of the window model (ui/okno.h) drawn with
// the Win32 interface. No Win32 type here, so that the program's entry can reach it.
#pragma once

#include <string>
#include <vector>

class SezeniJadra;

// Gives the session the window's entry (s.sluzby.vstup_okna, for the start-up of
// core/spusteni.h) and the tray icon of runs without a window (s.sluzby.tray; a hidden
// window owns it).
void zapoj_win32(SezeniJadra& s);

// Runs the main window of class "TTYWndClass" until it closes, its state in the session
// `s` (which has read the command line and the ini file); the exit code.
int spust_okno_win32(SezeniJadra& s, const std::vector<std::string>& argumenty);
