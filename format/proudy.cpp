#include "format/proudy.h"

#include "core/chyby.h"
#include "core/soubory.h"
#include "format/sezeni_formatu.h"
#include "format/stav.h"

namespace {

void prejmenuj_na_misto(SezeniFormatu& s, const std::string& jmeno) {
    if (!presun_soubor(pridej_path(s, docasne_jmeno(jmeno)), pridej_path(s, jmeno))) err(61, 3);
}

}  // namespace

int cti_dalsi_kus(SezeniFormatu& s, HSOUBOR f) {
    Cteni& c = s.cteni;
    c.f = f;
    c.pozice = 0;
    c.delka = f ? cti_data_ze_souboru(f, c.data, sizeof c.data) : 0;
    if (c.delka == 0) return -1;
    return static_cast<unsigned char>(c.data[c.pozice++]);
}

void vrat_znak(SezeniFormatu& s, int znak, HSOUBOR f) {
    if (znak >= 0 && s.cteni.f == f && s.cteni.pozice > 0) --s.cteni.pozice;
}

void zapomen_vraceny_znak(SezeniFormatu& s) {
    s.cteni.f = nullptr;
    s.cteni.pozice = s.cteni.delka = 0;
}

void zavri_cteny(SezeniFormatu& s, HSOUBOR& f) {
    if (s.cteni.f == f) zapomen_vraceny_znak(s);
    zavri_soubor(s, f);
    f = nullptr;
}

void vystup_zapis(SezeniFormatu& s) {
    if (s.vystup_n == 0) return;
    zapis_text(std::string(s.vystup, s.vystup_n), s.writf);
    s.vystup_n = 0;
}

void zahod_vystup(SezeniFormatu& s) { s.vystup_n = 0; }

void vystup_znak(SezeniFormatu& s, char znak) {
    if (s.vystup_n == VYSTUP_KAPACITA) vystup_zapis(s);
    s.vystup[s.vystup_n++] = znak;
}

void vystup_text(SezeniFormatu& s, const char* text, size_t delka) {
    if (s.vystup_n + delka > VYSTUP_KAPACITA) vystup_zapis(s);
    if (delka > VYSTUP_KAPACITA) {
        zapis_text(std::string(text, delka), s.writf);
        return;
    }
    for (size_t i = 0; i < delka; ++i) s.vystup[s.vystup_n + i] = text[i];
    s.vystup_n += delka;
}

void otevri_datovy_soubor(SezeniFormatu& s) {
    zahod_vystup(s);
    s.writf = otevri_soubor(s, docasne_jmeno(s.tt.datovy_soubor), 'w');
}

void zapis_fds_docasne(SezeniFormatu& s, const std::string& obsah) {
    HSOUBOR f = otevri_soubor(s, WORK05, 'w');
    zapis_text(obsah, f);
    if (!zavri_soubor(s, f)) err(30, 4);
    s.fds_text = obsah;
    s.fds_ceka = true;
}

void zahod_fds(SezeniFormatu& s) { s.fds_ceka = false; }

// The pair rule of uklid_paru (core/soubory.h): X.fds.part appears only beside a complete
// X.dat.part and is renamed after it. A run killed before the data rename leaves the old
// pair (its temporary files are removed at the next start); killed between the renames,
// it leaves the new X.dat with X.fds.part, which the next run puts in place.
void dokonci_datovy_soubor(SezeniFormatu& s) {
    vystup_zapis(s);
    HSOUBOR f = s.writf;
    s.writf = nullptr;
    if (!zavri_soubor(s, f)) err(30, 4);
    const bool s_fds = s.fds_ceka;
    s.fds_ceka = false;
    if (s_fds && !zapis_docasny(pridej_path(s, s.tt.fds_soubor), s.fds_text)) err(30, 4);
    prejmenuj_na_misto(s, s.tt.datovy_soubor);
    if (s_fds) prejmenuj_na_misto(s, s.tt.fds_soubor);
}

void zapis_soubor_naraz(SezeniFormatu& s, const std::string& jmeno, const std::string& obsah) {
    if (!zapis_soubor_cely(pridej_path(s, jmeno), obsah)) err(30, 4);
}
