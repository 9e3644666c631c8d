// kaslnk-snimky: the pictures of the README. Opens the main window with the start-up text
// of a debug run and a command file in the editor, then the help and the about dialog,
// and saves each as a PNG file: kaslnk-snimky FOLDER COMMANDFILE (run on a display).
#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include "core/globals.h"
#include "core/spusteni.h"
#include "ui/prikazy.h"
#include "ui/qt/okno_qt.h"

namespace {

class OknoSnimku : public OknoQt {
public:
    explicit OknoSnimku(std::string soubor) : OknoQt({"kaslnk"}), soubor_(std::move(soubor)) {}
    bool dialog_otevrit(const std::string&, const std::string&, std::string& cesta, std::string& jmeno) override {
        cesta = soubor_;
        jmeno = QFileInfo(QString::fromStdString(soubor_)).fileName().toStdString();
        return true;
    }

private:
    std::string soubor_;
};

void uloz(QWidget* w, const QString& soubor) {
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    w->grab().save(soubor);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    nuluj_globalni_stav();
    debug = WINDOW = 1;
    nastav_terminal();
    QApplication aplikace(argc, argv);
    QString slozka = QString::fromLocal8Bit(argv[1]) + "/";
    OknoSnimku o(argv[2]);
    o.show();
    o.model().start();
    o.model().prikaz(ID_OTEVRI);
    uloz(&o, slozka + "okno.png");
    // A modal dialog is saved and closed from the event loop it runs.
    auto snimek = [&](const QString& jmeno, int prikaz) {
        QTimer::singleShot(300, [=] {
            QWidget* d = QApplication::activeModalWidget();
            if (!d) return;
            uloz(d, slozka + jmeno);
            d->close();
        });
        o.model().prikaz(prikaz);
    };
    snimek("napoveda.png", ID_NAPOVEDA);
    snimek("o_programu.png", ID_O_PROGRAMU);
    return 0;
}
