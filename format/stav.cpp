#include "format/stav.h"

#include "format/proudy.h"

HSOUBOR redf, writf, dataf, work04f, fdsf;
char cteny_blok = '0';
char blok[BLOK_KAPACITA];
size_t iz, b;
uint32_t pocet_zaznamu_v_bloku, zaznam_v_bloku;
int32_t posledni_blok;
char ss[SS_KAPACITA];
size_t ssindex;
char pp[PP_MAX + 4];
size_t ppindex, pp_delka;
char nexttyp;
int32_t prvniS;
char typ_ukonceni = '+';
int32_t konecd;

void zavri_soubory_formatu() {
    zahod_vystup();
    zahod_fds();
    zapomen_vraceny_znak();
    for (HSOUBOR* f : {&redf, &writf, &dataf, &work04f, &fdsf}) {
        zavri_soubor(*f);
        *f = nullptr;
    }
}

void zapomen_soubory_formatu() {
    zahod_vystup();
    zahod_fds();
    zapomen_vraceny_znak();
    redf = writf = dataf = work04f = fdsf = nullptr;
}

void nuluj_stav_formatu() {
    zapomen_soubory_formatu();
    cteny_blok = '0';
    iz = b = ssindex = ppindex = pp_delka = 0;
    pocet_zaznamu_v_bloku = zaznam_v_bloku = 0;
    posledni_blok = 0;
    nexttyp = 0;
    prvniS = 0;
    typ_ukonceni = '+';
    konecd = 0;
    blok[0] = ss[0] = pp[0] = 0;
}
