#include "format/stav.h"

#include "format/proudy.h"
#include "format/sezeni_formatu.h"

void zavri_soubory_formatu(SezeniFormatu& s) {
    zahod_vystup(s);
    zahod_fds(s);
    zapomen_vraceny_znak(s);
    for (HSOUBOR* f : {&s.redf, &s.writf, &s.dataf, &s.work04f, &s.fdsf}) {
        zavri_soubor(s, *f);
        *f = nullptr;
    }
}

void zapomen_soubory_formatu(SezeniFormatu& s) {
    zahod_vystup(s);
    zahod_fds(s);
    zapomen_vraceny_znak(s);
    s.redf = s.writf = s.dataf = s.work04f = s.fdsf = nullptr;
}

void nuluj_stav_formatu(SezeniFormatu& s) {
    zapomen_soubory_formatu(s);
    s.cteny_blok = '0';
    s.iz = s.b = s.ssindex = s.ppindex = s.pp_delka = 0;
    s.pocet_zaznamu_v_bloku = s.zaznam_v_bloku = 0;
    s.posledni_blok = 0;
    s.nexttyp = 0;
    s.prvniS = 0;
    s.typ_ukonceni = '+';
    s.konecd = 0;
    s.blok[0] = s.ss[0] = s.pp[0] = 0;
}
