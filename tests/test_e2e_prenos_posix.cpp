// End to end: reading and sending register files and tables, the program against the
// simulated register over a pseudo-terminal.
#ifndef _WIN32
#ifdef KASLNK_SIM_BINARY

#include "e2e_pomocne.h"

namespace {

using namespace e2e;

// Frames of one side that are data or header blocks (command packets left out).
std::vector<std::string> bloky(const std::vector<Zapis>& stopa, bool od_programu) {
    std::vector<std::string> out;
    for (const std::string& r : ramce(proud(stopa, od_programu)))
        if (r.compare(1, 2, "0/") != 0 || r.compare(3, 5, "HDR1/") == 0) out.push_back(r);
    return out;
}

// Sequence character, record count and flags of a file block.
std::string hlava_bloku(const std::string& b) { return b.substr(1, 1) + " " + b.substr(2, 6) + " " + b.substr(8, 2); }

TEST_F(E2E, PLUTamAZpet) {
    spust_simulator();
    Beh b = spust_prikazy(HLAVICKA + "/20-00/11///B000/;PLU\r\n");
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    std::vector<std::string> l = log();
    ASSERT_EQ(l.size(), 1u);
    OCEKAVEJ_RADEK_LOGU(l[0], "00", "/20-00/11///B000/", "0000");
    EXPECT_EQ(precti("plu.fds"), FDS_PLU + "\r\n");
    std::vector<std::string> data = radky(precti("plu.dat"));
    ASSERT_EQ(data.size(), 367u);
    EXPECT_NE(data[0].find("\"Rohl\xEDk tukov\xFD   \""), std::string::npos) << data[0];
    EXPECT_NE(data[6].find("\"V\xE1no\xE8ka         \""), std::string::npos) << data[6];
    EXPECT_FALSE(existuje("work01.tmp"));
    EXPECT_FALSE(existuje("wlasterr.tmp"));

    // A changed name goes to the register and comes back from it.
    std::string text = precti("plu.dat");
    size_t kde = text.find("Rohl\xEDk tukov\xFD");
    ASSERT_NE(kde, std::string::npos);
    text.replace(kde, 13, "Rohl\xEDk s\xFDrov\xFD");
    zapis("plu.dat", text);
    b = spust_prikazy(HLAVICKA + "/10-00/;plu\r\n/20-00/11///B000/;plu2\r\n");
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    l = log();
    ASSERT_EQ(l.size(), 3u);
    OCEKAVEJ_RADEK_LOGU(l[1], "00", "/10-00/", "0000");
    OCEKAVEJ_RADEK_LOGU(l[2], "00", "/20-00/11///B000/", "0000");
    EXPECT_EQ(precti("plu2.dat"), text);
    EXPECT_FALSE(existuje("work02.tmp"));
    ASSERT_TRUE(cekej_na_zurnal(3));
    EXPECT_NE(zurnal()[1].find("file 11/01 (367 records) stored in plu.txt"), std::string::npos) << zurnal()[1];
    EXPECT_NE(precti_soubor(pamet / "plu.txt").find("\"Rohl\xEDk s\xFDrov\xFD   \""), std::string::npos);
}

// 23 records of 42 bytes: blocks of 11, 11 and 1 records both ways.
TEST_F(E2E, DvacetTriZaznamyVeTrechBlocich) {
    fs::create_directory(pamet);
    zapis_soubor(pamet / "plu.txt", plu_pameti(23));
    spust_simulator({}, false);
    Beh b = spust_prikazy(HLAVICKA + "/20-00/11///B000/;plu\r\n/10-00/;plu\r\n");
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    std::vector<std::string> l = log();
    ASSERT_EQ(l.size(), 2u);
    OCEKAVEJ_RADEK_LOGU(l[0], "00", "/20-00/11///B000/", "0000");
    OCEKAVEJ_RADEK_LOGU(l[1], "00", "/10-00/", "0000");
    EXPECT_EQ(radky(precti("plu.dat")).size(), 23u);
    ASSERT_TRUE(cekej_na_zurnal(2));

    std::vector<Zapis> s = provoz();
    std::vector<std::string> cteni = bloky(s, false), zapis_ = bloky(s, true);
    ASSERT_EQ(cteni.size(), 4u);
    EXPECT_EQ(cteni[0].substr(0, 8), "\x02" "0/HDR1/");
    EXPECT_EQ(hlava_bloku(cteni[1]), "1 00000B 00");
    EXPECT_EQ(hlava_bloku(cteni[2]), "2 00000B 00");
    EXPECT_EQ(hlava_bloku(cteni[3]), "3 000001 01");
    ASSERT_EQ(zapis_.size(), 4u);
    EXPECT_EQ(zapis_[0], simtest::framed("1/HDR1/" + simtest::header_digits(FDS_PLU)));
    EXPECT_EQ(hlava_bloku(zapis_[1]), "2 00000B 00");
    EXPECT_EQ(hlava_bloku(zapis_[2]), "3 00000B 00");
    EXPECT_EQ(hlava_bloku(zapis_[3]), "4 000001 01");
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_TRUE(simtest::checksum_ok(zapis_[i])) << i;
        // The records go back as they came.
        EXPECT_EQ(zapis_[i].substr(10, zapis_[i].size() - 13), cteni[i].substr(10, cteni[i].size() - 13)) << i;
    }
    EXPECT_NE(zurnal()[1].find("(23 records) stored in plu.txt"), std::string::npos) << zurnal()[1];
}

TEST_F(E2E, TabulkaTamAZpet) {
    spust_simulator();
    Beh b = spust_prikazy(HLAVICKA + "/20-00/D2/;hlavicka\r\n");
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    OCEKAVEJ_RADEK_LOGU(log().at(0), "00", "/20-00/D2/", "0000");
    EXPECT_EQ(precti("hlavicka.fds"), "00,D2,0001,00,0000,01,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\r\n");
    std::string text = precti("hlavicka.dat");
    EXPECT_EQ(radky(text).size(), 6u) << text;
    size_t kde = text.find("U L\xEDpy s.r.o.");
    ASSERT_NE(kde, std::string::npos) << text;
    text.replace(kde, 13, "U Buku s.r.o.");
    zapis("hlavicka.dat", text);

    b = spust_prikazy(HLAVICKA + "/10-00/;hlavicka\r\n");
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    OCEKAVEJ_RADEK_LOGU(log().at(1), "00", "/10-00/", "0000");
    ASSERT_TRUE(cekej_na_zurnal(2));
    EXPECT_NE(zurnal()[1].find("table D2 (102 bytes) stored in tabulka-d2.txt"), std::string::npos) << zurnal()[1];
    EXPECT_NE(precti_soubor(pamet / "tabulka-d2.txt").find("\"    U Buku s.r.o.\""), std::string::npos);
    // Six lines of 17 characters: one block at offset 0 with 0x66 bytes and the last flag.
    std::vector<std::string> z = bloky(provoz(), true);
    ASSERT_EQ(z.size(), 2u);
    EXPECT_EQ(z[1].substr(0, 12), "\x02" "200000066" "01");
}

// "xxxx" numbers the data files; the first line leaves the port open for the second,
// which still works after the port's name has gone.
TEST_F(E2E, CislovaniANoterminate) {
    zapis("kaslnk.ini", "zpozdeni = 1000\r\nticho = 1\r\n");
    zapis("plu_0007.dat", "");
    spust_simulator();
    fs::path odkaz = adresar / "com1";
    fs::create_symlink(sim->path, odkaz);
    com1 = odkaz.string();
    zapis("prikaz.cmd", HLAVICKA + "/21-00/11///B000/;plu_xxxx\r\n/20-00/11///B000/;PLU_XXXX\r\n");
    std::thread odstran([&] {
        long long konec = simtest::ms_now() + 30000;
        while (log().empty() && simtest::ms_now() < konec) usleep(5000);
        fs::remove(odkaz);
    });
    Beh b = spust({"prikaz.cmd"});
    odstran.join();
    ocekavej_vysledek(b, 0, "0", "151\r\n");
    std::vector<std::string> l = log();
    ASSERT_EQ(l.size(), 2u);
    OCEKAVEJ_RADEK_LOGU(l[0], "00", "/21-00/11///B000/", "0000");
    OCEKAVEJ_RADEK_LOGU(l[1], "00", "/20-00/11///B000/", "0000");
    EXPECT_EQ(radky(precti("plu_0008.dat")).size(), 367u);
    EXPECT_EQ(precti("plu_0009.dat"), precti("plu_0008.dat"));
    EXPECT_EQ(precti("plu_0009.fds"), FDS_PLU + "\r\n");
}

}  // namespace

#endif
#endif
