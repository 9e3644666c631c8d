// The real termios port on a pseudo-terminal: the test plays the register on the master.
// (That the closing EOT of an operation reaches the register although the port is closed
// at once shows end to end, in what the simulator stores.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/serial.h"

namespace {

class Pty : public ::testing::Test {
protected:
    int master = -1, slave = -1;
    std::string cesta;

    void SetUp() override {
        char jmeno[128];
        // The program's end stays open, so that the master does not see a hang-up when the port closes.
        ASSERT_EQ(openpty(&master, &slave, jmeno, nullptr, nullptr), 0);
        cesta = jmeno;
    }
    void TearDown() override {
        if (master >= 0) ::close(master);
        if (slave >= 0) ::close(slave);
    }

    // Up to `n` bytes from the program, within `ms` each.
    std::string prijmi(size_t n, int ms = 3000) {
        std::string s;
        char c;
        for (pollfd pf{master, POLLIN, 0}; s.size() < n && ::poll(&pf, 1, ms) > 0 && ::read(master, &c, 1) == 1;)
            s += c;
        return s;
    }
    void posli(const std::string& s) { ASSERT_EQ(::write(master, s.data(), s.size()), static_cast<ssize_t>(s.size())); }
};

}  // namespace

TEST_F(Pty, PortCteniACisteni) {
    uint32_t chyba = 0;
    std::string duvod;
    EXPECT_EQ(ser_open("/nonexistent/tty", chyba, duvod), nullptr);
    EXPECT_EQ(chyba, static_cast<uint32_t>(ENOENT));
    EXPECT_NE(duvod.find("KASLNK_COMn"), std::string::npos);
    SerialPort* p = ser_open(cesta, chyba, duvod);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(ser_open(cesta, chyba, duvod), nullptr);  // for one program only
    EXPECT_EQ(chyba, static_cast<uint32_t>(EBUSY));
    EXPECT_NE(duvod.find(cesta), std::string::npos);
    // A pseudo-terminal has no modem lines: refused, reported as no carrier.
    uint32_t stav = 1;
    EXPECT_FALSE(ser_modem_status(p, stav));
    EXPECT_EQ(stav, 0u);
    EXPECT_FALSE(ser_set_dtr(p, true));
    for (uint8_t parita = 0; parita <= 4; ++parita) EXPECT_TRUE(ser_set_line(p, SerialLine{9600, 7, parita, 2, 7}));
    EXPECT_FALSE(ser_set_line(p, SerialLine{9600, 9, 0, 0, 0}));
    ASSERT_TRUE(ser_set_line(p, SerialLine{}));

    uint8_t buf[16];
    ASSERT_TRUE(ser_set_timeouts(p, SerialTimeouts{0, 0, 20, 0, 0}));
    EXPECT_EQ(ser_read(p, buf, 1), 0);  // silence: a time-out, no error
    // The read ends at the interval after the last byte that came.
    posli("abc");
    ASSERT_TRUE(ser_set_timeouts(p, SerialTimeouts{50, 0, 10000, 0, 0}));
    EXPECT_EQ(ser_read(p, buf, sizeof buf), 3);
    ASSERT_TRUE(ser_set_timeouts(p, SerialTimeouts{0xFFFFFFFF, 0, 0, 0, 0}));  // what is there, at once
    EXPECT_EQ(ser_read(p, buf, sizeof buf), 0);
    // A read up to an end byte stops after it; bytes one driver read brought beyond a
    // request come next, in order; purging drops them with all unread input, never
    // written output.
    ASSERT_TRUE(ser_set_timeouts(p, SerialTimeouts{0, 0, 300, 0, 0}));
    posli("ab\rcdef");
    usleep(20000);
    bool selhalo = true;
    ASSERT_EQ(ser_read_do(p, buf, sizeof buf, '\r', selhalo), 3u);
    ASSERT_EQ(ser_read(p, buf + 3, 1), 1);
    EXPECT_EQ(std::string(buf, buf + 4), "ab\rc");
    EXPECT_FALSE(selhalo);
    ASSERT_TRUE(ser_write(p, reinterpret_cast<const uint8_t*>("xyz"), 3));
    usleep(20000);
    EXPECT_TRUE(ser_purge(p));
    posli("X");
    ASSERT_EQ(ser_read(p, buf, 4), 1);  // "def" is gone
    EXPECT_EQ(buf[0], 'X');
    EXPECT_EQ(prijmi(3), "xyz");
    // Up to an end byte each byte may take as long as a read of one byte (300 ms), however
    // long the read takes in all; a longer pause ends it with what came.
    std::thread pomalu([this] {
        for (char c : std::string("12345")) usleep(100000), posli(std::string(1, c));
    });
    EXPECT_EQ(ser_read_do(p, buf, sizeof buf, '\r', selhalo), 5u);
    pomalu.join();
    EXPECT_EQ(std::string(buf, buf + 5), "12345");
    // The adapter pulled out (the other side hangs up): a failing read, not a time-out.
    ::close(master);
    master = -1;
    EXPECT_EQ(ser_read(p, buf, 4), -1);
    EXPECT_EQ(ser_read_do(p, buf, 4, '\r', selhalo), 0u);
    EXPECT_TRUE(selhalo);
    ser_close(p);
}
