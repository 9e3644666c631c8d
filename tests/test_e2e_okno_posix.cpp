// The window offscreen: "kaslnk --command 40005" makes it run its command file against the
// simulator in a child process, the register search and the PLU analysis likewise; a
// failing command file ends only that child.
#if defined(KASLNK_SIM_BINARY) && defined(KASLNK_OKNO_BINARY)
#include <memory>
#include <thread>

#include "e2e_pomocne.h"

namespace {

using namespace e2e;

TEST_F(E2E, OknoSpoustiPrenosyJakoPotomkyAPreziChybu) {
    fs::copy_file(KASLNK_OKNO_BINARY, adresar / "kaslnk-okno");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("KASLNK_OKNO_BEZ_DOTAZU", "1", 1);  // boxes to stderr, answered with their first button
    setenv("XDG_RUNTIME_DIR", adresar.c_str(), 1);
    spust_simulator();
    zapis("prikaz.cmd", HLAVICKA + CTI_PLU + ";plu_okno\r\n");
    Beh okno;
    std::thread vlakno([&] { okno = spust({"/w", "prikaz.cmd"}); });
    auto posli = [&](const char* id) {  // until the window listens
        return cekej_az([&] { return spust({"--command", id}).kod == 0; }, 30000);
    };
    auto cekej_na = [&](const std::string& co, size_t kolikrat) {
        for (int i = 0; i < 600; ++i) {
            std::string e;
            for (const auto& f : fs::directory_iterator(adresar))
                if (f.path().extension() == ".err") e += precti_soubor(f.path());
            size_t n = 0;
            for (size_t p = e.find(co); p != std::string::npos; p = e.find(co, p + 1)) ++n;
            if (n >= kolikrat) return e;
            usleep(50000);
        }
        return std::string();
    };
    auto zavri = [&] {  // Konec; a window that does not listen is killed by spust's limit
        if (!vlakno.joinable()) return;
        posli("40026");
        vlakno.join();
    };
    std::shared_ptr<void> uklid(nullptr, [&](void*) { zavri(); });
    ASSERT_FALSE(cekej_na("konec 0", 1).empty()) << "the start's transfer";
    ASSERT_TRUE(posli("40005"));
    std::string e = cekej_na("konec 0", 2);
    EXPECT_NE(e.find("Komunikace uspesne ukoncena."), std::string::npos) << e;
    EXPECT_EQ(radky(precti("plu_okno.dat")).size(), 367u);
    // The search in a child asks the window (answered Yes), then the PLU analysis.
    ASSERT_TRUE(posli("40015"));
    e = cekej_na("konec 0", 3);
    EXPECT_NE(e.find("kaslnk-okno: Mám nalezené hodnoty zapsat"), std::string::npos) << e;
    EXPECT_NE(e.find("Nalezl jsem pokladnu na portu 1,"), std::string::npos) << e;
    EXPECT_EQ(precti("prikaz.cmd").substr(0, 10), "000001,1,6");
    fs::copy_file(fs::path(KASLNK_SOURCE_DIR) / "examples" / "fdsu.cmx", adresar / "fdsu.cmx");
    ASSERT_TRUE(posli("40022"));
    EXPECT_NE(cekej_na("konec 0", 4).find("Soubor PLU ma nazev dlouhy"), std::string::npos);
    zapis("prikaz.cmd", HLAVICKA + "/70-00/;plu\r\n");
    ASSERT_TRUE(posli("40005"));
    e = cekej_na("konec 1", 1);
    EXPECT_NE(e.find("Chyba 51, 36"), std::string::npos) << e;
    EXPECT_NE(e.find("chybou (kód 1)"), std::string::npos) << e;  // on the terminal screen
    EXPECT_TRUE(posli("40026"));  // still running: Konec closes it
    vlakno.join();
    EXPECT_EQ(okno.kod, 0) << okno.err;
}

}  // namespace

#endif
