#include "format/prevod.h"

#include "format/fds.h"
#include "format/na_text.h"
#include "format/proudy.h"
#include "format/stav.h"
#include "format/tabulky.h"

int preved_prijata_data() {
    cteny_blok = '0';
    zapomen_vraceny_znak();
    redf = otevri_soubor(WORK01, 'r');
    konvertuj_fds();
    napln_prijate_fdsfile();
    if (filetyp == 1) konvertuj_file();
    else konvertuj_table();
    zavri_cteny(redf);
    return 0;
}
