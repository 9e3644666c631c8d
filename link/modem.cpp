// The Hayes modem in front of the register: dialling and hanging up.
#include <cstdio>
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/hodiny.h"
#include "core/zpravy.h"
#include "link/port.h"
#include "link/serial.h"

int VytocCislo() {
    Port* p = aktualni_port();
    if (!p) return 0;
    uint32_t stav = 0;
    if (p->stav_modemu(stav) && (stav & SER_MS_RLSD)) return 1;  // already connected

    std::string prikaz = "atd" + tt.telefonni_cislo + "\r\n";
    VypisBlokDebug("Do modemu pos\xEDl\xE1m: " + prikaz, 0);
    if (!WriteCommBlock(prikaz.data(), prikaz.size())) return 0;

    for (int32_t i = 0; i < tt.cekani_modem; ++i) {
        cekej_ms(1000);
        if (!p->stav_modemu(stav)) break;
        VypisBlokDebug("*", 0);
        if (rawdebug) {
            char text[80];
            std::snprintf(text, sizeof text, "CTS: %u   DSR: %u  RI: %u   RLSD: %u \r", stav & SER_MS_CTS,
                          stav & SER_MS_DSR, stav & SER_MS_RING, stav & SER_MS_RLSD);
            VypisBlok(text, 0);
        }
        if (stav & SER_MS_RLSD) return 1;
    }
    return 0;
}

void ZavesModem() {
    if (!WriteCommBlock("+++", 3)) err(93, 2);
    cekej_ms(1000);
    if (!WriteCommBlock("ath\r", 4)) err(93, 3);
    cekej_ms(100);
}

void JenomZaves() {
    if (!tt.pripojeno && !OpenConnection()) err(92, 5);
    ZavesModem();
    if (noterminate) return;
    // The line is hung up already: closing must not do it a second time.
    int32_t zavesit = ZavesLinku;
    ZavesLinku = 0;
    CloseConnection();
    ZavesLinku = zavesit;
}
