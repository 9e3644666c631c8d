#include "core/prepis_cmd.h"

#include <system_error>
#include <vector>

#include "core/chyby.h"
#include "core/globals.h"
#include "core/soubory.h"
#include "core/zpravy.h"

std::function<int()> dialog_port_a_rychlost;

namespace {

// Reads up to the next ',' of the first line: true there; false at a '.' first (a network
// address: the file stays as it is). The end of the line or of the file first is
// err(51, podkod): a digit further on is not the header's, and rewriting it would damage
// an operation line.
bool k_carce(HSOUBOR f, int32_t podkod) {
    for (;;) {
        if (cti_znak_ze_souboru(f) || readchar == '\r' || readchar == '\n') err(51, podkod);
        if (readchar == '.') return false;
        if (readchar == ',') return true;
    }
}

void zavri(HSOUBOR f) {
    if (!zavri_soubor(f)) err(30, 4);
}

}  // namespace

void prepis_cislo_portu(const std::string& jmeno) {
    HSOUBOR f = otevri_soubor(jmeno, 'b');
    if (k_carce(f, 1)) zapis_znak(static_cast<unsigned char>(tt.znak_portu), f);
    zavri(f);
}

void prepis_rychlost(const std::string& jmeno) {
    HSOUBOR f = otevri_soubor(jmeno, 'b');
    if (k_carce(f, 3)) {
        if (cti_znak_ze_souboru(f)) err(51, 5);
        while (readchar != ',')
            if (readchar == '\r' || readchar == '\n' || cti_znak_ze_souboru(f)) err(51, 6);
        zapis_znak(static_cast<unsigned char>(tt.znak_rychlosti), f);
    }
    zavri(f);
}

const char* hlaseni_prepisu(int rezim) {
    switch (rezim) {
        case PREPIS_PORT: return "\rV prikazovych souborech bylo prepsano cislo portu.\r";
        case PREPIS_RYCHLOST: return "\rV prikazovych souborech byla prepsana rychlost.\r";
        default: return "\rPrikazove soubory byly nastaveny na novy port a rychlost.\r";
    }
}

bool prepis_soubory(int rezim) {
    std::error_code ec;
    std::vector<std::string> soubory = soubory_s_priponou(tt.pripona_cmd, ec);
    if (ec) err(89, 9);
    if (soubory.empty()) {
        VypisBox("Prikazovy soubor nenalezen.", 48);
        return false;
    }
    for (const std::string& jmeno : soubory) {
        if (debug) VypisBlok("Upravuji soubor " + jmeno + ".\r", 0);
        if (rezim & PREPIS_PORT) prepis_cislo_portu(jmeno);
        if (rezim & PREPIS_RYCHLOST) prepis_rychlost(jmeno);
    }
    return true;
}

bool prepis_i_cmx(int rezim) {
    prepis_soubory(rezim);
    std::string pripona = tt.pripona_cmd;
    tt.pripona_cmd = "cmx";
    bool nalezeno = prepis_soubory(rezim);
    tt.pripona_cmd = pripona;
    return nalezeno;
}

int nastav_cislo_v_cmd(int rezim, int dialog, int hlaseni) {
    int vysledek = 1;
    if (dialog && dialog_port_a_rychlost) {
        vysledek = dialog_port_a_rychlost();
        if (!vysledek) return 0;
    }
    if (prepis_soubory(rezim) && hlaseni) VypisBlok(hlaseni_prepisu(rezim), 0);
    return vysledek;
}
