// The serial port of the transfer: open, configure, write, read, discard input, close,
// and the Hayes modem. The link protocol uses only WriteCommBlock, prijmi_znak,
// nuluj_rcv_buf and nastav_timeout; the transfer operations open and close the port.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/sezeni.h"
#include "platform/serial.h"

// The session keeps the port's state: s.port, s.rcvchar (the byte prijmi_znak read
// last), s.CommTimeOuts (the time-outs last applied), s.rsd (the raw traffic file
// "rsdata" while rawdebug is set).

// Speeds, parity codes and stop-bit codes in the order of the settings dialog.
extern const uint32_t BaudTable[11];
extern const uint8_t ParityTable[5];
extern const uint8_t StopBitsTable[3];

// Opens COM`tt.cislo_portu` with the line settings of `tt`, raises DTR and dials when a
// modem is used. Returns tt.pripojeno (1 success, 0 failure; the caller raises error 92).
// With debug set a failure names the device and the system's reason in a message box,
// unless `hlasit_selhani` is false (the register search has its own terminal line).
int OpenConnection(Sezeni& s, bool hlasit_selhani = true);
// Applies tt.rychlost, datove_bity, parita, stop_bity and rizeni_toku to the open port.
int SetupConnection(Sezeni& s);
// Hangs up if asked, lets the written bytes leave, drops DTR and closes the port. Always 1.
int CloseConnection(Sezeni& s);
// Writes the bytes in one write: 1 success, 0 failure (the caller picks the error).
// This and prijmi_znak end a worker that is asked to stop (core/prenos.h).
int WriteCommBlock(Sezeni& s, const void* data, size_t pocet);
// Reads one byte into rcvchar: 1 when it came within the read time-out, 0 otherwise.
// A device that fails (not a time-out) ends the transfer with error 47/1.
int prijmi_znak(Sezeni& s);
// Receives the bytes of a block one by one into rcvchar, as prijmi_znak does, but may fetch
// those ahead of the current one in one read of the port: up to `dopredu` of them, never
// past `konec`. A line that hands over byte by byte then wakes the program a few times a
// block instead of at every byte. The bytes fetched are all handed out before the next
// fetch; after a fetch cut short by the time-out comes 0, after one cut short by a failing
// device error 47/1.
class PrijemBloku {
public:
    static constexpr size_t NEJVIC = 4097;  // bytes fetched at once at most
    int znak(Sezeni& s, size_t dopredu, uint8_t konec);

private:
    uint8_t data_[NEJVIC];
    size_t pocet_ = 0, vydano_ = 0;
    int dal_ = 1;  // after the fetched bytes: 1 the next fetch, 0 a time-out, -1 a failure
};
// Read time-outs for the next reads: a one-byte read waits t + 19200/rychlost ms.
int nastav_timeout(Sezeni& s, uint32_t t);
// Discards input that arrives within a few milliseconds (before every enquiry).
void nuluj_rcv_buf(Sezeni& s);
// Unless nodtr: raises DTR and waits 150 ms (before sending, and for commands).
void zvedni_dtr(Sezeni& s);

// Dials tt.telefonni_cislo; 1 when carrier is present.
int VytocCislo(Sezeni& s);
// Returns the modem to command mode and hangs up (errors 93/2, 93/3).
void ZavesModem(Sezeni& s);
// Opens the port without dialling (error 92/5 when it cannot) and hangs up.
void JenomZaves(Sezeni& s);
