#include <gtest/gtest.h>

#include "core/chyby.h"
#include "core/kodovani.h"

TEST(Chyby, TextyPresneDleTabulky) {
    EXPECT_STREQ(errmsg[6], "Send packet error ");
    EXPECT_STREQ(errmsg[98], "Neproveden\xFD reset pokladny");
    EXPECT_STREQ(text_chyby(500), "");
    EXPECT_STREQ(text_chyby(75), "");
}

TEST(Kodovani, Cp1250TamAZpet) {
    std::string cz = "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2";
    EXPECT_EQ(cp1250_na_utf8(cz), "Příliš žluťoučký kůň");
    EXPECT_EQ(utf8_na_cp1250("Příliš žluťoučký kůň"), cz);
}
