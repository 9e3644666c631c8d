// The library as another program uses it: linked against libkaslnk.so, sessions in
// threads against simulators on pseudo-terminals (and a pseudo-terminal of the test's own
// that never answers).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "kaslnk.h"

namespace fs = std::filesystem;
using Hodiny = std::chrono::steady_clock;

namespace {

std::string precti(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}
void zapis(const fs::path& p, const std::string& obsah) { std::ofstream(p, std::ios::binary) << obsah; }
long long ms_od(Hodiny::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Hodiny::now() - t).count();
}

// A program directory with the PLU read and a register simulator serving a copy of the
// sample memory (kaslnk-sim --background returns once its pseudo-terminal is ready).
struct Pokladna {
    fs::path dir;
    std::string pty;
    pid_t sim = -1;
    kaslnk_session* s = nullptr;
    explicit Pokladna(const std::string& volby_simulatoru) {
        char vzor[] = "/tmp/kaslnk-api.XXXXXX";
        dir = mkdtemp(vzor);
        zapis(dir / "kaslnk.ini", "zpozdeni = 0\r\nticho = 1\r\n");
        zapis(dir / "cti_plu.cmd", "000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n");
        fs::copy(KASLNK_SOURCE_DIR "/examples/register", dir / "pokladna");
        std::string prikaz = std::string(KASLNK_SIM_BINARY " -q --background -m ") + (dir / "pokladna").string() +
                             " " + volby_simulatoru;
        if (FILE* p = popen(prikaz.c_str(), "r")) {
            char radek[256];
            if (fgets(radek, sizeof radek, p)) pty = std::string(radek, strcspn(radek, "\n"));
            if (fgets(radek, sizeof radek, p)) sim = atoi(radek);
            pclose(p);
        }
        EXPECT_GT(sim, 0);
        s = kaslnk_open(dir.c_str());
        kaslnk_set_port(s, 1, pty.c_str());
    }
    ~Pokladna() {
        kaslnk_close(s);
        if (sim > 0) kill(sim, SIGTERM);
        fs::remove_all(dir);
    }
};

}  // namespace

// Two reads in two threads against two simulators, and meanwhile a session on a port that
// never answers (38) and one without its command file (30): each ends with its own result,
// the reads in about the time of the longer one.
TEST(Api, SezeniVeVlaknech) {
    Pokladna a("--reply-delay 10"), b("--reply-delay 25");
    int master = posix_openpt(O_RDWR | O_NOCTTY);  // nobody answers on its other end
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    kaslnk_session* tichy = kaslnk_open(b.dir.c_str());
    fs::create_directory(b.dir / "tichy");
    kaslnk_session* ticha = kaslnk_open((b.dir / "tichy").c_str());
    zapis(b.dir / "tichy" / "cti_plu.cmd", precti(b.dir / "cti_plu.cmd"));
    kaslnk_set_port(ticha, 1, ptsname(master));
    EXPECT_EQ(kaslnk_open((b.dir / "cti_plu.cmd").c_str()), nullptr);

    long long trvani[2] = {};
    int kody[4] = {};
    auto t0 = Hodiny::now();
    std::thread va([&] { kody[0] = kaslnk_run(a.s, "cti_plu.cmd /q"), trvani[0] = ms_od(t0); });
    std::thread vb([&] { kody[1] = kaslnk_run(b.s, "cti_plu.cmd /q"), trvani[1] = ms_od(t0); });
    std::thread vt([&] { kody[2] = kaslnk_run(ticha, "cti_plu.cmd /q"); });
    va.join(), vb.join();
    long long obe = ms_od(t0);
    kody[3] = kaslnk_run(tichy, "chybi.cmd /q");
    vt.join();
    std::printf("reads %lld ms and %lld ms, both in %lld ms; silent port: 38 after %lld ms\n", trvani[0],
                trvani[1], obe, ms_od(t0));
    EXPECT_LT(obe, trvani[0] + trvani[1]);

    EXPECT_EQ(kody[0], 0);
    EXPECT_EQ(kody[1], 0);
    std::string plu = precti(a.dir / "plu.dat");
    EXPECT_EQ(std::count(plu.begin(), plu.end(), '\n'), 367);
    EXPECT_NE(plu.find("\"Rohl\xEDk tukov\xFD   \""), std::string::npos);  // Windows-1250, as the program writes it
    EXPECT_EQ(plu, precti(b.dir / "plu.dat"));
    int kod, podkod;
    EXPECT_EQ(kody[2], 1);
    EXPECT_EQ(kaslnk_last_error(ticha, &kod, &podkod), 38);
    EXPECT_EQ(podkod, 1);
    EXPECT_EQ(std::string(kaslnk_message(ticha)), "Chyba 38, 1: Pokladna se nehlasi");
    EXPECT_EQ(kody[3], 1);
    EXPECT_EQ(kaslnk_last_error(tichy, nullptr, nullptr), 30);  // no command file
    EXPECT_EQ(kaslnk_last_error(a.s, &kod, &podkod) + kod + podkod, 0);
    kaslnk_close(tichy);
    kaslnk_close(ticha);
    close(master);
}

// A read cut off by kaslnk_cancel while it waits for a slow block, and a second session
// started in its directory meanwhile (5, nothing touched). The cancel ends the read within
// a second, with the port closed and the result files written; the data file that was
// there stays. The session then reads as usual.
TEST(Api, ZruseniAObsazenyAdresar) {
    Pokladna p("--fault block2:slow=5000 --patience 500");
    zapis(p.dir / "plu.dat", "stary\r\n");
    std::atomic<int> bloky{0};
    kaslnk_set_progress(p.s, [](void* u, int n, long) { *static_cast<std::atomic<int>*>(u) = n; }, &bloky);
    int kod = -1;
    std::thread v([&] { kod = kaslnk_run(p.s, "cti_plu.cmd /q"); });
    for (auto t0 = Hodiny::now(); bloky < 2 && ms_od(t0) < 10000;) std::this_thread::yield();
    EXPECT_EQ(bloky, 2);  // blocks 0 and 1 are in; block 2 comes in 5 s

    kaslnk_session* druhe = kaslnk_open(p.dir.c_str());
    EXPECT_EQ(kaslnk_run(druhe, "cti_plu.cmd /q"), KASLNK_EXIT_BUSY);
    EXPECT_NE(std::string(kaslnk_message(druhe)), "");
    kaslnk_close(druhe);

    auto t = Hodiny::now();
    kaslnk_cancel(p.s);
    v.join();
    long long ms = ms_od(t);
    std::printf("cancelled after %d blocks: kaslnk_run returned %lld ms after kaslnk_cancel\n", bloky.load(), ms);
    EXPECT_LT(ms, 1000);
    int chyba, podkod;
    EXPECT_EQ(kod, 1);
    EXPECT_EQ(kaslnk_last_error(p.s, &chyba, &podkod), KASLNK_ERROR_CANCELLED);
    EXPECT_EQ(podkod, KASLNK_SUBCODE_CANCELLED);
    EXPECT_EQ(precti(p.dir / "err"), "1");
    EXPECT_NE(precti(p.dir / "era.log").find(",109,000001,/20-00/11///B000/;1,0005\r\n"), std::string::npos);
    EXPECT_EQ(precti(p.dir / "plu.dat"), "stary\r\n");
    EXPECT_FALSE(fs::exists(p.dir / "plu.dat.part"));
    int fd = open(p.pty.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);  // the session let the port go
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
    close(fd);
}
