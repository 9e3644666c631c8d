#include "format/proudy.h"

#include "core/chyby.h"
#include "core/globals.h"
#include "core/soubory.h"
#include "format/stav.h"

namespace {

constexpr size_t VYSTUP = 16384;
char vystup[VYSTUP];
size_t vystup_n = 0;
bool fds_ceka = false;  // a received FDS text waits for its data file
std::string fds_text;

void prejmenuj_na_misto(const std::string& jmeno) {
    if (!presun_soubor(pridej_path(docasne_jmeno(jmeno)), pridej_path(jmeno))) err(61, 3);
}

}  // namespace

Cteni cteni;

int cti_dalsi_kus(HSOUBOR f) {
    cteni.f = f;
    cteni.pozice = 0;
    cteni.delka = f ? cti_data_ze_souboru(f, cteni.data, sizeof cteni.data) : 0;
    if (cteni.delka == 0) return -1;
    return static_cast<unsigned char>(cteni.data[cteni.pozice++]);
}

void vrat_znak(int znak, HSOUBOR f) {
    if (znak >= 0 && cteni.f == f && cteni.pozice > 0) --cteni.pozice;
}

void zapomen_vraceny_znak() {
    cteni.f = nullptr;
    cteni.pozice = cteni.delka = 0;
}

void zavri_cteny(HSOUBOR& f) {
    if (cteni.f == f) zapomen_vraceny_znak();
    zavri_soubor(f);
    f = nullptr;
}

void vystup_zapis() {
    if (vystup_n == 0) return;
    zapis_text(std::string(vystup, vystup_n), writf);
    vystup_n = 0;
}

void zahod_vystup() { vystup_n = 0; }

void vystup_znak(char znak) {
    if (vystup_n == VYSTUP) vystup_zapis();
    vystup[vystup_n++] = znak;
}

void vystup_text(const char* text, size_t delka) {
    if (vystup_n + delka > VYSTUP) vystup_zapis();
    if (delka > VYSTUP) {
        zapis_text(std::string(text, delka), writf);
        return;
    }
    for (size_t i = 0; i < delka; ++i) vystup[vystup_n + i] = text[i];
    vystup_n += delka;
}

void otevri_datovy_soubor() {
    zahod_vystup();
    writf = otevri_soubor(docasne_jmeno(tt.datovy_soubor), 'w');
}

void zapis_fds_docasne(const std::string& obsah) {
    HSOUBOR f = otevri_soubor(WORK05, 'w');
    zapis_text(obsah, f);
    if (!zavri_soubor(f)) err(30, 4);
    fds_text = obsah;
    fds_ceka = true;
}

void zahod_fds() { fds_ceka = false; }

// The pair rule of uklid_paru (core/soubory.h): X.fds.part appears only beside a complete
// X.dat.part and is renamed after it. A run killed before the data rename leaves the old
// pair (its temporary files are removed at the next start); killed between the renames,
// it leaves the new X.dat with X.fds.part, which the next run puts in place.
void dokonci_datovy_soubor() {
    vystup_zapis();
    HSOUBOR f = writf;
    writf = nullptr;
    if (!zavri_soubor(f)) err(30, 4);
    const bool s_fds = fds_ceka;
    fds_ceka = false;
    if (s_fds && !zapis_docasny(pridej_path(tt.fds_soubor), fds_text)) err(30, 4);
    prejmenuj_na_misto(tt.datovy_soubor);
    if (s_fds) prejmenuj_na_misto(tt.fds_soubor);
}

void zapis_soubor_naraz(const std::string& jmeno, const std::string& obsah) {
    if (!zapis_soubor_cely(pridej_path(jmeno), obsah)) err(30, 4);
}
