#include "link/hledani.h"

#include <cstdio>

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

void hlas(Sezeni& s, const char* format, unsigned cislo, bool ok) {
    if (!s.debug) return;
    char text[96];
    std::snprintf(text, sizeof text, format, cislo, ok ? "O.K." : "nepovedlo se.");
    VypisBlok(s, text, 0);
}

// Opens COMport without dialling a modem; the failure is reported in debug mode only,
// by the terminal line alone (no box for each port that does not open).
bool otevri(Sezeni& s, uint32_t port) {
    s.tt.cislo_portu = port;
    s.tt.linka_urcena = true;
    int32_t s_modemem = s.modem;
    s.modem = 0;
    bool ok = OpenConnection(s, false) != 0;
    s.modem = s_modemem;
    hlas(s, "Otviram port COM%u - %s\r", port, ok);
    return ok;
}

// Only the speed of the open port changes (the other line settings are tt's as at the open).
bool nastav_rychlost(Sezeni& s, uint32_t rychlost) {
    s.tt.rychlost = rychlost;
    bool ok = SetupConnection(s) != 0;
    hlas(s, "Nastavuji rychlost %u baud - %s\r", rychlost, ok);
    return ok;
}

void dtr(Sezeni& s, bool zapnout) {
    Port* p = s.port.get();
    if (p && !s.nodtr) p->dtr(zapnout);
}

// One enquiry on the open port at the speed set: true when the register answered ACK.
bool vola(Sezeni& s, uint32_t terminal, uint32_t cekani_ms) {
    char cislo[16];
    std::snprintf(cislo, sizeof cislo, "%06u", terminal);
    s.tt.terminal = cislo;
    s.tt.cislo_terminalu = terminal;
    nastav_timeout(s, 1000);
    if (send_ENQ(s, 1)) return false;  // the write ran out of time: the next speed
    return receive_ACK_find(s, cekani_ms) == 0 && s.ack;
}

// The ports 1..9 in turn; `na_portu` tries the open port and returns true when found.
template <typename F>
int po_portech(Sezeni& s, F na_portu) {
    s.tt.rychlost = BaudTable[RYCHLOSTI[0]];
    for (uint32_t port = 1; port <= 9; ++port) {
        if (!otevri(s, port)) continue;
        bool nalezeno = na_portu();
        CloseConnection(s);
        if (nalezeno) return 1;
    }
    return 0;
}

}  // namespace

int najdi_kasu(Sezeni& s) {
    return po_portech(s, [&s] {
        for (int i : RYCHLOSTI) {
            if (!nastav_rychlost(s, BaudTable[i])) break;
            dtr(s, true);
            cekej_ms(s, 150);
            if (vola(s, 1, 1000)) return true;
            dtr(s, false);
        }
        return false;
    });
}

int najdi_kasu_multiterm(Sezeni& s, int pocet) {
    return po_portech(s, [&s, pocet] {
        for (int t = 1; t <= pocet; ++t) {
            if (s.debug) {
                char text[64];
                std::snprintf(text, sizeof text, "Hled\xE1m termin\xE1l %d.\r", t);
                VypisBlok(s, text, 0);
            }
            for (int i : RYCHLOSTI) {
                if (!nastav_rychlost(s, BaudTable[i])) break;
                if (vola(s, static_cast<uint32_t>(t), 250)) return true;
            }
        }
        return false;
    });
}

const char TEXT_POTVRZENI_HLEDANI[] =
    "Pozor! Tato akce m\xF9\x9E" "e trvat n\xEC" "kolik minut!\rM\xE1m spustit vyhled\xE1v\xE1n\xED?";

bool potvrd_hledani(Sezeni& s) {
    return VypisBox(s, TEXT_POTVRZENI_HLEDANI, BOX_ANO_NE | BOX_VYKRICNIK | BOX_VYCHOZI_NE) == BOX_ANO;
}

void precti_stav_nalezene(Sezeni& s) {
    s.tt.logovy_soubor = "era.log";
    s.tt.datovy_soubor = "sts.dat";
    s.tt.fds_soubor = "sts.fds";
    s.tt.prikazovy_paket = "/99-00/";
    s.noterminate = 0;
    statusinq(s);
}

std::string text_nalezu(const Sezeni& s, bool na_obrazovku) {
    char text[160];
    std::snprintf(text, sizeof text,
                  na_obrazovku ? "Nalezl jsem pokladnu na portu %u, \rkomunikuje rychlosti %u, \ra ma cislo terminalu %06u. \r\a"
                               : "Nalezl jsem pokladnu na portu %u, komunikuje rychlosti %u, a ma cislo terminalu %06u.",
                  s.tt.cislo_portu, s.tt.rychlost, s.tt.cislo_terminalu);
    return text;
}

bool zeptej_se_na_zapis(Sezeni& s) {
    return VypisBox(s, "M\xE1m nalezen\xE9 hodnoty zapsat do prikazovych soubor\xF9?",
                    BOX_ANO_NE | BOX_VYKRICNIK | BOX_VYCHOZI_NE) == BOX_ANO;
}

void dokonci_hledani(Sezeni& s) {
    precti_stav_nalezene(s);
    VypisBlok(s, text_nalezu(s, true), 0);
    if (zeptej_se_na_zapis(s)) {
        aktualizuj_asci_promenne(s);
        if (prepis_i_cmx(s, PREPIS_OBOJI)) VypisBlok(s, hlaseni_prepisu(PREPIS_OBOJI), 0);
    }
    CloseConnection(s);
}
