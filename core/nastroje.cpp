#include "core/nastroje.h"

#include <cstdio>

#include "core/glogo.h"
#include "core/globals.h"
#include "core/prepis_cmd.h"
#include "core/prikazovy_radek.h"
#include "core/zpravy.h"
#include "link/hledani.h"
#include "link/serial.h"
#include "platform/platform.h"

namespace {

bool g_ano = false;

// Questions take the answer of --yes; everything is shown as the platform shows it.
int box_nastroje(const std::string& text, uint32_t styl) {
    int tlacitko = plat_message_box(text, styl);
    if ((styl & 0x0F) == BOX_ANO_NE) return g_ano ? BOX_ANO : 7;
    return tlacitko;
}

// A line on standard output: the text without its line breaks and beeps.
void vypis(const std::string& text) {
    std::string radek;
    for (char c : text)
        if (c != '\r' && c != '\a') radek += c;
    std::printf("%s\n", radek.c_str());
    std::fflush(stdout);
}

bool cislo(const std::string& text, int od, int do_, int& hodnota) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    hodnota = std::stoi(text);
    return hodnota >= od && hodnota <= do_;
}

int hledani(const Nastroj& n) {
    if (!(n.cislo ? najdi_kasu_multiterm(n.cislo) : najdi_kasu())) {
        VypisBox("Nenalezl jsem zadnou pokladnu.", BOX_VYKRICNIK);
        return KOD_NENALEZENO;
    }
    precti_stav_nalezene();
    vypis(text_nalezu(false));
    if (zeptej_se_na_zapis()) {
        aktualizuj_asci_promenne();
        if (prepis_i_cmx(PREPIS_OBOJI)) vypis(hlaseni_prepisu(PREPIS_OBOJI));
    }
    CloseConnection();
    return 0;
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

int proved_nastroj(const Nastroj& n) {
    // The ini key okno opens no window here; a transfer started by a tool (the logo)
    // returns to it instead of ending the process.
    WINDOW = 0;
    AUTOMAT = 0;
    g_ano = n.ano;
    nastav_box_sink(box_nastroje);
    switch (n.druh) {
        case Nastroj::HLEDANI:
            return hledani(n);
        case Nastroj::PORT:
            tt.cislo_portu = static_cast<uint32_t>(n.cislo);
            aktualizuj_asci_promenne();
            if (prepis_soubory(PREPIS_PORT)) vypis(hlaseni_prepisu(PREPIS_PORT));
            return 0;
        case Nastroj::RYCHLOST:
            tt.rychlost = static_cast<uint32_t>(n.cislo);
            aktualizuj_asci_promenne();
            if (prepis_i_cmx(PREPIS_RYCHLOST)) vypis(hlaseni_prepisu(PREPIS_RYCHLOST));
            return 0;
        default:
            switch (preved_glogo(n.soubor, 1)) {
                case KonecLoga::NENI_BMP:
                case KonecLoga::PRILIS_TMAVE:
                case KonecLoga::NENAHRANO:
                    return KOD_NENALEZENO;
                default:
                    return 0;
            }
    }
}
