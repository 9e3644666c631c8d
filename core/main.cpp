// kaslnk: data exchange with an ER-A227E cash register over RS-232.
#include <string>
#include <vector>

#include "core/spusteni.h"
#include "link/sezeni.h"
#include "platform/platform.h"
#ifdef _WIN32
#include "ui/win32/okno_win32.h"
#else
#include "link/tray.h"
#include "platform/ikona.h"
#endif

// On Windows the program is a GUI-subsystem program (no console window when another
// program starts it) and reads its whole command line from the system; argv serves Linux.
// The run is one session; its exit code is the process's.
int main(int argc, char** argv) {
    Sezeni s;
#ifdef _WIN32
    zapoj_win32(s);  // the window runs inside this program; the tray icon of every run
#else
    // The tray icon of runs without the window goes to the desktop's session bus; a
    // window's child sends it to the window instead (its channel sets its own).
    s.sluzby.tray = [](int operace, int, int ikona) { return plat_ikona_prubehu(operace, ikona == IKONA_CERVENA); };
#endif
    int kod = spust(s, plat_prikazovy_radek(), std::vector<std::string>(argv, argv + argc));
    if (s.sluzby.konec) s.sluzby.konec(kod);
    return kod;
}
