#include "core/prenos.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/hodiny.h"
#include "core/log.h"
#include "core/prikazovy_soubor.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

Udalost eventKonecRSPrenosu;
Udalost eventKonecDavky;
const char* const TEXT_PRENOS_BEZI =
    "P\xF8" "enos u\x9E b\xEC\x9E\xED. Dal\x9A\xED nelze spustit, dokud neskon\xE8\xED.";

namespace {

std::thread g_vlakno;  // the transfer worker (ThreadHandle1)
std::atomic<bool> g_bezi{false};
std::atomic<int> g_kod_konce{-1};
std::atomic<bool> g_zastavit{false};  // a stop is asked for
std::atomic<bool> g_zastaven{false};  // the worker was cut off inside an operation
Udalost g_zastaveni;                  // wakes the pause between operations

std::mutex g_zamek_mutex;
int g_zamek = -1;
std::string g_zamek_cesta;

constexpr const char* TEXT_OBSAZENO =
    "V tomto adres\xE1\xF8i u\x9E pracuje jin\xFD kaslnk.\rNepracuji.";

constexpr const char* TEXT_ZAMEK_NELZE =
    "Nelze vytvo\xF8it soubor z\xE1mku kaslnk.lck v adres\xE1\xF8i programu.";

// The worker ends: the port and the command file are free again for the next start.
void konec_vlakna() {
    g_bezi = false;
    if (!DAVKA) uvolni_adresar();
    eventKonecRSPrenosu.nastav();
}

void RS232thread(bool& konci_nulou) {
    zacni_provoz();
    do {
        zkrat_log();
        smaz_docasne_operace();  // a pair a killed run left in a subdirectory
        proved_operaci();
        zapis_log();
        if (cekej_ms_nebo(static_cast<uint32_t>(zpozdeni > 0 ? zpozdeni : 0), g_zastaveni)) break;
    } while (ctiCMD());
    ukonci_provoz();
    if ((WINDOW || debug || hlasky) && !DAVKA) {
        if (ERROR1 != 98)
            VypisBox("Komunikace uspesne ukoncena.", 48);
        else
            VypisBox("Komunikace ukon\xE8" "ena,\r\nale data nebyla kompletn\xEC p\xF8" "enesena.", 48);
    }
    if (AUTOMAT && !WINDOW) {
        konci_nulou = !vysledek_nezapsan;
        ukonci_proces(vysledek_nezapsan ? 1 : 0);
    }
}

void vlakno() {
    bool konci_nulou = false;
    g_kod_konce = -1;
    // An exit hook that returns control (tests) ends the worker instead of the process.
    try {
        RS232thread(konci_nulou);
    } catch (const ZastavenyPrenos&) {
        g_zastaven = true;
        uklid_prenosu();
    } catch (...) {
        g_kod_konce = konci_nulou ? 0 : 1;
    }
    konec_vlakna();
}

}  // namespace

bool zamkni_adresar() {
    int vysledek;
    {
        std::lock_guard<std::mutex> lock(g_zamek_mutex);
        std::string cesta = pridej_path(ZAMEK_ADRESARE);
        if (g_zamek >= 0 && g_zamek_cesta == cesta) return true;
        if (g_zamek >= 0) plat_uvolni_zamek(g_zamek);
        vysledek = plat_zamkni(cesta);
        g_zamek = vysledek >= 0 ? vysledek : -1;
        g_zamek_cesta = g_zamek >= 0 ? cesta : std::string();
        if (g_zamek >= 0) return true;
    }
    if (vysledek == ZAMEK_NELZE_VYTVORIT) {
        // Not another kaslnk: the directory does not let the lock file be made.
        oznam_spusteni(TEXT_ZAMEK_NELZE);
        err(30, CHYBA_ZAMKU);
    }
    oznam_spusteni(TEXT_OBSAZENO);
    return false;
}

void uvolni_adresar() {
    std::lock_guard<std::mutex> lock(g_zamek_mutex);
    plat_uvolni_zamek(g_zamek);
    g_zamek = -1;
    g_zamek_cesta.clear();
}

bool bezi_prenos() { return g_bezi || bezi_davka(); }

void dokonci_vlakno() {
    if (g_vlakno.joinable() && g_vlakno.get_id() != std::this_thread::get_id()) g_vlakno.join();
}

int kod_konce_vlakna() { return g_kod_konce; }

bool zastaveni_pozadovano() { return g_zastavit; }

bool zastav_vlakno() {
    g_zastavit = true;
    g_zastaveni.nastav();
    dokonci_vlakno();
    g_zastavit = false;
    g_zastaveni.zrus();
    return g_zastaven;
}

int komunikuj() {
    if (bezi_prenos()) {
        VypisBox(TEXT_PRENOS_BEZI, 48);
        return 0;
    }
    if (!zamkni_adresar()) {
        if (AUTOMAT && !WINDOW) ukonci_proces(KOD_OBSAZENY_ADRESAR);
        return 0;
    }
    tt.pokracovani = 0;
    uvolni_cmd_buffer();
    ERROR1 = ERROR2 = 0;
    if (!smaz_soubor(pridej_path("err"))) err(65, 1);
    if (!smaz_soubor(pridej_path("error.txt"))) err(65, 11);
    // Temporary files a killed run left behind; this process holds the directory now.
    smaz_stare_docasne(pridej_path(""));
    if (tt.typ_komunikace < 2 || tt.typ_komunikace > 11) {
        uvolni_adresar();
        return 1;
    }
    ctiCMD();
    // There is no network transport: such a command file would talk to the serial port
    // with whatever line settings the previous one left.
    if (SIT) err(51, CHYBA_SIT_MIMO_DAVKU);
    Inicializuj_RS_komunikaci();
    return 1;
}

int Inicializuj_RS_komunikaci() {
    if (g_bezi.exchange(true)) {
        VypisBox(TEXT_PRENOS_BEZI, 48);
        return 0;
    }
    if (!zamkni_adresar()) {
        g_bezi = false;
        return 0;
    }
    dokonci_vlakno();
    eventKonecRSPrenosu.zrus();
    g_zastaven = false;
    try {
        g_vlakno = std::thread(vlakno);
    } catch (...) {
        g_bezi = false;
        err(75, 2);
    }
    return 1;
}

void prenos_ze_startu() {
    if (komunikuj()) dokonci_vlakno();
}
