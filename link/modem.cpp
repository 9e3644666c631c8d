// The Hayes modem in front of the register: dialling and hanging up.
#include <cstdio>
#include <string>

#include "core/chyby.h"
#include "core/hodiny.h"
#include "core/zpravy.h"
#include "link/port.h"
#include "link/serial.h"

int VytocCislo(Sezeni& s) {
    Port* p = s.port.get();
    if (!p) return 0;
    uint32_t stav = 0;
    if (p->stav_modemu(stav) && (stav & SER_MS_RLSD)) return 1;  // already connected

    std::string prikaz = "atd" + s.tt.telefonni_cislo + "\r\n";
    VypisBlokDebug(s, "Do modemu pos\xEDl\xE1m: " + prikaz, 0);
    if (!WriteCommBlock(s, prikaz.data(), prikaz.size())) return 0;

    for (int32_t i = 0; i < s.tt.cekani_modem; ++i) {
        cekej_ms(s, 1000);
        if (!p->stav_modemu(stav)) break;
        VypisBlokDebug(s, "*", 0);
        if (s.rawdebug) {
            char text[80];
            std::snprintf(text, sizeof text, "CTS: %u   DSR: %u  RI: %u   RLSD: %u \r", stav & SER_MS_CTS,
                          stav & SER_MS_DSR, stav & SER_MS_RING, stav & SER_MS_RLSD);
            VypisBlok(s, text, 0);
        }
        if (stav & SER_MS_RLSD) return 1;
    }
    return 0;
}

void ZavesModem(Sezeni& s) {
    if (!WriteCommBlock(s, "+++", 3)) err(93, 2);
    cekej_ms(s, 1000);
    if (!WriteCommBlock(s, "ath\r", 4)) err(93, 3);
    cekej_ms(s, 100);
}

void JenomZaves(Sezeni& s) {
    if (!s.tt.pripojeno && !OpenConnection(s)) err(92, 5);
    ZavesModem(s);
    if (s.noterminate) return;
    // The line is hung up already: closing must not do it a second time.
    int32_t zavesit = s.ZavesLinku;
    s.ZavesLinku = 0;
    CloseConnection(s);
    s.ZavesLinku = zavesit;
}
