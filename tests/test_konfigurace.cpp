// kaslnk.ini: every key, the matching rules, the limits and the port names.
#include <string>

#include "core/konfigurace.h"
#include "pomocne.h"

namespace {

class Ini : public ProgramovyAdresar {
protected:
    void TearDown() override {
        for (std::string& p : ini_porty) p.clear();
        ProgramovyAdresar::TearDown();
    }
    // Writes kaslnk.ini with CR LF line ends and reads it.
    void cti(const std::string& radky) {
        std::string obsah;
        size_t od = 0;
        while (od < radky.size()) {
            size_t konec = radky.find('\n', od);
            if (konec == std::string::npos) konec = radky.size();
            obsah += radky.substr(od, konec - od) + "\r\n";
            od = konec + 1;
        }
        zapis("kaslnk.ini", obsah);
        zpracuj_ini();
    }
};

TEST_F(Ini, KazdyKlic) {
    cti("pripona_cmd = c27\n"
        "pripona_davky = dv2  \n"
        "cislo_modem = 0,,123456789\n"
        "timeout = 25\n"
        "ticho = 1\n"
        "zvuk = 48\n"
        "komunikace_modem = 1\n"
        "wait_modem = 45\n"
        "zpozdeni = 200\n"
        "localpath = 7\n"
        "teststatus = 1\n"
        "okno = 1\n"
        "hlaseni = 1\n"
        "konverze = 1\n");
    EXPECT_EQ(exist_ini_file, 1);
    EXPECT_EQ(tt.pripona_cmd, "c27");
    EXPECT_EQ(tt.pripona_davky, "dv2");
    EXPECT_EQ(tt.telefonni_cislo, "0,,123456789");
    EXPECT_EQ(TIMEOUTI, 25);
    EXPECT_EQ(ticho, 1);
    EXPECT_EQ(zvuk, 48);
    EXPECT_EQ(modem, 1);
    EXPECT_EQ(tt.cekani_modem, 45);
    EXPECT_EQ(zpozdeni, 200);
    EXPECT_EQ(localpath, 7);
    EXPECT_EQ(TestStatus, 1);
    EXPECT_EQ(WINDOW, 1);
    EXPECT_EQ(hlasky, 1);
    EXPECT_EQ(konverzeW_C, 1);
    EXPECT_TRUE(zachycene_boxy().empty());
}

TEST_F(Ini, ChybejiciSouborNechaVychoziHodnoty) {
    zpracuj_ini();
    EXPECT_EQ(exist_ini_file, 0);
    EXPECT_EQ(TIMEOUTI, 10);
    EXPECT_EQ(tt.pripona_cmd, "cmd");
}

TEST_F(Ini, JmenoSouboruVJinychPismenech) {
    zapis("KASLNK.INI", "ticho = 1\r\n");
    zpracuj_ini();
    EXPECT_EQ(ticho, 1);
}

TEST_F(Ini, TimeoutSeOrizneSeZpravou) {
    cti("timeout = 0");
    EXPECT_EQ(TIMEOUTI, 1);
    cti("timeout = 250");
    EXPECT_EQ(TIMEOUTI, 100);
    cti("timeout = abc");
    EXPECT_EQ(TIMEOUTI, 1);
    cti("timeout = 100\ntimeout=1");
    EXPECT_EQ(TIMEOUTI, 1);
    ASSERT_EQ(zachycene_boxy().size(), 3u);
    EXPECT_EQ(zachycene_boxy()[0], "V souboru .ini je prilis mala hodnota timeoutu.\rNastavuji 1 sec.");
    EXPECT_EQ(zachycene_boxy()[1], "V souboru .ini je prilis velka hodnota timeoutu.\rNastavuji 100 sec.");
}

TEST_F(Ini, PrepinacZRadkuMaPrednost) {
    tichof = Twin{0, 1};
    WINDOWf = Twin{0, 1};
    hlaskyf = Twin{1, 1};
    hlasky = 1;
    konverzeW_Cf = Twin{0, 1};
    cti("ticho = 1\nokno = 1\nhlaseni = 0\nkonverze = 1\nteststatus = 1");
    EXPECT_EQ(ticho, 0);
    EXPECT_EQ(WINDOW, 0);
    EXPECT_EQ(hlasky, 1);
    EXPECT_EQ(konverzeW_C, 0);
    EXPECT_EQ(TestStatus, 1);  // applies even after "/status"
}

TEST_F(Ini, RawdebugNastaviIDebug) {
    cti("rawdebug = 1");
    EXPECT_EQ(rawdebug, 1);
    EXPECT_EQ(debug, 1);
    cti("rawdebug = 0");
    EXPECT_EQ(rawdebug, 0);
    EXPECT_EQ(debug, 0);
    cti("debug = 1");
    EXPECT_EQ(debug, 1);
    EXPECT_EQ(rawdebug, 0);
    // "/d-" keeps debug off, but rawdebug itself still applies.
    debugf = Twin{0, 1};
    debug = 0;
    cti("rawdebug = 1\ndebug = 1");
    EXPECT_EQ(rawdebug, 1);
    EXPECT_EQ(debug, 0);
}

TEST_F(Ini, KlicKdekolivVRadku) {
    cti("  nastav ticho=1 prosim");
    EXPECT_EQ(ticho, 1);
    // One line may set several keys; the value is read for each.
    cti("okno hlaseni = 1");
    EXPECT_EQ(WINDOW, 1);
    EXPECT_EQ(hlasky, 1);
    cti("zvuk = -5\nwait_modem = +12");
    EXPECT_EQ(zvuk, -5);
    EXPECT_EQ(tt.cekani_modem, 12);
    cti("zpozdeni = -1");
    EXPECT_EQ(zpozdeni, 0);
}

TEST_F(Ini, KomentareKonecAPosledniRadek) {
    cti("//zvuk = 3\nticho = 1 // poznamka");
    EXPECT_EQ(zvuk, -1);
    EXPECT_EQ(ticho, 1);  // "//" further in the line is no comment

    nuluj_globalni_stav();
    fullpath = 1;
    tt.adresar_programu = adresar.string() + "/";
    cti("zvuk = 4 konec\nticho = 1");
    EXPECT_EQ(zvuk, 4);
    EXPECT_EQ(ticho, 0);

    zapis("kaslnk.ini", "zvuk = 5\r\nticho = 1");  // no line end: lost
    zpracuj_ini();
    EXPECT_EQ(zvuk, 5);
    EXPECT_EQ(ticho, 0);
}

TEST_F(Ini, KonceRadkuLf) {
    zapis("kaslnk.ini", "hlaseni = 1\nticho = 1\n");
    zpracuj_ini();
    EXPECT_EQ(hlasky, 1);
    EXPECT_EQ(ticho, 1);
}

TEST_F(Ini, NejvyseTisicDvaRadky) {
    std::string radky;
    for (int i = 0; i < MAX_RADKU_INI; ++i) radky += "// komentar se nepocita\nx\n";
    cti(radky + "ticho = 1");
    EXPECT_EQ(ticho, 0);
    cti(std::string() + "x\n" + radky.substr(0, radky.size() - 2) + "ticho = 1");
    EXPECT_EQ(ticho, 0);
    nuluj_globalni_stav();
    fullpath = 1;
    tt.adresar_programu = adresar.string() + "/";
    std::string kratke;
    for (int i = 0; i < MAX_RADKU_INI - 1; ++i) kratke += "x\n";
    cti(kratke + "ticho = 1");
    EXPECT_EQ(ticho, 1);
}

TEST_F(Ini, Texty) {
    cti("pripona_cmd =");
    EXPECT_EQ(tt.pripona_cmd, "");
    cti("pripona_cmd = 1234567");
    EXPECT_EQ(tt.pripona_cmd, "1234567");
    OCEKAVEJ_CHYBU(cti("pripona_cmd = 12345678"), 29, 4);
    OCEKAVEJ_CHYBU(cti("cislo_modem = 0123456789012345678901"), 29, 4);
}

TEST_F(Ini, ChybySouboru) {
    OCEKAVEJ_CHYBU(cti("pripona_davky dav"), 29, 3);
    OCEKAVEJ_CHYBU(cti("timeout 5"), 29, 5);
    OCEKAVEJ_CHYBU(cti("ticho"), 29, 5);
    cti("zvuk = 1 " + std::string(MAX_RADEK_INI - 9, 'x'));
    EXPECT_EQ(zvuk, 1);
    OCEKAVEJ_CHYBU(cti("zvuk = 1 " + std::string(MAX_RADEK_INI - 8, 'x')), 23, 1);
}

TEST_F(Ini, JmenaPortu) {
    cti("com1 = /dev/ttyUSB0\n"
        "COM2=/dev/serial/by-id/usb-debug-okno-konec-port0  \n"
        "  com9 =  /dev/ttyACM0\n"
        "komunikace_modem = 1\n"
        "com10 = /dev/x\n"
        "ticho = 1");
    EXPECT_EQ(ini_porty[1], "/dev/ttyUSB0");
    EXPECT_EQ(ini_porty[2], "/dev/serial/by-id/usb-debug-okno-konec-port0");
    EXPECT_EQ(ini_porty[9], "/dev/ttyACM0");
    EXPECT_EQ(ini_porty[3], "");
    // A port line sets no other key and does not end the reading.
    EXPECT_EQ(debug, 0);
    EXPECT_EQ(WINDOW, 0);
    EXPECT_EQ(modem, 1);
    EXPECT_EQ(ticho, 1);
    EXPECT_EQ(port_z_radku("com0 = x"), 0);
    EXPECT_EQ(port_z_radku("com5"), 0);
    EXPECT_EQ(port_z_radku("xcom5 = a"), 0);
    EXPECT_EQ(port_z_radku("Com5 = a"), 5);
}

}  // namespace
