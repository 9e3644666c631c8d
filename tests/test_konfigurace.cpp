// kaslnk.ini: every key, the matching rules, the limits and the port names.
#include <regex>

#include "core/konfigurace.h"
#include "pomocne.h"

namespace {

class Ini : public ProgramovyAdresar {
protected:
    // Writes kaslnk.ini with CR LF line ends and reads it, in a fresh session when asked.
    void cti(const std::string& radky, bool znovu = false) {
        if (znovu) nuluj_stav();
        zapis("kaslnk.ini", std::regex_replace(radky + "\n", std::regex("\n"), "\r\n"));
        zpracuj_ini(s);
    }
};

TEST_F(Ini, KazdyKlic) {
    zpracuj_ini(s);
    EXPECT_EQ(s.exist_ini_file, 0);  // no file: the defaults stay
    cti("pripona_cmd = c27\npripona_davky = dv2  \ncislo_modem = 0,,123456789\ntimeout = 25\nticho = 1\n"
        "zvuk = 48\nkomunikace_modem = 1\nwait_modem = 45\nzpozdeni = 200\nlocalpath = 7\nteststatus = 1\n"
        "okno = 1\nhlaseni = 1\nkonverze = 1\n");
    EXPECT_EQ(s.exist_ini_file, 1);
    EXPECT_EQ(s.tt.pripona_cmd + s.tt.pripona_davky + s.tt.telefonni_cislo, "c27dv20,,123456789");
    EXPECT_EQ(std::vector<int32_t>({s.TIMEOUTI, s.ticho, s.zvuk, s.modem, s.tt.cekani_modem, s.zpozdeni, s.localpath,
                                    s.TestStatus, s.WINDOW, s.hlasky, s.konverzeW_C}),
              std::vector<int32_t>({25, 1, 48, 1, 45, 200, 7, 1, 1, 1, 1}));
    EXPECT_TRUE(boxy.empty());
    std::filesystem::remove(adresar / "kaslnk.ini");
    zapis("KASLNK.INI", "zvuk = 7\r\n");  // found in other letters
    zpracuj_ini(s);
    EXPECT_EQ(s.zvuk, 7);
}

TEST_F(Ini, PravidlaRadku) {
    cti("timeout = 0");
    EXPECT_EQ(s.TIMEOUTI, 1);
    cti("timeout = 250");
    EXPECT_EQ(s.TIMEOUTI, 100);
    EXPECT_EQ(zpravy(), "V souboru .ini je prilis mala hodnota timeoutu.\rNastavuji 1 sec.\n"
                        "V souboru .ini je prilis velka hodnota timeoutu.\rNastavuji 100 sec.\n");
    // A key anywhere in the line, several in one line, signs; "//" only at the start is a comment.
    cti("  nastav ticho=1 prosim\nokno hlaseni = 1\nzvuk = -5\nwait_modem = +12\nzpozdeni = -1\n//debug = 1 ");
    EXPECT_EQ(std::vector<int32_t>({s.ticho, s.WINDOW, s.hlasky, s.zvuk, s.tt.cekani_modem, s.zpozdeni, s.debug}),
              std::vector<int32_t>({1, 1, 1, -5, 12, 0, 0}));
    cti("ticho = 1 // poznamka", true);
    EXPECT_EQ(s.ticho, 1);
    cti("zvuk = 4 konec\nticho = 1", true);  // "konec" ends the reading
    EXPECT_EQ(s.zvuk * 10 + s.ticho, 40);
    zapis("kaslnk.ini", "zvuk = 5\r\nticho = 1");  // no line end: lost
    zpracuj_ini(s);
    EXPECT_EQ(s.zvuk * 10 + s.ticho, 50);
    zapis("kaslnk.ini", "hlaseni = 0\nticho = 1\n");  // LF alone ends lines too
    zpracuj_ini(s);
    EXPECT_EQ(s.ticho + s.hlasky, 1);
    // At most 1002 lines, comments included.
    std::string radky;
    for (int i = 0; i < MAX_RADKU_INI / 2; ++i) radky += "// komentar\nx\n";
    cti(radky.substr(radky.find('\n') + 1) + "ticho = 1", true);
    EXPECT_EQ(s.ticho, 1);
    cti(radky + radky + "ticho = 1", true);
    EXPECT_EQ(s.ticho, 0);
}

TEST_F(Ini, PrepinacZRadkuMaPrednost) {
    s.tichof = Twin{0, 1};
    s.WINDOWf = Twin{0, 1};
    s.hlaskyf = Twin{1, 1};
    s.hlasky = 1;
    s.konverzeW_Cf = Twin{0, 1};
    cti("ticho = 1\nokno = 1\nhlaseni = 0\nkonverze = 1\nteststatus = 1");
    EXPECT_EQ(s.ticho + s.WINDOW + s.konverzeW_C, 0);
    EXPECT_EQ(s.hlasky, 1);
    EXPECT_EQ(s.TestStatus, 1);  // applies even after "/status"
    // rawdebug sets debug as well, unless "/d-" keeps debug off.
    const std::vector<std::tuple<std::string, int, int>> pripady = {
        {"rawdebug = 1", 1, 1}, {"rawdebug = 0", 0, 0}, {"debug = 1", 0, 1}};
    for (const auto& [radek, raw, dbg] : pripady) {
        cti(radek);
        EXPECT_EQ(s.rawdebug * 10 + s.debug, raw * 10 + dbg) << radek;
    }
    s.debugf = Twin{0, 1};
    s.debug = 0;
    cti("rawdebug = 1\ndebug = 1");
    EXPECT_EQ(s.rawdebug * 10 + s.debug, 10);
}

TEST_F(Ini, TextyChybyAPorty) {
    cti("pripona_cmd =");
    EXPECT_EQ(s.tt.pripona_cmd, "");
    cti("pripona_cmd = 1234567");
    EXPECT_EQ(s.tt.pripona_cmd, "1234567");
    cti("zvuk = 1 " + std::string(MAX_RADEK_INI - 9, 'x'));
    EXPECT_EQ(s.zvuk, 1);
    const std::vector<std::tuple<std::string, int, int>> chyby = {
        {"pripona_cmd = 12345678", 29, 4}, {"cislo_modem = 0123456789012345678901", 29, 4},
        {"pripona_davky dav", 29, 3},      {"timeout 5", 29, 5},
        {"ticho", 29, 5},                  {"zvuk = 1 " + std::string(MAX_RADEK_INI - 8, 'x'), 23, 1}};
    for (const auto& [radek, kod, podkod] : chyby) OCEKAVEJ_CHYBU(cti(radek), kod, podkod);
    s.tichof.zadano = 1;  // "/q" given: the line is skipped, "=" or not
    EXPECT_EQ(KONEC(cti("ticho")), -1);
    s.tichof.zadano = 0;

    // A port line sets no other key and does not end the reading; its value loses the blanks around it.
    cti("com1 =  /dev/serial/by-id/usb-debug-okno-konec-port0  \ncom10 = /dev/x\nticho = 1");
    EXPECT_EQ(s.ini_porty[1] + "|" + s.ini_porty[2], "/dev/serial/by-id/usb-debug-okno-konec-port0|");
    EXPECT_EQ(s.debug * 10 + s.WINDOW * 100 + s.ticho, 1);
    for (const char* r : {"com0 = x", "com5", "xcom5 = a"}) EXPECT_EQ(port_z_radku(r), 0) << r;
    EXPECT_EQ(port_z_radku("Com5 = a"), 5);
}

}  // namespace
