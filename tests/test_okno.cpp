// The window model with a scripted view: flows, editor file rules, search and replace,
// print arithmetic, paint arithmetic, the tools' dialogs and the channel to the window's
// children.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "core/kanal.h"
#include "core/nastroje.h"
#include "core/prenos.h"
#include "pomocne.h"
#include "format/logo.h"
#include "ui/dialogy.h"
#include "ui/editor.h"
#include "ui/okno.h"
#include "ui/prikazy.h"
#include "ui/texty.h"

namespace {

// A view that answers from a script and records what the model asked.
struct Pohled : PohledOkna {
    std::string titulek, editor;
    std::vector<std::string> boxy;
    std::string posledni() const { return boxy.empty() ? "(no box)" : boxy.back(); }  // fails, not crashes
    std::vector<int> odpovedi;  // for the next boxes; then IDOK_
    std::string cesta_otevrit, cesta_ulozit;  // empty: the dialog is cancelled
    std::vector<std::vector<std::string>> potomci;
    size_t od = 0, po = 0;
    std::function<bool(DialogLinky&)> linky;
    std::function<bool(DialogPortu&)> portu;
    bool konvertovat = false;

    void nastav_titulek(const std::string& t) override { titulek = t; }
    int box(const std::string& text, uint32_t) override {
        boxy.push_back(text);
        int o = odpovedi.empty() ? IDOK_ : odpovedi.front();
        if (!odpovedi.empty()) odpovedi.erase(odpovedi.begin());
        return o;
    }
    void ukaz_editor() override {}
    std::string text_editoru() override { return editor; }
    void nastav_text_editoru(const std::string& t) override { editor = t; }
    size_t konec_vyberu() override { return po; }
    void vyber(size_t a, size_t b) override { od = a, po = b; }
    void nahrad_vyber(const std::string& t) override { editor.replace(od, po - od, t), po = od + t.size(); }
    void uprav(int) override {}
    static bool dialog(const std::string& volba, std::string& cesta, std::string& jmeno) {
        return !volba.empty() && (cesta = volba, jmeno = volba.substr(volba.rfind('/') + 1), true);
    }
    bool dialog_otevrit(const std::string&, const std::string&, std::string& c, std::string& j) override {
        return dialog(cesta_otevrit, c, j);
    }
    bool dialog_ulozit(const std::string&, std::string& c, std::string& j) override { return dialog(cesta_ulozit, c, j); }
    void dialog_hledani(bool) override {}
    void dialog_pisma() override {}
    bool tiskni(const std::string&) override { return true; }
    std::function<void()> pri_napovede = [] {};  // while the modal help is open
    void ukaz_napovedu() override { pri_napovede(); }
    void ukaz_o_programu() override {}
    void zavri() override { boxy.push_back("zavreno"); }
    bool spust_potomka(const std::vector<std::string>& a) override { return potomci.push_back(a), true; }
    void odpovez_potomkovi(int) override {}
    void prekresli_terminal() override {}
    void kurzor(bool) override {}
    void tray(int, int) override {}
    bool dialog_linky(DialogLinky& d) override { return linky && linky(d); }
    bool dialog_portu(DialogPortu& d) override { return portu && portu(d); }
    bool nahled_loga(const NahledLoga& n) override { return n.cerny(0, 0) && konvertovat; }
    bool dialog_souboru(const std::string&, const std::string&, const std::string&, std::string& c) override {
        return !(c = cesta_otevrit).empty();
    }
};

class OknoModel : public ProgramovyAdresar {
protected:
    Pohled v;
    Okno okno{v, s, {"./kaslnk", "/q", "/w", "/t", "x.cmd"}};
    // Opens a file of the program directory into the editor.
    void otevri(const std::string& jmeno) {
        v.cesta_otevrit = cesta(jmeno);
        okno.prikaz(ID_OTEVRI);
    }
};

[[maybe_unused]] auto ms_od = [](auto t) { return (std::chrono::steady_clock::now() - t) / std::chrono::milliseconds(1); };

}  // namespace

TEST_F(OknoModel, NovyPoZmeneSePtaAUlozeniMuzeSelhat) {
    EXPECT_EQ(okno.prikaz(ID_ULOZ), 0);  // before New or Open: nothing
    EXPECT_EQ(okno.prikaz(40003), 0);    // an id without an entry
    okno.prikaz(ID_NOVY);
    EXPECT_EQ(v.titulek, "Komunikace s ER-A227E - (bez n\xE1zvu)");
    v.editor = "abc";
    okno.text_zmenen();
    v.odpovedi = {IDCANCEL_};
    okno.prikaz(ID_NOVY);
    EXPECT_EQ(v.editor, "abc");
    EXPECT_EQ(v.posledni(), "M\xE1m ulo\x9Eit zm\xECny proveden\xE9 v souboru (bez n\xE1zvu)?");
    // Yes: without a name the save dialog comes; a file that cannot be written keeps the text.
    v.odpovedi = {IDYES_};
    v.cesta_ulozit = cesta("chybi/x.cmd");
    okno.prikaz(ID_NOVY);
    EXPECT_EQ(v.editor, "abc");
    EXPECT_EQ(v.posledni(), "Nelze zapsat soubor x.cmd");
    EXPECT_TRUE(okno.potreba_ulozit());
    v.cesta_ulozit = cesta("y.cmd");
    EXPECT_EQ(okno.prikaz(ID_ULOZ_JAKO), 1);
    EXPECT_EQ(precti("y.cmd"), "abc");
    okno.text_zmenen();  // Konec asks too: Cancel stays, No closes
    v.odpovedi = {IDCANCEL_, IDNO_};
    okno.prikaz(ID_KONEC);
    EXPECT_EQ(v.posledni(), "M\xE1m ulo\x9Eit zm\xECny proveden\xE9 v souboru y.cmd?");
    okno.prikaz(ID_KONEC);
    EXPECT_EQ(v.posledni(), "zavreno");
    v.odpovedi = {IDNO_};
    okno.text_zmenen();
    okno.prikaz(ID_NOVY);
    EXPECT_EQ(v.editor, "");
}

TEST_F(OknoModel, SouboryEditoru) {
    zapis("ansi.cmd", std::string("ab\r\nc\0d", 8));
    zapis("le.cmd", std::string("\xFF\xFE\x61\x00\x0D\x01\x0D\x00\x0A\x00", 10));
    zapis("be.cmd", std::string("\xFE\xFF\x00\x61\x01\x0D\x00\x0D\x00\x0A", 10));
    zapis("velky.cmd", std::string(MAX_EDITOR, 'x'));
    otevri("ansi.cmd");
    EXPECT_EQ(v.editor, "ab\nc");
    EXPECT_EQ(v.titulek, "Komunikace s ER-A227E - ansi.cmd");
    otevri("le.cmd");
    EXPECT_EQ(v.editor, "a\xE8\n");
    otevri("be.cmd");
    EXPECT_EQ(v.editor, "a\xE8\n");
    okno.prikaz(ID_ULOZ);
    EXPECT_EQ(precti("be.cmd"), "a\xE8\r\n");  // CR LF, no mark
    otevri("velky.cmd");
    EXPECT_EQ(v.editor.size(), MAX_EDITOR);
    zapis("velky.cmd", std::string(MAX_EDITOR + 1, 'x'));
    v.boxy.clear();
    otevri("velky.cmd");
    EXPECT_EQ(zpravy(), "Soubor je prilis velky.\n");
    EXPECT_EQ(v.boxy, std::vector<std::string>{"Nemohu otev\xF8\xEDt soubor velky.cmd!"});
    EXPECT_EQ(v.titulek, "Komunikace s ER-A227E - (bez n\xE1zvu)");
    EXPECT_EQ(v.editor.size(), MAX_EDITOR);  // the previous text stays
}

TEST_F(OknoModel, HledaniANahrazovani) {
    v.editor = "banana";
    okno.hledani(Hledani::NAJDI_DALSI, "an", "");
    EXPECT_EQ(v.od, 1u);
    okno.hledani(Hledani::NAJDI_DALSI, "an", "");
    EXPECT_EQ(v.od, 3u);
    okno.hledani(Hledani::NAJDI_DALSI, "an", "");
    EXPECT_EQ(v.boxy, std::vector<std::string>{"Text nenalezen!"});  // no new start at the top
    v.po = 0;
    okno.prikaz(ID_NAHRAD);
    okno.hledani(Hledani::NAHRAD_VSE, "a", "aa");
    EXPECT_EQ(v.editor, "baanaanaa");
}

TEST_F(OknoModel, PotomciDediPrepinaceOknaANeVolbuOkna) {
    s.tt.jmeno_cmd.clear();
    okno.prikaz(ID_KOMUNIKUJ);  // no command file yet: no picker, the child ends in error 50/1
    okno.konec_potomka(1);
    v.cesta_otevrit = "/jinde/prikaz.cmd";
    okno.prikaz(ID_OTEVRI_A_KOMUNIKUJ);
    okno.prikaz(ID_DATUM_CAS);  // refused while the first child runs
    EXPECT_EQ(v.posledni(), TEXT_PRENOS_BEZI);
    okno.konec_potomka(1);
    okno.prikaz(ID_DATUM_CAS);
    using A = std::vector<std::string>;
    EXPECT_EQ(v.potomci, (std::vector<A>{A{"./kaslnk", "/q", "--window-op", "40005"}, A{"./kaslnk", "/q", "prikaz.cmd"},
                                         A{"./kaslnk", "/q", "/t"}}));
    EXPECT_NE(obrazovka().find("(k\xF3" "d 1)"), std::string::npos);
}

// A child's last port, speed and terminal are the window's; what no child can leave is ignored.
TEST_F(OknoModel, DialogyZacinajiZLinkyPotomka) {
    const std::string proud = zabal_zpravu({KANAL_LINKA, 3, 9600, "000007"}) + zabal_zpravu({KANAL_LINKA, 0, -5, "1234567"});
    CtenarKanalu c;
    c.pridej(proud.data(), proud.size());
    for (ZpravaKanalu z; c.dalsi(z);) okno.zprava_potomka(z);
    DialogPortu p = otevri_dialog_portu(s);
    EXPECT_EQ((std::vector<int>{p.port.vybrano, p.rychlost.vybrano, otevri_dialog_linky(s).rychlost.vybrano}),
              (std::vector<int>{2, 2, 5})) << s.tt.terminal;
    EXPECT_EQ(s.tt.terminal, "000007");
}

TEST(OknoMenu, PolozkyZkratkyASedivost) {
    std::map<int, int> pocet;
    std::map<std::string, int> zkratky;
    for (const PolozkaMenu& m : menu_okna()) {
        ++pocet[m.id];
        if (*m.zkratka) zkratky[m.zkratka] = m.id;
        EXPECT_TRUE(m.id >= PRVNI_PRIKAZ && m.id <= POSLEDNI_PRIKAZ) << m.id;
    }
    EXPECT_EQ(pocet[ID_OTEVRI_A_KOMUNIKUJ], 2);  // Proveď and the Akce item
    EXPECT_EQ(zkratky, (std::map<std::string, int>{{"Ctrl+K", ID_KOMUNIKUJ}, {"Ctrl+N", ID_NOVY},
        {"Ctrl+O", ID_OTEVRI}, {"Ctrl+P", ID_TISKNI}, {"Ctrl+S", ID_ULOZ}, {"Ctrl+Alt+S", ID_ULOZ_JAKO},
        {"Ctrl+F", ID_NAJDI}, {"F3", ID_NAJDI_DALSI}, {"Ctrl+R", ID_NAHRAD}}));
    SedeEditace s = sede_editace(false, true, false);
    EXPECT_TRUE(s.zpet && s.vyjmi && s.kopiruj && s.smaz && !s.vloz);
    s = sede_editace(true, false, true);
    EXPECT_TRUE(!s.zpet && !s.vyjmi && !s.kopiruj && !s.smaz && s.vloz);
}

TEST(OknoTisk, StrankyAPoradi) {
    Strankovani s = strankuj(800, 1000, 10, 18, 2, 101);
    EXPECT_EQ(s.vyska_radku, 20);
    EXPECT_EQ(s.znaku_na_radek, 80);
    EXPECT_EQ(s.radku_na_stranu, 50);
    EXPECT_EQ(s.stran, 3);
    EXPECT_EQ(strankuj(800, 10, 10, 18, 2, 5).stran, 0);  // not one line fits
    EXPECT_EQ(poradi_stran(2, 2, true), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_EQ(poradi_stran(2, 2, false), (std::vector<int>{0, 0, 1, 1}));
    EXPECT_EQ(radky_tisku("abcdef\n\nx", 4), (std::vector<std::string>{"abcd", "", "x"}));
}

TEST(OknoTerminal, OblastKresleni) {
    struct { int l, t, r, b, r0, r1, c0, c1; } pripady[] = {
        {0, 0, 8, 16, 0, 0, 0, 0},             // one cell
        {7, 15, 9, 17, 0, 1, 0, 1},            // a corner of four cells
        {0, 0, 2000, 2000, 0, 24, 0, 79},      // a window larger than the grid
        {900, 500, 1000, 600, 24, 24, 79, 79}, // beside the grid: its last cell
    };
    for (const auto& p : pripady) {
        OblastMrizky o = oblast_kresleni(p.l, p.t, p.r, p.b, 8, 16);
        EXPECT_EQ((std::vector<int>{o.prvni_radek, o.posledni_radek, o.prvni_sloupec, o.posledni_sloupec}),
                  (std::vector<int>{p.r0, p.r1, p.c0, p.c1})) << p.l << "," << p.t;
    }
}

TEST(OknoKanal, RamceProchaziPoBajtechAPoskozenyProudKonci) {
    std::string proud = zabal_zpravu({KANAL_TEXT, 0, 0, std::string("a\0\r", 3)}) +
                        zabal_zpravu({KANAL_BOX, 0x30, 0, "Chyba"}) + zabal_zpravu({KANAL_TRAY, 1, 402, ""});
    CtenarKanalu c;
    std::vector<ZpravaKanalu> z(1);
    for (char b : proud) {
        c.pridej(&b, 1);
        while (c.dalsi(z.back())) z.emplace_back();
    }
    ASSERT_EQ(z.size(), 4u);
    EXPECT_EQ(z[0].text, std::string("a\0\r", 3));
    EXPECT_EQ(z[1].a, 0x30);
    EXPECT_EQ(z[2].b, 402);
    c.pridej("X\0\0\0\0\0\0\0\0\0\0\0\0", 13);
    EXPECT_FALSE(c.dalsi(z[0]));
    EXPECT_TRUE(c.poskozeny());
}

// A 288 x 130 BMP, white but for the top left dot (the rows are stored bottom-up).
std::string bmp_s_teckou() {
    std::string b(LOGO_HLAVICKA, '\0');
    b[0] = 'B', b[1] = 'M', b[34] = 0x48, b[35] = 0x12;  // 4680 bytes of dots
    return b + std::string(LOGO_DATA - LOGO_RADEK, '\xFF') + '\x7F' + std::string(LOGO_RADEK - 1, '\xFF');
}

TEST(OknoDialogy, LinkaVybiraAUkladaHodnotyPolozek) {
    Sezeni s;
    s.tt.pripojeno = 1;
    DialogLinky d = otevri_dialog_linky(s);
    std::vector<std::string> vybrane;
    for (const Volba* v : {&d.port, &d.rychlost, &d.datove_bity, &d.parita, &d.stop_bity})
        vybrane.push_back(v->popisky[static_cast<size_t>(v->vybrano)]);
    EXPECT_EQ(vybrane, (std::vector<std::string>{"COM1", "19.2k", "7", "Odd", "1"}));
    EXPECT_FALSE(d.port.povolena);  // the port is open
    EXPECT_EQ(d.zaskrtnuto, (std::array<bool, POCET_ZASKRTNUTI>{false, true, false, true, true, true, false, true}));
    d.port.vybrano = 8, d.rychlost.vybrano = 8, d.datove_bity.vybrano = 3, d.parita.vybrano = 1;
    d.zaskrtnuto[DTR_DSR] = d.zaskrtnuto[XON_XOFF] = d.zaskrtnuto[NOTIFIKACE] = true;
    d.zaskrtnuto[RTS_CTS] = d.zaskrtnuto[AUTOWRAP] = false;
    uloz_dialog_linky(s, d);
    const TTYINFO& t = s.tt;
    EXPECT_EQ(std::vector<int>({int(t.cislo_portu), t.znak_portu, int(t.rychlost), t.znak_rychlosti, t.datove_bity,
                                t.parita, t.rizeni_toku, t.autowrap, t.prijem_notifikaci}),
              std::vector<int>({9, '9', 56000, '6', 8, 2, 5, 0, 0}));
    s.tt.rychlost = 14400;  // no entry: nothing selected, OK keeps it
    uloz_dialog_linky(s, otevri_dialog_linky(s));
    EXPECT_EQ(s.tt.rychlost, 14400u);
}

TEST(OknoDialogy, PortARychlostJen2400Az19200) {
    struct { uint32_t rychlost; int vybrano, volba; uint32_t ulozeno; char znak; } pripady[] = {
        {2400, 0, 3, 19200, '6'}, {19200, 3, 0, 2400, '3'}, {9600, 2, 1, 4800, '4'},
        {38400, -1, -1, 38400, '7'}, {1200, -1, 2, 9600, '5'},
    };
    for (const auto& p : pripady) {
        Sezeni s;
        s.tt.rychlost = p.rychlost;
        aktualizuj_asci_promenne(s);
        DialogPortu d = otevri_dialog_portu(s);
        EXPECT_EQ(d.rychlost.vybrano, p.vybrano) << p.rychlost;
        d.rychlost.vybrano = p.volba;
        d.port.vybrano = 2;
        uloz_dialog_portu(s, d);
        EXPECT_EQ(std::string({s.tt.znak_portu, s.tt.znak_rychlosti}), std::string({'3', p.znak})) << p.rychlost;
        EXPECT_EQ(s.tt.rychlost, p.ulozeno);
    }
}

TEST_F(OknoModel, NastrojeBeziJakoPotomci) {
    v.portu = [](DialogPortu& d) { return d.port.vybrano = 2, d.rychlost.vybrano = -1, true; };
    okno.prikaz(ID_NASTAV_PORT);
    okno.konec_potomka(KOD_NENALEZENO);  // reported by the tool itself
    okno.prikaz(ID_NASTAV_RYCHLOST);     // no speed chosen: nothing to write
    v.odpovedi = {IDNO_, IDYES_};
    okno.prikaz(ID_NAJDI_KASY);
    okno.prikaz(ID_NAJDI_KASY);
    okno.konec_potomka(0);
    v.linky = [](DialogLinky& d) { return d.datove_bity.vybrano = 3, true; };
    s.tt.pripojeno = 1;
    okno.prikaz(ID_NASTAVENI_LINKY);
    EXPECT_EQ(v.posledni(), "Settings failed!");
    okno.prikaz(ID_ANALYZA_PLU);
    okno.konec_potomka(0);
    v.cesta_otevrit = "/jinde/d.dav";
    okno.prikaz(ID_DAVKA);
    okno.konec_potomka(0);
    zapis("l.bmp", bmp_s_teckou());
    v.cesta_otevrit = cesta("l.bmp");
    okno.prikaz(ID_LOGO);  // Zrušit in the preview
    v.konvertovat = true;
    okno.prikaz(ID_LOGO);
    using A = std::vector<std::string>;
    const A l{"./kaslnk", "/q", "--line-format", "8,1,0,2"};
    auto sl = [&](A a) { return a.insert(a.begin(), l.begin(), l.end()), a; };
    EXPECT_EQ(v.potomci, (std::vector<A>{A{"./kaslnk", "/q", "--set-port", "3"}, A{"./kaslnk", "/q", "--find-register", "10"},
                                         sl({"--window-op", "40022"}), sl({"--window-op", "40049", "d.dav"}),
                                         sl({"--logo", cesta("l.bmp")})}));
    EXPECT_EQ(obrazovka().find("(k\xF3"), std::string::npos);
    zapis("l.bmp", "BA");
    okno.konec_potomka(0), okno.prikaz(ID_LOGO);
    EXPECT_EQ(v.posledni(), "Format souboru neni BMP.");
}

// 200 "--command 40004" while the help is open: they wait, the help opens once at a time,
// MAX_FRONTA_PRIKAZU more times after it, and the rest are refused with a line.
TEST_F(OknoModel, PrikazyBehemDialoguCekajiAJdouPoJednom) {
    int napoved = 0, otevreno = 0, nejvic = 0;
    v.pri_napovede = [&] {
        nejvic = std::max(nejvic, ++otevreno);
        if (++napoved == 1)
            for (int i = 0; i < 200; ++i) okno.prikaz(ID_NAPOVEDA);
        --otevreno;
    };
    okno.prikaz(ID_NAPOVEDA);
    EXPECT_EQ(std::vector<int>({nejvic, napoved}), std::vector<int>({1, 1 + int(Okno::MAX_FRONTA_PRIKAZU)}));
    EXPECT_NE(obrazovka().find("P\xF8\xEDkaz 40004 odm\xEDtnut"), std::string::npos);
}

#ifndef _WIN32
// Children that break the channel and live on for 5 s: the window ends them (exit code
// 128 + SIGKILL) and reports it, and no call waits for them.
TEST_F(OknoModel, PoskozenyPotomekJeUkoncenBezCekani) {
    const std::pair<const char*, const char*> pripady[] = {
        {"printf 'T\\000\\000\\000\\000\\000\\000\\000\\000\\360\\377\\377\\177'", "po\x9Akozen\xE1"},  // length 0x7FFFFFF0
        {"exec >&-", "neskon\xE8il"},  // the stream closed
    };
    for (const auto& [zacatek, hlaseni] : pripady) {
        std::memset(s.tt.obrazovka, ' ', sizeof s.tt.obrazovka);
        PlatPotomek p = plat_spust_potomka("/bin/sh", {"sh", "-c", std::string(zacatek) + "; exec sleep 5"}, "X=1");
        CtenarKanalu ctenar;
        int kod = -1;
        long long nejdele = 0;
        bool konec = false;
        for (auto start = std::chrono::steady_clock::now(); !konec && ms_od(start) < 10000; usleep(10000)) {
            auto t = std::chrono::steady_clock::now();
            konec = okno.cti_potomka(p, ctenar, kod);
            nejdele = std::max<long long>(nejdele, ms_od(t));
        }
        EXPECT_EQ(kod, 128 + 9) << zacatek;
        EXPECT_LT(nejdele, 1000) << zacatek;
        EXPECT_NE(obrazovka().find(hlaseni), std::string::npos) << zacatek;
    }
}

// "--command" to a window that does not take it: its queue of connections full, then one
// that accepts and never answers (stopped, frozen): exit code 7 after the time-out.
TEST_F(OknoModel, PrikazOknuMaLhutu) {
    setenv("XDG_RUNTIME_DIR", adresar.c_str(), 1);
    sockaddr_un a{AF_UNIX, {}};
    std::strncpy(a.sun_path, jmeno_soketu_okna(s).c_str(), sizeof a.sun_path - 1);
    int okno_s = socket(AF_UNIX, SOCK_STREAM, 0), prvni = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(okno_s, reinterpret_cast<sockaddr*>(&a), sizeof a) | listen(okno_s, 0), 0);
    ASSERT_EQ(connect(prvni, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);  // fills the queue
    for (int i = 0; i < 2; ++i, close(accept(okno_s, nullptr, nullptr))) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(posli_prikaz_oknu(s, "40004", 300), KOD_OKNO_NEODPOVIDA);
        EXPECT_LT(ms_od(start), 2000);
    }
    close(okno_s), close(prvni);
}
#endif
