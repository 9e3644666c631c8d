// err(), the transfer log, the result files and log shortening; the terminal screen.
#include "core/log.h"
#include "core/terminal.h"
#include "pomocne.h"

namespace {

class Log : public ProgramovyAdresar {
protected:
    void SetUp() override {
        ProgramovyAdresar::SetUp();
        s.tt.terminal = "000001";
        s.tt.prikazovy_paket = "/10-00/";
        s.tt.znak_portu = '6';
        s.tt.logovy_soubor = "era.log";
    }
};

TEST_F(Log, RadkyAVysledkoveSoubory) {
    // Code, "err", "error.txt".
    const std::vector<std::tuple<int, std::string, std::string>> pripady = {
        {0, "0", "151\r\n"}, {38, "2", "9\r\n"}, {98, "3", "8\r\n"}, {51, "1", "9\r\n"}, {500, "1", "9\r\n"}};
    for (const auto& [kod, e, t] : pripady) {
        s.ERROR1 = kod;
        s.ERROR2 = 36;
        zapis_log(s);
        EXPECT_EQ(precti("err") + "|" + precti("error.txt"), e + "|" + t);
    }
    EXPECT_EQ(radky_logu().back(), "500,000001,/10-00/;6,0036");
}

TEST_F(Log, KdyVysledkyNevzniknou) {
    s.noterminate = 1;  // the transfer goes on: no result yet
    zapis_log(s);
    EXPECT_TRUE(existuje("era.log"));
    EXPECT_FALSE(existuje("err") || existuje("error.txt"));
    s.ERROR1 = 10;  // an error writes them even so
    zapis_log(s);
    EXPECT_EQ(precti("err"), "1");
    // Both result files or none.
    for (const char* f : {"err", "error.txt"}) std::filesystem::remove(adresar / f);
    std::filesystem::create_directory(adresar / "error.txt");
    zapis_log(s);
    EXPECT_EQ(precti("err"), "");
    EXPECT_EQ(s.vysledek_nezapsan, 1);  // reported; the run will not end with 0
    EXPECT_FALSE(existuje("err.part") || existuje("error.txt.part"));
    // A log that cannot be written: one message, no results.
    std::filesystem::remove(adresar / "err");
    s.tt.logovy_soubor = "chybi/era.log";
    s.debug = 1;
    zapis_log(s);
    EXPECT_FALSE(existuje("err"));
    ASSERT_EQ(boxy.size(), 1u);
    EXPECT_NE(boxy[0].find("Nepodarilo se"), std::string::npos);
}

// The status inquiry follows a send, not a read (what it leads to is checked on a transfer).
TEST_F(Log, KontrolaStavuJenPoOdeslani) {
    int volani = 0;
    s.sluzby.kontrola_stavu = [&] { return ++volani, 3; };
    s.TestStatus = s.NeedStatus = 1;
    s.tt.prikazovy_paket = "/20-00/00/";
    zapis_log(s);
    EXPECT_EQ(volani, 0);
    s.tt.prikazovy_paket = "/10-00/";
    zapis_log(s);
    EXPECT_EQ(volani, 1);
}

TEST_F(Log, ErrZapiseVseAUkonci) {
    zapis("work01.tmp", "prijata data");
    zapis("wlasterr.tmp", "stara data");
    s.CMDbuf = "nacteno";
    s.CMDbufExist = 1;
    s.workf = otevri_soubor(s, "work02.tmp", 'w');
    OCEKAVEJ_CHYBU(err(38, 1), 38, 1);
    EXPECT_EQ(s.workf, nullptr);
    EXPECT_EQ(precti("wlasterr.tmp"), "prijata data");
    EXPECT_FALSE(existuje("work01.tmp"));
    EXPECT_EQ(s.CMDbufExist, 0);
    EXPECT_EQ(precti("err") + precti("error.txt"), "29\r\n");
    EXPECT_EQ(radky_logu(), std::vector<std::string>{"38,000001,/10-00/;6,0001"});
    EXPECT_TRUE(boxy.empty());  // no window, no debug, no reports: silent
    EXPECT_EQ(KONEC(err(5, 1)), 1);          // without work01.tmp the old copy goes
    EXPECT_FALSE(existuje("wlasterr.tmp"));
    // The message shows the code also outside the table of texts.
    s.hlasky = 1;
    EXPECT_EQ(KONEC(err(500, 1)), 1);
    EXPECT_EQ(zpravy().rfind("Chyba 500, 1, LastError ", 0), 0u);
    EXPECT_EQ(KONEC(err(6, 2)), 1);
    EXPECT_NE(boxy.back().find(". \nSend packet error "), std::string::npos);
}

// A log of 500 lines of 50 bytes, numbered lines after them, and one last line that
// brings it to `velikost` bytes.
std::string vyrob_log(int velikost) {
    std::string log;
    for (int i = 0; i < 500; ++i) log += std::string(48, 's') + "\r\n";
    for (int cislo = 1000; static_cast<int>(log.size()) + 60 <= velikost; ++cislo)
        log += "radek " + std::to_string(cislo) + std::string(44, '.') + "\r\n";
    return log + std::string(velikost - log.size() - 2, 'k') + "\r\n";
}

TEST_F(Log, Zkraceni) {
    zkrat_log(s);
    EXPECT_TRUE(existuje("era.log"));  // created when missing
    std::string log = vyrob_log(39999);
    zapis("era.log", log);
    zkrat_log(s);
    EXPECT_EQ(precti("era.log"), log);
    EXPECT_FALSE(existuje("log.bak"));
    log = vyrob_log(40000);
    zapis("era.log", log);
    zkrat_log(s);
    EXPECT_EQ(precti("log.bak"), log);
    EXPECT_EQ(precti("era.log"), log.substr(25000));
    EXPECT_FALSE(existuje("work03.tmp"));

    // A line may have 200 characters, its LF included.
    std::string kratke, mnoho;
    for (int i = 0; i < 2100; ++i) kratke += std::string(19, 'k') + "\n";
    for (int i = 0; i < 2501; ++i) mnoho += "0123456789012345\r\n";
    const std::tuple<std::string, int, int> pripady[] = {{std::string(40000, 'x'), 57, 2},
        {std::string(199, 'x') + "\n" + kratke, 0, 0}, {std::string(200, 'x') + "\n" + kratke, 57, 2}, {mnoho, 31, 3}};
    for (const auto& [obsah, kod, podkod] : pripady) {
        zapis("era.log", obsah);
        OCEKAVEJ_CHYBU(zkrat_log(s), kod, podkod);
    }
}

TEST(Terminal, ZalamovaniARolovani) {
    Sezeni s;
    std::string radek = std::string(80, 'a') + "b";
    WriteTTYBlock(s, radek.data(), static_cast<int>(radek.size()));
    // 80 characters fill row 0; autowrap moves one row, also with novy_radek.
    EXPECT_EQ(std::string(radek_obrazovky(s, 0), 80), std::string(80, 'a'));
    EXPECT_EQ(radek_obrazovky(s, 1)[0], 'b');
    for (int i = 0; i < 30; ++i) WriteTTYBlock(s, "x\n", 2);
    EXPECT_EQ(s.tt.radek, TERM_RADKU - 1);
    EXPECT_EQ(std::string(radek_obrazovky(s, TERM_RADKU - 1), 3), "   ");
}

}  // namespace
