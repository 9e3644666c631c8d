// The serial port on termios. The Win32 semantics the link code relies on are kept:
// COMMTIMEOUTS-style read and write time-outs (emulated with poll, so waiting costs no
// CPU), a purge that never discards written output, and an open for this program alone.
#include "platform/serial.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#if defined(__linux__)
#include <linux/serial.h>
#endif

// Mark and space parity need CMSPAR, which not every system has (Linux does); where it is
// missing those two settings are refused like any other the device cannot take.
#ifdef CMSPAR
constexpr tcflag_t MARK_SPACE = CMSPAR;
#else
constexpr tcflag_t MARK_SPACE = 0;
#endif

// platform/posix/serial_rychlost.cpp: speeds that have no B-constant.
bool ser_nastav_jinou_rychlost(int fd, uint32_t rychlost);

struct SerialPort {
    int fd = -1;
    SerialTimeouts casy;
    uint32_t rychlost = 19200;
    uint8_t bity_znaku = 10;  // start + data + parity + stop, for drain estimates
    bool dsr_tok = false;     // output waits for DSR (DTR/DSR handshake)
    bool bez_modemovych_linek = false;
    bool zapis_vyprsel = false;
    // Bytes read from the driver but not yet handed out: the link reads one byte at a
    // time, and one system call per byte would cost more than the line time it waits.
    uint8_t prijem[4096];
    size_t prijem_od = 0, prijem_do = 0;
#if defined(__linux__)
    serial_icounter_struct citace{};
    bool citace_platne = false;
#endif
};

namespace {

int64_t ted_ms() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// A pseudo-terminal (or any device without modem lines) refuses the modem ioctls.
bool bez_modemovych_linek(int fd) {
    int stav = 0;
    if (ioctl(fd, TIOCMGET, &stav) == 0) return false;
    return errno == ENOTTY || errno == EINVAL;
}

speed_t b_konstanta(uint32_t rychlost) {
    switch (rychlost) {
        case 50: return B50;
        case 75: return B75;
        case 110: return B110;
        case 134: return B134;
        case 150: return B150;
        case 200: return B200;
        case 300: return B300;
        case 600: return B600;
        case 1200: return B1200;
        case 1800: return B1800;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
#ifdef B460800
        case 460800: return B460800;
#endif
#ifdef B921600
        case 921600: return B921600;
#endif
        default: return B0;
    }
}

std::string popis_chyby(const std::string& zarizeni, int chyba) {
    std::string duvod = zarizeni + ": " + std::strerror(chyba);
    if (chyba == EACCES || chyba == EPERM)
        // Czech, Windows-1250: "the user may not use the device: add them to the dialout group
        // (sudo usermod -aG dialout <user>) and log in again".
        duvod += ". U\x9E" "ivatel nem\xE1 pr\xE1vo k za\xF8\xEDzen\xED: p\xF8idejte ho do skupiny "
                 "dialout (sudo usermod -aG dialout <u\x9E" "ivatel>) a p\xF8ihlaste se znovu.";
    else if (chyba == EBUSY || chyba == EWOULDBLOCK)
        // "the port is being used by another program"
        duvod += ". Port pr\xE1v\xEC pou\x9E\xEDv\xE1 jin\xFD program.";
    else if (chyba == ENOENT)
        // "no such device; set KASLNK_COMn or the ini key comN"
        duvod += ". Za\xF8\xEDzen\xED neexistuje; cestu ur\xE8\xED prom\xECnn\xE1 KASLNK_COMn nebo "
                 "kl\xED\xE8 comN v kaslnk.ini.";
    return duvod;
}

// Hands out buffered received bytes, up to and including the byte `konec` when it is not
// -1; returns how many.
size_t vydej_prijate(SerialPort* p, uint8_t* data, size_t max, int konec = -1) {
    const uint8_t* od = p->prijem + p->prijem_od;
    size_t n = p->prijem_do - p->prijem_od;
    if (n > max) n = max;
    if (konec >= 0)
        if (const void* k = std::memchr(od, konec, n)) n = static_cast<size_t>(static_cast<const uint8_t*>(k) - od) + 1;
    std::memcpy(data, od, n);
    p->prijem_od += n;
    return n;
}

// Waits up to `cekat` ms (-1: without a limit) for input and moves what the driver has into
// the (empty) buffer. 1: bytes came; 0: none yet, `vyprselo` when the wait ran out; -1: the
// device failed.
int nacti_prijem(SerialPort* p, int64_t cekat, bool& vyprselo) {
    vyprselo = false;
    pollfd pf{p->fd, POLLIN, 0};
    int r = ::poll(&pf, 1, cekat < 0 ? -1 : static_cast<int>(cekat > INT_MAX ? INT_MAX : cekat));
    if (r < 0) return errno == EINTR ? 0 : -1;
    if (r == 0) {
        vyprselo = true;
        return 0;
    }
    if (pf.revents & POLLNVAL) return -1;
    ssize_t n = ::read(p->fd, p->prijem, sizeof p->prijem);
    if (n > 0) {
        p->prijem_od = 0;
        p->prijem_do = static_cast<size_t>(n);
        return 1;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
        return (pf.revents & (POLLERR | POLLHUP)) ? -1 : 0;
    // End of file on a terminal (hang-up) or a read error: the device is gone.
    if (n == 0) errno = EIO;
    return -1;
}

// Waits until the driver has sent what was written, at most as long as the bytes need at
// the line speed plus two seconds (flow control may hold them back for ever).
bool vyprazdni_vystup(SerialPort* p) {
    int zbyva = 0;
    if (ioctl(p->fd, TIOCOUTQ, &zbyva) != 0) zbyva = 0;
    int64_t mez = ted_ms() + 2000 +
                  static_cast<int64_t>(zbyva) * p->bity_znaku * 1000 / (p->rychlost ? p->rychlost : 1);
    while (zbyva > 0) {
        if (ted_ms() >= mez) return false;
        timespec pauza{0, 2 * 1000 * 1000};
        nanosleep(&pauza, nullptr);
        if (ioctl(p->fd, TIOCOUTQ, &zbyva) != 0) break;
    }
    // The last bytes in the UART itself: tcdrain waits for them (bounded by the FIFO size).
    while (tcdrain(p->fd) != 0) {
        if (errno != EINTR) break;
    }
    return true;
}

bool cekej_na_dsr(SerialPort* p, int64_t mez) {
    while (true) {
        int stav = 0;
        if (ioctl(p->fd, TIOCMGET, &stav) != 0) return true;  // no modem lines: nothing to wait for
        if (stav & TIOCM_DSR) return true;
        if (mez >= 0 && ted_ms() >= mez) return false;
        timespec pauza{0, 5 * 1000 * 1000};
        nanosleep(&pauza, nullptr);
    }
}

}  // namespace

ZarizeniPortu ser_zarizeni_portu(int cislo_portu, const std::string& z_konfigurace) {
    std::string promenna = "KASLNK_COM" + std::to_string(cislo_portu);
    if (const char* z_prostredi = std::getenv(promenna.c_str()); z_prostredi && *z_prostredi)
        return {z_prostredi, PuvodZarizeni::prostredi};
    if (!z_konfigurace.empty()) return {z_konfigurace, PuvodZarizeni::konfigurace};
    return {"/dev/ttyS" + std::to_string(cislo_portu - 1), PuvodZarizeni::vychozi};
}

std::string ser_jmeno_zarizeni(int cislo_portu, const std::string& z_konfigurace) {
    return ser_zarizeni_portu(cislo_portu, z_konfigurace).jmeno;
}

SerialPort* ser_open(const std::string& zarizeni, uint32_t& chyba, std::string& duvod) {
    int fd = ::open(zarizeni.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        chyba = static_cast<uint32_t>(errno);
        duvod = popis_chyby(zarizeni, errno);
        return nullptr;
    }
    auto selhani = [&](int e, const std::string& text) -> SerialPort* {
        ::close(fd);
        chyba = static_cast<uint32_t>(e);
        duvod = text;
        errno = e;
        return nullptr;
    };
    if (!isatty(fd)) return selhani(ENOTTY, zarizeni + ": not a serial device");
    // TIOCEXCL keeps out other openers (but not root); the lock keeps out every other
    // program that locks the device the same way, root included.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return selhani(EBUSY, popis_chyby(zarizeni, EBUSY));
    ioctl(fd, TIOCEXCL);

    auto* p = new SerialPort;
    p->fd = fd;
    p->bez_modemovych_linek = bez_modemovych_linek(fd);
    chyba = 0;
    duvod.clear();
    return p;
}

bool ser_setup_queues(SerialPort* p, uint32_t, uint32_t) { return p != nullptr; }

bool ser_set_event_mask(SerialPort* p, bool) { return p != nullptr; }

bool ser_purge(SerialPort* p) {
    if (!p) return false;
    bool ok = vyprazdni_vystup(p);
    // Output that could not leave in time is given up, so that closing does not hang.
    tcflush(p->fd, ok ? TCIFLUSH : TCIOFLUSH);
    p->prijem_od = p->prijem_do = 0;
    return ok;
}

bool ser_set_line(SerialPort* p, const SerialLine& linka) {
    if (!p) return false;
    termios t{};
    if (tcgetattr(p->fd, &t) != 0) return false;

    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | IGNPAR | INPCK);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | MARK_SPACE | CSTOPB | CRTSCTS | HUPCL);
    // The line is local: reads do not depend on carrier, and closing leaves DTR alone
    // (the program drops it itself unless told not to touch it).
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    switch (linka.datove_bity) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        case 8: t.c_cflag |= CS8; break;
        default: return false;
    }
    switch (linka.parita) {
        case 0: break;
        case 1: t.c_cflag |= PARENB | PARODD; break;
        case 2: t.c_cflag |= PARENB; break;
        case 3:
        case 4:
            if (!MARK_SPACE) return false;
            t.c_cflag |= PARENB | MARK_SPACE | (linka.parita == 3 ? PARODD : 0);
            break;
        default: return false;
    }
    // A byte with a parity or framing error arrives as NUL, so a frame holding it fails.
    if (linka.parita != 0) t.c_iflag |= INPCK;
    switch (linka.stop_bity) {
        case 0: break;
        case 1:  // one and a half: the UART gives 1.5 with CSTOPB on 5-bit characters, else 2
        case 2: t.c_cflag |= CSTOPB; break;
        default: return false;
    }
    if (linka.rizeni_toku & 2) t.c_cflag |= CRTSCTS;
    if (linka.rizeni_toku & 4) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = 17;
        t.c_cc[VSTOP] = 19;
    }

    speed_t b = b_konstanta(linka.rychlost);
    bool jina_rychlost = (b == B0);
    if (jina_rychlost) b = B38400;  // placeholder, replaced below
    cfsetispeed(&t, b);
    cfsetospeed(&t, b);

    if (tcsetattr(p->fd, TCSANOW, &t) != 0) {
        // A pseudo-terminal has no character size or parity; some systems refuse them.
        if (!(errno == EINVAL && p->bez_modemovych_linek)) return false;
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | MARK_SPACE);
        t.c_cflag |= CS8;
        t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
        if (tcsetattr(p->fd, TCSANOW, &t) != 0) return false;
    }
    if (jina_rychlost && !ser_nastav_jinou_rychlost(p->fd, linka.rychlost)) return false;

    p->rychlost = linka.rychlost ? linka.rychlost : 19200;
    p->bity_znaku = static_cast<uint8_t>(1 + linka.datove_bity + (linka.parita ? 1 : 0) +
                                         (linka.stop_bity ? 2 : 1));
    p->dsr_tok = (linka.rizeni_toku & 1) != 0;
    return true;
}

bool ser_set_timeouts(SerialPort* p, const SerialTimeouts& casy) {
    if (!p) return false;
    p->casy = casy;
    return true;
}

bool ser_write(SerialPort* p, const uint8_t* data, size_t pocet) {
    if (!p) return false;
    p->zapis_vyprsel = false;
    const SerialTimeouts& c = p->casy;
    uint64_t limit = static_cast<uint64_t>(c.write_total_multiplier) * pocet + c.write_total_constant;
    int64_t mez = limit ? ted_ms() + static_cast<int64_t>(limit) : -1;

    size_t hotovo = 0;
    while (hotovo < pocet) {
        if (p->dsr_tok && !cekej_na_dsr(p, mez)) {
            p->zapis_vyprsel = true;
            errno = ETIMEDOUT;
            return false;
        }
        ssize_t n = ::write(p->fd, data + hotovo, pocet - hotovo);
        if (n > 0) {
            hotovo += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;  // device failed
        int cekat = -1;
        if (mez >= 0) {
            int64_t zbyva = mez - ted_ms();
            if (zbyva <= 0) {
                p->zapis_vyprsel = true;
                errno = ETIMEDOUT;
                return false;
            }
            cekat = static_cast<int>(zbyva > INT_MAX ? INT_MAX : zbyva);
        }
        pollfd pf{p->fd, POLLOUT, 0};
        int r = ::poll(&pf, 1, cekat);
        if (r < 0 && errno != EINTR) return false;
        if (r > 0 && (pf.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(pf.revents & POLLOUT)) {
            errno = EIO;
            return false;
        }
    }
    return true;
}

bool ser_write_timed_out(SerialPort* p) { return p && p->zapis_vyprsel; }

long ser_read(SerialPort* p, uint8_t* data, size_t max) {
    if (!p) return -1;
    if (max == 0) return 0;
    LhutaCteni lhuta(p->casy, max, ted_ms());
    size_t precteno = vydej_prijate(p, data, max);
    while (precteno < max) {
        int64_t cekat = lhuta.cekani(ted_ms(), precteno);
        bool vyprselo = false;
        int r = nacti_prijem(p, cekat, vyprselo);
        if (r < 0) return precteno ? static_cast<long>(precteno) : -1;
        if (r > 0) {
            precteno += vydej_prijate(p, data + precteno, max - precteno);
            lhuta.prijato(ted_ms());
        } else if (vyprselo && cekat == 0) {
            break;  // the last look found nothing: a time-out ran out
        }           // else the next round finds out which time-out ran out
    }
    return static_cast<long>(precteno);
}

size_t ser_read_do(SerialPort* p, uint8_t* data, size_t max, uint8_t konec, bool& selhalo) {
    selhalo = !p;
    if (!p) return 0;
    size_t precteno = vydej_prijate(p, data, max, konec);
    auto hotovo = [&] { return precteno == max || (precteno && data[precteno - 1] == konec); };
    // When the last byte came; the time it was read stands for it (at most a pause late).
    int64_t posledni = ted_ms();
    size_t dodavka = 1;    // the most bytes one delivery of the line brought (a FIFO, a USB packet)
    bool pockano = false;  // the last read followed a pause: it may have found several deliveries
    while (!hotovo()) {
        int64_t cekat = LhutaCteni(p->casy, 1, posledni).cekani(ted_ms(), 0);
        bool vyprselo = false;
        int r = nacti_prijem(p, cekat, vyprselo);
        if (r < 0) {
            selhalo = true;
            break;
        }
        if (r == 0) {
            if (vyprselo && cekat == 0) break;  // the next byte did not come in time
            continue;
        }
        if (!pockano && p->prijem_do > dodavka) dodavka = p->prijem_do;
        precteno += vydej_prijate(p, data + precteno, max - precteno, konec);
        posledni = ted_ms();
        if (hotovo()) break;
        // The line is delivering: the missing bytes are let come together for their
        // transmission time less one delivery, so that the one bringing the last of them is
        // not overslept (when it came is known only to within a delivery); at most 50 ms,
        // and never past the time-out of the next byte.
        size_t chybi = max - precteno;
        pockano = chybi > dodavka;
        if (!pockano) continue;
        int64_t znaku = static_cast<int64_t>(chybi - dodavka < 1000 ? chybi - dodavka : 1000);
        int64_t pauza_us = znaku * p->bity_znaku * 1000000 / p->rychlost;
        if (pauza_us > 50000) pauza_us = 50000;
        int64_t lhuta = LhutaCteni(p->casy, 1, posledni).cekani(posledni, 0);
        if (lhuta >= 0 && pauza_us > lhuta * 1000) pauza_us = lhuta * 1000;
        timespec pauza{0, static_cast<long>(pauza_us) * 1000};
        nanosleep(&pauza, nullptr);
    }
    return precteno;
}

uint32_t ser_clear_errors(SerialPort* p) {
    if (!p) return 0;
#if defined(__linux__)
    serial_icounter_struct ted{};
    if (ioctl(p->fd, TIOCGICOUNT, &ted) != 0) return 0;
    uint32_t maska = 0;
    if (p->citace_platne) {
        if (ted.buf_overrun != p->citace.buf_overrun) maska |= 0x0001;  // CE_RXOVER
        if (ted.overrun != p->citace.overrun) maska |= 0x0002;          // CE_OVERRUN
        if (ted.parity != p->citace.parity) maska |= 0x0004;            // CE_RXPARITY
        if (ted.frame != p->citace.frame) maska |= 0x0008;              // CE_FRAME
        if (ted.brk != p->citace.brk) maska |= 0x0010;                  // CE_BREAK
    }
    p->citace = ted;
    p->citace_platne = true;
    return maska;
#else
    return 0;
#endif
}

bool ser_set_dtr(SerialPort* p, bool zapnout) {
    if (!p) return false;
    int bit = TIOCM_DTR;
    return ioctl(p->fd, zapnout ? TIOCMBIS : TIOCMBIC, &bit) == 0;
}

bool ser_modem_status(SerialPort* p, uint32_t& stav) {
    stav = 0;
    if (!p) return false;
    int linky = 0;
    if (ioctl(p->fd, TIOCMGET, &linky) != 0) return false;
    if (linky & TIOCM_CTS) stav |= SER_MS_CTS;
    if (linky & TIOCM_DSR) stav |= SER_MS_DSR;
    if (linky & TIOCM_RNG) stav |= SER_MS_RING;
    if (linky & TIOCM_CAR) stav |= SER_MS_RLSD;
    return true;
}

void ser_close(SerialPort* p) {
    if (!p) return;
    ioctl(p->fd, TIOCNXCL);
    ::close(p->fd);  // also releases the lock
    delete p;
}
