// The core's part of a session: one transfer's run-mode flags, the terminal record `tt`,
// the result of the transfer, the command-file buffer, the files in use, the worker and
// the services through which the session reaches the world. The format and link layers
// derive their parts from it (format/sezeni_formatu.h, link/sezeni.h), so a function of a
// layer takes the session part of its layer and sees the layers below it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/udalost.h"
#include "platform/platform.h"

class Port;
struct OtevrenyPort;
struct Soubor;
using HSOUBOR = Soubor*;  // an open file with its own buffer; null = no file

// A switch's twin record: the value the command line gave and whether it gave it.
struct Twin {
    int32_t hodnota = 0;
    int32_t zadano = 0;
};

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

    TTYINFO();
};

// Everything through which a session reaches the world and that a caller may replace.
// An empty function means the default: the real clock, the platform's boxes and beeps,
// the platform's serial port, nothing shown.
class SezeniJadra;

struct Sluzby {
    // Waiting and the clock: a wait of `ms` milliseconds (tests run in virtual time).
    std::function<void(uint32_t ms)> cekani;
    // The local date and time (the register's clock is set from it).
    std::function<MistniCas()> cas;
    // Opens COMn (link/port.h); empty = the session's mapping, then the platform's port.
    std::function<OtevrenyPort(uint32_t cislo_portu)> otvirac_portu;
    // Message boxes: the text and style; returns the button (the platform's box when empty).
    std::function<int(const std::string& text, uint32_t styl)> box;
    // Text written to the terminal screen, and the repaint after it.
    std::function<void(const std::string& text)> text;
    std::function<void()> prekresli;
    // The port was opened (1) or closed (0).
    std::function<void(int otevreno)> stav_portu;
    // The tray: operation, entry identifier, icon; returns the system's result.
    std::function<int(int operace, int id, int ikona)> tray;
    // A beep of the given type (see plat_pipni).
    std::function<void(int32_t typ)> pip;
    // Questions the window asks: the batch file to run (true with tt.davkovy_soubor set),
    // the port and speed dialog, the bitmap for the logo.
    std::function<bool()> vyber_davky;
    std::function<int()> dialog_port_a_rychlost;
    std::function<std::string()> vyber_bmp;
    // The status check after a send: the number in the first four characters of "sts.dat".
    std::function<int()> kontrola_stavu;
    // The window of a program that holds it itself (Windows): runs it in this session until
    // it closes and returns the exit code. Empty: the window is a program of its own,
    // started by the platform layer (plat_spust_okno).
    std::function<int(SezeniJadra& s, const std::vector<std::string>& argumenty)> vstup_okna;
    // The session has ended with this exit code (main() calls it once, after the run; the
    // window's child reports the line it ended with).
    std::function<void(int kod)> konec;
    // After every block received or sent: the blocks and bytes moved so far in this run.
    std::function<void(int bloky, long bajty)> prubeh;
    // A line the program writes on standard error (a refused start); empty: standard error.
    std::function<void(const std::string& text)> chybovy_radek;
    // How long the built-in exchanges wait for the register (timd.cmx, fdsu.cmx, glog.cmx).
    long cekani_na_cas_ms = 10000;
    long cekani_na_fds_ms = 30000;
    long cekani_na_logo_ms = 60000;
};

// The session's start state is the program's: a fresh session has every flag, `tt` and
// counter at its start-up value. The destructor waits for a worker or batch still running
// and closes what the session holds (its files, the program directory).
class SezeniJadra {
public:
    SezeniJadra();
    virtual ~SezeniJadra();
    SezeniJadra(const SezeniJadra&) = delete;
    SezeniJadra& operator=(const SezeniJadra&) = delete;

    Sluzby sluzby;

    // Run-mode flags (the command line, the ini file and the command-file parser).
    int32_t WINDOW = 0, AUTOMAT = 0, DAVKA = 0, debug = 0, rawdebug = 0, ticho = 0, hlasky = 0,
            nokomun = 0, nodtr = 0, konverzeW_C = 0, datumcas = 0, ZavesLinku = 0,
            JenomZavesLinku = 0, TestStatus = 0, NeedStatus = 0, ShowProgress = 1, fullpath = 0,
            modem = 0;
    Twin debugf, tichof, nokomunf, nodtrf, hlaskyf, konverzeW_Cf, WINDOWf;
    int32_t TIMEOUTI = 10;   // seconds
    int32_t zpozdeni = 1600; // ms pause after each operation
    int32_t zvuk = -1;       // beep type after each block, -1 = speaker
    int32_t localpath = 0;
    int32_t exist_ini_file = 0;

    // Per-operation flags set by the command-file parser.
    int32_t noterminate = 0, SIT = 0, bez_pracovniho_souboru = 0;
    char kod_specialni = 0;

    // Result of the current transfer.
    int32_t ERROR1 = 0, ERROR2 = 0;
    uint32_t LastError = 0;
    // Set when the log line or a result file could not be written: the run must not end with 0.
    int32_t vysledek_nezapsan = 0;
    char PracText[1024] = {};

    TTYINFO tt;
    Twin AUTOMATf;  // AUTOMAT's twin, used only to save the flag around the built-in operations

    // COMn -> device or URL for this session (index 1..9), looked at before KASLNK_COMn;
    // ini_porty: kaslnk.ini's comN (0 unused, empty = not given).
    std::string porty[10];
    std::string ini_porty[10];

    // The loaded, normalised command file (core/prikazovy_soubor.cpp).
    std::string CMDbuf;
    int CMDbufExist = 0;

    // Files (core/soubory.cpp): the byte read last by cti_znak_ze_souboru, the end of the
    // file it found, the bytes it has read; every file this session holds open, so that an
    // error can close what its callers left open; the name that could not be opened last.
    unsigned char readchar = 0;
    int32_t FEOF = 0;
    uint32_t pozice_v_souboru = 0;
    std::mutex otevrene_mutex;
    std::set<HSOUBOR> otevrene_soubory;
    std::string neotevreny_soubor;
    HSOUBOR workf = nullptr;  // the current work file of a transfer, closed by an error

    // The transfer worker (core/prenos.cpp) and what it is told and tells.
    std::thread vlakno_prenosu;
    std::atomic<bool> prenos_bezi{false};
    // How the last worker ended: the session's exit code when it ended the session (an
    // error it reported, the end of an unattended run), -1 when it only signalled its end.
    std::atomic<int> kod_konce_vlakna{-1};
    std::atomic<bool> zastavit_vlakno{false};  // a stop is asked for
    std::atomic<bool> vlakno_zastaveno{false}; // the worker was cut off inside an operation
    // A cancel (zrus_praci, core/prenos.h): asked for, from any thread; reported once
    // (by the thread that met it); and whether the port's reads look at it while they wait
    // (the library's sessions: see zrusitelny_port, link/port.h).
    std::atomic<bool> zrusit{false};
    bool zruseni_ohlaseno = false;
    bool lze_zrusit = false;
    Udalost zastaveni;                         // wakes the pause between operations
    Udalost eventKonecRSPrenosu;  // set when a transfer ends without ending the session
    Udalost eventKonecDavky;      // set when a batch ends or is cancelled

    // The batch thread (core/davka.cpp) and the exit code it ended the session with (-1: none).
    std::thread vlakno_davky;
    std::atomic<bool> davka_bezi{false};
    std::atomic<int> kod_konce_davky{-1};

    // The program directory this session holds (core/prenos.cpp): the lock handle and the
    // lock file's path.
    std::mutex zamek_mutex;
    int zamek = -1;
    std::string zamek_cesta;

    // The terminal screen tt.obrazovka is written by the worker and read by the window.
    std::recursive_mutex obrazovka_mutex;
    // One message box at a time; a box's handler may report again (an error).
    std::recursive_mutex box_mutex;

    // Waits for the batch thread and the worker. A derived session calls it first in its
    // destructor, since the worker uses the derived part.
    void pockej_na_vlakna() noexcept;

    // The layers above the core: the link layer's part of a transfer, and its clean-up
    // after an error (the port, the raw traffic file, the tray icon).
    virtual void zacni_provoz() {}
    virtual void proved_operaci() {}
    virtual void ukonci_provoz() {}
    virtual void nastav_cas_datum() {}
    virtual void uklid_vrstev() {}
};

// Refreshes `znak_portu` and `znak_rychlosti` from `cislo_portu` and `rychlost`.
void aktualizuj_asci_promenne(SezeniJadra& s);
