// The operating-system layer: everything the program logic needs from the OS.
// One implementation per OS: platform/posix/*.cpp and platform/win32/*.cpp; platform/*.cpp
// is shared by both.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct MistniCas {
    uint16_t rok, mesic, den, hodina, minuta, sekunda, milisekunda;
};

// Local date and time.
MistniCas plat_mistni_cas();

// The system's last error value (errno or GetLastError).
uint32_t plat_posledni_chyba();
void plat_nastav_posledni_chybu(uint32_t kod);

// The title of message boxes and of the main window.
constexpr char TITULEK[] = "Komunikace s ER-A227E";

// Shows a message box without a window: the text is Windows-1250, "\r" is a line break.
// Returns the button chosen like MessageBox does (without a window: the default button).
int plat_message_box(const std::string& text, uint32_t styl);

// The window that owns message boxes (a HWND on Windows); null: no owner.
void plat_nastav_vlastnika_boxu(void* okno);

// A beep: typ -1 is the simple speaker beep, other values are system sound types.
void plat_pipni(int32_t typ);

// The name of an existing file that matches `cesta` whatever the case of its last
// component; `cesta` itself when there is none (or on a case-insensitive system).
std::string plat_najdi_soubor(const std::string& cesta);

// The command line as the system gives it (GetCommandLineA on Windows), for the
// Windows form of command-line parsing; empty where the system passes only argv.
std::string plat_prikazovy_radek();

// The file of the running program with links resolved; empty when the system does not say.
std::string plat_cesta_programu();

// Directory separator of the OS.
char plat_oddelovac();

// Creation time of a file in seconds since the epoch (birth time where the file system
// records it, otherwise the last modification); -1 when the file cannot be examined.
int64_t plat_cas_vytvoreni(const std::string& cesta);

// A lock file that only one process may hold at a time (advisory). Returns a handle >= 0,
// -1 when another process holds it, or ZAMEK_NELZE_VYTVORIT when the file cannot be
// created or opened (read-only directory, a directory of that name, a symbolic link).
// plat_uvolni_zamek releases it.
constexpr int ZAMEK_NELZE_VYTVORIT = -2;
int plat_zamkni(const std::string& cesta);
void plat_uvolni_zamek(int zamek);

// Replaces this process with the window program "kaslnk-okno" that lies beside the running
// program, with the same arguments. Returns only when that cannot be done, with the reason
// as a Windows-1250 message (no window program, no display).
std::string plat_spust_okno(const std::vector<std::string>& argumenty);

// What became of a text sent to the window.
enum class OdeslaniOknu { PRIJATO, NIKDO, BEZ_ODPOVEDI };
// Sends the text to the local socket `cesta` and reads the answer until the window closes
// the connection, all within `cas_ms`: NIKDO when nobody listens there, BEZ_ODPOVEDI when
// the window has not taken it in time (stopped, frozen); `odpoved` holds what the window
// answered (at most a short line). Windows has no such socket: the text's number goes as a
// posted WM_COMMAND to the window of class "TTYWndClass" that this same program file runs,
// which never waits.
OdeslaniOknu plat_posli_na_soket(const std::string& cesta, const std::string& text, int cas_ms,
                                 std::string& odpoved);

// The folder for this user's sockets: the user's runtime folder, or a private folder
// (owner only) in the temporary folder.
std::string plat_adresar_soketu();

// A write to a pipe whose reader has gone fails instead of ending the process.
void plat_ignoruj_zavrenou_rouru();
// Standard input and output carry bytes unchanged (no CR LF translation on Windows).
void plat_binarni_stdio();

// A program started with pipes on its standard input and output (the window's children).
struct PlatPotomek {
    int pid = -1;
    int vystup = -1;  // we read what it writes (non-blocking)
    int vstup = -1;   // we write what it reads
};
// Starts `program` with the argument vector (its first entry is the child's argv[0]) and
// this environment plus `promenna` ("NAME=value"). pid -1 when it cannot be started.
PlatPotomek plat_spust_potomka(const std::string& program, const std::vector<std::string>& argumenty,
                               const std::string& promenna);
// Reads what is there: the byte count, 0 at the end of the stream, -1 when nothing is
// waiting now.
long plat_cti_z(int fd, char* data, size_t pocet);
bool plat_zapis_do(int fd, const std::string& data);
// Closes both pipes and waits for the child; its exit code (128 + signal when killed).
int plat_dokonci_potomka(PlatPotomek& potomek);
// Never waits: true when the child has ended, with its exit code, and then collects it as
// the above does; false while it runs.
bool plat_vyzvedni_potomka(PlatPotomek& potomek, int& kod);
// Ends the child at once (it is still to be collected).
void plat_zabij_potomka(const PlatPotomek& potomek);
// True when the child's process has ended (it is still to be collected by the above).
bool plat_potomek_skoncil(const PlatPotomek& potomek);
// The path of the program `jmeno` in the folder of the running program.
std::string plat_program_vedle(const std::string& jmeno);

// Opens a file like fopen. A mode that writes ("w", "a", "r+", with or without "b") never
// follows a symbolic link in the last component of the name: the link is refused (null).
// Only a regular file is opened: a FIFO, a device or a directory is refused (null) without
// waiting, so that no read or write can wait for another process.
std::FILE* plat_otevri_soubor(const std::string& cesta, const char* mod);

// Writes the text (Windows-1250, "\r" a line break) as one line on standard error where
// the process has one; nothing otherwise.
void plat_radek_na_stderr(const std::string& text);
// The button a message box nobody can answer returns: its first (default) one.
inline int plat_vychozi_tlacitko(uint32_t styl) {
    switch (styl & 0x0F) {
        case 2: return 3;          // abort, retry, ignore: IDABORT
        case 3: case 4: return 6;  // yes, no (, cancel): IDYES
        case 5: return 4;          // retry, cancel: IDRETRY
        default: return 1;         // IDOK
    }
}
// A start in a form that a person types at a prompt (--help, --list-ports, the tools).
// Windows: the GUI-subsystem program has no console of its own; standard output and error
// that the caller did not give go to the caller's console (a program started without one
// stays silent), and message boxes become lines on standard error that take their
// default button. Nothing elsewhere: the console is there already.
void plat_konzole_volajiciho();
// Writes the text (Windows-1250, lines ending in "\n") to standard output, or to standard
// error when `chyba`, at once. A Windows console gets it in its own characters; a file or
// pipe gets the bytes in the console's code page where there is a console.
void plat_vypis(const std::string& text, bool chyba);
