// The Qt view offscreen: menu, graying, flows with scripted dialogs, find and replace,
// the terminal's paint and printing to a PDF file.
#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/globals.h"
#include "core/terminal.h"
#include "ui/prikazy.h"
#include "ui/qt/okno_qt.h"

namespace {

// Dialogs and boxes answered by the test.
class OknoSeScenarem : public OknoQt {
public:
    OknoSeScenarem() : OknoQt({"kaslnk"}) {}
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
};

}  // namespace

class TestOknoQt : public QObject {
    Q_OBJECT
private slots:
    void init() { nuluj_globalni_stav(); }

    void menuPopiskyAZkratky() {
        OknoSeScenarem o;
        QStringList horni;
        for (QAction* a : o.menuBar()->actions()) horni << a->text();
        QCOMPARE(horni, QStringList({"&Soubor", "&Editace", "&Proveď", "&Akce", "&Nápověda"}));
        QCOMPARE(o.akce(ID_ULOZ_JAKO)->text(), QString("Ulož jako...\tCtrl+Alt+S"));
        QCOMPARE(o.akce(ID_ULOZ_JAKO)->shortcut(), QKeySequence("Ctrl+Alt+S"));
        QVERIFY(o.akce(ID_KOPIRUJ)->shortcut().isEmpty());  // the editor's own key
    }

    void sedaEditaceAOtevreniUtf16() {
        QTemporaryDir d;
        QFile f(d.filePath("u.cmd"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("\xFF\xFE\x0D\x01\x0D\x00\x0A\x00", 8));
        f.close();
        OknoSeScenarem o;
        o.nastav_sede_editace();
        QVERIFY(!o.akce(ID_KOPIRUJ)->isEnabled());
        o.soubor = f.fileName().toStdString();
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
        OknoSeScenarem o;
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
        OknoSeScenarem o;
        o.resize(2000, 1200);
        WriteTTYBlock("#", 1);
        QImage obraz = o.terminal()->grab().toImage();
        int w = o.terminal()->sirka_znaku(), h = o.terminal()->vyska_radku();
        QColor pozadi = obraz.pixelColor(w + w / 2, h / 2);  // the blank cell after '#'
        auto kreslene = [&](int x0, int y0) {
            for (int y = y0; y < y0 + h; ++y)
                for (int x = x0; x < x0 + w; ++x)
                    if (obraz.pixelColor(x, y) != pozadi) return true;
            return false;
        };
        QVERIFY(kreslene(0, 0));
        QVERIFY(!kreslene(2 * w, 0));
        o.terminal()->nastav_kurzor(true);  // the caret: a solid cell at the cursor
        obraz = o.terminal()->grab().toImage();
        QCOMPARE(obraz.pixelColor(w + w / 2, h / 2), o.terminal()->palette().color(QPalette::Text));
        QCOMPARE(obraz.pixelColor(TERM_SLOUPCU * w + 5, TERM_RADKU * h + 5), pozadi);
    }

    void tiskDoPdf() {
        OknoSeScenarem o;
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
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("%PDF"));
    }
};

QTEST_MAIN(TestOknoQt)
#include "test_okno_qt.moc"
