// A 1,000-record PLU download and upload: the real program against kaslnk-sim pacing the
// line at 19200 bit/s, measured against the least time the protocol allows (the floor):
// every byte of the traffic at 10 bits a character, plus the pauses the program must make.
//
//   build/bench/kaslnk_bench --benchmark_filter=Prenos      (about four minutes)
//
// BM_PrenosPLUSit runs the same transfer through ser2net over rfc2217:// (the simulator's
// pty behind a loopback port) and against the pty directly, and reports the ratio.
#ifndef _WIN32
#if defined(KASLNK_BINARY) && defined(KASLNK_SIM_BINARY)

#include <benchmark/benchmark.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>


namespace {

namespace fs = std::filesystem;

constexpr unsigned RYCHLOST = 19200;
constexpr const char* SER2NET = "/usr/sbin/ser2net";
constexpr int ZAZNAMU = 1000;
constexpr int ZPOZDENI_MS = 0;  // the pause after each operation (ini key zpozdeni)

// Pauses the program makes whatever the line does: the port settles 10 ms after opening,
// 150 ms pass before a read's enquiry and after DTR goes up for a send, 200 ms before
// every block sent, the input flush before an enquiry waits out its read time-out (it
// asks for 9 bytes: 1 ms plus 9 character times of 19200/speed ms, 10 ms at 19200), and
// zpozdeni follows every operation.
constexpr double OTEVRENI_S = 0.010, CEKANI_S = 0.150, PRED_BLOKEM_S = 0.200;
constexpr double VYPRAZDNENI_S = 0.001 + 9 * 0.001 * (19200.0 / RYCHLOST);

double ted_s() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

std::string precti(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// The register memory: a PLU file of ZAZNAMU records (42 bytes each).
void vytvor_pamet(const fs::path& pamet) {
    fs::create_directories(pamet);
    std::ofstream f(pamet / "plu.txt", std::ios::binary);
    f << "fds 11,00,0BB8,00,0000,01,00,07,02,02,04,10,00,00,00,0B,00,00,00,00,00,00,00\n";
    char radek[160];
    for (int i = 1; i <= ZAZNAMU; ++i) {
        std::snprintf(radek, sizeof radek, "%014d %02d %02d 0000 00000000 \"Zbozi %04d      \" %012d 0000000000\n",
                      i, i % 9 + 1, i % 3, i, (i * 137) % 100000 * 100);
        f << radek;
    }
}

// What the traffic log shows of one run.
struct Provoz {
    long bajty_programu = 0, bajty_pokladny = 0;
    long volani = 0;          // enquiries
    long bloky_programu = 0;  // frames the program sent after its command packets
};

Provoz rozeber_stopu(const fs::path& soubor) {
    Provoz p;
    std::istringstream in(precti(soubor));
    std::string r;
    bool od_programu = false, data = false;
    std::string proud_programu;
    while (std::getline(in, r)) {
        if (r.size() < 24 || r[0] == '#') continue;
        std::string znacka = r.substr(16, 6);
        if (znacka == "host> ")
            od_programu = data = true;
        else if (znacka == "<reg  ")
            od_programu = false, data = true;
        else if (znacka != "      ")
            data = false;
        if (!data) continue;
        std::istringstream hex(r.substr(22, 48));
        std::string dvojice;
        while (hex >> dvojice) {
            char c = char(std::stoi(dvojice, nullptr, 16));
            if (od_programu) {
                ++p.bajty_programu;
                proud_programu += c;
            } else {
                ++p.bajty_pokladny;
            }
        }
    }
    // Frames of the program: a command packet is STX "0" and its text, which starts with
    // "/" here; a block carries a sequence character and hexadecimal digits.
    for (size_t i = 0; (i = proud_programu.find("\x04\x04\x04", i)) != std::string::npos; i += 3) ++p.volani;
    for (size_t i = 0; (i = proud_programu.find('\x02', i)) != std::string::npos; ++i)
        if (proud_programu.compare(i + 1, 2, "0/") != 0) ++p.bloky_programu;
    return p;
}

struct Vysledek {
    double wall = 0, cpu = 0, podlaha = 0;
    double cpu_rusage = 0;  // for comparison: what rusage claims
    Provoz provoz;
    int kod = -1;
};

// A child process, ended with SIGTERM when this goes.
struct Potomek {
    pid_t pid = -1;
    Potomek& operator=(pid_t p) {
        pid = p;
        return *this;
    }
    operator pid_t() const { return pid; }
    ~Potomek() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
};

class Simulator {
public:
    Simulator(const fs::path& pamet, const fs::path& stopa, int fifo) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            std::string b = std::to_string(RYCHLOST), f = std::to_string(fifo);
            execl(KASLNK_SIM_BINARY, KASLNK_SIM_BINARY, "-m", pamet.c_str(), "-q", "--pace", "--baud", b.c_str(),
                  "--fifo", f.c_str(), "-T", stopa.c_str(), (char*)nullptr);
            _exit(127);
        }
        close(out[1]);
        char c;
        pollfd p{out[0], POLLIN, 0};
        while (poll(&p, 1, 5000) > 0 && read(out[0], &c, 1) == 1 && c != '\n') pty += c;
        close(out[0]);
    }
    std::string pty;

private:
    Potomek pid_;
};

// True once a socket listens on 127.0.0.1:port (the kernel's own table, so the check
// opens no connection that would reach the serial side); waits at most 10 s.
bool ceka_na_port(unsigned port) {
    char hledam[32];
    std::snprintf(hledam, sizeof hledam, ":%04X 00000000:0000 0A", port);
    for (int i = 0; i < 1000; ++i) {
        if (precti("/proc/net/tcp").find(std::string("0100007F") + hledam) != std::string::npos) return true;
        usleep(10000);
    }
    return false;
}

// ser2net serving the simulator's pty as RFC 2217 on a loopback port the system picks.
class Ser2net {
public:
    Ser2net(const fs::path& adresar, const std::string& pty) {
        int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t d = sizeof a;
        bool ok = bind(s, reinterpret_cast<sockaddr*>(&a), d) == 0 && getsockname(s, reinterpret_cast<sockaddr*>(&a), &d) == 0;
        close(s);
        if (!ok) return;
        std::string port = std::to_string(ntohs(a.sin_port)), konf = (adresar / "ser2net.yaml").string();
        std::ofstream(konf) << "connection: &k\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << port
                            << "\n  connector: serialdev," << pty << ",19200o71,local\n";
        std::string pid = (adresar / "ser2net.pid").string();
        pid_ = fork();
        if (pid_ == 0) {
            int n = open("/dev/null", O_RDWR);
            dup2(n, 1), dup2(n, 2);
            execl(SER2NET, "ser2net", "-n", "-u", "-c", konf.c_str(), "-P", pid.c_str(), (char*)nullptr);
            _exit(127);
        }
        if (ceka_na_port(ntohs(a.sin_port))) adresa = "rfc2217://127.0.0.1:" + port;
    }
    std::string adresa;

private:
    Potomek pid_;
};

// The CPU time of a running process from the scheduler's own accounting of each thread
// (/proc/PID/task/TID/schedstat, nanoseconds on the clock of CLOCK_PROCESS_CPUTIME_ID).
// rusage samples at timer ticks and overstates a process that wakes thousands of times a
// second for a moment each. Sampled every 5 ms: a thread's last few milliseconds before
// it ends may be missed.
class CasProcesoru {
public:
    void zmer(pid_t pid) {
        std::error_code ec;
        for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/task", ec), konec; !ec && it != konec;
             it.increment(ec)) {
            unsigned long long ns = 0;
            std::ifstream f(it->path() / "schedstat");
            if (f >> ns) vlakna_[it->path().filename().string()] = ns;
        }
    }
    double celkem() const {
        unsigned long long ns = 0;
        for (const auto& [tid, n] : vlakna_) ns += n;
        return double(ns) * 1e-9;
    }

private:
    std::map<std::string, unsigned long long> vlakna_;
};

// One run of the program with the command file, timed; the floor from its traffic.
// With `sit` the program reaches the simulator through ser2net over rfc2217://.
Vysledek spust(const fs::path& adresar, const std::string& prikazy, const std::string& nazev, int fifo,
               bool sit = false) {
    Vysledek v;
    fs::path stopa = adresar / ("stopa-" + nazev + ".txt");
    Simulator sim(adresar / "pokladna", stopa, fifo);
    if (sim.pty.empty()) return v;
    std::unique_ptr<Ser2net> server;
    if (sit) server = std::make_unique<Ser2net>(adresar, sim.pty);
    if (sit && server->adresa.empty()) return v;  // ser2net did not listen
    std::string com1 = sit ? server->adresa : sim.pty;
    std::ofstream(adresar / "prikaz.cmd", std::ios::binary) << prikazy;
    double start = ted_s();
    pid_t pid = fork();
    if (pid == 0) {
        setsid();
        if (chdir(adresar.c_str()) != 0) _exit(126);
        int n = open("/dev/null", O_RDWR);
        dup2(n, 0);
        dup2(n, 1);
        dup2(n, 2);
        setenv("KASLNK_COM1", com1.c_str(), 1);
        for (int i = 2; i <= 9; ++i)
            setenv(("KASLNK_COM" + std::to_string(i)).c_str(), ("/nonexistent/kaslnk-com" + std::to_string(i)).c_str(), 1);
        execl("./kaslnk", "./kaslnk", "prikaz.cmd", (char*)nullptr);
        _exit(127);
    }
    int stav = 0;
    rusage ru{};
    CasProcesoru cas;
    while (wait4(pid, &stav, WNOHANG, &ru) == 0) {
        cas.zmer(pid);
        usleep(5000);
    }
    v.wall = ted_s() - start;
    v.kod = WIFEXITED(stav) ? WEXITSTATUS(stav) : -1;
    v.cpu = cas.celkem();
    v.cpu_rusage =
        double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
    // The simulator flushes its log as it goes; the last entry may lag the exit a little.
    usleep(100000);
    v.provoz = rozeber_stopu(stopa);
    long operaci = 0;
    for (size_t i = prikazy.find("\n/"); i != std::string::npos; i = prikazy.find("\n/", i + 1)) ++operaci;
    v.podlaha = double(v.provoz.bajty_programu + v.provoz.bajty_pokladny) * 10.0 / RYCHLOST +
                double(operaci) * (OTEVRENI_S + CEKANI_S + ZPOZDENI_MS / 1000.0) +
                double(v.provoz.bloky_programu) * PRED_BLOKEM_S + double(v.provoz.volani) * VYPRAZDNENI_S;
    return v;
}

void ohlas(benchmark::State& state, const Vysledek& v, const std::string& co) {
    state.counters[co + "_wall_s"] = v.wall;
    state.counters[co + "_floor_s"] = v.podlaha;
    state.counters[co + "_over_%"] = v.podlaha > 0 ? 100.0 * (v.wall - v.podlaha) / v.podlaha : 0;
    state.counters[co + "_cpu_%"] = v.wall > 0 ? 100.0 * v.cpu / v.wall : 0;
    std::fprintf(stderr,
                 "%-8s wall %7.3f s  floor %7.3f s  over floor %+6.2f %%  cpu %6.3f s (%.2f %% of wall; "
                 "rusage says %.3f s)  bytes %ld out, %ld in, %ld blocks sent, exit %d\n",
                 co.c_str(), v.wall, v.podlaha, v.podlaha > 0 ? 100.0 * (v.wall - v.podlaha) / v.podlaha : 0, v.cpu,
                 v.wall > 0 ? 100.0 * v.cpu / v.wall : 0, v.cpu_rusage, v.provoz.bajty_programu, v.provoz.bajty_pokladny,
                 v.provoz.bloky_programu, v.kod);
}

// A program directory with the program, its ini file and the register memory.
fs::path priprav_adresar() {
    char sablona[] = "/tmp/kaslnk-bench-prenos-XXXXXX";
    if (!mkdtemp(sablona)) return {};
    fs::path adresar = sablona;
    fs::copy_file(KASLNK_BINARY, adresar / "kaslnk");
    std::ofstream(adresar / "kaslnk.ini", std::ios::binary)
        << "ticho = 1\r\nzpozdeni = " << ZPOZDENI_MS << "\r\n";
    vytvor_pamet(adresar / "pokladna");
    return adresar;
}

void BM_PrenosPLU(benchmark::State& state) {
    fs::path adresar = priprav_adresar();
    if (adresar.empty()) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const int fifo = int(state.range(0));
    std::fprintf(stderr, "PLU file of %d records at %u bit/s, bytes handed over in groups of %d:\n", ZAZNAMU,
                 RYCHLOST, fifo);
    for (auto _ : state) {
        Vysledek cteni = spust(adresar, "000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n", "cteni", fifo);
        Vysledek zapis = spust(adresar, "000001,1,6,1,era\r\n/10-00/;plu\r\n", "zapis", fifo);
        if (cteni.kod != 0 || zapis.kod != 0) {
            std::fprintf(stderr, "exit codes %d, %d; log:\n%s", cteni.kod, zapis.kod, precti(adresar / "era.log").c_str());
            state.SkipWithError("the transfer failed");
            break;
        }
        state.SetIterationTime(cteni.wall + zapis.wall);
        ohlas(state, cteni, "down");
        ohlas(state, zapis, "up");
        Vysledek celek;
        celek.wall = cteni.wall + zapis.wall;
        celek.cpu = cteni.cpu + zapis.cpu;
        celek.cpu_rusage = cteni.cpu_rusage + zapis.cpu_rusage;
        celek.podlaha = cteni.podlaha + zapis.podlaha;
        celek.kod = 0;
        celek.provoz.bajty_programu = cteni.provoz.bajty_programu + zapis.provoz.bajty_programu;
        celek.provoz.bajty_pokladny = cteni.provoz.bajty_pokladny + zapis.provoz.bajty_pokladny;
        celek.provoz.bloky_programu = cteni.provoz.bloky_programu + zapis.provoz.bloky_programu;
        ohlas(state, celek, "total");
    }
    std::error_code ec;
    fs::remove_all(adresar, ec);
}
// Argument: how many bytes the line hands over at once. 1 is a pseudo-terminal fed byte by
// byte (a wake-up of the program for every byte); 8 is like a 16550 UART's FIFO.
BENCHMARK(BM_PrenosPLU)->Arg(1)->Arg(8)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The same read and send over rfc2217:// through ser2net against the pty, same pacing
// (bytes in groups of 8); the counter ratio is network wall time / pty wall time.
void BM_PrenosPLUSit(benchmark::State& state) {
    fs::path adresar = priprav_adresar();
    if (adresar.empty() || !fs::exists(SER2NET)) {
        state.SkipWithError("no temporary directory or no ser2net (scripts/setup.sh)");
        return;
    }
    const std::string cti = "000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n", posli = "000001,1,6,1,era\r\n/10-00/;plu\r\n";
    for (auto _ : state) {
        double wall[2] = {0, 0};
        for (int sit = 0; sit < 2; ++sit) {
            Vysledek c = spust(adresar, cti, sit ? "cteni-sit" : "cteni", 8, sit);
            Vysledek z = spust(adresar, posli, sit ? "zapis-sit" : "zapis", 8, sit);
            if (c.kod != 0 || z.kod != 0) {
                state.SkipWithError("the transfer failed");
                break;
            }
            ohlas(state, c, sit ? "down_rfc2217" : "down_pty");
            ohlas(state, z, sit ? "up_rfc2217" : "up_pty");
            wall[sit] = c.wall + z.wall;
        }
        state.SetIterationTime(wall[0] + wall[1]);
        state.counters["ratio"] = wall[0] > 0 ? wall[1] / wall[0] : 0;
        std::fprintf(stderr, "rfc2217 %.3f s / pty %.3f s = %.4f\n", wall[1], wall[0], wall[0] > 0 ? wall[1] / wall[0] : 0);
    }
    std::error_code ec;
    fs::remove_all(adresar, ec);
}
BENCHMARK(BM_PrenosPLUSit)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

#endif
#endif
