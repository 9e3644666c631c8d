// The serial backend on Wine's COM1 mapped to a pseudo-terminal whose other end echoes
// every byte back. Runs only when scripts/windows.sh has mapped COM1 to that terminal and
// names it in KASLNK_WINE_PTY; the test checks the mapping in Wine's registry itself
// before it opens anything, so it never reaches a real serial device. The data flow and
// the port opened anew for each operation are the smoke run's; here the time-outs.
#include <gtest/gtest.h>

#include <windows.h>

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

// A read with nothing arriving ends after the total time-out with no bytes, also on a
// port set up a second time (the terminal keeps what the last program left).
TEST(Win32Pty, CteniBezDatKonciPoCase) {
    const char* pty = std::getenv("KASLNK_WINE_PTY");
    if (!pty || !*pty) GTEST_SKIP() << "COM1 is not mapped to a test terminal";
    ASSERT_EQ(std::string(pty).rfind("/dev/pts/", 0), 0u) << pty << " is not a pseudo-terminal";
    ASSERT_EQ(com1_ve_wine(), pty) << "COM1 does not point at the test terminal";
    uint32_t chyba = 0;
    std::string duvod;
    for (int kolikrat = 1; kolikrat <= 2; ++kolikrat) {
        SerialPort* p = ser_open(ser_jmeno_zarizeni(1, ""), chyba, duvod);
        ASSERT_NE(p, nullptr) << duvod;
        EXPECT_TRUE(ser_set_line(p, SerialLine{})) << "open " << kolikrat;
        EXPECT_TRUE(ser_purge(p));
        EXPECT_TRUE(ser_set_timeouts(p, SerialTimeouts{1000, 0, 50, 0, 10}));
        uint8_t zpet[4];
        DWORD zacatek = GetTickCount();
        EXPECT_EQ(ser_read(p, zpet, 1), 0);
        EXPECT_GE(GetTickCount() - zacatek, 30u);
        EXPECT_LT(GetTickCount() - zacatek, 2000u);
        ser_close(p);
    }
}

}  // namespace
