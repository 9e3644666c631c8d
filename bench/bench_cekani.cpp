// The link's waits for a character on a real (pseudo-)terminal: how long a receive
// time-out really lasts, and how much CPU the process burns meanwhile (should be ~0).
// Run: build/bench/kaslnk_bench --benchmark_filter=CekaniNaZnak
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "link/port.h"
#include "link/serial.h"

namespace {

double cpu_ms() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3;
}

void CekaniNaZnak(benchmark::State& state) {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char jmeno[128];
    if (master < 0 || grantpt(master) || unlockpt(master) || ptsname_r(master, jmeno, sizeof jmeno)) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    Sezeni s;
    nastav_port_sezeni(s, 1, jmeno);
    if (!OpenConnection(s)) {
        state.SkipWithError("OpenConnection failed");
        close(master);
        return;
    }
    const auto t = static_cast<uint32_t>(state.range(0));
    const double ocekavano = t + 19200.0 / s.tt.rychlost;  // what the time-out promises
    double cekani = 0, cpu = 0, nejvetsi_odchylka = 0;
    for (auto _ : state) {
        nastav_timeout(s, t);
        double c0 = cpu_ms();
        auto t0 = std::chrono::steady_clock::now();
        int prislo = prijmi_znak(s);
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        cpu += cpu_ms() - c0;
        if (prislo) state.SkipWithError("a character came");
        cekani += ms;
        if (ms - ocekavano > nejvetsi_odchylka) nejvetsi_odchylka = ms - ocekavano;
    }
    CloseConnection(s);
    close(master);
    double n = static_cast<double>(state.iterations());
    state.counters["ocekavano_ms"] = ocekavano;
    state.counters["cekani_ms"] = cekani / n;
    state.counters["odchylka_max_ms"] = nejvetsi_odchylka;
    state.counters["cpu_ms"] = cpu / n;
}

}  // namespace

BENCHMARK(CekaniNaZnak)->Arg(1000)->Arg(7000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
