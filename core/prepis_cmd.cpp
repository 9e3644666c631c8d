#include "core/prepis_cmd.h"

#include <system_error>
#include <vector>

#include "core/chyby.h"
#include "core/sezeni_jadra.h"
#include "core/soubory.h"
#include "core/zpravy.h"

namespace {

// Reads up to the next ',' of the first line: true there; false at a '.' first (a network
// address: the file stays as it is). The end of the line or of the file first is
// err(51, podkod): a digit further on is not the header's, and rewriting it would damage
// an operation line.
bool k_carce(SezeniJadra& s, HSOUBOR f, int32_t podkod) {
    for (;;) {
        if (cti_znak_ze_souboru(s, f) || s.readchar == '\r' || s.readchar == '\n') err(51, podkod);
        if (s.readchar == '.') return false;
        if (s.readchar == ',') return true;
    }
}

void zavri(SezeniJadra& s, HSOUBOR f) {
    if (!zavri_soubor(s, f)) err(30, 4);
}

}  // namespace

void prepis_cislo_portu(SezeniJadra& s, const std::string& jmeno) {
    HSOUBOR f = otevri_soubor(s, jmeno, 'b');
    if (k_carce(s, f, 1)) zapis_znak(static_cast<unsigned char>(s.tt.znak_portu), f);
    zavri(s, f);
}

void prepis_rychlost(SezeniJadra& s, const std::string& jmeno) {
    HSOUBOR f = otevri_soubor(s, jmeno, 'b');
    if (k_carce(s, f, 3)) {
        if (cti_znak_ze_souboru(s, f)) err(51, 5);
        while (s.readchar != ',')
            if (s.readchar == '\r' || s.readchar == '\n' || cti_znak_ze_souboru(s, f)) err(51, 6);
        zapis_znak(static_cast<unsigned char>(s.tt.znak_rychlosti), f);
    }
    zavri(s, f);
}

const char* hlaseni_prepisu(int rezim) {
    switch (rezim) {
        case PREPIS_PORT: return "\rV prikazovych souborech bylo prepsano cislo portu.\r";
        case PREPIS_RYCHLOST: return "\rV prikazovych souborech byla prepsana rychlost.\r";
        default: return "\rPrikazove soubory byly nastaveny na novy port a rychlost.\r";
    }
}

bool prepis_soubory(SezeniJadra& s, int rezim) {
    std::error_code ec;
    std::vector<std::string> soubory = soubory_s_priponou(s, s.tt.pripona_cmd, ec);
    if (ec) err(89, 9);
    if (soubory.empty()) {
        VypisBox(s, "Prikazovy soubor nenalezen.", 48);
        return false;
    }
    for (const std::string& jmeno : soubory) {
        if (s.debug) VypisBlok(s, "Upravuji soubor " + jmeno + ".\r", 0);
        if (rezim & PREPIS_PORT) prepis_cislo_portu(s, jmeno);
        if (rezim & PREPIS_RYCHLOST) prepis_rychlost(s, jmeno);
    }
    return true;
}

bool prepis_i_cmx(SezeniJadra& s, int rezim) {
    prepis_soubory(s, rezim);
    std::string pripona = s.tt.pripona_cmd;
    s.tt.pripona_cmd = "cmx";
    bool nalezeno = prepis_soubory(s, rezim);
    s.tt.pripona_cmd = pripona;
    return nalezeno;
}

int nastav_cislo_v_cmd(SezeniJadra& s, int rezim, int dialog, int hlaseni) {
    int vysledek = 1;
    if (dialog && s.sluzby.dialog_port_a_rychlost) {
        vysledek = s.sluzby.dialog_port_a_rychlost();
        if (!vysledek) return 0;
    }
    if (prepis_soubory(s, rezim) && hlaseni) VypisBlok(s, hlaseni_prepisu(rezim), 0);
    return vysledek;
}
