#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "platform/kodovani.h"

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

void plat_radek_na_stderr(const std::string& text) {
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
}

int plat_message_box(const std::string& text, uint32_t styl) {
    plat_radek_na_stderr(text);
    return plat_vychozi_tlacitko(styl);  // nobody can answer
}

void plat_konzole_volajiciho() {}

void plat_vypis(const std::string& text, bool chyba) {
    std::FILE* proud = chyba ? stderr : stdout;
    std::fputs(text.c_str(), proud);
    std::fflush(proud);
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
    int fd = ::open(cesta.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return ZAMEK_NELZE_VYTVORIT;
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

void plat_binarni_stdio() {}

std::string plat_program_vedle(const std::string& jmeno) {
    char cesta[4096];
    ssize_t n = ::readlink("/proc/self/exe", cesta, sizeof cesta - 1);
    if (n <= 0) return {};
    std::string ja(cesta, static_cast<size_t>(n));
    return ja.substr(0, ja.rfind('/') + 1) + jmeno;
}

PlatPotomek plat_spust_potomka(const std::string& program, const std::vector<std::string>& argumenty,
                               const std::string& promenna) {
    PlatPotomek p;
    int ven[2], dovnitr[2];
    if (::pipe2(ven, O_CLOEXEC) != 0) return p;
    if (::pipe2(dovnitr, O_CLOEXEC) != 0) {
        ::close(ven[0]);
        ::close(ven[1]);
        return p;
    }
    // The child is started with posix_spawn: the library never has a forked copy of
    // itself that would have to end without running its exit code (a failed exec is a
    // failed start here, pid -1). The pipes are close-on-exec; only their copies on the
    // child's standard input and output stay open in it.
    std::vector<std::string> kopie = argumenty;
    std::vector<char*> argv;
    for (std::string& a : kopie) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string nazev = promenna.substr(0, promenna.find('=') + 1);
    std::vector<std::string> prostredi{promenna};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, nazev.c_str(), nazev.size()) != 0) prostredi.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : prostredi) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t akce;
    pid_t pid = -1;
    if (::posix_spawn_file_actions_init(&akce) == 0) {
        if (::posix_spawn_file_actions_adddup2(&akce, dovnitr[0], 0) == 0 &&
            ::posix_spawn_file_actions_adddup2(&akce, ven[1], 1) == 0 &&
            ::posix_spawn(&pid, program.c_str(), &akce, nullptr, argv.data(), envp.data()) != 0)
            pid = -1;
        ::posix_spawn_file_actions_destroy(&akce);
    }
    ::close(ven[1]);
    ::close(dovnitr[0]);
    if (pid < 0) {
        ::close(ven[0]);
        ::close(dovnitr[1]);
        return p;
    }
    ::fcntl(ven[0], F_SETFL, ::fcntl(ven[0], F_GETFL) | O_NONBLOCK);
    p.pid = pid;
    p.vystup = ven[0];
    p.vstup = dovnitr[1];
    return p;
}

long plat_cti_z(int fd, char* data, size_t pocet) {
    ssize_t n = ::read(fd, data, pocet);
    if (n >= 0) return static_cast<long>(n);
    return (errno == EAGAIN || errno == EINTR) ? -1 : 0;
}

bool plat_zapis_do(int fd, const std::string& data) {
    for (size_t od = 0; od < data.size();) {
        ssize_t w = ::write(fd, data.data() + od, data.size() - od);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        od += static_cast<size_t>(w);
    }
    return true;
}

int plat_dokonci_potomka(PlatPotomek& p) {
    if (p.vystup >= 0) ::close(p.vystup);
    if (p.vstup >= 0) ::close(p.vstup);
    p.vystup = p.vstup = -1;
    if (p.pid <= 0) return -1;
    int stav = 0;
    while (::waitpid(p.pid, &stav, 0) < 0 && errno == EINTR) {
    }
    p.pid = -1;
    return WIFEXITED(stav) ? WEXITSTATUS(stav) : 128 + WTERMSIG(stav);
}

bool plat_vyzvedni_potomka(PlatPotomek& p, int& kod) {
    if (p.pid > 0) {
        int stav = 0;
        pid_t r = ::waitpid(p.pid, &stav, WNOHANG);
        if (r == 0 || (r < 0 && errno == EINTR)) return false;
        kod = r != p.pid ? -1 : WIFEXITED(stav) ? WEXITSTATUS(stav) : 128 + WTERMSIG(stav);
        p.pid = -1;
    } else {
        kod = -1;
    }
    if (p.vystup >= 0) ::close(p.vystup);
    if (p.vstup >= 0) ::close(p.vstup);
    p.vystup = p.vstup = -1;
    return true;
}

void plat_zabij_potomka(const PlatPotomek& p) {
    if (p.pid > 0) ::kill(p.pid, SIGKILL);
}

bool plat_potomek_skoncil(const PlatPotomek& p) {
    if (p.pid <= 0) return true;
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(p.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == p.pid;
}

std::string plat_spust_okno(const std::vector<std::string>& argumenty) {
    std::string okno = plat_program_vedle("kaslnk-okno");
    if (okno.empty() || ::access(okno.c_str(), X_OK) != 0)
        return "Tato verze programu nema hlavni okno (chybi kaslnk-okno).\r"
               "Spustte ji s prikazovym souborem (kaslnk prikaz.cmd) nebo s /t.";
    auto ma = [](const char* promenna) {
        const char* v = std::getenv(promenna);
        return v && *v;
    };
    if (!ma("DISPLAY") && !ma("WAYLAND_DISPLAY") && !ma("QT_QPA_PLATFORM"))
        return "Okno nelze otev\xF8\xEDt: chyb\xED grafick\xE1 obrazovka (DISPLAY ani WAYLAND_DISPLAY).\r"
               "Bez okna spustte program s prikazovym souborem (kaslnk prikaz.cmd).";
    std::vector<std::string> kopie = argumenty;
    if (kopie.empty()) kopie.push_back("kaslnk");
    std::vector<char*> argv;
    for (std::string& a : kopie) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(okno.c_str(), argv.data());
    return "Nelze spustit " + okno + ".";
}

namespace {

// Gives the socket's next send or receive what is left of the time (at least 1 ms); false
// when nothing is left.
bool zbyva_cas(int s, const timespec& konec) {
    timespec ted{};
    ::clock_gettime(CLOCK_MONOTONIC, &ted);
    long long ms = (konec.tv_sec - ted.tv_sec) * 1000LL + (konec.tv_nsec - ted.tv_nsec) / 1000000;
    if (ms <= 0) return false;
    timeval tv{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>(ms % 1000 * 1000)};
    return ::setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0 &&
           ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0;
}

}  // namespace

OdeslaniOknu plat_posli_na_soket(const std::string& cesta, const std::string& text, int cas_ms,
                                 std::string& odpoved) {
    odpoved.clear();
    sockaddr_un adresa{};
    if (cesta.size() >= sizeof adresa.sun_path) return OdeslaniOknu::NIKDO;
    adresa.sun_family = AF_UNIX;
    std::memcpy(adresa.sun_path, cesta.c_str(), cesta.size() + 1);
    timespec konec{};
    ::clock_gettime(CLOCK_MONOTONIC, &konec);
    konec.tv_sec += cas_ms / 1000;
    konec.tv_nsec += cas_ms % 1000 * 1000000L;
    if (konec.tv_nsec >= 1000000000L) konec.tv_sec += 1, konec.tv_nsec -= 1000000000L;
    int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return OdeslaniOknu::NIKDO;
    // Every wait below is one of the socket's own, bounded by what is left of the time: a
    // window whose queue of connections is full makes connect wait, one that does not read
    // makes the answer wait. A failure other than the time running out: nobody takes it.
    auto selhani = [] { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINPROGRESS
                                   ? OdeslaniOknu::BEZ_ODPOVEDI : OdeslaniOknu::NIKDO; };
    OdeslaniOknu vysledek = OdeslaniOknu::BEZ_ODPOVEDI;
    bool spojeno = false;
    while (!spojeno && zbyva_cas(s, konec)) {
        spojeno = ::connect(s, reinterpret_cast<sockaddr*>(&adresa), sizeof adresa) == 0;
        if (!spojeno && errno != EINTR) {
            vysledek = selhani();
            break;
        }
    }
    size_t od = 0;
    while (spojeno && od < text.size() && zbyva_cas(s, konec)) {
        ssize_t w = ::send(s, text.data() + od, text.size() - od, MSG_NOSIGNAL);
        if (w > 0) {
            od += static_cast<size_t>(w);
        } else if (errno != EINTR) {
            vysledek = selhani();
            break;
        }
    }
    if (spojeno && od == text.size()) {
        ::shutdown(s, SHUT_WR);
        char kus[256];
        while (zbyva_cas(s, konec)) {
            ssize_t n = ::recv(s, kus, sizeof kus, 0);
            if (n == 0) {  // the window has read it and closed the connection
                vysledek = OdeslaniOknu::PRIJATO;
                break;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                if (errno != EAGAIN && errno != EWOULDBLOCK) vysledek = OdeslaniOknu::PRIJATO;  // reset: read
                break;
            }
            if (odpoved.size() < 512) odpoved.append(kus, static_cast<size_t>(n));
        }
    }
    ::close(s);
    return vysledek;
}

std::string plat_adresar_soketu() {
    const char* run = std::getenv("XDG_RUNTIME_DIR");
    struct stat st{};
    if (run && *run && ::stat(run, &st) == 0 && S_ISDIR(st.st_mode)) return run;
    // Without a runtime folder: a folder of our own that only we may enter.
    std::string adresar = "/tmp/kaslnk-" + std::to_string(::getuid());
    ::mkdir(adresar.c_str(), 0700);
    if (::lstat(adresar.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return "/nonexistent";  // somebody else's: no socket there
    ::chmod(adresar.c_str(), 0700);
    return adresar;
}

void plat_ignoruj_zavrenou_rouru() { ::signal(SIGPIPE, SIG_IGN); }

std::FILE* plat_otevri_soubor(const std::string& cesta, const char* mod) {
    const std::string m = mod;
    int priznaky;
    if (m.find('+') != std::string::npos)
        priznaky = O_RDWR | (m[0] == 'w' ? O_CREAT | O_TRUNC : m[0] == 'a' ? O_CREAT | O_APPEND : 0);
    else if (m[0] == 'w')
        priznaky = O_WRONLY | O_CREAT | O_TRUNC;
    else if (m[0] == 'a')
        priznaky = O_WRONLY | O_CREAT | O_APPEND;
    else
        priznaky = O_RDONLY;
    if (priznaky != O_RDONLY) priznaky |= O_NOFOLLOW;  // reading may follow a link
    // O_NONBLOCK: opening a FIFO neither waits for a writer nor for a reader; only a
    // regular file is kept, so that no read or write can wait for another process.
    int fd = ::open(cesta.c_str(), priznaky | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) return nullptr;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, mod);
    if (!f) {
        int chyba = errno;
        ::close(fd);
        errno = chyba;
    }
    return f;
}
