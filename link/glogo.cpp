#include "link/glogo.h"

#include <string>

#include "core/chyby.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "format/logo.h"
#include "link/vestavene.h"

KonecLoga preved_glogo(Sezeni& s, const std::string& cesta, int argument) {
    HSOUBOR f = otevri_soubor(s, cesta, 'r', 1);
    std::string obsah(LOGO_HLAVICKA + LOGO_DATA, '\0');
    obsah.resize(cti_data_ze_souboru(f, obsah.data(), obsah.size()));
    zavri_soubor(s, f);

    RozborLoga logo = rozeber_bmp(obsah);
    if (!logo.je_bmp) {
        VypisBox(s, "Format souboru neni BMP.", BOX_VYKRICNIK);
        return KonecLoga::NENI_BMP;
    }
    if (logo.pochybny)
        VypisBox(s, "Ve formatu souboru neni vsechno v poradku.\rFormat musi byt: 288 bodu sirka, 130 vyska, "
                 "cernobily\rCo z toho vyleze, to nikdo nevi... ",
                 BOX_VYKRICNIK);
    if (s.rawdebug) {
        std::string pocty;
        for (int n : logo.cerne) pocty += std::to_string(n) + "\t";
        VypisBlok(s, pocty, 0);
    }
    if (logo.poruseni) {
        VypisBox(s, "V obr\xE1zku je p\xF8" "ekro\xE8" "ena povolen\xE1 hustota \xE8" "ern\xFD" "ch bod\xF9.\n"
                 "Sni\x9Ete jejich po\xE8" "et v n\xEC" "kter\xFD" "ch oblastech (\xF8\xE1" "dc\xED" "ch).",
                 BOX_VYKRICNIK);
        if (!s.debug) return KonecLoga::PRILIS_TMAVE;
    }
    HSOUBOR g = otevri_soubor(s, "Glogo.dat", 'w');
    zapis_text(logo.glogo, g);
    if (!zavri_soubor(s, g)) err(30, 4);

    if (VypisBox(s, "Konverze provedena.\rM\xE1m nahr\xE1t logo do pokladny?.", BOX_ANO_NE) != BOX_ANO)
        return KonecLoga::ZAPSANO;
    if (NahrajGlogoRS(s, argument) == 0) {
        VypisBox(s, "Logo je v pokladn\xEC.", BOX_VYKRICNIK);
        return KonecLoga::NAHRANO;
    }
    VypisBox(s, "Nahr\xE1n\xED loga se nepoda\xF8ilo.", BOX_VYKRICNIK);
    return KonecLoga::NENAHRANO;
}

int konvertuj_glogo(Sezeni& s, int argument) {
    std::string cesta = s.sluzby.vyber_bmp ? s.sluzby.vyber_bmp() : std::string();
    if (cesta.empty()) return 1;
    return preved_glogo(s, cesta, argument) == KonecLoga::NENI_BMP ? 1 : 0;
}
