// Exchanges of the link protocol: calling the register, the command, the turn of the
// line, receiving and sending blocks, and a command without data.
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/hodiny.h"
#include "core/log.h"
#include "core/soubory.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/tray.h"

namespace {

std::string g_blok;  // the outgoing block in hand (sent again after NAK or silence)

// Three enquiries; the register accepts with ACK.
void zavolej_pokladnu(int32_t podkod) {
    for (int pokus = 0;; ++pokus) {
        if (pokus >= 3) err(38, podkod);
        send_ENQ(0);
        if (receive_ACK(1) == 0 && ack) return;
    }
}

// Three command packets; the register accepts with ACK.
void posli_prikaz(int32_t podkod) {
    for (int pokus = 0;; ++pokus) {
        if (pokus >= 3) err(6, podkod);
        send_packet();
        if (receive_ACK(4) == 0 && ack) return;
    }
}

// EOT hands the line over; the register takes it with ENQ (silence is error 21/1 at once).
void otoc_linku() {
    for (int pokus = 0;; ++pokus) {
        if (pokus >= 3) err(7, 1);
        send_EOT();
        receive_ENQ(0);
        if (enq) return;
    }
}

void priprav_vysilani_s(bool s_pracovnim_souborem) {
    if (s_pracovnim_souborem) workf = otevri_soubor(WORK02, 'r');
    zavolej_pokladnu(2);
    posli_prikaz(2);
}

// The next line of workf into g_blok: 0, or 2 at the end of the file.
int nacti_blok() {
    g_blok.clear();
    if (!workf || cti_znak_ze_souboru(workf)) return 2;
    if (readchar != STX) err(44, 1);
    g_blok += static_cast<char>(readchar);
    while (true) {
        if (cti_znak_ze_souboru(workf)) err(44, 3);
        if (readchar == CR) break;
        if (g_blok.size() >= MAX_RADEK_PRACOVNIHO_SOUBORU) err(44, 2);
        g_blok += static_cast<char>(readchar);
    }
    g_blok += static_cast<char>(CR);
    return 0;
}

void posli_nacteny_blok() {
    cekej_ms(200);
    if (!WriteCommBlock(g_blok.data(), g_blok.size())) err(42, 2);
}

void po_bloku() {
    if (!ticho) pipni(zvuk);
    if (ShowProgress) StateChange();
}

}  // namespace

int send_blok() {
    if (nacti_blok() == 2) return 2;
    posli_nacteny_blok();
    return 0;
}

void priprav_prijem() {
    zavolej_pokladnu(1);
    posli_prikaz(1);
    otoc_linku();
}

void prijmi_data() {
    zavri_soubor(workf);
    workf = otevri_soubor(WORK01, 'w');
    priprav_prijem();
    while (true) {
        send_ACK();
        if (prijmi_text() != 0) {
            send_NAK();
            if (debug && !ticho) pipni(zvuk2);
            if (prijmi_text() != 0) err(40, 1);
        }
        // The host sends nothing after the register's EOT.
        if (EOTT) return;
        po_bloku();
    }
}

void priprav_vysilani() { priprav_vysilani_s(!bez_pracovniho_souboru); }

void odesli_data() {
    priprav_vysilani();
    // Refusals count over the whole transfer: after the third, the next block still goes
    // out and then the transfer stops.
    int neuspechy = 0;
    bool znovu = false;
    while (true) {
        if (!znovu && nacti_blok() == 2) {
            send_EOT();
            return;
        }
        posli_nacteny_blok();
        po_bloku();
        if (neuspechy > 2) err(42, 1);
        receive_ACK(4);
        znovu = !ack;
        if (znovu) {
            ++neuspechy;
            if (debug && !ticho) pipni(zvuk2);
        }
    }
}

void posli_rje() {
    if (nokomun) return;
    if (!tt.pripojeno && !OpenConnection()) err(92, 3);
    zvedni_dtr();
    priprav_vysilani_s(false);
    send_EOT();
    if (!noterminate) CloseConnection();
}
