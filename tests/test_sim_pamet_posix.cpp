// The register simulator's start-up checks, its memory folder and its traffic log.
#include <gtest/gtest.h>

#ifdef KASLNK_SIM_BINARY

#include "tests/sim_host.h"

using namespace simtest;

namespace {

// Runs the simulator to its end (it must fail before it opens the line); returns the
// exit code and leaves its stderr in `messages`.
int run_failing(const TempDir& dir, std::vector<std::string> args, std::string& messages) {
    std::string err = dir.str() + "/stderr.out";
    SimProcess sim(std::move(args), err);
    int code = sim.wait_exit(5000);
    messages = dir.read("stderr.out");
    EXPECT_TRUE(sim.path.empty()) << sim.path;
    return code;
}

}  // namespace

TEST(SimulatorPamet, ChybnePametAVolbySrozumitelne) {
    TempDir dir, memory;
    std::string m;
    // Every bad file is reported, each with its name and line.
    memory.write("plu.txt", "# comment\nfds " + FDS21 + "\n" + RECORDS21[0] + "\n00\n");
    memory.write("short.txt", "fds 21,00,0064\n");
    memory.write("quote.txt", "fds 00,D2,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\n\"x\n");
    memory.write("good.txt", "fds " + FDS21 + "\n");
    memory.write("twin.txt", "fds " + FDS21 + "\n");
    memory.write("wide.txt", "fds 41,00,0064,00,0000,01,00,FF,FF,00,00,00,00,00,00,00,00,00,00,00,00,00,00\n");
    EXPECT_EQ(run_failing(dir, {"-m", memory.str()}, m), 2);
    EXPECT_NE(m.find("plu.txt:4: a record of 1 bytes; the fds line gives 24"), std::string::npos) << m;
    EXPECT_NE(m.find("short.txt:1: the fds line needs 23 fields"), std::string::npos) << m;
    EXPECT_NE(m.find("quote.txt:2: quoted text without its closing"), std::string::npos) << m;
    EXPECT_NE(m.find("twin.txt: file 21/01 is already in good.txt"), std::string::npos) << m;
    EXPECT_NE(m.find("wide.txt:1: the record length of the fds line is 510 bytes"), std::string::npos) << m;

    EXPECT_EQ(run_failing(dir, {"-m", dir.str() + "/none"}, m), 2);
    EXPECT_NE(m.find("does not exist"), std::string::npos) << m;
    EXPECT_EQ(run_failing(dir, {"-m", dir.str(), "--fault", "block1:nak"}, m), 2);
    EXPECT_NE(m.find("does not answer with NAK"), std::string::npos) << m;
    EXPECT_EQ(run_failing(dir, {"-m", dir.str(), "--terminal", "x"}, m), 2);
}

TEST(SimulatorPamet, TextaEscapyAVzorovaPamet) {
    TempDir memory;
    memory.write("t.txt",
                 "fds 00,C9,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\n"
                 "\"a\\\"b\\\\c\\x01\" 0A # text with escapes, then a hex byte\n");
    SimProcess sim({"-m", memory.str(), "-q"});
    Host host(sim.path);
    std::vector<std::string> blocks = host.read_all("/20-00/C9/");
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(body_of(blocks[1]), "1" "0000" "0007" "01" "6122625C63" "01" "0A");

    // The sample memory of the examples folder (a copy: the journal goes into it) loads
    // and answers.
    TempDir copy;
    std::filesystem::copy(std::string(KASLNK_SOURCE_DIR) + "/examples/register", copy.path);
    SimProcess sample({"-m", copy.str(), "-q"});
    Host h2(sample.path);
    std::vector<std::string> list = h2.read_all("/90-00/");
    EXPECT_EQ(list.size(), 5u);
    std::vector<std::string> plu = h2.read_all("/20-00/11///B000/");
    ASSERT_GT(plu.size(), 20u);
    for (const std::string& b : plu) EXPECT_TRUE(checksum_ok(b));
    EXPECT_EQ(body_of(plu[1]).substr(0, 9), "1" "00000B" "00");  // 11 records of 42 bytes
}

TEST(SimulatorPamet, ProvozniZaznamAOdkaz) {
    TempDir dir;
    std::string trace = dir.str() + "/trace.log", link = dir.str() + "/com1";
    SimProcess sim({"-m", dir.str(), "-q", "-T", trace, "-l", link, "--exchanges", "1"});
    ASSERT_FALSE(sim.path.empty());
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), sim.path);
    Host host(link);
    ASSERT_EQ(host.enquiry(), ACK);
    ASSERT_EQ(host.command("/30-00/"), ACK);
    host.send(std::string(1, EOT));
    ASSERT_EQ(sim.wait_exit(3000), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));  // removed at the end
    std::string log = dir.read("trace.log");
    EXPECT_NE(log.find("host> 04 04 04 30 30 30 30 30 31 05"), std::string::npos) << log;
    EXPECT_NE(log.find("<reg  06"), std::string::npos) << log;
    EXPECT_NE(log.find("----  command /30-00/"), std::string::npos) << log;
}

TEST(SimulatorPamet, SigtermUkonciCiste) {
    TempDir dir;
    SimProcess sim({"-m", dir.str(), "-q"});
    ASSERT_FALSE(sim.path.empty());
    sim.terminate();
    EXPECT_EQ(sim.wait_exit(3000), 0);
}

#endif
