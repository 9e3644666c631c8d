// The tools run: the register search with its questions, the rewriting of the command
// files, the logo converter and the window's commands run in its child (the forms are
// read by core/nastroje.cpp). In a child of the window the questions go to the window
// and the texts to its terminal screen.
#include <cstdio>

#include "core/globals.h"
#include "core/kanal.h"
#include "core/nastroje.h"
#include "core/prenos.h"
#include "core/prepis_cmd.h"
#include "core/zpravy.h"
#include "link/glogo.h"
#include "link/hledani.h"
#include "link/serial.h"
#include "link/vestavene.h"
#include "platform/platform.h"

namespace {

bool g_ano = false;

// Questions take the answer of --yes; everything is shown as the platform shows it.
int box_nastroje(const std::string& text, uint32_t styl) {
    int tlacitko = plat_message_box(text, styl);
    if ((styl & 0x0F) == BOX_ANO_NE) return g_ano ? BOX_ANO : 7;
    return tlacitko;
}

// A line on standard output: the text without its line breaks and beeps. In the window's
// child standard output is the channel: the text goes to the terminal screen as it is.
void vypis(const std::string& text) {
    if (kanal_okna()) {
        VypisBlok(text, 0);
        return;
    }
    std::string radek;
    for (char c : text)
        if (c != '\r' && c != '\a') radek += c;
    plat_vypis(radek + "\n", false);
}

int hledani(const Nastroj& n) {
    if (!(n.cislo ? najdi_kasu_multiterm(n.cislo) : najdi_kasu())) {
        VypisBox("Nenalezl jsem zadnou pokladnu.", BOX_VYKRICNIK);
        return KOD_NENALEZENO;
    }
    precti_stav_nalezene();
    vypis(text_nalezu(kanal_okna()));
    if (zeptej_se_na_zapis()) {
        aktualizuj_asci_promenne();
        if (prepis_i_cmx(PREPIS_OBOJI)) vypis(hlaseni_prepisu(PREPIS_OBOJI));
    }
    CloseConnection();
    return 0;
}

int prikaz_okna(const Nastroj& n) {
    switch (n.cislo) {
        case OKNO_KOMUNIKUJ:  // no command file chosen: the transfer ends in its error 50/1
            komunikuj();
            break;
        case OKNO_ANALYZA_PLU:
            analyzuj_PLUfds();
            break;
        case OKNO_VSECHNY_SOUBORY:
            Zkus_vsechny_soubory();
            break;
        default:
            tt.davkovy_soubor = n.soubor;
            if (Inicializuj_davku()) eventKonecDavky.cekej(-1);
            dokonci_davku();
            break;
    }
    return 0;
}

}  // namespace

int proved_nastroj(const Nastroj& n) {
    // The ini key okno opens no window here; a transfer started by a tool (the logo)
    // returns to it instead of ending the process. The window's child shows what a
    // window session shows.
    WINDOW = kanal_okna() ? 1 : 0;
    AUTOMAT = 0;
    g_ano = n.ano;
    if (!kanal_okna()) nastav_box_sink(box_nastroje);
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
        case Nastroj::OKNO:
            return prikaz_okna(n);
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
