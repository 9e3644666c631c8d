// The serial port on the Win32 communications interface.
#include "platform/serial.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

struct SerialPort {
    HANDLE h = INVALID_HANDLE_VALUE;
    bool zapis_vyprsel = false;  // the last write ran out of time
};

namespace {

// The system's text for an error code, without its line end.
std::string text_chyby_systemu(DWORD kod) {
    char buf[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, kod,
                             0, buf, sizeof buf, nullptr);
    std::string s(buf, n);
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s.empty() ? "system error " + std::to_string(kod) : s;
}

// COM10 and above open only with the device prefix \\.\, which every port name takes; a
// name with a path (a file in the tests) opens as it is.
std::string jmeno_pro_otevreni(const std::string& zarizeni) {
    if (zarizeni.size() < 4 || _strnicmp(zarizeni.c_str(), "COM", 3) != 0 ||
        zarizeni.find_first_not_of("0123456789", 3) != std::string::npos)
        return zarizeni;
    return "\\\\.\\" + zarizeni;
}

}  // namespace

ZarizeniPortu ser_zarizeni_portu(int cislo_portu, const std::string& z_konfigurace) {
    return ser_vyber_zarizeni(cislo_portu, z_konfigurace, "COM" + std::to_string(cislo_portu));
}

std::string ser_jmeno_zarizeni(int cislo_portu, const std::string& z_konfigurace) {
    return ser_zarizeni_portu(cislo_portu, z_konfigurace).jmeno;
}

std::vector<std::string> ser_pritomna_zarizeni() {
    std::vector<std::pair<unsigned long, std::string>> porty;
    HKEY klic = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &klic) != ERROR_SUCCESS)
        return {};
    for (DWORD i = 0;; ++i) {
        char jmeno[256], data[256];
        DWORD delka_jmena = sizeof jmeno, delka_dat = sizeof data - 1, typ = 0;
        LONG r = RegEnumValueA(klic, i, jmeno, &delka_jmena, nullptr, &typ, reinterpret_cast<BYTE*>(data),
                               &delka_dat);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS || typ != REG_SZ) continue;
        data[delka_dat] = '\0';
        std::string port = data;  // "COM3"; the value's name is the driver's device
        unsigned long cislo = port.size() > 3 ? std::strtoul(port.c_str() + 3, nullptr, 10) : 0;
        porty.emplace_back(cislo, port + "  " + std::string(jmeno, delka_jmena));
    }
    RegCloseKey(klic);
    std::sort(porty.begin(), porty.end());
    std::vector<std::string> v;
    for (auto& p : porty) v.push_back(std::move(p.second));
    return v;
}

SerialPort* ser_open(const std::string& zarizeni, uint32_t& chyba, std::string& duvod) {
    HANDLE h = CreateFileA(jmeno_pro_otevreni(zarizeni).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        chyba = GetLastError();
        duvod = zarizeni + ": " + text_chyby_systemu(chyba);
        SetLastError(chyba);
        return nullptr;
    }
    chyba = 0;
    duvod.clear();
    return new SerialPort{h};
}

bool ser_setup_queues(SerialPort* p, uint32_t vstup, uint32_t vystup) {
    return p && SetupComm(p->h, vstup, vystup);
}

bool ser_set_event_mask(SerialPort* p, bool prijaty_znak) {
    return p && SetCommMask(p->h, prijaty_znak ? EV_RXCHAR : 0);
}

// Written bytes (the closing EOT above all) must leave the port before the purge, or
// the purge could throw them away.
bool ser_purge(SerialPort* p) {
    if (!p) return false;
    FlushFileBuffers(p->h);
    return PurgeComm(p->h, PURGE_RXABORT | PURGE_RXCLEAR);
}

bool ser_set_line(SerialPort* p, const SerialLine& linka) {
    if (!p) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(p->h, &dcb)) return false;
    const bool dtr_dsr = linka.rizeni_toku & 1, rts_cts = linka.rizeni_toku & 2,
               xon_xoff = linka.rizeni_toku & 4;
    dcb.BaudRate = linka.rychlost;
    dcb.ByteSize = linka.datove_bity;
    dcb.Parity = linka.parita;
    dcb.StopBits = linka.stop_bity;
    dcb.fBinary = TRUE;
    dcb.fParity = TRUE;
    dcb.fOutxDsrFlow = dtr_dsr;
    dcb.fDtrControl = dtr_dsr ? DTR_CONTROL_HANDSHAKE : DTR_CONTROL_ENABLE;
    dcb.fOutxCtsFlow = rts_cts;
    dcb.fRtsControl = rts_cts ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    dcb.fOutX = xon_xoff;
    dcb.fInX = xon_xoff;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    dcb.XonLim = 100;
    dcb.XoffLim = 100;
    if (SetCommState(p->h, &dcb)) return true;
    // A port without modem lines (Wine's pseudo-terminal) has no character size or parity
    // either; Linux refuses a repeated 7-bit or parity setting there. Such a port is set
    // to 8 bits without parity; a real port keeps its refusal.
    DWORD chyba = GetLastError(), modem = 0;
    if (GetCommModemStatus(p->h, &modem)) {
        SetLastError(chyba);
        return false;
    }
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.fParity = FALSE;
    return SetCommState(p->h, &dcb);
}

bool ser_set_timeouts(SerialPort* p, const SerialTimeouts& casy) {
    if (!p) return false;
    COMMTIMEOUTS ct{};
    ct.ReadIntervalTimeout = casy.read_interval;
    ct.ReadTotalTimeoutMultiplier = casy.read_total_multiplier;
    ct.ReadTotalTimeoutConstant = casy.read_total_constant;
    ct.WriteTotalTimeoutMultiplier = casy.write_total_multiplier;
    ct.WriteTotalTimeoutConstant = casy.write_total_constant;
    return SetCommTimeouts(p->h, &ct);
}

bool ser_write(SerialPort* p, const uint8_t* data, size_t pocet) {
    if (!p) return false;
    DWORD zapsano = 0;
    p->zapis_vyprsel = false;
    if (!WriteFile(p->h, data, static_cast<DWORD>(pocet), &zapsano, nullptr)) {
        p->zapis_vyprsel = GetLastError() == ERROR_COUNTER_TIMEOUT;
        return false;
    }
    // A synchronous write that returns with fewer bytes ran out of its write time-out.
    p->zapis_vyprsel = zapsano != pocet;
    return zapsano == pocet;
}

bool ser_write_timed_out(SerialPort* p) { return p && p->zapis_vyprsel; }

long ser_read(SerialPort* p, uint8_t* data, size_t max) {
    if (!p) return -1;
    DWORD precteno = 0;
    if (!ReadFile(p->h, data, static_cast<DWORD>(max), &precteno, nullptr)) return -1;
    return static_cast<long>(precteno);
}

// The driver gathers the bytes under the time-outs itself.
size_t ser_read_do(SerialPort* p, uint8_t* data, size_t max, uint8_t konec, bool& selhalo) {
    return ser_cti_po_bajtu([p](uint8_t* d) { return ser_read(p, d, 1); }, data, max, konec, selhalo);
}

uint32_t ser_clear_errors(SerialPort* p) {
    if (!p) return 0;
    DWORD chyby = 0;
    COMSTAT stav{};
    if (!ClearCommError(p->h, &chyby, &stav)) return 0;
    return chyby;
}

bool ser_set_dtr(SerialPort* p, bool zapnout) {
    return p && EscapeCommFunction(p->h, zapnout ? SETDTR : CLRDTR);
}

bool ser_modem_status(SerialPort* p, uint32_t& stav) {
    DWORD s = 0;
    if (!p || !GetCommModemStatus(p->h, &s)) return false;
    stav = s;
    return true;
}

void ser_close(SerialPort* p) {
    if (!p) return;
    CloseHandle(p->h);
    delete p;
}
