#include "core/globals.h"

#include <cstring>

int32_t WINDOW, AUTOMAT, DAVKA, debug, rawdebug, ticho, hlasky, nokomun, nodtr, konverzeW_C,
    datumcas, ZavesLinku, JenomZavesLinku, TestStatus, NeedStatus, ShowProgress = 1, fullpath,
    modem;
Twin debugf, tichof, nokomunf, nodtrf, hlaskyf, konverzeW_Cf, WINDOWf;
int32_t TIMEOUTI = 10;
int32_t zpozdeni = 1600;
int32_t zvuk = -1;
int32_t localpath;
int32_t exist_ini_file;

int32_t noterminate, SIT, bez_pracovniho_souboru;
char kod_specialni;

int32_t ERROR1, ERROR2;
uint32_t LastError;
int32_t vysledek_nezapsan;

TTYINFO tt;
TTYINFO* TT = &tt;

void aktualizuj_asci_promenne() {
    tt.znak_portu = static_cast<char>('0' + tt.cislo_portu);
    static const uint32_t rychlosti[] = {600, 1200, 2400, 4800, 9600, 19200, 38400};
    for (int i = 0; i < 7; ++i)
        if (tt.rychlost == rychlosti[i]) tt.znak_rychlosti = static_cast<char>('1' + i);
}

void nuluj_globalni_stav() {
    WINDOW = AUTOMAT = DAVKA = debug = rawdebug = ticho = hlasky = nokomun = nodtr = 0;
    konverzeW_C = datumcas = ZavesLinku = JenomZavesLinku = TestStatus = NeedStatus = 0;
    fullpath = modem = 0;
    ShowProgress = 1;
    debugf = tichof = nokomunf = nodtrf = hlaskyf = konverzeW_Cf = WINDOWf = Twin{};
    TIMEOUTI = 10;
    zpozdeni = 1600;
    zvuk = -1;
    localpath = exist_ini_file = 0;
    noterminate = SIT = bez_pracovniho_souboru = 0;
    kod_specialni = 0;
    ERROR1 = ERROR2 = 0;
    LastError = 0;
    vysledek_nezapsan = 0;
    tt = TTYINFO{};
    std::memset(tt.obrazovka, ' ', sizeof tt.obrazovka);
}
