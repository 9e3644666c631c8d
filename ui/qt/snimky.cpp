// kaslnk-snimky: the pictures of the README. Opens the main window at its default size
// with the start-up text of a debug run and of two register searches over ports that do
// not open (25 rows) and a command file in the editor, then Qt's open dialog, the question
// about unsaved changes, the help and the about dialog, the serial settings, the port and
// speed dialog and the preview of a logo drawn here, and saves each as a PNG file:
// kaslnk-snimky FOLDER COMMANDFILE (run on a display, KASLNK_COM1..9 naming no device).
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTimer>

#include "core/chyby.h"
#include "core/spusteni.h"
#include "core/zpravy.h"
#include "link/hledani.h"
#include "link/sezeni.h"
#include "ui/prikazy.h"
#include "ui/qt/okno_qt.h"

namespace {

class OknoSnimku : public OknoQt {
public:
    OknoSnimku(SezeniJadra& s, std::string soubor) : OknoQt(s, {"kaslnk"}), soubor_(std::move(soubor)) {}
    bool skutecny_dialog = false;  // Qt's own open dialog, for its picture
    bool dialog_otevrit(const std::string& pripona, const std::string& adresar, std::string& cesta,
                        std::string& jmeno) override {
        if (skutecny_dialog) return OknoQt::dialog_otevrit(pripona, adresar, cesta, jmeno);
        cesta = soubor_;
        jmeno = QFileInfo(QString::fromStdString(soubor_)).fileName().toStdString();
        return true;
    }
    // The picture is a logo of 288 x 130 dots drawn here and saved as a 1-bit BMP.
    bool dialog_souboru(const std::string&, const std::string&, const std::string&, std::string& cesta) override {
        QImage obraz(288, 130, QImage::Format_RGB32);
        obraz.fill(Qt::white);
        QPainter k(&obraz);
        k.setPen(QPen(Qt::black, 3));
        k.drawRoundedRect(4, 4, 280, 122, 16, 16);
        QFont f = k.font();
        f.setPixelSize(40);
        f.setBold(true);
        k.setFont(f);
        k.drawText(QRect(4, 4, 280, 122), Qt::AlignCenter, QStringLiteral("ER-A227E"));
        k.end();
        QString soubor = QDir::temp().filePath(QStringLiteral("kaslnk-snimky-logo.bmp"));
        cesta = soubor.toStdString();
        return obraz.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither).save(soubor, "BMP");
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
    // One session for the window and the searches, so that their text is on its screen.
    Sezeni s;
    s.debug = s.WINDOW = 1;
    // An error of the engine's steps ends the program with its exit code.
    int kod = hranice_sezeni(s, [&] {
        nastav_terminal(s);
        return 0;
    });
    if (kod) return kod;
    QApplication aplikace(argc, argv);
    nastav_cestinu(aplikace);
    QString slozka = QString::fromLocal8Bit(argv[1]) + "/";
    OknoSnimku o(s, argv[2]);
    o.show();
    o.model().start();
    // Both searches as a debug run shows them, their questions answered Yes.
    s.sluzby.box = [](const std::string&, uint32_t) { return IDYES_; };
    kod = hranice_sezeni(s, [&] {
        najdi_kasu(s);
        najdi_kasu_multiterm(s, 10);
        return 0;
    });
    if (kod) return kod;
    s.sluzby.box = [&o](const std::string& text, uint32_t styl) { return o.box(text, styl); };
    // A modal dialog is saved and closed (or answered with the button named) from the
    // event loop it runs.
    auto snimek = [&](const QString& jmeno, int prikaz, const QString& tlacitko = {}) {
        QTimer::singleShot(300, [=] {
            QWidget* d = QApplication::activeModalWidget();
            if (!d) return;
            uloz(d, slozka + jmeno);
            for (QAbstractButton* b : d->findChildren<QAbstractButton*>())
                if (!tlacitko.isEmpty() && b->text() == tlacitko) return b->click();
            d->close();
        });
        o.model().prikaz(prikaz);
    };
    o.skutecny_dialog = true;
    snimek("otevrit.png", ID_OTEVRI);
    o.skutecny_dialog = false;
    o.model().prikaz(ID_OTEVRI);
    uloz(&o, slozka + "okno.png");
    o.model().text_zmenen();
    snimek("ulozit.png", ID_NOVY, "Storno");
    snimek("napoveda.png", ID_NAPOVEDA);
    snimek("o_programu.png", ID_O_PROGRAMU);
    snimek("nastaveni_linky.png", ID_NASTAVENI_LINKY);
    snimek("port_a_rychlost.png", ID_NASTAV_PORT);
    snimek("nahled_loga.png", ID_LOGO);
    QFile::remove(QDir::temp().filePath(QStringLiteral("kaslnk-snimky-logo.bmp")));
    return 0;
}
