// A COM port mapped to a serial device server on the network: raw TCP (the server's own
// line settings apply) or Telnet with COM-port control (RFC 2217: the program sets the
// line and DTR, a purge reaches the server). To the link it behaves like a local port:
// the same Windows-style read time-outs, the purge that first lets the written bytes
// leave, and a connection that drops reads like an unplugged device (at once).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/sezeni_jadra.h"
#include "core/zpravy.h"
#include "link/port.h"
#include "link/telnet.h"
#include "platform/sit.h"

namespace {

using Hodiny_ = std::chrono::steady_clock;
using namespace telnet;

constexpr uint32_t PRIPOJENI_MS = 5000;  // connect, and the option negotiation after it
constexpr uint32_t ODPOVED_MS = 2000;    // the server's answers to the line settings
constexpr uint32_t MAXDWORD = 0xFFFFFFFFu;

int64_t ted_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Hodiny_::now().time_since_epoch()).count();
}

// Milliseconds left until `mez` (0 when it has passed).
uint32_t zbyva_do(int64_t mez) { return static_cast<uint32_t>(std::max<int64_t>(0, mez - ted_ms())); }

// The line state bits of RFC 2217 for overrun, parity, framing and break are those of
// the Win32 error mask (CE_OVERRUN, CE_RXPARITY, CE_FRAME, CE_BREAK); its modem state
// bits for CTS, DSR, ring and carrier are those of GetCommModemStatus.
constexpr uint8_t CHYBY_LINKY = 0x1E, STAV_MODEMU = 0xF0;

class SitovyPort : public Port {
public:
    SitovyPort(SezeniJadra& sezeni, SitSpojeni* s, bool rfc2217, std::string kde)
        : sezeni_(sezeni),
          s_(s),
          rfc_(rfc2217),
          kde_(std::move(kde)),
          vyjednavani_({COM_PORT, BINARY, SGA}, {BINARY, SGA}) {}
    ~SitovyPort() override { sit_zavri(s_); }
    SitovyPort(const SitovyPort&) = delete;
    SitovyPort& operator=(const SitovyPort&) = delete;

    // Telnet: asks for binary transfer and COM-port control and waits for the server's answer.
    void vyjednej() {
        int64_t mez = ted_ms() + PRIPOJENI_MS;
        if (!rfc_ || !posli(vyjednavani_.zacatek(), zbyva_do(mez))) return;
        while (!vyjednavani_.u_sebe(COM_PORT) && !vyjednavani_.odmitnuto(COM_PORT) && ted_ms() < mez)
            if (nacti(zbyva_do(mez)) < 0) return;
        if (!vyjednavani_.u_sebe(COM_PORT))
            // "the server does not offer COM-port control: its own line settings apply"
            hlas("Server " + kde_ + " neum\xED \xF8\xEDzen\xED COM portu (RFC 2217): plat\xED jeho nastaven\xED linky.");
    }

    bool fronty(uint32_t, uint32_t) override { return true; }
    bool maska_udalosti(bool) override { return true; }

    bool vycisti() override {
        // The written bytes leave the server's port at the line speed: wait for that first
        // (an answer on the way ends the wait).
        while (linka_volna_ms_ > ted_ms())
            if (nacti(zbyva_do(linka_volna_ms_)) < 0) break;
        for (int i = 0; i < 64 && nacti(0) > 0; ++i) {  // a line that never falls silent is not waited out
        }
        prijato_.clear();
        od_ = 0;
        if (ovladam_linku() && !posli(com_port(PURGE_DATA, std::string(1, char(PURGE_PRIJEM))), ODPOVED_MS))
            return false;
        return !spadlo_;
    }

    bool nastav_linku(const SerialLine& l) override {
        rychlost_ = l.rychlost ? l.rychlost : 19200;
        bity_znaku_ = static_cast<uint8_t>(1 + l.datove_bity + (l.parita ? 1 : 0) + (l.stop_bity ? 2 : 1));
        if (!ovladam_linku()) return !spadlo_;
        static const uint8_t parita[5] = {1, 2, 3, 4, 5};  // none, odd, even, mark, space
        static const uint8_t stop[3] = {1, 3, 2};          // one, one and a half, two
        if (l.parita > 4 || l.stop_bity > 2 || l.datove_bity < 5 || l.datove_bity > 8) return false;
        uint8_t tok = l.rizeni_toku & 2 ? TOK_HARDWARE : l.rizeni_toku & 4 ? TOK_XONXOFF : TOK_ZADNY;
        struct Nastaveni {
            uint8_t prikaz;
            std::string hodnota;
            const char* co;
        } n[] = {{SET_BAUDRATE, cislo32(rychlost_), "rychlost"},  // speed
                 {SET_DATASIZE, std::string(1, char(l.datove_bity)), "datov\xE9 bity"},
                 {SET_PARITY, std::string(1, char(parita[l.parita])), "parita"},
                 {SET_STOPSIZE, std::string(1, char(stop[l.stop_bity])), "stop bity"},
                 {SET_CONTROL, std::string(1, char(tok)), "\xF8\xEDzen\xED toku"}};  // flow control
        std::string ven;
        for (const Nastaveni& x : n) {
            odpovedi_.erase(ODPOVED + x.prikaz);
            ven += com_port(x.prikaz, x.hodnota);
        }
        int64_t mez = ted_ms() + ODPOVED_MS;  // for the commands to leave and their answers
        if (!posli(ven, ODPOVED_MS)) return false;
        auto hotovo = [&] {
            for (const Nastaveni& x : n)
                if (!odpovedi_.count(ODPOVED + x.prikaz)) return false;
            return true;
        };
        while (!hotovo() && ted_ms() < mez)
            if (nacti(zbyva_do(mez)) < 0) return false;
        // What the server set is reported, not refused: the transfer shows whether it works.
        for (const Nastaveni& x : n) {
            auto o = odpovedi_.find(ODPOVED + x.prikaz);
            char text[160];
            if (o == odpovedi_.end()) {
                // "the server did not confirm the setting: %s"
                std::snprintf(text, sizeof text, "Server %s nepotvrdil nastaven\xED: %s.", kde_.c_str(), x.co);
                hlas(text);
            } else if (o->second != x.hodnota) {
                uint32_t chtel = x.prikaz == SET_BAUDRATE ? cislo32(x.hodnota) : uint8_t(x.hodnota[0]);
                uint32_t dal = x.prikaz == SET_BAUDRATE ? cislo32(o->second)
                               : o->second.empty()      ? 0
                                                        : uint8_t(o->second[0]);
                // "the server set %s to %u instead of %u"
                std::snprintf(text, sizeof text, "Server %s nastavil %s %u m\xEDsto %u.", kde_.c_str(), x.co,
                              static_cast<unsigned>(dal), static_cast<unsigned>(chtel));
                hlas(text);
            }
        }
        return true;
    }

    bool nastav_casy(const SerialTimeouts& casy) override {
        casy_ = casy;
        return true;
    }

    bool zapis(const uint8_t* data, size_t pocet) override {
        vyprsel_ = false;
        std::string ven;
        if (rfc_)
            pridej_data(ven, data, pocet);
        else
            ven.assign(reinterpret_cast<const char*>(data), pocet);
        uint64_t limit = static_cast<uint64_t>(casy_.write_total_multiplier) * pocet + casy_.write_total_constant;
        bool cele = posli(ven, limit ? static_cast<uint32_t>(limit > MAXDWORD ? MAXDWORD : limit) : MAXDWORD);
        vyprsel_ = !cele && !spadlo_;
        int64_t ted = ted_ms();
        if (linka_volna_ms_ < ted) linka_volna_ms_ = ted;
        linka_volna_ms_ += static_cast<int64_t>(pocet) * bity_znaku_ * 1000 / rychlost_;
        return cele;
    }

    bool zapis_vyprsel() override { return vyprsel_; }

    // The same read time-outs as the serial port's (LhutaCteni), over what the connection
    // brings; a wait without a limit looks again every second.
    long cti(uint8_t* data, size_t max) override {
        if (max == 0) return 0;
        LhutaCteni lhuta(casy_, max, ted_ms());
        size_t precteno = vydej(data, max);
        while (precteno < max) {
            int64_t cekat = lhuta.cekani(ted_ms(), precteno);
            long n = nacti(cekat < 0 ? 1000 : static_cast<uint32_t>(std::min<int64_t>(cekat, MAXDWORD)));
            if (n < 0) return precteno ? static_cast<long>(precteno) : -1;
            size_t nove = vydej(data + precteno, max - precteno);
            if (nove) lhuta.prijato(ted_ms());
            precteno += nove;
            if (!nove && cekat == 0) break;  // the last look found nothing: a time-out ran out
        }
        return static_cast<long>(precteno);
    }

    uint32_t vymaz_chyby() override {
        uint32_t c = chyby_;
        chyby_ = 0;
        return c;
    }

    bool dtr(bool zapnout) override {
        if (!ovladam_linku()) return false;  // raw TCP has no modem lines, like a pty
        return posli(com_port(SET_CONTROL, std::string(1, char(zapnout ? DTR_ZAP : DTR_VYP))), ODPOVED_MS);
    }

    bool stav_modemu(uint32_t& stav) override {
        stav = modem_;  // what the server last reported
        return modem_znam_;
    }

private:
    bool ovladam_linku() const { return rfc_ && vyjednavani_.u_sebe(COM_PORT); }

    void hlas(const std::string& text) { VypisBoxDebug(sezeni_, text); }

    // Sends the bytes within cas_ms (0: only what the connection takes at once); true when
    // all went. A Telnet unit sent in part is finished first, before anything else; the
    // rest of what did not go is dropped.
    bool posli(const std::string& bajty, uint32_t cas_ms) {
        int64_t mez = ted_ms() + cas_ms;
        // The count of bytes sent; the whole when the connection failed (nothing more goes).
        auto odesli = [&](const std::string& b, uint32_t cas) {
            long n = spadlo_ ? -1 : sit_posli(s_, reinterpret_cast<const uint8_t*>(b.data()), b.size(), cas);
            if (n < 0) spadlo_ = true;
            return n < 0 ? b.size() : static_cast<size_t>(n);
        };
        nedoslo_.erase(0, odesli(nedoslo_, cas_ms));
        if (!nedoslo_.empty() || bajty.empty()) return nedoslo_.empty() && !spadlo_;
        size_t poslano = odesli(bajty, zbyva_do(mez));
        if (rfc_) nedoslo_ = bajty.substr(poslano, konec_celku(bajty, poslano) - poslano);
        return poslano == bajty.size() && !spadlo_;
    }

    size_t vydej(uint8_t* data, size_t max) {
        size_t n = std::min(max, prijato_.size() - od_);
        prijato_.copy(reinterpret_cast<char*>(data), n, od_);
        od_ += n;
        if (od_ == prijato_.size()) prijato_.clear(), od_ = 0;
        return n;
    }

    // Takes what the connection brings within cas_ms: data to the buffer, commands
    // answered or noted. The count of bytes taken (0: nothing came), -1 when it failed.
    long nacti(uint32_t cas_ms) {
        if (spadlo_) return -1;
        uint8_t buf[4096];
        long n = sit_prijmi(s_, buf, sizeof buf, cas_ms);
        if (n < 0) spadlo_ = true;
        if (n <= 0) return n;
        size_t pred = prijato_.size();
        std::vector<Prikaz> prikazy;
        if (rfc_)
            dekoder_.vstup(buf, static_cast<size_t>(n), prijato_, prikazy);
        else
            prijato_.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
        if (prijato_.size() > pred) linka_volna_ms_ = std::min(linka_volna_ms_, ted_ms());
        std::string odpovedi;
        for (const Prikaz& p : prikazy) {
            if (p.sloveso != SB) {
                odpovedi += vyjednavani_.odpoved(p.sloveso, p.moznost);
            } else if (p.moznost == COM_PORT && p.hodnota.size() >= 2) {
                uint8_t prikaz = static_cast<uint8_t>(p.hodnota[0]), hodnota = static_cast<uint8_t>(p.hodnota[1]);
                if (prikaz == ODPOVED + NOTIFY_LINESTATE) {
                    chyby_ |= hodnota & CHYBY_LINKY;
                } else if (prikaz == ODPOVED + NOTIFY_MODEMSTATE) {
                    modem_ = hodnota & STAV_MODEMU;
                    modem_znam_ = true;
                } else {
                    odpovedi_[prikaz] = p.hodnota.substr(1);
                }
            }
        }
        // Option answers never wait: a server that does not read its input does not get them.
        posli(odpovedi, 0);
        return n;
    }

    SezeniJadra& sezeni_;  // the session that owns the port: its boxes report the server
    SitSpojeni* s_;
    bool rfc_;
    std::string kde_;
    Vyjednavani vyjednavani_;
    Dekoder dekoder_;
    std::string prijato_;  // received data not yet handed out, from od_
    size_t od_ = 0;
    std::map<uint8_t, std::string> odpovedi_;  // the server's answers to COM-port commands
    std::string nedoslo_;  // the rest of a Telnet unit sent in part, to go first
    SerialTimeouts casy_;
    uint32_t rychlost_ = 19200;
    uint8_t bity_znaku_ = 10;
    // When the written bytes will have left the server's port. The register answers only
    // what it has received: an answer means the line is free.
    int64_t linka_volna_ms_ = 0;
    uint32_t chyby_ = 0, modem_ = 0;
    bool modem_znam_ = false, vyprsel_ = false, spadlo_ = false;
};

}  // namespace

OtevrenyPort otevri_sitovy_port(SezeniJadra& sezeni, const std::string& adresa) {
    OtevrenyPort v;
    v.zarizeni = adresa;
    SitovaAdresa a;
    if (!rozloz_adresu(adresa, a, v.duvod)) {
        v.chyba = 87;  // ERROR_INVALID_PARAMETER
        return v;
    }
    SitSpojeni* s = sit_pripoj(a.hostitel, a.port, PRIPOJENI_MS, v.chyba, v.duvod);
    if (!s) return v;
    auto port = std::make_unique<SitovyPort>(sezeni, s, a.rfc2217, a.hostitel + ":" + std::to_string(a.port));
    port->vyjednej();
    v.port = std::move(port);
    return v;
}
