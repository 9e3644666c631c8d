// kaslnk: data exchange with an ER-A227E cash register over RS-232.
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/spusteni.h"
#include "platform/platform.h"
#ifdef _WIN32
#include "ui/win32/okno_win32.h"
#endif

// On Windows the program is a GUI-subsystem program (no console window when another
// program starts it) and reads its whole command line from the system; argv serves Linux.
int main(int argc, char** argv) {
    nuluj_globalni_stav();
#ifdef _WIN32
    zapoj_win32();  // the window runs inside this program; the tray icon of every run
#endif
    return spust(plat_prikazovy_radek(), std::vector<std::string>(argv, argv + argc));
}
