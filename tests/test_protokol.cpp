// The link protocol against a scripted register in virtual time.
#include <cctype>

#include "virtualni_linka.h"

namespace {

const std::string B0 = ramec("0/HDR1/ABC"), B1 = ramec("1000001000102"), B2 = ramec("2000001010A0B");

// A block whose correct checksum contains letters, sent with them in lower case.
std::string s_malymi_pismeny() {
    std::string obsah = "1000001000";
    while (kontrolni_znaky(obsah).find_first_of("ABCDEF") == std::string::npos) obsah += "1";
    std::string r = ramec(obsah);
    for (size_t i = r.size() - 3; i < r.size() - 1; ++i) r[i] = static_cast<char>(std::tolower(r[i]));
    return r;
}

}  // namespace

TEST_F(NaLince, RamceDotazuAPaketu) {
    EXPECT_EQ(kontrolni_znaky("0abc"), "AA");
    skript({A});
    ASSERT_EQ(OpenConnection(), 1);
    EXPECT_EQ(send_ENQ(0), 0);
    tt.terminal = "12";  // a short number is taken as a number
    send_ENQ(0);
    tt.prikazovy_paket = "abc";
    send_packet();
    ASSERT_EQ(l.zapisy.size(), 3u);
    EXPECT_EQ(l.zapisy[0].data, DOTAZ);
    EXPECT_EQ(l.zapisy[1].data, "\x04\x04\x04" "000012" "\x05");
    EXPECT_EQ(l.zapisy[2].data, "\x02" "0abcAA\r");
}

TEST_F(NaLince, CteniBezChyb) {
    skript({A, A, E, {B0}, {B1}, {B2, 6990}, T});
    ShowProgress = 0;
    cti();
    EXPECT_EQ(work01(), B0 + B1 + B2);
    std::string a = bajt(ACK);
    EXPECT_EQ(l.vse(), DOTAZ + paket() + bajt(EOT) + a + a + a + a);  // nothing after the EOT
    EXPECT_EQ(pipy, std::vector<int32_t>(3, zvuk));
    EXPECT_TRUE(ikona.empty());
}

TEST_F(NaLince, OpakovaniPriOtevreniVymeny) {
    // Enquiry: NAK, silence, ACK; packet: NAK, silence, ACK; EOT: foreign byte, ENQ.
    skript({N, S, A, N, S, A, Q, E, {B0}, T});
    cti();
    EXPECT_EQ(work01(), B0);
    EXPECT_EQ(l.pocet_zapisu(DOTAZ), 3u);
    EXPECT_EQ(l.pocet_zapisu(paket()), 3u);
    EXPECT_EQ(l.pocet_zapisu(bajt(EOT)), 2u);
}

TEST_F(NaLince, VzdaniCteni) {
    struct Pripad {
        std::vector<Odpoved> skript;
        int kod, podkod;
        size_t dotazu, paketu;
    };
    const std::vector<Pripad> pripady = {
        {{N, N, N}, 38, 1, 3, 0},
        {{S, S, S}, 38, 1, 3, 0},
        {{Q}, 20, -1, 1, 0},
        {{A, N, N, N}, 6, 1, 1, 3},
        {{A, S, S, S}, 6, 1, 1, 3},
        {{A, Q}, 20, -1, 1, 1},
        {{A, A, Q, Q, Q}, 7, 1, 1, 1},
        {{A, A, S}, 21, 1, 1, 1},
        // A gap of more than 1 s breaks the block; the rest of its line is no block.
        {{A, A, E, {B1, 0, 5, 1100}, T}, 40, 1, 1, 1},
        {{A, A, E, {B0}, {"x" + B1}, {s_malymi_pismeny()}}, 40, 1, 1, 1},
    };
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(::testing::Message() << "error " << p.kod << "/" << p.podkod);
        l = VirtualniLinka();
        skript(p.skript);
        OCEKAVEJ_CHYBU(cti(), p.kod, p.podkod);
        EXPECT_EQ(l.pocet_zapisu(DOTAZ), p.dotazu);
        EXPECT_EQ(l.pocet_zapisu(paket()), p.paketu);
        EXPECT_EQ(aktualni_port(), nullptr);  // err closed the port
    }
    // The failed read's blocks stay for inspection.
    EXPECT_EQ(precti_soubor(adresar / "wlasterr.tmp"), B0);
    EXPECT_EQ(precti_soubor(adresar / "err"), "1");
}

TEST_F(NaLince, SpatnyBlokJednouSeOpakuje) {
    // A bad block and what the register sends after the NAK.
    const std::vector<std::pair<Odpoved, Odpoved>> pripady = {
        {{B1.substr(0, B1.size() - 3) + "00\r"}, {B1}},  // wrong checksum
        {{s_malymi_pismeny()}, {B1}},                     // lower-case checksum digits
        {{"\x13" + B1}, {B1}},                            // a foreign byte before STX
        {{B1.substr(0, 6)}, {B1}},                        // broken off: silence over 1 s
        {{B1, 7100}, S},                                  // first byte later than 7 s
    };
    debug = 1;
    for (const auto& [spatny, potom] : pripady) {
        l = VirtualniLinka();
        skript({A, A, E, spatny, potom, T});
        cti();
        EXPECT_EQ(work01(), B1);  // exactly one copy
        EXPECT_EQ(l.pocet_zapisu(bajt(NAK)), 1u);
        EXPECT_EQ(std::count(pipy.begin(), pipy.end(), zvuk2), 1);
        pipy.clear();
    }
    // A pause of less than a second inside a block is fine.
    l = VirtualniLinka();
    skript({A, A, E, {B1, 0, 5, 900}, T});
    cti();
    EXPECT_EQ(work01(), B1);
    EXPECT_EQ(l.pocet_zapisu(bajt(NAK)), 0u);
}

TEST_F(NaLince, EotMistoPrvnihoBloku) {
    skript({A, A, E, T});
    cti();
    EXPECT_TRUE(std::filesystem::exists(adresar / "work01.tmp"));
    EXPECT_EQ(work01(), "");
    EXPECT_TRUE(pipy.empty());
}

TEST_F(NaLince, PaketNejvyse188Znaku) {
    tt.prikazovy_paket = std::string(188, 'P');
    skript({A, A});
    ASSERT_EQ(OpenConnection(), 1);
    bez_pracovniho_souboru = 1;
    priprav_vysilani();
    EXPECT_EQ(l.zapisy.back().data.size(), 188u + 5);

    l = VirtualniLinka();
    tt.prikazovy_paket += "P";
    skript({A});
    OCEKAVEJ_CHYBU(priprav_vysilani(), 64, 2);
    EXPECT_EQ(l.vse(), DOTAZ);  // the enquiry, no byte of the packet
}

TEST_F(NaLince, OdesilaniBezChyb) {
    skript({A, A, A, A});
    tt.prikazovy_paket = "/10-00/";
    posli(B1 + B2);
    ASSERT_EQ(l.zapisy.size(), 5u);
    EXPECT_EQ(l.vse(), DOTAZ + paket() + B1 + B2 + bajt(EOT));
    EXPECT_EQ(l.zapisy[2].kdy - l.zapisy[1].kdy, 200u);  // the ACK came at once; then 200 ms
    EXPECT_GE(l.zapisy[3].kdy - l.zapisy[2].kdy, 200u);
}

TEST_F(NaLince, PrazdnyPracovniSouborPosleJenEot) {
    skript({A, A});
    posli("");
    EXPECT_EQ(l.vse(), DOTAZ + paket() + bajt(EOT));
}

TEST_F(NaLince, OdmitnuteBlokySeSectouZaCelyPrenos) {
    // NAK, ACK, NAK, ACK, silence: the third refusal; the block goes out once more, then 42/1.
    const std::string B3 = ramec("3000001000C");
    skript({A, A, N, A, N, A, S});
    OCEKAVEJ_CHYBU(posli(B1 + B2 + B3 + ramec("4000001010D")), 42, 1);
    EXPECT_EQ(l.pocet_zapisu(B1), 2u);
    EXPECT_EQ(l.pocet_zapisu(B2), 2u);
    EXPECT_EQ(l.pocet_zapisu(B3), 2u);
    EXPECT_EQ(l.zapisy.size(), 8u);

    l = VirtualniLinka();
    skript({A, A, Q});
    OCEKAVEJ_CHYBU(posli(B1), 20, -1);
    l = VirtualniLinka();
    skript({N, N, N});
    OCEKAVEJ_CHYBU(posli(B1), 38, 2);
    l = VirtualniLinka();
    skript({A, S, S, S});
    OCEKAVEJ_CHYBU(posli(B1), 6, 2);
}

TEST_F(NaLince, PracovniRadekNejvyse988Znaku) {
    std::string radek988 = "\x02" + std::string(987, '0') + "\r";
    skript({A, A, A});
    posli(radek988);
    EXPECT_EQ(l.pocet_zapisu(radek988), 1u);

    const std::vector<std::pair<std::string, int>> vadne = {
        {"\x02" + std::string(988, '0') + "\r", 2},  // 989 characters before the CR
        {"X" + B1, 1},                                // no STX
        {B1 + "\x02" "10", 3},                        // ends inside a line
    };
    for (const auto& [obsah, podkod] : vadne) {
        l = VirtualniLinka();
        skript({A, A, A});
        OCEKAVEJ_CHYBU(posli(obsah), 44, podkod);
        EXPECT_EQ(l.zapisy.back().data.find(obsah.substr(0, 30)), std::string::npos);
    }
}

TEST_F(NaLince, SelhanyZapisKonciChybouKroku) {
    const std::vector<std::tuple<size_t, std::vector<Odpoved>, int, int>> pripady = {
        {0, {}, 5, 1},                    // enquiry
        {1, {A}, 6, 3},                   // packet
        {2, {A, A}, 9, 3},                // EOT
        {3, {A, A, E}, 9, 1},             // ACK
        {4, {A, A, E, {"x\r"}}, 9, 2},    // NAK
    };
    for (const auto& [zapis, odpovedi, kod, podkod] : pripady) {
        l = VirtualniLinka();
        l.selze_zapis = zapis;
        skript(odpovedi);
        OCEKAVEJ_CHYBU(cti(), kod, podkod);
    }
    l = VirtualniLinka();
    l.selze_zapis = 2;
    skript({A, A});
    OCEKAVEJ_CHYBU(posli(B1), 42, 2);

    // The search skips a speed whose enquiry runs out of time; other failures are errors.
    l = VirtualniLinka();
    ASSERT_EQ(OpenConnection(), 1);
    l.vyprsi = true;
    EXPECT_EQ(send_ENQ(1), 1);
    OCEKAVEJ_CHYBU(send_ENQ(0), 5, 1);
}

TEST_F(NaLince, HledaniBereJenAckNeboNak) {
    skript({A, Q, N});
    ASSERT_EQ(OpenConnection(), 1);
    for (int ocekavam : {0, 1, 0}) {
        send_ENQ(1);
        EXPECT_EQ(receive_ACK_find(250), ocekavam);
    }
    EXPECT_EQ(nak, 1);
    EXPECT_EQ(receive_ACK_find(250), 1);  // silence
}

TEST_F(NaLince, ZarizeniKtereSelzeUkonciPrenosHned) {
    skript({A, A, E});
    ASSERT_EQ(OpenConnection(), 1);
    l.cteni_selze = true;
    OCEKAVEJ_CHYBU(prijmi_data(), 47, 1);
    EXPECT_LT(l.ted, 100u);  // not after a chain of time-outs
}

TEST_F(NaLince, IkonaSestStavuPetBloku) {
    std::string bloky;
    for (char c = '2'; c <= '6'; ++c) bloky += ramec(std::string(1, c) + "00000100AB");
    skript({A, A, A, A, A, A, A});
    NotifyAdd();
    posli(bloky);
    NotifyDelete();
    ASSERT_EQ(ikona.size(), 8u);
    EXPECT_EQ(ikona.front().first, TRAY_PRIDAT);
    for (size_t i = 1; i <= 6; ++i) {
        EXPECT_EQ(ikona[i].first, TRAY_ZMENIT);
        EXPECT_TRUE(ikona[i].second == IKONA_CERVENA || ikona[i].second == IKONA_ZELENA);
        if (i > 1) {
            EXPECT_NE(ikona[i].second, ikona[i - 1].second);  // alternates
        }
    }
    EXPECT_EQ(ikona.back().first, TRAY_ODEBRAT);
    EXPECT_EQ(pipy.size(), 5u);

    // An error removes the icon.
    l = VirtualniLinka();
    ikona.clear();
    skript({A, A, A, S, S, S});
    NotifyAdd();
    OCEKAVEJ_CHYBU(posli(bloky), 42, 1);
    EXPECT_EQ(ikona.back().first, TRAY_ODEBRAT);
}

TEST_F(NaLince, RsdataZapiseProvozBezZahozenychBajtu) {
    rawdebug = 1;
    rsd = otevri_soubor("rsdata", 'w');
    ASSERT_EQ(OpenConnection(), 1);
    l.posli({"stale"});  // waiting before the enquiry: discarded
    skript({A, A});
    tt.prikazovy_paket = "/30-00/";
    posli_rje();
    zavri_soubor(rsd);
    rsd = nullptr;
    std::string a = bajt(ACK);
    EXPECT_EQ(precti_soubor(adresar / "rsdata"), DOTAZ + a + paket() + a + bajt(EOT));
}
