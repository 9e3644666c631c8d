#include "core/chyby.h"

#include <cstdio>

#include "core/log.h"
#include "core/prikazovy_soubor.h"
#include "core/sezeni_jadra.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

// Texts of the error codes 0..113, trailing blanks included (Windows-1250).
const char errmsg[POCET_CHYB][48] = {
    /*   0 */ "",
    /*   1 */ "",
    /*   2 */ "",
    /*   3 */ "",
    /*   4 */ "",
    /*   5 */ "Enquiry send error",
    /*   6 */ "Send packet error ",
    /*   7 */ "Send EOT error    ",
    /*   8 */ "Receive text error",
    /*   9 */ "Send byte error   ",
    /*  10 */ "Timeout pri prijmu znaku",
    /*  11 */ "Timeout           ",
    /*  12 */ "Neocekavana data na COMu",
    /*  13 */ "",
    /*  14 */ "",
    /*  15 */ "",
    /*  16 */ "",
    /*  17 */ "",
    /*  18 */ "",
    /*  19 */ "",
    /*  20 */ "Received character is not ACK",
    /*  21 */ "Received character is not ENQ",
    /*  22 */ "",
    /*  23 */ "Interni chyba programu",
    /*  24 */ "",
    /*  25 */ "Pozadovany znak neni HEXA",
    /*  26 */ "Chyba pri zapisu do souboru",
    /*  27 */ "",
    /*  28 */ "",
    /*  29 */ "Chyba souboru ini",
    /*  30 */ "Chyba otevreni souboru",
    /*  31 */ "Obecna chyba cteni dat ze souboru",
    /*  32 */ "Velikost souboru je nulova",
    /*  33 */ "Chyba formatu prijimanych dat ",
    /*  34 */ "Chyba dat v souboru",
    /*  35 */ "Chyba dat v souboru",
    /*  36 */ "",
    /*  37 */ "",
    /*  38 */ "Pokladna se nehlasi",
    /*  39 */ "",
    /*  40 */ "Check sum error",
    /*  41 */ "Chyba posloupnosti prijimanych dat",
    /*  42 */ "Chyba pri odesilani bloku dat",
    /*  43 */ "Neni co odeslat z pracovniho souboru",
    /*  44 */ "Chyba formatu pracovniho souboru",
    /*  45 */ "Chyba formatu souboru STATUS ",
    /*  46 */ "Chyba formatu dat v prac. souboru pro fds.dat",
    /*  47 */ "Jina chyba pri prijmu znaku ",
    /*  48 */ "Error I/O pending",
    /*  49 */ "",
    /*  50 */ "Chyba prikazoveho souborku",
    /*  51 */ "Chyba obsahu prikazoveho souborku",
    /*  52 */ "Chyba obsahu fds souboru",
    /*  53 */ "Chyba prikazoveho paketu CMD souboru",
    /*  54 */ "Neocekavany znak v datech",
    /*  55 */ "Chyba obsahu formatoveho souboru",
    /*  56 */ "Nenalezen vhodny format",
    /*  57 */ "Prilis dlouhy radek v datovem souboru",
    /*  58 */ "Datovy soubor konci uvnitr radku",
    /*  59 */ "Chyba obsahu datoveho souboru",
    /*  60 */ "Chyba pri kopirovani souboru",
    /*  61 */ "Chyba pri prejmenovani souboru",
    /*  62 */ "Chyba formatu dat, znak neni ASCII",
    /*  63 */ "Chyba formatu dat, neni HDR",
    /*  64 */ "Jina chyba, treba meze poli pri vypoctu",
    /*  65 */ "Chyba pri ruseni souboru",
    /*  66 */ "Preteceni velikosti souboru nebo dat",
    /*  67 */ "",
    /*  68 */ "",
    /*  69 */ "",
    /*  70 */ "Tohle cmd neumim zatim zpracovat",
    /*  71 */ "Chyba parametru funkce",
    /*  72 */ "Failed to create event for thread!",
    /*  73 */ "Chyba pri alokaci pameti.",
    /*  74 */ "Chyba v souboru el. zurnalu",
    /*  75 */ "",
    /*  76 */ "Nenalezen znak v konverzni tabulce",
    /*  77 */ "Chyba v souboru transakci",
    /*  78 */ "",
    /*  79 */ "",
    /*  80 */ "",
    /*  81 */ "",
    /*  82 */ "",
    /*  83 */ "",
    /*  84 */ "",
    /*  85 */ "",
    /*  86 */ "",
    /*  87 */ "",
    /*  88 */ "",
    /*  89 */ "Chyba pri prepisu cmd souboru",
    /*  90 */ "Chybne cislo terminalu",
    /*  91 */ "Nepodarilo se navazat komunikaci",
    /*  92 */ "Chyba otevreni COMu",
    /*  93 */ "Chyba komunikace s modemem",
    /*  94 */ "",
    /*  95 */ "",
    /*  96 */ "",
    /*  97 */ "",
    /*  98 */ "Neproveden\xFD reset pokladny",
    /*  99 */ "Interni chyba - chyba interni funkce",
    /* 100 */ "",
    /* 101 */ "Sit - chyba otevreni WSAStartup",
    /* 102 */ "Sit - chyba socketu ",
    /* 103 */ "Sit - nelze aktivovat knihovnu ",
    /* 104 */ "Sit - chyba odeslani dat",
    /* 105 */ "Sit - chyba prijmu dat ",
    /* 106 */ "Chyba vytvoreni threadu ",
    /* 107 */ "Sit - chyba kontrolniho souctu  ",
    /* 108 */ "Sit - chyba programu ",
    /* 109 */ "Sit - timeout socketu ",
    /* 110 */ "Sit - chyba sekvence dat ",
    /* 111 */ "Sit - chyba obsahu prijateho bloku dat ",
    /* 112 */ "Sit - chyba na konci odesilani ALLRAM ",
    /* 113 */ "Chyba vytvoreni dialogu ",
};

namespace {

// How many errors raised while an error is being reported are reported in its place.
constexpr int MAX_VNORENYCH_CHYB = 4;

void zavri_soubory_prenosu(SezeniJadra& s) {
    zavri_soubor(s, s.workf);
    s.workf = nullptr;
    zavri_vsechny_soubory(s);
}

// One report, in the order of ohlas_chybu's description.
void ohlas(SezeniJadra& s, const ChybaPrenosu& e) {
    s.LastError = e.posledni_chyba;
    s.ERROR1 = e.kod;
    s.ERROR2 = e.podkod;

    if (s.debug && e.kod == 30 && e.podkod == 1) {
        std::snprintf(s.PracText, sizeof s.PracText, "\nOtevirany soubor je %s, chyba %u.",
                      s.neotevreny_soubor.c_str(), s.LastError);
        VypisBox(s, s.PracText, 48);
    }
    if (s.WINDOW || s.debug || s.hlasky) {
        std::snprintf(s.PracText, sizeof s.PracText, "Chyba %d, %d, LastError %u. \n%s", e.kod, e.podkod,
                      s.LastError, text_chyby(e.kod));
        VypisBox(s, s.PracText, 48);
    }
    s.uklid_vrstev();

    zapis_log(s);

    zavri_soubory_prenosu(s);
    smaz_docasne_operace(s);
    smaz_soubor(pridej_path(s, WLASTERR));
    if (soubor_existuje(pridej_path(s, WORK01))) presun_soubor(pridej_path(s, WORK01), pridej_path(s, WLASTERR));

    uvolni_cmd_buffer(s);
}

}  // namespace

const char* text_chyby(int32_t kod) {
    if (kod < 0 || kod >= POCET_CHYB) return "";
    return errmsg[kod];
}

void err(int32_t kod, int32_t podkod) { throw ChybaPrenosu{kod, podkod, plat_posledni_chyba()}; }

void ukonci(int kod) { throw KonecSezeni{kod}; }

void uklid_prenosu(SezeniJadra& s) {
    s.uklid_vrstev();
    zavri_soubory_prenosu(s);
}

void ohlas_chybu(SezeniJadra& s, const ChybaPrenosu& e) {
    // An error raised by the report (a log that cannot be shortened, a box's handler)
    // takes the place of the one being reported: its report starts over, as the first
    // one's would have ended there.
    ChybaPrenosu chyba = e;
    for (int uroven = 0;; ++uroven) {
        try {
            ohlas(s, chyba);
            return;
        } catch (const ChybaPrenosu& dalsi) {
            if (uroven == MAX_VNORENYCH_CHYB) return;
            chyba = dalsi;
        }
    }
}

int hranice_sezeni(SezeniJadra& s, const std::function<int()>& prace) {
    try {
        return prace();
    } catch (const KonecSezeni& k) {
        return k.kod;
    } catch (const ChybaPrenosu& e) {
        try {
            ohlas_chybu(s, e);
        } catch (const KonecSezeni& k) {
            return k.kod;
        }
        return 1;
    }
}
