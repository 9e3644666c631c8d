// The built program's start actions without a register (/k): it waits for its worker,
// "/t" sets the clock, and a second process in the program directory is refused.
#ifndef _WIN32

#include <sys/wait.h>

#include <regex>
#include <string>

#include "core/prenos.h"
#include "platform/platform.h"
#include "pomocne.h"

namespace {

namespace fs = std::filesystem;

class Start : public ::testing::Test {
protected:
    fs::path adresar;

    void SetUp() override {
        adresar = novy_docasny_adresar();
        fs::create_symlink(KASLNK_BINARY, adresar / "kaslnk");
        for (const char* f : {"p_time.fds", "fdsu.cmx"})
            fs::copy_file(fs::path(KASLNK_SOURCE_DIR) / "examples" / f, adresar / f);
        zapis_soubor(adresar / "kaslnk.ini", "zpozdeni = 300\r\n");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(adresar, ec);
    }
    int spust(const std::string& argumenty) {
        std::string prikaz = "cd '" + adresar.string() + "' && env";
        for (int n = 1; n <= 9; ++n)
            prikaz += " KASLNK_COM" + std::to_string(n) + "=/nonexistent/kaslnk-com" + std::to_string(n);
        prikaz += " ./kaslnk " + argumenty + " >out.txt 2>err.txt";
        int stav = std::system(prikaz.c_str());
        return stav != -1 && WIFEXITED(stav) ? WEXITSTATUS(stav) : -1;
    }
    std::string precti(const std::string& jmeno) { return precti_soubor(adresar / jmeno); }
};

TEST_F(Start, HlavniVlaknoCekaNaPrenos) {
    zapis_soubor(adresar / "p_time.dat", "06,12,24,21,11\r\n");
    zapis_soubor(adresar / "x.cmd", "000001,1,6,1,era\r\n/10-00/;p_time\r\n/10-01/;p_time\r\n");
    EXPECT_EQ(spust("x.cmd /k"), 0);
    std::string log = precti("era.log");
    EXPECT_TRUE(std::regex_match(log, std::regex("(\\d\\d-\\d\\d-\\d{4},\\d\\d:\\d\\d,00,000001,/10-0[01]/;1,0000\r\n){2}")))
        << log;
    EXPECT_EQ(precti("err"), "0");
}

TEST_F(Start, NastaveniCasu) {
    EXPECT_EQ(spust("/t /k"), 0);
    EXPECT_TRUE(std::regex_match(precti("p_time.dat"), std::regex("\\d\\d(,\\d\\d){4}\r\n")));
    EXPECT_NE(precti("era.log").find(",00,000001,/10-00/;1,0000\r\n"), std::string::npos);
    EXPECT_EQ(precti("work02.tmp").substr(0, 8), "\x02" "1/HDR1/");
}

TEST_F(Start, DruhyProcesVAdresari) {
    int zamek = plat_zamkni((adresar / ZAMEK_ADRESARE).string());
    ASSERT_GE(zamek, 0);
    zapis_soubor(adresar / "x.cmd", "000001,1,6,1,era\r\n/10-00/;p_time\r\n");
    zapis_soubor(adresar / "err", "0");
    zapis_soubor(adresar / "error.txt", "151\r\n");
    zapis_soubor(adresar / "work01.tmp", "blocks");
    EXPECT_EQ(spust("x.cmd"), KOD_OBSAZENY_ADRESAR);
    EXPECT_EQ(spust("/t"), KOD_OBSAZENY_ADRESAR);
    EXPECT_NE(precti("err.txt").find("jin\xC3\xBD kaslnk"), std::string::npos) << precti("err.txt");
    EXPECT_EQ(precti("err"), "0");
    EXPECT_EQ(precti("error.txt"), "151\r\n");
    EXPECT_EQ(precti("work01.tmp"), "blocks");
    EXPECT_FALSE(fs::exists(adresar / "era.log"));
    EXPECT_FALSE(fs::exists(adresar / "error.log"));
    EXPECT_FALSE(fs::exists(adresar / "p_time.dat"));
    plat_uvolni_zamek(zamek);
    EXPECT_EQ(spust("x.cmd /k"), 1);  // now it runs: p_time.dat is missing (30/1)
    EXPECT_EQ(precti("err"), "1");
}

}  // namespace

#endif
