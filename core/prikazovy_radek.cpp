#include "core/prikazovy_radek.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/chyby.h"
#include "platform/kodovani.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

namespace {

constexpr char JMENO[] = "kaslnk";

constexpr char NAPOVEDA[] =
    "Usage: kaslnk COMMANDFILE [/q] [/d] [/dd] [/h] [/k] [/n] [/p] [/w] [/status] [/t] [/z]\n"
    "       kaslnk /t            set the register's date and time\n"
    "       kaslnk --init        copy the files the operations need into this directory\n"
    "       kaslnk --list-ports  show the devices of COM1..COM9 and the serial devices\n"
    "       kaslnk --command N   send command N to the window of the program directory\n"
    "       kaslnk --find-register [N] [--yes]   search COM1..COM9 for the register\n"
    "       kaslnk --set-port N | --set-speed S  port or speed digit of all command files\n"
    "       kaslnk --logo FILE.bmp [--yes]       Glogo.dat from a 288 x 130 picture\n"
    "       kaslnk --help | --version\n"
    "\n"
    "Runs the transfer described by COMMANDFILE (extension .cmd) with an ER-A227E cash\n"
    "register. The command file, kaslnk.ini, the data files, the log and the result files\n"
    "err and error.txt are in the program directory (the directory of the program as it\n"
    "was typed). Switches are lower case; a trailing '-' turns a switch off:\n"
    "  /q  no beeps          /d  debug messages    /dd raw-data debugging\n"
    "  /h  report results    /k  no register talk  /n  leave DTR alone\n"
    "  /p  character-set conversion                /w  window mode\n"
    "  /status check the register status after a send\n"
    "  /z  hang up the modem line at the end\n"
    "Exit codes: 0 success, 1 error (see err, error.txt and the log), 2 command line too\n"
    "long or a bad tool value, 3 program renamed, 4 the window cannot open (no window\n"
    "program or no display), 5 another kaslnk works in the program directory, 6 no window\n"
    "for --command, no register found or logo refused, 8 switches only.\n"
    "Serial ports: COMn is the environment variable KASLNK_COMn, else key comN of\n"
    "kaslnk.ini, else the system's port (Linux /dev/ttyS<n-1>, Windows COMn). Either may\n"
    "name a device (/dev/ttyUSB0, COM14), tcp://HOST:PORT or rfc2217://HOST:PORT.\n"
    "A port that cannot be opened ends with error 92 (/d says why). On Linux add the user\n"
    "to the group dialout (sudo usermod -aG dialout $USER) and log in again.\n";

// The switch table, tested in this order over the text that may carry switches.
void proved_prepinace(Parametry& p, const auto& obsahuje) {
    auto twin = [&](const char* on, const char* off, int32_t& flag, Twin& t) {
        if (obsahuje(on)) { flag = 1; t = Twin{1, 1}; }
        if (obsahuje(off)) { flag = 0; t = Twin{0, 1}; }
    };
    if (obsahuje("/dd")) p.rawdebug = 1;
    twin("/d", "/d-", p.debug, p.debugf);
    twin("/w", "/w-", p.WINDOW, p.WINDOWf);
    twin("/q", "/q-", p.ticho, p.tichof);
    twin("/k", "/k-", p.nokomun, p.nokomunf);
    twin("/n", "/n-", p.nodtr, p.nodtrf);
    twin("/h", "/h-", p.hlasky, p.hlaskyf);
    twin("/p", "/p-", p.konverzeW_C, p.konverzeW_Cf);
    if (obsahuje("/status")) p.TestStatus = 1;
    if (obsahuje("/t")) { p.datumcas = 1; p.AUTOMAT = 1; }
    if (obsahuje("/z")) { p.ZavesLinku = 1; p.AUTOMAT = 1; }
}

// A named command file starts the transfer; none opens the window (unless "/t").
void prirad_prikazovy_soubor(Parametry& p, const std::string* jmeno) {
    if (jmeno && !jmeno->empty()) {
        p.jmeno_cmd = *jmeno;
        p.AUTOMAT = 1;
    } else if (!p.datumcas) {
        p.WINDOW = 1;
    }
}

std::string prejmenovani() {
    char text[128];
    std::snprintf(text, sizeof text, "Nekdo mi zmenil jmeno.\rNepracuji.\rJmenuji se %s.", JMENO);
    return text;
}

}  // namespace

Parametry rozeber_radek_windows(const std::string& radek) {
    Parametry p;
    if (radek.size() > MAX_PRIKAZOVY_RADEK) {
        p.konec = 2;
        p.zprava = "Prilis dlouhy prikazovy radek.";
        return p;
    }
    std::string kopie;
    for (char c : mala_pismena(radek))
        if (c != '"') kopie += c;

    proved_prepinace(p, [&](const char* s) { return radek.find(s) != std::string::npos; });

    // Blank out every switch: from a '/' up to the next blank.
    for (size_t i = 0; i < kopie.size(); ++i)
        if (kopie[i] == '/')
            while (i < kopie.size() && kopie[i] != ' ') kopie[i++] = ' ';
    while (!kopie.empty() && kopie.back() == ' ') kopie.pop_back();
    if (kopie.empty()) {
        p.konec = 8;
        return p;
    }

    size_t jmeno = kopie.rfind(JMENO);
    if (jmeno == std::string::npos) {
        p.konec = 3;
        p.zprava = prejmenovani();
        return p;
    }
    p.adresar_programu = kopie.substr(0, jmeno);
    p.fullpath = !p.adresar_programu.empty();

    std::string zbytek = kopie.substr(jmeno);
    // "--command N" sends N to the window (core/kanal.h); the rest of the line is not read.
    if (size_t prikaz = zbytek.find(" --command"); prikaz != std::string::npos) {
        p.posli_oknu = true;
        size_t od = zbytek.find_first_not_of(' ', prikaz + 10);
        if (od != std::string::npos) p.prikaz_oknu = zbytek.substr(od, zbytek.find(' ', od) - od);
        return p;
    }
    size_t oddel = zbytek.rfind('\\');
    if (oddel == std::string::npos) oddel = zbytek.rfind(' ');
    std::string cmd = oddel == std::string::npos ? std::string() : zbytek.substr(oddel + 1);
    prirad_prikazovy_soubor(p, oddel == std::string::npos ? nullptr : &cmd);
    return p;
}

bool je_prepinac(const std::string& a) {
    return !a.empty() && a[0] == '/' && a.find('/', 1) == std::string::npos &&
           a.find('.') == std::string::npos;
}

Parametry rozeber_argumenty(const std::vector<std::string>& argumenty) {
    Parametry p;
    for (size_t i = 1; i < argumenty.size(); ++i) {
        if (argumenty[i] == "--help") {
            p.konec = 0;
            p.vystup = NAPOVEDA;
            return p;
        }
        if (argumenty[i] == "--version") {
            p.konec = 0;
            p.vystup = std::string("kaslnk ") + VERZE + "\n";
            return p;
        }
    }
    size_t delka = 0;
    for (const std::string& a : argumenty) delka += a.size() + 1;
    if (delka > 0) --delka;  // blanks between the arguments
    if (delka > MAX_PRIKAZOVY_RADEK) {
        p.konec = 2;
        p.zprava = "Prilis dlouhy prikazovy radek.";
        return p;
    }

    std::vector<const std::string*> prepinace;
    const std::string* cmd = nullptr;
    for (size_t i = 1; i < argumenty.size(); ++i) {
        if (argumenty[i] == "--command") {
            p.posli_oknu = true;
            if (i + 1 < argumenty.size()) p.prikaz_oknu = argumenty[++i];
        } else if (je_prepinac(argumenty[i])) prepinace.push_back(&argumenty[i]);
        else cmd = &argumenty[i];
    }
    proved_prepinace(p, [&](const char* s) {
        for (const std::string* a : prepinace)
            if (a->find(s) != std::string::npos) return true;
        return false;
    });

    const std::string program = argumenty.empty() ? std::string() : argumenty[0];
    if (program.empty() && !cmd) {
        p.konec = 8;
        return p;
    }
    // The system's separator as well: Windows gives this form to the tools.
    const std::string oddelovace = std::string("/") + plat_oddelovac();
    size_t lomitko = program.find_last_of(oddelovace);
    std::string adresar = lomitko == std::string::npos ? std::string() : program.substr(0, lomitko + 1);
    std::string jmeno = lomitko == std::string::npos ? program : program.substr(lomitko + 1);
    if (mala_pismena(jmeno).find(JMENO) == std::string::npos) {
        p.konec = 3;
        p.zprava = prejmenovani();
        return p;
    }
    p.adresar_programu = adresar;
    p.fullpath = !adresar.empty();

    std::string holy;
    if (cmd) {
        size_t posledni = cmd->find_last_of(oddelovace);
        holy = posledni == std::string::npos ? *cmd : cmd->substr(posledni + 1);
    }
    prirad_prikazovy_soubor(p, cmd ? &holy : nullptr);
    return p;
}

void pouzij_parametry(SezeniJadra& s, const Parametry& p) {
    if (p.konec >= 0) {
        if (!p.zprava.empty()) VypisBox(s, p.zprava, 48);
        if (!p.vystup.empty()) {
            plat_vypis(p.vystup, false);
        }
        ukonci(p.konec);
    }
    s.tt.jmeno_cmd = p.jmeno_cmd;
    s.rawdebug = p.rawdebug;
    s.debug = p.debug;
    s.ticho = p.ticho;
    s.nokomun = p.nokomun;
    s.nodtr = p.nodtr;
    s.hlasky = p.hlasky;
    s.konverzeW_C = p.konverzeW_C;
    s.WINDOW = p.WINDOW;
    s.AUTOMAT = p.AUTOMAT;
    s.datumcas = p.datumcas;
    s.TestStatus = p.TestStatus;
    s.debugf = p.debugf;
    s.tichof = p.tichof;
    s.nokomunf = p.nokomunf;
    s.nodtrf = p.nodtrf;
    s.hlaskyf = p.hlaskyf;
    s.konverzeW_Cf = p.konverzeW_Cf;
    s.WINDOWf = p.WINDOWf;
    if (p.ZavesLinku) s.ZavesLinku = 1;
    s.ShowProgress = 1;
    s.TIMEOUTI = 10;
    s.zpozdeni = 1600;
    s.tt.jmeno_programu = JMENO;
    s.tt.adresar_programu = p.adresar_programu;
    s.fullpath = p.fullpath;
}

Parametry rozeber_parametry(const std::string& radek, const std::vector<std::string>& argumenty) {
    return radek.empty() ? rozeber_argumenty(argumenty) : rozeber_radek_windows(radek);
}

void zpracuj_parametry(SezeniJadra& s, const std::string& radek, const std::vector<std::string>& argumenty) {
    pouzij_parametry(s, rozeber_parametry(radek, argumenty));
}

int TvorSoubor(SezeniJadra& s, const std::string& jmeno, const std::string& obsah) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::file_status st = fs::status(skutecne_jmeno(pridej_path(s, jmeno)), ec);
    if (st.type() == fs::file_type::not_found) {
        HSOUBOR f = otevri_soubor(s, jmeno, 'w');
        zapis_text(obsah, f);
        return zavri_soubor(s, f) && !obsah.empty() ? 0 : 1;
    }
    return ec ? 1 : 0;
}
