// A TCP connection on Winsock: no Nagle delay (the link writes single control bytes and
// waits for the answer), a non-blocking socket whose waits are select calls.
#include "platform/sit.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <climits>
#include <mutex>

struct SitSpojeni {
    SOCKET s = INVALID_SOCKET;
};

namespace {

// Winsock is started once for the process and stays (the system ends it with the process).
bool winsock() {
    static std::once_flag jednou;
    static bool pripraven = false;
    std::call_once(jednou, [] {
        WSADATA data;
        pripraven = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return pripraven;
}

// Waits for the socket to become ready; 1 ready, 0 time-out, -1 failure. A failed
// non-blocking connect is reported through the exception set.
int cekej(SOCKET s, bool zapis, uint32_t cas_ms) {
    fd_set sada, chyby;
    FD_ZERO(&sada);
    FD_ZERO(&chyby);
    FD_SET(s, &sada);
    FD_SET(s, &chyby);
    timeval tv{static_cast<long>(cas_ms / 1000), static_cast<long>((cas_ms % 1000) * 1000)};
    int r = ::select(0, zapis ? nullptr : &sada, zapis ? &sada : nullptr, &chyby, &tv);
    if (r == SOCKET_ERROR) return -1;
    return r > 0 ? 1 : 0;
}

// A non-blocking connect to one address; 0 or the Winsock error.
int pripoj_adresu(SOCKET s, const addrinfo* a, uint32_t cas_ms) {
    if (::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0) return 0;
    int chyba = WSAGetLastError();
    if (chyba != WSAEWOULDBLOCK) return chyba;
    int r = cekej(s, true, cas_ms);
    if (r < 0) return WSAGetLastError();
    if (r == 0) return WSAETIMEDOUT;
    chyba = 0;
    int delka = sizeof chyba;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&chyba), &delka) != 0)
        return WSAGetLastError();
    return chyba;
}

// Milliseconds left until `mez` (0 once it has passed).
uint32_t zbyva_do(ULONGLONG mez) {
    ULONGLONG ted = GetTickCount64();
    return ted < mez ? static_cast<uint32_t>(mez - ted) : 0;
}

// The system's text for a Winsock error, without its line end.
std::string text_chyby(int kod) {
    char buf[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(kod), 0, buf, sizeof buf, nullptr);
    std::string t(buf, n);
    while (!t.empty() && (t.back() == '\r' || t.back() == '\n' || t.back() == ' ' || t.back() == '.')) t.pop_back();
    return t.empty() ? "Winsock error " + std::to_string(kod) : t;
}

}  // namespace

SitSpojeni* sit_pripoj(const std::string& hostitel, uint16_t port, uint32_t cas_ms, uint32_t& chyba,
                       std::string& duvod) {
    std::string kde = hostitel + ":" + std::to_string(port);
    if (!winsock()) {
        chyba = static_cast<uint32_t>(WSAGetLastError());
        duvod = kde + ": Winsock: " + text_chyby(static_cast<int>(chyba));
        return nullptr;
    }
    addrinfo rada{};
    rada.ai_family = AF_UNSPEC;
    rada.ai_socktype = SOCK_STREAM;
    rada.ai_protocol = IPPROTO_TCP;
    addrinfo* adresy = nullptr;
    if (int g = getaddrinfo(hostitel.c_str(), std::to_string(port).c_str(), &rada, &adresy); g != 0) {
        chyba = static_cast<uint32_t>(g);
        // "the name cannot be resolved"
        duvod = kde + ": jm\xE9no nelze p\xF8" "elo\x9Eit (" + text_chyby(g) + ")";
        return nullptr;
    }
    int posledni = WSAECONNREFUSED;
    SOCKET s = INVALID_SOCKET;
    const ULONGLONG mez = GetTickCount64() + cas_ms;  // for all the addresses together
    for (addrinfo* a = adresy; a; a = a->ai_next) {
        s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET) {
            posledni = WSAGetLastError();
            continue;
        }
        u_long neblokovat = 1;
        posledni = ioctlsocket(s, FIONBIO, &neblokovat) == 0 ? pripoj_adresu(s, a, zbyva_do(mez))
                                                              : WSAGetLastError();
        if (posledni == 0) break;
        closesocket(s);
        s = INVALID_SOCKET;
    }
    freeaddrinfo(adresy);
    if (s == INVALID_SOCKET) {
        chyba = static_cast<uint32_t>(posledni);
        duvod = kde + ": " + text_chyby(posledni);
        if (posledni == WSAECONNREFUSED)
            // "the server refuses the connection: is it running, and does it serve this port?"
            duvod += ". Server spojen\xED odm\xEDt\xE1: b\xEC\x9E\xED a obsluhuje tento port?";
        WSASetLastError(posledni);
        return nullptr;
    }
    BOOL ano = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&ano), sizeof ano);
    chyba = 0;
    duvod.clear();
    return new SitSpojeni{s};
}

long sit_posli(SitSpojeni* s, const uint8_t* data, size_t pocet, uint32_t cas_ms) {
    if (!s) return -1;
    const ULONGLONG mez = GetTickCount64() + cas_ms;  // for all the bytes together
    size_t hotovo = 0;
    while (hotovo < pocet) {
        size_t kus = pocet - hotovo;
        int n = ::send(s->s, reinterpret_cast<const char*>(data + hotovo),
                       static_cast<int>(kus > INT_MAX ? INT_MAX : kus), 0);
        if (n > 0) {
            hotovo += static_cast<size_t>(n);
            continue;
        }
        if (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) return -1;
        int r = cekej(s->s, true, zbyva_do(mez));
        if (r < 0) return -1;
        if (r == 0) break;
    }
    return static_cast<long>(hotovo);
}

long sit_prijmi(SitSpojeni* s, uint8_t* data, size_t max, uint32_t cas_ms) {
    if (!s) return -1;
    int velikost = static_cast<int>(max > INT_MAX ? INT_MAX : max);
    for (;;) {
        int n = ::recv(s->s, reinterpret_cast<char*>(data), velikost, 0);
        if (n > 0) return n;
        if (n == 0) return -1;  // the other end closed the connection
        if (WSAGetLastError() != WSAEWOULDBLOCK) return -1;
        if (cas_ms == 0) return 0;
        int r = cekej(s->s, false, cas_ms);
        if (r <= 0) return r;
        cas_ms = 0;  // ready: the next recv has data, an end or an error
    }
}

// Closing a socket with unread input resets the connection, and a reset may make the
// server drop what it has not passed on yet (the closing EOT). So the end is announced
// first and the server's last words are read until it closes too (at most a second).
void sit_zavri(SitSpojeni* s) {
    if (!s) return;
    if (::shutdown(s->s, SD_SEND) == 0) {
        uint8_t zbytek[512];
        const ULONGLONG mez = GetTickCount64() + 1000;
        while (uint32_t zbyva = zbyva_do(mez))
            if (sit_prijmi(s, zbytek, sizeof zbytek, zbyva) <= 0) break;
    }
    closesocket(s->s);
    delete s;
}
