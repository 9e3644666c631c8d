#include "core/spusteni.h"

#include <cstdio>
#include <cstring>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/konfigurace.h"
#include "core/prikazovy_radek.h"
#include "core/prikazovy_soubor.h"
#include "core/soubory.h"
#include "core/zpravy.h"

void (*akce_komunikuj)() = nullptr;
void (*akce_datum_cas)() = nullptr;

namespace {

// Stand-ins: the command file is checked as a real transfer would check it, then the run
// ends with code 70 ("Tohle cmd neumim zatim zpracovat") in the log and result files.
void komunikuj_nehotovo() {
    priprav_prenos();
    VypisBox("Prenos dat s pokladnou tato verze programu jeste neumi.", 48);
    err(70, 1);
}

void datum_cas_nehotovo() {
    VypisBox("Nastaveni casu pokladny tato verze programu jeste neumi.", 48);
    err(70, 2);
}

int bez_okna() {
    VypisBox("Tato verze programu zatim nema hlavni okno.\r"
             "Spustte ji s prikazovym souborem (kaslnk prikaz.cmd) nebo s /t.", 48);
    return KOD_BEZ_OKNA;
}

}  // namespace

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

void priprav_prenos() {
    tt.pokracovani = 0;
    uvolni_cmd_buffer();
    ERROR1 = ERROR2 = 0;
    if (!smaz_soubor(pridej_path("err"))) err(65, 1);
    if (!smaz_soubor(pridej_path("error.txt"))) err(65, 11);
    if (tt.typ_komunikace >= 2 && tt.typ_komunikace <= 11) ctiCMD();
}

int spust(const std::vector<std::string>& argumenty) {
    zpracuj_parametry(argumenty);
    nastav_terminal();
    TvorSoubor("timd.cmx", OBSAH_TIMD);
    TvorSoubor("glog.cmx", OBSAH_GLOG);

    if (datumcas)
        (akce_datum_cas ? akce_datum_cas : datum_cas_nehotovo)();
    else if (AUTOMAT)
        (akce_komunikuj ? akce_komunikuj : komunikuj_nehotovo)();
    if (WINDOW) return bez_okna();
    return 0;
}
