// The Win32 layer: text conversion, command line and the serial calls on handles that
// are not serial ports (no test opens a COM port).
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "platform/serial.h"
#include "platform/win32/text_win32.h"

namespace {

namespace fs = std::filesystem;

TEST(Win32Text, Cp1250NaUtf16BezOhleduNaKodovouStranku) {
    EXPECT_EQ(cp1250_na_utf16("P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2"),
              L"P\u0159\u00EDli\u0161 \u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148");
    EXPECT_EQ(cp1250_na_utf16("Spojen\xED je nav\xE1z\xE1no.\r"), L"Spojen\u00ED je nav\u00E1z\u00E1no.\r");
    EXPECT_EQ(cp1250_na_utf16(""), L"");
}

TEST(Win32, PrikazovyRadekJakHoDavaSystem) {
    std::string radek = plat_prikazovy_radek();
    EXPECT_NE(radek.find("kaslnk_tests"), std::string::npos) << radek;
    EXPECT_EQ(radek, GetCommandLineA());
}

// A handle without serial functions (like Wine's pseudo-terminal without modem lines)
// makes the line calls fail without harm, while reads and writes still pass through; a
// missing device reports its code and name; an open one belongs to this program alone.
TEST(Win32Serial, SouborMistoPortu) {
    std::string soubor = (fs::temp_directory_path() /
                          ("kaslnk-ser-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
                             .string();
    std::ofstream(soubor, std::ios::binary) << "";
    EXPECT_EQ(ser_jmeno_zarizeni(9, "/dev/ttyUSB0"), "COM9");  // no mapping on Windows
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
    const uint8_t data[] = {0x05, 'A', 0x04};
    EXPECT_TRUE(ser_write(p, data, sizeof data));
    ser_close(p);

    p = ser_open(soubor, chyba, duvod);
    ASSERT_NE(p, nullptr) << duvod;
    uint8_t zpet[8] = {};
    EXPECT_EQ(ser_read(p, zpet, sizeof zpet), 3);
    EXPECT_EQ(zpet[2], 0x04);
    EXPECT_EQ(ser_read(p, zpet, sizeof zpet), 0);
    ser_close(p);
    std::error_code ec;
    fs::remove(soubor, ec);
}

}  // namespace
