#include "core/prenos.h"

#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "core/chyby.h"
#include "core/hodiny.h"
#include "core/log.h"
#include "core/prikazovy_soubor.h"
#include "core/sezeni_jadra.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

namespace {

// The program directories that sessions of this process hold. Process-wide by nature:
// whether the system's lock keeps out a second session of the same process depends on the
// kind of lock (an fcntl lock belongs to the process, an flock to the open file, a file
// opened without sharing on Windows to its handle); this set gives every system the same
// answer: a directory one session holds is in use for every other session.
struct DrzeneAdresare {
    std::mutex m;
    std::set<std::string> zamky;  // the lock files' absolute paths
} g_drzene_adresare;

// The name under which a lock file is held, whatever way the program directory was given.
std::string klic_zamku(const std::string& cesta) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(cesta, ec);
    if (ec) return cesta;
    std::filesystem::path kanonicka = std::filesystem::weakly_canonical(p, ec);
    return (ec ? p : kanonicka).lexically_normal().string();
}

constexpr char TEXT_OBSAZENO[] =
    "V tomto adres\xE1\xF8i u\x9E pracuje jin\xFD kaslnk.\rNepracuji.";

constexpr char TEXT_ZAMEK_NELZE[] =
    "Nelze vytvo\xF8it soubor z\xE1mku kaslnk.lck v adres\xE1\xF8i programu.";

// The worker ends: the port and the command file are free again for the next start.
void konec_vlakna(SezeniJadra& s) {
    s.prenos_bezi = false;
    if (!s.DAVKA) uvolni_adresar(s);
    s.eventKonecRSPrenosu.nastav();
}

// The worker's work: the operations of the command file one after another. An unattended
// run (no window) ends the session with the worker's end.
void RS232thread(SezeniJadra& s) {
    s.zacni_provoz();
    do {
        zkrat_log(s);
        smaz_docasne_operace(s);  // a pair a killed run left in a subdirectory
        kontroluj_zruseni(s);
        s.proved_operaci();
        zapis_log(s);
        // A stop ends the run here; a cancel lets a run whose last operation is done end
        // as usual, and the next operation raises it.
        if (cekej_ms_nebo(s, static_cast<uint32_t>(s.zpozdeni > 0 ? s.zpozdeni : 0), s.zastaveni) &&
            !s.zrusit)
            break;
    } while (ctiCMD(s));
    s.ukonci_provoz();
    if ((s.WINDOW || s.debug || s.hlasky) && !s.DAVKA) {
        if (s.ERROR1 != 98)
            VypisBox(s, "Komunikace uspesne ukoncena.", 48);
        else
            VypisBox(s, "Komunikace ukon\xE8" "ena,\r\nale data nebyla kompletn\xEC p\xF8" "enesena.", 48);
    }
    if (s.AUTOMAT && !s.WINDOW) ukonci(s.vysledek_nezapsan ? 1 : 0);
}

// The worker thread is a session boundary of its own: an error is reported here, on the
// worker, and the exit code it ends the session with is left for the caller that waits
// for it (dokonci_vlakno).
void vlakno(SezeniJadra& s) {
    s.kod_konce_vlakna = -1;
    try {
        int kod = hranice_sezeni(s, [&] {
            RS232thread(s);
            return -1;  // the session goes on: only the end event is signalled
        });
        s.kod_konce_vlakna = kod;
    } catch (const ZastavenyPrenos&) {
        s.vlakno_zastaveno = true;
        uklid_prenosu(s);
    } catch (...) {
        s.kod_konce_vlakna = 1;  // anything else the worker cannot go on with
    }
    konec_vlakna(s);
}

// Waits for the worker and releases it, without looking at how it ended.
void pripoj_vlakno(SezeniJadra& s) {
    if (s.vlakno_prenosu.joinable() && s.vlakno_prenosu.get_id() != std::this_thread::get_id())
        s.vlakno_prenosu.join();
}

}  // namespace

bool zamkni_adresar(SezeniJadra& s) {
    int vysledek;
    {
        std::lock_guard<std::mutex> lock(s.zamek_mutex);
        std::string cesta = pridej_path(s, ZAMEK_ADRESARE);
        if (s.zamek >= 0 && s.zamek_cesta == cesta) return true;
        if (s.zamek >= 0) {
            plat_uvolni_zamek(s.zamek);
            std::lock_guard<std::mutex> drzene(g_drzene_adresare.m);
            g_drzene_adresare.zamky.erase(klic_zamku(s.zamek_cesta));
        }
        s.zamek = -1;
        s.zamek_cesta.clear();
        const std::string klic = klic_zamku(cesta);
        std::lock_guard<std::mutex> drzene(g_drzene_adresare.m);
        // Another session of this process holds the directory: as another process would.
        vysledek = g_drzene_adresare.zamky.count(klic) ? -1 : plat_zamkni(cesta);
        if (vysledek >= 0) {
            s.zamek = vysledek;
            s.zamek_cesta = cesta;
            g_drzene_adresare.zamky.insert(klic);
            return true;
        }
    }
    if (vysledek == ZAMEK_NELZE_VYTVORIT) {
        // Not another kaslnk: the directory does not let the lock file be made.
        oznam_spusteni(s, TEXT_ZAMEK_NELZE);
        err(30, CHYBA_ZAMKU);
    }
    oznam_spusteni(s, TEXT_OBSAZENO);
    return false;
}

void uvolni_adresar(SezeniJadra& s) {
    std::lock_guard<std::mutex> lock(s.zamek_mutex);
    if (s.zamek < 0) return;
    plat_uvolni_zamek(s.zamek);
    {
        std::lock_guard<std::mutex> drzene(g_drzene_adresare.m);
        g_drzene_adresare.zamky.erase(klic_zamku(s.zamek_cesta));
    }
    s.zamek = -1;
    s.zamek_cesta.clear();
}

bool bezi_prenos(SezeniJadra& s) { return s.prenos_bezi || bezi_davka(s); }

void dokonci_vlakno(SezeniJadra& s) {
    pripoj_vlakno(s);
    if (s.vlakno_prenosu.get_id() == std::this_thread::get_id()) return;
    if (int kod = s.kod_konce_vlakna; kod >= 0) ukonci(kod);
}

int kod_konce_vlakna(SezeniJadra& s) { return s.kod_konce_vlakna; }

bool zastaveni_pozadovano(SezeniJadra& s) { return s.zastavit_vlakno; }

void zrus_praci(SezeniJadra& s) {
    s.zrusit = true;
    s.zastaveni.nastav();
}

void kontroluj_zruseni(SezeniJadra& s) {
    if (!s.zrusit || s.zruseni_ohlaseno) return;
    s.zruseni_ohlaseno = true;
    err(KOD_ZRUSENI, PODKOD_ZRUSENI);
}

bool zastav_vlakno(SezeniJadra& s) {
    s.zastavit_vlakno = true;
    s.zastaveni.nastav();
    pripoj_vlakno(s);
    s.zastavit_vlakno = false;
    s.zastaveni.zrus();
    dokonci_vlakno(s);  // a worker that ended the session before the stop took effect
    return s.vlakno_zastaveno;
}

int komunikuj(SezeniJadra& s) {
    if (bezi_prenos(s)) {
        VypisBox(s, TEXT_PRENOS_BEZI, 48);
        return 0;
    }
    if (!zamkni_adresar(s)) {
        if (s.AUTOMAT && !s.WINDOW) ukonci(KOD_OBSAZENY_ADRESAR);
        return 0;
    }
    s.tt.pokracovani = 0;
    uvolni_cmd_buffer(s);
    s.ERROR1 = s.ERROR2 = 0;
    if (!smaz_soubor(pridej_path(s, "err"))) err(65, 1);
    if (!smaz_soubor(pridej_path(s, "error.txt"))) err(65, 11);
    // Temporary files a killed run left behind; this session holds the directory now.
    smaz_stare_docasne(pridej_path(s, ""));
    if (s.tt.typ_komunikace < 2 || s.tt.typ_komunikace > 11) {
        uvolni_adresar(s);
        return 1;
    }
    ctiCMD(s);
    // There is no network transport: such a command file would talk to the serial port
    // with whatever line settings the previous one left.
    if (s.SIT) err(51, CHYBA_SIT_MIMO_DAVKU);
    Inicializuj_RS_komunikaci(s);
    return 1;
}

int Inicializuj_RS_komunikaci(SezeniJadra& s) {
    if (s.prenos_bezi.exchange(true)) {
        VypisBox(s, TEXT_PRENOS_BEZI, 48);
        return 0;
    }
    if (!zamkni_adresar(s)) {
        s.prenos_bezi = false;
        return 0;
    }
    pripoj_vlakno(s);  // the previous worker has ended; how, its caller has seen
    s.eventKonecRSPrenosu.zrus();
    s.vlakno_zastaveno = false;
    s.kod_konce_vlakna = -1;
    try {
        s.vlakno_prenosu = std::thread(vlakno, std::ref(s));
    } catch (...) {
        s.prenos_bezi = false;
        err(75, 2);
    }
    return 1;
}

void prenos_ze_startu(SezeniJadra& s) {
    if (komunikuj(s)) dokonci_vlakno(s);
}
