// The Qt view offscreen: menu, graying, flows with scripted dialogs, find and replace,
// the terminal's paint, printing to a PDF file and the tools' dialogs.
#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <optional>

#include "core/kanal.h"
#include "core/terminal.h"
#include "link/sezeni.h"
#include "ui/prikazy.h"
#include "ui/qt/okno_qt.h"

namespace {

// Dialogs and boxes answered by the test.
class OknoSeScenarem : public OknoQt {
public:
    explicit OknoSeScenarem(SezeniJadra& s) : OknoQt(s, {"kaslnk"}) {}
    std::string soubor;
    std::vector<std::string> boxy;
    int odpoved = IDOK_;
    bool dialog_otevrit(const std::string&, const std::string&, std::string& c, std::string& j) override {
        c = soubor;
        j = QFileInfo(QString::fromStdString(soubor)).fileName().toStdString();
        return !soubor.empty();
    }
    int box(const std::string& text, uint32_t) override {
        boxy.push_back(text);
        return odpoved;
    }
    bool dialog_souboru(const std::string&, const std::string&, const std::string&, std::string& c) override {
        return !(c = soubor).empty();
    }
    std::vector<std::string> potomek;
    bool spust_potomka(const std::vector<std::string>& a) override { return potomek = a, true; }
};

// Answers the next modal dialog of type T, once it runs, with `co`.
template <class T> void odpovez(std::function<void(T*)> co) {
    QTimer::singleShot(0, [co] {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) co(d);
        else odpovez<T>(co);
    });
}

// Does `co` with the modal dialog that `akce` opens, then presses its button `tlacitko`.
void v_dialogu(std::function<void()> akce, std::function<void(QWidget*)> co, const QString& tlacitko) {
    odpovez<QDialog>([=](QDialog* d) {
        co(d);
        for (QAbstractButton* b : d->findChild<QDialogButtonBox*>()->buttons())
            if (b->text() == tlacitko) b->click();
    });
    akce();
}

// A file of these bytes in the folder.
std::string soubor(const QTemporaryDir& d, const char* jmeno, const QByteArray& obsah) {
    QFile f(d.filePath(jmeno));
    return f.open(QIODevice::WriteOnly) && f.write(obsah) == obsah.size() ? f.fileName().toStdString() : "";
}

}  // namespace

class TestOknoQt : public QObject {
    Q_OBJECT
    std::optional<Sezeni> sezeni{std::in_place};
    Sezeni& s = *sezeni;  // a fresh session for every test, in the same place
private slots:
    void init() { sezeni.reset(), sezeni.emplace(); }

    void menuPopiskyAZkratky() {
        OknoSeScenarem o(s);
        QStringList horni;
        for (QAction* a : o.menuBar()->actions()) horni << a->text();
        QCOMPARE(horni, QStringList({"&Soubor", "&Editace", "&Proveď", "&Akce", "&Nápověda"}));
        QCOMPARE(o.akce(ID_ULOZ_JAKO)->text(), QString("Ulož jako...\tCtrl+Alt+S"));
        QCOMPARE(o.akce(ID_ULOZ_JAKO)->shortcut(), QKeySequence("Ctrl+Alt+S"));
        QVERIFY(o.akce(ID_KOPIRUJ)->shortcut().isEmpty());  // the editor's own key
    }

    void sedaEditaceAOtevreniUtf16() {
        QTemporaryDir d;
        OknoSeScenarem o(s);
        o.nastav_sede_editace();
        QVERIFY(!o.akce(ID_KOPIRUJ)->isEnabled());
        o.soubor = soubor(d, "u.cmd", QByteArray("\xFF\xFE\x0D\x01\x0D\x00\x0A\x00", 8));
        o.model().prikaz(ID_OTEVRI);
        QVERIFY(!o.editor()->isHidden());
        QCOMPARE(o.editor()->toPlainText(), QString("č\n"));
        QCOMPARE(o.windowTitle(), QString("Komunikace s ER-A227E - u.cmd"));
        o.editor()->selectAll();
        o.nastav_sede_editace();
        QVERIFY(o.akce(ID_KOPIRUJ)->isEnabled());
        o.editor()->insertPlainText("x");  // typing marks the text changed: New asks
        o.odpoved = IDCANCEL_;
        o.model().prikaz(ID_NOVY);
        QCOMPARE(o.boxy.size(), size_t(1));
        QCOMPARE(o.editor()->toPlainText(), QString("x"));
    }

    void nahradVseZDialogu() {
        OknoSeScenarem o(s);
        o.model().prikaz(ID_NOVY);
        o.editor()->setPlainText("a-a");
        o.model().prikaz(ID_NAHRAD);
        auto* d = o.findChild<HledaniQt*>();
        QVERIFY(d && d->nahrada);
        d->hledany->setText("a");
        d->nahrada->setText("aa");
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == "Nahradit vše") b->click();
        QCOMPARE(o.editor()->toPlainText(), QString("aa-aa"));
    }

    void terminalKresliJenMrizku() {
        OknoSeScenarem o(s);
        o.resize(2000, 1200);
        s.tt.barva_textu = 0xFF0000;  // blue
        WriteTTYBlock(s, "#", 1);
        QImage obraz = o.terminal()->grab().toImage();
        int w = o.terminal()->sirka_znaku(), h = o.terminal()->vyska_radku();
        QColor pozadi = obraz.pixelColor(w + w / 2, h / 2);  // the blank cell after '#'
        auto kreslene = [&](int x0, int y0, auto jine) {
            for (int y = y0; y < y0 + h; ++y)
                for (int x = x0; x < x0 + w; ++x)
                    if (jine(obraz.pixelColor(x, y))) return true;
            return false;
        };
        QVERIFY(kreslene(0, 0, [](QColor c) { return c.blue() > c.red() + 100; }));  // '#' in blue
        QVERIFY(!kreslene(2 * w, 0, [&](QColor c) { return c != pozadi; }));
        o.terminal()->nastav_kurzor(true);  // the caret: a solid cell at the cursor
        obraz = o.terminal()->grab().toImage();
        QCOMPARE(obraz.pixelColor(w + w / 2, h / 2), o.terminal()->palette().color(QPalette::Text));
        QCOMPARE(obraz.pixelColor(TERM_SLOUPCU * w + 5, TERM_RADKU * h + 5), pozadi);
    }

    // At its default size the 25 rows show above the editor; New leaves the focus with
    // the window; Qt's dialogs and the message boxes speak Czech.
    void vychoziVelikostFokusACestina() {
        OknoSeScenarem o(s);
        o.show();
        QVERIFY(QTest::qWaitForWindowActive(&o));
        o.model().prikaz(ID_NOVY);
        QVERIFY(!o.editor()->hasFocus() && o.editor()->y() >= TERM_RADKU * o.terminal()->vyska_radku());
        nastav_cestinu(*qApp);
        QCoreApplication::sendPostedEvents();  // the language change, before the box exists
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QString("Hledat v:"));
        QStringList texty;
        v_dialogu([&] { QCOMPARE(o.OknoQt::box("?", MB_YESNOCANCEL_), IDNO_); }, [&](QWidget* d) {
            for (QAbstractButton* t : d->findChild<QDialogButtonBox*>()->buttons()) texty << t->text(); }, "Ne");
        QCOMPARE(texty, QStringList({"Storno", "Ano", "Ne"}));  // in the order of their roles
    }

    void tiskDoPdf() {
        OknoSeScenarem o(s);
        QVERIFY(o.tiskni("prazdny"));  // an empty editor: success without printing
        QString text;
        for (int i = 0; i < 150; ++i) text += QString("radek %1\n").arg(i);
        o.editor()->setPlainText(text);
        QTemporaryDir d;
        QPrinter p(QPrinter::HighResolution);
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(d.filePath("t.pdf"));
        QVERIFY(o.tiskni_na(p, "t.cmd"));
        QFile f(d.filePath("t.pdf"));
        QVERIFY(f.open(QIODevice::ReadOnly) && f.readAll().startsWith("%PDF"));
    }

    void dialogyLinkyAPortuUkladajiJenPriOk() {
        OknoSeScenarem o(s);
        s.tt.pripojeno = 1;
        std::vector<int> videno;
        v_dialogu([&] { o.model().prikaz(ID_NASTAVENI_LINKY); }, [&](QWidget* d) {
            odpovez<QFontDialog>([](QFontDialog* f) {  // its first fixed-pitch font, then the colour
                QFont pismo = f->currentFont();
                pismo.setPointSize(31);
                f->setCurrentFont(pismo);
                f->accept();
                odpovez<QColorDialog>([](QColorDialog* b) { b->setCurrentColor(Qt::blue), b->accept(); });
            });
            d->findChild<QPushButton*>("pismo")->click();
            videno = {d->findChild<QComboBox*>("port")->isEnabled(), d->findChild<QComboBox*>("stop_bity")->count()};
            d->findChild<QComboBox*>("parita")->setCurrentIndex(0);
        }, "Cancel");
        QCOMPARE(o.terminal()->font().pointSize(), 31);  // at once, whatever closed the dialog
        QCOMPARE(s.tt.barva_textu, 0xFF0000u);
        QCOMPARE(videno, (std::vector<int>{0, 1}));
        QCOMPARE(s.tt.parita, uint8_t(1));
        v_dialogu([&] { o.model().prikaz(ID_NASTAVENI_LINKY); }, [](QWidget* d) {
            d->findChild<QComboBox*>("parita")->setCurrentIndex(0);
            d->findChild<QComboBox*>("rychlost")->setCurrentIndex(4);
        }, "OK");
        QCOMPARE(std::vector<int>({s.tt.parita, int(s.tt.rychlost)}), std::vector<int>({0, 4800}));
        s.tt.rychlost = 38400;
        aktualizuj_asci_promenne(s);
        v_dialogu([&] { o.model().prikaz(ID_NASTAV_PORT); }, [&](QWidget* d) {
            videno = {d->findChild<QComboBox*>("rychlost")->currentIndex()};
            d->findChild<QComboBox*>("port")->setCurrentIndex(4);
        }, "OK");
        QCOMPARE(videno, std::vector<int>{-1});
        QCOMPARE(o.potomek, (std::vector<std::string>{"kaslnk", "--line-format", "7,0,0,2", "--set-port", "5"}));
    }

    void nahledLogaKreslitBodyPredKonverzi() {
        QTemporaryDir adr;
        QByteArray b(62, 0);
        b[0] = 'B', b[1] = 'M', b[34] = 0x48, b[35] = 0x12;
        OknoSeScenarem o(s);  // the top left dot
        o.soubor = soubor(adr, "logo.bmp", b + QByteArray(4680 - 36, '\xFF') + '\x7F' + QByteArray(35, '\xFF'));
        QImage obraz;
        auto nahled = [&](QWidget* d) { obraz = d->findChild<QLabel*>("logo")->pixmap().toImage(); };
        v_dialogu([&] { o.model().prikaz(ID_LOGO); }, nahled, "Zrušit");
        QVERIFY(o.potomek.empty());
        QCOMPARE(obraz.size(), QSize(576, 260));
        QCOMPARE(obraz.pixelColor(1, 1), QColor(Qt::black));
        QCOMPARE(obraz.pixelColor(2, 0), QColor(Qt::white));
        v_dialogu([&] { o.model().prikaz(ID_LOGO); }, nahled, "Konvertovat");
        QCOMPARE(o.potomek.back(), o.soubor);
    }

    // A client that sends megabytes without a line end is dropped at once; one that finds
    // the queue full is told why.
    void soketOmezujeDelkuAFrontu() {
        QTemporaryDir d;
        s.tt.adresar_programu = d.path().toStdString();
        qputenv("XDG_RUNTIME_DIR", d.path().toUtf8());
        OknoSeScenarem o(s);
        QVERIFY(o.nasloucha());
        auto posli = [this](QLocalSocket& k, const QByteArray& data) {
            k.connectToServer(QString::fromStdString(jmeno_soketu_okna(s)));
            k.write(data);
        };
        QLocalSocket zaplava, navic;
        posli(zaplava, QByteArray(4 << 20, '4'));
        QTRY_COMPARE_WITH_TIMEOUT(zaplava.state(), QLocalSocket::UnconnectedState, 3000);  // before the idle limit
        for (size_t i = 0; i < Okno::MAX_FRONTA_PRIKAZU; ++i) o.model().zarad_prikaz(40003);
        posli(navic, "40004\n");
        QTRY_COMPARE(navic.state(), QLocalSocket::UnconnectedState);
        QVERIFY(navic.readAll().startsWith(QByteArray("Okno odm\xEDtlo p\xF8\xEDkaz 40004")));
    }
};

QTEST_MAIN(TestOknoQt)
#include "test_okno_qt.moc"
