// A TCP connection to a serial device server (a COM port mapped to the network).
// One backend per OS: platform/posix/sit_posix.cpp on BSD sockets,
// platform/win32/sit_win32.cpp on Winsock; the protocol above it (link/port_sit.cpp,
// link/telnet.cpp) is the same on both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SitSpojeni;  // an open connection

// Connects to hostitel:port, waiting at most cas_ms in all (the name's look-up aside). Null on failure, with the system's
// error code and a readable reason (Windows-1250) that names the host and the port:
// a name that does not resolve, a refused or unreachable server.
SitSpojeni* sit_pripoj(const std::string& hostitel, uint16_t port, uint32_t cas_ms, uint32_t& chyba,
                       std::string& duvod);
// Sends the bytes, waiting at most cas_ms in all for the connection to take them (0: only
// what it takes at once, never waiting). The count sent, less than `pocet` when the time
// ran out; -1 when the connection failed or was closed.
long sit_posli(SitSpojeni* s, const uint8_t* data, size_t pocet, uint32_t cas_ms);
// Receives up to `max` bytes, waiting at most cas_ms for the first of them (0: never
// waiting). The count, 0 on time-out, -1 when the other end closed the connection or it
// failed.
long sit_prijmi(SitSpojeni* s, uint8_t* data, size_t max, uint32_t cas_ms);
void sit_zavri(SitSpojeni* s);
