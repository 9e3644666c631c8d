// End to end: the tools on the command line (the register search, the rewriting of port
// and speed, the logo converter).
#ifndef _WIN32
#ifdef KASLNK_SIM_BINARY

#include "core/kanal.h"
#include "core/nastroje.h"
#include "e2e_pomocne.h"

namespace {

using namespace e2e;

const std::string PRIKAZ = HLAVICKA + "/99-00/;x\r\n";

// The enquiries a simulator saw, in order: "terminal@speed " each.
std::string dotazy(const fs::path& stopa) {
    static const std::regex dotaz(R"(enquiry for terminal (\d{6}) at (\d+) bit/s)");
    std::string t = precti_soubor(stopa), out;
    for (std::sregex_iterator i(t.begin(), t.end(), dotaz), k; i != k; ++i) out += (*i)[1].str() + "@" + (*i)[2].str() + " ";
    return out;
}

std::string nalez(const char* port, const char* rychlost, const char* terminal) {
    return std::string("Nalezl jsem pokladnu na portu ") + port + ", komunikuje rychlosti " + rychlost +
           ", a ma cislo terminalu " + terminal + ".\n";
}

// The register search (over several simulators, each on its own pseudo-terminal), the
// rewriting of port and speed, and the arguments the tools refuse.
TEST_F(E2E, NastrojeZPrikazoveRadky) {
    const std::string T1 = "000001@19200 000001@9600 000001@4800 000001@2400 ";
    const struct {
        std::vector<std::string> argumenty;
        std::vector<std::vector<std::string>> simulatory;  // COM1, COM2, ...
        int kod;
        std::string vystup, chyby, prikaz_po, timd_po;     // the files' beginnings; no prikaz.cmd: none
        std::vector<std::string> dotazy;                   // of each simulator
    } pripady[] = {
        // COM1 and COM2 silent, COM3 at 9600; Yes.
        {{"--find-register", "--yes"}, {{"-t", "9"}, {"-t", "9"}, {"-b", "9600"}}, 0,
         nalez("3", "9600", "000001") + "Prikazove soubory byly nastaveny na novy port a rychlost.\n", "",
         "000001,3,5,1,era\r\n/99-00/;x\r\n", "000001,3,5,1,era", {T1, T1, "000001@19200 000001@9600 000001@9600 "}},
        // Terminal 1 at all speeds before terminal 2; No.
        {{"--find-register", "2"}, {{"-t", "2", "-b", "4800"}}, 0, nalez("1", "4800", "000002"), "", PRIKAZ,
         "000001,1,6,1,era", {T1 + "000002@19200 000002@9600 000002@4800 000002@4800 "}},
        {{"--find-register"}, {{"--nak"}}, KOD_NENALEZENO, "", "Nenalezl jsem zadnou pokladnu.", PRIKAZ, "000001,1,6,1,era",
         {T1}},
        {{"--set-port", "3"}, {}, 0, "V prikazovych souborech bylo prepsano cislo portu.\n", "", "000001,3,6", "000001,1,6", {}},
        {{"/d", "--set-speed", "2400"}, {}, 0, "V prikazovych souborech byla prepsana rychlost.\n", "", "000001,1,3",
         "000001,1,3", {}},
        {{"--set-port", "0"}, {}, 2, "", "--set-port", "000001,1,6", "", {}},
        {{"--set-speed", "1200"}, {}, 2, "", "--set-speed", "000001,1,6", "", {}},
        {{"--find-register", "100"}, {}, 2, "", "--find-register", "000001,1,6", "", {}},
        {{"--set-port", "3", "prikaz.cmd"}, {}, 2, "", "Prikazovy soubor se", "000001,1,6", "", {}},
        {{"--window-op", "40022"}, {}, 2, "", "--window-op spousti jen okno", "000001,1,6", "", {}},
        {{"--line-format", "9,1,0,2", "prikaz.cmd"}, {}, 2, "", "--line-format: datove bity", "000001,1,6", "", {}},
        {{"--set-port", "3"}, {}, 0, "", "Prikazovy soubor nenalezen.", "", "", {}},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.argumenty[0] + " " + p.argumenty.back() + " " + p.vystup + p.chyby);
        for (const char* f : {"timd.cmx", "sts.dat", "prikaz.cmd"}) fs::remove(adresar / f);
        if (!p.prikaz_po.empty()) zapis("prikaz.cmd", PRIKAZ);
        for (size_t i = 0; i < p.simulatory.size(); ++i) pridej_simulator(int(i) + 1, p.simulatory[i]);
        Beh b = spust(p.argumenty);
        EXPECT_EQ(b.kod, p.kod) << b.err;
        EXPECT_EQ(b.out, p.vystup);
        EXPECT_NE(b.err.find(p.chyby), std::string::npos) << b.err;
        EXPECT_EQ(precti("prikaz.cmd").substr(0, p.prikaz_po.size()), p.prikaz_po);
        EXPECT_EQ(precti("timd.cmx").substr(0, p.timd_po.size()), p.timd_po);
        EXPECT_EQ(existuje("sts.dat"), p.kod == 0 && !p.simulatory.empty());
        dalsi.clear();
        for (size_t i = 0; i < p.dotazy.size(); ++i) {
            EXPECT_EQ(dotazy(adresar / ("stopa-" + std::to_string(i + 1) + ".txt")), p.dotazy[i]) << "COM" << i + 1;
            fs::remove(adresar / ("stopa-" + std::to_string(i + 1) + ".txt"));
        }
        porty.clear();
    }
}

// A white logo: refused when it is not a BMP; written without loading on No; loaded
// into the register (its table E0) on Yes.
TEST_F(E2E, LogoZPrikazoveRadky) {
    fs::copy_file(fs::path(KASLNK_SOURCE_DIR) / "examples" / "glogo.fds", adresar / "glogo.fds");
    spust_simulator();
    zapis("obr.bmp", "GIF89a");
    Beh b = spust({"--logo", "obr.bmp"});
    EXPECT_EQ(b.kod, KOD_NENALEZENO);
    EXPECT_NE(b.err.find("Format souboru neni BMP."), std::string::npos) << b.err;
    EXPECT_FALSE(existuje("Glogo.dat"));

    ASSERT_EQ(std::system(("convert -size 288x130 xc:white +dither -colors 2 BMP3:" + (adresar / "obr.bmp").string()).c_str()), 0);
    b = spust({"--logo", "obr.bmp"});
    EXPECT_EQ(b.kod, 0) << b.err;
    EXPECT_EQ(precti("Glogo.dat").size(), 130u * 74);  // its dots are checked on the converter
    setenv(PROMENNA_KANALU, "1", 1);  // a window's child whose window is gone: No as well
    EXPECT_EQ(spust({"--logo", "obr.bmp"}).kod, 0);
    unsetenv(PROMENNA_KANALU);
    EXPECT_TRUE(zurnal().empty());

    b = spust({"--logo", "obr.bmp", "--yes"});
    EXPECT_EQ(b.kod, 0) << b.err;
    ASSERT_TRUE(cekej_na_zurnal(1));
    EXPECT_NE(zurnal()[0].find("table E0"), std::string::npos) << zurnal()[0];
    EXPECT_TRUE(fs::exists(pamet / "table-E0.txt"));
}

}  // namespace

#endif
#endif
