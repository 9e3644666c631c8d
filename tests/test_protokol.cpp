// The link protocol and the port's life cycle against a scripted register in virtual time.
#include <cctype>

#include "link/cteni.h"
#include "link/hledani.h"
#include "link/odesilani.h"
#include "link/zvlastni.h"
#include "virtualni_linka.h"

namespace {

const std::string B0 = ramec("0/HDR1/ABC"), B1 = ramec("1000001000102"), B2 = ramec("2000001010A0B");

// A block whose correct checksum contains letters, sent with them in lower case.
std::string s_malymi_pismeny() {
    std::string obsah = "1000001000";
    while (ramec(obsah).find_first_of("ABCDEF", obsah.size() + 1) == std::string::npos) obsah += "1";
    std::string r = ramec(obsah);
    for (size_t i = r.size() - 3; i < r.size() - 1; ++i) r[i] = static_cast<char>(std::tolower(r[i]));
    return r;
}

// Times between the writes of `ramec`.
std::vector<uint64_t> odstupy(const VirtualniLinka& l, const std::string& ramec) {
    std::vector<uint64_t> kdy, v;
    for (const auto& z : l.zapisy)
        if (z.data == ramec) kdy.push_back(z.kdy);
    for (size_t i = 1; i < kdy.size(); ++i) v.push_back(kdy[i] - kdy[i - 1]);
    return v;
}

class Linka : public NaLince {
protected:
    // A new line with this script; the sounds and the icon of earlier cases forgotten.
    void znovu(std::vector<Odpoved> o = {}) {
        l = VirtualniLinka();
        pipy.clear();
        ikona.clear();
        skript(std::move(o));
    }
    // The tray icon was added, turned between red and green with each step, and removed.
    void over_ikonu() {
        ASSERT_GE(ikona.size(), 4u);
        EXPECT_EQ(ikona.front().first * 10 + ikona.back().first, TRAY_PRIDAT * 10 + TRAY_ODEBRAT);
        for (size_t i = 1; i + 1 < ikona.size(); ++i) {
            EXPECT_EQ(ikona[i].first, TRAY_ZMENIT);
            EXPECT_TRUE(ikona[i].second == IKONA_CERVENA || ikona[i].second == IKONA_ZELENA);
            EXPECT_TRUE(i == 1 || ikona[i].second != ikona[i - 1].second);
        }
    }
};

}  // namespace

TEST_F(Linka, CteniBezChybARamce) {
    skript({A, A, E, {B0}, {B1}, {B2, 6990}, T});
    s.ShowProgress = 0;
    cti();
    EXPECT_EQ(work01(), B0 + B1 + B2);
    std::string a = bajt(ACK);
    EXPECT_EQ(l.vse(), DOTAZ + paket() + bajt(EOT) + a + a + a + a);  // nothing after the EOT
    EXPECT_EQ(pipy, std::vector<int32_t>(3, s.zvuk));
    EXPECT_TRUE(ikona.empty());
    // Enquiry: NAK, silence, ACK; packet: NAK, silence, ACK; EOT: foreign byte, ENQ.
    znovu({N, S, A, N, S, A, Q, E, {B0}, T});
    cti();
    EXPECT_EQ(work01(), B0);
    EXPECT_EQ(l.pocet_zapisu(DOTAZ) * 100 + l.pocet_zapisu(paket()) * 10 + l.pocet_zapisu(bajt(EOT)), 332u);
    // "ticho" silences the beep of every block; a short terminal number is a number.
    znovu({A, A, E, {B0}, {B1}, T});
    s.ticho = 1;
    s.tt.terminal = "12";
    cti();
    EXPECT_TRUE(pipy.empty());
    EXPECT_EQ(l.zapisy[0].data, "\x04\x04\x04" "000012" "\x05");
}

// A send (its block B1) or a read gives up; a silent register is waited for at least 1 s
// after each enquiry and 4 s after each packet.
TEST_F(Linka, VzdaniPrenosu) {
    struct Pripad {
        std::vector<Odpoved> skript;
        int kod, podkod;
        size_t dotazu, paketu;
        uint64_t cekani = 0;  // the least time between two enquiries, or two packets
        bool odeslat = false;
    };
    const std::vector<Pripad> pripady = {
        {{A, A, Q}, 20, -1, 1, 1, 0, true},
        {{N, N, N}, 38, 2, 3, 0, 0, true},
        {{A, S, S, S}, 6, 2, 1, 3, 4000, true},
        {{N, N, N}, 38, 1, 3, 0},
        {{S, S, S}, 38, 1, 3, 0, 1000},
        {{Q}, 20, -1, 1, 0},
        {{A, N, N, N}, 6, 1, 1, 3},
        {{A, S, S, S}, 6, 1, 1, 3, 4000},
        {{A, Q}, 20, -1, 1, 1},
        {{A, A, Q, Q, Q}, 7, 1, 1, 1},
        {{A, A, S}, 21, 1, 1, 1},
        // A gap of more than 1 s breaks a block, also one fetched ahead as long as the one
        // before; the rest of its line is no block.
        {{A, A, E, {B0}, {B1, 0, 9, 1100}, T}, 40, 1, 1, 1},
    };
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(::testing::Message() << "error " << p.kod << "/" << p.podkod);
        znovu(p.skript);
        OCEKAVEJ_CHYBU(p.odeslat ? posli(B1) : cti(), p.kod, p.podkod);
        EXPECT_EQ(l.pocet_zapisu(DOTAZ) * 10 + l.pocet_zapisu(paket()), p.dotazu * 10 + p.paketu);
        EXPECT_EQ(s.port, nullptr);  // err closed the port
        for (uint64_t d : odstupy(l, p.paketu ? paket() : DOTAZ)) EXPECT_GE(d, p.cekani);
    }
    // The failed read's blocks stay for inspection.
    EXPECT_EQ(precti("wlasterr.tmp"), B0);
    EXPECT_EQ(precti("err"), "1");
    // A device that fails ends the transfer at once, not after a chain of time-outs.
    znovu({A, A, E});
    ASSERT_EQ(OpenConnection(s), 1);
    l.cteni_selze = true;
    OCEKAVEJ_CHYBU(prijmi_data(s), 47, 1);
    EXPECT_LT(l.ted, 100u);
}

// A bad block, what the register sends after the NAK, and whether a NAK (with its beep) goes out.
TEST_F(Linka, SpatnyBlokJednouSeOpakuje) {
    const std::vector<std::tuple<Odpoved, Odpoved, std::string, size_t>> pripady = {
        {{B1.substr(0, B1.size() - 3) + "00\r"}, {B1}, B1, 1},  // wrong checksum
        {{s_malymi_pismeny()}, {B1}, B1, 1},                     // lower-case checksum digits
        {{"\x13" + B1}, {B1}, B1, 1},                            // a foreign byte before STX
        {{B1.substr(0, 6)}, {B1}, B1, 1},                        // broken off: silence over 1 s
        {{B1, 7100}, S, B1, 1},                                  // first byte later than 7 s
        {{B1, 0, 5, 900}, T, B1, 0},                             // a pause under 1 s is fine
        {T, S, "", 0},                                           // EOT at once: an empty file
    };
    s.debug = 1;
    for (const auto& [blok, po_naku, prijato, naku] : pripady) {
        znovu({A, A, E, blok, po_naku, T});
        cti();
        EXPECT_TRUE(existuje("work01.tmp"));
        EXPECT_EQ(work01(), prijato);  // exactly one copy
        EXPECT_EQ(l.pocet_zapisu(bajt(NAK)), naku) << prijato;
        EXPECT_EQ(size_t(std::count(pipy.begin(), pipy.end(), s.zvuk2)), naku) << prijato;
        EXPECT_EQ(pipy.size(), naku + !prijato.empty());
    }
}

// A send with the tray icon (an error removes it) and a beep for each block.
TEST_F(Linka, Odesilani) {
    skript({A, A, A, A});
    s.tt.prikazovy_paket = "/10-00/";
    NotifyAdd(s);
    posli(B1 + B2);
    NotifyDelete(s);
    over_ikonu();
    EXPECT_EQ(pipy.size(), 2u);
    EXPECT_EQ(l.vse(), DOTAZ + paket() + B1 + B2 + bajt(EOT));
    EXPECT_EQ(l.zapisy[2].kdy - l.zapisy[1].kdy, 200u);  // the ACK came at once; then 200 ms
    EXPECT_GE(l.zapisy[3].kdy - l.zapisy[2].kdy, 200u);
    znovu({A, A});
    posli("");  // an empty work file: EOT alone
    EXPECT_EQ(l.vse(), DOTAZ + paket() + bajt(EOT));

    // Refusals count over the whole send: NAK, ACK, NAK, ACK, silence is the third; the
    // block goes out once more, then 42/1.
    const std::string B3 = ramec("3000001000C");
    znovu({A, A, N, A, N, A, S});
    NotifyAdd(s);
    OCEKAVEJ_CHYBU(posli(B1 + B2 + B3 + ramec("4000001010D")), 42, 1);
    over_ikonu();
    EXPECT_EQ(l.pocet_zapisu(B1) + l.pocet_zapisu(B2) + l.pocet_zapisu(B3), 6u);
    EXPECT_EQ(l.zapisy.size(), 8u);
    EXPECT_GE(odstupy(l, B3).at(0), 4000u);  // the silence after a block is waited out
}

TEST_F(Linka, DelkyPaketuARadku) {
    s.tt.prikazovy_paket = std::string(188, 'P');
    skript({A, A});
    ASSERT_EQ(OpenConnection(s), 1);
    s.bez_pracovniho_souboru = 1;
    priprav_vysilani(s);
    EXPECT_EQ(l.zapisy.back().data.size(), 188u + 5);
    znovu({A});
    s.tt.prikazovy_paket += "P";
    OCEKAVEJ_CHYBU(priprav_vysilani(s), 64, 2);
    EXPECT_EQ(l.vse(), DOTAZ);  // the enquiry, no byte of the packet

    s.bez_pracovniho_souboru = 0;
    s.tt.prikazovy_paket = "/10-00/";
    // Lines of the outgoing work file and the subcode of 44 they end in (0: sent).
    const std::vector<std::pair<std::string, int>> radky = {
        {"\x02" + std::string(987, '0') + "\r", 0},  // 988 characters with the CR
        {"\x02" + std::string(988, '0') + "\r", 2},  // 989 characters before the CR
        {"X" + B1, 1},                                // no STX
        {B1 + "\x02" "10", 3},                        // ends inside a line
    };
    for (const auto& [obsah, podkod] : radky) {
        znovu({A, A, A});
        OCEKAVEJ_CHYBU(posli(obsah), podkod ? 44 : 0, podkod);
        EXPECT_EQ(l.vse().find(obsah.substr(0, 30)) != std::string::npos, podkod == 0) << podkod;
    }
}

// The write that fails, in a read or (last) in a send.
TEST_F(Linka, SelhanyZapisKonciChybouKroku) {
    const std::vector<std::tuple<size_t, std::vector<Odpoved>, int, int>> pripady = {
        {0, {}, 5, 1},                  // enquiry
        {1, {A}, 6, 3},                 // packet
        {2, {A, A}, 9, 3},              // EOT
        {3, {A, A, E}, 9, 1},           // ACK
        {4, {A, A, E, {"x\r"}}, 9, 2},  // NAK
        {2, {A, A}, 42, 2},             // the block of a send
    };
    for (const auto& [zapis, odpovedi, kod, podkod] : pripady) {
        znovu(odpovedi);
        l.selze_zapis = zapis;
        OCEKAVEJ_CHYBU(kod == 42 ? posli(B1) : cti(), kod, podkod);
    }
    // The speed search skips a speed whose enquiry runs out of time, and takes only ACK
    // or NAK as an answer; other failures are errors.
    znovu({A, Q, N});
    ASSERT_EQ(OpenConnection(s), 1);
    for (int ocekavam : {0, 1, 0}) {
        send_ENQ(s, 1);
        EXPECT_EQ(receive_ACK_find(s, 250), ocekavam);
    }
    EXPECT_EQ(receive_ACK_find(s, 250), 1);  // silence
    l.vyprsi = true;
    EXPECT_EQ(send_ENQ(s, 1), 1);
    OCEKAVEJ_CHYBU(send_ENQ(s, 0), 5, 1);
}

TEST_F(Linka, OtevreniCasyAZavreni) {
    ASSERT_EQ(OpenConnection(s), 1);
    // The per-byte part of a time-out grows at a slow line and vanishes at a fast one (the
    // waits themselves are checked at 19200 bit/s).
    for (const auto& [r, nasobek] : {std::pair<uint32_t, uint32_t>{2400, 8}, {38400, 0}}) {
        s.tt.rychlost = r;
        nastav_timeout(s, 1);
        EXPECT_EQ(l.casy.read_total_multiplier * 1000 + l.casy.write_total_multiplier, nasobek * 1001) << r;
    }
    // The written bytes leave before DTR drops; the port is closed once.
    EXPECT_EQ(CloseConnection(s) + CloseConnection(s), 2);
    EXPECT_EQ(s.tt.pripojeno, 0);
    EXPECT_EQ(l.udalosti, (std::vector<std::string>{"purge", "dtr+", "purge", "dtr-", "close"}));

    znovu();
    s.nodtr = 1;  // DTR stays as it is, and no 150 ms pause
    ASSERT_EQ(OpenConnection(s), 1);
    zvedni_dtr(s);
    CloseConnection(s);
    EXPECT_EQ(l.udalosti, (std::vector<std::string>{"purge", "purge", "close"}));
    EXPECT_EQ(l.ted, 10u);
    // A line setting the device refuses closes the port again.
    znovu();
    l.linka_selze = true;
    EXPECT_EQ(OpenConnection(s), 0);
    EXPECT_EQ(s.port, nullptr);
}

// A port that does not open: each operation ends with its own subcode of 92.
TEST_F(Linka, NeotevrenyPort) {
    l.otevreni_selze = true;
    s.debug = 1;
    EXPECT_EQ(OpenConnection(s), 0);
    EXPECT_NE(zpravy().find("COM1"), std::string::npos);
    EXPECT_NE(zpravy().find("/dev/virtual1: Permission denied"), std::string::npos);
    zapis("t.fds", "00,D0,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n");
    zapis("t.dat", "01,02,03,04,05\r\n");
    s.tt.fds_soubor = "t.fds";
    s.tt.datovy_soubor = "t.dat";
    const std::vector<std::pair<std::function<void(Sezeni&)>, int>> operace = {
        {cti_data_do_souboru, 1}, {posli_data, 2}, {posli_rje, 3}, {posli_data2, 4}, {JenomZaves, 5}};
    for (const auto& [op, podkod] : operace) OCEKAVEJ_CHYBU(op(s), 92, podkod);
    boxy.clear();  // the search: each port that does not open is a terminal line, no box
    EXPECT_EQ(zpravy() + std::to_string(najdi_kasu(s)), "0");
    EXPECT_NE(obrazovka().find("Otviram port COM9 - nepovedlo"), std::string::npos);
}

// A command without data; rsdata records the traffic, without the bytes discarded before
// the enquiry; an unknown special code is a command-file defect. Kept open, the port
// serves the next operation; nokomun touches no port.
TEST_F(Linka, PrikazBezDatAZvlastniKody) {
    s.rawdebug = 1;
    s.rsd = otevri_soubor(s, "rsdata", 'w');
    l.posli({"stale"});
    skript({A, A});
    s.tt.prikazovy_paket = "/30-00/";
    posli_rje(s);
    zavri_soubor(s, s.rsd);
    s.rsd = nullptr;
    EXPECT_EQ(precti("rsdata"), DOTAZ + bajt(ACK) + paket() + bajt(ACK) + bajt(EOT));
    EXPECT_EQ(l.vse(), DOTAZ + paket() + bajt(EOT));
    EXPECT_EQ(l.udalosti.back(), "close");
    EXPECT_EQ(l.zapisy[0].kdy, 170u);  // open 10 ms, DTR 150 ms, discarding input 10 ms
    s.kod_specialni = '5';
    OCEKAVEJ_CHYBU(delej_special(s), 51, 14);
    // With noterminate the port stays open for the next operation, which takes it as it is.
    znovu({A, A, S, A, A});
    s.noterminate = 1;
    posli_rje(s);
    s.noterminate = 0;
    l.otevreni_selze = true;  // no second opening
    posli_rje(s);
    EXPECT_EQ(l.pocet_zapisu(DOTAZ) * 10 + std::count(l.udalosti.begin(), l.udalosti.end(), "close"), 21u);
    znovu();
    s.nokomun = 1;
    posli_rje(s);
    EXPECT_TRUE(l.udalosti.empty());
}

TEST_F(Linka, VytaceniAZaveseni) {
    s.modem = 1;
    s.tt.telefonni_cislo = "5551234";
    s.debug = 1;
    // Carrier from this time on (none: never), the seconds waited for it, the time the
    // opening took; without carrier it fails with 93/1. A port without modem lines has none.
    const std::tuple<bool, uint64_t, int32_t, uint64_t> pripady[] = {
        {true, 0, 30, 10}, {true, 3000, 30, 3010}, {true, UINT64_MAX, 0, 10}, {true, UINT64_MAX, 2, 2010},
        {false, UINT64_MAX, 30, 1010}};
    for (const auto& [ma_modem, nosic, cekani, trvani] : pripady) {
        znovu();
        l.ma_modem = ma_modem;
        l.nosic_od = nosic;
        s.tt.cekani_modem = cekani;
        OCEKAVEJ_CHYBU(EXPECT_EQ(OpenConnection(s), 1), nosic == UINT64_MAX ? 93 : 0, 1);
        EXPECT_EQ(l.vse(), nosic == 0 ? "" : "atd5551234\r\n");  // carrier already there: no dialling
        EXPECT_EQ(l.ted, trvani) << nosic << " " << cekani;
        CloseConnection(s);
    }

    znovu();
    s.ZavesLinku = 1;
    s.JenomZavesLinku = 1;  // opening for the hang-up does not dial
    ASSERT_EQ(OpenConnection(s), 1);
    EXPECT_TRUE(l.zapisy.empty());
    uint64_t zacatek = l.ted;
    CloseConnection(s);
    EXPECT_EQ(l.vse(), "+++ath\r");
    EXPECT_EQ(l.zapisy[1].kdy - l.zapisy[0].kdy, 1000u);
    EXPECT_EQ(l.ted - zacatek, 1100u);
    // Special code 7, the hang-up-only operation, hangs up once, also with ZavesLinku set.
    znovu();
    s.kod_specialni = '7';
    delej_special(s);
    EXPECT_EQ(l.vse(), "+++ath\r");
    EXPECT_EQ(s.port, nullptr);
    // A failing hang-up on closing ends in err, which closes the port without a second try.
    znovu();
    ASSERT_EQ(OpenConnection(s), 1);
    l.selze_zapis = 1;
    OCEKAVEJ_CHYBU(CloseConnection(s), 93, 3);
    EXPECT_EQ(s.port, nullptr);
    EXPECT_EQ(std::count(l.udalosti.begin(), l.udalosti.end(), "close"), 1);
}
