// The line as the link code sees it. The real port is the serial port of the platform;
// tests put a scripted peer in its place. A session has at most one port open (s.port).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/serial.h"

class SezeniJadra;
class Sezeni;

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

// Opens COMn: the session's opener (s.sluzby.otvirac_portu) when it has one, otherwise
// the device of zarizeni_portu: a serial device server for a network address, else the
// platform serial port.
// A session that may be cancelled (s.lze_zrusit) gets the port as zrusitelny_port.
using OtviracPortu = std::function<OtevrenyPort(uint32_t cislo_portu)>;
OtevrenyPort otevri_port(Sezeni& s, uint32_t cislo_portu);
// The port `port` whose reads wait in slices of at most ZRUSENI_DIL_MS and look between
// them whether the session's work is cancelled (kontroluj_zruseni, core/prenos.h), as do
// its writes and its modem status; the time-outs the link sets keep their meaning.
constexpr uint32_t ZRUSENI_DIL_MS = 100;
std::unique_ptr<Port> zrusitelny_port(SezeniJadra& s, std::unique_ptr<Port> port);
// The device of COMn in this session: s.porty[n] when given, then KASLNK_COMn (empty
// counts as unset), then kaslnk.ini's comN (s.ini_porty[n]), then the system's port.
std::string zarizeni_portu(const SezeniJadra& s, uint32_t cislo_portu);
// Maps COMn (1..9) of this session alone to a device path, "rfc2217://HOST:PORT" or
// "tcp://HOST:PORT"; empty removes the mapping. False for another n.
bool nastav_port_sezeni(SezeniJadra& s, int cislo_portu, const std::string& zarizeni);
// A COM port mapped to a serial device server: "rfc2217://HOST:PORT" or "tcp://HOST:PORT"
// (link/port_sit.cpp). The server's remarks (debug mode) go to the session's boxes; the
// port must not outlive the session.
OtevrenyPort otevri_sitovy_port(SezeniJadra& s, const std::string& adresa);
