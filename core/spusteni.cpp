#include "core/spusteni.h"

#include <cstdio>
#include <cstring>

#include "core/chyby.h"
#include "core/instalace.h"
#include "core/kanal.h"
#include "core/konfigurace.h"
#include "core/nastroje.h"
#include "core/prenos.h"
#include "core/prikazovy_radek.h"
#include "core/prikazovy_soubor.h"
#include "core/sezeni_jadra.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

namespace {

// On Linux the window is a program of its own, so that a run without it never loads the
// toolkit; on Windows it runs here, through the session's entry (s.sluzby.vstup_okna).
int otevri_okno(SezeniJadra& s, const std::vector<std::string>& argumenty) {
    uvolni_adresar(s);  // the window's transfers take it in their own processes
    if (s.sluzby.vstup_okna) return s.sluzby.vstup_okna(s, argumenty);
    VypisBox(s, plat_spust_okno(argumenty), 48);
    return KOD_BEZ_OKNA;
}

}  // namespace

void nastav_terminal(SezeniJadra& s) {
    TTYINFO& tt = s.tt;
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
    s.modem = 0;
    tt.logovy_soubor = "error.log";
    tt.pripona_cmd = "cmd";
    tt.pripona_davky = "dav";

    zpracuj_ini(s);
    aktualizuj_asci_promenne(s);
    std::memset(tt.obrazovka, ' ', sizeof tt.obrazovka);
    tt.sloupec = tt.radek = 0;

    if (s.debug) {
        if (!s.exist_ini_file) VypisBlok(s, "\rSoubor .ini neexistuje.", 0);
        char text[512];
        std::snprintf(text, sizeof text,
                      "\rNastavene hodnoty: \r\npripona_cmd = %s \rticho = %d \rzvuk = %d\r"
                      "debug = %d \rokno  = %d \rhlaseni = %d\r",
                      tt.pripona_cmd.c_str(), s.ticho, s.zvuk, s.debug, s.WINDOW, s.hlasky);
        VypisBlok(s, text, 0);
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

int spust_v_sezeni(SezeniJadra& s, const std::string& radek, const std::vector<std::string>& argumenty) {
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
        if (int kod = instalacni_volba(s, argumenty); kod >= 0) return kod;
    Parametry p = rozeber_parametry(s_nastrojem || prompt ? std::string() : radek, zbytek);
    pouzij_parametry(s, p);
    if (p.posli_oknu) return posli_prikaz_oknu(s, p.prikaz_oknu);
    if (int kod = priprav_nastroj(s, nastroj); kod >= 0) return kod;
    if (s.AUTOMAT && !zamkni_adresar(s)) return KOD_OBSAZENY_ADRESAR;
    nastav_terminal(s);
    if (!nastroj.linka.empty()) pouzij_linku(s, nastroj.linka);
    TvorSoubor(s, "timd.cmx", OBSAH_TIMD);
    TvorSoubor(s, "glog.cmx", OBSAH_GLOG);
    // A child of the window reports as a window session does (its tools ask the window)
    // and ends as an unattended run.
    bool dite_okna = zapni_kanal_okna(s);
    if (nastroj.druh != Nastroj::ZADNY) return proved_nastroj(s, nastroj);
    if (dite_okna)
        s.WINDOW = 1;
    else if (s.WINDOW)
        return otevri_okno(s, argumenty);
    if (s.datumcas)
        s.nastav_cas_datum();
    else if (s.AUTOMAT)
        prenos_ze_startu(s);
    return 0;
}

}  // namespace

int spust(SezeniJadra& s, const std::string& radek, const std::vector<std::string>& argumenty) {
    return hranice_sezeni(s, [&] { return spust_v_sezeni(s, radek, argumenty); });
}
