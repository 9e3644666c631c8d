// Transfer control: the worker, its end in each run mode, refused second starts, the
// program-directory lock, batches and the built-in operations, all without a port
// (nokomun: reads replay work01.tmp, sends stop after building work02.tmp).
#include "format_pomocne.h"

#include <chrono>
#include <future>
#include <thread>

#include "core/hodiny.h"
#include "core/log.h"
#include "core/prenos.h"
#include "core/prikazovy_radek.h"
#include "core/terminal.h"
#include "link/bloky.h"
#include "link/vestavene.h"
#include "platform/platform.h"
#include "virtualni_linka.h"

namespace {

const std::string HLAVICKA = "000001,1,6,1,era\r\n";

class Prenos : public ProgramovyAdresar {
protected:
    void SetUp() override {
        ProgramovyAdresar::SetUp();
        s.ShowProgress = 0;
        s.nokomun = 1;
        s.sluzby.cekani = [](uint32_t) {};
        for (const char* f : {"p_time.fds", "fdsu.cmx"})
            zapis(f, precti_soubor(std::filesystem::path(KASLNK_SOURCE_DIR) / "examples" / f));
        zapis("p_time.dat", "06,12,24,21,11\r\n");
    }

    void prikazy(const std::string& jmeno, const std::string& radky) {
        zapis(jmeno, HLAVICKA + radky);
        s.tt.jmeno_cmd = jmeno;
    }
    // Waits for the worker to signal its end and releases it; started here when `spustit`.
    // The worker's exit code ends the caller's work too.
    void dokonci(bool spustit = false) {
        if (spustit) {
            ASSERT_EQ(komunikuj(s), 1);
        }
        ASSERT_TRUE(s.eventKonecRSPrenosu.cekej(10000));
        EXPECT_EQ(KONEC(dokonci_vlakno(s)), kod_konce_vlakna(s));
    }
};

// The worker's end in each run mode: the exit code it leaves, the log, the messages (the
// result files are checked end to end).
TEST_F(Prenos, KonecVlaknaPodleRezimu) {
    s.AUTOMAT = 1;
    prikazy("x.cmd", "/10-00/;P_TIME\r\n/10-00/;p_time\r\n");
    dokonci(true);
    EXPECT_EQ(kod_konce_vlakna(s), 0);
    EXPECT_EQ(radky_logu(), std::vector<std::string>(2, "00,000001,/10-00/;1,0000"));  // either spelling
    EXPECT_EQ(zpravy(), "");
    EXPECT_TRUE(existuje("work02.tmp"));  // nokomun keeps what was built

    s.AUTOMAT = 0;
    s.WINDOW = 1;
    s.rawdebug = 1;
    zapis("rsdata", "traffic of an older transfer");
    dokonci(true);
    EXPECT_EQ(kod_konce_vlakna(s), -1);
    EXPECT_EQ(zpravy(), "Komunikace uspesne ukoncena.\n");
    EXPECT_EQ(precti("rsdata"), "");  // created anew, and nokomun sent nothing
    EXPECT_FALSE(bezi_prenos(s));

    s.WINDOW = s.rawdebug = 0;
    prikazy("x.cmd", "/10-00/;p_time\r\n/10-00/;chybi\r\n");
    dokonci(true);
    EXPECT_EQ(kod_konce_vlakna(s), 1);
    EXPECT_EQ(radky_logu().back(), "30,000001,/10-00/;1,0001");
}

// With /status a send asks for the register's status: a status other than 0 makes the
// result 98, which the later operations of the transfer log too, with its own end message.
// A status inquiry that fails ends the transfer with its own error.
TEST_F(Prenos, KontrolaStavuPoOdeslani) {
    const Hlavicka plu = hlavicka_plu();
    zapis("plu.fds", plu.fds_soubor());
    zapis("plu.dat", "");
    s.TestStatus = 1;
    s.debug = 1;  // keeps the replayed status block for every inquiry
    zapis("work01.tmp", ramec("0" "0012" "000102030405060708090A0B0C0D0E0F1011"));
    prikazy("x.cmd", "/10-00/;plu\r\n/10-00/;p_time\r\n");
    dokonci(true);
    EXPECT_EQ(radky_logu(), (std::vector<std::string>{"00,000001,/10-00/;1,0000", "98,000001,/10-00/;1,0000"}));
    EXPECT_EQ(precti("err") + precti("error.txt"), "38\r\n");
    EXPECT_NE(zpravy().find("Komunikace ukon\xE8" "ena,\r\nale data nebyla kompletn\xEC p\xF8" "enesena."),
              std::string::npos);
    EXPECT_EQ(zpravy().find("uspesne"), std::string::npos);

    std::filesystem::remove(adresar / "era.log");
    std::filesystem::remove(adresar / "work01.tmp");
    prikazy("x.cmd", "/10-00/;plu\r\n/10-00/;p_time\r\n");
    dokonci(true);
    EXPECT_EQ(kod_konce_vlakna(s), 1);
    EXPECT_EQ(radky_logu(), (std::vector<std::string>{"00,000001,/10-00/;1,0000", "30,000001,/99-00/;1,0001"}));
    EXPECT_EQ(precti("err") + precti("error.txt"), "19\r\n");
}

// The network form of a command file outside a batch: refused before the worker starts.
TEST_F(Prenos, SitMimoDavkuSeHlasiPredVlaknem) {
    zapis("sit.cmd", "1.2.3.4,5.6.7.8,era\r\n/10-00/;p_time\r\n");
    s.tt.jmeno_cmd = "sit.cmd";
    OCEKAVEJ_CHYBU(komunikuj(s), 51, CHYBA_SIT_MIMO_DAVKU);
    EXPECT_FALSE(bezi_prenos(s));
    EXPECT_NE(precti("era.log").find(",51,5.6.7.8,/10-00/;0062\r\n"), std::string::npos);
}

TEST_F(Prenos, DruhyStartSeOdmitne) {
    // The worker's waits hold until the refusals below are checked, however slow the machine.
    std::promise<void> pust;
    std::shared_future<void> pusteno = pust.get_future().share();
    const std::thread::id test = std::this_thread::get_id();
    s.sluzby.cekani = [&](uint32_t) {
        if (std::this_thread::get_id() != test) pusteno.wait();
    };
    prikazy("x.cmd", "/10-00/;p_time\r\n");
    ASSERT_EQ(komunikuj(s), 1);
    zapis("p_time.dat", "99,01,01,00,00\r\n");
    EXPECT_EQ(komunikuj(s), 0);
    EXPECT_EQ(Inicializuj_davku(s), 0);
    EXPECT_EQ(Zkus_vsechny_soubory(s), 0);
    s.nastav_cas_datum();
    EXPECT_EQ(precti("p_time.dat"), "99,01,01,00,00\r\n");  // not rewritten
    pust.set_value();
    dokonci();
    ASSERT_EQ(boxy.size(), 4u);
    for (const std::string& box : boxy) EXPECT_NE(box.find("u\x9E b\xEC\x9E\xED"), std::string::npos) << box;
    // Once it has ended, the next start goes.
    dokonci(true);
}

// Another process in the program directory (the exit code and the untouched files of an
// automatic start are checked end to end): the window is told, the clock is not set.
TEST_F(Prenos, JinyProcesVAdresari) {
    int cizi = plat_zamkni(cesta(ZAMEK_ADRESARE));
    ASSERT_GE(cizi, 0);
    prikazy("x.cmd", "/10-00/;p_time\r\n");
    s.WINDOW = 1;
    EXPECT_EQ(komunikuj(s), 0);
    EXPECT_NE(zpravy().find("jin\xFD kaslnk"), std::string::npos);
    s.WINDOW = 0;
    s.AUTOMAT = 1;
    EXPECT_EQ(KONEC(s.nastav_cas_datum()), KOD_OBSAZENY_ADRESAR);
    EXPECT_EQ(precti("p_time.dat"), "06,12,24,21,11\r\n");
    EXPECT_EQ(boxy.size(), 1u);  // unattended: a line on standard error, no box
    plat_uvolni_zamek(cizi);
}

TEST_F(Prenos, Davka) {
    s.WINDOW = 1;  // a batch is started from the window
    zapis("t2.fds", precti("p_time.fds"));
    zapis("t2.dat", "07,01,02,03,04\r\n");
    prikazy("a.cmd", "/10-00/;p_time\r\n");
    prikazy("b.cmd", "/10-01/;t2\r\n");
    zapis("sit.cmd", "1.2.3.4,5.6.7.8,era\r\n/10-02/;p_time\r\n");
    prikazy("d.cmd", "/10-03/;p_time\r\n");
    zapis("noc.dav", "a\r\n  // not this one\r\n\r\nb.cmd\r\nsit\r\n  d\r\n");
    s.sluzby.vyber_davky = [this] {
        s.tt.davkovy_soubor = "noc.dav";
        return true;
    };
    ASSERT_EQ(Inicializuj_davku(s), 1);
    ASSERT_TRUE(s.eventKonecDavky.cekej(20000));
    dokonci_davku(s);
    EXPECT_EQ(radky_logu(), (std::vector<std::string>{"00,000001,/10-00/;1,0000", "00,000001,/10-01/;1,0000",
                                                     "00,000001,/10-03/;1,0000"}));
    EXPECT_EQ(zpravy(), "Komunikace uspesne ukoncena.\n");
    EXPECT_EQ(s.DAVKA, 0);
    EXPECT_NE(obrazovka().find("// not this one"), std::string::npos);
    // A batch that is cancelled signals its end at once.
    s.eventKonecDavky.zrus();
    s.sluzby.vyber_davky = [] { return false; };
    ASSERT_EQ(Inicializuj_davku(s), 1);
    EXPECT_TRUE(s.eventKonecDavky.cekej(10000));
}

TEST_F(Prenos, NastaveniCasu) {
    s.WINDOW = 1;
    s.sluzby.cas = [] { return MistniCas{2006, 12, 24, 21, 11, 0, 0}; };
    zapis("timd.cmx", OBSAH_TIMD);
    s.nastav_cas_datum();
    EXPECT_EQ(precti("work02.tmp"), ramec("1/HDR1/00D0000100000001" + std::string(34, '0')) +
                                        ramec("20000000501" "0612242111"));
    EXPECT_EQ(zpravy(), "\xC8" "as je v pokladn\xEC.\n");  // the transfer itself ran silently
    EXPECT_EQ(s.WINDOW, 1);
    EXPECT_EQ(s.tt.pripona_cmd, "cmd");
    // The wait runs out in the pause after the operation: the pause is cut short and the
    // clock set is reported as such.
    s.sluzby.cekani = nullptr;
    s.zpozdeni = 5000;
    s.sluzby.cekani_na_cas_ms = 50;
    std::filesystem::remove(adresar / "era.log");
    boxy.clear();
    auto zacatek = std::chrono::steady_clock::now();
    s.nastav_cas_datum();
    EXPECT_LT(std::chrono::steady_clock::now() - zacatek, std::chrono::seconds(4));
    EXPECT_EQ(zpravy(), "\xC8" "as je v pokladn\xEC.\n");
    EXPECT_EQ(radky_logu(), std::vector<std::string>{"00,000001,/10-00/;1,0000"});
}

// A register that does not answer, every read taking real time: the wait runs out inside
// the exchange. The worker ends and closes the port before 109/3 is reported, and adds no
// log line of its own.
TEST_F(Prenos, NastaveniCasuNeskonciVcas) {
    struct TichyPort : VirtualniPort {
        using VirtualniPort::VirtualniPort;
        long cti(uint8_t*, size_t) override {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            return 0;
        }
    };
    VirtualniLinka linka;
    s.nokomun = 0;
    s.sluzby.cekani_na_cas_ms = 20;
    s.sluzby.otvirac_portu = [&linka](uint32_t) { return OtevrenyPort{std::make_unique<TichyPort>(linka), "", 0, ""}; };
    zapis("timd.cmx", OBSAH_TIMD);
    OCEKAVEJ_CHYBU(s.nastav_cas_datum(), 109, 3);
    dokonci_vlakno(s);
    EXPECT_EQ(std::count(linka.udalosti.begin(), linka.udalosti.end(), "close"), 1);
    ASSERT_EQ(radky_logu().size(), 1u);
    EXPECT_EQ(radky_logu()[0].substr(0, 4), "109,");
}

TEST_F(Prenos, ZkouskaVsechSouboru) {
    OCEKAVEJ_CHYBU(Zkus_vsechny_soubory(s), 89, 17);
    // Every code 00..FF is read; here each read replays the same work file (debug keeps it).
    s.debug = 1;
    char poradi = '0';
    zapis("work01.tmp", stazeni(hlavicka_plu(), {std::string(84, '1')}, 11, poradi));
    prikazy("b.cmd", "/20-00/11/;plu\r\n");
    prikazy("a.cmd", "/20-00/11/;plu\r\n");
    EXPECT_EQ(Zkus_vsechny_soubory(s), 1);
    EXPECT_EQ(s.tt.jmeno_cmd, "a.cmd");
    EXPECT_EQ(s.tt.prikazovy_paket, "/20-00/FF/;test");
    EXPECT_EQ(precti("plu.dat").substr(0, 15), "11111111111111,");
    EXPECT_FALSE(existuje("era.log"));  // no log lines
}

TEST_F(Prenos, AnalyzaPameti) {
    Hlavicka plu = hlavicka_plu(), link = hlavicka_souboru("12", "05,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00");
    plu.kapacita = "0BB8";
    link.kapacita = "0064";
    zapis("work01.tmp", blok_hlavicky(plu, '0') + blok_hlavicky(link, '1'));
    analyzuj_PLUfds(s);
    EXPECT_EQ(precti("fds.dat"), "/HDR1/" + plu.pole(",") + "\r\n/HDR1/" + link.pole(",") + "\r\n");
    std::string t = obrazovka();
    size_t kde = 0;  // the lines in this order
    for (const char* radek : {"Soubor PLU ma nazev dlouhy 16 znaku.", "V pameti je misto pro 3000 PLU.", "Soubor EAN neexisuje.",
                              "V pameti je misto pro 100 Link PLU.", "Soubor Link EAN neexistuje."})
        EXPECT_NE(kde = t.find(radek, kde), std::string::npos) << radek << "\n" << t;

    plu.delky[4] = "0E";
    zapis("work01.tmp", blok_hlavicky(plu, '0'));
    OCEKAVEJ_CHYBU(analyzuj_PLUfds(s), 46, 10);
}

}  // namespace
