// The OS layer behind platform/platform.h, on whichever OS the tests run. The directory
// lock is checked where the transfer takes it (a second start, another process, a lock
// that cannot be made).
#include <cstdlib>
#include <ctime>

#include "platform/platform.h"
#include "pomocne.h"

namespace {

namespace fs = std::filesystem;

TEST(Platforma, CasVytvoreniAMistniCas) {
    fs::path a = novy_docasny_adresar();
    zapis_soubor(a / "novy.dat", "x");
    EXPECT_LE(std::llabs(plat_cas_vytvoreni((a / "novy.dat").string()) - std::time(nullptr)), 5);
    EXPECT_EQ(plat_cas_vytvoreni((a / "neni.dat").string()), -1);
    // The local time agrees with the library's clock.
    MistniCas c = plat_mistni_cas();
    std::tm t{};
    t.tm_year = c.rok - 1900, t.tm_mon = c.mesic - 1, t.tm_mday = c.den;
    t.tm_hour = c.hodina, t.tm_min = c.minuta, t.tm_sec = c.sekunda, t.tm_isdst = -1;
    EXPECT_LE(std::abs(std::difftime(std::mktime(&t), std::time(nullptr))), 5.0);
    fs::remove_all(a);
}

}  // namespace
