// Speed of the format engine on a full PLU file (60,000 records of 42 bytes):
// the received work file to the text data file, and the text data file back to the
// records of outgoing blocks.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#if defined(__unix__)
#include <sys/resource.h>
#endif

#include "format/fds.h"
#include "format/formaty.h"
#include "format/prevod.h"
#include "format/proudy.h"
#include "format/sezeni_formatu.h"
#include "format/stav.h"
#include "format/z_textu.h"

namespace {

namespace fs = std::filesystem;

const char HEX[] = "0123456789ABCDEF";

std::string ramec(const std::string& text) {
    unsigned soucet = 0;
    for (unsigned char c : text) soucet += c;
    unsigned k = (256 - soucet % 256) % 256;
    return "\x02" + text + HEX[k >> 4] + HEX[k & 15] + "\r";
}

// A register-like PLU record: BCD key and numbers, a padded name, two signed amounts.
std::string zaznam_plu(unsigned i) {
    char z[128];
    char jmeno[17];
    std::snprintf(jmeno, sizeof jmeno, "ZBOZI %-10u", i);
    std::string t;
    for (int k = 0; k < 16; ++k) {
        t += HEX[static_cast<unsigned char>(jmeno[k]) >> 4];
        t += HEX[jmeno[k] & 15];
    }
    std::snprintf(z, sizeof z, "%014u%02u%02X%04u%08u%s%011u%c%09u%c", i, i % 100, i & 3, i % 10000,
                  i * 7 % 100000000, t.c_str(), i * 13 % 100000000, i % 5 ? 'C' : 'D', i % 1000000, 'C');
    return z;
}

long max_rss_kb() {
#if defined(__unix__)
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
#else
    return 0;
#endif
}

// A program directory with work01.tmp of the PLU file of `zaznamu` records, and a fresh
// session working in it.
struct Adresar {
    fs::path cesta;
    SezeniFormatu s;
    explicit Adresar(unsigned zaznamu) {
        cesta = fs::temp_directory_path() / ("kaslnk-bench-" + std::to_string(zaznamu));
        fs::remove_all(cesta);
        fs::create_directories(cesta);
        s.ShowProgress = 0;
        s.fullpath = 1;
        s.tt.adresar_programu = cesta.string() + "/";
        s.tt.datovy_soubor = "p_plu.dat";
        s.tt.fds_soubor = "p_plu.fds";
        std::ofstream f(cesta / "work01.tmp", std::ios::binary);
        f << ramec("0/HDR1/11000FA00000000100" "07020204100000000B00000000000000");
        char poradi = '1';
        for (unsigned i = 0; i < zaznamu; i += 11) {
            unsigned n = zaznamu - i < 11 ? zaznamu - i : 11;
            char hlavicka[16];
            std::snprintf(hlavicka, sizeof hlavicka, "%c%06X0%c", poradi, n, i + n == zaznamu ? '1' : '0');
            std::string blok = hlavicka;
            for (unsigned k = 0; k < n; ++k) blok += zaznam_plu(i + k);
            f << ramec(blok);
            poradi = poradi == '9' ? '0' : static_cast<char>(poradi + 1);
        }
    }
    ~Adresar() { fs::remove_all(cesta); }
};

void PrijatyPluNaText(benchmark::State& state) {
    unsigned zaznamu = static_cast<unsigned>(state.range(0));
    Adresar a(zaznamu);
    for (auto _ : state) preved_prijata_data(a.s);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * zaznamu);
    state.counters["max_rss_kB"] = static_cast<double>(max_rss_kb());
}

// The text data file back to record text, framed into blocks of 11 records the way the
// send operation frames them (the framing here stands in for it).
void TextPluNaBloky(benchmark::State& state) {
    unsigned zaznamu = static_cast<unsigned>(state.range(0));
    Adresar a(zaznamu);
    SezeniFormatu& s = a.s;
    preved_prijata_data(s);
    std::string vystup;
    for (auto _ : state) {
        napln_fdsfile(s);
        najdi_format(s);
        s.dataf = otevri_soubor(s, s.tt.datovy_soubor, 'r');
        HSOUBOR work02 = otevri_soubor(s, "work02.tmp", 'w');
        const unsigned na_blok = 968 / (2 * static_cast<unsigned>(s.delka_zaznamu));
        char poradi = '2';
        bool konec = false;
        while (!konec) {
            std::string blok = "   000000";
            unsigned n = 0;
            while (n < na_blok && !(konec = !nacti_radek_dat(s, s.dataf))) {
                blok.append(s.ss, preved_radek_na_zaznam(s));
                ++n;
            }
            if (n == 0) break;
            char hlavicka[16];
            std::snprintf(hlavicka, sizeof hlavicka, "%c%06X0%c", poradi, n, konec ? '1' : '0');
            blok.replace(0, 9, hlavicka);
            zapis_text(ramec(blok), work02);
            poradi = poradi == '9' ? '0' : static_cast<char>(poradi + 1);
        }
        zavri_soubor(s, work02);
        zavri_cteny(s, s.dataf);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * zaznamu);
    state.counters["max_rss_kB"] = static_cast<double>(max_rss_kb());
}

}  // namespace

BENCHMARK(PrijatyPluNaText)->Arg(6000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(TextPluNaBloky)->Arg(6000)->Arg(60000)->Unit(benchmark::kMillisecond);
