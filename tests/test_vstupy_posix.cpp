// Files the program writes, against what a program directory may hold: symbolic links
// placed there, a log that cannot be written.
#include <sys/resource.h>
#include <sys/stat.h>

#include <functional>

#include "core/log.h"
#include "core/prikazovy_soubor.h"
#include "e2e_pomocne.h"
#include "format/proudy.h"
#include "platform/platform.h"

namespace {

using namespace e2e;

// No file is written through a symbolic link in the program directory: the link is
// refused (a file error) or replaced, and the file it points to stays as it was.
TEST_F(ProgramovyAdresar, ZapisNejdeOdkazem) {
    fs::path cil = adresar / "jinde" / "cil";
    fs::create_directories(cil.parent_path());
    zapis("zdroj", "obraz pameti");
    const std::pair<const char*, std::function<void()>> pripady[] = {
        {"work02.tmp", [&] { otevri_soubor(s, "work02.tmp", 'w'); }},
        {"rsdata", [&] { otevri_soubor(s, "rsdata", '+'); }},
        {"era.log", [&] { s.tt.logovy_soubor = "era.log"; zapis_log(s); }},
        {"plu.dat", [&] { kopiruj_soubor(pridej_path(s, "zdroj"), pridej_path(s, "plu.dat")); }},
        {"p.dat.part", [&] { zapis_soubor_naraz(s, "p.dat", "data"); }},
    };
    for (const auto& [jmeno, zapis_souboru] : pripady) {
        zapis_soubor(cil, "puvodni");
        fs::create_symlink(cil, adresar / jmeno);
        KONEC(zapis_souboru());
        zavri_vsechny_soubory(s);
        EXPECT_EQ(precti_soubor(cil), "puvodni") << jmeno;
        fs::remove(adresar / jmeno);
    }
}

// Where a file is expected, only a regular file is opened: a FIFO (here with a writer, so
// that an open which waits would return) is refused at once and is no command file.
TEST_F(ProgramovyAdresar, FifoNeniSoubor) {
    ASSERT_EQ(mkfifo(cesta("b.cmd").c_str(), 0644), 0);
    int drzi = open(cesta("b.cmd").c_str(), O_RDWR | O_NONBLOCK);
    for (const char* mod : {"rb", "r+b", "ab", "wb"}) EXPECT_EQ(plat_otevri_soubor(cesta("b.cmd"), mod), nullptr) << mod;
    std::error_code ec;
    EXPECT_TRUE(soubory_s_priponou(s, "cmd", ec).empty());
    close(drzi);
}

// Data and log names whose directories are symbolic links: refused when they lead out of
// the program directory, not when they stay in it.
TEST_F(ProgramovyAdresar, PodadresarOdkazemVen) {
    fs::create_directory(adresar / "uvnitr");
    fs::create_directory_symlink(fs::temp_directory_path(), adresar / "data");
    fs::create_directory_symlink(adresar / "uvnitr", adresar / "zkratka");
    EXPECT_FALSE(jmeno_v_adresari(s, "data\\plu") || jmeno_v_adresari(s, "data/novy/plu"));
    EXPECT_TRUE(jmeno_v_adresari(s, "zkratka\\plu") && jmeno_v_adresari(s, "novy/plu"));
}

// A full disk (a file size limit here): the shortened log that cannot be written leaves
// the log as it was and no work03.tmp; a line that does not fit whole leaves no fragment.
TEST_F(ProgramovyAdresar, PlnyDiskNeposkodiLog) {
    s.tt.terminal = "000001";
    s.tt.logovy_soubor = "era.log";
    std::string log;
    while (log.size() < 43000) log += "06-12-2026,13:42,00,000001,/10-00/;6,0000\r\n";
    zapis("era.log", log);
    auto sigxfsz = signal(SIGXFSZ, SIG_IGN);
    rlimit puvodni{}, mez{};
    getrlimit(RLIMIT_FSIZE, &puvodni);
    for (rlim_t n : {rlim_t(8000), rlim_t(log.size() + 10)}) {
        mez = puvodni;
        mez.rlim_cur = n;
        s.vysledek_nezapsan = 0;
        setrlimit(RLIMIT_FSIZE, &mez);
        OCEKAVEJ_CHYBU(n == 8000 ? zkrat_log(s) : err(38, 1), n == 8000 ? 60 : 38, 1);
        setrlimit(RLIMIT_FSIZE, &puvodni);
        EXPECT_EQ(precti("era.log").size(), log.size());  // no cut-short copy, no fragment
        EXPECT_FALSE(existuje("work03.tmp"));
        EXPECT_EQ(s.vysledek_nezapsan, 1);
    }
    signal(SIGXFSZ, sigxfsz);
}

// A log line that cannot be written leaves no result files (the caller learns nothing
// from them), so the run reports it and does not end with 0.
TEST_F(E2E, NezapsanyLogNekonciNulou) {
    fs::create_directory(adresar / "era.log");
    Beh b = spust_prikazy("000001,1,6,1,era\r\n/30-00/\r\n", {"/k"});
    EXPECT_EQ(b.kod, 1);
    EXPECT_NE(b.err.find("logovy soubor"), std::string::npos) << b.err;
}

}  // namespace
