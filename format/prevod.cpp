#include "format/prevod.h"

#include "format/fds.h"
#include "format/na_text.h"
#include "format/proudy.h"
#include "format/sezeni_formatu.h"
#include "format/stav.h"
#include "format/tabulky.h"

int preved_prijata_data(SezeniFormatu& s) {
    s.cteny_blok = '0';
    zapomen_vraceny_znak(s);
    s.redf = otevri_soubor(s, WORK01, 'r');
    konvertuj_fds(s);
    napln_prijate_fdsfile(s);
    if (s.filetyp == 1) konvertuj_file(s);
    else konvertuj_table(s);
    zavri_cteny(s, s.redf);
    return 0;
}
