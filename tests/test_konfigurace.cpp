// kaslnk.ini: every key, the matching rules, the limits and the port names.
#include <regex>

#include "core/konfigurace.h"
#include "pomocne.h"

namespace {

class Ini : public ProgramovyAdresar {
protected:
    void TearDown() override {
        for (std::string& p : ini_porty) p.clear();
        ProgramovyAdresar::TearDown();
    }
    // Writes kaslnk.ini with CR LF line ends and reads it, from fresh globals when asked.
    void cti(const std::string& radky, bool znovu = false) {
        if (znovu) nuluj_stav();
        zapis("kaslnk.ini", std::regex_replace(radky + "\n", std::regex("\n"), "\r\n"));
        zpracuj_ini();
    }
};

TEST_F(Ini, KazdyKlic) {
    zpracuj_ini();
    EXPECT_EQ(exist_ini_file, 0);  // no file: the defaults stay
    cti("pripona_cmd = c27\npripona_davky = dv2  \ncislo_modem = 0,,123456789\ntimeout = 25\nticho = 1\n"
        "zvuk = 48\nkomunikace_modem = 1\nwait_modem = 45\nzpozdeni = 200\nlocalpath = 7\nteststatus = 1\n"
        "okno = 1\nhlaseni = 1\nkonverze = 1\n");
    EXPECT_EQ(exist_ini_file, 1);
    EXPECT_EQ(tt.pripona_cmd + tt.pripona_davky + tt.telefonni_cislo, "c27dv20,,123456789");
    EXPECT_EQ(std::vector<int32_t>({TIMEOUTI, ticho, zvuk, modem, tt.cekani_modem, zpozdeni, localpath, TestStatus,
                                    WINDOW, hlasky, konverzeW_C}),
              std::vector<int32_t>({25, 1, 48, 1, 45, 200, 7, 1, 1, 1, 1}));
    EXPECT_TRUE(zachycene_boxy().empty());
    std::filesystem::remove(adresar / "kaslnk.ini");
    zapis("KASLNK.INI", "zvuk = 7\r\n");  // found in other letters
    zpracuj_ini();
    EXPECT_EQ(zvuk, 7);
}

TEST_F(Ini, PravidlaRadku) {
    cti("timeout = 0");
    EXPECT_EQ(TIMEOUTI, 1);
    cti("timeout = 250");
    EXPECT_EQ(TIMEOUTI, 100);
    EXPECT_EQ(zpravy(), "V souboru .ini je prilis mala hodnota timeoutu.\rNastavuji 1 sec.\n"
                        "V souboru .ini je prilis velka hodnota timeoutu.\rNastavuji 100 sec.\n");
    // A key anywhere in the line, several in one line, signs; "//" only at the start is a comment.
    cti("  nastav ticho=1 prosim\nokno hlaseni = 1\nzvuk = -5\nwait_modem = +12\nzpozdeni = -1\n//debug = 1 ");
    EXPECT_EQ(std::vector<int32_t>({ticho, WINDOW, hlasky, zvuk, tt.cekani_modem, zpozdeni, debug}),
              std::vector<int32_t>({1, 1, 1, -5, 12, 0, 0}));
    cti("ticho = 1 // poznamka", true);
    EXPECT_EQ(ticho, 1);
    cti("zvuk = 4 konec\nticho = 1", true);  // "konec" ends the reading
    EXPECT_EQ(zvuk * 10 + ticho, 40);
    zapis("kaslnk.ini", "zvuk = 5\r\nticho = 1");  // no line end: lost
    zpracuj_ini();
    EXPECT_EQ(zvuk * 10 + ticho, 50);
    zapis("kaslnk.ini", "hlaseni = 0\nticho = 1\n");  // LF alone ends lines too
    zpracuj_ini();
    EXPECT_EQ(ticho + hlasky, 1);
    // At most 1002 lines, comments included.
    std::string radky;
    for (int i = 0; i < MAX_RADKU_INI / 2; ++i) radky += "// komentar\nx\n";
    cti(radky.substr(radky.find('\n') + 1) + "ticho = 1", true);
    EXPECT_EQ(ticho, 1);
    cti(radky + radky + "ticho = 1", true);
    EXPECT_EQ(ticho, 0);
}

TEST_F(Ini, PrepinacZRadkuMaPrednost) {
    tichof = Twin{0, 1};
    WINDOWf = Twin{0, 1};
    hlaskyf = Twin{1, 1};
    hlasky = 1;
    konverzeW_Cf = Twin{0, 1};
    cti("ticho = 1\nokno = 1\nhlaseni = 0\nkonverze = 1\nteststatus = 1");
    EXPECT_EQ(ticho + WINDOW + konverzeW_C, 0);
    EXPECT_EQ(hlasky, 1);
    EXPECT_EQ(TestStatus, 1);  // applies even after "/status"
    // rawdebug sets debug as well, unless "/d-" keeps debug off.
    const std::vector<std::tuple<std::string, int, int>> pripady = {
        {"rawdebug = 1", 1, 1}, {"rawdebug = 0", 0, 0}, {"debug = 1", 0, 1}};
    for (const auto& [radek, raw, dbg] : pripady) {
        cti(radek);
        EXPECT_EQ(rawdebug * 10 + debug, raw * 10 + dbg) << radek;
    }
    debugf = Twin{0, 1};
    debug = 0;
    cti("rawdebug = 1\ndebug = 1");
    EXPECT_EQ(rawdebug * 10 + debug, 10);
}

TEST_F(Ini, TextyChybyAPorty) {
    cti("pripona_cmd =");
    EXPECT_EQ(tt.pripona_cmd, "");
    cti("pripona_cmd = 1234567");
    EXPECT_EQ(tt.pripona_cmd, "1234567");
    cti("zvuk = 1 " + std::string(MAX_RADEK_INI - 9, 'x'));
    EXPECT_EQ(zvuk, 1);
    const std::vector<std::tuple<std::string, int, int>> chyby = {
        {"pripona_cmd = 12345678", 29, 4}, {"cislo_modem = 0123456789012345678901", 29, 4},
        {"pripona_davky dav", 29, 3},      {"timeout 5", 29, 5},
        {"ticho", 29, 5},                  {"zvuk = 1 " + std::string(MAX_RADEK_INI - 8, 'x'), 23, 1}};
    for (const auto& [radek, kod, podkod] : chyby) OCEKAVEJ_CHYBU(cti(radek), kod, podkod);
    tichof.zadano = 1;  // "/q" given: the line is skipped, "=" or not
    EXPECT_EQ(KONEC(cti("ticho")), -1);
    tichof.zadano = 0;

    // A port line sets no other key and does not end the reading; its value loses the blanks around it.
    cti("com1 =  /dev/serial/by-id/usb-debug-okno-konec-port0  \ncom10 = /dev/x\nticho = 1");
    EXPECT_EQ(ini_porty[1] + "|" + ini_porty[2], "/dev/serial/by-id/usb-debug-okno-konec-port0|");
    EXPECT_EQ(debug * 10 + WINDOW * 100 + ticho, 1);
    for (const char* r : {"com0 = x", "com5", "xcom5 = a"}) EXPECT_EQ(port_z_radku(r), 0) << r;
    EXPECT_EQ(port_z_radku("Com5 = a"), 5);
}

}  // namespace
