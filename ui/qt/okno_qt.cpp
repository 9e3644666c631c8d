#include "ui/qt/okno_qt.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTextBlock>
#include <QTimer>
#include <QTranslator>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/kodovani.h"
#include "core/zpravy.h"
#include "format/logo.h"
#include "link/tray.h"
#include "ui/editor.h"
#include "ui/prikazy.h"
#include "ui/texty.h"

QString na_qt(const std::string& cp1250) { return QString::fromStdString(cp1250_na_utf8(cp1250)); }
std::string z_qt(const QString& text) { return utf8_na_cp1250(text.toStdString()); }

void nastav_cestinu(QCoreApplication& aplikace) {
    QLocale cestina(QLocale::Czech, QLocale::CzechRepublic);
    QLocale::setDefault(cestina);
    auto* preklad = new QTranslator(&aplikace);
    if (preklad->load(cestina, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        aplikace.installTranslator(preklad);
    else
        delete preklad;  // without the translations package: Qt's English
}

namespace {

QFont pismo_terminalu() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

QColor barva(uint32_t rgb) { return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); }

// The icons: the program's (400) and the tray's red (401) and green (402).
QIcon ikona(int cislo) {
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter k(&p);
    k.setRenderHint(QPainter::Antialiasing);
    QColor barva = cislo == IKONA_CERVENA ? QColor(200, 30, 30)
                 : cislo == IKONA_ZELENA  ? QColor(30, 160, 50)
                                          : QColor(40, 70, 150);
    k.setBrush(barva);
    k.setPen(Qt::NoPen);
    if (cislo == IKONA_CERVENA || cislo == IKONA_ZELENA) {
        k.drawEllipse(4, 4, 24, 24);
    } else {
        k.drawRoundedRect(2, 6, 28, 20, 4, 4);
        k.setPen(Qt::white);
        k.drawText(QRect(2, 6, 28, 20), Qt::AlignCenter, "ER");
    }
    return QIcon(p);
}

}  // namespace

// --- terminal ---------------------------------------------------------------------------

TerminalQt::TerminalQt(QWidget* rodic, const TTYINFO& tt) : QWidget(rodic), tt_(tt) {
    nastav_pismo(pismo_terminalu());
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void TerminalQt::nastav_pismo(const QFont& pismo) {
    setFont(pismo);
    QFontMetrics m(font());
    sirka_ = m.horizontalAdvance(QLatin1Char('M'));
    vyska_ = m.height() + m.leading();
    update();
}

void TerminalQt::nastav_kurzor(bool zobrazen) {
    if (kurzor_ == zobrazen) return;
    kurzor_ = zobrazen;
    update(tt_.sloupec * sirka_, tt_.radek * vyska_, sirka_, vyska_);
}

void TerminalQt::paintEvent(QPaintEvent* e) {
    QPainter k(this);
    k.setFont(font());
    QColor pozadi = palette().color(QPalette::Window);
    k.setPen(barva(tt_.barva_textu));
    const QRect r = e->rect();
    OblastMrizky o = oblast_kresleni(r.left(), r.top(), r.right() + 1, r.bottom() + 1, sirka_, vyska_);
    for (int radek = o.prvni_radek; radek <= o.posledni_radek; ++radek) {
        int sloupcu = o.posledni_sloupec - o.prvni_sloupec + 1;
        if (sloupcu <= 0) break;
        QRect bunky(o.prvni_sloupec * sirka_, radek * vyska_, sloupcu * sirka_, vyska_);
        k.fillRect(bunky, pozadi);
        QString text = na_qt(std::string(tt_.obrazovka[radek] + o.prvni_sloupec, static_cast<size_t>(sloupcu)));
        // One cell per character whatever the font's own advance.
        for (int i = 0; i < text.size(); ++i)
            k.drawText(QRect(bunky.left() + i * sirka_, bunky.top(), sirka_, vyska_),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, QString(text[i]));
    }
    if (kurzor_)
        k.fillRect(tt_.sloupec * sirka_, tt_.radek * vyska_, sirka_, vyska_, palette().color(QPalette::Text));
}

// --- find and replace -------------------------------------------------------------------

HledaniQt::HledaniQt(QWidget* rodic, Okno& model, bool nahrazovani) : QDialog(rodic) {
    setWindowTitle(nahrazovani ? na_qt("Nahradit") : na_qt("Naj\xEDt"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* mrizka = new QGridLayout(this);
    hledany = new QLineEdit(this);
    hledany->setMaxLength(255);
    mrizka->addWidget(new QLabel(na_qt("Naj\xEDt:"), this), 0, 0);
    mrizka->addWidget(hledany, 0, 1);
    if (nahrazovani) {
        nahrada = new QLineEdit(this);
        nahrada->setMaxLength(255);
        mrizka->addWidget(new QLabel(na_qt("Nahradit \xE8\xEDm:"), this), 1, 0);
        mrizka->addWidget(nahrada, 1, 1);
    }
    auto* tlacitka = new QVBoxLayout;
    mrizka->addLayout(tlacitka, 0, 2, 3, 1);
    auto tlacitko = [&](const char* text, Hledani co) {
        auto* b = new QPushButton(na_qt(text), this);
        tlacitka->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, &model, co] {
            model.hledani(co, z_qt(hledany->text()), nahrada ? z_qt(nahrada->text()) : std::string());
        });
        return b;
    };
    tlacitko("Naj\xEDt dal\x9A\xED", Hledani::NAJDI_DALSI)->setDefault(true);
    if (nahrazovani) {
        tlacitko("Nahradit", Hledani::NAHRAD);
        tlacitko("Nahradit v\x9A" "e", Hledani::NAHRAD_VSE);
    }
    auto* zavrit = new QPushButton(na_qt("Zav\xF8\xEDt"), this);
    tlacitka->addWidget(zavrit);
    connect(zavrit, &QPushButton::clicked, this, &QDialog::close);
    connect(this, &QDialog::finished, this, [&model] { model.hledani(Hledani::ZAVRENO, {}, {}); });
}

// --- the window -------------------------------------------------------------------------

OknoQt::OknoQt(SezeniJadra& s, std::vector<std::string> argumenty)
    : model_(*this, s, std::move(argumenty)), bez_dotazu_(std::getenv("KASLNK_OKNO_BEZ_DOTAZU") != nullptr) {
    s.sluzby.box = [this](const std::string& text, uint32_t styl) { return box(text, styl); };
    s.sluzby.prekresli = [this] { prekresli_terminal(); };
    setWindowIcon(ikona(400));
    terminal_ = new TerminalQt(this, s.tt);
    setCentralWidget(terminal_);
    editor_ = new QPlainTextEdit(terminal_);
    editor_->setFont(pismo_terminalu());
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setMaximumBlockCount(0);
    editor_->hide();
    connect(editor_, &QPlainTextEdit::textChanged, this, [this] {
        // The text limit of the editor: what goes beyond is cut off again.
        if (static_cast<size_t>(editor_->document()->characterCount() - 1) > MAX_EDITOR) {
            QTextCursor c(editor_->document());
            c.setPosition(static_cast<int>(MAX_EDITOR));
            c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            c.removeSelectedText();
        }
        model_.text_zmenen();
    });
    postav_menu();
    // The 25 rows of the terminal and as much again for the editor below them, under the menu bar.
    resize(terminal_->sirka_znaku() * TERM_SLOUPCU + 40,
           terminal_->vyska_radku() * TERM_RADKU * 2 + menuBar()->sizeHint().height());
    casovac_potomka_ = new QTimer(this);
    casovac_potomka_->setInterval(25);
    connect(casovac_potomka_, &QTimer::timeout, this, &OknoQt::cti_potomka);
    naslouchej();
}

OknoQt::~OknoQt() {
    casovac_potomka_->stop();
    if (potomek_.pid > 0) plat_dokonci_potomka(potomek_);  // the transfer ends on its own
    model_.sezeni().sluzby.box = nullptr;
    model_.sezeni().sluzby.prekresli = nullptr;
}

void OknoQt::postav_menu() {
    std::map<std::string, QMenu*> popupy;
    for (const std::string& p : popupy_menu()) {
        if (p.empty()) {
            for (const PolozkaMenu& m : menu_okna())
                if (!*m.popup) {
                    QAction* a = menuBar()->addAction(na_qt(m.popisek));
                    a->setData(m.id);
                    connect(a, &QAction::triggered, this, [this, id = m.id] { model_.prikaz(id); });
                }
            continue;
        }
        popupy[p] = menuBar()->addMenu(na_qt(titulek_popupu(p)));
    }
    popupy["Akce/Najdi kasu"] = nullptr;
    for (const PolozkaMenu& m : menu_okna()) {
        if (!*m.popup) continue;
        QMenu*& menu = popupy[m.popup];
        if (!menu) menu = popupy["Akce"]->addMenu(na_qt(titulek_popupu(m.popup)));
        QAction* a = menu->addAction(na_qt(m.popisek));
        a->setData(m.id);
        if (*m.zkratka) {
            a->setShortcut(QKeySequence(QString::fromLatin1(m.zkratka)));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        connect(a, &QAction::triggered, this, [this, id = m.id] { model_.prikaz(id); });
    }
    connect(popupy["Editace"], &QMenu::aboutToShow, this, &OknoQt::nastav_sede_editace);
}

QAction* OknoQt::akce(int id) const {
    for (QAction* a : menuBar()->findChildren<QAction*>())
        if (a->data().toInt() == id && !a->menu()) return a;
    return nullptr;
}

void OknoQt::nastav_sede_editace() {
    const QMimeData* schranka = QApplication::clipboard()->mimeData();
    SedeEditace s = sede_editace(editor_->document()->isUndoAvailable(), schranka && schranka->hasText(),
                                 editor_->textCursor().hasSelection());
    akce(ID_ZPET)->setEnabled(!s.zpet);
    akce(ID_VYJMI)->setEnabled(!s.vyjmi);
    akce(ID_KOPIRUJ)->setEnabled(!s.kopiruj);
    akce(ID_VLOZ)->setEnabled(!s.vloz);
    akce(ID_SMAZ)->setEnabled(!s.smaz);
}

void OknoQt::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    int h = terminal_->height(), w = terminal_->width();
    editor_->setGeometry(0, h / 2, w, h - h / 2);
}

void OknoQt::changeEvent(QEvent* e) {
    // Losing the focus removes the caret; it comes back when the port is opened again.
    if (e->type() == QEvent::ActivationChange && !isActiveWindow()) terminal_->nastav_kurzor(false);
    QMainWindow::changeEvent(e);
}

void OknoQt::nastav_titulek(const std::string& titulek) { setWindowTitle(na_qt(titulek)); }

int OknoQt::box(const std::string& text, uint32_t styl) {
    static const int prvni[] = {IDOK_, IDOK_, 3, IDYES_, IDYES_, 4};
    if (bez_dotazu_) {
        std::fprintf(stderr, "kaslnk-okno: %s\n", cp1250_na_utf8(text).c_str());
        std::fflush(stderr);
        return (styl & 0x0F) <= 5 ? prvni[styl & 0x0F] : IDOK_;
    }
    QMessageBox b(this);
    b.setWindowTitle(na_qt(TITULEK));
    QString t = na_qt(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    b.setText(t);
    switch (styl & 0xF0) {
        case 0x10: b.setIcon(QMessageBox::Critical); break;
        case 0x20: b.setIcon(QMessageBox::Question); break;
        case 0x30: b.setIcon(QMessageBox::Warning); break;
        case 0x40: b.setIcon(QMessageBox::Information); break;
        default: break;
    }
    using B = QMessageBox::StandardButton;
    // The buttons as Czech message boxes label them, whatever translations Qt has loaded.
    static const std::map<B, const char*> popisky = {
        {B::Ok, "OK"}, {B::Cancel, "Storno"}, {B::Abort, "P\xF8" "eru\x9Ait"}, {B::Retry, "Opakovat"},
        {B::Ignore, "Ignorovat"}, {B::Yes, "Ano"}, {B::No, "Ne"}};
    static const std::vector<std::vector<std::pair<B, int>>> tlacitka = {
        {{B::Ok, IDOK_}},
        {{B::Ok, IDOK_}, {B::Cancel, IDCANCEL_}},
        {{B::Abort, 3}, {B::Retry, 4}, {B::Ignore, 5}},
        {{B::Yes, IDYES_}, {B::No, IDNO_}, {B::Cancel, IDCANCEL_}},
        {{B::Yes, IDYES_}, {B::No, IDNO_}},
        {{B::Retry, 4}, {B::Cancel, IDCANCEL_}},
    };
    const auto& sada = tlacitka[(styl & 0x0F) <= 5 ? styl & 0x0F : 0];
    for (const auto& [tlacitko, odpoved] : sada) b.addButton(tlacitko)->setText(na_qt(popisky.at(tlacitko)));
    b.setDefaultButton(sada[(styl & MB_DEFBUTTON2_) && sada.size() > 1 ? 1 : 0].first);
    int vysledek = b.exec();
    for (const auto& [tlacitko, odpoved] : sada)
        if (vysledek == tlacitko) return odpoved;
    return sada.size() > 1 ? IDCANCEL_ : IDOK_;
}

// The keyboard focus stays where it is: with the main window.
void OknoQt::ukaz_editor() { editor_->show(); }

std::string OknoQt::text_editoru() { return z_qt(editor_->toPlainText()); }

void OknoQt::nastav_text_editoru(const std::string& text) {
    editor_->setPlainText(na_qt(text.substr(0, MAX_EDITOR)));
}

size_t OknoQt::konec_vyberu() { return static_cast<size_t>(editor_->textCursor().selectionEnd()); }

void OknoQt::vyber(size_t od, size_t po) {
    QTextCursor c = editor_->textCursor();
    c.setPosition(static_cast<int>(od));
    c.setPosition(static_cast<int>(po), QTextCursor::KeepAnchor);
    editor_->setTextCursor(c);
    editor_->ensureCursorVisible();
}

void OknoQt::nahrad_vyber(const std::string& text) { editor_->textCursor().insertText(na_qt(text)); }

void OknoQt::uprav(int id) {
    switch (id) {
        case ID_ZPET: editor_->undo(); break;
        case ID_VYJMI: editor_->cut(); break;
        case ID_KOPIRUJ: editor_->copy(); break;
        case ID_VLOZ: editor_->paste(); break;
        case ID_SMAZ: editor_->textCursor().removeSelectedText(); break;
        case ID_VYBER_VSE: editor_->selectAll(); break;
    }
}

namespace {
QString filtr(const std::string& pripona) {
    return na_qt("Cmd\xE9\xE8ka (*." + pripona + ");;V\x9A" "echny soubory (*)");
}
QString slozka(const std::string& adresar) {
    return QDir(QString::fromStdString(adresar.empty() ? "." : adresar)).absolutePath();
}
bool vybrano(const QString& soubor, std::string& cesta, std::string& jmeno) {
    if (soubor.isEmpty()) return false;
    cesta = soubor.toStdString();
    jmeno = z_qt(QFileInfo(soubor).fileName());
    return true;
}
}  // namespace

bool OknoQt::dialog_otevrit(const std::string& pripona, const std::string& adresar, std::string& cesta,
                            std::string& jmeno) {
    QString start = slozka(adresar);
    if (!cesta.empty()) start = QDir(start).filePath(QString::fromStdString(cesta));
    return vybrano(QFileDialog::getOpenFileName(this, {}, start, filtr(pripona)), cesta, jmeno);
}

bool OknoQt::dialog_ulozit(const std::string& adresar, std::string& cesta, std::string& jmeno) {
    QFileDialog d(this, {}, cesta.empty() ? slozka(adresar) : QString::fromStdString(cesta),
                  filtr(model_.sezeni().tt.pripona_cmd));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setDefaultSuffix(QStringLiteral("cmd"));
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return false;
    return vybrano(d.selectedFiles().first(), cesta, jmeno);
}

void OknoQt::dialog_hledani(bool nahrazovani) {
    if (hledani_) hledani_->close();
    hledani_ = new HledaniQt(this, model_, nahrazovani);
    hledani_->show();
}

void OknoQt::dialog_pisma() {
    bool vybrano_pismo = false;
    QFont f = QFontDialog::getFont(&vybrano_pismo, editor_->font(), this);
    if (vybrano_pismo) editor_->setFont(f);
}

bool OknoQt::tiskni_na(QPrinter& tiskarna, const std::string& titulek) {
    std::string text = text_editoru();
    if (text.empty()) return true;
    QPainter k;
    tiskarna.setDocName(windowTitle());
    if (!k.begin(&tiskarna)) return false;
    k.setFont(editor_->font());
    QFontMetrics m(k.font(), &tiskarna);
    QRect plocha = tiskarna.pageLayout().paintRectPixels(tiskarna.resolution());
    std::vector<std::string> radky = radky_tisku(text, 1 << 20);
    Strankovani s = strankuj(plocha.width(), plocha.height(), m.averageCharWidth(), m.height(), m.leading(),
                             static_cast<int>(radky.size()));
    if (s.stran == 0) {
        k.end();
        return false;
    }
    radky = radky_tisku(text, s.znaku_na_radek);
    std::vector<int> strany = poradi_stran(s.stran, 1, true);
    QProgressDialog prubeh(na_qt("Tisknu " + titulek), na_qt("Zru\x9Ait"), 0, static_cast<int>(strany.size()), this);
    prubeh.setWindowTitle(na_qt(TITULEK));
    prubeh.setMinimumDuration(500);
    bool zruseno = false;
    for (size_t i = 0; i < strany.size() && !zruseno; ++i) {
        if (i > 0 && !tiskarna.newPage()) {
            k.end();
            return false;
        }
        for (int r = 0; r < s.radku_na_stranu; ++r) {
            size_t index = static_cast<size_t>(strany[i] * s.radku_na_stranu + r);
            if (index >= radky.size()) break;
            k.drawText(0, r * s.vyska_radku + m.ascent(), na_qt(radky[index]));
        }
        prubeh.setValue(static_cast<int>(i + 1));
        QApplication::processEvents();
        zruseno = prubeh.wasCanceled();
    }
    if (zruseno) tiskarna.abort();
    k.end();
    return !zruseno;
}

bool OknoQt::tiskni(const std::string& titulek) {
    if (editor_->toPlainText().isEmpty()) return true;
    QPrinter tiskarna;
    tiskarna.setCollateCopies(true);
    QPrintDialog d(&tiskarna, this);
    d.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (d.exec() != QDialog::Accepted) return true;
    return tiskni_na(tiskarna, titulek);
}

void OknoQt::ukaz_napovedu() {
    QDialog d(this);
    d.setWindowTitle(na_qt("Stru\xE8n\xFD popis programu"));
    auto* l = new QVBoxLayout(&d);
    auto* text = new QPlainTextEdit(&d);
    text->setReadOnly(true);
    text->setObjectName(QStringLiteral("napoveda"));
    QString t = na_qt(text_napovedy());
    text->setPlainText(t.remove(QLatin1Char('\r')));
    l->addWidget(text);
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
    l->addWidget(ok);
    connect(ok, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    d.resize(QFontMetrics(text->font()).horizontalAdvance(QString(82, QLatin1Char('M'))), 500);
    d.exec();
}

void OknoQt::ukaz_o_programu() {
    QDialog d(this);
    d.setWindowTitle(na_qt("O programu"));
    auto* l = new QHBoxLayout(&d);
    auto* obrazek = new QLabel(&d);
    obrazek->setPixmap(ikona(400).pixmap(32, 32));
    l->addWidget(obrazek, 0, Qt::AlignTop);
    auto* sloupec = new QVBoxLayout;
    l->addLayout(sloupec);
    for (const std::string& radek : {o_programu_nazev(), o_programu_system(), o_programu_verze()})
        sloupec->addWidget(new QLabel(na_qt(radek), &d));
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
    sloupec->addWidget(ok);
    connect(ok, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    d.exec();
}

void OknoQt::zavri() { close(); }

// --- the tools' dialogs -----------------------------------------------------------------

namespace {

QComboBox* kombo(QWidget* rodic, const char* jmeno, const Volba& v) {
    auto* k = new QComboBox(rodic);
    k->setObjectName(QString::fromLatin1(jmeno));
    for (const std::string& p : v.popisky) k->addItem(na_qt(p));
    k->setCurrentIndex(v.vybrano);
    k->setEnabled(v.povolena);
    return k;
}

// A dialog with its OK and Cancel (or other) buttons under the given layout.
bool spust_dialog(QDialog& d, QLayout* obsah, const QString& ok, const QString& zrusit) {
    auto* l = new QVBoxLayout(&d);
    l->addLayout(obsah);
    auto* tlacitka = new QDialogButtonBox(&d);
    tlacitka->addButton(ok, QDialogButtonBox::AcceptRole)->setDefault(true);
    tlacitka->addButton(zrusit, QDialogButtonBox::RejectRole);
    l->addWidget(tlacitka);
    QObject::connect(tlacitka, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(tlacitka, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    return d.exec() == QDialog::Accepted;
}

}  // namespace

bool OknoQt::dialog_linky(DialogLinky& d) {
    QDialog dlg(this);
    dlg.setWindowTitle(na_qt(DialogLinky::TITULEK));
    auto* mrizka = new QGridLayout;
    Volba* volby[] = {&d.port, &d.rychlost, &d.datove_bity, &d.parita, &d.stop_bity};
    const char* jmena[] = {"port", "rychlost", "datove_bity", "parita", "stop_bity"};
    QComboBox* komba[5];
    for (int i = 0; i < 5; ++i) {
        mrizka->addWidget(new QLabel(na_qt(DialogLinky::POPISKY_VOLEB[static_cast<size_t>(i)]), &dlg), i, 0);
        mrizka->addWidget(komba[i] = kombo(&dlg, jmena[i], *volby[i]), i, 1);
    }
    QCheckBox* boxy[POCET_ZASKRTNUTI];
    for (int i = 0; i < POCET_ZASKRTNUTI; ++i) {
        boxy[i] = new QCheckBox(na_qt(DialogLinky::POPISKY[static_cast<size_t>(i)]), &dlg);
        boxy[i]->setChecked(d.zaskrtnuto[static_cast<size_t>(i)]);
        boxy[i]->setEnabled(i != NOTIFIKACE);
        mrizka->addWidget(boxy[i], i < 3 ? i : i - 3, i < 3 ? 2 : 3);
    }
    // The terminal font changes at once, whatever button closes the dialog.
    auto* pismo = new QPushButton(na_qt(DialogLinky::PISMO), &dlg);
    pismo->setObjectName(QStringLiteral("pismo"));
    mrizka->addWidget(pismo, 4, 2);
    connect(pismo, &QPushButton::clicked, &dlg, [this, &dlg] {
        bool vybrano_pismo = false;
        QFont f = QFontDialog::getFont(&vybrano_pismo, terminal_->font(), &dlg, QString(),
                                       QFontDialog::MonospacedFonts);
        if (!vybrano_pismo) return;
        terminal_->nastav_pismo(f);
        // The text colour, which Qt's font dialog does not offer.
        uint32_t& barva_textu = model_.sezeni().tt.barva_textu;
        QColor c = QColorDialog::getColor(barva(barva_textu), &dlg, na_qt("Barva p\xEDsma"));
        if (c.isValid()) barva_textu = static_cast<uint32_t>(c.red() | c.green() << 8 | c.blue() << 16);
        terminal_->update();
    });
    if (!spust_dialog(dlg, mrizka, QStringLiteral("OK"), QStringLiteral("Cancel"))) return false;
    for (int i = 0; i < 5; ++i) volby[i]->vybrano = komba[i]->currentIndex();
    for (int i = 0; i < POCET_ZASKRTNUTI; ++i) d.zaskrtnuto[static_cast<size_t>(i)] = boxy[i]->isChecked();
    return true;
}

bool OknoQt::dialog_portu(DialogPortu& d) {
    QDialog dlg(this);
    dlg.setWindowTitle(na_qt(DialogPortu::TITULEK));
    auto* mrizka = new QGridLayout;
    QComboBox* port = kombo(&dlg, "port", d.port);
    QComboBox* rychlost = kombo(&dlg, "rychlost", d.rychlost);
    mrizka->addWidget(new QLabel(QStringLiteral("Port"), &dlg), 0, 0);
    mrizka->addWidget(port, 0, 1);
    mrizka->addWidget(new QLabel(QStringLiteral("Rychlost"), &dlg), 1, 0);
    mrizka->addWidget(rychlost, 1, 1);
    if (!spust_dialog(dlg, mrizka, QStringLiteral("OK"), QStringLiteral("Cancel"))) return false;
    d.port.vybrano = port->currentIndex();
    d.rychlost.vybrano = rychlost->currentIndex();
    return true;
}

bool OknoQt::nahled_loga(const NahledLoga& n) {
    QDialog dlg(this);
    dlg.setWindowTitle(na_qt(NahledLoga::TITULEK));
    // Each dot of the register as 2 x 2 pixels, black on white as printed.
    QImage obraz(LOGO_SIRKA, LOGO_VYSKA, QImage::Format_RGB32);
    for (int y = 0; y < LOGO_VYSKA; ++y)
        for (int x = 0; x < LOGO_SIRKA; ++x) obraz.setPixel(x, y, n.cerny(x, y) ? 0xFF000000u : 0xFFFFFFFFu);
    auto* obrazek = new QLabel(&dlg);
    obrazek->setObjectName(QStringLiteral("logo"));
    obrazek->setPixmap(QPixmap::fromImage(obraz.scaled(2 * LOGO_SIRKA, 2 * LOGO_VYSKA)));
    obrazek->setFrameStyle(QFrame::Box);
    auto* l = new QHBoxLayout;
    l->addWidget(obrazek);
    return spust_dialog(dlg, l, na_qt(NahledLoga::KONVERTOVAT), na_qt(NahledLoga::ZRUSIT));
}

bool OknoQt::dialog_souboru(const std::string& popis, const std::string& pripona, const std::string& adresar,
                            std::string& cesta) {
    QString vzor = QString::fromStdString("*." + pripona), velke = vzor.toUpper();
    QString filtr_souboru = na_qt(popis) + " (" + vzor + (velke != vzor ? " " + velke : QString()) + ");;" +
                            na_qt("V\x9A" "echny soubory (*)");
    QString soubor = QFileDialog::getOpenFileName(this, {}, slozka(adresar), filtr_souboru);
    if (soubor.isEmpty()) return false;
    cesta = soubor.toStdString();
    return true;
}

// --- started programs -------------------------------------------------------------------

bool OknoQt::spust_potomka(const std::vector<std::string>& argumenty) {
    std::string program = plat_program_vedle("kaslnk");
    potomek_ = plat_spust_potomka(program, argumenty, std::string(PROMENNA_KANALU) + "=1");
    if (potomek_.pid <= 0) return false;
    ctenar_ = CtenarKanalu();
    casovac_potomka_->start();
    return true;
}

void OknoQt::cti_potomka() {
    int kod = 0;
    if (model_.cti_potomka(potomek_, ctenar_, kod)) {
        if (potomek_.pid <= 0) casovac_potomka_->stop();  // unless a queued command started the next
        if (bez_dotazu_) {
            // The screen first: a reader that waits for the "konec" line finds it whole.
            for (int r = 0; r < TERM_RADKU; ++r)
                std::fprintf(stderr, "|%s\n",
                             cp1250_na_utf8(std::string(model_.sezeni().tt.obrazovka[r], TERM_SLOUPCU)).c_str());
            std::fprintf(stderr, "kaslnk-okno: konec %d\n", kod);
            std::fflush(stderr);
        }
    }
}

void OknoQt::odpovez_potomkovi(int odpoved) {
    if (potomek_.vstup >= 0) plat_zapis_do(potomek_.vstup, zabal_odpoved(odpoved));
}

void OknoQt::prekresli_terminal() { terminal_->update(); }

void OknoQt::kurzor(bool port_otevren) { terminal_->nastav_kurzor(port_otevren && isActiveWindow()); }

void OknoQt::tray(int operace, int cislo_ikony) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;  // no tray host: nothing, no error
    if (operace == TRAY_ODEBRAT) {
        delete tray_;
        tray_ = nullptr;
        return;
    }
    if (!tray_) tray_ = new QSystemTrayIcon(this);
    if (cislo_ikony) tray_->setIcon(ikona(cislo_ikony));
    tray_->show();
}

// --- commands from other programs -------------------------------------------------------

void OknoQt::naslouchej() {
    QString jmeno = QString::fromStdString(jmeno_soketu_okna(model_.sezeni()));
    QLocalSocket zkouska;
    zkouska.connectToServer(jmeno);
    if (zkouska.waitForConnected(200)) {
        VypisBlok(model_.sezeni(), "Jin\xE9 okno u\x9E p\xF8ij\xEDm\xE1 p\xF8\xEDkazy tohoto adres\xE1\xF8" "e.\r", 0);
        return;  // another window serves this directory
    }
    QLocalServer::removeServer(jmeno);  // a socket left by a window that crashed
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(jmeno)) return;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            // A command is one short line: a client that sends more, or nothing in time, is
            // dropped, and no more than that is ever buffered for it.
            s->setReadBufferSize(static_cast<qint64>(MAX_PRIKAZ_OKNU));
            QTimer::singleShot(CEKANI_NA_OKNO_MS, s, &QLocalSocket::abort);
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] { prijmi_prikaz(s); });
        }
    });
}

void OknoQt::prijmi_prikaz(QLocalSocket* s) {
    if (!s->canReadLine()) {
        if (s->bytesAvailable() >= static_cast<qint64>(MAX_PRIKAZ_OKNU)) s->abort();
        return;
    }
    bool ok = false;
    int id = QString::fromLatin1(s->readLine()).trimmed().toInt(&ok);
    // The sender goes at once (told the reason when the queue is full); the command runs on
    // the window's own turn, after those before it.
    if (ok && !model_.zarad_prikaz(id))
        s->write(QByteArray::fromStdString("Okno odm\xEDtlo p\xF8\xEDkaz " + std::to_string(id) +
                                           ": na proveden\xED u\x9E \xE8" "ek\xE1 p\xF8\xEDli\x9A mnoho p\xF8\xEDkaz\xF9."));
    s->disconnectFromServer();
    if (ok) QTimer::singleShot(0, this, [this] {
        // A child that has just ended is finished first, so that a command sent right
        // after the previous transfer is not refused.
        if (potomek_.pid > 0 && plat_potomek_skoncil(potomek_)) cti_potomka();
        model_.proved_frontu();
    });
}

bool OknoQt::nasloucha() const { return server_ && server_->isListening(); }
