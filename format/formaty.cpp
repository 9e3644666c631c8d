#include "format/formaty.h"

#include <cstring>

#include "core/chyby.h"
#include "format/fds.h"
#include "format/sezeni_formatu.h"

// Each definition: F: with the function code, S: with the byte lengths of groups 0 to 15,
// T: with the items, groups closed by '.', the record ended by 'C'.
#define DEF(f, s, t) "F:" f "\r\nS:" s "\r\nT:" t "\r\n"
#define NULY "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00"
const char formatarea[FORMATAREA_DELKA] =
    DEF("D0", NULY, "L1+N1+N1+N1+N1+.C")
    DEF("11", "07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00",
        "L7+.N1+B(1,0)+.N2+.N4+.T16+....S6+S5+.C")
    DEF("D2", NULY, "6T17;.C")
    DEF("D7", NULY, "L2+N2+N2+N2+.C")
    DEF("01", "01,03,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00",
        "L1+.B(3,2,1,0)+N1+B(2,1,0)+..N4+.T16+....S6+S5+.S6+S5+.C")
    DEF("C9", NULY, "L1+.C")
    DEF("A4", "02,08,00,00,00,00,00,00,00,00,00,00,00,00,00,00", "L2+.T8+.C")
    DEF("41", "01,01,00,00,08,00,00,00,0B,00,00,00,00,00,00,00", "L1+.P1+...T8+....S6+S5+.C")
    DEF("21", "02,00,00,00,00,00,00,00,0B,0B,00,00,00,00,00,00", "L2+........S6+S5+.S6+S5+.C")
    DEF("61", "01,00,00,00,00,00,00,00,0B,00,00,00,00,00,00,00", "L1+........S6+S5+.C")
    DEF("D1", NULY,
        "B(7,6,5,4,3,2,1,0)+B(7,6,5,4,3,2,1,0)+B(7,6,3,2,1,0)+B(2,0)+B(0)+B(7,3)+B(7,5,4,1)+"
        "B(6,5,4,3,2,1,0)+B(1,0)+B(1,0)+B(1,0)+N2+B(0)+N1+B(1,0)+N1+N2+N3+N1+N1+N1+.C")
    DEF("D8", NULY, "L4+N1+B(0)+N2+N2+B(0)+N2+N2+B(0)+N5+N1+N1+N1+N1+N1+.C")
    DEF("C4", NULY, "2S8+.C")
    DEF("C8", NULY, "L2+N2+.C")
    "X \r\n";

// Definitions for data this program adds, searched when the built-in table has none.
// The printed logo: 130 rows of 288 dots, one row of 36 bytes per text line.
const char vlastni_formaty[] =
    DEF("E0", NULY, "130N36;.C")
    "X \r\n";
#undef NULY
#undef DEF

namespace {

constexpr int POCET_SKUPIN = 16;
constexpr size_t MAX_POLOZKA = 30;       // characters of an item before its terminator
constexpr size_t MAX_S_POCTEM = 12;      // a counted item, count and terminator included
constexpr unsigned MAX_POCET = 341;

// The readable part of a table of that length.
size_t mez(size_t delka_oblasti) {
    return delka_oblasti < FORMATAREA_CTENI ? delka_oblasti : FORMATAREA_CTENI;
}

bool vyhovuje(unsigned char znak, char mod) {
    switch (mod) {
        case 'H': return (znak >= '0' && znak <= '9') || (znak >= 'A' && znak <= 'F') ||
                         (znak >= 'a' && znak <= 'f');
        case 'N': return znak >= '0' && znak <= '9';
        case 'T': return testsmyslu(znak) == 0;
        case 'C': return true;
        default: err(71, 1);
    }
}

// Reads one S: entry (two hexadecimal digits and a comma or CR) into `zapis`.
void cti_polozku_s(SezeniFormatu& s, char* zapis, int32_t p1, int32_t p2, int32_t p_oddelovac) {
    zapis[0] = static_cast<char>(cti_znak_M(s, 55, p1, 'H'));
    zapis[1] = static_cast<char>(cti_znak_M(s, 55, p2, 'H'));
    zapis[2] = 0;
    unsigned char c = cti_znak_M(s, 55, p_oddelovac, 'C');
    if (c != ',' && c != '\r') err(55, p_oddelovac);
}

// For file data: compares the S: line with the group lengths of the FDS header.
// Returns false when the definition does not fit; `vybrana` gets the selected groups.
bool porovnej_delky(SezeniFormatu& s, bool* vybrana) {
    const FDSFILE& fdsfile = s.fdsfile;
    char polozka[3];
    cti_polozku_s(s, polozka, 10, 11, 13);
    if (std::strcmp(polozka, fdsfile.delky[0]) != 0) return false;
    vybrana[0] = true;
    for (int i = 1; i < POCET_SKUPIN; ++i) {
        cti_polozku_s(s, polozka, 14, 15, 17);
        if (std::strcmp(fdsfile.delky[i], "00") == 0) {
            vybrana[i] = false;
        } else {
            if (std::strcmp(polozka, fdsfile.delky[i]) != 0) return false;
            vybrana[i] = true;
        }
    }
    return true;
}

// The items of the T: line, group by group, into formatstring; for file data only the
// groups the FDS header selects.
void rozvin_polozky(SezeniFormatu& s, const bool* vybrana) {
    char* formatstring = s.formatstring;
    size_t delka = 0;
    int skupina = 0;
    unsigned char c = s.readchar;
    for (;;) {
        if (c == 'C') break;
        if (skupina >= POCET_SKUPIN) err(55, 34);  // a 17th group has no length entry
        while (c != '.') {
            if (testsmyslu(c)) err(55, 24);
            char polozka[MAX_POLOZKA + 2];
            size_t n = 0;
            polozka[n++] = static_cast<char>(c);
            while (c != '+' && c != ';') {
                c = cti_znak_M(s, 55, 24, 'T');
                if (c != '+' && c != ';' && n >= MAX_POLOZKA) err(55, 23);
                polozka[n++] = static_cast<char>(c);
            }
            size_t cislic = 0;
            unsigned pocet = 0;
            while (cislic < n && polozka[cislic] >= '0' && polozka[cislic] <= '9') {
                if (cislic == 3) err(55, 25);
                pocet = pocet * 10 + static_cast<unsigned>(polozka[cislic] - '0');
                ++cislic;
            }
            if (pocet > MAX_POCET) err(55, 26);
            if (cislic > 0 && n > MAX_S_POCTEM) err(55, 27);
            if (n - cislic < 2) err(55, 36);  // nothing but a terminator
            if (pocet == 0) pocet = 1;
            if (vybrana == nullptr || vybrana[skupina]) {
                size_t kus = n - cislic;
                if (delka + kus * pocet + 2 > FORMATSTRING_DELKA) err(55, 35);
                for (unsigned k = 0; k < pocet; ++k) {
                    std::memcpy(formatstring + delka, polozka + cislic, kus);
                    delka += kus;
                }
            }
            c = cti_znak_M(s, 55, 28, 'C');
            if (c == 'C' || c == '\r' || c == '\n') err(55, 28);  // group not closed by '.'
        }
        c = cti_znak_M(s, 55, 29, 'C');
        ++skupina;
    }
    formatstring[delka++] = 'C';
    formatstring[delka] = 0;
}

}  // namespace

int testsmyslu(unsigned char znak) {
    switch (znak) {
        case '(': case ')': case '+': case ',': case ';':
        case 'B': case 'L': case 'N': case 'P': case 'S': case 'T':
            return 0;
        default:
            return (znak >= '0' && znak <= '9') ? 0 : 1;
    }
}

void nastav_formatarea(SezeniFormatu& s, const char* text, size_t delka) {
    s.prvni_oblast = text ? text : formatarea;
    s.delka_prvni = text ? delka : FORMATAREA_DELKA;
}

unsigned char cti_znak_M(SezeniFormatu& s, int32_t kod, int32_t podkod, char mod) {
    if (mod != 'H' && mod != 'N' && mod != 'T' && mod != 'C') err(71, 1);
    if (s.kde >= mez(s.delka_oblasti)) err(kod, podkod);
    s.readchar = static_cast<unsigned char>(s.oblast[s.kde++]);
    if (!vyhovuje(s.readchar, mod)) err(kod, podkod);
    return s.readchar;
}

int dalsi_radek(SezeniFormatu& s) {
    size_t konec = mez(s.delka_oblasti);
    size_t& kde = s.kde;
    if (kde == 0 || s.oblast[kde - 1] != '\n') {
        while (kde < konec && s.oblast[kde] != '\n') ++kde;
        ++kde;  // past the LF
    }
    if (kde >= konec) return 1;
    s.readchar = static_cast<unsigned char>(s.oblast[kde++]);
    return 0;
}

namespace {

// Searches the table in s.oblast; false when it holds no fitting definition.
bool hledej(SezeniFormatu& s) {
    const FDSFILE& fdsfile = s.fdsfile;
    char* filenumber = s.filenumber;
    s.kde = 0;
    if (mez(s.delka_oblasti) == 0) err(55, 1);
    s.readchar = static_cast<unsigned char>(s.oblast[s.kde++]);
    for (;;) {
        switch (s.readchar) {
            case '\r': case '/': case 'S': case 'T':
                if (dalsi_radek(s)) return false;
                continue;
            case 'X':
                return false;
            case 'F':
                break;
            default:
                err(55, 31);
        }
        if (cti_znak_M(s, 55, 3, 'C') != ':') err(55, 3);
        filenumber[0] = static_cast<char>(cti_znak_M(s, 55, 4, 'H'));
        filenumber[1] = static_cast<char>(cti_znak_M(s, 55, 5, 'H'));
        filenumber[2] = 0;
        if (dalsi_radek(s)) err(55, 6);
        const char* kod = s.filetyp ? fdsfile.kod_souboru : fdsfile.kod_tabulky;
        if (std::strcmp(filenumber, kod) != 0) continue;  // this line (S:) is skipped next

        if (s.readchar != 'S') err(55, 7);
        if (cti_znak_M(s, 55, 9, 'C') != ':') err(55, 9);
        bool vybrana[POCET_SKUPIN] = {};
        if (s.filetyp && !porovnej_delky(s, vybrana)) {
            if (dalsi_radek(s)) return false;
            continue;
        }

        if (dalsi_radek(s)) err(55, 18);
        if (s.readchar != 'T') err(55, 19);
        if (cti_znak_M(s, 55, 21, 'C') != ':') err(55, 21);
        cti_znak_M(s, 55, 22, 'T');
        rozvin_polozky(s, s.filetyp ? vybrana : nullptr);
        if (dalsi_radek(s)) err(55, 30);
        return true;
    }
}

}  // namespace

int najdi_format(SezeniFormatu& s) {
    s.formatstring[0] = 0;
    ++s.verze_formatu;
    s.oblast = s.prvni_oblast;
    s.delka_oblasti = s.delka_prvni;
    if (hledej(s)) return 0;
    s.oblast = vlastni_formaty;
    s.delka_oblasti = sizeof vlastni_formaty - 1;
    if (hledej(s)) return 0;
    err(56, 1);
}
