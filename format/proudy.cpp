#include "format/proudy.h"

#include "core/chyby.h"
#include "core/globals.h"
#include "core/soubory.h"
#include "format/stav.h"

namespace {

constexpr size_t VYSTUP = 16384;
char vystup[VYSTUP];
size_t vystup_n = 0;
bool fds_ceka = false;  // the received FDS file waits under its temporary name

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
    HSOUBOR f = otevri_soubor(docasne_jmeno(tt.fds_soubor), 'w');
    zapis_text(obsah, f);
    if (!zavri_soubor(f)) err(30, 4);
    fds_ceka = true;
}

void dokonci_datovy_soubor() {
    vystup_zapis();
    HSOUBOR f = writf;
    writf = nullptr;
    if (!zavri_soubor(f)) err(30, 4);
    // (A failed run leaves no FDS file waiting: err() removes the temporary files.)
    if (fds_ceka && soubor_existuje(pridej_path(docasne_jmeno(tt.fds_soubor))))
        prejmenuj_na_misto(tt.fds_soubor);
    fds_ceka = false;
    prejmenuj_na_misto(tt.datovy_soubor);
}

void zapis_soubor_naraz(const std::string& jmeno, const std::string& obsah) {
    if (!zapis_soubor_cely(pridej_path(jmeno), obsah)) err(30, 4);
}
