#include "link/zvlastni.h"

#include "core/chyby.h"
#include "core/globals.h"
#include "core/soubory.h"
#include "format/fds.h"
#include "format/hex.h"
#include "format/proudy.h"
#include "link/cteni.h"
#include "link/odesilani.h"
#include "link/protokol.h"
#include "link/serial.h"

namespace {

// The next byte of the work file, or -1 at its end.
int dalsi(HSOUBOR f) { return cti_znak_ze_souboru(f) ? -1 : readchar; }

bool je_cislice(int c) { return c >= '0' && c <= '9'; }

// One header block after its STX: sequence digit, "/HDR1/", the fields, checksum, CR.
void preved_blok_fds(HSOUBOR f, std::string& vystup) {
    int c = dalsi(f);
    if (!je_cislice(c)) err(46, 2);
    c = dalsi(f);
    if (c < 0) err(46, 3);
    if (c != '/') err(46, 4);
    std::string hlavicka = "/";
    for (;;) {
        c = dalsi(f);
        if (c < 0) err(46, hlavicka.size() == 1 ? 5 : 6);
        hlavicka += static_cast<char>(c);
        if (c == '/') break;
    }
    if (hlavicka.size() != 6) err(63, 1);
    vystup += hlavicka;
    for (int pole = 0; pole < POLI_FDS; ++pole) {
        if (pole > 0) vystup += ',';
        for (int k = 0; k < SIRKY_POLI_FDS[pole]; ++k) {
            c = dalsi(f);
            // The block ends inside the fields: at its end, or at a CR.
            if (c < 0 || c == '\r') err(63, pole + 2 < 19 ? pole + 2 : 19);
            vystup += static_cast<char>(c);
        }
    }
    if (dalsi(f) < 0) err(63, 20);
    if (dalsi(f) < 0) err(63, 21);
    do {
        c = dalsi(f);
        if (c < 0) err(63, 22);
    } while (c != '\r');
    vystup += "\r\n";
}

// Copies `pocet` hexadecimal characters of the work file; a missing or other one is
// err(45, podkod).
void kopiruj_hex(HSOUBOR f, int pocet, int32_t podkod, std::string& vystup) {
    for (int i = 0; i < pocet; ++i) {
        int c = dalsi(f);
        if (c < 0 || !je_hex(static_cast<unsigned char>(c))) err(45, podkod);
        vystup += static_cast<char>(c);
    }
}

// The receive step, then the conversion of work01.tmp into the data file.
void prijmi_a_preved(std::string (*prevod)(HSOUBOR)) {
    cti_data_do_souboru();
    HSOUBOR f = otevri_soubor(WORK01, 'r');
    std::string text = prevod(f);
    zavri_soubor(f);
    zapis_soubor_naraz(tt.datovy_soubor, text);
    uklid_work01();
}

}  // namespace

std::string preved_seznam_fds(HSOUBOR f) {
    std::string vystup;
    for (;;) {
        int c = dalsi(f);
        if (c < 0) return vystup;
        if (c != STX) err(46, 1);
        preved_blok_fds(f, vystup);
    }
}

std::string preved_stav(HSOUBOR f) {
    std::string vystup;
    int c = dalsi(f);
    if (c < 0) err(45, 1);
    if (c != STX) err(45, 2);
    c = dalsi(f);
    if (c < 0) err(45, 3);
    if (c != '0') err(45, 4);
    kopiruj_hex(f, 4, 5, vystup);
    for (int i = 0; i < 18; ++i) {
        vystup += ',';
        kopiruj_hex(f, 1, 6, vystup);
        kopiruj_hex(f, 1, 7, vystup);
    }
    return vystup;
}

void fdsupload() { prijmi_a_preved(preved_seznam_fds); }

void statusinq(int32_t) { prijmi_a_preved(preved_stav); }

void ramdown() {
    if (!kopiruj_soubor(pridej_path(tt.datovy_soubor), pridej_path(WORK02))) err(60, 1);
    posli_data2();
}

void ramup() {
    cti_data_do_souboru();
    if (!kopiruj_soubor(pridej_path(WORK01), pridej_path(tt.datovy_soubor))) err(60, 2);
    uklid_work01();
}

void delej_special() {
    switch (kod_specialni) {
        case '0': fdsupload(); break;
        case '9': statusinq(1); break;
        case '7':
            JenomZavesLinku = 1;
            if (!nokomun) JenomZaves();
            break;
        default: err(51, 14);
    }
}

int stav_po_odeslani() {
    statusinq(1);
    HSOUBOR f = otevri_soubor("sts.dat", 'r');
    // The first four characters as a decimal number, as far as they are digits.
    int hodnota = 0;
    for (int i = 0; i < 4; ++i) {
        int c = dalsi(f);
        if (!je_cislice(c)) break;
        hodnota = hodnota * 10 + (c - '0');
    }
    zavri_soubor(f);
    return hodnota;
}
