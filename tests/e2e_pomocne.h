// End-to-end helpers: the built program and the register simulator as child processes,
// started one way (fork and exec). No real serial device can be reached: COM1 goes to
// the simulator's pseudo-terminal (or nowhere), COM2..COM9 to paths that do not exist.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <memory>
#include <regex>
#include <thread>

#include "pomocne.h"

namespace e2e {

namespace fs = std::filesystem;

inline long long ms_ted() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
// Whether `hotovo` comes true within `ms`, asked every 5 ms.
inline bool cekej_az(const std::function<bool()>& hotovo, long long ms) {
    for (long long konec = ms_ted() + ms; !hotovo(); usleep(5000))
        if (ms_ted() > konec) return false;
    return true;
}

// A child process: `argv[0]` run in `adresar` with the environment given, stdin from
// /dev/null, stdout and stderr to the descriptors. Everything is made before fork: a test
// may run a thread meanwhile.
class Proces {
public:
    Proces(std::vector<std::string> argv, const std::string& adresar, std::vector<std::string> env, int out, int chyby) {
        std::vector<char*> a, e;
        for (std::string& s : argv) a.push_back(s.data());
        for (std::string& s : env) e.push_back(s.data());
        a.push_back(nullptr);
        e.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            setsid();  // no controlling terminal: nothing reaches the tester's screen
            int n = open("/dev/null", O_RDONLY);
            if (chdir(adresar.c_str()) != 0 || n < 0) _exit(126);
            dup2(n, 0);
            dup2(out, 1);
            dup2(chyby, 2);
            execve(a[0], a.data(), e.data());
            _exit(127);
        }
    }
    ~Proces() {
        if (kod_ < 0 && pid_ > 0) {
            kill(pid_, SIGTERM);
            if (cekej(3000) < 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
        }
    }
    // The exit code (128 + signal), or -1 when the process is still running after `ms`.
    int cekej(long long ms) {
        cekej_az([&] {
            int stav = 0;
            if (kod_ < 0 && waitpid(pid_, &stav, WNOHANG) == pid_)
                kod_ = WIFEXITED(stav) ? WEXITSTATUS(stav) : 128 + WTERMSIG(stav);
            return kod_ >= 0;
        }, ms);
        return kod_;
    }

private:
    pid_t pid_ = -1;
    int kod_ = -1;
};

// The environment of the tests with KASLNK_COM1 set to `com1` and KASLNK_COMn to
// porty[n]; every other port (and an empty name) goes nowhere.
inline std::vector<std::string> prostredi(const std::string& com1, std::map<int, std::string> porty = {}) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "KASLNK_COM", 10) != 0) env.push_back(*e);
    if (!com1.empty()) porty[1] = com1;
    for (int i = 1; i <= 9; ++i)
        env.push_back("KASLNK_COM" + std::to_string(i) + "=" +
                      (!porty[i].empty() ? porty[i] : "/nonexistent/kaslnk-com" + std::to_string(i)));
    return env;
}

// Starts `argv` as `p`, its stdout on a pipe and its stderr to /dev/null; the first line
// it prints within 5 s.
inline std::string prvni_radek(std::unique_ptr<Proces>& p, const std::vector<std::string>& argv) {
    int roura[2], nic = open("/dev/null", O_WRONLY);
    if (pipe(roura) != 0) return "";
    p = std::make_unique<Proces>(argv, ".", prostredi(""), roura[1], nic);
    close(roura[1]);
    close(nic);
    std::string radek;
    char c;
    for (pollfd pf{roura[0], POLLIN, 0}; poll(&pf, 1, 5000) > 0 && read(roura[0], &c, 1) == 1 && c != '\n';) radek += c;
    close(roura[0]);
    return radek;
}

#ifdef KASLNK_SIM_BINARY
// kaslnk-sim; the first line of its stdout is its pseudo-terminal's path (none when its
// start failed).
struct Simulator {
    std::unique_ptr<Proces> p;
    std::string cesta;
    explicit Simulator(std::vector<std::string> volby) {
        volby.insert(volby.begin(), KASLNK_SIM_BINARY);
        cesta = prvni_radek(p, volby);
    }
};
#endif

inline std::vector<std::string> radky(const std::string& text, const std::string& konec = "\r\n") {
    std::vector<std::string> out;
    for (size_t od = 0, k; od < text.size(); od = k + konec.size()) {
        k = std::min(text.find(konec, od), text.size());
        out.push_back(text.substr(od, k - od));
    }
    return out;
}

const std::string HLAVICKA = "000001,1,6,1,era\r\n", CTI_PLU = "/20-00/11///B000/";
struct Beh {
    int kod = -1;  // exit code; -1 when the program had to be killed
    std::string out, err;
};

// A fresh program directory with a copy of the program and a kaslnk.ini without pauses
// and beeps; the register memory (a copy of the sample) is the folder "pokladna" in it.
class E2E : public ::testing::Test {
protected:
    fs::path adresar = novy_docasny_adresar();
    fs::path pamet = adresar / "pokladna";
#ifdef KASLNK_SIM_BINARY
    std::unique_ptr<Simulator> sim;
    std::vector<std::unique_ptr<Simulator>> dalsi;  // on COM2.. (pridej_simulator)
#endif
    std::string com1;                  // what KASLNK_COM1 names for the next run
    std::map<int, std::string> porty;  // and KASLNK_COMn

    void SetUp() override {
        fs::copy_file(KASLNK_BINARY, adresar / "kaslnk");
        zapis("kaslnk.ini", "zpozdeni = 0\r\nticho = 1\r\n");
    }
    void TearDown() override {
#ifdef KASLNK_SIM_BINARY
        sim.reset();
        dalsi.clear();
#endif
        if (HasFailure()) std::fprintf(stderr, "journal.log:\n%s", precti_soubor(pamet / "journal.log").c_str());
        std::error_code ec;
        fs::remove_all(adresar, ec);
    }
#ifdef KASLNK_SIM_BINARY
    std::unique_ptr<Simulator> simulator(std::vector<std::string> volby, const fs::path& log) {
        if (!fs::exists(pamet)) fs::copy(std::string(KASLNK_SOURCE_DIR) + "/examples/register", pamet);
        volby.insert(volby.begin(), {"-m", pamet.string()});
        if (!log.empty()) volby.insert(volby.end(), {"-T", log.string()});
        auto s = std::make_unique<Simulator>(volby);
        EXPECT_FALSE(s->cesta.empty());
        return s;
    }
    void spust_simulator(std::vector<std::string> volby = {}) {
        sim = simulator(volby, {});
        com1 = sim->cesta;
    }
    // One more simulator on the same memory as COMn, with its traffic log stopa-n.txt.
    void pridej_simulator(int n, const std::vector<std::string>& volby) {
        dalsi.push_back(simulator(volby, adresar / ("stopa-" + std::to_string(n) + ".txt")));
        porty[n] = dalsi.back()->cesta;
    }
#endif
    // Runs `program` (default: the copy, as "./kaslnk") in `kde` (default: the program
    // directory); a run longer than a minute is killed and fails the test.
    Beh spust(const std::vector<std::string>& argumenty, std::string program = "./kaslnk", fs::path kde = {}) {
        if (kde.empty()) kde = adresar;
        // Each run its own output files: runs may overlap (a window and the commands sent to it).
        static std::atomic<int> cislo_behu{0};
        std::string jmeno = "beh" + std::to_string(cislo_behu++);
        fs::path o = adresar / (jmeno + ".out"), e = adresar / (jmeno + ".err");
        int fo = open(o.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), fe = open(e.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), argumenty.begin(), argumenty.end());
        Beh b;
        {
            Proces p(argv, kde.string(), prostredi(com1, porty), fo, fe);
            close(fo);
            close(fe);
            b.kod = p.cekej(60000);
            if (b.kod < 0) ADD_FAILURE() << "kaslnk did not end within a minute";
        }
        b.out = precti_soubor(o);
        b.err = precti_soubor(e);
        fs::remove(o);
        fs::remove(e);
        return b;
    }
    // Writes the command file and runs it.
    Beh spust_prikazy(const std::string& prikazy, std::vector<std::string> prepinace = {}) {
        zapis("prikaz.cmd", prikazy);
        prepinace.insert(prepinace.begin(), "prikaz.cmd");
        return spust(prepinace);
    }

    void zapis(const std::string& jmeno, const std::string& obsah) const { zapis_soubor(adresar / jmeno, obsah); }
    std::string precti(const std::string& jmeno) const { return precti_soubor(adresar / jmeno); }
    bool existuje(const std::string& jmeno) const { return fs::exists(adresar / jmeno); }
    std::vector<std::string> zurnal() const { return radky(precti_soubor(pamet / "journal.log"), "\n"); }

    // The simulator writes its journal as it goes; the last exchange may still be closing
    // when the program has ended. Waits until the journal has n lines.
    bool cekej_na_zurnal(size_t n) const { return cekej_az([&] { return zurnal().size() >= n; }, 5000); }

    // The result of a run as the files show it: exit code, "err", "error.txt".
    void ocekavej_vysledek(const Beh& b, int kod, const std::string& err_obsah, const std::string& error_txt) const {
        EXPECT_EQ(b.kod, kod) << b.err;
        EXPECT_EQ(precti("err"), err_obsah);
        EXPECT_EQ(precti("error.txt"), error_txt);
    }
    // The log lines without date and time: "result,terminal,command;port,subcode".
    std::vector<std::string> log_bez_casu() const {
        static const std::regex datum(R"(\d\d-\d\d-\d{4},\d\d:\d\d,)");
        std::vector<std::string> l = radky(precti("era.log"));
        for (std::string& r : l) {
            EXPECT_TRUE(std::regex_search(r.substr(0, 17), datum)) << r;
            r.erase(0, 17);
        }
        return l;
    }
};

}  // namespace e2e
