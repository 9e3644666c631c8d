// The Win32 main window of kaslnk.exe: the view of the window model (ui/okno.h) drawn with
// the Win32 interface. No Win32 type here, so that the program's entry can reach it.
#pragma once

#include <string>
#include <vector>

// Registers the window's entry with the start-up (core/spusteni.h) and the tray icon of
// runs without a window (a hidden window owns it).
void zapoj_win32();

// Runs the main window of class "TTYWndClass" until it closes; the exit code.
int spust_okno_win32(const std::vector<std::string>& argumenty);
