#include "core/nastroje.h"

#include <cstdio>

#include "core/globals.h"
#include "core/prikazovy_radek.h"
#include "core/zpravy.h"

namespace {

bool cislo(const std::string& text, int od, int do_, int& hodnota) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    hodnota = std::stoi(text);
    return hodnota >= od && hodnota <= do_;
}

}  // namespace

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
                                                    : Nastroj::ZADNY;
        if (i > 0 && a == "--yes") {
            n.ano = true;
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
            default:
                if (!dalsi || dalsi->empty()) n.chyba = "--logo: chybi jmeno souboru BMP.";
                else n.soubor = *dalsi;
                i += dalsi ? 1 : 0;
                break;
        }
    }
    if (n.druh == Nastroj::ZADNY && n.ano) {
        n.druh = Nastroj::HLEDANI;  // only so that the message below ends the run
        n.chyba = "--yes patri k --find-register nebo --logo.";
    } else if (n.druh != Nastroj::ZADNY && s_prikazovym_souborem && n.chyba.empty()) {
        n.chyba = "Prikazovy soubor se s --find-register, --set-port, --set-speed ani --logo nezadava.";
    }
    return zbytek;
}

int priprav_nastroj(const Nastroj& n) {
    if (!n.chyba.empty()) {
        VypisBox(n.chyba, BOX_VYKRICNIK);
        return KOD_SPATNY_NASTROJ;
    }
    // Like a transfer: no window, and the program directory is taken at once.
    WINDOW = 0;
    AUTOMAT = 1;
    return -1;
}
