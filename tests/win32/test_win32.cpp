// The Win32 layer: the serial calls on handles that
// are not serial ports (no test opens a COM port).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/serial.h"
#include "tests/pomocne.h"

namespace {

namespace fs = std::filesystem;

// A handle without serial functions (like Wine's pseudo-terminal without modem lines)
// makes the line calls fail without harm (the data flow through such a port is the Wine
// smoke run's); a missing device reports its code and name; an open one belongs to this
// program alone.
TEST(Win32Serial, SouborMistoPortu) {
    fs::path adresar = novy_docasny_adresar();
    std::string soubor = (adresar / "port").string();
    zapis_soubor(soubor, "");
    // COMn is the system's port unless the ini file (or KASLNK_COMn) maps it.
    EXPECT_EQ(ser_jmeno_zarizeni(9, ""), "COM9");
    EXPECT_EQ(ser_jmeno_zarizeni(9, "\\\\.\\COM14"), "\\\\.\\COM14");
    uint32_t chyba = 0;
    std::string duvod;
    EXPECT_EQ(ser_open(soubor + ".neni", chyba, duvod), nullptr);
    EXPECT_EQ(chyba, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(duvod.find(".neni: "), std::string::npos) << duvod;
    EXPECT_GT(duvod.size(), soubor.size() + 8) << duvod;

    SerialPort* p = ser_open(soubor, chyba, duvod);
    ASSERT_NE(p, nullptr) << duvod;
    EXPECT_EQ(ser_open(soubor, chyba, duvod), nullptr);
    EXPECT_EQ(chyba, static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(ser_set_line(p, SerialLine{}));
    EXPECT_FALSE(ser_set_dtr(p, true));
    uint32_t stav = 0xFFFF;
    EXPECT_FALSE(ser_modem_status(p, stav));
    EXPECT_EQ(ser_clear_errors(p), 0u);
    ser_close(p);
    std::error_code ec;
    fs::remove_all(adresar, ec);
}

}  // namespace
