// Byte-at-a-time file reading and writing, as the format engine and the log use them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/prikazovy_soubor.h"
#include "core/sezeni_jadra.h"
#include "core/soubory.h"

namespace {

namespace fs = std::filesystem;

std::string docasne_jmeno(const char* jmeno) {
    return (fs::temp_directory_path() / (std::string("kaslnk-bench-") + jmeno)).string();
}

void BM_CteniPoBajtech(benchmark::State& state) {
    const std::string cesta = docasne_jmeno("cteni.dat");
    const size_t velikost = static_cast<size_t>(state.range(0));
    std::ofstream(cesta, std::ios::binary) << std::string(velikost, 'A');
    SezeniJadra s;
    for (auto _ : state) {
        HSOUBOR f = otevri_soubor(s, cesta, 'r', 1);
        size_t n = 0;
        while (!cti_znak_ze_souboru(s, f)) ++n;
        zavri_soubor(s, f);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * velikost));
    fs::remove(cesta);
}
BENCHMARK(BM_CteniPoBajtech)->Arg(64 << 10)->Arg(1 << 20);

void BM_ZapisPoBajtech(benchmark::State& state) {
    const std::string cesta = docasne_jmeno("zapis.dat");
    const size_t velikost = static_cast<size_t>(state.range(0));
    SezeniJadra s;
    for (auto _ : state) {
        HSOUBOR f = otevri_soubor(s, cesta, 'w', 1);
        for (size_t i = 0; i < velikost; ++i) zapis_znak(static_cast<unsigned char>('0' + i % 10), f);
        zavri_soubor(s, f);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * velikost));
    fs::remove(cesta);
}
BENCHMARK(BM_ZapisPoBajtech)->Arg(64 << 10)->Arg(1 << 20);

// Loading and parsing a command file of the largest allowed size with 60 operations.
void BM_PrikazovySoubor(benchmark::State& state) {
    const fs::path adresar = fs::temp_directory_path() / "kaslnk-bench-cmd";
    fs::create_directories(adresar);
    std::string obsah = "000001,1,6,1,era\r\n";
    while (obsah.size() < 2000) obsah += "/20-00/00/;plu_data\r\n";
    std::ofstream(adresar / "prikaz.cmd", std::ios::binary) << obsah;
    SezeniJadra s;
    s.fullpath = 1;
    s.tt.adresar_programu = adresar.string() + "/";
    for (auto _ : state) {
        s.tt.jmeno_cmd = "prikaz";
        s.tt.pokracovani = 0;
        uvolni_cmd_buffer(s);
        int operaci = 0;
        while (ctiCMD(s)) ++operaci;
        benchmark::DoNotOptimize(operaci);
    }
    fs::remove_all(adresar);
}
BENCHMARK(BM_PrikazovySoubor);

}  // namespace
