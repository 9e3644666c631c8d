// The operating-system layer on the Win32 interface.
#include "platform/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <utility>

#include "platform/win32/text_win32.h"

namespace {
// Both belong to the process: the window that owns message boxes is the one main window
// of kaslnk.exe, and the console is the process's.
std::atomic<HWND> g_vlastnik{nullptr};
std::atomic<bool> g_na_konzoli{false};  // boxes go to standard error (plat_konzole_volajiciho)

// 100-ns intervals between 1601-01-01 (FILETIME) and 1970-01-01.
constexpr int64_t kEpochaFiletime = 116444736000000000LL;
}  // namespace

std::wstring cp1250_na_utf16(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(1250, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(1250, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

MistniCas plat_mistni_cas() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return MistniCas{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

uint32_t plat_posledni_chyba() { return GetLastError(); }
void plat_nastav_posledni_chybu(uint32_t kod) { SetLastError(kod); }

void plat_nastav_vlastnika_boxu(void* okno) { g_vlastnik = static_cast<HWND>(okno); }

int plat_message_box(const std::string& text, uint32_t styl) {
    if (g_na_konzoli) {
        plat_radek_na_stderr(text);
        return plat_vychozi_tlacitko(styl);
    }
    return MessageBoxW(g_vlastnik.load(), cp1250_na_utf16(text).c_str(),
                       cp1250_na_utf16(TITULEK).c_str(), styl);
}

void plat_pipni(int32_t typ) { MessageBeep(static_cast<UINT>(typ)); }

std::string plat_prikazovy_radek() {
    const char* radek = GetCommandLineA();
    return radek ? radek : "";
}

// Windows finds a file whatever the case of its name.
std::string plat_najdi_soubor(const std::string& cesta) { return cesta; }

char plat_oddelovac() { return '\\'; }

std::string plat_cesta_programu() {
    char cesta[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, cesta, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(cesta, n) : std::string();
}

int64_t plat_cas_vytvoreni(const std::string& cesta) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(cesta.c_str(), GetFileExInfoStandard, &data)) return -1;
    int64_t t = (static_cast<int64_t>(data.ftCreationTime.dwHighDateTime) << 32) |
                data.ftCreationTime.dwLowDateTime;
    return (t - kEpochaFiletime) / 10000000;
}

// Kernel handles fit in 32 bits on 64-bit Windows too (they are shared with 32-bit
// processes), so the handle itself serves as the lock number.
int plat_zamkni(const std::string& cesta) {
    HANDLE h = CreateFileA(cesta.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? -1 : ZAMEK_NELZE_VYTVORIT;
    return static_cast<int>(reinterpret_cast<intptr_t>(h));
}

void plat_uvolni_zamek(int zamek) {
    if (zamek >= 0) CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(zamek)));
}

// The window runs inside kaslnk.exe (ui/win32), registered with the start-up; this is
// reached only by a build without it.
std::string plat_spust_okno(const std::vector<std::string>&) {
    return "Tato verze programu nema hlavni okno.\r"
           "Spustte ji s prikazovym souborem (kaslnk prikaz.cmd) nebo s /t.";
}

// Windows has no such socket: the window is found by its class and gets the command
// number of the text as WM_COMMAND, posted so that the sender goes at once. The path is
// not used.
namespace {

// The main window that serves this program's folder: a window of class TTYWndClass whose
// process runs this very program file (several copies of the program may each have one).
struct HledaneOkno {
    wchar_t program[MAX_PATH] = {};
    HWND okno = nullptr;
};

BOOL CALLBACK zkus_okno(HWND h, LPARAM lp) {
    auto* hledane = reinterpret_cast<HledaneOkno*>(lp);
    wchar_t trida[16] = {};
    if (!GetClassNameW(h, trida, 16) || std::wcscmp(trida, L"TTYWndClass") != 0) return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE proces = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!proces) return TRUE;
    wchar_t program[MAX_PATH] = {};
    DWORD n = MAX_PATH;
    bool tento = QueryFullProcessImageNameW(proces, 0, program, &n) && _wcsicmp(program, hledane->program) == 0;
    CloseHandle(proces);
    if (!tento) return TRUE;
    hledane->okno = h;
    return FALSE;
}

}  // namespace

OdeslaniOknu plat_posli_na_soket(const std::string&, const std::string& text, int, std::string& odpoved) {
    odpoved.clear();
    HledaneOkno hledane;
    DWORD n = GetModuleFileNameW(nullptr, hledane.program, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return OdeslaniOknu::NIKDO;
    EnumWindows(zkus_okno, reinterpret_cast<LPARAM>(&hledane));
    HWND okno = hledane.okno;
    unsigned long id = std::strtoul(text.c_str(), nullptr, 10);
    if (!okno || id == 0 || id > 0xFFFF) return OdeslaniOknu::NIKDO;
    return PostMessageA(okno, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? OdeslaniOknu::PRIJATO : OdeslaniOknu::NIKDO;
}

std::string plat_adresar_soketu() { return "."; }

// A failed write to a pipe is an error result on Windows anyway.
void plat_ignoruj_zavrenou_rouru() {}

void plat_binarni_stdio() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}

std::string utf16_na_cp1250(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(1250, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1250, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::FILE* plat_otevri_soubor(const std::string& cesta, const char* mod) {
    // A writing mode refuses a symbolic link or other reparse point in the name's place.
    if (mod[0] != 'r' || std::strchr(mod, '+')) {
        DWORD atributy = GetFileAttributesA(cesta.c_str());
        if (atributy != INVALID_FILE_ATTRIBUTES && (atributy & FILE_ATTRIBUTE_REPARSE_POINT)) {
            SetLastError(ERROR_CANT_ACCESS_FILE);
            errno = EACCES;
            return nullptr;
        }
    }
    std::FILE* f = std::fopen(cesta.c_str(), mod);
    // Only a file on a disk: a device name (CON, COM1, ...) or a pipe could block a read.
    if (f && GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) != FILE_TYPE_DISK) {
        std::fclose(f);
        SetLastError(ERROR_CANT_ACCESS_FILE);
        errno = EINVAL;
        return nullptr;
    }
    return f;
}

namespace {

bool je_handle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

// The text on the handle: a console takes UTF-16 (whatever its code page); a file or a
// pipe takes bytes with CR LF line ends, in the console's code page when the process has
// a console, else as they are.
void zapis_text(HANDLE h, const std::string& text) {
    if (!je_handle(h) || text.empty()) return;
    std::string crlf;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) crlf += '\r';
        crlf += text[i];
    }
    DWORD rezim = 0, zapsano = 0;
    if (GetConsoleMode(h, &rezim)) {
        std::wstring w = cp1250_na_utf16(crlf);
        WriteConsoleW(h, w.data(), static_cast<DWORD>(w.size()), &zapsano, nullptr);
        return;
    }
    if (UINT cp = GetConsoleOutputCP(); cp != 0 && cp != 1250) {
        std::wstring w = cp1250_na_utf16(crlf);
        int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
        if (n > 0) {
            std::string v(static_cast<size_t>(n), '\0');
            WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), v.data(), n, nullptr, nullptr);
            crlf = std::move(v);
        }
    }
    WriteFile(h, crlf.data(), static_cast<DWORD>(crlf.size()), &zapsano, nullptr);
}

}  // namespace

void plat_radek_na_stderr(const std::string& text) {
    std::string radek = "kaslnk: ";
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != '\n' || i == 0 || text[i - 1] != '\r') radek += text[i] == '\r' ? '\n' : text[i];
    zapis_text(GetStdHandle(STD_ERROR_HANDLE), radek + "\n");
}

void plat_konzole_volajiciho() {
    const DWORD std_id[2] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    bool chybi = false;
    for (DWORD id : std_id) chybi = chybi || !je_handle(GetStdHandle(id));
    if (chybi && AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE konzole = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        for (DWORD id : std_id)
            if (!je_handle(GetStdHandle(id))) SetStdHandle(id, konzole);
    }
    g_na_konzoli = je_handle(GetStdHandle(STD_ERROR_HANDLE));
}

void plat_vypis(const std::string& text, bool chyba) {
    std::fflush(chyba ? stderr : stdout);
    zapis_text(GetStdHandle(chyba ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text);
}
