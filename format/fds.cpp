#include "format/fds.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/chyby.h"
#include "format/hex.h"
#include "format/proudy.h"
#include "format/sezeni_formatu.h"
#include "format/stav.h"

namespace {


// Reads one field of the FDS file s.fdsf up to its comma (or CR when `i_cr`); it must be
// exactly `sirka` characters long. The end of the file is err(52, p_prvni) at the first
// character, err(52, p_uvnitr) later. Returns the terminator.
char cti_pole(SezeniFormatu& s, char* cil, size_t sirka, bool i_cr, int32_t p_prvni,
              int32_t p_uvnitr) {
    size_t n = 0;
    bool radek = false;
    for (;;) {
        if (cti_znak_ze_souboru(s, s.fdsf)) err(52, n == 0 ? p_prvni : p_uvnitr);
        char c = static_cast<char>(s.readchar);
        if (c == ',' || (i_cr && c == '\r')) {
            if (n != sirka || radek) err(52, 31);  // a field must have its fixed width
            cil[n] = 0;
            return c;
        }
        if (n == sirka) err(52, 31);
        if (static_cast<unsigned char>(c) < 0x20) radek = true;  // a line end or control character
        cil[n++] = c;
    }
}

int rozeber_fds(SezeniFormatu& s, const std::string& jmeno);

}  // namespace

int konv_fds(SezeniFormatu& s, HSOUBOR f) {
    if (cti(s, f) != STX) err(31, 3);
    int c = cti(s, f);
    if (c < 0) err(31, 18);
    if (c != s.cteny_blok) err(41, 3);
    posun_cteny_blok(s);
    static const char hlavicka[] = "/HDR1/";
    for (int i = 0; i < 6; ++i)
        if (cti(s, f) != hlavicka[i]) err(31, 12 + i);

    // The fields as they come; a work file that ends inside them leaves what was read,
    // which the FDS parser then refuses with its own code.
    std::string radek;
    bool cely = true;
    for (int pole = 0; pole < POLI_FDS && cely; ++pole) {
        for (int k = 0; k < SIRKY_POLI_FDS[pole]; ++k) {
            if ((c = cti(s, f)) < 0) {
                cely = false;
                break;
            }
            radek += static_cast<char>(c);
        }
        if (cely) radek += pole + 1 < POLI_FDS ? "," : "\r\n";
    }
    while (cely && (c = cti(s, f)) >= 0 && c != '\r') {}
    zapis_fds_docasne(s, radek);
    return 0;
}

int konvertuj_fds(SezeniFormatu& s) { return konv_fds(s, s.redf); }

int napln_fdsfile(SezeniFormatu& s) { return rozeber_fds(s, s.tt.fds_soubor); }

int napln_prijate_fdsfile(SezeniFormatu& s) { return rozeber_fds(s, WORK05); }

namespace {

int rozeber_fds(SezeniFormatu& s, const std::string& jmeno) {
    FDSFILE& fdsfile = s.fdsfile;
    s.delka_zaznamu = 0;
    zavri_soubor(s, s.fdsf);
    s.fdsf = nullptr;
    s.fdsf = otevri_soubor(s, jmeno, 'r');
    std::memset(&fdsfile, 0, sizeof fdsfile);

    cti_pole(s, fdsfile.kod_souboru, 2, false, 3, 4);
    if (std::strcmp(fdsfile.kod_souboru, "00") == 0) s.filetyp = 0;
    cti_pole(s, fdsfile.kod_tabulky, 2, false, 30, 5);
    if (std::strcmp(fdsfile.kod_tabulky, "00") == 0) s.filetyp = 1;
    cti_pole(s, fdsfile.kapacita, 4, false, 6, 7);
    cti_pole(s, fdsfile.pole4, 2, false, 8, 9);
    cti_pole(s, fdsfile.pole5, 4, false, 10, 11);
    cti_pole(s, fdsfile.poradi, 2, false, 12, 13);
    cti_pole(s, fdsfile.pole7, 2, false, 14, 15);

    std::string text;
    char konec = cti_pole(s, fdsfile.delky[0], 2, false, 16, 17);
    s.delka_zaznamu += static_cast<int32_t>(preved_na_cislo(fdsfile.delky[0]));
    text += fdsfile.delky[0];
    for (int i = 1; i < 16; ++i) {
        konec = cti_pole(s, fdsfile.delky[i], 2, true, 18, 19);
        s.delka_zaznamu += static_cast<int32_t>(preved_na_cislo(fdsfile.delky[i]));
        text += ',';
        text += fdsfile.delky[i];
    }
    // The group lengths as written: from the eighth field to the end of the line.
    if (konec == ',') {
        text += ',';
        while (!cti_znak_ze_souboru(s, s.fdsf) && s.readchar != '\r') {
            if (text.size() >= sizeof fdsfile.delky_text - 1) err(52, 32);
            text += static_cast<char>(s.readchar);
        }
    }
    std::memcpy(fdsfile.delky_text, text.c_str(), text.size() + 1);

    zavri_soubor(s, s.fdsf);
    s.fdsf = nullptr;
    int kod = std::atoi(fdsfile.kod_souboru);
    s.NeedStatus = (kod == 1 || kod == 11) ? 1 : 0;
    return 0;
}

}  // namespace
