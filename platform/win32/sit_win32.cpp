// Network ports are not built for Windows: a COM port there is the system's device
// (a serial device server comes with its own virtual COM driver). The open fails with
// a reason that says so.
#include "platform/sit.h"

#include <cerrno>

SitSpojeni* sit_pripoj(const std::string& hostitel, uint16_t port, uint32_t, uint32_t& chyba,
                       std::string& duvod) {
    chyba = 50;  // ERROR_NOT_SUPPORTED
    // "network ports are available only in the Linux version of the program"
    duvod = hostitel + ":" + std::to_string(port) +
            ": s\xED\x9Eov\xE9 porty um\xED jen linuxov\xE1 verze programu";
    return nullptr;
}

long sit_posli(SitSpojeni*, const uint8_t*, size_t, uint32_t) { return -1; }
long sit_prijmi(SitSpojeni*, uint8_t*, size_t, uint32_t) { return -1; }
void sit_zavri(SitSpojeni*) {}
