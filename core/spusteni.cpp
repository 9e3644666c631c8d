#include "core/spusteni.h"

#include <cstdio>
#include <cstring>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/instalace.h"
#include "core/kanal.h"
#include "core/konfigurace.h"
#include "core/nastroje.h"
#include "core/prenos.h"
#include "core/prikazovy_radek.h"
#include "core/prikazovy_soubor.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

namespace {

VstupOkna g_vstup_okna = nullptr;

// On Linux the window is a program of its own, so that a run without it never loads the
// toolkit; on Windows it runs here, through the registered entry.
int otevri_okno(const std::vector<std::string>& argumenty) {
    uvolni_adresar();  // the window's transfers take it in their own processes
    if (g_vstup_okna) return g_vstup_okna(argumenty);
    VypisBox(plat_spust_okno(argumenty), 48);
    return KOD_BEZ_OKNA;
}

}  // namespace

void nastav_vstup_okna(VstupOkna vstup) { g_vstup_okna = vstup; }

void nastav_terminal() {
    tt.typ_komunikace = 11;
    tt.pripojeno = 0;
    tt.novy_radek = tt.autowrap = 1;
    tt.zobraz_chyby = 1;
    tt.cislo_portu = 1;
    tt.rychlost = 19200;
    tt.datove_bity = 7;
    tt.rizeni_toku = 2;
    tt.parita = 1;
    tt.stop_bity = 0;
    tt.cekani_modem = 30;
    modem = 0;
    tt.logovy_soubor = "error.log";
    tt.pripona_cmd = "cmd";
    tt.pripona_davky = "dav";

    zpracuj_ini();
    aktualizuj_asci_promenne();
    std::memset(tt.obrazovka, ' ', sizeof tt.obrazovka);
    tt.sloupec = tt.radek = 0;

    if (debug) {
        if (!exist_ini_file) VypisBlok("\rSoubor .ini neexistuje.", 0);
        char text[512];
        std::snprintf(text, sizeof text,
                      "\rNastavene hodnoty: \r\npripona_cmd = %s \rticho = %d \rzvuk = %d\r"
                      "debug = %d \rokno  = %d \rhlaseni = %d\r",
                      tt.pripona_cmd.c_str(), ticho, zvuk, debug, WINDOW, hlasky);
        VypisBlok(text, 0);
    }
}

namespace {

// A start in one of the forms a person types at a prompt, other than the tools.
bool ma_formu_prompt(const std::vector<std::string>& argumenty) {
    for (size_t i = 1; i < argumenty.size(); ++i)
        for (const char* forma : {"--help", "--version", "--init", "--list-ports", "--command"})
            if (argumenty[i] == forma) return true;
    return false;
}

}  // namespace

int spust(const std::string& radek, const std::vector<std::string>& argumenty) {
    // The forms with "--" exist in the argument-vector form; on Windows, too, a start with
    // one is read in that form instead of the system's command line (whose rules would
    // take "--help" for a command file). The forms a person types write to the caller's
    // console; the window's own forms (its children) do not ask for one.
    Nastroj nastroj;
    std::vector<std::string> zbytek = vyjmi_nastroj(argumenty, nastroj);
    bool s_nastrojem = nastroj.druh != Nastroj::ZADNY || !nastroj.linka.empty() || !nastroj.chyba.empty();
    bool prompt = ma_formu_prompt(argumenty);
    if (prompt || (nastroj.druh != Nastroj::ZADNY && nastroj.druh != Nastroj::OKNO)) plat_konzole_volajiciho();
    if (radek.empty() || prompt)
        if (int kod = instalacni_volba(argumenty); kod >= 0) return kod;
    Parametry p = rozeber_parametry(s_nastrojem || prompt ? std::string() : radek, zbytek);
    pouzij_parametry(p);
    if (p.posli_oknu) return posli_prikaz_oknu(p.prikaz_oknu);
    if (int kod = priprav_nastroj(nastroj); kod >= 0) return kod;
    if (AUTOMAT && !zamkni_adresar()) return KOD_OBSAZENY_ADRESAR;
    nastav_terminal();
    if (!nastroj.linka.empty()) pouzij_linku(nastroj.linka);
    TvorSoubor("timd.cmx", OBSAH_TIMD);
    TvorSoubor("glog.cmx", OBSAH_GLOG);
    // A child of the window reports as a window session does (its tools ask the window)
    // and ends as an unattended run.
    bool dite_okna = zapni_kanal_okna();
    if (nastroj.druh != Nastroj::ZADNY) return proved_nastroj(nastroj);
    if (dite_okna)
        WINDOW = 1;
    else if (WINDOW)
        return otevri_okno(argumenty);
    if (datumcas)
        nastav_cas_datum();
    else if (AUTOMAT)
        prenos_ze_startu();
    return 0;
}
