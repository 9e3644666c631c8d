// Round trip of every built-in layout: record bytes -> text -> record bytes are the same,
// except that P bytes come back as zero, a positive S field with sign nibble 0 and bits
// that no bit group of a B item covers as zero.
#include "format_pomocne.h"

#include <random>

#include "format/polozky.h"
#include "format/z_textu.h"
#include "format/znaky.h"

namespace {

class Obeh : public FormatTest {
protected:
    std::mt19937 nahoda{20240611};

    // A T byte that survives: no LF in a file's line; with the conversion, only bytes the
    // two tables map to each other.
    bool text_projde(unsigned c, bool radky) {
        unsigned zapsany = s.konverzeW_C ? kasatowin(static_cast<uint8_t>(c)) : c;
        return !(radky && zapsany == '\n') && (!s.konverzeW_C || wintokasa(static_cast<uint8_t>(zapsany)) == c);
    }

    // Random record bytes for the found item list, and what must come back.
    std::pair<std::string, std::string> zaznam(bool radky) {
        const SeznamPolozek& seznam = seznam_polozek(s, 1, 33);
        std::string puvodni, zpet;
        for (size_t i = 0; i < seznam.pocet; ++i) {
            const Polozka& p = seznam.p[i];
            unsigned maska = 0;  // the bits the groups of a B item cover
            for (size_t k = p.pozice + 2; p.pismeno == 'B' && s.formatstring[k] != ')'; ++k)
                if (s.formatstring[k] >= '0' && s.formatstring[k] <= '7') maska |= 1u << (s.formatstring[k] - '0');
            for (unsigned k = 0; k < p.sirka; ++k) {
                unsigned v = nahoda() & 0xFF;
                while (p.pismeno == 'T' && !text_projde(v, radky)) v = nahoda() & 0xFF;
                puvodni += static_cast<char>(v);
                if (p.pismeno == 'P') v = 0;
                if (p.pismeno == 'B') v &= maska;
                if (p.pismeno == 'S' && k + 1 == p.sirka) v = (v & 0xF0) | ((v & 15) == 0xD ? 0xD : 0);
                zpet += static_cast<char>(v);
            }
        }
        return {hex(puvodni), hex(zpet)};
    }

    // Random records of the header's layout received, converted to text and read back: a
    // file's records in blocks of as many as fit, or a table's data in two blocks (the first
    // with an odd number of bytes when there are enough).
    void obeh(const Hlavicka& h, size_t zaznamu) {
        SCOPED_TRACE(h.soubor + h.tabulka);
        popis(h);
        najdi_format(s);
        const bool soubor = s.filetyp == 1;
        std::vector<std::string> puvodni, zpet, nactene;
        for (size_t i = 0; i < (soubor ? zaznamu : 1); ++i) {
            auto [z, o] = zaznam(soubor);
            puvodni.push_back(z);
            zpet.push_back(o);
        }
        char poradi = '0';
        std::string w = blok_hlavicky(h), &data = puvodni[0];
        size_t pul = std::min(data.size(), (data.size() / 4) * 2 + (data.size() > 4 ? 2 : 0));
        if (soubor) {
            w = stazeni(h, puvodni, 968 / (2 * s.delka_zaznamu), poradi);
        } else {
            w += blok_tabulky('1', 0, data.substr(0, pul), pul == data.size());
            if (pul < data.size()) w += blok_tabulky('2', static_cast<unsigned>(pul / 2), data.substr(pul), true);
        }
        ASSERT_EQ(prijmi(w), (Chyba{0, 0}));
        ASSERT_EQ(chyba_z([&] {
                      s.dataf = otevri_soubor(s, s.tt.datovy_soubor, 'r');
                      s.b = 0;
                      size_t pozice = 0;
                      while (soubor && nacti_radek_dat(s, s.dataf)) {
                          preved_radek_na_zaznam(s);
                          nactene.push_back(s.ss);
                      }
                      while (!soubor && !preved_polozku_tabulky(s, pozice)) {}
                      if (!soubor) nactene.push_back(std::string(s.blok, s.b));
                  }),
                  (Chyba{0, 0}));
        EXPECT_EQ(nactene, zpet);
        zavri_soubory_formatu(s);
    }
};

TEST_F(Obeh, KazdyVestavenySouborATabulkaSKonverziZnakuIBezNi) {
    for (int kolo = 0; kolo < 4; ++kolo) {
        s.konverzeW_C = kolo % 2;
        for (const auto& h : vestavene_soubory()) obeh(h, 60);
        for (const char* kod : VESTAVENE_TABULKY) obeh(hlavicka_tabulky(kod), 1);
    }
}

}  // namespace
