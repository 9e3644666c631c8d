#include "core/nastroje.h"

#include <cstdio>
#include <cstdlib>

#include "core/sezeni_jadra.h"
#include "core/kanal.h"
#include "core/prikazovy_radek.h"
#include "core/zpravy.h"

namespace {

bool cislo(const std::string& text, int od, int do_, int& hodnota) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    hodnota = std::stoi(text);
    return hodnota >= od && hodnota <= do_;
}

// The four numbers of a line format, each within its range.
bool rozeber_linku(const std::string& popis, int (&hodnoty)[4]) {
    static const int nejvic[4] = {8, 4, 2, 7};
    size_t od = 0;
    for (int i = 0; i < 4; ++i) {
        size_t konec = i < 3 ? popis.find(',', od) : popis.size();
        if (konec == std::string::npos || !cislo(popis.substr(od, konec - od), i == 0 ? 5 : 0, nejvic[i], hodnoty[i]))
            return false;
        od = konec + 1;
    }
    return true;
}

}  // namespace

std::string popis_linky(const SezeniJadra& s) {
    const TTYINFO& tt = s.tt;
    char text[32];
    std::snprintf(text, sizeof text, "%u,%u,%u,%u", tt.datove_bity, tt.parita, tt.stop_bity, tt.rizeni_toku);
    return text;
}

bool pouzij_linku(SezeniJadra& s, const std::string& popis) {
    TTYINFO& tt = s.tt;
    int h[4];
    if (!rozeber_linku(popis, h)) return false;
    tt.datove_bity = static_cast<uint8_t>(h[0]);
    tt.parita = static_cast<uint8_t>(h[1]);
    tt.stop_bity = static_cast<uint8_t>(h[2]);
    tt.rizeni_toku = static_cast<uint8_t>(h[3]);
    return true;
}

std::vector<std::string> vyjmi_nastroj(const std::vector<std::string>& argumenty, Nastroj& n) {
    std::vector<std::string> zbytek;
    bool s_prikazovym_souborem = false;
    for (size_t i = 0; i < argumenty.size(); ++i) {
        const std::string& a = argumenty[i];
        const std::string* dalsi = i + 1 < argumenty.size() ? &argumenty[i + 1] : nullptr;
        Nastroj::Druh druh = a == "--find-register" ? Nastroj::HLEDANI
                             : a == "--set-port"    ? Nastroj::PORT
                             : a == "--set-speed"   ? Nastroj::RYCHLOST
                             : a == "--logo"        ? Nastroj::LOGO
                             : a == "--window-op"   ? Nastroj::OKNO
                                                    : Nastroj::ZADNY;
        if (i > 0 && a == "--yes") {
            n.ano = true;
            continue;
        }
        if (i > 0 && a == "--line-format") {
            int h[4];
            n.linka = dalsi ? *dalsi : std::string();
            if (!rozeber_linku(n.linka, h)) n.chyba = "--line-format: datove bity 5..8, parita 0..4, stop bity 0..2, rizeni 0..7.";
            i += dalsi ? 1 : 0;
            continue;
        }
        if (i == 0 || druh == Nastroj::ZADNY) {
            if (i > 0 && !je_prepinac(a) && a.rfind("--", 0) != 0) s_prikazovym_souborem = true;
            zbytek.push_back(a);
            continue;
        }
        if (n.druh != Nastroj::ZADNY) n.chyba = "Zadejte jen jeden z prikazu --find-register, --set-port, --set-speed, --logo.";
        n.druh = druh;
        int hodnota = 0;
        switch (druh) {
            case Nastroj::HLEDANI:
                if (dalsi && dalsi->find_first_not_of("0123456789") == std::string::npos) {
                    if (!cislo(*dalsi, 1, 99, hodnota)) n.chyba = "--find-register: pocet terminalu je 1 az 99.";
                    n.cislo = hodnota;
                    ++i;
                }
                break;
            case Nastroj::PORT:
                if (!dalsi || !cislo(*dalsi, 1, 9, hodnota)) n.chyba = "--set-port: cislo portu je 1 az 9.";
                n.cislo = hodnota;
                i += dalsi ? 1 : 0;
                break;
            case Nastroj::RYCHLOST:
                if (!dalsi || !cislo(*dalsi, 2400, 19200, hodnota) ||
                    (hodnota != 2400 && hodnota != 4800 && hodnota != 9600 && hodnota != 19200))
                    n.chyba = "--set-speed: rychlost je 2400, 4800, 9600 nebo 19200.";
                n.cislo = hodnota;
                i += dalsi ? 1 : 0;
                break;
            case Nastroj::OKNO: {
                const char* kanal = std::getenv(PROMENNA_KANALU);
                if (!dalsi || !cislo(*dalsi, 0, 99999, hodnota) ||
                    (hodnota != OKNO_KOMUNIKUJ && hodnota != OKNO_ANALYZA_PLU && hodnota != OKNO_VSECHNY_SOUBORY &&
                     hodnota != OKNO_DAVKA))
                    n.chyba = "--window-op: prikaz okna 40005, 40022, 40038 nebo 40049.";
                else if (!kanal || std::string(kanal) != "1")
                    n.chyba = "--window-op spousti jen okno programu.";
                n.cislo = hodnota;
                i += dalsi ? 1 : 0;
                if (hodnota == OKNO_DAVKA && i + 1 < argumenty.size()) n.soubor = argumenty[++i];
                if (hodnota == OKNO_DAVKA && n.soubor.empty()) n.chyba = "--window-op 40049: chybi davkovy soubor.";
                break;
            }
            default:
                if (!dalsi || dalsi->empty()) n.chyba = "--logo: chybi jmeno souboru BMP.";
                else n.soubor = *dalsi;
                i += dalsi ? 1 : 0;
                break;
        }
    }
    if (n.druh == Nastroj::ZADNY && n.ano && n.chyba.empty()) {
        n.druh = Nastroj::HLEDANI;  // only so that the message below ends the run
        n.chyba = "--yes patri k --find-register nebo --logo.";
    } else if (n.druh != Nastroj::ZADNY && s_prikazovym_souborem && n.chyba.empty()) {
        n.chyba = "Prikazovy soubor se s --find-register, --set-port, --set-speed ani --logo nezadava.";
    }
    return zbytek;
}

int priprav_nastroj(SezeniJadra& s, const Nastroj& n) {
    if (!n.chyba.empty()) {
        VypisBox(s, n.chyba, BOX_VYKRICNIK);
        return KOD_SPATNY_NASTROJ;
    }
    if (n.druh == Nastroj::ZADNY) return -1;
    // Like a transfer: no window, and the program directory is taken at once.
    s.WINDOW = 0;
    s.AUTOMAT = 1;
    return -1;
}
