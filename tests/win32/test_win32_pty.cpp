// The serial backend on Wine's COM1 mapped to a pseudo-terminal whose other end echoes
// every byte back. Runs only when scripts/windows.sh has mapped COM1 to that terminal and
// names it in KASLNK_WINE_PTY; the test checks the mapping in Wine's registry itself
// before it opens anything, so it never reaches a real serial device.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/serial.h"

namespace {

std::string com1_ve_wine() {
    char hodnota[260] = {};
    DWORD velikost = sizeof hodnota - 1;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Wine\\Ports", "COM1", RRF_RT_REG_SZ, nullptr,
                     hodnota, &velikost) != ERROR_SUCCESS)
        return {};
    return hodnota;
}

TEST(Win32Pty, SeriovyPortNaPseudoterminalu) {
    const char* pty = std::getenv("KASLNK_WINE_PTY");
    if (!pty || !*pty) GTEST_SKIP() << "COM1 is not mapped to a test terminal";
    ASSERT_EQ(std::string(pty).rfind("/dev/pts/", 0), 0u) << pty << " is not a pseudo-terminal";
    ASSERT_EQ(com1_ve_wine(), pty) << "COM1 does not point at the test terminal";

    uint32_t chyba = 0;
    std::string duvod;
    SerialPort* p = ser_open(ser_jmeno_zarizeni(1, ""), chyba, duvod);
    ASSERT_NE(p, nullptr) << duvod;
    EXPECT_TRUE(ser_set_event_mask(p, true));
    EXPECT_TRUE(ser_setup_queues(p, 4096, 4096));
    EXPECT_TRUE(ser_purge(p));
    EXPECT_TRUE(ser_set_line(p, SerialLine{}));
    EXPECT_TRUE(ser_set_timeouts(p, SerialTimeouts{1000, 1, 1000, 1, 10}));

    // A pseudo-terminal has no modem lines: these fail (error 50 under Wine), harmlessly.
    SetLastError(0);
    bool dtr = ser_set_dtr(p, true);
    std::printf("DTR: %s, error %lu\n", dtr ? "set" : "refused", GetLastError());
    SetLastError(0);
    uint32_t stav = 0;
    bool modem = ser_modem_status(p, stav);
    std::printf("modem status: %s, error %lu\n", modem ? "read" : "refused", GetLastError());

    const uint8_t ven[] = {0x05, '0', '0', '0', '0', '0', '1', 0x04};
    ASSERT_TRUE(ser_write(p, ven, sizeof ven));
    uint8_t zpet[16] = {};
    size_t mam = 0;
    for (int pokus = 0; pokus < 20 && mam < sizeof ven; ++pokus) {
        long n = ser_read(p, zpet + mam, sizeof ven - mam);
        ASSERT_GE(n, 0);
        mam += static_cast<size_t>(n);
    }
    ASSERT_EQ(mam, sizeof ven);
    EXPECT_EQ(std::string(zpet, zpet + mam), std::string(ven, ven + sizeof ven));
    EXPECT_EQ(ser_clear_errors(p), 0u);

    // A read with nothing arriving ends after the total time-out with no bytes.
    EXPECT_TRUE(ser_set_timeouts(p, SerialTimeouts{1000, 0, 50, 0, 10}));
    DWORD zacatek = GetTickCount();
    EXPECT_EQ(ser_read(p, zpet, 1), 0);
    DWORD trvalo = GetTickCount() - zacatek;
    EXPECT_GE(trvalo, 30u);
    EXPECT_LT(trvalo, 2000u);

    EXPECT_TRUE(ser_set_event_mask(p, false));
    ser_close(p);
}

// Every operation of a transfer opens and sets the port anew. The terminal keeps what the
// last program left (Linux keeps the odd-parity flag of 7O1 and refuses the same setting
// again); the port must still be set each time.
TEST(Win32Pty, OpakovaneOtevreni) {
    const char* pty = std::getenv("KASLNK_WINE_PTY");
    if (!pty || !*pty) GTEST_SKIP() << "COM1 is not mapped to a test terminal";
    ASSERT_EQ(com1_ve_wine(), pty) << "COM1 does not point at the test terminal";
    for (int kolikrat = 1; kolikrat <= 3; ++kolikrat) {
        uint32_t chyba = 0;
        std::string duvod;
        SerialPort* p = ser_open(ser_jmeno_zarizeni(1, ""), chyba, duvod);
        ASSERT_NE(p, nullptr) << duvod;
        EXPECT_TRUE(ser_set_line(p, SerialLine{})) << "open " << kolikrat;
        ser_close(p);
    }
    // What the system reads back after 7O1 (Wine on a pseudo-terminal: 8 bits).
    HANDLE h = CreateFileA("COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (GetCommState(h, &dcb))
        std::printf("line read back: %u bit/s, %u data bits, parity %u\n", static_cast<unsigned>(dcb.BaudRate),
                    dcb.ByteSize, dcb.Parity);
    CloseHandle(h);
}

}  // namespace
