#include "core/log.h"

#include <cstdio>
#include <cstring>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/prikazovy_radek.h"
#include "core/zpravy.h"
#include "platform/platform.h"

HSOUBOR workf = nullptr;
int (*hook_stav_po_odeslani)() = nullptr;

namespace {

constexpr long kMezLogu = 40000;

// Writes a whole small file anew; false when it cannot be created or written.
bool zapis_cely_soubor(const std::string& jmeno, const char* obsah) {
    std::string cesta = skutecne_jmeno(pridej_path(jmeno));
    std::FILE* f = std::fopen(cesta.c_str(), "wb");
    if (!f) return false;
    size_t n = std::strlen(obsah);
    bool ok = std::fwrite(obsah, 1, n, f) == n;
    return (std::fclose(f) == 0) && ok;
}

}  // namespace

std::string log_radek() {
    MistniCas t = plat_mistni_cas();
    char radek[512];
    if (SIT)
        std::snprintf(radek, sizeof radek, "%02u-%02u-%04u,%02u:%02u,%02u,%s,%s;%04u\r\n", t.den,
                      t.mesic, t.rok, t.hodina, t.minuta, static_cast<unsigned>(ERROR1),
                      tt.druha_ip_adresa.c_str(), tt.prikazovy_paket.c_str(),
                      static_cast<unsigned>(ERROR2));
    else
        std::snprintf(radek, sizeof radek, "%02u-%02u-%04u,%02u:%02u,%02u,%s,%s;%c,%04u\r\n", t.den,
                      t.mesic, t.rok, t.hodina, t.minuta, static_cast<unsigned>(ERROR1),
                      tt.terminal.c_str(), tt.prikazovy_paket.c_str(), tt.znak_portu,
                      static_cast<unsigned>(ERROR2));
    return radek;
}

void zapis_log() {
    std::string cesta = skutecne_jmeno(pridej_path(tt.logovy_soubor));
    std::FILE* logf = std::fopen(cesta.c_str(), "ab");
    if (!logf && debug && plat_posledni_chyba() != 2 /* ENOENT / file not found */) {
        VypisBox("Nepodarilo se otevrit logovy soubor.", 48);
        return;
    }
    std::string radek = log_radek();
    bool zapsano = logf && std::fwrite(radek.data(), 1, radek.size(), logf) == radek.size();
    if (logf && std::fclose(logf) != 0) zapsano = false;
    if (!zapsano) {
        if (debug || WINDOW) VypisBox("\nNepodarilo se zapsat do logoveho souboru.", 48);
        return;
    }

    if (TestStatus && NeedStatus && ERROR1 == 0 && tt.prikazovy_paket.size() > 1 &&
        tt.prikazovy_paket[1] == '1' && hook_stav_po_odeslani) {
        tt.datovy_soubor = "sts.dat";
        tt.fds_soubor = "sts.fds";
        tt.prikazovy_paket = "/99-00/";
        if (hook_stav_po_odeslani() != 0) ERROR1 = 98;
    }

    if (noterminate && ERROR1 == 0) return;

    const char* e;
    const char* t;
    switch (ERROR1) {
        case 0: e = "0"; t = "151\r\n"; break;
        case 38: e = "2"; t = "9\r\n"; break;
        case 98: e = "3"; t = "8\r\n"; break;
        default: e = "1"; t = "9\r\n"; break;
    }
    zapis_cely_soubor("err", e);
    zapis_cely_soubor("error.txt", t);
}

void zkrat_log() {
    std::string logjmeno = skutecne_jmeno(pridej_path(tt.logovy_soubor));
    std::FILE* logf = std::fopen(logjmeno.c_str(), "ab+");
    if (!logf) {
        if ((debug || WINDOW) && plat_posledni_chyba() != 2)
            VypisBox("Nepodarilo se otevrit logovy soubor", 48);
        return;
    }
    std::fseek(logf, 0, SEEK_END);
    long velikost = std::ftell(logf);
    if (velikost < kMezLogu) {
        std::fclose(logf);
        return;
    }
    std::rewind(logf);
    HSOUBOR prac = otevri_soubor("work03.tmp", 'w');
    // Reads one line with its LF; false at the end of the file.
    auto cti_radek = [&](std::string& radek) {
        radek.clear();
        int c;
        while ((c = std::getc(logf)) != EOF) {
            radek += static_cast<char>(c);
            if (c == '\n') break;
            if (radek.size() > 200) {
                std::fclose(logf);
                err(57, 2);
            }
        }
        return !radek.empty();
    };
    std::string radek;
    for (int i = 0; i < 500 && cti_radek(radek); ++i) {
    }
    int zkopirovano = 0;
    while (cti_radek(radek)) {
        if (++zkopirovano > 2000) {
            std::fclose(logf);
            err(31, 3);
        }
        zapis_text(radek, prac);
    }
    std::fclose(logf);
    zavri_soubor(prac);
    smaz_soubor(pridej_path("log.bak"));
    if (!presun_soubor(logjmeno, pridej_path("log.bak"))) err(61, 1);
    if (!presun_soubor(pridej_path("work03.tmp"), pridej_path(tt.logovy_soubor))) err(61, 2);
}
