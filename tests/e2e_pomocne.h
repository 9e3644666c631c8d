// End-to-end test helpers: the real kaslnk binary, copied into a fresh program directory,
// against kaslnk-sim on its own pseudo-terminal. No other serial device can be reached:
// COM1 goes to the simulator (or nowhere), COM2..COM9 to paths that do not exist.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "pomocne.h"
#include "sim_host.h"

namespace e2e {

namespace fs = std::filesystem;

struct Beh {
    int kod = -1;  // exit code; -1 when the program had to be killed
    std::string out, err;
    long long ms = 0;
};

// One entry of the simulator's traffic log: who wrote, and the bytes.
struct Zapis {
    bool od_programu;
    std::string bajty;
};

inline std::vector<std::string> radky(const std::string& text, const std::string& konec = "\r\n") {
    std::vector<std::string> out;
    size_t od = 0;
    while (od < text.size()) {
        size_t k = text.find(konec, od);
        if (k == std::string::npos) {
            out.push_back(text.substr(od));
            break;
        }
        out.push_back(text.substr(od, k - od));
        od = k + konec.size();
    }
    return out;
}

// Frames (STX .. CR) found in a stream of bytes; single control bytes are left out.
inline std::vector<std::string> ramce(const std::string& proud) {
    std::vector<std::string> out;
    size_t i = 0;
    while ((i = proud.find('\x02', i)) != std::string::npos) {
        size_t cr = proud.find('\r', i);
        if (cr == std::string::npos) break;
        out.push_back(proud.substr(i, cr - i + 1));
        i = cr + 1;
    }
    return out;
}

// The traffic log of kaslnk-sim read back: consecutive entries of one direction merged.
inline std::vector<Zapis> precti_stopu(const fs::path& soubor) {
    std::vector<Zapis> out;
    std::istringstream in(precti_soubor(soubor));
    std::string r;
    bool smer = false, plati = false;
    while (std::getline(in, r)) {
        if (r.size() < 24 || r[0] == '#') continue;
        std::string znacka = r.substr(16, 6);
        if (znacka == "host> ")
            smer = true, plati = true;
        else if (znacka == "<reg  ")
            smer = false, plati = true;
        else if (znacka != "      ")
            plati = false;  // a note
        if (!plati) continue;
        std::string bajty;
        std::istringstream hex(r.substr(22, 48));
        std::string dvojice;
        while (hex >> dvojice) bajty += char(std::stoi(dvojice, nullptr, 16));
        if (!out.empty() && out.back().od_programu == smer)
            out.back().bajty += bajty;
        else
            out.push_back({smer, bajty});
    }
    return out;
}

// Everything one side wrote, in order.
inline std::string proud(const std::vector<Zapis>& stopa, bool od_programu) {
    std::string out;
    for (const Zapis& z : stopa)
        if (z.od_programu == od_programu) out += z.bajty;
    return out;
}

const std::string HLAVICKA = "000001,1,6,1,era\r\n";
const std::string FDS_PLU = "11,00,0BB8,00,0000,01,00,07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00";

// The text of a register PLU file of n records (42 bytes each) for the simulator.
inline std::string plu_pameti(int n) {
    std::string t = "fds " + FDS_PLU + "\n";
    char r[128];
    for (int i = 1; i <= n; ++i) {
        std::snprintf(r, sizeof r, "%014d 01 %02d 0000 00000000 \"Zbozi %02d        \" %012d 0000000000\n", i,
                      i % 3, i % 100, i * 100);
        t += r;
    }
    return t;
}

inline std::string ukazka_pameti() { return std::string(KASLNK_SOURCE_DIR) + "/examples/register"; }

// A fresh program directory with a copy of the program and a kaslnk.ini without pauses
// and beeps; the register memory is the folder "pokladna" in it.
class E2E : public ::testing::Test {
protected:
    fs::path adresar;
    fs::path pamet;
    fs::path stopa;
    std::unique_ptr<simtest::SimProcess> sim;
    std::string com1;  // what KASLNK_COM1 names for the next run

    void SetUp() override {
        adresar = novy_docasny_adresar();
        pamet = adresar / "pokladna";
        stopa = adresar / "stopa.txt";
        fs::copy_file(KASLNK_BINARY, adresar / "kaslnk");
        zapis("kaslnk.ini", "zpozdeni = 0\r\nticho = 1\r\n");
    }

    void TearDown() override {
        sim.reset();
        if (HasFailure()) {
            // What the register saw helps more than any message.
            std::string j = precti_soubor(pamet / "journal.log");
            std::string s = precti_soubor(adresar / "sim.err");
            if (!j.empty()) std::fprintf(stderr, "journal.log:\n%s", j.c_str());
            if (!s.empty()) std::fprintf(stderr, "kaslnk-sim:\n%s", s.c_str());
        }
        std::error_code ec;
        fs::remove_all(adresar, ec);
    }

    // Starts the simulator on a copy of the sample memory (or on an empty folder, which the
    // test then fills), with the traffic log and the given options.
    void spust_simulator(std::vector<std::string> volby = {}, bool s_ukazkou = true) {
        if (!fs::exists(pamet)) {
            if (s_ukazkou)
                fs::copy(ukazka_pameti(), pamet, fs::copy_options::recursive);
            else
                fs::create_directory(pamet);
        }
        std::vector<std::string> args = {"-m", pamet.string(), "-T", stopa.string()};
        args.insert(args.end(), volby.begin(), volby.end());
        sim = std::make_unique<simtest::SimProcess>(args, (adresar / "sim.err").string());
        ASSERT_FALSE(sim->path.empty()) << precti_soubor(adresar / "sim.err");
        com1 = sim->path;
    }

    // Runs the program in its directory (as "./kaslnk ...") and waits for its end; a run
    // that takes longer than the limit is killed and fails the test.
    Beh spust(const std::vector<std::string>& argumenty, int limit_s = 60) {
        fs::path out = adresar / "beh.out", chyby = adresar / "beh.err";
        // Everything the child needs is made before fork: a test may run a thread meanwhile.
        std::vector<std::string> prostredi;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "KASLNK_COM", 10) != 0) prostredi.push_back(*e);
        for (int i = 1; i <= 9; ++i) {
            std::string cil = "/nonexistent/kaslnk-com" + std::to_string(i);
            if (i == 1 && !com1.empty()) cil = com1;
            prostredi.push_back("KASLNK_COM" + std::to_string(i) + "=" + cil);
        }
        std::vector<char*> envp;
        for (std::string& e : prostredi) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<std::string> kopie = argumenty;
        std::string jmeno_programu = "./kaslnk";
        std::vector<char*> argv{jmeno_programu.data()};
        for (std::string& a : kopie) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::string adr = adresar.string(), o_jmeno = out.string(), e_jmeno = chyby.string();

        long long start = simtest::ms_now();
        pid_t pid = fork();
        if (pid == 0) {
            setsid();  // no controlling terminal: nothing reaches the tester's screen
            if (chdir(adr.c_str()) != 0) _exit(126);
            int o = open(o_jmeno.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int e = open(e_jmeno.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int n = open("/dev/null", O_RDONLY);
            if (o < 0 || e < 0 || n < 0) _exit(126);
            dup2(n, 0);
            dup2(o, 1);
            dup2(e, 2);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        Beh b;
        int stav = 0;
        long long konec = start + limit_s * 1000LL;
        for (;;) {
            pid_t r = waitpid(pid, &stav, WNOHANG);
            if (r == pid) {
                b.kod = WIFEXITED(stav) ? WEXITSTATUS(stav) : 128 + WTERMSIG(stav);
                break;
            }
            if (simtest::ms_now() > konec) {
                kill(pid, SIGKILL);
                waitpid(pid, &stav, 0);
                ADD_FAILURE() << "kaslnk did not end within " << limit_s << " s";
                break;
            }
            usleep(5000);
        }
        b.ms = simtest::ms_now() - start;
        b.out = precti_soubor(out);
        b.err = precti_soubor(chyby);
        fs::remove(out);
        fs::remove(chyby);
        return b;
    }

    // Writes the command file and runs it.
    Beh spust_prikazy(const std::string& prikazy, std::vector<std::string> prepinace = {},
                      int limit_s = 60) {
        zapis("prikaz.cmd", prikazy);
        prepinace.insert(prepinace.begin(), "prikaz.cmd");
        return spust(prepinace, limit_s);
    }

    void zapis(const std::string& jmeno, const std::string& obsah) const {
        zapis_soubor(adresar / jmeno, obsah);
    }
    std::string precti(const std::string& jmeno) const { return precti_soubor(adresar / jmeno); }
    bool existuje(const std::string& jmeno) const { return fs::exists(adresar / jmeno); }
    std::vector<std::string> log(const std::string& jmeno = "era.log") const {
        return radky(precti(jmeno));
    }
    std::vector<std::string> zurnal() const { return radky(precti_soubor(pamet / "journal.log")); }
    std::vector<Zapis> provoz() const { return precti_stopu(stopa); }

    // The simulator writes its traffic log and journal as it goes; after the program has
    // ended, the last exchange may still be closing. Waits until the journal has n lines.
    bool cekej_na_zurnal(size_t n, int ms = 5000) const {
        long long konec = simtest::ms_now() + ms;
        while (zurnal().size() < n) {
            if (simtest::ms_now() > konec) return false;
            usleep(10000);
        }
        return true;
    }

    // The result of a run as the files show it: exit code, "err", "error.txt".
    void ocekavej_vysledek(const Beh& b, int kod, const std::string& err_obsah,
                           const std::string& error_txt) const {
        EXPECT_EQ(b.kod, kod) << b.err;
        EXPECT_EQ(precti("err"), err_obsah);
        EXPECT_EQ(precti("error.txt"), error_txt);
    }
};

// A log line of the serial form: date, time, result, terminal, command, port, subcode.
inline bool radek_logu(const std::string& radek, const std::string& vysledek, const std::string& prikaz,
                       const std::string& podkod, const std::string& terminal = "000001", char port = '1') {
    std::string ocekavany = "," + vysledek + "," + terminal + "," + prikaz + ";" + port + "," + podkod;
    static const std::regex datum(R"(\d\d-\d\d-\d{4},\d\d:\d\d)");
    return radek.size() == 16 + ocekavany.size() && std::regex_match(radek.substr(0, 16), datum) &&
           radek.substr(16) == ocekavany;
}

}  // namespace e2e

// Checks one log line; prints it when it does not match.
#define OCEKAVEJ_RADEK_LOGU(radek, ...) EXPECT_TRUE(e2e::radek_logu((radek), __VA_ARGS__)) << (radek)
