// The outgoing work file work02.tmp: header block, file blocks, table blocks, and the
// layouts whose blocks could not be sent.
#include "format_pomocne.h"

#include "link/bloky.h"
#include "link/odesilani.h"

namespace {

std::string plu_radek(unsigned i) {
    char r[128];
    std::snprintf(r, sizeof r, "%014u,01,0,1,0000,00000000,\"ZBOZI %-10u\",+%011u,+000000000\r\n", i, i,
                  i * 10);
    return r;
}

// A layout of one table item repeated, searched instead of the built-in table.
std::string tabulka_polozek(const std::string& kod, const std::string& polozky) {
    return "F:" + kod + "\r\nS:" + std::string("00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00") +
           "\r\nT:" + polozky + ".C\r\nX \r\n";
}

// Table text: `pocet` fields of `bajtu` bytes, byte k of field i being (i + k) & 0xFF;
// `hex` gets the bytes without separators.
std::string data_tabulky(unsigned pocet, unsigned bajtu, std::string* hex = nullptr) {
    std::string t, h;
    char d[3];
    for (unsigned i = 0; i < pocet; ++i) {
        for (unsigned k = 0; k < bajtu; ++k) std::snprintf(d, sizeof d, "%02X", (i + k) & 0xFF), h += d;
        t += h.substr(h.size() - 2 * bajtu) + (i + 1 < pocet ? "," : "\r\n");
    }
    if (hex) *hex = h;
    return t;
}

class Bloky : public FormatTest {
protected:
    std::string tabulka;  // a layout made for the test (kept alive while searched)

    // Builds work02.tmp the way the send operation does (nokomun: nothing is sent).
    Chyba postav(const Hlavicka& h, const std::string& data) {
        zapis(s.tt.fds_soubor, h.fds_soubor());
        zapis(s.tt.datovy_soubor, data);
        s.nokomun = 1;
        return chyba_z([&] { posli_data(s); });
    }
    void pouzij_tabulku(const std::string& text) {
        tabulka = text;
        nastav_formatarea(s, tabulka.data(), tabulka.size());
    }

    // The frames of work02.tmp (STX through the checksum, without the CR); each must carry
    // a correct checksum.
    std::vector<std::string> bloky() {
        std::vector<std::string> v;
        std::string soubor = precti("work02.tmp");
        size_t i = 0;
        for (size_t cr; (cr = soubor.find('\r', i)) != std::string::npos; i = cr + 1) {
            std::string t = soubor.substr(i, cr - i);
            EXPECT_EQ(t[0], '\x02');
            EXPECT_EQ(ramec(t.substr(1, t.size() - 3)), t + "\r") << "checksum of " << t.substr(0, 12);
            EXPECT_LE(t.size(), 988u);
            v.push_back(t);
        }
        EXPECT_EQ(i, soubor.size()) << "a frame without its CR";
        return v;
    }
};

TEST_F(Bloky, SouborVBlocichPoJedenacti) {
    // Records, then sequence character, record count and flags of each file block.
    const std::vector<std::pair<unsigned, std::string>> pripady = {
        {0, ""},
        {22, "200000B00 300000B01 "},
        {23, "200000B00 300000B00 400000101 "},
        {99, "200000B00 300000B00 400000B00 500000B00 600000B00 700000B00 800000B00 900000B00 000000B01 "}};
    for (const auto& [pocet, hlavy] : pripady) {
        std::string data, h;
        for (unsigned i = 1; i <= pocet; ++i) data += plu_radek(i);
        ASSERT_EQ(postav(hlavicka_plu(), data), Chyba(0, 0));
        std::vector<std::string> v = bloky();
        EXPECT_EQ(v[0] + "\r", ramec("1/HDR1/" + hlavicka_plu().pole("")));
        for (size_t k = 1; k < v.size(); ++k) {
            h += v[k].substr(1, 9) + " ";
            EXPECT_EQ(v[k].size(), 10 + 84 * std::stoul(v[k].substr(2, 6), nullptr, 16) + 2);
        }
        EXPECT_EQ(h, hlavy);
        if (pocet == 23) {
            EXPECT_EQ(v[3].substr(10, 14), "00000000000023");  // the last record ends the last block
        }
    }
}

TEST_F(Bloky, HlavickovyBlokZFds) {
    auto hlavicka = [&](const std::string& fds) {
        zapis(s.tt.fds_soubor, fds);
        return chyba_z([&] {
            s.work02f = otevri_soubor(s, "work02.tmp", 'w');
            preved_fds_na_prvni_blok(s);
            zavri_soubor(s, s.work02f);
            s.work02f = nullptr;
        });
    };
    EXPECT_EQ(hlavicka("AB,CD\r\nrest"), Chyba(0, 0));
    EXPECT_EQ(precti("work02.tmp"), ramec("1/HDR1/ABCD"));
    EXPECT_EQ(hlavicka(std::string(75, 'A') + ",,\r\n"), Chyba(0, 0));
    EXPECT_EQ(hlavicka(std::string(76, 'A') + "\r\n"), Chyba(52, 2));
    EXPECT_EQ(hlavicka("11,00,0BB8"), Chyba(52, 1));
}

// Table blocks: sequence characters in turn, each block at the running offset, the
// table's bytes in order. 25 items of 40 bytes end in a short block; 22 in an empty last
// block (the item after the last full block is past the end), as the logo's 130 rows of
// 36 bytes (the built-in E0 layout of examples/glogo.fds, 13 rows a block) do.
TEST_F(Bloky, TabulkaSPrubeznymPosunem) {
    const std::tuple<unsigned, unsigned, size_t, std::string> pripady[] = {
        {130, 36, 12, "01D400" "000001"}, {25, 40, 4, "01B800" "007801"}, {22, 40, 4, "01B800" "000001"}};
    for (const auto& [polozek, bajtu, pocet, delky] : pripady) {
        Hlavicka h = hlavicka_tabulky(bajtu == 36 ? "E0" : "E5");
        if (bajtu == 36) {
            h.kapacita = "0001";
            EXPECT_EQ(h.fds_soubor(), precti_soubor(std::filesystem::path(KASLNK_SOURCE_DIR) / "examples/glogo.fds"));
        } else {
            pouzij_tabulku(tabulka_polozek("E5", std::to_string(polozek) + "N40+"));
        }
        std::string hex;
        ASSERT_EQ(postav(h, data_tabulky(polozek, bajtu, &hex)), Chyba(0, 0));
        std::vector<std::string> v = bloky();
        ASSERT_EQ(v.size(), pocet);
        std::string prenesene;
        for (size_t k = 1; k < v.size(); ++k) {
            std::string poradi_a_priznak = std::to_string((k + 1) % 10) + (k + 1 < pocet ? "00" : "01");
            EXPECT_EQ(v[k].substr(1, 1) + v[k].substr(10, 2), poradi_a_priznak);
            EXPECT_EQ(std::stoul(v[k].substr(2, 4), nullptr, 16), prenesene.size() / 2) << k;
            EXPECT_EQ(std::stoul(v[k].substr(6, 4), nullptr, 16), (v[k].size() - 14) / 2) << k;
            prenesene += v[k].substr(12, v[k].size() - 14);
        }
        EXPECT_EQ(prenesene, hex);
        EXPECT_EQ(v[pocet - 2].substr(6, 6) + v[pocet - 1].substr(6, 6), delky);
    }
}

TEST_F(Bloky, NeodeslatelneRozlozeniSeOdmitnePredStavbou) {
    // Four items of 99 bytes fit one block (804 characters); a fifth would make it 1002.
    pouzij_tabulku(tabulka_polozek("E5", "4N99+"));
    ASSERT_EQ(postav(hlavicka_tabulky("E5"), data_tabulky(4, 99)), Chyba(0, 0));
    EXPECT_EQ(bloky().size(), 2u);
    std::filesystem::remove(adresar / "work02.tmp");
    pouzij_tabulku(tabulka_polozek("E5", "5N99+"));
    EXPECT_EQ(postav(hlavicka_tabulky("E5"), data_tabulky(5, 99)), Chyba(66, 5));
    EXPECT_FALSE(existuje("work02.tmp"));

    // A record of 510 bytes leaves no room in a block.
    std::string skupiny = "FF,FF,00,00,00,00,00,00,00,00,00,00,00,00,00,00";
    pouzij_tabulku("F:E6\r\nS:" + skupiny + "\r\nT:3N85+.3N85+.C\r\nX \r\n");
    EXPECT_EQ(postav(hlavicka_souboru("E6", skupiny), ""), Chyba(66, 3));
    EXPECT_FALSE(existuje("work02.tmp"));
}

}  // namespace
