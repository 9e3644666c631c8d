// The line as the link code sees it. The real port is the serial port of the platform;
// tests put a scripted peer in its place. Only one port is open at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/serial.h"

class Port {
public:
    virtual ~Port() = default;
    virtual bool fronty(uint32_t vstup, uint32_t vystup) = 0;
    virtual bool maska_udalosti(bool prijaty_znak) = 0;
    // Lets written bytes leave, then discards unread input.
    virtual bool vycisti() = 0;
    virtual bool nastav_linku(const SerialLine& linka) = 0;
    virtual bool nastav_casy(const SerialTimeouts& casy) = 0;
    // Writes all bytes; false on failure or write time-out.
    virtual bool zapis(const uint8_t* data, size_t pocet) = 0;
    // After a failed zapis: true when the write time-out ran out.
    virtual bool zapis_vyprsel() = 0;
    // Reads up to `max` bytes under the time-outs: the count, 0 on time-out, -1 when the
    // device failed.
    virtual long cti(uint8_t* data, size_t max) = 0;
    // Reads up to `max` bytes, stopping right after the byte `konec` (ser_read_do). The
    // default reads byte by byte.
    virtual size_t cti_do(uint8_t* data, size_t max, uint8_t konec, bool& selhalo) {
        return ser_cti_po_bajtu([this](uint8_t* d) { return cti(d, 1); }, data, max, konec, selhalo);
    }
    virtual uint32_t vymaz_chyby() = 0;
    virtual bool dtr(bool zapnout) = 0;
    virtual bool stav_modemu(uint32_t& stav) = 0;
};

struct OtevrenyPort {
    std::unique_ptr<Port> port;  // null when the open failed
    std::string zarizeni;        // the device that was tried
    uint32_t chyba = 0;          // the system's error code
    std::string duvod;           // readable reason (Windows-1250)
};

// Opens COMn. The default opens the platform serial port.
using OtviracPortu = std::function<OtevrenyPort(uint32_t cislo_portu)>;
void nastav_otvirac_portu(OtviracPortu otvirac);  // empty = the platform port
OtevrenyPort otevri_port(uint32_t cislo_portu);
// A COM port mapped to a serial device server: "rfc2217://HOST:PORT" or "tcp://HOST:PORT"
// (link/port_sit.cpp).
OtevrenyPort otevri_sitovy_port(const std::string& adresa);

// The port opened by OpenConnection; null while closed.
Port* aktualni_port();
void nastav_aktualni_port(std::unique_ptr<Port> port);
