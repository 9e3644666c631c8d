// Rewriting the port and speed digits of the command files in place.
#include "core/prepis_cmd.h"
#include "pomocne.h"

namespace {

struct PripadPrepisu {
    const char* nazev;
    std::vector<std::pair<std::string, std::string>> soubory;  // name, contents before
    int rezim;
    uint32_t port, rychlost;
    std::vector<std::string> po;  // contents after, in the same order
    int chyba, podkod;            // err that ends it (0: none)
    const char* zprava;
};

class Prepis : public ProgramovyAdresar {};

TEST_F(Prepis, JedenZnakKazdehoSouboru) {
    const std::string L1 = "000001,6,5,1,ERA", L2 = "\r\n/20-00/11///B000/;plu\r\n";
    const PripadPrepisu pripady[] = {
        {"port 3", {{"a.cmd", L1 + L2}}, PREPIS_PORT, 3, 19200, {"000001,3,5,1,ERA" + L2}, 0, 0, ""},
        {"2400", {{"a.cmd", L1 + L2}}, PREPIS_RYCHLOST, 6, 2400, {"000001,6,3,1,ERA" + L2}, 0, 0, ""},
        {"two-character fields keep their second character", {{"a.CMD", "000001,12,56,1,era"}}, PREPIS_OBOJI, 4,
         4800, {"000001,42,46,1,era"}, 0, 0, ""},
        {"network form and other extensions untouched",
         {{"a.cmd", "192.168.1.5,6,5,1,era"}, {"b.cmx", L1}, {"c.txt", L1}}, PREPIS_OBOJI, 3, 2400,
         {"192.168.1.5,6,5,1,era", L1, L1}, 0, 0, ""},
        // A comma on a later line is not the header's.
        {"no comma: port", {{"a.cmd", L1}, {"b.cmd", "bez carky" + L2}, {"c.cmd", L1}}, PREPIS_PORT, 3, 2400,
         {"000001,3,5,1,ERA", "bez carky" + L2, L1}, 51, 1, ""},
        {"no comma: speed", {{"a.cmd", L1}, {"b.cmd", "bez carky\n,6,5"}}, PREPIS_RYCHLOST, 3, 2400,
         {"000001,6,3,1,ERA", "bez carky\n,6,5"}, 51, 3, ""},
        {"one comma: speed", {{"a.cmd", "000001,6" + L2}}, PREPIS_RYCHLOST, 3, 2400, {"000001,6" + L2}, 51, 6, ""},
        {"no command file", {{"a.cmx", L1}}, PREPIS_PORT, 3, 2400, {L1}, 0, 0, "Prikazovy soubor nenalezen.\n"},
    };
    for (const PripadPrepisu& p : pripady) {
        SCOPED_TRACE(p.nazev);
        for (const auto& [jmeno, obsah] : p.soubory) zapis(jmeno, obsah);
        boxy.clear();
        s.tt.cislo_portu = p.port;
        s.tt.rychlost = p.rychlost;
        aktualizuj_asci_promenne(s);
        OCEKAVEJ_CHYBU(prepis_soubory(s, p.rezim), p.chyba, p.podkod);
        EXPECT_EQ(zpravy(), p.zprava);
        for (size_t i = 0; i < p.soubory.size(); ++i) {
            EXPECT_EQ(precti(p.soubory[i].first), p.po[i]) << p.soubory[i].first;
            std::filesystem::remove(adresar / p.soubory[i].first);
        }
    }
}

}  // namespace
