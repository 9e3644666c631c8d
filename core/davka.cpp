// Batches of command files.
#include <atomic>
#include <string>
#include <thread>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/hodiny.h"
#include "core/prenos.h"
#include "core/prikazovy_radek.h"
#include "core/prikazovy_soubor.h"
#include "core/soubory.h"
#include "core/zpravy.h"

namespace {
std::function<bool()> g_vyber_davky;
}  // namespace

void nastav_vyber_davky(std::function<bool()> vyber) { g_vyber_davky = std::move(vyber); }

namespace {

std::thread g_davka;
std::atomic<bool> g_davka_bezi{false};

constexpr size_t MAX_RADEK_DAVKY = 253;
constexpr long CEKANI_NA_SOUBOR_MS = 60000;
constexpr int MB_YESNO_VYKRICNIK = 4 | 48;
constexpr int IDYES = 6;

// One line of the batch file without its line end; false at the end of the file.
bool cti_radek_davky(HSOUBOR f, std::string& radek) {
    radek.clear();
    bool neco = false;
    while (!cti_znak_ze_souboru(f)) {
        neco = true;
        if (readchar == '\n') break;
        if (readchar == '\r') continue;
        if (radek.size() == MAX_RADEK_DAVKY) err(23, 1);
        radek += static_cast<char>(readchar);
    }
    return neco;
}

// Runs one command file of the batch and waits for its worker.
void proved_soubor_davky(const std::string& jmeno) {
    tt.jmeno_cmd = jmeno;
    uvolni_cmd_buffer();
    tt.pokracovani = 0;
    ctiCMD();
    if (SIT) return;  // no network transport: the file is skipped
    eventKonecRSPrenosu.zrus();
    if (!Inicializuj_RS_komunikaci()) return;
    for (;;) {
        bool skoncil = eventKonecRSPrenosu.cekej(CEKANI_NA_SOUBOR_MS);
        eventKonecRSPrenosu.zrus();
        cekej_ms(2000);
        if (skoncil) break;
        if (VypisBox("Program neodpovida.\r Mam prenos ukoncit?", MB_YESNO_VYKRICNIK) == IDYES) {
            // The worker ends before the error closes its port; a file it finished is
            // not reported as broken off.
            if (zastav_vlakno()) err(109, 4);
            break;
        }
    }
    dokonci_vlakno();
}

void DavkaThread() {
    DAVKA = 0;
    bool vybrano = g_vyber_davky ? g_vyber_davky() : !tt.davkovy_soubor.empty();
    if (!vybrano || !zamkni_adresar()) {
        eventKonecDavky.nastav();
        return;
    }
    DAVKA = 1;
    HSOUBOR f = otevri_soubor(tt.davkovy_soubor, 'r');
    std::string radek;
    while (cti_radek_davky(f, radek)) {
        VypisBlok("\r" + radek, 0);
        size_t zacatek = radek.find_first_not_of(' ');
        if (zacatek == std::string::npos || radek.compare(zacatek, 2, "//") == 0) continue;
        proved_soubor_davky(radek.substr(zacatek));
    }
    zavri_soubor(f);
    eventKonecDavky.nastav();
    VypisBox("Komunikace uspesne ukoncena.", 48);
    DAVKA = 0;
    uvolni_adresar();
}

}  // namespace

bool bezi_davka() { return g_davka_bezi; }

void dokonci_davku() {
    if (g_davka.joinable() && g_davka.get_id() != std::this_thread::get_id()) g_davka.join();
}

int Inicializuj_davku() {
    if (bezi_prenos()) {
        VypisBox(TEXT_PRENOS_BEZI, 48);
        return 0;
    }
    dokonci_davku();
    eventKonecDavky.zrus();
    g_davka_bezi = true;
    try {
        g_davka = std::thread([] {
            // An exit hook that returns control (tests) ends the batch instead of the process.
            try {
                DavkaThread();
            } catch (...) {
                DAVKA = 0;
                dokonci_vlakno();
                uvolni_adresar();
                eventKonecDavky.nastav();
            }
            g_davka_bezi = false;
        });
    } catch (...) {
        g_davka_bezi = false;
        err(75, 6);
    }
    return 1;
}
