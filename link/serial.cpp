#include "link/serial.h"

#include <cstdio>
#include <string>

#include "core/chyby.h"
#include "core/hodiny.h"
#include "core/prenos.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "link/port.h"
#include "core/terminal.h"
#include "platform/platform.h"

const uint32_t BaudTable[11] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 56000, 128000, 256000};
const uint8_t ParityTable[5] = {0, 2, 1, 3, 4};
const uint8_t StopBitsTable[3] = {0, 1, 2};

namespace {

// Per-byte part of the time-outs: one character time at 19200 bit/s is the unit.
uint32_t ms_na_znak(const Sezeni& s) { return s.tt.rychlost ? 19200 / s.tt.rychlost : 0; }

void do_rsdata(Sezeni& s, const uint8_t* data, size_t pocet) {
    if (!s.rawdebug || !s.rsd) return;
    for (size_t i = 0; i < pocet; ++i) zapis_znak(data[i], s.rsd);
}

}  // namespace

int OpenConnection(Sezeni& s, bool hlasit_selhani) {
    OtevrenyPort o = otevri_port(s, s.tt.cislo_portu);
    if (!o.port) {
        if (s.debug && hlasit_selhani) {
            // "Port COM%u cannot be opened"
            std::snprintf(s.PracText, sizeof s.PracText, "Port COM%u nelze otev\xF8\xEDt.\r%s",
                          static_cast<unsigned>(s.tt.cislo_portu), o.duvod.c_str());
            VypisBox(s, s.PracText, 48);
        }
        plat_nastav_posledni_chybu(o.chyba);
        return 0;
    }
    s.port = std::move(o.port);
    Port* p = s.port.get();

    p->maska_udalosti(true);
    p->fronty(4096, 4096);
    p->vycisti();
    s.CommTimeOuts = SerialTimeouts{4000, 0, 1000, ms_na_znak(s), 100};
    p->nastav_casy(s.CommTimeOuts);
    if (!SetupConnection(s)) {
        s.tt.pripojeno = 0;
        s.port.reset();
        return 0;
    }
    s.tt.pripojeno = 1;
    SetTTYFocus(s);
    if (!s.nodtr) p->dtr(true);  // a pseudo-terminal has no DTR: not an error
    cekej_ms(s, 10);

    if (s.modem && !s.JenomZavesLinku) {
        if (VytocCislo(s)) {
            if (s.WINDOW) VypisBlok(s, "Spojen\xED je nav\xE1z\xE1no.\r", 0);
        } else {
            if (s.WINDOW) VypisBlok(s, "Spojen\xED se nepoda\xF8ilo nav\xE1zat.\r", 0);
            err(93, 1);
        }
    }
    return s.tt.pripojeno;
}

int SetupConnection(Sezeni& s) {
    Port* p = s.port.get();
    if (!p) return 0;
    SerialLine linka;
    linka.rychlost = s.tt.rychlost;
    linka.datove_bity = s.tt.datove_bity;
    linka.parita = s.tt.parita;
    linka.stop_bity = s.tt.stop_bity;
    linka.rizeni_toku = s.tt.rizeni_toku;
    return p->nastav_linku(linka) ? 1 : 0;
}

int CloseConnection(Sezeni& s) {
    Port* p = s.port.get();
    if (!p) {
        s.tt.pripojeno = 0;
        return 1;
    }
    // A failing hang-up ends in err, whose clean-up (Sezeni::uklid_vrstev) closes the port
    // again: without a second hang-up. The mark stays set when the hang-up unwinds; the
    // clean-up clears it.
    bool predtim = s.g_zaviram;
    s.g_zaviram = true;
    if (s.modem && s.ZavesLinku && !predtim) ZavesModem(s);

    s.tt.pripojeno = 0;
    KillTTYFocus(s);
    p->maska_udalosti(false);
    // The last frame (the closing EOT) must reach the register before DTR drops.
    p->vycisti();
    if (!s.nodtr) p->dtr(false);
    s.port.reset();
    s.g_zaviram = predtim;
    return 1;
}

int WriteCommBlock(Sezeni& s, const void* data, size_t pocet) {
    if (zastaveni_pozadovano(s)) throw ZastavenyPrenos{};
    const auto* bajty = static_cast<const uint8_t*>(data);
    Port* p = s.port.get();
    bool ok = p && p->zapis(bajty, pocet);
    do_rsdata(s, bajty, pocet);
    if (ok) return 1;
    if (p) {
        uint32_t maska = p->vymaz_chyby();
        if (maska && s.tt.zobraz_chyby) {
            char text[32];
            std::snprintf(text, sizeof text, "<CE-%u>", maska);
            VypisBlok(s, text, 0);
        }
    }
    return 0;
}

int PrijemBloku::znak(Sezeni& s, size_t dopredu, uint8_t konec) {
    if (zastaveni_pozadovano(s)) throw ZastavenyPrenos{};
    Port* p = s.port.get();
    if (vydano_ == pocet_ && dal_ > 0 && p) {
        size_t chci = dopredu < 1 ? 1 : dopredu > NEJVIC ? NEJVIC : dopredu;
        bool selhalo = false;
        pocet_ = p->cti_do(data_, chci, konec, selhalo);
        vydano_ = 0;
        do_rsdata(s, data_, pocet_);
        if (selhalo) dal_ = -1;
        else if (pocet_ < chci && (pocet_ == 0 || data_[pocet_ - 1] != konec)) dal_ = 0;
    }
    if (vydano_ == pocet_) {
        if (dal_ < 0) err(47, 1);
        return 0;
    }
    s.rcvchar = data_[vydano_++];
    return 1;
}

int prijmi_znak(Sezeni& s) { return PrijemBloku().znak(s, 1, 0); }

int nastav_timeout(Sezeni& s, uint32_t t) {
    s.CommTimeOuts = SerialTimeouts{1000, ms_na_znak(s), t, ms_na_znak(s), 10};
    Port* p = s.port.get();
    return p && p->nastav_casy(s.CommTimeOuts) ? 1 : 0;
}

void nuluj_rcv_buf(Sezeni& s) {
    nastav_timeout(s, 1);
    if (Port* p = s.port.get()) {
        uint8_t zahozeno[512];
        p->cti(zahozeno, s.modem ? 512 : 9);  // a dead device shows at the next write
    }
    nastav_timeout(s, 1000);
}

void zvedni_dtr(Sezeni& s) {
    if (s.nodtr) return;
    if (Port* p = s.port.get()) p->dtr(true);
    cekej_ms(s, 150);
}
