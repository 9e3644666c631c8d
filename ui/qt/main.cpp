// kaslnk-okno: the main window of kaslnk. kaslnk starts it (in place of itself) when a
// start needs the window, so that an unattended run never loads the toolkit.
#include <QApplication>
#include <string>
#include <vector>

#include "core/chyby.h"
#include "core/prikazovy_radek.h"
#include "core/spusteni.h"
#include "link/sezeni.h"
#include "platform/platform.h"
#include "ui/qt/okno_qt.h"

int main(int argc, char** argv) {
    // The window's session: the terminal record it shows, the settings and switches its
    // children inherit. The transfers run in the children's own sessions.
    Sezeni s;
    std::vector<std::string> argumenty(argv, argv + argc);
    // The start-up may end the program (--help, a bad switch, a bad ini file): then its
    // exit code is the program's.
    bool pripraveno = false;
    int kod = hranice_sezeni(s, [&] {
        zpracuj_parametry(s, plat_prikazovy_radek(), argumenty);
        nastav_terminal(s);  // kaslnk.ini; in debug mode the settings appear on the screen
        s.WINDOW = 1;
        TvorSoubor(s, "timd.cmx", OBSAH_TIMD);
        TvorSoubor(s, "glog.cmx", OBSAH_GLOG);
        pripraveno = true;
        return 0;
    });
    if (!pripraveno) return kod;
    plat_ignoruj_zavrenou_rouru();  // a child that ended must not end the window

    QApplication aplikace(argc, argv);
    nastav_cestinu(aplikace);
    OknoQt okno(s, argumenty);
    okno.show();
    okno.model().start();
    return aplikace.exec();
}
