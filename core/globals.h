// Global run-mode flags and the one global record `tt`.
// The program is a set of plain functions over this shared state.
#pragma once

#include <cstdint>
#include <string>

// A switch's twin record: the value the command line gave and whether it gave it.
struct Twin {
    int32_t hodnota = 0;
    int32_t zadano = 0;
};

// Run-mode flags (set by the command line, the ini file and the command-file parser).
extern int32_t WINDOW, AUTOMAT, DAVKA, debug, rawdebug, ticho, hlasky, nokomun, nodtr,
    konverzeW_C, datumcas, ZavesLinku, JenomZavesLinku, TestStatus, NeedStatus,
    ShowProgress, fullpath, modem;
extern Twin debugf, tichof, nokomunf, nodtrf, hlaskyf, konverzeW_Cf, WINDOWf;
extern int32_t TIMEOUTI;   // seconds
extern int32_t zpozdeni;   // ms pause after each operation
extern int32_t zvuk;       // beep type after each block, -1 = speaker
extern int32_t localpath;
extern int32_t exist_ini_file;

// Per-operation flags set by the command-file parser.
extern int32_t noterminate, SIT, bez_pracovniho_souboru;
extern char kod_specialni;

// Result of the current transfer.
extern int32_t ERROR1, ERROR2;
extern uint32_t LastError;
// Set when the log line or a result file could not be written: the run must not end with 0.
extern int32_t vysledek_nezapsan;

constexpr int TERM_RADKU = 25;
constexpr int TERM_SLOUPCU = 80;

struct TTYINFO {
    // program and command file
    std::string jmeno_cmd;         // command file to run (bare name)
    std::string jmeno_programu = "kaslnk";
    std::string adresar_programu;  // program directory with its trailing separator, or empty
    std::string pripona_cmd = "cmd";
    std::string pripona_davky = "dav";
    std::string pripona_zaloha;
    std::string davkovy_soubor;
    std::string cesta_cmd;
    int32_t typ_komunikace = 11;

    // command-file header and current operation
    std::string terminal;          // as written, up to 6 characters
    uint32_t cislo_terminalu = 0;
    uint32_t cislo_portu = 1;
    char znak_portu = '1';
    uint32_t rychlost = 19200;
    char znak_rychlosti = '6';
    bool linka_urcena = false;     // port, speed and terminal came from a command file or a search
    int32_t duplex = 1;
    std::string logovy_soubor = "error.log";
    std::string prvni_ip_adresa, druha_ip_adresa;
    std::string prikazovy_paket;   // register command of the current line
    std::string datovy_soubor;     // name.dat
    std::string fds_soubor;        // name.fds
    int32_t pokracovani = 0;       // 0: next ctiCMD loads the file and reads the header
    size_t pozice_v_cmd = 0;
    size_t delka_cmd = 0;

    // connection and line settings
    int32_t pripojeno = 0;
    uint8_t datove_bity = 7;
    uint8_t parita = 1;            // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t stop_bity = 0;         // 0 one, 1 one and a half, 2 two
    uint8_t rizeni_toku = 2;       // bit 0 DTR/DSR, bit 1 RTS/CTS, bit 2 XON/XOFF
    int32_t zobraz_chyby = 1;
    int32_t novy_radek = 1;
    int32_t autowrap = 1;
    int32_t lokalni_echo = 1;
    int32_t prijem_notifikaci = 1;
    std::string telefonni_cislo;
    int32_t cekani_modem = 30;

    // terminal screen
    char obrazovka[TERM_RADKU][TERM_SLOUPCU];
    uint32_t barva_textu = 0;      // colour of its text, 0x00BBGGRR (black)
    int32_t sloupec = 0, radek = 0;
};

extern TTYINFO tt;
extern TTYINFO* TT;

// Refreshes `znak_portu` and `znak_rychlosti` from `cislo_portu` and `rychlost`.
void aktualizuj_asci_promenne();

// Resets every global to its start-up value (used at start-up and by tests).
void nuluj_globalni_stav();
