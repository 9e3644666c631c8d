// Batches of command files.
#include <atomic>
#include <string>
#include <thread>

#include "core/chyby.h"
#include "core/hodiny.h"
#include "core/prenos.h"
#include "core/prikazovy_radek.h"
#include "core/prikazovy_soubor.h"
#include "core/sezeni_jadra.h"
#include "core/soubory.h"
#include "core/zpravy.h"

namespace {

constexpr size_t MAX_RADEK_DAVKY = 253;
constexpr long CEKANI_NA_SOUBOR_MS = 60000;
constexpr int MB_YESNO_VYKRICNIK = 4 | 48;
constexpr int IDYES = 6;

// One line of the batch file without its line end; false at the end of the file.
bool cti_radek_davky(SezeniJadra& s, HSOUBOR f, std::string& radek) {
    radek.clear();
    bool neco = false;
    while (!cti_znak_ze_souboru(s, f)) {
        neco = true;
        if (s.readchar == '\n') break;
        if (s.readchar == '\r') continue;
        if (radek.size() == MAX_RADEK_DAVKY) err(23, 1);
        radek += static_cast<char>(s.readchar);
    }
    return neco;
}

// Runs one command file of the batch and waits for its worker. A worker that ended the
// session (an error) ends the batch with it (dokonci_vlakno).
void proved_soubor_davky(SezeniJadra& s, const std::string& jmeno) {
    s.tt.jmeno_cmd = jmeno;
    uvolni_cmd_buffer(s);
    s.tt.pokracovani = 0;
    ctiCMD(s);
    if (s.SIT) return;  // no network transport: the file is skipped
    s.eventKonecRSPrenosu.zrus();
    if (!Inicializuj_RS_komunikaci(s)) return;
    for (;;) {
        bool skoncil = s.eventKonecRSPrenosu.cekej(CEKANI_NA_SOUBOR_MS);
        s.eventKonecRSPrenosu.zrus();
        cekej_ms(s, 2000);
        if (skoncil) break;
        if (VypisBox(s, "Program neodpovida.\r Mam prenos ukoncit?", MB_YESNO_VYKRICNIK) == IDYES) {
            // The worker ends before the error closes its port; a file it finished is
            // not reported as broken off.
            if (zastav_vlakno(s)) err(109, 4);
            break;
        }
    }
    dokonci_vlakno(s);
}

void DavkaThread(SezeniJadra& s) {
    s.DAVKA = 0;
    bool vybrano = s.sluzby.vyber_davky ? s.sluzby.vyber_davky() : !s.tt.davkovy_soubor.empty();
    if (!vybrano || !zamkni_adresar(s)) {
        s.eventKonecDavky.nastav();
        return;
    }
    s.DAVKA = 1;
    HSOUBOR f = otevri_soubor(s, s.tt.davkovy_soubor, 'r');
    std::string radek;
    while (cti_radek_davky(s, f, radek)) {
        VypisBlok(s, "\r" + radek, 0);
        size_t zacatek = radek.find_first_not_of(' ');
        if (zacatek == std::string::npos || radek.compare(zacatek, 2, "//") == 0) continue;
        proved_soubor_davky(s, radek.substr(zacatek));
    }
    zavri_soubor(s, f);
    s.eventKonecDavky.nastav();
    VypisBox(s, "Komunikace uspesne ukoncena.", 48);
    s.DAVKA = 0;
    uvolni_adresar(s);
}

// The batch thread is a session boundary of its own: an error (its own or its worker's)
// is reported there, and the exit code is left for the caller that waits (dokonci_davku).
void vlakno_davky(SezeniJadra& s) {
    int kod = -1;
    try {
        kod = hranice_sezeni(s, [&] {
            DavkaThread(s);
            return -1;  // the batch ended without ending the session
        });
    } catch (...) {
        kod = 1;  // anything else the batch cannot go on with
    }
    if (kod >= 0) {
        s.DAVKA = 0;
        try {
            dokonci_vlakno(s);  // a worker still running ends first (its end is this one)
        } catch (const KonecSezeni&) {
        }
        uvolni_adresar(s);
        s.eventKonecDavky.nastav();
    }
    s.kod_konce_davky = kod;
    s.davka_bezi = false;
}

}  // namespace

bool bezi_davka(SezeniJadra& s) { return s.davka_bezi; }

void dokonci_davku(SezeniJadra& s) {
    if (!s.vlakno_davky.joinable() || s.vlakno_davky.get_id() == std::this_thread::get_id()) return;
    s.vlakno_davky.join();
    if (int kod = s.kod_konce_davky; kod >= 0) ukonci(kod);
}

int Inicializuj_davku(SezeniJadra& s) {
    if (bezi_prenos(s)) {
        VypisBox(s, TEXT_PRENOS_BEZI, 48);
        return 0;
    }
    if (s.vlakno_davky.joinable() && s.vlakno_davky.get_id() != std::this_thread::get_id())
        s.vlakno_davky.join();  // the previous batch has ended; how, its caller has seen
    s.eventKonecDavky.zrus();
    s.kod_konce_davky = -1;
    s.davka_bezi = true;
    try {
        s.vlakno_davky = std::thread(vlakno_davky, std::ref(s));
    } catch (...) {
        s.davka_bezi = false;
        err(75, 6);
    }
    return 1;
}
