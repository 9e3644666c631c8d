// The serial port as the operating system offers it. One backend per OS
// (platform/posix/serial_posix.cpp on termios, platform/win32/serial_win32.cpp on the
// Win32 communications API); the link code calls only this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct SerialPort;  // an open port

// Line settings, with the Win32 codes: parita 0 none, 1 odd, 2 even, 3 mark, 4 space;
// stop_bity 0 one, 1 one and a half, 2 two; rizeni_toku bit 0 DTR/DSR, bit 1 RTS/CTS,
// bit 2 XON/XOFF.
struct SerialLine {
    uint32_t rychlost = 19200;
    uint8_t datove_bity = 7;
    uint8_t parita = 1;
    uint8_t stop_bity = 0;
    uint8_t rizeni_toku = 2;
};

// Time-outs with the meaning of the Win32 COMMTIMEOUTS record (milliseconds): a read
// ends when interval ms pass between two characters or when
// total_multiplier * bytes + total_constant ms have passed in all.
struct SerialTimeouts {
    uint32_t read_interval = 0;
    uint32_t read_total_multiplier = 0;
    uint32_t read_total_constant = 0;
    uint32_t write_total_multiplier = 0;
    uint32_t write_total_constant = 0;
};

// The read time-out rule of SerialTimeouts, written once for the backends that wait by
// themselves (termios) and for the virtual line of the tests; Win32 applies it itself.
// Times are milliseconds on one monotonic clock. A read of `max` bytes ends when they are
// all there, when read_total_multiplier * max + read_total_constant ms have passed since
// it began (0: no limit), or, after its first byte, when read_interval ms (0: no limit)
// pass without a further one. Two Win32 special forms: interval MAXDWORD with the other
// two 0 returns at once with what is there; interval and multiplier MAXDWORD with a
// constant returns as soon as a byte is there, waiting up to the constant for it.
class LhutaCteni {
public:
    static constexpr uint32_t BEZ_MEZE = 0xFFFFFFFFu;  // Win32 MAXDWORD

    LhutaCteni(const SerialTimeouts& c, size_t max, int64_t zacatek) : posledni_(zacatek) {
        hned_ = c.read_interval == BEZ_MEZE && c.read_total_multiplier == 0 && c.read_total_constant == 0;
        prvni_staci_ = c.read_interval == BEZ_MEZE && c.read_total_multiplier == BEZ_MEZE &&
                       c.read_total_constant > 0 && c.read_total_constant < BEZ_MEZE;
        uint64_t celkem = prvni_staci_ ? c.read_total_constant
                                       : uint64_t{c.read_total_multiplier} * max + c.read_total_constant;
        mez_ = (celkem && !hned_) ? zacatek + static_cast<int64_t>(celkem) : -1;
        interval_ = c.read_interval != BEZ_MEZE ? c.read_interval : 0;
    }
    // Bytes arrived at `kdy`.
    void prijato(int64_t kdy) { posledni_ = kdy; }
    // How long the read may still wait for its next byte at `ted`, having `precteno`
    // bytes: -1 without a limit, else milliseconds; 0 means a last look at what is there,
    // after which the read ends.
    int64_t cekani(int64_t ted, size_t precteno) const {
        if (hned_ || (prvni_staci_ && precteno > 0)) return 0;
        bool omezeno = mez_ >= 0;
        int64_t zbyva = omezeno ? mez_ - ted : 0;
        if (precteno > 0 && interval_) {
            int64_t do_intervalu = posledni_ + interval_ - ted;
            if (!omezeno || do_intervalu < zbyva) zbyva = do_intervalu;
            omezeno = true;
        }
        if (!omezeno) return -1;
        return zbyva > 0 ? zbyva : 0;
    }

private:
    bool hned_ = false, prvni_staci_ = false;
    int64_t mez_ = -1;  // end of the total time, -1 none
    uint32_t interval_ = 0;
    int64_t posledni_;
};

// Modem status bits as GetCommModemStatus reports them.
constexpr uint32_t SER_MS_CTS = 0x10, SER_MS_DSR = 0x20, SER_MS_RING = 0x40, SER_MS_RLSD = 0x80;

// The device that port COMn means on this OS: the environment variable KASLNK_COMn,
// else `z_konfigurace` (the ini key comN) when not empty, else the system's own port
// (/dev/ttyS<n-1> on Linux, COMn on Windows).
std::string ser_jmeno_zarizeni(int cislo_portu, const std::string& z_konfigurace);

// The same device together with the rule that chose it.
enum class PuvodZarizeni { prostredi, konfigurace, vychozi };
struct ZarizeniPortu {
    std::string jmeno;
    PuvodZarizeni puvod;
};
ZarizeniPortu ser_zarizeni_portu(int cislo_portu, const std::string& z_konfigurace);

// The rule of ser_zarizeni_portu, with the system's own device `vychozi`; the same on
// every OS.
inline ZarizeniPortu ser_vyber_zarizeni(int cislo_portu, const std::string& z_konfigurace,
                                        const std::string& vychozi) {
    std::string promenna = "KASLNK_COM" + std::to_string(cislo_portu);
    if (const char* z_prostredi = std::getenv(promenna.c_str()); z_prostredi && *z_prostredi)
        return {z_prostredi, PuvodZarizeni::prostredi};
    if (!z_konfigurace.empty()) return {z_konfigurace, PuvodZarizeni::konfigurace};
    return {vychozi, PuvodZarizeni::vychozi};
}

// The serial devices present on this machine, found without opening any. Linux: the
// /dev/ttyS* behind which the kernel found a UART, /dev/ttyUSB*, /dev/ttyACM*, and the
// links of /dev/serial/by-id as "link -> device". Windows: the ports of the registry's
// SERIALCOMM list as "COMn  driver's device name", in the order of their numbers.
std::vector<std::string> ser_pritomna_zarizeni();

// Opens the device for this program alone. Null on failure, with the system's error code
// and a readable reason (for Linux users including a hint on permissions).
SerialPort* ser_open(const std::string& zarizeni, uint32_t& chyba, std::string& duvod);
bool ser_setup_queues(SerialPort* p, uint32_t vstup, uint32_t vystup);
bool ser_set_event_mask(SerialPort* p, bool prijaty_znak);
// Waits until everything written has left, then discards unread input. Never throws
// away bytes already written. The wait is bounded: output that flow control holds back
// for longer than its transmission time plus two seconds is abandoned (false).
bool ser_purge(SerialPort* p);
bool ser_set_line(SerialPort* p, const SerialLine& linka);
bool ser_set_timeouts(SerialPort* p, const SerialTimeouts& casy);
// Writes all bytes within the write time-outs; false on failure or time-out.
bool ser_write(SerialPort* p, const uint8_t* data, size_t pocet);
// After a ser_write that returned false: true when its time-out ran out (the device did
// not take the bytes in time; Win32 reports ERROR_COUNTER_TIMEOUT), false when the device
// failed. The register search skips a speed on a time-out and stops on a failure.
bool ser_write_timed_out(SerialPort* p);
// Reads up to `max` bytes under the read time-outs. Returns the count (0 on time-out),
// or -1 when the device failed (for example an unplugged USB adapter).
long ser_read(SerialPort* p, uint8_t* data, size_t max);
// Reads up to `max` bytes, stopping right after the byte `konec`; bytes that came beyond it
// are kept for the next read. Each byte is waited for under the read time-outs as a read of
// one byte starting at the previous one would wait for it, so a pause between two bytes
// longer than that ends the read with what came. Returns the count; `selhalo` is set when
// the device failed. termios: while bytes are coming, the read lets the missing ones gather
// (for their transmission time less one delivery of the line, at most 50 ms) before it
// looks again, so that a line handing over byte by byte does not wake the program at every
// byte.
size_t ser_read_do(SerialPort* p, uint8_t* data, size_t max, uint8_t konec, bool& selhalo);
// The same read made of one-byte reads (`cti1(data)` reads one byte as ser_read does), for
// lines whose driver gathers bytes by itself.
template <class Cti1>
size_t ser_cti_po_bajtu(Cti1 cti1, uint8_t* data, size_t max, uint8_t konec, bool& selhalo) {
    size_t n = 0;
    selhalo = false;
    while (n < max) {
        long r = cti1(data + n);
        if (r != 1) {
            selhalo = r < 0;
            break;
        }
        if (data[n++] == konec) break;
    }
    return n;
}
// Reads and clears the line error state; returns the Win32-style error mask (0 = none).
uint32_t ser_clear_errors(SerialPort* p);
// DTR raise/drop. False when the device refuses (a pseudo-terminal has no modem lines).
bool ser_set_dtr(SerialPort* p, bool zapnout);
// Modem status bits; false (and `stav` 0: no carrier) when the device cannot report them.
bool ser_modem_status(SerialPort* p, uint32_t& stav);
void ser_close(SerialPort* p);
