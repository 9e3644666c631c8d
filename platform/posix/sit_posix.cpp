// A TCP connection on BSD sockets: no Nagle delay (the link writes single control bytes
// and waits for the answer), waits with poll.
#include "platform/sit.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

struct SitSpojeni {
    int fd = -1;
};

namespace {

int64_t ted_ms() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Waits for the socket to become ready; the poll result (0: time-out).
int cekej(int fd, short udalost, uint32_t cas_ms) {
    pollfd pf{fd, udalost, 0};
    int r;
    do {
        r = ::poll(&pf, 1, cas_ms > INT_MAX ? INT_MAX : static_cast<int>(cas_ms));
    } while (r < 0 && errno == EINTR);
    return r;
}

// A non-blocking connect to one address; 0 or the error.
int pripoj_adresu(int fd, const addrinfo* a, uint32_t cas_ms) {
    if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    int r = cekej(fd, POLLOUT, cas_ms);
    if (r <= 0) return r == 0 ? ETIMEDOUT : errno;
    int chyba = 0;
    socklen_t delka = sizeof chyba;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &chyba, &delka) != 0) return errno;
    return chyba;
}

}  // namespace

SitSpojeni* sit_pripoj(const std::string& hostitel, uint16_t port, uint32_t cas_ms, uint32_t& chyba,
                       std::string& duvod) {
    std::string kde = hostitel + ":" + std::to_string(port);
    addrinfo rada{};
    rada.ai_family = AF_UNSPEC;
    rada.ai_socktype = SOCK_STREAM;
    addrinfo* adresy = nullptr;
    int g = getaddrinfo(hostitel.c_str(), std::to_string(port).c_str(), &rada, &adresy);
    if (g != 0) {
        chyba = static_cast<uint32_t>(g == EAI_SYSTEM ? errno : EHOSTUNREACH);
        // "the name cannot be resolved"
        duvod = kde + ": jm\xE9no nelze p\xF8" "elo\x9Eit (" + gai_strerror(g) + ")";
        return nullptr;
    }
    int posledni = ECONNREFUSED;
    int fd = -1;
    int64_t mez = ted_ms() + cas_ms;
    for (addrinfo* a = adresy; a; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            posledni = errno;
            continue;
        }
        posledni = pripoj_adresu(fd, a, static_cast<uint32_t>(std::max<int64_t>(0, mez - ted_ms())));
        if (posledni == 0) break;
        ::close(fd);
        fd = -1;
    }
    freeaddrinfo(adresy);
    if (fd < 0) {
        chyba = static_cast<uint32_t>(posledni);
        duvod = kde + ": " + std::strerror(posledni);
        if (posledni == ECONNREFUSED)
            // "the server refuses the connection: is it running, and does it serve this port?"
            duvod += ". Server spojen\xED odm\xEDt\xE1: b\xEC\x9E\xED a obsluhuje tento port?";
        errno = posledni;
        return nullptr;
    }
    int ano = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &ano, sizeof ano);
    chyba = 0;
    duvod.clear();
    return new SitSpojeni{fd};
}

long sit_posli(SitSpojeni* s, const uint8_t* data, size_t pocet, uint32_t cas_ms) {
    if (!s) return -1;
    int64_t mez = ted_ms() + cas_ms;
    size_t hotovo = 0;
    while (hotovo < pocet) {
        ssize_t n = ::send(s->fd, data + hotovo, pocet - hotovo, MSG_NOSIGNAL);
        if (n > 0) {
            hotovo += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return -1;
        int64_t zbyva = mez - ted_ms();
        if (zbyva <= 0) break;
        int r = cekej(s->fd, POLLOUT, static_cast<uint32_t>(zbyva));
        if (r < 0) return -1;
        if (r == 0) break;
    }
    return static_cast<long>(hotovo);
}

long sit_prijmi(SitSpojeni* s, uint8_t* data, size_t max, uint32_t cas_ms) {
    if (!s) return -1;
    for (;;) {
        ssize_t n = ::recv(s->fd, data, max, 0);
        if (n > 0) return static_cast<long>(n);
        if (n == 0) return -1;  // the other end closed the connection
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
        if (cas_ms == 0) return 0;
        int r = cekej(s->fd, POLLIN, cas_ms);
        if (r < 0) return -1;
        if (r == 0) return 0;
        cas_ms = 0;  // ready: the next recv has data, an end or an error
    }
}

// Closing a socket with unread input resets the connection, and a reset may make the
// server drop what it has not passed on yet (the closing EOT). So the end is announced
// first and the server's last words are read until it closes too (at most a second).
void sit_zavri(SitSpojeni* s) {
    if (!s) return;
    if (::shutdown(s->fd, SHUT_WR) == 0) {
        uint8_t zbytek[512];
        int64_t mez = ted_ms() + 1000;
        for (int64_t zbyva = 1000; zbyva > 0; zbyva = mez - ted_ms())
            if (sit_prijmi(s, zbytek, sizeof zbytek, static_cast<uint32_t>(zbyva)) <= 0) break;
    }
    ::close(s->fd);
    delete s;
}
