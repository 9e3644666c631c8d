// Exchanges of the link protocol: calling the register, the command, the turn of the
// line, receiving and sending blocks, and a command without data.
#include <string>

#include "core/chyby.h"
#include "core/hodiny.h"
#include "core/log.h"
#include "core/soubory.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/tray.h"

namespace {

// Three enquiries; the register accepts with ACK.
void zavolej_pokladnu(Sezeni& s, int32_t podkod) {
    for (int pokus = 0;; ++pokus) {
        if (pokus >= 3) err(38, podkod);
        send_ENQ(s, 0);
        if (receive_ACK(s, 1) == 0 && s.ack) return;
    }
}

// Three command packets; the register accepts with ACK.
void posli_prikaz(Sezeni& s, int32_t podkod) {
    for (int pokus = 0;; ++pokus) {
        if (pokus >= 3) err(6, podkod);
        send_packet(s);
        if (receive_ACK(s, 4) == 0 && s.ack) return;
    }
}

// EOT hands the line over; the register takes it with ENQ (silence is error 21/1 at once).
void otoc_linku(Sezeni& s) {
    for (int pokus = 0;; ++pokus) {
        if (pokus >= 3) err(7, 1);
        send_EOT(s);
        receive_ENQ(s, 0);
        if (s.enq) return;
    }
}

void priprav_vysilani_s(Sezeni& s, bool s_pracovnim_souborem) {
    if (s_pracovnim_souborem) s.workf = otevri_soubor(s, WORK02, 'r');
    zavolej_pokladnu(s, 2);
    posli_prikaz(s, 2);
}

// The next line of s.workf into s.g_blok: 0, or 2 at the end of the file.
int nacti_blok(Sezeni& s) {
    s.g_blok.clear();
    if (!s.workf || cti_znak_ze_souboru(s, s.workf)) return 2;
    if (s.readchar != STX) err(44, 1);
    s.g_blok += static_cast<char>(s.readchar);
    while (true) {
        if (cti_znak_ze_souboru(s, s.workf)) err(44, 3);
        if (s.readchar == CR) break;
        if (s.g_blok.size() >= MAX_RADEK_PRACOVNIHO_SOUBORU) err(44, 2);
        s.g_blok += static_cast<char>(s.readchar);
    }
    s.g_blok += static_cast<char>(CR);
    return 0;
}

void posli_nacteny_blok(Sezeni& s) {
    cekej_ms(s, 200);
    if (!WriteCommBlock(s, s.g_blok.data(), s.g_blok.size())) err(42, 2);
}

// After a block of `bajtu` bytes received or sent.
void po_bloku(Sezeni& s, size_t bajtu) {
    if (!s.ticho) pipni(s, s.zvuk);
    if (s.ShowProgress) StateChange(s);
    ++s.bloky_prenosu;
    s.bajty_prenosu += static_cast<long>(bajtu);
    if (s.sluzby.prubeh) s.sluzby.prubeh(s.bloky_prenosu, s.bajty_prenosu);
}

}  // namespace

int send_blok(Sezeni& s) {
    if (nacti_blok(s) == 2) return 2;
    posli_nacteny_blok(s);
    return 0;
}

void priprav_prijem(Sezeni& s) {
    zavolej_pokladnu(s, 1);
    posli_prikaz(s, 1);
    otoc_linku(s);
}

void prijmi_data(Sezeni& s) {
    zavri_soubor(s, s.workf);
    s.workf = otevri_soubor(s, WORK01, 'w');
    priprav_prijem(s);
    while (true) {
        send_ACK(s);
        if (prijmi_text(s) != 0) {
            send_NAK(s);
            if (s.debug && !s.ticho) pipni(s, s.zvuk2);
            if (prijmi_text(s) != 0) err(40, 1);
        }
        // The host sends nothing after the register's EOT.
        if (s.EOTT) return;
        po_bloku(s, s.g_delka_bloku);
    }
}

void priprav_vysilani(Sezeni& s) { priprav_vysilani_s(s, !s.bez_pracovniho_souboru); }

void odesli_data(Sezeni& s) {
    priprav_vysilani(s);
    // Refusals count over the whole transfer: after the third, the next block still goes
    // out and then the transfer stops.
    int neuspechy = 0;
    bool znovu = false;
    while (true) {
        if (!znovu && nacti_blok(s) == 2) {
            send_EOT(s);
            return;
        }
        posli_nacteny_blok(s);
        po_bloku(s, s.g_blok.size());
        if (neuspechy > 2) err(42, 1);
        receive_ACK(s, 4);
        znovu = !s.ack;
        if (znovu) {
            ++neuspechy;
            if (s.debug && !s.ticho) pipni(s, s.zvuk2);
        }
    }
}

void posli_rje(Sezeni& s) {
    if (s.nokomun) return;
    if (!s.tt.pripojeno && !OpenConnection(s)) err(92, 3);
    zvedni_dtr(s);
    priprav_vysilani_s(s, false);
    send_EOT(s);
    if (!s.noterminate) CloseConnection(s);
}
