// err(), the transfer log, the result files and log shortening.
#include <regex>
#include <string>

#include "core/log.h"
#include "link/terminal.h"
#include "pomocne.h"

namespace {

class Log : public ProgramovyAdresar {
protected:
    void SetUp() override {
        ProgramovyAdresar::SetUp();
        tt.terminal = "000001";
        tt.prikazovy_paket = "/10-00/";
        tt.znak_portu = '6';
        tt.logovy_soubor = "era.log";
    }
    void TearDown() override {
        hook_stav_po_odeslani = nullptr;
        ProgramovyAdresar::TearDown();
    }
};

const std::regex kDatumCas(R"(\d\d-\d\d-\d{4},\d\d:\d\d,)");

TEST_F(Log, RadekSerioveHlavicky) {
    ERROR1 = 0;
    ERROR2 = 0;
    zapis_log();
    std::string log = precti("era.log");
    EXPECT_TRUE(std::regex_match(log, std::regex(R"(\d\d-\d\d-\d{4},\d\d:\d\d,00,000001,/10-00/;6,0000\r\n)")))
        << log;
    ERROR1 = 51;
    ERROR2 = 36;
    zapis_log();
    log = precti("era.log");
    EXPECT_EQ(log.substr(log.find("\r\n") + 2 + 17), "51,000001,/10-00/;6,0036\r\n");
}

TEST_F(Log, RadekSitoveHlavicky) {
    SIT = 1;
    tt.druha_ip_adresa = "10.0.0.2";
    ERROR1 = 38;
    ERROR2 = 2;
    zapis_log();
    std::string log = precti("era.log");
    EXPECT_TRUE(std::regex_search(log, kDatumCas));
    EXPECT_EQ(log.substr(17), "38,10.0.0.2,/10-00/;0002\r\n");
}

struct Vysledek {
    int kod;
    const char* err;
    const char* error_txt;
};

void PrintTo(const Vysledek& v, std::ostream* os) { *os << v.kod; }

class VysledkoveSoubory : public Log, public ::testing::WithParamInterface<Vysledek> {};

TEST_P(VysledkoveSoubory, PodleKodu) {
    ERROR1 = GetParam().kod;
    zapis_log();
    EXPECT_EQ(precti("err"), GetParam().err);
    EXPECT_EQ(precti("error.txt"), GetParam().error_txt);
}

INSTANTIATE_TEST_SUITE_P(Kody, VysledkoveSoubory,
                         ::testing::Values(Vysledek{0, "0", "151\r\n"}, Vysledek{38, "2", "9\r\n"},
                                           Vysledek{98, "3", "8\r\n"}, Vysledek{51, "1", "9\r\n"},
                                           Vysledek{500, "1", "9\r\n"}),
                         [](const ::testing::TestParamInfo<Vysledek>& p) {
                             return "kod" + std::to_string(p.param.kod);
                         });

TEST_F(Log, NoterminateBezChybyNechavaVysledkoveSoubory) {
    noterminate = 1;
    zapis_log();
    EXPECT_TRUE(existuje("era.log"));
    EXPECT_FALSE(existuje("err"));
    EXPECT_FALSE(existuje("error.txt"));
    ERROR1 = 10;
    zapis_log();
    EXPECT_EQ(precti("err"), "1");
}

TEST_F(Log, VysledekDoObouSouboruNeboDoZadneho) {
    std::filesystem::create_directory(adresar / "error.txt");  // cannot be created
    zapis_log();
    EXPECT_EQ(precti("err"), "");
}

TEST_F(Log, NezapsanyLogNepiseVysledky) {
    tt.logovy_soubor = "chybi/era.log";
    debug = 1;
    zapis_log();
    EXPECT_FALSE(existuje("err"));
    // A missing directory is "path not found" on Windows (reported at the open) and
    // "no such file" on Linux (reported at the write); either way one message, no results.
    ASSERT_EQ(zachycene_boxy().size(), 1u);
    EXPECT_NE(zachycene_boxy()[0].find("Nepodarilo se"), std::string::npos);
}

int g_volani_stavu = 0;
int stav_nenulovy() { ++g_volani_stavu; return 3; }

TEST_F(Log, KontrolaStavuPoOdeslani) {
    g_volani_stavu = 0;
    hook_stav_po_odeslani = stav_nenulovy;
    TestStatus = NeedStatus = 1;
    tt.prikazovy_paket = "/20-00/00/";  // a read: no check
    zapis_log();
    EXPECT_EQ(g_volani_stavu, 0);
    EXPECT_EQ(precti("err"), "0");

    tt.prikazovy_paket = "/10-00/";
    zapis_log();
    EXPECT_EQ(g_volani_stavu, 1);
    EXPECT_EQ(ERROR1, 98);
    EXPECT_EQ(tt.datovy_soubor, "sts.dat");
    EXPECT_EQ(tt.prikazovy_paket, "/99-00/");
    EXPECT_EQ(precti("err"), "3");
    EXPECT_EQ(precti("error.txt"), "8\r\n");
    // The log line keeps the register's own result.
    std::string log = precti("era.log");
    EXPECT_NE(log.find(",00,000001,/10-00/;6,0000\r\n"), std::string::npos);
}

TEST_F(Log, ErrZapiseVseAUkonciSKodem1) {
    zapis("work01.tmp", "prijata data");
    zapis("wlasterr.tmp", "stara data");
    CMDbuf = "nacteno";
    CMDbufExist = 1;
    workf = otevri_soubor("work02.tmp", 'w');
    OCEKAVEJ_CHYBU(err(38, 1), 38, 1);
    EXPECT_EQ(workf, nullptr);
    EXPECT_EQ(precti("wlasterr.tmp"), "prijata data");
    EXPECT_FALSE(existuje("work01.tmp"));
    EXPECT_EQ(CMDbufExist, 0);
    EXPECT_EQ(precti("err"), "2");
    EXPECT_EQ(precti("error.txt"), "9\r\n");
    EXPECT_NE(precti("era.log").find(",38,000001,/10-00/;6,0001\r\n"), std::string::npos);
    EXPECT_TRUE(zachycene_boxy().empty());  // no window, no debug, no reports: silent
}

TEST_F(Log, ErrBezWork01SmazeStaryWlasterr) {
    zapis("wlasterr.tmp", "stara data");
    EXPECT_EQ(KONEC(err(5, 1)), 1);
    EXPECT_FALSE(existuje("wlasterr.tmp"));
}

TEST_F(Log, ZpravaErrUkazujeKodIMimoTabulku) {
    hlasky = 1;
    EXPECT_EQ(KONEC(err(500, 1)), 1);
    ASSERT_EQ(zachycene_boxy().size(), 1u);
    EXPECT_EQ(zachycene_boxy()[0].rfind("Chyba 500, 1, LastError ", 0), 0u);
    zachycene_boxy().clear();
    WINDOW = 1;
    EXPECT_EQ(KONEC(err(6, 2)), 1);
    EXPECT_NE(zachycene_boxy()[0].find(". \nSend packet error "), std::string::npos);
}

// A log of `radku` lines; the first 500 are marked "stary", the rest numbered.
std::string vyrob_log(int velikost) {
    std::string log;
    for (int i = 0; i < 500; ++i) log += std::string(48, 's') + "\r\n";  // 25000 bytes
    int cislo = 0;
    while (static_cast<int>(log.size()) + 60 <= velikost)
        log += "radek " + std::to_string(1000 + cislo++) + std::string(48 - 4, '.') + "\r\n";
    log += std::string(velikost - log.size() - 2, 'k') + "\r\n";
    return log;
}

TEST_F(Log, ZkraceniAz40000Bajtu) {
    std::string log = vyrob_log(39999);
    ASSERT_EQ(log.size(), 39999u);
    zapis("era.log", log);
    zkrat_log();
    EXPECT_EQ(precti("era.log"), log);
    EXPECT_FALSE(existuje("log.bak"));

    log = vyrob_log(40000);
    zapis("era.log", log);
    zkrat_log();
    EXPECT_EQ(precti("log.bak"), log);
    EXPECT_EQ(precti("era.log"), log.substr(25000));
    EXPECT_FALSE(existuje("work03.tmp"));
}

TEST_F(Log, ZkraceniChybneDelkyAPoctuRadku) {
    zapis("era.log", std::string(40000, 'x'));  // one line of 40000 characters
    OCEKAVEJ_CHYBU(zkrat_log(), 57, 2);

    std::string log;
    for (int i = 0; i < 2501; ++i) log += "0123456789012345\r\n";
    zapis("era.log", log);
    OCEKAVEJ_CHYBU(zkrat_log(), 31, 3);
}

TEST_F(Log, ZkraceniVytvoriChybejiciLog) {
    zkrat_log();
    EXPECT_TRUE(existuje("era.log"));
}

TEST(Terminal, ZalamovaniARolovani) {
    nuluj_globalni_stav();
    std::string radek(81, 'a');
    radek[80] = 'b';
    WriteTTYBlock(radek.data(), static_cast<int>(radek.size()));
    // 80 characters fill row 0; autowrap writes CR LF, and CR with novy_radek feeds too.
    EXPECT_EQ(std::string(radek_obrazovky(0), 80), std::string(80, 'a'));
    EXPECT_EQ(radek_obrazovky(2)[0], 'b');
    for (int i = 0; i < 30; ++i) WriteTTYBlock("x\n", 2);
    EXPECT_EQ(tt.radek, TERM_RADKU - 1);
    EXPECT_EQ(std::string(radek_obrazovky(TERM_RADKU - 1), 3), "   ");
}

}  // namespace
