// The register simulator serving reads, driven by a scripted host over a pty.
#include <gtest/gtest.h>

#ifdef KASLNK_SIM_BINARY

#include "tests/sim_host.h"

using namespace simtest;

namespace {

std::string memory21() {
    std::string text = "# test file\r\nfds " + FDS21 + "\r\n";
    for (const std::string& r : RECORDS21) text += r + "\r\n";
    return text;
}

const std::string D2_TEXT =
    "fds 00,D2,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\n"
    "\"Potraviny U L\xEDpy \"  # 17 characters each\n"
    "\"Line 2           \"\n\"Line 3           \"\n\"Line 4           \"\n"
    "\"Line 5           \"\n\"D\xEC" "kujeme!        \"\n";

std::string hex_of(const std::string& bytes) {
    static const char d[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) out += std::string{d[c >> 4], d[c & 15]};
    return out;
}

}  // namespace

TEST(SimulatorCteni, SouborVHlavickovemADatovychBlocich) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    SimProcess sim({"-m", dir.str(), "-q", "--records-per-block", "2", "--exchanges", "1"});
    Host host(sim.path);
    ASSERT_TRUE(host.ok()) << sim.path;

    std::vector<std::string> blocks = host.read_all("/20-00/21///B000/");
    ASSERT_EQ(blocks.size(), 3u);
    for (const std::string& b : blocks) EXPECT_TRUE(checksum_ok(b)) << b;
    EXPECT_EQ(body_of(blocks[0]), "0/HDR1/" + header_digits(FDS21));
    EXPECT_EQ(body_of(blocks[1]), "1" "000002" "00" + RECORDS21[0] + RECORDS21[1]);
    EXPECT_EQ(body_of(blocks[2]), "2" "000001" "01" + RECORDS21[2]);
    EXPECT_EQ(sim.wait_exit(3000), 0);
    EXPECT_NE(dir.read("journal.log").find("/20-00/21///B000/"), std::string::npos);
}

TEST(SimulatorCteni, TabulkaPoBlocichSPosunem) {
    TempDir dir;
    dir.write("d2.txt", D2_TEXT);
    SimProcess sim({"-m", dir.str(), "-q", "--table-block", "40"});
    Host host(sim.path);
    std::vector<std::string> blocks = host.read_all("/20-00/d2/");
    ASSERT_EQ(blocks.size(), 4u);
    // Sequence, offset, byte count, flags.
    EXPECT_EQ(body_of(blocks[1]).substr(0, 11), "1" "0000" "0028" "00");
    EXPECT_EQ(body_of(blocks[2]).substr(0, 11), "2" "0028" "0028" "00");
    EXPECT_EQ(body_of(blocks[3]).substr(0, 11), "3" "0050" "0016" "01");
    EXPECT_EQ(body_of(blocks[1]).substr(11, 34), hex_of("Potraviny U L\xEDpy "));
}

TEST(SimulatorCteni, VicSouboruSeStejnymKodem) {
    TempDir dir;
    dir.write("a.txt", memory21());
    std::string second = "fds 21,00,0064,00,0000,02,00,02,00,00,00,00,00,00,00,0B,0B,00,00,00,00,00,00\n";
    dir.write("b.txt", second);  // an empty second file
    SimProcess sim({"-m", dir.str(), "-q"});
    Host host(sim.path);
    std::vector<std::string> blocks = host.read_all("/20-00/21/");
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(body_of(blocks[0]).substr(0, 9), "0/HDR1/21");
    EXPECT_EQ(body_of(blocks[1]).substr(0, 9), "100000301");
    EXPECT_EQ(body_of(blocks[2]).substr(0, 7), "2/HDR1/");  // header alone: the file is empty
}

TEST(SimulatorCteni, StatusSeznamFdsANeznamyKod) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    dir.write("d2.txt", D2_TEXT);
    dir.write("status.txt", "status\n0012 000102030405060708090A0B0C0D0E0F1011\n");
    SimProcess sim({"-m", dir.str(), "-q", "--exchanges", "3"});
    Host host(sim.path);

    std::vector<std::string> status = host.read_all("/99-00/");
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(body_of(status[0]), "0" "0012" "000102030405060708090A0B0C0D0E0F1011");

    std::vector<std::string> list = host.read_all("/90-00/");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(body_of(list[0]), "0/HDR1/" + header_digits(FDS21));
    EXPECT_EQ(body_of(list[1]).substr(0, 11), "1/HDR1/00D2");

    ASSERT_EQ(host.open_read("/20-00/77/"), ENQ);
    host.send(std::string(1, ACK));
    EXPECT_EQ(host.frame(), std::string(1, EOT));
    EXPECT_EQ(sim.wait_exit(3000), 0);
}

TEST(SimulatorCteni, OdpovidaJenSvemuTerminalu) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q", "--terminal", "7"});
    Host host(sim.path);
    EXPECT_EQ(host.enquiry("000001", 200), -1);
    EXPECT_EQ(host.enquiry("000007"), ACK);
    host.send(framed("0/30-00/"));  // an exchange in between, so the next call stands alone
    EXPECT_EQ(host.get(1000), ACK);
    host.send(std::string(1, EOT));
    EXPECT_EQ(host.enquiry(std::string("7\0\0\0\0\0", 6)), ACK);  // a short number, padded
}

TEST(SimulatorCteni, SpatnyPaketOdmitne) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q"});
    Host host(sim.path);
    ASSERT_EQ(host.enquiry(), ACK);
    std::string bad = framed("0/20-00/21/");
    bad[bad.size() - 2] = char(bad[bad.size() - 2] == '0' ? '1' : '0');
    host.send(bad);
    EXPECT_EQ(host.get(1000), NAK);
    EXPECT_EQ(host.command("/" + std::string(188, '2')), NAK);  // 189 bytes
    EXPECT_EQ(host.command("/60-00/"), NAK);                     // no such command digit
    EXPECT_EQ(host.command("/20-00/21/"), ACK);
}

TEST(SimulatorCteni, NovaVyzvaUprostredVymeny) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    SimProcess sim({"-m", dir.str(), "-q"});
    Host host(sim.path);
    ASSERT_EQ(host.open_read("/20-00/21/"), ENQ);
    host.send(std::string(1, ACK));
    ASSERT_TRUE(checksum_ok(host.frame()));
    // The host died here; a new one calls at once.
    EXPECT_EQ(host.read_all("/20-00/21/").size(), 2u);
}

TEST(SimulatorChyby, VyzvaBezOdpovediAPakOdpoved) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q", "--fault", "enq:silent:2"});
    Host host(sim.path);
    EXPECT_EQ(host.enquiry("000001", 200), -1);
    EXPECT_EQ(host.enquiry("000001", 200), -1);
    EXPECT_EQ(host.enquiry(), ACK);
}

TEST(SimulatorChyby, BlokDvakratSpatnyAPakZotaveni) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    SimProcess sim({"-m", dir.str(), "-q", "--patience", "400", "--fault", "block1:badsum:2"});
    Host host(sim.path);
    ASSERT_EQ(host.open_read("/20-00/21/"), ENQ);
    host.send(std::string(1, ACK));
    ASSERT_TRUE(checksum_ok(host.frame()));
    host.send(std::string(1, ACK));
    std::string first = host.frame();
    EXPECT_FALSE(checksum_ok(first));
    host.send(std::string(1, NAK));
    std::string again = host.frame();
    EXPECT_FALSE(checksum_ok(again));
    EXPECT_EQ(first, again);
    // The host gives up (40/1); the register waits out its patience and serves the next call.
    usleep(600 * 1000);
    std::vector<std::string> blocks = host.read_all("/20-00/21/");
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_TRUE(checksum_ok(blocks[1]));
    EXPECT_NE(dir.read("journal.log").find("abandoned"), std::string::npos);
}

TEST(SimulatorChyby, MalaPismenaMezeraANovyPokus) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    SimProcess sim({"-m", dir.str(), "-q", "--fault", "block0:lower", "--fault", "block1:gap=300"});
    Host host(sim.path);
    ASSERT_EQ(host.open_read("/20-00/21/"), ENQ);
    host.send(std::string(1, ACK));
    std::string header = host.frame();
    std::string right = sum_of(body_of(header));
    ASSERT_NE(right.find_first_of("ABCDEF"), std::string::npos) << "the test needs letters in " << right;
    std::string lower = right;
    for (char& c : lower) c = char(std::tolower(c));
    EXPECT_EQ(header.substr(header.size() - 3, 2), lower);
    host.send(std::string(1, NAK));
    EXPECT_TRUE(checksum_ok(host.frame()));

    host.send(std::string(1, ACK));
    int c = host.get(2000);
    long long start = ms_now();
    std::string block(1, char(c));
    block += host.frame(2000, 2000);
    EXPECT_GE(ms_now() - start, 280);
    EXPECT_TRUE(checksum_ok(block));
}

TEST(SimulatorChyby, OdmitnutyPaketACiziZnakMistoEnq) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    SimProcess sim({"-m", dir.str(), "-q", "--fault", "turn:foreign", "--fault", "cmd:nak"});
    Host host(sim.path);
    ASSERT_EQ(host.enquiry(), ACK);
    EXPECT_EQ(host.command("/20-00/21/"), NAK);
    EXPECT_EQ(host.command("/20-00/21/"), ACK);
    host.send(std::string(1, EOT));
    EXPECT_EQ(host.get(1000), '?');
    host.send(std::string(1, EOT));  // the host hands the line over again
    EXPECT_EQ(host.get(1000), ENQ);
}

TEST(SimulatorChyby, ZaverecnyEotZnovuPoNak) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q", "--fault", "eot:silent", "--exchanges", "1"});
    Host host(sim.path);
    ASSERT_EQ(host.open_read("/20-00/55/"), ENQ);
    host.send(std::string(1, ACK));
    EXPECT_EQ(host.get(300), -1);
    host.send(std::string(1, NAK));  // the host did not get the end
    EXPECT_EQ(host.get(1000), EOT);
    EXPECT_EQ(sim.wait_exit(3000), 0);
}

TEST(SimulatorCteni, SerioveZarizeni) {
    // A pty slave stands in for the serial device; the test holds the master.
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    std::string slave = ptsname(master);
    termios t;
    tcgetattr(master, &t);
    cfmakeraw(&t);
    tcsetattr(master, TCSANOW, &t);
    TempDir dir;
    {
        SimProcess sim({"-m", dir.str(), "-q", "--device", slave, "--baud", "9600", "--line", "7E2"});
        EXPECT_EQ(sim.path, slave);
        std::string enquiry = std::string(3, EOT) + "000001" + ENQ;
        ASSERT_EQ(write(master, enquiry.data(), enquiry.size()), ssize_t(enquiry.size()));
        pollfd p{master, POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 2000), 1);
        char c = 0;
        ASSERT_EQ(read(master, &c, 1), 1);
        EXPECT_EQ(c, ACK);
    }
    close(master);
}

TEST(SimulatorCteni, TempoLinky) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    SimProcess sim({"-m", dir.str(), "-q", "--pace", "--baud", "9600"});
    Host host(sim.path);
    ASSERT_EQ(host.open_read("/20-00/21/"), ENQ);
    host.send(std::string(1, ACK));
    int c = host.get(2000);
    long long start = ms_now();
    std::string rest = host.frame();
    // 61 bytes at 9600 bit/s: the last leaves 60 character times (62.5 ms) after the first.
    EXPECT_EQ(rest.size(), 60u);
    EXPECT_GE(ms_now() - start, 55);
    EXPECT_EQ(c, STX);
}

// With a FIFO of 61 bytes the 61-byte block comes in one piece, when its last byte is due.
TEST(SimulatorCteni, TempoLinkyPoSkupinach) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    SimProcess sim({"-m", dir.str(), "-q", "--pace", "--baud", "9600", "--fifo", "61"});
    Host host(sim.path);
    ASSERT_EQ(host.open_read("/20-00/21/"), ENQ);
    host.send(std::string(1, ACK));
    long long start = ms_now();
    EXPECT_EQ(host.get(2000), STX);
    EXPECT_GE(ms_now() - start, 55);
    start = ms_now();
    EXPECT_EQ(host.frame(0, 0).size(), 60u);  // already there: no waiting
    EXPECT_LE(ms_now() - start, 20);
}

// The host's bytes are taken at the line's pace too: the ten bytes of an enquiry at
// 1200 bit/s arrive over 83 ms, and only then comes the ACK.
TEST(SimulatorCteni, TempoLinkyOdHostitele) {
    TempDir dir;
    dir.write("r21.txt", memory21());
    SimProcess sim({"-m", dir.str(), "-q", "--pace", "--baud", "1200"});
    Host host(sim.path);
    long long start = ms_now();
    EXPECT_EQ(host.enquiry(), ACK);
    EXPECT_GE(ms_now() - start, 80);
}

#endif
