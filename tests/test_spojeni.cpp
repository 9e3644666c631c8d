// Opening, closing, time-outs and the modem, on the virtual line.
#include "virtualni_linka.h"

namespace {
bool casy_jsou(const SerialTimeouts& c, uint32_t interval, uint32_t nasobek, uint32_t konstanta,
               uint32_t zapis_nasobek, uint32_t zapis_konstanta) {
    return c.read_interval == interval && c.read_total_multiplier == nasobek &&
           c.read_total_constant == konstanta && c.write_total_multiplier == zapis_nasobek &&
           c.write_total_constant == zapis_konstanta;
}
}  // namespace

TEST_F(NaLince, OtevreniNastaviLinkuACasy) {
    tt.datove_bity = 8;
    tt.parita = 2;
    tt.rizeni_toku = 5;
    ASSERT_EQ(OpenConnection(), 1);
    EXPECT_EQ(tt.pripojeno, 1);
    EXPECT_TRUE(casy_jsou(CommTimeOuts, 4000, 0, 1000, 1, 100));
    EXPECT_EQ(l.linka.rychlost, 19200u);
    EXPECT_EQ(l.linka.datove_bity, 8);
    EXPECT_EQ(l.linka.parita, 2);
    EXPECT_EQ(l.linka.rizeni_toku, 5);
    EXPECT_EQ(l.udalosti, (std::vector<std::string>{"purge", "dtr+"}));

    nastav_timeout(7000);
    EXPECT_TRUE(casy_jsou(l.casy, 1000, 1, 7000, 1, 10));
    tt.rychlost = 38400;  // the per-byte part vanishes
    nastav_timeout(7000);
    EXPECT_TRUE(casy_jsou(l.casy, 1000, 0, 7000, 0, 10));
    tt.rychlost = 2400;
    nastav_timeout(1);
    EXPECT_TRUE(casy_jsou(l.casy, 1000, 8, 1, 8, 10));

    // The written bytes leave before DTR drops; the port is closed once.
    EXPECT_EQ(CloseConnection(), 1);
    EXPECT_EQ(CloseConnection(), 1);
    EXPECT_EQ(tt.pripojeno, 0);
    EXPECT_EQ(l.udalosti, (std::vector<std::string>{"purge", "dtr+", "purge", "dtr-", "close"}));
}

TEST_F(NaLince, BezDtrSeDtrNemeni) {
    nodtr = 1;
    ASSERT_EQ(OpenConnection(), 1);
    zvedni_dtr();
    CloseConnection();
    EXPECT_EQ(l.udalosti, (std::vector<std::string>{"purge", "purge", "close"}));
    EXPECT_EQ(l.ted, 10u);  // no 150 ms pause either
}

TEST_F(NaLince, NeotevrenyPortVratiNulu) {
    l.otevreni_selze = true;
    debug = 1;
    EXPECT_EQ(OpenConnection(), 0);
    EXPECT_EQ(tt.pripojeno, 0);
    EXPECT_NE(zpravy().find("COM1"), std::string::npos);
    EXPECT_NE(zpravy().find("/dev/virtual1: Permission denied"), std::string::npos);
    OCEKAVEJ_CHYBU(posli_rje(), 92, 3);

    // A line setting the device refuses closes the port again.
    l = VirtualniLinka();
    l.linka_selze = true;
    EXPECT_EQ(OpenConnection(), 0);
    EXPECT_EQ(aktualni_port(), nullptr);
}

TEST_F(NaLince, PrikazBezDat) {
    skript({A, A});
    tt.prikazovy_paket = "/30-00/";
    posli_rje();
    EXPECT_EQ(l.vse(), DOTAZ + paket() + bajt(EOT));
    EXPECT_EQ(l.udalosti.back(), "close");
    EXPECT_EQ(l.zapisy[0].kdy, 170u);  // open 10 ms, DTR 150 ms, discarding input 10 ms

    l = VirtualniLinka();
    nokomun = 1;
    posli_rje();
    EXPECT_TRUE(l.udalosti.empty());
}

TEST_F(NaLince, Vytaceni) {
    modem = 1;
    l.ma_modem = true;
    tt.telefonni_cislo = "5551234";

    l.nosic_od = 0;  // carrier already there: nothing is dialled
    ASSERT_EQ(OpenConnection(), 1);
    EXPECT_TRUE(l.zapisy.empty());
    CloseConnection();

    l = VirtualniLinka();
    l.ma_modem = true;
    l.nosic_od = 3000;
    debug = 1;
    ASSERT_EQ(OpenConnection(), 1);
    EXPECT_EQ(l.vse(), "atd5551234\r\n");
    EXPECT_EQ(l.ted, 3010u);  // three one-second polls
    CloseConnection();

    for (int32_t cekani : {0, 2}) {
        l = VirtualniLinka();
        l.ma_modem = true;
        tt.cekani_modem = cekani;
        OCEKAVEJ_CHYBU(OpenConnection(), 93, 1);
        EXPECT_EQ(l.vse(), "atd5551234\r\n");
        EXPECT_EQ(l.ted, 10u + 1000u * static_cast<uint32_t>(cekani));
    }

    // A port without modem lines reports no carrier: dialling fails after one poll.
    l = VirtualniLinka();
    tt.cekani_modem = 30;
    OCEKAVEJ_CHYBU(OpenConnection(), 93, 1);
    EXPECT_EQ(l.ted, 1010u);

    l = VirtualniLinka();
    JenomZavesLinku = 1;  // opening for the hang-up does not dial
    ASSERT_EQ(OpenConnection(), 1);
    EXPECT_TRUE(l.zapisy.empty());
}

TEST_F(NaLince, Zaveseni) {
    modem = 1;
    ZavesLinku = 1;
    JenomZavesLinku = 1;
    ASSERT_EQ(OpenConnection(), 1);
    uint64_t zacatek = l.ted;
    CloseConnection();
    ASSERT_EQ(l.zapisy.size(), 2u);
    EXPECT_EQ(l.zapisy[0].data, "+++");
    EXPECT_EQ(l.zapisy[1].data, "ath\r");
    EXPECT_EQ(l.zapisy[1].kdy - l.zapisy[0].kdy, 1000u);
    EXPECT_EQ(l.ted - zacatek, 1100u);

    // The hang-up-only operation hangs up once, also with ZavesLinku set.
    l = VirtualniLinka();
    JenomZaves();
    EXPECT_EQ(l.vse(), "+++ath\r");
    EXPECT_EQ(aktualni_port(), nullptr);

    // A failing hang-up on closing ends in err, which closes the port without a second try.
    l = VirtualniLinka();
    ASSERT_EQ(OpenConnection(), 1);
    l.selze_zapis = 1;
    OCEKAVEJ_CHYBU(CloseConnection(), 93, 3);
    EXPECT_EQ(aktualni_port(), nullptr);
    EXPECT_EQ(std::count(l.udalosti.begin(), l.udalosti.end(), "close"), 1);
}
