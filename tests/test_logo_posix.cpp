// The logo converter on BMP pictures that ImageMagick made (not only pictures of our
// own making): palettes, row order, the density rules, other sizes and short files.
#include <cstdlib>
#include <functional>

#include "format/logo.h"
#include "pomocne.h"

namespace {

using Obrazek = std::function<bool(int x, int y)>;  // black dot; y = 0 is the top row

// Glogo.dat as it must come out: the top row first, a 1 bit for a black dot, the leftmost
// dot in the high bit; the first `bile` rows from the top white.
std::string ocekavane_glogo(const Obrazek& cerna, int bile = 0) {
    std::string t;
    char dvojice[12];
    for (int y = 0; y < LOGO_VYSKA; ++y, t += "\r\n")
        for (int k = 0; k < LOGO_SIRKA / 8; ++k) {
            int b = 0;
            for (int i = 0; i < 8; ++i) b = b * 2 + (y >= bile && cerna(k * 8 + i, y));
            std::snprintf(dvojice, sizeof dvojice, "%02X", b);
            t += dvojice;
        }
    return t;
}

class Logo : public ProgramovyAdresar {
protected:
    // The picture written as a plain PBM, turned into a 1-bit BMP by ImageMagick.
    std::string bmp(int sirka, int vyska, const Obrazek& cerna) {
        std::string pbm = "P1\n" + std::to_string(sirka) + " " + std::to_string(vyska) + "\n";
        for (int y = 0; y < vyska; ++y, pbm += "\n")
            for (int x = 0; x < sirka; ++x) pbm += cerna(x, y) ? '1' : '0';
        zapis("obr.pbm", pbm);
        std::string prikaz = "convert " + cesta("obr.pbm") + " +dither -colors 2 BMP3:" + cesta("obr.bmp");
        EXPECT_EQ(std::system(prikaz.c_str()), 0) << "ImageMagick is installed by scripts/setup.sh";
        return precti("obr.bmp");
    }
};

// n(y) black dots at the left of row y.
Obrazek radky(std::function<int(int)> n) { return [n](int x, int y) { return x < n(y); }; }

TEST_F(Logo, ObrazkyZImageMagick) {
    const std::tuple<const char*, Obrazek, int> pripady[] = {
        {"all white", [](int, int) { return false; }, 0},
        {"all black: 127 bands each way and the total", [](int, int) { return true; }, 2 * 127 + 1},
        {"13104 dots spread evenly", radky([](int y) { return y < 104 ? 101 : 100; }), 0},
        {"13105 dots", radky([](int y) { return y < 105 ? 101 : 100; }), 1},
        {"eight rows of 157", radky([](int y) { return y >= 10 && y < 18 ? 157 : 0; }), 0},
        {"a row of 158 above seven of 157", radky([](int y) { return y == 10 ? 158 : y > 10 && y < 18 ? 157 : 0; }), 1},
        {"a pattern", [](int x, int y) { return (x * 7 + y * 3) % 11 == 0; }, 0},
    };
    for (const auto& [nazev, cerna, poruseni] : pripady) {
        SCOPED_TRACE(nazev);
        RozborLoga v = rozeber_bmp(bmp(LOGO_SIRKA, LOGO_VYSKA, cerna));
        EXPECT_FALSE(v.pochybny);
        EXPECT_EQ(v.poruseni, poruseni);
        EXPECT_EQ(v.glogo, ocekavane_glogo(cerna));
    }
}

TEST_F(Logo, JinaVelikostKratkySouborNeBmp) {
    // Another size: doubtful, its bytes taken as rows of 36 (100 x 50 white: 800 bytes).
    RozborLoga v = rozeber_bmp(bmp(100, 50, [](int, int) { return false; }));
    EXPECT_TRUE(v.je_bmp && v.pochybny);
    EXPECT_EQ(v.glogo, ocekavane_glogo([](int, int) { return false; }));

    // A file cut after 65 stored rows: the missing upper rows are white.
    Obrazek vzor = radky([](int y) { return 20 + y % 50; });
    v = rozeber_bmp(bmp(LOGO_SIRKA, LOGO_VYSKA, vzor).substr(0, LOGO_HLAVICKA + 65 * 36));
    EXPECT_FALSE(v.pochybny);
    EXPECT_EQ(v.glogo, ocekavane_glogo(vzor, 65));
    std::string velky = bmp(LOGO_SIRKA, LOGO_VYSKA, vzor);
    velky[34] = 0x11, velky[35] = 0x27;  // image size 10001
    EXPECT_FALSE(rozeber_bmp(velky).je_bmp);
}

}  // namespace
