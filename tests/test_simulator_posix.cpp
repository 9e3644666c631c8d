// The register simulator's own behaviour that the end-to-end runs do not show: its fault
// injection and its pacing, driven by a small scripted host written here (not the
// program's link code).
#ifndef _WIN32
#ifdef KASLNK_SIM_BINARY

#include "e2e_pomocne.h"

namespace {

using namespace e2e;

constexpr char EOT_ = 0x04, ENQ_ = 0x05, ACK_ = 0x06, NAK_ = 0x15;
const std::string R1 = "0001" "000000001000" "0000000000" "000000000000" "0000000000";

bool soucet_ok(const std::string& r) { return r.size() > 3 && ::ramec(r.substr(1, r.size() - 4)) == r; }

// The simulator with a file 21 of three records (two per block) and the given options;
// the host's end of its line.
class Simulace : public ::testing::Test {
protected:
    fs::path pamet = novy_docasny_adresar();
    std::unique_ptr<Simulator> sim;
    int fd = -1;

    void TearDown() override {
        if (fd >= 0) close(fd);
        sim.reset();
        fs::remove_all(pamet);
    }
    void spust(std::vector<std::string> volby) {
        TearDown();
        fs::create_directory(pamet);
        zapis_soubor(pamet / "r21.txt", "fds 21,00,0064,00,0000,01,00,02,00,00,00,00,00,00,00,0B,0B,00,00,00,00,00,00\n" +
                                            R1 + "\n" + R1 + "\n" + R1 + "\n");
        volby.insert(volby.begin(), {"-m", pamet.string(), "-q", "--records-per-block", "2"});
        sim = std::make_unique<Simulator>(volby);
        fd = open(sim->cesta.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios t;
        tcgetattr(fd, &t);
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    void posli(const std::string& s) { ASSERT_EQ(write(fd, s.data(), s.size()), ssize_t(s.size())); }
    // Sends one byte; the register's next byte, or -1 after `ms` of silence.
    int bajt(char c, int ms = 2000) {
        posli(std::string(1, c));
        return bajt(ms);
    }
    int bajt(int ms = 2000) {
        unsigned char c;
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, ms) > 0 && read(fd, &c, 1) == 1 ? c : -1;
    }
    // A frame from its first byte `b` on: up to CR, stopping at a second of silence.
    std::string az_po_cr(int b) {
        std::string r;
        for (; b >= 0 && (r += char(b), b != '\r'); b = bajt(1000)) {}
        return r;
    }
    std::string ramec(char c) { return az_po_cr(bajt(c)); }  // the answer to the byte c
    int vyzva(int ms = 1000) {
        posli(std::string(3, EOT_) + "000001" + ENQ_);
        return bajt(ms);
    }
    int paket(const std::string& p) {
        posli(::ramec("0" + p));
        return bajt();
    }
};

// Faults at chosen steps: a silent enquiry, a refused packet, a foreign byte for the turn
// of the line, a block whose checksum is wrong twice and then right.
TEST_F(Simulace, VlozeneChyby) {
    spust({"--fault", "enq:silent", "--fault", "cmd:nak", "--fault", "turn:foreign", "--fault", "block1:badsum:2"});
    EXPECT_EQ(vyzva(200), -1);
    EXPECT_EQ(vyzva(), ACK_);
    EXPECT_EQ(paket("/20-00/21/"), NAK_);
    EXPECT_EQ(paket("/20-00/21/"), ACK_);
    EXPECT_EQ(bajt(EOT_), '?');
    EXPECT_EQ(bajt(EOT_), ENQ_);  // the host hands the line over again
    EXPECT_TRUE(soucet_ok(ramec(ACK_)));
    std::string spatny = ramec(ACK_);
    EXPECT_FALSE(soucet_ok(spatny));
    EXPECT_EQ(ramec(NAK_), spatny);
    EXPECT_TRUE(soucet_ok(ramec(NAK_)));
}

// Pacing: 61 bytes at 9600 bit/s leave over 62.5 ms, one by one or, with a FIFO of 61,
// in one piece when the last is due; the host's bytes are taken at the line's pace too.
TEST_F(Simulace, TempoLinky) {
    for (bool fifo : {false, true}) {
        SCOPED_TRACE(fifo);
        spust({"--pace", "--baud", "9600", "--fifo", fifo ? "61" : "1"});
        ASSERT_EQ(vyzva(), ACK_);
        ASSERT_EQ(paket("/20-00/21/"), ACK_);
        ASSERT_EQ(bajt(EOT_), ENQ_);
        long long start = ms_ted();
        int stx = bajt(ACK_);
        long long prvni = ms_ted() - start;
        EXPECT_EQ(stx, 0x02);
        EXPECT_EQ(az_po_cr(stx).size(), 61u);
        EXPECT_GE(ms_ted() - start, 55);
        if (fifo) {
            EXPECT_GE(prvni, 55);
            EXPECT_LE(ms_ted() - start - prvni, 20);
        }
    }
    spust({"--pace", "--baud", "1200"});
    long long start = ms_ted();
    EXPECT_EQ(vyzva(), ACK_);
    EXPECT_GE(ms_ted() - start, 80);  // ten bytes at 1200 bit/s
}

}  // namespace

#endif
#endif
