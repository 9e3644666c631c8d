// kaslnk-okno: the main window of kaslnk. kaslnk starts it (in place of itself) when a
// start needs the window, so that an unattended run never loads the toolkit.
#include <QApplication>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/prikazovy_radek.h"
#include "core/spusteni.h"
#include "platform/platform.h"
#include "ui/qt/okno_qt.h"

int main(int argc, char** argv) {
    nuluj_globalni_stav();
    std::vector<std::string> argumenty(argv, argv + argc);
    zpracuj_parametry(plat_prikazovy_radek(), argumenty);
    nastav_terminal();  // kaslnk.ini; in debug mode the settings appear on the screen
    WINDOW = 1;
    TvorSoubor("timd.cmx", OBSAH_TIMD);
    TvorSoubor("glog.cmx", OBSAH_GLOG);
    plat_ignoruj_zavrenou_rouru();  // a child that ended must not end the window

    QApplication aplikace(argc, argv);
    nastav_cestinu(aplikace);
    OknoQt okno(argumenty);
    okno.show();
    okno.model().start();
    return aplikace.exec();
}
