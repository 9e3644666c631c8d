#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "core/kodovani.h"

MistniCas plat_mistni_cas() {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    tm t{};
    time_t s = tv.tv_sec;
    localtime_r(&s, &t);
    return MistniCas{static_cast<uint16_t>(t.tm_year + 1900), static_cast<uint16_t>(t.tm_mon + 1),
                     static_cast<uint16_t>(t.tm_mday), static_cast<uint16_t>(t.tm_hour),
                     static_cast<uint16_t>(t.tm_min), static_cast<uint16_t>(t.tm_sec),
                     static_cast<uint16_t>(tv.tv_usec / 1000)};
}

uint32_t plat_posledni_chyba() { return static_cast<uint32_t>(errno); }
void plat_nastav_posledni_chybu(uint32_t kod) { errno = static_cast<int>(kod); }

void plat_ukonci(int kod) {
    std::fflush(nullptr);
    std::_Exit(kod);
}

namespace {

// True when the terminal's character set is Windows-1250 itself (locale from the usual
// variables); every other setting gets UTF-8, which a C or POSIX locale shows best too.
bool terminal_v_cp1250() {
    for (const char* promenna : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* v = std::getenv(promenna);
        if (v && *v) return std::strstr(v, "1250") != nullptr;
    }
    return false;
}

}  // namespace

int plat_message_box(const std::string& text, uint32_t styl) {
    std::string s = terminal_v_cp1250() ? text : cp1250_na_utf8(text);
    std::string radky;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            radky += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;  // CR LF is one line break
        } else {
            radky += s[i];
        }
    }
    std::fprintf(stderr, "kaslnk: %s\n", radky.c_str());
    std::fflush(stderr);
    // Nobody can answer: the box's first (default) button is taken.
    switch (styl & 0x0F) {
        case 2: return 3;         // abort, retry, ignore: IDABORT
        case 3: case 4: return 6; // yes, no (, cancel): IDYES
        case 5: return 4;         // retry, cancel: IDRETRY
        default: return 1;        // IDOK
    }
}

void plat_pipni(int32_t typ) {
    int fd = ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    [[maybe_unused]] ssize_t n = ::write(fd, "\a", 1);
    ::close(fd);
}

std::string plat_najdi_soubor(const std::string& cesta) {
    struct stat st{};
    if (::stat(cesta.c_str(), &st) == 0) return cesta;
    std::string::size_type lomitko = cesta.rfind('/');
    std::string adresar = lomitko == std::string::npos ? "." : cesta.substr(0, lomitko + 1);
    std::string jmeno = lomitko == std::string::npos ? cesta : cesta.substr(lomitko + 1);
    if (jmeno.empty()) return cesta;
    DIR* d = ::opendir(adresar.c_str());
    if (!d) return cesta;
    std::string nalezeno = cesta;
    while (dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, jmeno.c_str()) == 0) {
            nalezeno = (lomitko == std::string::npos ? std::string() : adresar) + e->d_name;
            break;
        }
    }
    ::closedir(d);
    return nalezeno;
}

char plat_oddelovac() { return '/'; }

std::string plat_cesta_programu() {
    char cesta[4096];
    ssize_t n = readlink("/proc/self/exe", cesta, sizeof cesta - 1);
    return n > 0 ? std::string(cesta, static_cast<size_t>(n)) : std::string();
}

int64_t plat_cas_vytvoreni(const std::string& cesta) {
#if defined(STATX_BTIME)
    struct statx sx{};
    if (::statx(AT_FDCWD, cesta.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
        if (sx.stx_mask & STATX_BTIME) return sx.stx_btime.tv_sec;
        return sx.stx_mtime.tv_sec;
    }
    return -1;
#else
    struct stat st{};
    if (::stat(cesta.c_str(), &st) != 0) return -1;
    return st.st_mtime;
#endif
}

int plat_zamkni(const std::string& cesta) {
    int fd = ::open(cesta.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void plat_uvolni_zamek(int zamek) {
    if (zamek >= 0) ::close(zamek);
}

void plat_nastav_vlastnika_boxu(void*) {}

std::string plat_prikazovy_radek() { return {}; }
