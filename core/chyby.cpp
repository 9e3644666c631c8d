#include "core/chyby.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <utility>
#include <mutex>

#include "core/globals.h"
#include "core/log.h"
#include "core/prikazovy_soubor.h"
#include "core/soubory.h"
#include "core/zpravy.h"
#include "platform/platform.h"

// Texts of the error codes 0..113, trailing blanks included (Windows-1250).
const char* const errmsg[POCET_CHYB] = {
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

char PracText[1024];

namespace {

// The clean-up handlers. A fixed table: err() may run on any thread while another
// registers, and it must not allocate on its way out.
constexpr size_t MAX_UKLIDU = 16;
std::array<std::atomic<UklidPriChybe>, MAX_UKLIDU> g_uklid{};
std::atomic<size_t> g_pocet_uklidu{0};
std::mutex g_uklid_mutex;

void spust_uklid() {
    size_t pocet = g_pocet_uklidu;
    for (size_t i = 0; i < pocet; ++i) g_uklid[i].load()();
}

void zavri_soubory_prenosu() {
    zavri_soubor(workf);
    workf = nullptr;
    zavri_vsechny_soubory();
}

void vychozi_konec(int kod) { plat_ukonci(kod); }
ExitHook g_exit_hook = vychozi_konec;

}  // namespace

const char* text_chyby(int32_t kod) {
    if (kod < 0 || kod >= POCET_CHYB) return "";
    return errmsg[kod];
}

void pri_chybe(UklidPriChybe uklid) {
    std::lock_guard<std::mutex> lock(g_uklid_mutex);
    size_t pocet = g_pocet_uklidu;
    for (size_t i = 0; i < pocet; ++i)
        if (g_uklid[i] == uklid) return;
    if (pocet == MAX_UKLIDU) err(99, 2);  // a programming error: more layers than places
    g_uklid[pocet] = uklid;
    g_pocet_uklidu = pocet + 1;
}

void uklid_prenosu() {
    spust_uklid();
    zavri_soubory_prenosu();
}

void nastav_exit_hook(ExitHook hook) { g_exit_hook = hook ? std::move(hook) : ExitHook(vychozi_konec); }

void ukonci_proces(int kod) {
    g_exit_hook(kod);
    plat_ukonci(kod);  // a hook that returns still ends the process
}

void err(int32_t kod, int32_t podkod) {
    LastError = plat_posledni_chyba();
    ERROR1 = kod;
    ERROR2 = podkod;

    if (debug && kod == 30 && podkod == 1) {
        std::snprintf(PracText, sizeof PracText, "\nOtevirany soubor je %s, chyba %u.",
                      neotevreny_soubor().c_str(), LastError);
        VypisBox(PracText, 48);
    }
    if (WINDOW || debug || hlasky) {
        std::snprintf(PracText, sizeof PracText, "Chyba %d, %d, LastError %u. \n%s", kod, podkod,
                      LastError, text_chyby(kod));
        VypisBox(PracText, 48);
    }
    spust_uklid();

    zapis_log();

    zavri_soubory_prenosu();
    smaz_docasne_operace();
    smaz_soubor(pridej_path(WLASTERR));
    if (soubor_existuje(pridej_path(WORK01))) presun_soubor(pridej_path(WORK01), pridej_path(WLASTERR));

    uvolni_cmd_buffer();
    ukonci_proces(1);
}
