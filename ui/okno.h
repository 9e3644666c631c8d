// The main window without a toolkit: the command dispatch with its flows (new, open,
// save, ask about saving, find and replace, the picker), the caption and message texts,
// and the programs the window starts for transfers and tools. A view (Qt, later Win32)
// implements PohledOkna: it draws and forwards, the rules live here. Texts are
// Windows-1250; the view converts at its edge.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/kanal.h"
#include "core/sezeni_jadra.h"
#include "platform/platform.h"
#include "ui/dialogy.h"

constexpr const char* BEZ_NAZVU = "(bez n\xE1zvu)";

// Message-box styles as numbered by Windows; the answers likewise.
enum : uint32_t { MB_OK_ = 0, MB_YESNOCANCEL_ = 3, MB_YESNO_ = 4, MB_ICONQUESTION_ = 0x20, MB_ICONEXCLAMATION_ = 0x30,
                  MB_DEFBUTTON2_ = 0x100 };
enum : int { IDOK_ = 1, IDCANCEL_ = 2, IDYES_ = 6, IDNO_ = 7 };

// What the model asks of the view.
class PohledOkna {
public:
    virtual ~PohledOkna() = default;
    virtual void nastav_titulek(const std::string& titulek) = 0;
    // A message box with the caption "Komunikace s ER-A227E"; the answer as Windows gives it.
    virtual int box(const std::string& text, uint32_t styl) = 0;

    virtual void ukaz_editor() = 0;
    virtual std::string text_editoru() = 0;  // lines end in "\n"
    virtual void nastav_text_editoru(const std::string& text) = 0;
    virtual size_t konec_vyberu() = 0;
    virtual void vyber(size_t od, size_t po) = 0;  // selects and scrolls it into view
    virtual void nahrad_vyber(const std::string& text) = 0;
    virtual void uprav(int id) = 0;  // Zpět .. Vyber vše: the editor's own operations

    // Dialogs: true with a full path (and its bare name) chosen; the filter list is
    // "Cmdéčka" (*.pripona) and "Všechny soubory" (*.*), starting in `adresar`.
    virtual bool dialog_otevrit(const std::string& pripona, const std::string& adresar,
                                std::string& cesta, std::string& jmeno) = 0;
    virtual bool dialog_ulozit(const std::string& adresar, std::string& cesta, std::string& jmeno) = 0;
    virtual void dialog_hledani(bool nahrazovani) = 0;  // modeless; reports through hledani()
    virtual void dialog_pisma() = 0;
    virtual bool tiskni(const std::string& titulek) = 0;
    virtual void ukaz_napovedu() = 0;
    virtual void ukaz_o_programu() = 0;
    virtual void zavri() = 0;

    // The tools' dialogs (ui/dialogy.h): true on OK (Konvertovat), with the choice in the
    // structure. A view without them answers Cancel.
    virtual bool dialog_linky(DialogLinky&) { return false; }
    virtual bool dialog_portu(DialogPortu&) { return false; }
    virtual bool nahled_loga(const NahledLoga&) { return false; }
    // An open dialog for other files: the filter list is `popis` (*.pripona) and
    // "Všechny soubory" (*.*), starting in `adresar`; true with the full path chosen.
    virtual bool dialog_souboru(const std::string& /*popis*/, const std::string& /*pripona*/,
                                const std::string& /*adresar*/, std::string& /*cesta*/) {
        return false;
    }

    // A started program and what it reports.
    virtual bool spust_potomka(const std::vector<std::string>& argumenty) = 0;
    virtual void odpovez_potomkovi(int odpoved) = 0;
    virtual void prekresli_terminal() = 0;
    virtual void kurzor(bool port_otevren) = 0;
    virtual void tray(int operace, int ikona) = 0;
};

// What a find or replace dialog reports.
enum class Hledani { NAJDI_DALSI, NAHRAD, NAHRAD_VSE, ZAVRENO };

class Okno {
public:
    // `s`: the session the window keeps its state in (the terminal record with the screen
    // and the serial settings, the run-mode flags); its owner has read the command line and
    // the ini file into it and outlives the window. `argumenty`: the window program's own
    // command line (the children inherit its program directory and its switches).
    Okno(PohledOkna& pohled, SezeniJadra& s, std::vector<std::string> argumenty);

    SezeniJadra& sezeni() { return s_; }

    // The start action at creation: the clock when "/t" was given, else the command file
    // named on the command line; nothing otherwise.
    void start();
    // A command id: the menu's, the accelerators' or one sent from outside. Unknown ids
    // are ignored. Returns 1 for a written file (Ulož, Ulož jako), otherwise 0. A command
    // that arrives while another one or a child's question has a modal dialog open is
    // queued (zarad_prikaz) and runs after it, so dialogs never pile up inside each other.
    int prikaz(int id);
    // Queues a command from another program; false, after a line on the terminal screen,
    // when MAX_FRONTA_PRIKAZU already wait.
    bool zarad_prikaz(int id);
    // Runs the queued commands one after another, unless a modal dialog is open (then the
    // command that opened it runs them when it ends).
    void proved_frontu();

    void text_zmenen() { potreba_ulozit_ = true; }
    void hledani(Hledani co, const std::string& hledany, const std::string& nahrada);

    // A frame from the running child; its end with the exit code.
    void zprava_potomka(const ZpravaKanalu& z);
    void konec_potomka(int kod);
    // Reads what the child has written so far (a bounded portion) and handles its frames;
    // the view calls it on a timer while the child runs. It never waits for the child: a
    // corrupt stream ends the child at once, a child that has closed its stream is given
    // LHUTA_KONCE_POTOMKA_MS to exit and is then ended too (either reported on the terminal
    // screen). Once the child has ended, reports it with konec_potomka and returns true
    // with its exit code.
    bool cti_potomka(PlatPotomek& potomek, CtenarKanalu& ctenar, int& kod);
    static constexpr int LHUTA_KONCE_POTOMKA_MS = 2000;
    static constexpr size_t MAX_FRONTA_PRIKAZU = 10;

    bool potreba_ulozit() const { return potreba_ulozit_; }
    bool editor_ukazan() const { return okno_edit_; }
    bool bezi_potomek() const { return bezi_potomek_; }
    const std::string& jmeno_souboru() const { return soubor_; }

    // The arguments of a child running `operace` (a command file, "/t" or a tool's form):
    // the window's switches, the line format of the serial settings (--line-format), then
    // the operation.
    std::vector<std::string> argumenty_potomka(const std::vector<std::string>& operace) const;

private:
    int proved(int id);  // runs one command (the callers count it in modalni_)
    bool cti_proud_potomka(PlatPotomek& potomek, CtenarKanalu& ctenar);
    void ukonci_potomka(PlatPotomek& potomek, const char* proc);
    void titulek(const std::string& nazev);
    void ok_zprava(const char* format, const std::string& nazev);
    int zeptej_se_na_ulozeni();
    int uloz();
    int uloz_jako();
    void nacti();
    bool vyber_prikazovy_soubor();
    void spust(const std::vector<std::string>& operace);
    bool volno();  // false, after the message, while a child runs
    void nastav_linku();
    void prepis_cmd(int id);
    void logo();

    PohledOkna& v_;
    SezeniJadra& s_;
    std::vector<std::string> argumenty_;
    bool potreba_ulozit_ = false;
    bool okno_edit_ = false;
    std::string soubor_, nazev_;  // szFileName, szTitleName
    size_t pozice_ = 0;           // iOffset
    std::string hledany_;
    bool bezi_potomek_ = false;
    bool linka_zvolena_ = false;  // the serial settings were confirmed
    // The running child: its stream has ended (at konec_streamu_ms_; only its exit is
    // awaited now), the window has ended it, its frames are being handled.
    bool dopsal_ = false, ukoncen_ = false, cte_potomka_ = false;
    long long konec_streamu_ms_ = 0;
    int modalni_ = 0;          // commands or child's questions in progress (modal dialogs)
    std::deque<int> fronta_;   // commands waiting for them
};
