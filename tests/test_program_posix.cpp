// The built program, run as another program would run it.
#ifndef _WIN32

#include <sys/wait.h>

#include <regex>
#include <string>

#include "pomocne.h"

namespace {

namespace fs = std::filesystem;

struct Beh {
    int kod = -1;
    std::string out, err;
};

std::string uvozovky(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class Program : public ::testing::Test {
protected:
    fs::path adresar;   // the program directory
    fs::path jinde;     // the current directory of the run

    void SetUp() override {
        adresar = novy_docasny_adresar();
        jinde = novy_docasny_adresar();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(adresar, ec);
        fs::remove_all(jinde, ec);
    }

    // Runs <adresar>/<jmeno> with the arguments from another directory; no real port can
    // be reached.
    Beh spust(const std::string& jmeno, const std::string& argumenty) {
        fs::path program = adresar / jmeno;
        if (!fs::exists(program)) fs::create_symlink(KASLNK_BINARY, program);
        std::string prikaz = "cd " + uvozovky(jinde.string()) + " && env";
        for (int n = 1; n <= 9; ++n)
            prikaz += " KASLNK_COM" + std::to_string(n) + "=/nonexistent/kaslnk-com" + std::to_string(n);
        prikaz += " " + uvozovky(program.string()) + " " + argumenty + " >" +
                  uvozovky((jinde / "out.txt").string()) + " 2>" + uvozovky((jinde / "err.txt").string());
        int stav = std::system(prikaz.c_str());
        Beh b;
        if (stav != -1 && WIFEXITED(stav)) b.kod = WEXITSTATUS(stav);
        b.out = precti(jinde / "out.txt");
        b.err = precti(jinde / "err.txt");
        fs::remove(jinde / "out.txt");
        fs::remove(jinde / "err.txt");
        return b;
    }

    static std::string precti(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    void zapis(const std::string& jmeno, const std::string& obsah) {
        std::ofstream(adresar / jmeno, std::ios::binary) << obsah;
    }
};

TEST_F(Program, VadnyPrikazovySoubor) {
    zapis("bad.cmd", "000001,1,6,1,era\r\n/70-00/;plu\r\n");
    Beh b = spust("kaslnk", "bad.cmd");
    EXPECT_EQ(b.kod, 1);
    std::string log = precti(adresar / "era.log");
    EXPECT_TRUE(std::regex_match(log, std::regex(R"(\d\d-\d\d-\d{4},\d\d:\d\d,51,000001,/70-00/;1,0036\r\n)")))
        << log;
    EXPECT_EQ(precti(adresar / "err"), "1");
    EXPECT_EQ(precti(adresar / "error.txt"), "9\r\n");
    EXPECT_EQ(precti(adresar / "timd.cmx"), "000001,1,6,1,era\r\n/10-00/;P_TIME\r\n");
    EXPECT_EQ(precti(adresar / "glog.cmx"), "000001,1,6,1,era\r\n/10-00/;GLOGO\r\n");
    EXPECT_EQ(b.err, "");  // automatic mode without flags reports only through the files
    // Nothing lands in the current directory.
    EXPECT_TRUE(fs::is_empty(jinde));
}

TEST_F(Program, CestaKPrikazovemuSouboruSeBereJenJmenem) {
    zapis("Bad.CMD", "000001,1,6,1,log\r\n/20-00/00/;/etc/x\r\n");
    Beh b = spust("kaslnk", uvozovky((jinde / "data" / "Bad.CMD").string()) + " /h");
    EXPECT_EQ(b.kod, 1);
    EXPECT_NE(precti(adresar / "log.log").find(",51,000001,/20-00/00/;1,0060\r\n"), std::string::npos);
    EXPECT_NE(b.err.find("Chyba 51, 60"), std::string::npos) << b.err;  // "/h" reports
}

TEST_F(Program, NapovedaAVerze) {
    Beh b = spust("kaslnk", "--version");
    EXPECT_EQ(b.kod, 0);
    EXPECT_EQ(b.out, "kaslnk 4.00\n");
    b = spust("kaslnk", "x.cmd --help");
    EXPECT_EQ(b.kod, 0);
    EXPECT_NE(b.out.find("Usage: kaslnk"), std::string::npos);
    EXPECT_FALSE(fs::exists(adresar / "timd.cmx"));
}

TEST_F(Program, KoncoveKodyStartu) {
    Beh b = spust("pokladna", "x.cmd");
    EXPECT_EQ(b.kod, 3);
    EXPECT_NE(b.err.find("Nekdo mi zmenil jmeno.\nNepracuji.\nJmenuji se kaslnk."), std::string::npos);
    b = spust("kaslnk", "");
    EXPECT_EQ(b.kod, 4);
    EXPECT_NE(b.err.find("nema hlavni okno"), std::string::npos);
    EXPECT_TRUE(fs::exists(adresar / "timd.cmx"));
    b = spust("kaslnk", std::string(1030, 'a'));
    EXPECT_EQ(b.kod, 2);
    EXPECT_NE(b.err.find("Prilis dlouhy prikazovy radek."), std::string::npos);
}

}  // namespace

#endif
