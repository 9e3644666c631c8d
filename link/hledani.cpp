#include "link/hledani.h"

#include <cstdio>

#include "core/globals.h"
#include "core/prepis_cmd.h"
#include "core/zpravy.h"
#include "core/hodiny.h"
#include "link/port.h"
#include "link/protokol.h"
#include "link/serial.h"
#include "link/zvlastni.h"

namespace {

// The entries 6, 5, 4 and 3 of BaudTable.
constexpr int RYCHLOSTI[] = {6, 5, 4, 3};

void hlas(const char* format, unsigned cislo, bool ok) {
    if (!debug) return;
    char text[96];
    std::snprintf(text, sizeof text, format, cislo, ok ? "O.K." : "nepovedlo se.");
    VypisBlok(text, 0);
}

// Opens COMport without dialling a modem; the failure is reported in debug mode only,
// by the terminal line alone (no box for each port that does not open).
bool otevri(uint32_t port) {
    tt.cislo_portu = port;
    tt.linka_urcena = true;
    int32_t s_modemem = modem;
    modem = 0;
    bool ok = OpenConnection(false) != 0;
    modem = s_modemem;
    hlas("Otviram port COM%u - %s\r", port, ok);
    return ok;
}

// Only the speed of the open port changes (the other line settings are tt's as at the open).
bool nastav_rychlost(uint32_t rychlost) {
    tt.rychlost = rychlost;
    bool ok = SetupConnection() != 0;
    hlas("Nastavuji rychlost %u baud - %s\r", rychlost, ok);
    return ok;
}

void dtr(bool zapnout) {
    Port* p = aktualni_port();
    if (p && !nodtr) p->dtr(zapnout);
}

// One enquiry on the open port at the speed set: true when the register answered ACK.
bool vola(uint32_t terminal, uint32_t cekani_ms) {
    char cislo[16];
    std::snprintf(cislo, sizeof cislo, "%06u", terminal);
    tt.terminal = cislo;
    tt.cislo_terminalu = terminal;
    nastav_timeout(1000);
    if (send_ENQ(1)) return false;  // the write ran out of time: the next speed
    return receive_ACK_find(cekani_ms) == 0 && ack;
}

// The ports 1..9 in turn; `na_portu` tries the open port and returns true when found.
template <typename F>
int po_portech(F na_portu) {
    tt.rychlost = BaudTable[RYCHLOSTI[0]];
    for (uint32_t port = 1; port <= 9; ++port) {
        if (!otevri(port)) continue;
        bool nalezeno = na_portu();
        CloseConnection();
        if (nalezeno) return 1;
    }
    return 0;
}

}  // namespace

int najdi_kasu() {
    return po_portech([] {
        for (int i : RYCHLOSTI) {
            if (!nastav_rychlost(BaudTable[i])) break;
            dtr(true);
            cekej_ms(150);
            if (vola(1, 1000)) return true;
            dtr(false);
        }
        return false;
    });
}

int najdi_kasu_multiterm(int pocet) {
    return po_portech([pocet] {
        for (int t = 1; t <= pocet; ++t) {
            if (debug) {
                char text[64];
                std::snprintf(text, sizeof text, "Hled\xE1m termin\xE1l %d.\r", t);
                VypisBlok(text, 0);
            }
            for (int i : RYCHLOSTI) {
                if (!nastav_rychlost(BaudTable[i])) break;
                if (vola(static_cast<uint32_t>(t), 250)) return true;
            }
        }
        return false;
    });
}

const char* const TEXT_POTVRZENI_HLEDANI =
    "Pozor! Tato akce m\xF9\x9E" "e trvat n\xEC" "kolik minut!\rM\xE1m spustit vyhled\xE1v\xE1n\xED?";

bool potvrd_hledani() {
    return VypisBox(TEXT_POTVRZENI_HLEDANI, BOX_ANO_NE | BOX_VYKRICNIK | BOX_VYCHOZI_NE) == BOX_ANO;
}

void precti_stav_nalezene() {
    tt.logovy_soubor = "era.log";
    tt.datovy_soubor = "sts.dat";
    tt.fds_soubor = "sts.fds";
    tt.prikazovy_paket = "/99-00/";
    noterminate = 0;
    statusinq();
}

std::string text_nalezu(bool na_obrazovku) {
    char text[160];
    std::snprintf(text, sizeof text,
                  na_obrazovku ? "Nalezl jsem pokladnu na portu %u, \rkomunikuje rychlosti %u, \ra ma cislo terminalu %06u. \r\a"
                               : "Nalezl jsem pokladnu na portu %u, komunikuje rychlosti %u, a ma cislo terminalu %06u.",
                  tt.cislo_portu, tt.rychlost, tt.cislo_terminalu);
    return text;
}

bool zeptej_se_na_zapis() {
    return VypisBox("M\xE1m nalezen\xE9 hodnoty zapsat do prikazovych soubor\xF9?",
                    BOX_ANO_NE | BOX_VYKRICNIK | BOX_VYCHOZI_NE) == BOX_ANO;
}

void dokonci_hledani() {
    precti_stav_nalezene();
    VypisBlok(text_nalezu(true), 0);
    if (zeptej_se_na_zapis()) {
        aktualizuj_asci_promenne();
        if (prepis_i_cmx(PREPIS_OBOJI)) VypisBlok(hlaseni_prepisu(PREPIS_OBOJI), 0);
    }
    CloseConnection();
}
