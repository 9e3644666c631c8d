// The Qt view of the main window: draws the model of ui/okno.h and forwards to it.
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ui/okno.h"

class QCoreApplication;
class QLineEdit;
class QLocalServer;
class QLocalSocket;
class QPlainTextEdit;
class QPrinter;
class QSystemTrayIcon;
class QTimer;

QString na_qt(const std::string& cp1250);
std::string z_qt(const QString& text);

// Qt's own dialogs (files, fonts, colours, printing) in Czech, as the window's texts are:
// the translations installed with Qt (qtbase_cs.qm) and the Czech locale.
void nastav_cestinu(QCoreApplication& aplikace);

// The 25 x 80 terminal screen of the session's tt.obrazovka in a fixed-pitch font; the
// caret only while the started program has the port open.
class TerminalQt : public QWidget {
public:
    TerminalQt(QWidget* rodic, const TTYINFO& tt);
    int sirka_znaku() const { return sirka_; }
    int vyska_radku() const { return vyska_; }
    void nastav_kurzor(bool zobrazen);
    void nastav_pismo(const QFont& pismo);  // the cells follow the font's size
    bool kurzor() const { return kurzor_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    const TTYINFO& tt_;
    int sirka_ = 8, vyska_ = 16;
    bool kurzor_ = false;
};

// The modeless find and replace dialog.
class HledaniQt : public QDialog {
public:
    HledaniQt(QWidget* rodic, Okno& model, bool nahrazovani);
    QLineEdit* hledany;
    QLineEdit* nahrada = nullptr;
};

class OknoQt : public QMainWindow, public PohledOkna {
public:
    // `s`: the window's session (ui/okno.h); while the window lives, the session's message
    // boxes and repaints are the window's.
    OknoQt(SezeniJadra& s, std::vector<std::string> argumenty);
    ~OknoQt() override;

    Okno& model() { return model_; }
    QPlainTextEdit* editor() { return editor_; }
    TerminalQt* terminal() { return terminal_; }
    QAction* akce(int id) const;        // the menu item of a command (the first one)
    void nastav_sede_editace();         // what opening the Editace pop-up does
    // Prints the editor text on a prepared printer (a PDF file, for example).
    bool tiskni_na(QPrinter& tiskarna, const std::string& titulek);
    bool nasloucha() const;             // serves --command

    // PohledOkna
    void nastav_titulek(const std::string& titulek) override;
    int box(const std::string& text, uint32_t styl) override;
    void ukaz_editor() override;
    std::string text_editoru() override;
    void nastav_text_editoru(const std::string& text) override;
    size_t konec_vyberu() override;
    void vyber(size_t od, size_t po) override;
    void nahrad_vyber(const std::string& text) override;
    void uprav(int id) override;
    bool dialog_otevrit(const std::string& pripona, const std::string& adresar, std::string& cesta,
                        std::string& jmeno) override;
    bool dialog_ulozit(const std::string& adresar, std::string& cesta, std::string& jmeno) override;
    void dialog_hledani(bool nahrazovani) override;
    void dialog_pisma() override;
    bool tiskni(const std::string& titulek) override;
    void ukaz_napovedu() override;
    void ukaz_o_programu() override;
    void zavri() override;
    bool dialog_linky(DialogLinky& d) override;
    bool dialog_portu(DialogPortu& d) override;
    bool nahled_loga(const NahledLoga& n) override;
    bool dialog_souboru(const std::string& popis, const std::string& pripona, const std::string& adresar,
                        std::string& cesta) override;
    bool spust_potomka(const std::vector<std::string>& argumenty) override;
    void odpovez_potomkovi(int odpoved) override;
    void prekresli_terminal() override;
    void kurzor(bool port_otevren) override;
    void tray(int operace, int ikona) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void postav_menu();
    void naslouchej();
    void prijmi_prikaz(QLocalSocket* s);
    void cti_potomka();

    Okno model_;
    TerminalQt* terminal_;
    QPlainTextEdit* editor_;
    QPointer<HledaniQt> hledani_;
    QLocalServer* server_ = nullptr;
    QSystemTrayIcon* tray_ = nullptr;
    PlatPotomek potomek_;
    QTimer* casovac_potomka_;  // reads the running child
    CtenarKanalu ctenar_;
    bool bez_dotazu_;  // KASLNK_OKNO_BEZ_DOTAZU: boxes go to stderr with their first button
};
