// The command line in both forms, the run modes, TvorSoubor.
#include <string>
#include <vector>

#include "core/prikazovy_radek.h"
#include "pomocne.h"

namespace {

// "[directory][command file] flags": set flags by name, given twins as name=value.
std::string popis(const Parametry& p) {
    std::string s = "[" + p.adresar_programu + "][" + p.jmeno_cmd + "]";
    auto f = [&](const char* n, int32_t v) { if (v) s += std::string(" ") + n; };
    auto t = [&](const char* n, const Twin& w) {
        if (w.zadano) s += std::string(" ") + n + "=" + std::to_string(w.hodnota);
    };
    f("rawdebug", p.rawdebug); f("debug", p.debug); t("debugf", p.debugf);
    f("WINDOW", p.WINDOW); t("WINDOWf", p.WINDOWf); f("ticho", p.ticho); t("tichof", p.tichof);
    f("nokomun", p.nokomun); t("nokomunf", p.nokomunf); f("nodtr", p.nodtr); t("nodtrf", p.nodtrf);
    f("hlasky", p.hlasky); t("hlaskyf", p.hlaskyf); f("konverze", p.konverzeW_C);
    t("konverzef", p.konverzeW_Cf); f("TestStatus", p.TestStatus); f("datumcas", p.datumcas);
    f("ZavesLinku", p.ZavesLinku); f("AUTOMAT", p.AUTOMAT);
    if (p.fullpath != !p.adresar_programu.empty()) s += " fullpath?";
    if (p.konec >= 0) s += " konec=" + std::to_string(p.konec);
    return s;
}

TEST(RadekWindows, Pripady) {
    const std::pair<const char*, const char*> pripady[] = {
        {"C:\\POKLADNA\\kaslnk.exe prikaz.cmd /q", "[c:\\pokladna\\][prikaz.cmd] ticho tichof=1 AUTOMAT"},
        {"\"C:\\Program Files\\Kasa\\KASLNK.EXE\" C:\\Data\\Prikaz.CMD",
         "[c:\\program files\\kasa\\][prikaz.cmd] AUTOMAT"},
        {"kaslnk prikaz.cmd /w", "[][prikaz.cmd] WINDOW WINDOWf=1 AUTOMAT"},
        {"c:\\k\\kaslnk.exe", "[c:\\k\\][] WINDOW"}, {"kaslnk.exe /t", "[][] datumcas AUTOMAT"},
        {"kaslnk.exe /z", "[][] WINDOW ZavesLinku AUTOMAT"},
        // "/dd" contains "/d"; "/d-" beats "/d"; upper case is removed but does nothing.
        {"kaslnk x.cmd /dd", "[][x.cmd] rawdebug debug debugf=1 AUTOMAT"},
        {"kaslnk x.cmd /d /d-", "[][x.cmd] debugf=0 AUTOMAT"}, {"kaslnk x.cmd /D /Q", "[][x.cmd] AUTOMAT"},
        {"kaslnk x.cmd /k /n- /h /p /status /qx",
         "[][x.cmd] ticho tichof=1 nokomun nokomunf=1 nodtrf=0 hlasky hlaskyf=1 konverze "
         "konverzef=1 TestStatus AUTOMAT"},
        {"/q /d", "[][] debug debugf=1 ticho tichof=1 konec=8"}, {"", "[][] konec=8"},
        {"c:\\k\\pokladna.exe x.cmd", "[][] konec=3"},
        // The last "kaslnk" counts, also when the directory or the command file has it.
        {"c:\\kaslnk\\kaslnk.exe x.cmd", "[c:\\kaslnk\\][x.cmd] AUTOMAT"},
        {"c:\\k\\kaslnk.exe kaslnk.cmd", "[c:\\k\\kaslnk.exe ][] WINDOW"},
        // A switch glued to the name, blanks around it, a switch before the file.
        {"kaslnk.exe x.cmd/q", "[][x.cmd] ticho tichof=1 AUTOMAT"},
        {"kaslnk.exe   /h   x.cmd   ", "[][x.cmd] hlasky hlaskyf=1 AUTOMAT"},
        // Forward slashes are switch marks: such a path switches flags on and loses the name.
        {"c:/pokladna/kaslnk.exe x.cmd", "[][] nokomun nokomunf=1 konverze konverzef=1 konec=3"},
        // No "--help" on Windows: it is a command-file name.
        {"kaslnk.exe --help", "[][--help] AUTOMAT"},
    };
    for (const auto& [radek, ocekavano] : pripady)
        EXPECT_EQ(popis(rozeber_radek_windows(radek)), ocekavano) << radek;
}

TEST(RadekWindows, DelkaAZpravy) {
    std::string radek = "kaslnk ";
    radek += std::string(MAX_PRIKAZOVY_RADEK - radek.size(), 'a');
    EXPECT_EQ(rozeber_radek_windows(radek).konec, -1);
    Parametry p = rozeber_radek_windows(radek + "a");
    EXPECT_EQ(std::to_string(p.konec) + p.zprava, "2Prilis dlouhy prikazovy radek.");
    Parametry c = rozeber_radek_windows("\"C:\\K\\kaslnk.exe\" --command 40005 x.cmd");
    EXPECT_EQ(std::to_string(c.posli_oknu) + c.prikaz_oknu + c.jmeno_cmd, "140005");
}

TEST(ArgumentyLinux, Pripady) {
    const std::pair<std::vector<std::string>, std::string> pripady[] = {
        {{"/opt/Pokladna/kaslnk", "Prikaz.CMD", "/q"}, "[/opt/Pokladna/][Prikaz.CMD] ticho tichof=1 AUTOMAT"},
        {{"kaslnk"}, "[][] WINDOW"}, {{"./kaslnk", "/t"}, "[./][] datumcas AUTOMAT"},
        {{"/opt/KASLNK"}, "[/opt/][] WINDOW"},
        // Paths are never switches; the command file is taken by its bare name.
        {{"kaslnk", "/home/dana/data/prikaz.cmd"}, "[][prikaz.cmd] AUTOMAT"},
        {{"kaslnk", "/prikaz.cmd"}, "[][prikaz.cmd] AUTOMAT"},
        {{"kaslnk", "data/", "/q"}, "[][] WINDOW ticho tichof=1"}, {{"kaslnk", "a.cmd", "b.cmd"}, "[][b.cmd] AUTOMAT"},
        // Substring tests in the table's order, lower case only.
        {{"kaslnk", "x.cmd", "/dd"}, "[][x.cmd] rawdebug debug debugf=1 AUTOMAT"},
        {{"kaslnk", "/d-", "x.cmd", "/d"}, "[][x.cmd] debugf=0 AUTOMAT"},
        {{"kaslnk", "x.cmd", "/D", "/W"}, "[][x.cmd] AUTOMAT"},
        {{"kaslnk", "x.cmd", "/w-", "/k", "/n", "/h-", "/p-", "/z", "/status"},
         "[][x.cmd] WINDOWf=0 nokomun nokomunf=1 nodtr nodtrf=1 hlaskyf=0 konverzef=0 TestStatus "
         "ZavesLinku AUTOMAT"},
        // Exit codes: renamed (a directory named kaslnk does not count), switches only.
        {{"/usr/bin/pokladna", "x.cmd"}, "[][] konec=3"}, {{"/opt/kaslnk/pokl", "x.cmd"}, "[][] konec=3"},
        {{"", "/q"}, "[][] ticho tichof=1 konec=8"}, {{}, "[][] konec=8"},
        {{"kaslnk", std::string(1016, 'a')}, "[][" + std::string(1016, 'a') + "] AUTOMAT"},
        {{"kaslnk", std::string(1017, 'a')}, "[][] konec=2"},
    };
    for (const auto& [argumenty, ocekavano] : pripady)
        EXPECT_EQ(popis(rozeber_argumenty(argumenty)), ocekavano) << argumenty.size();
}

using Spusteni = ProgramovyAdresar;

// A line that ends the run shows its message, except for the switches alone (8).
TEST_F(Spusteni, KonecSeZpravou) {
    EXPECT_EQ(KONEC(zpracuj_parametry(s, "C:\\kopie.exe x.cmd", {"kaslnk", "x.cmd"})), 3);
    EXPECT_EQ(KONEC(zpracuj_parametry(s, "/q /d", {"kaslnk", "x.cmd"})), 8);
    EXPECT_EQ(zpravy(), "Nekdo mi zmenil jmeno.\rNepracuji.\rJmenuji se kaslnk.\n");
}

// The line, when the system gives one, decides alone; the argument vector is not read.
TEST_F(Spusteni, RadekMaPrednostPredArgumenty) {
    zpracuj_parametry(s, "\"C:\\Kasa 1\\KASLNK.EXE\" D:\\Data\\Prikaz.CMD /q", {"/opt/kaslnk", "jiny.cmd", "/d"});
    EXPECT_EQ(s.tt.jmeno_cmd + " " + pridej_path(s, "err"), "prikaz.cmd c:\\kasa 1\\err");
    EXPECT_EQ(s.ticho * 10 + s.debug, 10);

    nuluj_stav();
    zpracuj_parametry(s, "", {"/opt/kaslnk", "jiny.cmd", "/d"});
    EXPECT_EQ(s.tt.adresar_programu + s.tt.jmeno_cmd, "/opt/jiny.cmd");
    EXPECT_EQ(s.debug, 1);
}

TEST_F(Spusteni, TvorSouborNeprepisuje) {
    zapis("GLOG.CMX", "vlastni");
    EXPECT_EQ(TvorSoubor(s, "glog.cmx", OBSAH_GLOG), 0);
    EXPECT_EQ(precti("GLOG.CMX"), "vlastni");
    if (rozlisuje_pismena()) {
        EXPECT_FALSE(existuje("glog.cmx"));
    }
    EXPECT_EQ(TvorSoubor(s, "prazdny.cmx", ""), 1);  // nothing written
}

}  // namespace
