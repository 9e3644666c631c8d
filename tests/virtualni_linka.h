// A scripted register on a line in virtual time. Every write of the host takes the next
// scripted answer (none left: silence); a read that times out moves the clock at once.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/hodiny.h"
#include "link/port.h"
#include "link/protokol.h"

struct Odpoved {
    std::string data;            // empty: silence
    uint32_t zpozdeni = 0;       // ms after the host's write
    size_t mezera_po = 0;        // a pause after this many bytes (0: none)
    uint32_t mezera = 0;
};

class VirtualniLinka {
public:
    struct Zapis {
        uint64_t kdy;
        std::string data;
    };
    uint64_t ted = 0;
    std::deque<std::pair<uint64_t, uint8_t>> prichozi;  // arrival time, byte
    std::deque<Odpoved> odpovedi;
    std::vector<Zapis> zapisy;
    std::vector<std::string> udalosti;  // purge, dtr+, dtr-, close
    SerialTimeouts casy;
    bool otevreni_selze = false, linka_selze = false, vyprsi = false, cteni_selze = false;
    size_t selze_zapis = SIZE_MAX;  // the write (0-based) from which writes fail
    bool ma_modem = false;
    uint64_t nosic_od = UINT64_MAX;  // carrier from this virtual time on
    size_t pokusy_zapisu = 0;

    void cekej(uint32_t ms) { ted += ms; }

    // The register sends one thing after another: an answer starts after what is still
    // on its way.
    void posli(const Odpoved& o) {
        uint64_t t = ted + o.zpozdeni;
        if (!prichozi.empty()) t = std::max(t, prichozi.back().first);
        for (size_t i = 0; i < o.data.size(); ++i) {
            if (o.mezera_po && i == o.mezera_po) t += o.mezera;
            prichozi.emplace_back(t, static_cast<uint8_t>(o.data[i]));
        }
    }

    // Everything the host wrote, as one string.
    std::string vse() const {
        std::string s;
        for (const Zapis& z : zapisy) s += z.data;
        return s;
    }
    size_t pocet_zapisu(const std::string& ramec) const {
        return static_cast<size_t>(std::count_if(zapisy.begin(), zapisy.end(),
                                                 [&](const Zapis& z) { return z.data == ramec; }));
    }

    bool zapis(const uint8_t* d, size_t n) {
        if (vyprsi || pokusy_zapisu++ >= selze_zapis) return false;
        zapisy.push_back({ted, std::string(reinterpret_cast<const char*>(d), n)});
        if (!odpovedi.empty()) {
            posli(odpovedi.front());
            odpovedi.pop_front();
        }
        return true;
    }

    // One read under the read time-out rule (platform/serial.h), in virtual time.
    long cti(uint8_t* d, size_t max) {
        if (cteni_selze) return -1;
        LhutaCteni lhuta(casy, max, static_cast<int64_t>(ted));
        size_t n = 0;
        while (n < max) {
            int64_t cekat = lhuta.cekani(static_cast<int64_t>(ted), n);
            if (cekat < 0 && prichozi.empty()) {
                ADD_FAILURE() << "a read without a time-out would wait for ever";
                break;
            }
            if (!prichozi.empty() && (cekat < 0 || prichozi.front().first <= ted + static_cast<uint64_t>(cekat))) {
                ted = std::max(prichozi.front().first, ted);
                d[n++] = prichozi.front().second;
                prichozi.pop_front();
                lhuta.prijato(static_cast<int64_t>(ted));
                continue;
            }
            ted += static_cast<uint64_t>(cekat);
            if (cekat == 0) break;
        }
        return static_cast<long>(n);
    }
};

class VirtualniPort : public Port {
public:
    explicit VirtualniPort(VirtualniLinka& l) : l_(l) {}
    ~VirtualniPort() override { l_.udalosti.push_back("close"); }
    bool fronty(uint32_t, uint32_t) override { return true; }
    bool maska_udalosti(bool) override { return true; }
    bool vycisti() override {
        l_.udalosti.push_back("purge");
        l_.prichozi.clear();
        return true;
    }
    bool nastav_linku(const SerialLine&) override { return !l_.linka_selze; }
    bool nastav_casy(const SerialTimeouts& casy) override {
        l_.casy = casy;
        return true;
    }
    bool zapis(const uint8_t* d, size_t n) override { return l_.zapis(d, n); }
    bool zapis_vyprsel() override { return l_.vyprsi; }
    long cti(uint8_t* d, size_t max) override { return l_.cti(d, max); }
    uint32_t vymaz_chyby() override { return 0; }
    bool dtr(bool zapnout) override {
        l_.udalosti.push_back(zapnout ? "dtr+" : "dtr-");
        return l_.ma_modem;
    }
    bool stav_modemu(uint32_t& stav) override {
        stav = (l_.ma_modem && l_.ted >= l_.nosic_od) ? SER_MS_RLSD : 0;
        return l_.ma_modem;
    }

private:
    VirtualniLinka& l_;
};

inline std::string bajt(unsigned char c) { return std::string(1, static_cast<char>(c)); }

#include "core/log.h"
#include "link/serial.h"
#include "link/tray.h"
#include "pomocne.h"

// Link code over a VirtualniLinka: terminal 000001, a read command, sounds and the tray
// icon recorded.
class NaLince : public ProgramovyAdresar {
protected:
    VirtualniLinka l;
    std::vector<int32_t> pipy;
    std::vector<std::pair<int, int>> ikona;  // operation, icon

    const Odpoved A{bajt(ACK)}, N{bajt(NAK)}, E{bajt(ENQ)}, T{bajt(EOT)}, S{}, Q{"?"};
    const std::string DOTAZ = "\x04\x04\x04" "000001" "\x05";

    void SetUp() override {
        ProgramovyAdresar::SetUp();
        s.sluzby.cekani = [this](uint32_t ms) { l.cekej(ms); };
        s.sluzby.otvirac_portu = [this](uint32_t cislo) {
            std::string z = "/dev/virtual" + std::to_string(cislo);
            if (l.otevreni_selze) return OtevrenyPort{nullptr, z, 13, z + ": Permission denied"};
            return OtevrenyPort{std::make_unique<VirtualniPort>(l), z, 0, ""};
        };
        s.sluzby.pip = [this](int32_t typ) { pipy.push_back(typ); };
        s.sluzby.tray = [this](int op, int, int ik) { return ikona.emplace_back(op, ik), 1; };
        s.tt.terminal = "000001";
        s.tt.prikazovy_paket = "/20-00/11///B000/";
    }

    std::string paket() const { return ramec("0" + s.tt.prikazovy_paket); }
    void skript(std::vector<Odpoved> o) { l.odpovedi.assign(o.begin(), o.end()); }

    // A whole read, or a whole send of the given outgoing work file; the work file is
    // closed afterwards.
    void cti() { proved(prijmi_data); }
    void posli(const std::string& work02_obsah) {
        zapis_soubor(adresar / "work02.tmp", work02_obsah);
        proved(odesli_data);
    }
    void proved(const std::function<void(Sezeni&)>& operace) {
        ASSERT_EQ(OpenConnection(s), 1);
        operace(s);
        zavri_soubor(s, s.workf);
        s.workf = nullptr;
    }
    std::string work01() const { return precti_soubor(adresar / "work01.tmp"); }
};
