#include "link/serial.h"

#include <cstdio>
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/hodiny.h"
#include "core/prenos.h"
#include "core/zpravy.h"
#include "link/port.h"
#include "core/terminal.h"
#include "platform/platform.h"

unsigned char rcvchar;
SerialTimeouts CommTimeOuts;
HSOUBOR rsd = nullptr;

const uint32_t BaudTable[11] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 56000, 128000, 256000};
const uint8_t ParityTable[5] = {0, 2, 1, 3, 4};
const uint8_t StopBitsTable[3] = {0, 1, 2};

namespace {

// Per-byte part of the time-outs: one character time at 19200 bit/s is the unit.
uint32_t ms_na_znak() { return tt.rychlost ? 19200 / tt.rychlost : 0; }

void do_rsdata(const uint8_t* data, size_t pocet) {
    if (!rawdebug || !rsd) return;
    for (size_t i = 0; i < pocet; ++i) zapis_znak(data[i], rsd);
}

bool g_zaviram = false;  // CloseConnection is running (err may call it once more)

// err() closes the port of a transfer that fails; a network transfer has none.
void zavri_po_chybe() {
    if (!SIT) CloseConnection();
}

}  // namespace

int OpenConnection(bool hlasit_selhani) {
    OtevrenyPort o = otevri_port(tt.cislo_portu);
    if (!o.port) {
        if (debug && hlasit_selhani) {
            // "Port COM%u cannot be opened"
            std::snprintf(PracText, sizeof PracText, "Port COM%u nelze otev\xF8\xEDt.\r%s",
                          static_cast<unsigned>(tt.cislo_portu), o.duvod.c_str());
            VypisBox(PracText, 48);
        }
        plat_nastav_posledni_chybu(o.chyba);
        return 0;
    }
    Port* p = o.port.get();
    pri_chybe(zavri_po_chybe);
    nastav_aktualni_port(std::move(o.port));

    p->maska_udalosti(true);
    p->fronty(4096, 4096);
    p->vycisti();
    CommTimeOuts = SerialTimeouts{4000, 0, 1000, ms_na_znak(), 100};
    p->nastav_casy(CommTimeOuts);
    if (!SetupConnection()) {
        tt.pripojeno = 0;
        nastav_aktualni_port(nullptr);
        return 0;
    }
    tt.pripojeno = 1;
    SetTTYFocus();
    if (!nodtr) p->dtr(true);  // a pseudo-terminal has no DTR: not an error
    cekej_ms(10);

    if (modem && !JenomZavesLinku) {
        if (VytocCislo()) {
            if (WINDOW) VypisBlok("Spojen\xED je nav\xE1z\xE1no.\r", 0);
        } else {
            if (WINDOW) VypisBlok("Spojen\xED se nepoda\xF8ilo nav\xE1zat.\r", 0);
            err(93, 1);
        }
    }
    return tt.pripojeno;
}

int SetupConnection() {
    Port* p = aktualni_port();
    if (!p) return 0;
    SerialLine linka;
    linka.rychlost = tt.rychlost;
    linka.datove_bity = tt.datove_bity;
    linka.parita = tt.parita;
    linka.stop_bity = tt.stop_bity;
    linka.rizeni_toku = tt.rizeni_toku;
    return p->nastav_linku(linka) ? 1 : 0;
}

int CloseConnection() {
    Port* p = aktualni_port();
    if (!p) {
        tt.pripojeno = 0;
        return 1;
    }
    // A failing hang-up ends in err, which closes the port again: without a second hang-up.
    struct Strazce {
        bool predtim;
        Strazce() : predtim(g_zaviram) { g_zaviram = true; }
        ~Strazce() { g_zaviram = predtim; }
    } strazce;
    if (modem && ZavesLinku && !strazce.predtim) ZavesModem();

    tt.pripojeno = 0;
    KillTTYFocus();
    p->maska_udalosti(false);
    // The last frame (the closing EOT) must reach the register before DTR drops.
    p->vycisti();
    if (!nodtr) p->dtr(false);
    nastav_aktualni_port(nullptr);
    return 1;
}

int WriteCommBlock(const void* data, size_t pocet) {
    if (zastaveni_pozadovano()) throw ZastavenyPrenos{};
    const auto* bajty = static_cast<const uint8_t*>(data);
    Port* p = aktualni_port();
    bool ok = p && p->zapis(bajty, pocet);
    do_rsdata(bajty, pocet);
    if (ok) return 1;
    if (p) {
        uint32_t maska = p->vymaz_chyby();
        if (maska && tt.zobraz_chyby) {
            char text[32];
            std::snprintf(text, sizeof text, "<CE-%u>", maska);
            VypisBlok(text, 0);
        }
    }
    return 0;
}

int PrijemBloku::znak(size_t dopredu, uint8_t konec) {
    if (zastaveni_pozadovano()) throw ZastavenyPrenos{};
    Port* p = aktualni_port();
    if (vydano_ == pocet_ && dal_ > 0 && p) {
        size_t chci = dopredu < 1 ? 1 : dopredu > NEJVIC ? NEJVIC : dopredu;
        bool selhalo = false;
        pocet_ = p->cti_do(data_, chci, konec, selhalo);
        vydano_ = 0;
        do_rsdata(data_, pocet_);
        if (selhalo) dal_ = -1;
        else if (pocet_ < chci && (pocet_ == 0 || data_[pocet_ - 1] != konec)) dal_ = 0;
    }
    if (vydano_ == pocet_) {
        if (dal_ < 0) err(47, 1);
        return 0;
    }
    rcvchar = data_[vydano_++];
    return 1;
}

int prijmi_znak() { return PrijemBloku().znak(1, 0); }

int nastav_timeout(uint32_t t) {
    CommTimeOuts = SerialTimeouts{1000, ms_na_znak(), t, ms_na_znak(), 10};
    Port* p = aktualni_port();
    return p && p->nastav_casy(CommTimeOuts) ? 1 : 0;
}

void nuluj_rcv_buf() {
    nastav_timeout(1);
    if (Port* p = aktualni_port()) {
        uint8_t zahozeno[512];
        p->cti(zahozeno, modem ? 512 : 9);  // a dead device shows at the next write
    }
    nastav_timeout(1000);
}

void zvedni_dtr() {
    if (nodtr) return;
    if (Port* p = aktualni_port()) p->dtr(true);
    cekej_ms(150);
}
