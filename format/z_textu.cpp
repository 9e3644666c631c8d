#include "format/z_textu.h"

#include "core/chyby.h"
#include "core/globals.h"
#include "format/fds.h"
#include "format/formaty.h"
#include "format/hex.h"
#include "format/polozky.h"
#include "format/proudy.h"
#include "format/stav.h"
#include "format/znaky.h"

namespace {


// ---- register files: the line in pp ----

unsigned char znak_pp() { return ppindex < pp_delka ? static_cast<unsigned char>(pp[ppindex]) : 0; }

void do_ss(char znak) {
    if (ssindex >= SS_KAPACITA - 1) err(66, 3);
    ss[ssindex++] = znak;
}

void bajt_do_ss(uint8_t bajt) {
    do_ss(HEX_CISLICE[bajt >> 4]);
    do_ss(HEX_CISLICE[bajt & 0x0F]);
}

// Copies `pocet` hexadecimal digits of the line to the record, in upper case. Anything
// else would go to the register as garbage: err(59, podkod).
void cislice_z_pp(size_t pocet, int32_t podkod) {
    for (size_t i = 0; i < pocet; ++i, ++ppindex) {
        int h = hex_hodnota[znak_pp()];
        if (h < 0) err(59, podkod);
        do_ss(HEX_CISLICE[h]);
    }
}

// After a field: a comma, unless the field is the last of the record.
void za_polem(int32_t kod, int32_t podkod) {
    if (nexttyp != 'C' && znak_pp() != ',') err(kod, podkod);
    ++ppindex;
}

// ---- register tables: the data file dataf ----

int znak_d() { return cti(dataf); }

unsigned char znak_pole_d() {
    int c = znak_d();
    if (c < 0) err(58, 2);  // the data file ends inside a field
    return static_cast<unsigned char>(c);
}

void do_bloku(char znak) {
    if (b >= BLOK_KAPACITA - 1) err(66, 4);
    blok[b++] = znak;
}

void cislice_z_dat(size_t pocet, int32_t podkod) {
    for (size_t i = 0; i < pocet; ++i) {
        int h = hex_hodnota[znak_pole_d()];
        if (h < 0) err(59, podkod);
        do_bloku(HEX_CISLICE[h]);
    }
}

// After a table field: a comma or CR LF. The last field of the table may be followed by
// anything, the end of the file included.
void za_polem_d(int32_t kod, int32_t p_jiny, int32_t p_cr) {
    int c = znak_d();
    if (nexttyp == 'C' || c == ',') return;
    if (c == '\r') {
        if (znak_d() == '\n') return;
        err(kod, p_cr);
    }
    err(kod, p_jiny);
}

// ---- B items ----

struct Skupina {
    unsigned maska, posun;
};

// The bit groups of the B item at '(' (formatstring[pozice]). A group is a run of bit
// numbers from the highest down, each one less than the one before.
int skupiny_b(int32_t pozice, Skupina* sk, int32_t p_zavorka, int32_t p_prvni, int32_t p_nula,
              int32_t p_jiny) {
    auto f = [](size_t i) { return i < FORMATSTRING_DELKA ? formatstring[i] : 0; };
    auto bit = [](char c) { return c >= '0' && c <= '7'; };
    size_t i = static_cast<size_t>(pozice);
    if (f(i) != '(') err(54, p_zavorka);
    ++i;
    if (!bit(f(i))) err(54, p_prvni);
    int n = 0;
    for (;;) {
        if (n == 8) err(54, p_jiny);
        unsigned posun = static_cast<unsigned>(f(i) - '0'), maska = 1;
        bool od_nuly = posun == 0;
        for (++i; bit(f(i)); ++i) {
            if (posun == 0 || static_cast<unsigned>(f(i) - '0') != posun - 1) err(54, p_jiny);
            --posun;
            maska = maska << 1 | 1;
        }
        sk[n++] = {maska, posun};
        if (f(i) == ')') return n;
        if (f(i) != ',') err(54, p_jiny);
        if (od_nuly) err(54, p_nula);  // a group from bit 0 must be the last
        ++i;
        if (!bit(f(i))) err(54, p_jiny);
    }
}

// The bits of one group taken from its character: the low bits the mask selects, so '0'
// and '1' give the bit values and '0'..'9' those of wider groups, whatever the character.
unsigned hodnota_skupiny(unsigned char znak, const Skupina& s) {
    return (znak & s.maska) << s.posun;
}

}  // namespace

void zpracujLd(int32_t n) {
    cislice_z_pp(2 * static_cast<size_t>(n), 15);
    za_polem(59, 1);
}

void zpracujNd(int32_t n) {
    cislice_z_pp(2 * static_cast<size_t>(n), 16);
    za_polem(59, 2);
}

void zpracujPd(int32_t n) {
    for (int32_t i = 0; i < 2 * n; ++i) do_ss('0');
}

void zpracujSd(int32_t n) {
    unsigned char znamenko = znak_pp();
    ++ppindex;
    cislice_z_pp(2 * static_cast<size_t>(n) - 1, 17);
    do_ss(znamenko == '+' ? '0' : 'D');  // every sign but '+' is negative
    za_polem(59, 3);
}

void zpracujTd(int32_t n) {
    if (znak_pp() != '"') err(59, 4);
    ++ppindex;
    for (int32_t i = 0; i < n; ++i, ++ppindex) {
        if (ppindex >= pp_delka) err(59, 5);
        uint8_t znak = static_cast<uint8_t>(pp[ppindex]);
        bajt_do_ss(konverzeW_C ? wintokasa(znak) : znak);
    }
    if (znak_pp() != '"') err(59, 5);
    ++ppindex;
    za_polem(59, 6);
}

void zpracujBd(int32_t pozice) {
    Skupina sk[8];
    int n = skupiny_b(pozice, sk, 6, 7, 8, 9);
    unsigned bajt = 0;
    for (int i = 0; i < n; ++i) {
        bajt |= hodnota_skupiny(znak_pp(), sk[i]);
        ++ppindex;
        if (i + 1 < n || nexttyp != 'C') {
            if (znak_pp() != ',') err(54, 10);
        }
        ++ppindex;
    }
    bajt_do_ss(static_cast<uint8_t>(bajt));
}

void zpracujfLd(int32_t n) {
    cislice_z_dat(2 * static_cast<size_t>(n), 19);
    za_polem_d(59, 7, 7);
}

void zpracujfNd(int32_t n) {
    cislice_z_dat(2 * static_cast<size_t>(n), 20);
    za_polem_d(59, 9, 8);
}

void zpracujfPd(int32_t n) {
    for (int32_t i = 0; i < 2 * n; ++i) do_bloku('0');
}

void zpracujfSd(int32_t n) {
    unsigned char znamenko = znak_pole_d();
    cislice_z_dat(2 * static_cast<size_t>(n) - 1, 21);
    do_bloku(znamenko == '+' ? '0' : 'D');
    za_polem_d(59, 10, 10);
}

void zpracujfTd(int32_t n) {
    if (znak_pole_d() != '"') err(59, 11);
    for (int32_t i = 0; i < n; ++i) {
        uint8_t znak = znak_pole_d();
        uint8_t bajt = konverzeW_C ? wintokasa(znak) : znak;
        do_bloku(HEX_CISLICE[bajt >> 4]);
        do_bloku(HEX_CISLICE[bajt & 0x0F]);
    }
    if (znak_pole_d() != '"') err(59, 12);
    za_polem_d(59, 13, 14);
}

void zpracujfBd(int32_t pozice) {
    Skupina sk[8];
    int n = skupiny_b(pozice, sk, 11, 12, 13, 14);
    unsigned bajt = 0;
    char puvodni = nexttyp;
    for (int i = 0; i < n; ++i) {
        bajt |= hodnota_skupiny(znak_pole_d(), sk[i]);
        nexttyp = i + 1 < n ? 0 : puvodni;  // only the last group can end the table
        za_polem_d(54, 15, 15);
    }
    nexttyp = puvodni;
    do_bloku(HEX_CISLICE[(bajt >> 4) & 0x0F]);
    do_bloku(HEX_CISLICE[bajt & 0x0F]);
}

int nacti_radek_dat(HSOUBOR f) {
    int c = cti(f);
    if (c < 0) return 0;
    pp_delka = 0;
    while (c != '\n') {
        if (pp_delka == PP_MAX) err(57, 1);
        pp[pp_delka++] = static_cast<char>(c);
        if ((c = cti(f)) < 0) err(58, 1);
    }
    pp[pp_delka] = 0;
    ppindex = 0;
    return 1;
}

size_t preved_radek_na_zaznam() {
    const SeznamPolozek& s = seznam_polozek(19, 33);
    if (s.bajtu > MAX_DELKA_ZAZNAMU) err(66, 3);
    if (static_cast<int32_t>(s.bajtu) != delka_zaznamu) err(56, 2);
    ppindex = 0;
    ssindex = 0;
    for (size_t i = 0; i < s.pocet; ++i) {
        const Polozka& p = s.p[i];
        nexttyp = p.posledni ? 'C' : s.p[i + 1].pismeno;
        switch (p.pismeno) {
            case 'L': zpracujLd(p.sirka); break;
            case 'N': zpracujNd(p.sirka); break;
            case 'P': zpracujPd(p.sirka); break;
            case 'S': zpracujSd(p.sirka); break;
            case 'T': zpracujTd(p.sirka); break;
            case 'B': zpracujBd(p.pozice + 1); break;
        }
    }
    ss[ssindex] = 0;
    return ssindex;
}

int preved_polozku_tabulky(size_t& pozice) {
    Polozka p;
    size_t dalsi = rozeber_polozku(pozice, p, 20, 32);
    if (dalsi == 0) return 1;
    typ_ukonceni = p.ukonceni;
    nexttyp = p.posledni ? 'C' : formatstring[dalsi];
    switch (p.pismeno) {
        case 'L': zpracujfLd(p.sirka); break;
        case 'N': zpracujfNd(p.sirka); break;
        case 'P': zpracujfPd(p.sirka); break;
        case 'S': zpracujfSd(p.sirka); break;
        case 'T': zpracujfTd(p.sirka); break;
        case 'B': zpracujfBd(p.pozice + 1); break;
    }
    pozice = dalsi;
    return 0;
}
