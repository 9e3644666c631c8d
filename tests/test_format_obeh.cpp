// Round trip of every built-in layout: record bytes -> text -> record bytes are the same,
// except that P bytes come back as zero, a positive S field comes back with sign nibble 0
// and bits that no bit group of a B item covers come back as zero.
#include "format_pomocne.h"  // first: see there

#include <random>

#include "format/polozky.h"
#include "format/z_textu.h"
#include "format/znaky.h"

namespace {

const char HEX[] = "0123456789ABCDEF";

std::string bajt(unsigned v) { return {HEX[(v >> 4) & 15], HEX[v & 15]}; }

// The bits a B item's groups cover.
unsigned pokryte_bity(size_t zavorka) {
    unsigned maska = 0;
    for (size_t i = zavorka + 1; formatstring[i] != ')'; ++i)
        if (formatstring[i] >= '0' && formatstring[i] <= '7') maska |= 1u << (formatstring[i] - '0');
    return maska;
}

class Obeh : public FormatTest {
protected:
    std::mt19937 nahoda{20240611};

    unsigned nahodny_bajt() { return nahoda() & 0xFF; }

    // A T byte that survives: no LF in a file's line; with the conversion, only bytes the
    // two tables map to each other.
    unsigned znak_textu(bool radky) {
        for (;;) {
            unsigned c = nahodny_bajt();
            unsigned zapsany = konverzeW_C ? kasatowin(static_cast<uint8_t>(c)) : c;
            if (radky && zapsany == '\n') continue;
            if (konverzeW_C && wintokasa(kasatowin(static_cast<uint8_t>(c))) != c) continue;
            return c;
        }
    }

    // Random record bytes for the item list, and what must come back.
    std::pair<std::string, std::string> zaznam(bool radky) {
        const SeznamPolozek& s = seznam_polozek(1, 33);
        std::string puvodni, zpet;
        for (size_t i = 0; i < s.pocet; ++i) {
            const Polozka& p = s.p[i];
            for (unsigned k = 0; k < p.sirka; ++k) {
                unsigned v = p.pismeno == 'T' ? znak_textu(radky) : nahodny_bajt();
                puvodni += bajt(v);
                if (p.pismeno == 'P') zpet += "00";
                else if (p.pismeno == 'B') zpet += bajt(v & pokryte_bity(p.pozice + 1));
                else if (p.pismeno == 'S' && k + 1 == p.sirka) zpet += bajt((v & 0xF0) | ((v & 15) == 0xD ? 0xD : 0));
                else zpet += bajt(v);
            }
        }
        return {puvodni, zpet};
    }

    void soubor(const Hlavicka& h, size_t zaznamu) {
        SCOPED_TRACE("soubor " + h.soubor);
        popis(h);
        najdi_format();
        std::vector<std::string> puvodni, zpet;
        for (size_t i = 0; i < zaznamu; ++i) {
            auto [z, o] = zaznam(true);
            puvodni.push_back(z);
            zpet.push_back(o);
        }
        char poradi = '0';
        ASSERT_EQ(prijmi(stazeni(h, puvodni, 968 / (2 * delka_zaznamu), poradi)), (Chyba{0, 0}));
        size_t radku = 0;
        ASSERT_EQ(chyba_z([&] {
                      dataf = otevri_soubor(tt.datovy_soubor, 'r');
                      for (; nacti_radek_dat(dataf); ++radku) {
                          preved_radek_na_zaznam();
                          ASSERT_LT(radku, zpet.size());
                          EXPECT_EQ(std::string(ss), zpet[radku]) << "zaznam " << radku;
                      }
                  }),
                  (Chyba{0, 0}));
        EXPECT_EQ(radku, zaznamu);
        zavri_soubory_formatu();
    }

    void tabulka(const std::string& kod) {
        SCOPED_TRACE("tabulka " + kod);
        popis(hlavicka_tabulky(kod));
        najdi_format();
        auto [data, zpet] = zaznam(false);
        // In two blocks, the first with an odd number of bytes when there are enough.
        size_t pul = (data.size() / 4) * 2 + (data.size() > 4 ? 2 : 0);
        if (pul >= data.size()) pul = data.size();
        std::string w = blok_hlavicky(hlavicka_tabulky(kod)) +
                        blok_tabulky('1', 0, data.substr(0, pul), pul == data.size());
        if (pul < data.size()) w += blok_tabulky('2', static_cast<unsigned>(pul / 2), data.substr(pul), true);
        ASSERT_EQ(prijmi(w), (Chyba{0, 0}));
        ASSERT_EQ(chyba_z([&] {
                      dataf = otevri_soubor(tt.datovy_soubor, 'r');
                      b = 0;
                      size_t pozice = 0;
                      while (!preved_polozku_tabulky(pozice)) {}
                  }),
                  (Chyba{0, 0}));
        EXPECT_EQ(std::string(blok, b), zpet);
        zavri_soubory_formatu();
    }
};

const std::vector<Hlavicka> SOUBORY = {
    hlavicka_plu(),
    hlavicka_souboru("01", "01,03,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00"),
    hlavicka_souboru("01", "01,00,00,04,10,00,00,00,0B,0B,00,00,00,00,00,00"),
    hlavicka_souboru("A4", "02,08,00,00,00,00,00,00,00,00,00,00,00,00,00,00"),
    hlavicka_souboru("41", "01,01,00,00,08,00,00,00,0B,00,00,00,00,00,00,00"),
    hlavicka_souboru("21", "02,00,00,00,00,00,00,00,0B,0B,00,00,00,00,00,00"),
    hlavicka_souboru("61", "01,00,00,00,00,00,00,00,0B,00,00,00,00,00,00,00"),
};

TEST_F(Obeh, KazdyVestavenySoubor) {
    for (const auto& h : SOUBORY) soubor(h, 150);
}

TEST_F(Obeh, KazdyVestavenySouborSKonverziZnaku) {
    konverzeW_C = 1;
    for (const auto& h : SOUBORY) soubor(h, 60);
}

TEST_F(Obeh, KazdaVestavenaTabulka) {
    for (int opakovani = 0; opakovani < 4; ++opakovani)
        for (const char* kod : {"D0", "D2", "D7", "C9", "D1", "D8", "C4", "C8"}) tabulka(kod);
    konverzeW_C = 1;
    tabulka("D2");
}

}  // namespace
