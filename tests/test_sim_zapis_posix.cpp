// The register simulator taking sends, raw uploads and commands without data.
#include <gtest/gtest.h>

#ifdef KASLNK_SIM_BINARY

#include "tests/sim_host.h"

using namespace simtest;

namespace {

// Calls the register and sends one frame after the other, each answered; returns the
// answers (-1 for silence).
std::vector<int> send_frames(Host& host, const std::string& command, const std::vector<std::string>& frames) {
    std::vector<int> answers;
    answers.push_back(host.enquiry());
    answers.push_back(host.command(command));
    for (const std::string& f : frames) {
        host.send(f);
        answers.push_back(host.get(1000));
    }
    host.send(std::string(1, EOT));
    return answers;
}

std::vector<std::string> send_of_21() {
    return {framed("1/HDR1/" + header_digits(FDS21)), framed("2" "000002" "00" + RECORDS21[0] + RECORDS21[1]),
            framed("3" "000001" "01" + RECORDS21[2])};
}

}  // namespace

TEST(SimulatorZapis, UlozeniAZpetneCteni) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q", "--exchanges", "2"});
    Host host(sim.path);
    std::vector<int> answers = send_frames(host, "/10-00/", send_of_21());
    EXPECT_EQ(answers, std::vector<int>(5, ACK));

    std::vector<std::string> blocks = host.read_all("/20-00/21/");
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(body_of(blocks[1]), "1" "000003" "01" + RECORDS21[0] + RECORDS21[1] + RECORDS21[2]);
    ASSERT_EQ(sim.wait_exit(3000), 0);

    // Stored as text: the header and one record per line, split into the groups.
    std::string text = dir.read("file-21.txt");
    EXPECT_NE(text.find("fds " + FDS21 + "\r\n"), std::string::npos);
    EXPECT_NE(text.find("0003 00000000150D0000000000 0000000000000000000000\r\n"), std::string::npos);
    EXPECT_NE(dir.read("journal.log").find("stored in file-21.txt"), std::string::npos);
}

TEST(SimulatorZapis, PrepisZachovaTvarSouboru) {
    TempDir dir;
    const std::string fds = "00,D2,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00";
    std::string old = "# header lines\nfds " + fds + "\n";
    for (int i = 0; i < 6; ++i) old += "\"old line " + std::to_string(i) + "       \"\n";
    dir.write("hlavicka.txt", old);
    SimProcess sim({"-m", dir.str(), "-q", "--exchanges", "1"});
    Host host(sim.path);
    std::string table;
    for (int i = 0; i < 6; ++i) table += "new \"line\" " + std::to_string(i) + "     ";
    ASSERT_EQ(table.size(), 102u);
    std::string hex;
    for (unsigned char c : table) {
        char d[3];
        std::snprintf(d, sizeof d, "%02X", c);
        hex += d;
    }
    std::vector<int> answers =
        send_frames(host, "/10-00/", {framed("1/HDR1/" + header_digits(fds)), framed("2" "0000" "0066" "01" + hex)});
    EXPECT_EQ(answers, std::vector<int>(4, ACK));
    ASSERT_EQ(sim.wait_exit(3000), 0);
    std::string text = dir.read("hlavicka.txt");
    EXPECT_EQ(text.rfind("# header lines\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\"new \\\"line\\\" 0     \"\r\n"), std::string::npos) << text;
}

TEST(SimulatorZapis, OdmitnuteAOpakovaneBloky) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q", "--exchanges", "1", "--fault", "ack1:silent"});
    Host host(sim.path);
    std::vector<std::string> f = send_of_21();
    ASSERT_EQ(host.enquiry(), ACK);
    ASSERT_EQ(host.command("/10-00/"), ACK);
    host.send(f[0]);
    EXPECT_EQ(host.get(1000), ACK);
    host.send(f[1]);
    EXPECT_EQ(host.get(300), -1);  // the fault: no answer
    host.send(f[1]);               // sent again: taken once
    EXPECT_EQ(host.get(1000), ACK);

    std::string lower = f[2];
    for (char& c : lower) c = char(std::tolower(c));
    ASSERT_NE(lower.substr(lower.size() - 3), f[2].substr(f[2].size() - 3)) << "the test needs letters";
    host.send("\x02" "3" "000001" "01" + RECORDS21[2] + lower.substr(lower.size() - 3));
    EXPECT_EQ(host.get(1000), NAK);  // lower-case checksum digits
    host.send(framed("5" "000001" "01" + RECORDS21[2]));
    EXPECT_EQ(host.get(1000), NAK);  // out of sequence
    host.send(framed("3" "000002" "01" + RECORDS21[2]));
    EXPECT_EQ(host.get(1000), NAK);  // count and data disagree
    host.send(f[2]);
    EXPECT_EQ(host.get(1000), ACK);
    host.send(std::string(1, EOT));
    ASSERT_EQ(sim.wait_exit(3000), 0);
    std::string text = dir.read("file-21.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);  // comment, fds, 3 records
}

TEST(SimulatorZapis, RadekDo988Bajtu) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q", "--exchanges", "1"});
    Host host(sim.path);
    const std::string fds = "00,E1,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00";
    std::string longest = framed("2" "0000" "01E7" "01" + std::string(2 * 487, '7'));
    ASSERT_EQ(longest.size(), 989u);  // 988 bytes before the CR
    std::string too_long = longest;
    too_long.insert(1, "7");
    ASSERT_EQ(host.enquiry(), ACK);
    ASSERT_EQ(host.command("/10-00/"), ACK);
    host.send(framed("1/HDR1/" + header_digits(fds)));
    EXPECT_EQ(host.get(1000), ACK);
    host.send(too_long);
    EXPECT_EQ(host.get(1000), NAK);
    host.send(longest);
    EXPECT_EQ(host.get(1000), ACK);
    host.send(std::string(1, EOT));
    ASSERT_EQ(sim.wait_exit(3000), 0);
    EXPECT_NE(dir.read("journal.log").find("table E1 (487 bytes) stored"), std::string::npos);
}

TEST(SimulatorZapis, NeuplnyZapisSeNeulozi) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q", "--exchanges", "1"});
    Host host(sim.path);
    std::vector<std::string> f = send_of_21();
    f.pop_back();  // the block with the last flag never comes
    EXPECT_EQ(send_frames(host, "/10-00/", f), std::vector<int>(4, ACK));
    ASSERT_EQ(sim.wait_exit(3000), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "file-21.txt"));
    EXPECT_NE(dir.read("journal.log").find("nothing stored"), std::string::npos);
}

TEST(SimulatorZapis, SurovyDownloadAUploadStejneBloky) {
    TempDir dir;
    std::string text = "fds " + FDS21 + "\n";
    for (const std::string& r : RECORDS21) text += r + "\n";
    dir.write("r21.txt", text);
    SimProcess sim({"-m", dir.str(), "-q", "--exchanges", "3", "--records-per-block", "1"});
    Host host(sim.path);
    std::vector<std::string> raw = host.read_all("/50-00/21/");
    ASSERT_EQ(raw.size(), 4u);
    EXPECT_EQ(send_frames(host, "/40-00/", raw), std::vector<int>(6, ACK));
    EXPECT_EQ(host.read_all("/50-00/21/"), raw);
    ASSERT_EQ(sim.wait_exit(3000), 0);
}

TEST(SimulatorZapis, PrikazBezDat) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q", "--exchanges", "1"});
    Host host(sim.path);
    ASSERT_EQ(host.enquiry(), ACK);
    ASSERT_EQ(host.command("/30-00/Z/"), ACK);
    host.send(std::string(1, EOT));
    ASSERT_EQ(sim.wait_exit(3000), 0);
    std::string journal = dir.read("journal.log");
    EXPECT_NE(journal.find("/30-00/Z/  command without data"), std::string::npos) << journal;
}

#endif
