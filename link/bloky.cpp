#include "link/bloky.h"

#include <cstdio>
#include <string>

#include "core/chyby.h"
#include "core/soubory.h"
#include "format/fds.h"
#include "format/formaty.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/stav.h"
#include "format/z_textu.h"
#include "link/protokol.h"

namespace {

constexpr size_t MAX_FDS_V_BLOKU = 75;
constexpr size_t MAX_RADEK_BLOKU = 988;   // characters before the CR, STX included
constexpr size_t HLAVICKA_TABULKY = 12;   // STX, sequence, offset, count, flags
constexpr uint32_t MAX_TABULKA = 0xFFFF;  // the offset field has four digits

// The sequence character after `znak`: "1" .. "9", then "0".
char poradi_po(char znak) { return znak == '9' ? '0' : static_cast<char>(znak + 1); }

// Appends the two checksum characters of everything after the STX, and the CR.
void uzavri_ramec(Sezeni& s, std::string& ramec) {
    ramec += kontrolni_znaky(s, ramec.substr(1));
    ramec += '\r';
}

void otevri_soubory(Sezeni& s) {
    zapomen_vraceny_znak(s);
    s.dataf = otevri_soubor(s, s.tt.datovy_soubor, 'r');
    s.work02f = otevri_soubor(s, WORK02, 'w');
    preved_fds_na_prvni_blok(s);
}

void zavri_soubory(Sezeni& s) {
    zavri_cteny(s, s.dataf);
    HSOUBOR f = s.work02f;
    s.work02f = nullptr;
    if (!zavri_soubor(s, f)) err(30, 4);
}

// Walks the table layout the way the blocks will be built (every item gives exactly
// twice its width in characters) and refuses one whose blocks could not be sent.
void zkontroluj_tabulku(Sezeni& s) {
    size_t delka = HLAVICKA_TABULKY;
    uint32_t bajtu = 0;
    size_t pozice = 0;
    Polozka p;
    while (size_t dalsi = rozeber_polozku(s, pozice, p, 20, 32)) {
        delka += 2u * p.sirka;
        bajtu += p.sirka;
        if (delka + 2 > MAX_RADEK_BLOKU || bajtu > MAX_TABULKA) err(66, 5);
        if (delka > MEZ_BLOKU_TABULKY) delka = HLAVICKA_TABULKY;
        pozice = dalsi;
    }
}

}  // namespace

void preved_fds_na_prvni_blok(Sezeni& s) {
    HSOUBOR fds = otevri_soubor(s, s.tt.fds_soubor, 'r');
    std::string ramec = "\x02" "1/HDR1/";
    size_t zkopirovano = 0;
    for (;;) {
        // err() closes every open file, the FDS file too.
        if (cti_znak_ze_souboru(s, fds)) err(52, 1);
        if (s.readchar == '\r') break;
        if (s.readchar == ',') continue;
        if (++zkopirovano > MAX_FDS_V_BLOKU) err(52, 2);
        ramec += static_cast<char>(s.readchar);
    }
    zavri_soubor(s, fds);
    uzavri_ramec(s, ramec);
    zapis_text(ramec, s.work02f);
}

void priprav_data_file(Sezeni& s) {
    najdi_format(s);
    if (s.delka_zaznamu <= 0 || static_cast<uint32_t>(s.delka_zaznamu) > MAX_DELKA_ZAZNAMU) err(66, 3);
    s.pocet_zaznamu_v_bloku = ZNAKU_ZAZNAMU_V_BLOKU / (2 * static_cast<uint32_t>(s.delka_zaznamu));
    otevri_soubory(s);

    std::string ramec;
    ramec.reserve(MAX_RADEK_BLOKU + 4);
    char poradi = '2';
    bool konec = false;
    while (!konec) {
        ramec.assign("\x02");
        ramec += poradi;
        ramec += "00000000";  // record count and flags, filled in below
        uint32_t zaznamu = 0;
        while (zaznamu < s.pocet_zaznamu_v_bloku) {
            if (!nacti_radek_dat(s, s.dataf)) {
                konec = true;
                break;
            }
            size_t delka = preved_radek_na_zaznam(s);
            ramec.append(s.ss, delka);
            ++zaznamu;
        }
        if (!konec) {
            // A full block: it is the last one when no data follows.
            int znak = cti(s, s.dataf);
            if (znak < 0) konec = true;
            else vrat_znak(s, znak, s.dataf);
        }
        if (zaznamu == 0) break;  // an empty data file: the header block alone
        char hlavicka[16];
        std::snprintf(hlavicka, sizeof hlavicka, "%06X0%c", zaznamu, konec ? '1' : '0');
        ramec.replace(2, 8, hlavicka);
        uzavri_ramec(s, ramec);
        zapis_text(ramec, s.work02f);
        poradi = poradi_po(poradi);
    }
    zavri_soubory(s);
}

void priprav_data_table(Sezeni& s) {
    najdi_format(s);
    zkontroluj_tabulku(s);
    otevri_soubory(s);

    size_t pozice = 0;
    uint32_t offset = 0;
    char poradi = '2';
    for (;;) {
        s.b = HLAVICKA_TABULKY;
        bool konec = false;
        while (s.b <= MEZ_BLOKU_TABULKY) {
            if (preved_polozku_tabulky(s, pozice)) {
                konec = true;
                break;
            }
        }
        uint32_t bajtu = static_cast<uint32_t>((s.b - HLAVICKA_TABULKY) / 2);
        char hlavicka[HLAVICKA_TABULKY + 1];
        std::snprintf(hlavicka, sizeof hlavicka, "\x02%c%04X%04X0%c", poradi, offset, bajtu,
                      konec ? '1' : '0');
        std::string ramec(hlavicka, HLAVICKA_TABULKY);
        ramec.append(s.blok + HLAVICKA_TABULKY, s.b - HLAVICKA_TABULKY);
        uzavri_ramec(s, ramec);
        zapis_text(ramec, s.work02f);
        offset += bajtu;
        if (konec) break;
        poradi = poradi_po(poradi);
    }
    zavri_soubory(s);
}
