// The operating-system layer: everything the program logic needs from the OS.
// One implementation per OS: platform/posix/*.cpp and platform/win32/*.cpp.
#pragma once

#include <cstdint>
#include <string>

struct MistniCas {
    uint16_t rok, mesic, den, hodina, minuta, sekunda, milisekunda;
};

// Local date and time.
MistniCas plat_mistni_cas();

// The system's last error value (errno or GetLastError).
uint32_t plat_posledni_chyba();
void plat_nastav_posledni_chybu(uint32_t kod);

// Ends the process at once with the exit code (buffers of open files are the caller's business).
[[noreturn]] void plat_ukonci(int kod);

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
// or -1 when another process holds it. plat_uvolni_zamek releases it.
int plat_zamkni(const std::string& cesta);
void plat_uvolni_zamek(int zamek);
