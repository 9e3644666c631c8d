// The real port: the platform serial port behind the Port interface.
#include <utility>

#include "link/port.h"
#include "link/telnet.h"
#include "link/sezeni.h"

namespace {

class SerialovyPort : public Port {
public:
    explicit SerialovyPort(SerialPort* p) : p_(p) {}
    ~SerialovyPort() override { ser_close(p_); }
    SerialovyPort(const SerialovyPort&) = delete;
    SerialovyPort& operator=(const SerialovyPort&) = delete;

    bool fronty(uint32_t vstup, uint32_t vystup) override { return ser_setup_queues(p_, vstup, vystup); }
    bool maska_udalosti(bool znak) override { return ser_set_event_mask(p_, znak); }
    bool vycisti() override { return ser_purge(p_); }
    bool nastav_linku(const SerialLine& linka) override { return ser_set_line(p_, linka); }
    bool nastav_casy(const SerialTimeouts& casy) override { return ser_set_timeouts(p_, casy); }
    bool zapis(const uint8_t* data, size_t pocet) override { return ser_write(p_, data, pocet); }
    bool zapis_vyprsel() override { return ser_write_timed_out(p_); }
    long cti(uint8_t* data, size_t max) override { return ser_read(p_, data, max); }
    size_t cti_do(uint8_t* data, size_t max, uint8_t konec, bool& selhalo) override {
        return ser_read_do(p_, data, max, konec, selhalo);
    }
    uint32_t vymaz_chyby() override { return ser_clear_errors(p_); }
    bool dtr(bool zapnout) override { return ser_set_dtr(p_, zapnout); }
    bool stav_modemu(uint32_t& stav) override { return ser_modem_status(p_, stav); }

private:
    SerialPort* p_;
};

// The platform serial port, or a serial device server when the device is a network address.
OtevrenyPort otevri_serialovy_port(Sezeni& s, uint32_t cislo_portu) {
    OtevrenyPort v;
    v.zarizeni = zarizeni_portu(s, cislo_portu);
    if (telnet::je_sitova_adresa(v.zarizeni)) return otevri_sitovy_port(s, v.zarizeni);
    if (SerialPort* p = ser_open(v.zarizeni, v.chyba, v.duvod)) v.port = std::make_unique<SerialovyPort>(p);
    return v;
}

}  // namespace

std::string zarizeni_portu(const SezeniJadra& s, uint32_t cislo_portu) {
    if (cislo_portu < 10 && !s.porty[cislo_portu].empty()) return s.porty[cislo_portu];
    std::string z_ini = cislo_portu < 10 ? s.ini_porty[cislo_portu] : std::string();
    return ser_jmeno_zarizeni(static_cast<int>(cislo_portu), z_ini);
}

bool nastav_port_sezeni(SezeniJadra& s, int cislo_portu, const std::string& zarizeni) {
    if (cislo_portu < 1 || cislo_portu > 9) return false;
    s.porty[cislo_portu] = zarizeni;
    return true;
}

OtevrenyPort otevri_port(Sezeni& s, uint32_t cislo_portu) {
    OtevrenyPort o = s.sluzby.otvirac_portu ? s.sluzby.otvirac_portu(cislo_portu) : otevri_serialovy_port(s, cislo_portu);
    if (o.port && s.lze_zrusit) o.port = zrusitelny_port(s, std::move(o.port));
    return o;
}
