// The tools run: the register search with its questions, the rewriting of the command
// files, the logo converter and the window's commands run in its child (the forms are
// read by core/nastroje.cpp). In a child of the window the questions go to the window
// and the texts to its terminal screen.
#include <cstdio>

#include "core/kanal.h"
#include "core/nastroje.h"
#include "core/prenos.h"
#include "core/prepis_cmd.h"
#include "core/zpravy.h"
#include "link/glogo.h"
#include "link/hledani.h"
#include "link/serial.h"
#include "link/sezeni.h"
#include "link/vestavene.h"
#include "platform/platform.h"

namespace {

// Questions take the answer of --yes; everything is shown as the platform shows it.
int box_nastroje(const Sezeni& s, const std::string& text, uint32_t styl) {
    int tlacitko = plat_message_box(text, styl);
    if ((styl & 0x0F) == BOX_ANO_NE) return s.g_ano ? BOX_ANO : 7;
    return tlacitko;
}

// A line on standard output: the text without its line breaks and beeps. In the window's
// child standard output is the channel: the text goes to the terminal screen as it is.
void vypis(Sezeni& s, const std::string& text) {
    if (kanal_okna(s) || s.knihovna) {
        VypisBlok(s, text, 0);
        return;
    }
    std::string radek;
    for (char c : text)
        if (c != '\r' && c != '\a') radek += c;
    plat_vypis(radek + "\n", false);
}

int hledani(Sezeni& s, const Nastroj& n) {
    if (!(n.cislo ? najdi_kasu_multiterm(s, n.cislo) : najdi_kasu(s))) {
        VypisBox(s, "Nenalezl jsem zadnou pokladnu.", BOX_VYKRICNIK);
        return KOD_NENALEZENO;
    }
    precti_stav_nalezene(s);
    vypis(s, text_nalezu(s, kanal_okna(s)));
    if (zeptej_se_na_zapis(s)) {
        aktualizuj_asci_promenne(s);
        if (prepis_i_cmx(s, PREPIS_OBOJI)) vypis(s, hlaseni_prepisu(PREPIS_OBOJI));
    }
    CloseConnection(s);
    return 0;
}

int prikaz_okna(Sezeni& s, const Nastroj& n) {
    switch (n.cislo) {
        case OKNO_KOMUNIKUJ:  // no command file chosen: the transfer ends in its error 50/1
            komunikuj(s);
            break;
        case OKNO_ANALYZA_PLU:
            analyzuj_PLUfds(s);
            break;
        case OKNO_VSECHNY_SOUBORY:
            Zkus_vsechny_soubory(s);
            break;
        default:
            s.tt.davkovy_soubor = n.soubor;
            if (Inicializuj_davku(s)) s.eventKonecDavky.cekej(-1);
            dokonci_davku(s);
            break;
    }
    return 0;
}

}  // namespace

int proved_nastroj(SezeniJadra& jadro, const Nastroj& n) {
    Sezeni& s = sezeni_linky(jadro);
    // The ini key okno opens no window here; a transfer started by a tool (the logo)
    // returns to it instead of ending the session. The window's child shows what a
    // window session shows.
    s.WINDOW = kanal_okna(s) ? 1 : 0;
    s.AUTOMAT = 0;
    s.g_ano = n.ano;
    if (!kanal_okna(s) && !s.knihovna)
        s.sluzby.box = [&s](const std::string& text, uint32_t styl) { return box_nastroje(s, text, styl); };
    switch (n.druh) {
        case Nastroj::HLEDANI:
            return hledani(s, n);
        case Nastroj::PORT:
            s.tt.cislo_portu = static_cast<uint32_t>(n.cislo);
            aktualizuj_asci_promenne(s);
            if (prepis_soubory(s, PREPIS_PORT)) vypis(s, hlaseni_prepisu(PREPIS_PORT));
            return 0;
        case Nastroj::RYCHLOST:
            s.tt.rychlost = static_cast<uint32_t>(n.cislo);
            aktualizuj_asci_promenne(s);
            if (prepis_i_cmx(s, PREPIS_RYCHLOST)) vypis(s, hlaseni_prepisu(PREPIS_RYCHLOST));
            return 0;
        case Nastroj::OKNO:
            return prikaz_okna(s, n);
        default:
            switch (preved_glogo(s, n.soubor, 1)) {
                case KonecLoga::NENI_BMP:
                case KonecLoga::PRILIS_TMAVE:
                case KonecLoga::NENAHRANO:
                    return KOD_NENALEZENO;
                default:
                    return 0;
            }
    }
}
