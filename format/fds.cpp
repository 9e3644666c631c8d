#include "format/fds.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/chyby.h"
#include "core/globals.h"
#include "format/hex.h"
#include "format/proudy.h"
#include "format/stav.h"

FDSFILE fdsfile;
int32_t filetyp = 1;
int32_t delka_zaznamu;

namespace {

// A character that may stand in a field of the header: printable, not a comma.
bool znak_pole(int c) { return c >= 0x20 && c < 0x7F && c != ','; }

// Reads one field of the FDS file up to its comma (or CR when `i_cr`); it must be exactly
// `sirka` characters long. The end of the file is err(52, p_prvni) at the first character,
// err(52, p_uvnitr) later. Returns the terminator.
char cti_pole(char* cil, size_t sirka, bool i_cr, int32_t p_prvni, int32_t p_uvnitr) {
    size_t n = 0;
    bool radek = false;
    for (;;) {
        if (cti_znak_ze_souboru(fdsf)) err(52, n == 0 ? p_prvni : p_uvnitr);
        char c = static_cast<char>(readchar);
        if (c == ',' || (i_cr && c == '\r')) {
            if (n != sirka || radek) err(52, 31);  // a field must have its fixed width
            cil[n] = 0;
            return c;
        }
        if (n == sirka) err(52, 31);
        if (c == '\r' || c == '\n') radek = true;
        cil[n++] = c;
    }
}

}  // namespace

int konv_fds(HSOUBOR f) {
    if (cti(f) != STX) err(31, 3);
    int c = cti(f);
    if (c < 0) err(31, 18);
    if (c != cteny_blok) err(41, 3);
    posun_cteny_blok();
    static const char hlavicka[] = "/HDR1/";
    for (int i = 0; i < 6; ++i)
        if (cti(f) != hlavicka[i]) err(31, 12 + i);

    std::string radek;
    for (int pole = 0; pole < POLI_FDS; ++pole) {
        for (int k = 0; k < SIRKY_POLI_FDS[pole]; ++k) {
            c = cti(f);
            if (c < 0) err(31, 18);        // the block ends inside the header
            if (!znak_pole(c)) err(31, 19);  // CR, comma or control character in a field
            radek += static_cast<char>(c);
        }
        radek += pole + 1 < POLI_FDS ? "," : "\r\n";
    }
    while ((c = cti(f)) >= 0 && c != '\r') {}
    zapis_soubor_naraz(tt.fds_soubor, radek);
    return 0;
}

int konvertuj_fds() { return konv_fds(redf); }

int napln_fdsfile() {
    delka_zaznamu = 0;
    zavri_soubor(fdsf);
    fdsf = nullptr;
    fdsf = otevri_soubor(tt.fds_soubor, 'r');
    std::memset(&fdsfile, 0, sizeof fdsfile);

    cti_pole(fdsfile.kod_souboru, 2, false, 3, 4);
    if (std::strcmp(fdsfile.kod_souboru, "00") == 0) filetyp = 0;
    cti_pole(fdsfile.kod_tabulky, 2, false, 30, 5);
    if (std::strcmp(fdsfile.kod_tabulky, "00") == 0) filetyp = 1;
    cti_pole(fdsfile.kapacita, 4, false, 6, 7);
    cti_pole(fdsfile.pole4, 2, false, 8, 9);
    cti_pole(fdsfile.pole5, 4, false, 10, 11);
    cti_pole(fdsfile.poradi, 2, false, 12, 13);
    cti_pole(fdsfile.pole7, 2, false, 14, 15);

    std::string text;
    char konec = cti_pole(fdsfile.delky[0], 2, false, 16, 17);
    delka_zaznamu += static_cast<int32_t>(preved_na_cislo(fdsfile.delky[0]));
    text += fdsfile.delky[0];
    for (int i = 1; i < 16; ++i) {
        konec = cti_pole(fdsfile.delky[i], 2, true, 18, 19);
        delka_zaznamu += static_cast<int32_t>(preved_na_cislo(fdsfile.delky[i]));
        text += ',';
        text += fdsfile.delky[i];
    }
    // The group lengths as written: from the eighth field to the end of the line.
    if (konec == ',') {
        text += ',';
        while (!cti_znak_ze_souboru(fdsf) && readchar != '\r') {
            if (text.size() >= sizeof fdsfile.delky_text - 1) err(52, 32);
            text += static_cast<char>(readchar);
        }
    }
    std::memcpy(fdsfile.delky_text, text.c_str(), text.size() + 1);

    zavri_soubor(fdsf);
    fdsf = nullptr;
    int kod = std::atoi(fdsfile.kod_souboru);
    NeedStatus = (kod == 1 || kod == 11) ? 1 : 0;
    return 0;
}
