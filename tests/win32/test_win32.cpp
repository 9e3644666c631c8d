// The Win32 layer: the serial calls on handles that
// are not serial ports (no test opens a COM port).
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <string>

#include "platform/serial.h"
#include "platform/sit.h"
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
    // COMn is the system's port unless the ini file or KASLNK_COMn (first) maps it.
    const char* v_prostredi = std::getenv("KASLNK_COM9");
    const std::string puvodni = v_prostredi ? v_prostredi : "";
    _putenv_s("KASLNK_COM9", "");
    EXPECT_EQ(ser_jmeno_zarizeni(9, ""), "COM9");
    EXPECT_EQ(ser_jmeno_zarizeni(9, "\\\\.\\COM14"), "\\\\.\\COM14");
    _putenv_s("KASLNK_COM9", "tcp://127.0.0.1:9");
    EXPECT_EQ(ser_jmeno_zarizeni(9, "COM14"), "tcp://127.0.0.1:9");
    _putenv_s("KASLNK_COM9", puvodni.c_str());
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

// The Winsock layer against a loopback listener: bytes both ways, a read that waits out its
// time-out with nothing there, the other end's close read as a failure at once, and a
// refused port with the reason naming host and port.
TEST(Win32Sit, SpojeniNaLoopbacku) {
    uint32_t chyba = 0;
    std::string duvod;
    EXPECT_EQ(sit_pripoj("127.0.0.1", 1, 2000, chyba, duvod), nullptr);  // and Winsock is started
    EXPECT_EQ(chyba, static_cast<uint32_t>(WSAECONNREFUSED));
    EXPECT_NE(duvod.find("127.0.0.1:1: "), std::string::npos) << duvod;
    SOCKET l = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int delka = sizeof a;
    ASSERT_EQ(bind(l, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(l, 1), 0);
    getsockname(l, reinterpret_cast<sockaddr*>(&a), &delka);
    SitSpojeni* s = sit_pripoj("localhost", ntohs(a.sin_port), 2000, chyba, duvod);
    ASSERT_NE(s, nullptr) << duvod;
    SOCKET server = accept(l, nullptr, nullptr);
    const uint8_t ven[3] = {0x05, 0xFF, 0x04};
    EXPECT_GT(sit_posli(s, ven, 3, 1000), 0);  // all three arrive (below)
    char prijato[8] = {};
    EXPECT_EQ(recv(server, prijato, sizeof prijato, 0), 3);
    EXPECT_EQ(std::string(prijato, 3), "\x05\xFF\x04");
    uint8_t buf[8];
    DWORD zacatek = GetTickCount();
    EXPECT_EQ(sit_prijmi(s, buf, sizeof buf, 200), 0);
    EXPECT_GE(GetTickCount() - zacatek, 190u);
    send(server, "\x06", 1, 0);
    EXPECT_EQ(sit_prijmi(s, buf, sizeof buf, 1000), 1);
    closesocket(server);
    EXPECT_EQ(sit_prijmi(s, buf, sizeof buf, 1000), -1);
    sit_zavri(s);
    closesocket(l);
}

}  // namespace
