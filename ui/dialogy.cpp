#include "ui/dialogy.h"

#include "core/sezeni_jadra.h"
#include "format/logo.h"
#include "link/serial.h"

const std::array<const char*, POCET_ZASKRTNUTI> DialogLinky::POPISKY = {
    "DTR/DSR", "RTS/CTS", "XON/XOFF", "Autowrap", "New Line", "Local Echo", "Use CN_RECEIVE Notifications",
    "Display Errors"};
const std::array<const char*, 5> DialogLinky::POPISKY_VOLEB = {"Port:", "Baud Rate:", "Data Bits:", "Parity:",
                                                               "Stop Bits:"};

namespace {

// The string table: the first speed's label has no entry of its own there; it is
// written as the number.
const char* const RYCHLOSTI[] = {"300", "600", "1200", "2400", "4800", "9600", "19.2k", "38.4k", "56k", "128k", "256k"};
const char* const PARITY[] = {"None", "Even", "Odd", "Mark", "Space"};
const char* const STOP_BITY[] = {"1", "1.5", "2"};
const char* const DATOVE_BITY[] = {"5", "6", "7", "8"};
const uint32_t POCTY_BITU[] = {5, 6, 7, 8};
constexpr int PRVNI_RYCHLOST_PORTU = 3;  // dialog 104 offers BaudTable[3..6]: 2400..19200

Volba porty(const TTYINFO& tt) {
    static const std::vector<std::string> popisky = [] {
        std::vector<std::string> p;
        for (int i = 1; i <= 9; ++i) p.push_back("COM" + std::to_string(i));
        return p;
    }();
    Volba v;
    v.popisky = popisky;
    for (uint32_t i = 1; i <= 9; ++i) v.hodnoty.push_back(i);
    v.vybrano = static_cast<int>(tt.cislo_portu) - 1;
    if (v.vybrano < 0 || v.vybrano > 8) v.vybrano = -1;
    return v;
}

// A port from its selection, as a byte (as the settings always took it).
void uloz_port(TTYINFO& tt, const Volba& v) {
    if (v.vybrano >= 0) tt.cislo_portu = static_cast<uint8_t>(v.vybrano + 1);
}

}  // namespace

uint32_t Volba::hodnota(uint32_t jinak) const {
    return vybrano >= 0 && static_cast<size_t>(vybrano) < hodnoty.size() ? hodnoty[static_cast<size_t>(vybrano)] : jinak;
}

Volba napln_volbu(const char* const* popisky, const uint32_t* hodnoty, int pocet, uint32_t aktualni) {
    Volba v;
    for (int i = 0; i < pocet; ++i) {
        v.popisky.emplace_back(popisky[i]);
        v.hodnoty.push_back(hodnoty[i]);
        if (v.vybrano < 0 && hodnoty[i] == aktualni) v.vybrano = i;
    }
    return v;
}

DialogLinky otevri_dialog_linky(const SezeniJadra& s) {
    const TTYINFO& tt = s.tt;
    DialogLinky d;
    d.port = porty(tt);
    d.port.povolena = !tt.pripojeno;
    d.rychlost = napln_volbu(RYCHLOSTI, BaudTable, 11, tt.rychlost);
    d.datove_bity = napln_volbu(DATOVE_BITY, POCTY_BITU, 4, tt.datove_bity);
    uint32_t parity[5], stop[3];
    for (int i = 0; i < 5; ++i) parity[i] = ParityTable[i];
    for (int i = 0; i < 3; ++i) stop[i] = StopBitsTable[i];
    d.parita = napln_volbu(PARITY, parity, 5, tt.parita);
    d.stop_bity = napln_volbu(STOP_BITY, stop, 1, tt.stop_bity);  // only one stop bit is offered
    d.zaskrtnuto = {(tt.rizeni_toku & 1) != 0, (tt.rizeni_toku & 2) != 0, (tt.rizeni_toku & 4) != 0,
                    tt.autowrap != 0, tt.novy_radek != 0, tt.lokalni_echo != 0, false, tt.zobraz_chyby != 0};
    return d;
}

void uloz_dialog_linky(SezeniJadra& s, const DialogLinky& d) {
    TTYINFO& tt = s.tt;
    uloz_port(tt, d.port);
    tt.rychlost = d.rychlost.hodnota(tt.rychlost);
    aktualizuj_asci_promenne(s);
    tt.datove_bity = static_cast<uint8_t>(d.datove_bity.hodnota(tt.datove_bity));
    tt.parita = static_cast<uint8_t>(d.parita.hodnota(tt.parita));
    tt.stop_bity = static_cast<uint8_t>(d.stop_bity.hodnota(tt.stop_bity));
    const auto& z = d.zaskrtnuto;
    tt.rizeni_toku = static_cast<uint8_t>(z[DTR_DSR] * 1 + z[RTS_CTS] * 2 + z[XON_XOFF] * 4);
    tt.autowrap = z[AUTOWRAP];
    tt.novy_radek = z[NOVY_RADEK];
    tt.lokalni_echo = z[LOKALNI_ECHO];
    tt.prijem_notifikaci = 0;  // its box is disabled
    tt.zobraz_chyby = z[ZOBRAZ_CHYBY];
}

DialogPortu otevri_dialog_portu(const SezeniJadra& s) {
    const TTYINFO& tt = s.tt;
    DialogPortu d;
    d.port = porty(tt);
    for (int i = 0; i < 4; ++i) {
        d.rychlost.popisky.emplace_back(RYCHLOSTI[PRVNI_RYCHLOST_PORTU + i]);
        d.rychlost.hodnoty.push_back(BaudTable[PRVNI_RYCHLOST_PORTU + i]);
    }
    // The speed digit '3'..'6' stands for 2400..19200.
    int i = tt.znak_rychlosti - '3';
    d.rychlost.vybrano = i >= 0 && i < 4 ? i : -1;
    return d;
}

void uloz_dialog_portu(SezeniJadra& s, const DialogPortu& d) {
    uloz_port(s.tt, d.port);
    // 2400 doubled once for each step of the selection.
    if (d.rychlost.vybrano >= 0 && d.rychlost.vybrano < 4)
        s.tt.rychlost = BaudTable[PRVNI_RYCHLOST_PORTU] << d.rychlost.vybrano;
    aktualizuj_asci_promenne(s);
}

bool NahledLoga::cerny(int x, int y) const {
    return x >= 0 && x < LOGO_SIRKA && y >= 0 && y < LOGO_VYSKA && body[static_cast<size_t>(y * LOGO_SIRKA + x)];
}

NahledLoga nahled_loga(const std::string& obsah) {
    NahledLoga n;
    RozborLoga r = rozeber_bmp(obsah);
    n.je_bmp = r.je_bmp;
    if (!n.je_bmp) return n;
    // The lines of Glogo.dat: 72 hexadecimal digits and CR LF each, the leftmost dot in
    // the high bit.
    n.body.assign(static_cast<size_t>(LOGO_SIRKA * LOGO_VYSKA), 0);
    const size_t delka_radku = LOGO_RADEK * 2 + 2;
    for (int y = 0; y < LOGO_VYSKA; ++y)
        for (int x = 0; x < LOGO_SIRKA; ++x) {
            char c = r.glogo[static_cast<size_t>(y) * delka_radku + static_cast<size_t>(x / 4)];
            int nibble = c <= '9' ? c - '0' : c - 'A' + 10;
            n.body[static_cast<size_t>(y * LOGO_SIRKA + x)] = (nibble >> (3 - x % 4)) & 1;
        }
    return n;
}
